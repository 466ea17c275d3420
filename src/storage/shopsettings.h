#pragma once

#include <QString>

class Database;

// The shop's one settings row: the cashier, the shop name that heads the
// receipt and the remark at its foot (lines separated by CR LF).
struct ShopSettings
{
    QString cashier;
    QString shopName;
    QString remark;

    // The first row; an empty table reads as three empty texts.
    static ShopSettings load(Database &db);
    // Changes the first row, or makes it when the table is empty. Throws
    // DatabaseError when the database refuses the write.
    void save(Database &db) const;
};
