// The drop-down with CustomItemButton rows: which row is marked, and what a click on a row does.

#include "shell/Fonts.h"
#include "widgets/CustomItemButton.h"
#include "widgets/StatefulComboBox.h"
#include "widgets/VScrollBar.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

namespace {

QList<bool> marks(const StatefulComboBox& combo)
{
    QList<bool> selected;
    for (int row = 0; row < combo.count(); ++row)
        selected << (combo.rowButton(row) != nullptr && combo.rowButton(row)->isSelected());
    return selected;
}

void addThreeRows(StatefulComboBox& combo)
{
    for (const char* text : {"English", "简体中文", "日本語"})
        combo.addRow(QString::fromUtf8(text));
}

} // namespace

class TestStatefulComboBox final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerFonts(); }

    void popupListIsModelAndView()
    {
        StatefulComboBox combo;
        addThreeRows(combo);
        QCOMPARE(combo.count(), 3);
        QCOMPARE(combo.view(), combo.popupList());
        QCOMPARE(combo.model(), combo.popupList()->model());
        QCOMPARE(combo.itemText(1), QString::fromUtf8("简体中文"));
        QVERIFY(qobject_cast<VScrollBar*>(combo.popupList()->verticalScrollBar()) != nullptr);
        QCOMPARE(combo.popupList()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(combo.popupList()->frameShape(), QFrame::NoFrame);
        QCOMPARE(combo.rowButton(2)->text(), QString::fromUtf8("日本語"));
        QCOMPARE(combo.rowButton(3), nullptr);
    }

    void setCurrentRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<bool>>("expected");
        QTest::newRow("first") << 0 << QList<bool>{true, false, false};
        QTest::newRow("second") << 1 << QList<bool>{false, true, false};
        QTest::newRow("last") << 2 << QList<bool>{false, false, true};
        QTest::newRow("none (-1)") << -1 << QList<bool>{false, false, false};
    }

    void setCurrentRow()
    {
        QFETCH(int, row);
        QFETCH(QList<bool>, expected);

        StatefulComboBox combo;
        addThreeRows(combo);
        combo.setCurrentRow(2);
        combo.setCurrentRow(row);
        QCOMPARE(combo.currentIndex(), row);
        QCOMPARE(marks(combo), expected);
    }

    void clickingRowSelectsItAndClosesPopup()
    {
        StatefulComboBox combo;
        addThreeRows(combo);
        combo.setCurrentRow(0);
        combo.resize(200, 36);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));

        QSignalSpy changed(&combo, QOverload<int>::of(&QComboBox::currentIndexChanged));
        combo.showPopup();
        QTRY_VERIFY(combo.popupList()->isVisible());
        CustomItemButton* second = combo.rowButton(1);
        QVERIFY(second->isVisible());
        QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, second->rect().center());

        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 1);
        QCOMPARE(marks(combo), (QList<bool>{false, true, false}));
        QTRY_VERIFY(!combo.popupList()->isVisible());

        // Choosing the row that is already current changes nothing.
        combo.showPopup();
        QTRY_VERIFY(combo.popupList()->isVisible());
        QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, second->rect().center());
        QCOMPARE(changed.count(), 1);
        QTRY_VERIFY(!combo.popupList()->isVisible());
    }

    // The wheel or the arrow keys change the closed combo's index without setCurrentRow; the popup
    // must still mark the row that is current.
    void popupMarksIndexChangedWhileClosed()
    {
        StatefulComboBox combo;
        addThreeRows(combo);
        combo.setCurrentRow(0);
        combo.resize(200, 36);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(combo.currentIndex(), 1);

        combo.showPopup();
        QCOMPARE(marks(combo), (QList<bool>{false, true, false}));
        combo.hidePopup();
    }
};

QTEST_MAIN(TestStatefulComboBox)
#include "TestStatefulComboBox.moc"
