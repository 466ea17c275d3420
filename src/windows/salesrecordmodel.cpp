#include "salesrecordmodel.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "base/numbertext.h"
#include "storage/query.h"
#include "storage/preparedstatement.h"
#include "storage/rowwalk.h"
#include "reports/salesreport.h"
#include "storage/statements.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kPageRows = 128;
constexpr int kPagesKept = 8;

// A value in the order SQLite sorts a column without a collation of its own
// (ORDER BY 日期), and PostgreSQL with the "C" collation: empty, then
// numbers, then text byte by byte.
struct SortValue
{
    int rank = 0;   // 0 empty, 1 number, 2 text
    double number = 0;
    const char *bytes = nullptr;
    int size = 0;

    static SortValue of(const RowWalk &row, int column)
    {
        SortValue v;
        switch (row.kind(column)) {
        case RowWalk::Kind::Empty:
            break;
        case RowWalk::Kind::Number:
            v.rank = 1;
            v.number = row.number(column);
            break;
        case RowWalk::Kind::Text: {
            v.rank = 2;
            const QByteArrayView text = row.bytes(column);
            v.bytes = text.data();
            v.size = int(text.size());
            break;
        }
        }
        return v;
    }

    int compare(const SortValue &other) const
    {
        if (rank != other.rank)
            return rank < other.rank ? -1 : 1;
        if (rank == 1)
            return number < other.number ? -1 : (number > other.number ? 1 : 0);
        const int common = std::min(size, other.size);
        const int c = common ? std::memcmp(bytes, other.bytes, size_t(common)) : 0;
        if (c != 0)
            return c < 0 ? -1 : 1;
        return size < other.size ? -1 : (size > other.size ? 1 : 0);
    }
};

// The last date seen, with its own copy of the bytes (the row's go with the next step).
class KeptValue
{
public:
    const SortValue &value() const { return m_value; }
    void keep(const SortValue &v)
    {
        m_value = v;
        m_bytes = QByteArray(v.bytes, v.size);
        m_value.bytes = m_bytes.constData();
    }

private:
    SortValue m_value;
    QByteArray m_bytes;
};

} // namespace

