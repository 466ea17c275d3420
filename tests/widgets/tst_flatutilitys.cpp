// The shared colour maths and drawing routines of the control set.

#include "widgets/FlatUtilitys.h"
#include "widgets/HSLUtils.h"
#include "widgets/colorvalue.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <QtTest>

namespace {

const QColor kBackground(1, 2, 3);
const QColor kTopLeft(255, 0, 0);
const QColor kBottomRight(0, 0, 255);

QImage framed(int w, int h, int width)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter p(&image);
    DrawBevelFrame(p, image.rect(), kTopLeft, kBottomRight, width);
    return image;
}

// A parent whose own face is red on the left of x = 20 and blue right of it.
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

class TestFlatUtilitys : public QObject
{
    Q_OBJECT

private slots:
    void colorToHsl_data();
    void colorToHsl();
    void hslToColorRoundsHalfToEven();
    void greyRoundTrip();
    void adjustLightness_data();
    void adjustLightness();
    void resolveColorValue_data();
    void resolveColorValue();
    void bevelFrameOnePixel();
    void bevelFrameTwoPixels();
    void parentBackground();
    void parentBackgroundWithoutParent();
    void disabledGlyph();
    void layoutGlyphOnly_data();
    void layoutGlyphOnly();
    void layoutCaptionCentred();
    void layoutGlyphAndCaption();
};

void TestFlatUtilitys::colorToHsl_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<Hsl240>("hsl");
    QTest::addColumn<QColor>("back");   // Hsl240ToColor of the result

    QTest::newRow("red") << QColor(255, 0, 0) << Hsl240{0, 240, 120} << QColor(255, 0, 0);
    // Hue is scaled by 239, so pure green and blue do not come back exactly.
    QTest::newRow("green") << QColor(0, 255, 0) << Hsl240{80, 240, 120} << QColor(0, 255, 2);
    QTest::newRow("blue") << QColor(0, 0, 255) << Hsl240{159, 240, 120} << QColor(0, 2, 255);
    QTest::newRow("magenta") << QColor(255, 0, 255) << Hsl240{199, 240, 120} << QColor(254, 0, 255);
    QTest::newRow("window #C1D7FD") << QColor(193, 215, 253) << Hsl240{145, 225, 210} << QColor(193, 215, 253);
    QTest::newRow("button green") << QColor(15, 151, 4) << Hsl240{77, 228, 73} << QColor(14, 151, 4);
    QTest::newRow("border") << QColor(160, 150, 131) << Hsl240{26, 32, 137} << QColor(160, 150, 131);
    QTest::newRow("white") << QColor(255, 255, 255) << Hsl240{0, 0, 240} << QColor(255, 255, 255);
    QTest::newRow("black") << QColor(0, 0, 0) << Hsl240{0, 0, 0} << QColor(0, 0, 0);
}

void TestFlatUtilitys::colorToHsl()
{
    QFETCH(QColor, color);
    QFETCH(Hsl240, hsl);
    QFETCH(QColor, back);
    const Hsl240 got = ColorToHsl240(color);
    QCOMPARE(got.hue, hsl.hue);
    QCOMPARE(got.saturation, hsl.saturation);
    QCOMPARE(got.lightness, hsl.lightness);
    QCOMPARE(Hsl240ToColor(got.hue, got.saturation, got.lightness), back);
}

void TestFlatUtilitys::hslToColorRoundsHalfToEven()
{
    // 8 * 255 / 240 = 8.5 and 24 * 255 / 240 = 25.5
    QCOMPARE(Hsl240ToColor(0, 0, 8), QColor(8, 8, 8));
    QCOMPARE(Hsl240ToColor(0, 0, 24), QColor(26, 26, 26));
}

void TestFlatUtilitys::greyRoundTrip()
{
    // The 240 scale is coarser than 255: fifteen greys land on a tie on the
    // way back and round to the even neighbour; every other grey comes back
    // as it was.
    const QList<int> coarse = {9, 25, 43, 59, 77, 93, 111, 127, 145, 161, 179, 195, 213, 229, 247};
    for (int v = 0; v <= 255; ++v) {
        const Hsl240 hsl = ColorToHsl240(QColor(v, v, v));
        QCOMPARE(hsl.hue, 0);
        QCOMPARE(hsl.saturation, 0);
        const QColor back = Hsl240ToColor(hsl.hue, hsl.saturation, hsl.lightness);
        QCOMPARE(back.red(), back.green());
        QCOMPARE(back.red(), back.blue());
        if (coarse.contains(v)) {
            QCOMPARE(qAbs(back.red() - v), 1);
            QCOMPARE(back.red() % 2, 0);
        } else {
            QCOMPARE(back.red(), v);
        }
    }
}

