#include "base/textcodec.h"
#include "receipt/printererror.h"
#include "receipt/printertextdevice.h"
#include "receipt/printsurface.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "receipttestdata.h"

#include <QtTest>

namespace {

// A surface that keeps a log of what the device asks of it. One byte of
// text is `unit` pixels wide at 10 points (scaled with the size), text is
// twice the point size high.
class RecordingSurface final : public PrintSurface
{
public:
    int width = 1000;
    int height = 100000;
    int unit = 10;
    int averageWidth = 0; // 0: one byte's width
    QString failOnBegin;
    bool failOnDraw = false;
    QStringList log;

    void beginJob() override
    {
        if (!failOnBegin.isEmpty())
            throw PrinterError(failOnBegin);
        log << QStringLiteral("begin");
    }
    void endJob() override { log << QStringLiteral("end"); }
    void abortJob() noexcept override { log << QStringLiteral("abort"); }
    void newPage() override { log << QStringLiteral("page"); }
    int printableWidth() const override { return width; }
    int printableHeight() const override { return height; }
    void setFontSize(int points) override
    {
        m_points = points;
        log << QStringLiteral("size %1").arg(points);
    }
    QSize textExtent(const QString &text) const override
    {
        return QSize(int(TextCodec(TextEncoding::Gbk).byteLength(text)) * byteWidth(), charHeight());
    }
    int averageCharWidth() const override { return averageWidth > 0 ? averageWidth : byteWidth(); }
    int charHeight() const override { return 2 * m_points; }
    void drawText(int x, int y, const QString &text) override
    {
        if (failOnDraw)
            throw PrinterError(QStringLiteral("paper out"));
        log << QStringLiteral("draw %1,%2 %3").arg(x).arg(y).arg(text);
    }
    void lineEnded(int nextY) override { log << QStringLiteral("line %1").arg(nextY); }

    QStringList draws() const { return log.filter(QRegularExpression(QStringLiteral("^draw "))); }
    QStringList withoutSizes() const
    {
        QStringList result = log;
        result.removeIf([](const QString &entry) { return entry.startsWith(QLatin1String("size")); });
        return result;
    }

private:
    int byteWidth() const { return unit * m_points / 10; }
    int m_points = 10;
};

QString workedExampleTitle()
{
    return QLatin1Char(' ') + workedExampleSale().shopName;
}

struct Fixture
{
    RecordingSurface *surface;
    std::unique_ptr<PrinterTextDevice> device;
};

Fixture openDevice(int width = 1000, int height = 100000, int unit = 10)
{
    auto surface = std::make_unique<RecordingSurface>();
    surface->width = width;
    surface->height = height;
    surface->unit = unit;
    Fixture fixture{surface.get(), std::make_unique<PrinterTextDevice>(std::move(surface))};
    fixture.device->openJob();
    fixture.surface->log.clear();
    return fixture;
}

} // namespace

class PrinterTextDeviceTest final : public QObject
{
    Q_OBJECT

private slots:
    void lineHeightIsTallestTextPlusTwo();
    void emptyLineAdvancesByCharacterHeight();
    void controlCharacters_data();
    void controlCharacters();
    void wrap_data();
    void wrap();
    void tabStops_data();
    void tabStops();
    void pageBreak_data();
    void pageBreak();
    void printingInProgress();
    void failedOpenLeavesNoJob();
    void fontSizeOutlivesTheJob();

    void receiptIsOneJob();
    void receiptErrorEndsTheJob();
};

void PrinterTextDeviceTest::lineHeightIsTallestTextPlusTwo()
{
    // 10-point text is 20 high, 12-point 24: the line takes the tallest
    // run plus 2, and a smaller run after it does not lower it.
    Fixture f = openDevice();
    f.device->setFontSize(10);
    f.device->write(QStringLiteral("ab"));
    QCOMPARE(f.device->lineHeight(), 22);
    f.device->setFontSize(12);
    f.device->write(QStringLiteral(u"福"));
    f.device->setFontSize(10);
    f.device->write(QStringLiteral("d"));
    QCOMPARE(f.device->lineHeight(), 26);
    f.device->endLine();
    f.device->write(QStringLiteral("e"));
    f.device->endLine();
    QCOMPARE(f.surface->withoutSizes(),
             (QStringList{QStringLiteral("draw 0,0 ab"), QStringLiteral(u"draw 20,0 福"),
                          QStringLiteral("draw 44,0 d"), QStringLiteral("line 26"),
                          QStringLiteral("draw 0,26 e"), QStringLiteral("line 48")}));
    QCOMPARE(f.device->lineHeight(), 0);
}

