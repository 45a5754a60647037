// Report windows: longer results as plain text, to read, save or copy. TDmMisc holds the
// report save dialog for the whole run.
#pragma once

#include "ui/UiPrompts.h"

#include <QDialog>

#include <string>
#include <vector>

class QAction;
class QMenuBar;
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

    QMenuBar* MainMenu = nullptr;
    QPlainTextEdit* ReReport = nullptr;
    QAction* ActSave = nullptr;
    QAction* ActCopy = nullptr;
    QAction* MiExit = nullptr;

private:
    void ActSaveExecute();
    void ActCopyExecute();
    TUiPrompts& prompts_;
    TDmMisc& dm_;
    // The read-only text box shows exactly these lines; keeping them keeps a trailing empty
    // line, which the text box cannot tell apart from no line at all.
    std::vector<std::string> lines_;
};

// Opens a report window titled Caption showing Text (lines split at CR, LF or both).
// Modal: returns nullptr once the window has been closed and released. Otherwise shows the
// window and returns it at once; it frees itself when the user closes it.
TFrmReport* ShowReport(QWidget* owner, TUiPrompts& prompts, TDmMisc& dm, const std::string& caption,
                       const std::string& text, bool modal);

} // namespace kv
