#include "dromed/DromEdOps.h"

#include "dromed/DromEdWindow.h"
#include "dromed/ScreenCapture.h"
#include "items/EncodedValues.h"
#include "text/Exception.h"
#include "text/Win1252.h"

#include <algorithm>

namespace kv {

bool DromEdSelect(TPlatform& platform, bool object, std::int32_t number) {
    const std::string command =
        std::string(object ? "obj_brush_select " : "brush_select ") + std::to_string(number);
    if (!SendDromEdCommand(platform, command)) return false;
    const TDromEdCapture capture = CaptureDromEdClient(platform);
    const std::string status = ReadDromEdField(platform, dfStatusMessage, &capture);
    return status.compare(0, 8, "No brush") != 0;
}

bool SelectDromEdBrush(TPlatform& platform, std::int32_t brushNum) {
    return DromEdSelect(platform, false, brushNum);
}

bool SelectDromEdObject(TPlatform& platform, std::int32_t objId) {
    return DromEdSelect(platform, true, objId);
}

bool LinkDromEdObjects(TPlatform& platform, std::int32_t source, std::int32_t dest,
                       const std::string& flavor, bool verify) {
    const std::string command =
        "link_objs " + std::to_string(source) + " " + std::to_string(dest) + " " + flavor;
    if (!SendDromEdCommand(platform, command)) return false;
    if (!verify) return true;
    return ReadDromEdField(platform, dfStatusMessage) == "Linked";
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
