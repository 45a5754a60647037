// The force-directed layout of the graph. Repulsion reaches only 6 units, so an iteration
// finds the repelling pairs through a grid of cells instead of comparing every pair of nodes.
// From the same positions it finds the same pairs and gives the same forces up to rounding
// (the terms are added up in another order), and the nearly coincident pairs draw their random
// numbers in the order that comparing every pair draws them.
#include "linkpainter/Graph.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kv {
namespace {

// Repulsion ends here, and attraction stops growing here; in units of k.
constexpr double kReach = 6.0;
// Positions up to this size, also divided by k, have finite differences in units of k.
constexpr double kLargest = 1e300;
// The side of a grid cell; nodes spread thin get wider cells.
constexpr double kCellSize = kReach / 3;
// Nodes nearer than this (squared, in units of k) are pulled apart in a random direction.
constexpr double kCoincident2 = 0.01;

struct TPairDistance {
    double Dx = 0;
    double Dy = 0;
    double D2 = 0;
    double D = 0;
};

// The distance from a to b in units of k; nearly coincident nodes are pulled apart at random
// so that they get a direction.
TPairDistance PairDistance(double ax, double ay, double bx, double by, double k,
                           const TGraph& graph) {
    TPairDistance p;
    p.Dx = (bx - ax) / k;
    p.Dy = (by - ay) / k;
    p.D2 = p.Dx * p.Dx + p.Dy * p.Dy;
    if (p.D2 < kCoincident2) {
        const double r1 = graph.Random();
        const double r2 = graph.Random();
        p.Dx = r1 / 10 + 0.1;
        p.Dy = r2 / 10 + 0.1;
        p.D2 = p.Dx * p.Dx + p.Dy * p.Dy;
    }
    p.D = std::sqrt(p.D2);
    return p;
}

// The snapshot index of each node, found by address in an open-addressing table.
class TNodeIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    explicit TNodeIndex(const std::vector<TNode*>& nodes) {
        while ((std::size_t{1} << bits_) < 2 * nodes.size()) ++bits_;
        slots_.assign(std::size_t{1} << bits_, {nullptr, kNone});
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            std::size_t slot = Home(nodes[i]);
            while (slots_[slot].first != nullptr) slot = (slot + 1) & (slots_.size() - 1);
            slots_[slot] = {nodes[i], i};
        }
    }

    [[nodiscard]] std::size_t Find(const TNode* node) const {
        for (std::size_t slot = Home(node);; slot = (slot + 1) & (slots_.size() - 1)) {
            if (slots_[slot].first == node) return slots_[slot].second;
            if (slots_[slot].first == nullptr) return kNone;
        }
    }

private:
    [[nodiscard]] std::size_t Home(const TNode* node) const {
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node));
        return static_cast<std::size_t>((address * 0x9E3779B97F4A7C15u) >> (64 - bits_));
    }

    int bits_ = 4;
    std::vector<std::pair<const TNode*, std::size_t>> slots_;
};

// Positions and forces of the snapshot's nodes, by snapshot index, for one Layout call.
struct TLayoutNodes {
    std::vector<double> X, Y, ForceX, ForceY;
    std::vector<char> Pinned;
};

// The repulsion of the pair a before b in the snapshot, as every pair is treated.
void Repel(TLayoutNodes& s, std::size_t a, std::size_t b, double k, const TGraph& graph) {
    const TPairDistance p = PairDistance(s.X[a], s.Y[a], s.X[b], s.Y[b], k, graph);
    if (p.D < kReach) {
        const double f = 4 / p.D;
        s.ForceX[a] -= f * p.Dx / p.D;
        s.ForceY[a] -= f * p.Dy / p.D;
        s.ForceX[b] += f * p.Dx / p.D;
        s.ForceY[b] += f * p.Dy / p.D;
    }
}

