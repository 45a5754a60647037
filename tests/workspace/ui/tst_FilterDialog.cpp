// The display filter dialog: what it shows for a filter and what Ok and Cancel leave behind.
#include "items/DisplayFilter.h"
#include "support/ScriptedPrompts.h"
#include "workspace/ui/FilterDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

using namespace kv;
using kv::test::TScriptedPrompts;

namespace {

const char* const kBoxNames[] = {"CbTerrain", "CbLight", "CbArea", "CbObject", "CbFlow", "CbRoom"};

QCheckBox* Box(QDialog& d, const char* name) { return d.findChild<QCheckBox*>(name); }

// Which boxes are ticked, by object name.
std::map<QString, bool> Ticks(QDialog& d) {
    std::map<QString, bool> result;
    for (const char* name : kBoxNames)
        if (QCheckBox* b = Box(d, name)) result[name] = b->isChecked();
    return result;
}

} // namespace

class TestFilterDialog : public QObject {
    Q_OBJECT
private slots:
    void showsCaptionBoxesAndNameOfTheFilter();
    void boxesCarryTheirLabelsInTwoColumns();
    void okStoresTickedKindsAndName();
    void enterInTheNameBoxConfirms();
    void cancelChangesNothing();
    void escapeChangesNothing();
    void clearingEveryBoxGivesNoKinds();
    void okDropsKindsWithoutABox();
    void nameKeepsAccentedLetters();
};

void TestFilterDialog::showsCaptionBoxesAndNameOfTheFilter() {
    TScriptedPrompts prompts;
    TDisplayFilter filter{static_cast<TKindSet>(KindBit(bkLight) | KindBit(bkFlow)), "door"};
    QString caption;
    std::map<QString, bool> ticks;
    QString name;
    prompts.Dialogs.push_back([&](QDialog& d) {
        caption = d.windowTitle();
        ticks = Ticks(d);
        name = d.findChild<QLineEdit*>("EdNameFilter")->text();
        return int(QDialog::Rejected);
    });

    QVERIFY(!ShowFilterDialog(nullptr, prompts, filter, "Display..."));

    QCOMPARE(caption, QString("Display..."));
    const std::map<QString, bool> expected{{"CbTerrain", false}, {"CbLight", true},
                                           {"CbArea", false},    {"CbObject", false},
                                           {"CbFlow", true},     {"CbRoom", false}};
    QCOMPARE(ticks, expected);
    QCOMPARE(name, QString("door"));
}

void TestFilterDialog::boxesCarryTheirLabelsInTwoColumns() {
    TFrmDisplayFilter dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const char* const texts[] = {"&Terrain", "&Light", "&Area", "&Object", "&Flow", "&Room"};
    const TBrushKind kinds[] = {bkTerrain, bkLight, bkArea, bkObject, bkFlow, bkRoom};
    for (int i = 0; i < 6; ++i) {
        QCheckBox* box = Box(dialog, kBoxNames[i]);
        QVERIFY2(box, kBoxNames[i]);
        QCOMPARE(box->text(), QString(texts[i]));
        QCOMPARE(dialog.KindBox(kinds[i]), box);
    }
    // Terrain, Light and Area stand in the left column, above one another.
    QCOMPARE(Box(dialog, "CbLight")->x(), Box(dialog, "CbTerrain")->x());
    QVERIFY(Box(dialog, "CbLight")->y() > Box(dialog, "CbTerrain")->y());
    QVERIFY(Box(dialog, "CbObject")->x() > Box(dialog, "CbTerrain")->x());
    QCOMPARE(Box(dialog, "CbObject")->y(), Box(dialog, "CbTerrain")->y());
    QCOMPARE(dialog.BtOk->text(), QString("Ok"));
    QVERIFY(dialog.BtOk->isDefault());
    QCOMPARE(dialog.BtCancel->text(), QString("Cancel"));
}

