// Saving over a symbolic link writes the file the link names and leaves the link in place;
// saving over a file keeps its permissions; nothing stray is left in either folder.
#include "text/Exception.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Symbolic links need extra rights on Windows.
#ifndef _WIN32
#include <sys/stat.h>

namespace kv {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using test::Entries;

// The permission bits as the system reports them, read without std::filesystem.
unsigned Mode(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return ~0u;
    return static_cast<unsigned>(st.st_mode & 07777);
}

TEST(AtomicSaveLinkTest, WritesThroughLinksAndKeepsPermissions) {
    // The user saves to user/a.kvf; File is the file that must get the bytes.
    struct TRow {
        const char* Name;
        std::vector<std::pair<const char*, const char*>> Links; // in user/: name, target
        const char* File;
        unsigned Mode; // the file's permissions beforehand; 0: there is no file yet
    };
    const TRow rows[] = {
        {"plain 0600", {}, "user/a.kvf", 0600},
        {"absolute link to another folder", {{"a.kvf", "@/store/a.kvf"}}, "store/a.kvf", 0640},
        {"relative link", {{"a.kvf", "../store/a.kvf"}}, "store/a.kvf", 0600},
        {"chain of two", {{"b.kvf", "../store/a.kvf"}, {"a.kvf", "b.kvf"}}, "store/a.kvf", 0640},
        {"dangling link", {{"a.kvf", "../store/new.kvf"}}, "store/new.kvf", 0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        test::ScratchFolder scratch;
        fs::create_directory(scratch / "user");
        fs::create_directory(scratch / "store");
        const fs::path file = scratch / row.File;
        if (row.Mode != 0) {
            test::WriteBytes(file, "old");
            fs::permissions(file, static_cast<fs::perms>(row.Mode));
        }
        for (const auto& [name, target] : row.Links) {
            const std::string to = target;
            fs::create_symlink(to.starts_with("@/") ? scratch / to.substr(2) : fs::path(to),
                               scratch / "user" / name);
        }
        const Strings user = Entries(scratch / "user");
        const Strings store = Entries(scratch / "store");
        test::WriteBytes(scratch / "fresh", ""); // a new file's usual permissions

        WriteFileAtomically(scratch / "user" / "a.kvf", "new\r\n");

        EXPECT_EQ(test::ReadBytes(file), "new\r\n");
        for (const auto& link : row.Links)
            EXPECT_TRUE(fs::is_symlink(scratch / "user" / link.first));
        EXPECT_EQ(Mode(file), row.Mode != 0 ? row.Mode : Mode(scratch / "fresh"));
        // No temporary file is left, and only the dangling link's target is new.
        EXPECT_EQ(Entries(scratch / "user"), user);
        EXPECT_EQ(Entries(scratch / "store").size(), store.size() + (row.Mode == 0 ? 1 : 0));
    }
}

TEST(AtomicSaveLinkTest, LinkOntoItselfIsRefused) {
    test::ScratchFolder scratch;
    fs::create_symlink("loop.kvf", scratch / "loop.kvf");
    EXPECT_THROW(WriteFileAtomically(scratch / "loop.kvf", "x"), Exception);
    EXPECT_TRUE(fs::is_symlink(scratch / "loop.kvf"));
    EXPECT_EQ(scratch.Entries(), (Strings{"loop.kvf"}));
}

} // namespace
} // namespace kv
#endif
