// The flat check box: its box and tick, caption, hit area, the checked
// setter's click, keys and the shared hover timer.

#include "widgets/flatcheckbox.h"
#include "timerticks.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor kHost(10, 20, 30);
const QColor kColor(255, 255, 255);
const QColor kFocused(250, 250, 200);
const QColor kDown(217, 214, 197);
const QColor kCheck(200, 0, 0);
const QColor kBorder(160, 150, 131);

// The tick's pixels, relative to the box's top-left corner.
const QList<QPoint> kTick = {{2, 4}, {3, 5}, {4, 6}, {5, 7}, {2, 5}, {3, 6}, {4, 7}, {2, 6}, {3, 7}, {4, 8},
                             {8, 2}, {7, 3}, {6, 4}, {5, 5}, {8, 3}, {7, 4}, {6, 5}, {5, 6}, {8, 4}, {7, 5},
                             {6, 6}};

struct Host
{
    Host()
    {
        QPalette p = window.palette();
        p.setColor(QPalette::Window, kHost);
        window.setPalette(p);
        window.setAutoFillBackground(true);
        window.resize(300, 120);
        other = new QWidget(&window);
        other->setGeometry(250, 80, 20, 20);
        other->setFocusPolicy(Qt::StrongFocus);
    }

    FlatCheckBox *box(const QRect &geometry, const QString &caption = QStringLiteral("Two copies"))
    {
        auto *b = new FlatCheckBox(caption, &window);
        b->setGeometry(geometry);
        b->setColor(kColor);
        b->setColorFocused(kFocused);
        b->setColorCheck(kCheck);
        return b;
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        pointerAway();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        other->setFocus();
        return true;
    }

    QImage shot(const QWidget *control) { return window.grab(control->geometry()).toImage(); }
    void pointerAway() { QTest::mouseMove(&window, QPoint(295, 115)); }

    QWidget window;
    QWidget *other;   // somewhere else for the focus to be
};

// The box's outline, and inside it the tick's pixels when checked, the fill elsewhere.
void verifyBox(const QImage &image, const QPoint &topLeft, const QColor &fill, bool checked)
{
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            const bool edge = x == 0 || y == 0 || x == 10 || y == 10;
            const QColor expected = edge ? kBorder : checked && kTick.contains(QPoint(x, y)) ? kCheck : fill;
            if (image.pixelColor(topLeft + QPoint(x, y)) != expected)
                QFAIL(qPrintable(QStringLiteral("box pixel (%1, %2) is %3, expected %4")
                                     .arg(x).arg(y).arg(image.pixelColor(topLeft + QPoint(x, y)).name(),
                                                        expected.name())));
        }
}

} // namespace

class TestCheckBox : public QObject
{
    Q_OBJECT

private slots:
    void boxAtTheTop_data();
    void boxAtTheTop();
    void fillFollowsFocusHoverAndPress();
    void focusIsMarkedPlainly();
    void checkedSetterClicksOnlyOnChange();
    void wholeControlIsTheHitArea_data();
    void wholeControlIsTheHitArea();
    void hoverClearsAfterLeavingButNotWhilePressed();
    void keys();
    void captionWraps();
};

void TestCheckBox::boxAtTheTop_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("transparent");

    QTest::newRow("left, unchecked") << int(FlatCheckBox::BoxSide::Left) << false << false;
    QTest::newRow("left, checked") << int(FlatCheckBox::BoxSide::Left) << true << false;
    QTest::newRow("right, checked, transparent") << int(FlatCheckBox::BoxSide::Right) << true << true;
}

void TestCheckBox::boxAtTheTop()
{
    QFETCH(int, layout);
    QFETCH(bool, checked);
    QFETCH(bool, transparent);

    Host host;
    // 30 pixels high, as "自动默认为1" on the cashier screen: the box is not centred.
    FlatCheckBox *box = host.box({20, 20, 101, 30}, QString());
    box->setBoxSide(FlatCheckBox::BoxSide(layout));
    box->setChecked(checked);
    box->setTransparent(transparent);
    QVERIFY(host.show());

    const QImage image = host.shot(box);
    const int left = layout == int(FlatCheckBox::BoxSide::Left) ? 1 : 101 - 12;
    verifyBox(image, QPoint(left, 3), kColor, checked);
    const QColor background = transparent ? kHost : kColor;
    QCOMPARE(image.pixelColor(left + 5, 2), background);
    QCOMPARE(image.pixelColor(left + 5, 14), background);
    QCOMPARE(image.pixelColor(left + 5, 25), background);
}

void TestCheckBox::fillFollowsFocusHoverAndPress()
{
    Host host;
    FlatCheckBox *box = host.box({20, 20, 113, 25});
    QVERIFY(host.show());
    verifyBox(host.shot(box), {1, 3}, kColor, false);
    box->setFocus();
    verifyBox(host.shot(box), {1, 3}, kFocused, false);
    host.other->setFocus();
    QTest::mouseMove(box, QPoint(50, 10));
    verifyBox(host.shot(box), {1, 3}, kFocused, false);
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(50, 10));
    QVERIFY(box->hasFocus());
    verifyBox(host.shot(box), {1, 3}, kDown, false);
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(50, 10));
    verifyBox(host.shot(box), {1, 3}, kFocused, true);
}

