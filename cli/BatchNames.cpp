#include "cli/BatchNames.h"

#include <map>

#include "core/OutputPlace.h"

std::vector<std::string> BatchClashes(const std::vector<ConversionFiles>& batch) {
    std::multimap<std::string, std::size_t> inputs;
    std::multimap<std::string, std::size_t> outputs;
    std::vector<std::string> outputKeys;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        inputs.emplace(FileIdentity(batch[i].ncFile), i);
        outputKeys.push_back(FileIdentity(batch[i].dxfFile));
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
