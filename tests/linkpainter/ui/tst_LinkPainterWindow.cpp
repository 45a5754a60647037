// The Link Painter window driven as a user does: favourites dropped in, nodes linked by
// Ctrl-dragging, the context menus, the link list, link template files, the links of a mission
// file and creating links in a simulated DromEd; and opening it from the main window.
#include "ui/DragObject.h"
#include "linkpainter/LinkPainter.h"
#include "linkpainter/ui/LinkPainterWindow.h"
#include "support/MainWindowFixture.h"
#include "support/MissionWriter.h"
#include "text/ScratchFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidgetAction>

#include <memory>

using namespace kv;
using kv::test::TMainWindowFixture;
using kv::test::TScriptedPrompts;

namespace {

TBrushInfo Object(std::int32_t obj, const std::string& name) {
    return TBrushInfo{bkObject, obj / 10, obj, name};
}

// A Link Painter on the desktop of a main window fixture.
struct TPainterFixture {
    TMainWindowFixture Main;
    TScriptedPrompts& Prompts = Main.Prompts;
    sim::TSimDesktop& Desktop = Main.Desktop;
    THwnd Handle = 0;
    std::unique_ptr<TFrmKvLinkPainter> Win;

    TPainterFixture() {
        TLinkPainterEnv env;
        env.Prompts = &Prompts;
        env.Platform = &Desktop;
        env.ChooseMissionFile = [this](const QString& title) {
            return Prompts.ChooseFile(nullptr, {title});
        };
        env.RegisterWindow = [this](QWidget*) {
            sim::TSimWindowSpec window;
            window.ClassName = "TFrmKvLinkPainter";
            window.Title = "Korvane Link Painter";
            window.Rect = {100, 100, 970, 740};
            Handle = Desktop.CreateSimWindow(window);
            return Handle;
        };
        Win = std::make_unique<TFrmKvLinkPainter>(env);
        Win->show();
    }

    TLinkPainter& P() const { return Win->Painter(); }
    QWidget* Pb() const { return Win->Pb; }

    void Drop(const std::vector<TBrushInfo>& items, QPoint at) const {
        TKorvane_DragObjectEx data;
        std::vector<std::unique_ptr<TBrushInfo>> owned;
        for (const TBrushInfo& item : items) owned.push_back(std::make_unique<TBrushInfo>(item));
        data.AdoptItems(std::move(owned));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Pb(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Pb(), &drop);
    }

    TNode* Node(const std::string& caption) const {
        for (TNode* n : P().Graph().GetNodes())
            if (n->Caption == caption) return n;
        return nullptr;
    }
    QPoint At(const std::string& caption) const {
        const TNode* n = Node(caption);
        return n != nullptr ? QPoint(n->ScreenPos.X, n->ScreenPos.Y) : QPoint(-100, -100);
    }

    // A Ctrl-drag from one node to another.
    void Link(const std::string& from, const std::string& to) const {
        QTest::mousePress(Pb(), Qt::LeftButton, Qt::ControlModifier, At(from));
        QTest::mouseMove(Pb(), At(to));
        QTest::mouseRelease(Pb(), Qt::LeftButton, Qt::ControlModifier, At(to));
    }

    void SelectFlavor(const QString& name) const {
        Win->ComboFlavor->setCurrentIndex(Win->ComboFlavor->findText(name));
    }

    // Right-clicks at a point: the drawing's menu opens there; closed again for the next click.
    void RightClick(QPoint at) const {
        QTest::mousePress(Pb(), Qt::RightButton, Qt::NoModifier, at);
        QVERIFY(Win->PopupGraph->isVisible());
        Win->PopupGraph->hide();
        QTest::mouseRelease(Pb(), Qt::RightButton, Qt::NoModifier, at);
    }

    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < Win->LvLinks->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* r = Win->LvLinks->topLevelItem(i);
            rows << r->text(0) + " " + r->text(1) + ">" + r->text(2);
        }
        return rows;
    }

    QStringList MessageTexts() const {
        QStringList texts;
        for (const auto& m : Prompts.Messages) texts << m.Text;
        return texts;
    }
};

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* a : actions) captions << (a->isSeparator() ? "-" : a->text());
    return captions;
}

