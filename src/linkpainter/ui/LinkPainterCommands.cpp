// The Link Painter window's link list and commands: the rows the painter announces and their
// sorting, the context menus' enabling, renaming, link template files, the links of a mission
// file and creating the links in DromEd.
#include "linkpainter/ui/LinkPainterWindow.h"

#include "dromed/DromEdWindow.h"
#include "ui/CursorOverride.h"
#include "ui/UiPrompts.h"
#include "linkpainter/LinkPainter.h"
#include "text/Win1252.h"
#include "text/ui/QtText.h"

#include <QAction>
#include <QCheckBox>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>

namespace kv {

namespace {

const QString kTemplateFilter = "Korvane link templates (*.klt)|*.klt|All files (*.*)|*.*";

// The 8 x 8 pictures of the link list: a green dot for a link to be created, a grey one for
// a link that is only shown.
QIcon LinkIcon(bool active) {
    QPixmap pm(8, 8);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x40));
    // The colours of the links in the drawing.
    p.setBrush(active ? QColor(0x00, 0x80, 0x00) : QColor(0x80, 0x80, 0x80));
    p.drawEllipse(QRectF(0.5, 0.5, 7, 7));
    return QIcon(pm);
}

} // namespace

// --- The link list -----------------------------------------------------------------------

TEdge* TFrmKvLinkPainter::EdgeOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr) return nullptr;
    return reinterpret_cast<TEdge*>(row->data(0, Qt::UserRole).value<quintptr>());
}

QTreeWidgetItem* TFrmKvLinkPainter::RowOfEdge(const TEdge* edge) const {
    const auto it = rows_.find(edge);
    return it != rows_.end() ? it->second : nullptr;
}

std::vector<TEdge*> TFrmKvLinkPainter::SelectedEdges() const {
    std::vector<TEdge*> edges;
    for (int i = 0; i < LvLinks->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = LvLinks->topLevelItem(i);
        if (row->isSelected()) edges.push_back(EdgeOfRow(row));
    }
    return edges;
}

void TFrmKvLinkPainter::FillRow(QTreeWidgetItem* row, const TEdge& edge) const {
    row->setText(0, ToQt(edge.Label));
    row->setText(1, edge.FromNode != nullptr ? ToQt(edge.FromNode->Caption) : QString());
    row->setText(2, edge.ToNode != nullptr ? ToQt(edge.ToNode->Caption) : QString());
    const TLinkData* link = TLinkPainter::LinkOf(&edge);
    static const QIcon active = LinkIcon(true);
    static const QIcon inactive = LinkIcon(false);
    row->setIcon(0, link != nullptr && link->Active != 0 ? active : inactive);
}

void TFrmKvLinkPainter::RowAdded(TEdge& edge) {
    auto* row = new QTreeWidgetItem();
    row->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&edge)));
    FillRow(row, edge);
    LvLinks->addTopLevelItem(row);
    rows_[&edge] = row;
}

void TFrmKvLinkPainter::RowRemoved(TEdge& edge) {
    const auto it = rows_.find(&edge);
    if (it == rows_.end()) return;
    delete it->second;
    rows_.erase(it);
}

void TFrmKvLinkPainter::RowsChanged(const TGraphItem* item) {
    for (const auto& [edge, row] : rows_) {
        if (item == nullptr || item == edge || item == edge->FromNode || item == edge->ToNode) {
            FillRow(row, *edge);
        }
    }
}

void TFrmKvLinkPainter::SortByColumn(int column) {
    if (column == sortColumn_) {
        sortDescending_ = !sortDescending_;
    } else {
        sortColumn_ = column;
        sortDescending_ = false;
    }
    const QList<QTreeWidgetItem*> selected = LvLinks->selectedItems();
    QTreeWidgetItem* current = LvLinks->currentItem();
    std::vector<QTreeWidgetItem*> rows;
    while (LvLinks->topLevelItemCount() > 0) rows.push_back(LvLinks->takeTopLevelItem(0));
    const int c = sortColumn_;
    const bool descending = sortDescending_;
    std::stable_sort(rows.begin(), rows.end(), [c, descending](const auto* a, const auto* b) {
        const int r = AnsiCompareText(FromQt(a->text(c)), FromQt(b->text(c)));
        return descending ? r > 0 : r < 0;
    });
    for (QTreeWidgetItem* row : rows) LvLinks->addTopLevelItem(row);
    if (current != nullptr) LvLinks->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* row : selected) row->setSelected(true);
}

