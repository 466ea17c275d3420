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

// The sales record summed by sale date, till, cashier and hour, each
// product and each payment method by sale date and till, so that a report over many days reads a few
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
    // A payment of a receipt whose lines are of this date and till; a refund
    // is a negative amount.
    void addPayment(const QString &date, int till, int method, const QVariant &amount, const QVariant &change);
    // Adds what was gathered to the stored rows, reading each first. A
    // receipt number that lines outside the gathered ones also carry marks
    // its group doubtful.
    void addToStored(const Run &run) const;

    // The stored rows of one date and till made again from its lines.
    static void redoDay(const Run &run, const QString &date, int till);
    // Every stored row made again from every line.
    static void rebuild(const Run &run);

    // Every month row made again from the rows by day (the upgrade step).
    static void rebuildMonths(const Run &run);

    // "08:15" is hour 8; a time the program did not write gives -1.
    static int hourOf(QStringView time);
    // "2026-12-08" is in month "2026-12"; text that is no date written as
    // yyyy-MM-dd is in none (null): reports read its days.
    static QString monthOf(const QString &date);

private:
    enum class Stored { Read, Empty };
    enum class Months { Write, Leave };
    void write(const Run &run, Stored stored, bool checkReceipts, Months months = Months::Write) const;
    static void redoMonth(const Run &run, const QString &month, int till);
    static void gatherLines(const Run &run, const Statement &lines, SalesSummary &into);
    static void gatherPayments(const Run &run, const Statement &payments, SalesSummary &into);

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

    struct PaymentSums
    {
        DecimalSum amount;
        DecimalSum change;
        bool doubtful = false;   // an amount that is no number: only the payments can tell
    };
    using PaymentKey = std::tuple<QString, int, int>;   // date, till, method

    std::map<GroupKey, Group> m_groups;
    std::map<ProductKey, ProductSums> m_products;
    std::map<PaymentKey, PaymentSums> m_payments;
    QHash<QString, Receipt> m_receipts;

    // How a product's row by day or by month is read, added and changed.
    struct ProductStatements
    {
        Statement (*read)(const QString &, int, const QString &, const QString &);
        Statement (*add)(const QString &, int, const QString &, const QString &, qint64, const QVariant &,
                         const QVariant &);
        Statement (*change)(const QString &, int, const QString &, const QString &, qint64, const QVariant &,
                            const QVariant &);
    };
    // Adds the sums to the stored rows (date or month, till, code, name).
    static void writeProducts(const Run &run, Stored stored, const std::map<ProductKey, ProductSums> &products,
                              const ProductStatements &statements);
};
