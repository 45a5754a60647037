// The main window beside DromEd on the simulated desktop: docking, the global hotkeys, the
// settings dialog with its hot-key controls and browsing for DromEd; taking in and finding
// DromEd's selection, the editors, selecting and going to favourites, and starting DromEd.
#include "support/MainWindowFixture.h"
#include "workspace/Hotkeys.h"
#include "workspace/ui/HotKeyEdit.h"
#include "workspace/ui/SettingsDialog.h"

#include <QApplication>
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
    return {.FileName = "miss1.mis",
            .Brushes = {{3, bkTerrain, 0, ""}, {5, bkLight, 0, ""}, {9, bkArea, 0, "Courtyard"},
                        {12, bkObject, 345, "Guard"}, {14, bkFlow, 0, ""},
                        {20, bkRoom, 77, "Great Hall"}, {40, bkObject, 0, "Lamp"}}};
}

// A main window without docking, so that nothing moves DromEd's window behind the test's back.
// Docking: DromEd at (100, 50, 900, 700) and a 1280 by 1024 work area at the origin.
struct TFixture : TMainWindowFixture {
    sim::TSimDromEd* D = nullptr;
    explicit TFixture(bool docking = false) {
        Settings.Dock = 0;
        Win->UpdateDocking(true);
        if (!docking) return;
        Start();
        Desktop.SetWorkArea({0, 0, 1280, 1024});
        PlaceDromEd({100, 50, 900, 700});
        Desktop.ClearEvents();
    }
    sim::TSimDromEd& Start() {
        D = &StartDromEd(Mission());
        Desktop.SetForegroundWindow(Own);
        return *D;
    }
    QStringList LastRow() const {
        QStringList texts;
        for (int c = 0; c < 4; ++c) texts << Row(RowCount() - 1)->text(c);
        return texts;
    }
    void PlaceDromEd(const TRect& r) {
        Desktop.MoveWindow(D->MainWindow(), r.Left, r.Top, r.Width(), r.Height(), true);
    }
};

} // namespace

class TestDocking : public QObject {
    Q_OBJECT
private slots:
    // The rectangles themselves are the docking rules' own table; here they reach the windows.
    void followsDromEdOnlyWhenItChanged() {
        TFixture f(true);
        Settings.Push = false;
        f.Win->MiDockRight->trigger();
        QTRY_COMPARE(f.Win->frameGeometry(), QRect(900, 50, 380, 650));
        QCOMPARE(f.Win->LastDromEdRect(), (TRect{100, 50, 900, 700}));
        QVERIFY(f.Win->TimerDock->isActive() && f.Win->TimerDock->interval() == 1000);

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

        // With the push, DromEd goes to the left edge and the main window takes the rest.
        f.Win->MiPush->trigger();
        QVERIFY(Settings.Push && f.Win->MiPush->isChecked());
        QTRY_COMPARE(f.Win->frameGeometry(), QRect(800, 100, 480, 600));
        QCOMPARE(f.Win->LastDromEdRect(), (TRect{0, 100, 800, 700})); // as DromEd's window says

        // Undocked: the timer stops.
        f.Win->MiDockUndock->trigger();
        QVERIFY(!f.Win->TimerDock->isActive());
        QCOMPARE(Settings.Dock, 0);
        QVERIFY(f.Win->MiDockUndock->isChecked() && !f.Win->MiDockRight->isChecked());
        // Closing stores what the menu set.
        QVERIFY(f.Win->close());
        TSettings stored{.Dock = 2, .Push = false};
        LoadSettings(stored, PathFromQt(f.Path("korvane.ini")));
        QVERIFY(stored.Dock == 0 && stored.Push);
    }

