// The Link Painter's editor without its window: a graph whose nodes carry DromEd objects
// (concrete) or only a name (templates) and whose edges carry a link flavor and an active
// flag; the mouse tools, the commands of both context menus, link template files, reading the
// links of a mission file and creating the graph's links in DromEd. The window turns its
// events into calls here, draws the overlay, shows the link list rows it is told about and
// asks the user the questions it is handed.
#pragma once

#include "items/BrushInfo.h"
#include "linkpainter/Graph.h"
#include "linkpainter/LinkData.h"
#include "platform/Platform.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

enum class TLinkTool { Move, Link, Size };

struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
};

// What the window paints over the picture after a mouse move, until the next redraw: green
// lines while linking, a dashed black rectangle for the rubber band.
struct TLinkPainterOverlay {
    std::vector<std::pair<TPixelPoint, TPixelPoint>> Lines; // solid, 0x008000
    std::optional<std::array<int, 4>> Band;                 // left, top, right, bottom
};

// The enabling of the drawing's context menu when it opens at the last right click.
struct TGraphMenuState {
    bool NodeCommands = false;     // "Rename...", "Remove object or template"
    bool ConcreteCommands = false; // "Remove concrete object but keep template", "Unbind ..."
    bool LinkCommands = false;     // "Change link flavor", "Reverse link direction", "Remove link"
};

struct TLinkActiveState {
    bool Enabled = false;
    bool Checked = false;
};

// The window's answers to the engine: redraws, link list rows, yes/no questions.
struct TLinkPainterHooks {
    // After the graph was drawn into the canvas: show the picture (and no overlay).
    std::function<void()> Redrawn;
    // A row for the edge appears at the end of the link list / goes with the edge.
    std::function<void(TEdge&)> RowAdded;
    std::function<void(TEdge&)> RowRemoved;
    // The rows of this edge, or of the edges ending at this node, changed; nullptr: all rows.
    std::function<void(const TGraphItem*)> RowsChanged;
    // Many row changes follow: the list may stop repainting until EndUpdate.
    std::function<void()> BeginUpdate;
    std::function<void()> EndUpdate;
    // A confirmation box with Yes and No; true for Yes.
    std::function<bool(const std::string& question)> Confirm;
};

class TLinkPainter {
public:
    // Canvas receives every drawing; the graph's world is the paint box of Width x Height at
    // creation. Random: integer placements and the graph's own randomness (tests fix it).
    TLinkPainter(TCanvas& canvas, int width, int height, TLinkPainterHooks hooks,
                 TRandomSource random = {});
    ~TLinkPainter();
    TLinkPainter(const TLinkPainter&) = delete;
    TLinkPainter& operator=(const TLinkPainter&) = delete;

    [[nodiscard]] TGraph& Graph() { return graph_; }
    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    // The paint box's size now (the world keeps the size at creation); redraws.
    void Resize(int width, int height);

    // Node and edge data.
    [[nodiscard]] static TBrushInfo* Info(const TNode* node);
    [[nodiscard]] static TLinkData* LinkOf(const TEdge* edge);
    [[nodiscard]] static bool IsConcrete(const TNode* node); // false for nullptr
    [[nodiscard]] bool HasConcreteNodes();

    // The window operations.
    void Redraw(bool layout = false);
    TNode* AddObjectNode(const TBrushInfo& info, int px, int py);
    TEdge* AddLink(TNode* from, TNode* to, int flavor, bool active);
    void AttachHandlers(TNode* node);
    void AttachHandlers(TEdge* edge);
    void SetLinkActive(TEdge* edge, bool active);
    // Keeps the node inside the paint box (and its position finite).
    void SetNodePosClamped(TNode* node, double x, double y);
    void BindToTemplate(TNode* concrete, TNode* tmpl);

    // The tools. Flavor: the index of the drop-down list's entry, 0 when none is selected.
    TLinkTool Tool = TLinkTool::Move;
    bool InverseLink = false;
    int Flavor = 0;
    void MouseDown(int x, int y, TShiftState shift);
    void MouseMove(int x, int y, TShiftState shift);
    void MouseUp(int x, int y, TShiftState shift);
    [[nodiscard]] const TLinkPainterOverlay& Overlay() const { return overlay_; }
    [[nodiscard]] bool Dragging() const;

    // A drop of favourites at (X, Y): concrete items on a circle, the first bound to a
    // template under the drop point.
    void DropItems(const std::vector<const TBrushInfo*>& items, int x, int y);

    // The context menu of the drawing opens at (X, Y).
    void PopupAt(int x, int y);
    [[nodiscard]] TPixelPoint PopupPos() const { return popupPos_; }
    [[nodiscard]] TNode* PopupNode() const { return popupNode_; }
    [[nodiscard]] TEdge* PopupEdge() const { return popupEdge_; }
    [[nodiscard]] TGraphMenuState GraphMenuState() const;
    [[nodiscard]] static TLinkActiveState LinkActiveState(const std::vector<TEdge*>& edges);

