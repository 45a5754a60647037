// korvane-cli as a shell sees it: exit statuses, the exact text of every command on small
// generated missions, and clear errors for bad arguments and missing, folder or damaged files.
#include "app/Cli.h"
#include "app/CliReports.h"

#include "support/MissionWriter.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"
#include "workspace/FavoritesFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;
namespace chunks = test::chunks;
using test::I32Bytes;
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

std::string FavoritesBytes(const std::vector<TBrushInfo>& items) {
    std::vector<const TBrushInfo*> pointers;
    for (const TBrushInfo& item : items) pointers.push_back(&item);
    return FormatFavoritesFile(pointers);
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

class CliTest : public ::testing::Test {
protected:
    std::string Save(const TMissionWriter& w, const std::string& name) const {
        const fs::path path = folder_ / name;
        test::SaveBytes(path, w.Bytes());
        return path.string();
    }
    test::ScratchFolder folder_;
};

// Help, version and usage errors

TEST(CliUsageTest, VersionAndHelpOnStandardOutputUsageAsAnError) {
    TRun r = Cli({"--version"});
    EXPECT_EQ(std::to_string(r.Status) + r.Out + r.Err, "0Korvane 0.94\n");
    for (const char* help : {"--help", "-h"}) {
        r = Cli({help});
        EXPECT_EQ(std::to_string(r.Status) + r.Err, "0");
        EXPECT_TRUE(r.Out.starts_with("Usage: korvane-cli COMMAND"));
        for (const char* command :
             {"check MISSION", "loot MISSION [--gamesys-dir DIR]",
              "import MISSION [-o FILE] [--brush-ids] [--kinds LETTERS] [--name TEXT]",
              "chunks FILE", "links MISSION [--object ID]... [--flavor N]...",
              "dromed link SOURCE DEST FLAVOR [--verify]", "dromed read-field NAME"})
            EXPECT_NE(r.Out.find(command), std::string::npos) << command;
    }
    r = Cli({});
    EXPECT_EQ(std::to_string(r.Status) + r.Out, "2");
    EXPECT_TRUE(r.Err.starts_with("Usage: korvane-cli"));
}

// Each ends with status two and one clear line. The mission named need not exist: arguments are
// checked before any file is opened.
TEST(CliUsageTest, BadArgumentsAreSaidOnOneLine) {
    const std::pair<Args, std::string> cases[] = {
        {{"frobnicate", "a.mis"}, "unknown command \"frobnicate\""},
        {{"--frobnicate"}, "unknown option \"--frobnicate\""},
        {{"check"}, "command \"check\" needs a MISSION argument"},
        {{"check", "a.mis", "b.mis"}, "unexpected argument \"b.mis\""},
        {{"check", "a.mis", "--kinds", "T"}, "unknown option \"--kinds\" for command \"check\""},
        {{"import", "a.mis", "--kinds"}, "option \"--kinds\" needs a value"},
        {{"import", "a.mis", "--kinds=t-l"}, "--kinds takes the letters T L A O F R, not \"-\""},
        {{"import", "a.mis", "--kinds", ""}, "--kinds needs at least one of the letters TLAOFR"},
        {{"import", "a.mis", "--brush-ids=yes"}, "option \"--brush-ids\" takes no value"},
        {{"import", "a.mis", "-o", "x", "-o", "y"}, "option \"-o\" is given more than once"},
        {{"links", "a.mis", "--object", "3000000000"},
         "object ID \"3000000000\" is not a number in range"},
        {{"links", "a.mis", "--flavor", "70000"}, "flavor \"70000\" is not a number in range"}};
    for (const auto& [args, error] : cases) {
        const TRun r = Cli(args);
        EXPECT_EQ(std::to_string(r.Status) + r.Out + r.Err,
                  "2korvane-cli: " + error + " (see korvane-cli --help)\n");
    }
}

// Files that cannot be read

// A missing file, a folder and a mission cut short anywhere: status two and one line naming it.
TEST_F(CliTest, EveryCommandSaysWhyAFileCannotBeRead) {
    const TBytes whole = LootMission(chunks::Loot(1, 2, 3, 0)).Bytes();
    fs::create_directory(folder_ / "folder.mis");
    test::SaveBytes(folder_ / "half.mis", TBytes(whole.begin(), whole.begin() + whole.size() / 2));
    test::SaveBytes(folder_ / "short.mis", TBytes(whole.begin(), whole.end() - 1));
    for (const char* command : {"check", "loot", "import", "chunks", "links"}) {
        for (const char* name : {"missing.mis", "folder.mis", "half.mis", "short.mis"}) {
            const TRun r = Cli({command, (folder_ / name).string()});
            EXPECT_EQ(std::to_string(r.Status) + r.Out, "2") << command << " " << name;
            EXPECT_TRUE(r.Err.starts_with("korvane-cli: ") &&
                        r.Err.find(name) != std::string::npos &&
                        r.Err.find('\n') == r.Err.size() - 1)
                << r.Err;
        }
    }
    const std::string missing = (folder_ / "missing.mis").string();
    EXPECT_EQ(Cli({"check", missing}).Err, "korvane-cli: Cannot open mission file \"" + missing +
                                               "\": the file does not exist\n");
}

// check

// Names and the file name are printed as UTF-8; arguments are UTF-8 on every system.
TEST_F(CliTest, CheckPrintsTheReportWithItsHeadingAndEndsWithStatusOne) {
    const fs::path file = folder_.Path() / fs::path(u8"ch\u00e2teau.mis");
    // Lever 1 controls door 2 twice over, and the "Café rat" 7 is left at death stage 12.
    test::SaveBytes(
        file,
        TMissionWriter()
            .Chunk("Relations", chunks::Relations({"MetaProp", "ControlDevice"}))
            .Chunk("P$SymName", chunks::SymNames({{1, "Lever"}, {2, "Door"}, {7, "Caf\xE9 rat"}}))
            .Chunk("P$DeathStag", chunks::Props({{7, I32Bytes(12)}, {2, I32Bytes(3)}}))
            .Chunk("L$ControlDe", chunks::Links({{10, 1, 2, 2}, {11, 1, 2, 2}}))
            .Chunk("LD$ControlD", chunks::LinkData(0, {}))
            .Bytes());
    const std::u8string utf8 = file.u8string();
    const TRun r = Cli({"check", std::string(utf8.begin(), utf8.end())});
    EXPECT_EQ(std::to_string(r.Status) + r.Err, "1");
    EXPECT_EQ(
        r.Out,
        "[09:05] File: ch\xC3\xA2teau.mis\n"
        "\n"
        "Deathstage 12 found on 1 objects\n"
        "This is usually a typical DromEd bug and should be fixed!\n"
        " - Object ID 7 (Caf\xC3\xA9 rat)\n"
        "\n"
        "Duplicate links found:\n"
        " - 2 identical ControlDevice-links from object ID 1 (Lever) to object ID 2 (Door)\n");
    // The same findings as records: names in UTF-8, numbers as numbers, the same status.
    const TRun json = Cli({"check", std::string(utf8.begin(), utf8.end()), "--format=json"});
    EXPECT_EQ(json.Status, 1);
    for (const char* part : {"\"file\": \"ch\xC3\xA2teau.mis\"",
                             "\"object_id\": 7,\n      \"name\": \"Caf\xC3\xA9 rat\"",
                             "\"count\": 2,\n      \"kind\": \"ControlDevice-links\""}) {
        EXPECT_NE(json.Out.find(part), std::string::npos) << part << "\n" << json.Out;
    }
    for (const TMissionWriter& w : {ImportMission(), TMissionWriter()}) {
        const TRun clean = Cli({"check", Save(w, "clean.mis")});
        EXPECT_EQ(clean.Status, 0);
        EXPECT_EQ(clean.Out + "|" + clean.Err, "No typical errors detected\n|");
    }
}

// Fields with a comma, a quote or a line break are quoted, their quotes doubled.
TEST(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Guard (12)", "Guard (12)"}, {"", ""},           {"S1,S3", "\"S1,S3\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"a\nb", "\"a\nb\""}, {"a\rb", "\"a\rb\""}};
    for (const auto& [field, csv] : cases) EXPECT_EQ(CsvField(field), csv) << field;
}

