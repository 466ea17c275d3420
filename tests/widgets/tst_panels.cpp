#include "widgets/colors.h"
#include "widgets/flatgroupbox.h"
#include "widgets/flatpanel.h"
#include "widgets/skingroupbox.h"

#include <QTest>

namespace {

const QColor kBand(221, 255, 238);
const QColor kBorder(160, 150, 131);

QImage render(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Crisp text, so that every inked pixel has the pen's colour.
QFont crispFont(int pixels = 16)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QRect pixelsOf(const QImage &img, const QColor &color, const QRect &area)
{
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == color)
                found |= QRect(x, y, 1, 1);
    return found;
}

// A parent filled red, to see what a transparent control lets through.
struct RedParent
{
    QWidget widget;
    RedParent()
    {
        QPalette p = widget.palette();
        p.setColor(QPalette::Window, Qt::red);
        widget.setPalette(p);
        widget.setAutoFillBackground(true);
        widget.resize(300, 200);
    }
};

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

private slots:
    void panelFillAndBevel();
    void panelFollowsParentUntilColoured();
    void transparentControlsShowTheParent();
    void disabledCaptionsAreEmbossed();
    void groupBoxTopLine_data();
    void groupBoxTopLine();
    void skinGroupBoxCaptionPatch();
};

void TestPanels::panelFillAndBevel()
{
    FlatPanel panel;
    QCOMPARE(panel.size(), QSize(185, 41));
    panel.resize(90, 40);
    panel.setColor(kBand);
    panel.setColorHighlight(Qt::white);
    panel.setColorShadow(Qt::blue);
    const QImage img = render(&panel);
    // Top row and left column but for their last pixel in the highlight;
    // right column and bottom row whole in the shadow.
    for (QPoint p : {QPoint(0, 0), QPoint(88, 0), QPoint(0, 38)})
        QCOMPARE(img.pixelColor(p), QColor(Qt::white));
    for (QPoint p : {QPoint(89, 0), QPoint(0, 39), QPoint(89, 39), QPoint(45, 39)})
        QCOMPARE(img.pixelColor(p), QColor(Qt::blue));
    QCOMPARE(img.pixelColor(1, 1), kBand);
    QCOMPARE(img.pixelColor(88, 38), kBand);
}

void TestPanels::panelFollowsParentUntilColoured()
{
    RedParent parent;
    FlatPanel panel(&parent.widget);
    FlatGroupBox box(&parent.widget);
    QCOMPARE(box.color(), QColor(Qt::red));
    panel.setColor(kBand);
    QPalette p = parent.widget.palette();
    p.setColor(QPalette::Window, Qt::yellow);
    parent.widget.setPalette(p);
    QCOMPARE(panel.color(), kBand);
    QCOMPARE(box.color(), QColor(Qt::yellow));
    panel.setFollowsParentColor(true);
    QCOMPARE(panel.color(), QColor(Qt::yellow));
}

void TestPanels::transparentControlsShowTheParent()
{
    RedParent parent;
    auto *panel = new FlatPanel(&parent.widget);
    panel->setGeometry(10, 10, 100, 50);
    panel->setColor(kBand);
    auto *box = new FlatGroupBox(&parent.widget);
    box->setGeometry(150, 10, 100, 80);
    box->setColor(kBand);
    QCOMPARE(render(&parent.widget).pixelColor(60, 35), kBand);
    QCOMPARE(render(&parent.widget).pixelColor(200, 50), kBand);
    panel->setTransparent(true);
    box->setTransparent(true);
    const QImage img = render(&parent.widget);
    QCOMPARE(img.pixelColor(60, 35), QColor(Qt::red));
    QCOMPARE(img.pixelColor(200, 50), QColor(Qt::red));
    QCOMPARE(img.pixelColor(10, 10), kBorder);   // the frame is still drawn
    // Moved, the parent beneath the new place shows.
    box->move(160, 100);
    QCOMPARE(render(&parent.widget).pixelColor(210, 140), QColor(Qt::red));
}

// Disabled, a caption is drawn in the button highlight colour one pixel
// right and down, then in the button shadow colour in place.
void TestPanels::disabledCaptionsAreEmbossed()
{
    const QColor highlight = Colors::buttonHighlight();
    const QColor shadow = Colors::buttonShadow();
    QVERIFY(highlight != shadow);
    FlatPanel panel;
    panel.resize(200, 41);
    panel.setColor(kBand);
    panel.setFont(crispFont());
    panel.setCaption(QStringLiteral("HHH"));
    FlatGroupBox box;
    box.resize(200, 60);
    box.setColor(kBand);
    box.setFont(crispFont());
    box.setCaption(QStringLiteral("HHH"));
    for (QWidget *w : {static_cast<QWidget *>(&panel), static_cast<QWidget *>(&box)}) {
        w->setEnabled(false);
        const QImage img = render(w);
        const QRect inner = w->rect().adjusted(1, 1, -1, -1);
        const QRect dark = pixelsOf(img, shadow, inner);
        const QRect light = pixelsOf(img, highlight, inner);
        QVERIFY(!dark.isEmpty() && !light.isEmpty());
        QCOMPARE((dark | light).bottomRight(), dark.bottomRight() + QPoint(1, 1));
        QCOMPARE((dark | light).topLeft(), dark.topLeft());
    }
}

