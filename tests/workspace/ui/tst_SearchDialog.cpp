// Find-by-name: which objects are offered, and how the keys and clicks of the dialog choose one.
#include "support/ScriptedPrompts.h"
#include "workspace/ui/SearchDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace kv;
using kv::test::TScriptedPrompts;

namespace {

TFavoriteList SampleFavorites() {
    TFavoriteList items;
    auto add = [&](TBrushKind kind, std::int32_t brush, std::int32_t obj, const char* name) {
        items.push_back(std::make_unique<TBrushInfo>(TBrushInfo{kind, brush, obj, name}));
    };
    add(bkObject, 20, 12, "guard post (12)");
    add(bkTerrain, 5, 0, "Guardrail");
    add(bkObject, 30, 345, "Guard (345)");
    add(bkObject, 40, 7, "Apple (7)");
    add(bkLight, 50, 0, "Guard light");
    add(bkObject, 60, 9, "Zombie (9)");
    add(bkRoom, 70, 0, "Gunroom");
    return items;
}

QStringList Entries(const QListWidget* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->item(i)->text();
    return result;
}

int SelectedRow(const QListWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.constFirst());
}

// Shows the dialog as the user sees it, with the keyboard focus in its window.
bool ShowActive(QDialog& d) {
    d.show();
    d.activateWindow();
    return QTest::qWaitForWindowActive(&d);
}

// The object name of the widget with the keyboard focus.
QString FocusName() {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString("<none>");
}

TFrmSearch& Search(QDialog& d) { return static_cast<TFrmSearch&>(d); }

} // namespace

class TestSearchDialog : public QObject {
    Q_OBJECT
private slots:
    void offersOnlyObjectsSortedByName();
    void typingListsMatchingNamesAndPreselectsFirst();
    void typingIgnoresLetterCaseOfAccentedLetters();
    void beginningsFirstThenNamesContainingTheText_data();
    void beginningsFirstThenNamesContainingTheText();
    void enterInTextAcceptsSelectedEntry();
    void enterInTextWithoutSelectionTakesFirstEntry();
    void downArrowMovesToListAndSelectsSecondEntry();
    void downArrowWithOneEntryKeepsIt();
    void upArrowAtTopOfListReturnsToText();
    void enterAndDownWithoutEntriesBeepAndStayOpen();
    void enterInListAcceptsSelectedEntry();
    void doubleClickAcceptsEntry();
    void okWithoutSelectionBeepsAndStaysOpen();
    void okAcceptsSelectedEntry();
    void escapeGivesZero();
    void cancelGivesZero();
    void captionNamesTheDialog();
};

void TestSearchDialog::offersOnlyObjectsSortedByName() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    QStringList entries;
    prompts.Dialogs.push_back([&](QDialog& d) {
        entries = Entries(Search(d).ListBox);
        return int(QDialog::Rejected);
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 0);
    QCOMPARE(entries, QStringList({"Apple (7)", "Guard (345)", "guard post (12)", "Zombie (9)"}));
}

void TestSearchDialog::typingListsMatchingNamesAndPreselectsFirst() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    QStringList entries;
    int selected = -2;
    prompts.Dialogs.push_back([&](QDialog& d) {
        QTest::keyClicks(Search(d).EdText, "gu");
        entries = Entries(Search(d).ListBox);
        selected = SelectedRow(Search(d).ListBox);
        return int(QDialog::Rejected);
    });

    SearchObject(nullptr, prompts, items);
    QCOMPARE(entries, QStringList({"Guard (345)", "guard post (12)"}));
    QCOMPARE(selected, 0);
}

void TestSearchDialog::typingIgnoresLetterCaseOfAccentedLetters() {
    TScriptedPrompts prompts;
    TFavoriteList items;
    items.push_back(std::make_unique<TBrushInfo>(TBrushInfo{bkObject, 8, 80, "\xC9glise (80)"}));
    items.push_back(std::make_unique<TBrushInfo>(TBrushInfo{bkObject, 9, 90, "Eagle (90)"}));
    QStringList entries;
    prompts.Dialogs.push_back([&](QDialog& d) {
        Search(d).EdText->setText(QString::fromUtf8("\u00E9g"));
        entries = Entries(Search(d).ListBox);
        return int(QDialog::Rejected);
    });

    SearchObject(nullptr, prompts, items);
    QCOMPARE(entries, QStringList({QString::fromUtf8("\u00C9glise (80)")}));
}

