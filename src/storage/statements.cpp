#include "statements.h"

#include "base/apperror.h"
#include "storage/schema.h"
#include "storage/stockledger.h"
#include "storage/tables.h"

namespace Statements {

namespace {
namespace Product = Tables::Catalogue;
namespace Sale = Tables::OpenSale;
namespace Record = Tables::SalesRecord;
namespace Shop = Tables::ShopSettings;
namespace TillSetting = Tables::TillSettings;
namespace Awaiting = Tables::AwaitingPrint;
namespace Numbers = Tables::ReceiptNumbers;
namespace Closing = Tables::DayClosings;
namespace Imported = Tables::ImportedRows;
namespace Held = Tables::HeldSales;
namespace HeldLine = Tables::HeldLines;
namespace Pinyin = Tables::ProductPinyin;
namespace Summary = Tables::DaySummary;
namespace ProductSummary = Tables::ProductDaySummary;
namespace ProductMonth = Tables::ProductMonthSummary;
namespace PaymentSummary = Tables::PaymentDaySummary;
namespace Method = Tables::PaymentMethods;
namespace Paid = Tables::Payments;
namespace Floats = Tables::CashFloats;
namespace Audit = Tables::AuditLog;
namespace Returned = Tables::ReturnedLines;
namespace Cashier = Tables::Cashiers;
namespace Movement = Tables::StockMovements;
namespace Level = Tables::StockLevels;
namespace StockDoc = Tables::StockDocuments;

const QStringList kByRowKey{Tables::Common::key};
const QStringList kByCode{Product::code};
} // namespace

Statement openSale(int till)
{
    static const QString sql =
        QStringLiteral("select %2, %3, %4, %5, %6, %7 from %1 where %8 = ? order by %2")
            .arg(Sale::table, Sale::key, Sale::code, Sale::name, Sale::quantity, Sale::price, Sale::amount, Sale::till);
    return {sql, {till}, Sale::table, kByRowKey};
}

Statement addOpenSaleLine(int till, const OpenSaleValues &line)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) values (?, ?, ?, ?, ?, ?) returning %8")
            .arg(Sale::table, Sale::code, Sale::name, Sale::quantity, Sale::price, Sale::amount, Sale::till, Sale::key);
    return {sql, {line.code, line.name, line.quantity, line.price, line.amount, till}, {}, {}};
}

Statement changeOpenSaleLine(qint64 key, int till, const OpenSaleValues &was, const OpenSaleValues &now)
{
    static const QString sql =
        QStringLiteral("update %1 set %4 = ?, %5 = ?, %6 = ?, %7 = ? "
                       "where %2 = ? and %8 = ? and %3 is not distinct from ? and %4 is not distinct from ? "
                       "and %5 is not distinct from ? and %6 is not distinct from ? "
                       "and %7 is not distinct from ? returning %2")
            .arg(Sale::table, Sale::key, Sale::code, Sale::name, Sale::quantity, Sale::price, Sale::amount, Sale::till);
    return {sql,
            {now.name, now.quantity, now.price, now.amount, key, till, was.code, was.name, was.quantity, was.price,
             was.amount},
            {},
            {}};
}

Statement removeOpenSaleLine(qint64 key)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Sale::table, Sale::key);
    return {sql, {key}, {}, {}};
}

Statement emptyOpenSale(int till)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Sale::table, Sale::till);
    return {sql, {till}, {}, {}};
}

Statement holdSale(int till, const QString &heldAt)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3) values (?, ?) returning %4")
                                   .arg(Held::table, Held::till, Held::heldAt, Held::key);
    return {sql, {till, heldAt}, {}, {}};
}

Statement holdOpenSaleLines(qint64 heldSale, int till)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) select ?, %9, %10, %11, %12, %13 from %8 "
                       "where %14 = ? order by %15")
            .arg(HeldLine::table, HeldLine::sale, HeldLine::code, HeldLine::name, HeldLine::quantity,
                 HeldLine::price, HeldLine::amount, Sale::table, Sale::code)
            .arg(Sale::name, Sale::quantity, Sale::price, Sale::amount, Sale::till, Sale::key);
    return {sql, {heldSale, till}, {}, {}};
}

Statement heldSales(int till)
{
    static const QString sql =
        QStringLiteral("select s.%2, s.%3, l.%8, l.%4 from %1 s left join %5 l on l.%6 = s.%2 where s.%7 = ? "
                       "order by s.%2, l.%8")
            .arg(Held::table, Held::key, Held::heldAt, HeldLine::amount, HeldLine::table, HeldLine::sale,
                 Held::till, HeldLine::key);
    return {sql, {till}, {}, {}};
}

Statement heldSaleCount(int till)
{
    static const QString sql = QStringLiteral("select count(*) from %1 where %2 = ?").arg(Held::table, Held::till);
    return {sql, {till}, {}, {}};
}

Statement takeBackHeldLines(qint64 heldSale, int till)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) select %9, %10, %11, %12, %13, ? from %8 "
                       "where %14 = ? and exists (select 1 from %15 where %16 = ? and %17 = ?) order by %18")
            .arg(Sale::table, Sale::code, Sale::name, Sale::quantity, Sale::price, Sale::amount, Sale::till,
                 HeldLine::table, HeldLine::code)
            .arg(HeldLine::name, HeldLine::quantity, HeldLine::price, HeldLine::amount, HeldLine::sale, Held::table,
                 Held::key, Held::till, HeldLine::key);
    return {sql, {till, heldSale, heldSale, till}, {}, {}};
}

Statement forgetHeldLines(qint64 heldSale)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(HeldLine::table, HeldLine::sale);
    return {sql, {heldSale}, {}, {}};
}

Statement forgetHeldSale(qint64 heldSale, int till)
{
    static const QString sql =
        QStringLiteral("delete from %1 where %2 = ? and %3 = ?").arg(Held::table, Held::key, Held::till);
    return {sql, {heldSale, till}, {}, {}};
}

Statement forgetPinyin(const QString &code)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Pinyin::table, Pinyin::code);
    return {sql, {code}, {}, {}};
}

Statement addPinyin(const QString &code, const QString &name, int kind, const QString &spelling)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5) values (?, ?, ?, ?)")
                                   .arg(Pinyin::table, Pinyin::code, Pinyin::name, Pinyin::kind, Pinyin::spelling);
    return {sql, {code, name, kind, spelling}, {}, {}};
}

Statement addPinyinRows(const QVariantList &values)
{
    static const QString start = QStringLiteral("insert into %1 (%2, %3, %4, %5) values ")
                                     .arg(Pinyin::table, Pinyin::code, Pinyin::name, Pinyin::kind, Pinyin::spelling);
    QStringList rows(values.size() / 4, QStringLiteral("(?, ?, ?, ?)"));
    return {start + rows.join(QStringLiteral(", ")), values, {}, {}};
}

Statement forgetPinyinOf(const QVariantList &codes)
{
    static const QString start = QStringLiteral("delete from %1 where %2 in (").arg(Pinyin::table, Pinyin::code);
    QStringList marks(codes.size(), QStringLiteral("?"));
    return {start + marks.join(QStringLiteral(", ")) + QLatin1Char(')'), codes, {}, {}};
}

Statement productsForPinyin()
{
    static const QString sql = QStringLiteral("select %2, %3 from %1").arg(Product::table, Product::code, Product::name);
    return {sql, {}, {}, {}};
}

namespace {

// The products whose spellings the given rows of product_pinyin (k: code,
// name, kind) are, each once with its best kind: code, name, price, rank.
QString pinyinMatches(const QString &spellings)
{
    return QStringLiteral("select p.%2, p.%3, p.%4, min(k.%6) as rank from (%5) k join %1 p on p.%2 = k.%2 "
                          "and p.%3 = k.%3 group by p.%2, p.%3, p.%4")
        .arg(Product::table, Product::code, Product::name, Product::price, spellings, Pinyin::kind);
}

QString spellingsLike(const QString &like, const QString &order = {})
{
    return QStringLiteral("select %2, %3, %4 from %1 where %5 like ?%6%7")
        .arg(Pinyin::table, Pinyin::code, Pinyin::name, Pinyin::kind, Pinyin::spelling, like, order);
}

// The product box wants the first few: the first spellings in the index's
// order are read, not every product a letter or two finds (a spelling
// comes before the longer ones it begins).
constexpr int kSpellingsRead = 200;

} // namespace

Statement lookupByPinyin(const QString &spellingPattern, int most)
{
    static const QString sql =
        QStringLiteral("select %2, %3, %4 from (%1) m order by rank, length(%3), %2 limit ?")
            .arg(pinyinMatches(spellingsLike(QString(), QStringLiteral(" order by %1 collate nocase limit %2")
                                                            .arg(Pinyin::spelling)
                                                            .arg(kSpellingsRead))),
                 Product::code, Product::name, Product::price);
    static const QString server =
        QStringLiteral("select %2, %3, %4 from (%1) m order by rank, length(%3), %2 collate \"C\" limit ?")
            .arg(pinyinMatches(spellingsLike(QStringLiteral(" escape ''"),
                                             QStringLiteral(" order by %1 using ~<~ limit %2")
                                                 .arg(Pinyin::spelling)
                                                 .arg(kSpellingsRead))),
                 Product::code, Product::name, Product::price);
    return {sql, {spellingPattern, most}, Product::table, kByCode, server};
}

