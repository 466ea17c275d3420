#include "receipt/tillprinter.h"

#include "storage/tillsettings.h"
#include "receipt/receiptprinter.h"

TillPrinter::TillPrinter(PrinterOverrides overrides)
    : m_overrides(std::move(overrides))
{
}

TillPrinter::~TillPrinter() = default;

void TillPrinter::setOverrides(const PrinterOverrides &overrides)
{
    m_overrides = overrides;
    m_madeFrom.reset();
}

void TillPrinter::setFixed(std::unique_ptr<ReceiptPrinter> printer)
{
    m_printer = std::move(printer);
    m_fixed = m_printer != nullptr;
    m_madeFrom.reset();
}

ReceiptPrinter &TillPrinter::current(Database &db)
{
    if (m_fixed)
        return *m_printer;
    const PrinterSettings wanted = PrinterSettings::load(TillSettings(db)).withOverrides(m_overrides);
    if (!m_printer || m_madeFrom != wanted) {
        m_printer = wanted.makePrinter();
        m_madeFrom = wanted;
    }
    return *m_printer;
}
