// The link template file: any text opened as a template in a Link Painter drawing onto a canvas
// that only measures; a template that was read is written, read and written again to the same
// text, with and without turning its objects into templates.
#include "FuzzSupport.h"
#include "NullCanvas.h"

#include "linkpainter/LinkPainter.h"
#include "text/TextFile.h"

#include <cstdlib>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzz::ScratchFolder() / "fuzz.lpt";
    fuzz::WriteBytes(file, data, size);
    fuzz::TNullCanvas canvas;
    TLinkPainterHooks hooks;
    hooks.Confirm = [](const std::string&) { return true; };
    TLinkPainter painter(canvas, 654, 546, hooks, [] { return 0.25; });
    try {
        painter.OpenTemplate(file);
    } catch (const Exception&) {
        return 0;
    }
    for (const bool templatesInstead : {false, true}) {
        const std::string first = painter.TemplateFileText(templatesInstead);
        TLinkPainter reread(canvas, 654, 546, hooks, [] { return 0.25; });
        try {
            reread.LoadTemplateLines(SplitTextLines(first));
        } catch (const Exception&) {
            std::abort(); // the program's own template must read back
        }
        if (reread.TemplateFileText(templatesInstead) != first) std::abort();
    }
    return 0;
}
