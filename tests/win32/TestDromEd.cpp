// A stand-in for DromEd for the end-to-end tests: a plain Win32 program that shows what Korvane
// relies on seeing of DromEd (its window class and title, its command line, owned dialogs and the
// texts of its status bar and brush panel at fixed places) over a small fixed mission.
//
// It shares nothing with Korvane: the interface font comes from glyphs.txt (a picture of the
// shapes) and the field places from its own table below, so a wrong glyph or place in Korvane's
// reading shows up as a failed test.
//
//   TestDromEd.exe --size WxH --log FILE [--glyphs FILE] [--title TEXT]
//
// Every executed command line is appended to the log file as one line; dialogs that open and
// close add lines starting with "# ". The first line is "# ready" once the window is shown.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// The interface font, read from the picture.

constexpr int kRows = 11;

struct TShape {
    int Width = 0;
    std::vector<std::string> Rows; // kRows strings of '#' and '.'
};

TShape Font[256];

// The picture holds blocks: "chars XX XX ..." (Windows-1252 codes), then one line per pixel row
// with each character's row ('#' ink, '.' background) in the header's order, space-separated.
bool LoadFont(const std::string& path)
{
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    std::vector<int> block;
    int rows = kRows;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool between = rows == kRows; // comments stand only between blocks
        if (line.empty() || (between && line.rfind("# ", 0) == 0)) continue;
        std::istringstream words(line);
        std::string word;
        if (line.rfind("chars ", 0) == 0) {
            if (rows != kRows) return false;
            block.clear();
            words >> word;
            while (words >> word) block.push_back(std::stoi(word, nullptr, 16) & 0xFF);
            for (int code : block) Font[code] = TShape{};
            rows = 0;
            continue;
        }
        if (rows >= kRows) return false;
        for (int code : block) {
            if (!(words >> word)) return false;
            if (!Font[code].Rows.empty() && word.size() != Font[code].Rows[0].size()) return false;
            Font[code].Rows.push_back(word);
            Font[code].Width = static_cast<int>(word.size());
        }
        ++rows;
    }
    return rows == kRows && Font['A'].Rows.size() == kRows && Font[' '].Width == 2;
}

// ---------------------------------------------------------------------------------------------
// Where DromEd shows its texts: x, y, w for a client at least 1024 wide; below that the
// corrections (dx, dw, dy), with their own set at a width of exactly 800 for the status bar.
// Below 1024 every y also moves with the height (CH - 769), and at 800 one row further up.

enum TPlace { plRoom, plObject, plArea, plFile, plMessage, plShowHot, plReset, plBright,
              plFloorMe, plGroup, plCompile, plBrushNo, plCount };

struct TPlaceRow {
    int X, Y, W;
    int Dx, Dw, Dy;          // below 1024
    bool At800;              // own corrections at exactly 800
    int Dx8, Dw8, Dy8;
};

constexpr TPlaceRow kPlaces[plCount] = {
    {262, 646, 143, 0, 0, 0, false, 0, 0, 0},         // room name line
    {262, 691, 143, 0, 0, 0, false, 0, 0, 0},         // object name line
    {262, 707, 143, 0, 0, 0, false, 0, 0, 0},         // area name line
    {11, 755, 194, -4, -72, -1, true, -2, -42, 0},    // status bar: mission file
    {410, 755, 399, -141, -162, -1, true, -73, -104, 0}, // status bar: last message
    {308, 646, 50, 0, 0, 0, false, 0, 0, 0},          // area panel: "Show Hot"
    {277, 691, 31, 0, 0, 0, false, 0, 0, 0},          // terrain panel: "Reset"
    {264, 676, 36, 0, 0, 0, false, 0, 0, 0},          // light panel: "Bright"
    {346, 707, 47, 0, 0, 0, false, 0, 0, 0},          // object panel: "Floor Me"
    {264, 692, 33, 0, 0, 0, false, 0, 0, 0},          // flow panel: "Group"
    {347, 738, 46, 0, 0, 0, false, 0, 0, 0},          // room panel: "Compile"
    {2, 737, 50, 0, 0, 0, false, 0, 0, 0},            // brush number
};

struct TRect { int X, Y, W; };