// The number of buttons in each column of a menu's column entry; empty without one.
QList<int> ColumnSizes(const QMenu* menu) {
    QList<int> sizes;
    for (QAction* a : menu->actions()) {
        const auto* holder = qobject_cast<QWidgetAction*>(a);
        if (holder == nullptr) continue;
        const QLayout* row = holder->defaultWidget()->layout();
        for (int i = 0; i < row->count(); ++i) {
            const QLayout* column = row->itemAt(i)->layout();
            int buttons = 0;
            for (int j = 0; j < column->count(); ++j) buttons += column->itemAt(j)->widget() ? 1 : 0;
            sizes << buttons;
        }
    }
    return sizes;
}

QAction* FlavorAction(const QMenu* menu, const QString& name) {
    for (QAction* a : menu->findChildren<QAction*>())
        if (a->data().isValid() && a->text() == name) return a;
    return nullptr;
}

} // namespace

class TestLinkPainterWindow : public QObject {
    Q_OBJECT
private slots:
    void layoutMenusAndFlavors();
    void dropLinkAndContextMenus();
    void templateFilesAndMissionLinks();
    void addLinksInDromEd();
    void openedFromTheMainWindow();
};

void TestLinkPainterWindow::layoutMenusAndFlavors() {
    TPainterFixture f;
    QCOMPARE(f.Win->windowTitle(), QString("Korvane Link Painter"));
    QCOMPARE(f.Win->size(), QSize(870, 640));
    QCOMPARE(f.Win->LbStatus->text(),
             QString("Drag/drop objects from the main list; move objects by dragging; link "
                     "objects by Ctrl-dragging; multiselect by Shift-Clicking"));

    // 66 flavors, six of them hidden; sorted ignoring case, "WHInflated" after "Weapon".
    QComboBox* combo = f.Win->ComboFlavor;
    QCOMPARE(std::pair(combo->count(), combo->currentIndex()), std::pair(60, 0));
    QStringList entries;
    for (int i : {0, 22, 57, 59})
        entries << combo->itemText(i) + " " + combo->itemData(i).toString();
    QCOMPARE(entries,
             (QStringList{"AIAttack 43", "Contains 2", "WeaponOffset 16", "WHInflated 18"}));
    QCOMPARE(combo->findText("MetaProp"), -1);

    QCOMPARE(Captions(f.Win->menuBar()->actions()), (QStringList{"&File", "&View", "DromEd"}));
    const QList<QAction*> menus = f.Win->menuBar()->actions();
    QCOMPARE(Captions(menus[0]->menu()->actions()),
             (QStringList{"New", "&Open link template...", "&Save link template as...",
                          "Load links from mission file...",
                          "Disable links already present in mission file...", "&Close"}));
    for (QAction* a : menus[1]->menu()->actions()) QVERIFY(a->isCheckable() && a->isChecked());
    QCOMPARE(Captions(f.Win->PopupGraph->actions()),
             (QStringList{"Rename...", "Remove object or template",
                          "Remove concrete object but keep template",
                          "Unbind concrete object from template", "-", "Change link flavor",
                          "Reverse link direction", "Link active", "Remove link", "-",
                          "Add new template object", "Add 10 new template objects",
                          "Select unlinked objects", "Inverse object selection"}));
    QCOMPARE(Captions(f.Win->PopupLinkList->actions()),
             (QStringList{"Change link flavor", "Reverse link direction", "Link active",
                          "Remove link"}));

    // Flavors grouped by letter; the 22 flavors under "A" in two columns of 11.
    for (QMenu* flavors : {f.Win->MiGraphFlavor, f.Win->MiListFlavor}) {
        QCOMPARE(Captions(flavors->actions()), (QStringList{"A", "C", "F", "G", "H", "L", "N", "O",
                                                            "P", "R", "S", "T", "V", "W"}));
        const auto* a = flavors->findChild<QMenu*>("MiLetterA");
        QVERIFY(a != nullptr);
        QCOMPARE(ColumnSizes(a), (QList<int>{11, 11}));
        int count = 0;
        for (QAction* x : flavors->findChildren<QAction*>()) count += x->data().isValid() ? 1 : 0;
        QCOMPARE(count, 60);
    }

    // "Show link list" and its check box follow each other.
    f.Win->MiShowLinkList->trigger();
    QVERIFY(!f.Win->CbShowList->isChecked() && !f.Win->PnLinks->isVisible());
    f.Win->CbShowList->click();
    QVERIFY(f.Win->MiShowLinkList->isChecked() && f.Win->PnLinks->isVisible());
}

