// The main window: tool bar, favourites list, filter label and log, and the menus and actions
// through which every command of the program is reached.
#pragma once

#include "items/DisplayFilter.h"
#include "platform/Platform.h"
#include "workspace/Favorites.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTextEdit;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace kv {

class TDmMisc;
class TFrmKvLinkPainter;
class TKorvane_DragObjectEx;
class TUiPrompts;
struct TImportOptions;

// What the main window is given by the program entry (or a test).
struct TMainWindowEnv {
    QStringList Arguments; // command-line parameters, without the program itself
    std::filesystem::path SettingsFile;
    TUiPrompts* Prompts = nullptr;
    TDmMisc* DmMisc = nullptr;
    // The desktop DromEd runs on, and this window's own handle on it (0 when the desktop has
    // none for it: then nothing can bring this window to the front through the platform).
    TPlatform* Platform = nullptr;
    THwnd OwnWindow = 0;
    // Gives another window of the program (a Link Painter) its handle on that desktop; 0 or
    // unset: none.
    std::function<THwnd(QWidget*)> RegisterWindow;
};

inline constexpr const char* kWebSiteAddress = "https://www.korvane.org/";

class TFrmKvMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmKvMain(const TMainWindowEnv& env);
    ~TFrmKvMain() override;

    // The log: newest line on top, each behind a "[hh:nn] " time stamp. An invalid colour
    // stands for the window-text colour.
    void Log(const std::string& text, const QColor& color = QColor());
    void LogError(const std::string& text);
    // One red line (type name first for the specific types) and the default beep.
    void LogException(const std::exception& e);

    // Favourites and their rows.
    TBrushInfo* NewBrushInfo();
    void DisposeBrushInfo(TBrushInfo* item);
    void FillListItem(QTreeWidgetItem* row) const;
    QTreeWidgetItem* AddFavorite(const TBrushInfo& info, bool replaceSameBrush);
    void SelectByBrushNum(std::int32_t n);
    [[nodiscard]] TBrushInfo GetSelectedInfo() const;
    [[nodiscard]] QList<QTreeWidgetItem*> GetSelectedItems() const;
    [[nodiscard]] std::vector<int> SelectedRowNumbers() const;
    void ClearFavorites();
    void RebuildList();
    [[nodiscard]] static TBrushInfo* ItemOfRow(const QTreeWidgetItem* row);
    [[nodiscard]] QTreeWidgetItem* RowOfItem(const TBrushInfo* item) const;
    // The items of all rows in display order.
    [[nodiscard]] std::vector<const TBrushInfo*> RowItems() const;
    void SortByColumn(int column); // a click on the column's header
    // The drag object of a drag from the list: the selected favourites in display order.
    [[nodiscard]] std::unique_ptr<TKorvane_DragObjectEx> CreateDragObject() const;

    // The favourites file.
    void SetModified(bool flag);
    void SetFileName(const std::filesystem::path& file);
    void NewFavorites();
    void CheckSaveChanges();
    void SaveFavorites(const std::filesystem::path& file);
    void LoadFavorites(const std::filesystem::path& file);
    void UpdateCaption();

    // Recomputes which actions are enabled from the selected row.
    void UpdateActions();

    // DromEd commands (MainWindowDromEd.cpp). SelectInDromEd logs its failure and answers
    // false; FirstShowDromEd runs once when the window is first shown.
    bool SelectInDromEd(const TBrushInfo& info);
    void FirstShowDromEd();

    // Hotkeys and docking (MainWindowDocking.cpp).
    void ApplySettings();
    void UnregisterHotkeys();
    void RegisterOneHotkey(std::uint16_t& registered, std::uint16_t shortcut, int id,
                           const std::string& description);
    void UpdateDocking(bool force);
    [[nodiscard]] const TRect& LastDromEdRect() const { return lastDromEdRect_; }
    [[nodiscard]] std::uint16_t RegisteredHkAdd() const { return registeredHkAdd_; }
    [[nodiscard]] std::uint16_t RegisteredHkSel() const { return registeredHkSel_; }
    [[nodiscard]] std::uint16_t RegisteredHkTog() const { return registeredHkTog_; }

    [[nodiscard]] const TFavoriteList& Favorites() const { return favorites_; }
    [[nodiscard]] bool Modified() const { return modified_; }
    [[nodiscard]] const std::filesystem::path& FileName() const { return fileName_; }
    [[nodiscard]] int SortColumn() const { return sortColumn_; }
    [[nodiscard]] bool SortDescending() const { return sortDescending_; }
    [[nodiscard]] bool DebugMode() const { return debugMode_; }
    [[nodiscard]] TUiPrompts& Prompts() const { return prompts_; }
    [[nodiscard]] TDmMisc& DmMisc() const { return dmMisc_; }
    [[nodiscard]] TPlatform& Platform() const { return platform_; }
    [[nodiscard]] THwnd OwnWindow() const { return ownWindow_; }

    TDisplayFilter ListFilter;
    TDisplayFilter ImportFilter;

    QToolBar* ToolBar1 = nullptr;
    QTreeWidget* LvFavs = nullptr;
    QLabel* LbFilter = nullptr;
    QTextEdit* ReLog = nullptr;
    QMenu* PopupFavs = nullptr;
    QMenu* PopupLog = nullptr;
    QMenu* MiDebug = nullptr;
    QMenu* MiDebug2 = nullptr;
    QAction* MiDockUndock = nullptr;
    QAction* MiDockLeft = nullptr;
    QAction* MiDockTop = nullptr;
    QAction* MiDockRight = nullptr;
    QAction* MiDockBottom = nullptr;
    QAction* MiPush = nullptr;
    QTimer* TimerDock = nullptr;

    QAction* ActProperties = nullptr;
    QAction* ActLinks = nullptr;
    QAction* ActSources = nullptr;
    QAction* ActReceptrons = nullptr;
    QAction* ActSelInDromEd = nullptr;
    QAction* ActGoto = nullptr;
    QAction* ActRemoveFav = nullptr;
    QAction* ActClearAllFav = nullptr;
    QAction* ActAddDromEdSel = nullptr;
    QAction* ActSelDromEdSel = nullptr;
    QAction* ActToggleWindows = nullptr;
    QAction* ActNew = nullptr;
    QAction* ActLoad = nullptr;
    QAction* ActSave = nullptr;
    QAction* ActSaveAs = nullptr;
    QAction* ActImportMis = nullptr;
    QAction* ActSanityCheck = nullptr;
    QAction* ActLootList = nullptr;
    QAction* ActFilter = nullptr;
    QAction* ActSearch = nullptr;
    QAction* ActSettings = nullptr;
    QAction* ActStartDromEd = nullptr;
    QAction* ActLinkPainter = nullptr;
    QAction* ActAbout = nullptr;
    QAction* ActWebSite = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* MakeAction(const char* name, const QString& caption, const QString& hint,
                        std::function<void()> handler);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateList();
    void CreateLog();
    void ApplyDockMenu();

    // Handlers.
    void ActRemoveFavExecute();
    void ActClearAllFavExecute();
    void ActNewExecute();
    void ActLoadExecute();
    void ActSaveExecute();
    void ActSaveAsExecute();
    void ActFilterExecute();
    void ActSearchExecute();
    void ActAboutExecute();
    void ActWebSiteExecute();
    void LvFavsDblClick();
    // Gives the keyboard focus back to the list after a command on it.
    void FocusList();
    void LvFavsStartDrag();
    void MiDockClick(QAction* item);
    void MiPushClick();
    void MiDebugFormClick();
    // The Link Painter windows that are open.
    [[nodiscard]] static std::vector<TFrmKvLinkPainter*> LinkPainters();
    void ActLinkPainterExecute();

    // DromEd commands (MainWindowDromEd.cpp).
    void ActAddOrSelDromEdSelExecute(bool selectMode);
    void SendEditorCommand(const std::string& command);
    void ActPropertiesExecute();
    void ActLinksExecute();
    void ActSourcesExecute();
    void ActReceptronsExecute();
    void ActSelInDromEdExecute();
    void ActGotoExecute();
    void ActStartDromEdExecute();
    // Hotkeys, docking and settings (MainWindowDocking.cpp).
    void CreateDockingAndHotkeys();
    void HotKeyPressed(int id);
    void ActToggleWindowsExecute();
    void TimerDockTimer();
    void ActSettingsExecute();

    // Mission commands (MainWindowMission.cpp).
    void ActImportMisExecute(const QAction* sender);
    void ActLootListExecute();
    // Runs the mission dialog preset with DromEd's mission; the chosen file, empty when
    // cancelled. DromEdMission receives the name DromEd shows (empty when none was read).
    [[nodiscard]] QString ChooseMissionFile(const QString& title, std::string& dromEdMission);
    // Adds the mission's accepted brushes as favourites, the list frozen meanwhile.
    void ImportMissionBrushes(const std::filesystem::path& mission, const TImportOptions& options);

    TUiPrompts& prompts_;
    TDmMisc& dmMisc_;
    TPlatform& platform_;
    THwnd ownWindow_ = 0;
    std::function<THwnd(QWidget*)> registerWindow_;
    std::vector<QPointer<TFrmKvLinkPainter>> linkPainters_; // the Link Painters opened here
    std::filesystem::path settingsFile_;
    std::filesystem::path fileName_;
    bool modified_ = false;
    bool shownOnce_ = false;
    int sortColumn_ = -1;
    bool sortDescending_ = false;
    TFavoriteList favorites_;
    bool debugMode_ = false;
    QActionGroup* dockGroup_ = nullptr;
    std::uint16_t registeredHkAdd_ = 0;
    std::uint16_t registeredHkSel_ = 0;
    std::uint16_t registeredHkTog_ = 0;
    TRect lastDromEdRect_{};    // DromEd's window at the last docking
    QString misDialogFileName_; // the mission dialog keeps its last file name
};

} // namespace kv
