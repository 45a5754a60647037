// The main window's mission commands on generated missions: the sanity check, the import into
// the favourites with its filter, report and DromEd question, and the loot list with its loot
// import; their Cancel paths and failures. No mission command of the main window or the Link
// Painter writes to the mission, its gamesys or their folders.
#include "linkpainter/LinkPainter.h"
#include "linkpainter/ui/LinkPainterWindow.h"
#include "support/DemoMission.h"
#include "support/FolderSnapshot.h"
#include "support/MainWindowFixture.h"
#include "support/MissionWriter.h"
#include "support/SyntheticMission.h"
#include "workspace/ui/FilterDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>

using kv::test::TMainWindowFixture;
using kv::test::TMissionWriter;
using namespace kv;
namespace chunks = kv::test::chunks;
namespace fs = std::filesystem;

namespace {

const QString kMissionFilter = "Thief mission files (*.mis;*.cow)|*.mis;*.cow|All files (*.*)|*.*";
const QString kLoadInDromEd =
    "Load same mission in DromEd too?\r(Current mission will not be saved!)";

// Brushes: Solid terrain (ID 7), a light (9), guard 5 (12), chest 6 (13), the area "Vault" (20).
// Damaged: the guard is left at death stage 12 and controls the chest twice over.
TMissionWriter ImportMission(bool damaged) {
    TMissionWriter w;
    w.Chunk("BRLIST",
            chunks::Brushes(
                {{7, 0, 0, 4}, {9, 0, 255, 0}, {12, 5, 253, 0}, {13, 6, 253, 0}, {20, 0, 254, 0}}));
    w.Chunk("P$SymName", chunks::SymNames({{5, "Guard"}, {6, "Chest"}}));
    w.Chunk("HotRegions", chunks::NameRecords({{20, "Vault"}}));
    w.Chunk("Relations", chunks::Relations({"MetaProp", "ControlDevice"}));
    w.Chunk("P$DeathStag", chunks::Props({{5, test::I32Bytes(damaged ? 12 : 3)}}));
    w.Chunk("L$ControlDe", chunks::Links({{10, 5, 6, 2}, {11, damaged ? 5 : 6, 6, 2}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    return w;
}

const QStringList kAllBrushes = {"1|1|0|Solid", "2|2|0|Light", "4|3|5|Guard (5)", "4|4|6|Chest (6)",
                                 "3|5|0|Vault"};
const QStringList kDamagedReport = {
    "",
    "Deathstage 12 found on 1 objects",
    "This is usually a typical DromEd bug and should be fixed!",
    " - Object ID 5 (Guard)",
    "",
    "Duplicate links found:",
    " - 2 identical ControlDevice-links from object ID 5 (Guard) to object ID 6 (Chest)"};

// Coin 5 (brush 1) inherits 25 gold from its archetype in loot.gam and lies in chest 6 (brush
// 2); guard 7 (brush 3) and a light (brush 4) are no loot.
TMissionWriter LootMission(const test::TBytes& ownLoot = {}) {
    TMissionWriter w;
    w.Chunk("GAM_FILE", chunks::ZText("loot.gam"));
    w.Chunk("BRLIST",
            chunks::Brushes({{1, 5, 253, 0}, {2, 6, 253, 0}, {3, 7, 253, 0}, {4, 0, 255, 0}}));
    w.Chunk("P$SymName",
            chunks::SymNames({{5, "GoldCoin"}, {6, "Chest"}, {7, "Guard"}, {-3, "Coin"}}));
    w.Chunk("L$MetaProp", chunks::Links({{100, 5, -3, 1}}));
    w.Chunk("LD$MetaProp", chunks::LinkData(4, {{100, test::I32Bytes(0)}}));
    w.Chunk("L$Contains", chunks::Links({{200, 6, 5, 2}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {{200, test::I32Bytes(0)}}));
    if (!ownLoot.empty()) w.Chunk("P$Loot", chunks::Props({{5, ownLoot}}));
    return w;
}

TMissionWriter LootGamesys() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{-3, "Coin"}}));
    w.Chunk("P$Loot", chunks::Props({{-3, chunks::Loot(25, 0, 0, 0)}}));
    return w;
}

void Save(const TMissionWriter& mission, const QString& path) {
    test::SaveBytes(PathFromQt(path), mission.Bytes());
}

// The file of Mission with the size of its table-of-contents entry Index made far too big.
test::TBytes WithHugeEntry(const TMissionWriter& mission, std::size_t index) {
    test::TBytes bytes = mission.Bytes();
    const std::size_t toc = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16);
    bytes.at(toc + 4 + index * 20 + 18) = 0x7F;
    return bytes;
}

