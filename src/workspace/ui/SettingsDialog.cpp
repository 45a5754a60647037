#include "workspace/ui/SettingsDialog.h"

#include "text/ui/QtText.h"
#include "workspace/Docking.h"
#include "workspace/ui/HotKeyEdit.h"
#include "ui/UiPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, bool checked,
                    const QString& hint = {}) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    if (!hint.isEmpty()) box->setToolTip(hint);
    return box;
}

} // namespace

TFrmKvSettings::TFrmKvSettings(QWidget* owner, TUiPrompts& prompts, const TSettings& settings)
    : QDialog(owner), prompts_(prompts), settings_(settings) {
    setObjectName("FrmKvSettings");
    setWindowTitle("Korvane Settings");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->addTab(CreateGeneralPage(), "General");
    PageControl1->addTab(CreateAdvancedPage(), "Advanced");
    PageControl1->setCurrentIndex(0);

    BtOk = new QPushButton("Ok", this);
    BtOk->setObjectName("BtOk");
    BtOk->setDefault(true);
    BtCancel = new QPushButton("Cancel", this);
    BtCancel->setObjectName("BtCancel");
    connect(BtOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(464, 381);
    if (owner != nullptr) {
        const QPoint centre = owner->frameGeometry().center();
        move(centre.x() - width() / 2, centre.y() - height() / 2);
    }
}

QWidget* TFrmKvSettings::CreateGeneralPage() {
    auto* page = new QWidget(this);
    page->setObjectName("TsGeneral");

    auto* hotkeys = new QGroupBox("Hotkeys", page);
    hotkeys->setObjectName("GbHotkeys");
    auto* grid = new QGridLayout(hotkeys);
    const auto row = [&](int r, const char* label, const char* name, std::uint16_t value,
                         const char* clearName, THotKeyEdit*& edit, QPushButton*& clear) {
        edit = new THotKeyEdit(hotkeys);
        edit->setObjectName(name);
        edit->SetHotKey(value);
        auto* caption = new QLabel(label, hotkeys);
        caption->setBuddy(edit);
        clear = new QPushButton("Clear", hotkeys);
        clear->setObjectName(clearName);
        connect(clear, &QPushButton::clicked, edit, [edit] { edit->SetHotKey(0); });
        grid->addWidget(caption, r, 0);
        grid->addWidget(edit, r, 1);
        grid->addWidget(clear, r, 2);
    };
    row(0, "Add the current DromEd item to Korvane", "HkAdd", settings_.HkAdd, "BtClrAdd", HkAdd,
        BtClrAdd);
    row(1, "Select the current DromEd item in Korvane", "HkSel", settings_.HkSel, "BtClrSel", HkSel,
        BtClrSel);
    row(2, "Switch between DromEd and Korvane", "HkTog", settings_.HkTog, "BtClearTog", HkTog,
        BtClearTog);

    auto* misc = new QGroupBox("Misc", page);
    misc->setObjectName("GbMisc");
    ComboDock = new QComboBox(misc);
    ComboDock->setObjectName("ComboDock");
    ComboDock->addItems({"at right", "at left", "at top", "at bottom", "don't dock"});
    ComboDock->setCurrentIndex(DockListIndex(settings_.Dock));
    auto* dockLabel = new QLabel("Dock to DromEd window", misc);
    dockLabel->setBuddy(ComboDock);
    CbPush = CheckBox(misc, "CbPush", "and push DromEd to screen edge", settings_.Push);
    CbMisCheck = CheckBox(misc, "CbMisCheck", "Do a sanity check when loading mission files",
                          settings_.MisCheck,
                          "Check for typical errors/mistakes when importing from a mission file");
    auto* miscLayout = new QGridLayout(misc);
    miscLayout->addWidget(dockLabel, 0, 0);
    miscLayout->addWidget(ComboDock, 0, 1);
    miscLayout->addWidget(CbPush, 0, 2);
    miscLayout->addWidget(CbMisCheck, 1, 0, 1, 3);

    auto* start = new QGroupBox("To start DromEd", page);
    start->setObjectName("GbStartDromEd");
    EdDromEdPath = new QLineEdit(ToQt(settings_.DromEdPath), start);
    EdDromEdPath->setObjectName("EdDromEdPath");
    auto* pathLabel = new QLabel("Path to DromEd.exe", start);
    pathLabel->setBuddy(EdDromEdPath);
    BtDromEdPath = new QPushButton("...", start);
    BtDromEdPath->setObjectName("BtDromEdPath");
    BtDromEdPath->setMaximumWidth(32);
    connect(BtDromEdPath, &QPushButton::clicked, this, [this] { BtDromEdPathClick(); });
    CbDromEdLoPri =
        CheckBox(start, "CbDromEdLoPri", "Lower DromEd's process priority", settings_.DromEdLoPri,
                 "Set priority to below normal (on Win2000,XP,...) or to idle (Win9x,NT)");
    CbDromEdAutostart =
        CheckBox(start, "CbDromEdAutostart",
                 "At startup, automaticall start DromEd if it isn't already running",
                 settings_.DromEdAutoStart);
    auto* startLayout = new QGridLayout(start);
    startLayout->addWidget(pathLabel, 0, 0);
    startLayout->addWidget(EdDromEdPath, 0, 1);
    startLayout->addWidget(BtDromEdPath, 0, 2);
    startLayout->addWidget(CbDromEdLoPri, 1, 0, 1, 3);
    startLayout->addWidget(CbDromEdAutostart, 2, 0, 1, 3);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(hotkeys);
    layout->addWidget(misc);
    layout->addWidget(start);
    layout->addStretch(1);
    return page;
}

QWidget* TFrmKvSettings::CreateAdvancedPage() {
    auto* page = new QWidget(this);
    page->setObjectName("TsAdvanced");
    CbMisBrushNum =
        CheckBox(page, "CbMisBrushNum", "Use brush numbers from mission file (default: OFF)",
                 settings_.MisBNum);
    CbSelObjByBrushNum =
        CheckBox(page, "CbSelObjByBrushNum", "Select objects by brush number (default: OFF)",
                 settings_.SelObjByBrushNum);
    CbCompressBrushNum = CheckBox(page, "CbCompressBrushNum",
                                  "Compress brush numbers if brush cannot be found (default: ON)",
                                  settings_.CompressBrushNum);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(CbMisBrushNum);
    layout->addWidget(CbSelObjByBrushNum);
    layout->addWidget(CbCompressBrushNum);
    layout->addStretch(1);
    return page;
}

void TFrmKvSettings::BtDromEdPathClick() {
    TFileDialogSpec browse;
    browse.Title = "Select your DromEd.exe";
    browse.InitialFileName = "DromEd.exe";
    browse.FileMustExist = true;
    QString path = prompts_.ChooseFile(this, browse);
    if (path.isEmpty()) return;
    path = QDir::toNativeSeparators(path);
    // The path is the command line that starts DromEd: a space would split it.
    if (path.contains(' ')) path = '"' + path + '"';
    EdDromEdPath->setText(path);
}

TSettings TFrmKvSettings::Values() const {
    TSettings s = settings_;
    s.HkAdd = HkAdd->HotKey();
    s.HkSel = HkSel->HotKey();
    s.HkTog = HkTog->HotKey();
    s.Dock = DockOfListIndex(ComboDock->currentIndex());
    s.Push = CbPush->isChecked();
    s.MisCheck = CbMisCheck->isChecked();
    s.MisBNum = CbMisBrushNum->isChecked();
    s.SelObjByBrushNum = CbSelObjByBrushNum->isChecked();
    s.CompressBrushNum = CbCompressBrushNum->isChecked();
    s.DromEdPath = FromQt(EdDromEdPath->text());
    s.DromEdLoPri = CbDromEdLoPri->isChecked();
    s.DromEdAutoStart = CbDromEdAutostart->isChecked();
    return s;
}

bool EditSettings(QWidget* owner, TUiPrompts& prompts, TSettings& s) {
    TFrmKvSettings dialog(owner, prompts, s);
    if (prompts.RunModal(dialog) != QDialog::Accepted) return false;
    s = dialog.Values();
    return true;
}

} // namespace kv
