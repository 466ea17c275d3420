#pragma once

#include <QString>

#include <optional>

class Database;

// The Z reports printed so far (Tables::DayClosings), one row each.
class DayClosings final
{
public:
    struct Closing
    {
        int number = 0;            // 1, 2, 3 … one after another
        QString closedAt;          // "yyyy-MM-dd HH:mm:ss"
        QString fromDate;          // the range chosen, as dates are recorded
        QString toDate;
        qint64 afterLine = 0;      // it covers the lines with higher row keys …
        qint64 lastLine = 0;       // … up to this one
        qint64 receipts = 0;
        qint64 lines = 0;
        QString items;
        QString takings;
        QString counted;           // the cash the owner counted in the drawer
        QString difference;        // counted less takings
    };

    explicit DayClosings(Database &db);

    // The closing with the highest number, if there was any.
    std::optional<Closing> last() const;
    // Writes one closing; throws DatabaseError (a number taken already is refused).
    void record(const Closing &closing);

private:
    Database &m_db;
};
