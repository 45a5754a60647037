// The debug window: its buttons and the log it keeps.
#include "workspace/ui/DebugWindow.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

using namespace kv;

namespace {

QAction* ClearItem(const TFrmDebug& w) {
    for (QAction* a : w.ReLog->actions())
        if (a->text() == "&Clear") return a;
    return nullptr;
}

} // namespace

class TestDebugWindow : public QObject {
    Q_OBJECT
private slots:
    void showsCaptionAndButtons();
    void debugLogAppendsLinesAtTheEnd();
    void debugLogAppendsAfterTheCursorWasMoved();
    void logCannotBeTypedInto();
    void clearEmptiesTheLog();
};

void TestDebugWindow::showsCaptionAndButtons() {
    TFrmDebug w(nullptr);
    QCOMPARE(w.windowTitle(), QString("Debug"));
    QCOMPARE(w.findChild<QPushButton*>("BtLoadMis")->text(), QString("Load mis..."));
    QCOMPARE(w.findChild<QPushButton*>("BtObjs")->text(), QString("Objects"));
    QCOMPARE(w.findChild<QPushButton*>("BtWmChar")->text(), QString("WM_CHAR"));
    QVERIFY(w.findChild<QPlainTextEdit*>("ReLog"));
}

void TestDebugWindow::debugLogAppendsLinesAtTheEnd() {
    TFrmDebug w(nullptr);
    w.DebugLog("first");
    w.DebugLog("second");
    QCOMPARE(w.ReLog->toPlainText(), QString("first\nsecond\n"));
}

void TestDebugWindow::debugLogAppendsAfterTheCursorWasMoved() {
    TFrmDebug w(nullptr);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.DebugLog("first");
    w.ReLog->moveCursor(QTextCursor::Start);
    w.DebugLog("second");
    QCOMPARE(w.ReLog->toPlainText(), QString("first\nsecond\n"));
}

void TestDebugWindow::logCannotBeTypedInto() {
    TFrmDebug w(nullptr);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.DebugLog("kept");
    QTest::keyClicks(w.ReLog, "typed");
    QTest::keyClick(w.ReLog, Qt::Key_Backspace);
    QCOMPARE(w.ReLog->toPlainText(), QString("kept\n"));
}

void TestDebugWindow::clearEmptiesTheLog() {
    TFrmDebug w(nullptr);
    w.DebugLog("one");
    w.DebugLog("two");
    QAction* clear = ClearItem(w);
    QVERIFY(clear);
    QCOMPARE(w.ReLog->contextMenuPolicy(), Qt::ActionsContextMenu);

    clear->trigger();
    QVERIFY(w.ReLog->toPlainText().isEmpty());

    w.DebugLog("three");
    QCOMPARE(w.ReLog->toPlainText(), QString("three\n"));
}

QTEST_MAIN(TestDebugWindow)
#include "tst_DebugWindow.moc"
