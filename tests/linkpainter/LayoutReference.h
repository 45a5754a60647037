// The force-directed layout written as plainly as it reads, comparing every pair of nodes.
// The layout tests and the layout benchmark hold TGraph::Layout against it.
#pragma once

#include "linkpainter/Graph.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace kv::test {

inline void AllPairsLayout(TGraph& graph) {
    const std::vector<TEdge*> edges = graph.GetEdges();
    const std::vector<TNode*> nodes = graph.GetNodes();
    for (TNode* node : nodes) {
        node->ForceX = 0;
        node->ForceY = 0;
    }
    const TGraphExtent& e = graph.LayoutExtent;
    const double k = graph.FixedExtent ? (e.MaxX - e.MinX) / 10 : 1.0;

    double dx = 0, dy = 0, d2 = 0, d = 0;
    const auto distance = [&](const TNode& a, const TNode& b) {
        dx = (b.X - a.X) / k;
        dy = (b.Y - a.Y) / k;
        d2 = dx * dx + dy * dy;
        if (d2 < 0.01) {
            const double r1 = graph.Random();
            const double r2 = graph.Random();
            dx = r1 / 10 + 0.1;
            dy = r2 / 10 + 0.1;
            d2 = dx * dx + dy * dy;
        }
        d = std::sqrt(d2);
    };

    for (int iteration = 0; iteration < graph.Iterations; ++iteration) {
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            for (std::size_t j = i + 1; j < nodes.size(); ++j) {
                TNode& a = *nodes[i];
                TNode& b = *nodes[j];
                distance(a, b);
                if (d < 6) {
                    const double f = 4 / d;
                    a.ForceX -= f * dx / d;
                    a.ForceY -= f * dy / d;
                    b.ForceX += f * dx / d;
                    b.ForceY += f * dy / d;
                }
            }
        }
        for (TEdge* edge : edges) {
            TNode& a = *edge->FromNode;
            TNode& b = *edge->ToNode;
            distance(a, b);
            if (d > 6) {
                d = 6;
                d2 = 36;
            }
            const double f = (d2 - 4) / 2 * (std::log(std::max(edge->Weight, 1.0)) * 0.5 + 1);
            a.ForceX += f * dx / d;
            a.ForceY += f * dy / d;
            b.ForceX -= f * dx / d;
            b.ForceY -= f * dy / d;
        }
        for (TNode* node : nodes) {
            if (!node->Pinned) {
                const double stepX = std::clamp(0.01 * node->ForceX, -0.5, 0.5);
                const double stepY = std::clamp(0.01 * node->ForceY, -0.5, 0.5);
                node->X += stepX * k;
                node->Y += stepY * k;
                if (graph.FixedExtent) {
                    node->X = std::min(std::max(node->X, e.MinX), e.MaxX);
                    node->Y = std::min(std::max(node->Y, e.MinY), e.MaxY);
                }
            }
            node->ForceX = 0;
            node->ForceY = 0;
        }
    }
    if (graph.FixedExtent) return;

    TGraphExtent extent = graph.LayoutExtent;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TNode& node = *nodes[i];
        const bool first = i == 0;
        extent.MinX = first || node.X < extent.MinX ? node.X : extent.MinX;
        extent.MaxX = first || node.X > extent.MaxX ? node.X : extent.MaxX;
        extent.MinY = first || node.Y < extent.MinY ? node.Y : extent.MinY;
        extent.MaxY = first || node.Y > extent.MaxY ? node.Y : extent.MaxY;
    }
    for (auto [min, max] : {std::pair{&extent.MinX, &extent.MaxX}, {&extent.MinY, &extent.MaxY}}) {
        if (!(*max - *min < 10)) continue; // NaN too
        const double centre = (*min + *max) / 2;
        *min = centre - 5;
        *max = centre + 5;
    }
    extent.MaxWeight = 0;
    for (const TEdge* edge : edges) extent.MaxWeight = std::max(extent.MaxWeight, edge->Weight);
    if (extent.MaxWeight == 0) extent.MaxWeight = 1.0;
    graph.LayoutExtent = extent;
    graph.ViewExtent = graph.LayoutExtent;
}

} // namespace kv::test
