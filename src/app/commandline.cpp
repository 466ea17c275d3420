#include "commandline.h"

#include "base/apperror.h"
#include "receipt/printertarget.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using Option = CommandLine::Option;

struct Definition
{
    Option option;
    QString name;
    QString valueName;   // empty for a switch
    QString description;
    bool forCashierScreen = false;   // read by the cashier screen, listed by --help
    bool isCommand = false;          // work without a window
    QString defaultValue = {};
};

// Each option once, in the order the help lists them: the commands with
// their own options, then those the cashier screen reads too.
const QList<Definition> &definitions()
{
    static const QList<Definition> all = {
        {Option::InitDb, QStringLiteral("init-db"), QStringLiteral("path"),
         QStringLiteral("Make a new database file, or the tables on an empty database of a PostgreSQL server "
                        "(postgresql://USER@HOST:PORT/DBNAME), and end."),
         false, true},
        {Option::Demo, QStringLiteral("demo"), {}, QStringLiteral("With --init-db: add a demo catalogue.")},
        {Option::ImportProducts, QStringLiteral("import-products"), QStringLiteral("file"),
         QStringLiteral("Import a product list (CSV) into the catalogue."), false, true},
        {Option::Existing, QStringLiteral("existing"), QStringLiteral("update|skip"),
         QStringLiteral("With --import-products: \"update\" (default) or \"skip\" products whose code the "
                        "catalogue has."),
         false, false, QStringLiteral("update")},
        {Option::BadRows, QStringLiteral("bad-rows"), QStringLiteral("file"),
         QStringLiteral("With --import-products: save the rows not imported as CSV.")},
        {Option::ExportProducts, QStringLiteral("export-products"), QStringLiteral("file"),
         QStringLiteral("Export the catalogue to CSV."), false, true},
        {Option::ExportSales, QStringLiteral("export-sales"), QStringLiteral("file"),
         QStringLiteral("Export the sales record to CSV."), false, true},
        {Option::ExportPayments, QStringLiteral("export-payments"), QStringLiteral("file"),
         QStringLiteral("Export how each sale was paid (receipt, till, date, time, method, amount, change) to CSV."),
         false, true},
        {Option::From, QStringLiteral("from"), QStringLiteral("date"),
         QStringLiteral("With --export-sales and --export-payments: first day (yyyy-mm-dd).")},
        {Option::To, QStringLiteral("to"), QStringLiteral("date"),
         QStringLiteral("With --export-sales and --export-payments: last day (yyyy-mm-dd).")},
        {Option::Force, QStringLiteral("force"), {},
         QStringLiteral("With --export-products, --export-sales, --export-payments and --bad-rows: replace a file that is there but "
                        "is no CSV file this program wrote (a database file is never replaced).")},
        {Option::Backup, QStringLiteral("backup"), QStringLiteral("folder"),
         QStringLiteral("Copy the database into a folder."), false, true},
        {Option::Restore, QStringLiteral("restore"), QStringLiteral("file"),
         QStringLiteral("Put a backup in place of the database (which is kept aside)."), false, true},
        {Option::Report, QStringLiteral("report"), QStringLiteral("FROM"),
         QStringLiteral("Print the sales report of the dates FROM to TO (yyyy-mm-dd, both included) as text "
                        "and end."),
         false, true},
        {Option::Cashier, QStringLiteral("cashier"), QStringLiteral("name"),
         QStringLiteral("With --report: one cashier only.")},
        {Option::Reprint, QStringLiteral("reprint"), QStringLiteral("receipt-number"),
         QStringLiteral("Print a past receipt again from its recorded lines and end."), false, true},
        {Option::ReprintClosing, QStringLiteral("reprint-z"), QStringLiteral("number"),
         QStringLiteral("Print a past Z report again, as it was printed, and end."), false, true},
        {Option::CheckStock, QStringLiteral("check-stock"), {},
         QStringLiteral("Check that each product's stock on hand equals the sum of its stock movements; print the "
                        "number of products checked and each that differs, and end (1 when any differs)."),
         false, true},

        {Option::Database, QStringLiteral("database"), QStringLiteral("path"),
         QStringLiteral("The database to work on instead of the usual data.db: a file, or a database on a "
                        "PostgreSQL server that several tills share (postgresql://USER@HOST:PORT/DBNAME; the "
                        "password comes from PGPASSWORD or ~/.pgpass)."),
         true},
        {Option::Till, QStringLiteral("till"), QStringLiteral("number"),
         QStringLiteral("The till this run is for, 1 to 999: the cashier screen works as this till instead of "
                        "the number in ~/.config/fenwo/fenwo.conf, and --report counts this till's sales only."),
         true},
        {Option::Printer, QStringLiteral("printer"), QStringLiteral("target"),
         QStringLiteral("Where receipts go: \"system\" (the default printer), \"escpos:/dev/usb/lp0\" (a receipt "
                        "printer's device file, or a file to collect the bytes in, made when its folder exists), "
                        "\"escpos+tcp://HOST:9100\" (a network receipt printer) or "
                        "\"pdf:FOLDER\" (one PDF per receipt). The cashier screen uses it for this run instead "
                        "of the till's stored setting; --reprint without it prints on the default printer."),
         true},
        {Option::Paper, QStringLiteral("paper"), QStringLiteral("mm"),
         QStringLiteral("Paper width of a receipt printer or PDF: 58 or 80 (mm)."), true},
        {Option::Encoding, QStringLiteral("encoding"), QStringLiteral("name"),
         QStringLiteral("Text encoding for a receipt printer: gbk or gb18030."), true},
        {Option::Drawer, QStringLiteral("drawer"), QStringLiteral("pin"),
         QStringLiteral("Cash drawer on the receipt printer: off, 2 or 5 (the pin)."), true},
        {Option::ScaleCodes, QStringLiteral("scale-codes"), QStringLiteral("mode"),
         QStringLiteral("What the scale's barcodes carry at the cashier screen: price, weight or off."), true},
        {Option::HelpCommands, QStringLiteral("help-commands"), {},
         QStringLiteral("Lists the commands without a window and every option."), false, true},
    };
    return all;
}

