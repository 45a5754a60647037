// The main window: start-up switches, menus and keys, log, the favourites list and its actions,
// the focus staying on the list after its commands, and the favourites file: New, Open, Save,
// Save As and the question that guards unsaved changes.
#include "support/DemoMission.h"
#include "support/MainWindowFixture.h"
#include "text/Exception.h"
#include "ui/DragObject.h"
#include "workspace/ui/DebugWindow.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/SearchDialog.h"

#include <QApplication>
#include <QDir>
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

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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
        QStringList menus;
        for (QMenu* m : {TopMenu(*f.Win, "&File"), TopMenu(*f.Win, "&Edit"),
                         TopMenu(*f.Win, "&Misc"), f.Win->findChild<QMenu*>("MiDocking"),
                         f.Win->PopupFavs, f.Win->PopupLog})
            menus << MenuTexts(m).join(',');
        QCOMPARE(menus,
                 (QStringList{"&New,&Open...,&Save,Save &As...,-,Load from mission file...,Check "
                              "mission file for errors...,Generate loot list from mission "
                              "file...,-,Settings...,E&xit",
                              "Properties...,Links...,Sources...,Receptrons...,Select (in DromEd),"
                              "Go to (in DromEd),-,Display filter...,Find object by name...,"
                              "Remove from Favorites,Clear all Favorites",
                              "Docking,Start DromEd,Link Painter,-,Go to Korvane web site...,"
                              "&About Korvane...,Debug",
                              "Undocked,Left,Top,Right,Bottom,-,Push DromEd to screen edge",
                              "Properties...,Links...,Sources...,Receptrons...,Select (in DromEd),"
                              "Go to (in DromEd),-,Remove from Favorites,Debug",
                              "&Clear log"}));
        QStringList seen = {f.Win->ActSearch->shortcut().toString(),
                            f.Win->ActRemoveFav->shortcut().toString(),
                            f.Win->ActAddDromEdSel->toolTip(), f.Win->LbFilter->text()};
        for (const char* name : {"TbAdd", "TbSel", "TbProperties", "TbLinks", "TbSearch"})
            seen << f.Win->findChild<QWidget*>(name)->property("text").toString();
        QCOMPARE(seen, (QStringList{"Ctrl+F", "Del", "Add current DromEd selction to list",
                                    "Filter: Show all", "Add", "Sel", "P", "L", "Fnd"}));
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

    // The object commands need an object with an ID (an archetype's counts); the others any row.
    void actionsFollowTheSelectedRow() {
        TMainWindowFixture f;
        f.Add(bkLight, 1, 0, "Light");
        f.Add(bkObject, 2, 345, "Guard (345)");
        f.Add(bkObject, 3, -3, "Archetype");
        f.Add(bkObject, 4, 0, "Lamp (0)");
        f.Add(bkRoom, 5, 7, "Kitchen (7)");
        QSignalSpy goTo(f.Win->ActGoto, &QAction::triggered);
        f.Win->LvFavs->setFocus();
        for (const int row : {-1, 0, 1, 2, 3, 4}) {
            f.Win->LvFavs->clearSelection();
            if (row >= 0) f.Row(row)->setSelected(true);
            QString enabled;
            for (QAction* a : {f.Win->ActProperties, f.Win->ActLinks, f.Win->ActSources,
                               f.Win->ActReceptrons, f.Win->ActSelInDromEd, f.Win->ActGoto,
                               f.Win->ActRemoveFav, f.Win->ActClearAllFav}) {
                enabled += a->isEnabled() ? '1' : '0';
            }
            const bool object = row == 1 || row == 2;
            QCOMPARE(enabled, QString(object ? "1111" : "0000") + (row >= 0 ? "111" : "000") + "1");
            QTest::keyClick(f.Win->LvFavs, Qt::Key_Return); // Go to, when it is enabled
            QCOMPARE(goTo.count(), row + 1);
        }
    }

    void selectByBrushNumSkipsHiddenItemsAndClearingAsksFirst() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Add(bkLight, 7, 0, "Light");
        f.Win->SelectByBrushNum(7);
        QVERIFY(f.Win->GetSelectedInfo().BrushNum == 7 && f.Win->LvFavs->currentItem() == f.Row(1));
        f.Win->ListFilter.Kinds = KindBit(bkTerrain);
        f.Win->RebuildList();
        f.Win->SelectByBrushNum(7);
        QCOMPARE(f.LogLines(), QStringList{"No item with brush number 7"});
        QCOMPARE(f.Win->GetSelectedInfo().Kind, bkNone);
        f.Win->SetModified(false);
        f.Prompts.Answers = {TMsgAnswer::No};
        f.Win->ActClearAllFav->trigger();
        QVERIFY(f.Win->Favorites().size() == 2 &&
                f.Prompts.Messages.back().Buttons == TMsgButtons::YesNo);
        QCOMPARE(f.Prompts.Messages.back().Text, QString("Clear all favorites?"));
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
        const auto choose = [&f](TKindSet kinds, const char* name) {
            f.Prompts.Dialogs.push_back([=](QDialog& d) {
                dynamic_cast<TFrmDisplayFilter&>(d).SetFilter({kinds, name});
                return int(QDialog::Accepted);
            });
        };
        const auto shown = [&f] { return f.Win->LbFilter->text() + "|" + f.Column(3).join(','); };
        choose(0, "");
        f.Win->ActFilter->trigger();
        QCOMPARE(shown(), QString("Filter: , hide TLAOFR|"));
        choose(kAllKinds, "");
        QTest::mouseClick(f.Win->LbFilter, Qt::LeftButton); // the label opens the dialog too
        // The list's own order again.
        QCOMPARE(shown(), QString("Filter: Show all|Terrain,Wooden door (5),Light"));
        choose(kAllKinds, "DOOR");
        f.Win->ActFilter->trigger();
        QCOMPARE(shown(), QString("Filter: TLAOFR, \"DOOR\" in name|Wooden door (5)"));
        // Cancel changes neither label nor list.
        f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Rejected); });
        f.Win->ActFilter->trigger();
        QCOMPARE(shown(), QString("Filter: TLAOFR, \"DOOR\" in name|Wooden door (5)"));
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
        QVERIFY(!f.Win->close() && f.Win->isVisible());
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
        TMainWindowFixture f({}, false);
        f.Win.reset(); // the window below reads the settings file the test writes first
        WriteBytes(f.Path("korvane.ini"), "[settings]\r\ndock=4\r\nPush=0\r\nHkAdd=0\r\n");
        TFrmKvMain win({.SettingsFile = PathFromQt(f.Path("korvane.ini")), .Prompts = &f.Prompts,
                        .DmMisc = &f.Dm, .Platform = &f.Desktop});
        win.show();
        QCOMPARE(QList<int>({Settings.Dock, Settings.HkAdd, Settings.HkSel}),
                 QList<int>({4, 0, 0x8053}));
        QVERIFY(win.MiDockBottom->isChecked() && !win.MiPush->isChecked());
    }

    void debugFormOpensFromTheMenu() {
        TMainWindowFixture f({"-debug"});
        for (int i = 0; i < 2; ++i) f.Win->findChild<QAction*>("MiDebugForm")->trigger();
        const auto forms = f.Win->findChildren<TFrmDebug*>();
        QVERIFY(forms.size() == 2 && forms[1]->isVisible() && forms[1]->windowTitle() == "Debug");
        auto* form = forms[0];
        QStringList buttons;
        for (const char* name : {"BtLoadMis", "BtObjs", "BtWmChar"})
            buttons << form->findChild<QPushButton*>(name)->text();
        QCOMPARE(buttons, (QStringList{"Load mis...", "Objects", "WM_CHAR"}));
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
        f.Win->ReLog->setFocus();
        f.Win->SortByColumn(3);
        QCOMPARE(FocusName(), QString("LvFavs"));
        f.Prompts.Dialogs = {[](QDialog&) { return int(QDialog::Accepted); },
                             [](QDialog&) { return int(QDialog::Rejected); }};
        f.SelectRows({0});
        for (QAction* a : {f.Win->ActRemoveFav, f.Win->ActFilter, f.Win->ActSearch}) {
            f.Win->ReLog->setFocus();
            QCOMPARE(FocusName(), QString("ReLog"));
            a->trigger();
            QVERIFY2(FocusName() == "LvFavs", qPrintable(a->text()));
        }
    }

    void saveAsksForANameOnceWritesShownRowsFirstAndAFailureChangesNothing() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*Unnamed]"));
        // New asks to save first; cancelling the save dialog stops it without a message.
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {QString()};
        f.Win->ActNew->trigger();
        QVERIFY(f.RowCount() == 1 && f.Win->Modified() && f.Prompts.Messages.size() == 1);
        f.Prompts.Files = {f.Path("level1")};
        f.Win->ActSave->trigger(); // unnamed: Save asks for a name
        const QByteArray saved = "*FAVLIST\r\n1{4}2{12}3{345}11{Guard (345)}\r\n~FAVLIST\r\n";
        QCOMPARE(ReadBytes(f.Path("level1.kvf")), saved);
        const TFileDialogSpec& desc = f.Prompts.FileDialogs.back();
        QCOMPARE(desc.Title + "|" + desc.Filter,
                 QString("Save Korvane content as|Korvane files (*.kvf)|*.kvf|All files (*.*)|*.*"));
        QVERIFY(desc.ForSave && desc.PromptOverwrite);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [level1.kvf]"));
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
        f.Win->ActSave->trigger(); // named: no dialog
        QCOMPARE(f.Prompts.FileDialogs.size(), std::size_t{2});
        QVERIFY(!f.Win->Modified());
        // A failed Save As keeps the name, the changes and the old file.
        f.Add(bkLight, 2, 0, "Light");
        f.Win->SetModified(true);
        QDir(f.Path("taken.kvf")).mkpath(".");
        f.Prompts.Files = {f.Path("taken.kvf")};
        f.Win->ActSaveAs->trigger();
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Error);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
        QCOMPARE(ReadBytes(f.Path("level1.kvf")), saved);
        QCOMPARE(QDir(f.Dir.path()).entryList(QDir::Files), QStringList{"level1.kvf"});
        // Shown rows are written first, in display order, then the hidden ones in list order.
        f.Add(bkObject, 3, 5, "Guard (5)");
        f.Add(bkLight, 4, 0, "Light");
        f.Win->ListFilter.Kinds = KindBit(bkObject);
        f.Win->RebuildList();
        f.Win->SortByColumn(1);
        f.Win->SortByColumn(1); // descending: 12, 3
        f.Win->ActSave->trigger();
        QCOMPARE(ReadBytes(f.Path("level1.kvf")),
                 QByteArray("*FAVLIST\r\n1{4}2{12}3{345}11{Guard (345)}\r\n1{4}1{3}1{5}9{Guard "
                            "(5)}\r\n1{2}1{2}1{0}5{Light}\r\n1{2}1{4}1{0}5{Light}\r\n~FAVLIST"
                            "\r\n"));
    }

    // A file that cannot be read, or holds no list, leaves the workspace alone; a malformed line
    // stops the load, keeping the items before it. A mission chosen by mistake must not become
    // the workspace's file: the next Save would overwrite it.
    void unreadableMalformedOrListlessFilesSayWhy() {
        const kv::test::TBytes mission = kv::test::DemoMissionBytes();
        const QByteArray missionBytes(reinterpret_cast<const char*>(mission.data()),
                                      static_cast<qsizetype>(mission.size()));
        const struct {
            const char* Name;
            QString Message;
            QStringList Rows;
            const char* Title;
            bool Logged; // in the log of a changed workspace, not in an error box
        } cases[] = {
            {"missing.kvf", "does not exist", {"kept"}, "current.kvf", false},
            {"folder.kvf", "folder", {"kept"}, "current.kvf", false},
            {"bad.kvf", "Invalid encoded string in line 3 of \"bad.kvf\"", {"a"}, "Unnamed", false},
            {"demo.mis", "No favorites list found in \"demo.mis\"", {"kept"}, "*current.kvf", true},
        };
        for (const auto& c : cases) {
            TMainWindowFixture f;
            QDir(f.Path("folder.kvf")).mkpath(".");
            WriteBytes(f.Path("bad.kvf"), "*FAVLIST\r\n1{1}1{1}1{0}1{a}\r\n\r\n1{1}1{2}1{0}1{b}\r\n"
                                          "~FAVLIST\r\n");
            WriteBytes(f.Path("demo.mis"), missionBytes);
            f.Add(bkTerrain, 1, 0, "kept");
            f.Win->SetFileName(PathFromQt(f.Path("current.kvf")));
            f.Win->SetModified(c.Logged);
            if (c.Logged) f.Prompts.Answers = {TMsgAnswer::No}; // "Save changes?"
            f.Prompts.Files = {f.Path(c.Name)};
            f.Win->ActLoad->trigger();
            QCOMPARE(f.Column(3), c.Rows);
            QCOMPARE(f.Win->Favorites().size(), std::size_t{1});
            QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [%1]").arg(c.Title));
            QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
            QCOMPARE(f.Prompts.Messages[0].Type == TMsgType::Error, !c.Logged);
            const QString said = c.Logged ? f.LogLines().value(0) : f.Prompts.Messages[0].Text;
            QVERIFY2(said.contains(c.Message), qPrintable(said));
            // The next Save goes where it went before, and the mission is untouched.
            if (!c.Logged) continue;
            f.Win->ActSave->trigger();
            QVERIFY(ReadBytes(f.Path("demo.mis")) == missionBytes && !f.Win->Modified());
        }
    }

    void veryLongLineLoads() {
        TMainWindowFixture f;
        const QByteArray longName(3 * 1024 * 1024, 'x');
        WriteBytes(f.Path("long.kvf"), "*FAVLIST\n1{4}1{1}1{2}" +
                                           QByteArray::number(longName.size()) + "{" + longName +
                                           "}\n~FAVLIST\n");
        f.Win->LoadFavorites(PathFromQt(f.Path("long.kvf")));
        QCOMPARE(f.Win->Favorites().at(0)->Name.size(), std::size_t(longName.size()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
