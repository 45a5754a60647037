// The display filter dialog: six kind boxes and a name fragment.
#pragma once

#include "items/DisplayFilter.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kv {

class TUiPrompts;

class TFrmDisplayFilter : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDisplayFilter(QWidget* owner);

    void SetFilter(const TDisplayFilter& filter);
    [[nodiscard]] TDisplayFilter Filter() const;

    // Kind boxes in the order Terrain, Light, Area, Object, Flow, Room.
    QCheckBox* KindBox(TBrushKind kind) const;
    QLineEdit* EdNameFilter = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

private:
    QCheckBox* boxes_[6] = {};
};

// Shows the dialog with Caption; on "Ok" stores the choice in Filter and returns true.
bool ShowFilterDialog(QWidget* owner, TUiPrompts& prompts, TDisplayFilter& filter,
                      const QString& caption);

} // namespace kv
