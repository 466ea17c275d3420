#include "lowstockwindow.h"

#include "base/apperror.h"
#include "receipt/receiptsink.h"
#include "reports/stocksheets.h"
#include "storage/database.h"
#include "storage/shopsettings.h"
#include "widgets/apperrorbox.h"
#include "widgets/flatedit.h"
#include "windows/windowparts.h"

#include <QDateTime>
#include <QFileDialog>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

LowStockWindow::LowStockWindow(Database &db, StockWindowContext context, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_context(std::move(context))
{
    buildControls();
    showLevels();
}

void LowStockWindow::buildControls()
{
    setWindowTitle(QStringLiteral("库存不足"));
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(WindowParts::heading(this, windowTitle()));
    auto *grid = new QGridLayout;
    outer->addLayout(grid);
    m_levelsGrid = new QTableWidget(0, NB_COLUMNS, this);
    m_levelsGrid->setHorizontalHeaderLabels(
        {QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("库存"), QStringLiteral("补货线")});
    m_levelsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_levelsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_levelsGrid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    // A 13-digit barcode shows whole.
    m_levelsGrid->setColumnWidth(CodeColumn, 150);
    m_levelsGrid->setMinimumSize(640, 360);
    grid->addWidget(m_levelsGrid, 0, 0, 1, 5);
    m_countLabel = new QLabel(this);
    grid->addWidget(m_countLabel, 1, 0, 1, 5);

    grid->addWidget(new QLabel(QStringLiteral("编码"), this), 2, 0);
    m_codeBox = new FlatEdit(this);
    grid->addWidget(m_codeBox, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("补货线（空：不设）"), this), 2, 2);
    m_reorderBox = new FlatEdit(this);
    grid->addWidget(m_reorderBox, 2, 3);
    auto *setButton = new QPushButton(QStringLiteral("设补货线"), this);
    grid->addWidget(setButton, 2, 4);

    auto *buttons = new QHBoxLayout;
    auto *refreshButton = new QPushButton(QStringLiteral("刷新 (F2)"), this);
    auto *printButton = new QPushButton(QStringLiteral("打印 (F9)"), this);
    auto *exportButton = new QPushButton(QStringLiteral("导出 CSV…"), this);
    auto *closeButton = new QPushButton(QStringLiteral("关闭 (Esc)"), this);
    for (QPushButton *button : {setButton, refreshButton, printButton, exportButton, closeButton}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    for (QPushButton *button : {refreshButton, printButton, exportButton, closeButton})
        buttons->addWidget(button);
    grid->addLayout(buttons, 3, 0, 1, 5);

    using AppBoxes::guarded;
    connect(setButton, &QPushButton::clicked, this, [this] { guarded([this] { setReorderLevel(); }); });
    connect(refreshButton, &QPushButton::clicked, this, [this] { guarded([this] { showLevels(); }); });
    connect(printButton, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    connect(exportButton, &QPushButton::clicked, this, [this] { guarded([this] { askExport(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // The chosen product's code and level go into the boxes, to be changed.
    connect(m_levelsGrid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0 || row >= m_levels.size())
            return;
        m_codeBox->setText(m_levels.at(row).code);
        m_reorderBox->setText(m_levels.at(row).reorderLevel);
    });
    m_keys.onKey(Qt::Key_F2, [this] { showLevels(); });
    m_keys.onKey(Qt::Key_F9, [this] { print(); });
    m_keys.onEnter(m_codeBox, [this] {
        m_reorderBox->setFocus();
        m_reorderBox->selectAll();
    });
    m_keys.onEnter(m_reorderBox, [this] { setReorderLevel(); });
    for (QWidget *control : std::initializer_list<QWidget *>{m_levelsGrid, m_codeBox, m_reorderBox})
        control->installEventFilter(this);
}

bool LowStockWindow::eventFilter(QObject *watched, QEvent *event)
{
    return m_keys.handle(watched, event) || QDialog::eventFilter(watched, event);
}

void LowStockWindow::showLevels()
{
    m_levels = StockLedger::lowStock(m_db);
    m_levelsGrid->setRowCount(int(m_levels.size()));
    int belowZero = 0;
    for (int row = 0; row < m_levels.size(); ++row) {
        const StockLevel &level = m_levels.at(row);
        const bool negative = StockSheets::isBelowZero(level.onHand);
        belowZero += negative ? 1 : 0;
        const QStringList cells{level.code, level.name, StockSheets::shownQuantity(level.onHand), level.reorderLevel};
        for (int column = 0; column < NB_COLUMNS; ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column >= OnHandColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (negative)
                item->setForeground(Qt::red);
            m_levelsGrid->setItem(row, column, item);
        }
    }
    m_countLabel->setText(QStringLiteral("共 %1 种商品库存不足，其中 %2 种低于零（红色 ▲：卖出多于记下的库存，请盘点或补记进货）。")
                              .arg(m_levels.size())
                              .arg(belowZero));
}

void LowStockWindow::setReorderLevel()
{
    const QString code = m_codeBox->text().trimmed();
    if (code.isEmpty())
        throw Refusal(QStringLiteral("请先输入或选中商品的编码。"));
    if (!StockLedger::level(m_db, code))
        throw Refusal(QStringLiteral("商品资料里没有编码“%1”。").arg(code));
    StockLedger::setReorderLevel(m_db, code, m_reorderBox->text().trimmed());
    showLevels();
    m_codeBox->clear();
    m_reorderBox->clear();
    m_codeBox->setFocus();
}

void LowStockWindow::print()
{
    if (!m_context.printer)
        throw Refusal(QStringLiteral("没有设置小票打印机。"));
    ReceiptSink &printer = m_context.printer();
    const QString at = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    printer.print(StockPaperLayout::lines(StockSheets::lowStockPaper(m_levels, at), ShopSettings::load(m_db).shopName,
                                          printer.encoding()));
}

void LowStockWindow::exportTo(const QString &path)
{
    StockSheets::saveLowStockCsv(m_levels, path, m_db.isServer() ? QString() : m_db.filePath());
}

void LowStockWindow::askExport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出库存不足"),
                                                      QStringLiteral("库存不足.csv"), QStringLiteral("CSV 文件 (*.csv)"),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty() || !WindowParts::mayWriteCsv(this, path, m_db.isServer() ? QString() : m_db.filePath()))
        return;
    exportTo(path);
    AppBoxes::showNotice(QStringLiteral("已导出 %1 种商品到 %2").arg(m_levels.size()).arg(path));
}
