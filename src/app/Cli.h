// korvane-cli without its main(): the mission file commands for scripts and batch use (sanity
// check, loot list, import to a favourites file, chunk and link listings) and DromEd remote
// control, run on an argument list, two streams and a desktop so that tests drive it like a
// shell does.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kv {

class TPlatform;

// Exit statuses: success; the sanity check found something or DromEd answered no; a usage,
// file or data error, or DromEd not running or not reachable.
inline constexpr int kCliOk = 0;
inline constexpr int kCliFound = 1;
inline constexpr int kCliError = 2;

// The local time of day of the sanity check's heading.
struct TCliTime {
    int Hour = 0;
    int Minute = 0;
};
using TCliClock = std::function<TCliTime()>;

// The local time from the system clock.
[[nodiscard]] TCliTime LocalCliTime();

// The desktop the dromed commands drive: the backend of the name given with --platform, or the
// default backend for an empty name. It must live until RunCli returns.
using TCliPlatformSource = std::function<TPlatform&(const std::string& name)>;

struct TCliEnvironment {
    TCliClock Clock;
    TCliPlatformSource Platforms; // none: the platform factory's backends
};

// Args are the arguments after the program name. Reports go to Out as UTF-8, favourites files
// as their bytes; errors and warnings go to Err as "korvane-cli: ..." lines.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliClock& clock);
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliEnvironment& environment);

} // namespace kv
