#include "headlesscommands.h"

#include "app/datalocation.h"
#include "app/localsettings.h"

#include "base/apperror.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "transfer/csvexport.h"
#include "storage/database.h"
#include "storage/databaseaddress.h"
#include "storage/democatalogue.h"
#include "transfer/productimport.h"
#include "reports/reportsheet.h"
#include "reports/salesreport.h"
#include "receipt/receiptprinter.h"
#include "till/recordedreceipt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

const char *const kCommands[] = {"--init-db", "--import-products", "--export-products", "--export-sales",
                                 "--backup", "--restore", "--report", "--reprint", "--help-commands"};

// Exit codes of the commands below: done, refused or failed, a command line
// that makes no sense, done but some rows of a file were left out.
enum Exit { Done = 0, Failed = 1, Usage = 2, DoneWithBadRows = 3 };

void complain(const QString &message)
{
    std::fprintf(stderr, "fenwo: %s\n", qPrintable(message));
}

// fenwo --init-db PATH [--demo]: makes a new database file with every table
// (and, with --demo, a small catalogue and a settings row). With a server
// address (postgresql://…) it makes the tables on that empty database.
int initDatabase(const QString &address, bool demo)
{
    try {
        Database::create(address);
        if (demo) {
            Database db;
            db.open(address);
            DemoCatalogue::fill(db);
        }
    } catch (const AppError &e) {
        complain(e.message());
        return 1;
    }
    if (DatabaseAddress::isServerAddress(address))
        std::printf("fenwo: made the tables on %s\n", qPrintable(DatabaseAddress::parse(address).text()));
    else
        std::printf("fenwo: made %s\n", qPrintable(address));
    return 0;
}

void say(const QString &message)
{
    std::printf("fenwo: %s\n", qPrintable(message));
    std::fflush(stdout);
}

// fenwo --import-products FILE [--existing update|skip] [--bad-rows FILE]:
// every good row of the product list into the catalogue, in one transaction.
int runImport(const QString &databasePath, const QString &file, ProductImport::Existing existing,
                   const QString &reportPath)
{
    try {
        const ProductImport import(file);
        say(QStringLiteral("%1: %2, separator %3, %4; code %5, name %6, price %7")
                .arg(file, import.format().encodingName, import.format().separatorName(),
                     import.hasHeader() ? QStringLiteral("titles in the first row")
                                        : QStringLiteral("no titles (first three columns)"),
                     import.columnSource(ProductImport::Code), import.columnSource(ProductImport::Name),
                     import.columnSource(ProductImport::Price)));
        Database db;
        db.open(databasePath);
        const ImportReport report = import.run(db, existing);
        say(report.summary());
        for (const ImportReport::BadRow &row : report.badRows)
            complain(QStringLiteral("line %1: %2 [%3, %4, %5]").arg(row.line).arg(row.reason, row.code, row.name, row.price));
        if (!reportPath.isEmpty()) {
            report.saveCsv(reportPath);
            say(QStringLiteral("report written to %1").arg(reportPath));
        }
        return report.badCount > 0 ? DoneWithBadRows : Done;
    } catch (const AppError &e) {
        complain(e.message());
        complain(QStringLiteral("nothing was imported"));
        return Failed;
    }
}