Statement searchCatalogueWithPinyin(const QString &text, const QString &spellingPattern)
{
    // Ranks: 0 the code as a whole, 1 a code like the text or a name
    // containing it, 2 initials, 3 full pinyin; each product once, at its best.
    static const QString sql =
        QStringLiteral("select %2, %3, %4 from ("
                       "select %2, %3, %4, case when %2 = ? collate nocase then 0 else 1 end as rank from %1 "
                       "where (%2 like ?) or (%3 like '%' || ? || '%') "
                       "union all select %2, %3, %4, rank + 1 from (%5)) m "
                       "group by %2, %3, %4 order by min(rank), case when min(rank) < 2 then 0 else length(%3) end, %2")
            .arg(Product::table, Product::code, Product::name, Product::price, pinyinMatches(spellingsLike({})));
    static const QString server =
        QStringLiteral("select %2, %3, %4 from ("
                       "select %2, %3, %4, case when lower(%2) = lower(?) then 0 else 1 end as rank from %1 "
                       "where (lower(%2) like lower(?) escape '') or (lower(%3) like '%' || lower(?) || '%' escape '') "
                       "union all select %2, %3, %4, rank + 1 from (%5) p) m "
                       "group by %2, %3, %4 order by min(rank), case when min(rank) < 2 then 0 else length(%3) end, "
                       "%2 collate \"C\"")
            .arg(Product::table, Product::code, Product::name, Product::price,
                 pinyinMatches(spellingsLike(QStringLiteral(" escape ''"))));
    return {sql, {text, text, text, spellingPattern}, Product::table, kByCode, server};
}

Statement deleteMatchingProductsWithPinyin(const QString &text, const QString &spellingPattern)
{
    static const QString sql =
        QStringLiteral("delete from %1 where (%2 like ?) or (%3 like '%' || ? || '%') or exists (select 1 from %4 k "
                       "where k.%5 = %1.%2 and k.%6 = %1.%3 and k.%7 like ?)")
            .arg(Product::table, Product::code, Product::name, Pinyin::table, Pinyin::code, Pinyin::name,
                 Pinyin::spelling);
    static const QString server =
        QStringLiteral("delete from %1 where (lower(%2) like lower(?) escape '') "
                       "or (lower(%3) like '%' || lower(?) || '%' escape '') or exists (select 1 from %4 k "
                       "where k.%5 = %1.%2 and k.%6 = %1.%3 and k.%7 like ? escape '')")
            .arg(Product::table, Product::code, Product::name, Pinyin::table, Pinyin::code, Pinyin::name,
                 Pinyin::spelling);
    return {sql, {text, text, spellingPattern}, {}, {}, server};
}

Statement settings()
{
    static const QString sql = QStringLiteral("select * from %1 order by %2").arg(Shop::table, Shop::key);
    return {sql, {}, Shop::table, kByRowKey};
}

Statement productNames()
{
    static const QString sql = QStringLiteral("select distinct %1 from %2").arg(Product::name, Product::table);
    return {sql, {}, {}, {}};
}

Statement productNamesAfter(const QString &after, int count)
{
    // In the order of the NOCASE name index, so that a page is a short walk
    // along it however large the catalogue; names that differ only in letter
    // case follow each other, each once. The first page starts after "".
    static const QString sql =
        QStringLiteral("select distinct %2 from %1 where %2 >= ? collate nocase and (%2 > ? collate nocase or %2 > ?) "
                       "order by %2 collate nocase, %2 limit ?")
            .arg(Product::table, Product::name);
    static const QString server =
        QStringLiteral("select distinct %2 collate \"C\" as n, lower(%2) collate \"C\" as k from %1 "
                       "where lower(%2) collate \"C\" >= lower(?) and (lower(%2) collate \"C\" > lower(?) "
                       "or %2 collate \"C\" > ?) order by k, n limit ?")
            .arg(Product::table, Product::name);
    return {sql, {after, after, after, count}, {}, {}, server};
}

Statement lookupByCodeOrName(const QString &text)
{
    static const QString sql = QStringLiteral("select %2, %3, %4 from %1 where (%2 like ?) or (%3 like ?)")
                                   .arg(Product::table, Product::code, Product::name, Product::price);
    static const QString server = QStringLiteral("select %2, %3, %4 from %1 where (lower(%2) like lower(?) escape '') "
                                                 "or (lower(%3) like lower(?) escape '')")
                                      .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {text, text}, Product::table, kByCode, server};
}

Statement lookupByName(const QString &text)
{
    static const QString sql = QStringLiteral("select %2, %3, %4 from %1 where (%3 like ?)")
                                   .arg(Product::table, Product::code, Product::name, Product::price);
    static const QString server = QStringLiteral("select %2, %3, %4 from %1 where (lower(%3) like lower(?) escape '')")
                                      .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {text}, Product::table, kByCode, server};
}

Statement lookupByCode(const QString &code)
{
    static const QString sql = QStringLiteral("select %2, %3, %4 from %1 where %2 = ?")
                                   .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {code}, Product::table, kByCode};
}

Statement catalogue()
{
    static const QString sql = QStringLiteral("select * from %1").arg(Product::table);
    return {sql, {}, Product::table, kByCode};
}

Statement searchCatalogue(const QString &text)
{
    // "+编码" orders exactly as 编码 does, but keeps SQLite from walking the
    // code index and fetching every row through it: one scan and one sort are
    // several times quicker on a large catalogue. PostgreSQL orders in the
    // same byte order with the "C" collation, whatever the server's own is.
    static const QString sql =
        QStringLiteral("select %2,%3,%4 from %1 where (%2 like ?) or (%3 like '%' || ? || '%') order by +%2")
            .arg(Product::table, Product::code, Product::name, Product::price);
    static const QString server =
        QStringLiteral("select %2,%3,%4 from %1 where (lower(%2) like lower(?) escape '') "
                       "or (lower(%3) like '%' || lower(?) || '%' escape '') order by %2 collate \"C\"")
            .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {text, text}, Product::table, kByCode, server};
}

Statement deleteMatchingProducts(const QString &text)
{
    static const QString sql = QStringLiteral("delete from %1 where (%2 like ?) or (%3 like '%' || ? || '%')")
                                   .arg(Product::table, Product::code, Product::name);
    static const QString server = QStringLiteral("delete from %1 where (lower(%2) like lower(?) escape '') "
                                                 "or (lower(%3) like '%' || lower(?) || '%' escape '')")
                                      .arg(Product::table, Product::code, Product::name);
    return {sql, {text, text}, {}, {}, server};
}

// SQLite walks the date index backwards: among lines of one date the
// highest key comes first, which PostgreSQL is told.
Statement allRecords()
{
    static const QString sql = QStringLiteral("select * from %1 order by %2 desc").arg(Record::table, Record::date);
    static const QString server = QStringLiteral("select * from %1 order by %2 collate \"C\" desc, %3 desc")
                                      .arg(Record::table, Record::date, Record::key);
    return {sql, {}, Record::table, kByRowKey, server};
}

namespace {
// Column names come from the program, never from typed text; a name the
// sales record lacks is refused before it reaches any SQL.
QString recordColumn(const QString &field)
{
    for (const QString &name : Schema::columns(Record::table))
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\"").arg(name);
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(field));
}
} // namespace

Statement recordWalkByKey(int till)
{
    static const QString every = QStringLiteral("select %2, %3, %4, %5 from %1 order by %2 desc")
                                     .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date);
    static const QString one = QStringLiteral("select %2, %3, %4, %5 from %1 where %6 = ? order by %2 desc")
                                   .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date,
                                        Record::till);
    if (till > 0)
        return {one, {till}, {}, {}};
    return {every, {}, {}, {}};
}

Statement recordWalkByDate(int till)
{
    static const QString every = QStringLiteral("select %2, %3, %4 from %1 order by %5 desc, %2 desc")
                                     .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date);
    static const QString everyServer =
        QStringLiteral("select %2, %3, %4 from %1 order by %5 collate \"C\" desc, %2 desc")
            .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date);
    static const QString one = QStringLiteral("select %2, %3, %4 from %1 where %6 = ? order by %5 desc, %2 desc")
                                   .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date,
                                        Record::till);
    static const QString oneServer =
        QStringLiteral("select %2, %3, %4 from %1 where %6 = ? order by %5 collate \"C\" desc, %2 desc")
            .arg(Record::table, Record::key, Record::quantity, Record::amount, Record::date, Record::till);
    if (till > 0)
        return {one, {till}, {}, {}, oneServer};
    return {every, {}, {}, {}, everyServer};
}

Statement recordedTills()
{
    static const QString sql = QStringLiteral("select distinct %2 from %1 order by %2").arg(Record::table, Record::till);
    return {sql, {}, {}, {}};
}

Statement recordFieldsByKey(const QStringList &fields)
{
    QStringList columns;
    for (const QString &field : fields)
        columns << recordColumn(field);
    return {QStringLiteral("select %1 from %2 where %3 = ?").arg(columns.join(QStringLiteral(", ")), Record::table, Record::key),
            {}, {}, {}};
}

Statement recordFieldUpTo(const QString &field, qint64 lastKey)
{
    return {QStringLiteral("select %2, %3 from %1 where %2 <= ? order by %2").arg(Record::table, Record::key, recordColumn(field)),
            {lastKey}, {}, {}};
}

Statement tillSetting(int till, const QString &name)
{
    static const QString sql = QStringLiteral("select %4 from %1 where %2 = ? and %3 = ?")
                                   .arg(TillSetting::table, TillSetting::till, TillSetting::name, TillSetting::value);
    return {sql, {till, name}, {}, {}};
}

Statement tillSettings(int till)
{
    static const QString sql = QStringLiteral("select %3, %4 from %1 where %2 = ? order by %3")
                                   .arg(TillSetting::table, TillSetting::till, TillSetting::name, TillSetting::value);
    return {sql, {till}, {}, {}};
}

