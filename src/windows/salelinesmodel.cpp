#include "salelinesmodel.h"

#include "till/till.h"

namespace {

constexpr int kColumns = int(SaleLine::Field::Amount) + 1;

bool isNumber(SaleLine::Field field)
{
    return field == SaleLine::Field::Quantity || field == SaleLine::Field::Price || field == SaleLine::Field::Amount;
}

}   // namespace

SaleLinesModel::SaleLinesModel(Till &till, QObject *parent)
    : QAbstractTableModel(parent)
    , m_till(till)
{
    connect(&till, &Till::linesAboutToBeReset, this, &SaleLinesModel::beginResetModel);
    connect(&till, &Till::linesReset, this, &SaleLinesModel::endResetModel);
    connect(&till, &Till::lineAboutToBeAdded, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&till, &Till::lineAdded, this, &SaleLinesModel::endInsertRows);
    connect(&till, &Till::lineChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, kColumns - 1)); });
    connect(&till, &Till::lineAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&till, &Till::lineRemoved, this, &SaleLinesModel::endRemoveRows);
    connect(&till, &Till::linesAboutToBeSorted, this,
            [this] { emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint); });
    connect(&till, &Till::linesSorted, this, &SaleLinesModel::followSort);
}

// The current and selected line stay on the same line, wherever it went.
void SaleLinesModel::followSort(const QList<int> &from)
{
    QList<int> to(from.size());
    for (int row = 0; row < from.size(); ++row)
        to[from[row]] = row;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after << index(to.value(old.row(), old.row()), old.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int SaleLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_till.lines().size());
}

int SaleLinesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant SaleLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_till.lines().size())
        return {};
    const SaleLine::Field part = field(index.column());
    if (role == Qt::DisplayRole)
        return m_till.lines().at(index.row()).text(part);
    if (role == Qt::TextAlignmentRole) {
        // Numbers line up on the right, as on a till roll.
        return QVariant::fromValue(Qt::AlignVCenter | (isNumber(part) ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant SaleLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return {};   // the row marker column carries no numbers
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (field(section)) {
    case SaleLine::Field::Code: return QStringLiteral("编码(条形码)");
    case SaleLine::Field::Name: return QStringLiteral("品名");
    case SaleLine::Field::Quantity: return QStringLiteral("数量");
    case SaleLine::Field::Price: return QStringLiteral("单价");
    case SaleLine::Field::Amount: return QStringLiteral("金额");
    }
    return {};
}
