#include "fakedisplay.h"

#include "display/customerdisplay.h"
#include "display/displayframes.h"

#include "base/apperror.h"

#include <QTest>

namespace {

QByteArray esc(const char *rest)
{
    return QByteArray("\x1B") + rest;
}

QByteArray gbk(const char *utf8)
{
    return TextCodec(TextEncoding::Gbk).encode(QString::fromUtf8(utf8));
}

} // namespace

class TestCustomerDisplay : public QObject
{
    Q_OBJECT

private slots:
    void eachProtocolGetsItsFrames_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("figure");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const int led = int(DisplayProtocol::Led8);
        const int vfd = int(DisplayProtocol::Vfd2x20);
        QTest::newRow("led price") << led << int(DisplayFigure::Price) << "4.5" << "面"
                                   << esc("s1") + esc("QA4.50\r");
        QTest::newRow("led total") << led << int(DisplayFigure::Total) << "23.7" << ""
                                   << esc("s2") + esc("QA23.70\r");
        QTest::newRow("led eight digits") << led << int(DisplayFigure::Total) << "123456.789" << ""
                                          << esc("s2") + esc("QA123456.79\r");
        QTest::newRow("led fewer decimals") << led << int(DisplayFigure::Total) << "1234567.5" << ""
                                            << esc("s2") + esc("QA1234567.5\r");
        QTest::newRow("led too large") << led << int(DisplayFigure::Total) << "123456789" << ""
                                       << esc("s2") + esc("QA--------\r");
        QTest::newRow("vfd price") << vfd << int(DisplayFigure::Price) << "4.5" << "康师傅红烧牛肉面桶装大碗"
                                   << esc("QA") + gbk("康师傅红烧牛肉面桶装") + "\r" + esc("QB") + gbk("单价:")
                                          + "           4.50\r";
        QTest::newRow("vfd total") << vfd << int(DisplayFigure::Total) << "23.7" << ""
                                   << esc("QA") + gbk("总计") + QByteArray(16, ' ') + "\r" + esc("QB")
                                          + gbk("总计:") + "          23.70\r";
    }
    void eachProtocolGetsItsFrames()
    {
        QFETCH(int, protocol);
        QFETCH(int, figure);
        QFETCH(QString, amount);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        FakeDisplay pole;
        CustomerDisplay display;
        display.setSettings({true, pole.device, 9600, DisplayProtocol(protocol)});
        display.showFigure(DisplayFigure(figure), amount, name);
        QCOMPARE(pole.received(), bytes);
        QCOMPARE(display.problem(), QString());
    }

    void paymentAndClearing()
    {
        FakeDisplay pole;
        CustomerDisplay display;
        display.setSettings({true, pole.device, 2400, DisplayProtocol::Led8});
        display.showPayment(QStringLiteral("100"), QStringLiteral("76.3"));
        display.clear();
        QCOMPARE(pole.received(), esc("s4") + esc("QA76.30\r") + esc("@"));

        display.setSettings({true, pole.device, 2400, DisplayProtocol::Vfd2x20});
        display.showPayment(QStringLiteral("100"), QStringLiteral("76.3"));
        display.clear();
        QCOMPARE(pole.received(), esc("QA") + gbk("收款:") + "         100.00\r" + esc("QB") + gbk("找零:")
                                      + "          76.30\r" + esc("@") + "\x0C");
    }

    void aMissingOrUnpluggedDisplayOnlyMarksItself()
    {
        CustomerDisplay display;
        display.setSettings({true, QStringLiteral("/dev/ttyUSB-none"), 9600, DisplayProtocol::Led8});
        display.showFigure(DisplayFigure::Price, QStringLiteral("1"));   // no throw: the sale goes on
        QVERIFY2(display.problem().contains(QStringLiteral("/dev/ttyUSB-none")), qPrintable(display.problem()));
        QVERIFY_THROWS_EXCEPTION(FileError, display.test());

        FakeDisplay pole;
        display.setSettings({true, pole.device, 9600, DisplayProtocol::Led8});
        display.test();
        QCOMPARE(pole.received(), esc("@") + esc("s2") + esc("QA888888.88\r"));
        QCOMPARE(display.problem(), QString());
        pole.unplug();
        display.showFigure(DisplayFigure::Total, QStringLiteral("5"));
        QVERIFY(!display.problem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCustomerDisplay)
#include "tst_customerdisplay.moc"
