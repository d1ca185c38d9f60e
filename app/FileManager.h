// Showing a folder in the desktop's file manager.
#pragma once

#include <QString>

// Hands `folder` to the desktop's file manager without waiting for it; false when the desktop has no
// application for folders, so that the caller can say so.
bool OpenInFileManager(const QString& folder);
