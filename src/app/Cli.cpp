// korvane-cli: parsing the command line, running one command and turning failures into
// messages and exit statuses.
#include "app/Cli.h"

#include "app/CliCommands.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"
#include "workspace/Version.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <exception>
#include <new>
#include <optional>
#include <string_view>

namespace kv {

namespace {

constexpr const char* kUsage =
    "Usage: korvane-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Korvane's mission file features for scripts and batch use. Mission and gamesys files are\n"
    "only read, never written.\n"
    "\n"
    "Commands:\n"
    "  check MISSION\n"
    "      Sanity check: objects left at death stage 12 and links that exist more than once.\n"
    "      Prints the report, or \"No typical errors detected\".\n"
    "  loot MISSION [--gamesys-dir DIR]\n"
    "      The loot list with its totals per difficulty. The gamesys is looked for in DIR\n"
    "      first (default: the mission's folder), then in the mission's folder.\n"
    "  import MISSION [-o FILE] [--brush-ids] [--kinds LETTERS] [--name TEXT]\n"
    "      The mission's brushes as a favourites file, written to FILE or to the standard\n"
    "      output. --brush-ids numbers them by their own brush IDs instead of 1, 2, 3, ...;\n"
    "      --kinds keeps only the kinds given by letter: T Terrain, L Light, A Area,\n"
    "      O Object, F Flow, R Room; --name keeps only names that contain TEXT (any case).\n"
    "  chunks FILE\n"
    "      The table of contents of a mission, gamesys or saved game: name, offset and size\n"
    "      of every chunk.\n"
    "  links MISSION [--object ID]... [--flavor N]...\n"
    "      Every link as \"link ID, source, destination, flavor\". With --object only links\n"
    "      between the objects given, with --flavor only links of the flavor numbers given.\n"
    "\n"
    "  --help      show this text\n"
    "  --version   print the program's name and version\n"
    "\n"
    "Exit status: 0 done, 1 the sanity check found something, 2 an error (bad arguments, a\n"
    "missing, unreadable or damaged file).\n";

// A mistake on the command line; the message ends with a hint to the help text.
class TUsageError : public Exception {
public:
    explicit TUsageError(const std::string& message)
        : Exception(message + " (see korvane-cli --help)") {}
};

struct TOptionDef {
    std::string_view Name; // "-o", "--kinds"
    bool TakesValue = false;
    bool Repeatable = false;
};

struct TCommandDef {
    std::string_view Name;
    std::string_view Operand; // "MISSION", "FILE"
    std::vector<TOptionDef> Options;
};

const std::vector<TCommandDef>& Commands() {
    static const std::vector<TCommandDef> commands = {
        {"check", "MISSION", {}},
        {"loot", "MISSION", {{"--gamesys-dir", true, false}}},
        {"import",
         "MISSION",
         {{"-o", true, false},
          {"--output", true, false},
          {"--brush-ids", false, false},
          {"--kinds", true, false},
          {"--name", true, false}}},
        {"chunks", "FILE", {}},
        {"links", "MISSION", {{"--object", true, true}, {"--flavor", true, true}}},
    };
    return commands;
}

struct TParsedArgs {
    std::string Operand;
    std::vector<std::pair<std::string, std::string>> Options; // canonical name, value

    [[nodiscard]] std::optional<std::string> Value(std::string_view name) const {
        for (const auto& [n, v] : Options) {
            if (n == name) return v;
        }
        return std::nullopt;
    }
    [[nodiscard]] bool Has(std::string_view name) const { return Value(name).has_value(); }
    [[nodiscard]] std::vector<std::string> Values(std::string_view name) const {
        std::vector<std::string> values;
        for (const auto& [n, v] : Options) {
            if (n == name) values.push_back(v);
        }
        return values;
    }
};

// Command-line arguments arrive in the encoding of file names: UTF-8 on Linux, the ANSI code
// page on Windows. The engine's text is Windows-1252.
std::string ArgText(const std::string& arg) { return PathToText(std::filesystem::path(arg)); }

// An argument quoted for a message; messages are Windows-1252 like all of the engine's text.
std::string Quote(std::string_view arg) { return "\"" + ArgText(std::string(arg)) + "\""; }

TParsedArgs ParseCommandArgs(const TCommandDef& command, const std::vector<std::string>& args) {
    TParsedArgs parsed;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        const auto option = std::find_if(command.Options.begin(), command.Options.end(),
                                         [&](const TOptionDef& o) { return o.Name == name; });
        if (option == command.Options.end()) {
            throw TUsageError("unknown option " + Quote(name) + " for command " +
                              Quote(command.Name));
        }
        // "--output" is the long spelling of "-o".
        const std::string canonical = name == "--output" ? "-o" : name;
        if (!option->Repeatable && parsed.Has(canonical))
            throw TUsageError("option " + Quote(name) + " is given more than once");
        if (!option->TakesValue) {
            if (inlineValue) throw TUsageError("option " + Quote(name) + " takes no value");
            parsed.Options.emplace_back(canonical, std::string());
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) throw TUsageError("option " + Quote(name) + " needs a value");
            inlineValue = args[++i];
        }
        parsed.Options.emplace_back(canonical, *inlineValue);
    }
    if (operands.empty()) {
        throw TUsageError("command " + Quote(command.Name) + " needs a " +
                          std::string(command.Operand) + " argument");
    }
    if (operands.size() > 1) throw TUsageError("unexpected argument " + Quote(operands[1]));
    parsed.Operand = operands.front();
    return parsed;
}

