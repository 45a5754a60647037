// The main window's favourites: the list and its rows, sorting, removing, the favourites
// file, the display filter and find-by-name.
#include "workspace/ui/MainWindow.h"

#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/ui/QtText.h"
#include "workspace/FavoritesFile.h"
#include "ui/ActionGuard.h"
#include "ui/DragObject.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/SearchDialog.h"
#include "ui/UiPrompts.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>
#include <unordered_set>

namespace kv {
namespace {

constexpr int kItemRole = Qt::UserRole;

const QString kFavoritesFilter = "Korvane files (*.kvf)|*.kvf|All files (*.*)|*.*";

// The list view with the two behaviours the toolkit's own view lacks: Enter acts like a
// double click, and a drag carries the selected favourites.
class TFavListView final : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    std::function<void()> OnEnter;
    std::function<void()> OnStartDrag;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && OnEnter) {
            event->accept();
            OnEnter();
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
    void startDrag(Qt::DropActions) override {
        if (OnStartDrag) OnStartDrag();
    }
};

} // namespace

void TFrmKvMain::CreateList() {
    auto* view = new TFavListView(this);
    LvFavs = view;
    LvFavs->setObjectName("LvFavs");
    LvFavs->setColumnCount(4);
    LvFavs->setHeaderLabels({"Type", "#", "Obj.ID", "Name"});
    LvFavs->setRootIsDecorated(false);
    LvFavs->setItemsExpandable(false);
    LvFavs->setUniformRowHeights(true);
    LvFavs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LvFavs->setSelectionBehavior(QAbstractItemView::SelectRows);
    LvFavs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LvFavs->setDragEnabled(true);
    LvFavs->setDragDropMode(QAbstractItemView::DragOnly);
    LvFavs->setSortingEnabled(false);
    const int widths[] = {40, 35, 45, 180};
    for (int c = 0; c < 4; ++c) LvFavs->setColumnWidth(c, widths[c]);
    LvFavs->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    LvFavs->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    LvFavs->header()->setSectionsClickable(true);
    LvFavs->header()->setSortIndicatorShown(false);
    LvFavs->header()->setStretchLastSection(false);
    connect(LvFavs->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        RunGuarded(this, prompts_, [this, column] { SortByColumn(column); });
    });
    connect(LvFavs, &QTreeWidget::itemSelectionChanged, this, &TFrmKvMain::UpdateActions);
    connect(LvFavs, &QTreeWidget::itemDoubleClicked, this,
            [this] { RunGuarded(this, prompts_, [this] { LvFavsDblClick(); }); });
    view->OnEnter = [this] { RunGuarded(this, prompts_, [this] { LvFavsDblClick(); }); };
    view->OnStartDrag = [this] { RunGuarded(this, prompts_, [this] { LvFavsStartDrag(); }); };
    // Delete removes favourites only while the list has the focus: anywhere else the key
    // belongs to the edit box or text that has it.
    ActRemoveFav->setShortcut(QKeySequence(Qt::Key_Delete));
    ActRemoveFav->setShortcutContext(Qt::WidgetShortcut);
    LvFavs->addAction(ActRemoveFav);

    LbFilter = new QLabel("Filter: Show all", this);
    LbFilter->setObjectName("LbFilter");
    LbFilter->setCursor(Qt::PointingHandCursor);
    LbFilter->installEventFilter(this);
}

TBrushInfo* TFrmKvMain::ItemOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr) return nullptr;
    return reinterpret_cast<TBrushInfo*>(row->data(0, kItemRole).value<quintptr>());
}

QTreeWidgetItem* TFrmKvMain::RowOfItem(const TBrushInfo* item) const {
    for (int i = 0; i < LvFavs->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = LvFavs->topLevelItem(i);
        if (ItemOfRow(row) == item) return row;
    }
    return nullptr;
}

std::vector<const TBrushInfo*> TFrmKvMain::RowItems() const {
    std::vector<const TBrushInfo*> items;
    items.reserve(static_cast<std::size_t>(LvFavs->topLevelItemCount()));
    for (int i = 0; i < LvFavs->topLevelItemCount(); ++i) {
        items.push_back(ItemOfRow(LvFavs->topLevelItem(i)));
    }
    return items;
}