// --- Commands ---------------------------------------------------------------------------------

std::vector<TEdge*> TFrmKvLinkPainter::CommandEdges(bool fromList) const {
    if (fromList) return SelectedEdges();
    if (TEdge* edge = painter_->PopupEdge()) return {edge};
    return {};
}

void TFrmKvLinkPainter::PopupGraphShow() {
    const TGraphMenuState state = painter_->GraphMenuState();
    MiRename->setEnabled(state.NodeCommands);
    MiRemoveNode->setEnabled(state.NodeCommands);
    MiRemoveConcrete->setEnabled(state.ConcreteCommands);
    MiUnbind->setEnabled(state.ConcreteCommands);
    MiGraphFlavor->menuAction()->setEnabled(state.LinkCommands);
    MiReverse->setEnabled(state.LinkCommands);
    MiRemoveLink->setEnabled(state.LinkCommands);
    const TLinkActiveState active = TLinkPainter::LinkActiveState(CommandEdges(false));
    MiLinkActive->setEnabled(active.Enabled);
    MiLinkActive->setChecked(active.Checked);
}

void TFrmKvLinkPainter::PopupLinkListShow() {
    const std::vector<TEdge*> edges = CommandEdges(true);
    MiListReverse->setEnabled(!edges.empty());
    MiListRemoveLink->setEnabled(!edges.empty());
    const TLinkActiveState active = TLinkPainter::LinkActiveState(edges);
    MiListLinkActive->setEnabled(active.Enabled);
    MiListLinkActive->setChecked(active.Checked);
}

void TFrmKvLinkPainter::RenameExecute() {
    TNode* node = painter_->PopupNode();
    if (node == nullptr) return;
    if (TLinkPainter::IsConcrete(node)) {
        prompts_.Message(this,
                         "This is a \"concrete\" node. You can rename the template, but the new "
                         "name will only become visible when you remove the concrete object.",
                         TMsgType::Information, TMsgButtons::Ok);
    }
    const std::optional<QString> name = AskText("Rename template", "New name", ToQt(node->Name));
    if (!name) return;
    painter_->RenameTemplate(node, FromQt(*name));
}

void TFrmKvLinkPainter::SaveExecute() {
    TFileDialogSpec desc;
    desc.Title = "Save link template as";
    desc.Filter = kTemplateFilter;
    desc.DefaultExtension = "klt";
    desc.ForSave = true;
    desc.PromptOverwrite = true;
    const QString file = prompts_.ChooseFile(this, desc);
    if (file.isEmpty()) return;
    bool templatesInstead = false;
    if (painter_->HasConcreteNodes()) {
        const TMsgAnswer answer = prompts_.Message(
            this,
            "Your link template contains \"concrete\" objects.\rSave this object information "
            "too?\r\r[Yes:Save concrete objects] [No:Save templates instead (recommended)]",
            TMsgType::Warning, TMsgButtons::YesNoCancel);
        if (answer != TMsgAnswer::Yes && answer != TMsgAnswer::No) return;
        templatesInstead = answer == TMsgAnswer::No;
    }
    const TCursorOverride busy(Qt::WaitCursor);
    painter_->SaveTemplate(PathFromQt(WithDefaultExtension(file, desc.DefaultExtension)),
                           templatesInstead);
}

void TFrmKvLinkPainter::OpenExecute() {
    TFileDialogSpec desc;
    desc.Title = "Open link template";
    desc.Filter = kTemplateFilter;
    desc.DefaultExtension = "klt";
    desc.FileMustExist = true;
    const QString file = prompts_.ChooseFile(this, desc);
    if (file.isEmpty()) return;
    const TCursorOverride busy(Qt::WaitCursor);
    painter_->OpenTemplate(PathFromQt(file));
}

