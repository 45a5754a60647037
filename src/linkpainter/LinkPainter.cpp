// The Link Painter's graph and its commands: node and edge data, binding objects to templates
// and the commands of the drawing's and the link list's context menus.
#include "linkpainter/LinkPainter.h"

#include "items/EncodedValues.h"
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/LinkPainterScope.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_set>
#include <utility>

namespace kv {

namespace {

constexpr std::uint32_t kYellow = 0x00FFFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

const char* const kScopeQuestion = "All selected objects or only the one you clicked on?";
const char* const kScopeAnswers = "[Yes=all selected] [No=clicked]";

template <typename T> void Erase(std::vector<T*>& list, const T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// The edges once each, in the order given.
std::vector<TEdge*> Distinct(const std::vector<TEdge*>& edges) {
    std::vector<TEdge*> result;
    std::unordered_set<const TEdge*> seen;
    for (TEdge* edge : edges) {
        if (edge != nullptr && seen.insert(edge).second) result.push_back(edge);
    }
    return result;
}

} // namespace

TLinkPainter::TLinkPainter(TCanvas& canvas, int width, int height, TLinkPainterHooks hooks,
                           TRandomSource random)
    : graph_(std::move(random)), canvas_(canvas), width_(width), height_(height),
      hooks_(std::move(hooks)) {
    // One sequence for the graph and the placements: the graph's copy of the source.
    random_ = [this] { return graph_.Random(); };
    graph_.Directed = true;
    graph_.Iterations = 0;
    graph_.Margin = 0;
    graph_.FixedExtent = true;
    graph_.SetExtent(0, width, 0, height, 1.0);
    graph_.HighlightSelected = false;
    graph_.ShowEdgeLabels = true;
    graph_.CurveParallelEdges = true;
    graph_.RotateEdgeLabels = true;
    Redraw();
}

TLinkPainter::~TLinkPainter() {
    // The window is going: its rows go with it, so the items only release their data.
    hooks_ = {};
    graph_.Clear();
}

void TLinkPainter::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    Redraw();
}

TBrushInfo* TLinkPainter::Info(const TNode* node) {
    return node != nullptr ? static_cast<TBrushInfo*>(node->Data) : nullptr;
}

TLinkData* TLinkPainter::LinkOf(const TEdge* edge) {
    return edge != nullptr ? static_cast<TLinkData*>(edge->EdgeData) : nullptr;
}

bool TLinkPainter::IsConcrete(const TNode* node) {
    const TBrushInfo* info = Info(node);
    return info != nullptr && info->ObjID != 0;
}

bool TLinkPainter::HasConcreteNodes() {
    const std::vector<TNode*> nodes = graph_.GetNodes();
    return std::any_of(nodes.begin(), nodes.end(), [](const TNode* n) { return IsConcrete(n); });
}

void TLinkPainter::Redraw(bool layout) {
    if (layout) graph_.Layout();
    graph_.Draw(canvas_, width_, height_);
    overlay_ = {};
    if (hooks_.Redrawn) hooks_.Redrawn();
}

// ---------------------------------------------------------------------------------------------
// Node and edge data

void TLinkPainter::NodeDestroyed(TNode& node) {
    delete Info(&node);
    node.Data = nullptr;
    if (popupNode_ == &node) popupNode_ = nullptr;
    if (downNode_ == &node) downNode_ = nullptr;
    Erase(dragNodes_, &node);
    Erase(importNodes_, &node);
}

void TLinkPainter::EdgeDestroyed(TEdge& edge, bool hasRow) {
    if (hasRow && hooks_.RowRemoved) hooks_.RowRemoved(edge);
    delete LinkOf(&edge);
    edge.EdgeData = nullptr;
    if (popupEdge_ == &edge) popupEdge_ = nullptr;
    Erase(importEdges_, &edge);
}

TGraphItem::TSetDataEvent TLinkPainter::NodeDataHandler() {
    return [this](TGraphItem& sender, const std::string& text) {
        auto& node = static_cast<TNode&>(sender);
        auto info = std::make_unique<TBrushInfo>(DecodeBrushInfo(text));
        if (!node.OnDestroy)
            node.OnDestroy = [this](TGraphItem& item) { NodeDestroyed(static_cast<TNode&>(item)); };
        if (!node.OnGetData)
            node.OnGetData = [](TGraphItem& item, std::string& data) {
                const TBrushInfo* own = Info(static_cast<TNode*>(&item));
                data = EncodeBrushInfo(own != nullptr ? *own : TBrushInfo{});
            };
        delete Info(&node);
        node.Data = info.release();
    };
}

TGraphItem::TSetDataEvent TLinkPainter::EdgeDataHandler() {
    return [this](TGraphItem& sender, const std::string& text) {
        auto& edge = static_cast<TEdge&>(sender);
        auto data = std::make_unique<TLinkData>(DecodeLinkData(text));
        if (!edge.OnDestroy)
            edge.OnDestroy = [this](TGraphItem& item) {
                EdgeDestroyed(static_cast<TEdge&>(item), false);
            };
        if (!edge.OnGetData)
            edge.OnGetData = [](TGraphItem& item, std::string& out) {
                const TLinkData* own = LinkOf(static_cast<TEdge*>(&item));
                out = EncodeLinkData(own != nullptr ? *own : TLinkData{});
            };
        delete LinkOf(&edge);
        edge.EdgeData = data.release();
    };
}

void TLinkPainter::AttachHandlers(TNode* node) {
    if (node == nullptr) return;
    node->OnDestroy = [this](TGraphItem& item) { NodeDestroyed(static_cast<TNode&>(item)); };
    node->OnGetData = [](TGraphItem& item, std::string& data) {
        const TBrushInfo* info = Info(static_cast<TNode*>(&item));
        data = EncodeBrushInfo(info != nullptr ? *info : TBrushInfo{});
    };
    node->OnSetData = NodeDataHandler();
    node->Color = IsConcrete(node) ? kYellow : kWhite;
}

void TLinkPainter::AttachHandlers(TEdge* edge) {
    if (edge == nullptr) return;
    edge->OnDestroy = [this](TGraphItem& item) { EdgeDestroyed(static_cast<TEdge&>(item), true); };
    edge->OnGetData = [](TGraphItem& item, std::string& data) {
        const TLinkData* link = LinkOf(static_cast<TEdge*>(&item));
        data = EncodeLinkData(link != nullptr ? *link : TLinkData{});
    };
    edge->OnSetData = EdgeDataHandler();
    ShowLinkData(*edge);
    if (hooks_.RowAdded) hooks_.RowAdded(*edge);
}

void TLinkPainter::AttachHandlersToAll() {
    for (TNode* node : graph_.GetNodes()) AttachHandlers(node);
    for (TEdge* edge : graph_.GetEdges()) AttachHandlers(edge);
}

void TLinkPainter::ShowLinkData(TEdge& edge) {
    const TLinkData* link = LinkOf(&edge);
    const int flavor = link != nullptr ? link->Flavor : 0;
    const bool known = flavor < kLinkFlavorCount;
    const bool active = link != nullptr && link->Active != 0;
    const auto& row = LinkFlavors[static_cast<std::size_t>(known ? flavor : 0)];
    edge.Color = active ? row.Color : kInactiveLinkColor;
    edge.Label = known ? row.Name : "";
}

void TLinkPainter::RefreshLinkRows(const TGraphItem* item) {
    if (hooks_.RowsChanged) hooks_.RowsChanged(item);
}

TNode* TLinkPainter::AddObjectNode(const TBrushInfo& info, int px, int py) {
    double x = 0;
    double y = 0;
    graph_.PixelToWorld(px, py, x, y);
    auto copy = std::make_unique<TBrushInfo>(info);
    TNode* node = graph_.AddNode(info.Name, "");
    node->X = x;
    node->Y = y;
    delete Info(node);
    node->Data = copy.release();
    AttachHandlers(node);
    return node;
}

TEdge* TLinkPainter::AddLink(TNode* from, TNode* to, int flavor, bool active) {
    auto data = std::make_unique<TLinkData>();
    data->Flavor = static_cast<std::uint8_t>(flavor);
    data->Active = active ? 1 : 0;
    TEdge* edge = graph_.AddEdge(from, to, 1.0);
    delete LinkOf(edge);
    edge->EdgeData = data.release();
    AttachHandlers(edge);
    return edge;
}

void TLinkPainter::SetLinkActive(TEdge* edge, bool active) {
    TLinkData* link = LinkOf(edge);
    if (link == nullptr || (link->Active != 0) == active) return;
    link->Active = active ? 1 : 0;
    ShowLinkData(*edge);
    RefreshLinkRows(edge);
}

void TLinkPainter::SetNodePosClamped(TNode* node, double x, double y) {
    if (node == nullptr) return;
    // A position that is no number stands at the view's first edge.
    if (std::isnan(x)) x = graph_.ViewExtent.MinX;
    if (std::isnan(y)) y = graph_.ViewExtent.MinY;
    const TPixelPoint p = graph_.WorldToPixel(x, y);
    const int px = std::clamp(p.X, 0, std::max(width_, 0));
    const int py = std::clamp(p.Y, 0, std::max(height_, 0));
    if (px == p.X && py == p.Y && std::isfinite(x) && std::isfinite(y)) {
        node->X = x;
        node->Y = y;
    } else {
        graph_.PixelToWorld(px, py, node->X, node->Y);
    }
}

void TLinkPainter::BindToTemplate(TNode* concrete, TNode* tmpl) {
    if (concrete == nullptr || tmpl == nullptr || concrete == tmpl) return;
    for (TEdge* edge : graph_.GetEdges()) {
        if (edge->FromNode != concrete && edge->ToNode != concrete) continue;
        TNode* from = edge->FromNode == concrete ? tmpl : edge->FromNode;
        TNode* to = edge->ToNode == concrete ? tmpl : edge->ToNode;
        if (from != to) {
            const TLinkData link = LinkOf(edge) != nullptr ? *LinkOf(edge) : TLinkData{};
            AddLink(from, to, link.Flavor, link.Active != 0);
        }
        graph_.DeleteEdge(edge);
    }
    const TBrushInfo object = Info(concrete) != nullptr ? *Info(concrete) : TBrushInfo{};
    if (TBrushInfo* info = Info(tmpl)) {
        *info = object;
    } else {
        tmpl->Data = new TBrushInfo(object);
    }
    tmpl->Caption = concrete->Caption;
    tmpl->Color = kYellow;
    RefreshLinkRows(tmpl);
    graph_.DeleteNode(concrete);
}

void TLinkPainter::MakeTemplate(TNode& node) {
    node.Caption = node.Name;
    node.Color = kWhite;
    TBrushInfo* info = Info(&node);
    if (info == nullptr) {
        info = new TBrushInfo;
        node.Data = info;
    }
    InitBrushInfo(*info);
    info->Name = node.Name;
}

int TLinkPainter::RandomInt(int count) {
    if (count <= 0) return 0;
    const int value = static_cast<int>(std::floor(random_() * count));
    return std::clamp(value, 0, count - 1);
}

// ---------------------------------------------------------------------------------------------
// The context menus

void TLinkPainter::PopupAt(int x, int y) {
    popupPos_ = {x, y};
    popupNode_ = nullptr;
    popupEdge_ = nullptr;
    TGraphItem* item = graph_.FindItemAt(x, y, nullptr, 1);
    if (auto* node = dynamic_cast<TNode*>(item)) popupNode_ = node;
    if (auto* edge = dynamic_cast<TEdge*>(item)) popupEdge_ = edge;
}

TGraphMenuState TLinkPainter::GraphMenuState() const {
    TGraphMenuState state;
    state.NodeCommands = popupNode_ != nullptr;
    state.ConcreteCommands = IsConcrete(popupNode_);
    state.LinkCommands = popupEdge_ != nullptr;
    return state;
}

TLinkActiveState TLinkPainter::LinkActiveState(const std::vector<TEdge*>& edges) {
    TLinkActiveState state;
    state.Enabled = !edges.empty();
    state.Checked = state.Enabled && std::all_of(edges.begin(), edges.end(), [](const TEdge* e) {
                        const TLinkData* link = LinkOf(e);
                        return link != nullptr && link->Active != 0;
                    });
    return state;
}

void TLinkPainter::ChangeFlavor(const std::vector<TEdge*>& edges, int flavor) {
    const std::vector<TEdge*> list = Distinct(edges);
    {
        TListUpdate update(hooks_);
        for (TEdge* edge : list) {
            if (TLinkData* link = LinkOf(edge)) link->Flavor = static_cast<std::uint8_t>(flavor);
            ShowLinkData(*edge);
            RefreshLinkRows(edge);
        }
    }
    if (!list.empty()) Redraw();
}

void TLinkPainter::ReverseLinks(const std::vector<TEdge*>& edges) {
    const std::vector<TEdge*> list = Distinct(edges);
    for (TEdge* edge : list) {
        edge->Reverse();
        RefreshLinkRows(edge);
    }
    if (!list.empty()) Redraw();
}

void TLinkPainter::SetLinksActive(const std::vector<TEdge*>& edges, bool active) {
    for (TEdge* edge : Distinct(edges)) SetLinkActive(edge, active);
    Redraw();
}

void TLinkPainter::RemoveLinks(const std::vector<TEdge*>& edges) {
    for (TEdge* edge : Distinct(edges)) graph_.DeleteEdge(edge);
    Redraw();
}

std::vector<TNode*> TLinkPainter::AskScope(const std::string& caption) {
    std::vector<TNode*> scope = graph_.GetNodes(true);
    if (popupNode_ != nullptr && std::find(scope.begin(), scope.end(), popupNode_) == scope.end())
        scope.push_back(popupNode_);
    if (scope.size() <= 1) return scope;
    const std::string question = caption + "\r\r" + kScopeQuestion + "\r" + kScopeAnswers;
    if (hooks_.Confirm && hooks_.Confirm(question)) return scope;
    if (popupNode_ == nullptr) return {};
    return {popupNode_};
}

void TLinkPainter::RemoveNodes(const std::string& caption) {
    const std::vector<TNode*> scope = AskScope(caption);
    {
        TListUpdate update(hooks_);
        for (TNode* node : scope) graph_.DeleteNode(node);
    }
    Redraw();
}

void TLinkPainter::RemoveConcrete(const std::string& caption, bool keepObject) {
    for (TNode* node : AskScope(caption)) {
        const TBrushInfo kept = Info(node) != nullptr ? *Info(node) : TBrushInfo{};
        MakeTemplate(*node);
        RefreshLinkRows(node);
        if (keepObject) {
            const TPixelPoint p = graph_.WorldToPixel(node->X, node->Y);
            AddObjectNode(kept, std::min(p.X + 10, width_), std::min(p.Y + 10, height_));
        }
    }
    Redraw();
}

void TLinkPainter::RenameTemplate(TNode* node, const std::string& name) {
    if (node == nullptr) return;
    graph_.RenameNode(node, name);
    if (!IsConcrete(node)) {
        node->Caption = name;
        // A template's data carries its name, as a new template's does.
        if (TBrushInfo* info = Info(node)) info->Name = name;
    }
    RefreshLinkRows(node);
    Redraw();
}

void TLinkPainter::SelectUnlinked() {
    for (TNode* node : graph_.GetNodes()) node->Selected = true;
    for (TEdge* edge : graph_.GetEdges()) {
        edge->FromNode->Selected = false;
        edge->ToNode->Selected = false;
    }
    Redraw();
}

void TLinkPainter::InverseSelection() {
    for (TNode* node : graph_.GetNodes()) node->Selected = !node->Selected;
    Redraw();
}

void TLinkPainter::AddTemplate() {
    TBrushInfo info;
    InitBrushInfo(info);
    info.Name = "Unnamed";
    AddObjectNode(info, popupPos_.X, popupPos_.Y);
    Redraw();
}

void TLinkPainter::AddTenTemplates() {
    for (int i = 1; i <= 10; ++i) {
        TBrushInfo info;
        InitBrushInfo(info);
        info.Name = "Unnamed_" + std::to_string(i);
        const int x = 10 + RandomInt(width_ - 10);
        const int y = 10 + RandomInt(height_ - 10);
        AddObjectNode(info, x, y);
    }
    Redraw();
}

void TLinkPainter::New() {
    {
        TListUpdate update(hooks_);
        graph_.Clear();
    }
    Redraw();
}

} // namespace kv
