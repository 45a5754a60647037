// Smoke and regression tests on real DromEd output: every mission, saved game and gamesys in
// the shared folder of real files goes through the brush list, the link reader, the loot list
// and a read of every chunk. The files are read where they lie; the tests skip when the folder
// is not there.
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

std::string LowerExtension(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// Paths relative to the folder, sorted: missions, saved games and gamesys files in any case; a
// lone empty name when the folder is absent, so the test can say why it skips.
std::vector<std::string> RealFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    if (fs::is_directory(kRealDir, ec)) {
        for (const auto& entry : fs::recursive_directory_iterator(kRealDir, ec)) {
            const std::string ext = LowerExtension(entry.path());
            if (entry.is_regular_file() &&
                (ext == ".mis" || ext == ".cow" || ext == ".gam" || ext == ".sav"))
                files.push_back(fs::relative(entry.path(), kRealDir).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) files.emplace_back();
    return files;
}

class RealMissionFileTest : public ::testing::TestWithParam<std::string> {};

// Object brushes are named after the object or its archetype with the ID appended; every record
// of the L$ chunks is a link; the loot list is whole; every chunk lies inside the file. The saved
// game carries 7520 links and loot values.
TEST_P(RealMissionFileTest, EveryOperationReadsTheFile) {
    if (GetParam().empty())
        GTEST_SKIP() << "The folder of real mission files is not there (" << kRealDir.string()
                     << "); these tests run when it is.";
    const fs::path file = kRealDir / GetParam();
    int objects = 0;
    TReadBrushListParams params;
    params.FileName = file;
    params.OnBrush = [&](TBrushKind kind, std::int32_t, std::int32_t objId,
                         const std::string& name) {
        if (kind != bkObject) return;
        ++objects;
        EXPECT_GT(objId, 0) << name;
        EXPECT_TRUE(name.size() > 3 && name.ends_with(" (" + std::to_string(objId) + ")"))
            << "object " << objId << " is named \"" << Win1252ToUtf8(name) << "\"";
    };
    ReadBrushList(params);
    // A gamesys holds no object brushes; every other file has some.
    EXPECT_EQ(objects > 0, LowerExtension(file) != ".gam") << objects;

    TMissionFile mission;
    mission.Open(file);
    ASSERT_FALSE(mission.Empty());
    int linkRecords = 0;
    for (const TTocEntry& entry : mission.Entries()) {
        EXPECT_LE(std::uint64_t{entry.Offset} + 24 + entry.Size, mission.FileSize())
            << entry.Name();
        EXPECT_EQ(mission.ReadEntry(entry).size(), entry.Size) << entry.Name();
        if (entry.Name().starts_with("L$")) linkRecords += static_cast<int>(entry.Size / 14);
    }
    int links = 0;
    ReadLinks(file, nullptr, nullptr,
              [&](std::int32_t, std::int32_t, std::int32_t, int) { ++links; });
    EXPECT_EQ(links, linkRecords);

    std::vector<std::string> messages;
    const TLootList list = BuildLootList(
        file, file.parent_path(), [&](const std::string& message) { messages.push_back(message); });
    long total = -1; // the first number of the "TOTAL" row
    for (const std::string& line : list.Lines)
        if (line.starts_with("TOTAL ")) std::istringstream(line.substr(5)) >> total;
    ASSERT_GE(list.Lines.size(), 9u); // heading, dashes and the four totals at least
    EXPECT_EQ(list.Lines.front(), "File: " + PathToText(file.filename()));
    EXPECT_EQ(list.Lines.size(), list.LineIds.size());
    EXPECT_GE(total, 0);
    EXPECT_LE(messages.size(), 1u);
    if (GetParam() == "test_fallonback.cow") {
        EXPECT_EQ(links, 7520);
        EXPECT_GT(total, 0);
        EXPECT_TRUE(messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, RealMissionFileTest, ::testing::ValuesIn(RealFiles()),
                         [](const ::testing::TestParamInfo<std::string>& file) {
                             std::string name = file.param.empty() ? "FolderAbsent" : file.param;
                             for (char& c : name)
                                 if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
                             return name;
                         });

} // namespace
} // namespace kv
