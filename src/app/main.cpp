#include "app/commandline.h"
#include "app/datalocation.h"
#include "app/fenwoapplication.h"
#include "app/firststart.h"
#include "app/headlesscommands.h"
#include "app/localsettings.h"
#include "app/tillsession.h"

#include "base/apperror.h"
#include "widgets/apperrorbox.h"

#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    // Work for scripts and set-up steps needs no screen.
    if (CommandLine::asksForCommand(argc, argv))
        return HeadlessCommands::run(argc, argv);

    // Help is read in a terminal, often one without a screen to open windows on.
    std::unique_ptr<QCoreApplication> app;
    if (CommandLine::asksForHelp(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<FenwoApplication>(argc, argv);

    CommandLine commandLine(CommandLine::Use::CashierScreen);
    commandLine.process(*app);

    const LocalSettings local = LocalSettings::load();
    int tillNumber = local.tillNumber;
    PrinterOverrides overrides;
    std::optional<ScaleCodes::Mode> scaleCodeMode;
    try {
        tillNumber = commandLine.till().value_or(tillNumber);
        overrides = commandLine.printerOverrides();
        scaleCodeMode = commandLine.scaleCodeMode();
    } catch (const AppError &e) {
        std::fprintf(stderr, "fenwo: %s\n", qPrintable(e.message()));
        AppBoxes::showError(e.message());
        return 2;
    }

    // The command line first, then this computer's settings, then data.db.
    QString databasePath = commandLine.isSet(CommandLine::Option::Database)
                               ? commandLine.value(CommandLine::Option::Database)
                               : local.databaseAddress;
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
    QTimer::singleShot(0, &window, [&window] { window.askOpeningCashOnce(); });
    return QCoreApplication::exec();
}
