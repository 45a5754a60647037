#include "dromed/DromEdOps.h"

#include "dromed/DromEdWindow.h"
#include "dromed/ScreenCapture.h"
#include "items/EncodedValues.h"
#include "text/Exception.h"
#include "text/Win1252.h"

#include <algorithm>

namespace kv {

namespace {

// DromEd's brush number field as a number; 0 when it holds none.
std::int32_t BrushNumberOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::int32_t value = 0;
    return ParseInt32(text, value) ? value : 0;
}

} // namespace

TDromEdAnswer DromEdSelectAnswer(TPlatform& platform, bool object, std::int32_t number) {
    const std::string command =
        std::string(object ? "obj_brush_select " : "brush_select ") + std::to_string(number);
    if (!SendDromEdCommand(platform, command)) return TDromEdAnswer::NotTyped;
    const TDromEdCapture capture = CaptureDromEdClient(platform);
    const std::string status = ReadDromEdField(platform, dfStatusMessage, &capture);
    return status.compare(0, 8, "No brush") != 0 ? TDromEdAnswer::Yes : TDromEdAnswer::No;
}

bool DromEdSelect(TPlatform& platform, bool object, std::int32_t number) {
    return DromEdSelectAnswer(platform, object, number) == TDromEdAnswer::Yes;
}

bool SelectDromEdBrush(TPlatform& platform, std::int32_t brushNum) {
    return DromEdSelect(platform, false, brushNum);
}

bool SelectDromEdObject(TPlatform& platform, std::int32_t objId) {
    return DromEdSelect(platform, true, objId);
}

TDromEdAnswer LinkDromEdObjectsAnswer(TPlatform& platform, std::int32_t source, std::int32_t dest,
                                      const std::string& flavor, bool verify) {
    const std::string command =
        "link_objs " + std::to_string(source) + " " + std::to_string(dest) + " " + flavor;
    if (!SendDromEdCommand(platform, command)) return TDromEdAnswer::NotTyped;
    if (!verify) return TDromEdAnswer::Yes;
    return ReadDromEdField(platform, dfStatusMessage) == "Linked" ? TDromEdAnswer::Yes
                                                                  : TDromEdAnswer::No;
}

bool LinkDromEdObjects(TPlatform& platform, std::int32_t source, std::int32_t dest,
                       const std::string& flavor, bool verify) {
    return LinkDromEdObjectsAnswer(platform, source, dest, flavor, verify) == TDromEdAnswer::Yes;
}

bool CameraToDromEdBrush(TPlatform& platform, bool unroll, bool level) {
    const bool typed = SendDromEdCommand(platform, "cam_to_brush");
    if (typed && unroll) {
        platform.Sleep(50);
        SendDromEdCommand(platform, "cam_unroll");
    }
    if (typed && level) {
        platform.Sleep(50);
        SendDromEdCommand(platform, "cam_level");
    }
    return typed;
}

bool CompressDromEdBrushIds(TPlatform& platform) {
    return SendDromEdCommand(platform, "compress_br_ids");
}

void LoadMissionInDromEd(TPlatform& platform, const std::string& path) {
    std::string converted = path;
    std::replace(converted.begin(), converted.end(), '\\', '/');
    converted = AnsiLowerCase(converted);
    const std::string quoted = "\"" + converted + "\"";
    if (!SendDromEdCommand(platform, "load_file " + quoted)) {
        throw Exception("Failed to load mission " + quoted + " in DromEd");
    }
}

TDromEdSelection ReadDromEdSelection(TPlatform& platform) {
    const TDromEdCapture capture = CaptureDromEdClient(platform);
    TDromEdSelection selection;
    TBrushInfo& info = selection.Info;
    info.Kind = DetectBrushPanel(platform, &capture);
    if (info.Kind == bkNone) throw Exception("Unknown selection type");
    info.BrushNum = BrushNumberOf(ReadDromEdField(platform, dfBrushNumber, &capture));
    if (info.BrushNum == 0) throw Exception("Could not determine brush number");
    switch (info.Kind) {
    case bkTerrain: info.Name = "Terrain"; break;
    case bkLight: info.Name = "Light"; break;
    case bkArea: info.Name = ReadDromEdField(platform, dfAreaName, &capture); break;
    case bkObject:
        info.Name = ReadDromEdField(platform, dfObjectName, &capture);
        info.ObjID = ParseTrailingId(info.Name);
        if (info.ObjID == 0) selection.Warning = "Warning: Could not determine object ID";
        break;
    case bkFlow: info.Name = "Flow"; break;
    case bkRoom:
        info.Name = ReadDromEdField(platform, dfRoomName, &capture);
        info.ObjID = ParseTrailingId(info.Name);
        break;
    default: break;
    }
    return selection;
}

std::int32_t ParseTrailingId(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.back() != ')') return 0;
    text.remove_suffix(1);
    const auto open = text.rfind('(');
    if (open == std::string_view::npos) return 0;
    std::int32_t id = 0;
    return ParseInt32(text.substr(open + 1), id) ? id : 0;
}

} // namespace kv