// Favourites as "kind|brush|object|name", in display order.
QStringList Favourites(const TMainWindowFixture& f) {
    QStringList rows;
    for (const TBrushInfo* i : f.Win->RowItems())
        rows << QString("%1|%2|%3|%4").arg(int(i->Kind)).arg(i->BrushNum).arg(i->ObjID).arg(
                    ToQt(i->Name));
    return rows;
}

QStringList Texts(const TMainWindowFixture& f) {
    QStringList texts;
    for (const auto& m : f.Prompts.Messages) texts << m.Text;
    return texts;
}

QList<TFrmReport*> Reports(const TMainWindowFixture& f) {
    return f.Win->findChildren<TFrmReport*>();
}

QStringList ReportLines(const TFrmReport* report) {
    QStringList lines = ToQt(report->ReportTextCrLf()).split("\r\n");
    lines.removeLast(); // after the last CR LF
    return lines;
}

// A modified workspace with one favourite of its own.
void AddOwnFavourite(TMainWindowFixture& f) {
    f.Add(bkObject, 99, 42, "Mine (42)");
    f.Win->SetModified(true);
}

// The filter dialog's script: checks that it shows Shown, then confirms Chosen.
std::function<int(QDialog&)> FilterScript(TDisplayFilter shown, TDisplayFilter chosen,
                                          QString* caption) {
    return [=](QDialog& d) {
        auto& dlg = dynamic_cast<TFrmDisplayFilter&>(d);
        *caption = dlg.windowTitle();
        if (dlg.Filter() != shown) return int(QDialog::Rejected);
        dlg.SetFilter(chosen);
        return int(QDialog::Accepted);
    };
}

enum TCommand { cmCheck, cmImport, cmLoot, cmPainterLoad, cmPainterDisable };

const char* const kCommandNames[] = {"check", "import", "loot", "painter links", "painter disable"};

} // namespace

class TestMainWindowMission : public QObject {
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
    void init() { Settings = TSettings{}; }
    // The hourglass is gone after every command, however it ended.
    void cleanup() { QVERIFY(QApplication::overrideCursor() == nullptr); }

