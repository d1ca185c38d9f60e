#include "conversion/SameFile.h"

#include <filesystem>
#include <system_error>

bool NamesSameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;
    }
    const fs::path left = fs::weakly_canonical(fs::absolute(a, error), error);
    const fs::path right = fs::weakly_canonical(fs::absolute(b, error), error);
    return !left.empty() && left == right;
}
