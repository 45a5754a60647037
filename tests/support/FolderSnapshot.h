// Everything below a folder, file by file: the bytes and the time of the last write, so that
// a test can prove that nothing there was written, added or removed.
#pragma once

#include "app/SimMission.h"
#include "simdromed/SimDromEd.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

namespace kv::test {

// Relative path (with "/") -> last write time and bytes; folders have no bytes.
using TFolderSnapshot = std::map<std::string, std::string>;

// The folder's entries, and with Deep those of every folder below it too.
inline TFolderSnapshot SnapshotFolder(const std::filesystem::path& root, bool deep = true) {
    namespace fs = std::filesystem;
    TFolderSnapshot snapshot;
    const auto add = [&](const fs::directory_entry& entry) {
        const std::string time =
            std::to_string(entry.last_write_time().time_since_epoch().count()) + "|";
        snapshot[fs::relative(entry.path(), root).generic_string()] =
            entry.is_directory() ? time + "folder" : time + ReadBytes(entry.path());
    };
    const auto addAll = [&](auto entries) { std::for_each(begin(entries), end(entries), add); };
    deep ? addAll(fs::recursive_directory_iterator(root)) : addAll(fs::directory_iterator(root));
    return snapshot;
}

// The paths that are new, gone or changed from Before to After, one a line; empty if none.
inline std::string ChangedPaths(const TFolderSnapshot& before, const TFolderSnapshot& after) {
    std::string changed;
    for (const auto& [path, content] : before) {
        const auto now = after.find(path);
        if (now == after.end() || now->second != content) changed += "changed: " + path + "\n";
    }
    for (const auto& [path, content] : after) {
        if (!before.contains(path)) changed += "new: " + path + "\n";
    }
    return changed;
}

// The simulated DromEd reads the missions it loads from disk, as korvane's session has it.
inline void LoadMissionsFromDisk(sim::TSimDromEd& dromEd) {
    dromEd.MissionLoader = [](const std::string& path, sim::TSimMission& loaded) {
        try {
            loaded = ReadSimMission(TextToPath(path));
            return true;
        } catch (const Exception&) {
            return false;
        }
    };
}

} // namespace kv::test
