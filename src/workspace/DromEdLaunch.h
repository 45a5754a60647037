// Starting DromEd from the command line kept in the settings.
#pragma once

#include <string>
#include <string_view>

namespace kv {

// The folder DromEd is started in: the program's path up to and including its last "\", "/"
// or ":". A program path in double quotes (as paths with spaces are kept) is read without the
// quotes, and whatever follows the closing quote is left out. Empty when there is no folder.
[[nodiscard]] std::string DromEdStartDirectory(std::string_view commandLine);

// The program part of that command line: the text inside the quotes when it starts with one,
// else all of it.
[[nodiscard]] std::string_view DromEdProgram(std::string_view commandLine);

} // namespace kv
