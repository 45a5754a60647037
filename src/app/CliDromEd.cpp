// korvane-cli dromed ...: DromEd remote control from a shell. Each command is one of the
// engine's DromEd operations; what DromEd answered becomes the exit status.
#include "app/CliCommands.h"

#include "dromed/DromEdOps.h"
#include "dromed/DromEdWindow.h"
#include "dromed/ScreenCapture.h"
#include "dromedscreen/DromEdFields.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <optional>

namespace kv {

namespace {

struct TDromEdCommandDef {
    std::string_view Name;
    std::string_view Operands; // for messages: "SOURCE DEST FLAVOR"
    std::size_t MinOperands = 0;
    std::size_t MaxOperands = 0; // SIZE_MAX: any number
    std::vector<std::string_view> Flags;
};

const std::vector<TDromEdCommandDef>& DromEdCommands() {
    static const std::vector<TDromEdCommandDef> commands = {
        {"selection", "", 0, 0, {}},
        {"select-brush", "N", 1, 1, {}},
        {"select-object", "ID", 1, 1, {}},
        {"link", "SOURCE DEST FLAVOR", 3, 3, {"--verify"}},
        {"camera", "", 0, 0, {"--unroll", "--level"}},
        {"compress", "", 0, 0, {}},
        {"load", "FILE", 1, 1, {}},
        {"send", "TEXT", 1, SIZE_MAX, {}},
        {"read-field", "NAME", 1, 1, {}},
    };
    return commands;
}

struct TFieldName {
    std::string_view Name;
    TDromEdField Field;
};

// The fields by the names a user reads in DromEd's terms, without the "df" of the code.
constexpr TFieldName kFieldNames[] = {
    {"RoomName", dfRoomName},
    {"ObjectName", dfObjectName},
    {"AreaName", dfAreaName},
    {"StatusFile", dfStatusFile},
    {"StatusMessage", dfStatusMessage},
    {"CaptionShowHot", dfCaptionShowHot},
    {"CaptionReset", dfCaptionReset},
    {"CaptionBright", dfCaptionBright},
    {"CaptionFloorMe", dfCaptionFloorMe},
    {"CaptionGroup", dfCaptionGroup},
    {"CaptionCompile", dfCaptionCompile},
    {"BrushNumber", dfBrushNumber},
};
static_assert(std::size(kFieldNames) == kDromEdFieldCount);

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

TDromEdField ParseFieldName(const std::string& name) {
    for (const TFieldName& f : kFieldNames) {
        if (SameLetters(f.Name, name)) return f.Field;
    }
    std::string names;
    for (const TFieldName& f : kFieldNames)
        names += (names.empty() ? "" : ", ") + std::string(f.Name);
    throw TUsageError("unknown DromEd field " + Quote(name) + "; the fields are " + names);
}

struct TDromEdArgs {
    const TDromEdCommandDef* Command = nullptr;
    std::vector<std::string> Operands;
    std::vector<std::string> Flags;
    std::string Platform; // empty: the default

    [[nodiscard]] bool Has(std::string_view flag) const {
        return std::find(Flags.begin(), Flags.end(), flag) != Flags.end();
    }
};

// "-5" is an object ID, not an option.
bool IsOption(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]));
}

TDromEdArgs ParseDromEdArgs(const std::vector<std::string>& args) {
    TDromEdArgs parsed;
    std::string fullName;
    bool platformGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (parsed.Command == nullptr && !IsOption(arg)) {
            const auto command =
                std::find_if(DromEdCommands().begin(), DromEdCommands().end(),
                             [&](const TDromEdCommandDef& c) { return c.Name == arg; });
            if (command == DromEdCommands().end())
                throw TUsageError("unknown DromEd command " + Quote(arg));
            parsed.Command = &*command;
            fullName = "dromed " + arg;
            continue;
        }
        if (optionsEnded || !IsOption(arg)) {
            parsed.Operands.push_back(arg);
            continue;
        }
        if (arg == "--" && parsed.Command != nullptr) {
            optionsEnded = true;
            continue;
        }
        // --platform may stand before the command or among its arguments.
        if (arg == "--platform" || arg.starts_with("--platform=")) {
            if (platformGiven) throw TUsageError("option \"--platform\" is given more than once");
            platformGiven = true;
            if (arg.size() > 10) {
                parsed.Platform = arg.substr(11);
            } else if (i + 1 < args.size()) {
                parsed.Platform = args[++i];
            }
            if (parsed.Platform.empty()) throw TUsageError("option \"--platform\" needs a value");
            continue;
        }
        if (parsed.Command == nullptr) throw TUsageError("unknown option " + Quote(arg));
        const auto& flags = parsed.Command->Flags;
        if (std::find(flags.begin(), flags.end(), arg) == flags.end()) {
            throw TUsageError("unknown option " + Quote(arg) + " for command " + Quote(fullName));
        }
        if (parsed.Has(arg)) throw TUsageError("option " + Quote(arg) + " is given more than once");
        parsed.Flags.push_back(arg);
    }
    const TDromEdCommandDef* command = parsed.Command;
    if (command == nullptr) {
        throw TUsageError("command \"dromed\" needs a DromEd command, such as \"selection\"");
    }
    if (parsed.Operands.size() < command->MinOperands) {
        throw TUsageError("command " + Quote(fullName) + " needs " +
                          (command->MinOperands == 1
                               ? "a " + std::string(command->Operands) + " argument"
                               : "the arguments " + std::string(command->Operands)));
    }
    if (parsed.Operands.size() > command->MaxOperands) {
        throw TUsageError("unexpected argument " + Quote(parsed.Operands[command->MaxOperands]));
    }
    return parsed;
}

