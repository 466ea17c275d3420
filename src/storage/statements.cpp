#include "statements.h"

#include "base/apperror.h"
#include "storage/schema.h"

namespace Statements {

namespace {
const QStringList kByRowKey{Schema::kRowKey};
const QStringList kByCode{QStringLiteral("编码")};
} // namespace

Statement openSale(int till)
{
    return {QStringLiteral("select * from xiaoshou where till = ? order by id"), {till}, Schema::kOpenSale, kByRowKey};
}

Statement emptyOpenSale(int till)
{
    return {QStringLiteral("delete from xiaoshou where till = ?"), {till}, {}, {}};
}

Statement settings()
{
    return {QStringLiteral("select * from beizhu order by id"), {}, Schema::kSettings, kByRowKey};
}

Statement productNames()
{
    return {QStringLiteral("select distinct 品名 from spinfo"), {}, {}, {}};
}

Statement lookupByCodeOrName(const QString &text)
{
    return {QStringLiteral("select * from spinfo where (编码 like ?) or (品名 like ?)"),
            {text, text}, Schema::kCatalogue, kByCode,
            QStringLiteral("select * from spinfo where (lower(编码) like lower(?) escape '') "
                           "or (lower(品名) like lower(?) escape '')")};
}

Statement lookupByName(const QString &text)
{
    return {QStringLiteral("select * from spinfo where (品名 like ?)"), {text}, Schema::kCatalogue, kByCode,
            QStringLiteral("select * from spinfo where (lower(品名) like lower(?) escape '')")};
}

Statement lookupByCode(const QString &code)
{
    return {QStringLiteral("select * from spinfo where 编码 = ?"), {code}, Schema::kCatalogue, kByCode};
}

Statement catalogue()
{
    return {QStringLiteral("select * from spinfo"), {}, Schema::kCatalogue, kByCode};
}

Statement searchCatalogue(const QString &text)
{
    // "+编码" orders exactly as 编码 does, but keeps SQLite from walking the
    // code index and fetching every row through it: one scan and one sort are
    // several times quicker on a large catalogue. PostgreSQL orders in the
    // same byte order with the "C" collation, whatever the server's own is.
    return {QStringLiteral("select 编码,品名,单价 from spinfo where (编码 like ?) or (品名 like '%' || ? || '%') order by +编码"),
            {text, text}, Schema::kCatalogue, kByCode,
            QStringLiteral("select 编码,品名,单价 from spinfo where (lower(编码) like lower(?) escape '') "
                           "or (lower(品名) like '%' || lower(?) || '%' escape '') order by 编码 collate \"C\"")};
}

Statement deleteMatchingProducts(const QString &text)
{
    return {QStringLiteral("delete from spinfo where (编码 like ?) or (品名 like '%' || ? || '%')"),
            {text, text}, {}, {},
            QStringLiteral("delete from spinfo where (lower(编码) like lower(?) escape '') "
                           "or (lower(品名) like '%' || lower(?) || '%' escape '')")};
}

// SQLite walks the date index backwards: among lines of one date the
// highest key comes first, which PostgreSQL is told.
Statement allRecords()
{
    return {QStringLiteral("select * from XiaoShouRecord order by 日期 desc"), {}, Schema::kSalesRecord, kByRowKey,
            QStringLiteral("select * from XiaoShouRecord order by 日期 collate \"C\" desc, id desc")};
}

namespace {
// Column names come from the program, never from typed text; a name the
// sales record lacks is refused before it reaches any SQL.
QString recordColumn(const QString &field)
{
    for (const QString &name : Schema::columns(Schema::kSalesRecord))
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\"").arg(name);
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(field));
}
} // namespace

Statement recordWalkByKey(int till)
{
    if (till > 0)
        return {QStringLiteral("select id, 数量, 金额, 日期 from XiaoShouRecord where till = ? order by id desc"),
                {till}, {}, {}};
    return {QStringLiteral("select id, 数量, 金额, 日期 from XiaoShouRecord order by id desc"), {}, {}, {}};
}