Statement forgetTillSetting(int till, const QString &name)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                                   .arg(TillSetting::table, TillSetting::till, TillSetting::name);
    return {sql, {till, name}, {}, {}};
}

Statement storeTillSetting(int till, const QString &name, const QString &value)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                   .arg(TillSetting::table, TillSetting::till, TillSetting::name, TillSetting::value);
    return {sql, {till, name, value}, {}, {}};
}

Statement recordSaleLine(const QVariant &code, const QVariant &name, const QVariant &quantity,
                         const QVariant &price, const QVariant &amount, const QString &receiptNumber,
                         const QString &cashier, const QString &date, const QString &time, int till)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) returning %12")
            .arg(Record::table, Record::code, Record::name, Record::quantity, Record::price, Record::amount,
                 Record::receiptNumber, Record::cashier, Record::date, Record::time, Record::till, Record::key);
    return {sql, {code, name, quantity, price, amount, receiptNumber, cashier, date, time, till}, {}, {}};
}

Statement importUpdateProduct(const QString &code, const QString &name, const QVariant &price)
{
    static const QString sql = QStringLiteral("update %1 set %2 = ?, %3 = coalesce(?, %3) where %4 = ? collate nocase")
                                   .arg(Product::table, Product::name, Product::price, Product::code);
    static const QString server = QStringLiteral("update %1 set %2 = ?, %3 = coalesce(?, %3) where lower(%4) = lower(?)")
                                      .arg(Product::table, Product::name, Product::price, Product::code);
    return {sql, {name, price, code}, {}, {}, server};
}

// The rows wait in a table of the connection's own (SQLite keeps it in a
// file of its own): writing them takes no lock on the catalogue. The price
// is kept as written, for the report, and as the number stored.
Statement importStartRows()
{
    static const QString sql =
        QStringLiteral("create temporary table %1 (%2 integer primary key, %3 text, %4 text, %5 text, %6 real)")
            .arg(Imported::table, Imported::line, Imported::code, Imported::name, Imported::price, Imported::value);
    static const QString server =
        QStringLiteral("create temporary table %1 (%2 bigint primary key, %3 text, %4 text, %5 text, %6 double precision)")
            .arg(Imported::table, Imported::line, Imported::code, Imported::name, Imported::price, Imported::value);
    return {sql, {}, {}, {}, server};
}

Statement importStageRow(qint64 line, const QString &code, const QString &name, const QString &price,
                         const QVariant &value)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) values (?, ?, ?, ?, ?)")
            .arg(Imported::table, Imported::line, Imported::code, Imported::name, Imported::price, Imported::value);
    return {sql, {line, code, name, price, value}, {}, {}};
}

// lower() folds as each database's lookup compares codes: SQLite's folds
// ASCII letters only, as NOCASE does.
Statement importIndexRows()
{
    static const QString sql = QStringLiteral("create index temp.%1_key on %1 (lower(%2), %3)")
                                   .arg(Imported::table, Imported::code, Imported::line);
    static const QString server = QStringLiteral("create index %1_key on %1 (lower(%2), %3)")
                                      .arg(Imported::table, Imported::code, Imported::line);
    return {sql, {}, {}, {}, server};
}

namespace {

// Product p has the code of the import's row i, compared as the lookup
// compares codes (SQLite's NOCASE and lower() fold ASCII letters only).
QString sameCode(Dialect dialect)
{
    static const QString sqlite = QStringLiteral("p.%1 = i.%2 collate nocase").arg(Product::code, Imported::code);
    static const QString server = QStringLiteral("lower(p.%1) = lower(i.%2)").arg(Product::code, Imported::code);
    return dialect == Dialect::Postgres ? server : sqlite;
}

// Whether the catalogue has the code of the import's row i.
QString storedCode(Dialect dialect)
{
    return QStringLiteral("exists (select 1 from %1 p where %2)").arg(Product::table, sameCode(dialect));
}

} // namespace

// A row meets two products when the catalogue holds codes that differ only
// in letter case (a file from before they were kept apart): it comes twice.
Statement importRowsWithProducts()
{
    static const QString columns =
        QStringLiteral("select i.%1, i.%2, i.%3, i.%4, i.%5, lower(i.%2), p.%7, p.%8, p.%9 from %6 i left join %10 p on ")
            .arg(Imported::line, Imported::code, Imported::name, Imported::price, Imported::value, Imported::table,
                 Product::code, Product::name, Product::price)
            .arg(Product::table);
    static const QString order = QStringLiteral(" order by lower(i.%1), i.%2").arg(Imported::code, Imported::line);
    static const QString sql = columns + sameCode(Dialect::Sqlite) + order;
    static const QString server = columns + sameCode(Dialect::Postgres) + order;
    return {sql, {}, {}, {}, server};
}

Statement importForgetRow(qint64 line)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Imported::table, Imported::line);
    return {sql, {line}, {}, {}};
}

// In code order: the catalogue's code indexes grow at their ends.
Statement importAddNewRows()
{
    static const QString start = QStringLiteral("insert into %1 (%2, %3, %4) select i.%5, i.%6, i.%7 from %8 i where not ")
                                     .arg(Product::table, Product::code, Product::name, Product::price, Imported::code,
                                          Imported::name, Imported::value, Imported::table);
    static const QString order = QStringLiteral(" order by lower(i.%1)").arg(Imported::code);
    static const QString sql = start + storedCode(Dialect::Sqlite) + order;
    static const QString server = start + storedCode(Dialect::Postgres) + order;
    return {sql, {}, {}, {}, server};
}

// A data file's page cache, in KiB, for the import's own table and the
// catalogue: a million rows' indexes do not fit SQLite's usual 2 MB, and
// every page that falls out is read again. Files only.
Statement importCache(const QString &schema, int kib)
{
    return {QStringLiteral("PRAGMA %1.cache_size = %2").arg(schema).arg(-kib), {}, {}, {}};
}

Statement importCatalogueSize()
{
    static const QString sql = QStringLiteral("select coalesce(max(rowid), 0) from %1").arg(Product::table);
    return {sql, {}, {}, {}};
}

namespace {

// Indexes whose keys an import meets in no order (names, spellings): a
// sorted build afterwards beats a random insert a row once the rows are
// many. The code indexes stay: the rows come in code order, and the import
// looks codes up.
QStringList laterIndexes()
{
    QStringList out;
    for (const Schema::Table &table : Schema::tables()) {
        if (table.name != Product::table && table.name != Tables::ProductPinyin::table)
            continue;
        for (const Schema::Sql &index : table.indexes) {
            const QString &sql = index.in(Dialect::Sqlite);
            const QString name = Schema::indexName(sql);
            if (name == Schema::kCodeIndex || name.endsWith(QLatin1String("_code")))
                continue;
            out << sql;
        }
    }
    return out;
}

} // namespace

QList<Statement> importDropLaterIndexes()
{
    QList<Statement> out;
    for (const QString &index : laterIndexes())
        out.append({QStringLiteral("drop index if exists %1").arg(Schema::indexName(index)), {}, {}, {}});
    return out;
}

QList<Statement> importBuildLaterIndexes()
{
    QList<Statement> out;
    for (const QString &index : laterIndexes())
        out.append({index, {}, {}, {}});
    return out;
}

Statement importEndRows()
{
    static const QString sql = QStringLiteral("drop table if exists temp.%1").arg(Imported::table);
    static const QString server = QStringLiteral("drop table if exists pg_temp.%1").arg(Imported::table);
    return {sql, {}, {}, {}, server};
}

Statement exportProducts()
{
    static const QString sql = QStringLiteral("select %2, %3, %4 from %1 order by %2")
                                   .arg(Product::table, Product::code, Product::name, Product::price);
    static const QString server = QStringLiteral("select %2, %3, %4 from %1 order by %2 collate \"C\"")
                                      .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {}, {}, {}, server};
}

namespace {
// Receipt number, date, time, cashier, code, name, quantity, price, amount.
QString salesExport(const QString &where)
{
    return QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %9, %10 from %1 %11order by %3, %4, %12")
        .arg(Record::table, Record::receiptNumber, Record::date, Record::time, Record::cashier, Record::code,
             Record::name, Record::quantity, Record::price, Record::amount, where, Record::key);
}
} // namespace

Statement exportAllSales()
{
    static const QString sql = salesExport({});
    return {sql, {}, {}, {}};
}

Statement exportSales(const QString &from, const QString &to)
{
    static const QString sql = salesExport(QStringLiteral("where %1 >= ? and %1 <= ? ").arg(Record::date));
    return {sql, {from, to}, {}, {}};
}

namespace {
QString paymentsExport(const QString &where)
{
    return QStringLiteral("select p.%2, p.%3, r.%9, r.%10, coalesce(m.%13, cast(p.%4 as text)), p.%5, p.%6 from %1 p "
                          "join %7 r on r.%8 = (select min(f.%8) from %7 f where f.%11 = p.%2 and +f.%12 = p.%3) "
                          "left join %14 m on m.%15 = p.%4 ")
               .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount, Paid::changeGiven,
                    Record::table, Record::key, Record::date)
               .arg(Record::time, Record::receiptNumber, Record::till, Method::name, Method::table, Method::number)
        + where + QStringLiteral("order by p.%1").arg(Paid::key);
}
} // namespace

Statement exportAllPayments()
{
    static const QString sql = paymentsExport({});
    return {sql, {}, {}, {}};
}

