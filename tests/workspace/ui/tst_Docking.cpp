// Docking the main window beside DromEd's window, and the global hotkeys.
#include "support/MainWindowFixture.h"
#include "workspace/Hotkeys.h"

#include <QTest>
#include <QTimer>

using kv::test::TMainWindowFixture;
using namespace kv;
using sim::TSimEventKind;

namespace {

sim::TSimMission Mission() {
    sim::TSimMission m;
    m.FileName = "miss1.mis";
    m.Brushes = {{3, bkTerrain, 0, ""}, {12, bkObject, 345, "Guard"}};
    return m;
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// A main window, DromEd at (100, 50, 900, 700) and a 1280 by 1024 work area at the origin.
struct TFixture : TMainWindowFixture {
    sim::TSimDromEd* D = nullptr;
    TFixture() {
        Settings.Dock = 0;
        Win->UpdateDocking(true);
        D = &StartDromEd(Mission());
        Desktop.SetWorkArea({0, 0, 1280, 1024});
        PlaceDromEd({100, 50, 900, 700});
        Desktop.ClearEvents();
    }
    void PlaceDromEd(const TRect& r) {
        Desktop.MoveWindow(D->MainWindow(), r.Left, r.Top, r.Width(), r.Height(), true);
    }
    TRect DromEdRect() {
        TRect r;
        Desktop.GetWindowRect(D->MainWindow(), r);
        return r;
    }
    std::vector<sim::TSimEvent> MovesOf(THwnd window) const {
        std::vector<sim::TSimEvent> moves;
        for (const auto& e : Desktop.EventsOf(TSimEventKind::Move)) {
            if (e.Window == window) moves.push_back(e);
        }
        return moves;
    }
};

} // namespace

class TestDocking : public QObject {
    Q_OBJECT
private slots:
    void docksBesideDromEd_data() {
        QTest::addColumn<QAction * TFrmKvMain::*>("item");
        QTest::addColumn<bool>("push");
        QTest::addColumn<QRect>("dromEd");
        QTest::addColumn<QRect>("pushedTo"); // empty: DromEd stays
        QTest::addColumn<QRect>("main");     // empty: the main window stays
        QTest::newRow("right") << &TFrmKvMain::MiDockRight << false << QRect(100, 50, 800, 650)
                               << QRect() << QRect(900, 50, 380, 650);
        QTest::newRow("right with push")
            << &TFrmKvMain::MiDockRight << true << QRect(100, 50, 800, 650)
            << QRect(0, 50, 800, 650) << QRect(800, 50, 480, 650);
        QTest::newRow("full screen")
            << &TFrmKvMain::MiDockRight << true << QRect(0, 0, 1280, 1024) << QRect() << QRect();
        QTest::newRow("20 pixels") << &TFrmKvMain::MiDockRight << false << QRect(0, 0, 1260, 1024)
                                   << QRect() << QRect(1260, 0, 50, 1024);
        QTest::newRow("left with push")
            << &TFrmKvMain::MiDockLeft << true << QRect(300, 100, 700, 700)
            << QRect(580, 100, 700, 700) << QRect(0, 100, 580, 700);
        QTest::newRow("top") << &TFrmKvMain::MiDockTop << false << QRect(100, 200, 800, 600)
                             << QRect() << QRect(100, 0, 800, 200);
        QTest::newRow("bottom with push")
            << &TFrmKvMain::MiDockBottom << true << QRect(100, 200, 800, 600)
            << QRect(100, 0, 800, 600) << QRect(100, 600, 800, 424);
    }
    void docksBesideDromEd() {
        QFETCH(QAction * TFrmKvMain::*, item);
        QFETCH(bool, push);
        QFETCH(QRect, dromEd);
        QFETCH(QRect, pushedTo);
        QFETCH(QRect, main);
        TFixture f;
        f.PlaceDromEd({dromEd.left(), dromEd.top(), dromEd.right() + 1, dromEd.bottom() + 1});
        f.Desktop.ClearEvents();
        Settings.Push = push;
        const QRect before = f.Win->frameGeometry();
        (f.Win.get()->*item)->trigger();
        QVERIFY((f.Win.get()->*item)->isChecked());
        QCOMPARE(ToQRect(f.DromEdRect()), pushedTo.isNull() ? dromEd : pushedTo);
        QCOMPARE(f.MovesOf(f.D->MainWindow()).size(), std::size_t{pushedTo.isNull() ? 0u : 1u});
        QTRY_COMPARE(f.Win->frameGeometry(), main.isNull() ? before : main);
        if (!main.isNull()) QCOMPARE(ToQRect(f.MovesOf(f.Own).back().Rect), main);
        QVERIFY(f.Win->TimerDock->isActive());
        QCOMPARE(f.Win->TimerDock->interval(), 1000);
    }

