#pragma once

#include "receipt/receiptdata.h"

#include <QList>
#include <QString>

#include <optional>

class Database;

// The Z reports printed so far (Tables::DayClosings), one row each, and the
// record lines each one closed.
class DayClosings final
{
public:
    struct Closing
    {
        int number = 0;            // 1, 2, 3 … one after another
        QString closedAt;          // "yyyy-MM-dd HH:mm:ss"
        QString fromDate;          // the dates of the lines it closed, as recorded
        QString toDate;
        qint64 afterLine = 0;      // the last closing's last_line …
        qint64 lastLine = 0;       // … and the highest row key it closed
        qint64 receipts = 0;
        qint64 lines = 0;
        QString items;
        QString takings;
        QString counted;           // the cash the owner counted in the drawer
        QString difference;        // counted less takings
        QList<ReceiptLine> printed;   // empty for a closing made before they were kept
    };

    explicit DayClosings(Database &db);

    // The closing with the highest number, if there was any.
    std::optional<Closing> last() const;
    std::optional<Closing> find(int number) const;

    // Within a transaction: holds another till's closing until it ends.
    void hold();
    // Marks every line not closed yet as closed by the closing of that number.
    void closeOpenLines(int number);
    // Writes one closing; throws DatabaseError (a number taken already is refused).
    void record(const Closing &closing);
    // Takes a closing back, and its lines with it, in one transaction.
    void withdraw(int number);

private:
    Database &m_db;
};
