#pragma once

#include "db/database.h"
#include "db/query.h"
#include "db/receiptnumber.h"
#include "widgets/keypreview.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class DataGrid;
class FlatCheckBox;
class FlatComboBox;
class FlatEdit;
class FlatPanel;
class FlatSpeedButton;
class SkinButton;
class CatalogueWindow;
class ShopSettingsWindow;
class SalesRecordsWindow;
class ReceiptPrinter;
struct ReceiptInput;

// The cashier screen. It owns the connection to the shop's database, the
// header of the sale, the sale entry, the totals and the payment boxes, and
// opens the three side windows.
class CashierWindow final : public QWidget, public KeyPreview
{
    Q_OBJECT

public:
    // databasePath: the file to open; data.db beside the program by default.
    explicit CashierWindow(const QString &databasePath = Database::defaultPath(), QWidget *parent = nullptr);
    ~CashierWindow() override;

    Database &database() { return m_db; }

    // The controls, for tests and the window's own helpers.
    FlatComboBox *productBox() const { return FlatComboBox1; }
    FlatEdit *quantityBox() const { return FlatEdit4; }
    FlatEdit *priceBox() const { return FlatEdit7; }
    FlatEdit *receivedBox() const { return FlatEdit5; }
    FlatEdit *changeBox() const { return FlatEdit6; }
    FlatEdit *receiptNumberBox() const { return FlatEdit1; }
    FlatEdit *saleDateBox() const { return FlatEdit2; }
    FlatEdit *cashierBox() const { return FlatEdit3; }
    QLabel *totalQuantityLabel() const { return Label12; }
    QLabel *totalAmountLabel() const { return Label13; }
    FlatCheckBox *twoCopiesBox() const { return FlatCheckBox1; }
    FlatCheckBox *autoAddBox() const { return FlatCheckBox3; }
    FlatSpeedButton *printButton() const { return FlatSpeedButton2; }
    FlatSpeedButton *modifyButton() const { return FlatSpeedButton3; }
    FlatSpeedButton *deleteButton() const { return FlatSpeedButton4; }
    FlatSpeedButton *addButton() const { return FlatSpeedButton5; }
    FlatSpeedButton *leaveButton() const { return FlatSpeedButton7; }
    SkinButton *settingsButton() const { return XP_Button1; }
    SkinButton *catalogueButton() const { return XP_Button6; }
    SkinButton *recordsButton() const { return XP_Button2; }
    SkinButton *guideButton() const { return XP_Button4; }
    DataGrid *saleGrid() const { return DBGrid1; }

    // Controls, named as on the screen.
    QLabel *Image2;
    FlatSpeedButton *FlatSpeedButton2;   // print receipt (F12)
    FlatSpeedButton *FlatSpeedButton1;   // close mark in the title strip
    FlatSpeedButton *FlatSpeedButton7;   // leave the program (Esc)
    QLabel *Label14;
    QLabel *Label15;
    QLabel *Label16;
    QLabel *Label17;
    DataGrid *DBGrid1;
    FlatCheckBox *FlatCheckBox1;         // print two receipts
    SkinButton *XP_Button1;               // shop settings (F2)
    SkinButton *XP_Button2;               // sales records (F5)
    SkinButton *XP_Button4;               // web page (F8)
    FlatPanel *FlatPanel1;               // sale entry
    FlatSpeedButton *FlatSpeedButton5;   // add (F10)
    QLabel *Label7;
    QLabel *Label10;
    QLabel *Label11;
    FlatSpeedButton *FlatSpeedButton3;   // modify (F9)
    FlatSpeedButton *FlatSpeedButton4;   // delete (Del)
    FlatEdit *FlatEdit4;                 // quantity
    FlatEdit *FlatEdit7;                 // unit price
    FlatComboBox *FlatComboBox1;         // product code or name
    FlatCheckBox *FlatCheckBox3;         // add found products at once
    FlatPanel *FlatPanel2;               // totals
    QLabel *Label4;
    QLabel *Label9;
    QLabel *Label12;                      // total quantity
    QLabel *Label13;                      // total amount
    SkinButton *XP_Button6;               // product catalogue (F3)
    FlatPanel *FlatPanel3;               // sale header
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label3;
    FlatEdit *FlatEdit2;                 // sale date
    FlatEdit *FlatEdit3;                 // cashier
    FlatEdit *FlatEdit1;                 // receipt number
    FlatEdit *FlatEdit5;                 // amount received
    FlatEdit *FlatEdit6;                 // change

private:
    Database m_db;   // declared before the result sets that run on it

public:
    // Result sets of the window.
    Query ADOQuery1;        // the open sale
    Query ADOQuery2;        // the settings row
    Query AdoQueryRecord;   // sales records of the sale date
    Query ADOQuerySPInfo;   // product names, then the last lookup

    // The side windows; null until first opened, and again once destroyed.
    ShopSettingsWindow *settingsWindow() const;
    CatalogueWindow *catalogueWindow() const;
    SalesRecordsWindow *recordsWindow() const;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormKeyDown(int key);
    void FormClose();
    void FlatSpeedButton7Click();
    void XP_Button1Click();
    void XP_Button6Click();
    void XP_Button2Click();
    void XP_Button4Click();
    void FlatEdit2KeyDown(int key);
    void FlatEdit3KeyDown(int key);
    void FlatEdit1KeyDown(int key);

    // Sale entry.
    void FlatComboBox1KeyDown(int key);
    void FlatComboBox1Click();
    void FlatEdit4KeyDown(int key);
    void FlatEdit7KeyDown(int key);
    void FlatSpeedButton5Click();
    void FlatSpeedButton3Click();
    void FlatSpeedButton4Click();
    void DBGrid1CellClick();
    void DBGrid1KeyPress();
    void DBGrid1TitleClick(const QString &field);

    // Payment and completion.
    void FlatEdit5KeyDown(int key);
    void FlatEdit6KeyDown(int key);
    void FlatSpeedButton2Click();

    // Refills the product box's list (the catalogue window does this when it closes).
    void setProductNames(const QStringList &names);

    // Where receipts are printed; the system's default printer unless set.
    void setReceiptPrinter(std::unique_ptr<ReceiptPrinter> printer);
    ReceiptPrinter &receiptPrinter();

    bool sortToggle() const { return m_sortToggle; }

protected:
    void previewKey(const QKeyEvent &event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void recomputeTotals();
    void resetEntryBoxes();
    void addOrAskQuantity();
    void askQuantity();
    QString newReceiptNumber();
    ReceiptInput receiptInput(const QString &printTime);
    void recordSale(const QString &printTime);
    void resetForNextSale();

    QString m_databasePath;
    bool m_sortToggle = false;
    bool m_destroying = false;
    bool m_completing = false;
    ReceiptNumbers m_receiptNumbers;
    std::unique_ptr<ReceiptPrinter> m_printer;
    QPoint m_dragOffset;

    // Side windows, each made on first use and forgotten when it is destroyed.
    QPointer<ShopSettingsWindow> m_settingsWindow;
    QPointer<CatalogueWindow> m_catalogueWindow;
    QPointer<SalesRecordsWindow> m_recordsWindow;
};
