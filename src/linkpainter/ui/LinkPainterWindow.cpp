#include "linkpainter/ui/LinkPainterWindow.h"

#include "ui/ActionGuard.h"
#include "ui/DragObject.h"
#include "ui/UiPrompts.h"
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/LinkPainter.h"
#include "linkpainter/ui/QPainterCanvas.h"
#include "text/ui/QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <algorithm>
#include <memory>

namespace kv {

namespace {

constexpr int kWindowWidth = 870;
constexpr int kWindowHeight = 640;
constexpr int kTopBarHeight = 25;
constexpr int kLinkListWidth = 201;
constexpr int kColumnWidth = 60;
// While auto-adapt runs, one layout pass per tick leaves time for the user's input.
constexpr int kAutoAdaptMs = 15;

QColor ColourOf(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// The pictures of the three tools, 16 x 16.
QIcon ToolIcon(TLinkTool tool) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    switch (tool) {
    case TLinkTool::Move: {
        // A cross of four arrows.
        p.drawLine(QPointF(8, 2), QPointF(8, 14));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        const QPointF heads[4][3] = {{{8, 1}, {5.5, 4}, {10.5, 4}},
                                     {{8, 15}, {5.5, 12}, {10.5, 12}},
                                     {{1, 8}, {4, 5.5}, {4, 10.5}},
                                     {{15, 8}, {12, 5.5}, {12, 10.5}}};
        p.setBrush(Qt::black);
        for (const auto& h : heads) p.drawPolygon(h, 3);
        break;
    }
    case TLinkTool::Link:
        // Two nodes and the link between them.
        p.setPen(QPen(ColourOf(0x008000), 2));
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(Qt::yellow));
        p.drawEllipse(QRectF(1, 9, 6, 6));
        p.drawEllipse(QRectF(9, 1, 6, 6));
        break;
    case TLinkTool::Size: {
        // A box with a turning arrow.
        p.drawRect(QRectF(5, 5, 6, 6));
        QPainterPath arc;
        arc.arcMoveTo(QRectF(1.5, 1.5, 13, 13), 100);
        arc.arcTo(QRectF(1.5, 1.5, 13, 13), 100, 250);
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        p.setBrush(Qt::black);
        const QPointF head[3] = {{5.5, 0.5}, {9, 2.5}, {5.5, 4.5}};
        p.drawPolygon(head, 3);
        break;
    }
    }
    return QIcon(pm);
}

// Closes every open menu, as a click on a menu item does.
void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close()) break;
    }
}

} // namespace

// The drawing: shows the painter's picture and what it draws over it, and hands the mouse and
// drops to the window. It owns the picture and the painter.
class TLinkPaintBox final : public QWidget {
public:
    TLinkPaintBox(TFrmKvLinkPainter& window, QWidget* parent, QSize initial,
                  TLinkPainterHooks hooks)
        : QWidget(parent), window_(window) {
        setObjectName("Pb");
        setAcceptDrops(true);
        setContextMenuPolicy(Qt::PreventContextMenu);
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(initial);
        painter_ = std::make_unique<TLinkPainter>(canvas_, initial.width(), initial.height(),
                                                  std::move(hooks));
    }

    [[nodiscard]] TLinkPainter& Painter() { return *painter_; }
    // The painter goes first: its graph reports its rows' removal to the window.
    void DestroyPainter() { painter_.reset(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (painter_ == nullptr) return;
        p.drawImage(0, 0, canvas_.Image());
        const TLinkPainterOverlay& overlay = painter_->Overlay();
        if (!overlay.Lines.empty()) {
            p.setPen(QPen(ColourOf(0x008000), 1, Qt::SolidLine));
            for (const auto& [from, to] : overlay.Lines) {
                p.drawLine(QPoint(from.X, from.Y), QPoint(to.X, to.Y));
            }
        }
        if (overlay.Band) {
            const auto& [left, top, right, bottom] = *overlay.Band;
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
        }
    }

    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (painter_ != nullptr) {
            window_.Guarded([this] { painter_->Resize(width(), height()); });
        }
    }

