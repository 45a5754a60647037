// The simulated DromEd: its main window, command line, commands, dialogs and the drawing of the
// places the program reads.
#include "simdromed/SimDromEd.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>
#include <optional>
#include <utility>

namespace kv::sim {

namespace {

constexpr int kFrameSide = 4;
constexpr int kFrameTop = 23;
// Columns between a field's left edge and its text, where the field leaves room for them.
constexpr int kTextIndent = 2;

constexpr int kDialogLeft = 60;
constexpr int kDialogTop = 40;
constexpr int kDialogWidth = 320;
constexpr int kDialogHeight = 240;

bool IsModifierKey(std::uint8_t vk) {
    return vk == win::VK_SHIFT || vk == win::VK_CONTROL || vk == win::VK_MENU ||
           (vk >= 0xA0 && vk <= 0xA5); // left and right Shift, Ctrl, Alt
}

std::optional<std::int32_t> ParseNumber(std::string_view text) {
    std::int32_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != ' ') ++pos;
        if (pos > start) words.push_back(text.substr(start, pos - start));
    }
    return words;
}

int GlyphWidth(char ch) { return GlyphTable()[static_cast<unsigned char>(ch)].Width; }

// Columns from the first glyph's first column to the last glyph's last one.
// A text too long for an int counts as the largest int.
int TextWidth(std::string_view text) {
    std::int64_t width = 0;
    for (const char ch : text) {
        if (const int w = GlyphWidth(ch); w > 0) width += w + 1;
        if (width > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    }
    return width > 0 ? static_cast<int>(width - 1) : 0;
}

// The longest start of Text whose glyphs stand wholly before ClipRight when drawn from X; a
// glyph cut in half would read as another character or as "?".
std::string_view FittingText(std::string_view text, int x, int clipRight) {
    std::size_t count = 0;
    std::int64_t pen = x; // wider than int: no wrap for a field at the edge of the range
    for (; count < text.size(); ++count) {
        const int w = GlyphWidth(text[count]);
        if (w == 0) continue;
        if (pen + w > clipRight) break;
        pen += w + 1;
    }
    return text.substr(0, count);
}

const char* CaptionOf(TBrushKind kind) {
    switch (kind) {
    case bkTerrain: return "Reset";
    case bkLight: return "Bright";
    case bkArea: return "Show Hot";
    case bkObject: return "Floor Me";
    case bkFlow: return "Group";
    case bkRoom: return "Compile";
    default: return nullptr;
    }
}

TDromEdField CaptionFieldOf(TBrushKind kind) {
    switch (kind) {
    case bkTerrain: return dfCaptionReset;
    case bkLight: return dfCaptionBright;
    case bkArea: return dfCaptionShowHot;
    case bkObject: return dfCaptionFloorMe;
    case bkFlow: return dfCaptionGroup;
    default: return dfCaptionCompile;
    }
}

// The title of the editor dialog that a command opens: "edit_obj N", "edit_links N,0,0",
// "ar_list_sources N" or "ar_list_receptrons N".
std::optional<std::string> EditorTitle(const std::vector<std::string_view>& words) {
    if (words.size() != 2) return std::nullopt;
    std::string_view argument = words[1];
    const char* kind = nullptr;
    if (words[0] == "edit_obj") {
        kind = "Properties";
    } else if (words[0] == "edit_links" && argument.ends_with(",0,0")) {
        kind = "Links";
        argument.remove_suffix(4);
    } else if (words[0] == "ar_list_sources") {
        kind = "Sources";
    } else if (words[0] == "ar_list_receptrons") {
        kind = "Receptrons";
    }
    const std::optional<std::int32_t> objId = ParseNumber(argument);
    if (kind == nullptr || !objId) return std::nullopt;
    return std::string(kind) + " of " + std::to_string(*objId);
}

} // namespace

TSimDromEd::TSimDromEd(TSimDesktop& desktop, TSimDromEdOptions options)
    : desktop_(desktop), options_(std::move(options)) {
    TSimWindowSpec desc;
    desc.ClassName = kDromEdWindowClass;
    desc.Title = options_.Title;
    desc.FrameLeft = kFrameSide;
    desc.FrameRight = kFrameSide;
    desc.FrameBottom = kFrameSide;
    desc.FrameTop = kFrameTop;
    desc.Rect = {options_.Left, options_.Top,
                 options_.Left + kFrameSide + options_.ClientWidth + kFrameSide,
                 options_.Top + kFrameTop + options_.ClientHeight + kFrameSide};
    desc.ThreadId = options_.ThreadId;
    main_ = desktop_.CreateSimWindow(desc);

    TSimWindow* window = desktop_.Window(main_);
    window->OnKey = [this](const TSimKeyInput& key) { OnKey(key); };
    window->PaintPixel = [this](int x, int y) { return ClientPixel(x, y); };
    window->OnMessage = [this](std::uint32_t msg, std::uintptr_t wParam,
                               std::intptr_t) -> std::optional<std::intptr_t> {
        if (msg != win::WM_SYSCOMMAND) return std::nullopt;
        const std::uintptr_t command = wParam & 0xFFF0;
        if (command != win::SC_HOTKEY && command != win::SC_RESTORE) return std::nullopt;
        Restore();
        return 0;
    };
}

