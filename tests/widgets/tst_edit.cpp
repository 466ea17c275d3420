#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPushButton>
#include <QTest>

namespace {

const QColor kBorder(160, 150, 131);   // the default border line
const QColor kParent(221, 255, 238);

QImage render(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void sendEnter(QWidget *w)
{
    QEnterEvent enter(QPointF(2, 2), w->mapTo(w->window(), QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &enter);
}

void sendLeave(QWidget *w)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
}

// The outer line in the border colour, the two rings inside it and the
// text area in the fill colour.
void checkFrame(QWidget *w, const QColor &border, const QColor &fill)
{
    const QImage img = render(w);
    const int r = img.width() - 1;
    const int b = img.height() - 1;
    for (QPoint p : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b), QPoint(r / 2, 0), QPoint(0, b / 2),
                     QPoint(r, b / 2), QPoint(r / 2, b)})
        QCOMPARE(img.pixelColor(p), border);
    for (QPoint p : {QPoint(1, 1), QPoint(2, 2), QPoint(r - 1, b - 1), QPoint(r - 2, b - 2), QPoint(r / 2, 1),
                     QPoint(r / 2, 2), QPoint(1, b / 2), QPoint(r - 2, b / 2), QPoint(r / 2, b - 2), QPoint(r - 4, 4)})
        QCOMPARE(img.pixelColor(p), fill);
}

// A parent in the band colour holding two edits, a memo and a push button.
struct Form
{
    QWidget window;
    FlatEdit *first = new FlatEdit(&window);
    FlatEdit *second = new FlatEdit(&window);
    FlatMemo *memo = new FlatMemo(&window);
    QPushButton *button = new QPushButton(QStringLiteral("B"), &window);

    Form()
    {
        QPalette p = window.palette();
        p.setColor(QPalette::Window, kParent);
        window.setPalette(p);
        window.resize(400, 300);
        first->setGeometry(10, 10, 121, 26);
        second->setGeometry(10, 50, 121, 26);
        memo->setGeometry(10, 90, 185, 89);
        button->setGeometry(200, 10, 75, 24);
        first->setColorFlat(QColor(227, 227, 227));
        second->setColorFlat(QColor(227, 227, 227));
        memo->setColorFlat(QColor(227, 227, 227));
        window.show();
        window.activateWindow();
    }
};

} // namespace

class TestFlatEdit : public QObject
{
    Q_OBJECT

private slots:
    void colourFollowsParentUntilSet();
    void flatAndFocusedFrames_data();
    void flatAndFocusedFrames();
    void hoverLook_data();
    void hoverLook();
    void focusToAnotherEditEndsFocusedLookUnderPointer();
    void heightFollowsFont_data();
    void heightFollowsFont();
    void keyDownComesBeforeTheEdit();
};

void TestFlatEdit::colourFollowsParentUntilSet()
{
    FlatEdit alone;
    QCOMPARE(alone.colorFlat(), QColor(235, 234, 225));
    QCOMPARE(alone.size(), QSize(121, 19));

    QWidget parent;
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, kParent);
    parent.setPalette(p);
    FlatEdit edit(&parent);
    FlatEdit coloured(&parent);
    FlatMemo memo(&parent);
    QCOMPARE(edit.colorFlat(), kParent);
    QCOMPARE(memo.colorFlat(), kParent);
    coloured.setColorFlat(Qt::white);
    QVERIFY(!coloured.followsParentColor());

    p.setColor(QPalette::Window, Qt::yellow);
    parent.setPalette(p);
    QCOMPARE(edit.colorFlat(), QColor(Qt::yellow));
    QCOMPARE(memo.colorFlat(), QColor(Qt::yellow));
    QCOMPARE(coloured.colorFlat(), QColor(Qt::white));
    coloured.setDerivedColors(true);   // derived colours follow the parent again
    QCOMPARE(coloured.colorFlat(), QColor(Qt::yellow));
    QVERIFY(coloured.colorBorder() != kBorder);
}

