#include "schemaupgrade.h"

#include "base/apperror.h"
#include "base/diskfull.h"
#include "base/partialfile.h"
#include "storage/datafilemessages.h"
#include "storage/pinyinindex.h"
#include "storage/schema.h"
#include "storage/salessummary.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// While a file holds codes that the lookup takes for one, the unique index
// cannot be made: triggers refuse new ones instead, and a plain index serves
// the lookup. Once the codes are set apart the unique index replaces them.
struct CodeCheck
{
    QString name;
    QString type;
    QString statement;
};

const QList<CodeCheck> &codeChecks()
{
    // The message reads as the database's own, so the catalogue window says
    // "the code exists" as for any duplicate code.
    namespace Product = Tables::Catalogue;
    static const QList<CodeCheck> checks = {
        {QStringLiteral("spinfo_code_nocase"), QStringLiteral("index"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_code_nocase ON %1 (%2 COLLATE NOCASE)")
             .arg(Product::table, Product::code)},
        {QStringLiteral("spinfo_code_unique_insert"), QStringLiteral("trigger"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS spinfo_code_unique_insert BEFORE INSERT ON %1 "
                        "WHEN EXISTS (SELECT 1 FROM %1 WHERE %2 = NEW.%2 COLLATE NOCASE) "
                        "BEGIN SELECT RAISE(ABORT, 'UNIQUE constraint failed: %1.%2'); END")
             .arg(Product::table, Product::code)},
        {QStringLiteral("spinfo_code_unique_update"), QStringLiteral("trigger"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS spinfo_code_unique_update BEFORE UPDATE OF %2 ON %1 "
                        "WHEN NEW.%2 IS NOT OLD.%2 AND EXISTS (SELECT 1 FROM %1 "
                        "WHERE %2 = NEW.%2 COLLATE NOCASE AND %2 IS NOT OLD.%2) "
                        "BEGIN SELECT RAISE(ABORT, 'UNIQUE constraint failed: %1.%2'); END")
             .arg(Product::table, Product::code)},
    };
    return checks;
}

// Every code that another code equals as the lookup compares them, grouped.
const QString kCodesAlike = QStringLiteral("SELECT %2 FROM %1 WHERE %2 COLLATE NOCASE IN "
                                           "(SELECT %2 FROM %1 GROUP BY %2 COLLATE NOCASE HAVING COUNT(*) > 1) "
                                           "ORDER BY %2 COLLATE NOCASE, %2")
                                .arg(Tables::Catalogue::table, Tables::Catalogue::code);

struct StoredColumn
{
    QString name;
    QString type;
    bool notNull = false;
    QVariant defaultValue;   // the default's SQL text
    int keyPosition = 0;     // 1-based place in the primary key, 0 when not in it
};

QString quoted(const QString &identifier)
{
    QString inner = identifier;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString errorText(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QList<QVariantList> rows(QSqlDatabase &db, const QString &sql, const QVariantList &params = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DatabaseError(errorText(q.lastError()));
    for (const QVariant &v : params)
        q.addBindValue(v);
    if (!q.exec())
        throw DatabaseError(errorText(q.lastError()));
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        out << row;
    }
    return out;
}

void exec(QSqlDatabase &db, const QString &sql, const QVariantList &params = {})
{
    rows(db, sql, params);
}

QList<StoredColumn> storedColumns(QSqlDatabase &db, const QString &table)
{
    QList<StoredColumn> columns;
    for (const QVariantList &r : rows(db, QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk "
                                                         "FROM pragma_table_info(?) ORDER BY cid"),
                                      {table}))
        columns.append({r[0].toString(), r[1].toString(), r[2].toInt() != 0, r[3], r[4].toInt()});
    return columns;
}

bool hasColumn(const QList<StoredColumn> &columns, const QString &name)
{
    for (const StoredColumn &c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Lower-case name -> name as stored, of every object of a kind.
QHash<QString, QString> storedNames(QSqlDatabase &db, const QString &type)
{
    QHash<QString, QString> names;
    for (const QVariantList &r : rows(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = ?"), {type}))
        names.insert(r[0].toString().toLower(), r[0].toString());
    return names;
}

// The primary key makes an index of its own when it is no alias of the
// rowid: in a table without rowid, or for a key of another kind.
bool hasKeyIndex(QSqlDatabase &db, const QString &table)
{
    for (const QVariantList &r : rows(db, QStringLiteral("SELECT origin FROM pragma_index_list(?)"), {table}))
        if (r[0].toString() == QLatin1String("pk"))
            return true;
    return false;
}

// The row key the program relies on: "id" at position 0, an alias of the
// rowid, so that the database assigns it to each new row.
bool hasRowKey(QSqlDatabase &db, const QString &table, const QList<StoredColumn> &columns)
{
    if (columns.isEmpty() || columns[0].name.compare(Tables::Common::key, Qt::CaseInsensitive) != 0
        || columns[0].type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) != 0 || columns[0].keyPosition != 1)
        return false;
    for (qsizetype i = 1; i < columns.size(); ++i)
        if (columns[i].keyPosition != 0)
            return false;
    return !hasKeyIndex(db, table);
}

// A name for the rowid that no column of the table hides; empty for a table without rowid.
QString rowidName(QSqlDatabase &db, const QString &table, const QList<StoredColumn> &columns)
{
    for (const char *name : {"rowid", "_rowid_", "oid"}) {
        if (hasColumn(columns, QLatin1String(name)))
            continue;
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(QLatin1String(name), quoted(table))))
            return QLatin1String(name);
        return {};
    }
    return {};
}

// SQLite's NOCASE folds ASCII letters only.
QString foldedAsLookup(const QString &code)
{
    QString folded = code;
    for (QChar &c : folded)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return folded;
}

// Work on the data that a new layout asks for, keyed by the layout that
// brought it: a file of an older layout gets each step once, after its
// tables and columns are in place.
struct DataStep
{
    int version;
    void (*run)(QSqlDatabase &db);
};

// Lines carry the Z report that closed them. What an older file's closings
// covered (the lines of their dates in their run of keys) is closed by them;
// a line they passed over goes into the next Z report instead of none.
void markClosedLines(QSqlDatabase &db)
{
    namespace Record = Tables::SalesRecord;
    namespace Closing = Tables::DayClosings;
    const QString closings = QStringLiteral("SELECT %2, %3, %4, %5, %6 FROM %1 ORDER BY %2")
                                 .arg(Closing::table, Closing::number, Closing::afterLine, Closing::lastLine,
                                      Closing::dateFrom, Closing::dateTo);
    const QString mark = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 > ? AND %3 <= ? AND %4 >= ? AND %4 <= ? "
                                        "AND %2 IS NULL")
                             .arg(quoted(Record::table), Record::closing, Record::key, quoted(Record::date));
    for (const QVariantList &closing : rows(db, closings))
        exec(db, mark, closing);
}

// Runs the summary's statements on the upgrade's connection, each prepared once.
template<typename Work>
void withPreparedStatements(QSqlDatabase &db, Work work)
{
    QHash<QString, QSqlQuery> prepared;
    work([&](const Statement &statement) {
        auto it = prepared.find(statement.sql);
        if (it == prepared.end()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.prepare(statement.sql))
                throw DatabaseError(errorText(q.lastError()));
            it = prepared.insert(statement.sql, q);
        }
        // Each statement is prepared once for the many rows; a copy shares
        // it, and none is run again before the last one's rows were read.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QSqlQuery q = *it;
        QT_WARNING_POP
        for (qsizetype i = 0; i < statement.params.size(); ++i)
            q.bindValue(int(i), statement.params.at(i));
        if (!q.exec())
            throw DatabaseError(errorText(q.lastError()));
        return q;
    });
}

