#pragma once

#include "display/customerdisplay.h"
#include "storage/database.h"
#include "receipt/tillprinter.h"
#include "till/cashiershift.h"
#include "till/till.h"
#include "widgets/keypreview.h"

class CopyKeeper;

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class DataGrid;
class FlatCheckBox;
class FlatComboBox;
class FlatEdit;
class FlatSpeedButton;
class SkinButton;
class CatalogueWindow;
class ShopSettingsWindow;
class SalesRecordsWindow;
class ReportsWindow;
class ReceiptPrinter;
class AutomaticBackup;
class ServerWatch;
class SaleLinesModel;
class CustomerWindow;
class ProductNamesModel;

// The cashier screen: the header of the sale, the entry of its lines, the
// totals, the payment boxes, and the buttons to the side windows. It turns
// keys and clicks into calls of the till, shows what comes back and moves
// the focus; the sale itself lives in the till. The database, its server
// watch and the automatic copies belong to the application, which opens the
// database: the window works on them and shows what they report.
class CashierWindow final : public QWidget, public KeyPreview
{
    Q_OBJECT

public:
    // db: the shop's database, working for this computer's till, opened by
    // the application after the window is made (the window hears of it going
    // and coming back through serverWatch).
    CashierWindow(Database &db, ServerWatch &serverWatch, AutomaticBackup &automaticBackup, QWidget *parent = nullptr);
    ~CashierWindow() override;

    Database &database() { return m_db; }
    // The opening cash counts as asked for on that day (a test screen's start).
    void openingCashAskedOn(const QDate &day) { m_openingCashAsked = day; }
    // When the till opens, before anything is typed: the day's opening cash,
    // unless already given or skipped today.
    void askOpeningCashOnce();
    Till &till() { return m_till; }
    CashierShift &shift() { return m_shift; }

    // The controls, for tests and the window's own helpers.
    FlatComboBox *productBox() const { return m_productBox; }
    FlatEdit *quantityBox() const { return m_quantityBox; }
    FlatEdit *priceBox() const { return m_priceBox; }
    FlatEdit *receivedBox() const { return m_receivedBox; }
    FlatEdit *changeBox() const { return m_changeBox; }
    FlatEdit *receiptNumberBox() const { return m_receiptNumberBox; }
    FlatEdit *saleDateBox() const { return m_saleDateBox; }
    FlatEdit *cashierBox() const { return m_cashierBox; }
    QLabel *totalQuantityLabel() const { return m_totalQuantityLabel; }
    QLabel *totalAmountLabel() const { return m_totalAmountLabel; }
    // How many sales are parked at this till (empty while none is).
    QLabel *heldSalesLabel() const { return m_heldSalesLabel; }
    // The customer display, and the mark shown while it does not work.
    CustomerDisplay &customerDisplay() { return m_display; }
    QLabel *displayMark() const { return m_displayMark; }
    // The customer's window on a second monitor; null while there is none.
    CustomerWindow *customerWindow() const;
    QLabel *guideLink() const { return m_guideLink; }
    // Shown when an automatic backup failed; a click tells why and hides it.
    QLabel *backupWarning() const { return m_backupWarning; }
    FlatCheckBox *twoCopiesBox() const { return m_twoCopiesBox; }
    FlatCheckBox *autoAddBox() const { return m_autoAddBox; }
    FlatSpeedButton *printButton() const { return m_printButton; }
    FlatSpeedButton *modifyButton() const { return m_modifyButton; }
    FlatSpeedButton *deleteButton() const { return m_deleteButton; }
    FlatSpeedButton *addButton() const { return m_addButton; }
    FlatSpeedButton *leaveButton() const { return m_leaveButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }
    SkinButton *settingsButton() const { return m_settingsButton; }
    SkinButton *catalogueButton() const { return m_catalogueButton; }
    SkinButton *recordsButton() const { return m_recordsButton; }
    SkinButton *guideButton() const { return m_guideButton; }
    DataGrid *saleGrid() const { return m_saleGrid; }
    SaleLinesModel *saleLines() const { return m_saleLines; }
    // Shown while the database server is out of reach.
    QLabel *connectionLabel() const { return m_connectionLabel; }
    // Shown while a receipt is on its way to the printer.
    QLabel *printingLabel() const { return m_printingLabel; }
    QLabel *fileWaitLabel() const { return m_fileWaitLabel; }
    ServerWatch *serverWatch() const { return m_serverWatch; }

    // The side windows; null until first opened, and again once destroyed.
    ShopSettingsWindow *settingsWindow() const;
    CatalogueWindow *catalogueWindow() const;
    SalesRecordsWindow *recordsWindow() const;
    ReportsWindow *reportsWindow() const;

    // What the cashier can do here, each bound to a key and most to a button.
    void lookUpProduct();          // Enter in the product box
    void pickListedProduct();      // an entry chosen from the product box's list
    void addLine();                // F10, the add button, Enter in the price box
    void modifyLine();             // F9
    void deleteLine();             // Del
    void loadClickedLine();        // a click on a line of the grid
    void sortByColumn(SaleLine::Field field);   // a click on a title of the grid
    void takeAmountReceived();     // Enter in the amount received box
    void completeSale();           // F12, the print button, Enter in the change box
    void takePayment();            // F1: the payment window, then the completion
    // Completes the sale as paid at the payment window (none: in cash at the change box).
    void completeSalePaid(const QList<Payment> &payments);
    // Shift+F5: goods coming back, against a receipt or without one.
    void takeReturn();
    void setOpeningCash();         // Shift+F1: the cash in the drawer before the first sale
    // A day that began while the till was open: said on the screen, not
    // asked in a box that would take the cashier's next keys.
    void remindOfOpeningCash();
    void openDrawer();             // F7: the cash drawer, without a sale
    // Shift+F2: a cashier signs in, or the one signed in signs out and the
    // shift report (交班) prints; only when the shop has cashiers sign in.
    void signInOrOut();
    void holdOrTakeBackSale();     // Insert: parks a sale with lines (挂单); with none, offers the parked ones (取单)
    void openSettings();           // F2
    void openCatalogue();          // F3
    void openRecords();            // F5
    void openReports();            // F6
    void openGuide();              // F8
    void leave();                  // Esc