void TestFlatUtilitys::adjustLightness_data()
{
    QTest::addColumn<QColor>("base");
    QTest::addColumn<QColor>("fallback");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("lighter");
    QTest::addColumn<QColor>("expected");

    const QColor fallback(12, 34, 56);
    QTest::newRow("percent 0 gives the fallback") << QColor(Qt::white) << fallback << 0 << true << fallback;
    QTest::newRow("percent 0 darker too") << QColor(15, 151, 4) << fallback << 0 << false << fallback;
    // Lightness 240 + 10 is bounded by 100 on the 240 scale: a mid-tone.
    QTest::newRow("white lighter 10") << QColor(Qt::white) << fallback << 10 << true << QColor(106, 106, 106);
    QTest::newRow("green lighter 10") << QColor(15, 151, 4) << fallback << 10 << true << QColor(18, 193, 5);
    QTest::newRow("green darker 50") << QColor(15, 151, 4) << fallback << 50 << false << QColor(6, 68, 2);
    QTest::newRow("the +10 offsets darker 10") << QColor(193, 215, 253) << fallback << 10 << false
                                               << QColor(193, 215, 253);
    QTest::newRow("panel darker 50") << QColor(221, 255, 238) << fallback << 50 << false << QColor(136, 255, 197);
    QTest::newRow("black darker stays black") << QColor(Qt::black) << fallback << 50 << false << QColor(Qt::black);
}

void TestFlatUtilitys::adjustLightness()
{
    QFETCH(QColor, base);
    QFETCH(QColor, fallback);
    QFETCH(int, percent);
    QFETCH(bool, lighter);
    QFETCH(QColor, expected);
    QCOMPARE(AdjustLightness(base, fallback, percent,
                             lighter ? LightnessDirection::Lighter : LightnessDirection::Darker),
             expected);
}

void TestFlatUtilitys::resolveColorValue_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");

    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 1, 5));
    palette.setColor(QPalette::Text, QColor(1, 1, 8));
    palette.setColor(QPalette::Highlight, QColor(1, 1, 13));
    palette.setColor(QPalette::Button, QColor(1, 1, 15));
    palette.setColor(QPalette::Dark, QColor(1, 1, 16));
    palette.setColor(QPalette::Light, QColor(1, 1, 20));
    QApplication::setPalette(palette);

    QTest::newRow("red low byte") << quint32(300815) << QColor(15, 151, 4);
    QTest::newRow("window colour") << quint32(16635841) << QColor(0xC1, 0xD7, 0xFD);
    QTest::newRow("clBlue") << clBlue << QColor(0, 0, 255);
    QTest::newRow("clAqua") << clAqua << QColor(0, 255, 255);
    QTest::newRow("clWindow") << clWindow << QColor(1, 1, 5);
    QTest::newRow("clWindowText") << clWindowText << QColor(1, 1, 8);
    QTest::newRow("highlight") << clHighlight << QColor(1, 1, 13);
    QTest::newRow("clBtnFace") << clBtnFace << QColor(1, 1, 15);
    QTest::newRow("button shadow") << clBtnShadow << QColor(1, 1, 16);
    QTest::newRow("button highlight") << clBtnHighlight << QColor(1, 1, 20);
}

void TestFlatUtilitys::resolveColorValue()
{
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QCOMPARE(ResolveColorValue(value), expected);
    QCOMPARE(colorFromValue(value), expected);
}

void TestFlatUtilitys::bevelFrameOnePixel()
{
    const int w = 7;
    const int h = 5;
    const QImage image = framed(w, h, 1);
    for (int x = 0; x <= w - 2; ++x)
        QCOMPARE(image.pixelColor(x, 0), kTopLeft);
    for (int y = 0; y <= h - 2; ++y)
        QCOMPARE(image.pixelColor(0, y), kTopLeft);
    for (int y = 0; y < h; ++y)
        QCOMPARE(image.pixelColor(w - 1, y), kBottomRight);
    for (int x = 0; x < w; ++x)
        QCOMPARE(image.pixelColor(x, h - 1), kBottomRight);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            QCOMPARE(image.pixelColor(x, y), kBackground);
}

