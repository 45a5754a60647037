// The settings record: every key read from and written to its own line of the settings file.
#include "workspace/Settings.h"

#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kv {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

class SettingsTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path File() const { return dir_ / "korvane.ini"; }
    ScratchFolder dir_;
};

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
