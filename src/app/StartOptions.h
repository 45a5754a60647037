// The command line of korvane: "--platform sim|win32" and "--mission FILE" are the program's
// own; everything else (such as -debug) is left for the main window.
#pragma once

#include <string>
#include <vector>

namespace kv {

struct TStartOptions {
    std::string Platform;               // as given, else the default backend's name
    std::string MissionFile;            // empty: the demo mission
    std::vector<std::string> Remaining; // in their order
    std::string Error;                  // set when the command line cannot be used
};

// Arguments without the program itself; "--name value" and "--name=value" are both taken.
[[nodiscard]] TStartOptions ParseStartOptions(const std::vector<std::string>& arguments,
                                              const std::string& defaultPlatform);

} // namespace kv
