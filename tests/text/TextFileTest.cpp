// Whole-file reads, line splitting and writes that never destroy the old file.
#include "text/TextFile.h"

#include "text/Exception.h"
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
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;
using Lines = std::vector<std::string>;

// The message of the kv::Exception that Action raises; a test failure when it raises none.
std::string ExceptionMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "no kv::Exception was raised";
    return {};
}

TEST(TextLinesTest, SplitAtEveryKindOfLineBreakAndJoinWithCrLf) {
    const struct {
        std::string_view Text;
        Lines Expected;
    } cases[] = {{""sv, {}},
                 {"a\rb\nc\r\nd"sv, {"a", "b", "c", "d"}},
                 {"a\r\n\r\n\nb\r\n"sv, {"a", "", "", "b"}},
                 {"a\n\rb"sv, {"a", "", "b"}},
                 {"\r\r"sv, {"", ""}},
                 {"a\r\nb\0c\r\nd"sv, {"a", "b"}}, // a zero byte ends the text
                 {"a\r\0\nb"sv, {"a"}},
                 {"caf\xE9\r\n\x80\xFF"sv, {"caf\xE9", "\x80\xFF"}}};
    for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.Text), c.Expected) << c.Text;
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLinesCrLf({}), "");
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
    const auto file = dir.Path() / TextToPath("caf\xE9.kvf");
    EXPECT_NE(ExceptionMessage([&] { (void)ReadWholeFile(file); }).find("caf\xE9.kvf"),
              std::string::npos);
    std::filesystem::create_directory(dir / "favourites.kvf");
    const std::string message =
        ExceptionMessage([&] { (void)ReadWholeFile(dir / "favourites.kvf"); });
    EXPECT_NE(message.find("favourites.kvf"), std::string::npos) << message;
    EXPECT_NE(message.find("folder"), std::string::npos) << message;
    EXPECT_NE(ExceptionMessage([&] { WriteFileAtomically(dir / "favourites.kvf", "x"); })
                  .find("favourites.kvf"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "favourites.kvf"));
    const auto lost = dir / "no-such-folder" / "out.kvf";
    EXPECT_NE(ExceptionMessage([&] { WriteFileAtomically(lost, "x"); }).find("out.kvf"),
              std::string::npos);
    EXPECT_EQ(dir.Entries(), Lines{"favourites.kvf"});
}

TEST(WriteFileAtomicallyTest, ReplacesTheFileWithTheBytesExactly) {
    const ScratchFolder dir;
    const auto file = dir / "out.bin";
    WriteBytes(file, std::string(10000, 'o'));
    const std::string bytes = "a\nb\r\nc\rd\0e"s + test::AllByteValues();
    WriteFileAtomically(file, bytes);
    EXPECT_EQ(ReadBytes(file), bytes);
    WriteFileAtomically(file, "12345", TWriteOptions{5}); // a failure limit at the size: no failure
    EXPECT_EQ(ReadBytes(file), "12345");
    WriteFileAtomically(file, "");
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(dir.Entries(), Lines{"out.bin"});
}

TEST(WriteFileAtomicallyTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const std::string newBytes = "*FAVLIST\r\n" + std::string(300, 'n') + "\r\n~FAVLIST\r\n";
    for (const std::size_t failAfter : {0u, 150u, 321u}) {
        SCOPED_TRACE(failAfter);
        const ScratchFolder dir;
        const std::string oldBytes = "old content\r\n" + test::AllByteValues();
        WriteBytes(dir / "keep.kvf", oldBytes);
        const std::string message = ExceptionMessage(
            [&] { WriteFileAtomically(dir / "keep.kvf", newBytes, TWriteOptions{failAfter}); });
        EXPECT_NE(message.find("keep.kvf"), std::string::npos) << message;
        EXPECT_EQ(ReadBytes(dir / "keep.kvf"), oldBytes);
        EXPECT_THROW(WriteFileAtomically(dir / "new.kvf", newBytes, TWriteOptions{failAfter}),
                     Exception);
        EXPECT_EQ(dir.Entries(), Lines{"keep.kvf"});
    }
}

} // namespace
} // namespace kv
