#include "cataloguemodel.h"

#include "base/apperror.h"
#include "storage/statements.h"
#include "base/controlcharacters.h"
#include "base/exactdecimal.h"
#include "base/pinyinkeys.h"
#include "reports/stocksheets.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/tables.h"

#include <QColor>
#include <QSqlQuery>
#include <QScopedValueRollback>

namespace {

namespace Product = Tables::Catalogue;

// The text as typed, not trimmed; nothing at all finds everything.
QString searchPattern(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("%") : text;
}

} // namespace

CatalogueModel::CatalogueModel(Database &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(db)
    , m_db(db)
{
    remap();
    connect(&m_query, &Query::reset, this, &CatalogueModel::onReset);
    connect(&m_query, &Query::rowAboutToBeInserted, this, &CatalogueModel::onRowAboutToBeInserted);
    connect(&m_query, &Query::rowInserted, this, &CatalogueModel::onRowInserted);
    connect(&m_query, &Query::rowAboutToBeRemoved, this, &CatalogueModel::onRowAboutToBeRemoved);
    connect(&m_query, &Query::rowRemoved, this, &CatalogueModel::onRowRemoved);
    connect(&m_query, &Query::rowChanged, this, &CatalogueModel::onRowChanged);
}

void CatalogueModel::listAll()
{
    readOnHand();
    m_query.setStatement(Statements::catalogue());
    m_query.open();
}

void CatalogueModel::search(const QString &text)
{
    // Text that could be pinyin also finds products by their spellings.
    const QString spelling = PinyinKeys::typed(text);
    readOnHand();
    m_query.setStatement(spelling.isEmpty()
                             ? Statements::searchCatalogue(searchPattern(text))
                             : Statements::searchCatalogueWithPinyin(searchPattern(text), spelling + QLatin1Char('%')));
    m_query.open();
}

void CatalogueModel::listAgain()
{
    if (!m_query.isOpen())
        return;
    readOnHand();
    m_query.open();
}

void CatalogueModel::deleteMatching(const QString &text)
{
    const QString spelling = PinyinKeys::typed(text);
    m_query.setStatement(spelling.isEmpty() ? Statements::deleteMatchingProducts(searchPattern(text))
                                            : Statements::deleteMatchingProductsWithPinyin(
                                                  searchPattern(text), spelling + QLatin1Char('%')));
    m_query.execute();
    search(text);
}

int CatalogueModel::sortBy(const QString &field, Qt::SortOrder order, int keepRow)
{
    if (keepRow >= 0)
        m_query.setCurrentRow(keepRow);
    m_query.sort(field, order);
    return m_query.currentRow();
}

QStringList CatalogueModel::names() const
{
    const int rows = rowCount();
    QStringList names;
    names.reserve(rows);
    for (int row = 0; row < rows; ++row)
        names << text(row, Name);
    return names;
}

QString CatalogueModel::field(int column) const
{
    switch (column) {
    case Code: return Product::code;
    case Name: return Product::name;
    case Price: return Product::price;
    default: return {};
    }
}

void CatalogueModel::remap()
{
    for (int column = 0; column < ColumnCount; ++column) {
        m_source[column] = -1;
        for (int i = 0; i < m_query.columnCount(); ++i)
            if (m_query.columnName(i).compare(field(column), Qt::CaseInsensitive) == 0)
                m_source[column] = i;
    }
}

void CatalogueModel::requireOpen() const
{
    // A closed result set reports its own error.
    (void)m_query.recordCount();
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_query.isOpen())
        return 0;
    return m_query.recordCount() + (m_pendingState == RowState::New ? 1 : 0);
}

int CatalogueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CatalogueModel::onHand(int row) const
{
    const QString code = storedText(row, Code);
    auto known = m_onHand.constFind(code);
    if (known == m_onHand.cend()) {
        // Asked while a row is drawn: a database that fails here shows an
        // empty cell now and is asked again at the next drawing.
        try {
            QSqlQuery found = m_db.run(Statements::onHandOf(code));
            known = m_onHand.insert(code, found.next() ? found.value(0).toLongLong() : 0);
        } catch (const AppError &) {
            return {};
        }
    }
    return ExactDecimal::fromMilli(*known).text();
}

void CatalogueModel::readOnHand()
{
    m_onHand.clear();
}

QString CatalogueModel::text(int row, int column) const
{
    if (column == Stock) {
        if (row == m_pendingRow && m_pendingState == RowState::New)
            return {};
        return StockSheets::shownQuantity(onHand(row));
    }
    if (row == m_pendingRow && m_typed[column])
        return *m_typed[column];
    if (row == m_pendingRow && m_pendingState == RowState::New)
        return {};
    return storedText(row, column);
}

QString CatalogueModel::storedText(int row, int column) const
{
    return m_query.textAt(row, sourceColumn(column));
}

QVariant CatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        // Prices line up on their last digit, as numbers do.
        if (index.column() == Price || index.column() == Stock)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (index.column() == Stock && index.row() != m_pendingRow
            && StockSheets::isBelowZero(onHand(index.row())))
            return QColor(Qt::red);
        return {};
    default:
        return {};
    }
}