template <typename T> T ParseNumber(const std::string& text, std::string_view what) {
    T value{};
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last)
        throw TUsageError(std::string(what) + " " + Quote(text) + " is not a number in range");
    return value;
}

TKindSet ParseKinds(const std::string& letters) {
    if (letters.empty()) throw TUsageError("--kinds needs at least one of the letters TLAOFR");
    TKindSet kinds = 0;
    for (const char c : letters) {
        switch (c) {
        case 'T':
        case 't': kinds |= KindBit(bkTerrain); break;
        case 'L':
        case 'l': kinds |= KindBit(bkLight); break;
        case 'A':
        case 'a': kinds |= KindBit(bkArea); break;
        case 'O':
        case 'o': kinds |= KindBit(bkObject); break;
        case 'F':
        case 'f': kinds |= KindBit(bkFlow); break;
        case 'R':
        case 'r': kinds |= KindBit(bkRoom); break;
        default:
            throw TUsageError("--kinds takes the letters T L A O F R, not " +
                              Quote(std::string(1, c)));
        }
    }
    return kinds;
}

TCliResult RunCommand(const TCommandDef& command, const TParsedArgs& a, std::ostream& err,
                      const TCliClock& clock) {
    const std::filesystem::path file(a.Operand);
    if (command.Name == "check") return CliCheck(file, clock());
    if (command.Name == "loot") {
        const auto dir = a.Value("--gamesys-dir");
        return CliLoot(file, dir ? std::filesystem::path(*dir) : file.parent_path(), err);
    }
    if (command.Name == "import") {
        TCliImport import;
        if (const auto kinds = a.Value("--kinds")) import.Filter.Kinds = ParseKinds(*kinds);
        if (const auto name = a.Value("--name")) import.Filter.NameFilter = ArgText(*name);
        import.UseBrushIDs = a.Has("--brush-ids");
        if (const auto output = a.Value("-o")) import.Output = std::filesystem::path(*output);
        return CliImport(file, import);
    }
    if (command.Name == "chunks") return CliChunks(file);
    std::optional<std::vector<std::int32_t>> objects;
    std::optional<std::vector<int>> flavors;
    for (const std::string& v : a.Values("--object")) {
        if (!objects) objects.emplace();
        objects->push_back(ParseNumber<std::int32_t>(v, "object ID"));
    }
    for (const std::string& v : a.Values("--flavor")) {
        if (!flavors) flavors.emplace();
        flavors->push_back(ParseNumber<std::uint16_t>(v, "flavor"));
    }
    return CliLinks(file, objects, flavors);
}

void PrintError(std::ostream& err, const std::string& message) {
    err << "korvane-cli: " << Win1252ToUtf8(message) << '\n';
}

} // namespace

TCliTime LocalCliTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_hour, local.tm_min};
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunCli(args, out, err, LocalCliTime);
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliClock& clock) {
    if (args.empty()) {
        err << kUsage;
        return kCliError;
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        out << kUsage;
        return kCliOk;
    }
    if (first == "--version") {
        out << kProductVersionText << '\n';
        return kCliOk;
    }
    try {
        const auto command = std::find_if(Commands().begin(), Commands().end(),
                                          [&](const TCommandDef& c) { return c.Name == first; });
        if (command == Commands().end()) {
            throw TUsageError(
                std::string(first.starts_with('-') ? "unknown option " : "unknown command ") +
                Quote(first));
        }
        const TParsedArgs parsed = ParseCommandArgs(*command, args);
        const TCliResult result = RunCommand(*command, parsed, err, clock);
        out.write(result.Output.data(), static_cast<std::streamsize>(result.Output.size()));
        out.flush();
        if (!out) {
            PrintError(err, "cannot write to the standard output");
            return kCliError;
        }
        return result.Status;
    } catch (const Exception& e) {
        PrintError(err, e.what());
    } catch (const std::bad_alloc&) {
        PrintError(err, "out of memory");
    } catch (const std::exception& e) {
        PrintError(err, DescribeException(e));
    }
    return kCliError;
}

} // namespace kv
