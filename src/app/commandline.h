#pragma once

#include "receipt/printersettings.h"
#include "till/scalecodes.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

class QCoreApplication;

// The program's command line. Every option is defined here once, with the
// one description that --help, --help-commands, the manual page and the
// README give; the cashier screen and the commands without a window
// (--init-db, --import-products …) read their options through it.
class CommandLine final
{
    Q_DISABLE_COPY_MOVE(CommandLine)

public:
    enum class Option {
        Database, Till, Printer, Paper, Encoding, Drawer, ScaleCodes,
        InitDb, Demo, ImportProducts, Existing, BadRows, ExportProducts, ExportSales, ExportPayments, From, To, Force,
        Backup, Restore, Report, Cashier, Reprint, ReprintClosing, CheckStock, HelpCommands
    };

    // What a run does: open the cashier screen (it knows the options that
    // --help lists), or one of the commands (it knows every option).
    enum class Use { CashierScreen, Commands };

    explicit CommandLine(Use use);

    // The arguments name a command: the run needs no window.
    static bool asksForCommand(int argc, char **argv);
    // The arguments ask for the help, which is read in a terminal, often
    // one without a screen to open windows on.
    static bool asksForHelp(int argc, char **argv);

    // Reads the arguments. --help prints the help and ends the process, as
    // an option this use does not know does (with its message).
    void process(const QCoreApplication &app);

    bool isSet(Option option) const;
    QString value(Option option) const;
    QStringList positionalArguments() const { return m_parser.positionalArguments(); }
    QString helpText() const { return m_parser.helpText(); }

    // The values as they are used. Each throws AppError, with a message for
    // the command line, for a value that is none of its forms.
    // --till: none when not given.
    std::optional<int> till() const;
    // --printer, --paper, --encoding and --drawer, checked; the file that
    // --printer escpos:FILE names is made when only it is missing.
    PrinterOverrides printerOverrides() const;
    // --scale-codes: none when not given.
    std::optional<ScaleCodes::Mode> scaleCodeMode() const;

private:
    QCommandLineParser m_parser;
};