TBrushInfo* TFrmKvMain::NewBrushInfo() {
    favorites_.push_back(std::make_unique<TBrushInfo>());
    return favorites_.back().get();
}

void TFrmKvMain::DisposeBrushInfo(TBrushInfo* item) {
    const auto it = std::find_if(favorites_.begin(), favorites_.end(),
                                 [item](const auto& p) { return p.get() == item; });
    if (it != favorites_.end()) favorites_.erase(it);
}

void TFrmKvMain::FillListItem(QTreeWidgetItem* row) const {
    const TBrushInfo* item = ItemOfRow(row);
    if (item == nullptr) return;
    for (int c = 0; c < 4; ++c) row->setText(c, ToQt(ListColumnText(*item, c)));
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
}

namespace {
QTreeWidgetItem* MakeRow(TBrushInfo* item) {
    auto* row = new QTreeWidgetItem();
    row->setData(0, kItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    return row;
}
} // namespace

QTreeWidgetItem* TFrmKvMain::AddFavorite(const TBrushInfo& info, bool replaceSameBrush) {
    if (replaceSameBrush) {
        const auto it = std::find_if(favorites_.begin(), favorites_.end(),
                                     [&](const auto& p) { return p->BrushNum == info.BrushNum; });
        if (it != favorites_.end()) {
            TBrushInfo* old = it->get();
            delete RowOfItem(old); // a row removes itself from its view
            DisposeBrushInfo(old);
            Log("Removed existing favorite with same brush number");
        }
    }
    TBrushInfo* item = NewBrushInfo();
    *item = info;
    QTreeWidgetItem* row = MakeRow(item);
    LvFavs->addTopLevelItem(row);
    FillListItem(row);
    return row;
}

void TFrmKvMain::SelectByBrushNum(std::int32_t n) {
    LvFavs->clearSelection();
    for (int i = 0; i < LvFavs->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = LvFavs->topLevelItem(i);
        if (ItemOfRow(row)->BrushNum == n) {
            LvFavs->setCurrentItem(row);
            row->setSelected(true);
            LvFavs->scrollToItem(row, QAbstractItemView::EnsureVisible);
            return;
        }
    }
    LogError("No item with brush number " + std::to_string(n));
}

std::vector<int> TFrmKvMain::SelectedRowNumbers() const {
    // Straight from the selection's ranges: asking each row whether it is selected costs a
    // walk over all ranges per row, which long lists with scattered selections cannot afford.
    const int count = LvFavs->topLevelItemCount();
    std::vector<bool> marked(static_cast<std::size_t>(count), false);
    for (const QItemSelectionRange& range : LvFavs->selectionModel()->selection()) {
        if (range.parent().isValid()) continue;
        for (int r = std::max(range.top(), 0); r <= range.bottom() && r < count; ++r) {
            marked[static_cast<std::size_t>(r)] = true;
        }
    }
    std::vector<int> rows;
    for (int r = 0; r < count; ++r) {
        if (marked[static_cast<std::size_t>(r)]) rows.push_back(r);
    }
    return rows;
}

QList<QTreeWidgetItem*> TFrmKvMain::GetSelectedItems() const {
    QList<QTreeWidgetItem*> rows;
    for (const int r : SelectedRowNumbers()) rows << LvFavs->topLevelItem(r);
    return rows;
}

TBrushInfo TFrmKvMain::GetSelectedInfo() const {
    if (LvFavs == nullptr) return {};
    int first = -1;
    for (const QItemSelectionRange& range : LvFavs->selectionModel()->selection()) {
        if (!range.parent().isValid() && (first < 0 || range.top() < first)) first = range.top();
    }
    const TBrushInfo* item = first < 0 ? nullptr : ItemOfRow(LvFavs->topLevelItem(first));
    return item != nullptr ? *item : TBrushInfo{};
}

void TFrmKvMain::ClearFavorites() {
    LvFavs->setUpdatesEnabled(false);
    LvFavs->clear();
    while (!favorites_.empty()) favorites_.pop_back();
    LvFavs->setUpdatesEnabled(true);
    SetModified(true);
}

void TFrmKvMain::SortByColumn(int column) {
    if (column != sortColumn_) {
        sortColumn_ = column;
        sortDescending_ = false;
    } else {
        sortDescending_ = !sortDescending_;
    }
    const QList<QTreeWidgetItem*> selected = GetSelectedItems();
    QTreeWidgetItem* current = LvFavs->currentItem();
    LvFavs->setUpdatesEnabled(false);
    QList<QTreeWidgetItem*> rows = LvFavs->invisibleRootItem()->takeChildren();
    std::stable_sort(rows.begin(), rows.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return CompareFavorites(*ItemOfRow(a), *ItemOfRow(b), sortColumn_, sortDescending_) < 0;
    });
    LvFavs->addTopLevelItems(rows);
    if (current != nullptr) LvFavs->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* row : selected) row->setSelected(true);
    LvFavs->setUpdatesEnabled(true);
    LvFavs->header()->setSortIndicator(sortColumn_,
                                       sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    LvFavs->header()->setSortIndicatorShown(sortColumn_ >= 0);
    FocusList();
}