    void checkShowsTheReportOrSaysNothingWasFound() {
        for (const bool damaged : {false, true}) {
            TMainWindowFixture f;
            AddOwnFavourite(f);
            Save(ImportMission(damaged), f.Path("Check.mis"));
            f.Prompts.Files = {f.Path("Check.mis")};
            f.Win->ActSanityCheck->trigger();
            const TFileDialogSpec& desc = f.Prompts.FileDialogs.at(0);
            QCOMPARE(desc.Title + "|" + desc.Filter, "Sanity check mission file|" + kMissionFilter);
            QVERIFY(desc.FileMustExist && !desc.ForSave);
            // The check neither empties nor touches the favourites, and asks nothing.
            QCOMPARE(Favourites(f), QStringList{"4|99|42|Mine (42)"});
            QVERIFY(f.Win->Modified() && f.Prompts.UnexpectedQuestions == 0);
            QCOMPARE(Texts(f), damaged ? QStringList{} : QStringList{"No typical errors detected"});
            QCOMPARE(Reports(f).size(), damaged ? 1 : 0);
            if (!damaged) {
                QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Information);
                continue;
            }
            const TFrmReport* report = Reports(f).at(0);
            QVERIFY(report->windowTitle() == "Sanity check report" && report->isVisible());
            QStringList lines = ReportLines(report);
            QVERIFY2(QRegularExpression(R"(^\[\d\d:\d\d\] File: Check\.mis$)")
                         .match(lines.takeFirst())
                         .hasMatch(),
                     qPrintable(lines.join('|')));
            QCOMPARE(lines, kDamagedReport);
        }
    }

    // The check reads the loot with the gamesys, as the loot list does, for the loot goals.
    void checkReportsUnreachableLootGoals() {
        TMainWindowFixture f;
        Save(LootMission().Chunk("QUEST_DB", chunks::QuestVars({{"goal_type_0", 3},
                                                                {"goal_gold_0", 30},
                                                                {"goal_min_diff_0", 1}})),
             f.Path("Goals.mis"));
        Save(LootGamesys(), f.Path("loot.gam"));
        f.Prompts.Files = {f.Path("Goals.mis")};
        f.Win->ActSanityCheck->trigger();
        QCOMPARE(Reports(f).size(), 1);
        QCOMPARE(ReportLines(Reports(f).at(0)).mid(1),
                 (QStringList{"", "Unreachable loot goals:",
                              " - Goal 0 on Hard needs 30 in gold, the mission holds 25",
                              " - Goal 0 on Expert needs 30 in gold, the mission holds 25"}));

        // Importing with the check on, a damaged quest chunk is logged and the brushes come in.
        TMainWindowFixture g;
        Settings.MisCheck = true;
        Save(LootMission().Chunk("QUEST_DB", {9, 0, 0, 0}), g.Path("Bad.mis"));
        g.Prompts.Answers = {TMsgAnswer::No}; // not in DromEd
        g.Prompts.Files = {g.Path("Bad.mis")};
        QString caption;
        g.Prompts.Dialogs.push_back(FilterScript(TDisplayFilter{}, TDisplayFilter{}, &caption));
        g.Win->ActImportMis->trigger();
        QCOMPARE(Favourites(g).size(), 4);
        QVERIFY2(g.LogLines().at(0).contains("QUEST_DB"), qPrintable(g.LogLines().join('|')));
        QCOMPARE(Texts(g), QStringList{kLoadInDromEd});
    }

    void importReplacesTheFavouritesByTheMissionsBrushes() {
        const struct {
            bool Damaged, MisCheck, MisBNum;
            TKindSet Kinds;
            QString Name;
            QStringList Expected;
        } cases[] = {
            {false, true, false, kAllKinds, "", kAllBrushes},
            {false, false, true, kAllKinds, "",
             {"1|7|0|Solid", "2|9|0|Light", "4|12|5|Guard (5)", "4|13|6|Chest (6)", "3|20|0|Vault"}},
            // Objects keep their running numbers.
            {false, false, false, KindBit(bkObject), "", {"4|3|5|Guard (5)", "4|4|6|Chest (6)"}},
            {false, false, false, kAllKinds, "vAULT", {"3|5|0|Vault"}},
            {true, true, false, kAllKinds, "", kAllBrushes},
            {true, false, false, kAllKinds, "", kAllBrushes},
        };
        for (const auto& c : cases) {
            TMainWindowFixture f;
            Settings.MisCheck = c.MisCheck;
            Settings.MisBNum = c.MisBNum;
            AddOwnFavourite(f);
            Save(ImportMission(c.Damaged), f.Path("level.mis"));
            f.Prompts.Answers = {TMsgAnswer::No, TMsgAnswer::No}; // do not save; not in DromEd
            f.Prompts.Files = {f.Path("level.mis")};
            QString caption;
            f.Prompts.Dialogs.push_back(
                FilterScript(TDisplayFilter{}, {c.Kinds, FromQt(c.Name)}, &caption));
            f.Win->ActImportMis->trigger();

            const TFileDialogSpec& desc = f.Prompts.FileDialogs.at(0);
            QCOMPARE(Texts(f) << caption << f.Win->windowTitle() << desc.Title << desc.Filter,
                     (QStringList{"Save changes?", kLoadInDromEd, "Import...",
                                  "Korvane 0.94 [Unnamed]", "Import from mission file",
                                  kMissionFilter}));
            QVERIFY(f.Prompts.Messages[1].Type == TMsgType::Confirmation &&
                    f.Prompts.Messages[1].Buttons == TMsgButtons::YesNo && !f.Win->Modified());
            QCOMPARE(Favourites(f), c.Expected);
            QCOMPARE(f.Win->ImportFilter, (TDisplayFilter{c.Kinds, FromQt(c.Name)}));
            const bool report = c.Damaged && c.MisCheck;
            QCOMPARE(Reports(f).size(), report ? 1 : 0);
            if (report) QCOMPARE(ReportLines(Reports(f).at(0)).mid(1), kDamagedReport);

            // The import filter stays for the next import, which shows it again.
            Settings.MisBNum = false;
            f.Prompts.Answers = {TMsgAnswer::No};
            f.Prompts.Files = {f.Path("level.mis")};
            f.Prompts.Dialogs.push_back(FilterScript(f.Win->ImportFilter, {}, &caption));
            f.Win->ActImportMis->trigger();
            QCOMPARE(Favourites(f), kAllBrushes);
            QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
        }
    }

    void theImportedMissionIsOfferedToDromEdUnlessItIsDromEds() {
        TMainWindowFixture f;
        Settings.MisCheck = false;
        Save(ImportMission(false), f.Path("level.mis"));
        const auto import = [&](TMsgAnswer answer) {
            f.Prompts.Answers = {answer};
            f.Prompts.Files = {f.Path("level.mis")};
            f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
            f.Win->ActImportMis->trigger();
            QCOMPARE(Favourites(f), kAllBrushes);
        };
        // Without DromEd the load is logged, and the dialog keeps the name chosen before.
        import(TMsgAnswer::Yes);
        import(TMsgAnswer::Yes);
        QCOMPARE(f.Prompts.FileDialogs.at(0).InitialFileName + "|" +
                     f.Prompts.FileDialogs.at(1).InitialFileName,
                 "|" + f.Path("level.mis"));
        QCOMPARE(f.LogLines().mid(0, 2),
                 QStringList(2, "EDromEdNotFound: DromEd window not found"));
        QCOMPARE(f.Prompts.Beeps, 2);

        // DromEd's own mission is not offered to it; the dialog starts at DromEd's file.
        sim::TSimDromEd& dromEd = f.StartDromEd({.FileName = "LEVEL.MIS"});
        f.Prompts.Messages.clear();
        import(TMsgAnswer::Yes);
        QCOMPARE(f.Prompts.FileDialogs.at(2).InitialFileName, QString("LEVEL.MIS"));
        QVERIFY(f.Prompts.Messages.empty());
        QVERIFY(dromEd.Commands().empty());

        // Another mission in DromEd: the import offers to load this one there.
        dromEd.SetMission({.FileName = "other.mis"});
        import(TMsgAnswer::Yes);
        QCOMPARE(f.Prompts.FileDialogs.at(3).InitialFileName, QString("other.mis"));
        QCOMPARE(f.Prompts.Messages.back().Text, kLoadInDromEd);
        QCOMPARE(dromEd.Commands(),
                 std::vector<std::string>{"load_file \"" + FromQt(f.Path("level.mis").toLower()) +
                                          "\""});
    }

    void aReadErrorIsShownAndKeepsTheFavouritesReadBeforeIt() {
        for (const bool check : {false, true}) {
            TMainWindowFixture f;
            // The link chunk, read only by the check after the brushes, runs past the file's end.
            test::SaveBytes(PathFromQt(f.Path("broken.mis")), WithHugeEntry(ImportMission(true), 5));
            f.Prompts.Files = {f.Path("broken.mis")};
            f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
            (check ? f.Win->ActSanityCheck : f.Win->ActImportMis)->trigger();
            QCOMPARE(f.Prompts.Messages.size(), std::size_t{1}); // no report, no question
            QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
            QVERIFY2(f.Prompts.Messages[0].Text.contains("broken.mis"),
                     qPrintable(f.Prompts.Messages[0].Text));
            QVERIFY(Reports(f).isEmpty());
            QCOMPARE(Favourites(f), check ? QStringList{} : kAllBrushes);
        }
    }

    void cancelEndsTheCommandQuietly() {
        using A = TMsgAnswer;
        const struct {
            bool Import;
            std::vector<TMsgAnswer> Answers;
            QString File;
            bool FilterConfirmed, OwnFavouriteStays;
            std::size_t FileDialogs;
        } cases[] = {
            {true, {A::Cancel}, "level.mis", true, true, 0}, // at "Save changes?"
            {true, {A::No}, "", true, false, 1},             // file dialog
            {true, {A::No}, "level.mis", false, false, 1},   // filter dialog
            {false, {}, "", true, true, 1},
            {false, {A::No}, "loot.mis", true, true, 1}, // No to loading
            {false, {A::Yes, A::Cancel}, "loot.mis", true, true, 1},
        };
        for (const auto& c : cases) {
            TMainWindowFixture f;
            Settings.MisCheck = false;
            Save(ImportMission(false), f.Path("level.mis"));
            Save(LootMission(), f.Path("loot.mis"));
            Save(LootGamesys(), f.Path("loot.gam"));
            AddOwnFavourite(f);
            f.Prompts.Answers = {c.Answers.begin(), c.Answers.end()};
            f.Prompts.Files = {c.File.isEmpty() ? QString() : f.Path(c.File)};
            const int filterResult = c.FilterConfirmed ? QDialog::Accepted : QDialog::Rejected;
            f.Prompts.Dialogs.push_back([=](QDialog&) { return filterResult; });
            (c.Import ? f.Win->ActImportMis : f.Win->ActLootList)->trigger();
            QCOMPARE(f.Prompts.FileDialogs.size(), c.FileDialogs);
            QCOMPARE(Favourites(f),
                     c.OwnFavouriteStays ? QStringList{"4|99|42|Mine (42)"} : QStringList{});
            QVERIFY(f.Prompts.Answers.empty());
            QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
            // Only the loot list, shown before its question, may have opened a report.
            QCOMPARE(Reports(f).size(), !c.Import && !c.File.isEmpty() ? 1 : 0);
        }
    }

    void lootListShowsTheReportAndLoadsLootObjectsWithTheirContainers() {
        TMainWindowFixture f;
        QVERIFY(QDir().mkpath(f.Path("Thief Gold")));
        Save(LootGamesys(), f.Path("Thief Gold/loot.gam"));
        Save(LootMission(), f.Path("loot.mis"));
        Settings.DromEdPath = FromQt("\"" + f.Path("Thief Gold/DromEd.exe") + "\"");
        AddOwnFavourite(f);
        f.Prompts.Answers = {TMsgAnswer::Yes, TMsgAnswer::No}; // load them; do not save
        f.Prompts.Files = {f.Path("loot.mis")};
        f.Win->ActLootList->trigger();

        QCOMPARE(f.Prompts.FileDialogs.at(0).Title + "|" + f.Prompts.FileDialogs.at(0).Filter,
                 "Loot list for mission file|" + kMissionFilter);
        QVERIFY(Reports(f).size() == 1 && Reports(f).at(0)->windowTitle() == "Loot list");
        // The report's layout is the loot list's own; here the gamesys's value reaches it.
        const QStringList lines = ReportLines(Reports(f).at(0));
        QCOMPARE(lines.first() + "|" + lines.at(4) + "|" + lines.last(),
                 QString("File: loot.mis|GoldCoin (5)*     NHE       25       25        0        0 "
                         "|GoldCoin (5) is contained by Chest (6)"));
        QCOMPARE(Texts(f),
                 (QStringList{"Load loot objects into the items list?", "Save changes?"}));
        QCOMPARE(f.Prompts.Messages.at(0).Buttons, TMsgButtons::YesNo);
        QCOMPARE(Favourites(f) << f.Win->windowTitle(),
                 (QStringList{"4|1|5|GoldCoin (5)", "4|2|6|Chest (6)", "Korvane 0.94 [Unnamed]"}));
    }

    void lootListFailures() {
        for (const bool sizeMismatch : {true, false}) {
            TMainWindowFixture f;
            Save(LootMission(sizeMismatch ? test::TBytes(12, 0) : test::TBytes{}), f.Path("loot.mis"));
            Save(LootGamesys(), f.Path(sizeMismatch ? "loot.gam" : "elsewhere.gam"));
            f.Prompts.Answers = {TMsgAnswer::Ok, TMsgAnswer::No};
            f.Prompts.Files = {f.Path("loot.mis")};
            f.Win->ActLootList->trigger();
            if (sizeMismatch) {
                QCOMPARE(Texts(f), QStringList{"Property size mismatch!"});
                QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
                QVERIFY(Reports(f).isEmpty());
                continue;
            }
            // No DromEd folder in the settings: the mission's folder is where it was looked for.
            QCOMPARE(Texts(f), (QStringList{"Gamesys not found: \"" + f.Path("loot.gam") + "\"",
                                            "Load loot objects into the items list?"}));
            QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
            // Without the gamesys the coin has no loot value: zero totals.
            QCOMPARE(ReportLines(Reports(f).at(0)).at(5),
                     QString("NORMAL                0        0        0        0 "));
        }
    }

    // No command writes to the mission, its gamesys or their folders: each command runs over
    // generated missions and the real ones, saying yes to every question, and the folders'
    // files, bytes and write times are compared before and after.
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
        Settings.Dock = 0; // DromEd's window stays where it is
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

QTEST_MAIN(TestMainWindowMission)
#include "tst_MainWindowMission.moc"
