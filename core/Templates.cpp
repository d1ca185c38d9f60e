#include "core/Templates.h"

#include <filesystem>
#include <system_error>

#include "core/File.h"

namespace {

std::string JoinedBy(const std::vector<std::string>& parts, const std::string& separator) {
    std::string joined;
    for (const std::string& part : parts) {
        joined += (joined.empty() ? "" : separator) + part;
    }
    return joined;
}

}  // namespace

// The data folder is found from the program's own place rather than from a prefix fixed at build time, so
// that an installation into any prefix, or a moved one, still finds its templates.
std::string DataFolderOf(const std::string& programFolder) {
    return (std::filesystem::path(programFolder) / PLOTRA_DATA_FROM_PROGRAM / "").lexically_normal().string();
}

std::vector<std::string> TemplateFolders() {
    const std::string programFolder = ExeDrive() + ExeDir();
    return {programFolder, DataFolderOf(programFolder)};
}

std::string FindTemplateIn(const std::string& name, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder + name, error)) {
            return folder + name;
        }
    }
    return {};
}

std::string MissingTemplatesMessage(const std::vector<std::string>& names,
                                    const std::vector<std::string>& folders) {
    return "テンプレート " + JoinedBy(names, "、") +
           " が見つかりません。探した場所: " + JoinedBy(folders, "、");
}

ChosenTemplates ChooseTemplates(const std::string& hedderFile, const std::string& footerFile) {
    const std::vector<std::string> folders = TemplateFolders();
    std::vector<std::string> missing;
    const auto choose = [&](const std::string& given, const char* templateName) {
        if (!given.empty()) {
            return given;
        }
        std::string found = FindTemplateIn(templateName, folders);
        if (!found.empty()) {
            return found;
        }
        missing.emplace_back(templateName);
        return folders.front() + templateName;
    };
    ChosenTemplates chosen;
    chosen.hedderFile = choose(hedderFile, kHedderTemplate);
    chosen.footerFile = choose(footerFile, kFooterTemplate);
    if (!missing.empty()) {
        chosen.missingMessage = MissingTemplatesMessage(missing, folders);
    }
    return chosen;
}