    // Refills the product box's list (the catalogue window does this when it closes).
    void setProductNames(const QStringList &names);

    // Where receipts are printed: as the till's stored settings say, with
    // these options of the command line in their place for this run.
    void setPrinterOverrides(const PrinterOverrides &overrides);
    // A printer used instead of the stored settings.
    void setReceiptPrinter(std::unique_ptr<ReceiptPrinter> printer);
    ReceiptPrinter &receiptPrinter();

    bool sortToggle() const { return m_sortToggle; }

    // Copies of the database every few hours and at closing.
    AutomaticBackup *automaticBackup() const { return m_automaticBackup; }

    // Why the database could not be opened, told in the error box once the
    // window shows.
    void setStartProblem(const QString &message) { m_startProblem = message; }

    // A server till's own copy: the screen says when the till sells offline,
    // how many sales wait to be sent and when it last met the server.
    void watchCopy(CopyKeeper &keeper);

signals:
    // "数据库…" in the shop settings: this computer's database and till
    // number are the application's to keep; it opens the dialog over `over`.
    void databaseChoiceAsked(QWidget *over);

protected:
    void previewKey(const QKeyEvent &event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void watchDatabase();
    void showFileWait(std::optional<int> seconds, bool importing);
    void showCopyState();
    void startSale();
    void finishInterruptedSale();
    void enterPressedIn(QWidget *box);
    bool keepsKeyFromProductBox(QObject *watched, QEvent *event);
    void showSale();
    int currentLine() const;
    void changeLines(const std::function<void()> &change);
    void resetEntryBoxes();
    void addOrAskQuantity();
    void askQuantity();
    bool lineIsMeant();
    void renewChange();
    void resetForNextSale();
    void openDrawerAfterSale(ReceiptPrinter &printer);
    void watchAutomaticBackup();
    void tellBackupFailed(const QString &message);
    void reloadRestoredDatabase();
    void showServerWaiting();
    void resumeAfterReconnect();
    void refreshProductNames();
    void showHeldSales();
    void readDisplaySettings();
    void showOnDisplay();
    void setUpDisplay(QWidget *over);
    void listWholeCatalogue();
    void showCashier();
    bool ensureSignedIn();
    void askSignIn();

    Database &m_db;
    QDate m_openingCashAsked;
    QDate m_openingCashReminded;
    QLabel *m_openingCashReminder = nullptr;
    Till m_till;
    CashierShift m_shift;

    QLabel *m_background = nullptr;
    FlatSpeedButton *m_printButton = nullptr;
    FlatSpeedButton *m_closeSpot = nullptr;
    FlatSpeedButton *m_leaveButton = nullptr;
    QLabel *m_guideLink = nullptr;
    DataGrid *m_saleGrid = nullptr;
    SaleLinesModel *m_saleLines = nullptr;
    FlatCheckBox *m_twoCopiesBox = nullptr;
    SkinButton *m_settingsButton = nullptr;
    SkinButton *m_recordsButton = nullptr;
    SkinButton *m_guideButton = nullptr;
    FlatSpeedButton *m_addButton = nullptr;
    FlatSpeedButton *m_modifyButton = nullptr;
    FlatSpeedButton *m_deleteButton = nullptr;
    FlatEdit *m_quantityBox = nullptr;
    FlatEdit *m_priceBox = nullptr;
    FlatComboBox *m_productBox = nullptr;
    ProductNamesModel *m_productNames = nullptr;   // the box's list of the whole catalogue
    FlatCheckBox *m_autoAddBox = nullptr;
    QLabel *m_totalQuantityLabel = nullptr;
    QLabel *m_totalAmountLabel = nullptr;
    QLabel *m_heldSalesLabel = nullptr;
    QLabel *m_displayMark = nullptr;
    CustomerDisplay m_display;
    QPointer<CustomerWindow> m_customerWindow;
    SkinButton *m_catalogueButton = nullptr;
    FlatEdit *m_saleDateBox = nullptr;
    FlatEdit *m_cashierBox = nullptr;
    FlatEdit *m_receiptNumberBox = nullptr;
    FlatEdit *m_receivedBox = nullptr;
    FlatEdit *m_changeBox = nullptr;
    QLabel *m_connectionLabel = nullptr;
    CopyKeeper *m_copyKeeper = nullptr;
    QLabel *m_printingLabel = nullptr;
    QLabel *m_fileWaitLabel = nullptr;

    bool m_sortToggle = false;
    bool m_signInRequired = false;   // cashiers sign in, as read when the cashier box was last filled
    bool m_destroying = false;
    TillPrinter m_printer;
    bool m_closing = false;
    AutomaticBackup *m_automaticBackup = nullptr;
    QLabel *m_backupWarning = nullptr;
    QString m_backupFailure;
    ServerWatch *m_serverWatch = nullptr;
    QString m_startProblem;        // why the database could not be opened, told once the window shows
    QTimer *m_namesRefresh = nullptr;
    QPoint m_dragOffset;

    // Side windows, each made on first use and forgotten when it is destroyed.
    QPointer<ShopSettingsWindow> m_settingsWindow;
    QPointer<CatalogueWindow> m_catalogueWindow;
    QPointer<SalesRecordsWindow> m_recordsWindow;
    QPointer<ReportsWindow> m_reportsWindow;
};
