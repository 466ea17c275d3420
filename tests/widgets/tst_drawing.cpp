// The shared colour maths and drawing routines of the control set.

#include "widgets/colors.h"
#include "widgets/bevel.h"
#include "widgets/glyphlayout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <QtTest>

namespace {

// A parent whose own face is red left of x = 20 and blue from there on.
class SplitFace final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(0, 0, 20, height(), Qt::red);
        p.fillRect(20, 0, width() - 20, height(), Qt::blue);
    }
};

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT

private slots:
    void hslConversion_data();
    void hslConversion();
    void greysAndHalfToEven();
    void lightnessAdjustment_data();
    void lightnessAdjustment();
    void colorValues();
    void bevelFrame_data();
    void bevelFrame();
    void parentBackground();
    void disabledGlyph();
    void layoutGlyph_data();
    void layoutGlyph();
    void layoutCaption();
};

void TestDrawing::hslConversion_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QList<int>>("hsl");
    QTest::addColumn<QColor>("back");   // hsl240ToColor of the result

    QTest::newRow("red") << QColor(255, 0, 0) << QList<int>{0, 240, 120} << QColor(255, 0, 0);
    // Hue is scaled by 239, so pure green and blue do not come back exactly.
    QTest::newRow("green") << QColor(0, 255, 0) << QList<int>{80, 240, 120} << QColor(0, 255, 2);
    QTest::newRow("blue") << QColor(0, 0, 255) << QList<int>{159, 240, 120} << QColor(0, 2, 255);
    QTest::newRow("magenta") << QColor(255, 0, 255) << QList<int>{199, 240, 120} << QColor(254, 0, 255);
    QTest::newRow("#C1D7FD") << QColor(193, 215, 253) << QList<int>{145, 225, 210} << QColor(193, 215, 253);
    QTest::newRow("button green") << QColor(15, 151, 4) << QList<int>{77, 228, 73} << QColor(14, 151, 4);
    QTest::newRow("white") << QColor(255, 255, 255) << QList<int>{0, 0, 240} << QColor(255, 255, 255);
}

void TestDrawing::hslConversion()
{
    QFETCH(QColor, color);
    QFETCH(QList<int>, hsl);
    QFETCH(QColor, back);
    const Hsl240 got = colorToHsl240(color);
    QCOMPARE((QList<int>{got.hue, got.saturation, got.lightness}), hsl);
    QCOMPARE(hsl240ToColor(got.hue, got.saturation, got.lightness), back);
}

void TestDrawing::greysAndHalfToEven()
{
    // 8 * 255 / 240 = 8.5 and 24 * 255 / 240 = 25.5 round to the even neighbour.
    QCOMPARE(hsl240ToColor(0, 0, 8), QColor(8, 8, 8));
    QCOMPARE(hsl240ToColor(0, 0, 24), QColor(26, 26, 26));
    // A grey has no hue or saturation and comes back as it was, except the
    // fifteen that fall on such a tie on the way back.
    const QList<int> ties = {9, 25, 43, 59, 77, 93, 111, 127, 145, 161, 179, 195, 213, 229, 247};
    for (int v = 0; v <= 255; ++v) {
        const Hsl240 hsl = colorToHsl240(QColor(v, v, v));
        QCOMPARE(hsl.hue + hsl.saturation, 0);
        const QColor back = hsl240ToColor(0, 0, hsl.lightness);
        QCOMPARE(back, QColor(back.red(), back.red(), back.red()));
        if (ties.contains(v))
            QVERIFY(qAbs(back.red() - v) == 1 && back.red() % 2 == 0);
        else
            QCOMPARE(back.red(), v);
    }
}