SalesRecordModel::SalesRecordModel(Database &db, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
    , m_columns(std::move(columns))
{
}

void SalesRecordModel::close()
{
    beginResetModel();
    m_open = false;
    std::vector<qint64>().swap(m_keys);   // give the memory back, not just the rows
    m_lastKey = 0;
    m_pages.clear();
    m_pageUse.clear();
    endResetModel();
}

// The totals are exact decimal sums of the numbers as the grid shows them, so
// neither the order of the lines nor binary tails change a digit; the
// database's sum() adds in double precision and would. Lines are nearly
// always recorded date after date, and then the order of the row keys, read
// straight down the table, is already the newest-date-first order; only when
// some line breaks that (a date typed by hand) is the walk made again along
// the date index.
void SalesRecordModel::open()
{
    // The keys' buffer is reused from one opening to the next, so that a
    // showing does not fault in fresh memory for a million keys.
    std::vector<qint64> keys;
    keys.swap(m_keys);
    keys.clear();
    close();

    Totals totals;
    bool inDateOrder = true;
    {
        RowWalk row(m_db, Statements::recordWalkByKey(m_till));
        KeptValue previousDate;
        while (row.step()) {
            const SortValue date = SortValue::of(row, 3);
            if (keys.empty()) {
                previousDate.keep(date);
            } else if (const int c = date.compare(previousDate.value()); c != 0) {
                if (c > 0) {
                    inDateOrder = false;
                    break;
                }
                previousDate.keep(date);
            }
            keys.push_back(row.key(0));
            totals.quantity.add(row.numberOrZero(1));
            totals.amount.add(row.numberOrZero(2));
        }
    }
    qint64 lastKey = keys.empty() ? 0 : keys.front();
    if (!inDateOrder) {
        keys.clear();
        totals = {};
        RowWalk row(m_db, Statements::recordWalkByDate(m_till));
        while (row.step()) {
            const qint64 key = row.key(0);
            keys.push_back(key);
            lastKey = std::max(lastKey, key);
            totals.quantity.add(row.numberOrZero(1));
            totals.amount.add(row.numberOrZero(2));
        }
    }
    if (keys.size() > size_t(std::numeric_limits<int>::max()))
        throw DatabaseError(QStringLiteral("Too many sales record lines to list"));

    beginResetModel();
    m_keys = std::move(keys);
    m_lastKey = lastKey;
    m_totals = totals;
    m_open = true;
    m_readFailed = false;
    endResetModel();
}

QList<int> SalesRecordModel::tills() const
{
    return SalesReport::tills(m_db);
}

void SalesRecordModel::requireOpen() const
{
    if (!m_open)
        throw DatabaseError(QStringLiteral("Operation is not allowed when the object is closed"));
}

// Ranks of the clicked column's values, one per listed line in the order
// shown: equal values share a rank, a higher rank sorts later. Values compare
// as the program's result sets compare them: empty first, numbers by value,
// text by its characters, and a number against text as text.
std::vector<quint32> SalesRecordModel::ranksOfRows(const QString &field) const
{
    const size_t n = m_keys.size();

    // The row each key is listed on. Keys are nearly always one unbroken run.
    const auto [low, high] = std::minmax_element(m_keys.begin(), m_keys.end());
    const qint64 first = *low;
    const bool dense = size_t(*high - *low) + 1 == n;
    std::vector<quint32> rowOfKey;                          // dense: by key - first
    std::vector<std::pair<qint64, quint32>> keyRows;        // otherwise: sorted by key
    if (dense) {
        rowOfKey.resize(n);
        for (size_t row = 0; row < n; ++row)
            rowOfKey[size_t(m_keys[row] - first)] = quint32(row);
    } else {
        keyRows.reserve(n);
        for (size_t row = 0; row < n; ++row)
            keyRows.emplace_back(m_keys[row], quint32(row));
        std::sort(keyRows.begin(), keyRows.end());
    }
    auto rowOf = [&](qint64 key) -> qint64 {
        if (dense)
            return key >= first && size_t(key - first) < n ? qint64(rowOfKey[size_t(key - first)]) : -1;
        const auto it = std::lower_bound(keyRows.begin(), keyRows.end(), std::pair<qint64, quint32>(key, 0));
        return it != keyRows.end() && it->first == key ? qint64(it->second) : -1;
    };

    enum : quint8 { Empty, Number, Text };
    std::vector<quint8> kinds(n, Empty);     // by listed row; a line not met stays empty
    std::vector<double> values(n, 0.0);      // the number, or the index of the text
    std::vector<QByteArray> texts;           // distinct texts
    QHash<QByteArray, quint32> textIndex;
    {
        RowWalk line(m_db, Statements::recordFieldUpTo(field, m_lastKey));
        while (line.step()) {
            const qint64 row = rowOf(line.key(0));
            if (row < 0)
                continue;
            switch (line.kind(1)) {
            case RowWalk::Kind::Empty:
                break;
            case RowWalk::Kind::Number: {
                const double v = line.number(1);
                kinds[size_t(row)] = Number;
                values[size_t(row)] = v == 0 ? 0.0 : v;   // -0 and 0 are one value
                break;
            }
            case RowWalk::Kind::Text: {
                const QByteArrayView text = line.bytes(1);
                const QByteArray raw = QByteArray::fromRawData(text.data(), text.size());
                auto it = textIndex.constFind(raw);
                if (it == textIndex.constEnd()) {
                    texts.emplace_back(raw.constData(), raw.size());
                    it = textIndex.insert(texts.back(), quint32(texts.size() - 1));
                }
                kinds[size_t(row)] = Text;
                values[size_t(row)] = double(*it);
                break;
            }
            }
        }
    }
    textIndex.clear();
    std::vector<quint32>().swap(rowOfKey);
    std::vector<std::pair<qint64, quint32>>().swap(keyRows);

    std::vector<double> numbers;
    bool anyEmpty = false;
    for (size_t row = 0; row < n; ++row) {
        if (kinds[row] == Number)
            numbers.push_back(values[row]);
        anyEmpty = anyEmpty || kinds[row] == Empty;
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    std::vector<QString> strings;
    strings.reserve(texts.size());
    for (const QByteArray &t : texts)
        strings.push_back(QString::fromUtf8(t));
    std::vector<QByteArray>().swap(texts);

    // Distinct values in order: numbers as indexes 0.., texts after them.
    const quint32 textBase = quint32(numbers.size());
    std::vector<quint32> distinct(numbers.size() + strings.size());
    for (quint32 i = 0; i < distinct.size(); ++i)
        distinct[i] = i;
    const bool mixed = !numbers.empty() && !strings.empty();
    std::vector<QString> numberTexts;
    if (mixed) {
        numberTexts.reserve(numbers.size());
        for (double v : numbers)
            numberTexts.push_back(QVariant(v).toString());
    }
    auto compare = [&](quint32 a, quint32 b) {
        const bool aText = a >= textBase;
        const bool bText = b >= textBase;
        if (!aText && !bText)
            return numbers[a] < numbers[b] ? -1 : (numbers[a] > numbers[b] ? 1 : 0);
        const QString &x = aText ? strings[a - textBase] : numberTexts[a];
        const QString &y = bText ? strings[b - textBase] : numberTexts[b];
        return x.compare(y);
    };
    // Numbers are in order already; only text (or a column of both) needs sorting.
    std::stable_sort(distinct.begin() + (mixed ? 0 : textBase), distinct.end(),
                     [&](quint32 a, quint32 b) { return compare(a, b) < 0; });

    std::vector<quint32> rankOf(distinct.size());
    quint32 next = anyEmpty ? 1 : 0;
    for (size_t i = 0; i < distinct.size(); ++i) {
        if (i > 0 && compare(distinct[i - 1], distinct[i]) != 0)
            ++next;
        rankOf[distinct[i]] = next;
    }

    std::vector<quint32> ranks(n, 0);
    for (size_t row = 0; row < n; ++row) {
        if (kinds[row] == Number)
            ranks[row] = rankOf[size_t(std::lower_bound(numbers.begin(), numbers.end(), values[row]) - numbers.begin())];
        else if (kinds[row] == Text)
            ranks[row] = rankOf[textBase + quint32(values[row])];
    }
    return ranks;
}

int SalesRecordModel::sortBy(const QString &field, Qt::SortOrder order, int keepRow)
{
    requireOpen();
    Statements::recordFieldUpTo(field, m_lastKey);   // refuses a column the table lacks
    const size_t n = m_keys.size();
    if (n < 2)
        return keepRow;

    // A counting sort over the ranks: stable, so equal values keep the
    // present order, and linear in the number of lines.
    const std::vector<quint32> ranks = ranksOfRows(field);
    const quint32 top = *std::max_element(ranks.begin(), ranks.end());
    auto bucket = [&](size_t row) { return order == Qt::AscendingOrder ? ranks[row] : top - ranks[row]; };
    std::vector<quint32> start(size_t(top) + 2, 0);
    for (size_t row = 0; row < n; ++row)
        ++start[bucket(row) + 1];
    for (size_t b = 1; b < start.size(); ++b)
        start[b] += start[b - 1];
    std::vector<qint64> sorted(n);
    int kept = -1;
    for (size_t row = 0; row < n; ++row) {
        const quint32 to = start[bucket(row)]++;
        sorted[to] = m_keys[row];
        if (int(row) == keepRow)
            kept = int(to);
    }

    beginResetModel();
    m_keys.swap(sorted);
    m_pages.clear();
    m_pageUse.clear();
    endResetModel();
    return kept;
}

QString SalesRecordModel::fieldAt(int column) const
{
    return m_columns.value(column).field;
}

qint64 SalesRecordModel::rowKey(int row) const
{
    return row >= 0 && size_t(row) < m_keys.size() ? m_keys[size_t(row)] : -1;
}

void SalesRecordModel::loadPage(int page) const
{
    QStringList fields;
    for (const Column &c : m_columns)
        fields << c.field;
    PreparedStatement line(m_db, Statements::recordFieldsByKey(fields));
    const size_t first = size_t(page) * kPageRows;
    const size_t end = std::min(first + kPageRows, m_keys.size());
    Page loaded;
    loaded.rows.reserve(end - first);
    for (size_t row = first; row < end; ++row) {
        line.rebind({QVariant(m_keys[row])});
        QStringList texts;
        texts.reserve(fields.size());
        if (line.step()) {
            for (int c = 0; c < fields.size(); ++c)
                texts << Query::valueText(line.value(c));
        } else {
            texts.resize(fields.size());
        }
        line.reset();
        loaded.rows.push_back(std::move(texts));
    }
    m_pages.insert(page, std::move(loaded));
    m_pageUse.append(page);
    while (m_pageUse.size() > kPagesKept)
        m_pages.remove(m_pageUse.takeFirst());
}

const QStringList *SalesRecordModel::rowTexts(int row) const
{
    if (row < 0 || size_t(row) >= m_keys.size())
        return nullptr;
    const int page = row / kPageRows;
    auto it = m_pages.constFind(page);
    if (it == m_pages.constEnd()) {
        try {
            loadPage(page);
        } catch (const AppError &e) {
            // Drawing cannot stop for a box; the window shows it afterwards.
            if (!m_readFailed) {
                m_readFailed = true;
                emit readFailed(e.message());
            }
            return nullptr;
        }
        it = m_pages.constFind(page);
    } else if (m_pageUse.last() != page) {
        m_pageUse.removeOne(page);
        m_pageUse.append(page);
    }
    return &it->rows[size_t(row - page * kPageRows)];
}

QString SalesRecordModel::text(int row, int column) const
{
    const QStringList *texts = rowTexts(row);
    return texts ? texts->value(column) : QString();
}

int SalesRecordModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

int SalesRecordModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant SalesRecordModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return text(index.row(), index.column());
}

QVariant SalesRecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return QString();   // the row indicator column carries no numbers
    const Column c = m_columns.value(section);
    return c.title.isEmpty() ? c.field : c.title;
}

Qt::ItemFlags SalesRecordModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
