// Initialisation files: reading values the way the Windows profile functions do, and writing
// keys back without disturbing the rest of the file.
#include "workspace/IniFile.h"

#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace kv {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class IniFileTest : public ::testing::Test {
protected:
    [[nodiscard]] TIniFile IniWith(const std::string& bytes) const {
        WriteBytes(File(), bytes);
        return TIniFile(File());
    }
    [[nodiscard]] TIniFile IniWithValue(const std::string& raw) const {
        return IniWith("[Settings]\r\nValue=" + raw + "\r\n");
    }
    [[nodiscard]] std::filesystem::path File() const { return dir_ / "korvane.ini"; }
    ScratchFolder dir_;
};

TEST_F(IniFileTest, ValuesTrimmedAndOnePairOfEnclosingQuotesRemoved) {
    const std::pair<std::string, std::string> cases[] = {
        {"  padded\t", "padded"},
        {"", ""},
        {" \"C:\\Thief 2\\dromed.exe\" ", "C:\\Thief 2\\dromed.exe"},
        {"\" inner spaces \"", " inner spaces "},
        {"''", ""},
        {"\"", "\""},
        {"\"mismatched'", "\"mismatched'"},
        {"''twice''", "'twice'"},
    };
    for (const auto& [raw, read] : cases) {
        EXPECT_EQ(IniWithValue(raw).ReadString("Settings", "Value", "default"), read) << raw;
    }
}

TEST_F(IniFileTest, FindsTheValueOfItsSectionAndKey) {
    const struct {
        std::string File;
        const char* Section;
        const char* Key;
        const char* Read;
    } cases[] = {
        {"[CAF\xC9]\r\nN\xC9=1\r\n", "caf\xE9", "n\xE9", "1"},
        {"[Settings]\r\n  Dock  =  4  \r\nDock=2\r\n", "Settings", "Dock", "4"},
        {"Dock=1\r\n[Other]\r\nDock=1\r\n[Settings]\r\nPush=0\r\n", "Settings", "Dock", "default"},
        {"[Settings]\r\n;Dock=1\r\nDock\r\n", "Settings", "Dock", "default"},
        {"[Other]\rx=1\r[Settings]\rDock=2\r", "Settings", "Dock", "2"},
        {"[Settings]\r\nPush=0\r\n\0Dock=2\r\n"s, "Settings", "Dock", "default"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniWith(c.File).ReadString(c.Section, c.Key, "default"), c.Read) << c.File;
    }
}

TEST_F(IniFileTest, MissingFileOrFolderReadsAsEmpty) {
    std::filesystem::create_directory(File());
    for (const auto& file : {dir_ / "absent.ini", File()}) {
        const TIniFile ini(file);
        EXPECT_EQ(ini.ReadString("Settings", "Dock", "d"), "d");
        EXPECT_EQ(ini.ReadInteger("Settings", "Dock", 3), 3);
        EXPECT_TRUE(ini.ReadBool("Settings", "Push", true));
        EXPECT_EQ(ini.Text(), "");
    }
}

TEST_F(IniFileTest, IntegersOnlyWholeNumbersAndBooleansNonZero) {
    const std::pair<std::string, std::int32_t> integers[] = {
        {"12abc", 99},       {"", 99},         {"+7", 7},          {" \"17\" ", 17},
        {"-2147483648", kMin}, {"2147483647", kMax}, {"2147483648", 99}, {"-2147483649", 99}};
    for (const auto& [raw, read] : integers) {
        EXPECT_EQ(IniWithValue(raw).ReadInteger("Settings", "Value", 99), read) << raw;
    }
    const struct {
        std::string Raw;
        bool Default, Read;
    } bools[] = {{"-1", false, true}, {"00", true, false}, {"1abc", false, false},
                 {"x", true, true},   {"'1'", false, true}};
    for (const auto& c : bools) {
        EXPECT_EQ(IniWithValue(c.Raw).ReadBool("Settings", "Value", c.Default), c.Read) << c.Raw;
    }
}

// The settings file test covers replacing in place and adding at a section's end.
TEST_F(IniFileTest, WritingChangesOnlyTheKeysLine) {
    const struct {
        std::string Before;
        const char* Key;
        const char* Value;
        std::string After;
    } cases[] = {
        {"", "Dock", "1", "[Settings]\r\nDock=1\r\n"},
        {"[Settings]\r\nDock=1\r\nDock=2\r\n", "Dock", "3", "[Settings]\r\nDock=3\r\nDock=2\r\n"},
        {"[Settings]\r\n[Other]\r\nx=1\r\n", "Push", "0",
         "[Settings]\r\nPush=0\r\n[Other]\r\nx=1\r\n"},
        {"; Korvane\r\n[Other]\r\nx=1\r\n", "DromEdPath", "\"C:\\Games\\dromed.exe\" -x",
         "; Korvane\r\n[Other]\r\nx=1\r\n\r\n[Settings]\r\nDromEdPath=\"C:\\Games\\dromed.exe\" "
         "-x\r\n"},
    };
    for (const auto& c : cases) {
        TIniFile ini = IniWith(c.Before);
        ini.WriteString("Settings", c.Key, c.Value);
        EXPECT_EQ(ini.Text(), c.After);
    }
}

TEST_F(IniFileTest, NumbersWrittenInDecimalOnlyOnUpdate) {
    TIniFile ini = IniWith("[Settings]\r\nDock=1\r\n");
    ini.WriteInteger("Settings", "Dock", kMin);
    ini.WriteInteger("Settings", "Max", kMax);
    ini.WriteBool("Settings", "Yes", true);
    ini.WriteBool("Settings", "No", false);
    EXPECT_EQ(ReadBytes(File()), "[Settings]\r\nDock=1\r\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(File()),
              "[Settings]\r\nDock=-2147483648\r\nMax=2147483647\r\nYes=1\r\nNo=0\r\n");
}

TEST_F(IniFileTest, UpdateIntoMissingFolderRaises) {
    TIniFile ini(dir_ / "gone" / "korvane.ini");
    ini.WriteInteger("Settings", "Dock", 1);
    EXPECT_THROW(ini.UpdateFile(), Exception);
    EXPECT_TRUE(dir_.Entries().empty());
}

} // namespace
} // namespace kv