void TestDrawing::lightnessAdjustment_data()
{
    QTest::addColumn<QColor>("base");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("lighter");
    QTest::addColumn<QColor>("expected");

    const QColor fallback(12, 34, 56);
    QTest::newRow("percent 0 gives the fallback") << QColor(Qt::white) << 0 << true << fallback;
    // Lightness 240 + 10 is bounded by 100 on the 240 scale: a mid-tone, not white.
    QTest::newRow("white lighter 10") << QColor(Qt::white) << 10 << true << QColor(106, 106, 106);
    QTest::newRow("green lighter 10") << QColor(15, 151, 4) << 10 << true << QColor(18, 193, 5);
    QTest::newRow("green darker 50") << QColor(15, 151, 4) << 50 << false << QColor(6, 68, 2);
    QTest::newRow("+10 cancels darker 10") << QColor(193, 215, 253) << 10 << false << QColor(193, 215, 253);
    QTest::newRow("black darker") << QColor(Qt::black) << 50 << false << QColor(Qt::black);
}

void TestDrawing::lightnessAdjustment()
{
    QFETCH(QColor, base);
    QFETCH(int, percent);
    QFETCH(bool, lighter);
    QFETCH(QColor, expected);
    const auto direction = lighter ? LightnessDirection::Lighter : LightnessDirection::Darker;
    QCOMPARE(adjustLightness(base, QColor(12, 34, 56), percent, direction), expected);
}

void TestDrawing::colorValues()
{
    QCOMPARE(Colors::brandGreen, QColor(15, 151, 4));   // the action buttons' green, #0F9704
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Base, QColor(1, 1, 5));
    palette.setColor(QPalette::Dark, QColor(1, 1, 16));
    QApplication::setPalette(palette);
    QCOMPARE(Colors::entryBackground(), QColor(1, 1, 5));
    QCOMPARE(Colors::buttonShadow(), QColor(1, 1, 16));
}

void TestDrawing::bevelFrame_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("one pixel") << 1;
    QTest::newRow("two pixels") << 2;
}

void TestDrawing::bevelFrame()
{
    QFETCH(int, width);
    const QColor background(1, 2, 3);
    const QColor tl(Qt::red);
    const QColor br(Qt::blue);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    drawBevelFrame(p, image.rect(), tl, br, width);
    p.end();

    // Ring i: top row and left column in the top-left colour, except the
    // corners top-right and bottom-left, which go to the bottom-right colour.
    for (int i = 0; i < width; ++i) {
        const int r = 7 - i;
        const int b = 5 - i;
        for (int x = i; x < r; ++x)
            QCOMPARE(image.pixelColor(x, i), tl);
        for (int y = i; y < b; ++y)
            QCOMPARE(image.pixelColor(i, y), tl);
        for (int y = i; y <= b; ++y)
            QCOMPARE(image.pixelColor(r, y), br);
        for (int x = i; x <= r; ++x)
            QCOMPARE(image.pixelColor(x, b), br);
    }
    QCOMPARE(image.pixelColor(width, width), background);
    QCOMPARE(image.pixelColor(7 - width, 5 - width), background);
}

void TestDrawing::parentBackground()
{
    SplitFace parent;
    parent.resize(40, 40);
    QWidget control(&parent);
    control.setGeometry(10, 10, 20, 20);
    QWidget beyond(&parent);
    beyond.setGeometry(30, 30, 20, 20);   // partly outside the parent
    QWidget lone;

    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&](QWidget *w) {
        image.fill(Qt::green);
        QPainter p(&image);
        paintParentBackground(w, p);
    };
    paint(&control);
    QCOMPARE(image.pixelColor(9, 19), QColor(Qt::red));
    QCOMPARE(image.pixelColor(10, 0), QColor(Qt::blue));
    paint(&beyond);
    QCOMPARE(image.pixelColor(9, 9), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::green));
    paint(&lone);
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::green));
}

