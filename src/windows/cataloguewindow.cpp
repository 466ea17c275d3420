#include "cataloguewindow.h"

#include "windows/windowparts.h"

#include "windows/cataloguegrid.h"
#include "windows/goodsreceiptwindow.h"
#include "windows/lowstockwindow.h"
#include "windows/productimportdialog.h"
#include "windows/stocktakewindow.h"
#include "base/apperror.h"
#include "windows/cataloguemodel.h"
#include "storage/database.h"
#include "transfer/csvexport.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>

CatalogueWindow::CatalogueWindow(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("商品信息"), mainWindow)
{
    setObjectName(QStringLiteral("catalogueWindow"));
    WindowParts::setWindowLook(this, Colors::grey, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    connectHandlers();
}

CatalogueWindow::~CatalogueWindow()
{
    // The grid looks into the catalogue: it goes first.
    delete m_grid;
}

void CatalogueWindow::buildControls()
{
    using namespace WindowParts;

    picture(this, QStringLiteral(":/pictures/spinfo.jpg"));
    QLabel *titleShadow = nullptr;
    QLabel *titleFace = nullptr;
    title(this, QStringLiteral("商 品 信 息"), &titleShadow, &titleFace);

    m_closeSpot = WindowParts::closeSpot(this);
    m_deleteButton = actionButton(this, QStringLiteral("删除 (Del)"), {40, 613, 138, 33});
    m_saveButton = actionButton(this, QStringLiteral("保存 (F5)"), {624, 613, 138, 33});
    m_closeButton = actionButton(this, QStringLiteral("关闭 (ESC)"), {800, 613, 138, 33});
    m_addButton = actionButton(this, QStringLiteral("添加 (F4)"), {440, 613, 138, 33});
    m_deleteFoundButton = actionButton(this, QStringLiteral("全部删除 (F3)"), {240, 613, 138, 33});

    webLink(this, [] { WebPage::open(); });

    auto *searchPanel = new FlatPanel(this);
    searchPanel->setGeometry(40, 136, 905, 57);
    searchPanel->setColor(Colors::panelGreen);
    searchPanel->setColorHighlight(Colors::silver);
    searchPanel->setColorShadow(Colors::silver);
    label(searchPanel, QStringLiteral("编码或品名："), {16, 25, 113, 16}, pixelFont(13, true));
    m_searchBox = new FlatEdit(searchPanel);
    m_searchBox->setGeometry(120, 15, 153, 26);
    m_searchBox->setFont(pixelFont(16));
    m_searchBox->setColorFlat(QApplication::palette().color(QPalette::Base));
    m_searchButton = actionButton(searchPanel, QStringLiteral("查询 (F2)"), {296, 8, 153, 33});
    m_stockButton = actionButton(searchPanel, QStringLiteral("库存…"), {472, 8, 110, 33});
    m_importButton = actionButton(searchPanel, QStringLiteral("导入…"), {600, 8, 138, 33});
    m_exportButton = actionButton(searchPanel, QStringLiteral("导出…"), {752, 8, 138, 33});

    m_grid = new CatalogueGrid(this);
    m_grid->setGeometry(40, 192, 905, 409);
    m_grid->setFont(pixelFont(16));
    m_grid->horizontalHeader()->setFont(pixelFont(16));
    m_grid->setColors(Colors::gridGrey, Colors::panelGreen);
    m_catalogue = new CatalogueModel(database(), this);
    m_grid->setCatalogue(m_catalogue);
    m_grid->setColumnWidth(CatalogueModel::Code, 150);
    m_grid->setColumnWidth(CatalogueModel::Name, 218);
    m_grid->setColumnWidth(CatalogueModel::Price, 100);
    m_grid->setColumnWidth(CatalogueModel::Stock, 110);

    // The search box first, then the grid; the buttons never take the focus.
    setTabOrder(m_searchBox, m_grid);
    m_searchBox->setFocus();
}

void CatalogueWindow::connectHandlers()
{
    using AppBoxes::guarded;
    auto onClick = [this](FlatSpeedButton *button, void (CatalogueWindow::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    for (FlatSpeedButton *button : {m_closeSpot, m_closeButton})
        connect(button, &QAbstractButton::clicked, this, [this] { guarded([this] { close(); }); });
    onClick(m_deleteButton, &CatalogueWindow::deleteProduct);
    onClick(m_saveButton, &CatalogueWindow::saveProducts);
    onClick(m_addButton, &CatalogueWindow::addProduct);
    onClick(m_deleteFoundButton, &CatalogueWindow::deleteFoundProducts);
    onClick(m_searchButton, &CatalogueWindow::search);
    onClick(m_importButton, &CatalogueWindow::importProducts);
    onClick(m_exportButton, &CatalogueWindow::exportProducts);
    onClick(m_stockButton, &CatalogueWindow::showStockMenu);
    // A sale, receipt or count at any till moves some product's stock: the
    // list is read again once such news stop coming for a second, as one
    // reading of a large catalogue is worth many movements.
    auto *stockRefresh = new QTimer(this);
    stockRefresh->setSingleShot(true);
    stockRefresh->setInterval(1000);
    connect(stockRefresh, &QTimer::timeout, this, [this] { guarded([this] { refreshStock(); }); });
    connect(&database(), &Database::stockChanged, stockRefresh, qOverload<>(&QTimer::start));
    database().watchStock();
    connect(m_grid, &CatalogueGrid::enterPressed, this, [this] { guarded([this] { moveOnFromCell(); }); });
    connect(m_grid, &CatalogueGrid::titleClicked, this,
            [this](const QString &field) { guarded([&] { sortByColumn(field); }); });
}

int CatalogueWindow::currentColumn() const
{
    return qMax(0, m_grid->currentIndex().column());
}

// ---- Showing, keys, closing --------------------------------------------------

void CatalogueWindow::reload()
{
    // Every showing lists the whole catalogue afresh; the search box keeps its text.
    const int column = currentColumn();
    m_catalogue->listAll();
    m_grid->goTo(0, column);
}

void CatalogueWindow::previewKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_F2: search(); break;
    case Qt::Key_F3: deleteFoundProducts(); break;
    case Qt::Key_F4: addProduct(); break;
    case Qt::Key_F5: saveProducts(); break;
    case Qt::Key_Delete: deleteProduct(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter in the grid is the grid's own (moveOnFromCell).
        if (focusWidget() == m_searchBox)
            search();
        break;
    default: break;
    }
}

void CatalogueWindow::closeEvent(QCloseEvent *event)
{
    // A refused row keeps the window open.
    bool done = false;
    AppBoxes::guarded([&] {
        handOnProductNames();
        done = true;
    });
    if (done)
        event->accept();
    else
        event->ignore();
}

void CatalogueWindow::handOnProductNames()
{
    m_grid->commitOpenEditor();
    // After a statement the database rejected nothing is listed; the till then
    // keeps the names it has.
    if (!m_catalogue->isListing())
        return;
    // The row being typed is written before the till's list is touched, so a
    // refusal leaves the till's product box as it was.
    m_catalogue->writePendingRow();
    emit productNamesListed(m_catalogue->names());
}

// ---- Searching ---------------------------------------------------------------

void CatalogueWindow::search()
{
    const int column = currentColumn();
    m_catalogue->search(m_searchBox->text());
    m_grid->goTo(0, column);
}

// ---- Changing rows -----------------------------------------------------------

void CatalogueWindow::addProduct()
{
    m_grid->setFocus();
    m_grid->commitOpenEditor();
    const int column = currentColumn();
    const int row = m_catalogue->appendRow();
    m_grid->goTo(row, column);
}

void CatalogueWindow::saveProducts()
{
    m_saveButton->setCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([this] { m_saveButton->unsetCursor(); });

    m_grid->commitOpenEditor();
    const int column = currentColumn();
    m_catalogue->writePendingRow();
    // The other rows hold what is stored; each must still pass the checks a
    // write makes, and the first that does not stops the run there.
    const int rows = m_catalogue->rowCount();
    for (int row = 0; row < rows; ++row) {
        try {
            m_catalogue->checkRow(row);
        } catch (const Refusal &) {
            // The row is taken up for correcting, its editor open on the
            // missing code or name, before the refusal is shown.
            m_grid->goTo(row, m_catalogue->refusedColumn(row));
            m_grid->edit(m_grid->currentIndex());
            throw;
        }
    }
    m_grid->goTo(rows - 1, column);
}

void CatalogueWindow::deleteProduct()
{
    const QModelIndex current = m_grid->currentIndex();
    if (m_catalogue->rowCount() == 0 || !current.isValid())
        return;
    if (!AppBoxes::askYesNo(QStringLiteral("提示：真的要删除吗?"), {this, QStringLiteral("Confirm")}))
        return;
    const int row = current.row();
    m_catalogue->removeRowAt(row);
    m_grid->goTo(qMin(row, m_catalogue->rowCount() - 1), current.column());
}

void CatalogueWindow::deleteFoundProducts()
{
    if (!AppBoxes::askYesNo(QStringLiteral("温馨提示：确认要删除以上查询出来的全部商品信息吗?"),
                            {this, QStringLiteral("错误"), QMessageBox::Critical}))
        return;
    // The box's text now, even when it changed after the last search.
    m_catalogue->deleteMatching(m_searchBox->text());
    m_grid->goTo(0, currentColumn());
}

// ---- The grid ----------------------------------------------------------------

void CatalogueWindow::moveOnFromCell()
{
    if (focusWidget() == m_grid) {
        const QModelIndex current = m_grid->currentIndex();
        if (!current.isValid())
            return;
        // On hand is read-only: Enter on the price is the row's last cell.
        if (current.column() < CatalogueModel::Price) {
            m_grid->setCurrentIndex(current.siblingAtColumn(current.column() + 1));
            return;
        }
        // Enter on the price starts the next product.
        addProduct();
        m_grid->goTo(m_grid->currentIndex().row(), 0);
        return;
    }
    // Enter in the cell editor: the typed text stays in the row, unwritten,
    // and the focus goes on to the next control.
    m_grid->finishEditing();
    m_grid->setFocus();
    focusNextChild();
}

void CatalogueWindow::sortByColumn(const QString &field)
{
    // On hand is no column of the listing: its title sorts nothing.
    if (field.isEmpty())
        return;
    // Sorting moves the rows about: the row being typed is written first.
    m_grid->commitOpenEditor();
    m_catalogue->writePendingRow();

    // One toggle for every column: each title click turns the direction.
    const Qt::SortOrder order = m_sortToggle ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortToggle = !m_sortToggle;
    const QModelIndex current = m_grid->currentIndex();
    // The same product stays current, wherever the order puts it.
    const int row = m_catalogue->sortBy(field, order, current.isValid() ? current.row() : -1);
    m_grid->goTo(row, current.column());
}

// ---- Import and export -------------------------------------------------------

void CatalogueWindow::importProducts()
{
    // The row being typed is written first: the import may change that product.
    m_grid->commitOpenEditor();
    m_catalogue->writePendingRow();
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择要导入的商品文件"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv *.txt);;所有文件 (*)"));
    if (file.isEmpty())
        return;
    ProductImportDialog dialog(database(), file, this);
    dialog.exec();
    if (!dialog.imported())
        return;
    // The whole catalogue afresh, here and in the cashier screen's product box.
    reload();
    emit productNamesListed(m_catalogue->names());
}

