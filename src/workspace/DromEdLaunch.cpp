#include "workspace/DromEdLaunch.h"

namespace kv {

std::string_view DromEdProgram(std::string_view commandLine) {
    std::string_view program = commandLine;
    if (!program.empty() && program.front() == '"') {
        program.remove_prefix(1);
        const std::size_t close = program.find('"');
        if (close != std::string_view::npos) program = program.substr(0, close);
    }
    return program;
}

std::string DromEdStartDirectory(std::string_view commandLine) {
    const std::string_view program = DromEdProgram(commandLine);
    const std::size_t last = program.find_last_of("\\/:");
    if (last == std::string_view::npos) return {};
    return std::string(program.substr(0, last + 1));
}

} // namespace kv
