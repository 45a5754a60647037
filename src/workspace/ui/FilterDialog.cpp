#include "workspace/ui/FilterDialog.h"

#include "text/ui/QtText.h"
#include "ui/UiPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

struct TKindBoxText {
    TBrushKind Kind;
    const char* Name;
    const char* Caption;
};

// Kinds 1 to 6 in order; the first three form the left column, the rest the right one.
constexpr TKindBoxText kKindBoxes[6] = {
    {bkTerrain, "CbTerrain", "&Terrain"}, {bkLight, "CbLight", "&Light"},
    {bkArea, "CbArea", "&Area"},          {bkObject, "CbObject", "&Object"},
    {bkFlow, "CbFlow", "&Flow"},          {bkRoom, "CbRoom", "&Room"},
};

} // namespace

TFrmDisplayFilter::TFrmDisplayFilter(QWidget* owner) : QDialog(owner) {
    setObjectName("TFrmDisplayFilter");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    for (int i = 0; i < 6; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kKindBoxes[i].Caption), this);
        box->setObjectName(QString::fromLatin1(kKindBoxes[i].Name));
        grid->addWidget(box, i % 3, i / 3);
        boxes_[i] = box;
    }

    auto* label = new QLabel("&Name contains", this);
    label->setObjectName("LbNameFilter");
    EdNameFilter = new QLineEdit(this);
    EdNameFilter->setObjectName("EdNameFilter");
    label->setBuddy(EdNameFilter);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label);
    nameRow->addWidget(EdNameFilter, 1);

    BtOk = new QPushButton("Ok", this);
    BtOk->setObjectName("BtOk");
    BtOk->setDefault(true);
    BtCancel = new QPushButton("Cancel", this);
    BtCancel->setObjectName("BtCancel");
    connect(BtOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    layout->addLayout(grid);
    layout->addLayout(nameRow);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // The client area is 175 by 118 unless the desktop's font needs more room.
    setFixedSize(QSize(175, 118).expandedTo(layout->totalMinimumSize()));
    if (owner) move(owner->window()->frameGeometry().center() - rect().center());
}

QCheckBox* TFrmDisplayFilter::KindBox(TBrushKind kind) const {
    if (kind < bkTerrain || kind > bkRoom) return nullptr;
    return boxes_[kind - 1];
}

void TFrmDisplayFilter::SetFilter(const TDisplayFilter& filter) {
    for (const auto& k : kKindBoxes)
        KindBox(k.Kind)->setChecked((filter.Kinds & KindBit(k.Kind)) != 0);
    EdNameFilter->setText(ToQt(filter.NameFilter));
}

TDisplayFilter TFrmDisplayFilter::Filter() const {
    TDisplayFilter result;
    result.Kinds = 0;
    for (const auto& k : kKindBoxes)
        if (KindBox(k.Kind)->isChecked()) result.Kinds |= KindBit(k.Kind);
    result.NameFilter = FromQt(EdNameFilter->text());
    return result;
}

bool ShowFilterDialog(QWidget* owner, TUiPrompts& prompts, TDisplayFilter& filter,
                      const QString& caption) {
    TFrmDisplayFilter dialog(owner);
    dialog.setWindowTitle(caption);
    dialog.SetFilter(filter);
    if (prompts.RunModal(dialog) != QDialog::Accepted) return false;
    filter = dialog.Filter();
    return true;
}

} // namespace kv
