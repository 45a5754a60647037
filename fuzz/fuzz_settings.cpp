// The settings file: any text read through the INI file and the settings on top of it; the
// settings read are saved and read back unchanged.
#include "FuzzSupport.h"

#include "workspace/IniFile.h"
#include "workspace/Settings.h"

#include <cstdlib>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzz::ScratchFolder() / "korvane.ini";
    const std::filesystem::path saved = fuzz::ScratchFolder() / "saved.ini";
    fuzz::WriteBytes(file, data, size);
    std::filesystem::remove(saved);
    fuzz::Refusable([&] {
        TIniFile ini(file);
        volatile std::size_t sink = ini.ReadString(kSettingsSection, "DromEdPath", "").size();
        sink = sink + static_cast<std::size_t>(ini.ReadInteger("Settings", "Dock", 3));
        ini.WriteString("Other", "Key", "Value");
        ini.WriteInteger(kSettingsSection, "Dock", -1);
        sink = sink + ini.Text().size();

        TSettings read;
        LoadSettings(read, file);
        SaveSettings(read, saved);
        TSettings again;
        LoadSettings(again, saved);
        if (!(again == read)) std::abort();
    });
    return 0;
}
