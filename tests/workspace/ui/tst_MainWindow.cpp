// The main window: start-up switches, title, menus, log, the favourites list and its actions.
#include "support/MainWindowFixture.h"
#include "text/Exception.h"
#include "ui/DragObject.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/SearchDialog.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

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

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void debugSwitch_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("shown");
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("capitals third") << QStringList{"a.kvf", "x", "-DEBUG"} << true;
        QTest::newRow("first") << QStringList{"-debug"} << true;
        QTest::newRow("longer word") << QStringList{"-debugging"} << false;
        QTest::newRow("without dash") << QStringList{"debug"} << false;
    }
    void debugSwitch() {
        QFETCH(QStringList, args);
        QFETCH(bool, shown);
        TMainWindowFixture f(args);
        QCOMPARE(f.Win->DebugMode(), shown);
        QCOMPARE(f.Win->MiDebug->menuAction()->isVisible(), shown);
        QCOMPARE(f.Win->MiDebug->menuAction()->isEnabled(), shown);
        QCOMPARE(f.Win->MiDebug2->menuAction()->isVisible(), shown);
    }

    void titleFollowsFileAndChanges() {
        TMainWindowFixture f;
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*Unnamed]"));
        f.Win->SetFileName(PathFromQt(f.Path("level1.kvf")));
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
    }

    void showingAgainRepeatsNothingOfTheFirstShow() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 2, 0, "b");
        f.Add(bkTerrain, 1, 0, "a");
        f.Win->SortByColumn(1);
        Settings.Dock = 1;
        f.Win->hide();
        f.Win->show();
        QCOMPARE(f.Win->SortColumn(), 1);
        QVERIFY(f.Win->MiDockRight->isChecked()); // the menu is not marked again
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
        QCOMPARE(f.Win->ActAddDromEdSel->toolTip(), QString("Add current DromEd selction to list"));
        QCOMPARE(f.Win->LbFilter->text(), QString("Filter: Show all"));
        QStringList buttons;
        for (const char* name : {"TbAdd", "TbSel", "TbProperties", "TbLinks", "TbSearch"}) {
            auto* b = f.Win->findChild<QWidget*>(name);
            QVERIFY2(b, name);
            buttons << b->property("text").toString();
        }
        QCOMPARE(buttons, (QStringList{"Add", "Sel", "P", "L", "Fnd"}));
    }

    void logPutsNewestLineOnTopWithTimeAndColour() {
        TMainWindowFixture f;
        f.Win->Log("first");
        f.Win->LogError("second");
        QCOMPARE(f.LogLines(), (QStringList{"second", "first"}));
        const QTextBlock top = f.Win->ReLog->document()->begin();
        QVERIFY(QRegularExpression(R"(^\[\d\d:\d\d\] second$)").match(top.text()).hasMatch());
        QCOMPARE(top.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        const QTextBlock next = top.next();
        QCOMPARE(next.begin().fragment().charFormat().foreground().color(),
                 f.Win->palette().color(QPalette::WindowText));
        QAction* clear = f.Win->PopupLog->findChild<QAction*>("MiLogClear");
        QVERIFY(clear);
        clear->trigger();
        QVERIFY(f.LogLines().isEmpty());
    }

    void logExceptionNamesSpecificTypesAndBeeps() {
        TMainWindowFixture f;
        f.Win->LogException(Exception("Failed to move DromEd camera"));
        f.Win->LogException(ETestSpecific());
        f.Win->LogException(EAbort());
        QCOMPARE(f.LogLines(),
                 (QStringList{"Operation aborted", "EDromEdNotFound: DromEd window not found",
                              "Failed to move DromEd camera"}));
        QCOMPARE(f.Prompts.Beeps, 3);
    }

    void rowsShowKindNumbersAndNames() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.Add(bkObject, 13, 0, "Nameless");
        f.Add(bkTerrain, 14, 99, "Terrain");
        f.Add(bkRoom, 15, 7, "Hall (7)");
        f.Add(static_cast<TBrushKind>(9), 16, 0, "odd");
        QCOMPARE(f.Column(0), (QStringList{"O", "O", "T", "R", "?"}));
        QCOMPARE(f.Column(1), (QStringList{"12", "13", "14", "15", "16"}));
        QCOMPARE(f.Column(2), (QStringList{"345", "?", "", "7", ""}));
        QCOMPARE(f.Column(3).first(), QString("Guard (345)"));
        const int widths[] = {40, 35, 45, 180};
        for (int c = 0; c < 4; ++c) QCOMPARE(f.Win->LvFavs->columnWidth(c), widths[c]);
        QVERIFY(f.Row(0)->textAlignment(1) & Qt::AlignRight);
    }

    void addingWithSameBrushReplacesOnlyTheFirst() {
        TMainWindowFixture f;
        f.Add(bkObject, 5, 1, "first five");
        f.Add(bkLight, 7, 0, "Light");
        f.Add(bkObject, 5, 2, "second five");
        f.Add(bkObject, 5, 3, "new five", true);
        QCOMPARE(f.Column(3), (QStringList{"Light", "second five", "new five"}));
        QCOMPARE(f.Win->Favorites().size(), std::size_t{3});
        QCOMPARE(f.LogLines(), QStringList{"Removed existing favorite with same brush number"});
        f.Add(bkObject, 8, 4, "no twin", true);
        QCOMPARE(f.LogLines().size(), 1);
    }

    void headerClicksSortAndReverse() {
        TMainWindowFixture f;
        f.Add(bkObject, 9, 1, "guard");
        f.Add(bkRoom, 2, 2, "Guard");
        f.Add(bkTerrain, 5, 0, "apple");
        f.Add(bkLight, 1, 0, "Zed");
        ClickHeader(*f.Win, 3);
        QCOMPARE(f.Column(1), (QStringList{"5", "2", "9", "1"}));
        ClickHeader(*f.Win, 3);
        QCOMPARE(f.Column(1), (QStringList{"1", "9", "2", "5"}));
        QVERIFY(f.Win->SortDescending());
        ClickHeader(*f.Win, 0);
        QCOMPARE(f.Column(0), (QStringList{"T", "L", "O", "R"}));
        QVERIFY(!f.Win->SortDescending());
        ClickHeader(*f.Win, 1);
        QCOMPARE(f.Column(1), (QStringList{"1", "2", "5", "9"}));
        // A later row is appended, not sorted in.
        f.Add(bkTerrain, 0, 0, "late");
        QCOMPARE(f.Column(1).last(), QString("0"));
    }

    void actionsFollowTheSelectedRow() {
        TMainWindowFixture f;
        f.Add(bkLight, 1, 0, "Light");
        f.Add(bkObject, 2, 345, "Guard (345)");
        f.Add(bkObject, 3, 0, "Unknown");
        f.Add(static_cast<TBrushKind>(0), 4, 0, "none");
        struct Case {
            int row; // -1: nothing selected
            bool needsObject;
            bool needsSelection;
        };
        for (const Case c : {Case{-1, false, false}, Case{0, false, true}, Case{1, true, true},
                             Case{2, false, true}, Case{3, false, false}}) {
            f.Win->LvFavs->clearSelection();
            if (c.row >= 0) f.Row(c.row)->setSelected(true);
            const QString where = QString("row %1").arg(c.row);
            for (QAction* a :
                 {f.Win->ActProperties, f.Win->ActLinks, f.Win->ActSources, f.Win->ActReceptrons}) {
                QVERIFY2(a->isEnabled() == c.needsObject, qPrintable(where + " " + a->text()));
            }
            for (QAction* a : {f.Win->ActSelInDromEd, f.Win->ActGoto, f.Win->ActRemoveFav}) {
                QVERIFY2(a->isEnabled() == c.needsSelection, qPrintable(where + " " + a->text()));
            }
            QVERIFY(f.Win->ActClearAllFav->isEnabled());
        }
    }

    void enterInTheListRunsGoToOnlyWhenEnabled() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        QSignalSpy spy(f.Win->ActGoto, &QAction::triggered);
        f.Win->LvFavs->setFocus();
        f.Win->LvFavs->clearSelection();
        QTest::keyClick(f.Win->LvFavs, Qt::Key_Return);
        QCOMPARE(spy.count(), 0);
        f.SelectRows({0});
        QTest::keyClick(f.Win->LvFavs, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);
    }

    void removeAndClearFavorites() {
        TMainWindowFixture f;
        for (int i = 1; i <= 4; ++i) f.Add(bkTerrain, i, 0, "T" + std::to_string(i));
        f.SelectRows({1, 3});
        f.Win->ActRemoveFav->trigger();
        QCOMPARE(f.Column(1), (QStringList{"1", "3"}));
        QCOMPARE(f.Win->Favorites().size(), std::size_t{2});
        QVERIFY(f.Win->Modified());

        f.Prompts.Answers = {TMsgAnswer::No};
        f.Win->ActClearAllFav->trigger();
        QCOMPARE(f.RowCount(), 2);
        QCOMPARE(f.Prompts.Messages.back().Text, QString("Clear all favorites?"));
        QCOMPARE(f.Prompts.Messages.back().Buttons, TMsgButtons::YesNo);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Win->ActClearAllFav->trigger();
        QCOMPARE(f.RowCount(), 0);
        QVERIFY(f.Win->Favorites().empty());
    }

    void selectByBrushNumSkipsHiddenItems() {
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

    void findByNameSelectsTheRow() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 12, "guard post (12)");
        f.Add(bkTerrain, 3, 0, "Guard terrain");
        f.Add(bkObject, 30, 345, "Guard (345)");
        QStringList offered;
        f.Prompts.Dialogs.push_back([&offered](QDialog& d) {
            auto& dlg = dynamic_cast<TFrmSearch&>(d);
            QTest::keyClicks(dlg.EdText, "gu");
            for (int i = 0; i < dlg.ListBox->count(); ++i) offered << dlg.ListBox->item(i)->text();
            QTest::keyClick(dlg.EdText, Qt::Key_Return);
            return dlg.result();
        });
        f.Win->ActSearch->trigger();
        QCOMPARE(offered, (QStringList{"Guard (345)", "guard post (12)"}));
        QCOMPARE(f.Win->GetSelectedInfo().BrushNum, 30);
    }

    void dragCarriesSelectedItemsInDisplayOrder() {
        TMainWindowFixture f;
        TBrushInfo* a = f.Add(bkObject, 1, 10, "a");
        f.Add(bkObject, 2, 20, "b");
        TBrushInfo* c = f.Add(bkObject, 3, 30, "c");
        TBrushInfo* d = f.Add(bkObject, 4, 40, "d");
        f.SelectRows({3, 0, 2});
        const auto drag = f.Win->CreateDragObject();
        QCOMPARE(drag->Items, (std::vector<TBrushInfo*>{a, c, d}));
        QVERIFY(!drag->OwnsItems());
        QVERIFY(drag->hasFormat(TKorvane_DragObjectEx::MimeType()));
    }

    void closingWithCancelKeepsRunningAndSettingsUntouched() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Win->SetModified(true);
        f.Prompts.Answers = {TMsgAnswer::Cancel};
        QVERIFY(!f.Win->close());
        QVERIFY(f.Win->isVisible());
        QVERIFY(!QFile::exists(f.Path("korvane.ini")));
        QCOMPARE(f.Prompts.Messages.back().Text, QString("Save changes?"));

        f.Prompts.Answers = {TMsgAnswer::No};
        QVERIFY(f.Win->close());
        QVERIFY(QFile::exists(f.Path("korvane.ini")));
    }

    void closingAsksWhenSettingsCannotBeSaved() {
        TMainWindowFixture f;
        QDir(f.Path("korvane.ini")).mkpath("."); // a folder where the file should go
        f.Prompts.Answers = {TMsgAnswer::No};
        QVERIFY(!f.Win->close());
        const auto& m = f.Prompts.Messages.back();
        QVERIFY2(m.Text.startsWith("Failed to save settings:\rException: Cannot write file "),
                 qPrintable(m.Text));
        QVERIFY(m.Text.endsWith("\r\rQuit anyway?"));
        QCOMPARE(m.Type, TMsgType::Warning);
        QCOMPARE(m.Buttons, TMsgButtons::YesNo);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        QVERIFY(f.Win->close());
    }

    void dockingMenuFollowsAndChangesSettings() {
        {
            TMainWindowFixture f;
            QVERIFY(f.Win->MiDockRight->isChecked()); // the default docks at the right
            QVERIFY(f.Win->MiPush->isChecked());
            f.Win->MiDockLeft->trigger();
            QCOMPARE(Settings.Dock, 1);
            QVERIFY(f.Win->MiDockLeft->isChecked() && !f.Win->MiDockRight->isChecked());
            f.Win->MiPush->trigger();
            QVERIFY(!Settings.Push);
            QVERIFY(!f.Win->MiPush->isChecked());
            QVERIFY(f.Win->close());
            TSettings stored;
            LoadSettings(stored, PathFromQt(f.Path("korvane.ini")));
            QCOMPARE(stored.Dock, 1);
            QVERIFY(!stored.Push);
        }
    }

    void settingsAreReadAtStart() {
        QTemporaryDir dir;
        QFile ini(dir.filePath("korvane.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[settings]\r\ndock=4\r\nPush=0\r\nHkAdd=0\r\n");
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
        QCOMPARE(Settings.Dock, 4);
        QCOMPARE(Settings.HkAdd, 0);
        QCOMPARE(Settings.HkSel, 0x8053);
        QVERIFY(win.MiDockBottom->isChecked());
        QVERIFY(!win.MiPush->isChecked());
    }

    void aboutAndWebSite() {
        TMainWindowFixture f;
        f.Win->ActAbout->trigger();
        QVERIFY(f.Prompts.Messages.back().Text.startsWith("Korvane 0.94"));
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Information);
        f.Win->ActWebSite->trigger();
        QCOMPARE(f.Prompts.OpenedUrls, QStringList{kWebSiteAddress});
    }

    void failuresOfCommandsReachTheErrorBox() {
        TMainWindowFixture f;
        QDir(f.Path("folder.kvf")).mkpath(".");
        f.Prompts.Files = {f.Path("folder.kvf")};
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
        QVERIFY2(f.Prompts.Messages[0].Text.contains("folder"),
                 qPrintable(f.Prompts.Messages[0].Text));
        // The silent abort shows nothing.
        f.Win->SetModified(true);
        f.Prompts.Answers = {TMsgAnswer::Cancel};
        f.Win->ActNew->trigger();
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{2}); // only the question
        QVERIFY(f.Win->Modified());
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
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
