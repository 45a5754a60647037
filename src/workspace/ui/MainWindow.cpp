#include "workspace/ui/MainWindow.h"

#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"
#include "text/ui/QtText.h"
#include "workspace/Settings.h"
#include "workspace/Version.h"
#include "ui/ActionGuard.h"
#include "linkpainter/ui/LinkPainterWindow.h"
#include "workspace/ui/DebugWindow.h"
#include "ui/UiPrompts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTextEdit>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

TFrmKvMain::TFrmKvMain(const TMainWindowEnv& env)
    : prompts_(*env.Prompts), dmMisc_(*env.DmMisc), platform_(*env.Platform),
      ownWindow_(env.OwnWindow), registerWindow_(env.RegisterWindow),
      settingsFile_(env.SettingsFile) {
    platform_.SetOwnMainWindow(ownWindow_);
    setObjectName("FrmKvMain");
    setWindowTitle(kProductName);
    resize(343, 420);

    for (const QString& arg : env.Arguments) {
        if (AnsiSameText(FromQt(arg), "-debug")) debugMode_ = true;
    }
    ListFilter = TDisplayFilter{};
    ImportFilter = TDisplayFilter{};
    Settings = TSettings{};
    LoadSettings(Settings, settingsFile_);

    CreateActions();
    CreateList();
    CreateLog();
    CreateToolBar();
    CreateMenus();
    CreateDockingAndHotkeys();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* upper = new QWidget(central);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    upperLayout->addWidget(LvFavs, 1);
    upperLayout->addWidget(LbFilter);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName("Splitter1");
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(upper);
    splitter->addWidget(ReLog);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({420 - ReLog->minimumHeight(), ReLog->minimumHeight()});
    layout->addWidget(splitter);
    setCentralWidget(central);

    MiDebug->menuAction()->setVisible(debugMode_);
    MiDebug->menuAction()->setEnabled(debugMode_);
    MiDebug2->menuAction()->setVisible(debugMode_);
    MiDebug2->menuAction()->setEnabled(debugMode_);
    UpdateActions();
}

TFrmKvMain::~TFrmKvMain() {
    // The Link Painters opened here use this window's mission dialog: they end with it.
    for (const QPointer<TFrmKvLinkPainter>& painter : linkPainters_) delete painter.data();
    // The hotkeys belong to this window and end with it.
    UnregisterHotkeys();
    platform_.SetHotKeyHandler({});
    // Rows refer to the favourites, so they go first.
    if (LvFavs != nullptr) LvFavs->clear();
    favorites_.clear();
}

QAction* TFrmKvMain::MakeAction(const char* name, const QString& caption, const QString& hint,
                                std::function<void()> handler) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!hint.isEmpty()) {
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    connect(a, &QAction::triggered, this,
            [this, h = std::move(handler)] { RunGuarded(this, prompts_, h); });
    return a;
}

