// The graph of the Link Painter: nodes with a name, a world position and layout state, edges
// with a weight, colour and label, both kept in 256-bucket hash lists and owned by the graph;
// its drawing through a canvas, hit testing, force-directed layout and text form.
#pragma once

#include "linkpainter/Canvas.h"
#include "linkpainter/HashList.h"
#include "text/Exception.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class TGraph;

// A uniform random number in [0, 1). Injected so that placement and layout are repeatable.
using TRandomSource = std::function<double()>;

class TGraphItem : public THashable {
public:
    using TEvent = std::function<void(TGraphItem& sender)>;
    using TGetDataEvent = std::function<void(TGraphItem& sender, std::string& text)>;
    using TSetDataEvent = std::function<void(TGraphItem& sender, const std::string& text)>;

    ~TGraphItem() override;

    // The application's data of the item (in the Link Painter a node's favourite); not owned.
    void* Data = nullptr;
    TEvent OnDestroy;       // called first when the item is destroyed
    TGetDataEvent OnGetData; // the application's data as text
    TSetDataEvent OnSetData; // rebuilds the application's data from text

    // "" unless OnGetData says otherwise.
    [[nodiscard]] std::string GetDataString();
    void SetDataString(const std::string& text);

protected:
    TGraphItem() = default;
    // Derived destructors call this first, while the item is still whole.
    void NotifyDestroy();

private:
    bool destroyNotified_ = false;
};

class TNode : public TGraphItem {
public:
    // Placed at (2 r1, 2 r2) with two numbers of Random; caption = name; yellow.
    TNode(std::string name, const TRandomSource& random);
    ~TNode() override;

    [[nodiscard]] int Hash() const override; // byte sum of Name mod 256
    // The same node, or a node whose name equals ignoring case and whose Data is the same.
    [[nodiscard]] bool IsEqual(const THashable& other) const override;

    void SavePosition();
    void RestorePosition();

    double X = 0;
    double Y = 0;
    double ForceX = 0;
    double ForceY = 0;
    double SavedX = 0;
    double SavedY = 0;
    TPixelPoint ScreenPos;
    std::string Name; // the key: change it only through TGraph::RenameNode
    std::string Caption;
    std::int32_t Degree = 0;
    bool Selected = false;
    bool Pinned = false;
    std::uint32_t Color = 0x00FFFF;
};

class TEdge : public TGraphItem {
public:
    // Raises the degree of both ends; destruction lowers them again.
    TEdge(TNode* from, bool directed, double weight, TNode* to);
    ~TEdge() override;

    [[nodiscard]] int Hash() const override; // (from hash + to hash) mod 256
    // Same EdgeData and equal ends, or reversed ends when not directed.
    [[nodiscard]] bool IsEqual(const THashable& other) const override;
    void Reverse();

    TNode* FromNode = nullptr;
    TNode* ToNode = nullptr;
    double Weight = 0;
    std::uint32_t Color = 0xFF6666;
    std::string Label;
    void* EdgeData = nullptr; // the application's (in the Link Painter a TLinkData); not owned
    bool Directed = false;
    std::array<TPixelPoint, 4> HitPolygon{};
    std::int32_t ParallelCount = 0;
    std::int32_t ParallelIndex = 0;
    bool ParallelReversed = false;
    TPixelPoint LabelPos;
    TPixelPoint ControlPoint;
};

// A line of a graph text that cannot be read: the message is "Line N: " and the reason, N
// counting the lines of the text from 1.
class EGraphTextError : public Exception {
public:
    EGraphTextError(int line, const std::string& reason);
    [[nodiscard]] int Line() const noexcept { return line_; }
    [[nodiscard]] const std::string& Reason() const noexcept { return reason_; }

private:
    int line_;
    std::string reason_;
};

struct TGraphExtent {
    double MinX = 0;
    double MaxX = 0;
    double MinY = 0;
    double MaxY = 0;
    double MaxWeight = 0;
    friend bool operator==(const TGraphExtent&, const TGraphExtent&) = default;
};

class TGraph {
public:
    explicit TGraph(TRandomSource random = {});
    ~TGraph();
    TGraph(const TGraph&) = delete;
    TGraph& operator=(const TGraph&) = delete;

    // The model.
    void Clear();
    TNode* AddNode(const std::string& name, const std::string& caption);
    void RenameNode(TNode* node, const std::string& newName);
    TEdge* AddEdge(TNode* from, TNode* to, double weight);
    void DeleteEdge(TEdge* edge);
    void DeleteNode(TNode* node);
    void GetNodes(std::vector<TNode*>& list, bool onlySelected = false);
    [[nodiscard]] std::vector<TNode*> GetNodes(bool onlySelected = false);
    void GetEdges(std::vector<TEdge*>& list);
    [[nodiscard]] std::vector<TEdge*> GetEdges();
    void ForEachNode(const std::function<void(TGraph&, TNode&, void*)>& callback, void* param);
    void SetExtent(double minX, double maxX, double minY, double maxY, double maxWeight);

    // The view: mapping, drawing into a canvas, hit tests.
    [[nodiscard]] TPixelPoint WorldToPixel(double x, double y) const;
    void PixelToWorld(int px, int py, double& x, double& y) const;
    void FitView(int w, int h);
    void Draw(TCanvas& canvas, int w, int h);
    [[nodiscard]] TNode* FindNodeAt(int px, int py, const TNode* excluded, int tolerance);
    [[nodiscard]] TEdge* FindEdgeAt(int px, int py, const TEdge* excluded);
    [[nodiscard]] TGraphItem* FindItemAt(int px, int py, const TGraphItem* excluded,
                                         int tolerance);

    // Runs Iterations iterations of the force-directed layout.
    void Layout();

    // The text form: B, R, N and E records (node and edge data from OnGetData).
    [[nodiscard]] std::string SaveToText();
    // Clears the graph and reads the records; raises EGraphTextError on a malformed line,
    // keeping what was read before it.
    void LoadFromText(const std::string& text, const TGraphItem::TSetDataEvent& edgeDataHandler,
                      const TGraphItem::TSetDataEvent& nodeDataHandler);

    [[nodiscard]] double Random() const { return random_(); }
    THashList Nodes;
    THashList Edges;
    TGraphExtent ViewExtent;
    TGraphExtent LayoutExtent;
    std::int32_t Iterations = 1000;
    bool ShowNodes = true;
    bool ShowNodeLabels = true;
    bool ShowEdges = true;
    bool ShowEdgeLabels = false;
    bool Directed = false;
    bool CurveParallelEdges = false;
    bool RotateEdgeLabels = false;
    bool KeepAspectRatio = true;
    // The size of the picture last drawn (the bitmap of the graph lives in the canvas).
    int BitmapWidth = 0;
    int BitmapHeight = 0;
    bool FixedExtent = false;
    std::int32_t Margin = 50;
    bool HighlightSelected = true;

private:
    TRandomSource random_;
};

} // namespace kv