void TestFilterDialog::okStoresTickedKindsAndName() {
    TScriptedPrompts prompts;
    TDisplayFilter filter; // every kind, no name
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        Box(d, "CbTerrain")->click();
        Box(d, "CbArea")->click();
        QTest::keyClicks(d.findChild<QLineEdit*>("EdNameFilter"), "lever");
        QTest::mouseClick(d.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
        return d.result();
    });

    QVERIFY(ShowFilterDialog(nullptr, prompts, filter, "Import..."));

    const TKindSet expected =
        KindBit(bkLight) | KindBit(bkObject) | KindBit(bkFlow) | KindBit(bkRoom);
    QCOMPARE(int(filter.Kinds), int(expected));
    QCOMPARE(filter.NameFilter, std::string("lever"));
}

void TestFilterDialog::enterInTheNameBoxConfirms() {
    TScriptedPrompts prompts;
    TDisplayFilter filter;
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        auto* edit = d.findChild<QLineEdit*>("EdNameFilter");
        QTest::keyClicks(edit, "key");
        QTest::keyClick(edit, Qt::Key_Return);
        return d.result();
    });

    QVERIFY(ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QCOMPARE(filter.NameFilter, std::string("key"));
}

void TestFilterDialog::cancelChangesNothing() {
    TScriptedPrompts prompts;
    const TDisplayFilter before{static_cast<TKindSet>(KindBit(bkObject)), "guard"};
    TDisplayFilter filter = before;
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        Box(d, "CbRoom")->click();
        Box(d, "CbObject")->click();
        d.findChild<QLineEdit*>("EdNameFilter")->setText("something else");
        QTest::mouseClick(d.findChild<QPushButton*>("BtCancel"), Qt::LeftButton);
        return d.result();
    });

    QVERIFY(!ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QCOMPARE(filter, before);
}

void TestFilterDialog::escapeChangesNothing() {
    TScriptedPrompts prompts;
    const TDisplayFilter before;
    TDisplayFilter filter = before;
    bool wasOpen = true;
    prompts.Dialogs.push_back([&](QDialog& d) {
        d.show();
        Box(d, "CbLight")->click();
        QTest::keyClick(d.findChild<QLineEdit*>("EdNameFilter"), Qt::Key_Escape);
        wasOpen = d.isVisible();
        return d.result();
    });

    QVERIFY(!ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QVERIFY(!wasOpen);
    QCOMPARE(filter, before);
}

void TestFilterDialog::clearingEveryBoxGivesNoKinds() {
    TScriptedPrompts prompts;
    TDisplayFilter filter;
    prompts.Dialogs.push_back([&](QDialog& d) {
        for (const char* name : kBoxNames) Box(d, name)->setChecked(false);
        QTest::mouseClick(d.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
        return d.result();
    });

    QVERIFY(ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QCOMPARE(int(filter.Kinds), 0);
    QCOMPARE(FilterLabelText(filter), std::string("Filter: , hide TLAOFR"));
}

void TestFilterDialog::okDropsKindsWithoutABox() {
    // Bits 0 and 7 have no box; confirming keeps only what the boxes show.
    TScriptedPrompts prompts;
    TDisplayFilter filter{0xFF, ""};
    prompts.Dialogs.push_back([&](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
        return d.result();
    });

    QVERIFY(ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QCOMPARE(int(filter.Kinds), int(kAllKinds));
}

void TestFilterDialog::nameKeepsAccentedLetters() {
    TScriptedPrompts prompts;
    TDisplayFilter filter{kAllKinds, "T\xFCr"}; // "Tür" in Windows-1252
    QString shown;
    prompts.Dialogs.push_back([&](QDialog& d) {
        shown = d.findChild<QLineEdit*>("EdNameFilter")->text();
        d.findChild<QLineEdit*>("EdNameFilter")->setText(QString::fromUtf8("Schl\u00FCssel"));
        QTest::mouseClick(d.findChild<QPushButton*>("BtOk"), Qt::LeftButton);
        return d.result();
    });

    QVERIFY(ShowFilterDialog(nullptr, prompts, filter, "Display..."));
    QCOMPARE(shown, QString::fromUtf8("T\u00FCr"));
    QCOMPARE(filter.NameFilter, std::string("Schl\xFCssel"));
}

QTEST_MAIN(TestFilterDialog)
#include "tst_FilterDialog.moc"
