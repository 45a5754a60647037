// korvane: the desktop program.
#include "platform/PlatformFactory.h"
#include "text/ui/QtText.h"
#include "workspace/Settings.h"
#include "workspace/Version.h"
#include "workspace/ui/MainWindow.h"
#include "workspace/ui/ReportWindow.h"
#include "workspace/ui/UiPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kv::kProductName);
    QApplication::setApplicationVersion(kv::kProductVersion);

    kv::TQtPrompts prompts;
    kv::TDmMisc dmMisc;
    kv::TMainWindowEnv env;
    env.Arguments = QApplication::arguments().mid(1);
    env.SettingsFile = kv::SettingsFilePath(kv::PathFromQt(QApplication::applicationFilePath()));
    env.Prompts = &prompts;
    env.DmMisc = &dmMisc;
    const auto platform = kv::CreatePlatform(kv::DefaultPlatformName());
    env.Platform = platform.get();

    kv::TFrmKvMain mainWindow(env);
    mainWindow.show();
    return QApplication::exec();
}
