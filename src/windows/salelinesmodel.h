#pragma once

#include "till/saleline.h"

#include <QAbstractTableModel>

class Till;

// The open sale's lines for the cashier screen's grid: one row per line of
// the till, one column per part of a line (SaleLine::Field, in that order),
// kept in step with every change the till makes.
class SaleLinesModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SaleLinesModel)

public:
    explicit SaleLinesModel(Till &till, QObject *parent = nullptr);

    // The part of a line a grid column shows.
    static SaleLine::Field field(int column) { return SaleLine::Field(column); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void followSort(const QList<int> &from);

    Till &m_till;
};
