// Rings up lines on the cashier screen, says so, and waits to be killed.
// With a printer option it then completes the sale on that printer.
#include "windows/cashierwindow.h"
#include "app/fenwoapplication.h"
#include "receipt/receiptprinter.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "typing.h"

#include <QLabel>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    FenwoApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CashierWindow window(QString::fromLocal8Bit(argv[1]));
    window.show();
    QApplication::processEvents();
    if (argc < 3) {
        typeText(window.productBox(), QStringLiteral("散装糖果"));
        QTest::keyClick(window.productBox(), Qt::Key_Return);
        QTest::keyClicks(window.priceBox(), QStringLiteral("5"));
        QTest::keyClick(window.priceBox(), Qt::Key_Return);
        std::printf("stored %s\n", qPrintable(window.totalAmountLabel()->text()));
        std::fflush(stdout);
        return app.exec();
    }
    window.setReceiptPrinter(ReceiptPrinter::create(QString::fromLocal8Bit(argv[2])));
    for (int i = 0; i < 2; ++i) {
        QTest::keyClicks(window.productBox(), QStringLiteral("6901"));
        QTest::keyClick(window.productBox(), Qt::Key_Return);
    }
    std::printf("completing %s\n", qPrintable(window.totalAmountLabel()->text()));
    std::fflush(stdout);
    QTest::keyClick(window.productBox(), Qt::Key_F12);
    std::printf("completed\n");
    std::fflush(stdout);
    return app.exec();
}
