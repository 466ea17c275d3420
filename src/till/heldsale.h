#pragma once

#include <QString>

// A sale parked (挂单) at a till, as the list to take one back shows it.
struct HeldSale
{
    qint64 number = 0;   // what takes it back
    QString heldAt;      // "yyyy-MM-dd HH:mm:ss"
    int lines = 0;
    QString total;       // the exact sum of its amounts, as number text
};
