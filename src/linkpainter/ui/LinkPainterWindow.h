// The Link Painter window: a drawing of DromEd objects and the links between them, the link
// list beside it, menus and a tool bar. The editing itself is TLinkPainter's; the window turns
// mouse, drag and menu events into its calls, shows its picture and link list rows, asks the
// user its questions and runs the file, mission and DromEd commands.
#pragma once

#include "platform/Platform.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace kv {

class TEdge;
class TGraphItem;
class TLinkPainter;
class TLinkPaintBox;
class TUiPrompts;
struct TFlavorMenuEntry;

// What a Link Painter window is given by the main window (or a test).
struct TLinkPainterEnv {
    TUiPrompts* Prompts = nullptr;
    TPlatform* Platform = nullptr;
    // The main window's mission dialog with this title, preset to DromEd's mission; the chosen
    // file, "" when cancelled (unset: no mission file can be chosen).
    std::function<QString(const QString& title)> ChooseMissionFile;
    // This window's handle on the platform's desktop (0: none). May be unset.
    std::function<THwnd(QWidget*)> RegisterWindow;
};

class TFrmKvLinkPainter : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmKvLinkPainter(const TLinkPainterEnv& env, QWidget* parent = nullptr);
    ~TFrmKvLinkPainter() override;

    [[nodiscard]] TLinkPainter& Painter() const { return *painter_; }
    [[nodiscard]] THwnd OwnWindow() const { return own_; }

    // The link list: the edge a row stands for, the row of an edge, the edges of the selected
    // rows in row order.
    [[nodiscard]] static TEdge* EdgeOfRow(const QTreeWidgetItem* row);
    [[nodiscard]] QTreeWidgetItem* RowOfEdge(const TEdge* edge) const;
    [[nodiscard]] std::vector<TEdge*> SelectedEdges() const;
    // A click on the header of Column.
    void SortByColumn(int column);
    [[nodiscard]] int SortColumn() const { return sortColumn_; }
    [[nodiscard]] bool SortDescending() const { return sortDescending_; }

    // The input box of "Rename...": the text entered, or nothing when cancelled. Tests answer
    // it; the default is a Qt input dialog.
    std::function<std::optional<QString>(const QString& title, const QString& prompt,
                                         const QString& text)>
        AskText;

    // Top bar.
    QCheckBox* CbShowList = nullptr;
    QComboBox* ComboFlavor = nullptr;
    QCheckBox* CbInverseLink = nullptr;
    QToolBar* ToolBar = nullptr;
    QAction* TbMove = nullptr;
    QAction* TbLink = nullptr;
    QAction* TbSize = nullptr;
    QCheckBox* CbAutoAdapt = nullptr;
    QTimer* TimerAutoAdapt = nullptr;
    // Link list, splitter and drawing.
    QWidget* PnLinks = nullptr;
    QTreeWidget* LvLinks = nullptr;
    QSplitter* Splitter = nullptr;
    QScrollArea* ScrollBox = nullptr;
    QWidget* Pb = nullptr;
    QLabel* LbStatus = nullptr;

    // Main menu.
    QAction* MiNew = nullptr;
    QAction* MiOpen = nullptr;
    QAction* MiSave = nullptr;
    QAction* MiLoadLinks = nullptr;
    QAction* MiDisableLinks = nullptr;
    QAction* MiClose = nullptr;
    QAction* MiDrawLinkFlavors = nullptr;
    QAction* MiRotateLinkFlavors = nullptr;
    QAction* MiDrawObjectNames = nullptr;
    QAction* MiShowLinkList = nullptr;
    QAction* MiAddLinksInDromEd = nullptr;

    // The drawing's context menu.
    QMenu* PopupGraph = nullptr;
    QAction* MiRename = nullptr;
    QAction* MiRemoveNode = nullptr;
    QAction* MiRemoveConcrete = nullptr;
    QAction* MiUnbind = nullptr;
    QMenu* MiGraphFlavor = nullptr;
    QAction* MiReverse = nullptr;
    QAction* MiLinkActive = nullptr;
    QAction* MiRemoveLink = nullptr;
    QAction* MiAddTemplate = nullptr;
    QAction* MiAdd10Templates = nullptr;
    QAction* MiSelectUnlinked = nullptr;
    QAction* MiInverseSelection = nullptr;

    // The link list's context menu.
    QMenu* PopupLinkList = nullptr;
    QMenu* MiListFlavor = nullptr;
    QAction* MiListReverse = nullptr;
    QAction* MiListLinkActive = nullptr;
    QAction* MiListRemoveLink = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TLinkPaintBox;

    QAction* MakeAction(QObject* owner, const char* name, const QString& caption,
                        std::function<void()> handler);
    void CreateTopBar(QWidget* bar);
    void CreateLinkList();
    void CreateMenus();
    void CreatePopups();
    void FillFlavorMenu(QMenu* menu, const std::vector<TFlavorMenuEntry>& entries, bool fromList);
    bool Guarded(const std::function<void()>& handler);

    // The link list rows the painter announces.
    void RowAdded(TEdge& edge);
    void RowRemoved(TEdge& edge);
    void RowsChanged(const TGraphItem* item);
    void FillRow(QTreeWidgetItem* row, const TEdge& edge) const;

    // Mouse and drop on the paint box.
    void PbMouseDown(Qt::MouseButton button, const QPoint& pos, Qt::KeyboardModifiers mods);
    void PbMouseMove(const QPoint& pos, Qt::KeyboardModifiers mods);
    void PbMouseUp(Qt::MouseButton button, const QPoint& pos, Qt::KeyboardModifiers mods);

    // Commands.
    [[nodiscard]] std::vector<TEdge*> CommandEdges(bool fromList) const;
    void PopupGraphShow();
    void PopupLinkListShow();
    void RenameExecute();
    void SaveExecute();
    void OpenExecute();
    void MissionLinksExecute(bool disable);
    void AddLinksInDromEdExecute();
    void RestoreAfterDromEd(Qt::WindowStates state);
    void AutoAdaptToggled(bool on);
    void AutoAdaptStep();
    void ShowLinkList(bool on);

    TUiPrompts& prompts_;
    TPlatform& platform_;
    std::function<QString(const QString&)> chooseMissionFile_;
    THwnd own_ = 0;
    TLinkPaintBox* box_ = nullptr;
    TLinkPainter* painter_ = nullptr; // owned by the paint box
    std::unordered_map<const TEdge*, QTreeWidgetItem*> rows_;
    int listUpdates_ = 0;
    int sortColumn_ = 0;
    bool sortDescending_ = false;
    bool shownOnce_ = false;
};

} // namespace kv