void TFrmKvMain::CreateActions() {
    ActProperties = MakeAction("ActProperties", "Properties...", "Edit Properties",
                               [this] { ActPropertiesExecute(); });
    ActLinks = MakeAction("ActLinks", "Links...", "Edit Links", [this] { ActLinksExecute(); });
    ActSources = MakeAction("ActSources", "Sources...", {}, [this] { ActSourcesExecute(); });
    ActReceptrons =
        MakeAction("ActReceptrons", "Receptrons...", {}, [this] { ActReceptronsExecute(); });
    ActSelInDromEd =
        MakeAction("ActSelInDromEd", "Select (in DromEd)", {}, [this] { ActSelInDromEdExecute(); });
    ActGoto = MakeAction("ActGoto", "Go to (in DromEd)", "Go to selected item in DromEd",
                         [this] { ActGotoExecute(); });
    ActRemoveFav =
        MakeAction("ActRemoveFav", "Remove from Favorites", {}, [this] { ActRemoveFavExecute(); });
    ActClearAllFav = MakeAction("ActClearAllFav", "Clear all Favorites", {},
                                [this] { ActClearAllFavExecute(); });
    ActAddDromEdSel =
        MakeAction("ActAddDromEdSel", "Add DromEd selection", "Add current DromEd selction to list",
                   [this] { ActAddOrSelDromEdSelExecute(false); });
    ActSelDromEdSel = MakeAction("ActSelDromEdSel", "Select DromEd selection",
                                 "Select current DromEd selction in list",
                                 [this] { ActAddOrSelDromEdSelExecute(true); });
    ActToggleWindows = MakeAction("ActToggleWindows", "Switch between DromEd/Korvane", {},
                                  [this] { ActToggleWindowsExecute(); });
    ActNew = MakeAction("ActNew", "&New", {}, [this] { ActNewExecute(); });
    ActLoad = MakeAction("ActLoad", "&Open...", {}, [this] { ActLoadExecute(); });
    ActSave = MakeAction("ActSave", "&Save", {}, [this] { ActSaveExecute(); });
    ActSaveAs = MakeAction("ActSaveAs", "Save &As...", {}, [this] { ActSaveAsExecute(); });
    ActNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    ActLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ActSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ActImportMis = MakeAction("ActImportMis", "Load from mission file...", {},
                              [this] { ActImportMisExecute(ActImportMis); });
    ActSanityCheck = MakeAction("ActSanityCheck", "Check mission file for errors...", {},
                                [this] { ActImportMisExecute(ActSanityCheck); });
    ActLootList = MakeAction("ActLootList", "Generate loot list from mission file...", {},
                             [this] { ActLootListExecute(); });
    ActFilter = MakeAction("ActFilter", "Display filter...", {}, [this] { ActFilterExecute(); });
    ActSearch = MakeAction("ActSearch", "Find object by name...", "Find object by name",
                           [this] { ActSearchExecute(); });
    ActSearch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    ActSearch->setShortcutContext(Qt::WindowShortcut);
    ActSettings = MakeAction("ActSettings", "Settings...", {}, [this] { ActSettingsExecute(); });
    ActStartDromEd =
        MakeAction("ActStartDromEd", "Start DromEd", {}, [this] { ActStartDromEdExecute(); });
    ActLinkPainter =
        MakeAction("ActLinkPainter", "Link Painter", {}, [this] { ActLinkPainterExecute(); });
    ActAbout = MakeAction("ActAbout", "&About Korvane...", {}, [this] { ActAboutExecute(); });
    ActWebSite =
        MakeAction("ActWebSite", "Go to Korvane web site...", {}, [this] { ActWebSiteExecute(); });
    for (QAction* a : findChildren<QAction*>()) addAction(a); // shortcuts work window-wide
}

void TFrmKvMain::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("MiFile");
    file->addActions({ActNew, ActLoad, ActSave, ActSaveAs});
    file->addSeparator();
    file->addActions({ActImportMis, ActSanityCheck, ActLootList});
    file->addSeparator();
    file->addAction(ActSettings);
    QAction* exit = file->addAction("E&xit");
    exit->setObjectName("MiExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = bar->addMenu("&Edit");
    edit->setObjectName("MiEdit");
    edit->addActions({ActProperties, ActLinks, ActSources, ActReceptrons, ActSelInDromEd, ActGoto});
    edit->addSeparator();
    edit->addActions({ActFilter, ActSearch, ActRemoveFav, ActClearAllFav});

    QMenu* misc = bar->addMenu("&Misc");
    misc->setObjectName("MiMisc");
    QMenu* docking = misc->addMenu("Docking");
    docking->setObjectName("MiDocking");
    dockGroup_ = new QActionGroup(this);
    dockGroup_->setExclusive(true);
    const auto dockItem = [&](const char* name, const char* caption, int tag) {
        QAction* a = docking->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        a->setData(tag);
        dockGroup_->addAction(a);
        return a;
    };
    MiDockUndock = dockItem("MiDockUndock", "Undocked", 0);
    MiDockLeft = dockItem("MiDockLeft", "Left", 1);
    MiDockTop = dockItem("MiDockTop", "Top", 2);
    MiDockRight = dockItem("MiDockRight", "Right", 3);
    MiDockBottom = dockItem("MiDockBottom", "Bottom", 4);
    MiDockUndock->setChecked(true);
    connect(dockGroup_, &QActionGroup::triggered, this,
            [this](QAction* a) { RunGuarded(this, prompts_, [this, a] { MiDockClick(a); }); });
    docking->addSeparator();
    MiPush = docking->addAction("Push DromEd to screen edge");
    MiPush->setObjectName("MiPush");
    MiPush->setCheckable(true);
    connect(MiPush, &QAction::triggered, this,
            [this] { RunGuarded(this, prompts_, [this] { MiPushClick(); }); });
    misc->addActions({ActStartDromEd, ActLinkPainter});
    misc->addSeparator();
    misc->addActions({ActWebSite, ActAbout});
    MiDebug = misc->addMenu("Debug");
    MiDebug->setObjectName("MiDebug");
    QAction* debugForm = MiDebug->addAction("Debug form");
    debugForm->setObjectName("MiDebugForm");
    connect(debugForm, &QAction::triggered, this,
            [this] { RunGuarded(this, prompts_, [this] { MiDebugFormClick(); }); });

    for (QMenu* m : {file, edit, misc}) {
        connect(m, &QMenu::aboutToShow, this, &TFrmKvMain::UpdateActions);
    }

    PopupFavs = new QMenu(this);
    PopupFavs->setObjectName("PopupFavs");
    PopupFavs->addActions(
        {ActProperties, ActLinks, ActSources, ActReceptrons, ActSelInDromEd, ActGoto});
    PopupFavs->addSeparator();
    PopupFavs->addAction(ActRemoveFav);
    MiDebug2 = PopupFavs->addMenu("Debug");
    MiDebug2->setObjectName("MiDebug2");
    MiDebug2->addAction("foo")->setObjectName("MiFoo");
    connect(PopupFavs, &QMenu::aboutToShow, this, &TFrmKvMain::UpdateActions);
    LvFavs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LvFavs, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupFavs->popup(LvFavs->viewport()->mapToGlobal(pos)); });
}