Statement exportPayments(const QString &from, const QString &to)
{
    static const QString sql = paymentsExport(QStringLiteral("where r.%1 >= ? and r.%1 <= ? ").arg(Record::date));
    return {sql, {from, to}, {}, {}};
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

Statement largestReceiptNumber(const QString &below)
{
    // Twelve characters, the largest first, one row: the index on 单号
    // serves it however long the record is. The digits are checked by the
    // caller, who asks again below a number that names no time.
    static const QString sql = QStringLiteral("select %2 from %1 where %2 >= '000000000000' and %2 < ? "
                                              "and length(%2) = 12 order by %2 desc limit 1")
                                   .arg(Record::table, Record::receiptNumber);
    static const QString every = QStringLiteral("select %2 from %1 where %2 between '000000000000' and '999999999999' "
                                                "and length(%2) = 12 order by %2 desc limit 1")
                                     .arg(Record::table, Record::receiptNumber);
    if (below.isEmpty())
        return {every, {}, {}, {}};
    return {sql, {below}, {}, {}};
}

// The keys of one sale's rows are not always consecutive: another till may
// record between them. Its till number sets them apart.
Statement recordedSale(qint64 firstKey, qint64 lastKey, int till)
{
    static const QString sql =
        QStringLiteral("select %3, %4, %5, %6, %7, %8, %9, %10 from %1 where %2 between ? and ? and %10 = ? order by %2")
            .arg(Record::table, Record::key, Record::receiptNumber, Record::name, Record::quantity, Record::amount,
                 Record::cashier, Record::date, Record::time, Record::till);
    return {sql, {firstKey, lastKey, till}, {}, {}};
}

Statement removeRecordedSale(qint64 firstKey, qint64 lastKey, int till)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 between ? and ? and %3 = ?")
                                   .arg(Record::table, Record::key, Record::till);
    return {sql, {firstKey, lastKey, till}, {}, {}};
}

Statement markAwaitingPrint(int till, qint64 firstKey, qint64 lastKey, const QString &received,
                            const QString &change, int copies)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) values (?, ?, ?, ?, ?, ?)")
                                   .arg(Awaiting::table, Awaiting::firstRecord, Awaiting::lastRecord,
                                        Awaiting::received, Awaiting::changeGiven, Awaiting::copies, Awaiting::till);
    return {sql, {firstKey, lastKey, received, change, copies, till}, {}, {}};
}

Statement awaitingPrint(int till)
{
    static const QString sql = QStringLiteral("select %2, %3, %4, %5, %6 from %1 where %7 = ? order by %8")
                                   .arg(Awaiting::table, Awaiting::firstRecord, Awaiting::lastRecord,
                                        Awaiting::received, Awaiting::changeGiven, Awaiting::copies, Awaiting::till,
                                        Awaiting::key);
    return {sql, {till}, {}, {}};
}

Statement clearAwaitingPrint(int till)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Awaiting::table, Awaiting::till);
    return {sql, {till}, {}, {}};
}

Statement reserveReceiptNumber(const QString &number, int till)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3) values (?, ?) on conflict do nothing")
                                   .arg(Numbers::table, Numbers::number, Numbers::till);
    return {sql, {number, till}, {}, {}};
}

Statement reserveFreeReceiptNumber(const QString &number, const QString &lastOfDay, int till)
{
    // The number when it is free, else a second after the largest number
    // of its day taken so far, in one statement: a till is never sent
    // probing second by second behind faster ones. Yields the number taken,
    // or no row when another till took that one at the same moment.
    static const QString sql =
        QStringLiteral(
            "insert into %1 (%2, %3) select n, cast(? as integer) from ("
            "select case when exists (select 1 from %1 where %2 = ?) "
            "then substr(strftime('%Y%m%d%H%M%S', '20' || substr(m, 1, 2) || '-' || substr(m, 3, 2) || '-' || "
            "substr(m, 5, 2) || ' ' || substr(m, 7, 2) || ':' || substr(m, 9, 2) || ':' || substr(m, 11, 2), "
            "'+1 second'), 3) else ? end as n "
            "from (select max(%2) as m from %1 where %2 between ? and ? and %2 glob "
            "'[0-9][0-9][0-9][0-9][0-9][0-9][0-2][0-9][0-5][0-9][0-5][0-9]')) "
            "where n is not null on conflict do nothing returning %2")
            .arg(Numbers::table, Numbers::number, Numbers::till);
    static const QString server =
        QStringLiteral(
            "insert into %1 (%2, %3) select n, cast(? as integer) from ("
            "select case when exists (select 1 from %1 where %2 = ?) "
            "then to_char(to_timestamp(max(%2), 'YYMMDDHH24MISS') + interval '1 second', 'YYMMDDHH24MISS') "
            "else cast(? as text) end as n "
            "from %1 where %2 between ? and ? and %2 ~ '^[0-9]{6}([01][0-9]|2[0-3])[0-5][0-9][0-5][0-9]$') as next "
            "where n is not null on conflict do nothing returning %2")
            .arg(Numbers::table, Numbers::number, Numbers::till);
    return {sql, {till, number, number, number, lastOfDay}, {}, {}, server};
}

Statement releaseReceiptNumber(const QString &number, int till)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                                   .arg(Numbers::table, Numbers::number, Numbers::till);
    return {sql, {number, till}, {}, {}};
}

Statement receiptNumberHolder(const QString &number)
{
    static const QString sql =
        QStringLiteral("select %3 from %1 where %2 = ?").arg(Numbers::table, Numbers::number, Numbers::till);
    return {sql, {number}, {}, {}};
}

Statement reportLineRange(const QString &fromDate, const QString &toDate)
{
    static const QString sql = QStringLiteral("select min(%2), max(%2) from %1 where %3 >= ? and %3 <= ?")
                                   .arg(Record::table, Record::key, Record::date);
    return {sql, {fromDate, toDate}, {}, {}};
}

Statement reportLines(const QString &fromDate, const QString &toDate, const QString &cashier, int till,
                      qint64 firstLine, qint64 lastLine)
{
    // "+日期" keeps SQLite's date index out: the lines are read straight down
    // the table by key, and the dates only checked. PostgreSQL chooses by itself.
    static const QString columns =
        QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %9, %10 from %1 where %2 >= ? and %2 <= ? ")
            .arg(Record::table, Record::key, Record::receiptNumber, Record::cashier, Record::date, Record::time,
                 Record::code, Record::name, Record::quantity, Record::amount);
    static const QString byCashier = QStringLiteral(" and %1 = ?").arg(Record::cashier);
    static const QString byTill = QStringLiteral(" and %1 = ?").arg(Record::till);
    static const QString byKey = QStringLiteral(" order by %1").arg(Record::key);
    QString sql = columns + QStringLiteral("and +%1 >= ? and +%1 <= ?").arg(Record::date);
    QString server = columns + QStringLiteral("and %1 >= ? and %1 <= ?").arg(Record::date);
    QVariantList params{firstLine, lastLine, fromDate, toDate};
    if (!cashier.isEmpty()) {
        sql += byCashier;
        server += byCashier;
        params << cashier;
    }
    if (till > 0) {
        sql += byTill;
        server += byTill;
        params << till;
    }
    return {sql + byKey, params, {}, {}, server + byKey};
}

Statement recordedReceipt(const QString &receiptNumber)
{
    static const QString sql =
        QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %10 from %1 where %2 = ? order by %9")
            .arg(Record::table, Record::receiptNumber, Record::name, Record::quantity, Record::amount, Record::cashier,
                 Record::date, Record::time, Record::key)
            .arg(Record::till);
    return {sql, {receiptNumber}, {}, {}};
}

namespace {
QString closingColumns()
{
    return QStringList{Closing::number,    Closing::closedAt, Closing::dateFrom, Closing::dateTo,
                       Closing::afterLine, Closing::lastLine, Closing::receipts, Closing::lines,
                       Closing::items,     Closing::takings,  Closing::counted,  Closing::difference,
                       Closing::content}
        .join(QStringLiteral(", "));
}
} // namespace

Statement lastDayClosing()
{
    static const QString sql = QStringLiteral("select %2 from %1 order by %3 desc limit 1")
                                   .arg(Closing::table, closingColumns(), Closing::number);
    return {sql, {}, {}, {}};
}

