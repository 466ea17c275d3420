#include "goodsreceiptwindow.h"

#include "base/apperror.h"
#include "base/exactdecimal.h"
#include "receipt/receiptsink.h"
#include "reports/stocksheets.h"
#include "storage/database.h"
#include "storage/shopsettings.h"
#include "storage/stockledger.h"
#include "widgets/apperrorbox.h"
#include "widgets/flatedit.h"
#include "windows/productpicker.h"
#include "windows/windowparts.h"

#include <QFileDialog>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

GoodsReceiptWindow::GoodsReceiptWindow(Database &db, StockWindowContext context, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_context(std::move(context))
{
    buildControls();
    m_codeBox->setFocus();
}

void GoodsReceiptWindow::buildControls()
{
    setWindowTitle(QStringLiteral("进货单"));
    const QFont big = WindowParts::pixelFont(17, true);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(WindowParts::heading(this, windowTitle()));
    auto *grid = new QGridLayout;
    outer->addLayout(grid);
    m_codeBox = new FlatEdit(this);
    m_quantityBox = new FlatEdit(this);
    m_costBox = new FlatEdit(this);
    for (FlatEdit *box : {m_codeBox, m_quantityBox, m_costBox})
        box->setFont(big);
    grid->addWidget(new QLabel(QStringLiteral("编码（扫描或输入后回车）"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("数量"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("进货价（元/单位）"), this), 0, 2);
    grid->addWidget(m_codeBox, 1, 0);
    grid->addWidget(m_quantityBox, 1, 1);
    grid->addWidget(m_costBox, 1, 2);
    auto *addButton = new QPushButton(QStringLiteral("添加"), this);
    grid->addWidget(addButton, 1, 3);
    m_productLabel = new QLabel(this);
    grid->addWidget(m_productLabel, 2, 0, 1, 4);

    m_linesGrid = new QTableWidget(0, NB_COLUMNS, this);
    m_linesGrid->setHorizontalHeaderLabels({QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("数量"),
                                            QStringLiteral("进货价"), QStringLiteral("金额")});
    m_linesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_linesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_linesGrid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    // A 13-digit barcode shows whole.
    m_linesGrid->setColumnWidth(CodeColumn, 150);
    m_linesGrid->setMinimumSize(720, 300);
    grid->addWidget(m_linesGrid, 3, 0, 1, 4);

    m_problemsBox = new QPlainTextEdit(this);
    m_problemsBox->setReadOnly(true);
    m_problemsBox->setMaximumHeight(90);
    m_problemsBox->hide();
    grid->addWidget(m_problemsBox, 4, 0, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("供应商/备注"), this), 5, 0);
    m_noteBox = new FlatEdit(this);
    grid->addWidget(m_noteBox, 5, 1, 1, 3);

    m_totalLabel = new QLabel(this);
    m_totalLabel->setFont(big);
    grid->addWidget(m_totalLabel, 6, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    auto *importButton = new QPushButton(QStringLiteral("导入 CSV…"), this);
    auto *saveButton = new QPushButton(QStringLiteral("保存 (F5)"), this);
    auto *printButton = new QPushButton(QStringLiteral("打印 (F9)"), this);
    auto *closeButton = new QPushButton(QStringLiteral("关闭 (Esc)"), this);
    for (QPushButton *button : {addButton, importButton, saveButton, printButton, closeButton}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    for (QPushButton *button : {importButton, saveButton, printButton, closeButton})
        buttons->addWidget(button);
    grid->addLayout(buttons, 6, 2, 1, 2);
    m_statusLabel = new QLabel(
        QStringLiteral("扫描编码后回车，输入数量回车，再输入进货价回车即加入一行；Del 删除选中的行。"), this);
    m_statusLabel->setWordWrap(true);
    grid->addWidget(m_statusLabel, 7, 0, 1, 4);

    using AppBoxes::guarded;
    connect(addButton, &QPushButton::clicked, this, [this] { guarded([this] { addTypedLine(); }); });
    connect(importButton, &QPushButton::clicked, this, [this] { guarded([this] { askImport(); }); });
    connect(saveButton, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(printButton, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_keys.onKey(Qt::Key_F5, [this] { save(); });
    m_keys.onKey(Qt::Key_F9, [this] { print(); });
    m_keys.onKey(Qt::Key_Delete, [this] { removeCurrentLine(); }, m_linesGrid);
    // The scanner ends a code with Enter; each box hands on to the next.
    m_keys.onEnter(m_codeBox, [this] { lookUp(); });
    m_keys.onEnter(m_quantityBox, [this] {
        m_costBox->setFocus();
        m_costBox->selectAll();
    });
    m_keys.onEnter(m_costBox, [this] { addTypedLine(); });
    for (QWidget *control : std::initializer_list<QWidget *>{m_codeBox, m_quantityBox, m_costBox, m_noteBox, m_linesGrid})
        control->installEventFilter(this);
    showLines();
}

bool GoodsReceiptWindow::eventFilter(QObject *watched, QEvent *event)
{
    return m_keys.handle(watched, event) || QDialog::eventFilter(watched, event);
}

void GoodsReceiptWindow::reject()
{
    if (!m_lines.isEmpty() && m_savedNumber == 0
        && !AppBoxes::askYesNo(QStringLiteral("进货单还没有保存，关闭后这些行不会记入库存。确定关闭吗？"),
                               {this, QString(), QMessageBox::Question, QMessageBox::No}))
        return;
    QDialog::reject();
}

void GoodsReceiptWindow::lookUp()
{
    // A code, or part of a name or its pinyin: the product found stands in the box by its code.
    m_foundCode.clear();
    const std::optional<StockLevel> level = ProductPicker::levelFor(m_codeBox, m_db);
    if (!level)
        return;
    m_foundCode = level->code;
    m_foundName = level->name;
    m_productLabel->setText(QStringLiteral("%1　现有库存 %2　上次进货价 %3")
                                .arg(level->name, StockSheets::shownQuantity(level->onHand),
                                     level->lastCost.isEmpty() ? QStringLiteral("无") : level->lastCost));
    if (m_quantityBox->text().trimmed().isEmpty())
        m_quantityBox->setText(QStringLiteral("1"));
    m_costBox->setText(level->lastCost);
    m_quantityBox->setFocus();
    m_quantityBox->selectAll();
}

void GoodsReceiptWindow::addTypedLine()
{
    // A code typed but not yet looked up is looked up now.
    if (m_foundCode.isEmpty() || m_foundCode != m_codeBox->text().trimmed()) {
        lookUp();
        if (m_foundCode.isEmpty())
            return;
    }
    GoodsReceiptImport::Line line;
    line.code = m_foundCode;
    line.name = m_foundName;
    line.quantity = m_quantityBox->text().trimmed();
    line.cost = m_costBox->text().trimmed();
    const QString problem = GoodsReceiptImport::problemOf(line.quantity, line.cost);
    if (!problem.isEmpty())
        throw Refusal(QStringLiteral("“%1”：%2。").arg(line.name, problem));
    line.quantity = ExactDecimal::parse(line.quantity)->text();
    line.cost = ExactDecimal::parse(line.cost)->text();
    addLines({line});
    m_foundCode.clear();
    m_codeBox->clear();
    m_quantityBox->clear();
    m_costBox->clear();
    m_productLabel->clear();
    m_codeBox->setFocus();
}

void GoodsReceiptWindow::startNewIfSaved()
{
    // A saved receipt stays on show for printing; the next line begins another.
    if (m_savedNumber == 0)
        return;
    m_savedNumber = 0;
    m_lines.clear();
    m_noteBox->clear();
    m_problemsBox->clear();
    m_problemsBox->hide();
}

void GoodsReceiptWindow::addLines(const QList<GoodsReceiptImport::Line> &lines)
{
    startNewIfSaved();
    m_lines += lines;
    showLines();
    m_linesGrid->setCurrentCell(int(m_lines.size()) - 1, CodeColumn);
}

void GoodsReceiptWindow::removeCurrentLine()
{
    const int row = m_linesGrid->currentRow();
    if (m_savedNumber != 0 || row < 0 || row >= m_lines.size())
        return;
    m_lines.removeAt(row);
    showLines();
    m_linesGrid->setCurrentCell(qMin(row, int(m_lines.size()) - 1), CodeColumn);
}

void GoodsReceiptWindow::showLines()
{
    m_linesGrid->setRowCount(int(m_lines.size()));
    QList<StockChange> changes;
    ExactDecimal quantity;
    for (int row = 0; row < m_lines.size(); ++row) {
        const GoodsReceiptImport::Line &line = m_lines.at(row);
        const QStringList cells{line.code, line.name, line.quantity, line.cost,
                                StockSheets::lineAmount(line.quantity, line.cost)};
        for (int column = 0; column < NB_COLUMNS; ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column >= QuantityColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_linesGrid->setItem(row, column, item);
        }
        changes << StockChange{line.code, line.quantity, line.cost};
        quantity += *ExactDecimal::parse(line.quantity);
    }
    m_totalLabel->setText(QStringLiteral("共 %1 行，数量 %2，进货金额 %3 元")
                              .arg(m_lines.size())
                              .arg(quantity.text(), StockSheets::receivedAmount(changes)));
}

void GoodsReceiptWindow::askImport()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择进货单文件"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv *.txt);;所有文件 (*)"));
    if (!file.isEmpty())
        importFile(file);
}

void GoodsReceiptWindow::importFile(const QString &path)
{
    const GoodsReceiptImport file(path);
    const GoodsReceiptImport::Result result = file.read(m_db);
    addLines(result.lines);
    QStringList problems;
    for (const ImportReport::BadRow &row : result.report.badRows)
        problems << QStringLiteral("第 %1 行：%2%3")
                        .arg(row.line)
                        .arg(row.reason, row.code.isEmpty() ? QString() : QStringLiteral("（编码 %1）").arg(row.code));
    m_problemsBox->setPlainText(problems.join(QLatin1Char('\n')));
    m_problemsBox->setVisible(!problems.isEmpty());
    m_statusLabel->setText(QStringLiteral("从文件（%1，%2）读入 %3 行；%4 行有问题，没有读入。")
                               .arg(file.format().encodingName, file.format().separatorName())
                               .arg(result.lines.size())
                               .arg(result.report.badCount));
}

void GoodsReceiptWindow::save()
{
    if (m_savedNumber != 0)
        throw Refusal(QStringLiteral("这张进货单已经保存（单号 %1）。").arg(m_savedNumber));
    if (m_lines.isEmpty())
        throw Refusal(QStringLiteral("进货单里还没有商品。"));
    QList<StockChange> changes;
    for (const GoodsReceiptImport::Line &line : std::as_const(m_lines))
        changes << StockChange{line.code, line.quantity, line.cost};
    m_savedNumber = StockLedger::record(m_db, StockKind::Received, changes, StockWindowContext::stored(m_noteBox->text()),
                                        StockWindowContext::cashierOf(m_context));
    m_statusLabel->setText(
        QStringLiteral("进货单已保存，单号 %1，库存已增加。按 F9 打印；扫描下一个编码开始新的进货单。").arg(m_savedNumber));
    m_codeBox->setFocus();
}

void GoodsReceiptWindow::print()
{
    if (m_savedNumber == 0)
        throw Refusal(QStringLiteral("请先保存进货单（F5），再打印。"));
    if (!m_context.printer)
        throw Refusal(QStringLiteral("没有设置小票打印机。"));
    const std::optional<StockDocument> document = StockLedger::document(m_db, m_savedNumber);
    if (!document)
        throw Refusal(QStringLiteral("找不到进货单 %1。").arg(m_savedNumber));
    QHash<QString, QString> names;
    for (const GoodsReceiptImport::Line &line : std::as_const(m_lines))
        names.insert(line.code, line.name);
    ReceiptSink &printer = m_context.printer();
    printer.print(StockPaperLayout::lines(StockSheets::receivedPaper(*document, names),
                                          ShopSettings::load(m_db).shopName, printer.encoding()));
    m_statusLabel->setText(QStringLiteral("进货单 %1 已打印。").arg(m_savedNumber));
}
