// The main window's DromEd commands on the simulated desktop: taking in and finding DromEd's
// selection, the editors, selecting and going to favourites, and starting DromEd.
#include "support/MainWindowFixture.h"

#include <QTest>

using kv::test::TMainWindowFixture;
using namespace kv;
using sim::TSimEventKind;

namespace {

sim::TSimMission Mission() {
    sim::TSimMission m;
    m.FileName = "miss1.mis";
    m.Brushes = {
        {3, bkTerrain, 0, ""},        {5, bkLight, 0, ""}, {9, bkArea, 0, "Courtyard"},
        {12, bkObject, 345, "Guard"}, {14, bkFlow, 0, ""}, {20, bkRoom, 77, "Great Hall"},
        {40, bkObject, 0, "Lamp"},
    };
    return m;
}

// A window without docking, so that nothing moves DromEd's window behind the test's back.
struct TFixture : TMainWindowFixture {
    TFixture() {
        Settings.Dock = 0;
        Win->UpdateDocking(true);
    }
    sim::TSimDromEd& Start() {
        sim::TSimDromEd& d = StartDromEd(Mission());
        Desktop.SetForegroundWindow(Own);
        return d;
    }
    QStringList LastRow() const {
        QStringList texts;
        for (int c = 0; c < 4; ++c) texts << Row(RowCount() - 1)->text(c);
        return texts;
    }
};

} // namespace

class TestMainWindowDromEd : public QObject {
    Q_OBJECT
private slots:
    void addsAndFindsEachKind() {
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
        QCOMPARE(f.RowCount(), 6);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*Unnamed]"));
        QVERIFY(f.LogLines().isEmpty());
        QCOMPARE(f.Desktop.LiveGdiObjects(), 0);

        // Select mode finds each row and leaves the focus with the program.
        for (int i = 5; i >= 0; --i) {
            dromEd.Select(cases[i].Brush);
            f.Desktop.SetForegroundWindow(f.Own);
            f.Win->ActSelDromEdSel->trigger();
            QCOMPARE(f.Win->GetSelectedInfo().BrushNum, cases[i].Brush);
            QCOMPARE(f.Desktop.GetForegroundWindow(), f.Own);
        }
        QCOMPARE(f.RowCount(), 6);
        QVERIFY(f.LogLines().isEmpty());
    }

    void addingAgainReplacesAndWarnsAboutMissingObjectIds() {
        TFixture f;
        sim::TSimDromEd& dromEd = f.Start();
        dromEd.Select(40);
        f.Win->ActAddDromEdSel->trigger();
        QCOMPARE(f.LastRow(), (QStringList{"O", "40", "?", "Lamp (0)"}));
        QCOMPARE(f.LogLines(), QStringList{"Warning: Could not determine object ID"});
        f.Win->ActAddDromEdSel->trigger();
        QCOMPARE(f.RowCount(), 1);
        QCOMPARE(f.LogLines().first(), QString("Removed existing favorite with same brush number"));
        QCOMPARE(f.Prompts.Beeps, 0); // a warning, not a failure
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
            QCOMPARE(processes.size(), std::size_t{1}); // the command line as stored, the folder:
            QCOMPARE(ToQt(processes[0].Text) + "|" + ToQt(processes[0].Caption), path + "|" + folder);
            QCOMPARE(processes[0].Flags, win::CREATE_DEFAULT_ERROR_MODE);
            QList<quint32> set;
            for (const auto& e : f.Desktop.EventsOf(TSimEventKind::Priority)) set << e.Flags;
            QCOMPARE(set, priorities);
            // The desktop numbers the first process's handles 0x500 and 0x504: both are closed.
            QVERIFY(!f.Desktop.CloseHandle(0x500) && !f.Desktop.CloseHandle(0x504));
            QCOMPARE(f.LogLines(), QStringList{"Trying to start DromEd..."});
            QVERIFY(f.Prompts.Messages.empty());
            QVERIFY(!QApplication::overrideCursor());
        }
    }

    void startDromEdRefusals() {
        TFixture f;
        Settings.DromEdPath.clear();
        f.Win->ActStartDromEd->trigger();
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
        QVERIFY(f.Prompts.Messages[0].Type == TMsgType::Error);
        QCOMPARE(f.Prompts.Messages[0].Text, QString("You have to set the path to DromEd in Settings first"));
        QVERIFY(f.LogLines().isEmpty());

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

QTEST_MAIN(TestMainWindowDromEd)
#include "tst_MainWindowDromEd.moc"
