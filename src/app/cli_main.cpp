// korvane-cli: Korvane's features for scripts and batch use.
#include "workspace/Version.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "Usage: korvane-cli [--help] [--version]\n"
                      "\n"
                      "  --help      show this text\n"
                      "  --version   print the program's name and version\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("%s\n", kv::kProductVersionText);
        return 0;
    }
    std::fprintf(stderr, "korvane-cli: unknown command \"%s\" (see korvane-cli --help)\n",
                 first.c_str());
    return 2;
}