Statement recordWalkByDate(int till)
{
    if (till > 0)
        return {QStringLiteral("select id, 数量, 金额 from XiaoShouRecord where till = ? order by 日期 desc, id desc"),
                {till}, {}, {},
                QStringLiteral("select id, 数量, 金额 from XiaoShouRecord where till = ? "
                               "order by 日期 collate \"C\" desc, id desc")};
    return {QStringLiteral("select id, 数量, 金额 from XiaoShouRecord order by 日期 desc, id desc"), {}, {}, {},
            QStringLiteral("select id, 数量, 金额 from XiaoShouRecord order by 日期 collate \"C\" desc, id desc")};
}

Statement recordedTills()
{
    return {QStringLiteral("select distinct till from XiaoShouRecord order by till"), {}, {}, {}};
}

Statement recordFieldsByKey(const QStringList &fields)
{
    QStringList columns;
    for (const QString &field : fields)
        columns << recordColumn(field);
    return {QStringLiteral("select %1 from XiaoShouRecord where id = ?").arg(columns.join(QStringLiteral(", "))),
            {}, {}, {}};
}

Statement recordFieldUpTo(const QString &field, qint64 lastKey)
{
    return {QStringLiteral("select id, %1 from XiaoShouRecord where id <= ? order by id").arg(recordColumn(field)),
            {lastKey}, {}, {}};
}

Statement tillSetting(int till, const QString &name)
{
    return {QStringLiteral("select value from till_settings where till = ? and name = ?"), {till, name}, {}, {}};
}

Statement tillSettings(int till)
{
    return {QStringLiteral("select name, value from till_settings where till = ? order by name"), {till}, {}, {}};
}

Statement forgetTillSetting(int till, const QString &name)
{
    return {QStringLiteral("delete from till_settings where till = ? and name = ?"), {till, name}, {}, {}};
}

Statement storeTillSetting(int till, const QString &name, const QString &value)
{
    return {QStringLiteral("insert into till_settings (till, name, value) values (?, ?, ?)"), {till, name, value}, {}, {}};
}

Statement recordSaleLine(const QVariant &code, const QVariant &name, const QVariant &quantity,
                         const QVariant &price, const QVariant &amount, const QString &receiptNumber,
                         const QString &cashier, const QString &date, const QString &time, int till)
{
    return {QStringLiteral("insert into XiaoShouRecord (编码, 品名, 数量, 单价, 金额, 单号, 收银员, 日期, 时间, till) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) returning id"),
            {code, name, quantity, price, amount, receiptNumber, cashier, date, time, till}, {}, {}};
}

// NOCASE equality is the till's LIKE without wildcards (ASCII letters fold),
// and the code's NOCASE index serves it.
Statement importFindProduct(const QString &code)
{
    return {QStringLiteral("select 品名, 单价 from spinfo where 编码 = ? collate nocase"), {code}, {}, {},
            QStringLiteral("select 品名, 单价 from spinfo where lower(编码) = lower(?)")};
}

Statement importUpdateProduct(const QString &code, const QString &name, const QVariant &price)
{
    return {QStringLiteral("update spinfo set 品名 = ?, 单价 = coalesce(?, 单价) where 编码 = ? collate nocase"),
            {name, price, code}, {}, {},
            QStringLiteral("update spinfo set 品名 = ?, 单价 = coalesce(?, 单价) where lower(编码) = lower(?)")};
}

Statement importAddProduct(const QString &code, const QString &name, const QVariant &price)
{
    return {QStringLiteral("insert into spinfo (编码, 品名, 单价) values (?, ?, ?)"), {code, name, price}, {}, {}};
}

Statement importStartCodes()
{
    // PostgreSQL keeps the codes folded as its lookup compares them.
    return {QStringLiteral("create temporary table imported_codes (code text primary key collate nocase, line integer)"),
            {}, {}, {},
            QStringLiteral("create temporary table imported_codes (code text primary key, line integer)")};
}

