// Initialisation files: reading values the way the Windows profile functions do, and writing
// keys back without disturbing the rest of the file.
#include "workspace/IniFile.h"

#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace kv {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// A scratch folder and an initialisation file in it made from given bytes.
class IniFileFixture {
protected:
    [[nodiscard]] TIniFile IniWith(const std::string& bytes) const {
        WriteBytes(File(), bytes);
        return TIniFile(File());
    }
    [[nodiscard]] std::filesystem::path File() const { return dir_ / "korvane.ini"; }
    [[nodiscard]] const ScratchFolder& Dir() const { return dir_; }

private:
    ScratchFolder dir_;
};

class IniFileTest : public ::testing::Test, protected IniFileFixture {};

// ---------------------------------------------------------------------------------------------
// Values

struct ValueCase {
    std::string Raw;
    std::string Read;
};

class IniValueTest : public ::testing::TestWithParam<ValueCase>, protected IniFileFixture {};

TEST_P(IniValueTest, TrimsAndRemovesOnePairOfEnclosingQuotes) {
    const TIniFile ini = IniWith("[Settings]\r\nValue=" + GetParam().Raw + "\r\n");
    EXPECT_EQ(ini.ReadString("Settings", "Value", "default"), GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniValueTest,
    ::testing::Values(
        ValueCase{"plain", "plain"}, ValueCase{"  padded  ", "padded"},
        ValueCase{"\ttabs\t", "tabs"}, ValueCase{"", ""}, ValueCase{"two words", "two words"},
        ValueCase{"\"C:\\Games\\Thief 2\\dromed.exe\"", "C:\\Games\\Thief 2\\dromed.exe"},
        ValueCase{" \"quoted after spaces\" ", "quoted after spaces"},
        ValueCase{"\" keeps inner spaces \"", " keeps inner spaces "},
        ValueCase{"'single'", "single"}, ValueCase{"\"\"", ""}, ValueCase{"''", ""},
        ValueCase{"\"", "\""}, ValueCase{"'", "'"}, ValueCase{"\"mismatched'", "\"mismatched'"},
        ValueCase{"'mismatched\"", "'mismatched\""}, ValueCase{"\"open", "\"open"},
        ValueCase{"close\"", "close\""}, ValueCase{"''twice''", "'twice'"},
        ValueCase{"\"in\"side\"", "in\"side"}, ValueCase{"a=b", "a=b"},
        ValueCase{"caf\xE9 \x80", "caf\xE9 \x80"}));

// ---------------------------------------------------------------------------------------------
// Finding sections and keys

struct LookupCase {
    const char* Name;
    std::string File;
    const char* Section;
    const char* Key;
    const char* Read;
};

class IniLookupTest : public ::testing::TestWithParam<LookupCase>, protected IniFileFixture {};

TEST_P(IniLookupTest, FindsTheValue) {
    const TIniFile ini = IniWith(GetParam().File);
    EXPECT_EQ(ini.ReadString(GetParam().Section, GetParam().Key, "default"), GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniLookupTest,
    ::testing::Values(
        LookupCase{"SectionInOtherCase", "[SETTINGS]\r\nDock=1\r\n", "Settings", "Dock", "1"},
        LookupCase{"KeyInOtherCase", "[Settings]\r\ndOCK=1\r\n", "settings", "DOCK", "1"},
        LookupCase{"AccentedNamesInOtherCase", "[Caf\xC9]\r\nN\xC9=1\r\n", "caf\xE9", "n\xE9", "1"},
        LookupCase{"SpacesAroundKey", "[Settings]\r\n  Dock  =  4  \r\n", "Settings", "Dock", "4"},
        LookupCase{"FirstKeyWins", "[Settings]\r\nDock=1\r\nDock=2\r\n", "Settings", "Dock", "1"},
        LookupCase{"FirstSectionWins", "[Settings]\r\nDock=1\r\n[settings]\r\nDock=2\r\n",
                   "Settings", "Dock", "1"},
        LookupCase{"KeyOfAnotherSection", "[Other]\r\nDock=1\r\n[Settings]\r\nPush=0\r\n",
                   "Settings", "Dock", "default"},
        LookupCase{"KeyAfterTheSection", "[Settings]\r\nPush=0\r\n[Other]\r\nDock=1\r\n",
                   "Settings", "Dock", "default"},
        LookupCase{"KeyBeforeAnySection", "Dock=1\r\n[Settings]\r\n", "Settings", "Dock",
                   "default"},
        LookupCase{"MissingSection", "[Other]\r\nDock=1\r\n", "Settings", "Dock", "default"},
        LookupCase{"EmptyFile", "", "Settings", "Dock", "default"},
        LookupCase{"CommentIsNoKey", "[Settings]\r\n;Dock=1\r\n", "Settings", "Dock", "default"},
        LookupCase{"LineWithoutEqualsSkipped", "[Settings]\r\nDock\r\nDock=4\r\n", "Settings",
                   "Dock", "4"},
        LookupCase{"LfLineEnds", "[Other]\nx=1\n[Settings]\nDock=2\n", "Settings", "Dock", "2"},
        LookupCase{"CrLineEnds", "[Other]\rx=1\r[Settings]\rDock=2\r", "Settings", "Dock", "2"},
        LookupCase{"ZeroByteEndsTheFile", "[Settings]\r\nPush=0\r\n\0Dock=2\r\n"s, "Settings",
                   "Dock", "default"},
        LookupCase{"EmptyValueIsAValue", "[Settings]\r\nDromEdPath=\r\n", "Settings", "DromEdPath",
                   ""}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    const TIniFile ini(Dir() / "absent.ini");
    EXPECT_EQ(ini.ReadString("Settings", "Dock", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("Settings", "Dock", 3), 3);
    EXPECT_TRUE(ini.ReadBool("Settings", "Push", true));
    EXPECT_EQ(ini.Text(), "");
}

TEST_F(IniFileTest, FolderInPlaceOfTheFileReadsAsEmpty) {
    std::filesystem::create_directory(File());
    const TIniFile ini(File());
    EXPECT_EQ(ini.ReadInteger("Settings", "Dock", 3), 3);
}

TEST_F(IniFileTest, BinaryGarbageReadsDefaults) {
    std::mt19937 random(20240601);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFF);
        if (c == '[' || c == '\0') c = '=';
    }
    const TIniFile ini = IniWith(garbage);
    EXPECT_EQ(ini.ReadString("Settings", "DromEdPath", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("Settings", "Dock", 3), 3);
}

// ---------------------------------------------------------------------------------------------
// Integers and booleans

struct IntegerCase {
    std::string Raw;
    std::int32_t Read;
};

class IniIntegerTest : public ::testing::TestWithParam<IntegerCase>, protected IniFileFixture {};

TEST_P(IniIntegerTest, ReadsOnlyWholeNumbers) {
    const TIniFile ini = IniWith("[Settings]\r\nValue=" + GetParam().Raw + "\r\n");
    EXPECT_EQ(ini.ReadInteger("Settings", "Value", 99), GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniIntegerTest,
    ::testing::Values(IntegerCase{"12", 12}, IntegerCase{"12abc", 99}, IntegerCase{"abc", 99},
                      IntegerCase{"", 99}, IntegerCase{"-5", -5}, IntegerCase{"+7", 7},
                      IntegerCase{" 42 ", 42}, IntegerCase{"\"17\"", 17}, IntegerCase{"0", 0},
                      IntegerCase{"007", 7}, IntegerCase{"0x10", 99}, IntegerCase{"3.9", 99},
                      IntegerCase{"-", 99}, IntegerCase{"+", 99}, IntegerCase{"- 5", 99},
                      IntegerCase{"--5", 99}, IntegerCase{"2147483647", kMax},
                      IntegerCase{"-2147483648", kMin}, IntegerCase{"2147483648", 99},
                      IntegerCase{"99999999999", 99}, IntegerCase{"-99999999999", 99},
                      IntegerCase{std::string(5000, '9'), 99},
                      IntegerCase{"-" + std::string(5000, '9'), 99}, IntegerCase{"1 (left)", 99},
                      IntegerCase{"-2147483649", 99}, IntegerCase{"1 2", 99},
                      IntegerCase{"'-12'", -12}));

struct BoolCase {
    std::string Raw;
    bool Default;
    bool Read;
};

class IniBoolTest : public ::testing::TestWithParam<BoolCase>, protected IniFileFixture {};

TEST_P(IniBoolTest, NonZeroIsTrue) {
    const TIniFile ini = IniWith("[Settings]\r\nFlag=" + GetParam().Raw + "\r\n");
    EXPECT_EQ(ini.ReadBool("Settings", "Flag", GetParam().Default), GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniBoolTest,
    ::testing::Values(BoolCase{"1", false, true}, BoolCase{"0", true, false},
                      BoolCase{"2", false, true}, BoolCase{"-1", false, true},
                      BoolCase{"00", true, false}, BoolCase{"0abc", true, true},
                      BoolCase{"1abc", false, false}, BoolCase{"x", true, true},
                      BoolCase{"x", false, false}, BoolCase{"", true, true},
                      BoolCase{"", false, false}, BoolCase{"true", false, false},
                      BoolCase{"99999999999", false, false}, BoolCase{"0x1", false, false},
                      BoolCase{"\"1\"", false, true}));

// ---------------------------------------------------------------------------------------------
// Writing

struct WriteCase {
    const char* Name;
    std::string Before;
    const char* Section;
    const char* Key;
    const char* Value;
    std::string After;
};

class IniWriteTest : public ::testing::TestWithParam<WriteCase>, protected IniFileFixture {};

TEST_P(IniWriteTest, ChangesOnlyTheKeysLine) {
    TIniFile ini = IniWith(GetParam().Before);
    ini.WriteString(GetParam().Section, GetParam().Key, GetParam().Value);
    EXPECT_EQ(ini.Text(), GetParam().After);
    EXPECT_EQ(ini.ReadString(GetParam().Section, GetParam().Key, "default"), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniWriteTest,
    ::testing::Values(
        WriteCase{"IntoEmptyFile", "", "Settings", "Dock", "1", "[Settings]\r\nDock=1\r\n"},
        WriteCase{"ReplacesInPlace", "[Settings]\r\nDock=1\r\n; note\r\nPush=0\r\n", "Settings",
                  "Dock", "4", "[Settings]\r\nDock=4\r\n; note\r\nPush=0\r\n"},
        WriteCase{"ReplacesKeyWrittenInOtherCase", "[SETTINGS]\r\n  dock = 1\r\n", "Settings",
                  "Dock", "2", "[SETTINGS]\r\nDock=2\r\n"},
        WriteCase{"ReplacesOnlyTheFirstOfTwo", "[Settings]\r\nDock=1\r\nDock=2\r\n", "Settings",
                  "Dock", "3", "[Settings]\r\nDock=3\r\nDock=2\r\n"},
        WriteCase{"AddsAtTheEndOfItsSection", "[Settings]\r\nDock=1\r\n\r\n[Other]\r\nx=1\r\n",
                  "Settings", "Push", "0",
                  "[Settings]\r\nDock=1\r\nPush=0\r\n\r\n[Other]\r\nx=1\r\n"},
        WriteCase{"AddsToAnEmptySection", "[Settings]\r\n[Other]\r\nx=1\r\n", "Settings", "Push",
                  "0", "[Settings]\r\nPush=0\r\n[Other]\r\nx=1\r\n"},
        WriteCase{"AddsTheSectionAtTheEnd", "; Korvane\r\n[Other]\r\nx=1\r\n", "Settings", "Dock",
                  "3", "; Korvane\r\n[Other]\r\nx=1\r\n\r\n[Settings]\r\nDock=3\r\n"},
        WriteCase{"LfFileComesOutCrLf", "[Other]\nx=1\n[Settings]\nDock=1\n", "Settings", "Dock",
                  "2", "[Other]\r\nx=1\r\n[Settings]\r\nDock=2\r\n"},
        WriteCase{"ValueWrittenUnchanged", "[Settings]\r\n", "Settings", "DromEdPath",
                  "\"C:\\Games\\dromed.exe\" -x",
                  "[Settings]\r\nDromEdPath=\"C:\\Games\\dromed.exe\" -x\r\n"}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST_F(IniFileTest, WritingDoesNotTouchTheFileUntilUpdate) {
    const std::string original = "[Settings]\r\nDock=1\r\n";
    TIniFile ini = IniWith(original);
    ini.WriteInteger("Settings", "Dock", 4);
    EXPECT_EQ(ReadBytes(File()), original);
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(File()), "[Settings]\r\nDock=4\r\n");
}

TEST_F(IniFileTest, IntegersAndBooleansWrittenInDecimal) {
    TIniFile ini(File());
    ini.WriteInteger("Settings", "Min", kMin);
    ini.WriteInteger("Settings", "Max", kMax);
    ini.WriteBool("Settings", "Yes", true);
    ini.WriteBool("Settings", "No", false);
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(File()),
              "[Settings]\r\nMin=-2147483648\r\nMax=2147483647\r\nYes=1\r\nNo=0\r\n");
    const TIniFile reread(File());
    EXPECT_EQ(reread.ReadInteger("Settings", "Min", 0), kMin);
    EXPECT_EQ(reread.ReadInteger("Settings", "Max", 0), kMax);
}

TEST_F(IniFileTest, UpdateIntoMissingFolderRaises) {
    TIniFile ini(Dir() / "gone" / "korvane.ini");
    ini.WriteInteger("Settings", "Dock", 1);
    EXPECT_THROW(ini.UpdateFile(), Exception);
    EXPECT_TRUE(Dir().Entries().empty());
}

} // namespace
} // namespace kv
