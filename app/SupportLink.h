// The version dialog's support button, as the settings file beside the program switches it.
#pragma once

#include <string>

struct SupportLink {
    bool enabled = false;
    std::string link;
};

// Worked out each time the version dialog opens. A missing settings file is created with NET=OFF and an empty
// URL. The button is on only when NET is exactly "ON"; otherwise a URL left in the file is erased. A file
// that cannot be written stays silent and leaves the button off.
SupportLink LoadSupportLink(const std::string& settingsPath);