void TestPanels::groupBoxTopLine_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QList<int>>("lineColumns");   // top-line columns that carry the line
    QTest::addColumn<QList<int>>("openColumns");   // and those left open

    // Box 100 wide; columns given from the left, with "w" for the caption width.
    QTest::newRow("full frame, no caption, open from 6 to 12")
        << int(FlatGroupBox::Border::Full) << false << QString() << QList<int>{0, 5, 13, 99} << QList<int>{6, 9, 12};
    QTest::newRow("full frame, caption: open to 12 + its width")
        << int(FlatGroupBox::Border::Full) << false << QStringLiteral("Ab") << QList<int>{5, -13, 99}
        << QList<int>{6, 8, -12};
    QTest::newRow("top line only: the corner pixel stays open")
        << int(FlatGroupBox::Border::TopLineOnly) << false << QString() << QList<int>{1, 5, 13, 99}
        << QList<int>{0, 6, 12};
    QTest::newRow("right to left, full frame")
        << int(FlatGroupBox::Border::Full) << true << QString() << QList<int>{0, 85, 94, 99} << QList<int>{86, 93};
    QTest::newRow("right to left, top line only")
        << int(FlatGroupBox::Border::TopLineOnly) << true << QString() << QList<int>{1, 87, 95, 99}
        << QList<int>{0, 88, 94};
}

void TestPanels::groupBoxTopLine()
{
    QFETCH(int, border);
    QFETCH(bool, rightToLeft);
    QFETCH(QString, caption);
    QFETCH(QList<int>, lineColumns);
    QFETCH(QList<int>, openColumns);
    FlatGroupBox box;
    box.resize(100, 60);
    box.setColor(kBand);
    box.setColorBorder(Qt::blue);
    box.setFont(crispFont(13));
    box.setBorder(FlatGroupBox::Border(border));
    box.setCaption(caption);
    if (rightToLeft)
        box.setLayoutDirection(Qt::RightToLeft);
    const QFontMetrics fm(box.font());
    const int y = fm.height() / 2;
    const int tw = fm.horizontalAdvance(caption);
    const QImage img = render(&box);
    auto column = [tw](int x) { return x < 0 ? -x + tw : x; };   // negative: measured past the caption
    for (int x : lineColumns)
        QVERIFY2(img.pixelColor(column(x), y) == QColor(Qt::blue), qPrintable(QStringLiteral("x %1").arg(column(x))));
    for (int x : openColumns)
        QVERIFY2(img.pixelColor(column(x), y) == kBand, qPrintable(QStringLiteral("x %1").arg(column(x))));
}

// The caption patch starts at x = 10 and is six pixels wider than the text.
void TestPanels::skinGroupBoxCaptionPatch()
{
    SkinGroupBox box;
    QCOMPARE(box.size(), QSize(185, 105));
    QCOMPARE(box.color(), QColor(248, 246, 230));
    box.resize(160, 80);
    box.setFont(crispFont(13));
    box.setCaption(QStringLiteral("Ab"));
    const QFontMetrics fm(box.font());
    const int tw = fm.horizontalAdvance(box.caption());
    const int y = fm.height() / 2;
    const QColor border(208, 208, 191);
    const QColor fill(248, 246, 230);
    const QImage img = render(&box);
    QCOMPARE(img.pixelColor(9, y), border);
    for (int x : {10, 11, 12, tw + 13, tw + 14, tw + 15})
        QVERIFY2(img.pixelColor(x, y) == fill, qPrintable(QStringLiteral("x %1").arg(x)));
    QCOMPARE(img.pixelColor(tw + 16, y), border);
    // Rounded: the corner pixel is not on the frame, the sides are.
    QCOMPARE(img.pixelColor(0, y), fill);
    QCOMPARE(img.pixelColor(0, (y + 79) / 2), border);
    QCOMPARE(img.pixelColor(159, (y + 79) / 2), border);
    QCOMPARE(img.pixelColor(80, 79), border);

    const QRect captionArea(10, 0, tw + 6, fm.height());
    QVERIFY(!pixelsOf(img, QColor(2, 70, 207), captionArea).isEmpty());
    box.setEnabled(false);
    const QImage disabled = render(&box);
    QVERIFY(pixelsOf(disabled, QColor(2, 70, 207), captionArea).isEmpty());
    QVERIFY(!pixelsOf(disabled, QColor(128, 128, 128), captionArea).isEmpty());
}

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
