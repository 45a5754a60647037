// The report window: what copy and save produce, and how long the window lives.
#include "support/ScriptedPrompts.h"
#include "workspace/ui/ReportWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <memory>

using namespace kv;
using kv::test::TScriptedPrompts;

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

int OpenReportWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TFrmReport*>(w)) ++n;
    return n;
}

void ReleaseClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList ActionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions) texts << a->text();
    return texts;
}

} // namespace

class TestReportWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsTheTextLineByLine();
    void emptyTextShowsAnEmptyWindow();
    void menusOfferSaveCopyAndExit();
    void copyWithoutSelectionPutsWholeReportWithCrLf();
    void copyWithSelectionPutsJustTheSelection();
    void copyOfSelectionAcrossLinesUsesCrLf();
    void saveDialogAsksBeforeOverwritingTextFiles();
    void saveAddsTxtWhenNameHasNoExtension();
    void saveKeepsAGivenExtension();
    void saveReplacesAnExistingFile();
    void saveOfEmptyReportWritesEmptyFile();
    void cancelledSaveWritesNothing();
    void failedSaveShowsErrorAndWindowStaysOpen();
    void nonModalWindowStaysOpenAndIsReleasedWhenClosed();
    void severalNonModalWindowsMayBeOpen();
    void modalReportReturnsOnceClosedAndIsReleased();

private:
    std::unique_ptr<TScriptedPrompts> prompts_;
    std::unique_ptr<TDmMisc> dm_;
    std::unique_ptr<QTemporaryDir> dir_;

    // A report window kept by the test (not shown through ShowReport).
    std::unique_ptr<TFrmReport> MakeReport(const std::string& text) {
        auto w = std::make_unique<TFrmReport>(nullptr, *prompts_, *dm_);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->SetReportText(text);
        return w;
    }
    QString InDir(const QString& name) const { return QDir(dir_->path()).filePath(name); }
};

void TestReportWindow::init() {
    prompts_ = std::make_unique<TScriptedPrompts>();
    dm_ = std::make_unique<TDmMisc>();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QGuiApplication::clipboard()->clear();
}

void TestReportWindow::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TFrmReport*>(w)) w->close();
    ReleaseClosedWindows();
    QCOMPARE(prompts_->UnexpectedQuestions, 0);
}

void TestReportWindow::showsTheTextLineByLine() {
    auto w = MakeReport("Line one\r\nLine two\rLine three\nLine four");
    QCOMPARE(w->ReReport->toPlainText(), QString("Line one\nLine two\nLine three\nLine four"));
    QVERIFY(w->ReReport->isReadOnly());
    QCOMPARE(w->ReReport->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void TestReportWindow::emptyTextShowsAnEmptyWindow() {
    auto w = MakeReport("");
    QVERIFY(w->ReReport->toPlainText().isEmpty());
}

void TestReportWindow::menusOfferSaveCopyAndExit() {
    auto w = MakeReport("x");
    auto* bar = w->findChild<QMenuBar*>();
    QVERIFY(bar);
    QCOMPARE(ActionTexts(bar->actions()), QStringList({"&File"}));
    QMenu* file = bar->actions().constFirst()->menu();
    QCOMPARE(ActionTexts(file->actions()),
             QStringList({"&Save report as...", "&Copy to clipboard", "&Exit"}));
    QCOMPARE(w->ReReport->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(ActionTexts(w->ReReport->actions()),
             QStringList({"&Save report as...", "&Copy to clipboard"}));
    QVERIFY(w->findChild<QAction*>("ActSave"));
    QVERIFY(w->findChild<QAction*>("ActCopy"));
    QVERIFY(w->findChild<QAction*>("MiExit"));
}

void TestReportWindow::copyWithoutSelectionPutsWholeReportWithCrLf() {
    auto w = MakeReport("Line one\nLine two\rLine three");
    w->findChild<QAction*>("ActCopy")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("Line one\r\nLine two\r\nLine three\r\n"));
}

void TestReportWindow::copyWithSelectionPutsJustTheSelection() {
    auto w = MakeReport("Line one\nLine two");
    QTextCursor cursor = w->ReReport->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(8, QTextCursor::KeepAnchor);
    w->ReReport->setTextCursor(cursor);

    w->findChild<QAction*>("ActCopy")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("one"));
}

void TestReportWindow::copyOfSelectionAcrossLinesUsesCrLf() {
    auto w = MakeReport("Line one\nLine two");
    QTextCursor cursor = w->ReReport->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(13, QTextCursor::KeepAnchor);
    w->ReReport->setTextCursor(cursor);

    w->findChild<QAction*>("ActCopy")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("one\r\nLine"));
}

void TestReportWindow::saveDialogAsksBeforeOverwritingTextFiles() {
    auto w = MakeReport("x");
    prompts_->Files.push_back("");
    w->findChild<QAction*>("ActSave")->trigger();

    QCOMPARE(prompts_->FileDialogs.size(), std::size_t{1});
    const TFileDialogSpec& desc = prompts_->FileDialogs.front();
    QCOMPARE(desc.Title, QString("Save report as"));
    QCOMPARE(desc.Filter, QString("Text files (*.txt)|*.txt|All files (*.*)|*.*"));
    QCOMPARE(desc.DefaultExtension, QString("TXT"));
    QVERIFY(desc.ForSave);
    QVERIFY(desc.PromptOverwrite);
}

