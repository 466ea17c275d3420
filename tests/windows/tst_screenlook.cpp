#include "fenwotestmain.h"
#include "cashierfixture.h"

#include "widgets/datagrid.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/flatspeedbutton.h"
#include "windows/cataloguewindow.h"
#include "windows/salesrecordswindow.h"
#include "windows/shopsettingswindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>

#include <cmath>

// How the screens look, measured on what they draw: the greys, the grid
// titles, the side windows' titles over their pictures, the captions of the
// settings window and the cashier window's title.
namespace {

const QColor kClGray(0x80, 0x80, 0x80);

QLabel *labelWithText(QWidget *window, const QString &text, const QColor &color = {})
{
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->text() == text && (!color.isValid() || label->palette().color(QPalette::WindowText) == color))
            return label;
    return nullptr;
}

// The darkest pixel of a region: where the text covers a pixel fully, its colour.
QColor darkest(const QImage &image, const QRect &region)
{
    QColor out(Qt::white);
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < out.red() + out.green() + out.blue())
                out = c;
        }
    return out;
}

QColor mean(const QImage &image, const QRect &region)
{
    double r = 0, g = 0, b = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    const double n = double(region.width()) * region.height();
    return QColor(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
}

// WCAG 2 contrast ratio of two colours (1 to 21).
double contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestScreenLook : public QObject
{
    Q_OBJECT

private slots:
    // "Gray" is Colors::grey, #808080: the hint under the payment boxes, the two
    // check boxes' captions and the green buttons' frame.
    void greyIsClGray()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        const QImage shot = w->grab().toImage();
        QLabel *hint = labelWithText(w, QStringLiteral("F11定位到输入来款金额,按回车自动算出找零金额,再按回车就打印."));
        QVERIFY(hint);
        QCOMPARE(darkest(shot, hint->geometry()), kClGray);
        for (FlatCheckBox *box : {w->twoCopiesBox(), w->autoAddBox()}) {
            const QImage face = box->grab().toImage();
            QCOMPARE(darkest(face, QRect(18, 1, box->width() - 20, box->height() - 2)), kClGray);
        }
        const QImage button = w->leaveButton()->grab().toImage();
        QCOMPARE(button.pixelColor(button.width() / 2, 0), kClGray);
        QCOMPARE(button.pixelColor(0, button.height() / 2), kClGray);
    }

    // The title row is flat in its fixed colour (#DDFFEE), with no shading.
    void gridTitlesAreFlat()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        QApplication::processEvents();
        QVERIFY(w->recordsWindow());
        for (QTableView *grid : {static_cast<QTableView *>(w->saleGrid()), w->recordsWindow()->grid()}) {
            QHeaderView *titles = grid->horizontalHeader();
            const QImage image = titles->viewport()->grab().toImage();
            const QColor fixed(0xDD, 0xFF, 0xEE);
            // Down the first pixel of each title (the line between titles is at
            // their right end; the text never starts at the edge), and over
            // the empty part after the last title.
            QList<int> columns;
            for (int section = 0; section < titles->count(); ++section)
                columns << titles->sectionViewportPosition(section);
            if (titles->length() + 3 < image.width())
                columns << image.width() - 2;
            for (int x : columns)
                for (int y = 0; y < image.height() - 1; ++y)
                    QVERIFY2(image.pixelColor(x, y) == fixed,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(image.pixelColor(x, y).name()).arg(x).arg(y)));
        }
    }

    // The side windows' titles (white with a black shadow) read over their
    // pictures: contrast of the white text against the mean of the picture
    // under it at least 4.5, the WCAG measure for text.
    void sideWindowTitlesRead_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("title");
        QTest::newRow("sales records") << int(Qt::Key_F5) << "查 询 统 计";
        QTest::newRow("shop settings") << int(Qt::Key_F2) << "店 铺 设 置";
        QTest::newRow("catalogue") << int(Qt::Key_F3) << "商 品 信 息";
    }
    void sideWindowTitlesRead()
    {
        QFETCH(int, key);
        QFETCH(QString, title);
        CashierFixture f;
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key(key));
        QApplication::processEvents();
        QWidget *side = QApplication::activeWindow() != w ? QApplication::activeWindow() : nullptr;
        for (QWidget *candidate : {static_cast<QWidget *>(w->recordsWindow()), static_cast<QWidget *>(w->settingsWindow()),
                                   static_cast<QWidget *>(w->catalogueWindow())})
            if (candidate && candidate->isVisible())
                side = candidate;
        QVERIFY(side);
        QLabel *face = labelWithText(side, title, Qt::white);
        QVERIFY(face);
        QLabel *picture = nullptr;
        for (QLabel *label : side->findChildren<QLabel *>())
            if (!label->pixmap().isNull() && label->geometry() == side->rect())
                picture = label;
        QVERIFY(picture);
        const QRect text = QFontMetrics(face->font())
                               .boundingRect(face->rect(), int(face->alignment()), face->text())
                               .intersected(face->rect())
                               .translated(face->pos());
        const QColor under = mean(picture->grab().toImage(), text);
        const double ratio = contrast(face->palette().color(QPalette::WindowText), under);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("contrast %1 against %2").arg(ratio).arg(under.name())));
    }

    // "收银员：" shows its colon: each caption ends before the box it names.
    void settingsCaptionsEndBeforeTheirBoxes()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key_F2);
        ShopSettingsWindow *settings = w->settingsWindow();
        QVERIFY(settings);
        const QList<QPair<QString, QWidget *>> captions{
            {QStringLiteral("收银员："), static_cast<QWidget *>(settings->cashierBox())},
            {QStringLiteral("店  名："), static_cast<QWidget *>(settings->shopNameBox())},
            {QStringLiteral("备  注："), static_cast<QWidget *>(settings->remarkBox())}};
        for (const auto &[text, box] : captions) {
            QLabel *caption = labelWithText(settings, text);
            QVERIFY(caption);
            QCOMPARE(caption->parentWidget(), box->parentWidget());
            const double end = caption->x() + QFontMetricsF(caption->font()).horizontalAdvance(text);
            QVERIFY2(end <= box->x(), qPrintable(QStringLiteral("%1 ends at %2, its box begins at %3")
                                                     .arg(text).arg(end).arg(box->x())));
            QVERIFY(caption->geometry().right() < box->x());
        }
    }

    // The cashier window's own title is "小票打印机软件", with nothing the
    // platform would append (it appends an application display name to every
    // title); the boxes keep the application title as their caption.
    void theCashierWindowIsTitledAsItself()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        QCOMPARE(w->windowHandle()->title(), QStringLiteral("小票打印机软件"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        w->priceBox()->setText(QStringLiteral("x"));
        w->productBox()->setEditText(QStringLiteral("货"));
        QTest::keyClick(w->priceBox(), Qt::Key_F10);
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->seen()[0].title, QStringLiteral("Fenwo免费小票机打印软件"));
    }
};

FENWO_TEST_MAIN(TestScreenLook)
#include "tst_screenlook.moc"