// The summary the reports read is made from every line the file holds.
void summariseSalesRecord(QSqlDatabase &db)
{
    withPreparedStatements(db, &SalesSummary::rebuild);
}

// The products' month rows, from the rows by day.
void summariseMonths(QSqlDatabase &db)
{
    withPreparedStatements(db, &SalesSummary::rebuildMonths);
}

// Payment methods come with the payments table; sales recorded before it
// have no payment rows and count as paid in cash.
void addPaymentMethods(QSqlDatabase &db)
{
    if (rows(db, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(Tables::PaymentMethods::table)).isEmpty())
        for (const QString &statement : Schema::builtInPaymentMethods())
            exec(db, statement);
}

const QList<DataStep> &dataSteps()
{
    // Every product gets the pinyin spellings a search finds it by. The
    // summary is made once, after every step that changes what it sums; a
    // file of layout 8 to 11 has one without the payment methods.
    static const QList<DataStep> steps = {
        {7, markClosedLines}, {9, addPaymentMethods}, {10, PinyinIndex::storeAll}, {12, summariseSalesRecord},
        {17, summariseMonths}};
    return steps;
}

} // namespace

SchemaUpgrade::SchemaUpgrade(QSqlDatabase &db, const QString &filePath)
    : m_db(db)
    , m_filePath(QFileInfo(filePath).absoluteFilePath())
{
}