    void mousePressEvent(QMouseEvent* e) override {
        window_.PbMouseDown(e->button(), e->position().toPoint(), e->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        window_.PbMouseMove(e->position().toPoint(), e->modifiers());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        window_.PbMouseUp(e->button(), e->position().toPoint(), e->modifiers());
    }

    static const TKorvane_DragObjectEx* Dragged(const QMimeData* data) {
        const auto* drag = qobject_cast<const TKorvane_DragObjectEx*>(data);
        return drag != nullptr && !drag->Items.empty() ? drag : nullptr;
    }
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (Dragged(e->mimeData()) != nullptr) {
            e->acceptProposedAction();
        } else {
            e->ignore();
        }
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (Dragged(e->mimeData()) != nullptr) {
            e->acceptProposedAction();
        } else {
            e->ignore();
        }
    }
    void dropEvent(QDropEvent* e) override {
        const TKorvane_DragObjectEx* drag = Dragged(e->mimeData());
        if (drag == nullptr) {
            e->ignore();
            return;
        }
        e->acceptProposedAction();
        const std::vector<const TBrushInfo*> items(drag->Items.begin(), drag->Items.end());
        const QPoint at = e->position().toPoint();
        window_.Guarded([&] { painter_->DropItems(items, at.x(), at.y()); });
    }

private:
    TFrmKvLinkPainter& window_;
    TQPainterCanvas canvas_;
    std::unique_ptr<TLinkPainter> painter_;
};

TFrmKvLinkPainter::TFrmKvLinkPainter(const TLinkPainterEnv& env, QWidget* parent)
    : QMainWindow(parent), prompts_(*env.Prompts), platform_(*env.Platform),
      chooseMissionFile_(env.ChooseMissionFile) {
    setObjectName("FrmKvLinkPainter");
    setWindowTitle("Korvane Link Painter");
    resize(kWindowWidth, kWindowHeight);
    AskText = [this](const QString& title, const QString& prompt,
                     const QString& text) -> std::optional<QString> {
        bool ok = false;
        const QString entered =
            QInputDialog::getText(this, title, prompt, QLineEdit::Normal, text, &ok);
        if (!ok) return std::nullopt;
        return entered;
    };

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* topBar = new QWidget(central);
    topBar->setObjectName("PnTop");
    topBar->setFixedHeight(kTopBarHeight);
    layout->addWidget(topBar);

    Splitter = new QSplitter(Qt::Horizontal, central);
    Splitter->setObjectName("Splitter");
    Splitter->setChildrenCollapsible(false);
    layout->addWidget(Splitter, 1);
    PnLinks = new QWidget(Splitter);
    PnLinks->setObjectName("PnLinks");
    auto* listLayout = new QVBoxLayout(PnLinks);
    listLayout->setContentsMargins(0, 0, 0, 0);
    CreateLinkList();
    listLayout->addWidget(LvLinks);
    ScrollBox = new QScrollArea(Splitter);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setMinimumSize(50, 50);
    ScrollBox->setWidgetResizable(true);
    Splitter->addWidget(PnLinks);
    Splitter->addWidget(ScrollBox);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({kLinkListWidth, kWindowWidth - kLinkListWidth});
    setCentralWidget(central);

    LbStatus = new QLabel("Drag/drop objects from the main list; move objects by dragging; link "
                          "objects by Ctrl-dragging; multiselect by Shift-Clicking",
                          this);
    LbStatus->setObjectName("LbStatus");
    statusBar()->addWidget(LbStatus, 1);

    // The world is the paint box as it first stands; until the window is laid out on showing
    // its size is estimated, and the first show sets it exactly.
    const int frame = 2 * ScrollBox->frameWidth();
    const QSize initial(
        std::max(50, kWindowWidth - kLinkListWidth - Splitter->handleWidth() - frame),
        std::max(50, kWindowHeight - kTopBarHeight - menuBar()->sizeHint().height() -
                         statusBar()->sizeHint().height() - frame));
    TLinkPainterHooks hooks;
    hooks.Redrawn = [this] {
        if (box_ != nullptr) box_->update();
    };
    hooks.RowAdded = [this](TEdge& edge) { RowAdded(edge); };
    hooks.RowRemoved = [this](TEdge& edge) { RowRemoved(edge); };
    hooks.RowsChanged = [this](const TGraphItem* item) { RowsChanged(item); };
    hooks.BeginUpdate = [this] {
        if (listUpdates_++ == 0) LvLinks->setUpdatesEnabled(false);
    };
    hooks.EndUpdate = [this] {
        if (listUpdates_ > 0 && --listUpdates_ == 0) LvLinks->setUpdatesEnabled(true);
    };
    hooks.Confirm = [this](const std::string& question) {
        return prompts_.Message(this, ToQt(question), TMsgType::Confirmation,
                                TMsgButtons::YesNo) == TMsgAnswer::Yes;
    };
    box_ = new TLinkPaintBox(*this, ScrollBox, initial, std::move(hooks));
    Pb = box_;
    painter_ = &box_->Painter();
    ScrollBox->setWidget(box_);

    CreateTopBar(topBar);
    CreateMenus();
    CreatePopups();
    painter_->Redraw();

    if (env.RegisterWindow) own_ = env.RegisterWindow(this);
}

