// The simulated DromEd: a main window of DromEd's class on the simulated desktop that takes
// commands through its command line (Escape, then ":", the text, Enter), acts on a mission
// model, opens its editor dialogs as owned pop-up windows, and draws its status bar and brush
// panel pixel by pixel with the interface font where the program reads them.
#pragma once

#include "dromedscreen/DromEdFields.h"
#include "dromedscreen/Glyphs.h"
#include "items/BrushInfo.h"
#include "platform/sim/SimDesktop.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::sim {

inline constexpr const char* kDromEdWindowClass = "LookingGlassTechnologies_WindowsGameShell_v2";

struct TSimBrush {
    std::int32_t BrushId = 0;
    TBrushKind Kind = bkTerrain;
    std::int32_t ObjId = 0; // objects and rooms
    std::string Name;       // areas, objects and rooms
};

struct TSimLink {
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::string Flavor;
    friend bool operator==(const TSimLink&, const TSimLink&) = default;
};

struct TSimMission {
    std::string FileName; // shown in the status bar
    std::vector<TSimBrush> Brushes;
    // Objects that exist without a brush of their own (archetypes, contained objects).
    std::vector<std::int32_t> ExtraObjects;
    std::vector<TSimLink> Links;
};

struct TSimDromEdOptions {
    int ClientWidth = 1024;
    int ClientHeight = 768;
    int Left = 100;
    int Top = 50;
    std::string Title = "DromEd";
    std::uint32_t ThreadId = 77;
};

// The desktop must outlive the simulated DromEd, which destroys its windows when it goes.
class TSimDromEd {
public:
    TSimDromEd(TSimDesktop& desktop, TSimDromEdOptions options = {});
    ~TSimDromEd();
    TSimDromEd(const TSimDromEd&) = delete;
    TSimDromEd& operator=(const TSimDromEd&) = delete;

    [[nodiscard]] THwnd MainWindow() const { return main_; }

    // The mission being edited.
    void SetMission(TSimMission mission);
    [[nodiscard]] const TSimMission& Mission() const { return mission_; }
    // Turns load_file's path into a mission; without one the mission is emptied and named.
    std::function<bool(const std::string& path, TSimMission& mission)> MissionLoader;

    // What DromEd shows and did.
    [[nodiscard]] const TSimBrush* Selected() const;
    void Select(std::int32_t brushId); // as a click in DromEd would
    [[nodiscard]] const std::string& StatusMessage() const { return status_; }
    void SetStatusMessage(std::string text);
    [[nodiscard]] const std::vector<std::string>& Commands() const { return commands_; }
    [[nodiscard]] bool CommandLineOpen() const { return commandLineOpen_; }
    // The camera: the brush it was moved to (0 for none) and whether it was unrolled and
    // levelled since.
    [[nodiscard]] std::int32_t CameraBrush() const { return cameraBrush_; }
    [[nodiscard]] bool CameraUnrolled() const { return cameraUnrolled_; }
    [[nodiscard]] bool CameraLevelled() const { return cameraLevelled_; }
    // Open dialogs, the oldest first.
    [[nodiscard]] std::vector<THwnd> Dialogs() const;

    // Failure switches.
    void SetRefuseForeground(bool refuse);
    void SetTitle(const std::string& title);
    void Minimise();
    void Restore();
    void SetClientSize(int width, int height);
    // Dialogs opened from now on ignore WM_CLOSE.
    void SetStubbornDialogs(bool stubborn) { stubbornDialogs_ = stubborn; }
    // Opens a dialog owned by Owner (the main window when 0), as the editors do; the handle.
    THwnd OpenDialog(const std::string& title, THwnd owner = 0);

    // The client area as drawn now.
    [[nodiscard]] std::uint32_t ClientPixel(int x, int y);
    [[nodiscard]] const TPixelImage& ClientImage();

    // Colours of the drawing.
    static constexpr std::uint32_t kPanelColour = 0x00202020; // dark, behind light text
    static constexpr std::uint32_t kLightInk = 0x00E0E0E0;
    static constexpr std::uint32_t kStatusColour = 0x00C0C0C0; // light, behind dark text
    static constexpr std::uint32_t kDarkInk = 0x00000000;

private:
    void OnKey(const TSimKeyInput& key);
    void Execute(const std::string& command);
    void Redraw();
    void DrawField(TDromEdField field, const std::string& text, std::uint32_t ink);
    void SetStatus(std::string text);
    void CompressBrushIds();
    void LoadFile(std::string_view argument);
    [[nodiscard]] const TSimBrush* FindBrush(std::int32_t brushId) const;
    [[nodiscard]] bool ObjectExists(std::int32_t objId) const;
    [[nodiscard]] TPoint ClientSize() const;
    void UpdateFrame();

    TSimDesktop& desktop_;
    TSimDromEdOptions options_;
    THwnd main_ = 0;
    TSimMission mission_;
    std::int32_t selected_ = 0; // brush ID, 0 for none
    std::string status_;
    std::vector<std::string> commands_;
    bool escapePressed_ = false;
    bool commandLineOpen_ = false;
    std::string commandText_;
    std::int32_t cameraBrush_ = 0;
    bool cameraUnrolled_ = false;
    bool cameraLevelled_ = false;
    bool stubbornDialogs_ = false;
    std::vector<THwnd> dialogs_;
    bool dirty_ = true;
    TPixelImage frame_;
};

} // namespace kv::sim
