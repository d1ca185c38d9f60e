#include "app/SupportLink.h"

#include <filesystem>
#include <system_error>

#include "core/Settings.h"

SupportLink LoadSupportLink(const std::string& settingsPath) {
    std::error_code error;
    if (!std::filesystem::exists(settingsPath, error)) {
        WriteSetting("INIT", "NET", "OFF", settingsPath);
        WriteSetting("INIT", "URL", "", settingsPath);
    }
    SupportLink support;
    if (ReadSetting("INIT", "NET", settingsPath) == "ON") {
        support.enabled = true;
        support.link = ReadSetting("INIT", "URL", settingsPath);
    } else {
        WriteSetting("INIT", "URL", "", settingsPath);
    }
    return support;
}