    void followsDromEdOnlyWhenItChanged() {
        TFixture f;
        Settings.Push = false;
        f.Win->MiDockRight->trigger();
        QTRY_COMPARE(f.Win->frameGeometry(), QRect(900, 50, 380, 650));
        QCOMPARE(f.Win->LastDromEdRect(), (TRect{100, 50, 900, 700}));

        // The user moves the main window; a tick with DromEd unchanged leaves it there.
        f.Win->move(20, 30);
        QTRY_COMPARE(f.Win->frameGeometry().topLeft(), QPoint(20, 30));
        f.Desktop.ClearEvents();
        f.Win->UpdateDocking(false);
        QVERIFY(f.Desktop.EventsOf(TSimEventKind::Move).empty());
        QCOMPARE(f.Win->frameGeometry().topLeft(), QPoint(20, 30));

        // Minimised DromEd moves nothing either.
        f.D->Minimise();
        f.Win->UpdateDocking(true);
        QVERIFY(f.Desktop.EventsOf(TSimEventKind::Move).empty());
        f.D->Restore();

        // DromEd moves: the timer brings the main window along.
        f.PlaceDromEd({200, 100, 1000, 700});
        QTRY_COMPARE(f.Win->frameGeometry(), QRect(1000, 100, 280, 600));

        // Undocked: the timer stops.
        f.Win->MiDockUndock->trigger();
        QVERIFY(!f.Win->TimerDock->isActive());
        QCOMPARE(Settings.Dock, 0);
        f.Win->MiPush->trigger();
        QCOMPARE(Settings.Push, true);
        QVERIFY(f.Win->MiPush->isChecked());
    }

    void registersHotkeys_data() {
        QTest::addColumn<int>("tog");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("togRegistered");
        const QString taken = "Failed to register hotkey Alt+S for selecting DromEd selection";
        const QString add = "Hotkey Alt+A registered for adding DromEd selection";
        QTest::newRow("function key")
            << 0x8070
            << QStringList{"Hotkey Alt+F1 registered for switching between DromEd/Korvane", taken,
                           add}
            << true;
        QTest::newRow("cleared") << 0 << QStringList{taken, add} << false;
    }
    void registersHotkeys() {
        QFETCH(int, tog);
        QFETCH(QStringList, log);
        QFETCH(bool, togRegistered);
        TFixture f;
        f.Desktop.TakeHotKeyElsewhere(win::MOD_ALT, 'S');
        Settings.HkTog = static_cast<std::uint16_t>(tog);
        f.Win->ApplySettings();
        QCOMPARE(f.LogLines(), log);
        QVERIFY(f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
        QVERIFY(!f.Desktop.IsHotKeyRegistered(kHotkeySelId));
        QCOMPARE(f.Desktop.IsHotKeyRegistered(kHotkeyTogId), togRegistered);
        QCOMPARE(f.Win->RegisteredHkSel(), std::uint16_t{0});
        QCOMPARE(f.Win->RegisteredHkTog(), static_cast<std::uint16_t>(tog));
        // The function key itself, not the key that types "p".
        QCOMPARE(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1), togRegistered);
        QVERIFY(!f.Desktop.PressHotKey(win::MOD_ALT, 'P'));
        f.Win->UnregisterHotkeys();
        QVERIFY(!f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
    }

    void hotkeysRunTheirActions() {
        TFixture f;
        Settings.HkTog = 0x8070; // Alt+F1
        f.Win->ApplySettings();
        f.D->Select(12);
        f.Desktop.SetForegroundWindow(f.Own);
        QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, 'A'));
        QCOMPARE(f.RowCount(), 1);
        QCOMPARE(f.Row(0)->text(2), QString("345"));
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.D->MainWindow());
        f.Win->LvFavs->clearSelection();
        QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, 'S'));
        QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 12);

        // Switching: from DromEd to the program and back.
        f.Desktop.SetForegroundWindow(f.D->MainWindow());
        QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1));
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.Own);
        QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1));
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.D->MainWindow());
    }
};

QTEST_MAIN(TestDocking)
#include "tst_Docking.moc"