void TFrmKvMain::CreateToolBar() {
    ToolBar1 = addToolBar("Tools");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto button = [this](const char* name, const char* caption, QAction* action) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(action->toolTip());
        b->setMinimumSize(26, 21);
        b->setEnabled(action->isEnabled());
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
        ToolBar1->addWidget(b);
    };
    button("TbAdd", "Add", ActAddDromEdSel);
    button("TbSel", "Sel", ActSelDromEdSel);
    ToolBar1->addSeparator();
    button("TbProperties", "P", ActProperties);
    button("TbLinks", "L", ActLinks);
    ToolBar1->addSeparator();
    button("TbSearch", "Fnd", ActSearch);
}

void TFrmKvMain::CreateLog() {
    ReLog = new QTextEdit(this);
    ReLog->setObjectName("ReLog");
    ReLog->setReadOnly(true);
    ReLog->setAcceptRichText(false);
    ReLog->setLineWrapMode(QTextEdit::WidgetWidth);
    ReLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Five lines of the log stay in view however small the window gets: the list gives way.
    const int margins = static_cast<int>(std::ceil(ReLog->document()->documentMargin()));
    ReLog->setMinimumHeight(5 * ReLog->fontMetrics().lineSpacing() + 2 * margins +
                            2 * ReLog->frameWidth() +
                            ReLog->horizontalScrollBar()->sizeHint().height());
    ReLog->resize(ReLog->width(), ReLog->minimumHeight());
    PopupLog = new QMenu(this);
    PopupLog->setObjectName("PopupLog");
    QAction* clear = PopupLog->addAction("&Clear log");
    clear->setObjectName("MiLogClear");
    connect(clear, &QAction::triggered, ReLog, &QTextEdit::clear);
    ReLog->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ReLog, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupLog->popup(ReLog->viewport()->mapToGlobal(pos)); });
}

void TFrmKvMain::Log(const std::string& text, const QColor& color) {
    QTextCursor cursor(ReLog->document());
    cursor.setPosition(0);
    QTextCharFormat format;
    format.setForeground(color.isValid() ? color : palette().color(QPalette::WindowText));
    cursor.setCharFormat(format);
    const QString stamp = QTime::currentTime().toString("[hh:mm] ");
    cursor.insertText(stamp + ToQt(text) + "\n", format);
}

void TFrmKvMain::LogError(const std::string& text) { Log(text, QColor(255, 0, 0)); }

void TFrmKvMain::LogException(const std::exception& e) {
    LogError(DescribeException(e));
    prompts_.Beep();
}

void TFrmKvMain::UpdateCaption() {
    const std::string name =
        fileName_.empty() ? std::string("Unnamed") : PathToText(fileName_.filename());
    setWindowTitle(QString(kProductVersionText) + " [" + (modified_ ? "*" : "") + ToQt(name) + "]");
}

