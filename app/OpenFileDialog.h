// The open-file dialog of the two browse buttons: Qt's own dialog, so that it speaks Japanese on every
// desktop, with its dates written the Japanese way, wide enough to show the whole of its long NC filter.
#pragma once

#include <QFileDialog>

class OpenFileDialog : public QFileDialog {
    Q_OBJECT

public:
    // `barFilter` is written as the original dialogs take it (NameFilters.h); the dialog opens in
    // `startFolder`, or where Qt would when it is empty. The chosen file need not exist.
    OpenFileDialog(QWidget* owner, const QString& barFilter, const QString& startFolder);
};
