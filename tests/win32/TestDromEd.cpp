// A stand-in for DromEd for the end-to-end tests: a plain Win32 program that shows what Korvane
// relies on seeing of DromEd (its window class and title, its command line, owned dialogs and the
// texts of its status bar and brush panel at fixed places) over a small fixed mission.
//
// It shares nothing with Korvane: the interface font comes from glyphs.txt (a picture of the
// shapes, read from beside the program) and the field places from its own table below, so a
// wrong glyph or place in Korvane's reading shows up as a failed test.
//
//   TestDromEd.exe --size WxH --log FILE
//
// Every executed command line is appended to the log file as one line; dialogs that open and
// close add lines starting with "# ". The first line is "# ready" once the window is shown.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The interface font. The picture holds blocks: "chars XX XX ..." (Windows-1252 codes), then
// one line per pixel row with each character's row ('#' ink, '.' background) in that order.
constexpr size_t kRows = 11;

struct TShape { int Width = 0; std::vector<std::string> Rows; };

TShape Font[256];

bool LoadFont(const std::string& path)
{
    std::ifstream in(path);
    std::string line, word;
    while (std::getline(in, line)) {
        std::istringstream header(line);
        if (!(header >> word) || word != "chars") continue; // a comment
        std::vector<int> block;
        while (header >> word) block.push_back(std::stoi(word, nullptr, 16) & 0xFF);
        for (size_t row = 0; row < kRows && std::getline(in, line); ++row) {
            std::istringstream words(line);
            for (int code : block) {
                if (!(words >> word)) return false;
                Font[code].Rows.push_back(word);
                Font[code].Width = static_cast<int>(word.size());
            }
        }
    }
    for (const TShape& g : Font)
        for (const std::string& row : g.Rows)
            if (g.Rows.size() != kRows || row.size() != static_cast<size_t>(g.Width)) return false;
    return Font['A'].Width > 0 && Font[' '].Width == 2;
}

// Where DromEd shows its texts in a client at least 1024 wide: x, y, width. Below 1024 every y
// moves with the height (CH - 769), and one row further up at a width of exactly 800 and in the
// status bar, whose two fields also correct x and width (dx, dw; at exactly 800 dx8, dw8).
enum TPlace { plRoom, plObject, plArea, plFile, plMessage, plShowHot, plReset, plBright,
              plFloorMe, plGroup, plCompile, plBrushNo, plCount };

struct TPlaceRow { int X, Y, W, Dx = 0, Dw = 0, Dx8 = 0, Dw8 = 0; };

constexpr TPlaceRow kPlaces[plCount] = {
    {262, 646, 143},                       // room name line
    {262, 691, 143},                       // object name line
    {262, 707, 143},                       // area name line
    {11, 755, 194, -4, -72, -2, -42},      // status bar: mission file
    {410, 755, 399, -141, -162, -73, -104}, // status bar: last message
    {308, 646, 50},                        // area panel: "Show Hot"
    {277, 691, 31},                        // terrain panel: "Reset"
    {264, 676, 36},                        // light panel: "Bright"
    {346, 707, 47},                        // object panel: "Floor Me"
    {264, 692, 33},                        // flow panel: "Group"
    {347, 738, 46},                        // room panel: "Compile"
    {2, 737, 50},                          // brush number
};

struct TRect { int X, Y, W; };

TRect PlaceAt(TPlace place, int cw, int ch)
{
    const TPlaceRow& p = kPlaces[place];
    if (cw >= 1024) return {p.X, p.Y, p.W};
    const bool at800 = cw == 800, bar = p.Dx != 0;
    return {p.X + (at800 ? p.Dx8 : p.Dx), p.Y + ch - 769 - (at800 || bar ? 1 : 0),
            p.W + (at800 ? p.Dw8 : p.Dw)};
}

// The mission.
enum TKind { kTerrain, kLight, kArea, kObject, kFlow, kRoom };

// Areas, objects and rooms have a name; objects and rooms an object id (else 0).
struct TBrush { int Number; TKind Kind; std::string Name; int ObjId; };

struct TState {
    std::vector<TBrush> Brushes;
    int Selected = 0; // index into Brushes
    std::string File = "test.mis";
    std::string Message = "Ready";
    bool CommandOpen = false; // after a ':', until Enter or Escape
    std::string Command;      // what was typed since
    std::string LogPath;
    int Cw = 1024, Ch = 768;
    HWND Main = nullptr;
};

TState S;

void ResetMission()
{
    S.Brushes = {
        {1, kTerrain, "", 0},        {3, kLight, "", 0},        {4, kArea, "Upper Hall", 0},
        {7, kObject, "Guard", 5},    {9, kFlow, "", 0},         {12, kRoom, "Kitchen", 20},
        {15, kObject, "Lever", 31},
    };
    S.Selected = 3;
}

