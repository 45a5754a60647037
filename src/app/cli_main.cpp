// korvane-cli: Korvane's mission file features for scripts and batch use.
#include "app/Cli.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace {

// The arguments as UTF-8, from the wide command line: argv holds them in the ANSI code page,
// which cannot spell every file name.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return args;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        arg.resize(arg.size() - 1); // the terminating zero
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

} // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Favourites files go to the standard output byte for byte, CR LF included.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const std::vector<std::string> args = Utf8Arguments();
#else
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return kv::RunCli(args, std::cout, std::cerr);
}
