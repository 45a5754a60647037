#include "text/TextFile.h"

#include "text/Exception.h"
#include "text/Win1252.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>

namespace kv {
namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& p) { return "\"" + PathToText(p) + "\""; }

std::string SystemReason(int err) { return std::generic_category().message(err); }

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const fs::path& p, const char* mode) {
#ifdef _WIN32
    const std::wstring wmode(mode, mode + std::strlen(mode));
    return FilePtr(_wfopen(p.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(p.c_str(), mode));
#endif
}

// The file a write to Target lands in: Target itself, or for a symbolic link the end of its
// chain (a relative link counts from the link's own folder). A dangling link names the file
// to create. A loop or an absurdly long chain raises Exception.
fs::path FinalTarget(const fs::path& target) {
    constexpr int kMaxHops = 40; // as the system's own limit on nested links
    fs::path p = target;
    for (int hop = 0; hop <= kMaxHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            throw Exception("Cannot write file " + Quoted(target) + ": " + ec.message());
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    throw Exception("Cannot write file " + Quoted(target) + ": too many levels of symbolic links");
}

fs::path TemporaryNameBeside(const fs::path& target) {
    std::random_device rd;
    const auto tag = std::to_string(rd() % 1000000u);
    fs::path tmp = target;
    tmp += ".tmp" + tag;
    return tmp;
}

} // namespace

std::string PathToText(const fs::path& p) {
    // Through UTF-8 on every system: MinGW's narrow path strings are UTF-8 too, not the ANSI
    // code page, so the program's 1252 text is converted explicitly.
    const std::u8string utf8 = p.u8string();
    return Utf8ToWin1252(std::string(utf8.begin(), utf8.end()));
}

fs::path TextToPath(std::string_view text) {
    const std::string utf8 = Win1252ToUtf8(text);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ReadWholeFile(const fs::path& file) {
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (ec || !fs::exists(status)) {
        throw Exception("Cannot open file " + Quoted(file) + ": the file does not exist");
    }
    if (fs::is_directory(status)) {
        throw Exception("Cannot open file " + Quoted(file) + ": it is a folder, not a file");
    }
    FilePtr f = OpenFile(file, "rb");
    if (!f) throw Exception("Cannot open file " + Quoted(file) + ": " + SystemReason(errno));
    std::string data;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f.get());
        data.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(f.get())) {
        throw Exception("Cannot read file " + Quoted(file) + ": " + SystemReason(errno));
    }
    return data;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextFileLines(const fs::path& file) {
    return SplitTextLines(ReadWholeFile(file));
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    std::size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void WriteFileAtomically(const fs::path& target, std::string_view bytes,
                         const TWriteOptions& options) {
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        throw Exception("Cannot write file " + Quoted(target) + ": it is a folder, not a file");
    }
    // Through a symbolic link the link stays and its target gets the new bytes; the temporary
    // file sits beside the target so that the rename stays on one file system.
    const fs::path file = FinalTarget(target);
    const auto existing = fs::status(file, ec);
    const bool keepPermissions = !ec && fs::is_regular_file(existing);
    const fs::path tmp = TemporaryNameBeside(file);
    {
        FilePtr f = OpenFile(tmp, "wb");
        if (!f) {
            throw Exception("Cannot write file " + Quoted(target) + ": " + SystemReason(errno));
        }
        const std::size_t allowed =
            bytes.size() < options.FailAfterBytes ? bytes.size() : options.FailAfterBytes;
        const std::size_t written = std::fwrite(bytes.data(), 1, allowed, f.get());
        int err = errno;
        bool ok = written == bytes.size();
        if (ok && std::fflush(f.get()) != 0) {
            err = errno;
            ok = false;
        }
        if (!ok) {
            f.reset();
            fs::remove(tmp, ec);
            throw Exception("Cannot write file " + Quoted(target) + ": " +
                            (written < allowed ? SystemReason(err) : "the write was cut short"));
        }
        if (std::fclose(f.release()) != 0) {
            err = errno;
            fs::remove(tmp, ec);
            throw Exception("Cannot write file " + Quoted(target) + ": " + SystemReason(err));
        }
    }
    // The user's permissions on the file survive the save; a new file keeps the default. A file
    // system without permissions refuses, and the save goes ahead all the same.
    if (keepPermissions) {
        std::error_code ignored;
        fs::permissions(tmp, existing.permissions(), ignored);
    }
    fs::rename(tmp, file, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw Exception("Cannot write file " + Quoted(target) + ": " + ec.message());
    }
}

} // namespace kv
