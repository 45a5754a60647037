// The simulated DromEd's window: keys typed in it reach DromEd (and the global hotkeys), a click
// in the list selects the brush in DromEd, the picture shows DromEd's pixels, and the window and
// DromEd's window on the desktop keep one place; closing the window ends that DromEd.
#include "platform/sim/SimDesktop.h"
#include "simdromed/SimDromEd.h"
#include "simdromed/ui/SimDromEdWindow.h"
#include "simdromed/ui/SimHotKeys.h"
#include "simdromed/ui/SimWindowMirror.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include <memory>
#include <vector>

using namespace kv;

namespace {

sim::TSimMission Mission() {
    sim::TSimMission m;
    m.FileName = "castle.mis";
    m.Brushes = {{3, bkTerrain, 0, ""}, {12, bkObject, 42, "Guard"}, {20, bkArea, 0, "Hall"}};
    return m;
}

THwnd CreateWindow(sim::TSimDesktop& desktop, const char* className, const TRect& rect) {
    sim::TSimWindowSpec window;
    window.ClassName = className;
    window.Title = className;
    window.Rect = rect;
    return desktop.CreateSimWindow(window);
}

struct TWindowFixture {
    sim::TSimDesktop Desktop{1600, 1200};
    sim::TSimDromEd* DromEd = nullptr;
    TFrmSimDromEd* Win = nullptr;
    QPointer<TFrmSimDromEd> Alive; // null once the window is gone

    TWindowFixture() {
        sim::TSimDromEdOptions options;
        options.Left = 10;
        options.Top = 20;
        auto dromEd = std::make_unique<sim::TSimDromEd>(Desktop, options);
        dromEd->SetMission(Mission());
        DromEd = dromEd.get();
        Win = new TFrmSimDromEd(Desktop, std::move(dromEd));
        Alive = Win;
        Win->show();
    }
    ~TWindowFixture() { delete Alive.data(); }

    void Type(const char* text) const {
        for (const char* p = text; *p != '\0'; ++p) QTest::keyClick(Win->Picture, *p);
    }
    void Command(const char* text) const {
        QTest::keyClick(Win->Picture, Qt::Key_Escape);
        QTest::keyClick(Win->Picture, ':');
        Type(text);
        QTest::keyClick(Win->Picture, Qt::Key_Return);
    }
    int KeyDowns(std::uint8_t vk) const {
        int count = 0;
        for (const sim::TSimEvent& e : Desktop.EventsOf(sim::TSimEventKind::Key)) {
            if (e.Vk == vk && (e.Flags & win::KEYEVENTF_KEYUP) == 0) ++count;
        }
        return count;
    }
};

} // namespace

