// The settings: docking the main window beside DromEd's window, the global hotkeys, and the
// settings dialog with its controls, hot-key controls, browsing for DromEd and its command.
#include "support/MainWindowFixture.h"
#include "workspace/Hotkeys.h"
#include "workspace/ui/HotKeyEdit.h"
#include "workspace/ui/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using kv::test::TMainWindowFixture;
using kv::test::TScriptedPrompts;
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
    // The rectangles themselves are the docking rules' own table; here they reach the windows.
    // Docking at the right without a push is followed below.
    void docksBesideDromEd() {
        const struct {
            QAction* TFrmKvMain::*Item;
            QRect DromEd, PushedTo, Main; // empty: DromEd or the main window stays
        } cases[] = {{&TFrmKvMain::MiDockRight, {0, 0, 1280, 1024}, {}, {}},
                     {&TFrmKvMain::MiDockBottom,
                      {100, 200, 800, 600},
                      {100, 0, 800, 600},
                      {100, 600, 800, 424}}};
        for (const auto& [item, dromEd, pushedTo, main] : cases) {
            TFixture f;
            f.PlaceDromEd({dromEd.left(), dromEd.top(), dromEd.right() + 1, dromEd.bottom() + 1});
            f.Desktop.ClearEvents();
            Settings.Push = true;
            const QRect before = f.Win->frameGeometry();
            (f.Win.get()->*item)->trigger();
            QVERIFY((f.Win.get()->*item)->isChecked());
            QCOMPARE(ToQRect(f.DromEdRect()), pushedTo.isNull() ? dromEd : pushedTo);
            QCOMPARE(f.MovesOf(f.D->MainWindow()).size(), std::size_t{pushedTo.isNull() ? 0u : 1u});
            QTRY_COMPARE(f.Win->frameGeometry(), main.isNull() ? before : main);
            if (!main.isNull()) QCOMPARE(ToQRect(f.MovesOf(f.Own).back().Rect), main);
        }
    }

    void followsDromEdOnlyWhenItChanged() {
        TFixture f;
        Settings.Push = false;
        f.Win->MiDockRight->trigger();
        QTRY_COMPARE(f.Win->frameGeometry(), QRect(900, 50, 380, 650));
        QCOMPARE(f.Win->LastDromEdRect(), (TRect{100, 50, 900, 700}));
        QVERIFY(f.Win->TimerDock->isActive());
        QCOMPARE(f.Win->TimerDock->interval(), 1000);

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
        QVERIFY(f.Win->MiDockUndock->isChecked() && !f.Win->MiDockRight->isChecked());
        f.Win->MiPush->trigger();
        QCOMPARE(Settings.Push, true);
        QVERIFY(f.Win->MiPush->isChecked());
        // Closing stores what the menu set.
        QVERIFY(f.Win->close());
        TSettings stored;
        LoadSettings(stored, PathFromQt(f.Path("korvane.ini")));
        QCOMPARE(stored.Dock, 0);
        QVERIFY(stored.Push);
    }

    void registersHotkeys() {
        const QStringList log = {"Hotkey Alt+F1 registered for switching between DromEd/Korvane",
                                 "Failed to register hotkey Alt+S for selecting DromEd selection",
                                 "Hotkey Alt+A registered for adding DromEd selection"};
        for (const bool togRegistered : {true, false}) {
            const std::uint16_t hkTog = togRegistered ? 0x8070 : 0;
            TFixture f;
            f.Desktop.TakeHotKeyElsewhere(win::MOD_ALT, 'S');
            Settings.HkTog = hkTog;
            f.Win->ApplySettings();
            QCOMPARE(f.LogLines(), log.mid(togRegistered ? 0 : 1));
            QVERIFY(f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
            QVERIFY(!f.Desktop.IsHotKeyRegistered(kHotkeySelId));
            QCOMPARE(f.Desktop.IsHotKeyRegistered(kHotkeyTogId), togRegistered);
            QCOMPARE(f.Win->RegisteredHkSel(), std::uint16_t{0});
            QCOMPARE(f.Win->RegisteredHkTog(), hkTog);
            // The function key itself, not the key that types "p".
            QCOMPARE(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1), togRegistered);
            QVERIFY(!f.Desktop.PressHotKey(win::MOD_ALT, 'P'));
            f.Win->UnregisterHotkeys();
            QVERIFY(!f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
        }
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

    void showsTheSettings() {
        TScriptedPrompts prompts;
        TSettings s;
        s.HkSel = 0;
        s.MisBNum = true;
        s.DromEdPath = R"("C:\Program Files\DromEd.exe")";
        TFrmKvSettings dialog(nullptr, prompts, s);
        QStringList seen = {dialog.windowTitle(), dialog.PageControl1->tabText(0),
                            dialog.PageControl1->tabText(1),
                            QString::number(dialog.PageControl1->currentIndex()),
                            dialog.HkAdd->text(), dialog.HkSel->text(), dialog.EdDromEdPath->text(),
                            dialog.ComboDock->currentText()};
        for (const char* name : {"CbPush", "CbMisCheck", "CbDromEdLoPri", "CbDromEdAutostart",
                                 "CbMisBrushNum", "CbSelObjByBrushNum", "CbCompressBrushNum"}) {
            const auto* box = dialog.findChild<QCheckBox*>(name);
            seen << (box ? box->text() + (box->isChecked() ? "+" : "") : QString(name));
        }
        QCOMPARE(seen, (QStringList{
                           "Korvane Settings", "General", "Advanced", "0", "Alt+A", "None",
                           R"("C:\Program Files\DromEd.exe")", "at right",
                           "and push DromEd to screen edge+",
                           "Do a sanity check when loading mission files+",
                           "Lower DromEd's process priority+",
                           "At startup, automaticall start DromEd if it isn't already running+",
                           "Use brush numbers from mission file (default: OFF)+",
                           "Select objects by brush number (default: OFF)",
                           "Compress brush numbers if brush cannot be found (default: ON)+"}));
        QCOMPARE(dialog.CbDromEdLoPri->toolTip(),
                 QString("Set priority to below normal (on Win2000,XP,...) or to idle (Win9x,NT)"));
        QCOMPARE(dialog.Values(), s); // nothing changed, nothing different
    }

    void hotKeyControlAndBrowsing() {
        TScriptedPrompts prompts;
        TFrmKvSettings dialog(nullptr, prompts, TSettings{});
        THotKeyEdit* edit = dialog.HkTog;
        const struct {
            Qt::Key Key;
            Qt::KeyboardModifiers Mods;
            std::uint16_t Value;
            const char* Text;
        } presses[] = {
            {Qt::Key_F1, Qt::AltModifier, 0x8070, "Alt+F1"},
            {Qt::Key_B, Qt::NoModifier, 0, "None"}, // no modifier: no hotkey
            {Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier, 0x6035, "Shift+Ctrl+5"},
            {Qt::Key_F12, Qt::ControlModifier, 0x407B, "Ctrl+F12"},
            {Qt::Key_Exclam, Qt::ShiftModifier | Qt::AltModifier, 0xA031, "Shift+Alt+1"},
        };
        for (const auto& p : presses) {
            QTest::keyClick(edit, p.Key, p.Mods);
            QCOMPARE(edit->HotKey(), p.Value);
            QCOMPARE(edit->text(), QString(p.Text));
        }
        dialog.BtClearTog->click();
        QCOMPARE(edit->HotKey(), std::uint16_t{0});
        QTest::keyClick(dialog.HkAdd, Qt::Key_Q, Qt::AltModifier);
        dialog.BtClrAdd->click();
        QCOMPARE(dialog.Values().HkAdd, std::uint16_t{0});
        QCOMPARE(dialog.Values().HkSel, std::uint16_t{0x8053});
        // Browsing for DromEd quotes paths with spaces.
        prompts.Files = {"/games/Thief Gold/DromEd.exe", "/games/thief2/DromEd.exe", ""};
        dialog.BtDromEdPath->click();
        QCOMPARE(dialog.EdDromEdPath->text(), QString(R"("/games/Thief Gold/DromEd.exe")"));
        dialog.BtDromEdPath->click();
        QCOMPARE(dialog.EdDromEdPath->text(), QString("/games/thief2/DromEd.exe"));
        dialog.BtDromEdPath->click(); // cancelled: the path stays
        QCOMPARE(dialog.EdDromEdPath->text(), QString("/games/thief2/DromEd.exe"));
        QCOMPARE(prompts.FileDialogs[0].Title, QString("Select your DromEd.exe"));
        QCOMPARE(prompts.FileDialogs[0].InitialFileName, QString("DromEd.exe"));
        QVERIFY(prompts.FileDialogs[0].FileMustExist);
    }

    void settingsCommand() {
        for (const bool confirm : {true, false}) {
            TMainWindowFixture f;
            Settings.Dock = 1;
            const TSettings before = Settings;
            bool hotkeysReleased = false;
            f.Prompts.Dialogs.push_back([&](QDialog& d) {
                auto& dialog = dynamic_cast<TFrmKvSettings&>(d);
                hotkeysReleased = !f.Desktop.IsHotKeyRegistered(kHotkeyAddId);
                [&] { QCOMPARE(dialog.ComboDock->currentText(), QString("at left")); }();
                dialog.ComboDock->setCurrentText("at top");
                [&] { QCOMPARE(dialog.Values().Dock, 2); }();
                dialog.ComboDock->setCurrentText("don't dock");
                dialog.EdDromEdPath->setText("C:\\DromEd.exe");
                (confirm ? dialog.BtOk : dialog.BtCancel)->click();
                return dialog.result();
            });
            f.StartDromEd({});
            f.Desktop.ClearEvents();
            f.Win->ReLog->clear();
            f.Win->ActSettings->trigger();
            // Docked again at once: at the left of DromEd after Cancel, nowhere after "don't dock".
            QCOMPARE(f.Desktop.EventsOf(sim::TSimEventKind::Move).empty(), confirm);
            QVERIFY(hotkeysReleased);
            QVERIFY(f.Desktop.IsHotKeyRegistered(kHotkeyAddId)); // registered again in any case
            QCOMPARE(f.LogLines().last(),
                     QString("Hotkey Alt+A registered for adding DromEd selection"));
            TSettings written;
            written.Dock = 77;
            LoadSettings(written, PathFromQt(f.Path("korvane.ini")));
            if (confirm) {
                QVERIFY(Settings.Dock == 0 && written.Dock == 0 && f.Win->MiDockUndock->isChecked());
                QCOMPARE(Settings.DromEdPath, std::string("C:\\DromEd.exe"));
            } else {
                QCOMPARE(Settings, before);
                QVERIFY(!QFile::exists(f.Path("korvane.ini"))); // nothing written
                QVERIFY(f.Win->MiDockLeft->isChecked());
            }
        }
    }
};

QTEST_MAIN(TestDocking)
#include "tst_Docking.moc"
