// Repeatable random graphs for the layout tests and the layout benchmark: nodes spread over a
// square (optionally snapped to a lattice, some put onto one point or next to another, some
// pinned) and edges of random weight between random nodes, loops included.
#pragma once

#include "linkpainter/Graph.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kv::test {

// Uniform numbers in [0, 1) from a seed, the same on every platform.
inline TRandomSource SeededRandom(std::uint64_t seed) {
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return static_cast<double>((*engine)() >> 11) * 0x1.0p-53; };
}

struct TRandomGraphOptions {
    int Nodes = 100;
    int Edges = 200;
    std::uint64_t Seed = 1;
    double Spread = 20;       // side of the square the nodes are spread over
    double Offset = 0;        // its lower corner, on both axes
    double Lattice = 0;       // when positive, positions are multiples of it
    int CoincidentGroups = 0; // groups of two to five nodes put onto one point
    int NearPairs = 0;        // nodes put 0.02 to 0.09 units from another node
    double PinnedShare = 0;   // share of pinned nodes
    double MaxEdgeWeight = 4; // weights are uniform in [0, MaxEdgeWeight)
};

// Builds the same graph, node order and node positions for the same options. The graph's own
// random source is seeded from the options too, so two graphs built alike draw alike.
inline void BuildRandomGraph(TGraph& graph, const TRandomGraphOptions& o) {
    std::mt19937_64 rng(o.Seed * 7919 + 17);
    const auto uniform = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    const auto pick = [&rng](int count) { return static_cast<int>(rng() % count); };

    std::vector<TNode*> nodes;
    for (int i = 0; i < o.Nodes; ++i) {
        TNode* node = graph.AddNode(std::string("N").append(std::to_string(i)), "");
        node->X = o.Offset + uniform() * o.Spread;
        node->Y = o.Offset + uniform() * o.Spread;
        if (o.Lattice > 0) {
            node->X = std::round(node->X / o.Lattice) * o.Lattice;
            node->Y = std::round(node->Y / o.Lattice) * o.Lattice;
        }
        node->Pinned = uniform() < o.PinnedShare;
        nodes.push_back(node);
    }
    for (int g = 0; g < o.CoincidentGroups && o.Nodes > 0; ++g) {
        const TNode* target = nodes[static_cast<std::size_t>(pick(o.Nodes))];
        const int size = 2 + pick(4);
        for (int m = 0; m < size; ++m) {
            TNode* node = nodes[static_cast<std::size_t>(pick(o.Nodes))];
            node->X = target->X;
            node->Y = target->Y;
        }
    }
    for (int m = 0; m < o.NearPairs && o.Nodes > 0; ++m) {
        const TNode* target = nodes[static_cast<std::size_t>(pick(o.Nodes))];
        TNode* node = nodes[static_cast<std::size_t>(pick(o.Nodes))];
        const double angle = uniform() * 6.283185307179586;
        const double distance = 0.02 + uniform() * 0.07;
        node->X = target->X + distance * std::cos(angle);
        node->Y = target->Y + distance * std::sin(angle);
    }
    for (int e = 0; e < o.Edges && o.Nodes > 0; ++e) {
        TNode* from = nodes[static_cast<std::size_t>(pick(o.Nodes))];
        TNode* to = e % 40 == 7 ? from : nodes[static_cast<std::size_t>(pick(o.Nodes))];
        graph.AddEdge(from, to, uniform() * o.MaxEdgeWeight);
    }
}

} // namespace kv::test
