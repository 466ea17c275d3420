#include "query.h"

#include "storage/pinyinindex.h"
#include "storage/tables.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "base/numbertext.h"
#include "storage/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

// A value as it is ordered: empty first, numbers by value, text by text.
struct SortKey
{
    int kind = 0;   // 0 empty, 1 number, 2 text
    double number = 0;
    QString text;
};

SortKey sortKey(const QVariant &v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return {1, v.toDouble(), {}};
    default:
        return {2, 0, v.toString()};
    }
}

int compareKeys(const SortKey &a, const SortKey &b)
{
    if (a.kind == 0 || b.kind == 0)
        return a.kind == b.kind ? 0 : (a.kind == 0 ? -1 : 1);
    if (a.kind == 1 && b.kind == 1)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    const QString at = a.kind == 1 ? QString::number(a.number) : a.text;
    const QString bt = b.kind == 1 ? QString::number(b.number) : b.text;
    return at.compare(bt);
}

} // namespace

Query::Query(Database &db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

void Query::setStatement(Statement statement)
{
    close();
    m_statement = std::move(statement);
}

void Query::open()
{
    close();
    QSqlQuery q = m_db.run(m_statement);
    const QSqlRecord record = q.record();
    QStringList columns;
    QHash<QString, int> byName;
    for (int i = 0; i < record.count(); ++i) {
        columns << record.fieldName(i);
        byName.insert(record.fieldName(i).toLower(), i);
    }
    QList<QVariantList> rows;
    const int count = record.count();
    while (q.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row << q.value(i);
        rows << std::move(row);
    }
    if (q.lastError().isValid())
        m_db.fail(q.lastError());

    m_columns = std::move(columns);
    m_columnByName = std::move(byName);
    m_rows = std::move(rows);
    m_state = State::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_eof = m_rows.isEmpty();
    emit reset();
    emit currentRowChanged(m_current);
}

void Query::execute()
{
    close();
    m_db.execute(m_statement);
}

void Query::close()
{
    if (m_state == State::Closed)
        return;
    m_state = State::Closed;
    m_columns.clear();
    m_columnByName.clear();
    m_rows.clear();
    m_buffer.clear();
    m_changed.clear();
    m_current = -1;
    m_eof = true;
    emit reset();
}

void Query::requireOpen() const
{
    if (m_state == State::Closed)
        throw DatabaseError(QStringLiteral("Operation is not allowed when the object is closed"));
}

void Query::requireWritable() const
{
    requireOpen();
    if (m_statement.table.isEmpty())
        throw DatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void Query::requireChanging() const
{
    requireOpen();
    if (m_state != State::Insert && m_state != State::Edit)
        throw DatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
}

void Query::first()
{
    requireOpen();
    moveTo(m_rows.isEmpty() ? -1 : 0);
    m_eof = m_rows.isEmpty();
}

void Query::next()
{
    requireOpen();
    if (m_current + 1 < m_rows.size()) {
        moveTo(m_current + 1);
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Query::moveTo(int row)
{
    if (m_state == State::Insert || m_state == State::Edit)
        cancel();
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(m_current);
}

void Query::setCurrentRow(int row)
{
    requireOpen();
    if (row < 0 || row >= m_rows.size())
        return;
    moveTo(row);
    m_eof = false;
}

int Query::recordCount() const
{
    requireOpen();
    return int(m_rows.size());
}

bool Query::hasColumn(const QString &name) const
{
    return m_columnByName.contains(name.toLower());
}

int Query::columnIndex(const QString &name) const
{
    requireOpen();
    const auto it = m_columnByName.constFind(name.toLower());
    if (it == m_columnByName.constEnd())
        throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return *it;
}

const QVariantList *Query::currentValues() const
{
    if (m_state == State::Insert || m_state == State::Edit)
        return &m_buffer;
    if (m_current < 0 || m_current >= m_rows.size())
        return nullptr;
    return &m_rows[m_current];
}

QVariant Query::value(int position) const
{
    requireOpen();
    if (position < 0 || position >= m_columns.size())
        throw DatabaseError(QStringLiteral("Column %1 is out of range").arg(position));
    const QVariantList *row = currentValues();
    return row ? row->value(position) : QVariant();
}

QVariant Query::value(const QString &column) const
{
    return value(columnIndex(column));
}

QString Query::valueText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatGeneral(value.toDouble());
    default:
        return value.toString();
    }
}

QString Query::text(const QString &column) const
{
    return valueText(value(column));
}

double Query::number(const QString &column) const
{
    return valueNumber(value(column));
}

double Query::numberAt(int row, const QString &column) const
{
    return valueNumber(valueAt(row, columnIndex(column)));
}

double Query::valueNumber(const QVariant &v)
{
    if (v.isNull())
        return 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return v.toDouble();
    default: {
        const QString s = v.toString();
        return s.isEmpty() ? 0 : textToNumber(s);
    }
    }
}

QVariant Query::valueAt(int row, int position) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row].value(position);
}