void TFrmKvMain::FocusList() { LvFavs->setFocus(Qt::OtherFocusReason); }

void TFrmKvMain::RebuildList() {
    LvFavs->setUpdatesEnabled(false);
    LvFavs->clear();
    QList<QTreeWidgetItem*> rows;
    for (const auto& item : favorites_) {
        if (!FilterAccepts(ListFilter, item->Kind, item->Name)) continue;
        QTreeWidgetItem* row = MakeRow(item.get());
        FillListItem(row);
        rows << row;
    }
    LvFavs->addTopLevelItems(rows);
    LvFavs->clearSelection();
    LvFavs->setUpdatesEnabled(true);
    UpdateActions();
}

void TFrmKvMain::ActRemoveFavExecute() {
    // One pass over the rows rather than one removal per row, so that removing thousands of
    // rows stays quick.
    std::unordered_set<const TBrushInfo*> removed;
    const std::vector<int> selectedRows = SelectedRowNumbers();
    for (const QTreeWidgetItem* row : GetSelectedItems()) removed.insert(ItemOfRow(row));
    LvFavs->setUpdatesEnabled(false);
    QList<QTreeWidgetItem*> kept;
    for (QTreeWidgetItem* row : LvFavs->invisibleRootItem()->takeChildren()) {
        if (removed.contains(ItemOfRow(row))) {
            delete row;
        } else {
            kept << row;
        }
    }
    LvFavs->addTopLevelItems(kept);
    std::erase_if(favorites_, [&](const auto& item) { return removed.contains(item.get()); });
    // The focus mark goes to the row that took the place of the first removed one, so that
    // the keyboard carries on from there; nothing is selected.
    if (!selectedRows.empty() && !kept.isEmpty()) {
        const int at = std::min(selectedRows.front(), static_cast<int>(kept.size()) - 1);
        LvFavs->setCurrentItem(LvFavs->topLevelItem(at), 0, QItemSelectionModel::NoUpdate);
    }
    LvFavs->setUpdatesEnabled(true);
    SetModified(true);
    UpdateActions();
    FocusList();
}

void TFrmKvMain::ActClearAllFavExecute() {
    if (prompts_.Message(this, "Clear all favorites?", TMsgType::Confirmation,
                         TMsgButtons::YesNo) == TMsgAnswer::Yes) {
        ClearFavorites();
    }
}

void TFrmKvMain::LvFavsDblClick() {
    UpdateActions();
    if (ActGoto->isEnabled()) ActGoto->trigger();
}

std::unique_ptr<TKorvane_DragObjectEx> TFrmKvMain::CreateDragObject() const {
    auto dragObject = std::make_unique<TKorvane_DragObjectEx>();
    for (QTreeWidgetItem* row : GetSelectedItems()) dragObject->Items.push_back(ItemOfRow(row));
    dragObject->setData(TKorvane_DragObjectEx::MimeType(), QByteArray());
    return dragObject;
}

