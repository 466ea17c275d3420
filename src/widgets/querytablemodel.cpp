#include "querytablemodel.h"

#include "storage/query.h"

QueryTableModel::QueryTableModel(Query *query, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(query)
    , m_wanted(std::move(columns))
{
    remap();
    connect(query, &Query::reset, this, [this] {
        beginResetModel();
        remap();
        endResetModel();
    });
    connect(query, &Query::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(query, &Query::rowInserted, this, [this] { endInsertRows(); });
    connect(query, &Query::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(query, &Query::rowRemoved, this, [this] { endRemoveRows(); });
    connect(query, &Query::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void QueryTableModel::remap()
{
    m_source.clear();
    if (m_wanted.isEmpty()) {
        for (int i = 0; i < m_query->columnCount(); ++i)
            m_source << i;
        return;
    }
    for (const Column &c : m_wanted) {
        int found = -1;
        for (int i = 0; i < m_query->columnCount(); ++i)
            if (m_query->columnName(i).compare(c.field, Qt::CaseInsensitive) == 0)
                found = i;
        m_source << found;
    }
}

int QueryTableModel::sourceColumn(int column) const
{
    return m_source.value(column, -1);
}

QString QueryTableModel::fieldAt(int column) const
{
    if (!m_wanted.isEmpty())
        return m_wanted.value(column).field;
    return m_query->columnName(column);
}

int QueryTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_query || !m_query->isOpen())
        return 0;
    return m_query->recordCount();
}

int QueryTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_wanted.isEmpty() ? int(m_source.size()) : int(m_wanted.size());
}

QVariant QueryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int source = sourceColumn(index.column());
    if (source < 0)
        return {};
    if (role == Qt::DisplayRole)
        return m_query->textAt(index.row(), source);
    if (role == Qt::TextAlignmentRole) {
        // Numbers line up on the right, as on a till roll.
        const QVariant v = m_query->valueAt(index.row(), source);
        const bool number = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return {};   // the row marker column carries no numbers
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (!m_wanted.isEmpty()) {
        const Column c = m_wanted.value(section);
        return c.title.isEmpty() ? c.field : c.title;
    }
    return m_query->columnName(section);
}