Statement recordDayClosing(int number, const QString &closedAt, const QString &fromDate, const QString &toDate,
                           qint64 afterLine, qint64 lastLine, qint64 receipts, qint64 lines, const QString &items,
                           const QString &takings, const QString &counted, const QString &difference,
                           const QString &content)
{
    static const QString sql = QStringLiteral("insert into %1 (%2) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                   .arg(Closing::table, closingColumns());
    return {sql,
            {number, closedAt, fromDate, toDate, afterLine, lastLine, receipts, lines, items, takings, counted,
             difference, content},
            {}, {}};
}

Statement dayClosing(int number)
{
    static const QString sql =
        QStringLiteral("select %2 from %1 where %3 = ?").arg(Closing::table, closingColumns(), Closing::number);
    return {sql, {number}, {}, {}};
}

Statement removeDayClosing(int number)
{
    static const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(Closing::table, Closing::number);
    return {sql, {number}, {}, {}};
}

Statement holdDayClosings()
{
    // SQLite takes the file's write lock at the first write, even one that
    // changes nothing; the server's lock lets readers on and holds a second
    // closing until this one commits.
    static const QString sql =
        QStringLiteral("update %1 set %2 = %2 where %2 < 0").arg(Closing::table, Closing::number);
    static const QString server = QStringLiteral("lock table %1 in share row exclusive mode").arg(Closing::table);
    return {sql, {}, {}, {}, server};
}

Statement closeOpenLines(int closing)
{
    // One statement sees a completion of another till wholly or not at all:
    // one still open is left to the next Z report.
    static const QString sql =
        QStringLiteral("update %1 set %2 = ? where %2 is null").arg(Record::table, Record::closing);
    return {sql, {closing}, {}, {}};
}

Statement reopenClosedLines(int closing)
{
    static const QString sql =
        QStringLiteral("update %1 set %2 = null where %2 = ?").arg(Record::table, Record::closing);
    return {sql, {closing}, {}, {}};
}

Statement closingReportLines(std::optional<int> closing)
{
    static const QString columns = QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %9, %10 from %1 ")
                                       .arg(Record::table, Record::key, Record::receiptNumber, Record::cashier,
                                            Record::date, Record::time, Record::code, Record::name,
                                            Record::quantity, Record::amount);
    static const QString open = columns + QStringLiteral("where %1 is null order by %2").arg(Record::closing, Record::key);
    static const QString closed = columns + QStringLiteral("where %1 = ? order by %2").arg(Record::closing, Record::key);
    if (closing)
        return {closed, {*closing}, {}, {}};
    return {open, {}, {}, {}};
}

Statement summaryGroup(const QString &date, int till, const QString &cashier, int hour)
{
    static const QString sql =
        QStringLiteral("select %6, %7, %8, %9, %10, %11, %12, %13, %14 from %1 where %2 = ? and %3 = ? and %4 = ? "
                       "and %5 = ?")
            .arg(Summary::table, Summary::date, Summary::till, Summary::cashier, Summary::hour, Summary::receipts,
                 Summary::lines, Summary::items, Summary::takings)
            .arg(Summary::firstLine, Summary::firstTime, Summary::lastLine, Summary::lastTime, Summary::doubtful);
    return {sql, {date, till, cashier, hour}, {}, {}};
}

Statement addSummaryGroup(const QString &date, int till, const QString &cashier, int hour, const SummaryValues &v)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13, %14) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(Summary::table, Summary::date, Summary::till, Summary::cashier, Summary::hour, Summary::receipts,
                 Summary::lines, Summary::items, Summary::takings)
            .arg(Summary::firstLine, Summary::firstTime, Summary::lastLine, Summary::lastTime, Summary::doubtful);
    return {sql,
            {date, till, cashier, hour, v.receipts, v.lines, v.items, v.takings, v.firstLine, v.firstTime, v.lastLine,
             v.lastTime, v.doubtful},
            {},
            {}};
}

Statement changeSummaryGroup(const QString &date, int till, const QString &cashier, int hour, const SummaryValues &v)
{
    static const QString sql =
        QStringLiteral("update %1 set %6 = ?, %7 = ?, %8 = ?, %9 = ?, %10 = ?, %11 = ?, %12 = ?, %13 = ?, %14 = ? "
                       "where %2 = ? and %3 = ? and %4 = ? and %5 = ?")
            .arg(Summary::table, Summary::date, Summary::till, Summary::cashier, Summary::hour, Summary::receipts,
                 Summary::lines, Summary::items, Summary::takings)
            .arg(Summary::firstLine, Summary::firstTime, Summary::lastLine, Summary::lastTime, Summary::doubtful);
    return {sql,
            {v.receipts, v.lines, v.items, v.takings, v.firstLine, v.firstTime, v.lastLine, v.lastTime, v.doubtful,
             date, till, cashier, hour},
            {},
            {}};
}

Statement summaryProduct(const QString &date, int till, const QString &code, const QString &name)
{
    static const QString sql =
        QStringLiteral("select %6, %7, %8 from %1 where %2 = ? and %3 = ? and %4 = ? and %5 = ?")
            .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till, ProductSummary::code,
                 ProductSummary::name, ProductSummary::lines, ProductSummary::quantity, ProductSummary::takings);
    return {sql, {date, till, code, name}, {}, {}};
}

Statement addSummaryProduct(const QString &date, int till, const QString &code, const QString &name, qint64 lines,
                            const QVariant &quantity, const QVariant &takings)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8) values (?, ?, ?, ?, ?, ?, ?)")
            .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till, ProductSummary::code,
                 ProductSummary::name, ProductSummary::lines, ProductSummary::quantity, ProductSummary::takings);
    return {sql, {date, till, code, name, lines, quantity, takings}, {}, {}};
}

Statement changeSummaryProduct(const QString &date, int till, const QString &code, const QString &name, qint64 lines,
                               const QVariant &quantity, const QVariant &takings)
{
    static const QString sql =
        QStringLiteral("update %1 set %6 = ?, %7 = ?, %8 = ? where %2 = ? and %3 = ? and %4 = ? and %5 = ?")
            .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till, ProductSummary::code,
                 ProductSummary::name, ProductSummary::lines, ProductSummary::quantity, ProductSummary::takings);
    return {sql, {lines, quantity, takings, date, till, code, name}, {}, {}};
}

Statement summaryProductMonth(const QString &month, int till, const QString &code, const QString &name)
{
    static const QString sql =
        QStringLiteral("select %6, %7, %8 from %1 where %2 = ? and %3 = ? and %4 = ? and %5 = ?")
            .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till, ProductMonth::code, ProductMonth::name,
                 ProductMonth::lines, ProductMonth::quantity, ProductMonth::takings);
    return {sql, {month, till, code, name}, {}, {}};
}

Statement addSummaryProductMonth(const QString &month, int till, const QString &code, const QString &name,
                                 qint64 lines, const QVariant &quantity, const QVariant &takings)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8) values (?, ?, ?, ?, ?, ?, ?)")
            .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till, ProductMonth::code, ProductMonth::name,
                 ProductMonth::lines, ProductMonth::quantity, ProductMonth::takings);
    return {sql, {month, till, code, name, lines, quantity, takings}, {}, {}};
}

Statement changeSummaryProductMonth(const QString &month, int till, const QString &code, const QString &name,
                                    qint64 lines, const QVariant &quantity, const QVariant &takings)
{
    static const QString sql =
        QStringLiteral("update %1 set %6 = ?, %7 = ?, %8 = ? where %2 = ? and %3 = ? and %4 = ? and %5 = ?")
            .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till, ProductMonth::code, ProductMonth::name,
                 ProductMonth::lines, ProductMonth::quantity, ProductMonth::takings);
    return {sql, {lines, quantity, takings, month, till, code, name}, {}, {}};
}

Statement forgetProductMonths(const QString &month, int till)
{
    static const QString one = QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                                   .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till);
    static const QString all = QStringLiteral("delete from %1").arg(ProductMonth::table);
    if (month.isNull())
        return {all, {}, {}, {}};
    return {one, {month, till}, {}, {}};
}

Statement productDaysToSumByMonth(const QString &month, int till)
{
    static const QString columns =
        QStringLiteral("select %2, %3, %4, %5, %6, %7, %8 from %1")
            .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till, ProductSummary::code,
                 ProductSummary::name, ProductSummary::lines, ProductSummary::quantity, ProductSummary::takings);
    static const QString ofMonth =
        columns + QStringLiteral(" where %1 >= ? and %1 <= ? and %2 = ?").arg(ProductSummary::date, ProductSummary::till);
    if (month.isNull())
        return {columns, {}, {}, {}};
    return {ofMonth, {month + QStringLiteral("-01"), month + QStringLiteral("-31"), till}, {}, {}};
}

QList<Statement> forgetSummary(const QString &date, int till)
{
    static const QString groups =
        QStringLiteral("delete from %1 where %2 = ? and %3 = ?").arg(Summary::table, Summary::date, Summary::till);
    static const QString products = QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                                        .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till);
    static const QString allGroups = QStringLiteral("delete from %1").arg(Summary::table);
    static const QString allProducts = QStringLiteral("delete from %1").arg(ProductSummary::table);
    static const QString payments = QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                                        .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::till);
    static const QString allPayments = QStringLiteral("delete from %1").arg(PaymentSummary::table);
    if (date.isNull())
        return {{allGroups, {}, {}, {}}, {allProducts, {}, {}, {}}, {allPayments, {}, {}, {}}, forgetProductMonths()};
    return {{groups, {date, till}, {}, {}}, {products, {date, till}, {}, {}}, {payments, {date, till}, {}, {}}};
}

Statement linesToSummarise(const QString &date, int till)
{
    static const QString columns = QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %9, %10, %11 from %1 ")
                                       .arg(Record::table, Record::key, Record::receiptNumber, Record::cashier,
                                            Record::date, Record::time, Record::code, Record::name,
                                            Record::quantity, Record::amount)
                                       .arg(Record::till);
    static const QString ofDay =
        columns + QStringLiteral("where %1 = ? and +%2 = ? order by %3").arg(Record::date, Record::till, Record::key);
    static const QString all = columns + QStringLiteral("order by %1").arg(Record::key);
    if (date.isNull())
        return {all, {}, {}, {}};
    return {ofDay, {date, till}, {}, {}};
}

Statement receiptNumberElsewhere(const QString &receiptNumber, qint64 firstKey, qint64 lastKey)
{
    static const QString sql = QStringLiteral("select 1 from %1 where %2 = ? and (%3 < ? or %3 > ?) limit 1")
                                   .arg(Record::table, Record::receiptNumber, Record::key);
    return {sql, {receiptNumber, firstKey, lastKey}, {}, {}};
}

