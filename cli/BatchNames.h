// The names of a batch, checked together before any file of it is converted: a batch never writes over one
// of its own inputs, nor twice to one name (so that one drawing would silently replace the other).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/ConversionRun.h"

inline constexpr std::string_view kSharedOutputMessage = "出力ファイル名が他のＮＣファイルの出力と同じです。";

// For each file of the batch, in order: empty when it may be converted, otherwise the message that refuses
// it. An output that is the same file (however spelled) as an NC file of another entry, or as another
// entry's output, is refused; an output that names its own inputs is left to the run, which refuses it.
std::vector<std::string> BatchClashes(const std::vector<ConversionFiles>& batch);
