// A Link Painter on a recording canvas with hooks that keep the link list rows, the questions
// asked and the list updates, as the window would.
#pragma once

#include "linkpainter/LinkPainter.h"
#include "linkpainter/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kv::test {

inline TBrushInfo Object(const std::string& name, std::int32_t objId, std::int32_t brush = 1) {
    return TBrushInfo{bkObject, brush, objId, name};
}
inline TBrushInfo Template(const std::string& name) { return TBrushInfo{bkNone, 0, 0, name}; }

struct TPainterFixture {
    TRecordingCanvas Canvas;
    std::vector<TEdge*> Rows;
    std::vector<std::string> Questions;
    bool Answer = false;
    int OpenUpdates = 0;
    double NextRandom = 0.5;
    std::unique_ptr<TLinkPainter> P;

    explicit TPainterFixture(int width = 654, int height = 546) {
        TLinkPainterHooks hooks;
        hooks.RowAdded = [this](TEdge& e) { Rows.push_back(&e); };
        hooks.RowRemoved = [this](TEdge& e) {
            EXPECT_EQ(std::count(Rows.begin(), Rows.end(), &e), 1);
            Rows.erase(std::remove(Rows.begin(), Rows.end(), &e), Rows.end());
        };
        hooks.BeginUpdate = [this] { ++OpenUpdates; };
        hooks.EndUpdate = [this] { --OpenUpdates; };
        hooks.Confirm = [this](const std::string& q) {
            Questions.push_back(q);
            return Answer;
        };
        P = std::make_unique<TLinkPainter>(Canvas, width, height, hooks,
                                           [this] { return NextRandom; });
    }

    // Adds and draws, so that the node can be hit at once.
    TNode* Add(const TBrushInfo& info, int x, int y) {
        TNode* node = P->AddObjectNode(info, x, y);
        P->Redraw();
        return node;
    }
    TEdge* Link(TNode* from, TNode* to, int flavor = 24, bool active = true) {
        TEdge* edge = P->AddLink(from, to, flavor, active);
        P->Redraw();
        return edge;
    }
    void Drag(int x0, int y0, int x1, int y1, TShiftState shift = {}) {
        P->MouseDown(x0, y0, shift);
        P->MouseMove(x1, y1, shift);
        P->MouseUp(x1, y1, shift);
    }
    void Click(int x, int y, TShiftState shift = {}) {
        P->MouseDown(x, y, shift);
        P->MouseUp(x, y, shift);
    }
    TNode* Named(const std::string& name) {
        for (TNode* node : P->Graph().GetNodes()) {
            if (node->Name == name) return node;
        }
        return nullptr;
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> list;
        for (const TNode* node : P->Graph().GetNodes()) list.push_back(node->Caption);
        return list;
    }
    // "From>To:Flavor" of every edge, with "-" after an inactive one.
    std::vector<std::string> Links() {
        std::vector<std::string> list;
        for (const TEdge* e : P->Graph().GetEdges()) {
            const TLinkData* d = TLinkPainter::LinkOf(e);
            list.push_back(e->FromNode->Caption + ">" + e->ToNode->Caption + ":" + e->Label +
                           (d->Active != 0 ? "" : "-"));
        }
        return list;
    }
};

} // namespace kv::test