Statement reportSummaryGroups(const QString &fromDate, const QString &toDate)
{
    static const QString sql =
        QStringLiteral("select %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13, %14 from %1 where %2 >= ? and %2 <= ?")
            .arg(Summary::table, Summary::date, Summary::till, Summary::cashier, Summary::hour, Summary::receipts,
                 Summary::lines, Summary::items, Summary::takings)
            .arg(Summary::firstLine, Summary::firstTime, Summary::lastLine, Summary::lastTime, Summary::doubtful);
    return {sql, {fromDate, toDate}, {}, {}};
}

namespace {

Statement summaryProductsOf(const char *lowTest, const char *highTest, const QString &low, const QString &high, int till)
{
    const QString sql = QStringLiteral("select %3, %4, %5, %6, %7 from %1 where %2 %8 ? and %2 %9 ?")
                            .arg(ProductSummary::table, ProductSummary::date, ProductSummary::code,
                                 ProductSummary::name, ProductSummary::lines, ProductSummary::quantity,
                                 ProductSummary::takings, QLatin1String(lowTest), QLatin1String(highTest));
    if (till > 0)
        return {sql + QStringLiteral(" and %1 = ?").arg(ProductSummary::till), {low, high, till}, {}, {}};
    return {sql, {low, high}, {}, {}};
}

} // namespace

Statement reportSummaryProducts(const QString &fromDate, const QString &toDate, int till)
{
    return summaryProductsOf(">=", "<=", fromDate, toDate, till);
}

Statement reportSummaryProductsBefore(const QString &fromDate, const QString &beforeDate, int till)
{
    return summaryProductsOf(">=", "<", fromDate, beforeDate, till);
}

Statement reportSummaryProductsAfter(const QString &afterDate, const QString &toDate, int till)
{
    return summaryProductsOf(">", "<=", afterDate, toDate, till);
}

Statement markOtherDates()
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) select '', 0, '', '', 0 "
                       "where not exists (select 1 from %1 where %2 = '')")
            .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till, ProductMonth::code, ProductMonth::name,
                 ProductMonth::lines);
    return {sql, {}, {}, {}};
}

Statement anyOtherDates()
{
    static const QString sql =
        QStringLiteral("select 1 from %1 where %2 = '' limit 1").arg(ProductMonth::table, ProductMonth::month);
    return {sql, {}, {}, {}};
}

Statement reportSummaryProductMonths(const QString &firstMonth, const QString &lastMonth, int till)
{
    static const QString sql = QStringLiteral("select %3, %4, %5, %6, %7 from %1 where %2 >= ? and %2 <= ?")
                                   .arg(ProductMonth::table, ProductMonth::month, ProductMonth::code,
                                        ProductMonth::name, ProductMonth::lines, ProductMonth::quantity,
                                        ProductMonth::takings);
    static const QString byTill = sql + QStringLiteral(" and %1 = ?").arg(ProductMonth::till);
    if (till > 0)
        return {byTill, {firstMonth, lastMonth, till}, {}, {}};
    return {sql, {firstMonth, lastMonth}, {}, {}};
}

Statement summaryPayment(const QString &date, int till, int method)
{
    static const QString sql = QStringLiteral("select %5, %6 from %1 where %2 = ? and %3 = ? and %4 = ?")
                                   .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::till,
                                        PaymentSummary::method, PaymentSummary::amount, PaymentSummary::changeGiven);
    return {sql, {date, till, method}, {}, {}};
}

Statement addSummaryPayment(const QString &date, int till, int method, const QVariant &amount, const QVariant &change)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) values (?, ?, ?, ?, ?)")
                                   .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::till,
                                        PaymentSummary::method, PaymentSummary::amount, PaymentSummary::changeGiven);
    return {sql, {date, till, method, amount, change}, {}, {}};
}

Statement changeSummaryPayment(const QString &date, int till, int method, const QVariant &amount,
                               const QVariant &change)
{
    static const QString sql = QStringLiteral("update %1 set %5 = ?, %6 = ? where %2 = ? and %3 = ? and %4 = ?")
                                   .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::till,
                                        PaymentSummary::method, PaymentSummary::amount, PaymentSummary::changeGiven);
    return {sql, {amount, change, date, till, method}, {}, {}};
}

Statement paymentsToSummarise(const QString &date, int till)
{
    // A payment belongs to the date of its receipt's lines. "+till": with
    // a shop's one or two tills, the till's index finds nearly every line, yet
    // SQLite would take it over the receipt number's without the unary plus.
    static const QString all =
        QStringLiteral("select (select min(r.%7) from %8 r where r.%9 = p.%2 and +r.%10 = p.%3), p.%3, p.%4, p.%5, "
                       "p.%6, p.%2 from %1 p order by p.%11")
            .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount, Paid::changeGiven,
                 Record::date, Record::table, Record::receiptNumber)
            .arg(Record::till, Paid::key);
    static const QString ofDay =
        QStringLiteral("select cast(? as text), p.%3, p.%4, p.%5, p.%6, p.%2 from %1 p where p.%11 in (select q.%11 "
                       "from %7 r join %1 q on q.%2 = r.%8 and q.%3 = r.%9 where r.%10 = ? and +r.%9 = ?) order by p.%11")
            .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount, Paid::changeGiven,
                 Record::table, Record::receiptNumber, Record::till)
            .arg(Record::date, Paid::key);
    if (date.isNull())
        return {all, {}, {}, {}};
    return {ofDay, {date, date, till}, {}, {}};
}

Statement reportSummaryPayments(const QString &fromDate, const QString &toDate, int till)
{
    static const QString sql = QStringLiteral("select %3, %4, %5 from %1 where %2 >= ? and %2 <= ?")
                                   .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::method,
                                        PaymentSummary::amount, PaymentSummary::changeGiven);
    static const QString byTill = sql + QStringLiteral(" and %1 = ?").arg(PaymentSummary::till);
    if (till > 0)
        return {byTill, {fromDate, toDate, till}, {}, {}};
    return {sql, {fromDate, toDate}, {}, {}};
}

Statement paymentMethods()
{
    static const QString sql = QStringLiteral("select %2, %3, %4, %5, %6 from %1 order by %5, %2")
                                   .arg(Method::table, Method::number, Method::name, Method::givesChange,
                                        Method::position, Method::enabled);
    return {sql, {}, {}, {}};
}

Statement addPaymentMethod(int number, const QString &name, bool givesChange, int position, bool enabled)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) values (?, ?, ?, ?, ?)")
                                   .arg(Method::table, Method::number, Method::name, Method::givesChange,
                                        Method::position, Method::enabled);
    return {sql, {number, name, givesChange ? 1 : 0, position, enabled ? 1 : 0}, {}, {}};
}

Statement changePaymentMethod(int number, const QString &name, bool givesChange, int position, bool enabled)
{
    static const QString sql = QStringLiteral("update %1 set %3 = ?, %4 = ?, %5 = ?, %6 = ? where %2 = ?")
                                   .arg(Method::table, Method::number, Method::name, Method::givesChange,
                                        Method::position, Method::enabled);
    return {sql, {name, givesChange ? 1 : 0, position, enabled ? 1 : 0, number}, {}, {}};
}

Statement recordPayment(const QString &receiptNumber, int till, int method, const QString &amount,
                        const QString &change, bool shown)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) values (?, ?, ?, ?, ?, ?)")
                                   .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount,
                                        Paid::changeGiven, Paid::shown);
    return {sql, {receiptNumber, till, method, amount, change, shown ? 1 : 0}, {}, {}};
}

Statement removePayments(const QString &receiptNumber, int till)
{
    static const QString sql =
        QStringLiteral("delete from %1 where %2 = ? and %3 = ?").arg(Paid::table, Paid::receiptNumber, Paid::till);
    return {sql, {receiptNumber, till}, {}, {}};
}

Statement receiptPayments(const QString &receiptNumber, int till)
{
    static const QString sql = QStringLiteral("select %4, %5, %6, %8 from %1 where %2 = ? and %3 = ? order by %7")
                                   .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount,
                                        Paid::changeGiven, Paid::key, Paid::shown);
    return {sql, {receiptNumber, till}, {}, {}};
}

// Found from the lines, by their receipt numbers: not by walking every
// payment ever kept, which grows with the years while the lines of a report
// since the last Z stay a day's.
Statement paymentsOfLines(qint64 firstLine, qint64 lastLine)
{
    static const QString sql =
        QStringLiteral("select p.%2, p.%3, p.%4, p.%5, p.%6 from %1 p where p.%11 in (select q.%11 from %7 r "
                       "join %1 q on q.%2 = r.%8 and q.%3 = r.%9 where r.%10 >= ? and r.%10 <= ?) order by p.%11")
            .arg(Paid::table, Paid::receiptNumber, Paid::till, Paid::method, Paid::amount, Paid::changeGiven,
                 Record::table, Record::receiptNumber, Record::till, Record::key, Paid::key);
    return {sql, {firstLine, lastLine}, {}, {}};
}

Statement recordCashFloat(int till, const QString &setAt, const QString &amount)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                   .arg(Floats::table, Floats::till, Floats::setAt, Floats::amount);
    return {sql, {till, setAt, amount}, {}, {}};
}

Statement forgetOpenCashFloat(int till)
{
    static const QString sql =
        QStringLiteral("delete from %1 where %2 = ? and %3 is null").arg(Floats::table, Floats::till, Floats::closing);
    return {sql, {till}, {}, {}};
}

Statement openCashFloat(int till)
{
    static const QString sql = QStringLiteral("select %4 from %1 where %2 = ? and %3 is null order by %5")
                                   .arg(Floats::table, Floats::till, Floats::closing, Floats::amount, Floats::key);
    return {sql, {till}, {}, {}};
}

