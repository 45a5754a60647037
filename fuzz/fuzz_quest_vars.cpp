// The quest variables: the input is the QUEST_DB chunk of a mission whose loot is fixed, read as
// variables, turned into loot objectives and checked against the loot per difficulty. A second
// read of the same chunk as QUEST_CMP must give the same variables.
#include "FuzzSupport.h"

#include "mission/LootList.h"
#include "mission/QuestVars.h"
#include "support/MissionWriter.h"

#include <cstdlib>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path mission = fuzz::ScratchFolder() / "quest.mis";
    const test::TBytes chunk(data, data + size);
    test::TMissionWriter writer;
    writer.Chunk("BRLIST", test::chunks::Brushes({{1, 10, 253, 0}, {2, 11, 253, 0}}))
        .Chunk("P$Loot", test::chunks::Props({{10, test::chunks::Loot(100, 20, 0, 2)},
                                              {11, test::chunks::Loot(0, 0, 30, 0)}}))
        .Chunk("P$DiffDestr", test::chunks::Props({{11, test::I32Bytes(4)}}))
        .Chunk("QUEST_DB", chunk)
        .Chunk("QUEST_CMP", chunk);
    test::SaveBytes(mission, writer.Bytes());
    fuzz::Refusable([&] {
        TMissionFile file;
        file.Open(mission);
        const std::vector<TQuestVar> db = ReadQuestVars(file, "QUEST_DB");
        const std::vector<TQuestVar> cmp = ReadQuestVars(file, "QUEST_CMP");
        if (db.size() != cmp.size()) std::abort();
        const std::vector<TLootGoal> goals = ReadLootGoals(file);
        TLootList list = BuildLootList(mission, fuzz::ScratchFolder(), {});
        std::vector<std::string> report;
        CheckLootGoals(mission, fuzz::ScratchFolder(), {}, report);
        volatile std::size_t sink = list.Lines.size() + report.size() + goals.size();
        (void)sink;
    });
    return 0;
}
