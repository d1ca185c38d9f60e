// A folder of its own under the system's temporary directory for one test, removed with everything in it
// when the test ends; plus raw byte access to files, independent of the text-mode layer under test.
#pragma once

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TempFolder {
public:
    TempFolder() {
        static std::atomic<unsigned> serial{0};
        const std::string leaf =
            "plotra-test-" + Decimal(static_cast<unsigned long>(::getpid())) + "-" + Decimal(serial++);
        path_ = std::filesystem::temp_directory_path() / leaf;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes `bytes` into the file `name` of the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        WriteBytes(file(name), bytes);
        return file(name);
    }

private:
    static std::string Decimal(unsigned long value) {
        char text[24];
        const auto result = std::to_chars(text, text + sizeof text, value);
        return std::string(text, result.ptr);
    }

    std::filesystem::path path_;
};
