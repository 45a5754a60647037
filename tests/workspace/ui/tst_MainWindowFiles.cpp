// The favourites file through the main window: New, Open, Save, Save As and the question
// that guards unsaved changes.
#include "support/DemoMission.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBlock>

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
    void saveAsksForANameOnceWritesTheExactFormatAndAFailureChangesNothing() {
        TMainWindowFixture f;
        f.Add(bkObject, 12, 345, "Guard (345)");
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*Unnamed]"));
        // New asks to save first; cancelling the save dialog stops it without a message.
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {QString()};
        f.Win->ActNew->trigger();
        QVERIFY(f.RowCount() == 1 && f.Win->Modified() && f.Prompts.Messages.size() == 1);
        f.Prompts.Files = {f.Path("level1")};
        f.Win->ActSave->trigger(); // unnamed: Save asks for a name
        const QByteArray saved = "*FAVLIST\r\n1{4}2{12}3{345}11{Guard (345)}\r\n~FAVLIST\r\n";
        QCOMPARE(ReadBytes(f.Path("level1.kvf")), saved);
        const TFileDialogSpec& desc = f.Prompts.FileDialogs.back();
        QCOMPARE(desc.Title + "|" + desc.Filter,
                 QString("Save Korvane content as|Korvane files (*.kvf)|*.kvf|All files (*.*)|*.*"));
        QVERIFY(desc.ForSave && desc.PromptOverwrite);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [level1.kvf]"));
        f.Win->SetModified(true);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
        f.Win->ActSave->trigger(); // named: no dialog
        QCOMPARE(f.Prompts.FileDialogs.size(), std::size_t{2});
        QVERIFY(!f.Win->Modified());
        // A failed Save As keeps the name, the changes and the old file.
        f.Add(bkLight, 2, 0, "Light");
        f.Win->SetModified(true);
        QDir(f.Path("taken.kvf")).mkpath(".");
        f.Prompts.Files = {f.Path("taken.kvf")};
        f.Win->ActSaveAs->trigger();
        QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Error);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [*level1.kvf]"));
        QCOMPARE(ReadBytes(f.Path("level1.kvf")), saved);
        QCOMPARE(QDir(f.Dir.path()).entryList(QDir::Files), QStringList{"level1.kvf"});
    }

    void saveWritesShownRowsFirstAndLoadReadsEveryList() {
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
        const QByteArray list = "1{4}1{3}1{5}9{Guard (5)}\r\n1{1}1{1}1{0}7{Terrain}\r\n"
                                "1{2}1{2}1{0}5{Light}\r\n1{2}1{4}1{0}5{Light}\r\n";
        QCOMPARE(ReadBytes(f.Path("all.kvf")), "*FAVLIST\r\n" + list + "~FAVLIST\r\n");
        // Lists amid other text, in any line ends, load in file order.
        WriteBytes(f.Path("mixed.kvf"), "notes\n*FAVLIST\r1{1}2{17}1{0}7{Terrain}\r\n~FAVLIST\n"
                                        "1{2}1{9}1{0}5{Light}\n*FAVLIST\n" +
                                            list + "~FAVLIST\nend");
        f.Win->LoadFavorites(PathFromQt(f.Path("mixed.kvf")));
        QCOMPARE(f.Column(1), (QStringList{"17", "3", "1", "2", "4"}));
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [mixed.kvf]"));
        QVERIFY(!f.Win->Modified());
    }

    // A mission chosen by mistake must not become the workspace's file: the next Save would
    // overwrite it.
    void fileWithoutListLeavesTheWorkspaceAlone() {
        const kv::test::TBytes mission = kv::test::DemoMissionBytes();
        const QByteArray missionBytes(reinterpret_cast<const char*>(mission.data()),
                                      static_cast<qsizetype>(mission.size()));
        // Unnamed and unchanged, or named and changed.
        for (const bool named : {false, true}) {
            TMainWindowFixture f;
            WriteBytes(f.Path("demo.mis"), missionBytes);
            f.Add(bkTerrain, 1, 0, "old");
            if (named) f.Win->SaveFavorites(PathFromQt(f.Path("current.kvf")));
            f.Win->SetModified(named);
            f.Prompts.Answers = {TMsgAnswer::No}; // "Save changes?" when changed
            f.Prompts.Files = {f.Path("demo.mis")};
            f.Win->ActLoad->trigger();
            QCOMPARE(f.Column(3), QStringList{"old"});
            QCOMPARE(f.Win->Favorites().size(), std::size_t{1});
            QCOMPARE(f.Win->windowTitle(),
                     QString(named ? "Korvane 0.94 [*current.kvf]" : "Korvane 0.94 [Unnamed]"));
            QCOMPARE(f.Win->Modified(), named);
            QCOMPARE(f.LogLines().value(0), QString("No favorites list found in \"demo.mis\""));
            const QTextBlock top = f.Win->ReLog->document()->begin();
            QCOMPARE(top.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
            QCOMPARE(f.Prompts.Messages.size(), std::size_t(named ? 1 : 0)); // no error box
            // The next Save goes where it went before, and the mission is untouched.
            f.Prompts.Files = {f.Path("saved.kvf")};
            f.Win->ActSave->trigger();
            QCOMPARE(ReadBytes(f.Path("demo.mis")), missionBytes);
            QVERIFY(QFile::exists(f.Path(named ? "current.kvf" : "saved.kvf")));
        }
    }

    void unreadableOrMalformedFilesSayWhy() {
        const struct {
            const char* Name;
            QString Message;
            QStringList Rows;
            const char* Title;
        } cases[] = {
            {"missing.kvf", "does not exist", {"kept"}, "current.kvf"},
            {"folder.kvf", "folder", {"kept"}, "current.kvf"},
            // A malformed line stops the load, keeping the items before it.
            {"bad.kvf", "Invalid encoded string in line 3 of \"bad.kvf\"", {"a"}, "Unnamed"},
        };
        for (const auto& c : cases) {
            TMainWindowFixture f;
            QDir(f.Path("folder.kvf")).mkpath(".");
            WriteBytes(f.Path("bad.kvf"), "*FAVLIST\r\n1{1}1{1}1{0}1{a}\r\n\r\n1{1}1{2}1{0}1{b}\r\n"
                                          "~FAVLIST\r\n");
            f.Add(bkTerrain, 1, 0, "kept");
            f.Win->SetFileName(PathFromQt(f.Path("current.kvf")));
            f.Prompts.Files = {f.Path(c.Name)};
            f.Win->ActLoad->trigger();
            QCOMPARE(f.Column(3), c.Rows);
            QCOMPARE(f.Win->Favorites().size(), std::size_t{1});
            QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [%1]").arg(c.Title));
            QCOMPARE(f.Prompts.Messages.back().Type, TMsgType::Error);
            QVERIFY2(f.Prompts.Messages.back().Text.contains(c.Message),
                     qPrintable(f.Prompts.Messages.back().Text));
        }
    }

    void veryLongLineLoads() {
        TMainWindowFixture f;
        const QByteArray longName(3 * 1024 * 1024, 'x');
        WriteBytes(f.Path("long.kvf"), "*FAVLIST\n1{4}1{1}1{2}" +
                                           QByteArray::number(longName.size()) + "{" + longName +
                                           "}\n~FAVLIST\n");
        f.Win->LoadFavorites(PathFromQt(f.Path("long.kvf")));
        QCOMPARE(f.Win->Favorites().at(0)->Name.size(), std::size_t(longName.size()));
    }

    void openOnChangedWorkspace() {
        const struct {
            TMsgAnswer Answer;
            bool Loaded, SavedFirst;
        } cases[] = {{TMsgAnswer::No, true, false},
                     {TMsgAnswer::Cancel, false, false},
                     {TMsgAnswer::Yes, true, true}};
        for (const auto& [answer, loaded, savedFirst] : cases) {
            TMainWindowFixture f;
            WriteBytes(f.Path("other.kvf"), "*FAVLIST\r\n1{2}1{5}1{0}5{Light}\r\n~FAVLIST\r\n");
            f.Add(bkTerrain, 1, 0, "mine");
            f.Win->SetModified(true);
            f.Prompts.Answers = {answer};
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
    }
};

QTEST_MAIN(TestMainWindowFiles)
#include "tst_MainWindowFiles.moc"