void CatalogueWindow::exportProducts()
{
    m_grid->commitOpenEditor();
    m_catalogue->writePendingRow();
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("导出商品"), QStringLiteral("商品.csv"),
                                     QStringLiteral("CSV 文件 (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty() || !WindowParts::mayWriteCsv(this, file, database().filePath()))
        return;
    const qint64 count = CsvExport::products(database(), file);
    AppBoxes::showNotice(QStringLiteral("已导出 %1 个商品到 %2").arg(count).arg(file));
}

// ---- Stock -------------------------------------------------------------------

void CatalogueWindow::showStockMenu()
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("进货单…"), this, [this] { AppBoxes::guarded([this] { openGoodsReceipt(); }); });
    menu.addAction(QStringLiteral("盘点…"), this, [this] { AppBoxes::guarded([this] { openStockTake(); }); });
    menu.addAction(QStringLiteral("库存不足…"), this, [this] { AppBoxes::guarded([this] { openLowStock(); }); });
    menu.exec(m_stockButton->mapToGlobal(QPoint(0, m_stockButton->height())));
}

template<typename Window>
void CatalogueWindow::openStockWindow()
{
    // A product being typed is written first: the stock windows look it up.
    m_grid->commitOpenEditor();
    m_catalogue->writePendingRow();
    {
        Window window(database(), m_stockContext, this);
        window.exec();
    }
    refreshStock();
}

void CatalogueWindow::openGoodsReceipt()
{
    openStockWindow<GoodsReceiptWindow>();
}

void CatalogueWindow::openStockTake()
{
    openStockWindow<StockTakeWindow>();
}

void CatalogueWindow::openLowStock()
{
    openStockWindow<LowStockWindow>();
}

void CatalogueWindow::refreshStock()
{
    if (!isVisible() || !m_catalogue->isListing() || m_catalogue->pendingRow() >= 0)
        return;
    const QModelIndex current = m_grid->currentIndex();
    m_catalogue->listAgain();
    if (current.isValid())
        m_grid->goTo(qMin(current.row(), m_catalogue->rowCount() - 1), current.column());
}
