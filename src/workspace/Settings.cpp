#include "workspace/Settings.h"

#include "workspace/IniFile.h"

namespace kv {

TSettings Settings;

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile) {
    std::filesystem::path p = programFile;
    p.replace_extension(".ini");
    return p;
}

void LoadSettings(TSettings& s, const std::filesystem::path& iniFile) {
    const TIniFile ini(iniFile);
    const char* sec = kSettingsSection;
    const auto shortcut = [&](const char* key, std::uint16_t def) {
        return static_cast<std::uint16_t>(ini.ReadInteger(sec, key, def) & 0xFFFF);
    };
    s.HkAdd = shortcut("HkAdd", s.HkAdd);
    s.HkSel = shortcut("HkSel", s.HkSel);
    s.HkTog = shortcut("HkTog", s.HkTog);
    s.Dock = ini.ReadInteger(sec, "Dock", s.Dock);
    s.Push = ini.ReadBool(sec, "Push", s.Push);
    s.MisCheck = ini.ReadBool(sec, "MisCheck", s.MisCheck);
    s.MisBNum = ini.ReadBool(sec, "MisBNum", s.MisBNum);
    s.SelObjByBrushNum = ini.ReadBool(sec, "SelObjByBrushNum", s.SelObjByBrushNum);
    s.CompressBrushNum = ini.ReadBool(sec, "CompressBrushNum", s.CompressBrushNum);
    s.DromEdPath = ini.ReadString(sec, "DromEdPath", s.DromEdPath);
    s.DromEdLoPri = ini.ReadBool(sec, "DromEdLoPri", s.DromEdLoPri);
    s.DromEdAutoStart = ini.ReadBool(sec, "DromEdAutoStart", s.DromEdAutoStart);
}

void SaveSettings(const TSettings& s, const std::filesystem::path& iniFile) {
    TIniFile ini(iniFile);
    const char* sec = kSettingsSection;
    ini.WriteInteger(sec, "HkAdd", s.HkAdd);
    ini.WriteInteger(sec, "HkSel", s.HkSel);
    ini.WriteInteger(sec, "HkTog", s.HkTog);
    ini.WriteInteger(sec, "Dock", s.Dock);
    ini.WriteBool(sec, "Push", s.Push);
    ini.WriteBool(sec, "MisCheck", s.MisCheck);
    ini.WriteBool(sec, "MisBNum", s.MisBNum);
    ini.WriteBool(sec, "SelObjByBrushNum", s.SelObjByBrushNum);
    ini.WriteBool(sec, "CompressBrushNum", s.CompressBrushNum);
    ini.WriteString(sec, "DromEdPath", s.DromEdPath);
    ini.WriteBool(sec, "DromEdLoPri", s.DromEdLoPri);
    ini.WriteBool(sec, "DromEdAutoStart", s.DromEdAutoStart);
    ini.UpdateFile();
}

} // namespace kv