void TFrmKvMain::UpdateActions() {
    const TBrushInfo selected = GetSelectedInfo();
    for (QAction* a : {ActProperties, ActLinks, ActSources, ActReceptrons}) {
        a->setEnabled(NeedsObject(selected));
    }
    for (QAction* a : {ActSelInDromEd, ActGoto, ActRemoveFav}) {
        a->setEnabled(NeedsSelection(selected));
    }
}

void TFrmKvMain::ApplyDockMenu() {
    switch (Settings.Dock) {
    case 1: MiDockLeft->setChecked(true); break;
    case 2: MiDockTop->setChecked(true); break;
    case 3: MiDockRight->setChecked(true); break;
    case 4: MiDockBottom->setChecked(true); break;
    default: MiDockUndock->setChecked(true); break;
    }
    MiPush->setChecked(Settings.Push);
}

void TFrmKvMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    sortColumn_ = -1;
    UpdateCaption();
    ApplySettings();
    FirstShowDromEd();
    shownOnce_ = true;
}

void TFrmKvMain::closeEvent(QCloseEvent* event) {
    try {
        CheckSaveChanges();
    } catch (...) {
        // Cancelled, or the save failed: the window stays open without a further message.
        event->ignore();
        return;
    }
    try {
        SaveSettings(Settings, settingsFile_);
    } catch (const std::exception& e) {
        const QString text = "Failed to save settings:\r" + ToQt(ExceptionClassName(e)) + ": " +
                             ToQt(e.what()) + "\r\rQuit anyway?";
        if (prompts_.Message(this, text, TMsgType::Warning, TMsgButtons::YesNo) !=
            TMsgAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    // Closing the main window ends the program, its Link Painters with it.
    for (const QPointer<TFrmKvLinkPainter>& painter : linkPainters_) {
        if (painter != nullptr) painter->close();
    }
    event->accept();
}

bool TFrmKvMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LbFilter && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ActFilter->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmKvMain::ActAboutExecute() {
    prompts_.Message(this,
                     QString(kProductVersionText) +
                         "\r\rA companion for the DromEd level editor: favourite brushes and "
                         "objects, mission checks and loot lists, and the Link Painter.",
                     TMsgType::Information, TMsgButtons::Ok);
}

void TFrmKvMain::ActWebSiteExecute() { prompts_.OpenUrl(kWebSiteAddress); }

void TFrmKvMain::MiDockClick(QAction* item) {
    item->setChecked(true);
    Settings.Dock = item->data().toInt();
    UpdateDocking(true);
}

void TFrmKvMain::MiPushClick() {
    Settings.Push = !Settings.Push;
    MiPush->setChecked(Settings.Push);
}

void TFrmKvMain::MiDebugFormClick() {
    auto* form = new TFrmDebug(this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

std::vector<TFrmKvLinkPainter*> TFrmKvMain::LinkPainters() {
    std::vector<TFrmKvLinkPainter*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // A closed window only waits to be deleted.
        auto* painter = qobject_cast<TFrmKvLinkPainter*>(w);
        if (painter != nullptr && !painter->testAttribute(Qt::WA_WState_Hidden)) {
            windows.push_back(painter);
        }
    }
    return windows;
}

void TFrmKvMain::ActLinkPainterExecute() {
    if (!LinkPainters().empty() &&
        prompts_.Message(this, "You already have an open Link Painter - create a new one?",
                         TMsgType::Confirmation, TMsgButtons::YesNo) != TMsgAnswer::Yes) {
        return;
    }
    TLinkPainterEnv env;
    env.Prompts = &prompts_;
    env.Platform = &platform_;
    env.ChooseMissionFile = [this](const QString& title) {
        std::string dromEdMission;
        return ChooseMissionFile(title, dromEdMission);
    };
    env.RegisterWindow = registerWindow_;
    // A window of the application beside this one, not above it; this window's end closes it.
    auto* window = new TFrmKvLinkPainter(env);
    window->setAttribute(Qt::WA_DeleteOnClose);
    std::erase_if(linkPainters_, [](const auto& p) { return p.isNull(); });
    linkPainters_.emplace_back(window);
    window->show();
}

} // namespace kv