// loot

TEST_F(CliTest, LootLooksForTheGamesysInTheFolderGivenFirst) {
    fs::create_directory(folder_ / "gamesys");
    test::SaveBytes(folder_ / "gamesys" / "loot.gam",
                    TMissionWriter()
                        .Chunk("P$SymName", chunks::SymNames({{-3, "Coin"}}))
                        .Chunk("P$Loot", chunks::Props({{-3, chunks::Loot(25, 0, 0, 0)}}))
                        .Bytes());
    const std::string mission = Save(LootMission(), "loot.mis");

    const TRun found = Cli({"loot", mission, "--gamesys-dir", (folder_ / "gamesys").string()});
    EXPECT_EQ(std::to_string(found.Status) + found.Err, "0");
    // Lines as the loot list makes them (its own tests pin the layout), ending in LF.
    EXPECT_TRUE(found.Out.starts_with("File: loot.mis\n\nObject            Dif.   Total")) << found.Out;
    EXPECT_NE(found.Out.find("\nGoldCoin (5)*     NHE       25       25        0        0 \n"),
              std::string::npos);
    EXPECT_TRUE(found.Out.ends_with("\nAnnotations:\nGoldCoin (5) is contained by Chest (6)\n"));

    // Without the folder the gamesys is not found: a warning, and no inherited value.
    const TRun missing = Cli({"loot", mission});
    EXPECT_EQ(std::to_string(missing.Status) + missing.Err,
              "0korvane-cli: warning: Gamesys not found: \"" + (folder_ / "loot.gam").string() +
                  "\"\n");
    EXPECT_EQ(missing.Out.find("GoldCoin"), std::string::npos) << missing.Out;
    EXPECT_NE(missing.Out.find("TOTAL                 0"), std::string::npos) << missing.Out;
}

