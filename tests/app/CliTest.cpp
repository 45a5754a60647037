// korvane-cli as a shell sees it: exit statuses, the exact text of every command on small
// generated missions, and clear errors for bad arguments and missing, folder or damaged files.
#include "app/Cli.h"

#include "support/DemoMission.h"
#include "support/MissionWriter.h"
#include "support/SyntheticMission.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"
#include "workspace/FavoritesFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;
namespace chunks = test::chunks;
using test::I32Bytes;
using test::TBrushRec;
using test::TBytes;
using test::TMissionWriter;
using Args = std::vector<std::string>;

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

TRun Cli(const Args& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, out, err, [] { return TCliTime{9, 5}; });
    return {status, out.str(), err.str()};
}

std::vector<std::string> OutputLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

std::string FavoritesBytes(const std::vector<TBrushInfo>& items) {
    std::vector<const TBrushInfo*> pointers;
    for (const TBrushInfo& item : items) pointers.push_back(&item);
    return FormatFavoritesFile(pointers);
}

// Lever 1 controls door 2 twice over, and rat 7 is left at death stage 12.
TMissionWriter DamagedMission() {
    TMissionWriter w;
    w.Chunk("Relations", chunks::Relations({"MetaProp", "ControlDevice"}));
    w.Chunk("P$SymName", chunks::SymNames({{1, "Lever"}, {2, "Door"}, {7, "Rat"}}));
    w.Chunk("P$DeathStag", chunks::Props({{7, I32Bytes(12)}, {2, I32Bytes(3)}}));
    w.Chunk("L$ControlDe", chunks::Links({{10, 1, 2, 2}, {11, 1, 2, 2}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    return w;
}

TMissionWriter CleanMission() {
    TMissionWriter w;
    w.Chunk("Relations", chunks::Relations({"MetaProp", "ControlDevice"}));
    w.Chunk("P$SymName", chunks::SymNames({{1, "Lever"}, {2, "Door"}}));
    w.Chunk("P$DeathStag", chunks::Props({{2, I32Bytes(3)}}));
    w.Chunk("L$ControlDe", chunks::Links({{10, 1, 2, 2}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    return w;
}

// Brushes: Solid terrain (ID 7), a light (9), guard 5 (12), the "Café chest" 6 (13) and the
// area "Vault" (20).
TMissionWriter ImportMission() {
    TMissionWriter w;
    w.Chunk("BRLIST",
            chunks::Brushes(
                {{7, 0, 0, 4}, {9, 0, 255, 0}, {12, 5, 253, 0}, {13, 6, 253, 0}, {20, 0, 254, 0}}));
    w.Chunk("P$SymName", chunks::SymNames({{5, "Guard"}, {6, "Caf\xE9 chest"}}));
    w.Chunk("HotRegions", chunks::NameRecords({{20, "Vault"}}));
    return w;
}

const TBrushInfo kSolid{bkTerrain, 1, 0, "Solid"};
const TBrushInfo kLight{bkLight, 2, 0, "Light"};
const TBrushInfo kGuard{bkObject, 3, 5, "Guard (5)"};
const TBrushInfo kChest{bkObject, 4, 6, "Caf\xE9 chest (6)"};
const TBrushInfo kVault{bkArea, 5, 0, "Vault"};

// Coin 5 inherits 25 gold from its archetype in loot.gam and lies in chest 6.
TMissionWriter LootMission(const TBytes& loot = {}) {
    TBytes gamFile = chunks::ZText("loot.gam");
    TMissionWriter w;
    w.Chunk("GAM_FILE", gamFile);
    w.Chunk("BRLIST", chunks::Brushes({{1, 5, 253, 0}, {2, 6, 253, 0}}));
    w.Chunk("P$SymName", chunks::SymNames({{5, "GoldCoin"}, {6, "Chest"}, {-3, "Coin"}}));
    w.Chunk("Relations", chunks::Relations({"MetaProp", "Contains"}));
    w.Chunk("L$MetaProp", chunks::Links({{100, 5, -3, 1}}));
    w.Chunk("LD$MetaProp", chunks::LinkData(4, {{100, I32Bytes(0)}}));
    w.Chunk("L$Contains", chunks::Links({{200, 6, 5, 2}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {{200, I32Bytes(0)}}));
    if (!loot.empty()) w.Chunk("P$Loot", chunks::Props({{5, loot}}));
    return w;
}

TMissionWriter LootGamesys() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{-3, "Coin"}}));
    w.Chunk("P$Loot", chunks::Props({{-3, chunks::Loot(25, 0, 0, 0)}}));
    return w;
}

class CliTest : public ::testing::Test {
protected:
    std::string Save(const TMissionWriter& w, const std::string& name) const {
        const fs::path path = folder_ / name;
        w.Save(path);
        return path.string();
    }
    test::ScratchFolder folder_;
};

// ---------------------------------------------------------------------------------------------
// Help, version and usage errors

TEST(CliUsageTest, VersionPrintsNameAndVersion) {
    const TRun r = Cli({"--version"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "Korvane 0.94\n");
    EXPECT_EQ(r.Err, "");
}

TEST(CliUsageTest, HelpListsEveryCommandOnStandardOutput) {
    for (const char* help : {"--help", "-h"}) {
        const TRun r = Cli({help});
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(r.Err, "");
        EXPECT_TRUE(r.Out.starts_with("Usage: korvane-cli COMMAND"));
        for (const char* command :
             {"check MISSION", "loot MISSION [--gamesys-dir DIR]",
              "import MISSION [-o FILE] [--brush-ids] [--kinds LETTERS] "
              "[--name TEXT]",
              "chunks FILE", "links MISSION [--object ID]... [--flavor N]..."})
            EXPECT_NE(r.Out.find(command), std::string::npos) << command;
    }
}

TEST(CliUsageTest, NoArgumentsShowsUsageAsAnError) {
    const TRun r = Cli({});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(r.Err.starts_with("Usage: korvane-cli"));
}

struct TUsageCase {
    Args Arguments;
    std::string Error; // the whole line on standard error
};

class CliUsageErrorTest : public ::testing::TestWithParam<TUsageCase> {};

TEST_P(CliUsageErrorTest, EndsWithStatusTwoAndOneClearLine) {
    const TRun r = Cli(GetParam().Arguments);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "korvane-cli: " + GetParam().Error + " (see korvane-cli --help)\n");
}

// The mission named need not exist: arguments are checked before any file is opened.
INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsageErrorTest,
    ::testing::Values(
        TUsageCase{{"frobnicate", "a.mis"}, "unknown command \"frobnicate\""},
        TUsageCase{{"--frobnicate"}, "unknown option \"--frobnicate\""},
        TUsageCase{{"ch\xC3\xA2teau"}, "unknown command \"ch\xC3\xA2teau\""},
        TUsageCase{{"check"}, "command \"check\" needs a MISSION argument"},
        TUsageCase{{"chunks"}, "command \"chunks\" needs a FILE argument"},
        TUsageCase{{"check", "a.mis", "b.mis"}, "unexpected argument \"b.mis\""},
        TUsageCase{{"check", "a.mis", "--kinds", "T"},
                   "unknown option \"--kinds\" for command \"check\""},
        TUsageCase{{"import", "a.mis", "--kinds"}, "option \"--kinds\" needs a value"},
        TUsageCase{{"import", "a.mis", "--kinds", "TX"},
                   "--kinds takes the letters T L A O F R, not \"X\""},
        TUsageCase{{"import", "a.mis", "--kinds=t-l"},
                   "--kinds takes the letters T L A O F R, not \"-\""},
        TUsageCase{{"import", "a.mis", "--kinds", ""},
                   "--kinds needs at least one of the letters TLAOFR"},
        TUsageCase{{"import", "a.mis", "--brush-ids=yes"}, "option \"--brush-ids\" takes no value"},
        TUsageCase{{"import", "a.mis", "-o", "x", "-o", "y"},
                   "option \"-o\" is given more than once"},
        TUsageCase{{"loot", "a.mis", "--gamesys-dir"}, "option \"--gamesys-dir\" needs a value"},
        TUsageCase{{"links", "a.mis", "--object", "abc"},
                   "object ID \"abc\" is not a number in range"},
        TUsageCase{{"links", "a.mis", "--object", "3000000000"},
                   "object ID \"3000000000\" is not a number in range"},
        TUsageCase{{"links", "a.mis", "--flavor", "70000"},
                   "flavor \"70000\" is not a number in range"}));

// ---------------------------------------------------------------------------------------------
// Files that cannot be read

enum class TBadFile { Missing, Folder, TruncatedToHalf, TruncatedByOneByte };

struct TBadFileCase {
    std::string Command;
    TBadFile Kind;
};

class CliBadFileTest : public ::testing::TestWithParam<TBadFileCase> {};

TEST_P(CliBadFileTest, EndsWithStatusTwoAndTheReaderMessage) {
    const test::ScratchFolder folder;
    const TBytes whole = LootMission(chunks::Loot(1, 2, 3, 0)).Bytes();
    fs::path file = folder / "bad.mis";
    switch (GetParam().Kind) {
    case TBadFile::Missing: break;
    case TBadFile::Folder: fs::create_directory(file); break;
    case TBadFile::TruncatedToHalf:
        test::SaveBytes(file, TBytes(whole.begin(), whole.begin() + whole.size() / 2));
        break;
    case TBadFile::TruncatedByOneByte:
        test::SaveBytes(file, TBytes(whole.begin(), whole.end() - 1));
        break;
    }
    const TRun r = Cli({GetParam().Command, file.string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(r.Err.starts_with("korvane-cli: ")) << r.Err;
    EXPECT_NE(r.Err.find("bad.mis"), std::string::npos) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_TRUE(r.Err.ends_with("\n"));
}

std::vector<TBadFileCase> BadFileCases() {
    std::vector<TBadFileCase> cases;
    for (const char* command : {"check", "loot", "import", "chunks", "links"}) {
        for (const TBadFile kind : {TBadFile::Missing, TBadFile::Folder, TBadFile::TruncatedToHalf,
                                    TBadFile::TruncatedByOneByte})
            cases.push_back({command, kind});
    }
    return cases;
}

std::string BadFileCaseName(const ::testing::TestParamInfo<TBadFileCase>& info) {
    static const char* const kKinds[] = {"Missing", "Folder", "TruncatedToHalf",
                                         "TruncatedByOneByte"};
    return info.param.Command + kKinds[static_cast<int>(info.param.Kind)];
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CliBadFileTest, ::testing::ValuesIn(BadFileCases()),
                         BadFileCaseName);

TEST_F(CliTest, MissingFileNamesTheFileAndSaysItDoesNotExist) {
    const std::string missing = (folder_ / "nowhere.mis").string();
    const TRun r = Cli({"check", missing});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "korvane-cli: Cannot open mission file \"" + missing +
                         "\": the file does not exist\n");
}

// ---------------------------------------------------------------------------------------------
// check

TEST_F(CliTest, CheckPrintsTheReportWithItsHeadingAndEndsWithStatusOne) {
    const TRun r = Cli({"check", Save(DamagedMission(), "check.mis")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(
        r.Out,
        "[09:05] File: check.mis\n"
        "\n"
        "Deathstage 12 found on 1 objects\n"
        "This is usually a typical DromEd bug and should be fixed!\n"
        " - Object ID 7 (Rat)\n"
        "\n"
        "Duplicate links found:\n"
        " - 2 identical ControlDevice-links from object ID 1 (Lever) to object ID 2 (Door)\n");
}

TEST_F(CliTest, CheckOfACleanMissionSaysSoAndEndsWithStatusZero) {
    const TRun r = Cli({"check", Save(CleanMission(), "clean.mis")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "No typical errors detected\n");
    EXPECT_EQ(r.Err, "");
}

TEST_F(CliTest, CheckOfAnEmptyTableOfContentsFindsNothing) {
    const TRun r = Cli({"check", Save(TMissionWriter(), "empty.mis")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "No typical errors detected\n");
}

TEST_F(CliTest, CheckPrintsNamesAndFileNameAsUtf8) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{7, "Caf\xE9 rat"}}));
    w.Chunk("P$DeathStag", chunks::Props({{7, I32Bytes(12)}}));
    const fs::path file = folder_.Path() / fs::path(u8"ch\u00e2teau.mis");
    w.Save(file);
    const std::u8string utf8 = file.u8string(); // arguments are UTF-8 on every system
    const TRun r = Cli({"check", std::string(utf8.begin(), utf8.end())});
    EXPECT_EQ(r.Status, 1);
    const auto lines = OutputLines(r.Out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "[09:05] File: ch\xC3\xA2teau.mis");
    EXPECT_EQ(lines[4], " - Object ID 7 (Caf\xC3\xA9 rat)");
}

TEST_F(CliTest, CheckOfASyntheticMissionListsEveryPlantedError) {
    test::TSyntheticSettings settings;
    settings.Seed = 11;
    settings.DeathStage12Objects = 4;
    settings.DuplicatedPairs = 6;
    const test::TSyntheticMission mission = test::MakeSyntheticMission(settings);
    const fs::path file = folder_ / "synthetic.mis";
    test::SaveSyntheticMission(mission, settings, file);
    const TRun r = Cli({"check", file.string()});
    EXPECT_EQ(r.Status, 1);
    const auto lines = OutputLines(r.Out);
    EXPECT_EQ(lines.at(0), "[09:05] File: synthetic.mis");
    EXPECT_EQ(lines.at(2), "Deathstage 12 found on 4 objects");
    EXPECT_EQ(CountStartingWith(lines, " - Object ID "), 4);
    EXPECT_EQ(CountStartingWith(lines, " - 2 identical "), 6);
    EXPECT_EQ(CountStartingWith(lines, " wtf?"), 0);
}

// ---------------------------------------------------------------------------------------------
// loot

TEST_F(CliTest, LootPrintsTheListWithInheritedValueAndContainer) {
    Save(LootGamesys(), "loot.gam");
    const TRun r = Cli({"loot", Save(LootMission(), "loot.mis")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    const std::string dashes(65, '-');
    EXPECT_EQ(r.Out, "File: loot.mis\n"
                     "\n"
                     "Object            Dif.   Total     Gold     Gems      Art Special\n" +
                         dashes +
                         "\n"
                         "GoldCoin (5)*     NHE       25       25        0        0 \n" +
                         dashes +
                         "\n"
                         "NORMAL                      25       25        0        0 \n"
                         "HARD                        25       25        0        0 \n"
                         "EXPERT                      25       25        0        0 \n"
                         "TOTAL                       25       25        0        0 \n"
                         "\n"
                         "Annotations:\n"
                         "GoldCoin (5) is contained by Chest (6)\n");
}

TEST_F(CliTest, LootLooksForTheGamesysInTheFolderGivenFirst) {
    fs::create_directory(folder_ / "gamesys");
    LootGamesys().Save(folder_ / "gamesys" / "loot.gam");
    const std::string mission = Save(LootMission(), "loot.mis");

    const TRun found = Cli({"loot", mission, "--gamesys-dir", (folder_ / "gamesys").string()});
    EXPECT_EQ(found.Status, 0);
    EXPECT_EQ(found.Err, "");
    EXPECT_NE(found.Out.find("GoldCoin (5)*     NHE       25"), std::string::npos) << found.Out;

    // Without the folder the gamesys is not found: a warning, and no inherited value.
    const TRun missing = Cli({"loot", mission});
    EXPECT_EQ(missing.Status, 0);
    EXPECT_EQ(missing.Err, "korvane-cli: warning: Gamesys not found: \"" +
                               (folder_ / "loot.gam").string() + "\"\n");
    EXPECT_EQ(missing.Out.find("GoldCoin"), std::string::npos) << missing.Out;
    EXPECT_NE(missing.Out.find("TOTAL                 0"), std::string::npos) << missing.Out;
}

TEST_F(CliTest, LootValueOfTheWrongSizeStopsWithTheMessage) {
    Save(LootGamesys(), "loot.gam");
    const TRun r = Cli({"loot", Save(LootMission(TBytes(12, 1)), "loot.mis")});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "korvane-cli: Property size mismatch!\n");
}

// ---------------------------------------------------------------------------------------------
// import

struct TImportCase {
    const char* Name;
    Args Options;
    std::vector<TBrushInfo> Expected;
};

class CliImportTest : public ::testing::TestWithParam<TImportCase> {};

TEST_P(CliImportTest, WritesTheFavouritesFileOfTheImport) {
    const test::ScratchFolder folder;
    const fs::path file = folder / "import.mis";
    ImportMission().Save(file);
    Args args = {"import", file.string()};
    args.insert(args.end(), GetParam().Options.begin(), GetParam().Options.end());
    const TRun r = Cli(args);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, FavoritesBytes(GetParam().Expected));
}

TBrushInfo Numbered(TBrushInfo info, std::int32_t brushNum) {
    info.BrushNum = brushNum;
    return info;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CliImportTest,
    ::testing::Values(TImportCase{"Everything", {}, {kSolid, kLight, kGuard, kChest, kVault}},
                      TImportCase{"OwnBrushIds",
                                  {"--brush-ids"},
                                  {Numbered(kSolid, 7), Numbered(kLight, 9), Numbered(kGuard, 12),
                                   Numbered(kChest, 13), Numbered(kVault, 20)}},
                      TImportCase{
                          "ObjectsOnlyKeepTheirRunningNumbers", {"--kinds", "O"}, {kGuard, kChest}},
                      TImportCase{"KindLettersInAnyCase", {"--kinds=tL"}, {kSolid, kLight}},
                      TImportCase{"NameInAnyCase", {"--name", "GUARD"}, {kGuard}},
                      TImportCase{"NameWithAnAccentedLetter", {"--name", "\xC3\xA9"}, {kChest}},
                      TImportCase{"KindsAndName", {"--kinds", "ta", "--name", "a"}, {kVault}},
                      TImportCase{"NothingPasses", {"--kinds", "F"}, {}}),
    [](const ::testing::TestParamInfo<TImportCase>& c) { return c.param.Name; });

TEST_F(CliTest, ImportWithOutputFileWritesTheBytesThereAndNothingToStandardOutput) {
    const fs::path target = folder_ / "favourites.kvf";
    const TRun r =
        Cli({"import", Save(ImportMission(), "import.mis"), "-o", target.string(), "--kinds", "o"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(test::ReadBytes(target), FavoritesBytes({kGuard, kChest}));
}

TEST_F(CliTest, ImportIntoAMissingFolderFailsAndWritesNothing) {
    const fs::path target = folder_ / "no such folder" / "favourites.kvf";
    const TRun r =
        Cli({"import", Save(ImportMission(), "import.mis"), "--output=" + target.string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(r.Err.starts_with("korvane-cli: ")) << r.Err;
    EXPECT_NE(r.Err.find("favourites.kvf"), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(target));
}

// The mission itself as the output, under spellings that all lead to the same file.
class CliImportOverMissionTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CliImportOverMissionTest, IsRefusedAndLeavesTheMissionAlone) {
    const test::ScratchFolder folder;
    const fs::path mission = folder / "import.mis";
    ImportMission().Save(mission);
    fs::create_directory(folder / "sub");
    std::error_code linkError;
    fs::create_symlink(mission, folder / "sub" / "link.mis", linkError);
    if (linkError && std::string(GetParam()).find("link") != std::string::npos) {
        GTEST_SKIP() << "this system makes no symbolic links: " << linkError.message();
    }
    const std::string before = test::ReadBytes(mission);
    const fs::path output = folder / GetParam();
    const TRun r = Cli({"import", mission.string(), "-o", output.string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "korvane-cli: the output file \"" + output.string() +
                         "\" is the mission being read; choose another output file\n");
    EXPECT_EQ(test::ReadBytes(mission), before);
}

INSTANTIATE_TEST_SUITE_P(Spellings, CliImportOverMissionTest,
                         ::testing::Values("import.mis", "sub/../import.mis", "./sub/link.mis"));

// ---------------------------------------------------------------------------------------------
// chunks and links

TEST_F(CliTest, ChunksListsNameOffsetAndSizeOfEveryEntryInFileOrder) {
    TMissionWriter w;
    w.Chunk("BRLIST", TBytes(76, 0));
    w.Chunk("P$SymName", TBytes(3, 0));
    w.Chunk("AB\nC", {});
    w.Chunk("TWELVE_CHARS", TBytes(1000, 0));
    const TRun r = Cli({"chunks", Save(w, "toc.mis")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, "Chunk            Offset       Size\n"
                     "BRLIST              272         76\n"
                     "P$SymName           372          3\n"
                     "AB?C                399          0\n"
                     "TWELVE_CHARS        423       1000\n");
}

TEST_F(CliTest, ChunksOfAnEmptyTableOfContentsIsTheHeadingAlone) {
    const TRun r = Cli({"chunks", Save(TMissionWriter(), "empty.mis")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "Chunk            Offset       Size\n");
}

TMissionWriter LinksMission() {
    TMissionWriter w;
    w.Chunk("L$ControlDe", chunks::Links({{10, 1, 2, 2}, {11, 1, 3, 2}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    w.Chunk("L$Contains", chunks::Links({{20, 4, 5, 3}, {21, -7, 4, 3}}));
    return w;
}

struct TLinksCase {
    const char* Name;
    Args Options;
    std::string Expected;
};

class CliLinksTest : public ::testing::TestWithParam<TLinksCase> {};

TEST_P(CliLinksTest, PrintsOneLinePerLinkThatPasses) {
    const test::ScratchFolder folder;
    const fs::path file = folder / "links.mis";
    LinksMission().Save(file);
    Args args = {"links", file.string()};
    args.insert(args.end(), GetParam().Options.begin(), GetParam().Options.end());
    const TRun r = Cli(args);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, CliLinksTest,
    ::testing::Values(
        TLinksCase{"All", {}, "10, 1, 2, 2\n11, 1, 3, 2\n20, 4, 5, 3\n21, -7, 4, 3\n"},
        TLinksCase{"BothEndsAmongTheObjects", {"--object", "1", "--object=2"}, "10, 1, 2, 2\n"},
        TLinksCase{"NegativeObjectIds", {"--object", "-7", "--object", "4"}, "21, -7, 4, 3\n"},
        TLinksCase{"OneFlavor", {"--flavor", "3"}, "20, 4, 5, 3\n21, -7, 4, 3\n"},
        TLinksCase{"TwoFlavors",
                   {"--flavor", "3", "--flavor", "2"},
                   "10, 1, 2, 2\n11, 1, 3, 2\n20, 4, 5, 3\n21, -7, 4, 3\n"},
        TLinksCase{"ObjectsAndFlavor", {"--object", "4", "--object", "5", "--flavor", "2"}, ""}),
    [](const ::testing::TestParamInfo<TLinksCase>& c) { return c.param.Name; });

TEST_F(CliTest, ChunksAndLinksOfASyntheticMissionCountEveryEntryAndLink) {
    test::TSyntheticSettings settings;
    settings.Seed = 3;
    settings.Links = 900;
    const test::TSyntheticMission mission = test::MakeSyntheticMission(settings);
    const fs::path file = folder_ / "synthetic.mis";
    test::SaveSyntheticMission(mission, settings, file);

    const TRun links = Cli({"links", file.string()});
    EXPECT_EQ(links.Status, 0);
    EXPECT_EQ(links.Err, "");
    EXPECT_EQ(OutputLines(links.Out).size(), static_cast<std::size_t>(mission.LinkRecords));
    EXPECT_EQ(mission.LinkRecords, 900);

    const TRun toc = Cli({"chunks", file.string()});
    EXPECT_EQ(toc.Status, 0);
    const auto lines = OutputLines(toc.Out);
    EXPECT_EQ(CountStartingWith(lines, "L$"), settings.Flavors);
    EXPECT_EQ(CountStartingWith(lines, "BRLIST "), 1);
}

// ---------------------------------------------------------------------------------------------
// The demo mission

class CliDemoTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteDemoMission(folder_.Path()); }
    [[nodiscard]] std::string Mission() const { return (folder_ / "demo.mis").string(); }
    test::ScratchFolder folder_;
};

TEST_F(CliDemoTest, CheckFindsTheDeathStageAndEveryDuplicate) {
    const TRun r = Cli({"check", Mission()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "");
    const auto lines = OutputLines(r.Out);
    const std::vector<std::string> expected = {
        "[09:05] File: demo.mis",
        "",
        "Deathstage 12 found on 1 objects",
        "This is usually a typical DromEd bug and should be fixed!",
        " - Object ID 11 (CellarRat)",
        "",
        "Duplicate links found:",
    };
    ASSERT_GE(lines.size(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), expected);
    const std::vector<std::string> duplicates(lines.begin() + 7, lines.end());
    for (const char* line :
         {" - 2 identical receptrons at object ID 1 (GateGuard) for stim ID -20 (WaterStim)",
          " - 2 identical ControlDevice-links from object ID 12 (WineCellarLever) to object ID "
          "13 (CellarDoor)",
          " - 3 identical AIWatchObj-links from object ID 2 (CellarGuard) to object ID 11 "
          "(CellarRat)"})
        EXPECT_NE(std::find(duplicates.begin(), duplicates.end(), line), duplicates.end()) << line;
    EXPECT_EQ(duplicates.size(), 3u) << r.Out;
}

TEST_F(CliDemoTest, LootListsInheritedValuesRemovalAndContainers) {
    const TRun r = Cli({"loot", Mission()});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    const auto lines = OutputLines(r.Out);
    const auto has = [&](const std::string& prefix) {
        return CountStartingWith(lines, prefix) == 1;
    };
    EXPECT_TRUE(has("A Coin (6) ")) << r.Out;
    EXPECT_TRUE(has("An Emerald (7) ")) << r.Out;
    EXPECT_TRUE(has("TreasuryGold (9)*")) << r.Out;
    EXPECT_TRUE(has("KitchenCoins (10)*")) << r.Out;
    EXPECT_TRUE(has("Annotations:")) << r.Out;
    const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("TreasuryGold (9)*");
    });
    ASSERT_NE(row, lines.end());
    EXPECT_TRUE(row->ends_with("NHE      100      100        0        0 ")) << *row;
    const auto removed = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("KitchenCoins (10)*");
    });
    ASSERT_NE(removed, lines.end());
    EXPECT_NE(removed->find("-HE"), std::string::npos) << *removed;
    EXPECT_TRUE(has("TreasuryGold (9)  is contained by TreasuryChest (3)")) << r.Out;
}

TEST_F(CliDemoTest, ImportGivesEveryBrushAsAFavourite) {
    const TRun r = Cli({"import", Mission()});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    const TFavoritesParse parsed = ParseFavoritesLines(SplitTextLines(r.Out));
    EXPECT_EQ(parsed.Error, "");
    ASSERT_EQ(parsed.Items.size(), 24u);
    EXPECT_EQ(parsed.Items[0], (TBrushInfo{bkTerrain, 1, 0, "Solid"}));
    EXPECT_EQ(parsed.Items[5], (TBrushInfo{bkArea, 6, 0, "Treasury"}));
    EXPECT_EQ(parsed.Items[10], (TBrushInfo{bkObject, 11, 1, "GateGuard (1)"}));
    EXPECT_EQ(parsed.Items[15], (TBrushInfo{bkObject, 16, 6, "A Coin (6)"}));
    EXPECT_EQ(parsed.Items[23], (TBrushInfo{bkObject, 24, 14, "OldLantern (14)"}));
    EXPECT_EQ(r.Out, FavoritesBytes(parsed.Items));
}

} // namespace
} // namespace kv
