#include "cli/BatchNames.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

// One key per file: device and inode for a file that exists (so hard links meet too), otherwise the
// name with its links, "." and ".." worked out. Keys of both kinds never meet, as one file cannot both
// exist and not exist.
std::string FileKey(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0) {
        return std::to_string(static_cast<std::uintmax_t>(info.st_dev)) + ":" +
               std::to_string(static_cast<std::uintmax_t>(info.st_ino));
    }
    std::error_code error;
    return "/" + std::filesystem::weakly_canonical(std::filesystem::absolute(name, error), error).string();
}

}  // namespace

std::vector<std::string> BatchClashes(const std::vector<ConversionFiles>& batch) {
    std::multimap<std::string, std::size_t> inputs;
    std::multimap<std::string, std::size_t> outputs;
    std::vector<std::string> outputKeys;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        inputs.emplace(FileKey(batch[i].ncFile), i);
        outputKeys.push_back(FileKey(batch[i].dxfFile));
        outputs.emplace(outputKeys.back(), i);
    }
    std::vector<std::string> clashes(batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const auto [inputBegin, inputEnd] = inputs.equal_range(outputKeys[i]);
        for (auto input = inputBegin; input != inputEnd && clashes[i].empty(); ++input) {
            if (input->second != i) {
                clashes[i] = batch[i].dxfFile + ": " + std::string(kSameNameMessage);
            }
        }
        if (clashes[i].empty() && outputs.count(outputKeys[i]) > 1) {
            clashes[i] = batch[i].dxfFile + ": " + std::string(kSharedOutputMessage);
        }
    }
    return clashes;
}