QString Query::textAt(int row, int position) const
{
    return valueText(valueAt(row, position));
}

void Query::append()
{
    requireWritable();
    if (m_state == State::Insert || m_state == State::Edit)
        cancel();
    m_buffer = QVariantList(m_columns.size());
    m_changed = QList<bool>(m_columns.size(), false);
    m_state = State::Insert;
}

void Query::edit()
{
    requireWritable();
    if (m_state == State::Insert || m_state == State::Edit)
        cancel();
    if (m_rows.isEmpty()) {
        append();
        return;
    }
    m_buffer = m_rows[m_current];
    m_changed = QList<bool>(m_columns.size(), false);
    m_state = State::Edit;
}

void Query::cancel()
{
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    m_buffer.clear();
    m_changed.clear();
    m_state = State::Browse;
}

void Query::setValue(int position, const QVariant &value)
{
    requireChanging();
    if (position < 0 || position >= m_columns.size())
        throw DatabaseError(QStringLiteral("Column %1 is out of range").arg(position));
    m_buffer[position] = value;
    m_changed[position] = true;
}

void Query::setValue(const QString &column, const QVariant &value)
{
    setValue(columnIndex(column), value);
}

void Query::setText(const QString &column, const QString &text)
{
    requireChanging();
    const int position = columnIndex(column);
    if (Schema::isNumberColumn(m_statement.table, m_columns[position])) {
        // Empty text leaves a number column empty; anything else must convert.
        setValue(position, text.isEmpty() ? QVariant() : QVariant(textToNumber(text)));
    } else {
        setValue(position, text);
    }
}

void Query::setNumber(const QString &column, double value)
{
    setValue(column, value);
}

QVariantList Query::keyValues(const QVariantList &row, QStringList *where) const
{
    QVariantList values;
    for (const QString &key : m_statement.keyColumns) {
        const auto it = m_columnByName.constFind(key.toLower());
        if (it == m_columnByName.constEnd())
            throw DatabaseError(QStringLiteral("Insufficient key column information for updating or refreshing"));
        *where << QStringLiteral("%1 = ?").arg(key);
        values << row[*it];
    }
    if (values.isEmpty())
        throw DatabaseError(QStringLiteral("Insufficient key column information for updating or refreshing"));
    return values;
}

QList<int> Query::storedColumns() const
{
    const QStringList stored = Schema::columns(m_statement.table);
    QList<int> positions;
    for (int i = 0; i < m_columns.size(); ++i)
        if (stored.contains(m_columns[i], Qt::CaseInsensitive))
            positions << i;
    return positions;
}

QString Query::columnList(const QList<int> &positions) const
{
    QStringList names;
    for (int i : positions)
        names << m_columns[i];
    return names.join(QStringLiteral(", "));
}

void Query::post()
{
    requireChanging();
    if (m_state == State::Insert)
        postInsert();
    else
        postEdit();
}

void Query::postInsert()
{
    QStringList names;
    QStringList marks;
    QVariantList params;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (!m_changed[i])
            continue;
        names << m_columns[i];
        marks << QStringLiteral("?");
        params << m_buffer[i];
    }
    QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_statement.table)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(m_statement.table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    // The row as the database stored it (its key, defaults, conversions), so
    // that it can be changed or deleted later; both kinds of database hand it
    // back with RETURNING.
    const QList<int> stored = storedColumns();
    if (!stored.isEmpty())
        sql += QStringLiteral(" RETURNING ") + columnList(stored);
    {
        QSqlQuery q = m_db.run({sql, params, {}, {}});
        if (!stored.isEmpty()) {
            if (!q.next())
                m_db.fail(q.lastError());
            for (int i = 0; i < stored.size(); ++i)
                m_buffer[stored[i]] = q.value(i);
        }
    }

    storeSpellings();
    const int row = int(m_rows.size());
    emit rowAboutToBeInserted(row);
    m_rows << m_buffer;
    m_buffer.clear();
    m_changed.clear();
    m_state = State::Browse;
    emit rowInserted(row);
    m_eof = false;
    if (m_current != row) {
        m_current = row;
        emit currentRowChanged(row);
    }
}

