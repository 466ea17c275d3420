#include "schema.h"

#include "base/apperror.h"
#include "storage/stockledger.h"
#include "storage/tables.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

const QList<Table> &tables()
{
    namespace Catalogue = Tables::Catalogue;
    namespace OpenSale = Tables::OpenSale;
    namespace Record = Tables::SalesRecord;
    namespace Shop = Tables::ShopSettings;
    namespace Till = Tables::TillSettings;
    namespace Awaiting = Tables::AwaitingPrint;
    namespace Numbers = Tables::ReceiptNumbers;
    namespace Closings = Tables::DayClosings;
    namespace Held = Tables::HeldSales;
    namespace HeldLine = Tables::HeldLines;
    namespace Pinyin = Tables::ProductPinyin;
    namespace Summary = Tables::DaySummary;
    namespace ProductSummary = Tables::ProductDaySummary;
    namespace PaymentSummary = Tables::PaymentDaySummary;
    namespace ProductMonth = Tables::ProductMonthSummary;
    namespace Methods = Tables::PaymentMethods;
    namespace Paid = Tables::Payments;
    namespace Floats = Tables::CashFloats;
    namespace Audit = Tables::AuditLog;
    namespace Returned = Tables::ReturnedLines;
    namespace Cashier = Tables::Cashiers;
    namespace Movement = Tables::StockMovements;
    namespace Level = Tables::StockLevels;
    namespace StockDocument = Tables::StockDocuments;
    static const QList<Table> all = {
        // LIKE is case-insensitive, so only NOCASE indexes serve a LIKE prefix
        // search; the code index also keeps codes unique as the lookup sees them.
        // PostgreSQL compares lower() of both sides, which indexes on lower()
        // in pattern order serve.
        {Catalogue::table,
         {{Catalogue::code, "TEXT NOT NULL UNIQUE"},
          {Catalogue::name, "TEXT"},
          {Catalogue::price, "REAL"}},
         {{QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (%3 COLLATE NOCASE)")
               .arg(kCodeIndex, Catalogue::table, Catalogue::code),
           QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (lower(%3) text_pattern_ops)")
               .arg(kCodeIndex, Catalogue::table, Catalogue::code)},
          {QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_nocase ON %1 (%2 COLLATE NOCASE)")
               .arg(Catalogue::table, Catalogue::name),
           QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_nocase ON %1 (lower(%2) text_pattern_ops)")
               .arg(Catalogue::table, Catalogue::name)}}},
        {OpenSale::table,
         {{OpenSale::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {OpenSale::code, "TEXT"},
          {OpenSale::name, "TEXT"},
          {OpenSale::quantity, "REAL"},
          {OpenSale::price, "REAL"},
          {OpenSale::amount, "REAL"},
          // The till whose sale the line belongs to.
          {OpenSale::till, "INTEGER NOT NULL DEFAULT 1", true}}},
        {Record::table,
         {{Record::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Record::code, "TEXT"},
          {Record::name, "TEXT"},
          {Record::quantity, "REAL"},
          {Record::price, "REAL"},
          {Record::amount, "REAL"},
          {Record::receiptNumber, "TEXT"},
          {Record::cashier, "TEXT"},
          {Record::date, "TEXT"},
          {Record::time, "TEXT"},
          // The till that sold the line.
          {Record::till, "INTEGER NOT NULL DEFAULT 1", true},
          // The Z report that closed it: a line recorded late, or committed
          // late by another till, still goes into exactly one.
          {Record::closing, "INTEGER", true}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS record_date ON %1 (%2)").arg(Record::table, Record::date),
          {QStringLiteral("CREATE INDEX IF NOT EXISTS record_date_nocase ON %1 (%2 COLLATE NOCASE)")
               .arg(Record::table, Record::date),
           QStringLiteral("CREATE INDEX IF NOT EXISTS record_date_nocase ON %1 (lower(%2) text_pattern_ops)")
               .arg(Record::table, Record::date)},
          // Each new receipt number is later than the largest recorded one, and
          // a past receipt is found by its number to be printed again.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_receipt_number ON %1 (%2)")
              .arg(Record::table, Record::receiptNumber),
          // The tills the records window offers to filter by.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_till ON %1 (%2)").arg(Record::table, Record::till),
          // The lines no Z report closed yet, and those of one Z report.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_closing ON %1 (%2)").arg(Record::table, Record::closing)}},
        {Shop::table,
         {{Shop::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Shop::cashier, "TEXT"},
          {Shop::shopName, "TEXT"},
          {Shop::remark, "TEXT"}}},
        // Settings of one till (printer, drawer, backups …), by name; the
        // till number keeps tills that share one database apart.
        {Till::table,
         {{Till::till, "INTEGER NOT NULL"},
          {Till::name, "TEXT NOT NULL"},
          {Till::value, "TEXT"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS till_settings_name ON %1 (%2, %3)")
              .arg(Till::table, Till::till, Till::name)},
         true},
        // The record rows of the sale (keys first_record to last_record, none
        // for an empty sale) and what the receipt shows besides them.
        {Awaiting::table,
         {{Awaiting::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Awaiting::firstRecord, "INTEGER"},
          {Awaiting::lastRecord, "INTEGER"},
          {Awaiting::received, "TEXT"},
          {Awaiting::changeGiven, "TEXT"},
          {Awaiting::copies, "INTEGER"},
          // Each till has its own sale awaiting print.
          {Awaiting::till, "INTEGER NOT NULL DEFAULT 1"}},
         {},
         true},
        // Every receipt number a completion took, once: tills that share a
        // database never give two sales one number.
        {Numbers::table,
         {{Numbers::number, "TEXT NOT NULL PRIMARY KEY"},
          {Numbers::till, "INTEGER NOT NULL"}},
         {},
         true},
        // One row per Z report, numbered one after another. A Z report closes
        // every line no earlier one closed (XiaoShouRecord.closing); money is
        // kept as the exact decimal text that was printed, and the printed
        // lines with it.
        {Closings::table,
         {{Closings::number, "INTEGER PRIMARY KEY"},
          {Closings::closedAt, "TEXT NOT NULL"},
          {Closings::dateFrom, "TEXT NOT NULL"},
          {Closings::dateTo, "TEXT NOT NULL"},
          {Closings::afterLine, "INTEGER NOT NULL"},
          {Closings::lastLine, "INTEGER NOT NULL"},
          {Closings::receipts, "INTEGER NOT NULL"},
          {Closings::lines, "INTEGER NOT NULL"},
          {Closings::items, "TEXT NOT NULL"},
          {Closings::takings, "TEXT NOT NULL"},
          {Closings::counted, "TEXT NOT NULL"},
          {Closings::difference, "TEXT NOT NULL"},
          {Closings::content, "TEXT"}},
         {},
         true},
        // Parked sales: never recorded nor printed while parked; their lines
        // come back into the till's open sale when taken back.
        {Held::table,
         {{Held::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Held::till, "INTEGER NOT NULL"},
          {Held::heldAt, "TEXT NOT NULL"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS held_sales_till ON %1 (%2)").arg(Held::table, Held::till)},
         true},
        {HeldLine::table,
         {{HeldLine::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {HeldLine::sale, "INTEGER NOT NULL"},
          {HeldLine::code, "TEXT"},
          {HeldLine::name, "TEXT"},
          {HeldLine::quantity, "REAL"},
          {HeldLine::price, "REAL"},
          {HeldLine::amount, "REAL"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS held_lines_sale ON %1 (%2)").arg(HeldLine::table, HeldLine::sale)},
         true},
        // A search by pinyin is a prefix search on the spellings: the NOCASE
        // index serves LIKE on a file, a pattern-order index on a server.
        {Pinyin::table,
         {{Pinyin::code, "TEXT NOT NULL"},
          {Pinyin::name, "TEXT"},
          {Pinyin::kind, "INTEGER NOT NULL"},
          {Pinyin::spelling, "TEXT NOT NULL"}},
         {{QStringLiteral("CREATE INDEX IF NOT EXISTS product_pinyin_spelling ON %1 (%2 COLLATE NOCASE)")
               .arg(Pinyin::table, Pinyin::spelling),
           QStringLiteral("CREATE INDEX IF NOT EXISTS product_pinyin_spelling ON %1 (%2 text_pattern_ops)")
               .arg(Pinyin::table, Pinyin::spelling)},
          QStringLiteral("CREATE INDEX IF NOT EXISTS product_pinyin_code ON %1 (%2)").arg(Pinyin::table, Pinyin::code)},
         true},
        // One row per sale date, till, cashier and hour; what each payment
        // method took is summed apart, by date and till.
        {Summary::table,
         {{Summary::date, "TEXT NOT NULL"},
          {Summary::till, "INTEGER NOT NULL"},
          {Summary::cashier, "TEXT NOT NULL"},
          {Summary::hour, "INTEGER NOT NULL"},
          {Summary::receipts, "INTEGER NOT NULL"},
          {Summary::lines, "INTEGER NOT NULL"},
          {Summary::items, "TEXT"},
          {Summary::takings, "TEXT"},
          {Summary::firstLine, "INTEGER NOT NULL"},
          {Summary::firstTime, "TEXT NOT NULL"},
          {Summary::lastLine, "INTEGER NOT NULL"},
          {Summary::lastTime, "TEXT NOT NULL"},
          {Summary::doubtful, "INTEGER NOT NULL DEFAULT 0"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS day_summary_group ON %1 (%2, %3, %4, %5)")
              .arg(Summary::table, Summary::date, Summary::till, Summary::cashier, Summary::hour)},
         true},
        {ProductSummary::table,
         {{ProductSummary::date, "TEXT NOT NULL"},
          {ProductSummary::till, "INTEGER NOT NULL"},
          {ProductSummary::code, "TEXT NOT NULL"},
          {ProductSummary::name, "TEXT NOT NULL"},
          {ProductSummary::lines, "INTEGER NOT NULL"},
          {ProductSummary::quantity, "TEXT"},
          {ProductSummary::takings, "TEXT"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS product_day_summary_product ON %1 (%2, %3, %4, %5)")
              .arg(ProductSummary::table, ProductSummary::date, ProductSummary::till, ProductSummary::code,
                   ProductSummary::name)},
         true},
        {ProductMonth::table,
         {{ProductMonth::month, "TEXT NOT NULL"},
          {ProductMonth::till, "INTEGER NOT NULL"},
          {ProductMonth::code, "TEXT NOT NULL"},
          {ProductMonth::name, "TEXT NOT NULL"},
          {ProductMonth::lines, "INTEGER NOT NULL"},
          {ProductMonth::quantity, "TEXT"},
          {ProductMonth::takings, "TEXT"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS product_month_summary_product ON %1 (%2, %3, %4, %5)")
              .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till, ProductMonth::code,
                   ProductMonth::name)},
         true},
        {PaymentSummary::table,
         {{PaymentSummary::date, "TEXT NOT NULL"},
          {PaymentSummary::till, "INTEGER NOT NULL"},
          {PaymentSummary::method, "INTEGER NOT NULL"},
          {PaymentSummary::amount, "TEXT"},
          {PaymentSummary::changeGiven, "TEXT"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS payment_day_summary_method ON %1 (%2, %3, %4)")
              .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::till, PaymentSummary::method)},
         true},
        // The ways a sale is paid, in the order the payment window lists them.
        {Methods::table,
         {{Methods::number, "INTEGER NOT NULL PRIMARY KEY"},
          {Methods::name, "TEXT NOT NULL"},
          {Methods::givesChange, "INTEGER NOT NULL DEFAULT 0"},
          {Methods::position, "INTEGER NOT NULL DEFAULT 0"},
          {Methods::enabled, "INTEGER NOT NULL DEFAULT 1"}},
         {},
         true},
        // Each recorded sale's payments, written with its lines. A receipt
        // recorded before payments were kept has none and was paid in cash.
        {Paid::table,
         {{Paid::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Paid::receiptNumber, "TEXT NOT NULL"},
          {Paid::till, "INTEGER NOT NULL DEFAULT 1"},
          {Paid::method, "INTEGER NOT NULL"},
          {Paid::amount, "TEXT NOT NULL"},
          {Paid::changeGiven, "TEXT NOT NULL DEFAULT '0'"},
          {Paid::shown, "INTEGER NOT NULL DEFAULT 1"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS payments_receipt ON %1 (%2)").arg(Paid::table, Paid::receiptNumber)},
         true},
        // A till's opening cash; a later one of the same day replaces it.
        {Floats::table,
         {{Floats::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Floats::till, "INTEGER NOT NULL"},
          {Floats::setAt, "TEXT NOT NULL"},
          {Floats::amount, "TEXT NOT NULL"},
          {Floats::closing, "INTEGER"}},
         {},
         true},
        // The owner's trail: rows are added and never changed or taken out,
        // which the database itself holds to.
        {Audit::table,
         {{Audit::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Audit::loggedAt, "TEXT NOT NULL"},
          {Audit::till, "INTEGER NOT NULL"},
          {Audit::cashier, "TEXT NOT NULL"},
          {Audit::kind, "TEXT NOT NULL"},
          {Audit::receiptNumber, "TEXT"},
          {Audit::lines, "TEXT NOT NULL"},
          {Audit::amount, "TEXT NOT NULL"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS audit_log_logged_at ON %1 (%2)").arg(Audit::table, Audit::loggedAt),
          {QStringLiteral("CREATE TRIGGER IF NOT EXISTS audit_log_no_update BEFORE UPDATE ON %1 "
                          "BEGIN SELECT RAISE(ABORT, '%2'); END")
               .arg(Audit::table, kAppendOnly),
           QString()},
          {QStringLiteral("CREATE TRIGGER IF NOT EXISTS audit_log_no_delete BEFORE DELETE ON %1 "
                          "BEGIN SELECT RAISE(ABORT, '%2'); END")
               .arg(Audit::table, kAppendOnly),
           QString()},
          {QString(), QStringLiteral("CREATE FUNCTION audit_log_append_only() RETURNS trigger LANGUAGE plpgsql AS "
                                     "$$ BEGIN RAISE EXCEPTION '%1'; END $$")
                          .arg(kAppendOnly)},
          {QString(), QStringLiteral("CREATE TRIGGER audit_log_no_change BEFORE UPDATE OR DELETE ON %1 "
                                     "FOR EACH ROW EXECUTE FUNCTION audit_log_append_only()")
                          .arg(Audit::table)},
          {QString(), QStringLiteral("CREATE TRIGGER audit_log_no_truncate BEFORE TRUNCATE ON %1 "
                                     "FOR EACH STATEMENT EXECUTE FUNCTION audit_log_append_only()")
                          .arg(Audit::table)}},
         true},
        // A return's record lines and the sold lines they take back: what is
        // left to return of a sold line is its quantity less theirs.
        {Returned::table,
         {{Returned::recordLine, "INTEGER NOT NULL PRIMARY KEY"},
          {Returned::soldLine, "INTEGER"},
          {Returned::soldReceipt, "TEXT"},
          {Returned::till, "INTEGER NOT NULL"},
          {Returned::withoutReceipt, "INTEGER NOT NULL DEFAULT 0"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS returned_lines_sold ON %1 (%2)")
              .arg(Returned::table, Returned::soldLine)},
         true},
        // A till's sales made without the server, waiting to be sent (in its own copy only).
        {Tables::Outbox::table,
         {{Tables::Outbox::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Tables::Outbox::receiptNumber, "TEXT NOT NULL UNIQUE"},
          {Tables::Outbox::queuedAt, "TEXT NOT NULL"}},
         {},
         true},
        // Sales that arrived from a till's outbox: a resend after a lost
        // answer finds its sale here and records nothing twice.
        {Tables::SentSales::table,
         {{Tables::SentSales::till, "INTEGER NOT NULL"},
          {Tables::SentSales::receiptNumber, "TEXT NOT NULL"},
          {Tables::SentSales::sentAt, "TEXT NOT NULL"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS sent_sales_once ON %1 (%2, %3)")
              .arg(Tables::SentSales::table, Tables::SentSales::till, Tables::SentSales::receiptNumber)},
         true},
        // The cashiers who sign in at the till, when the shop has them do so.
        {Cashier::table,
         {{Cashier::number, "INTEGER NOT NULL PRIMARY KEY"},
          {Cashier::name, "TEXT NOT NULL"},
          {Cashier::pinHash, "TEXT NOT NULL DEFAULT ''"},
          {Cashier::active, "INTEGER NOT NULL DEFAULT 1"}},
         {},
         true},
        // The stock ledger. Quantities are BIGINT: a server's INTEGER holds
        // only some two million thousandths.
        {StockDocument::table,
         {{StockDocument::number, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {StockDocument::kind, "INTEGER NOT NULL"},
          {StockDocument::madeAt, "TEXT NOT NULL"},
          {StockDocument::till, "INTEGER NOT NULL"},
          {StockDocument::cashier, "TEXT NOT NULL DEFAULT ''"},
          {StockDocument::note, "TEXT NOT NULL DEFAULT ''"}},
         {},
         true},
        {Level::table,
         {{Level::code, "TEXT NOT NULL PRIMARY KEY"},
          {Level::onHand, "BIGINT NOT NULL DEFAULT 0"},
          {Level::reorderLevel, "BIGINT"},
          {Level::lastCost, "TEXT"}},
         {},
         true},
        // Every movement is a row that stays; each one adds itself to its
        // product's on hand in the same statement (the database's trigger),
        // so no writer can forget it and no two writers lose one. A received
        // line with its cost price becomes the product's last cost.
        {Movement::table,
         {{Movement::key, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {Movement::kind, "INTEGER NOT NULL"},
          {Movement::code, "TEXT NOT NULL"},
          {Movement::quantity, "BIGINT NOT NULL"},
          {Movement::unitCost, "TEXT"},
          {Movement::movedAt, "TEXT NOT NULL"},
          {Movement::till, "INTEGER NOT NULL"},
          {Movement::cashier, "TEXT NOT NULL DEFAULT ''"},
          {Movement::document, "INTEGER"},
          {Movement::receiptNumber, "TEXT"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS stock_movements_code ON %1 (%2)").arg(Movement::table, Movement::code),
          QStringLiteral("CREATE INDEX IF NOT EXISTS stock_movements_moved_at ON %1 (%2)")
              .arg(Movement::table, Movement::movedAt),
          // A sale's movements have no document: they stay out of its index.
          QStringLiteral("CREATE INDEX IF NOT EXISTS stock_movements_document ON %1 (%2) WHERE %2 IS NOT NULL")
              .arg(Movement::table, Movement::document),
          {QStringLiteral("CREATE TRIGGER IF NOT EXISTS stock_movements_level AFTER INSERT ON %1 BEGIN "
                          "INSERT INTO %2 (%3, %4, %5) VALUES (NEW.%6, NEW.%7, "
                          "CASE WHEN NEW.%8 = %10 THEN NEW.%9 END) "
                          "ON CONFLICT (%3) DO UPDATE SET %4 = %4 + excluded.%4, "
                          "%5 = coalesce(excluded.%5, %5); END")
               .arg(Movement::table, Level::table, Level::code, Level::onHand, Level::lastCost, Movement::code,
                    Movement::quantity, Movement::kind, Movement::unitCost)
               .arg(int(StockKind::Received)),
           QString()},
          {QStringLiteral("CREATE TRIGGER IF NOT EXISTS stock_movements_no_update BEFORE UPDATE ON %1 "
                          "BEGIN SELECT RAISE(ABORT, '%2'); END")
               .arg(Movement::table, kStockAppendOnly),
           QString()},
          {QStringLiteral("CREATE TRIGGER IF NOT EXISTS stock_movements_no_delete BEFORE DELETE ON %1 "
                          "BEGIN SELECT RAISE(ABORT, '%2'); END")
               .arg(Movement::table, kStockAppendOnly),
           QString()},
          {QString(),
           QStringLiteral("CREATE FUNCTION stock_level_kept() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                          "INSERT INTO %1 (%2, %3, %4) VALUES (NEW.%5, NEW.%6, "
                          "CASE WHEN NEW.%7 = %9 THEN NEW.%8 END) "
                          "ON CONFLICT (%2) DO UPDATE SET %3 = %1.%3 + EXCLUDED.%3, "
                          "%4 = coalesce(EXCLUDED.%4, %1.%4); RETURN NULL; END $$")
               .arg(Level::table, Level::code, Level::onHand, Level::lastCost, Movement::code, Movement::quantity,
                    Movement::kind, Movement::unitCost)
               .arg(int(StockKind::Received))},
          {QString(), QStringLiteral("CREATE TRIGGER stock_movements_level AFTER INSERT ON %1 "
                                     "FOR EACH ROW EXECUTE FUNCTION stock_level_kept()")
                          .arg(Movement::table)},
          {QString(), QStringLiteral("CREATE FUNCTION stock_movements_append_only() RETURNS trigger LANGUAGE plpgsql "
                                     "AS $$ BEGIN RAISE EXCEPTION '%1'; END $$")
                          .arg(kStockAppendOnly)},
          {QString(), QStringLiteral("CREATE TRIGGER stock_movements_no_change BEFORE UPDATE OR DELETE ON %1 "
                                     "FOR EACH ROW EXECUTE FUNCTION stock_movements_append_only()")
                          .arg(Movement::table)},
          {QString(), QStringLiteral("CREATE TRIGGER stock_movements_no_truncate BEFORE TRUNCATE ON %1 "
                                     "FOR EACH STATEMENT EXECUTE FUNCTION stock_movements_append_only()")
                          .arg(Movement::table)}},
         true},
    };
    return all;
}

namespace {

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

// PostgreSQL's REAL is four bytes: prices and amounts need eight. Its keys
// count up by an identity column where SQLite's count by AUTOINCREMENT.
QString columnType(const char *type, Dialect dialect)
{
    const QString sqlite = QLatin1String(type);
    if (dialect == Dialect::Sqlite)
        return sqlite;
    if (sqlite == QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT"))
        return QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    if (sqlite.startsWith(QLatin1String("REAL")))
        return QStringLiteral("DOUBLE PRECISION") + sqlite.mid(4);
    return sqlite;
}

} // namespace

QString createTableStatement(const Table &t, Dialect dialect)
{
    QStringList cols;
    for (const Column &c : t.columns)
        cols << QStringLiteral("%1 %2").arg(c.name, columnType(c.type, dialect));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
}

QString indexName(const QString &createIndex)
{
    static const QRegularExpression name(
        QStringLiteral("(?:INDEX|TRIGGER)\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(\\S+)\\s+(?:ON|BEFORE|AFTER)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(createIndex).captured(1);
}

namespace {

// The program's own on a server: the layout, and the notice of a changed
// catalogue (sent at commit, once per transaction and channel).
namespace Layout = Tables::LayoutVersion;

QStringList serverExtras()
{
    return {
        QStringLiteral("CREATE TABLE %1 (%2 INTEGER NOT NULL)").arg(Layout::table, Layout::version),
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(Layout::table, Layout::version).arg(kVersion),
        QStringLiteral("CREATE FUNCTION catalogue_changed() RETURNS trigger LANGUAGE plpgsql AS "
                       "$$ BEGIN PERFORM pg_notify('%1', ''); RETURN NULL; END $$")
            .arg(kCatalogueChannel),
        QStringLiteral("CREATE TRIGGER spinfo_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %1 "
                       "FOR EACH STATEMENT EXECUTE FUNCTION catalogue_changed()")
            .arg(Tables::Catalogue::table),
        QStringLiteral("CREATE FUNCTION stock_changed() RETURNS trigger LANGUAGE plpgsql AS "
                       "$$ BEGIN PERFORM pg_notify('%1', ''); RETURN NULL; END $$")
            .arg(kStockChannel),
        QStringLiteral("CREATE TRIGGER stock_levels_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %1 "
                       "FOR EACH STATEMENT EXECUTE FUNCTION stock_changed()")
            .arg(Tables::StockLevels::table),
    };
}

// A search for a part of a name reads every row unless a trigram index
// serves it (about 0.3 ms instead of 140 ms at 100,000 products). pg_trgm
// comes with the server but is not always allowed: without it searches work,
// only slower.
QStringList trigramIndexes()
{
    return {QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_contains ON %1 USING gin (lower(%2) gin_trgm_ops)")
                .arg(Tables::Catalogue::table, Tables::Catalogue::name)};
}

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DatabaseError(q.lastError().text());
}

int serverTableCount(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from information_schema.tables where table_schema = current_schema()"))
        || !q.next())
        throw DatabaseError(q.lastError().text());
    return q.value(0).toInt();
}

bool hasServerTable(QSqlDatabase &db, const QString &name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from information_schema.tables where table_schema = current_schema() "
                             "and table_name = ?"));
    q.addBindValue(name.toLower());
    if (!q.exec())
        throw DatabaseError(q.lastError().text());
    return q.next();
}

} // namespace

QStringList builtInPaymentMethods()
{
    namespace Methods = Tables::PaymentMethods;
    static const QList<std::pair<const char16_t *, bool>> builtIn = {
        {u"现金", true}, {u"微信", false}, {u"支付宝", false}, {u"银行卡", false}};
    QStringList out;
    int number = 0;
    for (const auto &[name, change] : builtIn) {
        ++number;
        out << QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (%7, '%8', %9, %7, 1)")
                   .arg(Methods::table, Methods::number, Methods::name, Methods::givesChange, Methods::position,
                        Methods::enabled)
                   .arg(number)
                   .arg(QString::fromUtf16(name))
                   .arg(change ? 1 : 0);
    }
    return out;
}

QStringList columns(const QString &table)
{
    QStringList names;
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            names << c.name;
    return names;
}

bool isNumberColumn(const QString &table, const QString &column)
{
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return QByteArray(c.type).startsWith("REAL");
    return false;
}

QStringList createStatements(Dialect dialect)
{
    QStringList out;
    for (const Table &t : tables())
        out << createTableStatement(t, dialect);
    for (const Table &t : tables())
        for (const Sql &index : t.indexes)
            if (!index.in(dialect).isEmpty())
                out << index.in(dialect);
    out << builtInPaymentMethods();
    if (dialect == Dialect::Sqlite)
        out << QStringLiteral("PRAGMA user_version = %1").arg(kVersion);
    else
        out << serverExtras();
    return out;
}

void create(QSqlDatabase &db, Dialect dialect)
{
    if (dialect == Dialect::Sqlite) {
        for (const QString &sql : createStatements(dialect))
            run(db, sql);
        return;
    }
    if (serverTableCount(db) > 0)
        throw DatabaseError(QStringLiteral("数据库 %1 里已经有表了：只能在空的数据库上建立收银程序的表。")
                                .arg(db.databaseName()));
    if (!db.transaction())
        throw DatabaseError(db.lastError().text());
    try {
        for (const QString &sql : createStatements(dialect))
            run(db, sql);
        run(db, QStringLiteral("SAVEPOINT trigram"));
        try {
            for (const QString &sql : trigramIndexes())
                run(db, sql);
            run(db, QStringLiteral("RELEASE SAVEPOINT trigram"));
        } catch (const DatabaseError &) {
            run(db, QStringLiteral("ROLLBACK TO SAVEPOINT trigram"));
        }
        if (!db.commit())
            throw DatabaseError(db.lastError().text());
    } catch (...) {
        db.rollback();
        throw;
    }
}

void checkServerLayout(QSqlDatabase &db)
{
    const QString name = db.databaseName();
    if (!hasServerTable(db, Layout::table)) {
        if (serverTableCount(db) == 0)
            throw DatabaseError(QStringLiteral("数据库 %1 还是空的：请先在一台收银机上运行 fenwo --init-db "
                                               "postgresql://… 建立收银程序的表。")
                                    .arg(name));
        throw DatabaseError(QStringLiteral("数据库 %1 里的表不是收银程序建立的，不能使用。").arg(name));
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select %1 from %2").arg(Layout::version, Layout::table)) || !q.next())
        throw DatabaseError(QStringLiteral("数据库 %1 的版本记录不对，不能使用。").arg(name));
    const int version = q.value(0).toInt();
    if (version > kVersion)
        throw DatabaseError(QStringLiteral("数据库 %1 是新版收银程序建立的（表结构第 %2 版，这个程序只认识到第 %3 版）。"
                                           "请把这台收银机上的程序更新到新版本。")
                                .arg(name)
                                .arg(version)
                                .arg(kVersion));
    if (version < kVersion)
        throw DatabaseError(QStringLiteral("数据库 %1 是旧版收银程序建立的（表结构第 %2 版，这个程序用第 %3 版），"
                                           "这个程序不能使用它。")
                                .arg(name)
                                .arg(version)
                                .arg(kVersion));
}

} // namespace Schema
