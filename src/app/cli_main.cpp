// korvane-cli: Korvane's mission file features for scripts and batch use.
#include "app/Cli.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Favourites files go to the standard output byte for byte, CR LF included.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return kv::RunCli(args, std::cout, std::cerr);
}