void Log(const std::string& line)
{
    std::ofstream(S.LogPath, std::ios::app | std::ios::binary) << line << '\n';
}

// Drawing: one 32-bit bitmap of the client area, drawn anew on every change.
constexpr COLORREF kViewColour = RGB(70, 80, 100);
constexpr COLORREF kPanelColour = RGB(24, 24, 32); // dark: every channel at most 50
constexpr COLORREF kPanelText = RGB(210, 200, 160);
constexpr COLORREF kBarColour = RGB(192, 192, 192);
constexpr COLORREF kBarText = RGB(0, 0, 0);

std::vector<DWORD> Pixels;

void Fill(int x, int y, int w, int h, COLORREF c)
{
    const DWORD bgr = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    for (int row = std::max(0, y); row < std::min(S.Ch, y + h); ++row)
        for (int col = std::max(0, x); col < std::min(S.Cw, x + w); ++col)
            Pixels[static_cast<size_t>(row) * S.Cw + col] = bgr;
}

// Draws text from the field's left edge, one blank column between characters, cut at its right.
void DrawField(TPlace place, const std::string& text, COLORREF colour)
{
    const TRect r = PlaceAt(place, S.Cw, S.Ch);
    int x = r.X;
    for (unsigned char c : text) {
        const TShape& g = Font[c];
        for (int col = 0; col < g.Width && x + col < r.X + r.W; ++col)
            for (size_t row = 0; row < kRows; ++row)
                if (g.Rows[row][col] == '#')
                    Fill(x + col, r.Y + static_cast<int>(row), 1, 1, colour);
        x += (g.Width > 0 ? g.Width : 3) + 1;
    }
}

void Redraw()
{
    Fill(0, 0, S.Cw, S.Ch, kViewColour);
    // The brush panel below the views and the status bar along the bottom, as laid out at 1024.
    const TRect room = PlaceAt(plRoom, S.Cw, S.Ch), file = PlaceAt(plFile, S.Cw, S.Ch);
    Fill(0, room.Y - 6, room.X + 150, file.Y - 4 - (room.Y - 6), kPanelColour);
    Fill(0, file.Y - 4, S.Cw, 19, kBarColour);
    DrawField(plFile, S.File, kBarText);
    DrawField(plMessage, S.Message, kBarText);
    const TBrush& b = S.Brushes[S.Selected];
    DrawField(plBrushNo, std::to_string(b.Number), kPanelText);
    // Each kind's panel shows a button caption of its own; objects, rooms and areas their name.
    struct TPanel { TPlace Caption; const char* Text; TPlace Name; };
    constexpr TPanel kPanels[] = {
        {plReset, "Reset", plCount},      {plBright, "Bright", plCount},
        {plShowHot, "Show Hot", plArea},  {plFloorMe, "Floor Me", plObject},
        {plGroup, "Group", plCount},      {plCompile, "Compile", plRoom}};
    const TPanel& panel = kPanels[b.Kind];
    DrawField(panel.Caption, panel.Text, kPanelText);
    if (panel.Name != plCount)
        DrawField(panel.Name, b.ObjId ? b.Name + " (" + std::to_string(b.ObjId) + ")" : b.Name,
                  kPanelText);
    if (S.Main) InvalidateRect(S.Main, nullptr, FALSE);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    // 32 bits a pixel, top-down rows.
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), S.Cw, -S.Ch, 1, 32, BI_RGB}};
    SetDIBitsToDevice(dc, 0, 0, S.Cw, S.Ch, 0, 0, 0, S.Ch, Pixels.data(), &info, DIB_RGB_COLORS);
    EndPaint(window, &ps);
}

// Dialogs: the property editor is an owned overlapped window, the link editor an owned popup.
constexpr char kDialogClass[] = "KorvaneTestDromEdDialog";

