#include "datalocation.h"
#include "fenwoapplication.h"
#include "firststart.h"
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
                                      QStringLiteral("Use this database file instead of the usual data.db."),
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

    QString databasePath = parser.value(database);
    if (!parser.isSet(database)) {
        const DataLocation location = DataLocation::forThisProgram();
        databasePath = location.databasePath();
        if (location.isFirstStart()) {
            const FirstStart::Outcome outcome = FirstStart::run(databasePath);
            if (outcome != FirstStart::Outcome::Ready)
                return outcome == FirstStart::Outcome::Cancelled ? 0 : 1;
        }
    }

    CashierWindow window(databasePath);
    window.setReceiptPrinter(std::move(receiptPrinter));
    window.show();
    return app.exec();
}
