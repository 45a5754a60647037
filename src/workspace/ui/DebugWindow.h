// The debug window of the "-debug" switch: a log and a few buttons for experiments.
#pragma once

#include <QDialog>

#include <string>

class QAction;
class QPlainTextEdit;
class QPushButton;

namespace kv {

class TFrmDebug : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDebug(QWidget* owner);

    // Appends Text and a line break at the end of the debug log.
    void DebugLog(const std::string& text);

    QPushButton* BtLoadMis = nullptr;
    QPushButton* BtObjs = nullptr;
    QPushButton* BtWmChar = nullptr;
    QPlainTextEdit* ReLog = nullptr;
    QAction* MiClear = nullptr;
};

} // namespace kv