void TestFlatEdit::flatAndFocusedFrames_data()
{
    QTest::addColumn<bool>("memo");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("edit, flat") << false << false << false;
    QTest::newRow("edit, focused") << false << true << false;
    QTest::newRow("read-only edit, focused") << false << true << true;
    QTest::newRow("memo, flat") << true << false << false;
    QTest::newRow("memo, focused") << true << true << false;
}

void TestFlatEdit::flatAndFocusedFrames()
{
    QFETCH(bool, memo);
    QFETCH(bool, focused);
    QFETCH(bool, readOnly);
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QWidget *box = memo ? static_cast<QWidget *>(f.memo) : static_cast<QWidget *>(f.first);
    const QColor focusColour(255, 255, 200);
    const QColor borderColour(10, 20, 200);
    if (memo) {
        f.memo->setColorFocused(focusColour);
        f.memo->setColorBorder(borderColour);
    } else {
        f.first->setColorFocused(focusColour);
        f.first->setColorBorder(borderColour);
        f.first->setReadOnly(readOnly);
    }
    if (focused)
        box->setFocus();
    else
        f.button->setFocus();
    checkFrame(box, borderColour, focused ? focusColour : QColor(227, 227, 227));
}

void TestFlatEdit::hoverLook_data()
{
    QTest::addColumn<QString>("focusOn");
    QTest::addColumn<bool>("focusedLook");
    QTest::newRow("focus on a button: hover shows the focused look") << "button" << true;
    QTest::newRow("focus on another flat edit: hover keeps the flat look") << "second" << false;
    QTest::newRow("focus on a flat memo: hover shows the focused look") << "memo" << true;
}

void TestFlatEdit::hoverLook()
{
    QFETCH(QString, focusOn);
    QFETCH(bool, focusedLook);
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QWidget *focus = focusOn == "button" ? static_cast<QWidget *>(f.button)
        : focusOn == "memo"              ? static_cast<QWidget *>(f.memo)
                                         : static_cast<QWidget *>(f.second);
    focus->setFocus();
    sendEnter(f.first);
    QCOMPARE(f.first->focusedLook(), focusedLook);
    checkFrame(f.first, kBorder, focusedLook ? QColor(Qt::white) : QColor(227, 227, 227));
    sendLeave(f.first);
    QVERIFY(!f.first->focusedLook());
    checkFrame(f.first, kBorder, QColor(227, 227, 227));
}

void TestFlatEdit::focusToAnotherEditEndsFocusedLookUnderPointer()
{
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.first->setFocus();
    sendEnter(f.first);
    QVERIFY(f.first->focusedLook());
    f.second->setFocus();
    QVERIFY(!f.first->focusedLook());
    QVERIFY(f.second->focusedLook());
}

void TestFlatEdit::heightFollowsFont_data()
{
    QTest::addColumn<int>("pixels");
    QTest::newRow("16 pixel characters") << 16;
    QTest::newRow("19 pixel characters") << 19;
    QTest::newRow("larger at run time") << 30;
}

void TestFlatEdit::heightFollowsFont()
{
    QFETCH(int, pixels);
    QWidget parent;
    FlatEdit edit(&parent);
    edit.setGeometry(10, 10, 153, 40);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    edit.setFont(font);
    QCOMPARE(edit.height(), QFontMetrics(font).height() + 6);
    QCOMPARE(edit.width(), 153);
    FlatMemo memo(&parent);   // the memo keeps its height
    memo.resize(249, 217);
    memo.setFont(font);
    QCOMPARE(memo.size(), QSize(249, 217));
}

void TestFlatEdit::keyDownComesBeforeTheEdit()
{
    FlatEdit edit;
    edit.setText(QStringLiteral("12"));
    edit.setCursorPosition(2);
    QStringList seen;
    QObject::connect(&edit, &FlatEdit::keyDown, &edit, [&](int) { seen << edit.text(); });
    QTest::keyClick(&edit, Qt::Key_3);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(seen, (QStringList{QStringLiteral("12"), QStringLiteral("123")}));
    QCOMPARE(edit.text(), QStringLiteral("12"));
}

QTEST_MAIN(TestFlatEdit)
#include "tst_edit.moc"
