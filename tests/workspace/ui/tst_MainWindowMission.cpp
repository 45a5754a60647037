// The main window's mission commands on generated missions: the sanity check, the import into
// the favourites with its filter, report and DromEd question, and the loot list with its loot
// import; their Cancel paths and failures.
#include "support/MainWindowFixture.h"
#include "support/MissionWriter.h"
#include "workspace/ui/FilterDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

using kv::test::TMainWindowFixture;
using kv::test::TMissionWriter;
using namespace kv;
namespace chunks = kv::test::chunks;

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
    for (const TBrushInfo* item : f.Win->RowItems()) {
        rows << QString("%1|%2|%3|%4")
                    .arg(int(item->Kind))
                    .arg(item->BrushNum)
                    .arg(item->ObjID)
                    .arg(ToQt(item->Name));
    }
    return rows;
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

// The filter dialog's script: checks that it shows Shown, then confirms Kinds and Name.
std::function<int(QDialog&)> FilterScript(TDisplayFilter shown, TKindSet kinds, QString name,
                                          QString* caption) {
    return [=](QDialog& d) {
        auto& dlg = dynamic_cast<TFrmDisplayFilter&>(d);
        *caption = dlg.windowTitle();
        if (dlg.Filter() != shown) return int(QDialog::Rejected);
        for (int k = bkTerrain; k <= bkRoom; ++k) {
            const auto kind = static_cast<TBrushKind>(k);
            dlg.KindBox(kind)->setChecked((kinds & KindBit(kind)) != 0);
        }
        dlg.EdNameFilter->setText(name);
        return int(QDialog::Accepted);
    };
}

} // namespace

