// Window specs shared by the tests of the simulated desktop: a plain window and one with frames
// and a caption.
#pragma once

#include "platform/sim/SimDesktop.h"

#include <cstdint>
#include <string>
#include <utility>

namespace kv::test {

inline sim::TSimWindowSpec WindowDesc(std::string className, std::string title, TRect rect,
                                THwnd owner = 0, std::uint32_t thread = 1) {
    sim::TSimWindowSpec desc;
    desc.ClassName = std::move(className);
    desc.Title = std::move(title);
    desc.Rect = rect;
    desc.Owner = owner;
    desc.ThreadId = thread;
    return desc;
}

// A window with frames of 4 pixels and a caption of 20.
inline sim::TSimWindowSpec FramedDesc(TRect rect) {
    sim::TSimWindowSpec desc = WindowDesc("Framed", "framed", rect);
    desc.FrameLeft = 4;
    desc.FrameTop = 20;
    desc.FrameRight = 4;
    desc.FrameBottom = 4;
    return desc;
}

} // namespace kv::test
