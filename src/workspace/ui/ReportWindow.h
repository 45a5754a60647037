// Report windows: longer results as plain text, to read, save or copy. TDmMisc holds the
// report save dialog for the whole run.
#pragma once

#include "workspace/ui/UiPrompts.h"

#include <QDialog>

#include <string>

class QAction;
class QPlainTextEdit;

namespace kv {

class TDmMisc {
public:
    TDmMisc();
    TFileDialogSpec SaveDialogReport;
};

class TFrmReport : public QDialog {
    Q_OBJECT
public:
    TFrmReport(QWidget* owner, TUiPrompts& prompts, TDmMisc& dm);

    void SetReportText(const std::string& win1252Text);
    // The lines of the report, each followed by CR LF, as saved and copied.
    [[nodiscard]] std::string ReportTextCrLf() const;

    QPlainTextEdit* ReReport = nullptr;
    QAction* ActSave = nullptr;
    QAction* ActCopy = nullptr;
    QAction* MiExit = nullptr;

private:
    void ActSaveExecute();
    void ActCopyExecute();
    TUiPrompts& prompts_;
    TDmMisc& dm_;
};

// Opens a report window titled Caption showing Text (lines split at CR, LF or both). Modal:
// returns when the window is closed; otherwise returns at once. The window frees itself.
TFrmReport* ShowReport(QWidget* owner, TUiPrompts& prompts, TDmMisc& dm, const std::string& caption,
                       const std::string& text, bool modal);

} // namespace kv
