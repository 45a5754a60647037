// The main window's mission file commands: import a mission's brushes into the favourites,
// check a mission for typical editor damage, and the loot list with its loot import. The
// mission work itself is the engine's, the same that korvane-cli runs.
#include "workspace/ui/MainWindow.h"

#include "dromed/DromEdOps.h"
#include "dromed/ScreenCapture.h"
#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionImport.h"
#include "mission/SanityCheck.h"
#include "text/TextFile.h"
#include "text/ui/QtText.h"
#include "workspace/MissionCommands.h"
#include "workspace/Settings.h"
#include "ui/CursorOverride.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/ReportWindow.h"
#include "ui/UiPrompts.h"

#include <QAction>
#include <QApplication>
#include <QTime>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace kv {
namespace {

const QString kMissionFilter = "Thief mission files (*.mis;*.cow)|*.mis;*.cow|All files (*.*)|*.*";

// "Gamesys not found: ..." while the loot is read, shown in a box with the normal cursor.
TUserMessageEvent GamesysMessages(QWidget* parent, TUiPrompts& prompts) {
    return [parent, &prompts](const std::string& message) {
        const TCursorOverride normal(Qt::ArrowCursor);
        prompts.Message(parent, ToQt(message), TMsgType::Error, TMsgButtons::Ok);
    };
}

// No repaints of the list while thousands of rows arrive; it is drawn once at the end, also
// when the reading fails half-way and the rows read so far stay.
class TFrozenUpdates {
public:
    explicit TFrozenUpdates(QWidget* widget) : widget_(widget) {
        widget_->setUpdatesEnabled(false);
    }
    ~TFrozenUpdates() { widget_->setUpdatesEnabled(true); }
    TFrozenUpdates(const TFrozenUpdates&) = delete;
    TFrozenUpdates& operator=(const TFrozenUpdates&) = delete;

private:
    QWidget* widget_;
};

} // namespace

QString TFrmKvMain::ChooseMissionFile(const QString& title, std::string& dromEdMission) {
    dromEdMission.clear();
    try {
        const TDromEdCapture capture = CaptureDromEdClient(platform_);
        dromEdMission = ReadDromEdField(platform_, dfStatusFile, &capture);
        misDialogFileName_ = ToQt(dromEdMission);
    } catch (const std::exception&) {
        // DromEd is not running or its status bar cannot be read: the preset is only a
        // convenience, so the dialog keeps the name it had.
    }
    TFileDialogSpec desc;
    desc.Title = title;
    desc.Filter = kMissionFilter;
    desc.InitialFileName = misDialogFileName_;
    desc.FileMustExist = true;
    const QString file = prompts_.ChooseFile(this, desc);
    if (!file.isEmpty()) misDialogFileName_ = file;
    return file;
}

void TFrmKvMain::ImportMissionBrushes(const std::filesystem::path& mission,
                                      const TImportOptions& options) {
    const TFrozenUpdates frozen(LvFavs);
    const TCursorOverride busy(Qt::WaitCursor);
    ImportMission(mission, options,
                  [this](const TBrushInfo& favorite) { AddFavorite(favorite, false); });
}

void TFrmKvMain::ActImportMisExecute(const QAction* sender) {
    const bool check = sender == ActSanityCheck;
    if (!check) ActNewExecute(); // a Cancel at "Save changes?" ends the import silently
    std::string dromEdMission;
    const QString chosen = ChooseMissionFile(
        check ? "Sanity check mission file" : "Import from mission file", dromEdMission);
    if (chosen.isEmpty()) return;
    const std::filesystem::path mission = PathFromQt(chosen);
    const bool sameMission = IsDromEdMission(dromEdMission, mission);
    if (!check && !ShowFilterDialog(this, prompts_, ImportFilter, "Import...")) return;

    std::vector<std::string> report;
    if (check) {
        // The check alone does not read the brushes at all.
        const TCursorOverride busy(Qt::WaitCursor);
        TReadBrushListParams params;
        params.FileName = mission;
        params.UseBrushIDs = Settings.MisBNum;
        params.Report = &report;
        ReadBrushList(params);
    } else {
        TImportOptions options;
        options.Filter = ImportFilter;
        options.UseBrushIDs = Settings.MisBNum;
        options.Report = Settings.MisCheck ? &report : nullptr;
        ImportMissionBrushes(mission, options);
    }
    if (check || Settings.MisCheck) {
        const TCursorOverride busy(Qt::WaitCursor);
        try {
            CheckLootGoals(mission, LootGamesysDir(Settings.DromEdPath, mission),
                           GamesysMessages(this, prompts_), report);
        } catch (const std::exception& e) {
            if (check) throw;
            // The favourites are imported; the check's other findings are still shown.
            LogException(e);
        }
    }

    if (!report.empty()) {
        const QTime now = QTime::currentTime();
        const std::vector<std::string> lines = SanityReportWithHeading(
            report, PathToText(mission.filename()), now.hour(), now.minute());
        ShowReport(this, prompts_, dmMisc_, "Sanity check report", JoinLinesCrLf(lines), false);
    } else if (check) {
        prompts_.Message(this, "No typical errors detected", TMsgType::Information,
                         TMsgButtons::Ok);
    }
    if (check || sameMission) return;

    if (prompts_.Message(this,
                         "Load same mission in DromEd too?\r(Current mission will not be saved!)",
                         TMsgType::Confirmation, TMsgButtons::YesNo) != TMsgAnswer::Yes) {
        return;
    }
    try {
        LoadMissionInDromEd(platform_, PathToText(mission));
    } catch (const std::exception& e) {
        LogException(e); // the imported favourites stay
    }
}

void TFrmKvMain::ActLootListExecute() {
    std::string dromEdMission;
    const QString chosen = ChooseMissionFile("Loot list for mission file", dromEdMission);
    if (chosen.isEmpty()) return;
    const std::filesystem::path mission = PathFromQt(chosen);

    TLootList list;
    {
        const TCursorOverride busy(Qt::WaitCursor);
        list = BuildLootList(mission, LootGamesysDir(Settings.DromEdPath, mission),
                             GamesysMessages(this, prompts_));
    }
    ShowReport(this, prompts_, dmMisc_, "Loot list", list.Text(), false);

    if (prompts_.Message(this, "Load loot objects into the items list?", TMsgType::Confirmation,
                         TMsgButtons::YesNo) != TMsgAnswer::Yes) {
        return;
    }
    ActNewExecute(); // a Cancel at "Save changes?" ends the command silently, nothing loaded
    TImportOptions options;
    options.UseBrushIDs = Settings.MisBNum;
    options.Loot = &list;
    ImportMissionBrushes(mission, options);
}

} // namespace kv
