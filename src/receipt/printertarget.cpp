#include "receipt/printertarget.h"

#include "receipt/printererror.h"

#include <QUrl>

namespace {

const QString SystemOption = QStringLiteral("system");
const QString DevicePrefix = QStringLiteral("escpos:");
const QString NetworkScheme = QStringLiteral("escpos+tcp");
const QString PdfPrefix = QStringLiteral("pdf:");

[[noreturn]] void refuseOption(const QString &option)
{
    throw PrinterError(QStringLiteral("Unknown printer \"%1\". Use system, escpos:DEVICE, "
                                      "escpos+tcp://HOST:PORT or pdf:FOLDER.")
                           .arg(option));
}

} // namespace

PrinterTarget PrinterTarget::parse(const QString &option, const QString &paperWidth)
{
    PrinterTarget target;
    target.m_paperMillimetres = parsePaperWidth(paperWidth);
    const QString text = option.trimmed();

    if (text.isEmpty() || text.compare(SystemOption, Qt::CaseInsensitive) == 0) {
        target.m_kind = Kind::SystemPrinter;
    } else if (text.startsWith(NetworkScheme + QLatin1Char(':'), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        const int port = url.port(DefaultRawPort);
        if (!url.isValid() || url.host().isEmpty() || port <= 0
            || !(url.path().isEmpty() || url.path() == QLatin1String("/"))) {
            refuseOption(option);
        }
        target.m_kind = Kind::EscPosNetwork;
        target.m_host = url.host();
        target.m_port = quint16(port);
    } else if (text.startsWith(DevicePrefix, Qt::CaseInsensitive)) {
        target.m_kind = Kind::EscPosDevice;
        target.m_path = text.mid(DevicePrefix.size());
    } else if (text.startsWith(PdfPrefix, Qt::CaseInsensitive)) {
        target.m_kind = Kind::PdfFolder;
        target.m_path = text.mid(PdfPrefix.size());
    } else {
        refuseOption(option);
    }
    if ((target.m_kind == Kind::EscPosDevice || target.m_kind == Kind::PdfFolder)
        && target.m_path.isEmpty()) {
        refuseOption(option);
    }
    return target;
}

int PrinterTarget::parsePaperWidth(const QString &text)
{
    QString value = text.trimmed().toLower();
    if (value.isEmpty())
        return DefaultPaperMillimetres;
    if (value.endsWith(QLatin1String("mm")))
        value.chop(2);
    if (value == QLatin1String("58"))
        return 58;
    if (value == QLatin1String("80"))
        return 80;
    throw PrinterError(QStringLiteral("Unknown paper width \"%1\". Use 58 or 80.").arg(text));
}

int PrinterTarget::columnsForPaper(int millimetres)
{
    return millimetres <= 58 ? 32 : 48;
}

QString PrinterTarget::describe() const
{
    switch (m_kind) {
    case Kind::SystemPrinter:
        return QStringLiteral("system default printer");
    case Kind::EscPosDevice:
        return QStringLiteral("ESC/POS printer %1 (%2 mm)").arg(m_path).arg(m_paperMillimetres);
    case Kind::EscPosNetwork:
        return QStringLiteral("ESC/POS printer %1:%2 (%3 mm)")
            .arg(m_host)
            .arg(m_port)
            .arg(m_paperMillimetres);
    case Kind::PdfFolder:
        return QStringLiteral("PDF files in %1").arg(m_path);
    }
    return QString();
}
