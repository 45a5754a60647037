#include "support/DemoMission.h"

#include <string>
#include <utility>
#include <vector>

namespace kv::test {

namespace {

using TNames = std::vector<std::pair<std::int32_t, std::string>>;

// Flavor N is Relations entry N - 1, in the mission and in the gamesys alike.
const std::vector<std::string> kRelations = {"MetaProp",  "Contains",      "Receptron",
                                             "arSrcDesc", "ControlDevice", "AIWatchObj"};
constexpr std::uint16_t kMetaProp = 1;
constexpr std::uint16_t kContains = 2;
constexpr std::uint16_t kReceptron = 3;
constexpr std::uint16_t kArSrcDesc = 4;
constexpr std::uint16_t kControlDevice = 5;
constexpr std::uint16_t kAIWatchObj = 6;

struct TArchetype {
    std::int32_t Id;
    const char* Name;
    std::int32_t Parent; // 0: none
};

const std::vector<TArchetype> kArchetypes = {
    {-1, "Object", 0},      {-2, "Physical", -1},   {-3, "Creature", -1},   {-4, "Human", -3},
    {-5, "Guard", -4},      {-6, "Container", -2},  {-7, "Chest", -6},      {-8, "Treasure", -2},
    {-9, "Coin", -8},       {-10, "GoldStack", -9}, {-11, "Gem", -8},       {-12, "Emerald", -11},
    {-13, "Art", -8},       {-14, "Goblet", -13},   {-15, "Painting", -13}, {-16, "Device", -2},
    {-17, "Lever", -16},    {-18, "Door", -2},      {-19, "Stim", -1},      {-20, "WaterStim", -19},
    {-21, "FireStim", -19}, {-22, "Animal", -3},    {-23, "Rat", -22},
};

// The mission's objects and the archetype each descends from; 6 and 7 have no name of their
// own and are named after it, 14 is named in OBJ_MAP only.
struct TObject {
    std::int32_t Id;
    const char* Name;
    std::int32_t Archetype;
};

const std::vector<TObject> kObjects = {
    {1, "GateGuard", -5},
    {2, "CellarGuard", -5},
    {3, "TreasuryChest", -7},
    {4, "KitchenChest", -7},
    {5, "SilverGoblet", -14},
    {6, "", -9},
    {7, "", -12},
    {8, "BaronPortrait", -15},
    {9, "TreasuryGold", -10},
    {10, "KitchenCoins", -9},
    {11, "CellarRat", -23},
    {12, "WineCellarLever", -17},
    {13, "CellarDoor", -18},
    {14, "", -2},
    {15, "Courtyard", -1},
    {16, "TreasuryRoom", -1},
};

TNames ArchetypeNames() {
    TNames names;
    for (const TArchetype& a : kArchetypes) names.emplace_back(a.Id, a.Name);
    return names;
}

TBytes Bytes(std::size_t count, std::uint8_t first) {
    TBytes b(count);
    for (std::size_t i = 0; i < count; ++i) b[i] = static_cast<std::uint8_t>(first + i);
    return b;
}

// A link data chunk whose first word is not its record size: DromEd writes 2 there for
// receptrons and stim sources.
TBytes StimData(std::size_t recordSize,
                const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b;
    PutU32(b, 2);
    for (const auto& [id, data] : records) {
        PutI32(b, id);
        TBytes padded = data;
        padded.resize(recordSize, 0);
        b.insert(b.end(), padded.begin(), padded.end());
    }
    return b;
}

} // namespace

TBytes DemoGamesysBytes() {
    std::vector<TLinkRec> meta;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    std::int32_t linkId = 0x10000;
    for (const TArchetype& a : kArchetypes) {
        if (a.Parent == 0) continue;
        meta.push_back({++linkId, a.Id, a.Parent, kMetaProp});
        priorities.emplace_back(linkId, I32Bytes(0));
    }
    TMissionWriter w;
    w.Chunk("Relations", chunks::Relations(kRelations));
    w.Chunk("P$SymName", chunks::SymNames(ArchetypeNames()));
    w.Chunk("L$MetaProp", chunks::Links(meta));
    w.Chunk("LD$MetaProp", chunks::LinkData(4, priorities));
    w.Chunk("P$Loot", chunks::Props({
                          {-9, chunks::Loot(25, 0, 0, 0)},   // Coin
                          {-10, chunks::Loot(100, 0, 0, 0)}, // GoldStack
                          {-12, chunks::Loot(0, 150, 0, 0)}, // Emerald
                          {-14, chunks::Loot(0, 0, 75, 1)},  // Goblet, special S1
                          {-15, chunks::Loot(0, 0, 300, 0)}, // Painting
                      }));
    return w.Bytes();
}

TBytes DemoMissionBytes() {
    // Names: objects, then the archetypes, as a saved mission carries them.
    TNames symNames;
    for (const TObject& o : kObjects) {
        if (o.Name[0] != '\0') symNames.emplace_back(o.Id, o.Name);
    }
    for (const auto& name : ArchetypeNames()) symNames.push_back(name);

    std::vector<TLinkRec> meta;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    std::int32_t linkId = 0x100;
    for (const TObject& o : kObjects) {
        meta.push_back({++linkId, o.Id, o.Archetype, kMetaProp});
        priorities.emplace_back(linkId, I32Bytes(0));
    }

    // Brushes: terrain of several media, a light, two named areas, a flow brush, two rooms, and
    // the object brushes (brush IDs with a gap, as after deleting brushes in DromEd).
    std::vector<TBrushRec> brushes = {
        {1, 0, 0, 6},   {2, 0, 1, 6},   {3, 0, 2, 8},   {4, 0, 5, 5},    {5, 0, 255, 0},
        {6, 0, 254, 0}, {7, 0, 254, 0}, {8, 0, 252, 0}, {9, 15, 251, 0}, {10, 16, 251, 0},
    };
    for (std::int32_t id = 1; id <= 14; ++id)
        brushes.push_back({static_cast<std::uint16_t>(id < 8 ? 19 + id : 20 + id), id, 253, 0});

    const TBytes receptron = Bytes(88, 0x40);
    TBytes receptronTwin = receptron; // differs only in the first four bytes
    receptronTwin[0] = 0x99;
    const TBytes watch = Bytes(8, 0x01);

    TBytes gamFile = chunks::ZText(kDemoGamesysName);
    gamFile.resize(256, 0);

    TMissionWriter w;
    w.Chunk("GAM_FILE", gamFile);
    w.Chunk("BRLIST", chunks::Brushes(brushes));
    w.Chunk("P$SymName", chunks::SymNames(symNames));
    w.Chunk("OBJ_MAP", chunks::NameRecords({{14, "OldLantern"}}));
    w.Chunk("HotRegions", chunks::NameRecords({{6, "Treasury"}, {7, "WineCellar"}}));
    w.Chunk("Relations", chunks::Relations(kRelations));
    w.Chunk("P$Loot", chunks::Props({{5, chunks::Loot(0, 0, 120, 0x5)}})); // S1 and S3
    w.Chunk("P$DiffDestr", chunks::Props({{10, I32Bytes(1)}}));            // gone on Normal
    w.Chunk("P$DeathStag", chunks::Props({{2, I32Bytes(0)}, {11, I32Bytes(12)}}));
    w.Chunk("L$MetaProp", chunks::Links(meta));
    w.Chunk("LD$MetaProp", chunks::LinkData(4, priorities));
    w.Chunk("L$Contains", chunks::Links({{0x201, 3, 9, kContains}, {0x202, 4, 10, kContains}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {{0x201, I32Bytes(0)}, {0x202, I32Bytes(0)}}));
    w.Chunk("L$Receptron", chunks::Links({{0x301, 1, -20, kReceptron},
                                          {0x302, 1, -21, kReceptron},
                                          {0x303, 1, -20, kReceptron},
                                          {0x304, 2, -20, kReceptron}}));
    w.Chunk("LD$Receptro", StimData(88, {{0x301, receptron},
                                         {0x302, Bytes(88, 0x10)},
                                         {0x303, receptronTwin},
                                         {0x304, receptron}}));
    w.Chunk("L$arSrcDesc", chunks::Links({{0x401, 12, -21, kArSrcDesc}}));
    w.Chunk("LD$arSrcDes", StimData(108, {{0x401, Bytes(108, 0x20)}}));
    // The lever opens the door twice; the cellar guard watches the rat three times over.
    w.Chunk("L$ControlDe",
            chunks::Links({{0x501, 12, 13, kControlDevice}, {0x502, 12, 13, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    w.Chunk("L$AIWatchOb", chunks::Links({{0x601, 2, 11, kAIWatchObj},
                                          {0x602, 1, 13, kAIWatchObj},
                                          {0x603, 2, 11, kAIWatchObj},
                                          {0x604, 2, 11, kAIWatchObj}}));
    w.Chunk("LD$AIWatchO",
            chunks::LinkData(
                8, {{0x601, watch}, {0x602, Bytes(8, 0x30)}, {0x603, watch}, {0x604, watch}}));
    return w.Bytes();
}

void WriteDemoMission(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    SaveBytes(folder / kDemoMissionName, DemoMissionBytes());
    SaveBytes(folder / kDemoGamesysName, DemoGamesysBytes());
}

} // namespace kv::test
