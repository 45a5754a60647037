// korvane-cli: parsing the command line, running one command and turning failures into
// messages and exit statuses.
#include "app/Cli.h"

#include "app/CliCommands.h"
#include "platform/PlatformFactory.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"
#include "workspace/Version.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

namespace kv {

namespace {

constexpr const char* kUsage =
    "Usage: korvane-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Korvane's mission file features and DromEd remote control for scripts and batch use.\n"
    "Mission and gamesys files are only read, never written.\n"
    "\n"
    "Commands:\n"
    "  check MISSION [--gamesys-dir DIR] [--format FORM]\n"
    "      Sanity check: objects left at death stage 12, links that exist more than once and\n"
    "      loot goals that cannot be met on some difficulty (the gamesys as for loot).\n"
    "      Prints the report, or \"No typical errors detected\".\n"
    "  loot MISSION [--gamesys-dir DIR] [--format FORM]\n"
    "      The loot list with its totals per difficulty and its loot goals. The gamesys is\n"
    "      looked for in DIR first (default: the mission's folder), then in the mission's folder.\n"
    "  import MISSION [-o FILE] [--brush-ids] [--kinds LETTERS] [--name TEXT]\n"
    "      The mission's brushes as a favourites file, written to FILE or to the standard\n"
    "      output. --brush-ids numbers them by their own brush IDs instead of 1, 2, 3, ...;\n"
    "      --kinds keeps only the kinds given by letter: T Terrain, L Light, A Area,\n"
    "      O Object, F Flow, R Room; --name keeps only names that contain TEXT (any case).\n"
    "  chunks FILE\n"
    "      The table of contents of a mission, gamesys or saved game: name, offset and size\n"
    "      of every chunk.\n"
    "  links MISSION [--object ID]... [--flavor N]... [--format FORM]\n"
    "      Every link as \"link ID, source, destination, flavor\". With --object only links\n"
    "      between the objects given, with --flavor only links of the flavor numbers given.\n"
    "  --format text (the report as the window shows it, the default), json (one object with\n"
    "      every section as an array of records) or csv (a header line and a record per row).\n"
    "\n"
    "DromEd remote control: the commands type into the command line of the running DromEd and\n"
    "read its window from the screen, as a user would.\n"
    "  dromed selection\n"
    "      DromEd's selection as one tab-separated line: the kind's letter (T, L, A, O, F\n"
    "      or R), the brush number, the object ID (0 for none) and the name.\n"
    "  dromed select-brush N\n"
    "  dromed select-object ID\n"
    "      Selects brush N, or the brush of object ID.\n"
    "  dromed link SOURCE DEST FLAVOR [--verify]\n"
    "      Links object SOURCE to object DEST with the link flavor named. With --verify it\n"
    "      fails unless DromEd then reports \"Linked\".\n"
    "  dromed camera [--unroll] [--level]\n"
    "      Moves the camera to the selection, then unrolls and levels it as asked.\n"
    "  dromed compress\n"
    "      Renumbers DromEd's brushes without gaps.\n"
    "  dromed load FILE\n"
    "      Loads a mission file in DromEd.\n"
    "  dromed send TEXT...\n"
    "      Types TEXT (several words are joined by spaces) as one DromEd command.\n"
    "  dromed read-field NAME\n"
    "      Prints the text DromEd shows in one of its fields: StatusMessage, StatusFile,\n"
    "      BrushNumber, ObjectName, AreaName, RoomName, CaptionShowHot, CaptionReset,\n"
    "      CaptionBright, CaptionFloorMe, CaptionGroup or CaptionCompile (any letter case).\n"
    "  Every dromed command takes --platform NAME, the desktop to work on: win32 (Windows,\n"
    "  the default there) or sim (an empty simulated desktop, the default elsewhere).\n"
    "\n"
    "  --help      show this text\n"
    "  --version   print the program's name and version\n"
    "\n"
    "Exit status: 0 done, 1 the sanity check found something or DromEd answered no (\"No\n"
    "brush\", not \"Linked\"), 2 an error (bad arguments, a missing, unreadable or damaged\n"
    "file, DromEd not running, a command that could not be typed or a screen that could not\n"
    "be read).\n";

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
        {"check", "MISSION", {{"--gamesys-dir", true, false}, {"--format", true, false}}},
        {"loot", "MISSION", {{"--gamesys-dir", true, false}, {"--format", true, false}}},
        {"import",
         "MISSION",
         {{"-o", true, false},
          {"--output", true, false},
          {"--brush-ids", false, false},
          {"--kinds", true, false},
          {"--name", true, false}}},
        {"chunks", "FILE", {}},
        {"links", "MISSION",
         {{"--object", true, true}, {"--flavor", true, true}, {"--format", true, false}}},
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
    const std::filesystem::path file = ArgPath(a.Operand);
    const auto dir = a.Value("--gamesys-dir");
    const std::filesystem::path gamesysDir = dir ? ArgPath(*dir) : file.parent_path();
    const auto formatArg = a.Value("--format");
    const TReportFormat format = formatArg ? ParseReportFormat(*formatArg) : TReportFormat::Text;
    if (command.Name == "check") return CliCheck(file, gamesysDir, clock(), err, format);
    if (command.Name == "loot") return CliLoot(file, gamesysDir, err, format);
    if (command.Name == "import") {
        TCliImport import;
        if (const auto kinds = a.Value("--kinds")) import.Filter.Kinds = ParseKinds(*kinds);
        if (const auto name = a.Value("--name")) import.Filter.NameFilter = ArgText(*name);
        import.UseBrushIDs = a.Has("--brush-ids");
        if (const auto output = a.Value("-o")) import.Output = ArgPath(*output);
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
    return CliLinks(file, objects, flavors, format);
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
    return RunCli(args, out, err, TCliEnvironment{clock, {}});
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliEnvironment& environment) {
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
        TCliResult result;
        if (first == "dromed") {
            // The desktop is made only when a command needs it, and goes with this call.
            std::unique_ptr<TPlatform> owned;
            TCliPlatformSource platforms = environment.Platforms;
            if (!platforms) {
                platforms = [&owned](const std::string& name) -> TPlatform& {
                    owned = CreatePlatform(name.empty() ? DefaultPlatformName() : name);
                    return *owned;
                };
            }
            result =
                CliDromEd(std::vector<std::string>(args.begin() + 1, args.end()), platforms, err);
        } else {
            const auto command =
                std::find_if(Commands().begin(), Commands().end(),
                             [&](const TCommandDef& c) { return c.Name == first; });
            if (command == Commands().end()) {
                throw TUsageError(
                    std::string(first.starts_with('-') ? "unknown option " : "unknown command ") +
                    Quote(first));
            }
            const TParsedArgs parsed = ParseCommandArgs(*command, args);
            result = RunCommand(*command, parsed, err, environment.Clock);
        }
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