void TestFlatUtilitys::bevelFrameTwoPixels()
{
    const int w = 8;
    const int h = 7;
    const QImage image = framed(w, h, 2);
    // The outer ring is the one-pixel frame; the inner ring the same one pixel in.
    QCOMPARE(image.pixelColor(0, 0), kTopLeft);
    QCOMPARE(image.pixelColor(w - 1, 0), kBottomRight);
    QCOMPARE(image.pixelColor(0, h - 1), kBottomRight);
    for (int x = 1; x <= w - 3; ++x)
        QCOMPARE(image.pixelColor(x, 1), kTopLeft);
    for (int y = 1; y <= h - 3; ++y)
        QCOMPARE(image.pixelColor(1, y), kTopLeft);
    for (int y = 1; y <= h - 2; ++y)
        QCOMPARE(image.pixelColor(w - 2, y), kBottomRight);
    for (int x = 1; x <= w - 2; ++x)
        QCOMPARE(image.pixelColor(x, h - 2), kBottomRight);
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            QCOMPARE(image.pixelColor(x, y), kBackground);
}

void TestFlatUtilitys::parentBackground()
{
    SplitFace parent;
    parent.resize(40, 40);
    QWidget control(&parent);
    control.setGeometry(10, 10, 20, 20);
    QWidget outside(&parent);
    outside.setGeometry(30, 30, 20, 20);   // half of it lies beyond the parent

    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    {
        QPainter p(&image);
        PaintParentBackground(&control, p);
    }
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(image.pixelColor(9, 19), QColor(Qt::red));
    QCOMPARE(image.pixelColor(10, 0), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(19, 19), QColor(Qt::blue));

    image.fill(Qt::green);
    {
        QPainter p(&image);
        PaintParentBackground(&outside, p);
    }
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(9, 9), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::green));
}

void TestFlatUtilitys::parentBackgroundWithoutParent()
{
    QWidget lone;
    lone.resize(10, 10);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter p(&image);
    PaintParentBackground(&lone, p);
    p.end();
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::green));
}

void TestFlatUtilitys::disabledGlyph()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    palette.setColor(QPalette::Light, QColor(250, 250, 250));
    palette.setColor(QPalette::Dark, QColor(90, 90, 90));
    QApplication::setPalette(palette);

    QImage glyph(5, 5, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixelColor(1, 1, Qt::black);
    glyph.setPixelColor(2, 1, QColor(20, 60, 20));   // dark enough
    glyph.setPixelColor(1, 3, QColor(230, 230, 0));  // light: leaves the result alone
    glyph.setPixelColor(4, 4, Qt::black);            // its highlight copy falls outside

    const QImage result = MakeDisabledGlyph(glyph);
    QCOMPARE(result.size(), glyph.size());
    const QColor face(200, 200, 200);
    const QColor light(250, 250, 250);
    const QColor shadow(90, 90, 90);
    QCOMPARE(result.pixelColor(1, 1), shadow);
    QCOMPARE(result.pixelColor(2, 1), shadow);
    QCOMPARE(result.pixelColor(2, 2), light);
    QCOMPARE(result.pixelColor(3, 2), light);
    QCOMPARE(result.pixelColor(4, 4), shadow);
    QCOMPARE(result.pixelColor(1, 3), face);
    QCOMPARE(result.pixelColor(0, 0), face);
    QCOMPARE(result.pixelColor(3, 3), face);
}

void TestFlatUtilitys::layoutGlyphOnly_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("images");
    QTest::addColumn<QPoint>("glyph");

    // Client 40 x 30, each image 16 x 16; without a caption the spacing is 0.
    QTest::newRow("left centred") << int(GlyphLayout::Left) << 40 << -1 << 4 << 1 << QPoint(12, 7);
    QTest::newRow("left both -1") << int(GlyphLayout::Left) << 40 << -1 << -1 << 1 << QPoint(12, 7);
    QTest::newRow("left margin 3") << int(GlyphLayout::Left) << 40 << 3 << -1 << 1 << QPoint(3, 7);
    QTest::newRow("right margin 3") << int(GlyphLayout::Right) << 40 << 3 << 4 << 1 << QPoint(21, 7);
    QTest::newRow("top centred") << int(GlyphLayout::Top) << 40 << -1 << 4 << 1 << QPoint(12, 7);
    QTest::newRow("bottom margin 3") << int(GlyphLayout::Bottom) << 40 << 3 << 4 << 1 << QPoint(12, 11);
    QTest::newRow("strip of four") << int(GlyphLayout::Left) << 40 << 2 << 4 << 4 << QPoint(2, 7);
    // (10 - 16 + 1) div 2 truncates toward zero: -2, not -3.
    QTest::newRow("client narrower than glyph") << int(GlyphLayout::Left) << 10 << -1 << 4 << 1 << QPoint(-2, 7);
}

