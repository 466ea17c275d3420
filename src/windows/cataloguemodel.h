#pragma once

#include "storage/query.h"

#include <QAbstractTableModel>
#include <QHash>

#include <array>
#include <optional>

class Database;

// The product catalogue as an editable table: code, name and unit price of
// the products listed from the catalogue (all of them, or those a search finds).
// Typed text is held on the row until the row is written; at most one row
// carries typed changes (the grid's current row), and a row added at the end
// exists only here until it is written. Writing refuses a row without code
// or name, and a second row with a code already taken. The stock on hand
// is shown beside each product and never typed or written here.
class CatalogueModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CatalogueModel)

public:
    enum Column { Code, Name, Price, Stock, ColumnCount };
    enum class RowState { Browsing, Editing, New };

    explicit CatalogueModel(Database &db, QObject *parent = nullptr);

    // Listing; on hand is read afresh with each. Each one first closes the list, so a statement the database
    // rejects leaves nothing listed (and throws DatabaseError).
    void listAll();
    // Products whose code is like the text as a whole, or whose name contains
    // it, by code; "%" and "_" keep their LIKE meaning, an empty text finds
    // every product.
    void search(const QString &text);
    // Deletes from the table every product search(text) would list, then
    // lists that search again.
    void deleteMatching(const QString &text);
    // Runs the last listing again (stock moves, the products stay); nothing
    // when nothing is listed.
    void listAgain();
    // False before the first listing and after a listing that failed.
    bool isListing() const { return m_query.isOpen(); }

    // Reorders the listed rows by one field; equal values keep their order.
    // The row at keepRow (none when -1) stays the current one; returns the
    // current row after the sort.
    int sortBy(const QString &field, Qt::SortOrder order, int keepRow);

    // The name of every listed row, in list order, typed text included.
    QStringList names() const;

    QString field(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a cell shows: typed text where there is some, else the stored
    // value; on hand as decimal text, below zero marked ("−3 ▲").
    QString text(int row, int column) const;
    // On hand as exact decimal text ("0" for a product that never moved).
    QString onHand(int row) const;

    RowState rowState(int row) const;
    int pendingRow() const { return m_pendingRow; }   // -1 when no row has typed changes or is new
    bool hasTypedChanges() const;

    // Writes the row with typed changes (insert for a new row, update for an
    // edited one). A new row without typed changes is dropped instead. On a
    // refusal the row keeps its typed text and its state. Throws Refusal,
    // ConversionError (price) or DatabaseError.
    void writePendingRow();
    // The grid is about to make another row current: the pending row, if it
    // is not that row, is written (or dropped) first.
    void leaveFor(int row);
    // True while rows come and go: a view then moves its current row or
    // closes editors by itself, which neither writes nor types anything.
    bool isChangingRows() const { return m_changingRows; }
    // Forgets typed changes; a new row disappears.
    void dropPendingRow();

    // Begins an empty new row at the end after writing the pending one;
    // returns its row number.
    int appendRow();
    // Deletes a stored row from the table and the list; a new row is only
    // dropped.
    void removeRowAt(int row);

    // Throws the refusal that writing this row as it stands would meet
    // (missing code or name); the database is not asked.
    void checkRow(int row) const;
    // The cell that refusal is about (Code or Name), or -1 when there is none.
    int refusedColumn(int row) const;

private:
    void remap();
    void requireOpen() const;
    int sourceColumn(int column) const { return m_source[column]; }
    QString storedText(int row, int column) const;
    void clearPending();

    void onReset();
    void onRowAboutToBeInserted(int row);
    void onRowInserted();
    void onRowAboutToBeRemoved(int row);
    void onRowRemoved(int row);
    void onRowChanged(int row);

    Query m_query;
    void readOnHand();

    Database &m_db;
    // Thousandths by code, read when a row is first shown and forgotten at
    // each listing (0 for a product that never moved).
    mutable QHash<QString, qint64> m_onHand;
    std::array<int, ColumnCount> m_source{-1, -1, -1, -1};   // our column -> result column
    int m_pendingRow = -1;
    RowState m_pendingState = RowState::Browsing;
    std::array<std::optional<QString>, ColumnCount> m_typed;
    bool m_writingNewRow = false;
    bool m_changingRows = false;
};