TFrmKvLinkPainter::~TFrmKvLinkPainter() {
    TimerAutoAdapt->stop();
    // The graph's edges take their rows with them while the list still stands.
    box_->DestroyPainter();
    painter_ = nullptr;
}

bool TFrmKvLinkPainter::Guarded(const std::function<void()>& handler) {
    return RunGuarded(this, prompts_, handler);
}

QAction* TFrmKvLinkPainter::MakeAction(QObject* owner, const char* name, const QString& caption,
                                       std::function<void()> handler) {
    auto* a = new QAction(caption, owner);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, h = std::move(handler)] { Guarded(h); });
    return a;
}

void TFrmKvLinkPainter::CreateTopBar(QWidget* bar) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(6);
    CbShowList = new QCheckBox("Show link list", bar);
    CbShowList->setObjectName("CbShowList");
    CbShowList->setChecked(true);
    auto* label = new QLabel("Link flavor", bar);
    label->setObjectName("LbFlavor");
    ComboFlavor = new QComboBox(bar);
    ComboFlavor->setObjectName("ComboFlavor");
    ComboFlavor->setFixedWidth(169);
    ComboFlavor->setMaxVisibleItems(20);
    for (const int flavor : SortedVisibleFlavors()) {
        ComboFlavor->addItem(ToQt(LinkFlavors[static_cast<std::size_t>(flavor)].Name), flavor);
    }
    label->setBuddy(ComboFlavor);
    CbInverseLink = new QCheckBox("inverse", bar);
    CbInverseLink->setObjectName("CbInverseLink");

    ToolBar = new QToolBar(bar);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setIconSize(QSize(16, 16));
    auto* tools = new QActionGroup(this);
    tools->setExclusive(true);
    const auto tool = [&](const char* name, const char* hint, TLinkTool which) {
        QAction* a = ToolBar->addAction(ToolIcon(which), hint);
        a->setObjectName(name);
        a->setToolTip(hint);
        a->setCheckable(true);
        a->setData(static_cast<int>(which));
        tools->addAction(a);
        return a;
    };
    TbMove = tool("TbMove", "Move", TLinkTool::Move);
    TbLink = tool("TbLink", "Link", TLinkTool::Link);
    TbSize = tool("TbSize", "Size,Rotate", TLinkTool::Size);
    TbMove->setChecked(true);

    CbAutoAdapt = new QCheckBox("Auto-adapt", bar);
    CbAutoAdapt->setObjectName("CbAutoAdapt");
    TimerAutoAdapt = new QTimer(this);
    TimerAutoAdapt->setObjectName("TimerAutoAdapt");
    TimerAutoAdapt->setInterval(kAutoAdaptMs);

    row->addWidget(CbShowList);
    row->addWidget(label);
    row->addWidget(ComboFlavor);
    row->addWidget(CbInverseLink);
    row->addWidget(ToolBar);
    row->addStretch(1);
    row->addWidget(CbAutoAdapt);

    painter_->Flavor = ComboFlavor->count() > 0 ? ComboFlavor->itemData(0).toInt() : 0;
    ComboFlavor->setCurrentIndex(ComboFlavor->count() > 0 ? 0 : -1);
    connect(ComboFlavor, &QComboBox::currentIndexChanged, this, [this](int index) {
        painter_->Flavor = index >= 0 ? ComboFlavor->itemData(index).toInt() : 0;
    });
    connect(CbInverseLink, &QCheckBox::toggled, this,
            [this](bool on) { painter_->InverseLink = on; });
    connect(tools, &QActionGroup::triggered, this, [this](QAction* a) {
        painter_->Tool = static_cast<TLinkTool>(a->data().toInt());
    });
    connect(CbAutoAdapt, &QCheckBox::toggled, this, &TFrmKvLinkPainter::AutoAdaptToggled);
    connect(TimerAutoAdapt, &QTimer::timeout, this, &TFrmKvLinkPainter::AutoAdaptStep);
    connect(CbShowList, &QCheckBox::clicked, this, [this](bool on) {
        if (MiShowLinkList->isChecked() != on) MiShowLinkList->trigger();
    });
}

