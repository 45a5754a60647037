// The QPainter canvas for the graph benchmark, with the offscreen Qt application its fonts
// need.
#pragma once

#include "linkpainter/Canvas.h"

#include <memory>

class QGuiApplication;

namespace kv::bench {

class TQtSession {
public:
    // Starts a Qt application on the offscreen platform unless another platform is asked for.
    TQtSession();
    ~TQtSession();
    TQtSession(const TQtSession&) = delete;
    TQtSession& operator=(const TQtSession&) = delete;

    // A canvas that paints into an image of its own.
    [[nodiscard]] std::unique_ptr<TCanvas> MakeCanvas() const;

private:
    int argc_ = 1;
    char name_[20] = "korvane_graph_bench";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace kv::bench