// A loot goal is checked against the loot list read with its gamesys, found as loot finds it.
TEST_F(CliTest, CheckFindsLootGoalsTheLootCannotMeet) {
    fs::create_directory(folder_ / "gamesys");
    test::SaveBytes(folder_ / "gamesys" / "loot.gam",
                    TMissionWriter()
                        .Chunk("P$Loot", chunks::Props({{-3, chunks::Loot(25, 0, 0, 0)}}))
                        .Bytes());
    const auto goal = [&](std::int32_t gold) {
        return Save(LootMission().Chunk("QUEST_DB",
                                        chunks::QuestVars({{"goal_type_2", 3},
                                                           {"goal_gold_2", gold},
                                                           {"goal_max_diff_2", 0}})),
                    "goals.mis");
    };
    const std::string dir = (folder_ / "gamesys").string();
    const TRun met = Cli({"check", goal(25), "--gamesys-dir", dir});
    EXPECT_EQ(std::to_string(met.Status) + met.Err + met.Out, "0No typical errors detected\n");
    const TRun unmet = Cli({"check", goal(26), "--gamesys-dir", dir});
    EXPECT_EQ(std::to_string(unmet.Status) + unmet.Err + unmet.Out,
              "1[09:05] File: goals.mis\n\nUnreachable loot goals:\n"
              " - Goal 2 on Normal needs 26 in gold, the mission holds 25\n");
    const TRun missing = Cli({"check", goal(25)});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_TRUE(missing.Err.starts_with("korvane-cli: warning: Gamesys not found")) << missing.Err;
    EXPECT_TRUE(missing.Out.ends_with("needs 25 in gold, the mission holds 0\n")) << missing.Out;
}

// import

TEST_F(CliTest, ImportWritesTheFavouritesFileOfTheImport) {
    const std::string file = Save(ImportMission(), "import.mis");
    const std::pair<Args, std::vector<TBrushInfo>> cases[] = {
        {{}, {kSolid, kLight, kGuard, kChest, kVault}},
        {{"--brush-ids"},
         {{bkTerrain, 7, 0, "Solid"}, {bkLight, 9, 0, "Light"}, {bkObject, 12, 5, "Guard (5)"},
          {bkObject, 13, 6, "Caf\xE9 chest (6)"}, {bkArea, 20, 0, "Vault"}}},
        {{"--kinds=tL"}, {kSolid, kLight}},
        {{"--name", "\xC3\xA9"}, {kChest}}, // accented, in any letter case
        {{"--name", "igh"}, {kLight}},      // an unnamed brush by the name of its kind
        {{"--kinds", "ta", "--name", "a"}, {kVault}},
        {{"--kinds", "F"}, {}}};
    for (const auto& [options, expected] : cases) {
        Args args = {"import", file};
        args.insert(args.end(), options.begin(), options.end());
        const TRun r = Cli(args);
        EXPECT_EQ(std::to_string(r.Status) + r.Err, "0");
        EXPECT_EQ(r.Out, FavoritesBytes(expected)) << (options.empty() ? "" : options.front());
    }
}