TSimDromEd::~TSimDromEd() {
    // Dialogs owned by windows of other programs do not go with the main window.
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
        if (desktop_.IsWindow(*it)) desktop_.DestroySimWindow(*it);
    }
    if (desktop_.IsWindow(main_)) desktop_.DestroySimWindow(main_);
}

void TSimDromEd::SetMission(TSimMission mission) {
    mission_ = std::move(mission);
    if (FindBrush(selected_) == nullptr) selected_ = 0;
    dirty_ = true;
}

const TSimBrush* TSimDromEd::FindBrush(std::int32_t brushId) const {
    if (brushId == 0) return nullptr;
    const auto it = std::find_if(mission_.Brushes.begin(), mission_.Brushes.end(),
                                 [brushId](const TSimBrush& b) { return b.BrushId == brushId; });
    return it == mission_.Brushes.end() ? nullptr : &*it;
}

const TSimBrush* TSimDromEd::Selected() const { return FindBrush(selected_); }

void TSimDromEd::Select(std::int32_t brushId) {
    selected_ = FindBrush(brushId) != nullptr ? brushId : 0;
    dirty_ = true;
}

void TSimDromEd::SetStatusMessage(std::string text) { SetStatus(std::move(text)); }

void TSimDromEd::SetStatus(std::string text) {
    status_ = std::move(text);
    dirty_ = true;
}

bool TSimDromEd::ObjectExists(std::int32_t objId) const {
    if (objId == 0) return false;
    return std::any_of(mission_.Brushes.begin(), mission_.Brushes.end(),
                       [objId](const TSimBrush& b) { return b.ObjId == objId; }) ||
           std::find(mission_.ExtraObjects.begin(), mission_.ExtraObjects.end(), objId) !=
               mission_.ExtraObjects.end();
}

std::vector<THwnd> TSimDromEd::Dialogs() const {
    std::vector<THwnd> open;
    std::copy_if(dialogs_.begin(), dialogs_.end(), std::back_inserter(open),
                 [this](THwnd dialog) { return desktop_.IsWindow(dialog); });
    return open;
}

void TSimDromEd::SetRefuseForeground(bool refuse) {
    if (TSimWindow* window = desktop_.Window(main_)) window->RefuseForeground = refuse;
}

void TSimDromEd::SetTitle(const std::string& title) {
    options_.Title = title;
    if (TSimWindow* window = desktop_.Window(main_)) window->Props.Title = title;
}

void TSimDromEd::Minimise() {
    if (TSimWindow* window = desktop_.Window(main_); window != nullptr && !window->Minimised) {
        desktop_.Minimise(main_);
    }
}

void TSimDromEd::Restore() {
    if (TSimWindow* window = desktop_.Window(main_); window != nullptr && window->Minimised) {
        desktop_.Restore(main_);
    }
}

void TSimDromEd::SetClientSize(int width, int height) {
    options_.ClientWidth = width;
    options_.ClientHeight = height;
    if (TSimWindow* window = desktop_.Window(main_)) {
        TRect& rect = window->Minimised ? window->RestoreRect : window->Props.Rect;
        rect.Right = rect.Left + window->Props.FrameLeft + width + window->Props.FrameRight;
        rect.Bottom = rect.Top + window->Props.FrameTop + height + window->Props.FrameBottom;
    }
    dirty_ = true;
}

