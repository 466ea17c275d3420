#include "stocktakewindow.h"

#include "base/apperror.h"
#include "base/exactdecimal.h"
#include "receipt/receiptsink.h"
#include "storage/database.h"
#include "storage/shopsettings.h"
#include "storage/stockledger.h"
#include "widgets/apperrorbox.h"
#include "widgets/flatedit.h"
#include "windows/productpicker.h"
#include "windows/windowparts.h"

#include <QDateTime>
#include <QFileDialog>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableWidget>

namespace {

// A counted quantity as the ledger takes it: a number, not below zero, to the gram.
ExactDecimal countedQuantity(const QString &typed, const QString &name)
{
    const std::optional<ExactDecimal> counted = ExactDecimal::parse(typed);
    if (!counted || counted->isNegative())
        throw Refusal(QStringLiteral("“%1”的实点数“%2”不对：请输入零或更大的数量。").arg(name, typed.trimmed()));
    if (counted->decimals() > 3)
        throw Refusal(QStringLiteral("“%1”的实点数最多三位小数。").arg(name));
    return *counted;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

StockTakeWindow::StockTakeWindow(Database &db, StockWindowContext context, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_context(std::move(context))
{
    buildControls();
    m_codeBox->setFocus();
}

void StockTakeWindow::buildControls()
{
    setWindowTitle(QStringLiteral("盘点"));
    const QFont big = WindowParts::pixelFont(17, true);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(WindowParts::heading(this, windowTitle()));
    auto *grid = new QGridLayout;
    outer->addLayout(grid);
    m_codeBox = new FlatEdit(this);
    m_countedBox = new FlatEdit(this);
    m_noteBox = new FlatEdit(this);
    for (FlatEdit *box : {m_codeBox, m_countedBox})
        box->setFont(big);
    grid->addWidget(new QLabel(QStringLiteral("编码（扫描或输入后回车）"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("实点数量"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("货架/备注"), this), 0, 2);
    grid->addWidget(m_codeBox, 1, 0);
    grid->addWidget(m_countedBox, 1, 1);
    grid->addWidget(m_noteBox, 1, 2);
    auto *addButton = new QPushButton(QStringLiteral("添加"), this);
    grid->addWidget(addButton, 1, 3);
    m_productLabel = new QLabel(this);
    grid->addWidget(m_productLabel, 2, 0, 1, 4);

    m_linesGrid = new QTableWidget(0, NB_COLUMNS, this);
    m_linesGrid->setHorizontalHeaderLabels({QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("账面"),
                                            QStringLiteral("实点"), QStringLiteral("差异"), QStringLiteral("进货价"),
                                            QStringLiteral("差异金额")});
    m_linesGrid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    // A 13-digit barcode shows whole.
    m_linesGrid->setColumnWidth(CodeColumn, 150);
    m_linesGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    m_linesGrid->setMinimumSize(760, 320);
    grid->addWidget(m_linesGrid, 3, 0, 1, 4);

    m_totalLabel = new QLabel(this);
    m_totalLabel->setFont(big);
    grid->addWidget(m_totalLabel, 4, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    auto *saveButton = new QPushButton(QStringLiteral("保存 (F5)"), this);
    auto *printButton = new QPushButton(QStringLiteral("打印 (F9)"), this);
    auto *exportButton = new QPushButton(QStringLiteral("导出 CSV…"), this);
    auto *closeButton = new QPushButton(QStringLiteral("关闭 (Esc)"), this);
    for (QPushButton *button : {addButton, saveButton, printButton, exportButton, closeButton}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    for (QPushButton *button : {saveButton, printButton, exportButton, closeButton})
        buttons->addWidget(button);
    grid->addLayout(buttons, 5, 2, 1, 2);
    m_statusLabel = new QLabel(QStringLiteral("扫描编码后回车，输入实点数回车；同一商品再点一次会加在一起。"
                                              "保存时只记有差异的行，库存改为实点数。"),
                               this);
    m_statusLabel->setWordWrap(true);
    grid->addWidget(m_statusLabel, 5, 0, 1, 2);

    using AppBoxes::guarded;
    connect(addButton, &QPushButton::clicked, this, [this] { guarded([this] { addCount(); }); });
    connect(saveButton, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(printButton, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    connect(exportButton, &QPushButton::clicked, this, [this] { guarded([this] { askExport(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_linesGrid, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem *item) { guarded([&] { countTyped(item); }); });
    m_keys.onKey(Qt::Key_F5, [this] { save(); });
    m_keys.onKey(Qt::Key_F9, [this] { print(); });
    m_keys.onKey(Qt::Key_Delete, [this] { removeCurrentLine(); }, m_linesGrid);
    m_keys.onEnter(m_codeBox, [this] { lookUp(); });
    m_keys.onEnter(m_countedBox, [this] { addCount(); });
    for (QWidget *control : std::initializer_list<QWidget *>{m_codeBox, m_countedBox, m_noteBox, m_linesGrid})
        control->installEventFilter(this);
    showCounts();
}

bool StockTakeWindow::eventFilter(QObject *watched, QEvent *event)
{
    return m_keys.handle(watched, event) || QDialog::eventFilter(watched, event);
}

void StockTakeWindow::reject()
{
    if (!m_counts.isEmpty() && m_savedNumber == 0
        && !AppBoxes::askYesNo(QStringLiteral("盘点还没有保存，关闭后实点数不会记入库存。确定关闭吗？"),
                               {this, QString(), QMessageBox::Question, QMessageBox::No}))
        return;
    QDialog::reject();
}

void StockTakeWindow::lookUp()
{
    // A code, or part of a name or its pinyin: the product found stands in the box by its code.
    m_foundCode.clear();
    const std::optional<StockLevel> level = ProductPicker::levelFor(m_codeBox, m_db);
    if (!level)
        return;
    m_foundCode = level->code;
    m_productLabel->setText(
        QStringLiteral("%1　账面 %2").arg(level->name, StockSheets::shownQuantity(level->onHand)));
    m_countedBox->setFocus();
    m_countedBox->selectAll();
}

void StockTakeWindow::addCount()
{
    if (m_foundCode.isEmpty() || m_foundCode != m_codeBox->text().trimmed()) {
        lookUp();
        if (m_foundCode.isEmpty())
            return;
    }
    const std::optional<StockLevel> level = StockLedger::level(m_db, m_foundCode);
    if (!level)
        throw Refusal(QStringLiteral("商品资料里没有编码“%1”。").arg(m_foundCode));
    const ExactDecimal counted = countedQuantity(m_countedBox->text(), level->name);
    if (m_savedNumber != 0) {
        // A saved stock-take stays on show for printing; the next count begins another.
        m_savedNumber = 0;
        m_counts.clear();
    }
    int row = 0;
    while (row < m_counts.size() && m_counts.at(row).code != level->code)
        ++row;
    if (row == m_counts.size())
        m_counts << StockCount{level->code, level->name, level->onHand, QStringLiteral("0"), level->lastCost};
    StockCount &count = m_counts[row];
    count.counted = (*ExactDecimal::parse(count.counted) + counted).text();
    showCounts();
    m_linesGrid->setCurrentCell(row, CountedColumn);
    m_foundCode.clear();
    m_codeBox->clear();
    m_countedBox->clear();
    m_productLabel->clear();
    m_codeBox->setFocus();
}

void StockTakeWindow::countTyped(QTableWidgetItem *item)
{
    if (m_showing || item->column() != CountedColumn || item->row() >= m_counts.size())
        return;
    StockCount &count = m_counts[item->row()];
    try {
        count.counted = countedQuantity(item->text(), count.name).text();
    } catch (...) {
        showCounts();
        throw;
    }
    showCounts();
}

void StockTakeWindow::removeCurrentLine()
{
    const int row = m_linesGrid->currentRow();
    if (m_savedNumber != 0 || row < 0 || row >= m_counts.size())
        return;
    m_counts.removeAt(row);
    showCounts();
    m_linesGrid->setCurrentCell(qMin(row, int(m_counts.size()) - 1), CountedColumn);
}

void StockTakeWindow::showCounts()
{
    const QScopedValueRollback showing(m_showing, true);
    m_linesGrid->setRowCount(int(m_counts.size()));
    for (int row = 0; row < m_counts.size(); ++row) {
        const StockCount &count = m_counts.at(row);
        const QString difference = StockSheets::difference(count);
        const QStringList cells{count.code,
                                count.name,
                                StockSheets::shownQuantity(count.onHand),
                                count.counted,
                                StockSheets::shownQuantity(difference),
                                count.lastCost,
                                StockSheets::differenceCost(count)};
        for (int column = 0; column < NB_COLUMNS; ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column != CountedColumn || m_savedNumber != 0)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (column >= OnHandColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if ((column == DifferenceColumn || column == DifferenceCostColumn) && StockSheets::isBelowZero(difference))
                item->setForeground(Qt::red);
            m_linesGrid->setItem(row, column, item);
        }
    }
    const StockSheets::TakeTotals totals = StockSheets::totals(m_counts);
    m_totalLabel->setText(QStringLiteral("盘点 %1 种，有差异 %2 行，差异合计 %3，短缺金额（进价）%4 元")
                              .arg(m_counts.size())
                              .arg(totals.differing)
                              .arg(StockSheets::shownQuantity(totals.difference), totals.missingCost));
}

void StockTakeWindow::save()
{
    if (m_savedNumber != 0)
        throw Refusal(QStringLiteral("这次盘点已经保存（单号 %1）。").arg(m_savedNumber));
    if (m_counts.isEmpty())
        throw Refusal(QStringLiteral("还没有盘点任何商品。"));
    // On hand as it is now: a sale since the count began moved it, and the
    // adjustment must bring it to what was counted.
    QStringList codes;
    for (const StockCount &count : std::as_const(m_counts))
        codes << count.code;
    const QList<StockLevel> levels = StockLedger::levels(m_db, codes);
    for (StockCount &count : m_counts)
        for (const StockLevel &level : levels)
            if (level.code == count.code) {
                count.onHand = level.onHand;
                count.lastCost = level.lastCost;
            }
    showCounts();
    const QList<StockChange> changes = StockSheets::takeChanges(m_counts);
    if (changes.isEmpty()) {
        AppBoxes::showNotice(QStringLiteral("盘点的 %1 种商品都与账面相符，不需要保存。").arg(m_counts.size()));
        return;
    }
    const StockSheets::TakeTotals totals = StockSheets::totals(m_counts);
    if (!AppBoxes::askYesNo(QStringLiteral("共盘点 %1 种商品，其中 %2 行与账面不同（短缺金额 %3 元）。\n"
                                           "保存后这 %2 种商品的库存改为实点数。确定保存吗？")
                                .arg(m_counts.size())
                                .arg(changes.size())
                                .arg(totals.missingCost),
                            {this, QStringLiteral("Confirm")}))
        return;
    m_savedNumber = StockLedger::record(m_db, StockKind::StockTake, changes, StockWindowContext::stored(m_noteBox->text()),
                                        StockWindowContext::cashierOf(m_context));
    m_savedAt = now();
    showCounts();
    m_statusLabel->setText(QStringLiteral("盘点已保存，单号 %1：%2 种商品的库存已改为实点数。按 F9 打印。")
                               .arg(m_savedNumber)
                               .arg(changes.size()));
    m_codeBox->setFocus();
}

void StockTakeWindow::print()
{
    if (m_counts.isEmpty())
        throw Refusal(QStringLiteral("还没有盘点任何商品。"));
    if (!m_context.printer)
        throw Refusal(QStringLiteral("没有设置小票打印机。"));
    ReceiptSink &printer = m_context.printer();
    printer.print(StockPaperLayout::lines(
        StockSheets::takePaper(m_counts, m_noteBox->text().trimmed(), m_savedNumber ? m_savedAt : now(), m_savedNumber),
        ShopSettings::load(m_db).shopName, printer.encoding()));
}

void StockTakeWindow::exportTo(const QString &path)
{
    StockSheets::saveTakeCsv(m_counts, path, m_db.isServer() ? QString() : m_db.filePath());
}

void StockTakeWindow::askExport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出盘点表"), QStringLiteral("盘点表.csv"),
                                                      QStringLiteral("CSV 文件 (*.csv)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty() || !WindowParts::mayWriteCsv(this, path, m_db.isServer() ? QString() : m_db.filePath()))
        return;
    exportTo(path);
    AppBoxes::showNotice(QStringLiteral("盘点表已导出到 %1").arg(path));
}
