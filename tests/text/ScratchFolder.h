// A fresh, empty folder under the system's temporary folder for one test, removed afterwards,
// plain byte-exact file access that does not go through the code under test, and the message
// of a failure.
#pragma once

#include "text/Exception.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kv::test {

// Names of everything in Folder, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ScratchFolder {
public:
    ScratchFolder() {
        // create_directory reports false when the name is taken, even by another process, and
        // raises an error when the folder cannot be made at all.
        for (std::random_device rd; path_.empty();) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("korvane-test-" + std::to_string((std::uint64_t{rd()} << 32) ^ rd()));
            if (std::filesystem::create_directory(candidate)) path_ = std::move(candidate);
        }
    }
    ~ScratchFolder() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(const std::string& name) const {
        return path_ / name;
    }

    [[nodiscard]] std::vector<std::string> Entries() const { return test::Entries(path_); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file " + file.string());
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(file)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read test file " + file.string());
    return bytes;
}

// The message of the kv::Exception that Action raises; empty when it raises none.
template <typename Action> std::string ExceptionMessage(const Action& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

// Every byte value in turn, Count bytes in all.
inline std::string AllByteValues(std::size_t count = 256) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i & 0xFF);
    return bytes;
}

} // namespace kv::test
