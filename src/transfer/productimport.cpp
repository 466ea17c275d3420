#include "productimport.h"

#include "transfer/csvfields.h"

#include "base/apperror.h"
#include "base/controlcharacters.h"
#include "base/numbertext.h"
#include "storage/database.h"
#include "storage/importmark.h"
#include "storage/preparedstatement.h"
#include "storage/spellingwriter.h"
#include "storage/statements.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlQuery>

#include <algorithm>

namespace {

using namespace CsvFields;

// SQLite's page cache while an import runs, and as it is otherwise.
constexpr int kImportCacheKiB = 64 * 1024;
constexpr int kUsualCacheKiB = 2000;

constexpr qint64 kProgressEvery = 4096;
// From this many rows, and at least half as many as the catalogue holds,
// the indexes whose keys come in no order are built again after the rows.
constexpr qint64 kRebuildIndexesFrom = 20000;

const QStringList &titlesOf(ProductImport::Role role)
{
    static const QStringList name{QStringLiteral("品名"), QStringLiteral("名称"), QStringLiteral("商品名称"),
                                  QStringLiteral("商品名"), QStringLiteral("name")};
    static const QStringList price{QStringLiteral("单价"), QStringLiteral("售价"), QStringLiteral("价格"),
                                   QStringLiteral("零售价"), QStringLiteral("price")};
    switch (role) {
    case ProductImport::Code: return CsvFields::codeTitles();
    case ProductImport::Name: return name;
    default: return price;
    }
}


// A stored price and a price from the file are the same when both are
// missing or both are the same number.
bool samePrice(const QVariant &stored, const QVariant &given)
{
    if (given.isNull())
        return true;   // a missing price keeps the stored one
    if (stored.isNull())
        return false;
    bool ok = false;
    const double value = stored.toDouble(&ok);
    return ok && value == given.toDouble();
}

} // namespace

ProductImport::ProductImport(QString filePath)
    : m_filePath(std::move(filePath))
{
    const QStringList first = firstRow(m_filePath, &m_format, QStringLiteral("编码、品名和单价"));

    const QList<int> found = columnsByTitle(first, {titlesOf(Code), titlesOf(Name), titlesOf(Price)});
    // Titles count when they name at least the code and the name.
    m_hasHeader = found[Code] >= 0 && found[Name] >= 0;
    if (m_hasHeader) {
        m_header = first;
        for (int role = 0; role < RoleCount; ++role)
            m_columns[role] = found[role];
    }
}

QString ProductImport::columnSource(Role role) const
{
    const int column = m_columns[role];
    if (column < 0)
        return QStringLiteral("（没有）");
    const QString place = QStringLiteral("第 %1 列").arg(column + 1);
    if (!m_hasHeader)
        return place;
    return QStringLiteral("%1（%2）").arg(trimmed(m_header.value(column)), place);
}

ProductImport::Row ProductImport::rowOf(const CsvReader &reader, const QStringList &fields) const
{
    Row row;
    row.line = reader.recordLine();
    row.code = field(reader, fields, m_columns[Code], true);
    row.name = field(reader, fields, m_columns[Name], false);
    row.price = trimmed(fields.value(m_columns[Price]));
    double price = 0;
    if (undecodable(fields))
        row.problem = undecodableReason(m_format);
    else if (row.code.isEmpty())
        row.problem = QStringLiteral("编码为空");
    else if (trimmed(row.name).isEmpty())
        row.problem = QStringLiteral("品名为空");
    else if (!row.price.isEmpty() && !tryTextToNumber(row.price, &price))
        row.problem = QStringLiteral("单价不是数字");
    else if (!row.price.isEmpty())
        row.priceValue = price;
    return row;
}

QList<ProductImport::Row> ProductImport::preview(int rows) const
{
    QFile file(m_filePath);
    CsvReader reader(*openFile(file), m_format);
    QList<Row> out;
    QStringList fields;
    bool titles = m_hasHeader;
    while (out.size() < rows && reader.next(&fields)) {
        if (allBlank(fields))
            continue;
        if (titles) {
            titles = false;
            continue;
        }
        out << rowOf(reader, fields);
    }
    return out;
}

ImportReport ProductImport::run(Database &db, Existing existing, const std::function<void(qint64)> &progress) const
{
    QFile file(m_filePath);
    CsvReader reader(*openFile(file), m_format);
    ImportReport report;
    // One statement of a large import runs for seconds on a server: that is
    // not a server that has stopped answering.
    const Database::Patience patience(db);

    db.execute(Statements::importEndRows());
    db.execute(Statements::importStartRows());
    if (!db.isServer()) {
        for (const QString &schema : {QStringLiteral("main"), QStringLiteral("temp")})
            db.execute(Statements::importCache(schema, kImportCacheKiB));
    }
    const auto dropRows = qScopeGuard([&db] {
        try {
            db.execute(Statements::importEndRows());
            if (!db.isServer()) {
                for (const QString &schema : {QStringLiteral("main"), QStringLiteral("temp")})
                    db.execute(Statements::importCache(schema, kUsualCacheKiB));
            }
        } catch (const AppError &) {
        }
    });
    // First the file, into a table of this connection's own: no other
    // till waits while it is read, however long it is.
    qint64 staged = 0;
    {
        Transaction staging(db);
        staged = stageRows(db, reader, progress, &report);
        staging.commit();
    }
    db.execute(Statements::importIndexRows());
    // Then every good row into the catalogue in one transaction, by code:
    // the catalogue's code index is walked in order. Tills on the same file
    // wait for it, as long as it takes, told why.
    const ImportMark mark(db.isServer() ? QString() : db.filePath());
    Transaction writing(db, Transaction::Start::Writing);
    bool rebuild = false;
    if (!db.isServer() && staged >= kRebuildIndexesFrom) {
        QSqlQuery size = db.run(Statements::importCatalogueSize());
        rebuild = size.next() && staged * 2 >= size.value(0).toLongLong();
    }
    // Dropped and built again inside the transaction: a failed import
    // leaves them as they were.
    if (rebuild) {
        for (const Statement &drop : Statements::importDropLaterIndexes())
            db.execute(drop);
    }
    writeRows(db, existing, &report);
    if (rebuild) {
        for (const Statement &build : Statements::importBuildLaterIndexes())
            db.execute(build);
    }
    writing.commit();
    return report;
}

