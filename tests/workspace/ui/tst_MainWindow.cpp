// The main window: start-up switches, menus and keys, log, the favourites list and its actions,
// and the focus staying on the list after its commands.
#include "support/MainWindowFixture.h"
#include "text/Exception.h"
#include "ui/DragObject.h"
#include "workspace/ui/DebugWindow.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/SearchDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using kv::test::TMainWindowFixture;
using namespace kv;

namespace {

// A failure of a more specific type than the generic one.
class ETestSpecific : public Exception {
public:
    ETestSpecific() : Exception("DromEd window not found") {}
    const char* ClassName() const noexcept override { return "EDromEdNotFound"; }
};

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? "-" : a->text());
    return texts;
}

QMenu* TopMenu(const TFrmKvMain& win, const QString& title) {
    for (QAction* a : win.menuBar()->actions()) {
        if (a->text() == title) return a->menu();
    }
    return nullptr;
}

void ClickHeader(TFrmKvMain& win, int column) {
    QHeaderView* header = win.LvFavs->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// The window as the user sees it: shown, active, with the focus in it.
void Activate(TMainWindowFixture& f) {
    f.Win->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.Win.get()));
}

QString FocusName() {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString("<none>");
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void debugSwitch() {
        const std::pair<QStringList, bool> cases[] = {
            {{}, false}, {{"a.kvf", "x", "-DEBUG"}, true}, {{"-debugging"}, false}};
        for (const auto& [args, shown] : cases) {
            TMainWindowFixture f(args);
            const QAction* item = f.Win->MiDebug->menuAction();
            QCOMPARE(QList<bool>({f.Win->DebugMode(), item->isVisible(), item->isEnabled(),
                                  f.Win->MiDebug2->menuAction()->isVisible()}),
                     QList<bool>(4, shown));
        }
    }

    void menusHoldTheirCommands() {
        TMainWindowFixture f;
        QCOMPARE(
            MenuTexts(TopMenu(*f.Win, "&File")),
            (QStringList{"&New", "&Open...", "&Save", "Save &As...", "-",
                         "Load from mission file...", "Check mission file for errors...",
                         "Generate loot list from mission file...", "-", "Settings...", "E&xit"}));
        QCOMPARE(MenuTexts(TopMenu(*f.Win, "&Edit")),
                 (QStringList{"Properties...", "Links...", "Sources...", "Receptrons...",
                              "Select (in DromEd)", "Go to (in DromEd)", "-", "Display filter...",
                              "Find object by name...", "Remove from Favorites",
                              "Clear all Favorites"}));
        QCOMPARE(MenuTexts(TopMenu(*f.Win, "&Misc")),
                 (QStringList{"Docking", "Start DromEd", "Link Painter", "-",
                              "Go to Korvane web site...", "&About Korvane...", "Debug"}));
        QMenu* docking = f.Win->findChild<QMenu*>("MiDocking");
        QVERIFY(docking);
        QCOMPARE(MenuTexts(docking), (QStringList{"Undocked", "Left", "Top", "Right", "Bottom", "-",
                                                  "Push DromEd to screen edge"}));
        QCOMPARE(MenuTexts(f.Win->PopupFavs),
                 (QStringList{"Properties...", "Links...", "Sources...", "Receptrons...",
                              "Select (in DromEd)", "Go to (in DromEd)", "-",
                              "Remove from Favorites", "Debug"}));
        QCOMPARE(MenuTexts(f.Win->PopupLog), QStringList{"&Clear log"});
        QCOMPARE(f.Win->ActSearch->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        QCOMPARE(f.Win->ActRemoveFav->shortcut(), QKeySequence("Del"));
        QCOMPARE(f.Win->ActAddDromEdSel->toolTip(), QString("Add current DromEd selction to list"));
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: Show all"));
        QStringList buttons;
        for (const char* name : {"TbAdd", "TbSel", "TbProperties", "TbLinks", "TbSearch"}) {
            auto* b = f.Win->findChild<QWidget*>(name);
            QVERIFY2(b, name);
            buttons << b->property("text").toString();
        }
        QCOMPARE(buttons, (QStringList{"Add", "Sel", "P", "L", "Fnd"}));
        f.Win->ActAbout->trigger();
        QVERIFY(f.Prompts.Messages.back().Text.startsWith("Korvane 0.94"));
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Information);
        f.Win->ActWebSite->trigger();
        QCOMPARE(f.Prompts.OpenedUrls, QStringList{kWebSiteAddress});
    }

    void logPutsNewestLineOnTopWithTimeAndColour() {
        TMainWindowFixture f;
        f.Win->LogException(Exception("Failed to move DromEd camera"));
        f.Win->LogException(ETestSpecific());
        f.Win->LogException(EAbort());
        QCOMPARE(f.LogLines(),
                 (QStringList{"Operation aborted", "EDromEdNotFound: DromEd window not found",
                              "Failed to move DromEd camera"}));
        QCOMPARE(f.Prompts.Beeps, 3);
        f.Win->PopupLog->findChild<QAction*>("MiLogClear")->trigger();
        f.Win->Log("first");
        f.Win->LogError("second");
        QCOMPARE(f.LogLines(), (QStringList{"second", "first"}));
        const QTextBlock top = f.Win->ReLog->document()->begin();
        QVERIFY(QRegularExpression(R"(^\[\d\d:\d\d\] second$)").match(top.text()).hasMatch());
        QCOMPARE(top.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        const QTextBlock next = top.next();
        QCOMPARE(next.begin().fragment().charFormat().foreground().color(),
                 f.Win->palette().color(QPalette::WindowText));
    }

    void rowsShowTheirColumnsAndAReplaceTakesTheFirstTwin() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.Add(bkRoom, 15, 0, "Hall");
        QCOMPARE(f.Column(0) + f.Column(1) + f.Column(2) + f.Column(3),
                 (QStringList{"O", "R", "12", "15", "345", "?", "Guard (345)", "Hall"}));
        const int widths[] = {40, 35, 45, 180};
        for (int c = 0; c < 4; ++c) QCOMPARE(f.Win->LvFavs->columnWidth(c), widths[c]);
        QVERIFY(f.Row(0)->textAlignment(1) & Qt::AlignRight);
        f.Add(bkObject, 12, 2, "second twelve");
        f.Add(bkObject, 12, 3, "new twelve", true);
        QCOMPARE(f.Column(3), (QStringList{"Hall", "second twelve", "new twelve"}));
        QCOMPARE(f.Win->Favorites().size(), std::size_t{3});
        QCOMPARE(f.LogLines(), QStringList{"Removed existing favorite with same brush number"});
        f.Add(bkObject, 8, 4, "no twin", true);
        QCOMPARE(f.LogLines().size(), 1);
    }

    void headerClicksSortReverseAndShowTheSort() {
        TMainWindowFixture f;
        f.Add(bkObject, 9, 1, "guard");
        f.Add(bkRoom, 2, 2, "Guard");
        f.Add(bkTerrain, 5, 0, "apple");
        f.Add(bkLight, 1, 0, "Zed");
        QHeaderView* header = f.Win->LvFavs->header();
        QVERIFY(!header->isSortIndicatorShown());
        const struct {
            int Column;
            const char* Brushes;
            Qt::SortOrder Order;
        } clicks[] = {{3, "5 2 9 1", Qt::AscendingOrder},
                      {3, "1 9 2 5", Qt::DescendingOrder},
                      {0, "5 1 9 2", Qt::AscendingOrder}, // T, L, O, R
                      {2, "1 5 9 2", Qt::AscendingOrder},
                      {1, "1 2 5 9", Qt::AscendingOrder}};
        for (const auto& c : clicks) {
            ClickHeader(*f.Win, c.Column);
            QCOMPARE(f.Column(1).join(' '), QString(c.Brushes));
            QVERIFY(f.Win->SortColumn() == c.Column && header->sortIndicatorSection() == c.Column);
            QVERIFY(f.Win->SortDescending() == (c.Order == Qt::DescendingOrder) &&
                    header->sortIndicatorOrder() == c.Order && header->isSortIndicatorShown());
        }
        // A later row is appended, not sorted in.
        f.Add(bkTerrain, 0, 0, "late");
        QCOMPARE(f.Column(1).last(), QString("0"));
    }

    void actionsFollowTheSelectedRow() {
        TMainWindowFixture f;
        f.Add(bkLight, 1, 0, "Light");
        f.Add(bkObject, 2, 345, "Guard (345)");
        QSignalSpy goTo(f.Win->ActGoto, &QAction::triggered);
        f.Win->LvFavs->setFocus();
        for (const int row : {-1, 0, 1}) {
            f.Win->LvFavs->clearSelection();
            if (row >= 0) f.Row(row)->setSelected(true);
            const QString where = QString("row %1").arg(row);
            for (QAction* a :
                 {f.Win->ActProperties, f.Win->ActLinks, f.Win->ActSources, f.Win->ActReceptrons}) {
                QVERIFY2(a->isEnabled() == (row == 1), qPrintable(where + " " + a->text()));
            }
            for (QAction* a : {f.Win->ActSelInDromEd, f.Win->ActGoto, f.Win->ActRemoveFav}) {
                QVERIFY2(a->isEnabled() == (row >= 0), qPrintable(where + " " + a->text()));
            }
            QVERIFY(f.Win->ActClearAllFav->isEnabled());
            QTest::keyClick(f.Win->LvFavs, Qt::Key_Return); // Go to, when it is enabled
            QCOMPARE(goTo.count(), row + 1);
        }
    }

    void selectByBrushNumSkipsHiddenItemsAndClearingAsksFirst() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Add(bkLight, 7, 0, "Light");
        f.Win->SelectByBrushNum(7);
        QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 7);
        QCOMPARE(f.Win->LvFavs->currentItem(), f.Row(1));
        f.Win->ListFilter.Kinds = KindBit(bkTerrain);
        f.Win->RebuildList();
        f.Win->SelectByBrushNum(7);
        QCOMPARE(f.LogLines(), QStringList{"No item with brush number 7"});
        QCOMPARE(f.Win->GetSelectedInfo().Kind, bkNone);
        f.Win->SetModified(false);
        f.Prompts.Answers = {TMsgAnswer::No};
        f.Win->ActClearAllFav->trigger();
        QCOMPARE(f.Win->Favorites().size(), std::size_t{2});
        QCOMPARE(f.Prompts.Messages.back().Text, QString("Clear all favorites?"));
        QCOMPARE(f.Prompts.Messages.back().Buttons, TMsgButtons::YesNo);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Win->ActClearAllFav->trigger();
        QVERIFY(f.RowCount() == 0 && f.Win->Favorites().empty() && f.Win->Modified());
    }

    void displayFilterHidesAndRefills() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Add(bkObject, 2, 5, "Wooden door (5)");
        f.Add(bkLight, 3, 0, "Light");
        ClickHeader(*f.Win, 3); // sorted by name: Light, Terrain, Wooden door
        const auto setBoxes = [](bool on, const QString& name) {
            return [on, name](QDialog& d) {
                auto& dlg = dynamic_cast<TFrmDisplayFilter&>(d);
                for (int k = bkTerrain; k <= bkRoom; ++k) {
                    dlg.KindBox(static_cast<TBrushKind>(k))->setChecked(on);
                }
                dlg.EdNameFilter->setText(name);
                return int(QDialog::Accepted);
            };
        };
        f.Prompts.Dialogs.push_back(setBoxes(false, {}));
        f.Win->ActFilter->trigger();
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: , hide TLAOFR"));
        QCOMPARE(f.RowCount(), 0);

        f.Prompts.Dialogs.push_back(setBoxes(true, {}));
        QTest::mouseClick(f.Win->LbFilter, Qt::LeftButton); // the label opens the dialog too
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: Show all"));
        QCOMPARE(f.Column(1), (QStringList{"1", "2", "3"})); // the list's own order again

        f.Prompts.Dialogs.push_back(setBoxes(true, "DOOR"));
        f.Win->ActFilter->trigger();
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: TLAOFR, \"DOOR\" in name"));
        QCOMPARE(f.Column(3), QStringList{"Wooden door (5)"});

        // Cancel changes neither label nor list.
        f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Rejected); });
        f.Win->ActFilter->trigger();
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: TLAOFR, \"DOOR\" in name"));
        QCOMPARE(f.RowCount(), 1);

        // A row added later shows whatever the filter says.
        f.Add(bkLight, 9, 0, "Light");
        QCOMPARE(f.RowCount(), 2);
    }

    void findByNameSelectsTheRowAndDragCarriesTheSelectionInDisplayOrder() {
        TMainWindowFixture f;
        TBrushInfo* a = f.Add(bkObject, 12, 12, "guard post (12)");
        f.Add(bkTerrain, 3, 0, "Guard terrain");
        TBrushInfo* c = f.Add(bkObject, 30, 345, "Guard (345)");
        TBrushInfo* d = f.Add(bkObject, 4, 40, "d");
        f.Prompts.Dialogs.push_back([](QDialog& dialog) {
            auto& dlg = dynamic_cast<TFrmSearch&>(dialog);
            QTest::keyClicks(dlg.EdText, "gu"); // Guard (345), guard post (12)
            QTest::keyClick(dlg.EdText, Qt::Key_Return);
            return dlg.result();
        });
        f.Win->ActSearch->trigger();
        QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 30);
        f.SelectRows({3, 0, 2});
        const auto drag = f.Win->CreateDragObject();
        QCOMPARE(drag->Items, (std::vector<TBrushInfo*>{a, c, d}));
        QVERIFY(!drag->OwnsItems() && drag->hasFormat(TKorvane_DragObjectEx::MimeType()));
    }

    void closingAsksAboutChangesAndSettings() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "mine");
        f.Win->SetModified(true);
        f.Prompts.Answers = {TMsgAnswer::Cancel};
        QVERIFY(!f.Win->close());
        QVERIFY(f.Win->isVisible());
        QVERIFY(!QFile::exists(f.Path("korvane.ini"))); // settings untouched
        QCOMPARE(f.Prompts.Messages.back().Text, QString("Save changes?"));
        // A failing save keeps the window open without a message of its own.
        QDir(f.Path("dir.kvf")).mkpath(".");
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {f.Path("dir.kvf")};
        QVERIFY(!f.Win->close());
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{2}); // the two questions
        f.Prompts.Files = {f.Path("onclose.kvf")};
        QDir(f.Path("korvane.ini")).mkpath("."); // a folder where the settings should go
        f.Prompts.Answers = {TMsgAnswer::Yes, TMsgAnswer::No};
        QVERIFY(!f.Win->close());
        QVERIFY(QFile(f.Path("onclose.kvf")).size() > 0);
        const auto& m = f.Prompts.Messages.back();
        QVERIFY2(m.Text.startsWith("Failed to save settings:\rException: Cannot write file ") &&
                     m.Text.endsWith("\r\rQuit anyway?") && m.Type == TMsgType::Warning &&
                     m.Buttons == TMsgButtons::YesNo,
                 qPrintable(m.Text));
        f.Prompts.Answers = {TMsgAnswer::Yes};
        QVERIFY(f.Win->close());
    }

    void settingsAreReadAtStart() {
        QTemporaryDir dir;
        QFile ini(dir.filePath("korvane.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly) &&
                ini.write("[settings]\r\ndock=4\r\nPush=0\r\nHkAdd=0\r\n") > 0);
        ini.close();
        test::TScriptedPrompts prompts;
        TDmMisc dm;
        TMainWindowEnv env;
        env.SettingsFile = PathFromQt(ini.fileName());
        env.Prompts = &prompts;
        env.DmMisc = &dm;
        sim::TSimDesktop desktop;
        env.Platform = &desktop;
        TFrmKvMain win(env);
        win.show();
        QCOMPARE(QList<int>({Settings.Dock, Settings.HkAdd, Settings.HkSel}),
                 QList<int>({4, 0, 0x8053}));
        QVERIFY(win.MiDockBottom->isChecked() && !win.MiPush->isChecked());
    }

    void debugFormOpensFromTheMenu() {
        TMainWindowFixture f({"-debug"});
        QAction* item = f.Win->findChild<QAction*>("MiDebugForm");
        QVERIFY(item);
        item->trigger();
        item->trigger();
        int forms = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowTitle() == "Debug" && w->isVisible()) ++forms;
        }
        QCOMPARE(forms, 2);
        auto* form = f.Win->findChild<TFrmDebug*>();
        QVERIFY(form);
        QCOMPARE(form->findChild<QPushButton*>("BtLoadMis")->text(), QString("Load mis..."));
        QCOMPARE(form->findChild<QPushButton*>("BtObjs")->text(), QString("Objects"));
        QCOMPARE(form->findChild<QPushButton*>("BtWmChar")->text(), QString("WM_CHAR"));
        // The form's log grows at its end, whatever the cursor and the keys do, until cleared.
        form->DebugLog("first");
        form->ReLog->moveCursor(QTextCursor::Start);
        form->DebugLog("second");
        QTest::keyClicks(form->ReLog, "typed");
        QTest::keyClick(form->ReLog, Qt::Key_Backspace);
        QCOMPARE(form->ReLog->toPlainText(), QString("first\nsecond\n"));
        QCOMPARE(form->ReLog->contextMenuPolicy(), Qt::ActionsContextMenu);
        for (QAction* a : form->ReLog->actions())
            if (a->text() == "&Clear") a->trigger();
        form->DebugLog("three");
        QCOMPARE(form->ReLog->toPlainText(), QString("three\n"));
    }

    void fileCommandsHaveTheirUsualKeys() {
        TMainWindowFixture f;
        Activate(f);
        f.Add(bkObject, 7, 70, "Guard (70)");
        f.Win->ReLog->setFocus(); // the keys work wherever the focus is in the window
        f.Prompts.Files = {f.Path("one.kvf")};
        QTest::keyClick(f.Win->ReLog, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [one.kvf]"));
        QTest::keyClick(f.Win->ReLog, Qt::Key_N, Qt::ControlModifier); // unchanged: no question
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.RowCount(), 0);
        f.Prompts.Files = {f.Path("one.kvf")};
        QTest::keyClick(f.Win->ReLog, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.Column(3), QStringList{"Guard (70)"});
        QCOMPARE(FocusName(), QString("LvFavs"));
    }

    void deleteWorksOnlyInTheListWhichKeepsTheFocus() {
        TMainWindowFixture f;
        f.Add(bkObject, 1, 11, "Zombie (11)");
        f.Add(bkObject, 2, 22, "apple (22)");
        f.Add(bkTerrain, 3, 0, "Terrain");
        f.Add(bkLight, 4, 0, "Light");
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
        // The list keeps the focus after its other commands too.
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
        };
        for (const auto& [name, run] : commands) {
            f.Win->ReLog->setFocus();
            QCOMPARE(FocusName(), QString("ReLog"));
            run();
            QVERIFY2(FocusName() == "LvFavs", name);
        }
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
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
