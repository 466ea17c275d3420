#include "receipt/receiptprinter.h"

#include "receipt/cashdrawer.h"
#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/escpostcplink.h"
#include "receipt/pdfprintsurface.h"
#include "receipt/printertarget.h"
#include "receipt/printsurface.h"
#include "receipt/receiptlayout.h"
#include "receipt/systemprintsurface.h"

ReceiptPrinter::ReceiptPrinter(std::unique_ptr<PrintSurface> surface, TextEncoding encoding)
    : m_device(std::move(surface), encoding)
{
}

ReceiptPrinter::~ReceiptPrinter() = default;

void ReceiptPrinter::setCashDrawer(std::unique_ptr<CashDrawer> drawer, bool afterSale)
{
    m_drawer = std::move(drawer);
    m_drawerAfterSale = afterSale;
}

std::unique_ptr<ReceiptPrinter> ReceiptPrinter::create(const PrinterTarget &target)
{
    std::unique_ptr<PrintSurface> surface;
    switch (target.kind()) {
    case PrinterTarget::Kind::SystemPrinter:
        surface = std::make_unique<SystemPrintSurface>();
        break;
    case PrinterTarget::Kind::EscPosDevice:
        surface = std::make_unique<EscPosPrintSurface>(
            std::make_unique<EscPosFileLink>(target.path()), target.columns());
        break;
    case PrinterTarget::Kind::EscPosNetwork:
        surface = std::make_unique<EscPosPrintSurface>(
            std::make_unique<EscPosTcpLink>(target.host(), target.port()), target.columns());
        break;
    case PrinterTarget::Kind::PdfFolder:
        surface = std::make_unique<PdfPrintSurface>(target.path(), target.paperMillimetres());
        break;
    }
    return std::make_unique<ReceiptPrinter>(std::move(surface));
}

std::unique_ptr<ReceiptPrinter> ReceiptPrinter::create(const QString &option,
                                                       const QString &paperWidth)
{
    return create(PrinterTarget::parse(option, paperWidth));
}

void ReceiptPrinter::print(const QList<ReceiptLine> &lines)
{
    m_device.openJob();
    try {
        int size = 0;
        for (const ReceiptLine &line : lines) {
            if (line.pointSize == ReceiptLayout::BarcodePointSize) {
                m_device.writeBarcode(line.writes.value(0));
                continue;
            }
            if (line.pointSize != size) {
                size = line.pointSize;
                m_device.setFontSize(size);
            }
            for (const QString &text : line.writes)
                m_device.write(size == ReceiptLayout::TitlePointSize ? fittedTitle(text) : text);
            m_device.endLine();
        }
        m_device.closeJob();
    } catch (...) {
        m_device.abortJob();
        throw;
    }
}

QString ReceiptPrinter::fittedTitle(const QString &title) const
{
    // Blanks before a shop's name centre it on the paper it was set up for;
    // on narrower paper as many go as make the name fit on one line.
    QString text = title;
    while (text.startsWith(QLatin1Char(' ')) && !m_device.fitsOnALine(text))
        text.remove(0, 1);
    return text;
}

void ReceiptPrinter::printCopy(const ReceiptInput &input, ReceiptCopy copy)
{
    print(ReceiptLayout::lines(input, copy, encoding()));
}
