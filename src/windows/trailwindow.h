#pragma once

#include "storage/auditlog.h"

#include <QDialog>
#include <QList>

class Database;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

// The owner's trail (操作记录): what was deleted, emptied, repriced,
// discounted, reprinted, opened without a sale, closed by a Z report or
// returned, filtered by day, till, cashier and kind, with the voided
// amounts per cashier, and saved as a CSV file.
class TrailWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrailWindow)

public:
    TrailWindow(Database &db, QWidget *parent);

    QDateEdit *fromBox() const { return m_fromBox; }
    QDateEdit *toBox() const { return m_toBox; }
    QSpinBox *tillBox() const { return m_tillBox; }
    QLineEdit *cashierBox() const { return m_cashierBox; }
    QComboBox *kindBox() const { return m_kindBox; }
    QTableWidget *rowsGrid() const { return m_rowsGrid; }
    QLabel *voidsLabel() const { return m_voidsLabel; }

    // Reads the rows the filters name.
    void showRows();
    // Writes the rows shown to the file.
    void exportTo(const QString &path);

private:
    void buildControls();
    void askExport();

    Database &m_db;
    QList<AuditLog::Row> m_rows;
    QDateEdit *m_fromBox = nullptr;
    QDateEdit *m_toBox = nullptr;
    QSpinBox *m_tillBox = nullptr;
    QLineEdit *m_cashierBox = nullptr;
    QComboBox *m_kindBox = nullptr;
    QTableWidget *m_rowsGrid = nullptr;
    QLabel *m_voidsLabel = nullptr;
};
