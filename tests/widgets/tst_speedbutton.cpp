// The flat speed button: its face in every state, press and release, group
// latching, glyph strips, the accelerator and the shared hover timer.

#include "widgets/flatspeedbutton.h"
#include "timerticks.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

using State = FlatSpeedButton::FaceState;

const QColor kHost(10, 20, 30);
const QColor kFace(15, 151, 4);
const QColor kFocused(81, 81, 255);
const QColor kDown(128, 128, 255);
const QColor kBorder(128, 128, 128);
const QColor kWhite(Qt::white);
const QColor kBlack(Qt::black);

// A shown, active window in a colour of its own, for the buttons to sit on.
struct Host
{
    Host()
    {
        QPalette p = window.palette();
        p.setColor(QPalette::Window, kHost);
        window.setPalette(p);
        window.setAutoFillBackground(true);
        window.resize(300, 120);
    }

    FlatSpeedButton *button(const QRect &geometry, const QString &caption = {})
    {
        auto *b = new FlatSpeedButton(caption, &window);
        b->setGeometry(geometry);
        b->setColors(kFace, kFocused, kDown, kBorder);
        return b;
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        // Start with the pointer away from every button: a move to where the
        // pointer already is would not be a move.
        pointerAway();
        return QTest::qWaitForWindowActive(&window);
    }

    // What the screen shows where the control lies, parent beneath included.
    QImage shot(const QWidget *control) { return window.grab(control->geometry()).toImage(); }
    void pointerAway() { QTest::mouseMove(&window, QPoint(295, 115)); }

    QWidget window;
};

// A one-pixel frame: top row and left column in one colour, right column and
// bottom row (corners included) in the other.
void verifyFrame(const QImage &image, const QColor &topLeft, const QColor &bottomRight)
{
    const int w = image.width();
    const int h = image.height();
    QCOMPARE(image.pixelColor(w / 2, 0), topLeft);
    QCOMPARE(image.pixelColor(0, h / 2), topLeft);
    QCOMPARE(image.pixelColor(w - 1, 0), bottomRight);
    QCOMPARE(image.pixelColor(w - 1, h / 2), bottomRight);
    QCOMPARE(image.pixelColor(0, h - 1), bottomRight);
}

} // namespace

class TestSpeedButton : public QObject
{
    Q_OBJECT

private slots:
    void faceAndFrame_data();
    void faceAndFrame();
    void pressAndRelease_data();
    void pressAndRelease();
    void groupLatching();
    void accelerator();
    void hoverClearsAfterLeavingButNotWhilePressed();
    void hoverMovesStraightToTheNextButton();
    void glyphImageCount_data();
    void glyphImageCount();
    void glyphImagePerState_data();
    void glyphImagePerState();
};

void TestSpeedButton::faceAndFrame_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QColor>("fill");   // invalid: the parent shows through
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");

    const QColor none;
    const struct { const char *name; int mode; QColor rest, hover, press; } modes[] = {
        {"none", int(FlatSpeedButton::Transparency::Never), kFace, kFocused, kDown},
        {"not focused", int(FlatSpeedButton::Transparency::UnlessHovered), none, kFocused, kDown},
        {"always", int(FlatSpeedButton::Transparency::Always), none, none, none},
    };
    for (const auto &m : modes) {
        QTest::addRow("%s at rest", m.name) << m.mode << "rest" << m.rest << kBorder << kBorder;
        QTest::addRow("%s hovered", m.name) << m.mode << "hover" << m.hover << kWhite << kBlack;
        QTest::addRow("%s pressed", m.name) << m.mode << "press" << m.press << kBlack << kWhite;
        QTest::addRow("%s disabled", m.name) << m.mode << "disabled" << m.rest << kBorder << kBorder;
    }
}

