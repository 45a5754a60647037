// The settings dialog: its controls, the docking list, the hot-key controls, browsing for
// DromEd, and the settings command that runs it.
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

using kv::test::TMainWindowFixture;
using kv::test::TScriptedPrompts;
using namespace kv;

class TestSettingsDialog : public QObject {
    Q_OBJECT
private slots:
    void showsTheSettings() {
        TScriptedPrompts prompts;
        TSettings s;
        s.HkSel = 0;
        s.MisBNum = true;
        s.DromEdPath = R"("C:\Program Files\DromEd.exe")";
        TFrmKvSettings dialog(nullptr, prompts, s);
        QCOMPARE(dialog.windowTitle(), QString("Korvane Settings"));
        QCOMPARE(dialog.PageControl1->tabText(0), QString("General"));
        QCOMPARE(dialog.PageControl1->tabText(1), QString("Advanced"));
        QCOMPARE(dialog.PageControl1->currentIndex(), 0);
        QCOMPARE(dialog.HkAdd->text(), QString("Alt+A"));
        QCOMPARE(dialog.HkSel->text(), QString("None"));
        QCOMPARE(dialog.EdDromEdPath->text(), ToQt(s.DromEdPath));
        const struct {
            const char* Name;
            const char* Caption;
            bool Checked;
        } boxes[] = {
            {"CbPush", "and push DromEd to screen edge", true},
            {"CbMisCheck", "Do a sanity check when loading mission files", true},
            {"CbDromEdLoPri", "Lower DromEd's process priority", true},
            {"CbDromEdAutostart",
             "At startup, automaticall start DromEd if it isn't already running", true},
            {"CbMisBrushNum", "Use brush numbers from mission file (default: OFF)", true},
            {"CbSelObjByBrushNum", "Select objects by brush number (default: OFF)", false},
            {"CbCompressBrushNum", "Compress brush numbers if brush cannot be found (default: ON)",
             true},
        };
        for (const auto& b : boxes) {
            auto* box = dialog.findChild<QCheckBox*>(b.Name);
            QVERIFY2(box, b.Name);
            QCOMPARE(box->text(), QString(b.Caption));
            QCOMPARE(box->isChecked(), b.Checked);
        }
        QCOMPARE(dialog.CbDromEdLoPri->toolTip(),
                 QString("Set priority to below normal (on Win2000,XP,...) or to idle (Win9x,NT)"));
        QCOMPARE(dialog.Values(), s); // nothing changed, nothing different
    }

    void docking_data() {
        QTest::addColumn<int>("dock");
        QTest::addColumn<QString>("shown");
        QTest::newRow("left") << 1 << "at left";
        QTest::newRow("right") << 3 << "at right";
        QTest::newRow("bottom") << 4 << "at bottom";
        QTest::newRow("unknown") << 9 << "don't dock";
    }
    void docking() {
        QFETCH(int, dock);
        QFETCH(QString, shown);
        TScriptedPrompts prompts;
        TSettings s;
        s.Dock = dock;
        TFrmKvSettings dialog(nullptr, prompts, s);
        QCOMPARE(dialog.ComboDock->currentText(), shown);
        dialog.ComboDock->setCurrentText("at top");
        QCOMPARE(dialog.Values().Dock, 2);
        dialog.ComboDock->setCurrentText("don't dock");
        QCOMPARE(dialog.Values().Dock, 0);
    }

    void hotKeyControl() {
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
    }

    void browsingQuotesPathsWithSpaces() {
        TScriptedPrompts prompts;
        prompts.Files = {"/games/Thief Gold/DromEd.exe", "/games/thief2/DromEd.exe", ""};
        TFrmKvSettings dialog(nullptr, prompts, TSettings{});
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

    void settingsCommand_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void settingsCommand() {
        QFETCH(bool, confirm);
        TMainWindowFixture f;
        Settings.Dock = 1;
        const TSettings before = Settings;
        bool hotkeysReleased = false;
        f.Prompts.Dialogs.push_back([&](QDialog& d) {
            auto& dialog = dynamic_cast<TFrmKvSettings&>(d);
            hotkeysReleased = !f.Desktop.IsHotKeyRegistered(kHotkeyAddId);
            [&] { QCOMPARE(dialog.ComboDock->currentText(), QString("at left")); }();
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
            QCOMPARE(Settings.Dock, 0);
            QCOMPARE(Settings.DromEdPath, std::string("C:\\DromEd.exe"));
            QCOMPARE(written.Dock, 0);
            QVERIFY(f.Win->MiDockUndock->isChecked());
        } else {
            QCOMPARE(Settings, before);
            QVERIFY(!QFile::exists(f.Path("korvane.ini"))); // nothing written
            QVERIFY(f.Win->MiDockLeft->isChecked());
        }
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_SettingsDialog.moc"