qint64 ProductImport::stageRows(Database &db, CsvReader &reader, const std::function<void(qint64)> &progress,
                              ImportReport *report) const
{
    PreparedStatement stage(db, Statements::importStageRow(0, {}, {}, {}, {}));
    QStringList fields;
    bool titles = m_hasHeader;
    qint64 rowsRead = 0;
    qint64 count = 0;
    while (reader.next(&fields)) {
        if (progress && ++rowsRead % kProgressEvery == 0)
            progress(rowsRead);
        if (allBlank(fields))
            continue;
        if (titles) {
            titles = false;
            continue;
        }
        const Row row = rowOf(reader, fields);
        if (!row.problem.isEmpty()) {
            report->addBadRow({row.line, row.problem, row.code, row.name, row.price});
            continue;
        }
        stage.reset();
        stage.rebind({row.line, row.code, row.name, row.price, row.priceValue});
        stage.step();
        ++count;
    }
    return count;
}

namespace {

// Each row of a statement, its first columns as values. A server's driver
// loses a result still being read when the connection runs another
// statement: there the rows are read whole first.
void forEachRow(Database &db, PreparedStatement &rows, int columns, const std::function<void(const QVariantList &)> &use)
{
    auto current = [&rows, columns] {
        QVariantList values;
        values.reserve(columns);
        for (int column = 0; column < columns; ++column)
            values << rows.value(column);
        return values;
    };
    if (!db.isServer()) {
        while (rows.step())
            use(current());
        return;
    }
    QList<QVariantList> read;
    while (rows.step())
        read << current();
    for (const QVariantList &values : std::as_const(read))
        use(values);
}

} // namespace

void ProductImport::writeRows(Database &db, Existing existing, ImportReport *report) const
{
    auto run = [](PreparedStatement &statement, const QVariantList &params) {
        statement.reset();
        statement.rebind(params);
        return statement.step();
    };
    // Each product written is spelled in pinyin with it, in the same transaction.
    SpellingWriter spellings(db);
    PreparedStatement update(db, Statements::importUpdateProduct({}, {}, {}));
    // A row whose code the catalogue lacks is added below, with the others.
    qint64 fresh = 0;
    auto apply = [&](const QVariantList &row) {
        const QString code = row[1].toString();
        const QString name = row[2].toString();
        if (row[6].isNull()) {
            spellings.add(code, name);
            ++fresh;
            return;
        }
        const QString storedCode = row[6].toString();
        if (existing == Existing::Skip) {
            ++report->skipped;
        } else if (row[7].toString() == name && samePrice(row[8], row[4])) {
            ++report->unchanged;
        } else {
            run(update, {name, row[4], code});
            if (row[7].toString() != name)
                spellings.replace(storedCode, name);
            ++report->updated;
        }
    };

    // Rows come by code as the lookup compares codes, each with its product:
    // the first row of each code is the one imported, later ones are reported.
    ImportReport later;
    QList<qint64> repeated;
    QVariantList pending;   // the first row of a code, applied once the next row shows it meets one product
    qint64 lastLine = -1;
    qint64 firstLine = 0;
    QString lastKey;
    PreparedStatement rows(db, Statements::importRowsWithProducts());
    forEachRow(db, rows, 9, [&](const QVariantList &row) {
        const qint64 line = row[0].toLongLong();
        if (line == lastLine) {
            // A file from before codes were kept apart by letter case may
            // hold "abc" and "ABC": which one the row means cannot be told.
            if (!pending.isEmpty()) {
                QStringList codes{pending[6].toString(), row[6].toString()};
                codes.sort();
                later.addBadRow({line,
                                 QStringLiteral("商品资料里有两个编码只差字母大小写的商品（%1、%2），不知道该改哪一个")
                                     .arg(codes[0], codes[1]),
                                 row[1].toString(), row[2].toString(), row[3].toString()});
                pending.clear();
            }
            return;
        }
        lastLine = line;
        if (!pending.isEmpty())
            apply(pending);
        pending.clear();
        const QString key = row[5].toString();
        if (firstLine > 0 && key == lastKey) {
            later.addBadRow({line, QStringLiteral("编码重复（第 %1 行已有这个编码）").arg(firstLine), row[1].toString(),
                             row[2].toString(), row[3].toString()});
            repeated << line;
            return;
        }
        lastKey = key;
        firstLine = line;
        pending = row;
    });
    if (!pending.isEmpty())
        apply(pending);

    // The new ones all in one statement, in code order.
    PreparedStatement forget(db, Statements::importForgetRow(0));
    for (const qint64 line : std::as_const(repeated))
        run(forget, {line});
    if (fresh > 0)
        report->added = db.execute(Statements::importAddNewRows());
    spellings.finish();
    report->addBadRows(later);
}
