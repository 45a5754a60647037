// The settings dialog: hotkeys, docking, mission import, how DromEd is started (page "General")
// and how favourites are found in DromEd (page "Advanced"). It edits a copy of the settings.
#pragma once

#include "workspace/Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kv {

class THotKeyEdit;
class TUiPrompts;

class TFrmKvSettings : public QDialog {
    Q_OBJECT
public:
    TFrmKvSettings(QWidget* owner, TUiPrompts& prompts, const TSettings& settings);

    // The copy with the controls' values, as "Ok" takes them.
    [[nodiscard]] TSettings Values() const;

    QTabWidget* PageControl1 = nullptr;
    THotKeyEdit* HkAdd = nullptr;
    THotKeyEdit* HkSel = nullptr;
    THotKeyEdit* HkTog = nullptr;
    QPushButton* BtClrAdd = nullptr;
    QPushButton* BtClrSel = nullptr;
    QPushButton* BtClearTog = nullptr;
    QComboBox* ComboDock = nullptr;
    QCheckBox* CbPush = nullptr;
    QCheckBox* CbMisCheck = nullptr;
    QLineEdit* EdDromEdPath = nullptr;
    QPushButton* BtDromEdPath = nullptr;
    QCheckBox* CbDromEdLoPri = nullptr;
    QCheckBox* CbDromEdAutostart = nullptr;
    QCheckBox* CbMisBrushNum = nullptr;
    QCheckBox* CbSelObjByBrushNum = nullptr;
    QCheckBox* CbCompressBrushNum = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

private:
    QWidget* CreateGeneralPage();
    QWidget* CreateAdvancedPage();
    void BtDromEdPathClick();

    TUiPrompts& prompts_;
    TSettings settings_;
};

// Runs the dialog on a copy of S; on "Ok" stores the copy in S and returns true.
bool EditSettings(QWidget* owner, TUiPrompts& prompts, TSettings& s);

} // namespace kv
