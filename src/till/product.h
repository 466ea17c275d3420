#pragma once

#include <QString>

// A catalogue product as a lookup finds it; the price in the general number text.
struct Product
{
    QString code;
    QString name;
    QString price;
    // The quantity a scale code carries (its weight, or 1 for a price);
    // empty for any other lookup, where the cashier gives it.
    QString quantity = {};
};
