// The key-script sender: any script typed into a simulated DromEd, in front on a simulated
// desktop, with or without waiting for the keys to be taken (the input's length decides).
#include "FuzzSupport.h"

#include "dromed/SendKeys.h"
#include "support/SimDromEdFixture.h"

#include <cstdlib>
#include <string>

using namespace kv;

namespace {

// An upper bound of the key presses a script asks for: every "{KEY N}" presses N times (the low
// 16 bits of N). A script asking for many more takes time and the simulated desktop's event
// log takes memory in proportion (some hundred bytes a key), which is no fault.
long KeyPressesAsked(std::string_view script) {
    long presses = static_cast<long>(script.size());
    for (std::size_t open = script.find('{'); open != std::string_view::npos;
         open = script.find('{', open + 1)) {
        const std::size_t close = script.find('}', open + 1);
        if (close == std::string_view::npos) break;
        const std::string inner(script.substr(open + 1, close - open - 1));
        const std::size_t space = inner.rfind(' ');
        if (space != std::string::npos)
            presses += std::strtol(inner.c_str() + space + 1, nullptr, 10) & 0xFFFF;
    }
    return presses;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script = fuzz::AsText(data, size);
    if (KeyPressesAsked(script) > 20000) return 0;
    sim::TSimDesktop desktop(800, 600);
    sim::TSimDromEdOptions options;
    options.ClientWidth = 640;
    options.ClientHeight = 480;
    options.Left = 0;
    options.Top = 0;
    sim::TSimDromEd dromEd(desktop, options);
    dromEd.SetMission(test::TSimDromEdFixture::DemoMission());
    desktop.SetForegroundWindow(dromEd.MainWindow());
    fuzz::Refusable([&] { (void)SendKeys(desktop, script, (size & 1) != 0); });
    return 0;
}