void TestReportWindow::saveAddsTxtWhenNameHasNoExtension() {
    auto w = MakeReport("Loot list\nGold \xA3 5\n\nTotal");
    prompts_->Files.push_back(InDir("loot"));
    w->findChild<QAction*>("ActSave")->trigger();

    QVERIFY(!QFile::exists(InDir("loot")));
    QCOMPARE(FileBytes(InDir("loot.TXT")), QByteArray("Loot list\r\nGold \xA3 5\r\n\r\nTotal\r\n"));
    QVERIFY(prompts_->Messages.empty());
}

void TestReportWindow::saveKeepsAGivenExtension() {
    auto w = MakeReport("a\nb");
    prompts_->Files.push_back(InDir("check.log"));
    w->findChild<QAction*>("ActSave")->trigger();

    QCOMPARE(FileBytes(InDir("check.log")), QByteArray("a\r\nb\r\n"));
    QVERIFY(!QFile::exists(InDir("check.log.TXT")));
}

void TestReportWindow::saveReplacesAnExistingFile() {
    WriteBytes(InDir("old.txt"), "an older and much longer report\r\n");
    auto w = MakeReport("new");
    prompts_->Files.push_back(InDir("old.txt"));
    w->findChild<QAction*>("ActSave")->trigger();

    QCOMPARE(FileBytes(InDir("old.txt")), QByteArray("new\r\n"));
}

void TestReportWindow::saveOfEmptyReportWritesEmptyFile() {
    WriteBytes(InDir("empty.txt"), "previous content\r\n");
    auto w = MakeReport("");
    prompts_->Files.push_back(InDir("empty.txt"));
    w->findChild<QAction*>("ActSave")->trigger();

    QCOMPARE(FileBytes(InDir("empty.txt")), QByteArray());
}

void TestReportWindow::cancelledSaveWritesNothing() {
    auto w = MakeReport("x");
    prompts_->Files.push_back("");
    w->findChild<QAction*>("ActSave")->trigger();

    QVERIFY(QDir(dir_->path()).isEmpty());
    QVERIFY(prompts_->Messages.empty());
}

void TestReportWindow::failedSaveShowsErrorAndWindowStaysOpen() {
    QVERIFY(QDir(dir_->path()).mkdir("taken.txt"));
    QPointer<TFrmReport> w = ShowReport(nullptr, *prompts_, *dm_, "Loot", "Gold", false);
    QVERIFY(w);
    prompts_->Files.push_back(InDir("taken.txt"));

    w->findChild<QAction*>("ActSave")->trigger();
    ReleaseClosedWindows();

    QCOMPARE(prompts_->Messages.size(), std::size_t{1});
    QCOMPARE(prompts_->Messages.front().Type, TMsgType::Error);
    QVERIFY2(prompts_->Messages.front().Text.contains("taken.txt"),
             qPrintable(prompts_->Messages.front().Text));
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(QFileInfo(InDir("taken.txt")).isDir());
}

void TestReportWindow::nonModalWindowStaysOpenAndIsReleasedWhenClosed() {
    QPointer<TFrmReport> w =
        ShowReport(nullptr, *prompts_, *dm_, "Sanity check", "No errors", false);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QString("Sanity check"));
    QCOMPARE(w->ReReport->toPlainText(), QString("No errors"));
    ReleaseClosedWindows();
    QVERIFY(w);

    w->findChild<QAction*>("MiExit")->trigger();
    ReleaseClosedWindows();
    QVERIFY(w.isNull());
}

void TestReportWindow::severalNonModalWindowsMayBeOpen() {
    QPointer<TFrmReport> first = ShowReport(nullptr, *prompts_, *dm_, "One", "1", false);
    QPointer<TFrmReport> second = ShowReport(nullptr, *prompts_, *dm_, "Two", "2", false);
    QCOMPARE(OpenReportWindows(), 2);

    first->close();
    ReleaseClosedWindows();
    QVERIFY(first.isNull());
    QVERIFY(second);
    QCOMPARE(OpenReportWindows(), 1);
}

void TestReportWindow::modalReportReturnsOnceClosedAndIsReleased() {
    QString caption;
    QString text;
    bool shown = false;
    QPointer<QDialog> seen;
    prompts_->Dialogs.push_back([&](QDialog& d) {
        d.show();
        shown = d.isVisible();
        seen = &d;
        caption = d.windowTitle();
        text = d.findChild<QPlainTextEdit*>("ReReport")->toPlainText();
        d.findChild<QAction*>("MiExit")->trigger();
        return d.result();
    });

    TFrmReport* returned =
        ShowReport(nullptr, *prompts_, *dm_, "Loot list", "Gold: 100\r\nSilver: 20", true);

    QVERIFY(prompts_->Dialogs.empty());
    QVERIFY(shown);
    QCOMPARE(caption, QString("Loot list"));
    QCOMPARE(text, QString("Gold: 100\nSilver: 20"));
    QCOMPARE(returned, nullptr);
    ReleaseClosedWindows();
    QVERIFY(seen.isNull());
    QCOMPARE(OpenReportWindows(), 0);
}

QTEST_MAIN(TestReportWindow)
#include "tst_ReportWindow.moc"
