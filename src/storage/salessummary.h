#pragma once

#include "base/decimalsum.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <tuple>

class QSqlQuery;
struct Statement;

// The sales record summed by sale date, till, cashier and hour, and each
// product by sale date and till, so that a report over many days reads a few
// rows a day instead of every line. Lines are gathered here and then added to
// the stored rows: a completion adds its sale in its own transaction; a
// removed recording makes its day again; the upgrade makes it all from the
// lines. A till only ever changes the rows of its own number, so tills that
// share a database never write the same row.
class SalesSummary final
{
public:
    // Runs a statement, throwing DatabaseError on failure.
    using Run = std::function<QSqlQuery(const Statement &)>;

    struct Line
    {
        qint64 key = 0;
        QString receiptNumber;
        QString cashier;
        QString date;
        QString time;
        QString code;
        QString name;
        int till = 0;
        double quantity = 0;
        double amount = 0;
        bool doubtful = false;   // a quantity or amount that is no number
    };

    void add(const Line &line);
    // Adds what was gathered to the stored rows, reading each first. A
    // receipt number that lines outside the gathered ones also carry marks
    // its group doubtful.
    void addToStored(const Run &run) const;

    // The stored rows of one date and till made again from its lines.
    static void redoDay(const Run &run, const QString &date, int till);
    // Every stored row made again from every line.
    static void rebuild(const Run &run);

    // "08:15" is hour 8; a time the program did not write gives -1.
    static int hourOf(QStringView time);

private:
    enum class Stored { Read, Empty };
    void write(const Run &run, Stored stored, bool checkReceipts) const;
    static void gatherLines(const Run &run, const Statement &lines, SalesSummary &into);

    struct Group
    {
        qint64 receipts = 0;
        qint64 lines = 0;
        DecimalSum items;
        DecimalSum takings;
        qint64 firstLine = 0;
        QString firstTime;
        qint64 lastLine = 0;
        QString lastTime;
        bool doubtful = false;
    };
    using GroupKey = std::tuple<QString, int, QString, int>;   // date, till, cashier, hour
    struct ProductSums
    {
        qint64 lines = 0;
        DecimalSum quantity;
        DecimalSum takings;
    };
    using ProductKey = std::tuple<QString, int, QString, QString>;   // date, till, code, name
    struct Receipt
    {
        GroupKey group;
        qint64 firstKey = 0;
        qint64 lastKey = 0;
    };

    std::map<GroupKey, Group> m_groups;
    std::map<ProductKey, ProductSums> m_products;
    QHash<QString, Receipt> m_receipts;
};
