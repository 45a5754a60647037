#include "workspace/ui/DebugWindow.h"

#include "text/ui/QtText.h"

#include <QAction>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kv {

TFrmDebug::TFrmDebug(QWidget* owner) : QDialog(owner) {
    setObjectName("TFrmDebug");
    setWindowFlags(Qt::Window);
    setWindowTitle("Debug");

    BtLoadMis = new QPushButton("Load mis...", this);
    BtLoadMis->setObjectName("BtLoadMis");
    BtObjs = new QPushButton("Objects", this);
    BtObjs->setObjectName("BtObjs");
    BtWmChar = new QPushButton("WM_CHAR", this);
    BtWmChar->setObjectName("BtWmChar");
    for (QPushButton* b : {BtLoadMis, BtObjs, BtWmChar}) b->setAutoDefault(false);
    // "Load mis..." and "Objects" are placeholders for experiments and do nothing.
    // BtWmChar is wired when the platform layer (window lookup and messages) arrives.

    ReLog = new QPlainTextEdit(this);
    ReLog->setObjectName("ReLog");
    ReLog->setReadOnly(true);
    ReLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Courier New", 8);
    font.setStyleHint(QFont::Monospace);
    ReLog->setFont(font);
    MiClear = new QAction("&Clear", this);
    MiClear->setObjectName("MiClear");
    connect(MiClear, &QAction::triggered, ReLog, &QPlainTextEdit::clear);
    ReLog->setContextMenuPolicy(Qt::ActionsContextMenu);
    ReLog->addAction(MiClear);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtLoadMis);
    buttons->addWidget(BtObjs);
    buttons->addWidget(BtWmChar);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(ReLog, 1);

    resize(740, 602);
}

void TFrmDebug::DebugLog(const std::string& text) {
    // Line breaks of the engine's text become paragraph breaks of the log.
    QString line = ToQt(text);
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor end(ReLog->document());
    end.movePosition(QTextCursor::End);
    end.insertText(line + QLatin1Char('\n'));
}

} // namespace kv
