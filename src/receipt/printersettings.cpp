#include "receipt/printersettings.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"
#include "receipt/cupsrawlink.h"
#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/escpostcplink.h"
#include "receipt/pdfprintsurface.h"
#include "receipt/printererror.h"
#include "receipt/receiptprinter.h"
#include "receipt/systemprinterlist.h"
#include "receipt/systemprintsurface.h"
#include "receipt/testpage.h"

#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kOutput = QStringLiteral("printer.output");
const QString kQueue = QStringLiteral("printer.queue");
const QString kQueueIsEscPos = QStringLiteral("printer.queue_escpos");
const QString kDevice = QStringLiteral("printer.device");
const QString kHost = QStringLiteral("printer.host");
const QString kPort = QStringLiteral("printer.port");
const QString kPdfFolder = QStringLiteral("printer.pdf_folder");
const QString kPaper = QStringLiteral("printer.paper");
const QString kEncoding = QStringLiteral("printer.encoding");
const QString kDrawer = QStringLiteral("drawer.pin");
const QString kPulseOn = QStringLiteral("drawer.pulse_on");
const QString kPulseOff = QStringLiteral("drawer.pulse_off");
const QString kDrawerAfterSale = QStringLiteral("drawer.after_sale");

using Output = PrinterSettings::Output;
using Drawer = PrinterSettings::Drawer;

const QList<std::pair<Output, QString>> kOutputNames = {
    {Output::SystemPrinter, QStringLiteral("system")},
    {Output::EscPosDevice, QStringLiteral("device")},
    {Output::EscPosNetwork, QStringLiteral("network")},
    {Output::PdfFolder, QStringLiteral("pdf")},
};
const QList<std::pair<Drawer, QString>> kDrawerNames = {
    {Drawer::Off, QStringLiteral("off")},
    {Drawer::PinTwo, QStringLiteral("2")},
    {Drawer::PinFive, QStringLiteral("5")},
};
const QList<std::pair<TextEncoding, QString>> kEncodingNames = {
    {TextEncoding::Gbk, QStringLiteral("gbk")},
    {TextEncoding::Gb18030, QStringLiteral("gb18030")},
};

template<typename T>
std::optional<T> choice(const QList<std::pair<T, QString>> &names, const QString &text)
{
    for (const auto &[value, name] : names)
        if (name.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

template<typename T>
QString nameOf(const QList<std::pair<T, QString>> &names, T value)
{
    for (const auto &[v, name] : names)
        if (v == value)
            return name;
    return QString();
}

// A stored number; -1 for text that is none, which no range lets through.
int number(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : -1;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// The system printer by name, looked up when a job opens.
SystemPrintSurface::PrinterLookup namedQueue(const QString &queue)
{
    return [queue] {
        if (SystemPrinterList::contains(queue))
            return queue;
        throw PrinterError(QStringLiteral("Printer selected is not valid\n系统里没有打印机 %1!").arg(queue));
    };
}

void checkDevice(const QString &path)
{
    if (path.trimmed().isEmpty())
        throw Refusal(QStringLiteral("请填上小票打印机的设备文件，例如 /dev/usb/lp0!"));
    // Opened without writing a byte, and without waiting for a printer that is busy.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    const int error = errno;
    if (error == EACCES || error == EPERM)
        throw Refusal(EscPosFileLink::noPermission(path));
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        throw Refusal(QStringLiteral("找不到小票打印机 %1：打印机没有接上、没有开机，或者设备文件写错了!").arg(path));
    throw Refusal(QStringLiteral("打不开小票打印机 %1：%2!").arg(path, QString::fromLocal8Bit(strerror(error))));
}

void checkHost(const QString &host)
{
    if (host.trimmed().isEmpty())
        throw Refusal(QStringLiteral("请填上网络小票打印机的 IP 地址或名字!"));
    const QHostInfo found = QHostInfo::fromName(host.trimmed());
    if (found.error() != QHostInfo::NoError || found.addresses().isEmpty())
        throw Refusal(QStringLiteral("找不到网络打印机 %1：这个地址查不到，请检查打印机的 IP 地址或名字!").arg(host));
}

void checkFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        throw Refusal(QStringLiteral("请选一个放 PDF 小票的文件夹!"));
    bool writable = QDir().mkpath(folder);
    if (writable) {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".fenwo-XXXXXX")));
        writable = probe.open();
    }
    if (!writable)
        throw Refusal(QStringLiteral("文件夹 %1 不能写入：请选一个可以保存文件的文件夹!").arg(QDir::toNativeSeparators(folder)));
}

