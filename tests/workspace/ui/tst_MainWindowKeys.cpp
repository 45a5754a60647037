// The main window as a keyboard user meets it: the usual keys of the file commands, Delete on
// the list, the focus staying on the list after its commands, the log that never shrinks
// away, and the header showing the sort.
#include "support/MainWindowFixture.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/SearchDialog.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

using kv::test::TMainWindowFixture;
using namespace kv;

namespace {

// The window as the user sees it: shown, active, with the focus in it.
void Activate(TMainWindowFixture& f) {
    f.Win->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.Win.get()));
}

QString FocusName() {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString("<none>");
}

void AddFour(TMainWindowFixture& f) {
    f.Add(bkObject, 1, 11, "Zombie (11)");
    f.Add(bkObject, 2, 22, "apple (22)");
    f.Add(bkTerrain, 3, 0, "Terrain");
    f.Add(bkLight, 4, 0, "Light");
}

} // namespace

class TestMainWindowKeys : public QObject {
    Q_OBJECT
private slots:
    void fileCommandsHaveTheirUsualKeys() {
        TMainWindowFixture f;
        Activate(f);
        QCOMPARE(f.Win->ActNew->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(f.Win->ActLoad->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(f.Win->ActSave->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(f.Win->ActRemoveFav->shortcut(), QKeySequence("Del"));
        QFile kvf(f.Path("two.kvf"));
        QVERIFY(kvf.open(QIODevice::WriteOnly));
        kvf.write("*FAVLIST\r\n1{2}1{5}1{0}5{Light}\r\n1{1}1{6}1{0}7{Terrain}\r\n~FAVLIST\r\n");
        kvf.close();

        f.Win->ReLog->setFocus(); // the keys work wherever the focus is in the window
        f.Prompts.Files = {f.Path("two.kvf")};
        QTest::keyClick(f.Win->ReLog, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.Column(3), (QStringList{"Light", "Terrain"}));
        QCOMPARE(FocusName(), QString("LvFavs"));

        f.Add(bkObject, 7, 70, "Guard (70)");
        f.Win->SetModified(true);
        QTest::keyClick(f.Win->LvFavs, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!f.Win->Modified());
        QCOMPARE(f.Prompts.FileDialogs.size(), std::size_t{1}); // named: no dialog for Save

        QTest::keyClick(f.Win->LvFavs, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.RowCount(), 0);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
    }

    void deleteRemovesOnlyWhileTheListHasTheFocus() {
        TMainWindowFixture f;
        AddFour(f);
        Activate(f);
        f.SelectRows({1, 2});

        f.Win->ReLog->setFocus();
        QTest::keyClick(f.Win->ReLog, Qt::Key_Delete);
        QCOMPARE(f.RowCount(), 4);

        // An edit box of a dialog keeps its Delete too.
        QString edited;
        f.Prompts.Dialogs.push_back([&edited](QDialog& d) {
            d.show();
            d.activateWindow();
            if (!QTest::qWaitForWindowActive(&d)) return int(QDialog::Rejected);
            auto* edit = d.findChild<QLineEdit*>("EdNameFilter");
            edit->setFocus();
            edit->setText("door");
            edit->setCursorPosition(0);
            QTest::keyClick(edit, Qt::Key_Delete);
            edited = edit->text();
            return int(QDialog::Rejected);
        });
        f.Win->ActFilter->trigger();
        QCOMPARE(edited, QString("oor"));
        QCOMPARE(f.RowCount(), 4);

        f.Win->LvFavs->setFocus();
        QTest::keyClick(f.Win->LvFavs, Qt::Key_Delete);
        QCOMPARE(f.Column(3), (QStringList{"Zombie (11)", "Light"}));
        QVERIFY(f.Win->Modified());
        QCOMPARE(FocusName(), QString("LvFavs"));
        // The keyboard carries on at the row after the removed ones.
        QCOMPARE(f.Win->LvFavs->currentItem(), f.Row(1));
        QVERIFY(f.Win->GetSelectedItems().isEmpty());
    }

    void listKeepsTheFocusAfterItsCommands() {
        TMainWindowFixture f;
        AddFour(f);
        Activate(f);
        const std::vector<std::pair<const char*, std::function<void()>>> commands = {
            {"sort", [&] { f.Win->SortByColumn(3); }},
            {"remove",
             [&] {
                 f.SelectRows({0});
                 f.Win->ActRemoveFav->trigger();
             }},
            {"filter",
             [&] {
                 f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
                 f.Win->ActFilter->trigger();
             }},
            {"find",
             [&] {
                 f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Rejected); });
                 f.Win->ActSearch->trigger();
             }},
            {"load",
             [&] {
                 f.Win->SaveFavorites(PathFromQt(f.Path("mine.kvf")));
                 f.Prompts.Files = {f.Path("mine.kvf")};
                 f.Win->ActLoad->trigger();
             }},
        };
        for (const auto& [name, run] : commands) {
            f.Win->ReLog->setFocus();
            QCOMPARE(FocusName(), QString("ReLog"));
            run();
            QVERIFY2(FocusName() == "LvFavs", name);
        }
    }

    void headerShowsTheSortColumnAndDirection() {
        TMainWindowFixture f;
        AddFour(f);
        QHeaderView* header = f.Win->LvFavs->header();
        QVERIFY(!header->isSortIndicatorShown());
        f.Win->SortByColumn(3);
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 3);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(f.Column(3), (QStringList{"apple (22)", "Light", "Terrain", "Zombie (11)"}));
        f.Win->SortByColumn(3);
        QCOMPARE(header->sortIndicatorSection(), 3);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        f.Win->SortByColumn(1);
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        // A click on the header itself shows it too.
        const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(f.Win->SortColumn(), 2);
        QCOMPARE(header->sortIndicatorSection(), 2);
        QCOMPARE(f.Column(1), (QStringList{"3", "4", "1", "2"}));
    }

    void logKeepsFiveLinesWhenTheWindowShrinks() {
        TMainWindowFixture f;
        for (int i = 0; i < 12; ++i) f.Win->Log("line " + std::to_string(i));
        const int fiveLines = 5 * f.Win->ReLog->fontMetrics().lineSpacing();
        QTest::qWait(0);
        QVERIFY(f.Win->ReLog->viewport()->height() >= fiveLines);
        const int listBefore = f.Win->LvFavs->height();
        f.Win->resize(f.Win->width(), 200);
        QTest::qWait(0);
        QVERIFY2(
            f.Win->ReLog->viewport()->height() >= fiveLines,
            qPrintable(QString("%1 < %2").arg(f.Win->ReLog->viewport()->height()).arg(fiveLines)));
        QVERIFY(f.Win->LvFavs->height() < listBefore); // the list gave way
        f.Win->resize(f.Win->width(), 600);
        QTest::qWait(0);
        QVERIFY(f.Win->ReLog->viewport()->height() >= fiveLines);
        QVERIFY(f.Win->LvFavs->height() > listBefore);
    }
};

QTEST_MAIN(TestMainWindowKeys)
#include "tst_MainWindowKeys.moc"
