#include "widgets/colors.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/skinbutton.h"
#include "widgets/buttonskin.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage render(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage expectedFace(int n, QSize size)
{
    return ButtonSkin::stretch(ButtonSkin::imageOf(ButtonSkin::strip(), n), size);
}

// A skin image whose every pixel tells where it came from.
QImage coordinateImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x, y, 0));
    return img;
}

void sendEnter(QWidget *w)
{
    QEnterEvent enter(QPointF(2, 2), w->mapTo(w->window(), QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &enter);
}

QImage solidPicture(QSize size, QColor color)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(QRect(QPoint(0, 0), size).adjusted(2, 2, -2, -2), color);
    return img;
}

// A window with an edit, a memo and three skin buttons, shown and active.
struct Form
{
    QWidget window;
    FlatEdit *edit = new FlatEdit(&window);
    FlatMemo *memo = new FlatMemo(&window);
    SkinButton *ok = new SkinButton(QStringLiteral("OK"), &window);
    SkinButton *cancel = new SkinButton(QStringLiteral("Cancel"), &window);
    SkinButton *other = new SkinButton(QStringLiteral("Other"), &window);
    QSignalSpy okClicks{ok, &QAbstractButton::clicked};
    QSignalSpy cancelClicks{cancel, &QAbstractButton::clicked};
    QSignalSpy otherClicks{other, &QAbstractButton::clicked};

    Form()
    {
        window.resize(400, 200);
        edit->setGeometry(10, 10, 120, 26);
        memo->setGeometry(10, 50, 120, 80);
        ok->setGeometry(200, 10, 75, 24);
        cancel->setGeometry(200, 40, 75, 24);
        other->setGeometry(200, 70, 75, 24);
        window.show();
        window.activateWindow();
    }

    QList<int> clicks() const { return {int(okClicks.count()), int(cancelClicks.count()), int(otherClicks.count())}; }
};

} // namespace

class TestSkinButton : public QObject
{
    Q_OBJECT

private slots:
    void skinStripHasFiveImages();
    void stretchKeepsBordersAndRepeatsMiddle_data();
    void stretchKeepsBordersAndRepeatsMiddle();
    void faceShowsSkinImageOfState_data();
    void faceShowsSkinImageOfState();
    void pictureIsPlacedAboveOrLeftOfCaption_data();
    void pictureIsPlacedAboveOrLeftOfCaption();
    void keys_data();
    void keys();
    void mouseReleaseOutsideDoesNotClick();
    void handCursorIsRegistered();
};

void TestSkinButton::skinStripHasFiveImages()
{
    const QImage strip = ButtonSkin::strip();
    QCOMPARE(strip.size(), QSize(90, 21));
    QCOMPARE(ButtonSkin::imageOf(strip, 5), strip.copy(72, 0, 18, 21));
}

void TestSkinButton::stretchKeepsBordersAndRepeatsMiddle_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("target");
    QTest::addColumn<QPoint>("source");
    const QSize big(113, 63);
    QTest::newRow("top-left corner") << big << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("first stretched column and row") << big << QPoint(9, 10) << QPoint(9, 10);
    QTest::newRow("last stretched column and row") << big << QPoint(103, 51) << QPoint(9, 10);
    QTest::newRow("first right column, first bottom row") << big << QPoint(104, 52) << QPoint(9, 10);
    QTest::newRow("second right column and bottom row") << big << QPoint(105, 53) << QPoint(10, 11);
    QTest::newRow("bottom-right corner") << big << QPoint(112, 62) << QPoint(17, 20);
    const QSize settings(132, 41);
    QTest::newRow("132x41 bottom rows") << settings << QPoint(60, 30) << QPoint(9, 10);
    QTest::newRow("132x41 last row") << settings << QPoint(131, 40) << QPoint(17, 20);
    const QSize natural(18, 21);
    QTest::newRow("natural size is a copy") << natural << QPoint(13, 15) << QPoint(13, 15);
}