void TestDrawing::disabledGlyph()
{
    QPalette palette = QApplication::palette();
    const QColor face(200, 200, 200), light(250, 250, 250), shadow(90, 90, 90);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Light, light);
    palette.setColor(QPalette::Dark, shadow);
    QApplication::setPalette(palette);

    QImage glyph(5, 5, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixelColor(1, 1, Qt::black);
    glyph.setPixelColor(1, 3, QColor(230, 230, 0));   // light: leaves the result alone
    glyph.setPixelColor(4, 4, Qt::black);             // its highlight copy falls outside
    const QImage result = makeDisabledGlyph(glyph);
    QCOMPARE(result.size(), glyph.size());
    QCOMPARE(result.pixelColor(1, 1), shadow);
    QCOMPARE(result.pixelColor(2, 2), light);
    QCOMPARE(result.pixelColor(4, 4), shadow);
    QCOMPARE(result.pixelColor(1, 3), face);
    QCOMPARE(result.pixelColor(0, 0), face);
}

void TestDrawing::layoutGlyph_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("images");
    QTest::addColumn<QPoint>("glyph");

    // Client 40 x 30 (or narrower), images of 16 x 16, no caption.
    QTest::newRow("left centred") << int(GlyphLayout::Left) << 40 << -1 << 4 << 1 << QPoint(12, 7);
    QTest::newRow("right margin 3") << int(GlyphLayout::Right) << 40 << 3 << 4 << 1 << QPoint(21, 7);
    QTest::newRow("bottom margin 3") << int(GlyphLayout::Bottom) << 40 << 3 << 4 << 1 << QPoint(12, 11);
    QTest::newRow("strip of four") << int(GlyphLayout::Left) << 40 << 2 << 4 << 4 << QPoint(2, 7);
    // (10 - 16 + 1) div 2 truncates toward zero: -2, not -3.
    QTest::newRow("narrow client") << int(GlyphLayout::Left) << 10 << -1 << 4 << 1 << QPoint(-2, 7);
}

void TestDrawing::layoutGlyph()
{
    QFETCH(int, layout);
    QFETCH(int, clientWidth);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(int, images);
    QFETCH(QPoint, glyph);

    const QImage strip(16 * images, 16, QImage::Format_RGB32);
    const GlyphAndCaption at = layoutGlyphAndCaption(QFont(), QRect(5, 6, clientWidth, 30), QPoint(1, 1), {},
                                                     GlyphLayout(layout), margin, spacing, strip, images);
    QCOMPARE(at.glyphTopLeft, glyph + QPoint(6, 7));   // plus the client corner and the press offset
    QVERIFY(at.captionRect.isEmpty());
}

void TestDrawing::layoutCaption()
{
    QFont font;
    font.setPixelSize(16);
    const QFontMetrics metrics(font);
    const QString caption = QStringLiteral("添加 (F10)");
    const QSize text = metrics.size(Qt::TextSingleLine, caption);
    const QRect client(0, 0, 153, 33);

    // Without a glyph, margin -1 and spacing 4: centred on both axes.
    for (const QPoint offset : {QPoint(0, 0), QPoint(1, 1)}) {
        const QRect r = layoutGlyphAndCaption(font, client, offset, caption, GlyphLayout::Top, -1, 4, {}, 1)
                            .captionRect;
        QCOMPARE(r, QRect(QPoint((153 - text.width() + 1) / 2, (33 - text.height() + 1) / 2) + offset, text));
    }
    // With a glyph on the left and both -1, margin and spacing share what is left.
    const GlyphAndCaption at = layoutGlyphAndCaption(font, client, {}, caption, GlyphLayout::Left, -1, -1,
                                                     QImage(16, 16, QImage::Format_RGB32), 1);
    const int m = (153 - 16 - text.width()) / 3;
    QCOMPARE(at.captionRect.left() - at.glyphTopLeft.x(), 16 + m);
    QCOMPARE(at.glyphTopLeft.x(), m);
    // An accelerator's "&" takes no room.
    QCOMPARE(layoutGlyphAndCaption(font, client, {}, QStringLiteral("&Save"), GlyphLayout::Left, -1, 4, {}, 1)
                 .captionRect.width(),
             metrics.size(Qt::TextSingleLine, QStringLiteral("Save")).width());
}

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