void TFrmKvLinkPainter::CreateLinkList() {
    LvLinks = new QTreeWidget(PnLinks);
    LvLinks->setObjectName("LvLinks");
    LvLinks->setColumnCount(3);
    LvLinks->setHeaderLabels({"Flavor", "From", "To"});
    for (int c = 0; c < 3; ++c) LvLinks->setColumnWidth(c, kColumnWidth);
    LvLinks->setRootIsDecorated(false);
    LvLinks->setItemsExpandable(false);
    LvLinks->setUniformRowHeights(true);
    LvLinks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LvLinks->setSelectionBehavior(QAbstractItemView::SelectRows);
    LvLinks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LvLinks->setIconSize(QSize(8, 8));
    LvLinks->setContextMenuPolicy(Qt::CustomContextMenu);
    LvLinks->header()->setSectionsClickable(true);
    LvLinks->header()->setSortIndicatorShown(false);
    connect(LvLinks->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded([this, column] { SortByColumn(column); }); });
    connect(LvLinks, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupLinkList->popup(LvLinks->viewport()->mapToGlobal(pos));
    });
}

void TFrmKvLinkPainter::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("MiFile");
    MiNew = MakeAction(this, "MiNew", "New", [this] { painter_->New(); });
    MiOpen = MakeAction(this, "MiOpen", "&Open link template...", [this] { OpenExecute(); });
    MiSave = MakeAction(this, "MiSave", "&Save link template as...", [this] { SaveExecute(); });
    MiLoadLinks = MakeAction(this, "MiLoadLinks", "Load links from mission file...",
                             [this] { MissionLinksExecute(false); });
    MiDisableLinks = MakeAction(this, "MiDisableLinks",
                                "Disable links already present in mission file...",
                                [this] { MissionLinksExecute(true); });
    MiClose = MakeAction(this, "MiClose", "&Close", [this] { close(); });
    file->addActions({MiNew, MiOpen, MiSave, MiLoadLinks, MiDisableLinks, MiClose});

    QMenu* view = bar->addMenu("&View");
    view->setObjectName("MiView");
    const auto check = [&](QAction*& slot, const char* name, const char* caption,
                           bool TGraph::*flag) {
        slot = MakeAction(this, name, caption, [this, &slot, flag] {
            painter_->Graph().*flag = slot->isChecked();
            painter_->Redraw();
        });
        slot->setCheckable(true);
        slot->setChecked(true);
        view->addAction(slot);
    };
    check(MiDrawLinkFlavors, "MiDrawLinkFlavors", "Draw link flavors", &TGraph::ShowEdgeLabels);
    check(MiRotateLinkFlavors, "MiRotateLinkFlavors", "Rotate link flavors",
          &TGraph::RotateEdgeLabels);
    check(MiDrawObjectNames, "MiDrawObjectNames", "Draw object names", &TGraph::ShowNodeLabels);
    MiShowLinkList = MakeAction(this, "MiShowLinkList", "Show link list",
                                [this] { ShowLinkList(MiShowLinkList->isChecked()); });
    MiShowLinkList->setCheckable(true);
    MiShowLinkList->setChecked(true);
    view->addAction(MiShowLinkList);

    QMenu* dromEd = bar->addMenu("DromEd");
    dromEd->setObjectName("MiDromEd");
    MiAddLinksInDromEd = MakeAction(this, "MiAddLinksInDromEd", "Add links in DromEd",
                                    [this] { AddLinksInDromEdExecute(); });
    dromEd->addAction(MiAddLinksInDromEd);
}