// fenwo --export-products FILE, fenwo --export-sales FILE [--from DATE] [--to DATE]
int runExport(const QString &databasePath, const QString &file, bool sales, const QString &from, const QString &to)
{
    try {
        Database db;
        db.open(databasePath);
        if (sales)
            say(QStringLiteral("wrote %1 sales lines to %2").arg(CsvExport::sales(db, file, from, to)).arg(file));
        else
            say(QStringLiteral("wrote %1 products to %2").arg(CsvExport::products(db, file)).arg(file));
        return Done;
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
}

// fenwo --backup DIR: a consistent copy of the database in DIR.
int runBackup(const QString &databasePath, const QString &folder)
{
    try {
        Backup::refuseServer(databasePath);
        if (!QFileInfo::exists(databasePath))
            throw FileError(QStringLiteral("找不到数据文件 %1").arg(databasePath));
        say(QStringLiteral("backed up to %1").arg(Backup::take(databasePath, folder)));
        return Done;
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
}

// fenwo --restore FILE: the backup in place of the database, which is kept
// aside in the backup folder first.
int runRestore(const QString &databasePath, const QString &file)
{
    try {
        Backup::refuseServer(databasePath);
        BackupSettings settings;
        if (QFileInfo::exists(databasePath)) {
            Database db;
            db.open(databasePath);
            settings = BackupSettings::load(db);
        }
        const QString aside = Backup::restore(databasePath, file, settings.folderFor(databasePath));
        say(QStringLiteral("restored %1 from %2").arg(databasePath, file));
        if (!aside.isEmpty())
            say(QStringLiteral("the data it replaced is kept in %1").arg(aside));
        return Done;
    } catch (const AppError &e) {
        complain(e.message());
        complain(QStringLiteral("%1 was not changed").arg(databasePath));
        return Failed;
    }
}

// fenwo --report FROM TO [--cashier NAME] [--till N]: the report's figures as
// plain text (UTF-8, tab-separated) on standard output.
int printReport(const QString &fromText, const QStringList &rest, const QString &cashier, const QString &tillText,
                const QString &path)
{
    if (rest.size() != 1) {
        complain(QStringLiteral("--report needs two dates, FROM and TO, as yyyy-mm-dd"));
        return Usage;
    }
    ReportRange range;
    range.from = ReportRange::parseDate(fromText);
    range.to = ReportRange::parseDate(rest.first());
    range.cashier = cashier;
    if (!tillText.isEmpty()) {
        const std::optional<int> till = Database::parseTill(tillText);
        if (!till) {
            complain(QStringLiteral("--till takes a till number from 1 to 999, not \"%1\"").arg(tillText));
            return Usage;
        }
        range.till = *till;
    }
    for (const auto &[date, text] : {std::pair(range.from, fromText), std::pair(range.to, rest.first())}) {
        if (!date.isValid()) {
            complain(QStringLiteral("'%1' is not a date of the form yyyy-mm-dd").arg(text));
            return Usage;
        }
    }
    if (range.from > range.to) {
        complain(QStringLiteral("the first date %1 is after the second %2").arg(fromText, rest.first()));
        return Usage;
    }
    try {
        Database db;
        db.open(path);
        const QByteArray text = ReportSheet::plainText(SalesReport::compute(db, range)).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
    return Done;
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
        return Usage;
    }
    try {
        Database db;
        db.open(path);
        RecordedReceipt::reprint(db, receiptNumber, *printer);
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
    std::printf("fenwo: printed receipt %s again\n", qPrintable(receiptNumber.trimmed()));
    return Done;
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
    const QCommandLineOption initDb(QStringLiteral("init-db"),
                                    QStringLiteral("Make a new database file, or the tables on an empty database of a "
                                                   "PostgreSQL server (postgresql://USER@HOST:PORT/DBNAME), and end."),
                                    QStringLiteral("path"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("With --init-db: add a demo catalogue."));
    parser.addOptions({initDb, demo});

    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("The database: a file (data.db beside the program by default) or a "
                                                     "PostgreSQL server's (postgresql://USER@HOST:PORT/DBNAME)."),
                                      QStringLiteral("path"));
    const QCommandLineOption importProducts(QStringLiteral("import-products"),
                                            QStringLiteral("Import a product list (CSV) into the catalogue."),
                                            QStringLiteral("file"));
    const QCommandLineOption existing(QStringLiteral("existing"),
                                      QStringLiteral("With --import-products: \"update\" (default) or \"skip\" "
                                                     "products whose code the catalogue has."),
                                      QStringLiteral("update|skip"), QStringLiteral("update"));
    const QCommandLineOption badRows(QStringLiteral("bad-rows"),
                                     QStringLiteral("With --import-products: save the rows not imported as CSV."),
                                     QStringLiteral("file"));
    const QCommandLineOption exportProducts(QStringLiteral("export-products"),
                                            QStringLiteral("Export the catalogue to CSV."), QStringLiteral("file"));
    const QCommandLineOption exportSales(QStringLiteral("export-sales"),
                                         QStringLiteral("Export the sales record to CSV."), QStringLiteral("file"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("With --export-sales: first day (yyyy-mm-dd)."),
                                  QStringLiteral("date"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("With --export-sales: last day (yyyy-mm-dd)."),
                                QStringLiteral("date"));
    const QCommandLineOption backup(QStringLiteral("backup"),
                                    QStringLiteral("Copy the database into a folder."), QStringLiteral("folder"));
    const QCommandLineOption restoreFrom(QStringLiteral("restore"),
                                         QStringLiteral("Put a backup in place of the database (which is kept aside)."),
                                         QStringLiteral("file"));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Print the sales report of the dates FROM to TO (yyyy-mm-dd, both "
                                                   "included) as text and end."),
                                    QStringLiteral("FROM"));
    const QCommandLineOption cashier(QStringLiteral("cashier"), QStringLiteral("With --report: one cashier only."),
                                     QStringLiteral("name"));
    const QCommandLineOption till(QStringLiteral("till"), QStringLiteral("With --report: one till only."),
                                  QStringLiteral("number"));
    const QCommandLineOption reprintReceipt(QStringLiteral("reprint"),
                                            QStringLiteral("Print a past receipt again from its recorded lines and end."),
                                            QStringLiteral("receipt number"));
    const QCommandLineOption printer(QStringLiteral("printer"), QStringLiteral("With --reprint: where it is printed."),
                                     QStringLiteral("target"));
    const QCommandLineOption paper(QStringLiteral("paper"), QStringLiteral("With --reprint: paper width, 58 or 80."),
                                   QStringLiteral("mm"));
    parser.addOptions({database, importProducts, existing, badRows, exportProducts, exportSales, from, to, backup,
                       restoreFrom, report, cashier, till, reprintReceipt, printer, paper});
    parser.addPositionalArgument(QStringLiteral("TO"), QStringLiteral("With --report: the last date."));
    parser.setApplicationDescription(QStringLiteral("Fenwo's work without a window; without one of these "
                                                    "commands the program opens the cashier screen."));
    const QCommandLineOption helpCommands(QStringLiteral("help-commands"), QStringLiteral("Lists these commands."));
    parser.addOption(helpCommands);
    parser.addHelpOption();
    parser.process(*app);
    if (parser.isSet(helpCommands)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(initDb))
        return initDatabase(parser.value(initDb), parser.isSet(demo));

    // The command line first, then this computer's settings (a shared server),
    // then the data file where the cashier screen keeps it (beside a portable
    // program, in the user's data folder for an installed one).
    const QString configured = LocalSettings::load().databaseAddress;
    const QString databasePath = parser.isSet(database) ? parser.value(database)
                                 : configured.isEmpty() ? DataLocation::forThisProgram().databasePath()
                                                        : configured;
    if (parser.isSet(importProducts)) {
        const QString mode = parser.value(existing).toLower();
        if (mode != QLatin1String("update") && mode != QLatin1String("skip")) {
            complain(QStringLiteral("--existing takes \"update\" or \"skip\", not \"%1\"").arg(parser.value(existing)));
            return Usage;
        }
        return runImport(databasePath, parser.value(importProducts),
                         mode == QLatin1String("skip") ? ProductImport::Existing::Skip
                                                       : ProductImport::Existing::Update,
                         parser.value(badRows));
    }
    if (parser.isSet(exportProducts))
        return runExport(databasePath, parser.value(exportProducts), false, {}, {});
    if (parser.isSet(exportSales))
        return runExport(databasePath, parser.value(exportSales), true, parser.value(from), parser.value(to));
    if (parser.isSet(backup))
        return runBackup(databasePath, parser.value(backup));
    if (parser.isSet(restoreFrom))
        return runRestore(databasePath, parser.value(restoreFrom));
    if (parser.isSet(report))
        return printReport(parser.value(report), parser.positionalArguments(), parser.value(cashier), parser.value(till),
                           databasePath);
    if (parser.isSet(reprintReceipt))
        return reprint(parser.value(reprintReceipt), parser.value(printer), parser.value(paper), databasePath);
    return Usage;
}

} // namespace HeadlessCommands