void TestLinkPainterWindow::dropLinkAndContextMenus() {
    TPainterFixture f;
    // Only a drag of favourites with at least one item is taken.
    TKorvane_DragObjectEx empty;
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &empty, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(f.Pb(), &refused);
    QVERIFY(!refused.isAccepted());

    f.Drop({Object(345, "Lever"), Object(346, "Door"), Object(347, "Key")}, QPoint(300, 200));
    QCOMPARE(f.P().Graph().Nodes.Count(), std::size_t(3));

    // Ctrl-drags link with the flavor shown; "inverse" turns the direction round.
    f.SelectFlavor("ControlDevice");
    f.Link("Lever", "Door");
    f.SelectFlavor("Lock");
    f.Win->CbInverseLink->setChecked(true);
    f.Link("Key", "Door");
    f.Win->CbInverseLink->setChecked(false);
    QCOMPARE(f.Rows(), (QStringList{"ControlDevice Lever>Door", "Lock Door>Key"}));

    // The drawing's menu: empty space, a concrete node, a link's label.
    const TEdge* lock = TFrmKvLinkPainter::EdgeOfRow(f.Win->LvLinks->topLevelItem(1));
    const QPoint label(lock->LabelPos.X, lock->LabelPos.Y);
    QAction* const nodeItems[] = {f.Win->MiRename, f.Win->MiRemoveNode, f.Win->MiRemoveConcrete,
                                  f.Win->MiUnbind};
    QAction* const linkItems[] = {f.Win->MiGraphFlavor->menuAction(), f.Win->MiReverse,
                                  f.Win->MiLinkActive, f.Win->MiRemoveLink};
    const struct {
        QPoint At;
        bool Node;
        bool Link;
    } clicks[] = {{QPoint(5, 5), false, false}, {f.At("Lever"), true, false}, {label, false, true}};
    for (const auto& c : clicks) {
        f.RightClick(c.At);
        for (QAction* a : nodeItems) QCOMPARE(a->isEnabled(), c.Node);
        for (QAction* a : linkItems) QCOMPARE(a->isEnabled(), c.Link);
        QCOMPARE(f.Win->MiLinkActive->isChecked(), c.Link);
        QVERIFY(f.Win->MiAddTemplate->isEnabled() && f.Win->MiInverseSelection->isEnabled());
    }
    // The link under the last click: switched off, then another flavor.
    f.Win->MiLinkActive->trigger();
    FlavorAction(f.Win->MiGraphFlavor, "Owns")->trigger();
    QCOMPARE(f.Rows(), (QStringList{"ControlDevice Lever>Door", "Owns Door>Key"}));
    QCOMPARE(TLinkPainter::LinkOf(lock)->Active, 0);
    QVERIFY(f.Win->LvLinks->topLevelItem(1)->icon(0).cacheKey() !=
            f.Win->LvLinks->topLevelItem(0)->icon(0).cacheKey()); // inactive beside active

    // Renaming a concrete node: a word first, then the template's name changes, not its caption.
    f.RightClick(f.At("Lever"));
    QStringList asked;
    f.Win->AskText = [&](const QString& title, const QString& prompt, const QString& text) {
        asked << title << prompt << text;
        return std::optional<QString>("Switch");
    };
    f.Win->MiRename->trigger();
    QCOMPARE(asked, (QStringList{"Rename template", "New name", "Lever"}));
    QCOMPARE(f.MessageTexts(),
             QStringList{"This is a \"concrete\" node. You can rename the template, but the new "
                         "name will only become visible when you remove the concrete object."});
    QCOMPARE(f.Node("Lever")->Name, std::string("Switch"));

    // A template added by the menu, linked from Lever; sorting by "From" twice is descending.
    f.RightClick(QPoint(100, 400));
    f.Win->MiAddTemplate->trigger();
    f.SelectFlavor("Contains");
    f.Link("Unnamed", "Lever");
    QHeaderView* header = f.Win->LvLinks->header();
    header->sectionClicked(1);
    QCOMPARE(f.Rows(), (QStringList{"Owns Door>Key", "ControlDevice Lever>Door",
                                    "Contains Unnamed>Lever"}));
    header->sectionClicked(1);
    QCOMPARE(f.Rows(), (QStringList{"Contains Unnamed>Lever", "ControlDevice Lever>Door",
                                    "Owns Door>Key"}));
    QVERIFY(f.Win->SortDescending());

    // The list's menu acts on the selected rows; "Remove link" follows the selection.
    QVERIFY(!f.Win->MiListRemoveLink->isEnabled());
    f.Win->LvLinks->topLevelItem(0)->setSelected(true);
    f.Win->LvLinks->topLevelItem(2)->setSelected(true);
    f.Win->PopupLinkList->popup(QPoint(0, 0));
    QVERIFY(f.Win->MiListRemoveLink->isEnabled() && f.Win->MiListLinkActive->isEnabled());
    QVERIFY(!f.Win->MiListLinkActive->isChecked()); // one of the two is off
    f.Win->PopupLinkList->hide();
    f.Win->MiListLinkActive->trigger();
    QCOMPARE(TLinkPainter::LinkOf(lock)->Active, 1);
    f.Win->MiListRemoveLink->trigger();
    QCOMPARE(f.Rows(), QStringList{"ControlDevice Lever>Door"});
    QVERIFY(!f.Win->MiListRemoveLink->isEnabled());
    QCOMPARE(f.Prompts.UnexpectedQuestions, 0);

    // Auto-adapt runs its layout from a timer; unchecked, the labels follow the View menu.
    f.Win->MiDrawObjectNames->trigger();
    f.Win->CbAutoAdapt->setChecked(true);
    QVERIFY(f.P().AutoAdapting() && f.Win->TimerAutoAdapt->isActive());
    QVERIFY(!f.P().Graph().ShowEdgeLabels);
    f.Win->CbAutoAdapt->setChecked(false);
    QVERIFY(!f.P().AutoAdapting() && !f.Win->TimerAutoAdapt->isActive());
    QVERIFY(f.P().Graph().ShowEdgeLabels && !f.P().Graph().ShowNodeLabels);
}

