// No command of korvane-cli writes to a mission or gamesys file or leaves anything beside it:
// every command runs over generated missions and over the real ones, and each folder's files,
// bytes and write times are compared before and after.
#include "app/Cli.h"

#include "support/DemoMission.h"
#include "support/FolderSnapshot.h"
#include "support/SimDromEdFixture.h"
#include "support/SyntheticMission.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// One row per command: "{mis}" stands for the mission, "{gam}" for a folder holding its
// gamesys, "{out}" for a file in a folder of its own.
const Args kCommands[] = {
    {"check", "{mis}"}, {"loot", "{mis}"}, {"loot", "{mis}", "--gamesys-dir", "{gam}"},
    {"import", "{mis}"},
    {"import", "{mis}", "-o", "{out}", "--brush-ids", "--kinds", "TO", "--name", "a"},
    {"chunks", "{mis}"}, {"links", "{mis}"},
    {"links", "{mis}", "--object", "1", "--object", "3", "--flavor", "1"},
    {"dromed", "load", "{mis}"}, {"dromed", "selection"}, {"dromed", "select-brush", "12"},
    {"dromed", "select-object", "345"}, {"dromed", "link", "345", "77", "ControlDevice"},
    {"dromed", "camera", "--unroll", "--level"}, {"dromed", "compress"},
    {"dromed", "send", "show_hot"}, {"dromed", "read-field", "StatusFile"},
};

// Runs one command with the simulated DromEd reading missions as korvane's session does;
// the command must not fail.
void RunCommand(Args args, const fs::path& mission, const fs::path& gamesysDir,
                const fs::path& out) {
    for (std::string& a : args) {
        if (a == "{mis}") a = PathToText(mission);
        if (a == "{gam}") a = PathToText(gamesysDir);
        if (a == "{out}") a = PathToText(out);
    }
    test::TSimDromEdFixture f;
    f.DromEd->Select(12);
    test::LoadMissionsFromDisk(*f.DromEd);
    TCliEnvironment environment;
    environment.Clock = [] { return TCliTime{12, 0}; };
    environment.Platforms = [&f](const std::string&) -> TPlatform& { return f.Desktop; };
    std::ostringstream o;
    std::ostringstream e;
    EXPECT_NE(RunCli(args, o, e, environment), kCliError) << mission << ": " << e.str();
}

TEST(MissionUntouchedTest, GeneratedAndRealMissionsAndTheirGamesysStayAsTheyWere) {
    test::ScratchFolder scratch;
    const fs::path missionDir = scratch / "mission";
    const fs::path gamesysDir = scratch / "gamesys";
    test::WriteDemoMission(missionDir);
    const test::TSyntheticSettings settings;
    test::SaveSyntheticMission(test::MakeSyntheticMission(settings), settings,
                               missionDir / "synthetic.mis");
    fs::create_directory(gamesysDir);
    fs::create_directory(scratch / "out");
    for (const char* gamesys : {test::kDemoGamesysName, "synthetic.gam"})
        fs::copy_file(missionDir / gamesys, gamesysDir / gamesys);
    std::vector<fs::path> missions = {missionDir / test::kDemoMissionName,
                                      missionDir / "synthetic.mis"};
    // The real missions are read in place; their folder is compared once, at the end.
    const fs::path realDir = KORVANE_REALMIS_DIR;
    const bool haveReal = fs::is_directory(realDir);
    for (const auto& e : haveReal ? fs::recursive_directory_iterator(realDir)
                                  : fs::recursive_directory_iterator()) {
        if (e.path().extension() == ".mis" || e.path().extension() == ".cow")
            missions.push_back(e.path());
    }
    const auto realBefore = haveReal ? test::SnapshotFolder(realDir) : test::TFolderSnapshot{};
    for (const fs::path& mission : missions) {
        const bool generated = mission.parent_path() == missionDir;
        for (const Args& command : kCommands) {
            if (!generated && std::count(command.begin(), command.end(), "{mis}") == 0) continue;
            SCOPED_TRACE(mission.string() + ", row " + std::to_string(&command - kCommands));
            const auto missionBefore = test::SnapshotFolder(missionDir);
            const auto gamesysBefore = test::SnapshotFolder(gamesysDir);
            RunCommand(command, mission, generated ? gamesysDir : realDir / "test_gui",
                       scratch / "out" / "fav.kvf");
            EXPECT_EQ(test::ChangedPaths(missionBefore, test::SnapshotFolder(missionDir)), "");
            EXPECT_EQ(test::ChangedPaths(gamesysBefore, test::SnapshotFolder(gamesysDir)), "");
        }
    }
    const auto realAfter = haveReal ? test::SnapshotFolder(realDir) : test::TFolderSnapshot{};
    EXPECT_EQ(test::ChangedPaths(realBefore, realAfter), "");
    // The one file written is the favourites file asked for, in its own folder.
    EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{"gamesys", "mission", "out"}));
    EXPECT_TRUE(fs::exists(scratch / "out" / "fav.kvf"));
}

} // namespace
} // namespace kv
