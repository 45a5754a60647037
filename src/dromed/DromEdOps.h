// What the program asks of DromEd: select a brush or object, link two objects, move the
// camera, renumber the brushes, load a mission; and the object ID at the end of a name.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Types "brush_select N" or "obj_brush_select N"; true when it was typed and DromEd's status
// does not begin with "No brush" afterwards.
bool DromEdSelect(TPlatform& platform, bool object, std::int32_t number);
bool SelectDromEdBrush(TPlatform& platform, std::int32_t brushNum);
bool SelectDromEdObject(TPlatform& platform, std::int32_t objId);

// Types "link_objs SOURCE DEST FLAVOR"; with Verify, true only when DromEd's status then
// reads "Linked".
bool LinkDromEdObjects(TPlatform& platform, std::int32_t source, std::int32_t dest,
                       const std::string& flavor, bool verify);

// Types "cam_to_brush", then "cam_unroll" and "cam_level" as asked, 50 ms apart; whether the
// first was typed.
bool CameraToDromEdBrush(TPlatform& platform, bool unroll, bool level);

bool CompressDromEdBrushIds(TPlatform& platform);

// Types load_file with the path in forward slashes and lower case; raises Exception when the
// command could not be typed.
void LoadMissionInDromEd(TPlatform& platform, const std::string& path);

// The number in the parentheses that end Text ("Guard (231)" gives 231); 0 when there is none.
[[nodiscard]] std::int32_t ParseTrailingId(std::string_view text);

} // namespace kv
