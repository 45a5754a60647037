// The text form of a graph: one line per record, the record type in the first character and
// the fields after it, each ending in its own way (see the reader below).
#include "linkpainter/Graph.h"

#include "items/EncodedValues.h"
#include "text/Exception.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

namespace kv {

namespace {

// General format with at most 15 significant digits; std::to_chars never looks at the locale,
// so the decimal point is always ".". The reader refuses "inf" and "nan", so a value that is no
// finite number is written as the nearest one it accepts (0 for no number at all), and the
// file can always be read again.
void PutFloat(std::string& line, double value) {
    if (std::isnan(value)) value = 0;
    if (std::isinf(value)) value = value > 0 ? 1e308 : -1e308;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    line.append(buffer, result.ptr);
    line += ':';
}

void PutInteger(std::string& line, std::int32_t value) {
    line += std::to_string(value);
    line += ':';
}

void PutColor(std::string& line, std::uint32_t color) {
    PutInteger(line, static_cast<std::int32_t>(color));
}

void PutBoolean(std::string& line, bool value) { line += value ? "T:" : "F:"; }

// The graph text is read line by line: a line break in a name, caption or label (object and
// flavor names come from mission files) is written as a space, so the record stays one line.
void PutText(std::string& line, const std::string& text) {
    const std::string flat = OnOneLine(text);
    line += std::to_string(flat.size());
    line += ':';
    line += flat;
}

void PutExtent(std::string& text, char type, const TGraphExtent& extent) {
    std::string line(1, type);
    PutFloat(line, extent.MinX);
    PutFloat(line, extent.MaxX);
    PutFloat(line, extent.MinY);
    PutFloat(line, extent.MaxY);
    PutFloat(line, extent.MaxWeight);
    text += line;
    text += "\r\n";
}

// Reads the fields of one line from the front; every failure is a conversion error.
class TFieldReader {
public:
    explicit TFieldReader(std::string_view fields) : rest_(fields) {}

    double Float() {
        const std::string_view field = Field();
        double value = 0;
        const char* first = field.data();
        const char* last = field.data() + field.size();
        const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (field.empty() || ec != std::errc() || end != last || !std::isfinite(value)) {
            throw Exception("'" + std::string(field) + "' is not a valid floating point value");
        }
        return value;
    }

    std::int32_t Integer() {
        const std::string field(Field());
        std::int32_t value = 0;
        if (!ParseInt32(field, value)) {
            throw Exception("'" + field + "' is not a valid integer value");
        }
        return value;
    }

    std::uint32_t Color() { return static_cast<std::uint32_t>(Integer()); }

    bool Boolean() {
        const std::string_view field = Field();
        if (field == "T") return true;
        if (field == "F") return false;
        throw Exception("'" + std::string(field) + "' is not a valid boolean value");
    }

    // A length, ":", then that many characters (or what is left of the line).
    std::string Text() {
        const std::int32_t length = Integer();
        const std::size_t count = length > 0 ? static_cast<std::size_t>(length) : 0;
        const std::string_view text = rest_.substr(0, count);
        rest_.remove_prefix(text.size());
        return std::string(text);
    }

    // Steps over a ":" standing next, if there is one.
    void SkipColon() {
        if (!rest_.empty() && rest_.front() == ':') rest_.remove_prefix(1);
    }

private:
    // The characters before the next ":", which is consumed; with no ":" left the rest of the
    // line is the field, and it is rejected whatever it holds.
    std::string_view Field() {
        const std::size_t colon = rest_.find(':');
        if (colon == std::string_view::npos) {
            const std::string_view all = rest_;
            rest_ = {};
            throw Exception("'" + std::string(all) + "' is not a valid field: ':' expected");
        }
        const std::string_view field = rest_.substr(0, colon);
        rest_.remove_prefix(colon + 1);
        return field;
    }

