#pragma once

#include "base/decimalsum.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

#include <vector>

class Database;

// Every line of the sales record, newest date first, with the totals of
// quantity and amount, for a grid over a table that only grows (half a
// million lines a year is ordinary).
//
// Opening walks the table once and keeps only the row keys in the order the
// grid shows them; a cell's text is read when the grid asks for it, a page
// of lines at a time, and only a few pages are kept. The view ends at the
// highest key seen when it was opened: lines recorded afterwards have higher
// keys and appear only at the next opening.
class SalesRecordModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SalesRecordModel)

public:
    struct Column
    {
        QString field;   // column of the sales record (Tables::SalesRecord)
        QString title;   // grid title; the field name when empty
    };

    struct Totals
    {
        DecimalSum quantity;
        DecimalSum amount;
    };

    SalesRecordModel(Database &db, QList<Column> columns, QObject *parent = nullptr);

    // Reads the table afresh: lines newest date first (the highest key first
    // among lines of one date), and both totals, the exact decimal sums of
    // the quantities and amounts as shown. Closes first; stays closed when
    // reading fails (throws DatabaseError or ConversionError).
    void open();
    void close();
    bool isOpen() const { return m_open; }

    // Every till number the sales record holds lines of, in order.
    QList<int> tills() const;
    // Lines of one till only (0: of every till), from the next opening on.
    void setTillFilter(int till) { m_till = till; }
    int tillFilter() const { return m_till; }
    const Totals &totals() const { return m_totals; }

    // Reorders the listed lines by one column, numbers by value and text by
    // its characters, empty values first; lines with equal values keep their
    // present order. Nothing is read that the opening did not list. Returns
    // the new row of the line that was at keepRow (-1 when keepRow is none).
    int sortBy(const QString &field, Qt::SortOrder order, int keepRow);

    QString fieldAt(int column) const;
    qint64 rowKey(int row) const;
    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A page of lines could not be read while the grid was drawn; sent once
    // per opening, for the window to show.
    void readFailed(const QString &message) const;

private:
    struct Page
    {
        std::vector<QStringList> rows;
    };

    void requireOpen() const;
    const QStringList *rowTexts(int row) const;
    void loadPage(int page) const;
    std::vector<quint32> ranksOfRows(const QString &field) const;

    Database &m_db;
    QList<Column> m_columns;
    bool m_open = false;
    std::vector<qint64> m_keys;   // row keys in the order shown
    qint64 m_lastKey = 0;         // the view ends here
    int m_till = 0;               // 0: every till
    Totals m_totals;

    mutable QHash<int, Page> m_pages;
    mutable QList<int> m_pageUse;   // most recently used last
    mutable bool m_readFailed = false;
};
