// The focus mark: every kind of control the windows use shows plainly which
// one has the keyboard focus, and the mark follows the focus.

#include "widgets/datagrid.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/focusmarks.h"
#include "widgets/skinbutton.h"

#include <QDateEdit>
#include <QStandardItemModel>
#include <QtTest>

#include <functional>

namespace {

using Make = std::function<QWidget *(QWidget *)>;

// Pixels of the 2-pixel band round the control that changed by 30 % or more.
int markedShare(const QImage &before, const QImage &after)
{
    int changed = 0;
    int band = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const bool inBand = x < 2 || y < 2 || x >= before.width() - 2 || y >= before.height() - 2;
            if (!inBand)
                continue;
            ++band;
            const QColor a = before.pixelColor(x, y);
            const QColor b = after.pixelColor(x, y);
            const int change = qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
            changed += change >= 255 * 30 / 100;
        }
    }
    return band ? changed * 100 / band : 0;
}

} // namespace

class TestFocusMark : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { new FocusMarks(this); }
    void everyControlShowsTheFocus_data();
    void everyControlShowsTheFocus();
};

void TestFocusMark::everyControlShowsTheFocus_data()
{
    QTest::addColumn<Make>("make");
    QTest::newRow("edit") << Make([](QWidget *p) { return new FlatEdit(p); });
    QTest::newRow("product box") << Make([](QWidget *p) {
        auto *box = new FlatComboBox(p);
        box->setEditable(true);
        return box;
    });
    QTest::newRow("memo") << Make([](QWidget *p) { return new FlatMemo(p); });
    QTest::newRow("grid") << Make([](QWidget *p) {
        auto *grid = new DataGrid(p);
        auto *model = new QStandardItemModel(3, 2, grid);
        grid->setModel(model);
        return grid;
    });
    QTest::newRow("button") << Make([](QWidget *p) { return new SkinButton(QStringLiteral("保存"), p); });
    QTest::newRow("date box") << Make([](QWidget *p) { return new QDateEdit(p); });
    // The check box draws its own dotted frame beside its box: only that one.
    QTest::newRow("check box") << Make([](QWidget *p) { return new FlatCheckBox(QStringLiteral("打印2份小票"), p); });
}

void TestFocusMark::everyControlShowsTheFocus()
{
    QFETCH(Make, make);
    QWidget window;
    QPalette p = window.palette();
    p.setColor(QPalette::Window, QColor(0xC1, 0xD7, 0xFD));
    window.setPalette(p);
    window.setAutoFillBackground(true);
    window.resize(320, 200);
    auto *elsewhere = new FlatEdit(&window);
    elsewhere->setGeometry(10, 160, 80, 24);
    QWidget *control = make(&window);
    control->setGeometry(40, 40, 160, 80);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    const QRect ring = control->geometry().adjusted(-2, -2, 2, 2);
    elsewhere->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage unfocused = window.grab(ring).toImage();
    control->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage focused = window.grab(ring).toImage();
    const bool ownMark = control->property("marksOwnFocus").toBool();
    if (ownMark)
        QCOMPARE(markedShare(unfocused, focused), 0);   // no second frame over its own
    else
        QVERIFY2(markedShare(unfocused, focused) >= 90,
                 qPrintable(QStringLiteral("%1 % of the band changed").arg(markedShare(unfocused, focused))));

    // The mark goes with the focus: back to the other box, the band is as before.
    elsewhere->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QCOMPARE(markedShare(unfocused, window.grab(ring).toImage()), 0);
}

QTEST_MAIN(TestFocusMark)
#include "tst_focusmark.moc"
