// korvane: the desktop program. Off Windows it runs on the simulated desktop with a simulated
// DromEd shown beside it; "--platform" and "--mission" choose otherwise.
#include "app/SimSession.h"
#include "app/StartOptions.h"
#include "platform/PlatformFactory.h"
#include "text/ui/QtText.h"
#include "workspace/Settings.h"
#include "workspace/Version.h"
#include "workspace/ui/MainWindow.h"
#include "workspace/ui/ReportWindow.h"
#include "ui/UiPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef KORVANE_DEMO_MISSION
#define KORVANE_DEMO_MISSION ""
#endif

namespace {

constexpr int kExitUsage = 2;

int StartError(const std::string& message) {
    std::fprintf(stderr, "korvane: %s\n", message.c_str());
    QMessageBox::critical(nullptr, kv::kProductVersionText, kv::ToQt(message));
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    // The program's own options go before Qt sees the command line: Qt would take
    // "--platform" for its own platform plugin.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const kv::TStartOptions options = kv::ParseStartOptions(arguments, kv::DefaultPlatformName());
    std::vector<std::string> qtArguments = options.Remaining;
    std::vector<char*> qtArgv{argv[0]};
    for (std::string& argument : qtArguments) qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;

    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(kv::kProductName);
    QApplication::setApplicationVersion(kv::kProductVersion);
    if (!options.Error.empty()) {
        return StartError(options.Error + "\nUsage: korvane [--platform sim|win32] "
                                          "[--mission FILE] [-debug]");
    }

    std::unique_ptr<kv::TPlatform> platform;
    std::unique_ptr<kv::TSimSession> session;
    if (options.Platform == "sim") {
        session = std::make_unique<kv::TSimSession>(
            kv::PathFromQt(QString::fromLocal8Bit(options.MissionFile)),
            std::filesystem::path(KORVANE_DEMO_MISSION));
    } else {
        try {
            platform = kv::CreatePlatform(options.Platform);
        } catch (const std::exception& e) {
            return StartError(e.what());
        }
        if (!options.MissionFile.empty()) {
            std::fprintf(stderr, "korvane: --mission is for the simulated desktop only\n");
        }
    }

    kv::TQtPrompts prompts;
    kv::TDmMisc dmMisc;
    kv::TMainWindowEnv env;
    env.Arguments = QApplication::arguments().mid(1);
    env.SettingsFile = kv::SettingsFilePath(kv::PathFromQt(QApplication::applicationFilePath()));
    env.Prompts = &prompts;
    env.DmMisc = &dmMisc;
    env.Platform = session ? &session->Desktop() : platform.get();
    env.OwnWindow = session ? session->OwnWindow() : 0;
    if (session) {
        env.RegisterWindow = [s = session.get()](QWidget* window) { return s->AttachWindow(window); };
    }

    kv::TFrmKvMain mainWindow(env);
    if (session) {
        session->AttachMainWindow(&mainWindow);
        // Any command line starts the simulated DromEd; without one "Start DromEd" would only
        // ask for a path that means nothing here.
        if (kv::Settings.DromEdPath.empty()) kv::Settings.DromEdPath = "dromed.exe";
        // DromEd runs before the main window first shows, so that docking finds it.
        session->StartDromEd();
    }
    mainWindow.show();
    if (session) {
        for (const std::string& note : session->Notes) {
            std::fprintf(stderr, "korvane: %s\n", note.c_str());
            mainWindow.LogError(note);
        }
    }
    // The main window goes first (it still talks to the desktop), then the session.
    return QApplication::exec();
}