void TestSkinButton::stretchKeepsBordersAndRepeatsMiddle()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, target);
    QFETCH(QPoint, source);
    const QImage out = ButtonSkin::stretch(coordinateImage(18, 21), size);
    QCOMPARE(out.size(), size);
    const QRgb px = out.pixel(target);
    QCOMPARE(QPoint(qRed(px), qGreen(px)), source);
}

void TestSkinButton::faceShowsSkinImageOfState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("image");
    QTest::newRow("normal") << "normal" << int(ButtonSkin::Normal);
    QTest::newRow("focused") << "focused" << int(ButtonSkin::Focused);
    QTest::newRow("pressed") << "pressed" << int(ButtonSkin::Pressed);
    QTest::newRow("focused and pressed") << "focused pressed" << int(ButtonSkin::Pressed);
    QTest::newRow("pointer entered") << "hot" << int(ButtonSkin::Hot);
    QTest::newRow("focused, pointer entered") << "focused hot" << int(ButtonSkin::Hot);
    QTest::newRow("disabled") << "disabled" << int(ButtonSkin::Disabled);
}

void TestSkinButton::faceShowsSkinImageOfState()
{
    QFETCH(QString, state);
    QFETCH(int, image);
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    SkinButton *b = f.other;
    b->setText(QString());   // the face alone
    b->resize(132, 41);
    if (state.contains("focused")) {
        b->setFocus();
        QVERIFY(b->hasFocus());
    }
    if (state.contains("pressed"))
        b->setDown(true);
    if (state.contains("hot"))
        sendEnter(b);
    if (state.contains("disabled"))
        b->setEnabled(false);
    QCOMPARE(render(b), expectedFace(image, b->size()));
    // The hot image lasts one paint; the next shows the normal or focused face.
    if (image == ButtonSkin::Hot)
        QCOMPARE(render(b), expectedFace(state.contains("focused") ? ButtonSkin::Focused : ButtonSkin::Normal, b->size()));
}

void TestSkinButton::pictureIsPlacedAboveOrLeftOfCaption_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("above") << int(SkinButton::PicturePosition::Top) << true;
    QTest::newRow("left") << int(SkinButton::PicturePosition::Left) << true;
    QTest::newRow("above, disabled") << int(SkinButton::PicturePosition::Top) << false;
}

void TestSkinButton::pictureIsPlacedAboveOrLeftOfCaption()
{
    QFETCH(int, pos);
    QFETCH(bool, enabled);
    SkinButton b(QStringLiteral("Shop (F2)"));
    b.resize(113, 63);
    b.setPicturePosition(SkinButton::PicturePosition(pos));
    b.setPictureGap(2);
    // A 32 × 32 icon: a red square with a two-pixel transparent margin.
    b.setIcon(QIcon(QPixmap::fromImage(solidPicture({32, 32}, Qt::red))));
    b.setEnabled(enabled);

    const QFontMetrics fm(b.font());
    const int th = fm.height();
    const int tw = fm.horizontalAdvance(b.text());
    QPoint at;
    if (pos == int(SkinButton::PicturePosition::Top))
        at = QPoint((113 - 32) / 2, (63 - (th + 32 + 2)) / 2);
    else
        at = QPoint((113 - (32 + tw + 2)) / 2, (63 - 32) / 2);

    const QImage face = render(&b);
    const QColor fill = enabled ? QColor(Qt::red) : Colors::buttonFace();
    QCOMPARE(face.pixelColor(at + QPoint(2, 2)), fill);
    QCOMPARE(face.pixelColor(at + QPoint(29, 29)), fill);
    QVERIFY(face.pixelColor(at + QPoint(1, 1)) != fill);
    QVERIFY(face.pixelColor(at + QPoint(30, 30)) != fill);
}