void PrinterTextDeviceTest::emptyLineAdvancesByCharacterHeight()
{
    Fixture f = openDevice();
    f.device->setFontSize(10);
    f.device->endLine();
    QCOMPARE(f.device->position(), QPoint(0, 20));
    f.device->write(QString());
    f.device->endLine();
    QCOMPARE(f.device->position(), QPoint(0, 40));
    f.device->setFontSize(12);
    f.device->endLine();
    QCOMPARE(f.device->position(), QPoint(0, 64));
    QVERIFY(f.surface->draws().isEmpty());
}

void PrinterTextDeviceTest::controlCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("CR only ends the run")
        << QStringLiteral("ab\rcd")
        << QStringList{QStringLiteral("draw 0,0 ab"), QStringLiteral("draw 20,0 cd")};
    QTest::newRow("LF ends the line")
        << QStringLiteral("ab\ncd")
        << QStringList{QStringLiteral("draw 0,0 ab"), QStringLiteral("line 22"),
                       QStringLiteral("draw 0,22 cd")};
    QTest::newRow("CR LF inside a remark")
        << QStringLiteral(u"谢谢\r\n\r\n再来")
        << QStringList{QStringLiteral(u"draw 0,0 谢谢"), QStringLiteral("line 22"),
                       QStringLiteral("line 42"), QStringLiteral(u"draw 0,42 再来")};
    QTest::newRow("FF starts a page at the top")
        << QStringLiteral("ab\ncd\fef")
        << QStringList{QStringLiteral("draw 0,0 ab"), QStringLiteral("line 22"),
                       QStringLiteral("draw 0,22 cd"), QStringLiteral("page"),
                       QStringLiteral("draw 0,0 ef")};
}

void PrinterTextDeviceTest::controlCharacters()
{
    QFETCH(QString, text);
    QFETCH(QStringList, log);
    Fixture f = openDevice();
    f.device->write(text);
    QCOMPARE(f.surface->log, log);
}

void PrinterTextDeviceTest::wrap_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("draws");

    // Ten bytes fit on a line of 100 pixels.
    QTest::newRow("ascii at the edge")
        << 100 << QStringList{QStringLiteral("abcdefghijkl")}
        << QStringList{QStringLiteral("draw 0,0 abcdefghij"), QStringLiteral("draw 0,22 kl")};
    QTest::newRow("exact fit does not wrap")
        << 100 << QStringList{QStringLiteral("abcdefghij")}
        << QStringList{QStringLiteral("draw 0,0 abcdefghij")};
    QTest::newRow("chinese character kept whole")
        << 100 << QStringList{QStringLiteral(u"a一二三四五")}
        << QStringList{QStringLiteral(u"draw 0,0 a一二三四"), QStringLiteral(u"draw 0,22 五")};
    QTest::newRow("chinese filling the line exactly")
        << 100 << QStringList{QStringLiteral(u"ab一二三四五")}
        << QStringList{QStringLiteral(u"draw 0,0 ab一二三四"), QStringLiteral(u"draw 0,22 五")};
    QTest::newRow("long run over three lines")
        << 100 << QStringList{QStringLiteral(u"一二三四五六七八九十甲乙丙")}
        << QStringList{QStringLiteral(u"draw 0,0 一二三四五"),
                       QStringLiteral(u"draw 0,22 六七八九十"),
                       QStringLiteral(u"draw 0,44 甲乙丙")};
    QTest::newRow("second run continues, then wraps")
        << 100 << QStringList{QStringLiteral("abcdefgh"), QStringLiteral("ijkl")}
        << QStringList{QStringLiteral("draw 0,0 abcdefgh"), QStringLiteral("draw 80,0 ij"),
                       QStringLiteral("draw 0,22 kl")};
    QTest::newRow("no room for half a character")
        << 100 << QStringList{QStringLiteral("abcdefghi"), QStringLiteral(u"一二")}
        << QStringList{QStringLiteral("draw 0,0 abcdefghi"), QStringLiteral(u"draw 0,22 一二")};
    QTest::newRow("character wider than the line")
        << 15 << QStringList{QStringLiteral(u"一二")}
        << QStringList{QStringLiteral(u"draw 0,0 一"), QStringLiteral(u"draw 0,22 二")};
}

