// Window specs shared by the tests of the simulated desktop: a plain window and one with frames
// and a caption.
#pragma once

#include "platform/sim/SimDesktop.h"

#include <cstdint>
#include <string>
#include <utility>

namespace kv::test {

inline sim::TSimWindowSpec Spec(std::string className, std::string title, TRect rect,
                                THwnd owner = 0, std::uint32_t thread = 1) {
    sim::TSimWindowSpec spec;
    spec.ClassName = std::move(className);
    spec.Title = std::move(title);
    spec.Rect = rect;
    spec.Owner = owner;
    spec.ThreadId = thread;
    return spec;
}

// A window with frames of 4 pixels and a caption of 20.
inline sim::TSimWindowSpec FramedSpec(TRect rect) {
    sim::TSimWindowSpec spec = Spec("Framed", "framed", rect);
    spec.FrameLeft = 4;
    spec.FrameTop = 20;
    spec.FrameRight = 4;
    spec.FrameBottom = 4;
    return spec;
}

} // namespace kv::test