const Definition &definition(Option option)
{
    for (const Definition &d : definitions()) {
        if (d.option == option)
            return d;
    }
    Q_UNREACHABLE();
}

// "escpos:FILE" may name a file to collect the printer's bytes in: one that
// is not there yet is made when its folder exists. Device files come and go
// with their printer, so nothing is ever made under /dev.
void makeCollectingFile(const QString &printer)
{
    const PrinterTarget target = PrinterTarget::parse(printer);
    if (target.kind() != PrinterTarget::Kind::EscPosDevice)
        return;
    const QFileInfo file(target.path());
    if (file.exists() || !file.absoluteDir().exists() || file.absoluteFilePath().startsWith(QLatin1String("/dev/")))
        return;
    QFile made(file.absoluteFilePath());
    if (!made.open(QIODevice::WriteOnly)) {
        throw AppError(QStringLiteral("--printer: the file %1 could not be made: %2")
                           .arg(QDir::toNativeSeparators(file.absoluteFilePath()), made.errorString()));
    }
}

// "--name" or "--name=value".
bool namesOption(const char *argument, const QString &name)
{
    const QByteArray wanted = "--" + name.toLatin1();
    return qstrcmp(argument, wanted.constData()) == 0
        || (qstrncmp(argument, wanted.constData(), uint(wanted.size())) == 0 && argument[wanted.size()] == '=');
}

} // namespace

CommandLine::CommandLine(Use use)
{
    if (use == Use::CashierScreen) {
        m_parser.setApplicationDescription(QStringLiteral(
            "Fenwo cashier and receipt printing: opens the cashier screen.\n"
            "Work without a window has commands of its own: --init-db, --import-products, --export-products, "
            "--export-sales, --export-payments, --backup, --restore, --report, --reprint and --check-stock (\"fenwo --help-commands\" lists them "
            "with every option)."));
    } else {
        m_parser.setApplicationDescription(QStringLiteral(
            "Fenwo's work without a window; without one of these commands the program opens the cashier "
            "screen, which reads the options --database, --till, --printer, --paper, --encoding, --drawer "
            "and --scale-codes."));
        m_parser.addPositionalArgument(QStringLiteral("TO"), QStringLiteral("With --report: the last date."));
    }
    for (const Definition &d : definitions()) {
        if (use == Use::CashierScreen && !d.forCashierScreen)
            continue;
        m_parser.addOption(d.valueName.isEmpty() ? QCommandLineOption(d.name, d.description)
                                                 : QCommandLineOption(d.name, d.description, d.valueName,
                                                                      d.defaultValue));
    }
    m_parser.addHelpOption();
}

bool CommandLine::asksForCommand(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const Definition &d : definitions()) {
            if (d.isCommand && namesOption(argv[i], d.name))
                return true;
        }
    }
    return false;
}

bool CommandLine::asksForHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *help : {"-h", "--help", "--help-all", "-?"}) {
            if (qstrcmp(argv[i], help) == 0)
                return true;
        }
    }
    return false;
}

void CommandLine::process(const QCoreApplication &app)
{
    m_parser.process(app);
}

bool CommandLine::isSet(Option option) const
{
    return m_parser.isSet(definition(option).name);
}

QString CommandLine::value(Option option) const
{
    return m_parser.value(definition(option).name);
}

std::optional<int> CommandLine::till() const
{
    if (!isSet(Option::Till))
        return std::nullopt;
    const std::optional<int> till = Database::parseTill(value(Option::Till));
    if (!till)
        throw AppError(QStringLiteral("--till takes a till number from 1 to 999, not \"%1\"").arg(value(Option::Till)));
    return till;
}

PrinterOverrides CommandLine::printerOverrides() const
{
    const PrinterOverrides overrides{value(Option::Printer), value(Option::Paper), value(Option::Encoding),
                                     value(Option::Drawer)};
    // Refused here, before any window or work, rather than at the first receipt.
    PrinterSettings().withOverrides(overrides);
    if (!overrides.printer.isEmpty())
        makeCollectingFile(overrides.printer);
    return overrides;
}

std::optional<ScaleCodes::Mode> CommandLine::scaleCodeMode() const
{
    if (!isSet(Option::ScaleCodes))
        return std::nullopt;
    const std::optional<ScaleCodes::Mode> mode = ScaleCodes::parseMode(value(Option::ScaleCodes));
    if (!mode)
        throw AppError(QStringLiteral("Unknown scale code mode \"%1\". Use price, weight or off.")
                           .arg(value(Option::ScaleCodes)));
    return mode;
}