void TestSpeedButton::faceAndFrame()
{
    QFETCH(int, mode);
    QFETCH(QString, state);
    QFETCH(QColor, fill);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);

    Host host;
    FlatSpeedButton *button = host.button({20, 20, 30, 26});
    button->setTransparency(FlatSpeedButton::Transparency(mode));
    QVERIFY(host.show());
    const QPoint centre = button->rect().center();
    if (state != "rest" && state != "disabled")
        QTest::mouseMove(button, centre);
    if (state == "press")
        QTest::mousePress(button, Qt::LeftButton, {}, centre);
    if (state == "disabled")
        button->setEnabled(false);

    const QImage image = host.shot(button);
    verifyFrame(image, topLeft, bottomRight);
    QCOMPARE(image.pixelColor(5, 5), fill.isValid() ? fill : kHost);
    if (state == "press")
        QTest::mouseRelease(button, Qt::LeftButton, {}, centre);
}

void TestSpeedButton::pressAndRelease_data()
{
    QTest::addColumn<QList<QPoint>>("path");   // moves while held; the last point is the release
    QTest::addColumn<int>("clicks");

    QTest::newRow("inside") << QList<QPoint>{{10, 10}} << 1;
    QTest::newRow("drag out") << QList<QPoint>{{10, 10}, {60, 10}} << 0;
    QTest::newRow("out and back") << QList<QPoint>{{60, 10}, {10, 10}} << 1;
    QTest::newRow("bottom edge row counts") << QList<QPoint>{{10, 26}} << 1;
    QTest::newRow("below the edge row") << QList<QPoint>{{10, 27}} << 0;
    QTest::newRow("right edge does not") << QList<QPoint>{{30, 10}} << 0;
}

void TestSpeedButton::pressAndRelease()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(int, clicks);

    Host host;
    FlatSpeedButton *button = host.button({20, 20, 30, 26});
    QVERIFY(host.show());
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    for (const QPoint &point : path) {
        QTest::mouseMove(button, point);
        const bool inside = point.x() < 30 && point.y() <= 26;
        QCOMPARE(button->faceState(), inside ? State::Pressed : State::Up);
    }
    QTest::mouseRelease(button, Qt::LeftButton, {}, path.last());
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(button->faceState(), State::Up);
}

void TestSpeedButton::groupLatching()
{
    Host host;
    FlatSpeedButton *a = host.button({10, 10, 40, 30});
    FlatSpeedButton *b = host.button({60, 10, 40, 30});
    FlatSpeedButton *other = host.button({110, 10, 40, 30});
    other->setDown(true);
    QVERIFY(!other->isDown());   // no group, no latching
    a->setGroupIndex(1);
    b->setGroupIndex(1);
    other->setGroupIndex(2);
    other->setDown(true);
    QVERIFY(host.show());
    QSignalSpy clickedA(a, &QAbstractButton::clicked);

    QTest::mouseClick(a, Qt::LeftButton);
    QTest::mouseClick(a, Qt::LeftButton);
    // Without "allow all up" the latched button stays down when clicked again.
    QVERIFY(a->isDown());
    QCOMPARE(clickedA.count(), 2);
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(b->isDown());
    QVERIFY(!a->isDown());
    QVERIFY(other->isDown());   // another group is left alone
    host.pointerAway();
    QTRY_VERIFY_WITH_TIMEOUT(!b->isHovered(), 1000);
    verifyFrame(host.shot(b), kBlack, kWhite);
    QCOMPARE(host.shot(b).pixelColor(3, 3), kDown);

    // "Allow all up" set on one member holds for the whole group.
    a->setAllowAllUp(true);
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(!b->isDown());
    QVERIFY(!a->isDown());
}

void TestSpeedButton::accelerator()
{
    Host host;
    FlatSpeedButton *button = host.button({10, 10, 60, 30}, QStringLiteral("&Save"));
    QVERIFY(host.show());
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    QTest::keyClick(&host.window, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!button->hasFocus());
    button->setEnabled(false);
    QTest::keyClick(&host.window, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(clicked.count(), 1);
}

void TestSpeedButton::hoverClearsAfterLeavingButNotWhilePressed()
{
    Host host;
    FlatSpeedButton *button = host.button({20, 20, 30, 26});
    const QColor spot(9, 132, 255);
    button->setTransparentFrame(spot);
    QVERIFY(host.show());
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    QTest::mouseMove(button, QPoint(10, 10));
    verifyFrame(host.shot(button), spot, kBlack);
    // The toolkit tells the button nothing more; the shared timer notices.
    host.pointerAway();
    QTRY_VERIFY_WITH_TIMEOUT(!button->isHovered(), 1000);
    verifyFrame(host.shot(button), spot, spot);

    QTest::mouseMove(button, QPoint(10, 10));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(200, 80));
    TimerTicks watchTicks(SharedHoverWatch::kIntervalMs);
    QCursor::setPos(host.window.mapToGlobal(QPoint(220, 100)));
    QTRY_VERIFY(watchTicks.count() >= 4);   // the watch has looked, and found the pointer away
    QVERIFY(button->isHovered());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 80));
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!button->isHovered());

    // While the program has no active window, moving over a button does not hover it.
    QApplication::setActiveWindow(nullptr);
    QTest::mouseMove(button, QPoint(10, 10));
    QVERIFY(!button->isHovered());
}

