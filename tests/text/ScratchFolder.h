// A fresh, empty folder under the system's temporary folder for one test, removed afterwards,
// and plain byte-exact file access that does not go through the code under test.
#pragma once

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

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device rd;
        // create_directory reports false when the name is taken, even by another process.
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("korvane-test-" + std::to_string((std::uint64_t{rd()} << 32) ^ rd()));
            if (std::filesystem::create_directory(candidate)) path_ = std::move(candidate);
        }
        if (path_.empty()) throw std::runtime_error("cannot create a scratch folder");
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(const std::string& name) const {
        return path_ / name;
    }

    // Names of everything in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

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

// Every byte value in turn, Count bytes in all.
inline std::string AllByteValues(std::size_t count = 256) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i & 0xFF);
    return bytes;
}

} // namespace kv::test
