// What every fuzz target shares: a scratch folder of the process's own for the files the readers
// open, and the catch that tells a refused input (the reader's own error) from a fault.
#pragma once

#include "text/Exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace kv::fuzz {

// A folder made once per process and removed at its end: in memory (/dev/shm) where there is
// such a place, for every input is written to a file and read back, else the temporary folder.
inline const std::filesystem::path& ScratchFolder() {
    struct TFolder {
        std::filesystem::path Path;
        TFolder() {
            std::error_code ec;
            const std::filesystem::path shm = "/dev/shm";
            const std::filesystem::path base = std::filesystem::is_directory(shm, ec)
                                                   ? shm
                                                   : std::filesystem::temp_directory_path();
            Path = base / ("korvane-fuzz-" + std::to_string(::getpid()));
            std::filesystem::remove_all(Path);
            std::filesystem::create_directories(Path);
        }
        ~TFolder() {
            std::error_code ec;
            std::filesystem::remove_all(Path, ec);
        }
    };
    static const TFolder folder;
    return folder.Path;
}

inline void WriteBytes(const std::filesystem::path& file, const std::uint8_t* data,
                       std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort(); // the scratch folder must take the input
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Runs Step; an Exception is the program's answer to a damaged input and is fine, anything
// else (another exception, a crash, a sanitizer report) is a finding.
template <typename Step> void Refusable(Step&& step) {
    try {
        step();
    } catch (const Exception&) {
    }
}

} // namespace kv::fuzz
