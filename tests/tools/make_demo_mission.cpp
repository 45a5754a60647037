// Writes the demo mission demo.mis and its gamesys demo.gam into the folder given on the
// command line, for trying korvane-cli and the mission commands of Korvane by hand.
#include "support/DemoMission.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: korvane-make-demo FOLDER\n");
        return 2;
    }
    try {
        kv::test::WriteDemoMission(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
