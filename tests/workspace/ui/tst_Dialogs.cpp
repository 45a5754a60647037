// The main window's dialogs: find-by-name, with which objects it offers and how its keys and
// clicks choose one; the display filter, with what it shows and what Ok and Cancel leave behind;
// the report window, with what copy and save produce and how long the window lives.
#include "items/DisplayFilter.h"
#include "support/ScriptedPrompts.h"
#include "text/ui/QtText.h"
#include "workspace/ui/FilterDialog.h"
#include "workspace/ui/ReportWindow.h"
#include "workspace/ui/SearchDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <algorithm>
#include <map>
#include <memory>

using namespace kv;
using kv::test::TScriptedPrompts;

namespace {

// Objects of the given names with brush numbers 1, 2, ..., and two brushes that are no objects.
TFavoriteList Objects(const QStringList& names) {
    TFavoriteList items;
    items.push_back(std::make_unique<TBrushInfo>(TBrushInfo{bkTerrain, 90, 0, "Guardrail"}));
    std::int32_t brush = 1;
    for (const QString& name : names) {
        items.push_back(
            std::make_unique<TBrushInfo>(TBrushInfo{bkObject, brush, brush, FromQt(name)}));
        ++brush;
    }
    items.push_back(std::make_unique<TBrushInfo>(TBrushInfo{bkLight, 91, 0, "Guard light"}));
    return items;
}

// Shown by name as Apple (4), Guard (2), guard post (1), Gunroom (3), Zombie (5).
const QStringList kSample = {"guard post (12)", "Guard (345)", "Gunroom", "Apple (7)",
                             "Zombie (9)"};

QString FocusAndSelection(const TFrmSearch& d) {
    const QWidget* w = QApplication::focusWidget();
    const auto selected = d.ListBox->selectedItems();
    return QString("%1:%2")
        .arg(w ? w->objectName() : "<none>")
        .arg(selected.isEmpty() ? -1 : d.ListBox->row(selected.constFirst()));
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

int OpenReportWindows() {
    const auto all = QApplication::topLevelWidgets();
    return int(std::count_if(all.begin(), all.end(),
                             [](QWidget* w) { return qobject_cast<TFrmReport*>(w) != nullptr; }));
}

void ReleaseClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList ActionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions) texts << a->text();
    return texts;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() {
        prompts_ = std::make_unique<TScriptedPrompts>();
        dm_ = std::make_unique<TDmMisc>();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QGuiApplication::clipboard()->clear();
    }

    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFrmReport*>(w)) w->close();
        ReleaseClosedWindows();
        QCOMPARE(prompts_->UnexpectedQuestions, 0);
    }

    void offersObjectsBeginningsFirst() {
        const QStringList burricks = {"A babyburrick (7)", "Guard (345)", "babysitter (9)",
                                      "A BabyBurrick (213)", "Baby Burrick (5)"};
        const struct {
            QStringList Names;
            QString Typed;
            QStringList Expected;
        } cases[] = {
            // clang-format off
            {burricks, "", {"A BabyBurrick (213)", "A babyburrick (7)", "Baby Burrick (5)",
                            "babysitter (9)", "Guard (345)"}},
            {burricks, "baby", {"Baby Burrick (5)", "babysitter (9)", "A BabyBurrick (213)",
                                "A babyburrick (7)"}},
            {burricks, "rick (2", {"A BabyBurrick (213)"}}, // inside the number
            {{"Brass coin (8)", "Co-op chest (3)", "Coop (4)"}, "co", // hyphen only breaks ties
             {"Coop (4)", "Co-op chest (3)", "Brass coin (8)"}},
            {kSample, "gu", {"Guard (345)", "guard post (12)", "Gunroom"}}, // only objects
            {{"\u00C9glise (80)", "Eagle (90)"}, "\u00E9g", {"\u00C9glise (80)"}},
            {burricks, "zz", {}},
            // clang-format on
        };
        TScriptedPrompts prompts;
        TFrmSearch d(nullptr, prompts);
        QCOMPARE(d.windowTitle() + "|" + d.BtOk->text() + "|" + d.BtCancel->text(),
                 QString("Search object|Ok|Cancel"));
        for (const auto& c : cases) {
            d.SetCandidates(Objects(c.Names));
            d.EdText->setText(c.Typed);
            d.UpdateSearchList();
            QStringList entries;
            for (int i = 0; i < d.ListBox->count(); ++i) entries << d.ListBox->item(i)->text();
            QCOMPARE(entries, c.Expected);
            QCOMPARE(d.ListBox->currentRow(), c.Expected.isEmpty() ? -1 : 0); // first preselected
        }
    }

    void keysAndClicksChooseAnObject() {
        // Steps: "=text" types, "-" clears the selection, "#n" selects entry n, "dbl3" double
        // clicks entry 3, "Ok"/"Cancel" click, others are keys for the focused widget, and "?"
        // notes focus and selection. " open" is noted when the dialog stays open.
        const struct {
            const char* Steps;
            QString Seen;
            int Result, Beeps;
        } cases[] = {
            {"=gu Ret", "", 2, 0},
            {"=z - Enter", "", 5, 0},
            {"=gu Down ? Ret", "ListBox:1", 1, 0},
            {"=apple Down ? Ret", "ListBox:0", 4, 0},
            {"Down Up ? Up ? Esc", "ListBox:0 EdText:0", 0, 0},
            {"=x Ret Down ?", "EdText:-1 open", 0, 2},
            {"dbl3", "", 3, 0},
            {"- Ok #2 Ok", "", 1, 1},
            {"=gu Cancel", "", 0, 0},
        };
        const std::map<QString, Qt::Key> keys = {{"Ret", Qt::Key_Return}, {"Enter", Qt::Key_Enter},
            {"Down", Qt::Key_Down}, {"Up", Qt::Key_Up}, {"Esc", Qt::Key_Escape}};
        for (const auto& c : cases) {
            TScriptedPrompts prompts;
            QStringList seen;
            prompts.Dialogs.push_back([&](QDialog& dialog) {
                auto& d = static_cast<TFrmSearch&>(dialog);
                d.show();
                d.activateWindow();
                if (!QTest::qWaitForWindowActive(&d)) return -1;
                for (const QString& step : QString(c.Steps).split(' ')) {
                    if (step.startsWith('=')) d.EdText->setText(step.mid(1));
                    if (step == "-") d.ListBox->clearSelection();
                    if (step.startsWith('#')) d.ListBox->setCurrentRow(step.mid(1).toInt());
                    if (step == "?") seen << FocusAndSelection(d);
                    if (step == "Ok") QTest::mouseClick(d.BtOk, Qt::LeftButton);
                    if (step == "Cancel") QTest::mouseClick(d.BtCancel, Qt::LeftButton);
                    if (keys.contains(step))
                        QTest::keyClick(QApplication::focusWidget(), keys.at(step));
                    if (step == "dbl3") {
                        d.ListBox->doItemsLayout(); // item places are otherwise laid out later
                        const QPoint at = d.ListBox->visualItemRect(d.ListBox->item(3)).center();
                        // A double click reaches a widget as a click and then the double click.
                        QTest::mouseClick(d.ListBox->viewport(), Qt::LeftButton, {}, at);
                        QTest::mouseDClick(d.ListBox->viewport(), Qt::LeftButton, {}, at);
                    }
                }
                if (d.isVisible()) seen << "open";
                return d.result();
            });
            const int result = SearchObject(nullptr, prompts, Objects(kSample));
            QVERIFY2(result == c.Result, c.Steps);
            QVERIFY2(seen.join(' ') == c.Seen,
                     qPrintable(QString(c.Steps) + ": " + seen.join(' ')));
            QVERIFY2(prompts.Beeps == c.Beeps, c.Steps);
        }
    }

    // The dialog shows the filter; Ok keeps what the dialog shows (kind bits without a box are
    // dropped, the name is stored in Windows-1252), Cancel keeps the filter as it was.
    void showsTheFilterAndOkKeepsWhatItShowsCancelNothing() {
        const TDisplayFilter before{
            static_cast<TKindSet>(KindBit(bkLight) | KindBit(bkFlow) | 0x81), "T\xFCr"};
        for (const bool ok : {true, false}) {
            TScriptedPrompts prompts;
            TDisplayFilter filter = before;
            QStringList seen;
            prompts.Dialogs.push_back([&](QDialog& d) {
                d.show();
                auto& dlg = static_cast<TFrmDisplayFilter&>(d);
                for (int k = bkTerrain; k <= bkRoom; ++k) {
                    QCheckBox* box = dlg.KindBox(static_cast<TBrushKind>(k));
                    seen << box->objectName() + box->text() + (box->isChecked() ? "+" : "");
                    box->click();
                }
                seen << d.windowTitle() << dlg.EdNameFilter->text() << dlg.BtOk->text()
                     << dlg.BtCancel->text() << QString::number(dlg.BtOk->isDefault());
                dlg.EdNameFilter->setText("Schl\u00FCssel");
                QTest::mouseClick(ok ? dlg.BtOk : dlg.BtCancel, Qt::LeftButton);
                seen << (d.isVisible() ? "open" : "closed");
                return d.result();
            });
            QCOMPARE(ShowFilterDialog(nullptr, prompts, filter, "Display..."), ok);
            QCOMPARE(seen, (QStringList{"CbTerrain&Terrain", "CbLight&Light+", "CbArea&Area",
                                        "CbObject&Object", "CbFlow&Flow+", "CbRoom&Room",
                                        "Display...", "T\u00FCr", "Ok", "Cancel", "1", "closed"}));
            const TKindSet flipped =
                KindBit(bkTerrain) | KindBit(bkArea) | KindBit(bkObject) | KindBit(bkRoom);
            QVERIFY(filter == (ok ? TDisplayFilter{flipped, "Schl\xFCssel"} : before));
        }
    }

    void showsTheTextLineByLineWithItsMenus() {
        auto w = MakeReport("Line one\r\nLine two\rLine three\nLine four");
        QCOMPARE(w->ReReport->toPlainText(), QString("Line one\nLine two\nLine three\nLine four"));
        QVERIFY(w->ReReport->isReadOnly() && w->ReReport->lineWrapMode() == QPlainTextEdit::NoWrap);
        const auto* bar = w->findChild<QMenuBar*>();
        QCOMPARE(ActionTexts(bar->actions()) + ActionTexts(bar->actions()[0]->menu()->actions()) +
                     ActionTexts(w->ReReport->actions()), // the context menu
                 QStringList({"&File", "&Save report as...", "&Copy to clipboard", "&Exit",
                              "&Save report as...", "&Copy to clipboard"}));
        QCOMPARE(w->ReReport->contextMenuPolicy(), Qt::ActionsContextMenu);
        // Copy puts the selection, or else the whole report, with CR LF line ends.
        const struct {
            int From, To; // the selection; none when equal
            const char* Copied;
        } cases[] = {{0, 0, "Line one\r\nLine two\r\nLine three\r\nLine four\r\n"},
                     {5, 13, "one\r\nLine"}};
        for (const auto& c : cases) {
            QTextCursor cursor = w->ReReport->textCursor();
            cursor.setPosition(c.From);
            cursor.setPosition(c.To, QTextCursor::KeepAnchor);
            w->ReReport->setTextCursor(cursor);
            w->findChild<QAction*>("ActCopy")->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text(), QString(c.Copied));
        }
    }

    void saveWritesCrLfLinesAddingTxtWithoutExtension() {
        QFile old(InDir("old.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an older, longer report\r\n") > 0);
        old.close();
        const struct {
            const char* Report;
            const char* Chosen; // empty: the dialog is cancelled
            const char* Written;
            QByteArray Bytes;
        } cases[] = {
            {"x", "", "", {}},
            {"Loot list\nGold \xA3 5\n\nTotal", "loot", "loot.TXT",
             "Loot list\r\nGold \xA3 5\r\n\r\nTotal\r\n"},
            {"new", "old.txt", "old.txt", "new\r\n"},
            {"", "check.log", "check.log", ""},
        };
        for (const auto& c : cases) {
            auto w = MakeReport(c.Report);
            prompts_->Files = {*c.Chosen ? InDir(c.Chosen) : QString()};
            w->findChild<QAction*>("ActSave")->trigger();
            if (*c.Written) QCOMPARE(FileBytes(InDir(c.Written)), c.Bytes);
        }
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files),
                 (QStringList{"check.log", "loot.TXT", "old.txt"}));
        QVERIFY(prompts_->Messages.empty() && prompts_->FileDialogs.size() == 4);
        const TFileDialogSpec& desc = prompts_->FileDialogs.front();
        QCOMPARE(desc.Title + "|" + desc.Filter + "|" + desc.DefaultExtension,
                 QString("Save report as|Text files (*.txt)|*.txt|All files (*.*)|*.*|TXT"));
        QVERIFY(desc.ForSave && desc.PromptOverwrite);
    }

    void windowsStayOpenUntilClosedAlsoAfterAFailedSave() {
        TFrmReport* const first =
            ShowReport(nullptr, *prompts_, *dm_, "Sanity check", "No errors", false);
        QPointer<TFrmReport> second = ShowReport(nullptr, *prompts_, *dm_, "Two", "2", false);
        QPointer<TFrmReport> firstAlive = first;
        QVERIFY(first != nullptr && first->isVisible());
        QCOMPARE(first->windowTitle() + "|" + first->ReReport->toPlainText(),
                 QString("Sanity check|No errors"));
        QVERIFY(QDir(dir_->path()).mkdir("taken.txt"));
        prompts_->Files.push_back(InDir("taken.txt"));
        first->findChild<QAction*>("ActSave")->trigger();
        ReleaseClosedWindows();
        QCOMPARE(OpenReportWindows(), 2);
        QCOMPARE(prompts_->Messages.size(), std::size_t{1});
        const auto& error = prompts_->Messages.front();
        QVERIFY2(error.Type == TMsgType::Error && error.Text.contains("taken.txt"),
                 qPrintable(error.Text));
        first->findChild<QAction*>("MiExit")->trigger();
        ReleaseClosedWindows();
        QVERIFY(firstAlive.isNull() && second);
        QCOMPARE(OpenReportWindows(), 1);
        // A modal report returns once closed and is released then.
        QString seen;
        prompts_->Dialogs.push_back([&](QDialog& d) {
            seen = d.windowTitle() + "|" + d.findChild<QPlainTextEdit*>("ReReport")->toPlainText();
            d.findChild<QAction*>("MiExit")->trigger();
            return d.result();
        });
        QCOMPARE(ShowReport(nullptr, *prompts_, *dm_, "Loot list", "Gold: 1\r\nSilver: 2", true),
                 nullptr);
        QCOMPARE(seen, QString("Loot list|Gold: 1\nSilver: 2"));
        ReleaseClosedWindows();
        QCOMPARE(OpenReportWindows(), 1);
    }

private:
    std::unique_ptr<TScriptedPrompts> prompts_;
    std::unique_ptr<TDmMisc> dm_;
    std::unique_ptr<QTemporaryDir> dir_;

    // A report window kept by the test (not shown through ShowReport).
    std::unique_ptr<TFrmReport> MakeReport(const std::string& text) {
        auto w = std::make_unique<TFrmReport>(nullptr, *prompts_, *dm_);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->SetReportText(text);
        return w;
    }
    QString InDir(const QString& name) const { return QDir(dir_->path()).filePath(name); }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