void TFrmKvLinkPainter::CreatePopups() {
    const std::vector<TFlavorMenuEntry> flavors = FlavorMenu();

    PopupGraph = new QMenu(this);
    PopupGraph->setObjectName("PopupGraph");
    MiRename = MakeAction(PopupGraph, "MiRename", "Rename...", [this] { RenameExecute(); });
    MiRemoveNode = MakeAction(PopupGraph, "MiRemoveNode", "Remove object or template",
                              [this] { painter_->RemoveNodes("Remove object or template"); });
    MiRemoveConcrete = MakeAction(
        PopupGraph, "MiRemoveConcrete", "Remove concrete object but keep template",
        [this] { painter_->RemoveConcrete("Remove concrete object but keep template", false); });
    MiUnbind = MakeAction(
        PopupGraph, "MiUnbind", "Unbind concrete object from template",
        [this] { painter_->RemoveConcrete("Unbind concrete object from template", true); });
    PopupGraph->addActions({MiRename, MiRemoveNode, MiRemoveConcrete, MiUnbind});
    PopupGraph->addSeparator();
    MiGraphFlavor = PopupGraph->addMenu("Change link flavor");
    MiGraphFlavor->setObjectName("MiGraphFlavor");
    FillFlavorMenu(MiGraphFlavor, flavors, false);
    MiReverse = MakeAction(PopupGraph, "MiReverse", "Reverse link direction",
                           [this] { painter_->ReverseLinks(CommandEdges(false)); });
    MiLinkActive = MakeAction(PopupGraph, "MiLinkActive", "Link active", [this] {
        painter_->SetLinksActive(CommandEdges(false), MiLinkActive->isChecked());
    });
    MiLinkActive->setCheckable(true);
    MiRemoveLink = MakeAction(PopupGraph, "MiRemoveLink", "Remove link",
                              [this] { painter_->RemoveLinks(CommandEdges(false)); });
    PopupGraph->addActions({MiReverse, MiLinkActive, MiRemoveLink});
    PopupGraph->addSeparator();
    MiAddTemplate = MakeAction(PopupGraph, "MiAddTemplate", "Add new template object",
                               [this] { painter_->AddTemplate(); });
    MiAdd10Templates = MakeAction(PopupGraph, "MiAdd10Templates", "Add 10 new template objects",
                                  [this] { painter_->AddTenTemplates(); });
    MiSelectUnlinked = MakeAction(PopupGraph, "MiSelectUnlinked", "Select unlinked objects",
                                  [this] { painter_->SelectUnlinked(); });
    MiInverseSelection = MakeAction(PopupGraph, "MiInverseSelection", "Inverse object selection",
                                    [this] { painter_->InverseSelection(); });
    PopupGraph->addActions({MiAddTemplate, MiAdd10Templates, MiSelectUnlinked, MiInverseSelection});
    connect(PopupGraph, &QMenu::aboutToShow, this, &TFrmKvLinkPainter::PopupGraphShow);

    PopupLinkList = new QMenu(this);
    PopupLinkList->setObjectName("PopupLinkList");
    MiListFlavor = PopupLinkList->addMenu("Change link flavor");
    MiListFlavor->setObjectName("MiListFlavor");
    FillFlavorMenu(MiListFlavor, flavors, true);
    MiListReverse = MakeAction(PopupLinkList, "MiListReverse", "Reverse link direction",
                               [this] { painter_->ReverseLinks(CommandEdges(true)); });
    MiListLinkActive = MakeAction(PopupLinkList, "MiListLinkActive", "Link active", [this] {
        painter_->SetLinksActive(CommandEdges(true), MiListLinkActive->isChecked());
    });
    MiListLinkActive->setCheckable(true);
    MiListRemoveLink = MakeAction(PopupLinkList, "MiListRemoveLink", "Remove link",
                                  [this] { painter_->RemoveLinks(CommandEdges(true)); });
    MiListRemoveLink->setEnabled(false);
    PopupLinkList->addActions({MiListReverse, MiListLinkActive, MiListRemoveLink});
    connect(PopupLinkList, &QMenu::aboutToShow, this, &TFrmKvLinkPainter::PopupLinkListShow);
    connect(LvLinks, &QTreeWidget::itemSelectionChanged, this,
            [this] { MiListRemoveLink->setEnabled(!LvLinks->selectedItems().isEmpty()); });
}