Statement importTakeCode(const QString &code, qint64 line)
{
    return {QStringLiteral("insert into imported_codes (code, line) values (?, ?) on conflict do nothing"),
            {code, line}, {}, {},
            QStringLiteral("insert into imported_codes (code, line) values (lower(?), ?) on conflict do nothing")};
}

Statement importCodeLine(const QString &code)
{
    return {QStringLiteral("select line from imported_codes where code = ?"), {code}, {}, {},
            QStringLiteral("select line from imported_codes where code = lower(?)")};
}

Statement importEndCodes()
{
    return {QStringLiteral("drop table if exists temp.imported_codes"), {}, {}, {},
            QStringLiteral("drop table if exists pg_temp.imported_codes")};
}

Statement exportProducts()
{
    return {QStringLiteral("select 编码, 品名, 单价 from spinfo order by 编码"), {}, {}, {},
            QStringLiteral("select 编码, 品名, 单价 from spinfo order by 编码 collate \"C\"")};
}

Statement exportAllSales()
{
    return {QStringLiteral("select 单号, 日期, 时间, 收银员, 编码, 品名, 数量, 单价, 金额 from XiaoShouRecord "
                           "order by 日期, 时间, id"),
            {}, {}, {}};
}

Statement exportSales(const QString &from, const QString &to)
{
    return {QStringLiteral("select 单号, 日期, 时间, 收银员, 编码, 品名, 数量, 单价, 金额 from XiaoShouRecord "
                           "where 日期 >= ? and 日期 <= ? order by 日期, 时间, id"),
            {from, to}, {}, {}};
}

Statement integrityCheck()
{
    return {QStringLiteral("PRAGMA integrity_check"), {}, {}, {}};
}

Statement quickCheck()
{
    return {QStringLiteral("PRAGMA quick_check"), {}, {}, {}};
}

Statement layoutVersion()
{
    return {QStringLiteral("PRAGMA user_version"), {}, {}, {}};
}

Statement tableColumns(const QString &table)
{
    return {QStringLiteral("select name from pragma_table_info(?)"), {table}, {}, {}};
}

Statement singleFileJournal()
{
    return {QStringLiteral("PRAGMA journal_mode = DELETE"), {}, {}, {}};
}

Statement checkpoint()
{
    return {QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), {}, {}, {}};
}

Statement recordedReceiptNumbers()
{
    // Twelve characters between the smallest and largest number: the digits
    // are checked by the caller; the index on 单号 serves the order.
    return {QStringLiteral("select 单号 from XiaoShouRecord "
                           "where 单号 between '000000000000' and '999999999999' and length(单号) = 12 "
                           "order by 单号 desc"),
            {}, {}, {}};
}

// The keys of one sale's rows are not always consecutive: another till may
// record between them. Its till number sets them apart.
Statement recordedSale(qint64 firstKey, qint64 lastKey, int till)
{
    return {QStringLiteral("select id, 编码, 品名, 数量, 单价, 金额, 单号, 收银员, 日期, 时间 from XiaoShouRecord "
                           "where id between ? and ? and till = ? order by id"),
            {firstKey, lastKey, till}, {}, {}};
}

Statement removeRecordedSale(qint64 firstKey, qint64 lastKey, int till)
{
    return {QStringLiteral("delete from XiaoShouRecord where id between ? and ? and till = ?"),
            {firstKey, lastKey, till}, {}, {}};
}

Statement markAwaitingPrint(int till, qint64 firstKey, qint64 lastKey, const QString &received,
                            const QString &change, int copies)
{
    return {QStringLiteral("insert into awaiting_print (first_record, last_record, received, change_given, copies, till) "
                           "values (?, ?, ?, ?, ?, ?)"),
            {firstKey, lastKey, received, change, copies, till}, {}, {}};
}

Statement awaitingPrint(int till)
{
    return {QStringLiteral("select first_record, last_record, received, change_given, copies "
                           "from awaiting_print where till = ? order by id"),
            {till}, {}, {}};
}

