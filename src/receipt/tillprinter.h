#pragma once

#include "receipt/printersettings.h"

#include <memory>
#include <optional>

class Database;
class ReceiptPrinter;

// The till's receipt printer and cash drawer as its stored settings
// describe them, with this run's command-line options put in. The settings
// are read afresh at every use, as the shop name is at every print, and the
// printer is made again only when they changed: a change stored in the
// printer window counts from the next sale on, without a restart, and a
// system printer keeps its chosen queue while nothing changes.
class TillPrinter final
{
public:
    explicit TillPrinter(PrinterOverrides overrides = {});
    ~TillPrinter();

    void setOverrides(const PrinterOverrides &overrides);
    // A printer used whatever is stored (a printer made elsewhere, tests).
    void setFixed(std::unique_ptr<ReceiptPrinter> printer);

    // Throws DatabaseError or Refusal when the stored settings cannot be read.
    ReceiptPrinter &current(Database &db);

private:
    PrinterOverrides m_overrides;
    std::unique_ptr<ReceiptPrinter> m_printer;
    std::optional<PrinterSettings> m_madeFrom;
    bool m_fixed = false;
};