bool CatalogueModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    const int column = index.column();
    // Only the current row carries typing; the grid writes it before moving
    // on. An editor closing because its row goes away hands in nothing.
    if (column == Stock || m_changingRows || (m_pendingRow >= 0 && m_pendingRow != row))
        return false;
    // A scanned code may hold a scanner's GS: codes are kept without control
    // characters, as lookups at the till search them.
    const QString typed = ControlCharacters::removed(value.toString());
    // Opening and leaving a cell without changing its text is no change.
    if (typed == text(row, column))
        return true;
    if (m_pendingRow < 0) {
        m_pendingRow = row;
        m_pendingState = RowState::Editing;
        emit headerDataChanged(Qt::Vertical, row, row);
    }
    m_typed[column] = typed;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // On hand moves with sales, receipts and counts only.
    if (index.column() == Stock)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section == Code)
            return QStringLiteral("编码(条形码)");
        if (section == Stock)
            return QStringLiteral("库存");
        return field(section);
    }
    // The row marker: a new row and a row with unwritten changes stand out.
    switch (rowState(section)) {
    case RowState::New: return QStringLiteral("+");
    case RowState::Editing: return QStringLiteral("*");
    case RowState::Browsing: break;
    }
    return QString();
}

CatalogueModel::RowState CatalogueModel::rowState(int row) const
{
    return row >= 0 && row == m_pendingRow ? m_pendingState : RowState::Browsing;
}

bool CatalogueModel::hasTypedChanges() const
{
    for (const auto &typed : m_typed)
        if (typed)
            return true;
    return false;
}

void CatalogueModel::clearPending()
{
    m_pendingRow = -1;
    m_pendingState = RowState::Browsing;
    m_typed.fill(std::nullopt);
}

void CatalogueModel::checkRow(int row) const
{
    switch (refusedColumn(row)) {
    case Code: throw Refusal(QStringLiteral("请填上编码!"));
    case Name: throw Refusal(QStringLiteral("请填上品名!"));
    default: break;
    }
}

int CatalogueModel::refusedColumn(int row) const
{
    // Blanks count as a code or a name; only nothing at all is refused.
    if (text(row, Code).isEmpty())
        return Code;
    if (text(row, Name).isEmpty())
        return Name;
    return -1;
}

void CatalogueModel::writePendingRow()
{
    if (m_pendingRow < 0)
        return;
    if (!hasTypedChanges()) {
        dropPendingRow();
        return;
    }
    checkRow(m_pendingRow);

    const int row = m_pendingRow;
    const bool isNew = m_pendingState == RowState::New;
    try {
        if (isNew) {
            m_query.append();
        } else {
            m_query.setCurrentRow(row);
            m_query.edit();
        }
        for (int column = 0; column < ColumnCount; ++column)
            if (m_typed[column])
                m_query.setText(field(column), *m_typed[column]);   // a price that is no number throws here
        m_writingNewRow = isNew;
        m_query.post();
        m_writingNewRow = false;
    } catch (const RowChangedElsewhere &) {
        // Another till saved this product since it was listed: its save
        // stands, this one is refused rather than silently undoing it.
        m_writingNewRow = false;
        m_query.cancel();
        throw Refusal(QStringLiteral("警告：这个商品刚被另一台收银机改过或删除了，没有保存。请重新查询，看到最新的内容后再改!"));
    } catch (const DuplicateKeyError &) {
        // Only the database's word that the code is taken is reported as
        // such; any other failure (locked, full, gone) keeps its own message.
        m_writingNewRow = false;
        m_query.cancel();
        throw Refusal(QStringLiteral("警告：该编码已经存在!"));
    } catch (...) {
        m_writingNewRow = false;
        m_query.cancel();
        throw;
    }
    clearPending();
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void CatalogueModel::leaveFor(int row)
{
    if (m_changingRows)
        return;
    if (m_pendingRow >= 0 && m_pendingRow != row)
        writePendingRow();
}

void CatalogueModel::dropPendingRow()
{
    const int row = m_pendingRow;
    if (row < 0)
        return;
    if (m_pendingState == RowState::New) {
        const QScopedValueRollback changing(m_changingRows, true);
        beginRemoveRows({}, row, row);
        clearPending();
        endRemoveRows();
        return;
    }
    clearPending();
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

int CatalogueModel::appendRow()
{
    requireOpen();
    writePendingRow();
    const int row = m_query.recordCount();
    beginInsertRows({}, row, row);
    m_pendingRow = row;
    m_pendingState = RowState::New;
    m_typed.fill(std::nullopt);
    endInsertRows();
    return row;
}

void CatalogueModel::removeRowAt(int row)
{
    requireOpen();
    if (row < 0 || row >= rowCount())
        return;
    if (row == m_pendingRow) {
        const bool wasNew = m_pendingState == RowState::New;
        dropPendingRow();
        if (wasNew)
            return;   // never written: nothing to delete in the table
    }
    m_query.setCurrentRow(row);
    m_query.remove();
}

void CatalogueModel::onReset()
{
    const QScopedValueRollback changing(m_changingRows, true);
    beginResetModel();
    remap();
    clearPending();
    endResetModel();
}

// The result set announces a row before it comes or goes and again after;
// views hear of it in the same two steps.
void CatalogueModel::onRowAboutToBeInserted(int row)
{
    // A written new row is already on show in the same place.
    if (m_writingNewRow)
        return;
    m_changingRows = true;
    beginInsertRows({}, row, row);
}

void CatalogueModel::onRowInserted()
{
    if (m_writingNewRow)
        return;
    endInsertRows();
    m_changingRows = false;
}

void CatalogueModel::onRowAboutToBeRemoved(int row)
{
    m_changingRows = true;
    beginRemoveRows({}, row, row);
}

void CatalogueModel::onRowRemoved(int row)
{
    if (m_pendingRow > row)
        --m_pendingRow;
    endRemoveRows();
    m_changingRows = false;
}

void CatalogueModel::onRowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
