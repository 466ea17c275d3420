// The flat combo box: border, rings and arrow button, the arrow's flip while
// the list is open, the inner field's place, and the signals the cashier
// screen relies on.

#include "widgets/flatcombobox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor kColor(255, 255, 255);
const QColor kArrow(0, 0, 0);
const QColor kArrowBackground(217, 214, 197);
const QColor kBorder(160, 150, 131);
const QPoint kArrowCentre(233 - 7, 16);

struct Host
{
    Host()
    {
        window.resize(300, 80);
        combo = new FlatComboBox(&window);
        combo->setGeometry(10, 10, 233, 32);
        QFont font;
        font.setPixelSize(19);
        combo->setFont(font);
        combo->setColor(kColor);
        combo->setItems({QStringLiteral("apple"), QStringLiteral("pear"), QStringLiteral("plum")});
        other = new QWidget(&window);
        other->setGeometry(250, 50, 20, 20);
        other->setFocusPolicy(Qt::StrongFocus);
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QWidget window;
    FlatComboBox *combo;
    QWidget *other;
};

// The small triangle: rows of 5, 3 and 1 pixels from base to tip; the base
// is below the tip while the list is open.
void verifyTriangle(const QImage &image, bool up, const QColor &color)
{
    const QPoint c = kArrowCentre;
    const int base = up ? c.y() + 1 : c.y() - 1;
    const int tip = up ? c.y() - 1 : c.y() + 1;
    for (int dx = -3; dx <= 3; ++dx) {
        QCOMPARE(image.pixelColor(c.x() + dx, base) == color, qAbs(dx) <= 2);
        QCOMPARE(image.pixelColor(c.x() + dx, c.y()) == color, qAbs(dx) <= 1);
        QCOMPARE(image.pixelColor(c.x() + dx, tip) == color, dx == 0);
    }
    QVERIFY(image.pixelColor(c.x(), 2 * tip - c.y()) != color);
}

} // namespace

class TestComboBox : public QObject
{
    Q_OBJECT

private slots:
    void flatFace();
    void arrowFlipsWhileTheListIsOpen();
    void disabledArrowIsEmbossed();
    void fieldNeverCoversTheButton();
    void fontChangeResetsItemHeight();
    void enterIsAnnouncedButNotHandled();
    void onlyTheListChoosesAnEntry();
    void hundredThousandEntries();
    void refreshedListKeepsTheSelection();
};

void TestComboBox::flatFace()
{
    Host host;
    QVERIFY(host.show());
    const QImage image = host.combo->grab().toImage();
    // Border, then two rings in the box's colour, up to the button at x = 220.
    for (int y = 1; y < 31; ++y) {
        QCOMPARE(image.pixelColor(0, y), kBorder);
        QCOMPARE(image.pixelColor(1, y), kColor);
        QCOMPARE(image.pixelColor(219, y), kColor);
    }
    for (int x = 0; x <= 220; ++x) {
        QCOMPARE(image.pixelColor(x, 0), kBorder);
        QCOMPARE(image.pixelColor(x, 31), kBorder);
        QCOMPARE(image.pixelColor(x, 1) == kColor, x >= 1 && x <= 219);
    }
    // The 13-pixel button, outlined, filled, the triangle pointing down.
    for (int y = 0; y < 32; ++y)
        QVERIFY(image.pixelColor(220, y) == kBorder && image.pixelColor(232, y) == kBorder);
    QCOMPARE(image.pixelColor(221, 1), kArrowBackground);
    QCOMPARE(image.pixelColor(231, 30), kArrowBackground);
    verifyTriangle(image, false, kArrow);
    QCOMPARE(host.combo->arrowButtonRect(), QRect(220, 0, 13, 32));
}

void TestComboBox::arrowFlipsWhileTheListIsOpen()
{
    Host host;
    QVERIFY(host.show());
    // A click on the narrow button opens the list.
    QTest::mouseClick(host.combo, Qt::LeftButton, {}, kArrowCentre);
    QTRY_VERIFY(host.combo->view()->isVisible());
    verifyTriangle(host.combo->grab().toImage(), true, kArrow);
    QCOMPARE(host.combo->view()->palette().color(QPalette::Base), kColor);

    host.combo->hidePopup();
    QTRY_VERIFY(!host.combo->isListOpen());
    verifyTriangle(host.combo->grab().toImage(), false, kArrow);

    // The list closing by itself (a click elsewhere) turns the arrow back too.
    host.combo->showPopup();
    QTRY_VERIFY(host.combo->isListOpen());
    host.combo->view()->window()->hide();
    QVERIFY(!host.combo->isListOpen());
}

void TestComboBox::disabledArrowIsEmbossed()
{
    Host host;
    host.combo->setEnabled(false);
    QVERIFY(host.show());
    const QImage image = host.combo->grab().toImage();
    verifyTriangle(image, false, QColor(128, 128, 128));
    // The white copy, one pixel right and down, shows where the gray one leaves it.
    QCOMPARE(image.pixelColor(kArrowCentre + QPoint(3, 0)), QColor(Qt::white));
    QCOMPARE(image.pixelColor(kArrowCentre + QPoint(1, 2)), QColor(Qt::white));
    QCOMPARE(image.pixelColor(0, 5), kBorder);
}