TRect PlaceAt(TPlace place, int cw, int ch)
{
    const TPlaceRow& p = kPlaces[place];
    TRect r{p.X, p.Y, p.W};
    if (cw < 1024) {
        const bool own800 = cw == 800 && p.At800;
        r.X += own800 ? p.Dx8 : p.Dx;
        r.W += own800 ? p.Dw8 : p.Dw;
        r.Y += (own800 ? p.Dy8 : p.Dy) + ch - 769;
        if (cw == 800) --r.Y;
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// The mission.

enum TKind { kTerrain, kLight, kArea, kObject, kFlow, kRoom };

struct TBrush {
    int Number;
    TKind Kind;
    std::string Name; // areas, objects and rooms
    int ObjId;        // objects and rooms, else 0
};

struct TState {
    std::vector<TBrush> Brushes;
    int Selected = 0; // index into Brushes
    std::string File = "test.mis";
    std::string Message = "Ready";
    bool CommandOpen = false;
    std::string Command;
    std::string LogPath;
    int Cw = 1024, Ch = 768;
    HWND Main = nullptr;
    std::vector<HWND> Dialogs;
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

std::string ShownName(const TBrush& b)
{
    if (b.Kind == kObject || b.Kind == kRoom) return b.Name + " (" + std::to_string(b.ObjId) + ")";
    return b.Name;
}

void Log(const std::string& line)
{
    std::ofstream out(S.LogPath, std::ios::app | std::ios::binary);
    out << line << '\n';
}

// ---------------------------------------------------------------------------------------------
// Drawing: one 32-bit bitmap of the client area, drawn anew on every change.

constexpr COLORREF kViewColour = RGB(70, 80, 100);
constexpr COLORREF kPanelColour = RGB(24, 24, 32);    // dark: every channel at most 50
constexpr COLORREF kPanelText = RGB(210, 200, 160);
constexpr COLORREF kBarColour = RGB(192, 192, 192);
constexpr COLORREF kBarText = RGB(0, 0, 0);

std::vector<DWORD> Pixels;

DWORD Bgr(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

void Fill(int x, int y, int w, int h, COLORREF colour)
{
    for (int row = std::max(0, y); row < std::min(S.Ch, y + h); ++row)
        for (int col = std::max(0, x); col < std::min(S.Cw, x + w); ++col)
            Pixels[static_cast<size_t>(row) * S.Cw + col] = Bgr(colour);
}

// Draws text from the field's left edge, one blank column between characters, cut at its right.
void DrawField(TPlace place, const std::string& text, COLORREF colour)
{
    const TRect r = PlaceAt(place, S.Cw, S.Ch);
    int x = r.X;
    for (unsigned char c : text) {
        const TShape& g = Font[c];
        for (int col = 0; col < g.Width; ++col)
            for (int row = 0; row < kRows; ++row)
                if (g.Rows[row][col] == '#' && x + col < r.X + r.W)
                    Fill(x + col, r.Y + row, 1, 1, colour);
        x += (g.Width > 0 ? g.Width : 3) + 1;
    }
}

void Redraw()
{
    Pixels.assign(static_cast<size_t>(S.Cw) * S.Ch, Bgr(kViewColour));
    // The brush panel below the views and the status bar along the bottom, as laid out at 1024.
    const int panelTop = PlaceAt(plRoom, S.Cw, S.Ch).Y - 6;
    const TRect file = PlaceAt(plFile, S.Cw, S.Ch);
    Fill(0, panelTop, PlaceAt(plRoom, S.Cw, S.Ch).X + 150, file.Y - 4 - panelTop, kPanelColour);
    Fill(0, file.Y - 4, S.Cw, 19, kBarColour);

    DrawField(plFile, S.File, kBarText);
    DrawField(plMessage, S.Message, kBarText);
    const TBrush& b = S.Brushes[S.Selected];
    DrawField(plBrushNo, std::to_string(b.Number), kPanelText);
    switch (b.Kind) {
    case kTerrain: DrawField(plReset, "Reset", kPanelText); break;
    case kLight: DrawField(plBright, "Bright", kPanelText); break;
    case kArea:
        DrawField(plShowHot, "Show Hot", kPanelText);
        DrawField(plArea, ShownName(b), kPanelText);
        break;
    case kObject:
        DrawField(plObject, ShownName(b), kPanelText);
        DrawField(plFloorMe, "Floor Me", kPanelText);
        break;
    case kFlow: DrawField(plGroup, "Group", kPanelText); break;
    case kRoom:
        DrawField(plRoom, ShownName(b), kPanelText);
        DrawField(plCompile, "Compile", kPanelText);
        break;
    }
    if (S.CommandOpen) { // the command being typed, in the top-left corner of the views
        const std::string shown = ":" + S.Command;
        int x = 4;
        for (unsigned char c : shown) {
            const TShape& g = Font[c];
            for (int col = 0; col < g.Width; ++col)
                for (int row = 0; row < kRows; ++row)
                    if (g.Rows[row][col] == '#') Fill(x + col, 4 + row, 1, 1, RGB(255, 255, 255));
            x += (g.Width > 0 ? g.Width : 3) + 1;
        }
    }
    if (S.Main) InvalidateRect(S.Main, nullptr, FALSE);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = S.Cw;
    info.bmiHeader.biHeight = -S.Ch; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, S.Cw, S.Ch, 0, 0, 0, S.Ch, Pixels.data(), &info, DIB_RGB_COLORS);
    EndPaint(window, &ps);
}

// ---------------------------------------------------------------------------------------------
// Dialogs: the property editor is an owned overlapped window, the link editor an owned popup.

constexpr char kDialogClass[] = "KorvaneTestDromEdDialog";

void OpenDialog(const std::string& title, bool popup)
{
    const DWORD style = popup ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
    HWND dialog = CreateWindowExA(0, kDialogClass, title.c_str(), style | WS_VISIBLE, 40, 40, 320,
                                  200, S.Main, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!dialog) return;
    S.Dialogs.push_back(dialog);
    Log("# opened " + title);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        char title[256] = {};
        GetWindowTextA(window, title, sizeof(title));
        S.Dialogs.erase(std::remove(S.Dialogs.begin(), S.Dialogs.end(), window), S.Dialogs.end());
        Log(std::string("# closed ") + title);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Commands.

bool ParseInt(const std::string& text, int& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return false;
    value = static_cast<int>(v);
    return true;
}

int FindObject(int id)
{
    for (size_t i = 0; i < S.Brushes.size(); ++i)
        if ((S.Brushes[i].Kind == kObject || S.Brushes[i].Kind == kRoom) && S.Brushes[i].ObjId == id)
            return static_cast<int>(i);
    return -1;
}

std::string FileNameOf(const std::string& path)
{
    const size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
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
        int found = -1;
        if (ParseInt(arg, n)) {
            if (verb == "obj_brush_select") found = FindObject(n);
            else
                for (size_t i = 0; i < S.Brushes.size(); ++i)
                    if (S.Brushes[i].Number == n) found = static_cast<int>(i);
        }
        if (found < 0) {
            S.Message = verb == "brush_select" ? "No brush " + arg : "No brush for object " + arg;
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
        else if (FindObject(from) < 0 || FindObject(to) < 0)
            S.Message = "Link failed, no object " + (FindObject(from) < 0 ? src : dst);
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
        S.File = FileNameOf(arg.substr(1, arg.size() - 2));
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
    switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) { // leaves the command line without executing it
            S.CommandOpen = false;
            S.Command.clear();
            Redraw();
        }
        return 0;
    case WM_CHAR: {
        const char c = static_cast<char>(wParam);
        if (!S.CommandOpen) {
            if (c == ':') {
                S.CommandOpen = true;
                S.Command.clear();
                Redraw();
            }
        } else if (c == '\r') {
            S.CommandOpen = false;
            Execute(S.Command);
        } else if (c == '\b') {
            if (!S.Command.empty()) S.Command.pop_back();
            Redraw();
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            S.Command += c;
            Redraw();
        }
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

std::string Beside(const std::string& name)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir(exe);
    const size_t cut = dir.find_last_of("\\/");
    return (cut == std::string::npos ? std::string() : dir.substr(0, cut + 1)) + name;
}

int Fail(const std::string& text)
{
    std::fprintf(stderr, "TestDromEd: %s\n", text.c_str());
    return 3;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    std::string glyphs = Beside("glyphs.txt"), title = "DromEd - test.mis";
    for (int i = 1; i + 1 < __argc; i += 2) {
        const std::string option = __argv[i], value = __argv[i + 1];
        if (option == "--size") {
            if (std::sscanf(value.c_str(), "%dx%d", &S.Cw, &S.Ch) != 2) return Fail("bad --size");
        } else if (option == "--log") {
            S.LogPath = value;
        } else if (option == "--glyphs") {
            glyphs = value;
        } else if (option == "--title") {
            title = value;
        } else {
            return Fail("unknown option " + option);
        }
    }
    if (S.LogPath.empty()) return Fail("--log FILE is required");
    if (!LoadFont(glyphs)) return Fail("cannot read the font picture " + glyphs);
    std::ofstream(S.LogPath, std::ios::trunc | std::ios::binary);
    ResetMission();
    Redraw();

    WNDCLASSA main{};
    main.lpfnWndProc = MainProc;
    main.hInstance = instance;
    main.hCursor = LoadCursor(nullptr, IDC_ARROW);
    main.lpszClassName = "LookingGlassTechnologies_WindowsGameShell_v2";
    WNDCLASSA dialog = main;
    dialog.lpfnWndProc = DialogProc;
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialog.lpszClassName = kDialogClass;
    if (!RegisterClassA(&main) || !RegisterClassA(&dialog)) return Fail("RegisterClass failed");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, S.Cw, S.Ch};
    AdjustWindowRect(&frame, style, FALSE);
    S.Main = CreateWindowExA(0, main.lpszClassName, title.c_str(), style, 0, 0,
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
