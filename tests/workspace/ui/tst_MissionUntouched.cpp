// No mission command of the main window or the Link Painter writes to the mission, its gamesys
// or their folders: each command runs over generated missions and the real ones, saying yes to
// every question, and the folders' files, bytes and write times are compared before and after.
#include "linkpainter/LinkPainter.h"
#include "linkpainter/ui/LinkPainterWindow.h"
#include "support/DemoMission.h"
#include "support/FolderSnapshot.h"
#include "support/MainWindowFixture.h"
#include "support/SyntheticMission.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

using kv::test::TMainWindowFixture;
using namespace kv;
namespace fs = std::filesystem;

namespace {

enum TCommand { cmCheck, cmImport, cmLoot, cmPainterLoad, cmPainterDisable };

const char* const kCommandNames[] = {"check", "import", "loot", "painter links", "painter disable"};

} // namespace

class TestMissionUntouched : public QObject {
    Q_OBJECT
    QTemporaryDir generated_;

private slots:
    void initTestCase() {
        QVERIFY(generated_.isValid());
        const fs::path root = PathFromQt(generated_.path());
        test::WriteDemoMission(root / "demo");
        const test::TSyntheticSettings settings;
        fs::create_directory(root / "synthetic");
        test::SaveSyntheticMission(test::MakeSyntheticMission(settings), settings,
                                   root / "synthetic" / "synthetic.mis");
        // DromEd's own folder, where the loot list looks for the gamesys first.
        fs::create_directory(root / "dromed");
        fs::copy_file(root / "demo" / test::kDemoGamesysName, root / "dromed" / "demo.gam");
    }
    void init() {
        Settings = TSettings{};
        Settings.Dock = 0; // DromEd's window stays where it is
    }

    void commandLeavesTheFilesAsTheyWere_data() {
        QTest::addColumn<QString>("mission");
        QTest::addColumn<QString>("dromEdFolder"); // empty: the setting names no DromEd
        QTest::addColumn<int>("command");
        const QString demo = generated_.filePath("demo/demo.mis");
        // The loot list alone looks in DromEd's folder.
        QTest::addRow("demo, DromEd folder: loot")
            << demo << generated_.filePath("dromed") << int(cmLoot);
        QStringList missions = {demo, generated_.filePath("synthetic/synthetic.mis")};
        const fs::path realDir = KORVANE_REALMIS_DIR;
        for (const auto& entry : fs::is_directory(realDir)
                                     ? fs::recursive_directory_iterator(realDir)
                                     : fs::recursive_directory_iterator()) {
            if (entry.path().extension() == ".mis" || entry.path().extension() == ".cow")
                missions << PathToQt(entry.path());
        }
        for (const QString& m : missions) {
            for (int c = cmCheck; c <= cmPainterDisable; ++c) {
                QTest::addRow("%s: %s", qPrintable(QFileInfo(m).fileName()), kCommandNames[c])
                    << m << QString() << c;
            }
        }
    }
    void commandLeavesTheFilesAsTheyWere() {
        QFETCH(QString, mission);
        QFETCH(QString, dromEdFolder);
        QFETCH(int, command);
        const bool generated = mission.startsWith(generated_.path());
        // A real mission's folder may hold others' subfolders: only its own entries count.
        const fs::path folder = PathFromQt(mission).parent_path();
        const auto folderBefore = test::SnapshotFolder(folder, false);
        test::TFolderSnapshot dromEdBefore;
        if (!dromEdFolder.isEmpty()) {
            Settings.DromEdPath = FromQt(QDir(dromEdFolder).filePath("DromEd.exe"));
            dromEdBefore = test::SnapshotFolder(PathFromQt(dromEdFolder));
        }

        TMainWindowFixture f;
        sim::TSimDromEd& dromEd = f.StartDromEd(sim::TSimMission{.FileName = "miss1.mis"});
        test::LoadMissionsFromDisk(dromEd);
        // The mission is chosen, every question and message answered Yes, the filter accepted.
        f.Prompts.Files = {mission};
        f.Prompts.Answers = {TMsgAnswer::Yes, TMsgAnswer::Yes, TMsgAnswer::Yes, TMsgAnswer::Yes};
        f.Prompts.Dialogs = {[](QDialog&) { return int(QDialog::Accepted); }};
        TFrmKvLinkPainter* painter = nullptr;
        if (command >= cmPainterLoad) {
            f.Win->ActLinkPainter->trigger();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* p = qobject_cast<TFrmKvLinkPainter*>(w); p != nullptr && p->isVisible())
                    painter = p;
            }
            QVERIFY(painter != nullptr);
            for (std::int32_t id = 1; id <= 12; ++id) {
                painter->Painter().AddObjectNode(
                    TBrushInfo{bkObject, id, id, "Object " + std::to_string(id)}, 40 * id, 50);
            }
        }
        QAction* const actions[] = {f.Win->ActSanityCheck, f.Win->ActImportMis, f.Win->ActLootList,
                                    painter ? painter->MiLoadLinks : nullptr,
                                    painter ? painter->MiDisableLinks : nullptr};
        actions[command]->trigger();

        // The command read the mission: the file dialog gave it out.
        QVERIFY(f.Prompts.Files.empty());
        if (generated && command == cmImport) {
            QVERIFY(f.RowCount() > 0);
            // Loaded in DromEd too (which sees the path in lower case, as on Windows).
            QVERIFY(!dromEd.Commands().empty() &&
                    dromEd.Commands().back().starts_with("load_file"));
        }
        if (generated && command == cmPainterLoad)
            QVERIFY(!painter->Painter().Graph().GetEdges().empty());
        QCOMPARE(ToQt(test::ChangedPaths(folderBefore, test::SnapshotFolder(folder, false))),
                 QString());
        if (!dromEdFolder.isEmpty()) {
            QCOMPARE(ToQt(test::ChangedPaths(dromEdBefore,
                                             test::SnapshotFolder(PathFromQt(dromEdFolder)))),
                     QString());
        }
    }
};

QTEST_MAIN(TestMissionUntouched)
#include "tst_MissionUntouched.moc"