void TestSpeedButton::hoverMovesStraightToTheNextButton()
{
    Host host;
    FlatSpeedButton *first = host.button({20, 20, 30, 26});
    FlatSpeedButton *second = host.button({50, 20, 30, 26});
    QVERIFY(host.show());

    QTest::mouseMove(first, QPoint(10, 10));
    QVERIFY(first->isHovered());
    QTest::mouseMove(second, QPoint(10, 10));
    QVERIFY(!first->isHovered());   // at once, not on the next tick
    QVERIFY(second->isHovered());
}

void TestSpeedButton::glyphImageCount_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    QTest::newRow("64 x 16: four") << QSize(64, 16) << 1 << 4;
    QTest::newRow("16 x 16: one") << QSize(16, 16) << 3 << 1;
    QTest::newRow("96 x 16: quotient over 4") << QSize(96, 16) << 2 << 1;
    QTest::newRow("50 x 16: not a multiple") << QSize(50, 16) << 2 << 2;
}

void TestSpeedButton::glyphImageCount()
{
    QFETCH(QSize, size);
    QFETCH(int, before);
    QFETCH(int, after);
    FlatSpeedButton button(QString(), nullptr);
    button.setGlyphCount(before);
    button.setGlyph(QImage(size, QImage::Format_RGB32));
    QCOMPARE(button.glyphCount(), after);
}

void TestSpeedButton::glyphImagePerState_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("shown");

    const int table[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 1, 2, 2}, {0, 1, 2, 3}};
    const char *states[4] = {"up", "disabled", "pressed", "latched"};
    for (int images = 1; images <= 4; ++images)
        for (int s = 0; s < 4; ++s)
            if (images > 1 || s != 1)   // one image disabled is embossed instead
                QTest::addRow("%d, %s", images, states[s]) << images << QString(states[s]) << table[images - 1][s];
}

void TestSpeedButton::glyphImagePerState()
{
    QFETCH(int, images);
    QFETCH(QString, state);
    QFETCH(int, shown);

    // A strip of solid images; the strip's bottom-left pixel is the key colour left out.
    const QList<QColor> colors = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    const QColor key(255, 0, 255);
    QImage strip(16 * images, 16, QImage::Format_RGB32);
    for (int i = 0; i < images; ++i)
        QPainter(&strip).fillRect(16 * i, 0, 16, 16, colors[i]);
    strip.setPixelColor(0, 15, key);

    Host host;
    FlatSpeedButton *button = host.button({20, 20, 40, 40});
    button->setGroupIndex(3);
    button->setGlyph(strip);
    QVERIFY(host.show());
    QPoint at(12, 12);   // centred; one pixel further while sunk
    if (state == "disabled")
        button->setEnabled(false);
    if (state == "pressed")
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(2, 2));
    if (state == "latched")
        button->setDown(true);
    if (state == "pressed" || state == "latched")
        at += QPoint(1, 1);

    const QImage image = host.shot(button);
    QCOMPARE(image.pixelColor(at + QPoint(8, 8)), colors[shown]);
    QCOMPARE(image.pixelColor(at), colors[shown]);
    QCOMPARE(image.pixelColor(at - QPoint(1, 1)), state == "pressed" || state == "latched" ? kDown : kFace);
    if (shown == 0)
        QCOMPARE(image.pixelColor(at + QPoint(0, 15)), image.pixelColor(at - QPoint(1, 1)));
}

QTEST_MAIN(TestSpeedButton)
#include "tst_speedbutton.moc"