    // Link commands on the edges a menu acts on.
    void ChangeFlavor(const std::vector<TEdge*>& edges, int flavor);
    void ReverseLinks(const std::vector<TEdge*>& edges);
    void SetLinksActive(const std::vector<TEdge*>& edges, bool active);
    void RemoveLinks(const std::vector<TEdge*>& edges);

    // Node commands. The scope is the selected nodes and the popup node; when that is more
    // than one, Confirm is asked Caption + the scope question (Yes: all, No: only the popup
    // node).
    [[nodiscard]] std::vector<TNode*> AskScope(const std::string& caption);
    void RemoveNodes(const std::string& caption);
    // Turns the concrete objects of the scope back into their templates; with KeepObject the
    // object stays as a node of its own beside the template.
    void RemoveConcrete(const std::string& caption, bool keepObject);
    // A template's caption follows its name; a concrete node keeps showing the object's name.
    void RenameTemplate(TNode* node, const std::string& name);
    void SelectUnlinked();
    void InverseSelection();
    void AddTemplate();     // "Unnamed" at the popup position
    void AddTenTemplates(); // "Unnamed_1" to "Unnamed_10" at random places
    void New();

    // Auto-adapt: the graph laid out in a 10 x 10 world while it runs.
    void BeginAutoAdapt();
    void EndAutoAdapt(bool showNodeLabels, bool showEdgeLabels);
    [[nodiscard]] bool AutoAdapting() const { return autoAdapting_; }

    // Link template files. TemplatesInstead: the file gets every concrete node as its
    // template, while the screen keeps showing the objects. Raises Exception on a file error.
    void SaveTemplate(const std::filesystem::path& file, bool templatesInstead);
    // The file text SaveTemplate writes.
    [[nodiscard]] std::string TemplateFileText(bool templatesInstead);
    // Clears the graph and loads every block of the file; a malformed line raises Exception
    // naming the file's line, and what was read before it stays.
    void OpenTemplate(const std::filesystem::path& file);
    void LoadTemplateLines(const std::vector<std::string>& lines);

    // Links of a mission file between the graph's concrete objects: the object IDs, in node
    // order (empty: nothing can be read).
    [[nodiscard]] std::vector<std::int32_t> ConcreteObjectIds();
    // Shows the mission's links as inactive edges.
    void LoadMissionLinks(const std::filesystem::path& mission);
    // Switches off the active edges the mission already has; how many.
    int DisableMissionLinks(const std::filesystem::path& mission);
    // The active links between concrete nodes with a flavor, in edge order.
    [[nodiscard]] std::vector<TEdge*> LinksToCreate();
    // Types one link_objs per link of LinksToCreate into DromEd; raises Exception("Failed to
    // add link in DromEd") at the first it refuses. How many were created.
    int CreateLinksInDromEd(TPlatform& platform);

private:
    // Implementation state; the helpers of the .cpp may add what they need.
    void ReadMissionLinks(const std::filesystem::path& mission, bool disable);
    void ImportLinkFound(std::int32_t source, std::int32_t dest, int flavor);
    void DisableLinkFound(std::int32_t source, std::int32_t dest, int flavor);

    // Rows of the edge, or of the edges ending at the node; nullptr: all rows.
    void RefreshLinkRows(const TGraphItem* item);
    // Colour and label of an edge from its flavor and active flag.
    static void ShowLinkData(TEdge& edge);
    // What a node or edge does when it goes: release its data and forget it; an edge with a
    // row also takes the row away.
    void NodeDestroyed(TNode& node);
    void EdgeDestroyed(TEdge& edge, bool hasRow);
    // The data handlers of the graph text: the data they make is owned by its item at once.
    [[nodiscard]] TGraphItem::TSetDataEvent NodeDataHandler();
    [[nodiscard]] TGraphItem::TSetDataEvent EdgeDataHandler();
    void AttachHandlersToAll();
    // A node's data and its template form: Caption := Name, white, the data reset.
    void MakeTemplate(TNode& node);
    // 0 .. Count - 1 from the random source.
    [[nodiscard]] int RandomInt(int count);
    void PinnedRedraw(TNode* a, TNode* b);
    void MoveTo(int x, int y);
    void SizeTo(int x, int y);

    TGraph graph_;
    TCanvas& canvas_;
    int width_;
    int height_;
    TLinkPainterHooks hooks_;
    TRandomSource random_;

    enum class TDrag { None, Moving, Linking, Sizing, RubberBand };
    TDrag drag_ = TDrag::None;
    TNode* downNode_ = nullptr;
    TPixelPoint downPos_;
    std::vector<TNode*> dragNodes_;
    TPixelPoint popupPos_;
    TNode* popupNode_ = nullptr;
    TEdge* popupEdge_ = nullptr;
    TLinkPainterOverlay overlay_;
    bool autoAdapting_ = false;
    std::vector<TNode*> importNodes_;
    std::vector<TEdge*> importEdges_;
    int disabledCount_ = 0;
};

} // namespace kv
