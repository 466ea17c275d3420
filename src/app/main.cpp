#include "app/datalocation.h"
#include "app/fenwoapplication.h"
#include "app/firststart.h"
#include "app/headlesscommands.h"
#include "app/localsettings.h"
#include "app/tillsession.h"

#include "windows/cashierwindow.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "receipt/printersettings.h"
#include "till/scalecodes.h"
#include "widgets/apperrorbox.h"

#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

// Help is read in a terminal, often one without a screen to open windows on.
bool askedForHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-h") == 0 || qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "--help-all") == 0
            || qstrcmp(argv[i], "-?") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Work for scripts and set-up steps needs no screen.
    if (HeadlessCommands::wanted(argc, argv))
        return HeadlessCommands::run(argc, argv);

    std::unique_ptr<QCoreApplication> app;
    if (askedForHelp(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<FenwoApplication>(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fenwo cashier and receipt printing: opens the cashier screen.\n"
                       "Work without a window has commands of its own: --init-db, --import-products, "
                       "--export-products, --export-sales, --backup, --restore, --report and --reprint "
                       "(\"fenwo --help-commands\" lists them with their options)."));
    parser.addHelpOption();
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Use this database instead of the usual data.db: a file, or a database on a PostgreSQL "
                       "server that several tills share (postgresql://USER@HOST:PORT/DBNAME; the password comes "
                       "from PGPASSWORD or ~/.pgpass)."),
        QStringLiteral("path"));
    // This computer's till number is kept in ~/.config/fenwo/fenwo.conf.
    const QCommandLineOption till(QStringLiteral("till"),
                                  QStringLiteral("This computer's till number for this run (1 to 999)."),
                                  QStringLiteral("number"));
    // Set up in the receipt printer window and stored in the database; these
    // options stand in for the stored settings for one run.
    const QCommandLineOption printer(
        QStringLiteral("printer"),
        QStringLiteral("Where receipts go: \"system\" (the default printer), "
                       "\"escpos:/dev/usb/lp0\" (a receipt printer's device file), "
                       "\"escpos+tcp://HOST:9100\" (a network receipt printer) or \"pdf:FOLDER\" (one PDF per receipt)."),
        QStringLiteral("target"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("Paper width of a receipt printer or PDF: 58 or 80 (mm)."),
                                   QStringLiteral("mm"));
    const QCommandLineOption encoding(QStringLiteral("encoding"),
                                      QStringLiteral("Text encoding for a receipt printer: gbk or gb18030."),
                                      QStringLiteral("name"));
    const QCommandLineOption drawer(QStringLiteral("drawer"),
                                    QStringLiteral("Cash drawer on the receipt printer: off, 2 or 5 (the pin)."),
                                    QStringLiteral("pin"));
    const QCommandLineOption scaleCodes(QStringLiteral("scale-codes"),
                                        QStringLiteral("Scale barcodes carry the price, the weight, or are off: "
                                                       "price, weight or off."),
                                        QStringLiteral("mode"));
    parser.addOptions({database, till, printer, paper, encoding, drawer, scaleCodes});
    parser.process(*app);

    const PrinterOverrides overrides{parser.value(printer), parser.value(paper), parser.value(encoding),
                                     parser.value(drawer)};
    std::optional<ScaleCodes::Mode> scaleCodeMode;
    const LocalSettings local = LocalSettings::load();
    int tillNumber = local.tillNumber;
    try {
        if (parser.isSet(till)) {
            const std::optional<int> given = Database::parseTill(parser.value(till));
            if (!given)
                throw AppError(QStringLiteral("Till number \"%1\" is not one from 1 to 999.").arg(parser.value(till)));
            tillNumber = *given;
        }
        // Refused here, before any window, rather than at the first sale.
        PrinterSettings().withOverrides(overrides);
        if (parser.isSet(scaleCodes)) {
            scaleCodeMode = ScaleCodes::parseMode(parser.value(scaleCodes));
            if (!scaleCodeMode)
                throw AppError(QStringLiteral("Unknown scale code mode \"%1\". Use price, weight or off.")
                                   .arg(parser.value(scaleCodes)));
        }
    } catch (const AppError &e) {
        std::fprintf(stderr, "fenwo: %s\n", qPrintable(e.message()));
        AppBoxes::showError(e.message());
        return 2;
    }

    // The command line first, then this computer's settings, then data.db.
    QString databasePath = parser.isSet(database) ? parser.value(database) : local.databaseAddress;
    if (databasePath.isEmpty()) {
        const DataLocation location = DataLocation::forThisProgram();
        databasePath = location.databasePath();
        if (location.isFirstStart()) {
            const FirstStart::Outcome outcome = FirstStart::run(databasePath);
            if (outcome != FirstStart::Outcome::Ready)
                return outcome == FirstStart::Outcome::Cancelled ? 0 : 1;
        }
    }

    TillSession session(databasePath, tillNumber);
    CashierWindow &window = session.window();
    window.setPrinterOverrides(overrides);
    window.till().setScaleCodeMode(scaleCodeMode);
    window.show();
    return QCoreApplication::exec();
}