void TestSkinButton::keys_data()
{
    QTest::addColumn<QString>("setup");      // which buttons are Default / Cancel / disabled
    QTest::addColumn<QString>("focus");      // edit, memo, ok, other
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("clicks");  // ok, cancel, other
    QTest::addColumn<bool>("editSawKey");

    const int none = Qt::NoModifier;
    QTest::newRow("Enter in an edit clicks the Default button")
        << "default" << "edit" << int(Qt::Key_Return) << none << QList<int>{1, 0, 0} << false;
    QTest::newRow("Enter without a Default button goes to the edit")
        << "" << "edit" << int(Qt::Key_Return) << none << QList<int>{0, 0, 0} << true;
    QTest::newRow("Shift+Enter is not a dialog key")
        << "default" << "edit" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << QList<int>{0, 0, 0} << true;
    QTest::newRow("Enter on another skin button clicks that one")
        << "default" << "other" << int(Qt::Key_Return) << none << QList<int>{0, 0, 1} << false;
    QTest::newRow("Enter on the Default button clicks it once")
        << "default" << "ok" << int(Qt::Key_Return) << none << QList<int>{1, 0, 0} << false;
    QTest::newRow("Space on a focused button clicks it")
        << "default" << "other" << int(Qt::Key_Space) << none << QList<int>{0, 0, 1} << false;
    QTest::newRow("Enter in a memo makes a new line")
        << "default" << "memo" << int(Qt::Key_Return) << none << QList<int>{0, 0, 0} << false;
    QTest::newRow("Esc clicks the Cancel button")
        << "cancel" << "edit" << int(Qt::Key_Escape) << none << QList<int>{0, 1, 0} << false;
    QTest::newRow("Esc without a Cancel button goes to the edit")
        << "" << "edit" << int(Qt::Key_Escape) << none << QList<int>{0, 0, 0} << true;
    QTest::newRow("a disabled Default button is not clicked")
        << "default disabled" << "edit" << int(Qt::Key_Return) << none << QList<int>{0, 0, 0} << true;
}

void TestSkinButton::keys()
{
    QFETCH(QString, setup);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, clicks);
    QFETCH(bool, editSawKey);

    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    bool sawKey = false;
    QObject::connect(f.edit, &FlatEdit::keyDown, f.edit, [&](int k) { sawKey = sawKey || k == key; });
    if (setup.contains("default"))
        f.ok->setDefault(true);
    if (setup.contains("cancel"))
        f.cancel->setCancel(true);
    if (setup.contains("disabled"))
        f.ok->setEnabled(false);
    QWidget *target = focus == "edit" ? static_cast<QWidget *>(f.edit)
        : focus == "memo"             ? static_cast<QWidget *>(f.memo)
        : focus == "ok"               ? static_cast<QWidget *>(f.ok)
                                      : static_cast<QWidget *>(f.other);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.clicks(), clicks);
    QCOMPARE(sawKey, editSawKey);
    if (focus == "memo")
        QCOMPARE(f.memo->blockCount(), 2);
}

void TestSkinButton::mouseReleaseOutsideDoesNotClick()
{
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QTest::mousePress(f.other, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.other->hasFocus());   // pressing takes the focus
    QCOMPARE(render(f.other).pixel(1, 1), expectedFace(ButtonSkin::Pressed, f.other->size()).pixel(1, 1));
    QTest::mouseMove(f.other, QPoint(-20, -20));
    QTest::mouseRelease(f.other, Qt::LeftButton, {}, QPoint(-20, -20));
    QCOMPARE(f.clicks(), (QList<int>{0, 0, 0}));

    QTest::mouseClick(f.other, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.clicks(), (QList<int>{0, 0, 1}));
    f.other->setEnabled(false);
    QTest::mouseClick(f.other, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.clicks(), (QList<int>{0, 0, 1}));
}

void TestSkinButton::handCursorIsRegistered()
{
    const QCursor hand = HandCursor::cursorById(HandCursor::kHandCursorId);
    QCOMPARE(hand.shape(), Qt::BitmapCursor);
    QCOMPARE(hand.pixmap().size(), QSize(32, 32));
    QCOMPARE(HandCursor::cursorById(1).shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestSkinButton)
#include "tst_skinbutton.moc"
