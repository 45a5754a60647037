// The settings record: its defaults, reading it from the settings file and writing it back.
#include "workspace/Settings.h"

#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

class SettingsTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path File() const { return dir_ / "korvane.ini"; }

    // The record read from a settings file with these bytes, starting from the defaults.
    [[nodiscard]] TSettings LoadFrom(const std::string& bytes) const {
        WriteBytes(File(), bytes);
        TSettings s;
        LoadSettings(s, File());
        return s;
    }

    ScratchFolder dir_;
};

// A record in which every field differs from its default.
TSettings Changed() {
    TSettings s;
    s.HkAdd = kShortcutCtrl | kShortcutShift | 'Q';
    s.HkSel = 0;
    s.HkTog = kShortcutAlt | kShortcutCtrl | kShortcutShift | 0x7B; // F12
    s.Dock = 0;
    s.Push = false;
    s.MisCheck = false;
    s.MisBNum = true;
    s.SelObjByBrushNum = true;
    s.CompressBrushNum = false;
    s.DromEdPath = "C:\\Games\\Thief 2\\dromed.exe -edit";
    s.DromEdLoPri = false;
    s.DromEdAutoStart = false;
    return s;
}

const std::string kDefaultFile = "[Settings]\r\n"
                                 "HkAdd=32833\r\n"
                                 "HkSel=32851\r\n"
                                 "HkTog=32836\r\n"
                                 "Dock=3\r\n"
                                 "Push=1\r\n"
                                 "MisCheck=1\r\n"
                                 "MisBNum=0\r\n"
                                 "SelObjByBrushNum=0\r\n"
                                 "CompressBrushNum=1\r\n"
                                 "DromEdPath=\r\n"
                                 "DromEdLoPri=1\r\n"
                                 "DromEdAutoStart=1\r\n";

// ---------------------------------------------------------------------------------------------
// Defaults and reading

TEST_F(SettingsTest, MissingFileLeavesEveryDefault) {
    TSettings s;
    LoadSettings(s, dir_ / "absent.ini");
    EXPECT_EQ(s.HkAdd, 32833); // Alt+A
    EXPECT_EQ(s.HkSel, 32851); // Alt+S
    EXPECT_EQ(s.HkTog, 32836); // Alt+D
    EXPECT_EQ(s.Dock, 3);      // right of DromEd
    EXPECT_TRUE(s.Push);
    EXPECT_TRUE(s.MisCheck);
    EXPECT_FALSE(s.MisBNum);
    EXPECT_FALSE(s.SelObjByBrushNum);
    EXPECT_TRUE(s.CompressBrushNum);
    EXPECT_EQ(s.DromEdPath, "");
    EXPECT_TRUE(s.DromEdLoPri);
    EXPECT_TRUE(s.DromEdAutoStart);
    EXPECT_EQ(s, TSettings{});
}

TEST_F(SettingsTest, MissingFileKeepsWhatTheRecordHeld) {
    TSettings s = Changed();
    LoadSettings(s, dir_ / "absent.ini");
    EXPECT_EQ(s, Changed());
}

TEST_F(SettingsTest, ReadsEveryKey) {
    const TSettings s = LoadFrom("[Settings]\r\n"
                                 "HkAdd=16465\r\n"
                                 "HkSel=0\r\n"
                                 "HkTog=57467\r\n"
                                 "Dock=0\r\n"
                                 "Push=0\r\n"
                                 "MisCheck=0\r\n"
                                 "MisBNum=1\r\n"
                                 "SelObjByBrushNum=1\r\n"
                                 "CompressBrushNum=0\r\n"
                                 "DromEdPath=C:\\Games\\Thief 2\\dromed.exe -edit\r\n"
                                 "DromEdLoPri=0\r\n"
                                 "DromEdAutoStart=0\r\n");
    TSettings expected = Changed();
    expected.HkAdd = 16465; // Ctrl+Q
    EXPECT_EQ(s, expected);
}

TEST_F(SettingsTest, ZeroShortcutMeansNoHotkey) {
    EXPECT_EQ(LoadFrom("[Settings]\r\nHkAdd=0\r\n").HkAdd, 0);
}

struct ShortcutCase {
    const char* Raw;
    std::uint16_t Read;
};

class ShortcutReadTest : public SettingsTest, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutReadTest, KeepsTheLowSixteenBits) {
    const TSettings s = LoadFrom("[Settings]\r\nHkSel="s + GetParam().Raw + "\r\n");
    EXPECT_EQ(s.HkSel, GetParam().Read);
}

INSTANTIATE_TEST_SUITE_P(Values, ShortcutReadTest,
                         ::testing::Values(ShortcutCase{"65601", 65}, // 0x10041
                                           ShortcutCase{"65536", 0}, ShortcutCase{"65535", 0xFFFF},
                                           ShortcutCase{"-1", 0xFFFF},
                                           ShortcutCase{"49217", 0xC041},
                                           ShortcutCase{"99999999999", 32851}, // default stays
                                           ShortcutCase{"16465abc", 32851},
                                           ShortcutCase{"Alt+A", 32851})); // default stays

