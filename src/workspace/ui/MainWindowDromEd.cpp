// The main window's commands that work on DromEd: take in or find DromEd's selection, open
// DromEd's editors for a favourite, select a favourite in DromEd, move DromEd's camera to it,
// and start DromEd.
#include "dromed/DromEdOps.h"
#include "dromed/DromEdWindow.h"
#include "text/Exception.h"
#include "workspace/DromEdLaunch.h"
#include "workspace/Settings.h"
#include "ui/CursorOverride.h"
#include "workspace/ui/MainWindow.h"
#include "ui/UiPrompts.h"

#include <QApplication>
#include <QTreeWidget>

namespace kv {

void TFrmKvMain::ActAddOrSelDromEdSelExecute(bool selectMode) {
    try {
        const TDromEdSelection selection = ReadDromEdSelection(platform_);
        if (!selection.Warning.empty()) LogError(selection.Warning);
        const TBrushInfo& info = selection.Info;
        if (selectMode) {
            SelectByBrushNum(info.BrushNum);
        } else {
            QTreeWidgetItem* row = AddFavorite(info, true);
            LvFavs->clearSelection();
            LvFavs->setCurrentItem(row);
            row->setSelected(true);
            LvFavs->scrollToItem(row);
            SetModified(true);
        }
    } catch (const std::exception& e) {
        LogException(e);
    }
    if (selectMode) return;
    // The user pressed the hotkey in DromEd and goes on working there.
    try {
        platform_.SetForegroundWindow(FindDromEdWindow(platform_));
    } catch (const std::exception&) {
        // DromEd has gone: the focus stays where it is.
    }
}

void TFrmKvMain::SendEditorCommand(const std::string& command) {
    try {
        if (!SendDromEdCommand(platform_, command)) {
            throw Exception("Failed to send DromEd command");
        }
    } catch (const std::exception& e) {
        LogException(e);
    }
}

void TFrmKvMain::ActPropertiesExecute() {
    SendEditorCommand("edit_obj " + std::to_string(GetSelectedInfo().ObjID));
}

void TFrmKvMain::ActLinksExecute() {
    SendEditorCommand("edit_links " + std::to_string(GetSelectedInfo().ObjID) + ",0,0");
}

void TFrmKvMain::ActSourcesExecute() {
    SendEditorCommand("ar_list_sources " + std::to_string(GetSelectedInfo().ObjID));
}

void TFrmKvMain::ActReceptronsExecute() {
    SendEditorCommand("ar_list_receptrons " + std::to_string(GetSelectedInfo().ObjID));
}

bool TFrmKvMain::SelectInDromEd(const TBrushInfo& info) {
    try {
        bool compressed = false;
        for (;;) {
            std::string message;
            if (info.Kind == bkObject && !Settings.SelObjByBrushNum) {
                if (!SelectDromEdObject(platform_, info.ObjID)) {
                    message = "Failed to select object in DromEd";
                }
            } else if (!SelectDromEdBrush(platform_, info.BrushNum)) {
                message = "Failed to select brush or object in DromEd";
            }
            if (message.empty()) return true;
            // Brush numbers go stale as the mission is edited; one renumbering may bring the
            // favourite's number back in line, a second would not help.
            if (compressed || !Settings.CompressBrushNum) throw Exception(message);
            if (!CompressDromEdBrushIds(platform_)) {
                throw Exception("Failed to compress brush numbers in DromEd");
            }
            Log("Compressed brush numbers in DromEd");
            platform_.Sleep(100);
            compressed = true;
        }
    } catch (const std::exception& e) {
        LogException(e);
        return false;
    }
}

void TFrmKvMain::ActSelInDromEdExecute() { SelectInDromEd(GetSelectedInfo()); }

void TFrmKvMain::ActGotoExecute() {
    // The camera may still reach the brush DromEd has selected when the selection failed.
    SelectInDromEd(GetSelectedInfo());
    try {
        if (!CameraToDromEdBrush(platform_, true, true)) {
            throw Exception("Failed to move DromEd camera");
        }
    } catch (const std::exception& e) {
        LogException(e);
    }
}

void TFrmKvMain::FirstShowDromEd() {
    if (Settings.DromEdAutoStart && !Settings.DromEdPath.empty()) ActStartDromEd->trigger();
    BringDromEdToFront(platform_);
}

void TFrmKvMain::ActStartDromEdExecute() {
    try {
        static_cast<void>(FindDromEdWindow(platform_)); // raises when DromEd is not running
        BringDromEdToFront(platform_);
        return;
    } catch (const std::exception&) {
        // Not running yet: start it.
    }
    if (Settings.DromEdPath.empty()) {
        prompts_.Message(this, "You have to set the path to DromEd in Settings first",
                         TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    Log("Trying to start DromEd...");
    TProcessInfo process;
    bool started = false;
    std::uint32_t error = 0;
    {
        const TCursorOverride busy(Qt::WaitCursor);
        started =
            platform_.CreateProcess(Settings.DromEdPath, DromEdStartDirectory(Settings.DromEdPath),
                                    win::CREATE_DEFAULT_ERROR_MODE, process);
        if (!started) {
            error = platform_.GetLastError();
        } else if (Settings.DromEdLoPri &&
                   !platform_.SetPriorityClass(process.Process, win::BELOW_NORMAL_PRIORITY_CLASS)) {
            // Older systems know no "below normal" class.
            platform_.SetPriorityClass(process.Process, win::IDLE_PRIORITY_CLASS);
        }
        if (process.Thread != 0) platform_.CloseHandle(process.Thread);
        if (process.Process != 0) platform_.CloseHandle(process.Process);
    }
    if (!started) {
        prompts_.Message(this,
                         "Failed to start DromEd. Windows error code " + QString::number(error),
                         TMsgType::Error, TMsgButtons::Ok);
    }
}

} // namespace kv
