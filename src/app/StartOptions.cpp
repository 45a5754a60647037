#include "app/StartOptions.h"

#include <cstddef>
#include <string_view>
#include <tuple>

namespace kv {

TStartOptions ParseStartOptions(const std::vector<std::string>& arguments,
                                const std::string& defaultPlatform) {
    TStartOptions options;
    options.Platform = defaultPlatform;
    bool platformGiven = false;
    bool missionGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* target = nullptr;
        bool* given = nullptr;
        std::string_view name;
        for (const auto& [option, field, seen] :
             {std::tuple{std::string_view("--platform"), &options.Platform, &platformGiven},
              std::tuple{std::string_view("--mission"), &options.MissionFile, &missionGiven}}) {
            if (argument == option ||
                (argument.starts_with(option) && argument.size() > option.size() &&
                 argument[option.size()] == '=')) {
                target = field;
                given = seen;
                name = option;
            }
        }
        if (target == nullptr) {
            options.Remaining.push_back(argument);
            continue;
        }
        std::string value;
        if (argument.size() > name.size()) {
            value = argument.substr(name.size() + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        if (value.empty()) {
            options.Error = std::string(name) + " needs a value";
            return options;
        }
        if (*given) {
            options.Error = std::string(name) + " is given more than once";
            return options;
        }
        *given = true;
        *target = value;
    }
    return options;
}

} // namespace kv
