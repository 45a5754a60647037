// The favourites file through the main window: New, Open, Save, Save As and the question
// that guards unsaved changes.
#include "support/DemoMission.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using kv::test::TMainWindowFixture;
using namespace kv;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestMainWindowFiles : public QObject {
    Q_OBJECT
private slots:
    void saveAsWritesTheExactFormat() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.Win->SetModified(true);
        f.Prompts.Files = {f.Path("level1")};
        f.Win->ActSaveAs->trigger();
        QCOMPARE(ReadBytes(f.Path("level1.kvf")),
                 QByteArray("*FAVLIST\r\n1{4}2{12}3{345}11{Guard (345)}\r\n~FAVLIST\r\n"));
        const TFileDialogSpec& desc = f.Prompts.FileDialogs.back();
        QCOMPARE(desc.Title, QString("Save Korvane content as"));
        QCOMPARE(desc.Filter, QString("Korvane files (*.kvf)|*.kvf|All files (*.*)|*.*"));
        QVERIFY(desc.ForSave && desc.PromptOverwrite);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [level1.kvf]"));
        QVERIFY(!f.Win->Modified());
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
        // Save goes to the same file without asking for a name.
        f.Win->ActSave->trigger();
        QCOMPARE(f.Prompts.FileDialogs.size(), std::size_t{1});
        QVERIFY(!f.Win->Modified());
    }

    void savingAnEmptyListWritesOnlyTheMarkers() {
        TMainWindowFixture f;
        f.Prompts.Files = {f.Path("empty.kvf")};
        f.Win->ActSave->trigger(); // unnamed: Save asks for a name
        QCOMPARE(ReadBytes(f.Path("empty.kvf")), QByteArray("*FAVLIST\r\n~FAVLIST\r\n"));
    }

    void saveWritesDisplayOrderAndLoadKeepsIt() {
        TMainWindowFixture f;
        f.Add(bkObject, 1, 11, "Zombie (11)");
        f.Add(bkObject, 2, 22, "apple (22)");
        f.Add(bkObject, 3, 33, "Mug (33)");
        f.Win->SortByColumn(3);
        f.Win->SaveFavorites(PathFromQt(f.Path("sorted.kvf")));
        TMainWindowFixture g;
        g.Win->LoadFavorites(PathFromQt(f.Path("sorted.kvf")));
        QCOMPARE(g.Column(3), (QStringList{"apple (22)", "Mug (33)", "Zombie (11)"}));
        QCOMPARE(g.Win->SortColumn(), -1);
    }

    void saveKeepsFavoritesHiddenByTheFilter() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Add(bkLight, 2, 0, "Light");
        f.Add(bkObject, 3, 5, "Guard (5)");
        f.Add(bkLight, 4, 0, "Light");
        f.Win->ListFilter.Kinds = KindBit(bkObject) | KindBit(bkTerrain);
        f.Win->RebuildList();
        f.Win->SortByColumn(1);
        f.Win->SortByColumn(1); // descending: 3, 1
        f.Win->SaveFavorites(PathFromQt(f.Path("all.kvf")));
        QCOMPARE(ReadBytes(f.Path("all.kvf")),
                 QByteArray("*FAVLIST\r\n1{4}1{3}1{5}9{Guard (5)}\r\n1{1}1{1}1{0}7{Terrain}\r\n"
                            "1{2}1{2}1{0}5{Light}\r\n1{2}1{4}1{0}5{Light}\r\n~FAVLIST\r\n"));
    }

    void loadReadsEveryListBetweenOtherText() {
        TMainWindowFixture f;
        WriteBytes(f.Path("mixed.kvf"), "notes\n*FAVLIST\r1{1}2{17}1{0}7{Terrain}\r\n~FAVLIST\n"
                                        "1{2}1{9}1{0}5{Light}\n*FAVLIST\n"
                                        "1{4}2{12}3{345}11{Guard (345)}\n~FAVLIST\ntrailer");
        f.Win->LoadFavorites(PathFromQt(f.Path("mixed.kvf")));
        QCOMPARE(f.Column(3), (QStringList{"Terrain", "Guard (345)"}));
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [mixed.kvf]"));
        QVERIFY(!f.Win->Modified());
    }

    // A mission chosen by mistake must not become the workspace's file: the next Save would
    // overwrite it.
    void fileWithoutListLeavesTheWorkspaceAlone_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("modified");
        QTest::newRow("unnamed, unchanged") << false << false;
        QTest::newRow("named, changed") << true << true;
    }
    void fileWithoutListLeavesTheWorkspaceAlone() {
        QFETCH(bool, named);
        QFETCH(bool, modified);
        TMainWindowFixture f;
        const kv::test::TBytes mission = kv::test::DemoMissionBytes();
        const QByteArray missionBytes(reinterpret_cast<const char*>(mission.data()),
                                      static_cast<qsizetype>(mission.size()));
        WriteBytes(f.Path("demo.mis"), missionBytes);
        f.Add(bkTerrain, 1, 0, "old");
        if (named) f.Win->SaveFavorites(PathFromQt(f.Path("current.kvf")));
        f.Win->SetModified(modified);
        const QString title = f.Win->windowTitle();
        f.Prompts.Answers = {TMsgAnswer::No}; // "Save changes?" when changed
        f.Prompts.Files = {f.Path("demo.mis")};
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Column(3), QStringList{"old"});
        QCOMPARE(f.Win->Favorites().size(), std::size_t{1});
        QCOMPARE(f.Win->windowTitle(), title);
        QCOMPARE(f.Win->windowTitle(), named ? QString(modified ? "Korvane 0.94 [*current.kvf]"
                                                                : "Korvane 0.94 [current.kvf]")
                                             : QString("Korvane 0.94 [Unnamed]"));
        QCOMPARE(f.Win->Modified(), modified);
        QCOMPARE(f.LogLines().value(0), QString("No favorites list found in \"demo.mis\""));
        const QTextBlock top = f.Win->ReLog->document()->begin();
        QCOMPARE(top.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        QCOMPARE(f.Prompts.Messages.size(),
                 static_cast<std::size_t>(modified ? 1 : 0)); // no error box
        // The next Save goes where it went before, and the mission is untouched.
        f.Prompts.Files = {f.Path("saved.kvf")};
        f.Win->ActSave->trigger();
        QCOMPARE(ReadBytes(f.Path("demo.mis")), missionBytes);
        QVERIFY(QFile::exists(f.Path(named ? "current.kvf" : "saved.kvf")));
    }

    void malformedLineStopsTheLoadAndSaysWhy() {
        TMainWindowFixture f;
        WriteBytes(f.Path("bad.kvf"), "*FAVLIST\r\n1{1}1{1}1{0}1{a}\r\n\r\n1{1}1{2}1{0}1{b}\r\n"
                                      "~FAVLIST\r\n");
        f.Prompts.Files = {f.Path("bad.kvf")};
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Column(3), QStringList{"a"});
        QCOMPARE(f.Win->Favorites().size(), std::size_t{1});
        QCOMPARE(f.Prompts.Messages.back().Text,
                 QString("Invalid encoded string in line 3 of \"bad.kvf\""));
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Error);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
        QVERIFY(!f.Win->Modified());
    }

    void unreadableFilesLeaveTheWorkspaceAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << "missing.kvf"
                                 << "does not exist";
        QTest::newRow("folder") << "folder.kvf"
                                << "folder";
    }
    void unreadableFilesLeaveTheWorkspaceAlone() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        TMainWindowFixture f;
        QDir(f.Path("folder.kvf")).mkpath(".");
        f.Add(bkTerrain, 1, 0, "kept");
        f.Win->SetFileName(PathFromQt(f.Path("current.kvf")));
        f.Prompts.Files = {f.Path(name)};
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Column(3), QStringList{"kept"});
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [current.kvf]"));
        QVERIFY2(f.Prompts.Messages.back().Text.contains(expected),
                 qPrintable(f.Prompts.Messages.back().Text));
    }

    void veryLongAndBinaryLinesLoadOrFailCleanly() {
        TMainWindowFixture f;
        const QByteArray longName(3 * 1024 * 1024, 'x');
        WriteBytes(f.Path("long.kvf"), "*FAVLIST\n1{4}1{1}1{2}" +
                                           QByteArray::number(longName.size()) + "{" + longName +
                                           "}\n~FAVLIST\n");
        f.Win->LoadFavorites(PathFromQt(f.Path("long.kvf")));
        QCOMPARE(f.Win->Favorites().at(0)->Name.size(), std::size_t(longName.size()));

        WriteBytes(f.Path("binary.kvf"), QByteArray("*FAVLIST\n\xff\xfe{{}}\x7f\n~FAVLIST\n"));
        f.Prompts.Files = {f.Path("binary.kvf")};
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Prompts.Messages.back().Text,
                 QString("Invalid encoded string in line 2 of \"binary.kvf\""));
        QVERIFY(f.Win->Favorites().empty());
    }

    void failedSaveKeepsOldFileNameAndChanges() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "Terrain");
        f.Win->SaveFavorites(PathFromQt(f.Path("good.kvf")));
        const QByteArray before = ReadBytes(f.Path("good.kvf"));
        f.Add(bkLight, 2, 0, "Light");
        f.Win->SetModified(true);
        QDir(f.Path("taken.kvf")).mkpath(".");
        f.Prompts.Files = {f.Path("taken.kvf")};
        f.Win->ActSaveAs->trigger();
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Error);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*good.kvf]"));
        QVERIFY(f.Win->Modified());
        QCOMPARE(ReadBytes(f.Path("good.kvf")), before);
        QCOMPARE(QDir(f.Dir.path()).entryList(QDir::Files), QStringList{"good.kvf"});
    }

    void openOnChangedWorkspace_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("savedFirst");
        QTest::newRow("No discards") << int(TMsgAnswer::No) << true << false;
        QTest::newRow("Cancel stops") << int(TMsgAnswer::Cancel) << false << false;
        QTest::newRow("Yes saves first") << int(TMsgAnswer::Yes) << true << true;
    }
    void openOnChangedWorkspace() {
        QFETCH(int, answer);
        QFETCH(bool, loaded);
        QFETCH(bool, savedFirst);
        TMainWindowFixture f;
        WriteBytes(f.Path("other.kvf"), "*FAVLIST\r\n1{2}1{5}1{0}5{Light}\r\n~FAVLIST\r\n");
        f.Add(bkTerrain, 1, 0, "mine");
        f.Win->SetModified(true);
        f.Prompts.Answers = {static_cast<TMsgAnswer>(answer)};
        f.Prompts.Files = {};
        if (savedFirst) f.Prompts.Files.push_back(f.Path("mine.kvf"));
        f.Prompts.Files.push_back(f.Path("other.kvf"));
        f.Win->ActLoad->trigger();
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Text, QString("Save changes?"));
        QCOMPARE(f.Prompts.Messages[0].Buttons, TMsgButtons::YesNoCancel);
        QCOMPARE(f.Column(3), loaded ? QStringList{"Light"} : QStringList{"mine"});
        QCOMPARE(QFile::exists(f.Path("mine.kvf")), savedFirst);
        if (!loaded) QCOMPARE(f.Prompts.FileDialogs.size(), std::size_t{0});
    }

    void cancellingTheSaveDialogStopsNew() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "mine");
        f.Win->SetModified(true);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {QString()}; // the save dialog is cancelled
        f.Win->ActNew->trigger();
        QCOMPARE(f.RowCount(), 1);
        QVERIFY(f.Win->Modified());
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
    }

    void newEmptiesAndUnnames() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "mine");
        f.Win->SaveFavorites(PathFromQt(f.Path("mine.kvf")));
        f.Win->ActNew->trigger(); // not modified: no question
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.RowCount(), 0);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
        QVERIFY(!f.Win->Modified());
    }

    void closingSavesWhenAsked() {
        TMainWindowFixture f;
        f.Add(bkTerrain, 1, 0, "mine");
        f.Win->SetModified(true);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {f.Path("onclose.kvf")};
        QVERIFY(f.Win->close());
        QVERIFY(ReadBytes(f.Path("onclose.kvf")).contains("4{mine}"));
        // A failing save on close keeps the window open without an extra message.
        TMainWindowFixture g;
        g.Add(bkTerrain, 1, 0, "mine");
        g.Win->SetModified(true);
        QDir(g.Path("dir.kvf")).mkpath(".");
        g.Prompts.Answers = {TMsgAnswer::Yes};
        g.Prompts.Files = {g.Path("dir.kvf")};
        QVERIFY(!g.Win->close());
        QCOMPARE(g.Prompts.Messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(TestMainWindowFiles)
#include "tst_MainWindowFiles.moc"
