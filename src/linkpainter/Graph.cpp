#include "linkpainter/Graph.h"

#include "text/Win1252.h"

#include <random>
#include <utility>

namespace kv {

namespace {

// Uniform numbers in [0, 1) from a generator of its own: 53 random bits scaled down, so 1.0
// itself can never come out.
TRandomSource MakeDefaultRandomSource() {
    auto engine = std::make_shared<std::mt19937_64>();
    return [engine] { return static_cast<double>((*engine)() >> 11) * 0x1.0p-53; };
}

int ByteSum(const std::string& text) {
    unsigned sum = 0;
    for (const char c : text) sum += static_cast<unsigned char>(c);
    return static_cast<int>(sum % 256u);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TGraphItem

TGraphItem::~TGraphItem() { NotifyDestroy(); }

void TGraphItem::NotifyDestroy() {
    if (destroyNotified_) return;
    destroyNotified_ = true;
    if (!OnDestroy) return;
    try {
        OnDestroy(*this);
    } catch (...) {
        // A destructor cannot pass a failure on; the item goes away regardless.
    }
}

std::string TGraphItem::GetDataString() {
    std::string text;
    if (OnGetData) OnGetData(*this, text);
    return text;
}

void TGraphItem::SetDataString(const std::string& text) {
    if (OnSetData) OnSetData(*this, text);
}

// ---------------------------------------------------------------------------------------------
// TNode

TNode::TNode(std::string name, const TRandomSource& random) : Name(std::move(name)) {
    Caption = Name;
    if (random) {
        const double r1 = random();
        const double r2 = random();
        X = r1 * 2.0;
        Y = r2 * 2.0;
    } else {
        static thread_local TRandomSource fallback = MakeDefaultRandomSource();
        const double r1 = fallback();
        const double r2 = fallback();
        X = r1 * 2.0;
        Y = r2 * 2.0;
    }
    SavedX = X;
    SavedY = Y;
}

TNode::~TNode() { NotifyDestroy(); }

int TNode::Hash() const { return ByteSum(Name); }

bool TNode::IsEqual(const THashable& other) const {
    if (&other == this) return true;
    const auto* node = dynamic_cast<const TNode*>(&other);
    return node != nullptr && AnsiSameText(Name, node->Name) && Data == node->Data;
}

void TNode::SavePosition() {
    SavedX = X;
    SavedY = Y;
}

void TNode::RestorePosition() {
    X = SavedX;
    Y = SavedY;
}

// ---------------------------------------------------------------------------------------------
// TEdge

TEdge::TEdge(TNode* from, bool directed, double weight, TNode* to)
    : FromNode(from), ToNode(to), Weight(weight), Directed(directed) {
    if (FromNode != nullptr) ++FromNode->Degree;
    if (ToNode != nullptr) ++ToNode->Degree;
}

TEdge::~TEdge() {
    NotifyDestroy();
    if (FromNode != nullptr) --FromNode->Degree;
    if (ToNode != nullptr) --ToNode->Degree;
}

int TEdge::Hash() const {
    const int from = FromNode != nullptr ? FromNode->Hash() : 0;
    const int to = ToNode != nullptr ? ToNode->Hash() : 0;
    return (from + to) % 256;
}

namespace {

bool SameNode(const TNode* a, const TNode* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->IsEqual(*b);
}

} // namespace

bool TEdge::IsEqual(const THashable& other) const {
    const auto* edge = dynamic_cast<const TEdge*>(&other);
    if (edge == nullptr || EdgeData != edge->EdgeData) return false;
    if (SameNode(FromNode, edge->FromNode) && SameNode(ToNode, edge->ToNode)) return true;
    return SameNode(FromNode, edge->ToNode) && SameNode(ToNode, edge->FromNode) && !Directed;
}

void TEdge::Reverse() { std::swap(FromNode, ToNode); }

// ---------------------------------------------------------------------------------------------
// TGraph: the model

TGraph::TGraph(TRandomSource random)
    : random_(random ? std::move(random) : MakeDefaultRandomSource()) {}

TGraph::~TGraph() { Clear(); }

void TGraph::Clear() {
    for (THashable* item : Edges.ToList()) {
        Edges.Remove(item);
        delete static_cast<TEdge*>(item);
    }
    for (THashable* item : Nodes.ToList()) {
        Nodes.Remove(item);
        delete static_cast<TNode*>(item);
    }
}

TNode* TGraph::AddNode(const std::string& name, const std::string& caption) {
    auto created = std::make_unique<TNode>(name, random_);
    TNode* node = static_cast<TNode*>(Nodes.Find(*created));
    if (node != nullptr) {
        created.reset();
    } else {
        Nodes.Add(created.get());
        node = created.release();
    }
    if (!caption.empty()) node->Caption = caption;
    return node;
}

void TGraph::RenameNode(TNode* node, const std::string& newName) {
    if (node == nullptr) return;
    std::vector<THashable*> moved;
    for (THashable* item : Edges.ToList()) {
        auto* edge = static_cast<TEdge*>(item);
        if (edge->FromNode == node || edge->ToNode == node) moved.push_back(item);
    }
    for (THashable* item : moved) Edges.Remove(item);
    Nodes.Remove(node);
    node->Name = newName;
    Nodes.Add(node);
    for (THashable* item : moved) Edges.Add(item);
}

TEdge* TGraph::AddEdge(TNode* from, TNode* to, double weight) {
    auto created = std::make_unique<TEdge>(from, Directed, weight, to);
    auto* found = static_cast<TEdge*>(Edges.Find(*created));
    if (found != nullptr) {
        created.reset();
        found->Weight += weight;
        return found;
    }
    Edges.Add(created.get());
    return created.release();
}

void TGraph::DeleteEdge(TEdge* edge) {
    if (edge == nullptr) return;
    Edges.Remove(edge);
    delete edge;
}

void TGraph::DeleteNode(TNode* node) {
    if (node == nullptr) return;
    std::vector<TEdge*> doomed;
    for (THashable* item : Edges.ToList()) {
        auto* edge = static_cast<TEdge*>(item);
        if (SameNode(edge->FromNode, node) || SameNode(edge->ToNode, node)) doomed.push_back(edge);
    }
    for (TEdge* edge : doomed) DeleteEdge(edge);
    Nodes.Remove(node);
    delete node;
}

void TGraph::GetNodes(std::vector<TNode*>& list, bool onlySelected) {
    list.clear();
    for (THashable* item : Nodes.ToList()) {
        auto* node = static_cast<TNode*>(item);
        if (!onlySelected || node->Selected) list.push_back(node);
    }
}

std::vector<TNode*> TGraph::GetNodes(bool onlySelected) {
    std::vector<TNode*> list;
    GetNodes(list, onlySelected);
    return list;
}

void TGraph::GetEdges(std::vector<TEdge*>& list) {
    list.clear();
    for (THashable* item : Edges.ToList()) list.push_back(static_cast<TEdge*>(item));
}

std::vector<TEdge*> TGraph::GetEdges() {
    std::vector<TEdge*> list;
    GetEdges(list);
    return list;
}

void TGraph::ForEachNode(const std::function<void(TGraph&, TNode&, void*)>& callback, void* param) {
    if (!callback) return;
    for (TNode* node : GetNodes()) callback(*this, *node, param);
}

void TGraph::SetExtent(double minX, double maxX, double minY, double maxY, double maxWeight) {
    LayoutExtent = TGraphExtent{minX, maxX, minY, maxY, maxWeight};
    ViewExtent = LayoutExtent;
}

} // namespace kv
