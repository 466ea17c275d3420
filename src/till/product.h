#pragma once

#include <QString>

// A catalogue product as a lookup finds it; the price in the general number text.
struct Product
{
    QString code;
    QString name;
    QString price;
};
