#include "app/SimSession.h"

#include "app/SimMission.h"
#include "simdromed/ui/SimDromEdWindow.h"
#include "simdromed/ui/SimHotKeys.h"
#include "simdromed/ui/SimWindowMirror.h"
#include "text/TextFile.h"
#include "text/ui/QtText.h"
#include "workspace/Version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <exception>

namespace kv {

namespace {

// DromEd's client area at start: the size at which every field of its screen is read, smaller
// only on a screen too small for it.
constexpr int kDromEdClientWidth = 1024;
constexpr int kDromEdClientHeight = 768;
constexpr int kSmallClientWidth = 800;
constexpr int kSmallClientHeight = 600;
// The desktop keeps a record of every key and message; in a long session it is cleared now and
// then, since nothing on the screen reads it back.
constexpr std::size_t kMaxKeptEvents = 100000;

QRect ScreenRect(bool available) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {0, 0, 1280, 1024};
    return available ? screen->availableGeometry() : screen->geometry();
}

TRect ToRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

TSimSession::TSimSession(std::filesystem::path missionFile, std::filesystem::path demoMission)
    : desktop_(std::max(1, ScreenRect(false).right() + 1),
               std::max(1, ScreenRect(false).bottom() + 1)),
      missionFile_(missionFile.empty() ? std::move(demoMission) : std::move(missionFile)) {
    desktop_.SetWorkArea(ToRect(ScreenRect(true)));

    sim::TSimWindowSpec own;
    own.ClassName = "TFrmKvMain";
    own.Title = std::string(kProductName) + " " + kProductVersion;
    own.Rect = {0, 0, 400, 500};
    own_ = desktop_.CreateSimWindow(own);

    // "Start DromEd": the command line names the simulated DromEd whatever it says.
    desktop_.CreateProcessHandler = [this](const std::string&, const std::string&) {
        if (!DromEdRunning()) StartDromEd();
        return true;
    };
}

TSimSession::~TSimSession() {
    // The window owns the simulated DromEd, which needs the desktop while it goes.
    delete dromEdWindow_.data();
}

void TSimSession::AttachMainWindow(QWidget* mainWindow) {
    new TSimWindowMirror(desktop_, mainWindow, own_);
    QCoreApplication::instance()->installEventFilter(new TSimHotKeyFilter(desktop_, mainWindow));
    auto* trim = new QTimer(mainWindow);
    QObject::connect(trim, &QTimer::timeout, mainWindow, [this] {
        if (desktop_.Events().size() > kMaxKeptEvents) desktop_.ClearEvents();
    });
    trim->start(10000);
}

THwnd TSimSession::AttachWindow(QWidget* window) {
    sim::TSimWindowSpec desc;
    std::string className = window->metaObject()->className();
    if (const std::size_t colons = className.rfind("::"); colons != std::string::npos) {
        className.erase(0, colons + 2);
    }
    desc.ClassName = className;
    desc.Title = FromQt(window->windowTitle());
    desc.Rect = TSimWindowMirror::FrameRect(*window);
    const THwnd handle = desktop_.CreateSimWindow(desc);
    new TSimWindowMirror(desktop_, window, handle);
    QObject::connect(window, &QObject::destroyed, [this, handle] {
        if (desktop_.IsWindow(handle)) desktop_.DestroySimWindow(handle);
    });
    return handle;
}

bool TSimSession::DromEdRunning() const {
    const TFrmSimDromEd* window = dromEdWindow_.data();
    return window != nullptr && window->DromEdRunning();
}

sim::TSimMission TSimSession::LoadStartMission() {
    try {
        return ReadSimMission(missionFile_);
    } catch (const std::exception& e) {
        Notes.push_back("The simulated DromEd starts without a mission: " + std::string(e.what()));
        return {};
    }
}

void TSimSession::StartDromEd() {
    TRect work;
    desktop_.GetWorkArea(work);
    sim::TSimDromEdOptions options;
    const bool fits = work.Width() >= kDromEdClientWidth + TFrmSimDromEd::kListWidth &&
                      work.Height() >= kDromEdClientHeight;
    options.ClientWidth = fits ? kDromEdClientWidth : kSmallClientWidth;
    options.ClientHeight = fits ? kDromEdClientHeight : kSmallClientHeight;
    options.Left = work.Left;
    options.Top = work.Top;
    auto dromEd = std::make_unique<sim::TSimDromEd>(desktop_, options);
    dromEd->SetMission(LoadStartMission());
    dromEd->MissionLoader = [](const std::string& path, sim::TSimMission& mission) {
        try {
            mission = ReadSimMission(TextToPath(path));
            return true;
        } catch (const std::exception&) {
            return false; // DromEd says "Could not load" in its status bar
        }
    };
    auto* window = new TFrmSimDromEd(desktop_, std::move(dromEd));
    dromEdWindow_ = window;
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kv