class TstSimDromEdWindow : public QObject {
    Q_OBJECT
private slots:
    void typedCommandsReachDromEdAndItsStatusBar() {
        TWindowFixture f;
        QVERIFY(f.Win->windowTitle().contains("DromEd"));
        QVERIFY(f.Win->windowTitle().contains("castle.mis"));
        f.Command("select_brush 12");
        QCOMPARE(f.DromEd->Commands(), std::vector<std::string>{"select_brush 12"});
        QCOMPARE(f.DromEd->StatusMessage(), std::string("Unknown command: select_brush 12"));

        f.Command("brush_select 12");
        QCOMPARE(f.DromEd->StatusMessage(), std::string("Brush 12 selected"));
        QCOMPARE(f.DromEd->Selected()->BrushId, 12);
        // The list shows DromEd's selection, and the picture DromEd's pixels.
        QTRY_COMPARE(f.Win->LvBrushes->selectedItems().size(), 1);
        const QList<QTreeWidgetItem*> rows = f.Win->LvBrushes->selectedItems();
        QCOMPARE(rows.first()->text(2), QString("Guard (42)"));
        const TPixelImage& client = f.DromEd->ClientImage();
        const QImage& picture = f.Win->Picture->Image();
        QCOMPARE(picture.size(), QSize(client.Width, client.Height));
        int differing = 0;
        for (int y = 0; y < client.Height; y += 3) {
            for (int x = 0; x < client.Width; x += 3) {
                const std::uint32_t c = client.At(x, y);
                const QRgb expected =
                    qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                         static_cast<int>((c >> 16) & 0xFF));
                if (picture.pixel(x, y) != expected) ++differing;
            }
        }
        QCOMPARE(differing, 0);
    }

    void hotkeysGoToTheirHandlerNotToDromEdInEveryWindow() {
        TWindowFixture f;
        std::vector<int> pressed;
        QVERIFY(f.Desktop.RegisterHotKey(0x777, 1001, win::MOD_ALT, 'A'));
        f.Desktop.SetHotKeyHandler([&pressed](int id) { pressed.push_back(id); });
        QTest::keyClick(f.Win->Picture, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(pressed, std::vector<int>{1001});
        QCOMPARE(f.KeyDowns('A'), 0);
        // Without Alt the key is DromEd's.
        QTest::keyClick(f.Win->Picture, Qt::Key_A);
        QCOMPARE(pressed, std::vector<int>{1001});
        QCOMPARE(f.KeyDowns('A'), 1);

        // In the program's other windows through the filter; DromEd's window plays its own
        // keys (one press, one call).
        TSimHotKeyFilter filter(f.Desktop, nullptr);
        qApp->installEventFilter(&filter);
        QLineEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key_A, Qt::AltModifier);
        QTest::keyClick(&edit, Qt::Key_D);
        QCOMPARE(edit.text(), QString("d"));
        QTest::keyClick(f.Win->Picture, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(pressed, (std::vector<int>{1001, 1001, 1001}));
        qApp->removeEventFilter(&filter);
    }

    void keysMapToUsVirtualKeys() {
        TWindowFixture f;
        struct TCase {
            Qt::Key Key;
            std::uint8_t Vk;
        };
        const std::vector<TCase> cases = {
            {Qt::Key_F1, 0x70},    {Qt::Key_F12, 0x7B},   {Qt::Key_Backspace, 0x08},
            {Qt::Key_Left, 0x25},  {Qt::Key_Comma, 0xBC}, {Qt::Key_Enter, 0x0D},
        };
        for (const TCase& c : cases) {
            const int before = f.KeyDowns(c.Vk);
            QTest::keyClick(f.Win->Picture, c.Key);
            QVERIFY2(f.KeyDowns(c.Vk) == before + 1, QByteArray::number(c.Vk, 16));
        }
    }

    void clickInTheListSelectsInDromEd() {
        TWindowFixture f;
        f.Desktop.SetForegroundWindow(CreateWindow(f.Desktop, "Other", {0, 0, 10, 10}));
        QTreeWidget* list = f.Win->LvBrushes;
        QCOMPARE(list->topLevelItemCount(), 3);
        QTreeWidgetItem* row = list->topLevelItem(2);
        QCOMPARE(row->text(0), QString("20"));
        QCOMPARE(row->text(1), QString("Area"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        QVERIFY(f.DromEd->Selected() != nullptr);
        QCOMPARE(f.DromEd->Selected()->BrushId, 20);
        QCOMPARE(f.Desktop.GetForegroundWindow(), f.DromEd->MainWindow());
    }

    void windowAndDromEdKeepOnePlace() {
        TWindowFixture f;
        const THwnd main = f.DromEd->MainWindow();
        // At start the picture has DromEd's client size, the list stands in DromEd's frame.
        QTRY_COMPARE(f.Win->Picture->size(), QSize(1024, 768));
        TRect client;
        QVERIFY(f.Desktop.GetClientRect(main, client));
        QCOMPARE(client.Width(), 1024);
        TPoint origin;
        QVERIFY(f.Desktop.ClientToScreen(main, origin));
        QCOMPARE(QPoint(origin.X, origin.Y), f.Win->Picture->mapToGlobal(QPoint(0, 0)));

        // The program moves DromEd (docking's push): the window follows.
        QVERIFY(f.Desktop.MoveWindow(main, 300, 200, 1264, 768, true));
        f.Win->Refresh();
        QTRY_COMPARE(f.Win->frameGeometry().topLeft(), QPoint(300, 200));

        // The user moves and sizes the window: DromEd's window follows, its client with it.
        f.Win->move(120, 80);
        f.Win->resize(1040, 700);
        TRect rect;
        QTRY_VERIFY(f.Desktop.GetWindowRect(main, rect) && rect.Left == 120 && rect.Top == 80 &&
                    rect.Width() == f.Win->frameGeometry().width());
        QTRY_VERIFY(f.Desktop.GetClientRect(main, client) &&
                    client.Width() == 1040 - TFrmSimDromEd::kListWidth && client.Height() == 700);
        f.Win->Refresh(true);
        QCOMPARE(f.Win->Picture->Image().width(), 1040 - TFrmSimDromEd::kListWidth);
    }

    void mirrorFollowsBothWaysAndActivates() {
        sim::TSimDesktop desktop{1600, 1200};
        const THwnd own = CreateWindow(desktop, "TFrmKvMain", {0, 0, 300, 300});
        QWidget window;
        auto* mirror = new TSimWindowMirror(desktop, &window, own);
        window.resize(400, 500);
        window.move(700, 100);
        window.show();
        TRect rect;
        QTRY_VERIFY(desktop.GetWindowRect(own, rect) &&
                    rect == TSimWindowMirror::FrameRect(window) && rect.Left == 700);
        QVERIFY(desktop.MoveWindow(own, 900, 0, rect.Width(), rect.Height(), true));
        mirror->Pull();
        QTRY_COMPARE(window.frameGeometry().topLeft(), QPoint(900, 0));
        QVERIFY(desktop.GetWindowRect(own, rect));
        QCOMPARE(rect.Left, 900); // no chasing back to the old place

        // DromEd's side brings another window to the front, then Korvane's: the Qt window
        // becomes the active one.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QVERIFY(desktop.SetForegroundWindow(CreateWindow(desktop, "Other", {0, 0, 10, 10})));
        mirror->Pull();
        QVERIFY(other.isActiveWindow());
        QVERIFY(desktop.SetForegroundWindow(own));
        mirror->Pull();
        QTRY_VERIFY(window.isActiveWindow());
    }

    void closingTheWindowEndsDromEd() {
        TWindowFixture f;
        QCOMPARE(f.Desktop.FindWindow(sim::kDromEdWindowClass), f.DromEd->MainWindow());
        f.Win->close();
        QCOMPARE(f.Desktop.FindWindow(sim::kDromEdWindowClass), THwnd{0});
        QTRY_VERIFY(f.Alive.isNull());

        // DromEd's window closed on the desktop (WM_CLOSE) closes the window too.
        TWindowFixture g;
        g.Desktop.SendMessage(g.DromEd->MainWindow(), win::WM_CLOSE, 0, 0);
        g.Win->Refresh();
        QTRY_VERIFY(g.Alive.isNull());
    }
};

QTEST_MAIN(TstSimDromEdWindow)
#include "tst_SimDromEdWindow.moc"