void TFrmKvLinkPainter::MissionLinksExecute(bool disable) {
    if (painter_->ConcreteObjectIds().empty()) {
        prompts_.Message(this, "Drag in some concrete objects from the main window first!",
                         TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    // The main window's mission dialog, so that both remember the same folder.
    const QString file =
        chooseMissionFile_ ? chooseMissionFile_("Import links from mission file") : QString();
    if (file.isEmpty()) return;
    const std::filesystem::path mission = PathFromQt(file);
    if (!disable) {
        const TCursorOverride busy(Qt::WaitCursor);
        painter_->LoadMissionLinks(mission); // redraws
        return;
    }
    int disabled = 0;
    {
        const TCursorOverride busy(Qt::WaitCursor);
        disabled = painter_->DisableMissionLinks(mission);
    }
    if (disabled > 0) {
        prompts_.Message(this,
                         QString("%1 active links found in mission file and disabled").arg(disabled),
                         TMsgType::Information, TMsgButtons::Ok);
    } else {
        prompts_.Message(this, "No duplicate active links found", TMsgType::Information,
                         TMsgButtons::Ok);
    }
}

void TFrmKvLinkPainter::AddLinksInDromEdExecute() {
    const Qt::WindowStates state = windowState();
    // However the command ends, the window comes back as it was.
    auto restore = qScopeGuard([this, state] { RestoreAfterDromEd(state); });
    const TMsgAnswer check =
        prompts_.Message(this, "Check mission file to avoid duplicate links?",
                         TMsgType::Confirmation, TMsgButtons::YesNoCancel);
    if (check == TMsgAnswer::Yes) {
        MissionLinksExecute(true);
    } else if (check != TMsgAnswer::No) {
        return;
    }
    if (painter_->LinksToCreate().empty()) {
        prompts_.Message(this, "There are no active links to add!", TMsgType::Error,
                         TMsgButtons::Ok);
        return;
    }
    if (prompts_.Message(this,
                         "About to create the displayed links in DromEd.\rDon't interfere during "
                         "the process!\r\rContinue?",
                         TMsgType::Confirmation, TMsgButtons::YesCancel) != TMsgAnswer::Yes) {
        return;
    }
    showMinimized();
    BringDromEdToFront(platform_);
    const int created = painter_->CreateLinksInDromEd(platform_);
    restore.dismiss();
    RestoreAfterDromEd(state);
    prompts_.Message(this, QString("Done, created %1 links.").arg(created),
                     TMsgType::Information, TMsgButtons::Ok);
}

void TFrmKvLinkPainter::RestoreAfterDromEd(Qt::WindowStates state) {
    try {
        if (own_ != 0) ActivateWindow(platform_, own_);
    } catch (const std::exception&) {
        // The window is shown by Qt below even when the desktop would not bring it forward.
    }
    setWindowState(state);
    show();
    raise();
    activateWindow();
}

// --- Auto-adapt -------------------------------------------------------------------------------

void TFrmKvLinkPainter::AutoAdaptToggled(bool on) {
    if (on) {
        if (!Guarded([this] { painter_->BeginAutoAdapt(); })) {
            CbAutoAdapt->setChecked(false);
            return;
        }
        TimerAutoAdapt->start();
    } else {
        TimerAutoAdapt->stop();
        if (!painter_->AutoAdapting()) return;
        Guarded([this] {
            painter_->EndAutoAdapt(MiDrawObjectNames->isChecked(), MiDrawLinkFlavors->isChecked());
        });
    }
}

void TFrmKvLinkPainter::AutoAdaptStep() {
    // The next pass waits for this one, and a failure ends the layout instead of repeating its
    // message on every tick.
    TimerAutoAdapt->stop();
    if (!Guarded([this] { painter_->Redraw(true); })) {
        CbAutoAdapt->setChecked(false);
    } else if (CbAutoAdapt->isChecked()) {
        TimerAutoAdapt->start();
    }
}

} // namespace kv
