// The Link Painter and the outside: link template files, the links a mission file already
// holds between the graph's objects, and creating the graph's links in DromEd.
#include "linkpainter/LinkPainter.h"

#include "dromed/DromEdOps.h"
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/LinkPainterScope.h"
#include "mission/MissionDb.h"
#include "text/TextFile.h"

#include <algorithm>

namespace kv {

namespace {

const char* const kBlockStart = "*LPGRAPH";
const char* const kBlockEnd = "~LPGRAPH";

// A line the graph text refuses, numbered within the lines given to LoadTemplateLines.
class ETemplateLineError : public Exception {
public:
    ETemplateLineError(int line, const std::string& reason)
        : Exception("Line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}
    [[nodiscard]] int Line() const noexcept { return line_; }
    [[nodiscard]] const std::string& Reason() const noexcept { return reason_; }

private:
    int line_;
    std::string reason_;
};

// How many lines the graph text reader sees in Line once it ends in CR LF: one more than the
// breaks inside it (CR LF counting once).
int LinesWithin(const std::string& line) {
    int count = 1;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r' || line[i] == '\n') {
            ++count;
            if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
        }
    }
    return count;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Link template files

std::string TLinkPainter::TemplateFileText(bool templatesInstead) {
    const std::string head = std::string(kBlockStart) + "\r\n";
    const std::string tail = std::string(kBlockEnd) + "\r\n";
    // Without objects the graph already is its own template.
    if (!templatesInstead || !HasConcreteNodes()) return head + graph_.SaveToText() + tail;

    const std::string kept = graph_.SaveToText();
    for (TNode* node : graph_.GetNodes()) {
        if (IsConcrete(node)) MakeTemplate(*node);
    }
    const std::string text = head + graph_.SaveToText() + tail;
    {
        TListUpdate update(hooks_);
        graph_.LoadFromText(kept, EdgeDataHandler(), NodeDataHandler());
        AttachHandlersToAll();
    }
    Redraw();
    return text;
}

void TLinkPainter::SaveTemplate(const std::filesystem::path& file, bool templatesInstead) {
    WriteFileAtomically(file, TemplateFileText(templatesInstead));
}

void TLinkPainter::OpenTemplate(const std::filesystem::path& file) {
    const std::vector<std::string> lines = ReadTextFileLines(file);
    try {
        LoadTemplateLines(lines);
    } catch (const ETemplateLineError& e) {
        throw Exception("Cannot read link template \"" + PathToText(file) + "\", line " +
                        std::to_string(e.Line()) + ": " + e.Reason());
    }
}

void TLinkPainter::LoadTemplateLines(const std::vector<std::string>& lines) {
    New();
    std::string collected;
    // The line of Lines (from 1) of every line the graph text reader will see in Collected.
    std::vector<int> origin;
    bool collecting = false;
    TListUpdate update(hooks_);
    try {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line == kBlockStart) {
                collecting = true;
            } else if (line == kBlockEnd) {
                graph_.LoadFromText(collected, EdgeDataHandler(), NodeDataHandler());
                collecting = false;
            } else if (collecting) {
                collected += line;
                collected += "\r\n";
                origin.insert(origin.end(), static_cast<std::size_t>(LinesWithin(line)),
                              static_cast<int>(i + 1));
            }
        }
    } catch (const EGraphTextError& e) {
        // What was read before the error stays, drawn and listed like the rest.
        AttachHandlersToAll();
        Redraw();
        const auto index = static_cast<std::size_t>(e.Line() - 1);
        throw ETemplateLineError(index < origin.size() ? origin[index] : e.Line(), e.Reason());
    } catch (...) {
        AttachHandlersToAll();
        Redraw();
        throw;
    }
    AttachHandlersToAll();
    Redraw();
}

// ---------------------------------------------------------------------------------------------
// Links of a mission file

