#pragma once

#include "windows/sidewindow.h"
#include "windows/stockwindowcontext.h"

class CatalogueGrid;
class CatalogueModel;
class FlatEdit;
class FlatSpeedButton;

// The product catalogue: lists the shop's products in an editable grid,
// searches them by code or name, adds, writes back and deletes rows, and
// shows each product's stock on hand. Its 库存 button opens the stock
// windows (进货单, 盘点, 库存不足). Closing it hands the names it lists to
// the cashier screen's product box.
class CatalogueWindow final : public SideWindow
{
    Q_OBJECT

public:
    CatalogueWindow(Database &db, QWidget *mainWindow);
    ~CatalogueWindow() override;

    FlatEdit *searchBox() const { return m_searchBox; }
    FlatSpeedButton *searchButton() const { return m_searchButton; }
    FlatSpeedButton *addButton() const { return m_addButton; }
    FlatSpeedButton *saveButton() const { return m_saveButton; }
    FlatSpeedButton *deleteButton() const { return m_deleteButton; }
    FlatSpeedButton *deleteFoundButton() const { return m_deleteFoundButton; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }
    FlatSpeedButton *importButton() const { return m_importButton; }
    FlatSpeedButton *exportButton() const { return m_exportButton; }
    FlatSpeedButton *stockButton() const { return m_stockButton; }

    // The receipt printer and the cashier the stock windows use.
    void setStockContext(StockWindowContext context) { m_stockContext = std::move(context); }
    CatalogueGrid *grid() const { return m_grid; }
    // The listed products, with the row being typed.
    CatalogueModel *catalogue() const { return m_catalogue; }

    // What the buttons, keys and titles ask for.
    void search();                 // lists what the search box finds (F2, Enter in the box)
    void addProduct();             // starts a new row at the end (F4)
    void saveProducts();           // writes the row being typed and checks the others (F5)
    void deleteProduct();          // deletes the current row, once confirmed (Del)
    void deleteFoundProducts();    // deletes every product the box finds, once confirmed (F3)
    void sortByColumn(const QString &field);
    void importProducts();         // a product list (CSV) into the catalogue, after a preview
    void exportProducts();         // the whole catalogue to a CSV file
    // The stock windows, each modal; on hand is read again after each.
    void openGoodsReceipt();
    void openStockTake();
    void openLowStock();
    // Lists the same products again, for their stock as it is now; the row
    // being typed, if any, is left alone and nothing is read.
    void refreshStock();

signals:
    // The names of the listed products, in list order, when the window closes:
    // the cashier screen's product box takes them as its list.
    void productNamesListed(const QStringList &names);

protected:
    void reload() override;
    void previewKey(const QKeyEvent &event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void handOnProductNames();
    void moveOnFromCell();
    void showStockMenu();
    template<typename Window>
    void openStockWindow();
    int currentColumn() const;

    FlatEdit *m_searchBox = nullptr;
    FlatSpeedButton *m_searchButton = nullptr;
    FlatSpeedButton *m_addButton = nullptr;
    FlatSpeedButton *m_saveButton = nullptr;
    FlatSpeedButton *m_deleteButton = nullptr;
    FlatSpeedButton *m_deleteFoundButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
    FlatSpeedButton *m_closeSpot = nullptr;
    FlatSpeedButton *m_importButton = nullptr;
    FlatSpeedButton *m_exportButton = nullptr;
    FlatSpeedButton *m_stockButton = nullptr;
    StockWindowContext m_stockContext;
    CatalogueGrid *m_grid = nullptr;
    CatalogueModel *m_catalogue = nullptr;

    bool m_sortToggle = false;
};
