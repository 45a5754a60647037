// The user's settings: one record for the whole program, kept in an initialisation file beside
// the program, section "Settings".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kv {

// Shortcut bits of the hot-key controls: low byte the virtual-key code.
inline constexpr std::uint16_t kShortcutShift = 0x2000;
inline constexpr std::uint16_t kShortcutCtrl = 0x4000;
inline constexpr std::uint16_t kShortcutAlt = 0x8000;

struct TSettings {
    std::uint16_t HkAdd = kShortcutAlt | 'A';
    std::uint16_t HkSel = kShortcutAlt | 'S';
    std::uint16_t HkTog = kShortcutAlt | 'D';
    std::int32_t Dock = 3; // 0 none, 1 left, 2 top, 3 right, 4 bottom
    bool Push = true;
    bool MisCheck = true;
    bool MisBNum = false;
    bool SelObjByBrushNum = false;
    bool CompressBrushNum = true;
    std::string DromEdPath;
    bool DromEdLoPri = true;
    bool DromEdAutoStart = true;

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

// The program's settings, read when the main window is created.
extern TSettings Settings;

inline constexpr const char* kSettingsSection = "Settings";

// The program's own path with the extension ".ini".
[[nodiscard]] std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile);

// Reads every key; a missing file, section or key, or a value that is no number where one is
// expected, leaves the field as it was.
void LoadSettings(TSettings& s, const std::filesystem::path& iniFile);
// Writes every key, keeping whatever else the file holds; raises Exception on failure.
void SaveSettings(const TSettings& s, const std::filesystem::path& iniFile);

} // namespace kv