// The nodes sorted into square cells, so that every pair nearer than 6 units lies in one cell
// or in two cells of a fixed neighbourhood. The cells are a little wider than they are taken to
// be, and wider still for far-out positions, so that rounding in the cell arithmetic can never
// part a pair that is nearer than 6 units; extra pairs only cost a comparison.
class TRepulsionGrid {
public:
    // Sorts the nodes into cells; false when some position, or position divided by k, is so
    // large (or not finite) that differences of positions could overflow.
    bool Build(const TLayoutNodes& s, double k) {
        const std::size_t n = s.X.size();
        scaledX_.resize(n);
        scaledY_.resize(n);
        double minX = 0, maxX = 0, minY = 0, maxY = 0, farthest = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double x = s.X[i] / k;
            const double y = s.Y[i] / k;
            const double largest =
                std::max({std::abs(s.X[i]), std::abs(s.Y[i]), std::abs(x), std::abs(y)});
            if (!std::isfinite(x) || !std::isfinite(y) || !(largest <= kLargest)) return false;
            scaledX_[i] = x;
            scaledY_[i] = y;
            if (i == 0) {
                minX = maxX = x;
                minY = maxY = y;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            farthest = std::max({farthest, std::abs(x), std::abs(y)});
        }

        // Fewer and wider cells when the nodes are spread thin.
        const double budget = 4.0 * static_cast<double>(n) + 64;
        double size = kCellSize;
        double width = 0;
        for (;;) {
            width = size * (1 + 1e-9) + farthest * 1e-9;
            const double columns = std::floor((maxX - minX) / width) + 1;
            const double rows = std::floor((maxY - minY) / width) + 1;
            if (columns * rows <= budget) {
                columns_ = static_cast<int>(columns);
                rows_ = static_cast<int>(rows);
                break;
            }
            size *= 2;
        }
        MakeNeighbourhood(size);

        const std::size_t cells = static_cast<std::size_t>(columns_) * rows_;
        cellStart_.assign(cells + 1, 0);
        cellOf_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const int column =
                std::min(columns_ - 1, static_cast<int>((scaledX_[i] - minX) / width));
            const int row = std::min(rows_ - 1, static_cast<int>((scaledY_[i] - minY) / width));
            cellOf_[i] = static_cast<std::size_t>(row) * columns_ + column;
            ++cellStart_[cellOf_[i] + 1];
        }
        for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
        order_.resize(n);
        X.resize(n);
        Y.resize(n);
        next_.assign(cellStart_.begin(), cellStart_.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = next_[cellOf_[i]]++;
            order_[at] = i;
            X[at] = s.X[i];
            Y[at] = s.Y[i];
        }
        ForceX.assign(n, 0.0);
        ForceY.assign(n, 0.0);
        return true;
    }

    [[nodiscard]] int Columns() const { return columns_; }
    [[nodiscard]] int Rows() const { return rows_; }
    // The position in cell order of the first node of a cell; of the next row's first cell
    // for the column after the last.
    [[nodiscard]] std::size_t CellStart(int column, int row) const {
        return cellStart_[static_cast<std::size_t>(row) * columns_ + column];
    }
    // How many columns to either side of a cell, in the row that many rows below it, can hold
    // a node nearer than the reach to one in the cell; for the rows 0, 1, ... that can.
    [[nodiscard]] const std::vector<int>& Neighbourhood() const { return neighbourhood_; }

    // The snapshot index of the node at a position in cell order.
    [[nodiscard]] std::size_t Node(std::size_t p) const { return order_[p]; }

    // Positions and repulsion forces in cell order.
    std::vector<double> X, Y, ForceX, ForceY;

private:
    // Cells whose nearest points are at least the reach apart need not be looked at.
    void MakeNeighbourhood(double size) {
        neighbourhood_.clear();
        for (int rows = 0; std::max(rows - 1, 0) * size < kReach; ++rows) {
            const double gapY = std::max(rows - 1, 0) * size;
            int columns = 0;
            for (;;) {
                const double gapX = columns * size; // to the cell columns + 1 to the side
                if (gapX * gapX + gapY * gapY >= kReach * kReach) break;
                ++columns;
            }
            neighbourhood_.push_back(columns);
        }
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<int> neighbourhood_;
    std::vector<double> scaledX_, scaledY_;
    std::vector<std::size_t> cellOf_, cellStart_, next_, order_;
};

using TPairList = std::vector<std::pair<std::size_t, std::size_t>>;