Statement clearAwaitingPrint(int till)
{
    return {QStringLiteral("delete from awaiting_print where till = ?"), {till}, {}, {}};
}

Statement reserveReceiptNumber(const QString &number, int till)
{
    return {QStringLiteral("insert into receipt_numbers (number, till) values (?, ?) on conflict do nothing"),
            {number, till}, {}, {}};
}

Statement releaseReceiptNumber(const QString &number, int till)
{
    return {QStringLiteral("delete from receipt_numbers where number = ? and till = ?"), {number, till}, {}, {}};
}

Statement receiptNumberHolder(const QString &number)
{
    return {QStringLiteral("select till from receipt_numbers where number = ?"), {number}, {}, {}};
}

Statement reportLineRange(const QString &fromDate, const QString &toDate)
{
    return {QStringLiteral("select min(id), max(id) from XiaoShouRecord where 日期 >= ? and 日期 <= ?"),
            {fromDate, toDate}, {}, {}};
}

Statement reportLines(const QString &fromDate, const QString &toDate, const QString &cashier, int till,
                      qint64 firstLine, qint64 lastLine)
{
    // "+日期" keeps SQLite's date index out: the lines are read straight down
    // the table by key, and the dates only checked. PostgreSQL chooses by itself.
    QString sql = QStringLiteral("select id, 单号, 收银员, 日期, 时间, 编码, 品名, 数量, 金额 from XiaoShouRecord "
                                 "where id >= ? and id <= ? and +日期 >= ? and +日期 <= ?");
    QString server = QStringLiteral("select id, 单号, 收银员, 日期, 时间, 编码, 品名, 数量, 金额 from XiaoShouRecord "
                                    "where id >= ? and id <= ? and 日期 >= ? and 日期 <= ?");
    QVariantList params{firstLine, lastLine, fromDate, toDate};
    if (!cashier.isEmpty()) {
        sql += QStringLiteral(" and 收银员 = ?");
        server += QStringLiteral(" and 收银员 = ?");
        params << cashier;
    }
    if (till > 0) {
        sql += QStringLiteral(" and till = ?");
        server += QStringLiteral(" and till = ?");
        params << till;
    }
    return {sql + QStringLiteral(" order by id"), params, {}, {}, server + QStringLiteral(" order by id")};
}

Statement recordedReceipt(const QString &receiptNumber)
{
    return {QStringLiteral("select 单号, 品名, 数量, 金额, 收银员, 日期, 时间 from XiaoShouRecord where 单号 = ? order by id"),
            {receiptNumber}, {}, {}};
}

Statement lastDayClosing()
{
    return {QStringLiteral("select number, closed_at, date_from, date_to, after_line, last_line, receipts, lines, "
                           "items, takings, counted, difference from day_closings order by number desc limit 1"),
            {}, {}, {}};
}

Statement recordDayClosing(int number, const QString &closedAt, const QString &fromDate, const QString &toDate,
                           qint64 afterLine, qint64 lastLine, qint64 receipts, qint64 lines, const QString &items,
                           const QString &takings, const QString &counted, const QString &difference)
{
    return {QStringLiteral("insert into day_closings (number, closed_at, date_from, date_to, after_line, last_line, "
                           "receipts, lines, items, takings, counted, difference) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {number, closedAt, fromDate, toDate, afterLine, lastLine, receipts, lines, items, takings, counted,
             difference},
            {}, {}};
}

Statement insertProduct(const QString &code, const QString &name, double price)
{
    return {QStringLiteral("insert into spinfo (编码, 品名, 单价) values (?, ?, ?)"), {code, name, price}, {}, {}};
}

Statement insertSettings(const QString &cashier, const QString &shopName, const QString &remark)
{
    return {QStringLiteral("insert into beizhu (收银员, 店名, 备注) values (?, ?, ?)"),
            {cashier, shopName, remark}, {}, {}};
}

} // namespace Statements
