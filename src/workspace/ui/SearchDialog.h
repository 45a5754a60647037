// Find-by-name: type a part of an object's name, pick it, get its brush number. Names that
// begin with the text are listed first, then those that contain it elsewhere.
#pragma once

#include "workspace/Favorites.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace kv {

class TUiPrompts;

class TFrmSearch : public QDialog {
    Q_OBJECT
public:
    TFrmSearch(QWidget* owner, TUiPrompts& prompts);

    // The Object items of Items, sorted by name ignoring letter case, become the candidates.
    void SetCandidates(const TFavoriteList& items);
    void UpdateSearchList();
    // The brush number of the chosen candidate once the dialog closed with "Ok".
    [[nodiscard]] std::int32_t ResultBrushNum() const { return result_; }

    QLineEdit* EdText = nullptr;
    QListWidget* ListBox = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The row of the selected entry, -1 when none is selected.
    [[nodiscard]] int SelectedRow() const;
    void AcceptEntry(int row);
    // Enter and double click in the list, and "Ok".
    void AcceptSelected();
    TUiPrompts& prompts_;
    std::vector<TBrushInfo> candidates_;
    std::int32_t result_ = 0;
};

// Runs the find dialog over Items; the chosen brush number, or 0 when cancelled.
std::int32_t SearchObject(QWidget* owner, TUiPrompts& prompts, const TFavoriteList& items);

} // namespace kv