// After four Tabs the cashier must see which option Space changes: beside
// the box's tint, a mark round the caption whose pixels change plainly (by
// at least 30 % of the colour range), not a faint shade.
void TestCheckBox::focusIsMarkedPlainly()
{
    Host host;
    FlatCheckBox *box = host.box({20, 20, 121, 25});
    QVERIFY(host.show());
    const QImage before = host.shot(box);
    box->setFocus(Qt::TabFocusReason);
    const QImage focused = host.shot(box);
    int marked = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 14; x < before.width(); ++x) {   // beside the box
            const QColor a = before.pixelColor(x, y);
            const QColor b = focused.pixelColor(x, y);
            const int change =
                qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
            marked += change >= 255 * 30 / 100;
        }
    }
    QVERIFY2(marked >= 40, qPrintable(QString::number(marked)));
    host.other->setFocus();
    QCOMPARE(host.shot(box), before);
}

void TestCheckBox::checkedSetterClicksOnlyOnChange()
{
    FlatCheckBox box(QStringLiteral("auto"), nullptr);
    QSignalSpy clicked(&box, &QAbstractButton::clicked);
    box.setChecked(false);
    QCOMPARE(clicked.count(), 0);
    box.setChecked(true);
    box.setChecked(true);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.last().first().toBool(), true);
    box.setChecked(false);
    QCOMPARE(clicked.count(), 2);
}

void TestCheckBox::wholeControlIsTheHitArea_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::newRow("box") << QPoint(6, 8);
    QTest::newRow("caption") << QPoint(60, 8);
    QTest::newRow("below the box") << QPoint(3, 27);
    QTest::newRow("bottom-right corner") << QPoint(100, 29);
}

void TestCheckBox::wholeControlIsTheHitArea()
{
    QFETCH(QPoint, point);
    Host host;
    FlatCheckBox *box = host.box({20, 20, 101, 30});
    QVERIFY(host.show());
    QSignalSpy clicked(box, &QAbstractButton::clicked);

    QTest::mouseClick(box, Qt::LeftButton, {}, point);
    QVERIFY(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, {}, point);
    QVERIFY(!box->isChecked());
    QTest::mouseClick(box, Qt::RightButton, {}, point);   // other buttons do nothing
    QVERIFY(!box->isChecked());
    QCOMPARE(clicked.count(), 2);
}

void TestCheckBox::hoverClearsAfterLeavingButNotWhilePressed()
{
    Host host;
    FlatCheckBox *box = host.box({20, 20, 113, 25});
    FlatCheckBox *next = host.box({20, 60, 113, 25});
    QVERIFY(host.show());

    QTest::mouseMove(box, QPoint(30, 10));
    QVERIFY(box->isHovered());
    host.pointerAway();
    QTRY_VERIFY_WITH_TIMEOUT(!box->isHovered(), 1000);
    verifyBox(host.shot(box), {1, 3}, kColor, false);

    // Straight from one box onto the next: the first un-hovers at once.
    QTest::mouseMove(box, QPoint(30, 10));
    QTest::mouseMove(next, QPoint(30, 10));
    QVERIFY(!box->isHovered());

    // Held and dragged away: the hover stays while held; the release outside does not toggle.
    QTest::mouseMove(box, QPoint(10, 10));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(box, QPoint(200, 80));
    TimerTicks watchTicks(SharedHoverWatch::kIntervalMs);
    QCursor::setPos(host.window.mapToGlobal(QPoint(220, 100)));
    QTRY_VERIFY(watchTicks.count() >= 4);   // the watch has looked, and found the pointer away
    QVERIFY(box->isHovered());
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(200, 80));
    QVERIFY(!box->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(!box->isHovered(), 1000);
}

void TestCheckBox::keys()
{
    Host host;
    FlatCheckBox *box = host.box({20, 20, 113, 25}, QStringLiteral("&Print twice"));
    QVERIFY(host.show());

    // The accelerator takes the focus and toggles; Space toggles; other keys do not.
    QTest::keyClick(&host.window, Qt::Key_P, Qt::AltModifier);
    QVERIFY(box->hasFocus());
    QVERIFY(box->isChecked());
    QTest::keyClick(box, Qt::Key_Space);
    QTest::keyClick(box, Qt::Key_A);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!box->isChecked());
}

void TestCheckBox::captionWraps()
{
    Host host;
    FlatCheckBox *box = host.box({20, 20, 90, 40}, QStringLiteral("Wide Wide Wide Wide Wide Wide"));
    QFont font;
    font.setPixelSize(12);
    box->setFont(font);
    box->setFontColor(Qt::black);
    QVERIFY(host.show());

    const QImage image = host.shot(box);
    const int line = QFontMetrics(font).lineSpacing();
    QList<QRect> lines(2);
    for (int y = 1; y < 1 + 2 * line; ++y)
        for (int x = 0; x < 90; ++x)
            if (image.pixelColor(x, y) == QColor(Qt::black))
                lines[(y - 1) / line] |= QRect(x, y, 1, 1);
    // Two lines, both starting beside the box at x = 16 (fully covered pixels
    // begin a little inside a letter's edge), inside the right edge.
    QVERIFY(!lines[1].isEmpty());
    QVERIFY(lines[0].left() >= 16 && lines[0].left() <= 20);
    QCOMPARE(lines[1].left(), lines[0].left());
    QVERIFY(lines[0].right() <= 88);
}

QTEST_MAIN(TestCheckBox)
#include "tst_checkbox.moc"
