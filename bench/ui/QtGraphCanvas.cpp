#include "ui/QtGraphCanvas.h"

#include "linkpainter/ui/QPainterCanvas.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace kv::bench {

TQtSession::TQtSession() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

TQtSession::~TQtSession() = default;

std::unique_ptr<TCanvas> TQtSession::MakeCanvas() const {
    return std::make_unique<TQPainterCanvas>();
}

} // namespace kv::bench
