// korvane-cli without its main(): the mission file commands for scripts and batch use (sanity
// check, loot list, import to a favourites file, chunk and link listings), run on an argument
// list and two streams so that tests drive it like a shell does.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kv {

// Exit statuses: success; the sanity check found something; a usage, file or data error.
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

// Args are the arguments after the program name. Reports go to Out as UTF-8, favourites files
// as their bytes; errors and warnings go to Err as "korvane-cli: ..." lines.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliClock& clock);

} // namespace kv