[[noreturn]] void NotTyped() {
    throw Exception("the command could not be typed into DromEd: a DromEd dialog would not "
                    "close or DromEd would not come to the front");
}

// Yes is success; No is DromEd's refusal, told on Err.
int Outcome(TDromEdAnswer answer, const std::string& refusal, std::ostream& err) {
    if (answer == TDromEdAnswer::NotTyped) NotTyped();
    if (answer == TDromEdAnswer::Yes) return kCliOk;
    err << "korvane-cli: " << Win1252ToUtf8(refusal) << '\n';
    return kCliFound;
}

std::string SelectionLine(const TBrushInfo& info) {
    return std::string(KindLetter(info.Kind)) + '\t' + std::to_string(info.BrushNum) + '\t' +
           std::to_string(info.ObjID) + '\t' + Win1252ToUtf8(info.Name) + '\n';
}

std::string JoinedText(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + ArgText(word);
    return text;
}

} // namespace

TCliResult CliDromEd(const std::vector<std::string>& args, const TCliPlatformSource& platforms,
                     std::ostream& err) {
    const TDromEdArgs a = ParseDromEdArgs(args);
    const std::string_view name = a.Command->Name;
    const auto& operands = a.Operands;
    // Every argument is checked before DromEd is touched.
    std::optional<std::int32_t> first;
    std::optional<std::int32_t> second;
    std::optional<TDromEdField> field;
    if (name == "select-brush") first = ParseNumber<std::int32_t>(operands[0], "brush number");
    if (name == "select-object") first = ParseNumber<std::int32_t>(operands[0], "object ID");
    if (name == "link") {
        first = ParseNumber<std::int32_t>(operands[0], "object ID");
        second = ParseNumber<std::int32_t>(operands[1], "object ID");
        if (operands[2].empty()) throw TUsageError("the link flavor is empty");
    }
    if (name == "read-field") field = ParseFieldName(operands[0]);

    TPlatform& platform = platforms(a.Platform);
    TCliResult result;
    if (name == "selection") {
        const TDromEdSelection selection = ReadDromEdSelection(platform);
        if (!selection.Warning.empty())
            err << "korvane-cli: warning: " << Win1252ToUtf8(selection.Warning) << '\n';
        result.Output = SelectionLine(selection.Info);
    } else if (name == "select-brush") {
        result.Status = Outcome(DromEdSelectAnswer(platform, false, *first),
                                "DromEd has no brush " + std::to_string(*first), err);
    } else if (name == "select-object") {
        result.Status = Outcome(DromEdSelectAnswer(platform, true, *first),
                                "DromEd has no brush for object " + std::to_string(*first), err);
    } else if (name == "link") {
        result.Status = Outcome(LinkDromEdObjectsAnswer(platform, *first, *second,
                                                        ArgText(operands[2]), a.Has("--verify")),
                                "DromEd did not answer \"Linked\"", err);
    } else if (name == "camera") {
        if (!CameraToDromEdBrush(platform, a.Has("--unroll"), a.Has("--level"))) NotTyped();
    } else if (name == "compress") {
        if (!CompressDromEdBrushIds(platform)) NotTyped();
    } else if (name == "load") {
        // DromEd runs in a folder of its own, so a relative path is made whole here.
        LoadMissionInDromEd(platform, PathToText(std::filesystem::absolute(ArgPath(operands[0]))));
    } else if (name == "send") {
        if (!SendDromEdCommand(platform, JoinedText(operands))) NotTyped();
    } else {
        // A capture of its own, so that DromEd not running is an error, not an empty text.
        const TDromEdCapture capture = CaptureDromEdClient(platform);
        result.Output = Win1252ToUtf8(ReadDromEdField(platform, *field, &capture)) + '\n';
    }
    return result;
}

} // namespace kv
