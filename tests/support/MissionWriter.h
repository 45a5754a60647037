// Builds DromEd tag files in code, so that each test makes exactly the mission or gamesys it
// needs: chunks in any order and with any content, and the record layouts of the chunks the
// program reads.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

using TBytes = std::vector<std::uint8_t>;

void PutU32(TBytes& b, std::uint32_t v);
void PutI32(TBytes& b, std::int32_t v);
void PutText(TBytes& b, const std::string& s); // the bytes alone
[[nodiscard]] TBytes I32Bytes(std::int32_t v);
[[nodiscard]] TBytes Concat(const TBytes& a, const TBytes& b);

struct TLinkRec {
    std::int32_t LinkId = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
};

struct TBrushRec {
    std::uint16_t BrushId = 0;
    std::int32_t ObjId = 0;
    std::int16_t Media = 0;
    std::uint8_t FaceCount = 0; // terrain brushes carry 10 bytes per face after the record
};

// Chunk contents in the layouts the mission reader understands.
namespace chunks {
using TNames = std::vector<std::pair<std::int32_t, std::string>>;
// Property records: object ID, data size, data.
[[nodiscard]] TBytes Props(const std::vector<std::pair<std::int32_t, TBytes>>& records);
// P$SymName: property records whose data is a length-prefixed, zero-terminated name.
[[nodiscard]] TBytes SymNames(const TNames& names);
// OBJ_MAP and HotRegions: ID, length, text (zero-terminated).
[[nodiscard]] TBytes NameRecords(const TNames& names);
[[nodiscard]] TBytes Links(const std::vector<TLinkRec>& links);
// Link data chunk: the data size, then link ID and data per record (each data DataSize bytes).
[[nodiscard]] TBytes LinkData(std::uint32_t dataSize,
                              const std::vector<std::pair<std::int32_t, TBytes>>& records);
// 76-byte brush records; terrain brushes (media 0..127) followed by their face blocks.
[[nodiscard]] TBytes Brushes(const std::vector<TBrushRec>& brushes);
// QUEST_DB and QUEST_CMP: u32 length, the name and its zero byte, i32 value.
[[nodiscard]] TBytes QuestVars(const std::vector<std::pair<std::string, std::int32_t>>& vars);
// Relations: 32-byte zero-padded names.
[[nodiscard]] TBytes Relations(const std::vector<std::string>& names);
// A zero-terminated text (GAM_FILE).
[[nodiscard]] TBytes ZText(const std::string& text);
// A "Loot" property value: gold, gems, art, special flags.
[[nodiscard]] TBytes Loot(std::int32_t gold, std::int32_t gems, std::int32_t art,
                          std::uint32_t special);
} // namespace chunks

class TMissionWriter {
public:
    // Adds a chunk; chunks are laid out in the order added and listed in that order in the
    // table of contents. Names longer than 12 characters are cut.
    TMissionWriter& Chunk(const std::string& name, TBytes data);
    // Fills the 24-byte chunk header of the last chunk added (the reader ignores it).
    TMissionWriter& Header(const std::array<std::uint8_t, 24>& header);
    // The whole file: a 4-byte table-of-contents offset and 268 more header bytes, the
    // chunks (header and data), then the table of contents.
    [[nodiscard]] TBytes Bytes() const;

private:
    struct TChunk {
        std::string Name;
        std::array<std::uint8_t, 24> Header{};
        TBytes Data;
    };
    std::vector<TChunk> chunks_;
};

void SaveBytes(const std::filesystem::path& file, const TBytes& bytes);

} // namespace kv::test