void TestLinkPainterWindow::templateFilesAndMissionLinks() {
    TPainterFixture f;
    QTemporaryDir dir;
    f.Drop({Object(345, "Lever")}, QPoint(120, 80));
    f.Drop({Object(346, "Door")}, QPoint(300, 200));
    f.SelectFlavor("ControlDevice");
    f.Link("Lever", "Door");

    // "No": the file gets templates, the window keeps its objects.
    f.Prompts.Files = {dir.filePath("t")};
    f.Prompts.Answers = {TMsgAnswer::No};
    f.Win->MiSave->trigger();
    const TFileDialogSpec& save = f.Prompts.FileDialogs.back();
    QCOMPARE(save.Title, QString("Save link template as"));
    QCOMPARE(save.DefaultExtension, QString("klt"));
    QCOMPARE(save.Filter, QString("Korvane link templates (*.klt)|*.klt|All files (*.*)|*.*"));
    QVERIFY(save.PromptOverwrite);
    QCOMPARE(f.MessageTexts(),
             QStringList{"Your link template contains \"concrete\" objects.\rSave this object "
                         "information too?\r\r[Yes:Save concrete objects] [No:Save templates "
                         "instead (recommended)]"});
    const std::string text = test::ReadBytes(PathFromQt(dir.filePath("t.klt")));
    QVERIFY(text.find("1{0}1{0}1{0}5{Lever}") != std::string::npos);

    // Cancel writes nothing.
    f.Prompts.Files = {dir.filePath("u.klt")};
    f.Prompts.Answers = {TMsgAnswer::Cancel};
    f.Win->MiSave->trigger();
    QVERIFY(!std::filesystem::exists(PathFromQt(dir.filePath("u.klt"))));

    // Opened again, the templates replace the objects.
    f.Prompts.Files = {dir.filePath("t.klt")};
    f.Win->MiOpen->trigger();
    QCOMPARE(f.Prompts.FileDialogs.back().Title, QString("Open link template"));
    QVERIFY(f.Prompts.FileDialogs.back().FileMustExist);
    QVERIFY(!TLinkPainter::IsConcrete(f.Node("Lever")) && !TLinkPainter::IsConcrete(f.Node("Door")));
    QCOMPARE(f.Rows(), QStringList{"ControlDevice Lever>Door"});
    QCOMPARE(f.At("Door"), QPoint(300, 200));

    // The links of a mission file between the objects shown; templates alone have none.
    const QString mission = dir.filePath("m.mis");
    using test::chunks::Links;
    test::SaveBytes(PathFromQt(mission),
                    test::TMissionWriter()
                        .Chunk("L$ControlDevice", Links({{1, 345, 346, 24}, {2, 345, 999, 24}}))
                        .Chunk("L$Contains", Links({{3, 346, 345, 2}}))
                        .Chunk("L$MetaProp", Links({{4, 345, 346, 1}}))
                        .Bytes());

    f.Prompts.Messages.clear();
    f.Prompts.FileDialogs.clear();
    f.Win->MiLoadLinks->trigger();
    QCOMPARE(f.MessageTexts(),
             QStringList{"Drag in some concrete objects from the main window first!"});
    QVERIFY(f.Prompts.FileDialogs.empty());

    f.Win->MiNew->trigger();
    f.Drop({Object(345, "Lever"), Object(346, "Door")}, QPoint(300, 200));
    f.Prompts.Files = {mission, mission};
    f.Win->MiLoadLinks->trigger();
    f.Win->MiLoadLinks->trigger();
    QCOMPARE(f.Prompts.FileDialogs.back().Title, QString("Import links from mission file"));
    QStringList rows = f.Rows();
    rows.sort();
    QCOMPARE(rows, (QStringList{"Contains Door>Lever", "Contains Door>Lever",
                                "ControlDevice Lever>Door", "ControlDevice Lever>Door"}));
    for (TEdge* e : f.P().Graph().GetEdges()) QCOMPARE(TLinkPainter::LinkOf(e)->Active, 0);

    // Drawn again by hand, the same link is found in the mission and switched off once; the
    // mission's Contains link runs the other way round.
    f.SelectFlavor("ControlDevice");
    f.Link("Lever", "Door");
    f.SelectFlavor("Contains");
    f.Link("Lever", "Door");
    f.Prompts.Files = {mission, mission};
    f.Win->MiDisableLinks->trigger();
    f.Win->MiDisableLinks->trigger();
    QCOMPARE(f.MessageTexts().mid(1), (QStringList{"1 active links found in mission file and "
                                                   "disabled", "No duplicate active links found"}));
    QCOMPARE(f.P().LinksToCreate().size(), std::size_t(1));
    QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
}