void checkQueue(const QString &queue)
{
    if (queue.isEmpty() || SystemPrinterList::contains(queue))
        return;
    throw Refusal(QStringLiteral("系统里没有打印机 %1：请从列表里选一台打印机!").arg(queue));
}

} // namespace

PrinterSettings PrinterSettings::fromValues(const QMap<QString, QString> &values)
{
    PrinterSettings s;
    const auto given = [&](const QString &name) { return values.contains(name); };
    const auto refuse = [](const QString &what, const QString &text) {
        return Refusal(QStringLiteral("%1 \"%2\" 不对!").arg(what, text));
    };

    if (given(kOutput)) {
        const auto output = choice(kOutputNames, values[kOutput]);
        if (!output)
            throw refuse(QStringLiteral("打印输出"), values[kOutput]);
        s.output = *output;
    }
    s.queue = values.value(kQueue, s.queue).trimmed();
    s.queueIsEscPos = values.value(kQueueIsEscPos, yesNo(s.queueIsEscPos)) == QLatin1String("yes");
    s.device = values.value(kDevice, s.device).trimmed();
    s.host = values.value(kHost, s.host).trimmed();
    if (given(kPort))
        s.port = number(values[kPort]);
    s.pdfFolder = values.value(kPdfFolder, s.pdfFolder).trimmed();
    if (given(kPaper))
        s.paper = number(values[kPaper]);
    if (given(kEncoding)) {
        const auto encoding = choice(kEncodingNames, values[kEncoding]);
        if (!encoding)
            throw refuse(QStringLiteral("文字编码"), values[kEncoding]);
        s.encoding = *encoding;
    }
    if (given(kDrawer)) {
        const auto drawer = choice(kDrawerNames, values[kDrawer]);
        if (!drawer)
            throw refuse(QStringLiteral("钱箱接口"), values[kDrawer]);
        s.drawer = *drawer;
    }
    if (given(kPulseOn))
        s.pulseOn = number(values[kPulseOn]);
    if (given(kPulseOff))
        s.pulseOff = number(values[kPulseOff]);
    s.drawerAfterSale = values.value(kDrawerAfterSale, yesNo(s.drawerAfterSale)) == QLatin1String("yes");
    s.checkValues();
    return s;
}

PrinterSettings PrinterSettings::load(const TillSettings &settings)
{
    return fromValues(settings.values());
}

QMap<QString, QString> PrinterSettings::values() const
{
    return {
        {kOutput, nameOf(kOutputNames, output)},
        {kQueue, queue},
        {kQueueIsEscPos, yesNo(queueIsEscPos)},
        {kDevice, device},
        {kHost, host},
        {kPort, QString::number(port)},
        {kPdfFolder, pdfFolder},
        {kPaper, QString::number(paper)},
        {kEncoding, encodingName(encoding)},
        {kDrawer, nameOf(kDrawerNames, drawer)},
        {kPulseOn, QString::number(pulseOn)},
        {kPulseOff, QString::number(pulseOff)},
        {kDrawerAfterSale, yesNo(drawerAfterSale)},
    };
}

void PrinterSettings::checkValues() const
{
    if (port < 1 || port > 65535)
        throw Refusal(QStringLiteral("端口要是 1 到 65535 之间的数，小票打印机一般用 9100!"));
    if (paper != 58 && paper != 80)
        throw Refusal(QStringLiteral("纸宽只能是 58 毫米或 80 毫米!"));
    if (pulseOn < 1 || pulseOn > 255 || pulseOff < 1 || pulseOff > 255)
        throw Refusal(QStringLiteral("钱箱脉冲时间要是 1 到 255 之间的数（单位 2 毫秒），一般是 25 和 250!"));
}

void PrinterSettings::check() const
{
    checkValues();
    switch (output) {
    case Output::SystemPrinter:
        checkQueue(queue);
        break;
    case Output::EscPosDevice:
        checkDevice(device);
        break;
    case Output::EscPosNetwork:
        checkHost(host);
        break;
    case Output::PdfFolder:
        checkFolder(pdfFolder);
        break;
    }
}