// The repulsion between the node at position p (in cell order) and those at first..last - 1.
// The pairs of (nearly) coincident nodes are only collected: they draw random numbers, which
// must come in the order of comparing every pair. The other pairs give the same forces up to
// rounding: f (dx, dy) / d with f = 4 / d is 4 (dx, dy) / d2.
template <bool UnitScale>
void RepelRange(TRepulsionGrid& grid, std::size_t p, std::size_t first, std::size_t last, double k,
                TPairList& coincident) {
    const double* const x = grid.X.data();
    const double* const y = grid.Y.data();
    double* const forceX = grid.ForceX.data();
    double* const forceY = grid.ForceY.data();
    const double px = x[p];
    const double py = y[p];
    double sumX = 0;
    double sumY = 0;
    for (std::size_t q = first; q < last; ++q) {
        double dx = x[q] - px;
        double dy = y[q] - py;
        if constexpr (!UnitScale) {
            dx /= k;
            dy /= k;
        }
        const double d2 = dx * dx + dy * dy;
        if (d2 < kCoincident2) [[unlikely]] {
            const std::size_t a = grid.Node(p);
            const std::size_t b = grid.Node(q);
            coincident.emplace_back(std::min(a, b), std::max(a, b));
            continue;
        }
        // Pairs out of reach (d2 >= 36, which for the correctly rounded square root is d >= 6)
        // come in no predictable order, so they are cleared with a mask rather than skipped
        // with a branch: their factor becomes zero.
        const double inv = 4 / d2;
        const std::uint64_t keep = 0 - static_cast<std::uint64_t>(d2 < kReach * kReach);
        const double s = std::bit_cast<double>(std::bit_cast<std::uint64_t>(inv) & keep);
        sumX -= s * dx;
        sumY -= s * dy;
        forceX[q] += s * dx;
        forceY[q] += s * dy;
    }
    forceX[p] += sumX;
    forceY[p] += sumY;
}

// Repulsion between all pairs nearer than the reach, found through the grid; the forces in
// cell order, the terms added up in another order than comparing every pair does. Cells of a
// row lie one after the other in cell order, so the neighbourhood of a cell is one range of
// positions per row: in its own row the cell and those to its right, below it those within
// reach on both sides.
template <bool UnitScale>
void RepelNearbyPairs(TRepulsionGrid& grid, double k, TPairList& coincident) {
    const std::vector<int>& neighbourhood = grid.Neighbourhood();
    const int columns = grid.Columns();
    std::vector<std::pair<std::size_t, std::size_t>> below;
    for (int row = 0; row < grid.Rows(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const std::size_t begin = grid.CellStart(column, row);
            const std::size_t end = grid.CellStart(column + 1, row);
            if (begin == end) continue;
            const std::size_t rowEnd =
                grid.CellStart(std::min(columns - 1, column + neighbourhood[0]) + 1, row);
            below.clear();
            for (std::size_t dr = 1; dr < neighbourhood.size(); ++dr) {
                const int r = row + static_cast<int>(dr);
                if (r >= grid.Rows()) break;
                const int side = neighbourhood[dr];
                const std::size_t first = grid.CellStart(std::max(0, column - side), r);
                const std::size_t last =
                    grid.CellStart(std::min(columns - 1, column + side) + 1, r);
                if (first != last) below.emplace_back(first, last);
            }
            for (std::size_t p = begin; p < end; ++p) {
                RepelRange<UnitScale>(grid, p, p + 1, rowEnd, k, coincident);
                for (const auto& [first, last] : below) {
                    RepelRange<UnitScale>(grid, p, first, last, k, coincident);
                }
            }
        }
    }
}

} // namespace