void TestComboBox::fieldNeverCoversTheButton()
{
    Host host;
    QVERIFY(host.show());
    for (const QSize size : {QSize(233, 32), QSize(120, 24)}) {
        host.combo->resize(size);
        const QRect field = host.combo->lineEdit()->geometry();
        QCOMPARE(field, QRect(3, 3, size.width() - 11 - 8, size.height() - 6));
        QVERIFY(field.right() < host.combo->arrowButtonRect().left());
    }
}

void TestComboBox::fontChangeResetsItemHeight()
{
    Host host;
    host.combo->setEditText(QStringLiteral("typed"));
    host.combo->setItemHeight(24);
    QCOMPARE(host.combo->view()->sizeHintForRow(0), 24);
    QFont font;
    font.setPixelSize(9);
    host.combo->setFont(font);
    QCOMPARE(host.combo->itemHeight(), 13);
    QVERIFY(host.combo->view()->sizeHintForRow(0) < 24);
    QCOMPARE(host.combo->count(), 3);
    QCOMPARE(host.combo->currentText(), QStringLiteral("typed"));
}

void TestComboBox::enterIsAnnouncedButNotHandled()
{
    Host host;
    QVERIFY(host.show());
    host.combo->setFocus();
    QSignalSpy keys(host.combo, &FlatComboBox::keyDown);
    QSignalSpy chosen(host.combo, &FlatComboBox::selectionChanged);

    QTest::keyClicks(host.combo, "pear");
    QTest::keyClick(host.combo, Qt::Key_Return);
    QTest::keyClick(host.combo, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(keys.count(), 6);
    QCOMPARE(keys.at(4).first().toInt(), int(Qt::Key_Return));
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(host.combo->currentIndex(), -1);
    QCOMPARE(host.combo->currentText(), QStringLiteral("pear"));
    QCOMPARE(host.combo->count(), 3);   // nothing typed is added
}

void TestComboBox::onlyTheListChoosesAnEntry()
{
    Host host;
    QVERIFY(host.show());
    host.combo->setFocus();
    QStringList chosen;
    connect(host.combo, &FlatComboBox::selectionChanged, host.combo,
            [&] { chosen << host.combo->currentText(); });

    // Leaving the box with an entry's text typed in is no choice.
    QTest::keyClicks(host.combo, "apple");
    host.other->setFocus();
    QVERIFY(chosen.isEmpty());

    // Arrow keys choose; the entry is in the text when the signal comes.
    host.combo->setFocus();
    host.combo->setCurrentIndex(0);
    QTest::keyClick(host.combo, Qt::Key_Down);
    QTest::keyClick(host.combo, Qt::Key_Down);
    QTest::keyClick(host.combo, Qt::Key_Up);
    QCOMPARE(chosen, (QStringList{QStringLiteral("pear"), QStringLiteral("plum"), QStringLiteral("pear")}));

    // So does a click on an entry of the open list.
    host.combo->showPopup();
    QAbstractItemView *list = host.combo->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QTRY_COMPARE(chosen.size(), 4);
    QCOMPARE(chosen.last(), QStringLiteral("apple"));
}

void TestComboBox::hundredThousandEntries()
{
    Host host;
    QVERIFY(host.show());
    host.combo->setEditText(QStringLiteral("typed"));
    QStringList names;
    for (int i = 0; i < 100000; ++i)
        names << QStringLiteral("商品%1").arg(i);
    host.combo->setItems(names);
    QCOMPARE(host.combo->count(), 100000);
    QCOMPARE(host.combo->items(), names);
    QCOMPARE(host.combo->currentIndex(), -1);
    QCOMPARE(host.combo->currentText(), QStringLiteral("typed"));
    host.combo->showPopup();
    QTRY_VERIFY(host.combo->view()->isVisible());
    host.combo->hidePopup();

    host.combo->clearAll();
    QCOMPARE(host.combo->count(), 0);
    QCOMPARE(host.combo->currentText(), QString());
}

// A list refreshed while a failed scan's code is selected: the next scan
// replaces that code instead of running on after it.
void TestComboBox::refreshedListKeepsTheSelection()
{
    Host host;
    QVERIFY(host.show());
    host.combo->setFocus();
    QTest::keyClicks(host.combo, QStringLiteral("6920459950180"));
    host.combo->lineEdit()->selectAll();
    host.combo->setItems({QStringLiteral("pear"), QStringLiteral("quince")});
    QTest::keyClicks(host.combo, QStringLiteral("6902538004045"));
    QCOMPARE(host.combo->currentText(), QStringLiteral("6902538004045"));

    // Typing in the middle goes on where the cursor was.
    host.combo->lineEdit()->setCursorPosition(4);
    host.combo->setItems({QStringLiteral("apple")});
    QTest::keyClicks(host.combo, QStringLiteral("X"));
    QCOMPARE(host.combo->currentText(), QStringLiteral("6902X538004045"));
}

QTEST_MAIN(TestComboBox)
#include "tst_combobox.moc"