    // Without Alt+F1 set, Alt+S is taken by another program; with it, every key is free.
    void registersHotkeysAndRunsTheirActions() {
        const QStringList log = {"Hotkey Alt+F1 registered for switching between DromEd/Korvane",
                                 "Hotkey Alt+S registered for selecting DromEd selection",
                                 "Hotkey Alt+A registered for adding DromEd selection"};
        for (const bool all : {false, true}) {
            TFixture f(true);
            if (!all) f.Desktop.TakeHotKeyElsewhere(win::MOD_ALT, 'S');
            Settings.HkTog = all ? 0x8070 : 0;
            f.Win->ApplySettings();
            QCOMPARE(f.LogLines(), all ? log
                                       : (QStringList{"Failed to register hotkey Alt+S for "
                                                      "selecting DromEd selection", log[2]}));
            QVERIFY(f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
            QVERIFY(f.Desktop.IsHotKeyRegistered(kHotkeySelId) == all &&
                    f.Desktop.IsHotKeyRegistered(kHotkeyTogId) == all);
            QCOMPARE(f.Win->RegisteredHkSel(), std::uint16_t(all ? 0x8053 : 0));
            QCOMPARE(f.Win->RegisteredHkTog(), Settings.HkTog);
            QVERIFY(!f.Desktop.PressHotKey(win::MOD_ALT, 'P')); // F1 itself, not the key of "p"
            if (all) {
                f.D->Select(12);
                f.Desktop.SetForegroundWindow(f.Own);
                QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, 'A'));
                QCOMPARE(f.Column(2), QStringList{"345"});
                QCOMPARE(f.Desktop.GetForegroundWindow(), f.D->MainWindow());
                f.Win->LvFavs->clearSelection();
                QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, 'S'));
                QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 12);
                f.Desktop.SetForegroundWindow(f.D->MainWindow());
                // Switching: from DromEd to the program and back.
                QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1));
                QCOMPARE(f.Desktop.GetForegroundWindow(), f.Own);
                QVERIFY(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1));
                QCOMPARE(f.Desktop.GetForegroundWindow(), f.D->MainWindow());
            }
            QCOMPARE(f.Desktop.PressHotKey(win::MOD_ALT, win::VK_F1), all);
            f.Win->UnregisterHotkeys();
            QVERIFY(!f.Desktop.IsHotKeyRegistered(kHotkeyAddId));
        }
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
        TFrmKvSettings dialog(nullptr, prompts, TSettings{.Dock = 7}); // no such item
        QCOMPARE(dialog.ComboDock->currentText(), QString("don't dock"));
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
        QStringList shown;
        for (int i = 0; i < 3; ++i) { // the last is cancelled: the path stays
            dialog.BtDromEdPath->click();
            shown << dialog.EdDromEdPath->text();
        }
        QCOMPARE(shown, (QStringList{R"("/games/Thief Gold/DromEd.exe")",
                                     "/games/thief2/DromEd.exe", "/games/thief2/DromEd.exe"}));
        const TFileDialogSpec& desc = prompts.FileDialogs[0];
        QVERIFY(desc.Title == "Select your DromEd.exe" && desc.InitialFileName == "DromEd.exe" &&
                desc.FileMustExist);
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
                QString docks = dialog.ComboDock->currentText();
                for (int i = 0; i < dialog.ComboDock->count(); ++i) {
                    dialog.ComboDock->setCurrentIndex(i);
                    docks += "," + dialog.ComboDock->currentText() + " " +
                             QString::number(dialog.Values().Dock);
                }
                [&] {
                    QCOMPARE(docks, QString("at left,at right 3,at left 1,at top 2,at bottom 4,"
                                            "don't dock 0"));
                }();
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

    void addsAndFindsEachKindAndReplacesOnAddingAgain() {
        TFixture f;
        sim::TSimDromEd& dromEd = f.Start();
        const struct {
            std::int32_t Brush;
            QStringList Row;
        } cases[] = {
            {3, {"T", "3", "", "Terrain"}},   {5, {"L", "5", "", "Light"}},
            {9, {"A", "9", "", "Courtyard"}}, {12, {"O", "12", "345", "Guard (345)"}},
            {14, {"F", "14", "", "Flow"}},    {20, {"R", "20", "77", "Great Hall (77)"}},
        };
        for (const auto& c : cases) {
            dromEd.Select(c.Brush);
            f.Desktop.SetForegroundWindow(f.Own);
            f.Win->ActAddDromEdSel->trigger();
            QCOMPARE(f.LastRow(), c.Row);
            QCOMPARE(f.Win->GetSelectedItems(), QList<QTreeWidgetItem*>{f.Row(f.RowCount() - 1)});
            QCOMPARE(f.Desktop.GetForegroundWindow(), dromEd.MainWindow()); // back to DromEd
        }
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*Unnamed]"));
        QCOMPARE(f.Desktop.LiveGdiObjects(), 0);

        // Select mode finds the row and leaves the focus with the program.
        dromEd.Select(3);
        f.Desktop.SetForegroundWindow(f.Own);
        f.Win->ActSelDromEdSel->trigger();
        QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 3);
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.Own);
        // Adding again replaces the row; an object without an ID is a warning, not a failure.
        dromEd.Select(40);
        f.Win->ActAddDromEdSel->trigger();
        QCOMPARE(f.LastRow(), (QStringList{"O", "40", "?", "Lamp (0)"}));
        QCOMPARE(f.LogLines(), QStringList{"Warning: Could not determine object ID"});
        f.Win->ActAddDromEdSel->trigger();
        QCOMPARE(f.RowCount(), 7);
        QCOMPARE(f.LogLines().first(), QString("Removed existing favorite with same brush number"));
        QCOMPARE(f.Prompts.Beeps, 0);
    }

    void failuresAddNothing() {
        TFixture f;
        f.Win->ActAddDromEdSel->trigger(); // no DromEd at all
        QCOMPARE(f.LogLines(), QStringList{"EDromEdNotFound: DromEd window not found"});
        sim::TSimDromEd& dromEd = f.Start();
        dromEd.Select(0);
        f.Win->ActAddDromEdSel->trigger();
        QCOMPARE(f.LogLines().first(), QString("Unknown selection type"));
        QCOMPARE(f.Desktop.GetForegroundWindow(), dromEd.MainWindow()); // also after a failure
        // DromEd's window reaches below the screen: the panel shows Terrain's caption, but
        // the brush number lies off the screen.
        dromEd.Select(3);
        TPoint client;
        f.Desktop.ClientToScreen(dromEd.MainWindow(), client);
        TRect r;
        f.Desktop.GetWindowRect(dromEd.MainWindow(), r);
        f.Desktop.MoveWindow(dromEd.MainWindow(), r.Left, r.Top + 1200 - 720 - client.Y, r.Width(),
                             r.Height(), true);
        f.Desktop.SetForegroundWindow(f.Own);
        f.Win->ActSelDromEdSel->trigger();
        QCOMPARE(f.LogLines().first(), QString("Could not determine brush number"));
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.Own);
        QCOMPARE(f.RowCount(), 0);
        QCOMPARE(f.Prompts.Beeps, 3);
        QCOMPARE(f.Desktop.LiveGdiObjects(), 0); // every capture released
    }

    void editorCommandsAndGoTo() {
        TFixture f;
        sim::TSimDromEd& dromEd = f.Start();
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.SelectRows({0});
        for (QAction* a :
             {f.Win->ActProperties, f.Win->ActLinks, f.Win->ActSources, f.Win->ActReceptrons}) {
            a->trigger();
        }
        QCOMPARE(dromEd.Commands(),
                 (std::vector<std::string>{"edit_obj 345", "edit_links 345,0,0",
                                           "ar_list_sources 345", "ar_list_receptrons 345"}));
        QVERIFY(f.LogLines().isEmpty());
        // Go to moves the camera also after a failed selection.
        Settings.CompressBrushNum = false;
        dromEd.Select(12);
        f.Add(bkTerrain, 99, 0, "Terrain");
        f.SelectRows({1});
        f.Win->LvFavs->setCurrentItem(f.Row(1));
        QTest::keyClick(f.Win->LvFavs, Qt::Key_Return); // Enter in the list goes to the item
        QCOMPARE(f.LogLines(), QStringList{"Failed to select brush or object in DromEd"});
        QCOMPARE(dromEd.CameraBrush(), 12);
        QVERIFY(dromEd.CameraUnrolled() && dromEd.CameraLevelled());
        dromEd.SetStubbornDialogs(true);
        dromEd.OpenDialog("Stuck");
        f.SelectRows({0});
        f.Win->ActProperties->trigger();
        QCOMPARE(f.LogLines().first(), QString("Failed to send DromEd command"));
    }

    void selectRetriesOnceAfterCompressing() {
        // Brush 3 becomes 1 when the numbers are compressed. Commands and log lines by "|".
        const struct {
            bool Compress, ByBrushNum;
            TBrushKind Kind;
            int Number; // brush number, or object ID for objects
            const char* Commands;
            const char* Log;
            int Selected;
        } cases[] = {
            {true, false, bkTerrain, 1, "brush_select 1|compress_br_ids|brush_select 1",
             "Compressed brush numbers in DromEd", 1},
            {true, false, bkTerrain, 99, "brush_select 99|compress_br_ids|brush_select 99",
             "Failed to select brush or object in DromEd|Compressed brush numbers in DromEd", 0},
            {false, false, bkTerrain, 1, "brush_select 1",
             "Failed to select brush or object in DromEd", 0},
            {true, false, bkObject, 999,
             "obj_brush_select 999|compress_br_ids|obj_brush_select 999",
             "Failed to select object in DromEd|Compressed brush numbers in DromEd", 0},
            {true, true, bkObject, 345, "brush_select 12", "", 12},
        };
        for (const auto& c : cases) {
            TFixture f;
            sim::TSimDromEd& dromEd = f.Start();
            Settings.CompressBrushNum = c.Compress;
            Settings.SelObjByBrushNum = c.ByBrushNum;
            if (c.Kind == bkObject) {
                f.Add(bkObject, 12, c.Number, "Guard");
            } else {
                f.Add(bkTerrain, c.Number, 0, "Terrain");
            }
            f.SelectRows({0});
            f.Win->ActSelInDromEd->trigger();
            QStringList typed;
            for (const std::string& command : dromEd.Commands()) typed << ToQt(command);
            QCOMPARE(typed.join('|'), QString(c.Commands));
            QCOMPARE(f.LogLines().join('|'), QString(c.Log));
            QCOMPARE(dromEd.Selected() == nullptr ? 0 : dromEd.Selected()->BrushId, c.Selected);
        }
    }

    void startDromEd() {
        const quint32 below = win::BELOW_NORMAL_PRIORITY_CLASS;
        const struct {
            QString Path;
            bool LowPriority, BelowNormalRefused; // the latter on old systems
            QString Folder;
            QList<quint32> Priorities;
        } cases[] = {
            {R"(C:\Games\Thief2\DromEd.exe)", true, false, R"(C:\Games\Thief2\)", {below}},
            {R"("C:\Program Files\Thief 2\DromEd.exe")", true, true, R"(C:\Program Files\Thief 2\)",
             {below, win::IDLE_PRIORITY_CLASS}},
            {R"(D:\DromEd.exe)", false, false, R"(D:\)", {}},
        };
        for (const auto& [path, lowPriority, belowNormalRefused, folder, priorities] : cases) {
            TFixture f;
            Settings.DromEdPath = FromQt(path);
            Settings.DromEdLoPri = lowPriority;
            if (belowNormalRefused)
                f.Desktop.RefusedPriorityClasses = {win::BELOW_NORMAL_PRIORITY_CLASS};
            f.Win->ActStartDromEd->trigger();
            const auto processes = f.Desktop.EventsOf(TSimEventKind::Process);
            QVERIFY(processes.size() == 1 && processes[0].Flags == win::CREATE_DEFAULT_ERROR_MODE);
            // The command line as stored, the folder:
            QCOMPARE(ToQt(processes[0].Text) + "|" + ToQt(processes[0].Caption), path + "|" + folder);
            QList<quint32> set;
            for (const auto& e : f.Desktop.EventsOf(TSimEventKind::Priority)) set << e.Flags;
            QCOMPARE(set, priorities);
            // The desktop numbers the first process's handles 0x500 and 0x504: both are closed.
            QVERIFY(!f.Desktop.CloseHandle(0x500) && !f.Desktop.CloseHandle(0x504));
            QCOMPARE(f.LogLines(), QStringList{"Trying to start DromEd..."});
            QVERIFY(f.Prompts.Messages.empty() && !QApplication::overrideCursor());
        }
    }

    void startDromEdRefusals() {
        TFixture f;
        Settings.DromEdPath.clear();
        f.Win->ActStartDromEd->trigger();
        QVERIFY(f.Prompts.Messages.size() == 1 && f.Prompts.Messages[0].Type == TMsgType::Error &&
                f.LogLines().isEmpty());
        QCOMPARE(f.Prompts.Messages[0].Text, QString("You have to set the path to DromEd in Settings first"));

        Settings.DromEdPath = R"(C:\Nowhere\DromEd.exe)";
        f.Desktop.CreateProcessHandler = [&](const std::string&, const std::string&) {
            f.Desktop.SetLastError(2);
            return false;
        };
        f.Win->ActStartDromEd->trigger();
        QCOMPARE(f.Prompts.Messages.back().Text,
                 QString("Failed to start DromEd. Windows error code 2"));
        QVERIFY(!QApplication::overrideCursor());

        // Already running: only brought to the front.
        sim::TSimDromEd& dromEd = f.Start();
        f.Desktop.ClearEvents();
        f.Win->ActStartDromEd->trigger();
        QVERIFY(f.Desktop.EventsOf(TSimEventKind::Process).empty());
        QCOMPARE(f.Desktop.GetForegroundWindow(), dromEd.MainWindow());
    }

    void firstShowStartsDromEdOnce() {
        TMainWindowFixture f({}, false);
        Settings.Dock = 0;
        Settings.DromEdPath = R"(C:\Games\DromEd.exe)";
        f.Win->show();
        f.Win->hide();
        f.Win->show();
        QCOMPARE(f.Desktop.EventsOf(TSimEventKind::Process).size(), std::size_t{1});
    }
};

QTEST_MAIN(TestDocking)
#include "tst_Docking.moc"
