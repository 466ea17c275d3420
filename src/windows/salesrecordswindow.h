#pragma once

#include "sidewindow.h"

class QLabel;
class QTableView;
class SalesRecordModel;
class FlatPanel;
class FlatSpeedButton;

// Every recorded sale line, newest date first, with the total quantity and
// the total amount over the whole table. Only reads: the receipt printing
// writes the lines. Each showing reads the table afresh; lines printed while
// the window is open appear at its next showing.
class SalesRecordsWindow final : public SideWindow
{
    Q_OBJECT

public:
    SalesRecordsWindow(Database &db, QWidget *mainWindow);

    // Controls, named as on the screen, in painting order.
    QLabel *Image2;
    QLabel *Label15;                      // title shadow
    QLabel *Label14;                      // title
    FlatSpeedButton *FlatSpeedButton2;   // close mark in the picture
    FlatSpeedButton *FlatSpeedButton6;   // close (Esc)
    QLabel *Label17;                      // web page
    QTableView *DBGrid1;
    FlatPanel *FlatPanel2;
    QLabel *Label5;
    QLabel *Label12;                      // total quantity
    QLabel *Label9;
    QLabel *Label13;                      // total amount

    // The listed lines: what the grid shows and what the totals add up.
    SalesRecordModel *AdoQueryRecord;

    // Handlers.
    void FormKeyDown(int key);
    void DBGrid1TitleClick(const QString &field);
    void FlatSpeedButton6Click();
    void Label17Click();

    // The direction of the next title click: descending while false.
    bool sortToggle() const { return m_sortToggle; }

protected:
    void FormShow() override;
    void previewKey(const QKeyEvent &event) override;

private:
    void buildControls();
    void connectHandlers();
    void makeCurrent(int row, int column);

    bool m_sortToggle = false;
};
