#pragma once

#include <QString>

class Database;
class QSqlDatabase;

// Keeps the pinyin spellings of the catalogue (product_pinyin) with the
// products: written when a product is saved or imported, and for every
// product when an older file is upgraded, so that a search never spells
// the catalogue out at run time.
class PinyinIndex final
{
public:
    // Replaces the spellings stored for the code by those of the name.
    static void store(Database &db, const QString &code, const QString &name);
    // Spells out every product of a file (the upgrade step, on its own connection).
    static void storeAll(QSqlDatabase &db);
};
