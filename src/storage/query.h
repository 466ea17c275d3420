#pragma once

#include "storage/statements.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QVariant>

class Database;

// An open result set with a current row, as the windows use it: walk it, read
// columns by name or position, change rows through it (append / edit / post /
// delete write to the table at once) and sort it without asking the database
// again. All rows are held in memory once the statement has run.
class Query final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Query)

public:
    enum class State { Closed, Browse, Insert, Edit };

    explicit Query(Database &db, QObject *parent = nullptr);

    // Closing first, as every statement change does.
    void setStatement(Statement statement);
    const Statement &statement() const { return m_statement; }

    void open();     // runs the statement; the first row becomes current
    void execute();  // runs a statement that yields no rows
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    State state() const { return m_state; }

    // Walking. eof() turns true when next() passes the last row (the last row
    // stays current), and is true at once for an empty set.
    void first();
    void next();
    bool eof() const { return m_eof; }
    int recordCount() const;
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // Columns of the result.
    int columnCount() const { return int(m_columns.size()); }
    QString columnName(int position) const { return m_columns.value(position); }
    bool hasColumn(const QString &name) const;

    // Values of the current row (or of the row being appended or edited). An
    // empty value reads as "" or 0; a column the set lacks throws.
    QString text(const QString &column) const;
    double number(const QString &column) const;
    QVariant value(const QString &column) const;
    QVariant value(int position) const;

    // Values of any row, for grids.
    QVariant valueAt(int row, int position) const;
    QString textAt(int row, int position) const;
    // A column of any row read as number() reads it, without moving the current row.
    double numberAt(int row, const QString &column) const;

    // Changing rows.
    void append();   // begins a new row at the end
    void edit();     // begins changing the current row; on an empty set, appends
    void post();     // writes the appended or edited row
    void cancel();   // drops an append or edit that was not posted
    void remove();   // deletes the current row; the next (or new last) row becomes current
    void setText(const QString &column, const QString &text);
    void setNumber(const QString &column, double value);
    void setValue(const QString &column, const QVariant &value);
    void setValue(int position, const QVariant &value);

    // Orders the rows held by one column; lasts until the set is closed.
    void sort(const QString &column, Qt::SortOrder order);

    // The general text of a stored value ("" for an empty one), and the
    // number it reads as (0 for an empty one; text that is no number throws
    // ConversionError).
    static QString valueText(const QVariant &value);
    static double valueNumber(const QVariant &value);

signals:
    void reset();
    // Views must hear of a row before it comes or goes, and again after.
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowChanged(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);

private:
    int columnIndex(const QString &name) const;
    void requireOpen() const;
    void requireWritable() const;
    void requireChanging() const;
    const QVariantList *currentValues() const;
    void moveTo(int row);
    QVariantList keyValues(const QVariantList &row, QStringList *where) const;
    void postInsert();
    void postEdit();
    void storeSpellings();
    QList<int> storedColumns() const;   // positions of the result's columns the table stores
    QString columnList(const QList<int> &positions) const;

    Database &m_db;
    Statement m_statement;
    State m_state = State::Closed;
    QStringList m_columns;
    QHash<QString, int> m_columnByName;   // lower-case name -> position
    QList<QVariantList> m_rows;
    int m_current = -1;
    bool m_eof = true;
    QVariantList m_buffer;                // the row being appended or edited
    QList<bool> m_changed;
};
