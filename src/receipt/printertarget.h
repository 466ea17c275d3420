#pragma once

#include <QString>

// Where receipts go, as named by one option text (for example a command-line
// value):
//
//   "" or "system"            the system's default printer
//   "escpos:/dev/usb/lp0"     a raw ESC/POS receipt printer behind a device file
//   "escpos+tcp://HOST[:PORT]" a raw ESC/POS network printer (port 9100 unless given)
//   "pdf:FOLDER"              one PDF file per job in the folder
//
// The paper width (58 or 80 mm) sets the columns of a raw printer and the
// page width of the PDF files.
class PrinterTarget final
{
public:
    enum class Kind { SystemPrinter, EscPosDevice, EscPosNetwork, PdfFolder };

    static constexpr quint16 DefaultRawPort = 9100;
    static constexpr int DefaultPaperMillimetres = 80;

    // Throws PrinterError naming the accepted forms when the text is none
    // of them.
    static PrinterTarget parse(const QString &option, const QString &paperWidth = QString());
    // "58", "58mm", "80" or "80mm"; empty gives the default of 80.
    static int parsePaperWidth(const QString &text);
    // ASCII columns of the normal font on the paper: 32 on 58 mm, 48 on 80 mm.
    static int columnsForPaper(int millimetres);

    Kind kind() const { return m_kind; }
    // Device file or PDF folder.
    const QString &path() const { return m_path; }
    const QString &host() const { return m_host; }
    quint16 port() const { return m_port; }
    int paperMillimetres() const { return m_paperMillimetres; }
    int columns() const { return columnsForPaper(m_paperMillimetres); }

    // One line for a status bar or a log: "system default printer",
    // "ESC/POS printer 192.168.1.50:9100" ...
    QString describe() const;

private:
    PrinterTarget() = default;

    Kind m_kind = Kind::SystemPrinter;
    QString m_path;
    QString m_host;
    quint16 m_port = DefaultRawPort;
    int m_paperMillimetres = DefaultPaperMillimetres;
};
