// A mission file and every operation on it: the table of contents, names and ancestry, the
// brush list, properties and links, the link list, the sanity check, the loot list with the
// gamesys found and without it, and the import into favourites (all kinds, and loot only).
// The input is the mission; its gamesys is a fixed one made in code, or the input itself when
// the mission names "fuzz.mis" as its gamesys (found beside it).
#include "FuzzSupport.h"

#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionFile.h"
#include "mission/MissionImport.h"
#include "mission/SanityCheck.h"
#include "support/DemoMission.h"
#include "support/SyntheticMission.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kv;

struct TFolders {
    fs::path Mission; // the input, alone in its folder: no gamesys beside it
    fs::path MissionDir;
    fs::path GamesysDir; // the demo's and the synthetic missions' gamesys files
    fs::path Gamesys;

    TFolders() {
        MissionDir = fuzz::ScratchFolder() / "mission";
        GamesysDir = fuzz::ScratchFolder() / "gamesys";
        fs::create_directories(MissionDir);
        fs::create_directories(GamesysDir);
        Mission = MissionDir / "fuzz.mis";
        const test::TBytes demo = test::DemoGamesysBytes();
        fuzz::WriteBytes(GamesysDir / test::kDemoGamesysName, demo.data(), demo.size());
        test::TSyntheticSettings settings;
        settings.Brushes = 40;
        settings.ObjectBrushes = 20;
        settings.Links = 60;
        settings.Archetypes = 20;
        const test::TSyntheticMission synthetic = test::MakeSyntheticMission(settings);
        Gamesys = GamesysDir / settings.GamesysName;
        fuzz::WriteBytes(Gamesys, synthetic.Gamesys.data(), synthetic.Gamesys.size());
    }
};

const TFolders& Folders() {
    static const TFolders folders;
    return folders;
}

// Keeps the callbacks' results alive so that nothing is optimised away.
std::size_t sink = 0;

void NamesAndAncestry(const TFolders& f, const std::vector<std::int32_t>& objects) {
    TMissionFile file;
    file.Open(f.Mission);
    if (file.Empty()) return;
    TMissionNames names;
    names.Load(file);
    TMissionFile gamesysFile;
    gamesysFile.Open(f.Gamesys);
    TMissionNames gamesys;
    gamesys.LoadMetaProps(gamesysFile);
    TMetaPropAncestry ancestry(names, &gamesys);
    std::vector<std::int32_t> list;
    for (const std::int32_t id : objects) {
        sink += names.GetObjectName(id, true).size() + names.GetObjectName(id, false).size();
        list.clear();
        ancestry.Get(id, list);
        sink += list.size();
        list.clear();
        names.GetMetaPropAncestors(id, list, nullptr);
        sink += list.size();
    }
    sink += names.HasMetaProps() ? 1 : 0;
}

void PropertiesAndLinks(const TFolders& f) {
    TReadPropsParams params;
    params.FileName = f.Mission;
    params.GamesysDir = f.GamesysDir;
    params.Props = std::vector<TNamedMode>{{"Loot", 1}, {"DiffDestr", 0}, {"SymName", 2}};
    params.Links = std::vector<TNamedMode>{{"MetaProp", 7}, {"Contains", 6}, {"Receptron", 3}};
    params.OnProp = [](std::int32_t, const std::string& name, const std::string&,
                       std::span<const std::uint8_t> data,
                       std::uint32_t) { sink += name.size() + data.size(); };
    params.OnLink = [](std::int32_t, std::int32_t, const std::string& sourceName,
                       const std::string& destName, int, std::span<const std::uint8_t> data,
                       std::uint32_t) {
        sink += sourceName.size() + destName.size() + data.size();
    };
    params.OnMessage = [](const std::string& message) { sink += message.size(); };
    ReadProps(params);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TFolders& f = Folders();
    fuzz::WriteBytes(f.Mission, data, size);

    std::vector<std::int32_t> objects{0, -1, -2, -3, 1, 2, 3};
    fuzz::Refusable([&] {
        std::vector<std::string> report;
        TReadBrushListParams params;
        params.FileName = f.Mission;
        params.UseBrushIDs = (size & 1) != 0;
        params.Report = &report;
        params.OnBrush = [&](TBrushKind, std::int32_t, std::int32_t objId, const std::string& n) {
            sink += n.size();
            if (objId != 0 && objects.size() < 256) objects.push_back(objId);
        };
        ReadBrushList(params);
        sink += report.size();
    });
    fuzz::Refusable([&] { NamesAndAncestry(f, objects); });
    fuzz::Refusable([&] { PropertiesAndLinks(f); });
    fuzz::Refusable([&] {
        ReadLinks(f.Mission, nullptr, nullptr,
                  [](std::int32_t id, std::int32_t, std::int32_t, int) { sink += id & 1; });
    });
    // The loot list finds the gamesys in the gamesys folder, or nowhere; the import takes
    // every brush with the sanity check running, then only the loot.
    TLootList loot;
    fuzz::Refusable([&] {
        loot =
            BuildLootList(f.Mission, f.GamesysDir, [](const std::string& m) { sink += m.size(); });
    });
    fuzz::Refusable([&] {
        sink += BuildLootList(f.Mission, f.MissionDir, [](const std::string& m) {
                    sink += m.size();
                }).Lines.size();
    });
    fuzz::Refusable([&] {
        std::vector<std::string> report;
        TImportOptions options;
        options.Report = &report;
        ImportMission(f.Mission, options, [](const TBrushInfo& b) { sink += b.Name.size(); });
        sink += report.size();
    });
    fuzz::Refusable([&] {
        TImportOptions options;
        options.Loot = &loot;
        options.UseBrushIDs = true;
        ImportMission(f.Mission, options, [](const TBrushInfo& b) { sink += b.Name.size(); });
    });
    return 0;
}