void PrinterSettings::store(TillSettings &settings) const
{
    check();
    settings.store(values());
}

PrinterSettings PrinterSettings::withOverrides(const PrinterOverrides &overrides) const
{
    PrinterSettings s = *this;
    if (!overrides.paper.isEmpty())
        s.paper = PrinterTarget::parsePaperWidth(overrides.paper);
    if (!overrides.printer.isEmpty()) {
        const PrinterTarget target = PrinterTarget::parse(overrides.printer, QString::number(s.paper));
        s.output = target.kind();
        switch (target.kind()) {
        case Output::SystemPrinter:
            // The option names the default printer, of which nothing more is known.
            s.queue.clear();
            s.queueIsEscPos = false;
            break;
        case Output::EscPosDevice:
            s.device = target.path();
            break;
        case Output::EscPosNetwork:
            s.host = target.host();
            s.port = target.port();
            break;
        case Output::PdfFolder:
            s.pdfFolder = target.path();
            break;
        }
    }
    if (!overrides.encoding.isEmpty()) {
        const auto encoding = choice(kEncodingNames, overrides.encoding);
        if (!encoding)
            throw PrinterError(QStringLiteral("Unknown encoding \"%1\". Use gbk or gb18030.").arg(overrides.encoding));
        s.encoding = *encoding;
    }
    if (!overrides.drawer.isEmpty()) {
        const auto drawer = choice(kDrawerNames, overrides.drawer);
        if (!drawer)
            throw PrinterError(QStringLiteral("Unknown cash drawer \"%1\". Use off, 2 or 5.").arg(overrides.drawer));
        s.drawer = *drawer;
    }
    return s;
}

std::optional<CashDrawer::Pulse> PrinterSettings::drawerPulse() const
{
    if (drawer == Drawer::Off)
        return std::nullopt;
    return CashDrawer::Pulse{drawer == Drawer::PinFive ? CashDrawer::Pin::Five : CashDrawer::Pin::Two, pulseOn,
                             pulseOff};
}

std::unique_ptr<ReceiptPrinter> PrinterSettings::makePrinter() const
{
    std::unique_ptr<PrintSurface> surface;
    std::unique_ptr<EscPosLink> drawerLink;
    switch (output) {
    case Output::SystemPrinter:
        surface = queue.isEmpty() ? std::make_unique<SystemPrintSurface>()
                                  : std::make_unique<SystemPrintSurface>(namedQueue(queue));
        // A system queue takes the kick as a raw job of its own, passed to
        // the printer unfiltered: only for a queue marked as ESC/POS.
        if (queueIsEscPos)
            drawerLink = std::make_unique<CupsRawLink>(queue);
        break;
    case Output::EscPosDevice:
        surface = std::make_unique<EscPosPrintSurface>(std::make_unique<EscPosFileLink>(device), columns(), encoding);
        drawerLink = std::make_unique<EscPosFileLink>(device);
        break;
    case Output::EscPosNetwork:
        surface = std::make_unique<EscPosPrintSurface>(std::make_unique<EscPosTcpLink>(host, quint16(port)),
                                                       columns(), encoding);
        drawerLink = std::make_unique<EscPosTcpLink>(host, quint16(port));
        break;
    case Output::PdfFolder:
        surface = std::make_unique<PdfPrintSurface>(pdfFolder, paper);
        break;
    }
    auto printer = std::make_unique<ReceiptPrinter>(std::move(surface), encoding);
    if (const auto pulse = drawerPulse(); pulse && drawerLink)
        printer->setCashDrawer(std::make_unique<CashDrawer>(std::move(drawerLink), *pulse), drawerAfterSale);
    return printer;
}

void PrinterSettings::printTestPage(const QString &shopName, const QDateTime &printed) const
{
    // The test page never opens the drawer.
    PrinterSettings withoutDrawer = *this;
    withoutDrawer.drawer = Drawer::Off;
    withoutDrawer.makePrinter()->print(TestPage::lines(shopName, encoding, columns(), printed));
}

QString PrinterSettings::encodingName(TextEncoding encoding)
{
    return nameOf(kEncodingNames, encoding);
}