// With an output file the bytes go there and nothing to standard output; a missing folder fails
// and writes nothing; the mission itself, under spellings that all lead to the same file, is
// refused and left alone.
TEST_F(CliTest, ImportWithOutputFileWritesTheBytesThereButNeverOverTheMission) {
    const fs::path mission = folder_ / "import.mis";
    test::SaveBytes(mission, ImportMission().Bytes());
    const fs::path target = folder_ / "favourites.kvf";
    TRun r = Cli({"import", mission.string(), "-o", target.string(), "--kinds", "o"});
    EXPECT_EQ(std::to_string(r.Status) + r.Out + r.Err, "0");
    EXPECT_EQ(test::ReadBytes(target), FavoritesBytes({kGuard, kChest}));
    const fs::path lost = folder_ / "no such folder" / "lost.kvf";
    r = Cli({"import", mission.string(), "--output=" + lost.string()});
    EXPECT_EQ(std::to_string(r.Status) + r.Out, "2");
    EXPECT_TRUE(r.Err.starts_with("korvane-cli: ") && r.Err.find("lost.kvf") != std::string::npos)
        << r.Err;
    EXPECT_FALSE(fs::exists(lost));

    fs::create_directory(folder_ / "sub");
    std::error_code linkError;
    fs::create_symlink(mission, folder_ / "sub" / "link.mis", linkError);
    const std::string before = test::ReadBytes(mission);
    for (const char* spelling : {"import.mis", "sub/../import.mis", "./sub/link.mis"}) {
        if (linkError && std::string(spelling).find("link") != std::string::npos) continue;
        const fs::path output = folder_ / spelling;
        r = Cli({"import", mission.string(), "-o", output.string()});
        EXPECT_EQ(std::to_string(r.Status) + r.Out + r.Err,
                  "2korvane-cli: the output file \"" + output.string() +
                      "\" is the mission being read; choose another output file\n");
        EXPECT_EQ(test::ReadBytes(mission), before);
    }
}

// chunks and links

TEST_F(CliTest, ChunksListsNameOffsetAndSizeOfEveryEntryInFileOrder) {
    TMissionWriter w;
    w.Chunk("BRLIST", TBytes(76, 0));
    w.Chunk("P$SymName", TBytes(3, 0));
    w.Chunk("AB\nC", {});
    w.Chunk("TWELVE_CHARS", TBytes(1000, 0));
    const TRun r = Cli({"chunks", Save(w, "toc.mis")});
    EXPECT_EQ(std::to_string(r.Status) + r.Err, "0");
    EXPECT_EQ(r.Out, "Chunk            Offset       Size\n"
                     "BRLIST              272         76\n"
                     "P$SymName           372          3\n"
                     "AB?C                399          0\n"
                     "TWELVE_CHARS        423       1000\n");
}

// Links come from the chunks beginning with "L$"; a flavor filter judges a whole chunk by its
// first link (22 goes with 20), and an object filter needs both ends.
TEST_F(CliTest, LinksPrintsOneLinePerLinkThatPasses) {
    TMissionWriter w;
    w.Chunk("L$ControlDe", chunks::Links({{10, 1, 2, 2}, {11, 1, 3, 2}}))
        .Chunk("LD$ControlD", chunks::Links({{9, 1, 2, 2}}))
        .Chunk("L$Empty", {})
        .Chunk("l$Lower", chunks::Links({{8, 1, 2, 2}}))
        .Chunk("L$Contains", chunks::Links({{20, 4, 5, 3}, {21, -7, 4, 3}, {22, 4, 5, 2}}))
        .Chunk("XL$C", chunks::Links({{7, 1, 2, 2}}));
    const std::string file = Save(w, "links.mis");
    const std::string all = "10, 1, 2, 2\n11, 1, 3, 2\n20, 4, 5, 3\n21, -7, 4, 3\n22, 4, 5, 2\n";
    const std::pair<Args, std::string> cases[] = {
        {{}, all},
        {{"--object", "1", "--object=2"}, "10, 1, 2, 2\n"},
        {{"--object", "-7", "--object", "4"}, "21, -7, 4, 3\n"},
        {{"--flavor", "3", "--flavor", "2"}, all},
        {{"--flavor", "2"}, "10, 1, 2, 2\n11, 1, 3, 2\n"},
        {{"--flavor", "42"}, ""},
        {{"--object", "4", "--object", "5", "--flavor", "2"}, ""}};
    for (const auto& [options, expected] : cases) {
        Args args = {"links", file};
        args.insert(args.end(), options.begin(), options.end());
        const TRun r = Cli(args);
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(r.Out + r.Err, expected);
    }
}

} // namespace
} // namespace kv
