#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// One line of the open sale as stored: the row's key, the code and name as
// text, the numbers as numbers (empty when none was stored, which counts as 0).
struct SaleLine
{
    // The parts a line can be ordered by, in the order a sale grid shows them.
    enum class Field { Code, Name, Quantity, Price, Amount };

    qint64 key = 0;
    QString code;
    QString name;
    std::optional<double> quantity;
    std::optional<double> price;
    std::optional<double> amount;

    // The numbers in the general number text; "" for an empty one.
    QString quantityText() const;
    QString priceText() const;
    QString amountText() const;
    // Any part as the sale grid shows it.
    QString text(Field field) const;
};
