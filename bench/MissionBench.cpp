// The mission features on a large generated mission (50,000 brushes, 120,000 links) and its
// gamesys (5,000 archetypes): import, sanity check and loot list, each timed against reading
// every chunk of the same file once, and each one's peak memory against the file's size.
//
//   korvane_mission_bench [--scale=F] [--write-to=DIR] [benchmark options]
//
// --scale=F makes the mission F times the standard size; --write-to=DIR only writes the
// mission (bench.mis) and gamesys (bench.gam) into DIR, for profiling korvane-cli on them.
#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionFile.h"
#include "mission/MissionImport.h"
#include "support/SyntheticMission.h"
#include "workspace/Favorites.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef __linux__
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace kv;

test::TSyntheticSettings BenchSettings(double scale) {
    const auto scaled = [scale](int n) { return std::max(1, static_cast<int>(n * scale)); };
    test::TSyntheticSettings settings;
    settings.Seed = 2024;
    settings.Brushes = scaled(50000);
    settings.ObjectBrushes = scaled(20000);
    settings.NamedObjects = scaled(25000);
    settings.Links = scaled(120000);
    settings.Flavors = 40;
    settings.DuplicatedPairs = scaled(2000);
    settings.Archetypes = scaled(5000);
    settings.LootArchetypes = scaled(600);
    settings.OwnLootObjects = scaled(1500);
    settings.ContainsLinks = scaled(800);
    settings.DiffDestrObjects = scaled(300);
    settings.DeathStage12Objects = scaled(40);
    settings.GamesysName = "bench.gam";
    return settings;
}

// The operations, each one whole run on the file.
struct TOperation {
    const char* Name;
    double TimeAim; // at most this many times the baseline's time; 0 for the baseline
    std::function<std::int64_t(const fs::path&)> Run;
};

std::int64_t ReadEveryChunk(const fs::path& mission) {
    TMissionFile file;
    file.Open(mission);
    std::int64_t bytes = 0;
    for (const TTocEntry& entry : file.Entries()) {
        const TChunkBuffer data = file.ReadEntry(entry);
        bytes += static_cast<std::int64_t>(data.size());
        benchmark::DoNotOptimize(data.data());
    }
    return bytes;
}

std::int64_t Import(const fs::path& mission) {
    TImportOptions options;
    TFavoriteList favorites;
    TReadBrushListParams params;
    params.FileName = mission;
    params.OnBrush = [&](TBrushKind kind, std::int32_t brushNum, std::int32_t objId,
                         const std::string& name) {
        auto favorite = std::make_unique<TBrushInfo>();
        if (ImportBrush(options, kind, brushNum, objId, name, *favorite))
            favorites.push_back(std::move(favorite));
    };
    ReadBrushList(params);
    return static_cast<std::int64_t>(favorites.size());
}

std::int64_t Check(const fs::path& mission) {
    std::vector<std::string> report;
    TReadBrushListParams params;
    params.FileName = mission;
    params.Report = &report;
    ReadBrushList(params);
    return static_cast<std::int64_t>(report.size());
}

std::int64_t Loot(const fs::path& mission) {
    const TLootList list = BuildLootList(mission, mission.parent_path(), {});
    return static_cast<std::int64_t>(list.Lines.size());
}

const std::vector<TOperation>& Operations() {
    static const std::vector<TOperation> operations = {
        {"read every chunk", 0.0, ReadEveryChunk},
        {"import", 3.0, Import},
        {"check", 4.0, Check},
        {"loot", 5.0, Loot},
    };
    return operations;
}

#ifdef __linux__
std::int64_t StatusKiB(std::string_view field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field)) return std::strtoll(line.c_str() + field.size(), nullptr, 10);
    }
    return -1;
}

// Peak memory the operation adds, in bytes, measured in a child process of its own: the
// child's peak resident size during the operation minus its resident size before it.
std::optional<std::int64_t> PeakMemory(const TOperation& op, const fs::path& mission) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        close(fds[0]);
#ifdef __GLIBC__
        malloc_trim(0); // what the parent freed is not counted as the operation's
