// A receipt with a 10,000-character remark and 200 sale lines: laying it out,
// and laying it out and sending it through the printer text device to a
// receipt printer stream that goes nowhere (/dev/null) and to a PDF file.
#include "benchsupport.h"

#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/pdfprintsurface.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <functional>

namespace {

ReceiptInput longReceipt()
{
    ReceiptInput input;
    input.shopName = QStringLiteral("      好邻居便利店");
    input.receiptNumber = QStringLiteral("261206143005");
    input.saleDate = QStringLiteral("2026-12-06");
    input.printTime = QStringLiteral("14:30");
    input.cashier = QStringLiteral("001");
    for (int i = 0; i < 200; ++i)
        input.saleLines.append({QStringLiteral("康师傅红烧牛肉面%1").arg(i), QStringLiteral("2"), QStringLiteral("9")});
    input.totalQuantity = QStringLiteral("400");
    input.totalAmount = QStringLiteral("1800");
    input.received = QStringLiteral("2000");
    input.change = QStringLiteral("200");
    // Chinese and ASCII mixed, no line end: one run the device must wrap.
    const QString piece = QStringLiteral("欢迎光临本店，Tel 0755-1234567，谢谢惠顾！");
    while (input.remark.size() < 10000)
        input.remark += piece;
    input.remark.truncate(10000);
    return input;
}

void report(const char *what, int rounds, const std::function<void()> &work)
{
    QList<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("%s: median %.2f ms (min %.2f, max %.2f) over %d rounds\n", what, Bench::median(ms),
                Bench::percentile(ms, 0), Bench::percentile(ms, 1.0), rounds);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? atoi(argv[1]) : 20;
    const ReceiptInput input = longReceipt();

    report("lay out (10,000-character remark, 200 lines)", rounds,
           [&] { (void)ReceiptLayout::lines(input, ReceiptCopy::First); });

    for (const int columns : {32, 48}) {
        ReceiptPrinter escpos(std::make_unique<EscPosPrintSurface>(
            std::make_unique<EscPosFileLink>(QStringLiteral("/dev/null")), columns));
        const QByteArray what = QStringLiteral("lay out and print to ESC/POS on /dev/null, %1 columns").arg(columns).toUtf8();
        report(what.constData(), rounds, [&] { escpos.printCopy(input, ReceiptCopy::First); });
    }

    QTemporaryDir dir;
    ReceiptPrinter pdf(std::make_unique<PdfPrintSurface>(dir.path(), 80));
    report("lay out and print to a PDF file, 80 mm", qMax(1, rounds / 4),
           [&] { pdf.printCopy(input, ReceiptCopy::First); });
    return 0;
}
