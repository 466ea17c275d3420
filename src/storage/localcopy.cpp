#include "localcopy.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/salessummary.h"
#include "storage/salestock.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// In the order they are written: a product's spellings after the product.
const QStringList &copiedTables()
{
    static const QStringList tables = {Tables::Catalogue::table, Tables::ProductPinyin::table,
                                       Tables::ShopSettings::table, Tables::TillSettings::table,
                                       Tables::PaymentMethods::table, Tables::Cashiers::table};
    return tables;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

struct SentLine
{
    QVariant code, name, quantity, price, amount;
    QString cashier, date, time;
};

bool anyRow(QSqlQuery rows)
{
    return rows.next();
}

// One sale into the server's record, all or nothing; nothing when the
// server has it already.
void sendSale(Database &server, Database &copy, const QString &number, int till)
{
    using Column = Statements::SentLineColumn;
    QList<SentLine> lines;
    {
        QSqlQuery rows = copy.run(Statements::recordedLinesToSend(number, till));
        while (rows.next()) {
            auto at = [&rows](Column column) { return rows.value(int(column)); };
            lines << SentLine{at(Column::Code), at(Column::Name), at(Column::Quantity), at(Column::Price),
                              at(Column::Amount), Query::valueText(at(Column::Cashier)),
                              Query::valueText(at(Column::Date)), Query::valueText(at(Column::Time))};
        }
    }
    struct Paid
    {
        int method;
        QString amount, change;
        bool shown;
    };
    QList<Paid> payments;
    {
        using PaymentColumn = Statements::PaymentColumn;
        QSqlQuery rows = copy.run(Statements::receiptPayments(number, till));
        while (rows.next())
            payments << Paid{rows.value(int(PaymentColumn::Method)).toInt(),
                             Query::valueText(rows.value(int(PaymentColumn::Amount))),
                             Query::valueText(rows.value(int(PaymentColumn::Change))),
                             rows.value(int(PaymentColumn::Shown)).toInt() != 0};
    }

    Transaction transaction(server, Transaction::Start::Writing);
    if (anyRow(server.run(Statements::hasArrived(till, number)))
        || anyRow(server.run(Statements::hasRecordedLines(number, till))))
        return;
    // The mark first: a second sender of the same sale stops here.
    server.execute(Statements::recordArrival(till, number, now()));
    server.execute(Statements::reserveReceiptNumber(number, till));
    SalesSummary summary;
    QList<SaleStock::Line> stock;
    for (const SentLine &line : std::as_const(lines)) {
        stock << SaleStock::Line{line.code, line.quantity};
        QSqlQuery row = server.run(Statements::recordSaleLine(line.code, line.name, line.quantity, line.price,
                                                              line.amount, number, line.cashier, line.date,
                                                              line.time, till));
        if (!row.next())
            server.fail(row.lastError());
        summary.add({row.value(0).toLongLong(), number, line.cashier, line.date, line.time,
                     Query::valueText(line.code), Query::valueText(line.name), till,
                     Query::valueNumber(line.quantity), Query::valueNumber(line.amount)});
    }
    const QString date = lines.isEmpty() ? QString() : lines.first().date;
    for (const Paid &payment : std::as_const(payments)) {
        server.execute(Statements::recordPayment(number, till, payment.method, payment.amount, payment.change,
                                                 payment.shown));
        summary.addPayment(date, till, payment.method, payment.amount, payment.change);
    }
    summary.addToStored([&server](const Statement &statement) { return server.run(statement); });
    // The server's stock moves as the till's copy did when the sale was made.
    if (!lines.isEmpty())
        SaleStock::record(server, StockKind::Sale, number, till, lines.first().cashier,
                          SaleStock::movedAt(lines.first().date, lines.first().time), stock);
    transaction.commit();
}

// The sales the till parked while the server was away, each moved to the
// server in one transaction under a mark of its own, so that a send cut off
// before the copy forgot it does not park it twice.
void sendHeldSales(Database &server, Database &copy, int till)
{
    struct Held
    {
        qint64 key;
        QString heldAt;
    };
    QList<Held> held;
    {
        QSqlQuery rows = copy.run(Statements::heldSalesToSend(till));
        while (rows.next())
            held << Held{rows.value(0).toLongLong(), rows.value(1).toString()};
    }
    for (const Held &sale : std::as_const(held)) {
        QList<QVariantList> lines;
        {
            QSqlQuery rows = copy.run(Statements::heldLinesToSend(sale.key));
            while (rows.next())
                lines << QVariantList{rows.value(0), rows.value(1), rows.value(2), rows.value(3), rows.value(4)};
        }
        const QString mark = QStringLiteral("挂单 %1 #%2").arg(sale.heldAt).arg(sale.key);
        {
            Transaction transaction(server, Transaction::Start::Writing);
            if (!anyRow(server.run(Statements::hasArrived(till, mark)))) {
                server.execute(Statements::recordArrival(till, mark, now()));
                QSqlQuery row = server.run(Statements::holdSale(till, sale.heldAt));
                if (!row.next())
                    server.fail(row.lastError());
                const qint64 key = row.value(0).toLongLong();
                using Column = Statements::HeldLineColumn;
                for (const QVariantList &line : std::as_const(lines))
                    server.execute(Statements::addHeldLine(key, line[int(Column::Code)], line[int(Column::Name)],
                                                           line[int(Column::Quantity)], line[int(Column::Price)],
                                                           line[int(Column::Amount)]));
            }
            transaction.commit();
        }
        Transaction transaction(copy, Transaction::Start::Writing);
        copy.execute(Statements::forgetHeldLines(sale.key));
        copy.execute(Statements::forgetHeldSale(sale.key, till));
        transaction.commit();
    }
}

// The opening cash recorded while the server was away takes the place of the
// till's open one there, as it did in the copy; sent again, it changes nothing.
void sendCashFloat(Database &server, Database &copy, int till)
{
    QString setAt;
    QString amount;
    {
        QSqlQuery rows = copy.run(Statements::cashFloatsToSend(till));
        while (rows.next()) {
            setAt = rows.value(0).toString();
            amount = Query::valueText(rows.value(1));
        }
    }
    if (setAt.isEmpty())
        return;
    {
        Transaction transaction(server, Transaction::Start::Writing);
        server.execute(Statements::forgetOpenCashFloat(till));
        server.execute(Statements::recordCashFloat(till, setAt, amount));
        transaction.commit();
    }
    copy.execute(Statements::forgetOpenCashFloat(till));
}

} // namespace