bool SchemaUpgrade::Plan::changesFile() const
{
    return version != Schema::kVersion || !rebuild.isEmpty() || !create.isEmpty() || !statements.isEmpty();
}

OpeningReport SchemaUpgrade::run()
{
    OpeningReport report;
    // Copies that an upgrade killed part-way left half written.
    PartialFile::removeStale(QFileInfo(m_filePath).absolutePath(), partialStem());
    Plan plan = inspect();
    if (plan.changesFile()) {
        const QString copy = keepCopy();
        // A table that others refer to is dropped and made anew while its key
        // is added: references are not checked meanwhile. The switch works
        // only outside a transaction.
        exec(m_db, QStringLiteral("PRAGMA foreign_keys=OFF"));
        try {
            exec(m_db, QStringLiteral("BEGIN IMMEDIATE"));
            try {
                // Again under the lock: another till may have upgraded it meanwhile.
                plan = inspect();
                apply(plan);
                exec(m_db, QStringLiteral("COMMIT"));
            } catch (...) {
                QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
                throw;
            }
        } catch (const DataFileError &) {
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA foreign_keys=ON"));
            QFile::remove(copy);
            throw;
        } catch (const AppError &e) {
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA foreign_keys=ON"));
            QFile::remove(copy);
            throw DataFileError(DataFileMessages::upgradeFailed(QDir::toNativeSeparators(m_filePath), e.message()));
        }
        exec(m_db, QStringLiteral("PRAGMA foreign_keys=ON"));
        if (plan.changesFile())
            report.backupPath = QDir::toNativeSeparators(copy);
        else
            QFile::remove(copy);
    }
    report.codesAlike = plan.codesAlike;
    return report;
}

SchemaUpgrade::Plan SchemaUpgrade::inspect()
{
    Plan plan;
    plan.version = rows(m_db, QStringLiteral("PRAGMA user_version")).value(0).value(0).toInt();
    const QString file = QDir::toNativeSeparators(m_filePath);
    if (plan.version > Schema::kVersion)
        throw DataFileError(DataFileMessages::newer(plan.version, Schema::kVersion, file));

    const QHash<QString, QString> tables = storedNames(m_db, QStringLiteral("table"));
    const QHash<QString, QString> indexes = storedNames(m_db, QStringLiteral("index"));
    const QHash<QString, QString> triggers = storedNames(m_db, QStringLiteral("trigger"));
    QStringList missing;
    for (const Schema::Table &table : Schema::tables()) {
        const QString stored = tables.value(table.name.toLower());
        if (stored.isEmpty()) {
            if (!table.own) {
                missing << DataFileMessages::missingTable(table.name);
                continue;
            }
            plan.create << &table;
        } else {
            const QList<StoredColumn> columns = storedColumns(m_db, stored);
            for (const Schema::Column &column : table.columns) {
                if (column.name == Tables::Common::key || hasColumn(columns, column.name))
                    continue;
                // A column of the program's own comes with the upgrade, with its default.
                if (table.own || column.own)
                    plan.statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                           .arg(quoted(stored), quoted(column.name), QLatin1String(column.type));
                else
                    missing << DataFileMessages::missingColumn(table.name, column.name);
            }
            if (table.columns.first().name == Tables::Common::key && !hasRowKey(m_db, stored, columns))
                plan.rebuild << stored;
        }
        for (const Schema::Sql &statement : table.indexes) {
            const QString &index = statement.in(Dialect::Sqlite);
            const QString name = Schema::indexName(index);
            // The trail's triggers are listed with the indexes.
            if (!index.isEmpty() && name != Schema::kCodeIndex && !indexes.contains(name.toLower())
                && !triggers.contains(name.toLower()))
                plan.statements << index;
        }
    }
    if (!missing.isEmpty())
        throw DataFileError(DataFileMessages::missing(missing, file));
    if (!indexes.contains(Schema::kCodeIndex.toLower()))
        planCodeUniqueness(plan, indexes.keys(), triggers.keys());
    return plan;
}