std::vector<std::int32_t> TLinkPainter::ConcreteObjectIds() {
    std::vector<std::int32_t> ids;
    for (const TNode* node : graph_.GetNodes()) {
        if (IsConcrete(node)) ids.push_back(Info(node)->ObjID);
    }
    return ids;
}

void TLinkPainter::ImportLinkFound(std::int32_t source, std::int32_t dest, int flavor) {
    TNode* start = nullptr;
    TNode* end = nullptr;
    for (TNode* node : importNodes_) {
        const TBrushInfo* info = Info(node);
        if (info == nullptr) continue;
        if (info->ObjID == source) start = node;
        if (info->ObjID == dest) end = node;
        if (start != nullptr && end != nullptr) break;
    }
    if (start != nullptr && end != nullptr) AddLink(start, end, flavor, false);
}

void TLinkPainter::DisableLinkFound(std::int32_t source, std::int32_t dest, int flavor) {
    const std::vector<TEdge*> edges = importEdges_;
    for (TEdge* edge : edges) {
        const TLinkData* link = LinkOf(edge);
        const TBrushInfo* from = Info(edge->FromNode);
        const TBrushInfo* to = Info(edge->ToNode);
        if (link == nullptr || from == nullptr || to == nullptr) continue;
        if (from->ObjID == source && to->ObjID == dest && link->Flavor == flavor &&
            link->Active != 0) {
            SetLinkActive(edge, false);
            ++disabledCount_;
        }
    }
}

void TLinkPainter::ReadMissionLinks(const std::filesystem::path& mission, bool disable) {
    TListUpdate update(hooks_);
    importNodes_ = graph_.GetNodes();
    importEdges_ = graph_.GetEdges();
    disabledCount_ = 0;
    const std::vector<std::int32_t> objects = ConcreteObjectIds();
    if (objects.empty()) return;
    std::vector<int> flavors;
    for (int i = 0; i < kLinkFlavorCount; ++i) {
        if (IsVisibleFlavor(i)) flavors.push_back(i);
    }
    try {
        ReadLinks(
            mission, &objects, &flavors,
            [this, disable](std::int32_t, std::int32_t source, std::int32_t dest, int flavor) {
                if (disable) {
                    DisableLinkFound(source, dest, flavor);
                } else {
                    ImportLinkFound(source, dest, flavor);
                }
            });
    } catch (...) {
        importNodes_.clear();
        importEdges_.clear();
        Redraw();
        throw;
    }
    importNodes_.clear();
    importEdges_.clear();
    Redraw();
}

void TLinkPainter::LoadMissionLinks(const std::filesystem::path& mission) {
    ReadMissionLinks(mission, false);
}

int TLinkPainter::DisableMissionLinks(const std::filesystem::path& mission) {
    ReadMissionLinks(mission, true);
    return disabledCount_;
}

// ---------------------------------------------------------------------------------------------
// Creating links in DromEd

std::vector<TEdge*> TLinkPainter::LinksToCreate() {
    std::vector<TEdge*> links;
    for (TEdge* edge : graph_.GetEdges()) {
        const TLinkData* link = LinkOf(edge);
        // A flavor past the table has no name DromEd could be given.
        if (link == nullptr || link->Flavor == 0 || link->Flavor >= kLinkFlavorCount ||
            link->Active == 0)
            continue;
        if (IsConcrete(edge->FromNode) && IsConcrete(edge->ToNode)) links.push_back(edge);
    }
    return links;
}

int TLinkPainter::CreateLinksInDromEd(TPlatform& platform) {
    int created = 0;
    for (const TEdge* edge : LinksToCreate()) {
        const std::string flavor = LinkFlavors[LinkOf(edge)->Flavor].Name;
        if (!LinkDromEdObjects(platform, Info(edge->FromNode)->ObjID, Info(edge->ToNode)->ObjID,
                               flavor, true)) {
            throw Exception("Failed to add link in DromEd");
        }
        ++created;
    }
    return created;
}

} // namespace kv