void PrinterTextDeviceTest::wrap()
{
    QFETCH(int, width);
    QFETCH(QStringList, writes);
    QFETCH(QStringList, draws);
    Fixture f = openDevice(width);
    for (const QString &text : writes)
        f.device->write(text);
    QCOMPARE(f.surface->draws(), draws);
}

void PrinterTextDeviceTest::tabStops_data()
{
    // One pixel per byte and an average character of 10: stops every 80,
    // with x growing by T - ((x + T + 1) mod T) + 1.
    QTest::addColumn<int>("before");
    QTest::addColumn<QPoint>("after");
    QTest::newRow("from 0") << 0 << QPoint(80, 0);
    QTest::newRow("from 10") << 10 << QPoint(80, 0);
    QTest::newRow("from 78") << 78 << QPoint(80, 0);
    QTest::newRow("from 79 skips a stop") << 79 << QPoint(160, 0);
    QTest::newRow("from a stop") << 80 << QPoint(160, 0);
    QTest::newRow("landing on the width stays") << 190 << QPoint(240, 0);
    QTest::newRow("beyond the width ends the line") << 239 << QPoint(0, 22);
}

void PrinterTextDeviceTest::tabStops()
{
    QFETCH(int, before);
    QFETCH(QPoint, after);
    Fixture f = openDevice(240, 100000, 1);
    f.surface->averageWidth = 10;
    f.device->write(QString(before, QLatin1Char('a')) + QLatin1Char('\t'));
    QCOMPARE(f.device->position(), after);
}

void PrinterTextDeviceTest::pageBreak_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("log");

    // A 22-pixel line breaks the page once y passes height - 44.
    QTest::newRow("third line breaks")
        << 100 << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}
        << QStringList{QStringLiteral("draw 0,0 a"), QStringLiteral("line 22"),
                       QStringLiteral("draw 0,22 b"), QStringLiteral("line 44"),
                       QStringLiteral("draw 0,44 c"), QStringLiteral("page"), QStringLiteral("line 0"),
                       QStringLiteral("draw 0,0 d"), QStringLiteral("line 22")};
    // An empty line has no height, so only passing the bottom breaks.
    QTest::newRow("empty lines run to the bottom")
        << 60 << QStringList{QString(), QString(), QString(), QString()}
        << QStringList{QStringLiteral("line 20"), QStringLiteral("line 40"), QStringLiteral("line 60"),
                       QStringLiteral("page"), QStringLiteral("line 0")};
}

void PrinterTextDeviceTest::pageBreak()
{
    QFETCH(int, height);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, log);
    Fixture f = openDevice(1000, height);
    for (const QString &line : lines) {
        f.device->write(line);
        f.device->endLine();
    }
    QCOMPARE(f.surface->log, log);
}

void PrinterTextDeviceTest::printingInProgress()
{
    Fixture f = openDevice();
    try {
        f.device->openJob();
        QFAIL("a second job opened");
    } catch (const PrinterError &error) {
        QCOMPARE(error.message(), QStringLiteral("Printing in progress"));
    }
    // The first job is untouched and can still be finished.
    QVERIFY(f.device->isPrinting());
    f.device->write(QStringLiteral("x"));
    f.device->closeJob();
    QCOMPARE(f.surface->log, (QStringList{QStringLiteral("draw 0,0 x"), QStringLiteral("end")}));
    f.device->openJob();
    QVERIFY(f.device->isPrinting());
}