    std::string_view rest_;
};

TGraphExtent ReadExtent(TFieldReader& reader) {
    TGraphExtent extent;
    extent.MinX = reader.Float();
    extent.MaxX = reader.Float();
    extent.MinY = reader.Float();
    extent.MaxY = reader.Float();
    extent.MaxWeight = reader.Float();
    return extent;
}

// The lines of Text; a line ends at CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

TNode* NodeAt(const std::vector<TNode*>& nodesRead, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= nodesRead.size()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    return nodesRead[static_cast<std::size_t>(index)];
}

// One record of the graph text. All fields of a line are read before the graph changes, so a
// malformed line adds nothing; the records before it stay.
void ReadRecord(TGraph& graph, std::string_view line, std::vector<TNode*>& nodesRead,
                const TGraphItem::TSetDataEvent& edgeDataHandler,
                const TGraphItem::TSetDataEvent& nodeDataHandler) {
    TFieldReader reader(line.substr(1));
    switch (line.front()) {
    case 'B':
    case 'R': {
        if (graph.FixedExtent) break;
        const TGraphExtent extent = ReadExtent(reader);
        (line.front() == 'B' ? graph.ViewExtent : graph.LayoutExtent) = extent;
        break;
    }
    case 'N': {
        const std::string name = reader.Text();
        const std::string caption = reader.Text();
        const double x = reader.Float();
        const double y = reader.Float();
        const bool selected = reader.Boolean();
        const bool pinned = reader.Boolean();
        const std::uint32_t color = reader.Color();
        const std::string data = reader.Text();

        TNode* node = graph.AddNode(name, "");
        node->OnSetData = nodeDataHandler;
        node->Caption = caption;
        node->X = x;
        node->Y = y;
        node->Selected = selected;
        node->Pinned = pinned;
        node->Color = color;
        nodesRead.push_back(node);
        node->SetDataString(data);
        break;
    }
    case 'E': {
        TNode* from = NodeAt(nodesRead, reader.Integer());
        TNode* to = NodeAt(nodesRead, reader.Integer());
        const double weight = reader.Float();
        const std::uint32_t color = reader.Color();
        const std::string label = reader.Text();
        reader.SkipColon();
        const bool directed = reader.Boolean();
        const std::string data = reader.Text();

        TEdge* edge = graph.AddEdge(from, to, weight);
        edge->OnSetData = edgeDataHandler;
        edge->Color = color;
        edge->Label = label;
        edge->Directed = directed;
        edge->SetDataString(data);
        break;
    }
    default: break; // not a record of the graph
    }
}

} // namespace

EGraphTextError::EGraphTextError(int line, const std::string& reason)
    : Exception("Line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

std::string TGraph::SaveToText() {
    std::string text;
    PutExtent(text, 'B', ViewExtent);
    PutExtent(text, 'R', LayoutExtent);

    const std::vector<TNode*> nodes = GetNodes();
    for (TNode* node : nodes) {
        std::string line = "N";
        PutText(line, node->Name);
        PutText(line, node->Caption);
        PutFloat(line, node->X);
        PutFloat(line, node->Y);
        PutBoolean(line, node->Selected);
        PutBoolean(line, node->Pinned);
        PutColor(line, node->Color);
        PutText(line, node->GetDataString());
        text += line;
        text += "\r\n";
    }

    // Edges name their ends by the position of the node in the list above.
    const auto indexOf = [&nodes](const TNode* node) -> std::int32_t {
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i] == node) return static_cast<std::int32_t>(i);
        }
        return -1;
    };
    for (TEdge* edge : GetEdges()) {
        std::string line = "E";
        PutInteger(line, indexOf(edge->FromNode));
        PutInteger(line, indexOf(edge->ToNode));
        PutFloat(line, edge->Weight);
        PutColor(line, edge->Color);
        PutText(line, edge->Label);
        line += ':'; // an edge's label, unlike every other text, is followed by a colon
        PutBoolean(line, edge->Directed);
        PutText(line, edge->GetDataString());
        text += line;
        text += "\r\n";
    }
    return text;
}

void TGraph::LoadFromText(const std::string& text, const TGraphItem::TSetDataEvent& edgeDataHandler,
                          const TGraphItem::TSetDataEvent& nodeDataHandler) {
    Clear();
    std::vector<TNode*> nodesRead;
    int lineNumber = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++lineNumber;
        if (line.empty()) continue;
        try {
            ReadRecord(*this, line, nodesRead, edgeDataHandler, nodeDataHandler);
        } catch (const Exception& e) {
            throw EGraphTextError(lineNumber, e.what());
        }
    }
}

} // namespace kv