void OpenDialog(const std::string& title, bool popup)
{
    const DWORD style = popup ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
    if (CreateWindowExA(0, kDialogClass, title.c_str(), style | WS_VISIBLE, 40, 40, 320, 200,
                        S.Main, nullptr, GetModuleHandleA(nullptr), nullptr))
        Log("# opened " + title);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        char title[256] = {};
        GetWindowTextA(window, title, sizeof(title));
        Log(std::string("# closed ") + title);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Commands.
bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

// The index of the brush with this number, or of the object or room with this id; -1 if none.
int FindBrush(int n, bool byObject)
{
    for (size_t i = 0; i < S.Brushes.size(); ++i)
        if (byObject ? n != 0 && S.Brushes[i].ObjId == n : S.Brushes[i].Number == n)
            return static_cast<int>(i);
    return -1;
}

void Execute(const std::string& line)
{
    Log(line);
    std::istringstream words(line);
    std::string verb, arg;
    words >> verb;
    std::getline(words >> std::ws, arg);
    int n = 0;
    if (verb == "brush_select" || verb == "obj_brush_select") {
        const bool byObject = verb == "obj_brush_select";
        const int found = ParseInt(arg, n) ? FindBrush(n, byObject) : -1;
        if (found < 0) {
            S.Message = byObject ? "No brush for object " + arg : "No brush " + arg;
        } else {
            S.Selected = found;
            S.Message = "Selected brush " + std::to_string(S.Brushes[found].Number);
        }
    } else if (verb == "link_objs") {
        std::istringstream parts(arg);
        std::string src, dst, flavor, extra;
        parts >> src >> dst >> flavor >> extra;
        int from = 0, to = 0;
        if (!ParseInt(src, from) || !ParseInt(dst, to) || flavor.empty() || !extra.empty())
            S.Message = "Usage: link_objs from to flavor";
        else if (FindBrush(from, true) < 0 || FindBrush(to, true) < 0)
            S.Message = "Link failed, no object " + (FindBrush(from, true) < 0 ? src : dst);
        else
            S.Message = "Linked";
    } else if (verb == "cam_to_brush") {
        S.Message = "Camera at brush " + std::to_string(S.Brushes[S.Selected].Number);
    } else if (verb == "cam_unroll" || verb == "cam_level") {
        S.Message = verb == "cam_unroll" ? "Camera unrolled" : "Camera levelled";
    } else if (verb == "compress_br_ids") {
        for (size_t i = 0; i < S.Brushes.size(); ++i) S.Brushes[i].Number = static_cast<int>(i) + 1;
        S.Message = "Brush ids compressed";
    } else if (verb == "load_file" && arg.size() > 2 && arg.front() == '"' && arg.back() == '"') {
        const std::string path = arg.substr(1, arg.size() - 2);
        S.File = path.substr(path.find_last_of("/\\:") + 1); // npos + 1 == 0
        ResetMission();
        S.Message = "Loaded " + S.File;
        SetWindowTextA(S.Main, ("DromEd - " + S.File).c_str());
    } else if (verb == "edit_obj" && ParseInt(arg, n)) {
        OpenDialog("Object " + arg, false);
    } else if (verb == "edit_links" || verb == "ar_list_sources" || verb == "ar_list_receptrons") {
        OpenDialog(verb + " " + arg, true);
    } else {
        S.Message = "Unknown command " + verb;
    }
    Redraw();
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char c = static_cast<char>(wParam);
    switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_KEYDOWN: // Escape leaves the command line without executing it
        if (wParam == VK_ESCAPE) S.CommandOpen = false;
        return 0;
    case WM_CHAR:
        if (!S.CommandOpen) {
            S.CommandOpen = c == ':';
            S.Command.clear();
        } else if (c == '\r') {
            S.CommandOpen = false;
            Execute(S.Command);
        } else if (c == '\b') {
            if (!S.Command.empty()) S.Command.pop_back();
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            S.Command += c;
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

int Fail(const std::string& text)
{
    std::fprintf(stderr, "TestDromEd: %s\n", text.c_str());
    return 3;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    for (int i = 1; i + 1 < __argc; i += 2) {
        const std::string option = __argv[i], value = __argv[i + 1];
        if (option == "--log") S.LogPath = value;
        else if (option != "--size" || std::sscanf(value.c_str(), "%dx%d", &S.Cw, &S.Ch) != 2)
            return Fail("bad option " + option + " " + value);
    }
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string glyphs(exe);
    glyphs = glyphs.substr(0, glyphs.find_last_of("\\/") + 1) + "glyphs.txt";
    if (S.LogPath.empty()) return Fail("--log FILE is required");
    if (!LoadFont(glyphs)) return Fail("cannot read the font picture " + glyphs);
    std::ofstream(S.LogPath, std::ios::trunc | std::ios::binary);
    Pixels.resize(static_cast<size_t>(S.Cw) * S.Ch);
    ResetMission();
    Redraw();

    WNDCLASSA main{0, MainProc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW),
                   nullptr, nullptr, "LookingGlassTechnologies_WindowsGameShell_v2"};
    WNDCLASSA dialog = main;
    dialog.lpfnWndProc = DialogProc;
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialog.lpszClassName = kDialogClass;
    if (!RegisterClassA(&main) || !RegisterClassA(&dialog)) return Fail("RegisterClass failed");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, S.Cw, S.Ch};
    AdjustWindowRect(&frame, style, FALSE);
    S.Main = CreateWindowExA(0, main.lpszClassName, "DromEd - test.mis", style, 0, 0,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             instance, nullptr);
    if (!S.Main) return Fail("CreateWindow failed");
    ShowWindow(S.Main, SW_SHOW);
    UpdateWindow(S.Main);
    SetForegroundWindow(S.Main);
    Log("# ready");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
