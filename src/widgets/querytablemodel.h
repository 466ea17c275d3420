#pragma once

#include <QAbstractTableModel>


class Query;

// Shows an open result set in a grid: one grid column per chosen result
// column, numbers in their general text, kept in step with the set's changes.
class QueryTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString field;   // column of the result set
        QString title;   // grid title; the field name when empty
    };

    explicit QueryTableModel(Query *query, QList<Column> columns = {}, QObject *parent = nullptr);

    Query *query() const { return m_query; }
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void remap();
    int sourceColumn(int column) const;

    Query *m_query;
    QList<Column> m_wanted;
    QList<int> m_source;   // grid column -> result column (-1 when the set lacks it)
};