void TestLinkPainterWindow::addLinksInDromEd() {
    TPainterFixture f;
    Settings.Dock = 0; // nothing moves DromEd's window behind the test's back
    f.Main.Win->UpdateDocking(true);
    sim::TSimMission m;
    m.FileName = "miss1.mis";
    m.Brushes = {{34, bkObject, 345, "Lever"}, {35, bkObject, 346, "Door"},
                 {36, bkObject, 347, "Key"}};
    sim::TSimDromEd& dromEd = f.Main.StartDromEd(m);
    f.Drop({Object(345, "Lever"), Object(346, "Door"), Object(347, "Key")}, QPoint(300, 200));
    // Created in reverse of the order the graph keeps: Lever>Door hashes to 146, Door>Key to 189.
    f.SelectFlavor("Lock");
    f.Link("Door", "Key");
    f.SelectFlavor("ControlDevice");
    f.Link("Lever", "Door");

    f.Prompts.Answers = {TMsgAnswer::No, TMsgAnswer::Yes};
    f.Win->MiAddLinksInDromEd->trigger();
    QCOMPARE(dromEd.Mission().Links,
             (std::vector<sim::TSimLink>{{345, 346, "ControlDevice"}, {346, 347, "Lock"}}));
    QCOMPARE(f.MessageTexts(),
             (QStringList{"Check mission file to avoid duplicate links?",
                          "About to create the displayed links in DromEd.\rDon't interfere "
                          "during the process!\r\rContinue?",
                          "Done, created 2 links."}));
    QCOMPARE(f.Prompts.Messages[1].Buttons, TMsgButtons::YesCancel);
    QCOMPARE(f.Desktop.GetForegroundWindow(), f.Handle);
    QVERIFY(!f.Win->isMinimized());

    // Checked against a mission that has both links already: nothing is left to add, and the
    // window still comes back.
    QTemporaryDir dir;
    const QString mission = dir.filePath("m.mis");
    test::SaveBytes(PathFromQt(mission),
                    test::TMissionWriter()
                        .Chunk("L$ControlDevice", test::chunks::Links({{1, 345, 346, 24}}))
                        .Chunk("L$Lock", test::chunks::Links({{2, 346, 347, 20}}))
                        .Bytes());
    f.Prompts.Messages.clear();
    f.Prompts.Answers = {TMsgAnswer::Yes};
    f.Prompts.Files = {mission};
    f.Desktop.SetForegroundWindow(dromEd.MainWindow());
    f.Win->MiAddLinksInDromEd->trigger();
    QCOMPARE(f.MessageTexts(), (QStringList{"Check mission file to avoid duplicate links?",
                                            "2 active links found in mission file and disabled",
                                            "There are no active links to add!"}));
    QCOMPARE(dromEd.Mission().Links.size(), std::size_t(2));
    QCOMPARE(f.Desktop.GetForegroundWindow(), f.Handle);
    QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
}

void TestLinkPainterWindow::openedFromTheMainWindow() {
    TMainWindowFixture main;
    const auto painters = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<TFrmKvLinkPainter*>(w) != nullptr && w->isVisible() ? 1 : 0;
        return n;
    };
    main.Win->ActLinkPainter->trigger();
    QCOMPARE(painters(), 1);
    QVERIFY(main.Prompts.Messages.empty());
    main.Prompts.Answers = {TMsgAnswer::No, TMsgAnswer::Yes};
    main.Win->ActLinkPainter->trigger();
    QCOMPARE(painters(), 1);
    QCOMPARE(main.Prompts.Messages.back().Text,
             QString("You already have an open Link Painter - create a new one?"));
    main.Win->ActLinkPainter->trigger();
    QCOMPARE(painters(), 2);
    main.Win->close();
    QCOMPARE(painters(), 0); // the main window takes its Link Painters with it
}

QTEST_MAIN(TestLinkPainterWindow)
#include "tst_LinkPainterWindow.moc"
