#pragma once

#include "windows/sidewindow.h"

#include <functional>

class QLabel;
class QTableView;
class SalesRecordModel;
class FlatComboBox;
class FlatSpeedButton;
class FlatEdit;
class ReceiptSink;

// Every recorded sale line, newest date first, with the total quantity and
// the total amount over the whole table, or over the lines of one till. Only
// reads: the receipt printing writes the lines. Each showing reads the table afresh; lines printed while
// the window is open appear at its next showing. A past receipt, chosen by
// a click on one of its lines or typed, can be printed again from here.
class SalesRecordsWindow final : public SideWindow
{
    Q_OBJECT

public:
    using PrinterSource = std::function<ReceiptSink &()>;

    // printer: the receipt printer of the cashier screen, asked for at each reprint.
    SalesRecordsWindow(Database &db, QWidget *mainWindow, PrinterSource printer = {});

    QTableView *grid() const { return m_grid; }
    QLabel *totalQuantityLabel() const { return m_totalQuantityLabel; }
    QLabel *totalAmountLabel() const { return m_totalAmountLabel; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }
    FlatSpeedButton *exportButton() const { return m_exportButton; }
    // The till whose lines are listed: 全部 (every till) or one of those the
    // record holds lines of.
    FlatComboBox *tillBox() const { return m_tillBox; }
    FlatEdit *receiptNumberBox() const { return m_receiptNumberBox; }
    FlatSpeedButton *reprintButton() const { return m_reprintButton; }
    FlatSpeedButton *reportsButton() const { return m_reportsButton; }
    // The listed lines: what the grid shows and what the totals add up.
    SalesRecordModel *records() const { return m_records; }

    // A title click: reorders the listed lines by that column.
    void sortByColumn(const QString &field);
    // The lines of all days or some days to a CSV file ("导出…").
    void exportSales();
    // Lists the lines of one till (0: of every till), with their totals.
    void showTill(int till);

    // The direction of the next title click: descending while false.
    bool sortToggle() const { return m_sortToggle; }

    // Prints the receipt whose number is in the receipt number box again
    // (the reprint button, Enter in the box); nothing is recorded.
    void reprintReceipt();

signals:
    // The reports button: the cashier screen opens its reports window.
    void reportsAsked();

protected:
    void reload() override;

private:
    void buildControls();
    void connectHandlers();
    void makeCurrent(int row, int column);
    void listLines();

    SalesRecordModel *m_records = nullptr;
    FlatSpeedButton *m_closeSpot = nullptr;   // close mark in the picture
    FlatSpeedButton *m_closeButton = nullptr;
    FlatSpeedButton *m_exportButton = nullptr;
    FlatComboBox *m_tillBox = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_totalQuantityLabel = nullptr;
    QLabel *m_totalAmountLabel = nullptr;

    QList<int> m_tills;   // the tills the box offers after 全部
    bool m_sortToggle = false;

    PrinterSource m_printer;
    FlatEdit *m_receiptNumberBox = nullptr;
    FlatSpeedButton *m_reprintButton = nullptr;
    FlatSpeedButton *m_reportsButton = nullptr;
};
