#include "windows/cashierwindow.h"
#include "datalocation.h"
#include "fenwoapplication.h"
#include "firststart.h"

#include "db/apperror.h"
#include "db/database.h"
#include "db/democatalogue.h"
#include "receipt/receiptprinter.h"
#include "widgets/apperrorbox.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {

// fenwo --init-db PATH [--demo]: makes a new database file with every table
// (and, with --demo, a small catalogue and a settings row).
int initDatabase(const QString &path, bool demo)
{
    try {
        Database::createFile(path);
        if (demo) {
            Database db;
            db.open(path);
            DemoCatalogue::fill(db);
        }
    } catch (const AppError &e) {
        std::fprintf(stderr, "fenwo: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("fenwo: made %s\n", qPrintable(path));
    return 0;
}

} // namespace

bool wantsInitDb(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--init-db") == 0 || qstrncmp(argv[i], "--init-db=", 10) == 0)
            return true;
    return false;
}

int main(int argc, char **argv)
{
    // Making a database needs no screen: the set-up step runs it headless.
    if (wantsInitDb(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        const QCommandLineOption initDb(QStringLiteral("init-db"), QStringLiteral("Make a new database file and end."),
                                        QStringLiteral("path"));
        const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Add a demo catalogue."));
        parser.addOptions({initDb, demo});
        parser.process(app);
        return initDatabase(parser.value(initDb), parser.isSet(demo));
    }

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
