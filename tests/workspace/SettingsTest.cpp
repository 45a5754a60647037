// Initialisation files, read the way the Windows profile functions do and written back without
// disturbing the rest of the file; the settings record, every key on its own line of the file.
#include "workspace/IniFile.h"
#include "workspace/Settings.h"

#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

namespace kv {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class SettingsTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path File() const { return dir_ / "korvane.ini"; }
    [[nodiscard]] TIniFile IniWith(const std::string& bytes) const {
        WriteBytes(File(), bytes);
        return TIniFile(File());
    }
    [[nodiscard]] TIniFile IniWithValue(const std::string& raw) const {
        return IniWith("[Settings]\r\nValue=" + raw + "\r\n");
    }
    ScratchFolder dir_;
};
using IniFileTest = SettingsTest;

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
    // Raw value, default, read.
    const std::tuple<const char*, bool, bool> bools[] = {
        {"-1", false, true}, {"00", true, false}, {"x", true, true}};
    for (const auto& [raw, def, read] : bools) {
        EXPECT_EQ(IniWithValue(raw).ReadBool("Settings", "Value", def), read) << raw;
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

TEST_F(IniFileTest, NumbersWrittenInDecimalOnlyOnUpdateWhichRaisesIntoAMissingFolder) {
    TIniFile ini = IniWith("[Settings]\r\nDock=1\r\n");
    ini.WriteInteger("Settings", "Dock", kMin);
    ini.WriteInteger("Settings", "Max", kMax);
    ini.WriteBool("Settings", "Yes", true);
    ini.WriteBool("Settings", "No", false);
    EXPECT_EQ(ReadBytes(File()), "[Settings]\r\nDock=1\r\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(File()),
              "[Settings]\r\nDock=-2147483648\r\nMax=2147483647\r\nYes=1\r\nNo=0\r\n");
    TIniFile gone(dir_ / "gone" / "korvane.ini");
    gone.WriteInteger("Settings", "Dock", 1);
    EXPECT_THROW(gone.UpdateFile(), Exception);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "gone"));
}

// The settings section with the given values, keys in the order the program writes them.
std::string SettingsText(const std::array<const char*, 12>& values) {
    static const char* const keys[] = {"HkAdd",  "HkSel",   "HkTog",            "Dock",
                                       "Push",   "MisCheck", "MisBNum",         "SelObjByBrushNum",
                                       "CompressBrushNum", "DromEdPath", "DromEdLoPri",
                                       "DromEdAutoStart"};
    std::string text = "[Settings]\r\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += std::string(keys[i]) + "=" + values[i] + "\r\n";
    }
    return text;
}

// Within a row the numbers all differ, and across the rows each flag has its own pattern, so a
// key read into or written from another field shows in at least one row.
struct RecordCase {
    std::array<const char*, 12> Values;
    TSettings Record;
};

const RecordCase kRecords[] = {
    {{"32833", "32851", "32836", "3", "1", "1", "0", "0", "1", "", "1", "1"}, TSettings{}},
    {{"16465", "0", "57467", "1", "1", "0", "1", "0", "1", "C:\\Thief 2\\dromed.exe -edit", "0",
      "1"},
     // Ctrl+Q, none, Shift+Ctrl+Alt+F12
     {0x4051, 0, 0xE07B, 1, true, false, true, false, true, "C:\\Thief 2\\dromed.exe -edit", false,
      true}},
    {{"41025", "8257", "16496", "2", "0", "1", "1", "0", "0", "/opt/caf\xE9/dromed {x}=1", "1",
      "1"},
     {0xA041, 0x2041, 0x4070, 2, false, true, true, false, false, "/opt/caf\xE9/dromed {x}=1", true,
      true}},
    {{"0", "32848", "32834", "4", "0", "0", "0", "1", "1", "dromed.exe", "1", "1"},
     {0, 0x8050, 0x8042, 4, false, false, false, true, true, "dromed.exe", true, true}},
};

TEST_F(SettingsTest, EveryKeyReadAndWrittenOnItsOwnLine) {
    for (const RecordCase& c : kRecords) {
        SCOPED_TRACE(c.Values[0]);
        WriteBytes(File(), SettingsText(c.Values));
        TSettings read = kRecords[3].Record; // no default must leak into the result
        LoadSettings(read, File());
        EXPECT_EQ(read, c.Record);
        std::filesystem::remove(File());
        SaveSettings(c.Record, File());
        EXPECT_EQ(ReadBytes(File()), SettingsText(c.Values));
    }
}

TEST_F(SettingsTest, ReadingValuesOfOtherForms) {
    const struct {
        const char* Lines;
        TSettings Expected;
    } cases[] = {
        {"HkSel=65601\r\nHkTog=-1\r\nHkAdd=99999999999\r\n", {.HkSel = 65, .HkTog = 0xFFFF}},
        {"DromEdPath=\"C:\\Program Files\\dromed.exe\"\r\nDock='0'\r\nMisBNum=2\r\n",
         {.Dock = 0, .MisBNum = true, .DromEdPath = "C:\\Program Files\\dromed.exe"}},
        // Bad values keep what the record held.
        {"Dock=abc\r\nPush=\r\nHkAdd=5abc\r\nMisBNum=0yes\r\nDromEdLoPri=1x\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lines);
        WriteBytes(File(), std::string("[Settings]\r\n") + c.Lines);
        TSettings read;
        LoadSettings(read, File());
        EXPECT_EQ(read, c.Expected);
    }
}

TEST_F(SettingsTest, SaveKeepsOtherSectionsAndCommentsAndReplacesInPlace) {
    WriteBytes(File(), "; Korvane settings\n[Window]\nLeft=10\n\n[Settings]\nDock=1\n"
                       "; the add hotkey\nhkadd=5\nUnknown=kept\n\n[Tail]\nDock=9\n");
    SaveSettings(TSettings{}, File());
    EXPECT_EQ(ReadBytes(File()), "; Korvane settings\r\n[Window]\r\nLeft=10\r\n\r\n[Settings]\r\n"
                                 "Dock=3\r\n; the add hotkey\r\nHkAdd=32833\r\nUnknown=kept\r\n"
                                 "HkSel=32851\r\nHkTog=32836\r\nPush=1\r\nMisCheck=1\r\n"
                                 "MisBNum=0\r\nSelObjByBrushNum=0\r\nCompressBrushNum=1\r\n"
                                 "DromEdPath=\r\nDromEdLoPri=1\r\nDromEdAutoStart=1\r\n\r\n"
                                 "[Tail]\r\nDock=9\r\n");
}

TEST(SettingsFilePathTest, ProgramPathWithIniExtension) {
    EXPECT_EQ(SettingsFilePath("/opt/tools/Korvane.exe"), "/opt/tools/Korvane.ini");
    EXPECT_EQ(SettingsFilePath("tools/kv.v2"), "tools/kv.ini");
}

} // namespace
} // namespace kv
