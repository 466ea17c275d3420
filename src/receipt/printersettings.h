#pragma once

#include "receipt/cashdrawer.h"
#include "receipt/printertarget.h"
#include "base/textcodec.h"

#include <QDateTime>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

class ReceiptPrinter;
class TillSettings;

// Command-line options that stand in for the stored settings for one run;
// an empty text was not given.
struct PrinterOverrides
{
    QString printer;    // --printer, in the forms PrinterTarget reads
    QString paper;      // --paper 58|80
    QString encoding;   // --encoding gbk|gb18030
    QString drawer;     // --drawer off|2|5
};

// Where one till's receipts go and how: the output, the paper, the code
// page, and the cash drawer under the printer. Kept by name in the till's
// settings; every value has a default, so a till that was never set up
// prints on the system's default printer, as it always did.
struct PrinterSettings
{
    using Output = PrinterTarget::Kind;
    enum class Drawer { Off, PinTwo, PinFive };

    Output output = Output::SystemPrinter;
    QString queue;                 // system printer: its CUPS queue; empty for the default
    bool queueIsEscPos = false;    // that printer speaks ESC/POS: the drawer is opened through it
    QString device = QStringLiteral("/dev/usb/lp0");
    QString host;
    int port = PrinterTarget::DefaultRawPort;
    QString pdfFolder;
    int paper = PrinterTarget::DefaultPaperMillimetres;
    TextEncoding encoding = TextEncoding::Gbk;
    Drawer drawer = Drawer::Off;
    int pulseOn = 25;              // units of 2 ms
    int pulseOff = 250;
    bool drawerAfterSale = true;

    bool operator==(const PrinterSettings &) const = default;

    // From stored values by name; a name not given keeps its default.
    // Throws Refusal for a value that is not one of the choices or out of range.
    static PrinterSettings fromValues(const QMap<QString, QString> &values);
    static PrinterSettings load(const TillSettings &settings);
    QMap<QString, QString> values() const;

    // Throws Refusal, in the shop's words, for a port, paper or pulse time
    // out of its range.
    void checkValues() const;
    // checkValues(), and throws Refusal when the chosen output cannot be
    // used: a device that cannot be opened, a host that does not resolve, a
    // folder that cannot be written, a system queue that is not there.
    void check() const;
    // check(), then stores every value; nothing is stored when a check fails.
    void store(TillSettings &settings) const;

    // The same with the command-line options put in; throws PrinterError
    // for an option that is none of its forms.
    PrinterSettings withOverrides(const PrinterOverrides &overrides) const;

    int columns() const { return PrinterTarget::columnsForPaper(paper); }
    std::optional<CashDrawer::Pulse> drawerPulse() const;

    // The printer these settings describe, with its cash drawer. Nothing is
    // opened here.
    std::unique_ptr<ReceiptPrinter> makePrinter() const;
    // Prints the test page as one job; throws as a receipt would.
    void printTestPage(const QString &shopName, const QDateTime &printed) const;

    static QString encodingName(TextEncoding encoding);   // "gbk", "gb18030"
};
