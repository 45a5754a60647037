// Small scope helpers of the Link Painter's engine: a link list update that is closed on every
// way out, and the temporary pinning of nodes while they are drawn.
#pragma once

#include "linkpainter/Graph.h"
#include "linkpainter/LinkPainter.h"

#include <utility>
#include <vector>

namespace kv {

class TListUpdate {
public:
    explicit TListUpdate(const TLinkPainterHooks& hooks) : hooks_(hooks) {
        if (hooks_.BeginUpdate) hooks_.BeginUpdate();
    }
    ~TListUpdate() {
        if (hooks_.EndUpdate) hooks_.EndUpdate();
    }
    TListUpdate(const TListUpdate&) = delete;
    TListUpdate& operator=(const TListUpdate&) = delete;

private:
    const TLinkPainterHooks& hooks_;
};

// Pins the nodes given (nullptr is skipped) and gives each its own Pinned back when it ends.
class TPinnedWhileDrawn {
public:
    TPinnedWhileDrawn(TNode* a, TNode* b) {
        for (TNode* node : {a, b}) {
            if (node == nullptr) continue;
            saved_.emplace_back(node, node->Pinned);
            node->Pinned = true;
        }
    }
    ~TPinnedWhileDrawn() {
        // In reverse, so a node given twice ends with the state it had before both.
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) it->first->Pinned = it->second;
    }
    TPinnedWhileDrawn(const TPinnedWhileDrawn&) = delete;
    TPinnedWhileDrawn& operator=(const TPinnedWhileDrawn&) = delete;

private:
    std::vector<std::pair<TNode*, bool>> saved_;
};

} // namespace kv