Statement cashFloatsOf(std::optional<int> closing)
{
    static const QString open =
        QStringLiteral("select %2 from %1 where %3 is null order by %4").arg(Floats::table, Floats::amount, Floats::closing, Floats::key);
    static const QString closed =
        QStringLiteral("select %2 from %1 where %3 = ? order by %4").arg(Floats::table, Floats::amount, Floats::closing, Floats::key);
    if (!closing)
        return {open, {}, {}, {}};
    return {closed, {*closing}, {}, {}};
}

Statement closeCashFloats(int closing)
{
    static const QString sql =
        QStringLiteral("update %1 set %2 = ? where %2 is null").arg(Floats::table, Floats::closing);
    return {sql, {closing}, {}, {}};
}

Statement reopenCashFloats(int closing)
{
    static const QString sql = QStringLiteral("update %1 set %2 = null where %2 = ?").arg(Floats::table, Floats::closing);
    return {sql, {closing}, {}, {}};
}

Statement addAuditEntry(const QString &loggedAt, int till, const QString &cashier, const QString &kind,
                        const QString &receiptNumber, const QString &lines, const QString &amount)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8) values (?, ?, ?, ?, ?, ?, ?)")
                                   .arg(Audit::table, Audit::loggedAt, Audit::till, Audit::cashier, Audit::kind,
                                        Audit::receiptNumber, Audit::lines, Audit::amount);
    return {sql, {loggedAt, till, cashier, kind, receiptNumber, lines, amount}, {}, {}};
}

Statement auditEntries(const QString &from, const QString &to, int till, const QString &cashier,
                       const QString &kind)
{
    QString sql = QStringLiteral("select %2, %3, %4, %5, %6, %7, %8 from %1 where 1 = 1")
                      .arg(Audit::table, Audit::loggedAt, Audit::till, Audit::cashier, Audit::kind,
                           Audit::receiptNumber, Audit::lines, Audit::amount);
    QVariantList params;
    const auto bound = [&](bool used, const QString &condition, const QVariant &value) {
        if (!used)
            return;
        sql += QStringLiteral(" and ") + condition;
        params << value;
    };
    bound(!from.isEmpty(), Audit::loggedAt + QStringLiteral(" >= ?"), from);
    bound(!to.isEmpty(), Audit::loggedAt + QStringLiteral(" < ?"), to);
    bound(till != 0, Audit::till + QStringLiteral(" = ?"), till);
    bound(!cashier.isEmpty(), Audit::cashier + QStringLiteral(" = ?"), cashier);
    bound(!kind.isEmpty(), Audit::kind + QStringLiteral(" = ?"), kind);
    sql += QStringLiteral(" order by ") + Audit::key;
    return {sql, params, {}, {}};
}

Statement cashiers()
{
    static const QString sql = QStringLiteral("select %2, %3, %4, %5 from %1 order by %2")
                                   .arg(Cashier::table, Cashier::number, Cashier::name, Cashier::pinHash, Cashier::active);
    return {sql, {}, {}, {}};
}

Statement addCashier(int number, const QString &name, const QString &pinHash, bool active)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5) values (?, ?, ?, ?)")
                                   .arg(Cashier::table, Cashier::number, Cashier::name, Cashier::pinHash, Cashier::active);
    return {sql, {number, name, pinHash, active ? 1 : 0}, {}, {}};
}

Statement changeCashier(int number, const QString &name, const QString &pinHash, bool active)
{
    static const QString sql = QStringLiteral("update %1 set %3 = ?, %4 = ?, %5 = ? where %2 = ?")
                                   .arg(Cashier::table, Cashier::number, Cashier::name, Cashier::pinHash, Cashier::active);
    return {sql, {name, pinHash, active ? 1 : 0, number}, {}, {}};
}

Statement lastRecordLine()
{
    static const QString sql = QStringLiteral("select coalesce(max(%2), 0) from %1").arg(Record::table, Record::key);
    return {sql, {}, {}, {}};
}

Statement shiftPayments(int till, const QString &cashier, qint64 afterLine)
{
    static const QString sql =
        QStringLiteral("select p.%2, p.%3, p.%4, p.%5 from %1 p where p.%6 = ? and exists (select 1 from %7 r "
                       "where r.%8 = p.%2 and r.%9 = p.%6 and r.%10 = ? and r.%11 > ?) order by p.%12")
            .arg(Paid::table, Paid::receiptNumber, Paid::method, Paid::amount, Paid::changeGiven, Paid::till,
                 Record::table, Record::receiptNumber, Record::till, Record::cashier, Record::key)
            .arg(Paid::key);
    return {sql, {till, cashier, afterLine}, {}, {}};
}

Statement soldLines(const QString &receiptNumber)
{
    static const QString sql =
        QStringLiteral("select r.%2, r.%3, r.%4, r.%5, r.%6, r.%7, r.%8, "
                       "coalesce((select -sum(x.%5) from %9 t join %1 x on x.%2 = t.%10 where t.%11 = r.%2), 0) "
                       "from %1 r where r.%12 = ? and not exists (select 1 from %9 t where t.%10 = r.%2) order by r.%2")
            .arg(Record::table, Record::key, Record::code, Record::name, Record::quantity, Record::price,
                 Record::amount, Record::till, Returned::table, Returned::recordLine, Returned::soldLine,
                 Record::receiptNumber);
    return {sql, {receiptNumber}, {}, {}};
}

Statement holdSoldLines(const QString &receiptNumber)
{
    static const QString sql =
        QStringLiteral("select %2 from %1 where %3 = ?").arg(Record::table, Record::key, Record::receiptNumber);
    return {sql, {receiptNumber}, {}, {}, sql + QStringLiteral(" for update")};
}

Statement refundsOf(const QString &soldReceipt)
{
    static const QString sql =
        QStringLiteral("select p.%2, p.%3 from %1 p where p.%4 in (select r.%6 from %5 r join %7 t on t.%8 = r.%9 "
                       "where t.%10 = ?)")
            .arg(Paid::table, Paid::method, Paid::amount, Paid::receiptNumber, Record::table, Record::receiptNumber,
                 Returned::table, Returned::recordLine, Record::key, Returned::soldReceipt);
    return {sql, {soldReceipt}, {}, {}};
}

Statement recordReturnedLine(qint64 recordLine, const QVariant &soldLine, const QVariant &soldReceipt, int till,
                             bool withoutReceipt)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) values (?, ?, ?, ?, ?)")
                                   .arg(Returned::table, Returned::recordLine, Returned::soldLine,
                                        Returned::soldReceipt, Returned::till, Returned::withoutReceipt);
    return {sql, {recordLine, soldLine, soldReceipt, till, withoutReceipt ? 1 : 0}, {}, {}};
}

// Stock

Statement addStockDocument(int kind, const QString &madeAt, int till, const QString &cashier, const QString &note)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6) values (?, ?, ?, ?, ?) returning %7")
                                   .arg(StockDoc::table, StockDoc::kind, StockDoc::madeAt, StockDoc::till,
                                        StockDoc::cashier, StockDoc::note, StockDoc::number);
    return {sql, {kind, madeAt, till, cashier, note}, {}, {}};
}

Statement addStockMovement(int kind, const QString &code, qint64 quantityMilli, const QVariant &unitCost,
                           const QString &movedAt, int till, const QString &cashier, const QVariant &document,
                           const QVariant &receiptNumber)
{
    static const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10) "
                       "select cast(? as integer), p.%12, cast(? as bigint), "
                       "coalesce(cast(? as text), (select l.%14 from %13 l where l.%15 = p.%12)), "
                       "cast(? as text), cast(? as integer), cast(? as text), cast(? as bigint), cast(? as text) "
                       "from %11 p where p.%12 = ?")
            .arg(Movement::table, Movement::kind, Movement::code, Movement::quantity, Movement::unitCost,
                 Movement::movedAt, Movement::till, Movement::cashier, Movement::document)
            .arg(Movement::receiptNumber, Product::table, Product::code, Level::table, Level::lastCost, Level::code);
    return {sql, {kind, quantityMilli, unitCost, movedAt, till, cashier, document, receiptNumber, code}, {}, {}};
}

Statement addSaleMovements(int kind, const QList<std::pair<QString, qint64>> &movements, const QString &movedAt,
                           int till, const QString &cashier, const QString &receiptNumber)
{
    static const QString head =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8, %9) "
                       "select cast(? as integer), p.%11, v.column2, (select l.%13 from %12 l where l.%14 = p.%11), "
                       "cast(? as text), cast(? as integer), cast(? as text), cast(? as text) from (values ")
            .arg(Movement::table, Movement::kind, Movement::code, Movement::quantity, Movement::unitCost,
                 Movement::movedAt, Movement::till, Movement::cashier, Movement::receiptNumber)
            .arg(Product::code, Level::table, Level::lastCost, Level::code);
    static const QString tail = QStringLiteral(") v join %1 p on p.%2 = v.column1 order by v.column3")
                                    .arg(Product::table, Product::code);
    QStringList rows;
    QVariantList params{kind, movedAt, till, cashier, receiptNumber};
    for (const auto &[code, milli] : movements) {
        rows << QStringLiteral("(cast(? as text), cast(? as bigint), %1)").arg(rows.size());
        params << code << milli;
    }
    QString sql = head + rows.join(QStringLiteral(", ")) + tail;
    return {sql, params, {}, {}};
}

Statement stockDocument(qint64 number)
{
    static const QString sql = QStringLiteral("select %2, %3, %4, %5, %6 from %1 where %7 = ?")
                                   .arg(StockDoc::table, StockDoc::kind, StockDoc::madeAt, StockDoc::till,
                                        StockDoc::cashier, StockDoc::note, StockDoc::number);
    return {sql, {number}, {}, {}};
}

