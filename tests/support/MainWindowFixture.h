// A main window on the offscreen platform with scripted prompts and its own settings folder,
// on a simulated desktop where a simulated DromEd can be started.
#pragma once

#include "support/ScriptedPrompts.h"
#include "support/SimDromEdFixture.h"
#include "text/ui/QtText.h"
#include "workspace/Settings.h"
#include "workspace/ui/MainWindow.h"
#include "workspace/ui/ReportWindow.h"

#include <QAction>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>

#include <memory>

namespace kv::test {

struct TMainWindowFixture {
    QTemporaryDir Dir;
    TScriptedPrompts Prompts;
    TDmMisc Dm;
    sim::TSimDesktop Desktop{1600, 1200};
    THwnd Own = 0;
    std::unique_ptr<sim::TSimDromEd> DromEd; // declared after the desktop: it goes first
    std::unique_ptr<TFrmKvMain> Win;

    explicit TMainWindowFixture(const QStringList& args = {}, bool show = true) {
        Own = CreateOwnWindow(Desktop);
        TMainWindowEnv env;
        env.Arguments = args;
        env.SettingsFile = PathFromQt(Dir.filePath("korvane.ini"));
        env.Prompts = &Prompts;
        env.DmMisc = &Dm;
        env.Platform = &Desktop;
        env.OwnWindow = Own;
        Win = std::make_unique<TFrmKvMain>(env);
        if (show) {
            Win->show();
            // The first show logs the hotkeys it registers; each test starts from an empty log.
            Win->ReLog->clear();
        }
    }

    // Starts the simulated DromEd with a mission of its own.
    sim::TSimDromEd& StartDromEd(sim::TSimMission mission, sim::TSimDromEdOptions options = {}) {
        DromEd = std::make_unique<sim::TSimDromEd>(Desktop, options);
        DromEd->SetMission(std::move(mission));
        return *DromEd;
    }

    QString Path(const QString& name) const { return Dir.filePath(name); }

    TBrushInfo* Add(TBrushKind kind, std::int32_t brush, std::int32_t obj, const std::string& name,
                    bool replace = false) {
        return TFrmKvMain::ItemOfRow(Win->AddFavorite({kind, brush, obj, name}, replace));
    }

    QTreeWidgetItem* Row(int i) const { return Win->LvFavs->topLevelItem(i); }
    int RowCount() const { return Win->LvFavs->topLevelItemCount(); }

    // Column Column of every row, in display order.
    QStringList Column(int column) const {
        QStringList texts;
        for (int i = 0; i < RowCount(); ++i) texts << Row(i)->text(column);
        return texts;
    }

    void SelectRows(std::initializer_list<int> rows) const {
        Win->LvFavs->clearSelection();
        for (int r : rows) Row(r)->setSelected(true);
    }

    // The log's lines, newest first, without the time stamps ("[hh:mm] ").
    QStringList LogLines() const {
        QStringList lines;
        for (QTextBlock b = Win->ReLog->document()->begin(); b.isValid(); b = b.next())
            if (!b.text().isEmpty()) lines << b.text().mid(8);
        return lines;
    }
};

} // namespace kv::test
