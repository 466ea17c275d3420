#include "productnamesmodel.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/statements.h"

#include <QSqlError>
#include <QSqlQuery>

ProductNamesModel::ProductNamesModel(Database &db, QObject *parent)
    : QAbstractListModel(parent)
    , m_db(db)
{
}

QStringList ProductNamesModel::nextPage() const
{
    // From "" (not a null text, which compares with nothing).
    QSqlQuery rows = m_db.run(Statements::productNamesAfter(m_names.isEmpty() ? QStringLiteral("") : m_names.last(), kPage));
    QStringList page;
    page.reserve(kPage);
    while (rows.next())
        page << Query::valueText(rows.value(0));
    if (rows.lastError().isValid())
        m_db.fail(rows.lastError());
    return page;
}

void ProductNamesModel::reload()
{
    beginResetModel();
    m_names.clear();
    m_atEnd = true;
    try {
        m_names = nextPage();
        m_atEnd = m_names.size() < kPage;
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

int ProductNamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant ProductNamesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_names.at(index.row());
}

bool ProductNamesModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd;
}

void ProductNamesModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_atEnd)
        return;
    QStringList page;
    try {
        page = nextPage();
    } catch (const AppError &) {
        // Asked for by the list as it scrolls, where nothing can be shown: the
        // list ends here until it is read again.
        m_atEnd = true;
        return;
    }
    m_atEnd = page.size() < kPage;
    if (page.isEmpty())
        return;
    const int first = int(m_names.size());
    beginInsertRows({}, first, first + int(page.size()) - 1);
    m_names += page;
    endInsertRows();
}
