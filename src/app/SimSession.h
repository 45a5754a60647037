// korvane on the simulated desktop: the desktop as large as the real screen, Korvane's own
// window on it, and the simulated DromEd with a mission loaded, shown in a window of its own.
// "Start DromEd" starts a new simulated DromEd once the shown one has been closed.
#pragma once

#include "platform/sim/SimDesktop.h"
#include "simdromed/SimDromEd.h"
#include "simdromed/ui/SimDromEdWindow.h"

#include <QPointer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace kv {

class TSimSession {
public:
    // MissionFile empty: the demo mission at DemoMission. Messages about a mission that could
    // not be loaded are kept in Notes.
    TSimSession(std::filesystem::path missionFile, std::filesystem::path demoMission);
    ~TSimSession();
    TSimSession(const TSimSession&) = delete;
    TSimSession& operator=(const TSimSession&) = delete;

    [[nodiscard]] sim::TSimDesktop& Desktop() { return desktop_; }
    [[nodiscard]] THwnd OwnWindow() const { return own_; }
    // Makes Korvane's own simulated window follow MainWindow (and the other way round).
    void AttachMainWindow(QWidget* mainWindow);
    // Gives another top-level window of the program a simulated window that follows it and
    // goes with it; its handle.
    THwnd AttachWindow(QWidget* window);

    [[nodiscard]] bool DromEdRunning() const;
    // Starts the simulated DromEd with the session's mission and shows its window.
    void StartDromEd();
    [[nodiscard]] TFrmSimDromEd* DromEdWindow() const { return dromEdWindow_; }

    // What the user should know about the start (a mission that could not be read).
    std::vector<std::string> Notes;

private:
    [[nodiscard]] sim::TSimMission LoadStartMission();

    sim::TSimDesktop desktop_;
    THwnd own_ = 0;
    std::filesystem::path missionFile_;
    QPointer<TFrmSimDromEd> dromEdWindow_;
};

} // namespace kv
