// Smoke and regression tests on real DromEd output: every mission, saved game and gamesys in
// the shared folder of real files goes through the brush list, the sanity check, the link
// reader, the loot list and a read of every chunk. The files are read where they lie; the tests
// skip when the folder is not there.
#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionFile.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;

const fs::path kRealDir = KORVANE_REALMIS_DIR;

#define SKIP_WITHOUT_REAL_FILES()                                                                  \
    if (!fs::is_directory(kRealDir))                                                               \
    GTEST_SKIP() << "The folder of real mission files is not there (" << kRealDir.string()         \
                 << "); these tests run when it is."

std::string LowerExtension(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool IsGamesys(const fs::path& p) { return LowerExtension(p) == ".gam"; }

// Paths relative to the folder, sorted; missions, saved games and gamesys files in any case.
std::vector<std::string> RealFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    if (!fs::is_directory(kRealDir, ec)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(kRealDir, ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = LowerExtension(entry.path());
        if (ext == ".mis" || ext == ".cow" || ext == ".gam" || ext == ".sav")
            files.push_back(fs::relative(entry.path(), kRealDir).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// One test per file; a lone empty name when the folder is absent, so the tests can say why they
// skip.
std::vector<std::string> RealFileParams() {
    std::vector<std::string> files = RealFiles();
    if (files.empty()) files.emplace_back();
    return files;
}

std::string TestNameOf(const ::testing::TestParamInfo<std::string>& info) {
    if (info.param.empty()) return "FolderAbsent";
    std::string name;
    for (const char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return name;
}

struct TBrushCount {
    int All = 0;
    int Objects = 0;
};

TBrushCount CountBrushes(const fs::path& file) {
    TBrushCount count;
    TReadBrushListParams params;
    params.FileName = file;
    params.OnBrush = [&](TBrushKind kind, std::int32_t, std::int32_t objId,
                         const std::string& name) {
        ++count.All;
        if (kind != bkObject) return;
        ++count.Objects;
        EXPECT_GT(objId, 0) << name;
        // Named after the object itself or its archetype, with its ID appended.
        EXPECT_TRUE(name.size() > 3 && name.ends_with(" (" + std::to_string(objId) + ")"))
            << "object " << objId << " is named \"" << Win1252ToUtf8(name) << "\"";
    };
    ReadBrushList(params);
    return count;
}

std::vector<std::string> SanityCheck(const fs::path& file) {
    std::vector<std::string> report;
    TReadBrushListParams params;
    params.FileName = file;
    params.Report = &report;
    ReadBrushList(params);
    return report;
}

int CountLinks(const fs::path& file) {
    int links = 0;
    ReadLinks(file, nullptr, nullptr, [&](std::int32_t, std::int32_t, std::int32_t, int flavor) {
        EXPECT_GE(flavor, 0);
        EXPECT_LE(flavor, 65535);
        ++links;
    });
    return links;
}

// The link records the table of contents promises: every L$ chunk's size over 14.
int LinkRecordsInTable(const fs::path& file) {
    TMissionFile mission;
    mission.Open(file);
    int records = 0;
    for (const TTocEntry& entry : mission.Entries()) {
        if (entry.Name().starts_with("L$")) records += static_cast<int>(entry.Size / 14);
    }
    return records;
}

struct TLootRun {
    TLootList List;
    std::vector<std::string> Messages;
};

TLootRun Loot(const fs::path& file) {
    TLootRun run;
    run.List = BuildLootList(file, file.parent_path(),
                             [&](const std::string& message) { run.Messages.push_back(message); });
    return run;
}

// The first number of the "TOTAL" row: gold, gems and art of all difficulties together.
long LootTotal(const TLootList& list) {
    for (const std::string& line : list.Lines) {
        if (!line.starts_with("TOTAL ")) continue;
        std::istringstream row(line.substr(5));
        long total = -1;
        row >> total;
        return total;
    }
    return -1;
}

class RealMissionFileTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_REAL_FILES();
        file_ = kRealDir / GetParam();
    }
    fs::path file_;
};

TEST_P(RealMissionFileTest, BrushListIsPlausible) {
    const TBrushCount count = CountBrushes(file_);
    if (IsGamesys(file_)) {
        EXPECT_EQ(count.Objects, 0) << "a gamesys holds no object brushes";
    } else {
        EXPECT_GT(count.All, 0);
        EXPECT_GT(count.Objects, 0);
    }
}

TEST_P(RealMissionFileTest, SanityCheckWritesOnlyItsSections) {
    const std::vector<std::string> report = SanityCheck(file_);
    if (report.empty()) return;
    EXPECT_TRUE(report.front().starts_with("Deathstage 12 found on ") ||
                report.front() == "Duplicate links found:")
        << report.front();
    for (const std::string& line : report) {
        const bool known = line.empty() || line.starts_with("Deathstage 12 found on ") ||
                           line == "This is usually a typical DromEd bug and should be fixed!" ||
                           line == "Duplicate links found:" || line.starts_with(" - ") ||
                           line.starts_with(" wtf? ");
        EXPECT_TRUE(known) << Win1252ToUtf8(line);
    }
}

TEST_P(RealMissionFileTest, ReadLinksDeliversEveryRecordOfTheLinkChunks) {
    EXPECT_EQ(CountLinks(file_), LinkRecordsInTable(file_));
}

TEST_P(RealMissionFileTest, LootListIsBuilt) {
    const TLootRun run = Loot(file_);
    ASSERT_GE(run.List.Lines.size(), 9u); // heading, dashes and the four totals at least
    EXPECT_EQ(run.List.Lines.front(), "File: " + PathToText(file_.filename()));
    EXPECT_EQ(run.List.Lines.size(), run.List.LineIds.size());
    EXPECT_GE(LootTotal(run.List), 0);
    EXPECT_LE(run.Messages.size(), 1u);
}

TEST_P(RealMissionFileTest, EveryChunkOfTheTableOfContentsReads) {
    TMissionFile mission;
    mission.Open(file_);
    ASSERT_FALSE(mission.Empty());
    for (const TTocEntry& entry : mission.Entries()) {
        EXPECT_LE(std::uint64_t{entry.Offset} + 24 + entry.Size, mission.FileSize())
            << entry.Name();
        EXPECT_EQ(mission.ReadEntry(entry).size(), entry.Size) << entry.Name();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, RealMissionFileTest, ::testing::ValuesIn(RealFileParams()),
                         TestNameOf);

TEST(RealMissionsTest, FolderHoldsTheKnownFiles) {
    SKIP_WITHOUT_REAL_FILES();
    const std::vector<std::string> files = RealFiles();
    EXPECT_GE(files.size(), 13u);
    for (const char* known :
         {"test_fallonback.cow", "test_moneytree/test_moneytree.mis",
          "test_moneytree/test_moneytree.gam", "test_inventoryselect/test_invselect.mis"})
        EXPECT_NE(std::find(files.begin(), files.end(), known), files.end()) << known;
}

TEST(RealMissionsTest, SavedGameCarriesItsLinksAndLootValues) {
    SKIP_WITHOUT_REAL_FILES();
    const fs::path file = kRealDir / "test_fallonback.cow";
    EXPECT_EQ(CountLinks(file), 7520);
    const TLootRun run = Loot(file);
    EXPECT_GT(LootTotal(run.List), 0);
    EXPECT_TRUE(run.Messages.empty());
}

TEST(RealMissionsTest, GamesysNamedInAnotherLetterCaseIsFound) {
    SKIP_WITHOUT_REAL_FILES();
    const fs::path mission = kRealDir / "test_moneytree" / "test_moneytree.mis";
    TMissionFile file;
    file.Open(mission);
    const auto gamFile = file.ReadChunk("GAM_FILE");
    ASSERT_TRUE(gamFile.has_value());
    const std::string named(reinterpret_cast<const char*>(gamFile->data()),
                            std::find(gamFile->begin(), gamFile->end(), 0) - gamFile->begin());
    EXPECT_EQ(named, "test_moneytree.GAM");

    const fs::path found = FindGamesys(mission.parent_path(), mission, named);
    EXPECT_TRUE(!found.empty() &&
                fs::equivalent(found, mission.parent_path() / "test_moneytree.gam")) << found;
    const TLootRun run = Loot(mission);
    for (const std::string& message : run.Messages)
        EXPECT_FALSE(message.starts_with("Gamesys not found")) << message;
}

TEST(RealMissionsTest, AbsentGamesysIsReportedOnce) {
    SKIP_WITHOUT_REAL_FILES();
    const fs::path mission = kRealDir / "test_inventoryselect" / "test_invselect.mis";
    const TLootRun run = Loot(mission);
    ASSERT_EQ(run.Messages.size(), 1u);
    EXPECT_TRUE(run.Messages[0].starts_with("Gamesys not found: \"")) << run.Messages[0];
    EXPECT_TRUE(run.Messages[0].ends_with("dark.gam\"")) << run.Messages[0];
    EXPECT_GE(run.List.Lines.size(), 9u); // the list is still made from the mission's values
}

} // namespace
} // namespace kv