// Qt menus have no column break, so a menu whose entries ask for columns shows them as columns
// of flat buttons in one widget entry; each flavor stays a QAction of its own (data = the
// flavor), and each letter a submenu that opens beside its button.
void TFrmKvLinkPainter::FillFlavorMenu(QMenu* menu, const std::vector<TFlavorMenuEntry>& entries,
                                       bool fromList) {
    const bool columns = std::any_of(entries.begin(), entries.end(),
                                     [](const TFlavorMenuEntry& e) { return e.NewColumn; });
    QWidget* grid = nullptr;
    QHBoxLayout* gridLayout = nullptr;
    QVBoxLayout* column = nullptr;
    if (columns) {
        grid = new QWidget(menu);
        grid->setObjectName("FlavorColumns");
        gridLayout = new QHBoxLayout(grid);
        gridLayout->setContentsMargins(2, 2, 2, 2);
        gridLayout->setSpacing(2);
        auto* holder = new QWidgetAction(menu);
        holder->setDefaultWidget(grid);
        menu->addAction(holder);
    }
    for (const TFlavorMenuEntry& entry : entries) {
        QAction* action = nullptr;
        QMenu* letter = nullptr;
        if (entry.Flavor < 0) {
            letter = new QMenu(ToQt(entry.Caption), menu);
            letter->setObjectName("MiLetter" + ToQt(entry.Caption));
            FillFlavorMenu(letter, entry.Children, fromList);
            action = letter->menuAction();
        } else {
            const int flavor = entry.Flavor;
            action = MakeAction(menu, "MiFlavor", ToQt(entry.Caption), [this, flavor, fromList] {
                CloseMenus();
                painter_->ChangeFlavor(CommandEdges(fromList), flavor);
            });
            action->setData(flavor);
        }
        if (!columns) {
            menu->addAction(action);
            continue;
        }
        if (column == nullptr || entry.NewColumn) {
            column = new QVBoxLayout();
            column->setSpacing(0);
            gridLayout->addLayout(column);
        }
        auto* button = new QToolButton(grid);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (letter != nullptr) {
            button->setText(letter->title() + QString::fromUtf8("  \u25B8"));
            connect(button, &QToolButton::clicked, letter, [letter, button] {
                letter->popup(button->mapToGlobal(QPoint(button->width(), 0)));
            });
        } else {
            button->setDefaultAction(action);
        }
        column->addWidget(button, 0, Qt::AlignLeft);
    }
    if (column != nullptr) {
        for (int i = 0; i < gridLayout->count(); ++i) {
            if (auto* l = dynamic_cast<QVBoxLayout*>(gridLayout->itemAt(i)->layout())) {
                l->addStretch(1);
            }
        }
    }
}

void TFrmKvLinkPainter::ShowLinkList(bool on) {
    CbShowList->setChecked(on);
    PnLinks->setVisible(CbShowList->isChecked());
}

void TFrmKvLinkPainter::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // Now the paint box has its real size: an empty graph takes it as its world.
    TGraph& graph = painter_->Graph();
    if (graph.GetNodes().empty() && !painter_->AutoAdapting()) {
        graph.SetExtent(0, Pb->width(), 0, Pb->height(), 1.0);
        Guarded([this] { painter_->Resize(Pb->width(), Pb->height()); });
    }
}

void TFrmKvLinkPainter::closeEvent(QCloseEvent* event) {
    if (CbAutoAdapt->isChecked()) CbAutoAdapt->setChecked(false);
    QMainWindow::closeEvent(event);
}

// --- The paint box's mouse ------------------------------------------------------------------

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers mods) {
    TShiftState s;
    s.Shift = mods.testFlag(Qt::ShiftModifier);
    s.Ctrl = mods.testFlag(Qt::ControlModifier);
    return s;
}

} // namespace

void TFrmKvLinkPainter::PbMouseDown(Qt::MouseButton button, const QPoint& pos,
                                    Qt::KeyboardModifiers mods) {
    if (button == Qt::LeftButton) {
        Guarded([&] { painter_->MouseDown(pos.x(), pos.y(), ShiftOf(mods)); });
    } else if (button == Qt::RightButton) {
        if (Guarded([&] { painter_->PopupAt(pos.x(), pos.y()); })) {
            PopupGraph->popup(Pb->mapToGlobal(pos));
        }
    }
}

void TFrmKvLinkPainter::PbMouseMove(const QPoint& pos, Qt::KeyboardModifiers mods) {
    if (!painter_->Dragging()) return;
    Guarded([&] { painter_->MouseMove(pos.x(), pos.y(), ShiftOf(mods)); });
}

void TFrmKvLinkPainter::PbMouseUp(Qt::MouseButton button, const QPoint& pos,
                                  Qt::KeyboardModifiers mods) {
    if (button != Qt::LeftButton) return;
    Guarded([&] { painter_->MouseUp(pos.x(), pos.y(), ShiftOf(mods)); });
}

} // namespace kv
