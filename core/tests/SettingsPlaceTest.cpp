#include "core/SettingsPlace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "core/Settings.h"
#include "core/Templates.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// Sets or clears one environment variable for the length of a test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(name_, value);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { Set(name_, old_); }

private:
    static void Set(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    const char* name_;
    std::optional<std::string> old_;
};

struct ConfigDirCase {
    const char* name;
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
    std::string expected;
};

void PrintTo(const ConfigDirCase& c, std::ostream* out) {
    *out << c.name;
}

class UserConfigDirTest : public testing::TestWithParam<ConfigDirCase> {};

TEST_P(UserConfigDirTest, FollowsTheXdgRules) {
    const ScopedVariable xdg("XDG_CONFIG_HOME", GetParam().xdgConfigHome);
    const ScopedVariable home("HOME", GetParam().home);
    EXPECT_EQ(UserConfigDir(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserConfigDirTest,
    testing::Values(ConfigDirCase{"XdgConfigHome", "/srv/cfg", "/home/u", "/srv/cfg"},
                    ConfigDirCase{"HomeWhenUnset", std::nullopt, "/home/u", "/home/u/.config"},
                    ConfigDirCase{"HomeWhenEmpty", "", "/home/u", "/home/u/.config"},
                    ConfigDirCase{"RelativeXdgConfigHomeIgnored", "cfg", "/home/u", "/home/u/.config"},
                    ConfigDirCase{"NeitherKnown", std::nullopt, std::nullopt, ""}),
    [](const testing::TestParamInfo<ConfigDirCase>& info) { return std::string(info.param.name); });

// Installed: writable, with the templates in its data folder.
enum class ProgramFolder { Writable, ReadOnly, Missing, Installed };
enum class ConfigFolder { Usable, BelowAPlainFile, Unknown };

struct PlaceCase {
    const char* name;
    ProgramFolder programFolder;
    bool settingsBeside;  // a settings file with NET=ON already lies beside the program (read-only in a
                          // read-only folder)
    ConfigFolder configFolder;
    bool expectedBeside;  // else in <config>/plotra/
    bool expectedStored;  // a setting written there can be read back
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsFileInTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(SettingsFileInTest, BesideThePortableProgramElseInTheConfigFolder) {
    const PlaceCase& c = GetParam();
    TempFolder root;
    // Root writes into read-only folders: the case runs as an ordinary user, who must reach the folder.
    fs::permissions(root.path(), fs::perms::all);
    AsOrdinaryUser([&] {
        const std::string programDir = root.file("bin") + "/";
        if (c.programFolder != ProgramFolder::Missing) {
            fs::create_directory(programDir);
        }
        if (c.programFolder == ProgramFolder::Installed) {
            fs::create_directories(DataFolderOf(programDir));
            WriteBytes(DataFolderOf(programDir) + "Hedder.dat", "");
        }
        if (c.settingsBeside) {
            WriteBytes(programDir + "plotra.INI", "[INIT]\r\nNET=ON\r\nURL=\r\n");
        }
        if (c.programFolder == ProgramFolder::ReadOnly) {
            if (c.settingsBeside) {
                fs::permissions(programDir + "plotra.INI", fs::perms::owner_read);
            }
            fs::permissions(programDir, fs::perms::owner_read | fs::perms::owner_exec);
        }
        std::string configDir;
        if (c.configFolder == ConfigFolder::Usable) {
            configDir = root.file("config");
        } else if (c.configFolder == ConfigFolder::BelowAPlainFile) {
            configDir = root.write("plain", "") + "/config";
        }

        const std::string settings = SettingsFileIn(programDir, "plotra.INI", configDir);
        EXPECT_EQ(settings, c.expectedBeside ? programDir + "plotra.INI" : configDir + "/plotra/plotra.INI");
        if (c.settingsBeside) {
            EXPECT_EQ(ReadSetting("INIT", "NET", settings), "ON");
        }
        EXPECT_EQ(WriteSetting("INIT", "URL", "https://support.example/", settings), c.expectedStored);
        EXPECT_EQ(ReadSetting("INIT", "URL", settings), c.expectedStored ? "https://support.example/" : "");
        if (c.programFolder == ProgramFolder::ReadOnly) {
            fs::permissions(programDir, fs::perms::owner_all);
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileInTest,
    testing::Values(
        PlaceCase{"PortableFolder", ProgramFolder::Writable, false, ConfigFolder::Usable, true, true},
        PlaceCase{"PortableFolderWithSettings", ProgramFolder::Writable, true, ConfigFolder::Usable, true,
                  true},
        PlaceCase{"ReadOnlyFolder", ProgramFolder::ReadOnly, false, ConfigFolder::Usable, false, true},
        PlaceCase{"ReadOnlyFolderWithSettingsReadsThem", ProgramFolder::ReadOnly, true, ConfigFolder::Usable,
                  true, false},
        // A folder that does not exist cannot be written even by root.
        PlaceCase{"MissingFolder", ProgramFolder::Missing, false, ConfigFolder::Usable, false, true},
        PlaceCase{"UnwritableConfigFolderStoresNothing", ProgramFolder::Missing, false,
                  ConfigFolder::BelowAPlainFile, false, false},
        PlaceCase{"NoConfigFolderKnown", ProgramFolder::Missing, false, ConfigFolder::Unknown, true, false},
        PlaceCase{"InstalledInAWritableFolder", ProgramFolder::Installed, false, ConfigFolder::Usable, false,
                  true}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

TEST(ConfigFolderTest, NewOneIsOpenToItsOwnerAlone) {
    TempFolder root;
    const mode_t umask = ::umask(022);
    SettingsFileIn(root.file("bin") + "/", "plotra.INI", root.file("config"));
    ::umask(umask);
    EXPECT_EQ(fs::status(root.file("config/plotra")).permissions(), fs::perms::owner_all);
}

}  // namespace
