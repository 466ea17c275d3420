#include "headlesscommands.h"

#include "db/apperror.h"
#include "db/database.h"
#include "db/democatalogue.h"
#include "db/reportsheet.h"
#include "db/salesreport.h"
#include "receipt/receiptprinter.h"
#include "till/recordedreceipt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

const char *const kCommands[] = {"--init-db", "--report", "--reprint"};

// Exit codes of the commands: done, refused or failed, a command line that makes no sense.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

void complain(const QString &message)
{
    std::fprintf(stderr, "fenwo: %s\n", qPrintable(message));
}

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
        complain(e.message());
        return 1;
    }
    std::printf("fenwo: made %s\n", qPrintable(path));
    return 0;
}

QString databasePath(const QCommandLineParser &parser, const QCommandLineOption &database)
{
    return parser.isSet(database) ? parser.value(database) : Database::defaultPath();
}

// fenwo --report FROM TO [--cashier NAME]: the report's figures as plain text
// (UTF-8, tab-separated) on standard output.
int printReport(const QString &fromText, const QStringList &rest, const QString &cashier, const QString &path)
{
    if (rest.size() != 1) {
        complain(QStringLiteral("--report needs two dates, FROM and TO, as yyyy-mm-dd"));
        return kBadArguments;
    }
    ReportRange range;
    range.from = ReportRange::parseDate(fromText);
    range.to = ReportRange::parseDate(rest.first());
    range.cashier = cashier;
    for (const auto &[date, text] : {std::pair(range.from, fromText), std::pair(range.to, rest.first())}) {
        if (!date.isValid()) {
            complain(QStringLiteral("'%1' is not a date of the form yyyy-mm-dd").arg(text));
            return kBadArguments;
        }
    }
    if (range.from > range.to) {
        complain(QStringLiteral("the first date %1 is after the second %2").arg(fromText, rest.first()));
        return kBadArguments;
    }
    try {
        Database db;
        db.open(path);
        const QByteArray text = ReportSheet::plainText(SalesReport::compute(db, range)).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    } catch (const AppError &e) {
        complain(e.message());
        return kFailed;
    }
    return kDone;
}

// fenwo --reprint RECEIPTNO [--printer …] [--paper …]: the receipt again,
// from its recorded lines, marked as a reprint.
int reprint(const QString &receiptNumber, const QString &printerOption, const QString &paper, const QString &path)
{
    std::unique_ptr<ReceiptPrinter> printer;
    try {
        printer = ReceiptPrinter::create(printerOption, paper);
    } catch (const AppError &e) {
        complain(e.message());
        return kBadArguments;
    }
    try {
        Database db;
        db.open(path);
        RecordedReceipt::reprint(db, receiptNumber, *printer);
    } catch (const AppError &e) {
        complain(e.message());
        return kFailed;
    }
    std::printf("fenwo: printed receipt %s again\n", qPrintable(receiptNumber.trimmed()));
    return kDone;
}

} // namespace

namespace HeadlessCommands {

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *command : kCommands) {
            const auto length = qstrlen(command);
            if (qstrcmp(argv[i], command) == 0 || (qstrncmp(argv[i], command, length) == 0 && argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

int run(int argc, char **argv)
{
    // A reprint lays its text out with the system's fonts, which takes a GUI
    // application; it never opens a window, so it needs no screen either.
    bool printing = false;
    for (int i = 1; i < argc; ++i)
        printing = printing || qstrncmp(argv[i], "--reprint", 9) == 0;
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    QCommandLineParser parser;
    const QCommandLineOption initDb(QStringLiteral("init-db"), QStringLiteral("Make a new database file and end."),
                                    QStringLiteral("path"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("With --init-db: add a demo catalogue."));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Print the sales report of the dates FROM to TO (yyyy-mm-dd, both "
                                                   "included) as text and end."),
                                    QStringLiteral("FROM"));
    const QCommandLineOption cashier(QStringLiteral("cashier"), QStringLiteral("With --report: one cashier only."),
                                     QStringLiteral("name"));
    const QCommandLineOption reprintReceipt(QStringLiteral("reprint"),
                                            QStringLiteral("Print a past receipt again from its recorded lines and end."),
                                            QStringLiteral("receipt number"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Use this database file instead of data.db beside the program."),
                                      QStringLiteral("path"));
    const QCommandLineOption printer(QStringLiteral("printer"), QStringLiteral("With --reprint: where it is printed."),
                                     QStringLiteral("target"));
    const QCommandLineOption paper(QStringLiteral("paper"), QStringLiteral("With --reprint: paper width, 58 or 80."),
                                   QStringLiteral("mm"));
    parser.addOptions({initDb, demo, report, cashier, reprintReceipt, database, printer, paper});
    parser.addPositionalArgument(QStringLiteral("TO"), QStringLiteral("With --report: the last date."));
    parser.process(*app);
    if (parser.isSet(initDb))
        return initDatabase(parser.value(initDb), parser.isSet(demo));
    if (parser.isSet(report))
        return printReport(parser.value(report), parser.positionalArguments(), parser.value(cashier),
                           databasePath(parser, database));
    if (parser.isSet(reprintReceipt))
        return reprint(parser.value(reprintReceipt), parser.value(printer), parser.value(paper),
                       databasePath(parser, database));
    return kBadArguments;
}

} // namespace HeadlessCommands