Statement stockDocumentLines(qint64 number)
{
    static const QString sql = QStringLiteral("select %2, %3, %4 from %1 where %5 = ? order by %6")
                                   .arg(Movement::table, Movement::code, Movement::quantity, Movement::unitCost,
                                        Movement::document, Movement::key);
    return {sql, {number}, {}, {}};
}

namespace {
const QString &stockLevelColumns()
{
    static const QString columns =
        QStringLiteral("select p.%1, p.%2, p.%3, coalesce(l.%6, 0), l.%7, l.%8 from %4 p left join %5 l on l.%9 = p.%1")
            .arg(Product::code, Product::name, Product::price, Product::table, Level::table, Level::onHand,
                 Level::reorderLevel, Level::lastCost, Level::code);
    return columns;
}
} // namespace

Statement stockLevel(const QString &code)
{
    static const QString sql = stockLevelColumns() + QStringLiteral(" where p.%1 = ?").arg(Product::code);
    return {sql, {code}, {}, {}};
}

Statement lowStock()
{
    // Only products that ever moved or have a level can be low: the walk is
    // along the levels, not the catalogue.
    static const QString where = QStringLiteral(" where l.%1 < 0 or (l.%2 is not null and l.%1 <= l.%2) order by p.%3")
                                     .arg(Level::onHand, Level::reorderLevel, Product::code);
    static const QString sql = stockLevelColumns() + where;
    static const QString server = stockLevelColumns() + where + QStringLiteral(" collate \"C\"");
    return {sql, {}, {}, {}, server};
}

Statement setReorderLevel(const QString &code, const QVariant &levelMilli)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, 0, cast(? as bigint)) "
                                              "on conflict (%2) do update set %4 = excluded.%4")
                                   .arg(Level::table, Level::code, Level::onHand, Level::reorderLevel);
    return {sql, {code, levelMilli}, {}, {}};
}

Statement stockCheck()
{
    static const QString sql =
        QStringLiteral("select c, sum(k), sum(m), max(h) from ("
                       "select %2 as c, %3 as k, 0 as m, 1 as h from %1 "
                       "union all select %5, 0, %6, 0 from %4) t group by c order by c")
            .arg(Level::table, Level::code, Level::onHand, Movement::table, Movement::code, Movement::quantity);
    static const QString server = sql + QStringLiteral(" collate \"C\"");
    return {sql, {}, {}, {}, server};
}

Statement reportStockCosts(const QString &fromDate, const QString &beforeDate, int till, const QString &cashier)
{
    QString sql = QStringLiteral("select %2, %3, %4 from %1 where %5 >= ? and %5 < ? and %6 in (%7, %8, %9)")
                      .arg(Movement::table, Movement::code, Movement::quantity, Movement::unitCost, Movement::movedAt,
                           Movement::kind)
                      .arg(int(StockKind::Sale))
                      .arg(int(StockKind::Return))
                      .arg(int(StockKind::Void));
    QVariantList params{fromDate, beforeDate};
    if (till > 0) {
        sql += QStringLiteral(" and %1 = ?").arg(Movement::till);
        params << till;
    }
    if (!cashier.isEmpty()) {
        sql += QStringLiteral(" and %1 = ?").arg(Movement::cashier);
        params << cashier;
    }
    return {sql, params, {}, {}};
}

Statement insertProduct(const QString &code, const QString &name, double price)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                   .arg(Product::table, Product::code, Product::name, Product::price);
    return {sql, {code, name, price}, {}, {}};
}

Statement insertSettings(const QString &cashier, const QString &shopName, const QString &remark)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                   .arg(Shop::table, Shop::cashier, Shop::shopName, Shop::remark);
    return {sql, {cashier, shopName, remark}, {}, {}};
}

namespace {
namespace Outgoing = Tables::Outbox;
namespace Sent = Tables::SentSales;

// Settings of a till number no till has: the copy's own, kept through a refresh.
constexpr int kCopyOwnTill = -1;
const QString kLastSynchronised = QStringLiteral("last_synchronised");
} // namespace

Statement copiedRows(const QString &table)
{
    return {QStringLiteral("select %1 from %2").arg(Schema::columns(table).join(QStringLiteral(", ")), table), {}, {}, {}};
}

Statement emptyCopiedTable(const QString &table)
{
    if (table == TillSetting::table)
        return {QStringLiteral("delete from %1 where %2 >= 0").arg(table, TillSetting::till), {}, {}, {}};
    return {QStringLiteral("delete from %1").arg(table), {}, {}, {}};
}

Statement insertCopiedRow(const QString &table)
{
    const QStringList columns = Schema::columns(table);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return {QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            {}, {}, {}};
}

Statement queueSale(const QString &receiptNumber, const QString &queuedAt)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                                   .arg(Outgoing::table, Outgoing::receiptNumber, Outgoing::queuedAt);
    return {sql, {receiptNumber, queuedAt}, {}, {}};
}

Statement waitingSales()
{
    static const QString sql =
        QStringLiteral("select %2 from %1 order by %3").arg(Outgoing::table, Outgoing::receiptNumber, Outgoing::key);
    return {sql, {}, {}, {}};
}

Statement waitingSaleCount()
{
    static const QString sql = QStringLiteral("select count(*) from %1").arg(Outgoing::table);
    return {sql, {}, {}, {}};
}

Statement unqueueSale(const QString &receiptNumber)
{
    static const QString sql =
        QStringLiteral("delete from %1 where %2 = ?").arg(Outgoing::table, Outgoing::receiptNumber);
    return {sql, {receiptNumber}, {}, {}};
}

Statement recordArrival(int till, const QString &receiptNumber, const QString &sentAt)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                   .arg(Sent::table, Sent::till, Sent::receiptNumber, Sent::sentAt);
    return {sql, {till, receiptNumber, sentAt}, {}, {}};
}

Statement hasArrived(int till, const QString &receiptNumber)
{
    static const QString sql =
        QStringLiteral("select 1 from %1 where %2 = ? and %3 = ?").arg(Sent::table, Sent::till, Sent::receiptNumber);
    return {sql, {till, receiptNumber}, {}, {}};
}

Statement heldSalesToSend(int till)
{
    static const QString sql = QStringLiteral("select %2, %3 from %1 where %4 = ? order by %2")
                                   .arg(Held::table, Held::key, Held::heldAt, Held::till);
    return {sql, {till}, {}, {}};
}

Statement heldLinesToSend(qint64 heldSale)
{
    static const QString sql = QStringLiteral("select %2, %3, %4, %5, %6 from %1 where %7 = ? order by %8")
                                   .arg(HeldLine::table, HeldLine::code, HeldLine::name, HeldLine::quantity,
                                        HeldLine::price, HeldLine::amount, HeldLine::sale, HeldLine::key);
    return {sql, {heldSale}, {}, {}};
}

Statement addHeldLine(qint64 heldSale, const QVariant &code, const QVariant &name, const QVariant &quantity,
                      const QVariant &price, const QVariant &amount)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7) values (?, ?, ?, ?, ?, ?)")
                                   .arg(HeldLine::table, HeldLine::sale, HeldLine::code, HeldLine::name,
                                        HeldLine::quantity, HeldLine::price, HeldLine::amount);
    return {sql, {heldSale, code, name, quantity, price, amount}, {}, {}};
}

Statement cashFloatsToSend(int till)
{
    static const QString sql = QStringLiteral("select %2, %3 from %1 where %4 = ? and %5 is null order by %6")
                                   .arg(Floats::table, Floats::setAt, Floats::amount, Floats::till,
                                        Floats::closing, Floats::key);
    return {sql, {till}, {}, {}};
}

Statement hasRecordedLines(const QString &receiptNumber, int till)
{
    static const QString sql = QStringLiteral("select 1 from %1 where %2 = ? and %3 = ? limit 1")
                                   .arg(Record::table, Record::receiptNumber, Record::till);
    return {sql, {receiptNumber, till}, {}, {}};
}

Statement recordedLinesToSend(const QString &receiptNumber, int till)
{
    static const QString sql = QStringLiteral("select %1, %2, %3, %4, %5, %6, %7, %8 from %9 "
                                              "where %10 = ? and %11 = ? order by %12")
                                   .arg(Record::code, Record::name, Record::quantity, Record::price, Record::amount,
                                        Record::cashier, Record::date, Record::time, Record::table)
                                   .arg(Record::receiptNumber, Record::till, Record::key);
    return {sql, {receiptNumber, till}, {}, {}};
}

Statement lastSynchronised()
{
    static const QString sql = QStringLiteral("select %1 from %2 where %3 = ? and %4 = ?")
                                   .arg(TillSetting::value, TillSetting::table, TillSetting::till, TillSetting::name);
    return {sql, {kCopyOwnTill, kLastSynchronised}, {}, {}};
}

Statement storeLastSynchronised(const QString &at)
{
    static const QString sql = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?) "
                                              "on conflict (%2, %3) do update set %4 = excluded.%4")
                                   .arg(TillSetting::table, TillSetting::till, TillSetting::name, TillSetting::value);
    return {sql, {kCopyOwnTill, kLastSynchronised, at}, {}, {}};
}

// Stock windows

Statement onHandOf(const QString &code)
{
    static const QString sql =
        QStringLiteral("select %1 from %2 where %3 = ?").arg(Level::onHand, Level::table, Level::code);
    return {sql, {code}, {}, {}};
}

} // namespace Statements
