#include "stockledger.h"

#include "base/apperror.h"
#include "base/thousandths.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/statements.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

#include <map>

namespace {

QVariant nullText()
{
    return QVariant(QMetaType(QMetaType::QString));
}

StockLevel levelOf(const QSqlQuery &row)
{
    using Column = Statements::StockLevelColumn;
    auto at = [&row](Column column) { return row.value(int(column)); };
    StockLevel level;
    level.code = Query::valueText(at(Column::Code));
    level.name = Query::valueText(at(Column::Name));
    level.price = Query::valueText(at(Column::Price));
    level.onHand = Thousandths::text(at(Column::OnHand).toLongLong());
    if (!at(Column::ReorderLevel).isNull())
        level.reorderLevel = Thousandths::text(at(Column::ReorderLevel).toLongLong());
    level.lastCost = Query::valueText(at(Column::LastCost));
    return level;
}

// A till's own copy never sends its stock documents to the server: they
// would be lost there.
void refuseOffline(const Database &db)
{
    if (db.isOffline())
        throw Refusal(QStringLiteral("提示：收银机正在离线收银，连上数据库服务器以后才能保存库存。"));
}

} // namespace

qint64 StockLedger::record(Database &db, StockKind kind, const QList<StockChange> &changes, const QString &note,
                           const QString &cashier)
{
    refuseOffline(db);
    if (changes.isEmpty())
        throw Refusal(QStringLiteral("单子上还没有商品。"));
    // Every line is read before anything is written: a bad one writes nothing.
    struct Line
    {
        qint64 milli = 0;
        QVariant cost;
    };
    std::map<QString, Line> byCode;   // in code order: see SaleStock
    for (const StockChange &change : changes) {
        const QString code = change.code.trimmed();
        if (code.isEmpty())
            throw Refusal(QStringLiteral("有一行没有商品编码。"));
        Line &line = byCode[code];
        line.milli += Thousandths::parseOrRefuse(change.quantity);
        if (!change.unitCost.trimmed().isEmpty()) {
            const std::optional<QString> cost = Thousandths::decimal(change.unitCost);
            if (!cost || cost->startsWith(QLatin1Char('-')))
                throw Refusal(QStringLiteral("进货价“%1”不是有效的金额。").arg(change.unitCost));
            line.cost = *cost;
        }
    }
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    Transaction transaction(db, Transaction::Start::Writing);
    // A cashier or note not given is stored empty: the columns hold text, never none.
    const QString cashierText = cashier.isNull() ? QStringLiteral("") : cashier;
    const QString noteText = note.isNull() ? QStringLiteral("") : note;
    QSqlQuery made = db.run(Statements::addStockDocument(int(kind), now, db.till(), cashierText, noteText));
    if (!made.next())
        db.fail(made.lastError());
    const qint64 number = made.value(0).toLongLong();
    made = QSqlQuery();
    for (const auto &[code, line] : byCode) {
        // A stock-take's line that found the shelf as the ledger is still
        // part of the count.
        const QVariant cost = kind == StockKind::Received && !line.cost.isNull() ? line.cost : nullText();
        if (db.execute(Statements::addStockMovement(int(kind), code, line.milli, cost, now, db.till(), cashierText,
                                                    number, nullText()))
            == 0)
            throw Refusal(QStringLiteral("没有编码为“%1”的商品，单子没有保存。").arg(code));
    }
    transaction.commit();
    return number;
}

std::optional<StockDocument> StockLedger::document(Database &db, qint64 number)
{
    QSqlQuery head = db.run(Statements::stockDocument(number));
    if (!head.next())
        return std::nullopt;
    StockDocument doc;
    doc.number = number;
    doc.kind = StockKind(head.value(0).toInt());
    doc.at = Query::valueText(head.value(1));
    doc.till = head.value(2).toInt();
    doc.cashier = Query::valueText(head.value(3));
    doc.note = Query::valueText(head.value(4));
    head = QSqlQuery();
    QSqlQuery lines = db.run(Statements::stockDocumentLines(number));
    while (lines.next())
        doc.lines << StockChange{Query::valueText(lines.value(0)), Thousandths::text(lines.value(1).toLongLong()),
                                 doc.kind == StockKind::Received ? Query::valueText(lines.value(2)) : QString()};
    return doc;
}

std::optional<StockLevel> StockLedger::level(Database &db, const QString &code)
{
    QSqlQuery row = db.run(Statements::stockLevel(code));
    if (!row.next())
        return std::nullopt;
    return levelOf(row);
}

QList<StockLevel> StockLedger::levels(Database &db, const QStringList &codes)
{
    QList<StockLevel> out;
    for (const QString &code : codes)
        if (const std::optional<StockLevel> found = level(db, code))
            out << *found;
    return out;
}

QList<StockLevel> StockLedger::lowStock(Database &db)
{
    QList<StockLevel> out;
    QSqlQuery rows = db.run(Statements::lowStock());
    while (rows.next())
        out << levelOf(rows);
    return out;
}

void StockLedger::setReorderLevel(Database &db, const QString &code, const QString &level)
{
    refuseOffline(db);
    const QVariant milli = level.trimmed().isEmpty() ? QVariant(QMetaType(QMetaType::LongLong))
                                                     : QVariant(Thousandths::parseOrRefuse(level));
    if (!StockLedger::level(db, code))
        throw Refusal(QStringLiteral("没有编码为“%1”的商品。").arg(code));
    db.execute(Statements::setReorderLevel(code, milli));
}

StockLedger::Check StockLedger::check(Database &db)
{
    Check check;
    QSqlQuery rows = db.run(Statements::stockCheck());
    while (rows.next()) {
        ++check.products;
        const QString code = Query::valueText(rows.value(0));
        const qint64 kept = rows.value(1).toLongLong();
        const qint64 ledger = rows.value(2).toLongLong();
        if (rows.value(3).toInt() == 0)
            check.wrong << QStringLiteral("%1: 没有库存数，流水合计 %2").arg(code, Thousandths::text(ledger));
        else if (kept != ledger)
            check.wrong << QStringLiteral("%1: 库存数 %2，流水合计 %3")
                               .arg(code, Thousandths::text(kept), Thousandths::text(ledger));
    }
    if (rows.lastError().isValid())
        db.fail(rows.lastError());
    return check;
}
