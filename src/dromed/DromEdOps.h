// What the program asks of DromEd: select a brush or object, link two objects, move the
// camera, renumber the brushes, load a mission, read its current selection; and the object ID
// at the end of a name.
#pragma once

#include "items/BrushInfo.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// What became of a command whose outcome DromEd shows on its status bar: not typed (a dialog
// would not close or DromEd would not come to the front), refused, or done.
enum class TDromEdAnswer { NotTyped, No, Yes };

// Types "brush_select N" or "obj_brush_select N"; No when DromEd's status begins with
// "No brush" afterwards.
[[nodiscard]] TDromEdAnswer DromEdSelectAnswer(TPlatform& platform, bool object,
                                               std::int32_t number);
// True when the answer is Yes.
bool DromEdSelect(TPlatform& platform, bool object, std::int32_t number);
bool SelectDromEdBrush(TPlatform& platform, std::int32_t brushNum);
bool SelectDromEdObject(TPlatform& platform, std::int32_t objId);

// Types "link_objs SOURCE DEST FLAVOR"; with Verify, Yes only when DromEd's status then reads
// "Linked". The bool form is true when the answer is Yes.
[[nodiscard]] TDromEdAnswer LinkDromEdObjectsAnswer(TPlatform& platform, std::int32_t source,
                                                    std::int32_t dest, const std::string& flavor,
                                                    bool verify);
bool LinkDromEdObjects(TPlatform& platform, std::int32_t source, std::int32_t dest,
                       const std::string& flavor, bool verify);

// Types "cam_to_brush", then "cam_unroll" and "cam_level" as asked, 50 ms apart; whether the
// first was typed.
bool CameraToDromEdBrush(TPlatform& platform, bool unroll, bool level);

bool CompressDromEdBrushIds(TPlatform& platform);

// Types load_file with the path in forward slashes and lower case; raises Exception when the
// command could not be typed.
void LoadMissionInDromEd(TPlatform& platform, const std::string& path);

// DromEd's current selection as the favourites take it in: the kind from the panel captions,
// the brush number, and by kind a fixed name or the name line, with the object ID that ends the
// name of an object or room.
struct TDromEdSelection {
    TBrushInfo Info;
    std::string Warning; // set when an object's name ends in no object ID; its ObjID is 0
};

// Reads the selection from one capture of DromEd's window, released in every case. Raises
// Exception with "Unknown selection type" or "Could not determine brush number", and passes
// the failures of the capture on.
[[nodiscard]] TDromEdSelection ReadDromEdSelection(TPlatform& platform);

// The number in the parentheses that end Text ("Guard (231)" gives 231); 0 when there is none.
[[nodiscard]] std::int32_t ParseTrailingId(std::string_view text);

} // namespace kv
