// Writes the seed corpus of every fuzz target into <folder>/<target>/, made by the program's
// own writers and the tests' mission generators: small synthetic missions and the demo mission,
// a favourites file, a settings file, a link template, key scripts and pictures of text drawn
// in DromEd's interface font.
#include "NullCanvas.h"

#include "dromedscreen/Glyphs.h"
#include "linkpainter/LinkPainter.h"
#include "support/DemoMission.h"
#include "support/MissionWriter.h"
#include "support/SyntheticMission.h"
#include "text/TextFile.h"
#include "workspace/FavoritesFile.h"
#include "workspace/Settings.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kv;

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    WriteFileAtomically(folder / name, bytes);
}

void Put(const fs::path& folder, const std::string& name, const test::TBytes& bytes) {
    Put(folder, name, std::string(bytes.begin(), bytes.end()));
}

void Missions(const fs::path& folder) {
    Put(folder, "demo.mis", test::DemoMissionBytes());
    test::TSyntheticSettings tiny;
    tiny.Brushes = 12;
    tiny.ObjectBrushes = 6;
    tiny.NamedObjects = 4;
    tiny.Links = 30;
    tiny.Archetypes = 8;
    tiny.LootArchetypes = 3;
    tiny.OwnLootObjects = 2;
    tiny.ContainsLinks = 2;
    tiny.DiffDestrObjects = 1;
    tiny.DeathStage12Objects = 1;
    tiny.DuplicatedPairs = 2;
    Put(folder, "tiny.mis", test::MakeSyntheticMission(tiny).Mission);
    test::TSyntheticSettings unnamed = tiny;
    unnamed.Seed = 2;
    unnamed.ArchetypeNamesInMission = false;
    Put(folder, "unnamed.mis", test::MakeSyntheticMission(unnamed).Mission);
    // Its own gamesys: the target writes the input as fuzz.mis, so the gamesys read is hostile too.
    test::TSyntheticSettings own = tiny;
    own.Seed = 4;
    own.GamesysName = "fuzz.mis";
    Put(folder, "own-gamesys.mis", test::MakeSyntheticMission(own).Mission);
    test::TSyntheticSettings usual; // the generator's own sizes
    usual.Seed = 3;
    Put(folder, "usual.mis", test::MakeSyntheticMission(usual).Mission);
}

void QuestVars(const fs::path& folder) {
    Put(folder, "empty.bin", std::string());
    Put(folder, "secrets.bin", test::chunks::QuestVars({{"DrSSecrets", 0}, {"goal_state_0", 0}}));
    Put(folder, "loot.bin",
        test::chunks::QuestVars({{"goal_type_1", 3}, {"goal_loot_1", 150}, {"goal_gold_1", 120},
                                 {"goal_special_1", 6}, {"goal_min_diff_1", 1},
                                 {"GOAL_TYPE_2", 3}, {"goal_goods_2", 30}, {"goal_max_diff_2", 1},
                                 {"goal_type_3", 3}, {"goal_reverse_3", 1}}));
}

void Favorites(const fs::path& folder) {
    const std::vector<TBrushInfo> list{{bkObject, 12, 345, "Guard"},
                                       {bkArea, 9, 0, "Courtyard {east}"},
                                       {bkRoom, 20, 77, "Great Hall"},
                                       {bkTerrain, 3, 0, ""},
                                       {bkObject, 21, -5, "Lamp"}};
    std::vector<const TBrushInfo*> items;
    for (const TBrushInfo& item : list) items.push_back(&item);
    Put(folder, "list.kvf", FormatFavoritesFile(items));
}

void SettingsFile(const fs::path& folder) {
    TSettings s;
    s.HkAdd = kShortcutCtrl | kShortcutShift | 'Q';
    s.Dock = 2;
    s.Push = false;
    s.MisBNum = true;
    s.DromEdPath = "C:\\Games\\Thief2\\DromEd.exe";
    fs::create_directories(folder);
    SaveSettings(s, folder / "korvane.ini");
}

void Template(const fs::path& folder) {
    fuzz::TNullCanvas canvas;
    TLinkPainter painter(canvas, 654, 546, {}, [] { return 0.5; });
    TNode* door = painter.AddObjectNode(TBrushInfo{bkNone, 0, 0, "Door"}, 300, 200);
    TNode* lever = painter.AddObjectNode(TBrushInfo{bkObject, 12, 345, "Lever"}, 120, 80);
    TNode* guard = painter.AddObjectNode(TBrushInfo{bkObject, 14, 346, "Guard"}, 500, 400);
    painter.AddLink(lever, door, 24, true);
    painter.AddLink(guard, door, 3, false);
    Put(folder, "doors.lpt", painter.TemplateFileText(false));
}

void KeyScripts(const fs::path& folder) {
    const char* const scripts[] = {
        "{ESC}:load_file miss1.mis~",
        "{ESC}:obj_name_set 345 Guard{ENTER}",
        "+{HOME}^a%{F4}{LEFT 3}{{}{}}~",
        "{NUMLOCK}(abc)+(xyz){TAB 2}{BS}{DEL}",
    };
    int n = 0;
    for (const char* script : scripts) Put(folder, "script" + std::to_string(++n) + ".txt", script);
}

// The picture in the text recognition target's form (see fuzz_text_recognition.cpp).
std::string Picture(const TPixelImage& image, int top) {
    std::string bytes{static_cast<char>(image.Width - 1),
                      static_cast<char>(image.Height - 1),
                      0,
                      static_cast<char>(top),
                      0,
                      0};
    for (const std::uint32_t p : image.Pixels) {
        const char b = p == 0          ? 0
                       : p == 0xFFFFFF ? 1
                       : p == 0xC0C0C0 ? 2
                                       : static_cast<char>(p | 3);
        bytes += b;
    }
    return bytes;
}

void Pictures(const fs::path& folder) {
    TPixelImage light(160, 15, 0);
    DrawGlyphText(light, 2, 2, "Brush 12 selected", 0xFFFFFF, 160);
    Put(folder, "light.pic", Picture(light, 2));
    TPixelImage dark(200, 13, 0xC0C0C0);
    DrawGlyphText(dark, 1, 1, "Loaded C:\\miss1.mis [ok] 50%", 0x000000, 200);
    Put(folder, "dark.pic", Picture(dark, 1));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane-fuzz-seeds FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    Missions(root / "fuzz_mission");
    Favorites(root / "fuzz_favorites");
    SettingsFile(root / "fuzz_settings");
    Template(root / "fuzz_link_template");
    KeyScripts(root / "fuzz_send_keys");
    Pictures(root / "fuzz_text_recognition");
    QuestVars(root / "fuzz_quest_vars");
    return 0;
}