THwnd TSimDromEd::OpenDialog(const std::string& title, THwnd owner) {
    TRect base{options_.Left, options_.Top, options_.Left, options_.Top};
    if (const TSimWindow* window = desktop_.Window(main_)) {
        base = window->Minimised ? window->RestoreRect : window->Props.Rect;
    }
    TSimWindowSpec desc;
    desc.ClassName = "#32770"; // the dialog class of Windows
    desc.Title = title;
    desc.Rect = {base.Left + kDialogLeft, base.Top + kDialogTop,
                 base.Left + kDialogLeft + kDialogWidth, base.Top + kDialogTop + kDialogHeight};
    desc.FrameLeft = kFrameSide;
    desc.FrameRight = kFrameSide;
    desc.FrameBottom = kFrameSide;
    desc.FrameTop = kFrameTop;
    desc.Owner = owner != 0 ? owner : main_;
    desc.ThreadId = options_.ThreadId;
    desc.Style = win::WS_POPUP | win::WS_BORDER | win::WS_SYSMENU | win::WS_VISIBLE;
    const THwnd dialog = desktop_.CreateSimWindow(desc);
    if (stubbornDialogs_) {
        desktop_.Window(dialog)->OnMessage = [](std::uint32_t msg, std::uintptr_t,
                                                std::intptr_t) -> std::optional<std::intptr_t> {
            if (msg == win::WM_CLOSE) return 0;
            return std::nullopt;
        };
    }
    dialogs_.push_back(dialog);
    return dialog;
}

void TSimDromEd::OnKey(const TSimKeyInput& key) {
    if (!key.Down || IsModifierKey(key.Vk)) return;
    if (key.Vk == win::VK_ESCAPE) {
        if (commandLineOpen_) {
            commandLineOpen_ = false;
            commandText_.clear();
            dirty_ = true;
        }
        escapePressed_ = true;
        return;
    }
    const bool escaped = std::exchange(escapePressed_, false);
    if (!commandLineOpen_) {
        if (escaped && key.Char == ':') {
            commandLineOpen_ = true;
            commandText_.clear();
            dirty_ = true;
        }
        return;
    }
    if (key.Vk == win::VK_RETURN || key.Char == '\r') {
        commandLineOpen_ = false;
        Execute(std::exchange(commandText_, {}));
    } else if (key.Vk == win::VK_BACK) {
        if (!commandText_.empty()) commandText_.pop_back();
    } else if (static_cast<unsigned char>(key.Char) >= ' ' && key.Char != '\x7F') {
        commandText_ += key.Char;
    }
    dirty_ = true;
}

void TSimDromEd::Execute(const std::string& command) {
    commands_.push_back(command);
    dirty_ = true;
    const std::string_view text = Trim(command);
    const std::vector<std::string_view> words = SplitWords(text);
    const std::string_view name = words.empty() ? std::string_view() : words[0];
    const std::string argument(words.size() > 1 ? Trim(text.substr(name.size())) : "");
    const auto number = [&words](std::size_t index) {
        return index < words.size() ? ParseNumber(words[index]) : std::nullopt;
    };

    if (name == "brush_select") {
        const std::optional<std::int32_t> id = words.size() == 2 ? number(1) : std::nullopt;
        if (!id || FindBrush(*id) == nullptr) {
            SetStatus("No brush with ID " + argument);
        } else {
            selected_ = *id;
            SetStatus("Brush " + std::to_string(*id) + " selected");
        }
    } else if (name == "obj_brush_select") {
        const std::optional<std::int32_t> objId = words.size() == 2 ? number(1) : std::nullopt;
        const auto it = std::find_if(
            mission_.Brushes.begin(), mission_.Brushes.end(), [objId](const TSimBrush& b) {
                return objId && (b.Kind == bkObject || b.Kind == bkRoom) && b.ObjId == *objId;
            });
        if (it == mission_.Brushes.end()) {
            SetStatus("No brush for object " + argument);
        } else {
            selected_ = it->BrushId;
            SetStatus("Brush " + std::to_string(it->BrushId) + " selected");
        }
    } else if (name == "link_objs") {
        const std::optional<std::int32_t> source = number(1);
        const std::optional<std::int32_t> dest = number(2);
        if (words.size() == 4 && source && dest && ObjectExists(*source) && ObjectExists(*dest)) {
            mission_.Links.push_back({*source, *dest, std::string(words[3])});
            SetStatus("Linked");
        } else {
            SetStatus("Link failed");
        }
    } else if (text == "cam_to_brush") {
        if (selected_ == 0) {
            SetStatus("No brush selected");
        } else {
            cameraBrush_ = selected_;
            cameraUnrolled_ = false;
            cameraLevelled_ = false;
        }
    } else if (text == "cam_unroll") {
        cameraUnrolled_ = true;
    } else if (text == "cam_level") {
        cameraLevelled_ = true;
    } else if (text == "compress_br_ids") {
        CompressBrushIds();
        SetStatus("Brush IDs compressed");
    } else if (name == "load_file" && !argument.empty()) {
        LoadFile(argument);
    } else if (const std::optional<std::string> title = EditorTitle(words)) {
        OpenDialog(*title);
    } else {
        SetStatus("Unknown command: " + std::string(text));
    }
}