void SchemaUpgrade::planCodeUniqueness(Plan &plan, const QStringList &indexes, const QStringList &triggers)
{
    plan.codesAlike = findCodesAlike();
    for (const CodeCheck &check : codeChecks()) {
        const bool present = (check.type == QLatin1String("index") ? indexes : triggers).contains(check.name);
        if (plan.codesAlike.isEmpty() && present)
            plan.statements << QStringLiteral("DROP %1 %2").arg(check.type, check.name);
        else if (!plan.codesAlike.isEmpty() && !present)
            plan.statements << check.statement;
    }
    if (plan.codesAlike.isEmpty())
        for (const Schema::Table &table : Schema::tables())
            for (const Schema::Sql &index : table.indexes)
                if (Schema::indexName(index.in(Dialect::Sqlite)) == Schema::kCodeIndex)
                    plan.statements << index.in(Dialect::Sqlite);
}

QList<QStringList> SchemaUpgrade::findCodesAlike()
{
    QList<QStringList> groups;
    QString groupKey;
    for (const QVariantList &r : rows(m_db, kCodesAlike)) {
        const QString code = r[0].toString();
        const QString key = foldedAsLookup(code);
        if (groups.isEmpty() || key != groupKey) {
            groups.append(QStringList());
            groupKey = key;
        }
        groups.last() << code;
    }
    return groups;
}

// A consistent copy made by SQLite itself (a file copy of a database in use
// may catch it half-written), owner-only, written under a hidden name and
// given its own only once complete: a killed upgrade leaves no copy cut
// short under a name that promises a whole one.
QString SchemaUpgrade::keepCopy()
{
    const QString base = QStringLiteral("%1.before-upgrade-%2")
                             .arg(m_filePath, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")));
    QString copy = base;
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = QStringLiteral("%1-%2").arg(base).arg(n);
    const QString folder = QFileInfo(m_filePath).absolutePath();
    try {
        PartialFile partial(folder, partialStem());
        try {
            exec(m_db, QStringLiteral("VACUUM INTO ?"), {partial.path()});
        } catch (const AppError &e) {
            throw FileError(DiskFull::explains(e.message(), partial.path()) ? DiskFull::message(copy) : e.message());
        }
        partial.putInPlace(copy);
    } catch (const FileError &e) {
        throw DataFileError(DataFileMessages::copyFailed(QDir::toNativeSeparators(copy), e.message()));
    }
    return copy;
}

QString SchemaUpgrade::partialStem() const
{
    return QFileInfo(m_filePath).fileName() + QStringLiteral(".before-upgrade");
}

void SchemaUpgrade::apply(const Plan &plan)
{
    for (const QString &table : plan.rebuild)
        rebuildWithRowKey(table);
    for (const Schema::Table *table : plan.create)
        exec(m_db, Schema::createTableStatement(*table));
    for (const QString &statement : plan.statements)
        exec(m_db, statement);
    for (const DataStep &step : dataSteps())
        if (plan.version < step.version)
            step.run(m_db);
    exec(m_db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::kVersion));
}