TEST_F(SettingsTest, QuotedPathReadsUnquoted) {
    EXPECT_EQ(LoadFrom("[Settings]\r\nDromEdPath=\"C:\\Program Files\\DromEd\\dromed.exe\"\r\n")
                  .DromEdPath,
              "C:\\Program Files\\DromEd\\dromed.exe");
}

struct ReadCase {
    const char* Name;
    std::string Lines;
    TSettings Expected;
};

TSettings With(void (*change)(TSettings&)) {
    TSettings s;
    change(s);
    return s;
}

class SettingsReadTest : public SettingsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsReadTest, ReadsTheRecord) {
    EXPECT_EQ(LoadFrom(GetParam().Lines), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsReadTest,
    ::testing::Values(
        ReadCase{"BooleanTwoIsTrue", "[Settings]\r\nMisBNum=2\r\n",
                 With([](TSettings& s) { s.MisBNum = true; })},
        ReadCase{"BooleanZeroIsFalse", "[Settings]\r\nPush=0\r\n",
                 With([](TSettings& s) { s.Push = false; })},
        ReadCase{"BooleanNotANumberKeepsDefault", "[Settings]\r\nPush=x\r\nMisBNum=yes\r\n",
                 TSettings{}},
        ReadCase{"IntegerWithTrailingTextKeepsDefault", "[Settings]\r\nDock=1 (left)\r\n",
                 TSettings{}},
        ReadCase{"HexadecimalKeepsDefault", "[Settings]\r\nDock=0x10\r\nHkTog=0x8041\r\n",
                 TSettings{}},
        ReadCase{"BooleanWithTrailingTextKeepsDefault",
                 "[Settings]\r\nPush=0 (off)\r\nMisBNum=1yes\r\n", TSettings{}},
        ReadCase{"QuotedNumbersRead", "[Settings]\r\nDock=\"1\"\r\nPush='0'\r\n",
                 With([](TSettings& s) {
                     s.Dock = 1;
                     s.Push = false;
                 })},
        ReadCase{"StartKeysReadApart", "[Settings]\r\nDromEdLoPri=0\r\nDromEdAutoStart=1\r\n",
                 With([](TSettings& s) { s.DromEdLoPri = false; })},
        ReadCase{"StartKeysReadApartTheOtherWay",
                 "[Settings]\r\nDromEdLoPri=1\r\nDromEdAutoStart=0\r\n",
                 With([](TSettings& s) { s.DromEdAutoStart = false; })},
        ReadCase{"IntegerNotANumberKeepsDefault", "[Settings]\r\nDock=left\r\n", TSettings{}},
        ReadCase{"NamesIgnoreCase", "[settings]\r\ndock=2\r\nPUSH=0\r\n", With([](TSettings& s) {
                     s.Dock = 2;
                     s.Push = false;
                 })},
        ReadCase{"OtherSectionsIgnored", "[Other]\r\nDock=1\r\n[Settings]\r\nPush=0\r\n",
                 With([](TSettings& s) { s.Push = false; })},
        ReadCase{"KeysWithoutSectionIgnored", "Dock=1\r\nPush=0\r\n", TSettings{}},
        ReadCase{"GarbageValuesGiveDefaults",
                 "[Settings]\r\n"
                 "HkAdd=\x01\xFF\x80\r\nHkSel=\xFE\x7F\r\nHkTog=\x1B[A\r\nDock=\x9A\x02\r\n"
                 "Push=\x85\r\nMisCheck=\xA0\r\nMisBNum=\xC0\x80\r\nSelObjByBrushNum=\x7F\r\n"
                 "CompressBrushNum=\x1A\r\nDromEdLoPri=\x08\r\nDromEdAutoStart=\x0C\x0B\r\n",
                 TSettings{}},
        ReadCase{"ZeroByteEndsTheFile", "[Settings]\r\nDock=1\0\r\nPush=0\r\n"s,
                 With([](TSettings& s) { s.Dock = 1; })}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST_F(SettingsTest, BadValueKeepsWhatTheRecordHeld) {
    WriteBytes(File(), "[Settings]\r\nDock=abc\r\nPush=\r\nHkAdd=\r\n");
    TSettings s = Changed();
    LoadSettings(s, File());
    EXPECT_EQ(s, Changed());
}

TEST_F(SettingsTest, WholeFileOfGarbageGivesDefaults) {
    std::string garbage;
    for (int i = 0; i < 20000; ++i) {
        const auto c = static_cast<char>((i * 131 + i / 7) & 0xFF);
        garbage += (c == '[' || c == '\0') ? '=' : c;
    }
    EXPECT_EQ(LoadFrom(garbage), TSettings{});
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST_F(SettingsTest, NewFileHasEveryKeyInOrder) {
    SaveSettings(TSettings{}, File());
    EXPECT_EQ(ReadBytes(File()), kDefaultFile);
}

TEST_F(SettingsTest, StartKeysWrittenApart) {
    TSettings s;
    s.DromEdLoPri = false;
    SaveSettings(s, File());
    EXPECT_NE(ReadBytes(File()).find("DromEdLoPri=0\r\nDromEdAutoStart=1\r\n"), std::string::npos);
    s.DromEdLoPri = true;
    s.DromEdAutoStart = false;
    SaveSettings(s, File());
    EXPECT_NE(ReadBytes(File()).find("DromEdLoPri=1\r\nDromEdAutoStart=0\r\n"), std::string::npos);
}

class SettingsRoundTripTest : public SettingsTest,
                              public ::testing::WithParamInterface<TSettings> {};

TEST_P(SettingsRoundTripTest, SavedRecordLoadsBackUnchanged) {
    SaveSettings(GetParam(), File());
    TSettings loaded;
    LoadSettings(loaded, File());
    EXPECT_EQ(loaded, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Records, SettingsRoundTripTest,
                         ::testing::Values(TSettings{}, Changed(), With([](TSettings& s) {
                                               s.HkAdd = 0xFFFF;
                                               s.Dock = 4;
                                               s.DromEdPath = "/opt/caf\xE9/dromed {x}=1";
                                           }),
                                           With([](TSettings& s) {
                                               s.Dock = -2147483647 - 1;
                                               s.DromEdPath = "dromed.exe";
                                           })));

TEST_F(SettingsTest, SaveKeepsOtherSectionsAndCommentsAndReplacesInPlace) {
    WriteBytes(File(), "; Korvane settings\r\n"
                       "[Window]\r\n"
                       "Left=10\r\n"
                       "\r\n"
                       "[Settings]\r\n"
                       "Dock=1\r\n"
                       "; the add hotkey\r\n"
                       "hkadd=5\r\n"
                       "Unknown=kept\r\n"
                       "\r\n"
                       "[Tail]\r\n"
                       "Dock=9\r\n");
    SaveSettings(TSettings{}, File());
    EXPECT_EQ(ReadBytes(File()), "; Korvane settings\r\n"
                                 "[Window]\r\n"
                                 "Left=10\r\n"
                                 "\r\n"
                                 "[Settings]\r\n"
                                 "Dock=3\r\n"
                                 "; the add hotkey\r\n"
                                 "HkAdd=32833\r\n"
                                 "Unknown=kept\r\n"
                                 "HkSel=32851\r\n"
                                 "HkTog=32836\r\n"
                                 "Push=1\r\n"
                                 "MisCheck=1\r\n"
                                 "MisBNum=0\r\n"
                                 "SelObjByBrushNum=0\r\n"
                                 "CompressBrushNum=1\r\n"
                                 "DromEdPath=\r\n"
                                 "DromEdLoPri=1\r\n"
                                 "DromEdAutoStart=1\r\n"
                                 "\r\n"
                                 "[Tail]\r\n"
                                 "Dock=9\r\n");
}

TEST_F(SettingsTest, SavedLinesEndInCrLfEvenWhenTheFileUsedLf) {
    WriteBytes(File(), "[Window]\nLeft=10\n[Settings]\nDock=1\n");
    SaveSettings(Changed(), File());
    const std::string bytes = ReadBytes(File());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "offset " << i;
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "offset " << i;
        }
    }
    EXPECT_EQ(bytes.rfind("[Window]\r\nLeft=10\r\n[Settings]\r\n", 0), 0u);
}

TEST_F(SettingsTest, SaveIntoMissingFolderRaises) {
    const auto file = dir_ / "no-such-folder" / "korvane.ini";
    EXPECT_THROW(SaveSettings(TSettings{}, file), Exception);
    EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
}

TEST_F(SettingsTest, SaveOverAFolderRaisesAndKeepsIt) {
    std::filesystem::create_directory(File());
    EXPECT_THROW(SaveSettings(TSettings{}, File()), Exception);
    EXPECT_TRUE(std::filesystem::is_directory(File()));
}

// ---------------------------------------------------------------------------------------------
// Where the file lives

struct PathCase {
    const char* Program;
    const char* Settings;
};

class SettingsFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsFilePathTest, ProgramPathWithIniExtension) {
    EXPECT_EQ(SettingsFilePath(GetParam().Program), std::filesystem::path(GetParam().Settings));
}

INSTANTIATE_TEST_SUITE_P(Programs, SettingsFilePathTest,
                         ::testing::Values(PathCase{"/opt/tools/Korvane.exe",
                                                    "/opt/tools/Korvane.ini"},
                                           PathCase{"/usr/bin/korvane", "/usr/bin/korvane.ini"},
                                           PathCase{"tools/kv.v2.exe", "tools/kv.v2.ini"}));

} // namespace
} // namespace kv