void TSimDromEd::CompressBrushIds() {
    std::vector<std::size_t> order(mission_.Brushes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return mission_.Brushes[a].BrushId < mission_.Brushes[b].BrushId;
    });
    std::int32_t newSelected = 0;
    std::int32_t newCamera = 0;
    std::int32_t next = 1;
    for (const std::size_t index : order) {
        TSimBrush& brush = mission_.Brushes[index];
        if (brush.BrushId == selected_ && newSelected == 0) newSelected = next;
        if (brush.BrushId == cameraBrush_ && newCamera == 0) newCamera = next;
        brush.BrushId = next++;
    }
    selected_ = newSelected;
    cameraBrush_ = newCamera;
}

void TSimDromEd::LoadFile(std::string_view argument) {
    std::string_view path = argument;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    TSimMission loaded;
    loaded.FileName = std::string(path);
    if (MissionLoader && !MissionLoader(loaded.FileName, loaded)) {
        SetStatus("Could not load " + std::string(path));
        return;
    }
    mission_ = std::move(loaded);
    selected_ = 0;
    cameraBrush_ = 0;
    cameraUnrolled_ = false;
    cameraLevelled_ = false;
    SetStatus("Loaded");
}

TPoint TSimDromEd::ClientSize() const {
    const TSimWindow* window = desktop_.Window(main_);
    if (window == nullptr) return {options_.ClientWidth, options_.ClientHeight};
    const TRect& rect = window->Minimised ? window->RestoreRect : window->Props.Rect;
    return {std::max(0, rect.Width() - window->Props.FrameLeft - window->Props.FrameRight),
            std::max(0, rect.Height() - window->Props.FrameTop - window->Props.FrameBottom)};
}

void TSimDromEd::UpdateFrame() {
    const TPoint size = ClientSize();
    if (dirty_ || frame_.Width != size.X || frame_.Height != size.Y) Redraw();
}

std::uint32_t TSimDromEd::ClientPixel(int x, int y) {
    UpdateFrame();
    if (x < 0 || y < 0 || x >= frame_.Width || y >= frame_.Height) return kPanelColour;
    return frame_.At(x, y);
}

const TPixelImage& TSimDromEd::ClientImage() {
    UpdateFrame();
    return frame_;
}

void TSimDromEd::DrawField(TDromEdField field, const std::string& text, std::uint32_t ink) {
    const TRect rect = PlaceDromEdField(field, frame_.Width, frame_.Height);
    // The field's last column stays blank: the reader needs a blank column after the last
    // glyph inside the field.
    const int clipRight = rect.Right - 1;
    // Captions fill their fields to the last column but one, so they start at the left edge.
    const int indent = std::clamp(clipRight - rect.Left - TextWidth(text), 0, kTextIndent);
    const int x = rect.Left + indent;
    DrawGlyphText(frame_, x, rect.Top, FittingText(text, x, clipRight), ink, clipRight);
}

void TSimDromEd::Redraw() {
    const TPoint size = ClientSize();
    frame_ = TPixelImage(size.X, size.Y, kPanelColour);
    dirty_ = false;
    if (size.X == 0 || size.Y == 0) return;

    const int statusTop = std::max(0, PlaceDromEdField(dfStatusFile, size.X, size.Y).Top - 2);
    for (int y = statusTop; y < size.Y; ++y) {
        for (int x = 0; x < size.X; ++x) frame_.Set(x, y, kStatusColour);
    }
    DrawField(dfStatusFile, mission_.FileName, kDarkInk);
    DrawField(dfStatusMessage, status_, kDarkInk);

    const TSimBrush* brush = Selected();
    if (brush == nullptr) return;
    if (const char* caption = CaptionOf(brush->Kind)) {
        DrawField(CaptionFieldOf(brush->Kind), caption, kLightInk);
    }
    const std::string nameWithId = brush->Name + " (" + std::to_string(brush->ObjId) + ")";
    switch (brush->Kind) {
    case bkArea: DrawField(dfAreaName, brush->Name, kLightInk); break;
    case bkObject: DrawField(dfObjectName, nameWithId, kLightInk); break;
    case bkRoom: DrawField(dfRoomName, nameWithId, kLightInk); break;
    default: break;
    }
    DrawField(dfBrushNumber, std::to_string(brush->BrushId), kLightInk);
}

} // namespace kv::sim
