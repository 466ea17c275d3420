#pragma once

#include <QDialog>

class Database;
class FlatEdit;
class FlatSpeedButton;

// The sales record to a CSV file for a spreadsheet or the accountant: every
// line, or the lines from one day to another.
class SalesExportDialog final : public QDialog
{
    Q_OBJECT

public:
    SalesExportDialog(Database &db, QWidget *parent = nullptr);

    FlatEdit *fromBox() const { return m_fromBox; }
    FlatEdit *toBox() const { return m_toBox; }
    FlatSpeedButton *exportButton() const { return m_exportButton; }
    FlatSpeedButton *paymentsButton() const { return m_paymentsButton; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }

    // Asks where, writes the file, says how many lines went into it. A date
    // that is not yyyy-mm-dd is refused before anything is asked.
    void exportSales();
    void exportPayments();

private:
    Database &m_db;
    FlatEdit *m_fromBox = nullptr;
    FlatEdit *m_toBox = nullptr;
    FlatSpeedButton *m_exportButton = nullptr;
    FlatSpeedButton *m_paymentsButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
};
