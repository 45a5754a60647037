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

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// ---------------------------------------------------------------------------------------------
// SplitTextLines

struct SplitCase {
    const char* Name;
    std::string_view Text;
    Lines Expected;
};

class SplitTextLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextLinesTest, SplitsAtEveryKindOfLineBreak) {
    EXPECT_EQ(SplitTextLines(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineBreaks, SplitTextLinesTest,
    ::testing::Values(SplitCase{"EmptyTextHasNoLines", ""sv, {}},
                      SplitCase{"SingleLineWithoutBreak", "abc"sv, {"abc"}},
                      SplitCase{"CrLf", "one\r\ntwo\r\n"sv, {"one", "two"}},
                      SplitCase{"LfOnly", "one\ntwo\n"sv, {"one", "two"}},
                      SplitCase{"CrOnly", "one\rtwo\r"sv, {"one", "two"}},
                      SplitCase{"Mixed", "a\rb\nc\r\nd"sv, {"a", "b", "c", "d"}},
                      SplitCase{"FinalLineWithoutBreakCounts", "a\r\nlast"sv, {"a", "last"}},
                      SplitCase{"BlankLinesKept", "a\r\n\r\n\nb\r\n"sv, {"a", "", "", "b"}},
                      SplitCase{"LoneBreakIsOneEmptyLine", "\r\n"sv, {""}},
                      SplitCase{"LfThenCrIsTwoBreaks", "a\n\rb"sv, {"a", "", "b"}},
                      SplitCase{"TwoCrsAreTwoBreaks", "\r\r"sv, {"", ""}},
                      SplitCase{"ZeroByteEndsTheText", "a\r\nb\0c\r\nd"sv, {"a", "b"}},
                      SplitCase{"ZeroByteFirstMeansNoLines", "\0abc\r\n"sv, {}},
                      SplitCase{"ZeroByteAfterCr", "a\r\0\nb"sv, {"a"}},
                      SplitCase{
                          "HighBytesUntouched", "caf\xE9\r\n\x80\xFF"sv, {"caf\xE9", "\x80\xFF"}}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(JoinLinesCrLfTest, EndsEveryLineWithCrLf) {
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLinesCrLf({""}), "\r\n");
    EXPECT_EQ(JoinLinesCrLf({}), "");
}

TEST(JoinLinesCrLfTest, SplitGivesTheLinesBack) {
    const Lines lines = {"first", "", "  spaced  ", "caf\xE9", "{}"};
    EXPECT_EQ(SplitTextLines(JoinLinesCrLf(lines)), lines);
}

// ---------------------------------------------------------------------------------------------
// ReadWholeFile

TEST(ReadWholeFileTest, MissingFileRaisesMessageNamingTheFile) {
    const ScratchFolder dir;
    const auto file = dir / "missing.kvf";
    const std::string message = ExceptionMessage([&] { (void)ReadWholeFile(file); });
    EXPECT_TRUE(Contains(message, "missing.kvf")) << message;
}

TEST(ReadWholeFileTest, FolderRaisesMessageNamingTheFolder) {
    const ScratchFolder dir;
    const auto folder = dir / "favourites.kvf";
    std::filesystem::create_directory(folder);
    const std::string message = ExceptionMessage([&] { (void)ReadWholeFile(folder); });
    EXPECT_TRUE(Contains(message, "favourites.kvf")) << message;
    EXPECT_TRUE(Contains(message, "folder")) << message;
}

TEST(ReadWholeFileTest, AccentedFileNameAppearsInMessageAsWin1252) {
    const ScratchFolder dir;
    const auto file = dir.Path() / TextToPath("caf\xE9.kvf");
    const std::string message = ExceptionMessage([&] { (void)ReadWholeFile(file); });
    EXPECT_TRUE(Contains(message, "caf\xE9.kvf")) << message;
}

TEST(ReadWholeFileTest, BinaryGarbageReadsByteForByte) {
    const ScratchFolder dir;
    const auto file = dir / "garbage.bin";
    const std::string bytes = test::AllByteValues(4096) + "\0\0\r\n\x1A tail"s;
    WriteBytes(file, bytes);
    EXPECT_EQ(ReadWholeFile(file), bytes);
}

class ReadWholeFileSizeTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ReadWholeFileSizeTest, ReadsExactlyTheFileSize) {
    const ScratchFolder dir;
    const auto file = dir / "sized.bin";
    const std::string bytes = test::AllByteValues(GetParam());
    WriteBytes(file, bytes);
    EXPECT_EQ(ReadWholeFile(file), bytes);
}

// Sizes around the reader's chunk size as well as the trivial ones.
INSTANTIATE_TEST_SUITE_P(Sizes, ReadWholeFileSizeTest,
                         ::testing::Values(0u, 1u, 65535u, 65536u, 65537u, 3u * 65536u));

TEST(ReadTextFileLinesTest, LineOfSeveralMegabytesReadsWhole) {
    const ScratchFolder dir;
    const auto file = dir / "long.txt";
    const std::string longLine(6 * 1024 * 1024, 'x');
    WriteBytes(file, longLine + "\r\nend");
    const Lines lines = ReadTextFileLines(file);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longLine);
    EXPECT_EQ(lines[1], "end");
}

// ---------------------------------------------------------------------------------------------
// WriteFileAtomically

TEST(WriteFileAtomicallyTest, WritesBytesExactlyWithoutTranslation) {
    const ScratchFolder dir;
    const auto file = dir / "out.bin";
    const std::string bytes = "a\nb\r\nc\rd\0e"s + test::AllByteValues();
    WriteFileAtomically(file, bytes);
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(dir.Entries(), Lines{"out.bin"});
}

TEST(WriteFileAtomicallyTest, EmptyContentMakesEmptyFile) {
    const ScratchFolder dir;
    const auto file = dir / "empty.txt";
    WriteFileAtomically(file, "");
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(ReadBytes(file), "");
}

TEST(WriteFileAtomicallyTest, ReplacesLongerExistingFile) {
    const ScratchFolder dir;
    const auto file = dir / "out.txt";
    WriteBytes(file, std::string(10000, 'o'));
    WriteFileAtomically(file, "new\r\n");
    EXPECT_EQ(ReadBytes(file), "new\r\n");
    EXPECT_EQ(dir.Entries(), Lines{"out.txt"});
}

TEST(WriteFileAtomicallyTest, FailureLimitAtOrBeyondSizeDoesNotFail) {
    const ScratchFolder dir;
    const auto file = dir / "out.txt";
    WriteFileAtomically(file, "12345", TWriteOptions{5});
    EXPECT_EQ(ReadBytes(file), "12345");
    WriteFileAtomically(file, "abc", TWriteOptions{100});
    EXPECT_EQ(ReadBytes(file), "abc");
}

class FailedWriteTest : public ::testing::TestWithParam<std::size_t> {
protected:
    const std::string NewBytes = "*FAVLIST\r\n" + std::string(300, 'n') + "\r\n~FAVLIST\r\n";
};

TEST_P(FailedWriteTest, LeavesOldFileUnchangedAndNoTemporaryFile) {
    const ScratchFolder dir;
    const auto file = dir / "keep.kvf";
    const std::string oldBytes = "old content\r\n" + test::AllByteValues();
    WriteBytes(file, oldBytes);

    const std::string message =
        ExceptionMessage([&] { WriteFileAtomically(file, NewBytes, TWriteOptions{GetParam()}); });

    EXPECT_TRUE(Contains(message, "keep.kvf")) << message;
    EXPECT_EQ(ReadBytes(file), oldBytes);
    EXPECT_EQ(dir.Entries(), Lines{"keep.kvf"});
}

TEST_P(FailedWriteTest, WithoutOldFileLeavesFolderEmpty) {
    const ScratchFolder dir;
    const auto file = dir / "new.kvf";
    EXPECT_THROW(WriteFileAtomically(file, NewBytes, TWriteOptions{GetParam()}), Exception);
    EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(FailAfter, FailedWriteTest, ::testing::Values(0u, 1u, 150u, 321u));

TEST(WriteFileAtomicallyTest, TargetThatIsAFolderRaises) {
    const ScratchFolder dir;
    const auto folder = dir / "taken";
    std::filesystem::create_directory(folder);
    const std::string message = ExceptionMessage([&] { WriteFileAtomically(folder, "x"); });
    EXPECT_TRUE(Contains(message, "taken")) << message;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(dir.Entries(), Lines{"taken"});
}

TEST(WriteFileAtomicallyTest, MissingParentFolderRaises) {
    const ScratchFolder dir;
    const auto file = dir / "no-such-folder" / "out.kvf";
    const std::string message = ExceptionMessage([&] { WriteFileAtomically(file, "x"); });
    EXPECT_TRUE(Contains(message, "out.kvf")) << message;
    EXPECT_TRUE(dir.Entries().empty());
}

// ---------------------------------------------------------------------------------------------
// Paths as text

TEST(PathTextTest, AccentedNameRoundTripsThroughTheFileSystem) {
    const ScratchFolder dir;
    const std::string name = "Caf\xE9 \x80 list.kvf";
    WriteFileAtomically(dir.Path() / TextToPath(name), "x");
    const auto entries = std::filesystem::directory_iterator(dir.Path());
    ASSERT_NE(entries, std::filesystem::directory_iterator());
    EXPECT_EQ(PathToText(entries->path().filename()), name);
}

} // namespace
} // namespace kv
