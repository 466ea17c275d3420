#pragma once

#include <QString>

class Query;

// The lines of the sale being rung up, as the cashier screen changes them.
namespace OpenSale {

struct Totals
{
    double quantity = 0;
    double amount = 0;
};

// Sums quantity and amount over every line, first to last; the last line is
// current afterwards.
Totals walkTotals(Query &sale);

// Appends a line. Quantity and price are converted as stored numbers are; the
// amount is quantity × price read back as numbers. Throws on a text that is
// not a number, leaving nothing stored.
void addLine(Query &sale, const QString &code, const QString &name, const QString &quantity,
             const QString &price);

// Changes the current line's name, quantity, price and amount; the code stays.
void modifyLine(Query &sale, const QString &name, const QString &quantity, const QString &price);

} // namespace OpenSale