// SQLite cannot add a primary key to a table: the table is made anew with the
// key first and every column it had after it, and each row is copied in its
// order. The key takes the row's rowid, which is also the value of any
// integer key the table had; a column that was called "id" without being
// such a key is kept as "old_id". Indexes, triggers and unique constraints
// of the table are made again.
void SchemaUpgrade::rebuildWithRowKey(const QString &table)
{
    const QList<StoredColumn> columns = storedColumns(m_db, table);
    const QString rowid = rowidName(m_db, table, columns);
    const bool keyIndex = hasKeyIndex(m_db, table);
    QString keyType;
    for (const Schema::Table &t : Schema::tables())
        if (t.name.compare(table, Qt::CaseInsensitive) == 0)
            keyType = QLatin1String(t.columns.first().type);

    QStringList definitions{QStringLiteral("%1 %2").arg(Tables::Common::key, keyType)};
    QStringList targets;
    QStringList sources;
    if (!rowid.isEmpty()) {
        targets << Tables::Common::key;
        sources << rowid;
    }
    for (const StoredColumn &c : columns) {
        QString name = c.name;
        if (name.compare(Tables::Common::key, Qt::CaseInsensitive) == 0) {
            const bool aliasOfRowid = c.keyPosition == 1 && !keyIndex
                && c.type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
            if (aliasOfRowid)
                continue;   // its values are the rowid, and so the new key
            name = QStringLiteral("old_") + Tables::Common::key;
            for (int n = 2; hasColumn(columns, name); ++n)
                name = QStringLiteral("old_%1%2").arg(Tables::Common::key).arg(n);
        }
        QString definition = quoted(name);
        if (!c.type.isEmpty())
            definition += QLatin1Char(' ') + c.type;
        // A column of the old key is no longer filled by the database.
        if (c.notNull && c.keyPosition == 0)
            definition += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isNull())
            definition += QStringLiteral(" DEFAULT ") + c.defaultValue.toString();
        definitions << definition;
        targets << quoted(name);
        sources << quoted(c.name);
    }

    // Unique constraints and a key of another kind live in automatic indexes,
    // which go with the table.
    QStringList uniques;
    for (const QVariantList &index : rows(m_db, QStringLiteral("SELECT name, origin FROM pragma_index_list(?)"), {table})) {
        const QString origin = index[1].toString();
        if (origin != QLatin1String("u") && origin != QLatin1String("pk"))
            continue;
        QStringList keyColumns;
        for (const QVariantList &c : rows(m_db, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"),
                                          {index[0]}))
            keyColumns << quoted(c[0].toString());
        uniques << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                       .arg(quoted(QStringLiteral("%1_unique_%2").arg(table).arg(uniques.size() + 1)), quoted(table),
                            keyColumns.join(QStringLiteral(", ")));
    }
    QStringList remade;
    for (const QVariantList &r : rows(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? COLLATE NOCASE "
                                                           "AND type IN ('index', 'trigger') AND sql IS NOT NULL "
                                                           "ORDER BY type, name"),
                                      {table}))
        remade << r[0].toString();

    const QString rebuilt = QStringLiteral("fenwo_rebuilt");
    exec(m_db, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(rebuilt), definitions.join(QStringLiteral(", "))));
    exec(m_db, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4%5")
                   .arg(quoted(rebuilt), targets.join(QStringLiteral(", ")), sources.join(QStringLiteral(", ")),
                        quoted(table), rowid.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + rowid));
    exec(m_db, QStringLiteral("DROP TABLE %1").arg(quoted(table)));
    // Views and triggers elsewhere name the table, not the rebuilt one: the
    // rename must leave them as they are.
    exec(m_db, QStringLiteral("PRAGMA legacy_alter_table=ON"));
    exec(m_db, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(rebuilt), quoted(table)));
    exec(m_db, QStringLiteral("PRAGMA legacy_alter_table=OFF"));
    for (const QString &statement : remade + uniques)
        exec(m_db, statement);
}