void LocalCopy::refresh(const QString &serverAddress, const QString &copyPath)
{
    Database server;
    server.open(serverAddress);
    const Database::Patience patience(server);
    if (!QFileInfo::exists(copyPath)) {
        QDir().mkpath(QFileInfo(copyPath).absolutePath());
        Database::createFile(copyPath);
    }
    Database copy;
    copy.open(copyPath);
    Transaction transaction(copy, Transaction::Start::Writing);
    for (qsizetype i = copiedTables().size() - 1; i >= 0; --i)
        copy.execute(Statements::emptyCopiedTable(copiedTables().at(i)));
    for (const QString &table : copiedTables()) {
        QSqlQuery insert(copy.handle());
        if (!insert.prepare(Statements::insertCopiedRow(table).sql))
            copy.fail(insert.lastError());
        QSqlQuery rows = server.run(Statements::copiedRows(table));
        while (rows.next()) {
            const int columns = rows.record().count();
            for (int c = 0; c < columns; ++c)
                insert.bindValue(c, rows.value(c));
            if (!insert.exec())
                copy.fail(insert.lastError());
        }
        if (rows.lastError().isValid())
            server.fail(rows.lastError());
    }
    markSynchronised(copy);
    transaction.commit();
}

int LocalCopy::sendWaiting(const QString &serverAddress, const QString &copyPath, int till)
{
    if (!QFileInfo::exists(copyPath))
        return 0;
    Database copy;
    copy.open(copyPath);
    QStringList numbers;
    {
        QSqlQuery rows = copy.run(Statements::waitingSales());
        while (rows.next())
            numbers << rows.value(0).toString();
    }
    const bool keptMore = anyRow(copy.run(Statements::heldSalesToSend(till)))
        || anyRow(copy.run(Statements::cashFloatsToSend(till)));
    if (numbers.isEmpty() && !keptMore)
        return 0;
    Database server;
    server.open(serverAddress);
    if (keptMore) {
        sendCashFloat(server, copy, till);
        sendHeldSales(server, copy, till);
    }
    int sent = 0;
    for (const QString &number : std::as_const(numbers)) {
        sendSale(server, copy, number, till);
        // Killed here, the next send finds the sale's mark on the server.
        Transaction transaction(copy, Transaction::Start::Writing);
        copy.execute(Statements::unqueueSale(number));
        markSynchronised(copy);
        transaction.commit();
        ++sent;
    }
    return sent;
}

int LocalCopy::waitingCount(const QString &copyPath)
{
    if (copyPath.isEmpty() || !QFileInfo::exists(copyPath))
        return 0;
    Database copy;
    copy.open(copyPath);
    QSqlQuery count = copy.run(Statements::waitingSaleCount());
    return count.next() ? count.value(0).toInt() : 0;
}

int LocalCopy::waitingCount(Database &db)
{
    if (db.isOffline()) {
        QSqlQuery count = db.run(Statements::waitingSaleCount());
        return count.next() ? count.value(0).toInt() : 0;
    }
    return waitingCount(db.localCopy());
}

QString LocalCopy::lastSynchronised(const QString &copyPath)
{
    if (copyPath.isEmpty() || !QFileInfo::exists(copyPath))
        return {};
    Database copy;
    copy.open(copyPath);
    QSqlQuery at = copy.run(Statements::lastSynchronised());
    return at.next() ? at.value(0).toString() : QString();
}

void LocalCopy::markSynchronised(Database &copy)
{
    copy.execute(Statements::storeLastSynchronised(now()));
}