void TFrmKvMain::LvFavsStartDrag() {
    auto* drag = new QDrag(LvFavs);
    drag->setMimeData(CreateDragObject().release()); // the drag releases it when it ends
    drag->exec(Qt::CopyAction);
}

// The favourites file.

void TFrmKvMain::SetModified(bool flag) {
    modified_ = flag;
    UpdateCaption();
}

void TFrmKvMain::SetFileName(const std::filesystem::path& file) {
    fileName_ = file;
    UpdateCaption();
}

void TFrmKvMain::NewFavorites() {
    ClearFavorites();
    SetFileName({});
    SetModified(false);
}

void TFrmKvMain::CheckSaveChanges() {
    if (!modified_) return;
    switch (
        prompts_.Message(this, "Save changes?", TMsgType::Confirmation, TMsgButtons::YesNoCancel)) {
    case TMsgAnswer::Yes:
        ActSaveExecute();
        if (modified_) throw EAbort();
        return;
    case TMsgAnswer::No: return;
    default: throw EAbort();
    }
}

void TFrmKvMain::ActNewExecute() {
    CheckSaveChanges();
    NewFavorites();
}

void TFrmKvMain::ActLoadExecute() {
    CheckSaveChanges();
    TFileDialogSpec desc;
    desc.Title = "Load Korvane content";
    desc.Filter = kFavoritesFilter;
    desc.DefaultExtension = "kvf";
    desc.FileMustExist = true;
    const QString file = prompts_.ChooseFile(this, desc);
    if (!file.isEmpty()) LoadFavorites(PathFromQt(file));
}

void TFrmKvMain::ActSaveExecute() {
    if (fileName_.empty()) {
        ActSaveAsExecute();
    } else {
        SaveFavorites(fileName_);
    }
}

void TFrmKvMain::ActSaveAsExecute() {
    TFileDialogSpec desc;
    desc.Title = "Save Korvane content as";
    desc.Filter = kFavoritesFilter;
    desc.DefaultExtension = "kvf";
    desc.ForSave = true;
    desc.PromptOverwrite = true;
    const QString file = prompts_.ChooseFile(this, desc);
    if (!file.isEmpty()) SaveFavorites(PathFromQt(WithDefaultExtension(file, "kvf")));
}

void TFrmKvMain::SaveFavorites(const std::filesystem::path& file) {
    const auto order = FavoritesInSaveOrder(RowItems(), favorites_);
    WriteFileAtomically(file, FormatFavoritesFile(order));
    SetFileName(file);
    SetModified(false);
}

void TFrmKvMain::LoadFavorites(const std::filesystem::path& file) {
    const std::vector<std::string> lines = ReadTextFileLines(file);
    TFavoritesParse parsed = ParseFavoritesLines(lines);
    const std::string shownName = PathToText(file.filename());
    FocusList();
    if (!parsed.HasList) {
        // A mission or any other file chosen by mistake: taking its name would let the next
        // Save overwrite it with an empty list.
        LogError(NoFavoritesListMessage(shownName));
        return;
    }
    LvFavs->setUpdatesEnabled(false);
    NewFavorites();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(parsed.Items.size()));
    for (TBrushInfo& info : parsed.Items) {
        TBrushInfo* item = NewBrushInfo();
        *item = std::move(info);
        QTreeWidgetItem* row = MakeRow(item);
        FillListItem(row);
        rows << row;
    }
    LvFavs->addTopLevelItems(rows);
    LvFavs->setUpdatesEnabled(true);
    UpdateActions();
    if (!parsed.Error.empty()) throw Exception(FavoritesErrorMessage(parsed, shownName));
    SetFileName(file);
    SetModified(false);
}

// Display filter and find-by-name.

void TFrmKvMain::ActFilterExecute() {
    const bool confirmed = ShowFilterDialog(this, prompts_, ListFilter, "Display...");
    FocusList();
    if (!confirmed) return;
    LbFilter->setText(ToQt(FilterLabelText(ListFilter)));
    RebuildList();
}

void TFrmKvMain::ActSearchExecute() {
    const std::int32_t n = SearchObject(this, prompts_, favorites_);
    FocusList();
    if (n != 0) SelectByBrushNum(n);
}

} // namespace kv
