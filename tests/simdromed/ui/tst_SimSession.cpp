// korvane's start on the simulated desktop: DromEd comes up with the mission, loads missions
// typed as load_file, ends with its window, and "Start DromEd" brings it back with the same
// mission, once; a mission that cannot be read leaves DromEd empty with a note saying why.
#include "app/SimSession.h"

#include "simdromed/ui/SimDromEdWindow.h"
#include "support/DemoMission.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace kv;

namespace {

bool StartDromEdProcess(sim::TSimDesktop& desktop) {
    TProcessInfo info;
    const bool started = desktop.CreateProcess("dromed.exe", "", 0, info);
    if (info.Thread != 0) desktop.CloseHandle(info.Thread);
    if (info.Process != 0) desktop.CloseHandle(info.Process);
    return started;
}

void Type(QWidget* target, const QString& text) {
    for (const QChar ch : text) QTest::keyClick(target, ch.toLatin1());
}

} // namespace

class TstSimSession : public QObject {
    Q_OBJECT
private slots:
    void dromEdStartsLoadsEndsAndStartsAgain() {
        QTemporaryDir dir;
        test::WriteDemoMission(dir.path().toStdString());
        const std::filesystem::path demo = dir.filePath("demo.mis").toStdString();
        TSimSession session({}, demo);
        session.StartDromEd();
        TFrmSimDromEd* first = session.DromEdWindow();
        QVERIFY(first != nullptr && session.DromEdRunning());
        const QPointer<TFrmSimDromEd> firstAlive = first;
        sim::TSimDromEd* dromEd = first->DromEd();
        QVERIFY(dromEd != nullptr);
        QVERIFY(session.Notes.empty());
        QCOMPARE(first->windowTitle(), QString("DromEd - demo.mis (simulated)"));
        QCOMPARE(first->LvBrushes->topLevelItemCount(), 24);

        // load_file of a file that is not there: DromEd says so and keeps nothing of it.
        QTest::keyClick(first->Picture, Qt::Key_Escape);
        Type(first->Picture, ":load_file \"" + dir.filePath("gone.mis") + "\"");
        QTest::keyClick(first->Picture, Qt::Key_Return);
        QVERIFY(dromEd->StatusMessage().starts_with("Could not load "));
        QTest::keyClick(first->Picture, Qt::Key_Escape);
        Type(first->Picture, ":load_file \"" + dir.filePath("demo.mis") + "\"");
        QTest::keyClick(first->Picture, Qt::Key_Return);
        QCOMPARE(dromEd->StatusMessage(), std::string("Loaded"));
        QCOMPARE(dromEd->Mission().Brushes.size(), std::size_t{24});

        // "Start DromEd" while it runs starts no second one.
        QVERIFY(StartDromEdProcess(session.Desktop()));
        QCOMPARE(session.DromEdWindow(), first);

        first->close();
        QVERIFY(!session.DromEdRunning());
        QCOMPARE(session.Desktop().FindWindow(sim::kDromEdWindowClass), THwnd{0});
        QTRY_VERIFY(firstAlive.isNull());

        QVERIFY(StartDromEdProcess(session.Desktop()));
        QVERIFY(session.DromEdRunning());
        TFrmSimDromEd* second = session.DromEdWindow();
        QVERIFY(second != nullptr);
        sim::TSimDromEd* secondDromEd = second->DromEd();
        QVERIFY(secondDromEd != nullptr);
        QCOMPARE(secondDromEd->Mission().FileName, std::string("demo.mis"));
        QCOMPARE(session.Desktop().FindWindow(sim::kDromEdWindowClass), secondDromEd->MainWindow());
    }

    void unreadableMissionLeavesDromEdEmptyWithANote() {
        QTemporaryDir dir;
        TSimSession session(dir.filePath("nothere.mis").toStdString(), {});
        session.StartDromEd();
        QVERIFY(session.DromEdRunning());
        TFrmSimDromEd* window = session.DromEdWindow();
        QVERIFY(window != nullptr && window->DromEd() != nullptr);
        QVERIFY(window->DromEd()->Mission().Brushes.empty());
        QCOMPARE(session.Notes.size(), std::size_t{1});
        QVERIFY(session.Notes.front().starts_with("The simulated DromEd starts without a mission"));
        QVERIFY(session.Notes.front().find("nothere.mis") != std::string::npos);
    }

    void anotherWindowGetsASimulatedWindowThatGoesWithIt() {
        TSimSession session({}, {});
        auto* window = new QWidget();
        window->setWindowTitle("Korvane Link Painter");
        const THwnd handle = session.AttachWindow(window);
        QVERIFY(handle != 0 && handle != session.OwnWindow());
        QCOMPARE(session.Desktop().FindWindow("QWidget"), handle);
        QCOMPARE(session.Desktop().GetWindowText(handle, 64), std::string("Korvane Link Painter"));
        delete window;
        QVERIFY(!session.Desktop().IsWindow(handle));
    }
};

QTEST_MAIN(TstSimSession)
#include "tst_SimSession.moc"