void TGraph::Layout() {
    const std::vector<TEdge*> edges = GetEdges();
    const std::vector<TNode*> nodes = GetNodes();
    const std::size_t n = nodes.size();

    TLayoutNodes s;
    s.X.resize(n);
    s.Y.resize(n);
    s.ForceX.assign(n, 0.0);
    s.ForceY.assign(n, 0.0);
    s.Pinned.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        s.X[i] = nodes[i]->X;
        s.Y[i] = nodes[i]->Y;
        s.Pinned[i] = nodes[i]->Pinned ? 1 : 0;
    }
    const TNodeIndex indexOf(nodes);

    struct TSpring {
        std::size_t From = 0;
        std::size_t To = 0;
        double Stiffness = 0;
    };
    std::vector<TSpring> springs;
    springs.reserve(edges.size());
    for (const TEdge* e : edges) {
        const std::size_t from = indexOf.Find(e->FromNode);
        const std::size_t to = indexOf.Find(e->ToNode);
        // The ends of an edge are nodes of the graph; an edge that broke that rule moves nothing.
        if (from == TNodeIndex::kNone || to == TNodeIndex::kNone) continue;
        springs.push_back({from, to, std::log(std::max(e->Weight, 1.0)) * 0.5 + 1});
    }

    const TGraphExtent fixed = LayoutExtent;
    // A fixed extent without width (or with none that is a number) gives no scale to step by;
    // the steps then keep the plain unit, and the extent still holds the nodes.
    const double fixedK = (fixed.MaxX - fixed.MinX) / 10;
    const double k = FixedExtent && fixedK > 0 && std::isfinite(fixedK) ? fixedK : 1.0;

    TRepulsionGrid grid;
    TPairList coincident;
    for (std::int32_t iteration = 0; iteration < Iterations; ++iteration) {
        if (grid.Build(s, k)) {
            coincident.clear();
            if (k == 1.0) {
                RepelNearbyPairs<true>(grid, k, coincident);
            } else {
                RepelNearbyPairs<false>(grid, k, coincident);
            }
            for (std::size_t p = 0; p < n; ++p) {
                s.ForceX[grid.Node(p)] += grid.ForceX[p];
                s.ForceY[grid.Node(p)] += grid.ForceY[p];
            }
            // Pairs in snapshot order, as comparing every pair meets them.
            std::sort(coincident.begin(), coincident.end());
            for (const auto& [a, b] : coincident) Repel(s, a, b, k, *this);
        } else {
            for (std::size_t a = 0; a < n; ++a) {
                for (std::size_t b = a + 1; b < n; ++b) Repel(s, a, b, k, *this);
            }
        }

        for (const TSpring& e : springs) {
            TPairDistance p =
                PairDistance(s.X[e.From], s.Y[e.From], s.X[e.To], s.Y[e.To], k, *this);
            if (p.D > kReach) {
                p.D = kReach;
                p.D2 = kReach * kReach;
            }
            const double f = (p.D2 - 4) / 2 * e.Stiffness;
            s.ForceX[e.From] += f * p.Dx / p.D;
            s.ForceY[e.From] += f * p.Dy / p.D;
            s.ForceX[e.To] -= f * p.Dx / p.D;
            s.ForceY[e.To] -= f * p.Dy / p.D;
        }

        for (std::size_t i = 0; i < n; ++i) {
            if (!s.Pinned[i]) {
                const double stepX = std::clamp(0.01 * s.ForceX[i], -0.5, 0.5);
                const double stepY = std::clamp(0.01 * s.ForceY[i], -0.5, 0.5);
                s.X[i] += stepX * k;
                s.Y[i] += stepY * k;
                if (FixedExtent) {
                    if (s.X[i] < fixed.MinX) s.X[i] = fixed.MinX;
                    if (s.X[i] > fixed.MaxX) s.X[i] = fixed.MaxX;
                    if (s.Y[i] < fixed.MinY) s.Y[i] = fixed.MinY;
                    if (s.Y[i] > fixed.MaxY) s.Y[i] = fixed.MaxY;
                }
            }
            s.ForceX[i] = 0;
            s.ForceY[i] = 0;
        }
    }

    for (std::size_t i = 0; i < n; ++i) {
        nodes[i]->X = s.X[i];
        nodes[i]->Y = s.Y[i];
        nodes[i]->ForceX = 0;
        nodes[i]->ForceY = 0;
    }
    if (FixedExtent) return;

    // Without nodes the bounds stay as they were; the minimum size still applies.
    TGraphExtent extent = LayoutExtent;
    for (std::size_t i = 0; i < n; ++i) {
        if (i == 0) {
            extent.MinX = extent.MaxX = s.X[i];
            extent.MinY = extent.MaxY = s.Y[i];
            continue;
        }
        extent.MinX = std::min(extent.MinX, s.X[i]);
        extent.MaxX = std::max(extent.MaxX, s.X[i]);
        extent.MinY = std::min(extent.MinY, s.Y[i]);
        extent.MaxY = std::max(extent.MaxY, s.Y[i]);
    }
    if (extent.MaxX - extent.MinX < 10) {
        const double centre = (extent.MinX + extent.MaxX) / 2;
        extent.MinX = centre - 5;
        extent.MaxX = centre + 5;
    }
    if (extent.MaxY - extent.MinY < 10) {
        const double centre = (extent.MinY + extent.MaxY) / 2;
        extent.MinY = centre - 5;
        extent.MaxY = centre + 5;
    }
    extent.MaxWeight = 0;
    for (const TEdge* e : edges) extent.MaxWeight = std::max(extent.MaxWeight, e->Weight);
    if (extent.MaxWeight == 0) extent.MaxWeight = 1.0;
    LayoutExtent = extent;
    ViewExtent = LayoutExtent;
}

} // namespace kv
