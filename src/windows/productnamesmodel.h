#pragma once

#include <QAbstractListModel>
#include <QStringList>

class Database;

// The product box's list: every product name once, read from the name index a
// page at a time as the list is scrolled, so that neither the start nor the
// memory of the till grows with the catalogue. Names are kept once read,
// until the list is read again.
class ProductNamesModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductNamesModel)

public:
    explicit ProductNamesModel(Database &db, QObject *parent = nullptr);

    // Forgets the names read and reads the first page afresh (throws
    // DatabaseError when that fails: the list is then empty).
    void reload();

    static constexpr int kPage = 200;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    QStringList nextPage() const;

    Database &m_db;
    QStringList m_names;
    bool m_atEnd = true;
};
