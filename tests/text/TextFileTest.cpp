// Whole-file reads, line splitting and writes that never destroy the old file.
#include "text/TextFile.h"

#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using test::ExceptionMessage;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;
using Lines = std::vector<std::string>;

TEST(TextLinesTest, SplitAtEveryKindOfLineBreakAndJoinWithCrLf) {
    const struct {
        std::string_view Text;
        Lines Expected;
    } cases[] = {{""sv, {}},
                 {"a\rb\nc\r\nd"sv, {"a", "b", "c", "d"}},
                 {"a\r\n\r\n\nb\r\n"sv, {"a", "", "", "b"}},
                 {"a\n\rb"sv, {"a", "", "b"}},            {"\r\r"sv, {"", ""}},
                 // a zero byte ends the text
                 {"a\r\nb\0c\r\nd"sv, {"a", "b"}}, {"a\r\0\nb"sv, {"a"}},
                 {"caf\xE9\r\n\x80\xFF"sv, {"caf\xE9", "\x80\xFF"}}};
    for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.Text), c.Expected) << c.Text;
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}) + JoinLinesCrLf({}), "a\r\n\r\nb\r\n");
}

TEST(ReadWholeFileTest, ReadsEveryByteAtSizesAroundTheReadBlock) {
    const ScratchFolder dir;
    for (const std::size_t size : {0u, 65535u, 65536u, 65537u, 3u * 65536u}) {
        const std::string bytes = test::AllByteValues(size);
        WriteBytes(dir / "sized.bin", bytes);
        EXPECT_EQ(ReadWholeFile(dir / "sized.bin"), bytes) << size;
    }
    const std::string longLine(6 * 1024 * 1024, 'x');
    WriteBytes(dir / "long.txt", longLine + "\r\nend");
    EXPECT_EQ(ReadTextFileLines(dir / "long.txt"), (Lines{longLine, "end"}));
}

// Reading or writing a folder or a file in a missing folder raises a message naming the file.
TEST(TextFileErrorsTest, FoldersAndMissingFilesRaiseMessagesNamingThem) {
    const ScratchFolder dir;
    std::filesystem::create_directory(dir / "favourites.kvf");
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[&] { (void)ReadWholeFile(dir.Path() / TextToPath("caf\xE9.kvf")); }, "caf\xE9.kvf"},
        {[&] { (void)ReadWholeFile(dir / "favourites.kvf"); }, "favourites.kvf\": it is a folder"},
        {[&] { WriteFileAtomically(dir / "favourites.kvf", "x"); }, "favourites.kvf"},
        {[&] { WriteFileAtomically(dir / "no-such-folder" / "out.kvf", "x"); }, "out.kvf"}};
    for (const auto& [action, part] : failures) {
        const std::string message = ExceptionMessage(action);
        EXPECT_NE(message.find(part), std::string::npos) << message;
    }
    EXPECT_EQ(dir.Entries(), Lines{"favourites.kvf"});
}

// Bytes reach the file exactly; a write that fails after Limit bytes leaves the old file, and
// no temporary file is left either way.
TEST(WriteFileAtomicallyTest, ReplacesTheFileExactlyOrLeavesItAsItWas) {
    const std::string oldBytes = "old content\r\n" + test::AllByteValues();
    const std::string newBytes = "a\nb\r\nc\rd\0e"s + test::AllByteValues(300); // 310 bytes
    for (const std::size_t limit : {0u, 150u, 309u, 310u}) {
        SCOPED_TRACE(limit);
        const ScratchFolder dir;
        const bool fails = limit < newBytes.size();
        WriteBytes(dir / "keep.kvf", oldBytes);
        const auto write = [&](const char* name) {
            return ExceptionMessage(
                [&] { WriteFileAtomically(dir / name, newBytes, TWriteOptions{limit}); });
        };
        const std::string message = write("keep.kvf");
        EXPECT_EQ(message.find("keep.kvf") != std::string::npos, fails) << message;
        EXPECT_EQ(ReadBytes(dir / "keep.kvf"), fails ? oldBytes : newBytes);
        EXPECT_EQ(write("new.kvf").empty(), !fails);
        EXPECT_EQ(dir.Entries(), fails ? Lines{"keep.kvf"} : Lines({"keep.kvf", "new.kvf"}));
        WriteFileAtomically(dir / "keep.kvf", "");
        EXPECT_EQ(ReadBytes(dir / "keep.kvf"), "");
    }
}

} // namespace
} // namespace kv