void PrinterTextDeviceTest::failedOpenLeavesNoJob()
{
    auto owned = std::make_unique<RecordingSurface>();
    RecordingSurface *surface = owned.get();
    surface->failOnBegin = QStringLiteral("There is no default printer currently selected");
    PrinterTextDevice device(std::move(owned));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            device.openJob();
            QFAIL("the job opened");
        } catch (const PrinterError &error) {
            QCOMPARE(error.message(), surface->failOnBegin);
        }
        QVERIFY(!device.isPrinting());
    }
}

void PrinterTextDeviceTest::fontSizeOutlivesTheJob()
{
    Fixture f = openDevice();
    f.device->setFontSize(12);
    f.device->closeJob();
    f.device->openJob();
    f.device->write(QStringLiteral("a"));
    QCOMPARE(f.device->lineHeight(), 26);
    QCOMPARE(f.device->fontSize(), 12);
}

void PrinterTextDeviceTest::receiptIsOneJob()
{
    auto owned = std::make_unique<RecordingSurface>();
    RecordingSurface *surface = owned.get();
    ReceiptPrinter printer(std::move(owned));
    printer.printCopy(workedExampleSale(), ReceiptCopy::First);

    const QStringList &log = surface->log;
    QCOMPARE(log.count(QStringLiteral("begin")), 1);
    QCOMPARE(log.count(QStringLiteral("end")), 1);
    QCOMPARE(log.constLast(), QStringLiteral("end"));
    // 12 points for the title, then 10 for the rest.
    const qsizetype begin = log.indexOf(QStringLiteral("begin"));
    QCOMPARE(log.mid(begin, 5),
             (QStringList{QStringLiteral("begin"), QStringLiteral("size 12"),
                          QStringLiteral("draw 0,0 ") + workedExampleTitle(), QStringLiteral("line 26"),
                          QStringLiteral("size 10")}));
    QCOMPARE(log.mid(begin + 5).filter(QStringLiteral("size")), QStringList{});
    QCOMPARE(log.mid(begin + 5, 2),
             (QStringList{QStringLiteral(u"draw 0,26 单号:261206143005"), QStringLiteral("line 48")}));
    // Twenty lines; the remark is not empty, so each advances 22 after the
    // title's 26.
    const QStringList lineEnds = log.filter(QRegularExpression(QStringLiteral("^line ")));
    QCOMPARE(lineEnds.size(), 20);
    QCOMPARE(lineEnds.constLast(), QStringLiteral("line %1").arg(26 + 19 * 22));
    // An item line is three draws; at ten pixels a byte the quantity starts
    // at byte 17 and the amount at byte 22, under the header's columns.
    QCOMPARE(surface->draws().mid(6, 3),
             (QStringList{QStringLiteral(u"draw 0,136 矿泉水           "),
                          QStringLiteral("draw 170,136 2    "), QStringLiteral("draw 220,136 7")}));
}

void PrinterTextDeviceTest::receiptErrorEndsTheJob()
{
    auto owned = std::make_unique<RecordingSurface>();
    RecordingSurface *surface = owned.get();
    surface->failOnDraw = true;
    ReceiptPrinter printer(std::move(owned));
    try {
        printer.printCopy(workedExampleSale(), ReceiptCopy::First);
        QFAIL("printing went on");
    } catch (const PrinterError &error) {
        QCOMPARE(error.message(), QStringLiteral("paper out"));
    }
    QCOMPARE(surface->log.constLast(), QStringLiteral("abort"));
    QVERIFY(!printer.device().isPrinting());
    // The next copy is not refused with "Printing in progress".
    surface->failOnDraw = false;
    surface->log.clear();
    printer.printCopy(workedExampleSale(), ReceiptCopy::Second);
    QCOMPARE(surface->log.constLast(), QStringLiteral("end"));
}

QTEST_GUILESS_MAIN(PrinterTextDeviceTest)
#include "tst_printertextdevice.moc"
