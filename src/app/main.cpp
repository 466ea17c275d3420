#include "fenwoapplication.h"
#include "headlesscommands.h"

#include "windows/cashierwindow.h"

#include "db/apperror.h"
#include "db/database.h"
#include "receipt/receiptprinter.h"
#include "widgets/apperrorbox.h"

#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char **argv)
{
    // Work for scripts and set-up steps needs no screen.
    if (HeadlessCommands::wanted(argc, argv))
        return HeadlessCommands::run(argc, argv);

    FenwoApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Fenwo cashier and receipt printing"));
    parser.addHelpOption();
    const QCommandLineOption initDb(QStringLiteral("init-db"), QStringLiteral("Make a new database file and end."),
                                    QStringLiteral("path"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("With --init-db: add a demo catalogue."));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Use this database file instead of data.db beside the program."),
                                      QStringLiteral("path"));
    const QCommandLineOption printer(
        QStringLiteral("printer"),
        QStringLiteral("Where receipts go: \"system\" (the default printer, the default), "
                       "\"escpos:/dev/usb/lp0\" (a receipt printer's device file), "
                       "\"escpos+tcp://HOST:9100\" (a network receipt printer) or \"pdf:FOLDER\" (one PDF per receipt)."),
        QStringLiteral("target"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("Paper width of a receipt printer or PDF: 58 or 80 (mm, default 80)."),
                                   QStringLiteral("mm"));
    parser.addOptions({initDb, demo, database, printer, paper});
    parser.process(app);

    std::unique_ptr<ReceiptPrinter> receiptPrinter;
    try {
        receiptPrinter = ReceiptPrinter::create(parser.value(printer), parser.value(paper));
    } catch (const AppError &e) {
        std::fprintf(stderr, "fenwo: %s\n", qPrintable(e.message()));
        AppBoxes::showError(e.message());
        return 2;
    }

    CashierWindow window(parser.isSet(database) ? parser.value(database) : Database::defaultPath());
    window.setReceiptPrinter(std::move(receiptPrinter));
    window.show();
    return app.exec();
}
