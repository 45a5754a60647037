#include "support/DemoMission.h"

#include <string>
#include <utility>
#include <vector>

namespace kv::test {

namespace {

using chunks::TNames;

// Flavor N is Relations entry N - 1, in the mission and in the gamesys alike.
const std::vector<std::string> kRelations = {"MetaProp",  "Contains",      "Receptron",
                                             "arSrcDesc", "ControlDevice", "AIWatchObj"};
enum { kMetaProp = 1, kContains, kReceptron, kArSrcDesc, kControlDevice, kAIWatchObj };

// An archetype and its parent (0: none), or an object and the archetype it descends from.
struct TNode {
    std::int32_t Id;
    const char* Name;
    std::int32_t Parent;
};

const std::vector<TNode> kArchetypes = {
    {-1, "Object", 0},      {-2, "Physical", -1},   {-3, "Creature", -1},   {-4, "Human", -3},
    {-5, "Guard", -4},      {-6, "Container", -2},  {-7, "Chest", -6},      {-8, "Treasure", -2},
    {-9, "Coin", -8},       {-10, "GoldStack", -9}, {-11, "Gem", -8},       {-12, "Emerald", -11},
    {-13, "Art", -8},       {-14, "Goblet", -13},   {-15, "Painting", -13}, {-16, "Device", -2},
    {-17, "Lever", -16},    {-18, "Door", -2},      {-19, "Stim", -1},      {-20, "WaterStim", -19},
    {-21, "FireStim", -19}, {-22, "Animal", -3},    {-23, "Rat", -22}};

// The mission's objects; 6 and 7 have no name of their own and are named after their
// archetype, 14 is named in OBJ_MAP only.
const std::vector<TNode> kObjects = {
    {1, "GateGuard", -5},     {2, "CellarGuard", -5},   {3, "TreasuryChest", -7},
    {4, "KitchenChest", -7},  {5, "SilverGoblet", -14}, {6, "", -9},
    {7, "", -12},             {8, "BaronPortrait", -15}, {9, "TreasuryGold", -10},
    {10, "KitchenCoins", -9}, {11, "CellarRat", -23},   {12, "WineCellarLever", -17},
    {13, "CellarDoor", -18},  {14, "", -2},             {15, "Courtyard", -1},
    {16, "TreasuryRoom", -1}};

TNames ArchetypeNames() {
    TNames names;
    for (const TNode& a : kArchetypes) names.emplace_back(a.Id, a.Name);
    return names;
}

TBytes Bytes(std::size_t count, std::uint8_t first) {
    TBytes b(count);
    for (std::size_t i = 0; i < count; ++i) b[i] = static_cast<std::uint8_t>(first + i);
    return b;
}

// A link data chunk whose first word is not its record size: DromEd writes 2 there for
// receptrons and stim sources.
TBytes StimData(std::uint32_t recordSize,
                const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b = chunks::LinkData(recordSize, records);
    b[0] = 2; // the sizes used here are below 256
    return b;
}

// Links of one flavor with consecutive IDs from FirstId, from each source to its destination.
TBytes LinksOf(std::uint16_t flavor, std::int32_t firstId,
               const std::vector<std::pair<std::int32_t, std::int32_t>>& ends) {
    std::vector<TLinkRec> links;
    for (const auto& [source, dest] : ends) links.push_back({firstId++, source, dest, flavor});
    return chunks::Links(links);
}

// Metaproperty links of priority 0 from each node to its parent, with link IDs from LinkId + 1.
void MetaPropChunks(TMissionWriter& w, const std::vector<TNode>& nodes, std::int32_t linkId) {
    std::vector<std::pair<std::int32_t, std::int32_t>> ends;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    for (const TNode& n : nodes) {
        if (n.Parent == 0) continue;
        ends.emplace_back(n.Id, n.Parent);
        priorities.emplace_back(linkId + static_cast<std::int32_t>(ends.size()), I32Bytes(0));
    }
    w.Chunk("L$MetaProp", LinksOf(kMetaProp, linkId + 1, ends));
    w.Chunk("LD$MetaProp", chunks::LinkData(4, priorities));
}

} // namespace

TBytes DemoGamesysBytes() {
    TMissionWriter w;
    w.Chunk("Relations", chunks::Relations(kRelations));
    w.Chunk("P$SymName", chunks::SymNames(ArchetypeNames()));
    MetaPropChunks(w, kArchetypes, 0x10000);
    // Coin, GoldStack, Emerald, Goblet (special S1) and Painting.
    w.Chunk("P$Loot", chunks::Props({{-9, chunks::Loot(25, 0, 0, 0)},
                                     {-10, chunks::Loot(100, 0, 0, 0)},
                                     {-12, chunks::Loot(0, 150, 0, 0)},
                                     {-14, chunks::Loot(0, 0, 75, 1)},
                                     {-15, chunks::Loot(0, 0, 300, 0)}}));
    return w.Bytes();
}

TBytes DemoMissionBytes() {
    // Names: objects, then the archetypes, as a saved mission carries them.
    TNames symNames;
    for (const TNode& o : kObjects)
        if (o.Name[0] != '\0') symNames.emplace_back(o.Id, o.Name);
    for (const auto& name : ArchetypeNames()) symNames.push_back(name);

    // Brushes: terrain of several media, a light, two named areas, a flow brush, two rooms, and
    // the object brushes (brush IDs with a gap, as after deleting brushes in DromEd).
    std::vector<TBrushRec> brushes = {
        {1, 0, 0, 6},   {2, 0, 1, 6},   {3, 0, 2, 8},   {4, 0, 5, 5},    {5, 0, 255, 0},
        {6, 0, 254, 0}, {7, 0, 254, 0}, {8, 0, 252, 0}, {9, 15, 251, 0}, {10, 16, 251, 0}};
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
    MetaPropChunks(w, kObjects, 0x100);
    w.Chunk("L$Contains", LinksOf(kContains, 0x201, {{3, 9}, {4, 10}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {{0x201, I32Bytes(0)}, {0x202, I32Bytes(0)}}));
    w.Chunk("L$Receptron", LinksOf(kReceptron, 0x301, {{1, -20}, {1, -21}, {1, -20}, {2, -20}}));
    w.Chunk("LD$Receptro", StimData(88, {{0x301, receptron}, {0x302, Bytes(88, 0x10)},
                                         {0x303, receptronTwin}, {0x304, receptron}}));
    w.Chunk("L$arSrcDesc", LinksOf(kArSrcDesc, 0x401, {{12, -21}}));
    w.Chunk("LD$arSrcDes", StimData(108, {{0x401, Bytes(108, 0x20)}}));
    // The lever opens the door twice; the cellar guard watches the rat three times over.
    w.Chunk("L$ControlDe", LinksOf(kControlDevice, 0x501, {{12, 13}, {12, 13}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    w.Chunk("L$AIWatchOb", LinksOf(kAIWatchObj, 0x601, {{2, 11}, {1, 13}, {2, 11}, {2, 11}}));
    w.Chunk("LD$AIWatchO", chunks::LinkData(8, {{0x601, watch}, {0x602, Bytes(8, 0x30)},
                                                {0x603, watch}, {0x604, watch}}));
    // Loot goals: 700 in total, which Normal misses (the kitchen coins are gone there), and
    // special S3 (the goblet).
    w.Chunk("QUEST_DB", chunks::QuestVars({{"DrSSecrets", 0},
                                           {"goal_type_0", 3},
                                           {"goal_loot_0", 700},
                                           {"goal_type_1", 3},
                                           {"goal_special_1", 4}}));
    return w.Bytes();
}

void WriteDemoMission(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    SaveBytes(folder / kDemoMissionName, DemoMissionBytes());
    SaveBytes(folder / kDemoGamesysName, DemoGamesysBytes());
}

} // namespace kv::test
