#include "headlesscommands.h"

#include "app/commandline.h"
#include "app/datalocation.h"
#include "app/localsettings.h"

#include "base/apperror.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "transfer/csvexport.h"
#include "transfer/csvtarget.h"
#include "storage/database.h"
#include "storage/databaseaddress.h"
#include "storage/democatalogue.h"
#include "transfer/productimport.h"
#include "reports/reportsheet.h"
#include "reports/dayend.h"
#include "reports/salesreport.h"
#include "receipt/printersettings.h"
#include "receipt/receiptprinter.h"
#include "storage/stockledger.h"
#include "till/recordedreceipt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Exit codes of the commands below: done, refused or failed, a command line
// that makes no sense, done but some rows of a file were left out.
enum Exit { Done = 0, Failed = 1, Usage = 2, DoneWithBadRows = 3 };

void complain(const QString &message)
{
    // A message may quote an address as it was typed, password and all.
    std::fprintf(stderr, "fenwo: %s\n", qPrintable(DatabaseAddress::masked(message)));
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

// A file the command is to write: never the database, and a file that is
// there but no CSV of this program's only with --force. False, having said
// why, when it must not be written.
bool mayWrite(const QString &path, const QString &databasePath, bool force)
{
    if (CsvTarget::check(path, databasePath) != CsvTarget::Existing::OtherFile || force)
        return true;
    complain(CsvTarget::notReplaced(path) + QStringLiteral("（要替换它，请加上 --force）"));
    return false;
}

// fenwo --import-products FILE [--existing update|skip] [--bad-rows FILE [--force]]:
// every good row of the product list into the catalogue, in one transaction.
int runImport(const QString &databasePath, const QString &file, ProductImport::Existing existing,
              const QString &reportPath, bool force)
{
    try {
        // The report's file is looked at before anything is written.
        if (!reportPath.isEmpty() && !mayWrite(reportPath, databasePath, force)) {
            complain(QStringLiteral("nothing was imported"));
            return Failed;
        }
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

enum class Export { Products, Sales, Payments };

// fenwo --export-products FILE, fenwo --export-sales|--export-payments FILE [--from DATE] [--to DATE], each [--force]
int runExport(const QString &databasePath, const QString &file, Export what, const QString &from, const QString &to,
              bool force)
{
    try {
        if (!mayWrite(file, databasePath, force))
            return Failed;
        Database db;
        db.open(databasePath);
        switch (what) {
        case Export::Sales:
            say(QStringLiteral("wrote %1 sales lines to %2").arg(CsvExport::sales(db, file, from, to)).arg(file));
            break;
        case Export::Payments:
            say(QStringLiteral("wrote %1 payments to %2").arg(CsvExport::payments(db, file, from, to)).arg(file));
            break;
        case Export::Products:
            say(QStringLiteral("wrote %1 products to %2").arg(CsvExport::products(db, file)).arg(file));
            break;
        }
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
        // The backup folder is one of the database's settings. A damaged,
        // empty or unreadable file, the usual reason to restore, has none
        // to tell: its copy goes where copies go by default.
        BackupSettings settings;
        if (QFileInfo::exists(databasePath)) {
            try {
                if (!Backup::isDatabaseFile(databasePath))
                    throw DatabaseError(QStringLiteral("not a database"));
                Database db;
                db.open(databasePath);
                settings = BackupSettings::load(db);
            } catch (const AppError &e) {
                say(QStringLiteral("%1 cannot be read (%2): it is kept aside as it is").arg(databasePath, e.message()));
            }
        }
        const QString aside = Backup::restore(databasePath, file, settings.folderFor(databasePath));
        say(QStringLiteral("restored %1 from %2").arg(databasePath, file));
        if (!aside.isEmpty())
            say(QStringLiteral("the data it replaced is kept in %1").arg(aside));
        return Done;
    } catch (const AppError &e) {
        complain(e.message());
        complain(QStringLiteral("%1 was not changed").arg(DatabaseAddress::masked(databasePath)));
        return Failed;
    }
}

// fenwo --report FROM TO [--cashier NAME] [--till N]: the report's figures as
// plain text (UTF-8, tab-separated) on standard output.
int printReport(const CommandLine &commandLine, const QString &path)
{
    const QString fromText = commandLine.value(CommandLine::Option::Report);
    const QStringList rest = commandLine.positionalArguments();
    if (rest.size() != 1) {
        complain(QStringLiteral("--report needs two dates, FROM and TO, as yyyy-mm-dd"));
        return Usage;
    }
    ReportRange range;
    range.from = ReportRange::parseDate(fromText);
    range.to = ReportRange::parseDate(rest.first());
    range.cashier = commandLine.value(CommandLine::Option::Cashier);
    try {
        range.till = commandLine.till().value_or(0);
    } catch (const AppError &e) {
        complain(e.message());
        return Usage;
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
        const ReportFigures figures = SalesReport::compute(db, range);
        for (const QString &warning : figures.warnings)
            complain(warning);
        const QByteArray text = ReportSheet::plainText(figures).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
    return Done;
}

// A past document printed again on the printer the command line names: a
// printer that cannot be made is a usage fault, anything after it a failure.
int printAgain(const CommandLine &commandLine, const QString &path,
               const std::function<void(Database &, ReceiptPrinter &)> &print)
{
    std::unique_ptr<ReceiptPrinter> printer;
    try {
        printer = PrinterSettings().withOverrides(commandLine.printerOverrides()).makePrinter();
    } catch (const AppError &e) {
        complain(e.message());
        return Usage;
    }
    try {
        Database db;
        db.open(path);
        print(db, *printer);
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
    return Done;
}

// fenwo --reprint RECEIPTNO [--printer …] [--paper …] [--encoding …]: the
// receipt again, from its recorded lines, marked as a reprint; on the
// default printer unless --printer says otherwise.
int reprint(const CommandLine &commandLine, const QString &path)
{
    const QString receiptNumber = commandLine.value(CommandLine::Option::Reprint);
    const int result = printAgain(commandLine, path, [&](Database &db, ReceiptPrinter &printer) {
        RecordedReceipt::reprint(db, receiptNumber, printer);
    });
    if (result != Done)
        return result;
    std::printf("fenwo: printed receipt %s again\n", qPrintable(receiptNumber.trimmed()));
    return Done;
}

// fenwo --reprint-z N [--printer …]: a past Z report again, as it was printed.
int reprintClosing(const CommandLine &commandLine, const QString &path)
{
    const QString text = commandLine.value(CommandLine::Option::ReprintClosing);
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 1) {
        complain(QStringLiteral("'%1' is not the number of a Z report (1, 2, 3 …)").arg(text));
        return Usage;
    }
    const int result = printAgain(commandLine, path, [&](Database &db, ReceiptPrinter &printer) {
        DayEnd(db).reprintClosing(number, printer);
    });
    if (result != Done)
        return result;
    std::printf("fenwo: printed Z report No.%d again\n", number);
    return Done;
}

// fenwo --check-stock: each product's kept on hand against the sum of its
// movements, on a file or a server.
int checkStock(const QString &path)
{
    try {
        Database db;
        db.open(path);
        const Database::Patience patience(db);
        const StockLedger::Check check = StockLedger::check(db);
        for (const QString &wrong : check.wrong)
            say(QStringLiteral("库存不符 %1").arg(wrong));
        say(QStringLiteral("核对了 %1 种商品的库存，%2")
                .arg(check.products)
                .arg(check.wrong.isEmpty() ? QStringLiteral("全部相符")
                                           : QStringLiteral("%1 种不符").arg(check.wrong.size())));
        return check.wrong.isEmpty() ? Done : Failed;
    } catch (const AppError &e) {
        complain(e.message());
        return Failed;
    }
}

} // namespace

namespace HeadlessCommands {

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

    using Option = CommandLine::Option;
    CommandLine commandLine(CommandLine::Use::Commands);
    commandLine.process(*app);
    if (commandLine.isSet(Option::HelpCommands)) {
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    }
    if (commandLine.isSet(Option::InitDb))
        return initDatabase(commandLine.value(Option::InitDb), commandLine.isSet(Option::Demo));

    // The command line first, then this computer's settings (a shared server),
    // then the data file where the cashier screen keeps it (beside a portable
    // program, in the user's data folder for an installed one).
    const QString configured = LocalSettings::load().databaseAddress;
    const QString databasePath = commandLine.isSet(Option::Database) ? commandLine.value(Option::Database)
                                 : configured.isEmpty() ? DataLocation::forThisProgram().databasePath()
                                                        : configured;
    if (commandLine.isSet(Option::ImportProducts)) {
        const QString mode = commandLine.value(Option::Existing).toLower();
        if (mode != QLatin1String("update") && mode != QLatin1String("skip")) {
            complain(QStringLiteral("--existing takes \"update\" or \"skip\", not \"%1\"")
                         .arg(commandLine.value(Option::Existing)));
            return Usage;
        }
        return runImport(databasePath, commandLine.value(Option::ImportProducts),
                         mode == QLatin1String("skip") ? ProductImport::Existing::Skip
                                                       : ProductImport::Existing::Update,
                         commandLine.value(Option::BadRows), commandLine.isSet(Option::Force));
    }
    if (commandLine.isSet(Option::ExportProducts))
        return runExport(databasePath, commandLine.value(Option::ExportProducts), Export::Products, {}, {},
                         commandLine.isSet(Option::Force));
    if (commandLine.isSet(Option::ExportSales))
        return runExport(databasePath, commandLine.value(Option::ExportSales), Export::Sales,
                         commandLine.value(Option::From), commandLine.value(Option::To), commandLine.isSet(Option::Force));
    if (commandLine.isSet(Option::ExportPayments))
        return runExport(databasePath, commandLine.value(Option::ExportPayments), Export::Payments,
                         commandLine.value(Option::From), commandLine.value(Option::To), commandLine.isSet(Option::Force));
    if (commandLine.isSet(Option::Backup))
        return runBackup(databasePath, commandLine.value(Option::Backup));
    if (commandLine.isSet(Option::Restore))
        return runRestore(databasePath, commandLine.value(Option::Restore));
    if (commandLine.isSet(Option::Report))
        return printReport(commandLine, databasePath);
    if (commandLine.isSet(Option::Reprint))
        return reprint(commandLine, databasePath);
    if (commandLine.isSet(Option::ReprintClosing))
        return reprintClosing(commandLine, databasePath);
    if (commandLine.isSet(Option::CheckStock))
        return checkStock(databasePath);
    return Usage;
}

} // namespace HeadlessCommands