void TestSearchDialog::beginningsFirstThenNamesContainingTheText_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    const QStringList burricks = {"A babyburrick (7)", "Guard (345)", "babysitter (9)",
                                  "A BabyBurrick (213)", "Baby Burrick (5)"};
    QTest::newRow("archetype names") << burricks << "baby"
                                     << QStringList{"Baby Burrick (5)", "babysitter (9)",
                                                    "A BabyBurrick (213)", "A babyburrick (7)"};
    QTest::newRow("inside the number")
        << burricks << "rick (2" << QStringList{"A BabyBurrick (213)"};
    QTest::newRow("nothing typed")
        << burricks << ""
        << QStringList{"A BabyBurrick (213)", "A babyburrick (7)", "Baby Burrick (5)",
                       "babysitter (9)", "Guard (345)"};
    QTest::newRow("hyphen only breaks ties")
        << QStringList{"Brass coin (8)", "Co-op chest (3)", "Coop (4)"} << "co"
        << QStringList{"Coop (4)", "Co-op chest (3)", "Brass coin (8)"};
    QTest::newRow("no match") << burricks << "zz" << QStringList{};
}

void TestSearchDialog::beginningsFirstThenNamesContainingTheText() {
    QFETCH(QStringList, names);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    TScriptedPrompts prompts;
    TFavoriteList items;
    std::int32_t brush = 1;
    for (const QString& name : names) {
        items.push_back(
            std::make_unique<TBrushInfo>(TBrushInfo{bkObject, brush, brush, name.toStdString()}));
        ++brush;
    }
    QStringList entries;
    int selected = -2;
    prompts.Dialogs.push_back([&](QDialog& d) {
        QTest::keyClicks(Search(d).EdText, typed);
        entries = Entries(Search(d).ListBox);
        selected = SelectedRow(Search(d).ListBox);
        return int(QDialog::Rejected);
    });

    SearchObject(nullptr, prompts, items);
    QCOMPARE(entries, expected);
    QCOMPARE(selected, expected.isEmpty() ? -1 : 0);
}

void TestSearchDialog::enterInTextAcceptsSelectedEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        QTest::keyClicks(Search(d).EdText, "gu");
        QTest::keyClick(Search(d).EdText, Qt::Key_Return);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 30);
    QCOMPARE(prompts.Beeps, 0);
}

void TestSearchDialog::enterInTextWithoutSelectionTakesFirstEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        QTest::keyClicks(Search(d).EdText, "z");
        Search(d).ListBox->clearSelection();
        QTest::keyClick(Search(d).EdText, Qt::Key_Enter);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 60);
}

void TestSearchDialog::downArrowMovesToListAndSelectsSecondEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    bool active = false;
    QString focus;
    int selected = -2;
    prompts.Dialogs.push_back([&](QDialog& d) {
        active = ShowActive(d);
        QTest::keyClicks(Search(d).EdText, "gu");
        QTest::keyClick(Search(d).EdText, Qt::Key_Down);
        focus = FocusName();
        selected = SelectedRow(Search(d).ListBox);
        return int(QDialog::Rejected);
    });

    SearchObject(nullptr, prompts, items);
    QVERIFY(active);
    QCOMPARE(focus, QString("ListBox"));
    QCOMPARE(selected, 1);
    QCOMPARE(prompts.Beeps, 0);
}

void TestSearchDialog::downArrowWithOneEntryKeepsIt() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    QString focus;
    int selected = -2;
    prompts.Dialogs.push_back([&](QDialog& d) {
        ShowActive(d);
        QTest::keyClicks(Search(d).EdText, "apple");
        QTest::keyClick(Search(d).EdText, Qt::Key_Down);
        focus = FocusName();
        selected = SelectedRow(Search(d).ListBox);
        QTest::keyClick(Search(d).ListBox, Qt::Key_Return);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 40);
    QCOMPARE(focus, QString("ListBox"));
    QCOMPARE(selected, 0);
}

