#pragma once

#include <QString>

// One line of the open sale as the screen shows it: numbers in the general
// number text, an empty value as empty text.
struct SaleLine
{
    QString code;
    QString name;
    QString quantity;
    QString price;
    QString amount;
};
