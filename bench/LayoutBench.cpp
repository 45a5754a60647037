// One iteration of the graph layout on 1,000 nodes and 2,000 edges, against the same iteration
// comparing every pair of nodes.
#include "linkpainter/Graph.h"
#include "linkpainter/LayoutReference.h"
#include "linkpainter/RandomGraph.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kv;

constexpr std::uint64_t kSeed = 2024;

// Nodes spread at about the density the layout settles at, then settled for a while, so that
// the measured iteration sees a graph as the Link Painter shows it.
std::unique_ptr<TGraph> SettledGraph() {
    auto graph = std::make_unique<TGraph>(test::SeededRandom(kSeed));
    test::TRandomGraphOptions o;
    o.Nodes = 1000;
    o.Edges = 2000;
    o.Seed = kSeed;
    o.Spread = 64;
    o.MaxEdgeWeight = 3;
    test::BuildRandomGraph(*graph, o);
    graph->Iterations = 100;
    graph->Layout();
    graph->Iterations = 1;
    return graph;
}

// The two ways give the same positions, or the comparison means nothing.
bool SameIteration() {
    const auto fast = SettledGraph();
    const auto allPairs = SettledGraph();
    fast->Layout();
    test::AllPairsLayout(*allPairs);
    const std::vector<TNode*> a = fast->GetNodes();
    const std::vector<TNode*> b = allPairs->GetNodes();
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i]->X - b[i]->X) > 1e-9 || std::abs(a[i]->Y - b[i]->Y) > 1e-9) return false;
    }
    return true;
}

void BM_LayoutIteration(benchmark::State& state) {
    if (!SameIteration()) {
        state.SkipWithError("the layout differs from comparing every pair");
        return;
    }
    const auto graph = SettledGraph();
    for (auto _ : state) {
        graph->Layout();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LayoutIteration)->Unit(benchmark::kMicrosecond);

// The baseline: every pair of nodes compared.
void BM_AllPairsIteration(benchmark::State& state) {
    const auto graph = SettledGraph();
    for (auto _ : state) {
        test::AllPairsLayout(*graph);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AllPairsIteration)->Unit(benchmark::kMicrosecond);

// Shows the runs as usual and keeps the processor time of each for the ratio: the median
// over --benchmark_repetitions, which other programs running meanwhile disturb least.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration) {
                times_[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
            } else if (run.aggregate_name == "median") {
                times_[run.run_name.function_name] = {run.GetAdjustedCPUTime()};
            }
        }
    }
    [[nodiscard]] double Time(const std::string& name) const {
        const auto it = times_.find(name);
        if (it == times_.end()) return 0.0;
        std::vector<double> times = it->second;
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double layout = reporter.Time("BM_LayoutIteration");
    const double allPairs = reporter.Time("BM_AllPairsIteration");
    if (layout > 0 && allPairs > 0) {
        std::printf("A layout iteration is %.1f times as fast as comparing every pair\n",
                    allPairs / layout);
    }
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
