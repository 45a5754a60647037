#include "workspace/ui/ReportWindow.h"

#include "text/TextFile.h"
#include "text/ui/QtText.h"
#include "ui/ActionGuard.h"

#include <QAction>
#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <memory>

namespace kv {

TDmMisc::TDmMisc() {
    SaveDialogReport.Title = "Save report as";
    SaveDialogReport.Filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    SaveDialogReport.DefaultExtension = "TXT";
    SaveDialogReport.ForSave = true;
    SaveDialogReport.PromptOverwrite = true;
}

TFrmReport::TFrmReport(QWidget* owner, TUiPrompts& prompts, TDmMisc& dm)
    : QDialog(owner), prompts_(prompts), dm_(dm) {
    setObjectName("TFrmReport");
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    ActSave = new QAction("&Save report as...", this);
    ActSave->setObjectName("ActSave");
    ActCopy = new QAction("&Copy to clipboard", this);
    ActCopy->setObjectName("ActCopy");
    MiExit = new QAction("&Exit", this);
    MiExit->setObjectName("MiExit");
    connect(ActSave, &QAction::triggered, this, [this] { ActSaveExecute(); });
    connect(ActCopy, &QAction::triggered, this, [this] { ActCopyExecute(); });
    connect(MiExit, &QAction::triggered, this, &QWidget::close);

    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName("MainMenu");
    QMenu* file = MainMenu->addMenu("&File");
    file->setObjectName("MiFile");
    file->addAction(ActSave);
    file->addAction(ActCopy);
    file->addAction(MiExit);

    ReReport = new QPlainTextEdit(this);
    ReReport->setObjectName("ReReport");
    ReReport->setReadOnly(true);
    ReReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Courier New", 8);
    font.setStyleHint(QFont::Monospace);
    ReReport->setFont(font);
    ReReport->setContextMenuPolicy(Qt::ActionsContextMenu);
    ReReport->addAction(ActSave);
    ReReport->addAction(ActCopy);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu);
    layout->addWidget(ReReport);

    resize(591, 472);
    if (const QScreen* s = owner ? owner->screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void TFrmReport::SetReportText(const std::string& win1252Text) {
    lines_ = SplitTextLines(win1252Text);
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines_.size()));
    for (const auto& line : lines_) shown << ToQt(line);
    ReReport->setPlainText(shown.join(QLatin1Char('\n')));
}

std::string TFrmReport::ReportTextCrLf() const { return JoinLinesCrLf(lines_); }

void TFrmReport::ActSaveExecute() {
    RunGuarded(this, prompts_, [this] {
        const QString chosen = prompts_.ChooseFile(this, dm_.SaveDialogReport);
        if (chosen.isEmpty()) return;
        const QString file = WithDefaultExtension(chosen, dm_.SaveDialogReport.DefaultExtension);
        WriteFileAtomically(PathFromQt(file), ReportTextCrLf());
    });
}

void TFrmReport::ActCopyExecute() {
    const QTextCursor cursor = ReReport->textCursor();
    QString text;
    if (cursor.hasSelection()) {
        // Line breaks inside a selection come back as paragraph separators.
        text = cursor.selectedText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    } else {
        text = ToQt(ReportTextCrLf());
    }
    QGuiApplication::clipboard()->setText(text);
}

TFrmReport* ShowReport(QWidget* owner, TUiPrompts& prompts, TDmMisc& dm, const std::string& caption,
                       const std::string& text, bool modal) {
    auto window = std::make_unique<TFrmReport>(owner, prompts, dm);
    window->setWindowTitle(ToQt(caption));
    window->SetReportText(text);
    if (modal) {
        // Released here, however the modal run ended, rather than by closing.
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        prompts.RunModal(*window);
        return nullptr;
    }
    window->show();
    return window.release();
}

} // namespace kv
