// A main window on the offscreen platform with scripted prompts and its own settings folder.
#pragma once

#include "support/ScriptedPrompts.h"
#include "text/ui/QtText.h"
#include "workspace/Settings.h"
#include "workspace/ui/MainWindow.h"
#include "workspace/ui/ReportWindow.h"

#include <QAction>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace kv::test {

struct TMainWindowFixture {
    QTemporaryDir Dir;
    TScriptedPrompts Prompts;
    TDmMisc Dm;
    std::unique_ptr<TFrmKvMain> Win;

    explicit TMainWindowFixture(const QStringList& args = {}, bool show = true) {
        TMainWindowEnv env;
        env.Arguments = args;
        env.SettingsFile = PathFromQt(Dir.filePath("korvane.ini"));
        env.Prompts = &Prompts;
        env.DmMisc = &Dm;
        Win = std::make_unique<TFrmKvMain>(env);
        if (show) Win->show();
    }

    QString Path(const QString& name) const { return Dir.filePath(name); }

    TBrushInfo* Add(TBrushKind kind, std::int32_t brush, std::int32_t obj, const std::string& name,
                    bool replace = false) {
        TBrushInfo info;
        info.Kind = kind;
        info.BrushNum = brush;
        info.ObjID = obj;
        info.Name = name;
        return TFrmKvMain::ItemOfRow(Win->AddFavorite(info, replace));
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

    // The log's lines, newest first, without the time stamps.
    QStringList LogLines() const;
};

} // namespace kv::test
