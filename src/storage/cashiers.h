#pragma once

#include <QList>
#include <QString>

#include <optional>

class Database;

// One of the shop's cashiers. A cashier is switched off, never deleted, so
// that the records and the trail keep naming someone the owner can find.
struct Cashier
{
    int number = 0;
    QString name;
    QString pinHash;   // "salt:hash", both hex; made and checked by the till
    bool active = true;
};

// The shop's cashiers, by number.
class Cashiers final
{
public:
    Cashiers() = delete;

    static QList<Cashier> load(Database &db);
    static std::optional<Cashier> find(Database &db, int number);
    // Stores the list all together or none of it: a number already stored is
    // changed, a new one added. Throws DatabaseError.
    static void save(Database &db, const QList<Cashier> &cashiers);
};