#endif
        { std::ofstream("/proc/self/clear_refs") << "5"; } // resets the peak to the current size
        const std::int64_t before = StatusKiB("VmRSS:");
        op.Run(mission);
        const std::int64_t peak = StatusKiB("VmHWM:");
        const std::int64_t grown = before < 0 || peak < 0 ? -1 : (peak - before) * 1024;
        const ssize_t written = write(fds[1], &grown, sizeof grown);
        _exit(written == sizeof grown ? 0 : 1);
    }
    close(fds[1]);
    std::int64_t grown = -1;
    const ssize_t got = read(fds[0], &grown, sizeof grown);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != sizeof grown || grown < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return grown;
}
#else
std::optional<std::int64_t> PeakMemory(const TOperation&, const fs::path&) { return std::nullopt; }
#endif

fs::path FreshFolder() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = fs::temp_directory_path() / ("korvane-bench-" + std::to_string(rd()));
        if (fs::create_directory(p)) return p;
    }
    throw std::runtime_error("cannot create a folder for the generated mission");
}

} // namespace

int main(int argc, char** argv) {
    double scale = 1.0;
    std::optional<fs::path> writeTo;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--scale=")) {
            scale = std::strtod(argv[i] + 8, nullptr);
        } else if (arg.starts_with("--write-to=")) {
            writeTo = fs::path(std::string(arg.substr(11)));
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (!(scale > 0)) {
        std::fprintf(stderr, "korvane_mission_bench: --scale needs a number above 0\n");
        return EXIT_FAILURE;
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return EXIT_FAILURE;

    const test::TSyntheticSettings settings = BenchSettings(scale);
    const fs::path folder = writeTo ? *writeTo : FreshFolder();
    fs::create_directories(folder);
    const fs::path mission = folder / "bench.mis";
    test::SaveSyntheticMission(test::MakeSyntheticMission(settings), settings, mission);
    const auto missionSize = static_cast<double>(fs::file_size(mission));
    const auto gamesysSize = static_cast<double>(fs::file_size(folder / settings.GamesysName));
    std::printf("Mission: %d brushes (%d object brushes), %d named objects, %d links in %d "
                "flavors with %d duplicated pairs; %.2f MB. Gamesys: %d archetypes; %.2f MB.\n",
                settings.Brushes, settings.ObjectBrushes, settings.NamedObjects, settings.Links,
                settings.Flavors, settings.DuplicatedPairs, missionSize / 1e6, settings.Archetypes,
                gamesysSize / 1e6);
    if (writeTo) {
        std::printf("Written to %s\n", folder.string().c_str());
        return EXIT_SUCCESS;
    }

    // Memory first, while this process has allocated little.
    std::map<std::string, std::optional<std::int64_t>> peaks;
    for (const TOperation& op : Operations()) peaks[op.Name] = PeakMemory(op, mission);

    for (const TOperation& op : Operations()) {
        benchmark::RegisterBenchmark(op.Name, [&op, mission](benchmark::State& state) {
            for (auto _ : state) benchmark::DoNotOptimize(op.Run(mission));
        })->Unit(benchmark::kMillisecond);
    }
    // Plain text, so that the table reads the same in a terminal, a file or a log.
    kv::bench::TRatioReporter reporter(benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double baseline = reporter.Time(Operations().front().Name);
    std::printf("\n%-18s %10s %8s %7s %14s %10s %7s\n", "operation", "time (ms)", "x base", "aim",
                "peak mem (MB)", "x file", "aim");
    for (const TOperation& op : Operations()) {
        const double t = reporter.Time(op.Name);
        const auto& peak = peaks[op.Name];
        char timeAim[16] = "";
        if (op.TimeAim > 0) std::snprintf(timeAim, sizeof timeAim, "<= %.0f", op.TimeAim);
        char mem[32] = "n/a";
        char memRatio[32] = "n/a";
        if (peak) {
            std::snprintf(mem, sizeof mem, "%.2f", static_cast<double>(*peak) / 1e6);
            std::snprintf(memRatio, sizeof memRatio, "%.2f",
                          static_cast<double>(*peak) / missionSize);
        }
        std::printf("%-18s %10.2f %8.2f %7s %14s %10s %7s\n", op.Name, t,
                    baseline > 0 ? t / baseline : 0.0, timeAim, mem, memRatio,
                    op.TimeAim > 0 ? "<= 3" : "");
    }
    std::printf("Times are against reading every chunk of the mission once; memory is the peak "
                "an operation adds, against the mission's file size (the loot list reads the "
                "gamesys too).\n");
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(folder, ec);
    return EXIT_SUCCESS;
}