class TestMainWindowMission : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings = TSettings{}; }
    // The hourglass is gone after every command, however it ended.
    void cleanup() { QVERIFY(QApplication::overrideCursor() == nullptr); }

    void checkShowsTheReportOrSaysNothingWasFound_data() {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("clean") << false;
        QTest::newRow("damaged") << true;
    }
    void checkShowsTheReportOrSaysNothingWasFound() {
        QFETCH(bool, damaged);
        TMainWindowFixture f;
        AddOwnFavourite(f);
        ImportMission(damaged).Save(PathFromQt(f.Path("Check.mis")));
        f.Prompts.Files = {f.Path("Check.mis")};
        f.Win->ActSanityCheck->trigger();

        const TFileDialogSpec& desc = f.Prompts.FileDialogs.at(0);
        QCOMPARE(desc.Title, QString("Sanity check mission file"));
        QCOMPARE(desc.Filter, kMissionFilter);
        QVERIFY(desc.FileMustExist && !desc.ForSave);
        // The check neither empties nor touches the favourites, and asks nothing.
        QCOMPARE(Favourites(f), QStringList{"4|99|42|Mine (42)"});
        QVERIFY(f.Win->Modified());
        QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
        if (!damaged) {
            QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
            QCOMPARE(f.Prompts.Messages[0].Text, QString("No typical errors detected"));
            QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Information);
            QVERIFY(Reports(f).isEmpty());
            return;
        }
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(Reports(f).size(), 1);
        const TFrmReport* report = Reports(f).at(0);
        QCOMPARE(report->windowTitle(), QString("Sanity check report"));
        QVERIFY(report->isVisible());
        QStringList lines = ReportLines(report);
        QVERIFY2(QRegularExpression(R"(^\[\d\d:\d\d\] File: Check\.mis$)")
                     .match(lines.takeFirst())
                     .hasMatch(),
                 qPrintable(lines.join('|')));
        QCOMPARE(lines, kDamagedReport);
    }

    void importReplacesTheFavouritesByTheMissionsBrushes_data() {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("misCheck");
        QTest::addColumn<bool>("misBNum");
        QTest::addColumn<int>("kinds");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("report");
        const int all = kAllKinds;
        QTest::newRow("clean mission checked too")
            << false << true << false << all << "" << kAllBrushes << false;
        QTest::newRow("own brush IDs")
            << false << false << true << all << ""
            << QStringList{"1|7|0|Solid", "2|9|0|Light", "4|12|5|Guard (5)", "4|13|6|Chest (6)",
                           "3|20|0|Vault"}
            << false;
        QTest::newRow("objects keep their running numbers")
            << false << false << false << int(KindBit(bkObject)) << ""
            << QStringList{"4|3|5|Guard (5)", "4|4|6|Chest (6)"} << false;
        QTest::newRow("name in any case")
            << false << false << false << all << "vAULT" << QStringList{"3|5|0|Vault"} << false;
        QTest::newRow("damaged and checked")
            << true << true << false << all << "" << kAllBrushes << true;
        QTest::newRow("damaged, not checked")
            << true << false << false << all << "" << kAllBrushes << false;
    }
    void importReplacesTheFavouritesByTheMissionsBrushes() {
        QFETCH(bool, damaged);
        QFETCH(bool, misCheck);
        QFETCH(bool, misBNum);
        QFETCH(int, kinds);
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        QFETCH(bool, report);
        TMainWindowFixture f;
        Settings.MisCheck = misCheck;
        Settings.MisBNum = misBNum;
        AddOwnFavourite(f);
        ImportMission(damaged).Save(PathFromQt(f.Path("level.mis")));
        f.Prompts.Answers = {TMsgAnswer::No, TMsgAnswer::No}; // do not save; not in DromEd
        f.Prompts.Files = {f.Path("level.mis")};
        QString caption;
        f.Prompts.Dialogs.push_back(
            FilterScript(TDisplayFilter{}, TKindSet(kinds), name, &caption));
        f.Win->ActImportMis->trigger();

        QCOMPARE(f.Prompts.Messages.size(), std::size_t{2});
        QCOMPARE(f.Prompts.Messages[0].Text, QString("Save changes?"));
        QCOMPARE(f.Prompts.FileDialogs.at(0).Title, QString("Import from mission file"));
        QCOMPARE(f.Prompts.FileDialogs.at(0).Filter, kMissionFilter);
        QCOMPARE(caption, QString("Import..."));
        QCOMPARE(Favourites(f), expected);
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
        QVERIFY(!f.Win->Modified());
        QCOMPARE(f.Win->ImportFilter, (TDisplayFilter{TKindSet(kinds), FromQt(name)}));
        QCOMPARE(Reports(f).size(), report ? 1 : 0);
        if (report) {
            QCOMPARE(Reports(f).at(0)->windowTitle(), QString("Sanity check report"));
            QCOMPARE(ReportLines(Reports(f).at(0)).mid(1), kDamagedReport);
        }
        QCOMPARE(f.Prompts.Messages[1].Text, kLoadInDromEd);
        QCOMPARE(f.Prompts.Messages[1].Type, TMsgType::Confirmation);
        QCOMPARE(f.Prompts.Messages[1].Buttons, TMsgButtons::YesNo);

        // The import filter stays for the next import, which shows it again.
        Settings.MisBNum = false;
        f.Prompts.Answers = {TMsgAnswer::No};
        f.Prompts.Files = {f.Path("level.mis")};
        f.Prompts.Dialogs.push_back(FilterScript(f.Win->ImportFilter, kAllKinds, "", &caption));
        f.Win->ActImportMis->trigger();
        QCOMPARE(Favourites(f), kAllBrushes);
        QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
    }

    void dromEdsOwnMissionIsNotOfferedToDromEd() {
        TMainWindowFixture f;
        Settings.MisCheck = false;
        ImportMission(false).Save(PathFromQt(f.Path("level.mis")));
        sim::TSimMission shown;
        shown.FileName = "LEVEL.MIS";
        sim::TSimDromEd& dromEd = f.StartDromEd(shown);
        f.Prompts.Files = {f.Path("level.mis")};
        f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
        f.Win->ActImportMis->trigger();
        QCOMPARE(f.Prompts.FileDialogs.at(0).InitialFileName, QString("LEVEL.MIS"));
        QCOMPARE(Favourites(f), kAllBrushes);
        QVERIFY(f.Prompts.Messages.empty());

        // Another mission in DromEd: the import offers to load this one there.
        shown.FileName = "other.mis";
        dromEd.SetMission(shown);
        f.Prompts.Answers = {TMsgAnswer::Yes};
        f.Prompts.Files = {f.Path("level.mis")};
        f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
        f.Win->ActImportMis->trigger();
        QCOMPARE(f.Prompts.FileDialogs.at(1).InitialFileName, QString("other.mis"));
        QCOMPARE(f.Prompts.Messages.back().Text, kLoadInDromEd);
        QCOMPARE(dromEd.Commands(),
                 std::vector<std::string>{"load_file \"" + FromQt(f.Path("level.mis").toLower()) +
                                          "\""});
        QCOMPARE(Favourites(f), kAllBrushes);
    }

    void withoutDromEdTheLoadIsLoggedAndTheDialogKeepsItsName() {
        TMainWindowFixture f;
        Settings.MisCheck = false;
        ImportMission(false).Save(PathFromQt(f.Path("level.mis")));
        for (int run = 0; run < 2; ++run) {
            f.Prompts.Answers = {TMsgAnswer::Yes};
            f.Prompts.Files = {f.Path("level.mis")};
            f.Prompts.Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
            f.Win->ActImportMis->trigger();
        }
        QCOMPARE(f.Prompts.FileDialogs.at(0).InitialFileName, QString());
        QCOMPARE(f.Prompts.FileDialogs.at(1).InitialFileName, f.Path("level.mis"));
        QCOMPARE(f.LogLines().mid(0, 2), (QStringList{"EDromEdNotFound: DromEd window not found",
                                                      "EDromEdNotFound: DromEd window not found"}));
        QCOMPARE(f.Prompts.Beeps, 2);
        QCOMPARE(Favourites(f), kAllBrushes);
    }

    void aReadErrorIsShownAndKeepsTheFavouritesReadBeforeIt_data() {
        QTest::addColumn<bool>("check");
        QTest::newRow("import") << false;
        QTest::newRow("check") << true;
    }
    void aReadErrorIsShownAndKeepsTheFavouritesReadBeforeIt() {
        QFETCH(bool, check);
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

    void cancelEndsTheCommandQuietly_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("answers"); // TMsgAnswer values
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("filterConfirmed");
        QTest::addColumn<bool>("ownFavouriteStays");
        QTest::addColumn<int>("fileDialogs");
        const int cancel = int(TMsgAnswer::Cancel);
        const int no = int(TMsgAnswer::No);
        const int yes = int(TMsgAnswer::Yes);
        QTest::newRow("import, Cancel at Save changes")
            << "import" << QList<int>{cancel} << "level.mis" << true << true << 0;
        QTest::newRow("import, file dialog")
            << "import" << QList<int>{no} << "" << true << false << 1;
        QTest::newRow("import, filter dialog")
            << "import" << QList<int>{no} << "level.mis" << false << false << 1;
        QTest::newRow("loot, file dialog") << "loot" << QList<int>{} << "" << true << true << 1;
        QTest::newRow("loot, No to loading")
            << "loot" << QList<int>{no} << "loot.mis" << true << true << 1;
        QTest::newRow("loot, Cancel at Save changes")
            << "loot" << QList<int>{yes, cancel} << "loot.mis" << true << true << 1;
    }
    void cancelEndsTheCommandQuietly() {
        QFETCH(QString, command);
        QFETCH(QList<int>, answers);
        QFETCH(QString, file);
        QFETCH(bool, filterConfirmed);
        QFETCH(bool, ownFavouriteStays);
        QFETCH(int, fileDialogs);
        TMainWindowFixture f;
        Settings.MisCheck = false;
        ImportMission(false).Save(PathFromQt(f.Path("level.mis")));
        LootMission().Save(PathFromQt(f.Path("loot.mis")));
        LootGamesys().Save(PathFromQt(f.Path("loot.gam")));
        AddOwnFavourite(f);
        for (const int a : answers) f.Prompts.Answers.push_back(TMsgAnswer(a));
        f.Prompts.Files = {file.isEmpty() ? QString() : f.Path(file)};
        f.Prompts.Dialogs.push_back([=](QDialog&) {
            return filterConfirmed ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        (command == "import" ? f.Win->ActImportMis : f.Win->ActLootList)->trigger();
        QCOMPARE(int(f.Prompts.FileDialogs.size()), fileDialogs);
        QCOMPARE(Favourites(f),
                 ownFavouriteStays ? QStringList{"4|99|42|Mine (42)"} : QStringList{});
        QVERIFY(f.Prompts.Answers.empty());
        QCOMPARE(f.Prompts.UnexpectedQuestions, 0);
        // Only the loot list, shown before its question, may have opened a report.
        QCOMPARE(Reports(f).size(), command == "loot" && !file.isEmpty() ? 1 : 0);
    }

    void lootListShowsTheReportAndLoadsLootObjectsWithTheirContainers() {
        TMainWindowFixture f;
        QVERIFY(QDir().mkpath(f.Path("Thief Gold")));
        LootGamesys().Save(PathFromQt(f.Path("Thief Gold/loot.gam")));
        LootMission().Save(PathFromQt(f.Path("loot.mis")));
        Settings.DromEdPath = FromQt("\"" + f.Path("Thief Gold/DromEd.exe") + "\"");
        AddOwnFavourite(f);
        f.Prompts.Answers = {TMsgAnswer::Yes, TMsgAnswer::No}; // load them; do not save
        f.Prompts.Files = {f.Path("loot.mis")};
        f.Win->ActLootList->trigger();

        QCOMPARE(f.Prompts.FileDialogs.at(0).Title, QString("Loot list for mission file"));
        QCOMPARE(f.Prompts.FileDialogs.at(0).Filter, kMissionFilter);
        QCOMPARE(Reports(f).size(), 1);
        QCOMPARE(Reports(f).at(0)->windowTitle(), QString("Loot list"));
        const QString dashes(65, '-');
        QCOMPARE(ReportLines(Reports(f).at(0)),
                 (QStringList{"File: loot.mis", "",
                              "Object            Dif.   Total     Gold     Gems      Art Special",
                              dashes, "GoldCoin (5)*     NHE       25       25        0        0 ",
                              dashes, "NORMAL                      25       25        0        0 ",
                              "HARD                        25       25        0        0 ",
                              "EXPERT                      25       25        0        0 ",
                              "TOTAL                       25       25        0        0 ", "",
                              "Annotations:", "GoldCoin (5) is contained by Chest (6)"}));
        QCOMPARE(f.Prompts.Messages.at(0).Text, QString("Load loot objects into the items list?"));
        QCOMPARE(f.Prompts.Messages.at(0).Buttons, TMsgButtons::YesNo);
        QCOMPARE(f.Prompts.Messages.at(1).Text, QString("Save changes?"));
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{2});
        QCOMPARE(Favourites(f), (QStringList{"4|1|5|GoldCoin (5)", "4|2|6|Chest (6)"}));
        QCOMPARE(f.Win->windowTitle(), QString("Korvane 0.94 [Unnamed]"));
        QVERIFY(!f.Win->Modified());
    }

    void lootListFailures_data() {
        QTest::addColumn<bool>("sizeMismatch");
        QTest::newRow("gamesys not found") << false;
        QTest::newRow("property size mismatch") << true;
    }
    void lootListFailures() {
        QFETCH(bool, sizeMismatch);
        TMainWindowFixture f;
        LootMission(sizeMismatch ? test::TBytes(12, 0) : test::TBytes{})
            .Save(PathFromQt(f.Path("loot.mis")));
        LootGamesys().Save(PathFromQt(f.Path(sizeMismatch ? "loot.gam" : "elsewhere.gam")));
        f.Prompts.Answers = {TMsgAnswer::Ok, TMsgAnswer::No};
        f.Prompts.Files = {f.Path("loot.mis")};
        f.Win->ActLootList->trigger();
        if (sizeMismatch) {
            QCOMPARE(f.Prompts.Messages.size(), std::size_t{1});
            QCOMPARE(f.Prompts.Messages[0].Text, QString("Property size mismatch!"));
            QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
            QVERIFY(Reports(f).isEmpty());
            return;
        }
        // No DromEd folder in the settings: the mission's folder is where it was looked for.
        QCOMPARE(f.Prompts.Messages.size(), std::size_t{2});
        QCOMPARE(f.Prompts.Messages[0].Text, "Gamesys not found: \"" + f.Path("loot.gam") + "\"");
        QCOMPARE(f.Prompts.Messages[0].Type, TMsgType::Error);
        QCOMPARE(f.Prompts.Messages[1].Text, QString("Load loot objects into the items list?"));
        // Without the gamesys the coin has no loot value: an empty list with zero totals.
        const QStringList lines = ReportLines(Reports(f).at(0));
        QCOMPARE(lines.at(2),
                 QString("Object     Dif.   Total     Gold     Gems      Art Special"));
        QCOMPARE(lines.at(4), QString(58, '-'));
        QCOMPARE(lines.at(5), QString("NORMAL                0        0        0        0 "));
        QCOMPARE(lines.size(), 9);
    }
};

QTEST_MAIN(TestMainWindowMission)
#include "tst_MainWindowMission.moc"
