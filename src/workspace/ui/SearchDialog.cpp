#include "workspace/ui/SearchDialog.h"

#include "text/Win1252.h"
#include "text/ui/QtText.h"
#include "ui/UiPrompts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kv {

namespace {

constexpr int kCandidateRole = Qt::UserRole;

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

TFrmSearch::TFrmSearch(QWidget* owner, TUiPrompts& prompts) : QDialog(owner), prompts_(prompts) {
    setObjectName("TFrmSearch");
    setWindowTitle("Search object");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    EdText = new QLineEdit(this);
    EdText->setObjectName("EdText");
    ListBox = new QListWidget(this);
    ListBox->setObjectName("ListBox");
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    BtOk = new QPushButton("Ok", this);
    BtOk->setObjectName("BtOk");
    BtCancel = new QPushButton("Cancel", this);
    BtCancel->setObjectName("BtCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(EdText);
    layout->addWidget(ListBox, 1);
    layout->addLayout(buttons);

    connect(EdText, &QLineEdit::textChanged, this, [this] { UpdateSearchList(); });
    connect(BtOk, &QPushButton::clicked, this, [this] { AcceptSelected(); });
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    EdText->installEventFilter(this);
    ListBox->installEventFilter(this);
    ListBox->viewport()->installEventFilter(this);

    resize(212, 297);
    if (owner) move(owner->window()->frameGeometry().center() - rect().center());
    EdText->setFocus();
}

void TFrmSearch::SetCandidates(const TFavoriteList& items) {
    candidates_.clear();
    for (const auto& item : items)
        if (item && item->Kind == bkObject) candidates_.push_back(*item);
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [](const TBrushInfo& a, const TBrushInfo& b) {
                         return AnsiCompareText(a.Name, b.Name) < 0;
                     });
}

void TFrmSearch::UpdateSearchList() {
    ListBox->setUpdatesEnabled(false);
    ListBox->clear();
    // Names that begin with the text first, then those that only contain it: missions name
    // most objects after their archetype ("A BabyBurrick (213)"), so the beginning alone
    // rarely finds them.
    const std::string typed = FromQt(EdText->text());
    std::vector<std::size_t> containing;
    const auto add = [this](std::size_t i) {
        auto* entry = new QListWidgetItem(ToQt(candidates_[i].Name), ListBox);
        entry->setData(kCandidateRole, static_cast<qulonglong>(i));
    };
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        if (AnsiStartsText(typed, candidates_[i].Name)) {
            add(i);
        } else if (AnsiContainsText(candidates_[i].Name, typed)) {
            containing.push_back(i);
        }
    }
    for (const std::size_t i : containing) add(i);
    ListBox->setUpdatesEnabled(true);
    if (ListBox->count() > 0) ListBox->setCurrentRow(0);
}

int TFrmSearch::SelectedRow() const {
    const QList<QListWidgetItem*> selected = ListBox->selectedItems();
    return selected.isEmpty() ? -1 : ListBox->row(selected.constFirst());
}

void TFrmSearch::AcceptEntry(int row) {
    const QListWidgetItem* entry = ListBox->item(row);
    if (!entry) {
        prompts_.Beep();
        return;
    }
    const auto index = entry->data(kCandidateRole).toULongLong();
    if (index >= candidates_.size()) return;
    result_ = candidates_[index].BrushNum;
    accept();
}

void TFrmSearch::AcceptSelected() {
    const int row = SelectedRow();
    if (row < 0) {
        prompts_.Beep();
        return;
    }
    AcceptEntry(row);
}

bool TFrmSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        AcceptSelected();
        return true;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();

    if (watched == EdText) {
        if (IsEnter(key)) {
            if (ListBox->count() == 0) {
                prompts_.Beep();
            } else {
                const int row = SelectedRow();
                AcceptEntry(row >= 0 ? row : 0);
            }
            return true;
        }
        if (key == Qt::Key_Down) {
            if (ListBox->count() == 0) {
                prompts_.Beep();
            } else {
                ListBox->setFocus();
                if (ListBox->count() > 1) ListBox->setCurrentRow(1);
            }
            return true;
        }
    } else if (watched == ListBox) {
        if (key == Qt::Key_Up && SelectedRow() <= 0) {
            EdText->setFocus();
            return true;
        }
        if (IsEnter(key)) {
            AcceptSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::int32_t SearchObject(QWidget* owner, TUiPrompts& prompts, const TFavoriteList& items) {
    TFrmSearch dialog(owner, prompts);
    dialog.SetCandidates(items);
    dialog.UpdateSearchList();
    if (prompts.RunModal(dialog) != QDialog::Accepted) return 0;
    return dialog.ResultBrushNum();
}

} // namespace kv