void TestSearchDialog::upArrowAtTopOfListReturnsToText() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    QString focusAfterFirstUp;
    int selectedAfterFirstUp = -2;
    QString focusAfterSecondUp;
    prompts.Dialogs.push_back([&](QDialog& d) {
        ShowActive(d);
        QTest::keyClick(Search(d).EdText, Qt::Key_Down); // second entry of four
        QTest::keyClick(Search(d).ListBox, Qt::Key_Up);  // an ordinary move to the first
        focusAfterFirstUp = FocusName();
        selectedAfterFirstUp = SelectedRow(Search(d).ListBox);
        QTest::keyClick(Search(d).ListBox, Qt::Key_Up); // at the top: back to the text
        focusAfterSecondUp = FocusName();
        return int(QDialog::Rejected);
    });

    SearchObject(nullptr, prompts, items);
    QCOMPARE(focusAfterFirstUp, QString("ListBox"));
    QCOMPARE(selectedAfterFirstUp, 0);
    QCOMPARE(focusAfterSecondUp, QString("EdText"));
}

void TestSearchDialog::enterAndDownWithoutEntriesBeepAndStayOpen() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    int beepsAfterEnter = -1;
    bool openAfterEnter = false;
    bool openAfterDown = false;
    QString focus;
    prompts.Dialogs.push_back([&](QDialog& d) {
        ShowActive(d);
        QTest::keyClicks(Search(d).EdText, "x");
        QTest::keyClick(Search(d).EdText, Qt::Key_Return);
        beepsAfterEnter = prompts.Beeps;
        openAfterEnter = d.isVisible();
        QTest::keyClick(Search(d).EdText, Qt::Key_Down);
        openAfterDown = d.isVisible();
        focus = FocusName();
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 0);
    QCOMPARE(beepsAfterEnter, 1);
    QCOMPARE(prompts.Beeps, 2);
    QVERIFY(openAfterEnter);
    QVERIFY(openAfterDown);
    QCOMPARE(focus, QString("EdText"));
}

void TestSearchDialog::enterInListAcceptsSelectedEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        ShowActive(d);
        QTest::keyClicks(Search(d).EdText, "gu");
        QTest::keyClick(Search(d).EdText, Qt::Key_Down);
        QTest::keyClick(Search(d).ListBox, Qt::Key_Return);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 20);
}

void TestSearchDialog::doubleClickAcceptsEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        ShowActive(d);
        QListWidget* list = Search(d).ListBox;
        list->doItemsLayout(); // item positions are otherwise laid out on the next event round
        const QPoint zombie = list->visualItemRect(list->item(3)).center();
        // A double click reaches a widget as a click followed by the double-click event.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, zombie);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, zombie);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 60);
}

void TestSearchDialog::okWithoutSelectionBeepsAndStaysOpen() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    bool open = false;
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        Search(d).ListBox->clearSelection();
        QTest::mouseClick(Search(d).BtOk, Qt::LeftButton);
        open = d.isVisible();
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 0);
    QVERIFY(open);
    QCOMPARE(prompts.Beeps, 1);
}

void TestSearchDialog::okAcceptsSelectedEntry() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        Search(d).ListBox->setCurrentRow(2);
        QTest::mouseClick(Search(d).BtOk, Qt::LeftButton);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 20);
}

void TestSearchDialog::escapeGivesZero() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    bool open = true;
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        QTest::keyClicks(Search(d).EdText, "gu");
        QTest::keyClick(Search(d).EdText, Qt::Key_Escape);
        open = d.isVisible();
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 0);
    QVERIFY(!open);
}

void TestSearchDialog::cancelGivesZero() {
    TScriptedPrompts prompts;
    const TFavoriteList items = SampleFavorites();
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        QTest::mouseClick(Search(d).BtCancel, Qt::LeftButton);
        return d.result();
    });

    QCOMPARE(SearchObject(nullptr, prompts, items), 0);
}

void TestSearchDialog::captionNamesTheDialog() {
    TScriptedPrompts prompts;
    TFrmSearch dialog(nullptr, prompts);
    QCOMPARE(dialog.windowTitle(), QString("Search object"));
    QCOMPARE(dialog.BtOk->text(), QString("Ok"));
    QCOMPARE(dialog.BtCancel->text(), QString("Cancel"));
}

QTEST_MAIN(TestSearchDialog)
#include "tst_SearchDialog.moc"