void TestFlatUtilitys::layoutGlyphOnly()
{
    QFETCH(int, layout);
    QFETCH(int, clientWidth);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(int, images);
    QFETCH(QPoint, glyph);

    QImage strip(16 * images, 16, QImage::Format_RGB32);
    const QRect client(5, 6, clientWidth, 30);
    const GlyphAndCaption at = LayoutGlyphAndCaption(QFont(), client, QPoint(1, 1), QString(),
                                                     GlyphLayout(layout), margin, spacing, strip, images);
    QCOMPARE(at.glyphTopLeft, glyph + QPoint(5, 6) + QPoint(1, 1));
    QVERIFY(at.captionRect.isEmpty());
}

void TestFlatUtilitys::layoutCaptionCentred()
{
    QFont font;
    font.setPixelSize(16);
    const QString caption = QStringLiteral("添加 (F10)");
    const QSize text = QFontMetrics(font).size(Qt::TextSingleLine, caption);
    const QRect client(0, 0, 153, 33);
    for (const QPoint offset : {QPoint(0, 0), QPoint(1, 1)}) {
        const GlyphAndCaption at = LayoutGlyphAndCaption(font, client, offset, caption, GlyphLayout::Top, -1, 4,
                                                         QImage(), 1);
        QCOMPARE(at.captionRect.size(), text);
        QCOMPARE(at.captionRect.left(), (153 - text.width() + 1) / 2 + offset.x());
        QCOMPARE(at.captionRect.top(), (33 - text.height() + 1) / 2 + offset.y());
    }
    // An accelerator's "&" takes no room.
    const GlyphAndCaption accel = LayoutGlyphAndCaption(font, client, {}, QStringLiteral("&Save"),
                                                        GlyphLayout::Left, -1, 4, QImage(), 1);
    QCOMPARE(accel.captionRect.width(), QFontMetrics(font).size(Qt::TextSingleLine, QStringLiteral("Save")).width());
}

void TestFlatUtilitys::layoutGlyphAndCaption()
{
    QFont font;
    font.setPixelSize(12);
    const QString caption = QStringLiteral("OK");
    const QSize text = QFontMetrics(font).size(Qt::TextSingleLine, caption);
    QImage glyph(16, 16, QImage::Format_RGB32);
    const QRect client(0, 0, 100, 60);

    // Both -1: margin and spacing share what is left equally.
    GlyphAndCaption at = LayoutGlyphAndCaption(font, client, {}, caption, GlyphLayout::Left, -1, -1, glyph, 1);
    int m = (100 - 16 - text.width()) / 3;
    QCOMPARE(at.glyphTopLeft, QPoint(m, (60 - 16 + 1) / 2));
    QCOMPARE(at.captionRect.topLeft(), QPoint(m + 16 + m, (60 - text.height() + 1) / 2));

    // Spacing given: the group is centred.
    at = LayoutGlyphAndCaption(font, client, {}, caption, GlyphLayout::Top, -1, 4, glyph, 1);
    m = (60 - (16 + 4 + text.height()) + 1) / 2;
    QCOMPARE(at.glyphTopLeft, QPoint((100 - 16 + 1) / 2, m));
    QCOMPARE(at.captionRect.topLeft(), QPoint((100 - text.width() + 1) / 2, m + 16 + 4));

    // Margin given: the caption is centred in what is left.
    at = LayoutGlyphAndCaption(font, client, {}, caption, GlyphLayout::Right, 5, -1, glyph, 1);
    const int spacing = ((100 - (5 + 16)) - text.width()) / 2;
    QCOMPARE(at.glyphTopLeft.x(), 100 - 5 - 16);
    QCOMPARE(at.captionRect.left(), 100 - 5 - 16 - spacing - text.width());

    at = LayoutGlyphAndCaption(font, client, {}, caption, GlyphLayout::Bottom, 5, 3, glyph, 1);
    QCOMPARE(at.glyphTopLeft.y(), 60 - 5 - 16);
    QCOMPARE(at.captionRect.top(), 60 - 5 - 16 - 3 - text.height());
}

QTEST_MAIN(TestFlatUtilitys)
#include "tst_flatutilitys.moc"