void Query::postEdit()
{
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (!m_changed[i])
            continue;
        sets << QStringLiteral("%1 = ?").arg(m_columns[i]);
        params << m_buffer[i];
    }
    if (!sets.isEmpty()) {
        QStringList where;
        params << keyValues(m_rows[m_current], &where);
        // Only the row as it was read is changed: when another till changed
        // or deleted it since, nothing is written and the edit is refused
        // (one till's save never silently undoes another's).
        const QList<int> stored = storedColumns();
        for (int i : stored) {
            if (m_statement.keyColumns.contains(m_columns[i], Qt::CaseInsensitive))
                continue;
            where << QStringLiteral("%1 IS NOT DISTINCT FROM ?").arg(m_columns[i]);
            params << m_rows[m_current][i];
        }
        QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(m_statement.table, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND ")));
        if (!stored.isEmpty())
            sql += QStringLiteral(" RETURNING ") + columnList(stored);
        QSqlQuery q = m_db.run({sql, params, {}, {}});
        const bool found = stored.isEmpty() ? q.numRowsAffected() > 0 : q.next();
        if (!found) {
            if (q.lastError().isValid())
                m_db.fail(q.lastError());
            throw RowChangedElsewhere(QStringLiteral("这一行刚被另一台收银机改过或删除了，没有保存。请重新打开后再改。"));
        }
        for (int i = 0; i < stored.size(); ++i)
            m_buffer[stored[i]] = q.value(i);
        storeSpellings();
    }
    m_rows[m_current] = m_buffer;
    m_buffer.clear();
    m_changed.clear();
    m_state = State::Browse;
    emit rowChanged(m_current);
}

// A product saved in the catalogue is found by its pinyin from then on.
void Query::storeSpellings()
{
    namespace Product = Tables::Catalogue;
    if (m_statement.table.compare(Product::table, Qt::CaseInsensitive) != 0)
        return;
    if (hasColumn(Product::code) && hasColumn(Product::name))
        PinyinIndex::store(m_db, valueText(m_buffer[columnIndex(Product::code)]),
                           valueText(m_buffer[columnIndex(Product::name)]));
}

void Query::remove()
{
    requireWritable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (m_current < 0 || m_current >= m_rows.size())
        throw DatabaseError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted"));
    QStringList where;
    const QVariantList params = keyValues(m_rows[m_current], &where);
    m_db.execute({QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_statement.table, where.join(QStringLiteral(" AND "))),
                  params, {}, {}});
    const int removed = m_current;
    emit rowAboutToBeRemoved(removed);
    m_rows.removeAt(removed);
    emit rowRemoved(removed);
    if (m_current >= m_rows.size())
        m_current = int(m_rows.size()) - 1;
    m_eof = m_rows.isEmpty();
    emit currentRowChanged(m_current);
}

void Query::sort(const QString &column, Qt::SortOrder order)
{
    const int position = columnIndex(column);
    cancel();
    // Each row's key is worked out once, not at every comparison.
    QList<SortKey> keys;
    keys.reserve(m_rows.size());
    for (const QVariantList &row : std::as_const(m_rows))
        keys << sortKey(row[position]);
    QList<int> order_(m_rows.size());
    for (int i = 0; i < order_.size(); ++i)
        order_[i] = i;
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const int c = compareKeys(keys[a], keys[b]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    QList<QVariantList> sorted;
    sorted.reserve(m_rows.size());
    int newCurrent = -1;
    for (int i = 0; i < order_.size(); ++i) {
        if (order_[i] == m_current)
            newCurrent = i;
        sorted << std::move(m_rows[order_[i]]);
    }
    m_rows = std::move(sorted);
    m_current = newCurrent;
    emit reset();
    emit currentRowChanged(m_current);
}
