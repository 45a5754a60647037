// Line breaks inside a node's name or caption (object names from a mission can hold them) are
// written as spaces, so every record of a link template file stays on its own line and the file
// reads back whole.
#include "linkpainter/PainterFixture.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::Object;
using test::Template;
using Strings = std::vector<std::string>;

TEST(TemplateLineBreakTest, NamesAndCaptionsWithLineBreaksReadBackWhole) {
    test::TPainterFixture f;
    TNode* lever = f.Add(Object("Lever\r\nNorth", 345, 12), 0, 0);
    TNode* door = f.Add(Template("Door\n"), 300, 200);
    door->Caption = "Main\rdoor";
    f.Link(lever, door);
    test::ScratchFolder folder;
    f.P->SaveTemplate(folder / "t.klt", false);

    // Head, two extents, two nodes, one edge and tail: seven lines, each ended by CR LF.
    const std::string bytes = test::ReadBytes(folder / "t.klt");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 7) << bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 7) << bytes;

    test::TPainterFixture g;
    g.P->OpenTemplate(folder / "t.klt");
    ASSERT_NE(g.Named("Lever  North"), nullptr);
    EXPECT_EQ(TLinkPainter::Info(g.Named("Lever  North"))->Name, "Lever  North");
    EXPECT_EQ(g.Captions(), (Strings{"Lever  North", "Main door"}));
    EXPECT_EQ(g.Links(), (Strings{"Lever  North>Main door:ControlDevice"}));
}

} // namespace
} // namespace kv
