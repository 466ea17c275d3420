#include "returnwindow.h"

#include "base/apperror.h"
#include "base/numbertext.h"
#include "till/saleerrors.h"
#include "till/till.h"
#include "widgets/apperrorbox.h"
#include "widgets/flatedit.h"
#include "windows/ownerpinquestion.h"
#include "windows/windowparts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

ReturnWindow::ReturnWindow(Till &till, ReceiptSink &printer, const QString &cashier, const QString &saleDate,
                           QWidget *parent)
    : QDialog(parent)
    , m_till(till)
    , m_printer(printer)
    , m_cashier(cashier)
    , m_saleDate(saleDate)
{
    buildControls();
    m_receiptBox->setFocus();
}

void ReturnWindow::buildControls()
{
    setWindowTitle(QStringLiteral("退货"));
    const QFont big = WindowParts::pixelFont(19, true);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("原小票单号（扫描条码或输入后回车）："), this), 0, 0);
    m_receiptBox = new FlatEdit(this);
    m_receiptBox->setFont(big);
    grid->addWidget(m_receiptBox, 0, 1, 1, 3);

    m_linesGrid = new QTableWidget(0, NB_COLUMNS, this);
    m_linesGrid->setHorizontalHeaderLabels(
        {QStringLiteral("商品"), QStringLiteral("单价"), QStringLiteral("卖出"), QStringLiteral("已退"),
         QStringLiteral("可退"), QStringLiteral("本次退")});
    m_linesGrid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_linesGrid->setMinimumSize(620, 220);
    grid->addWidget(m_linesGrid, 1, 0, 1, 4);

    m_cashRefundBox = new QCheckBox(QStringLiteral("全部退现金（不勾选：按原付款方式退）"), this);
    grid->addWidget(m_cashRefundBox, 2, 0, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("无小票退货（需店主密码）：品名 / 数量 / 单价"), this), 3, 0, 1, 4);
    m_looseNameBox = new FlatEdit(this);
    m_looseQuantityBox = new FlatEdit(this);
    m_looseQuantityBox->setText(QStringLiteral("1"));
    m_loosePriceBox = new FlatEdit(this);
    grid->addWidget(m_looseNameBox, 4, 0, 1, 2);
    grid->addWidget(m_looseQuantityBox, 4, 2);
    grid->addWidget(m_loosePriceBox, 4, 3);

    m_refundLabel = new QLabel(this);
    m_refundLabel->setFont(big);
    grid->addWidget(m_refundLabel, 5, 0, 1, 3);
    auto *returnButton = new QPushButton(QStringLiteral("退货 (F12)"), this);
    returnButton->setAutoDefault(false);
    grid->addWidget(returnButton, 5, 3);
    auto *hint = new QLabel(QStringLiteral("在“本次退”一栏填退回的数量；F12 退货并打印退货单；Esc 返回。"), this);
    hint->setWordWrap(true);
    grid->addWidget(hint, 6, 0, 1, 4);

    connect(returnButton, &QPushButton::clicked, this, [this] { AppBoxes::guarded([this] { completeReturn(); }); });
    for (QWidget *control : std::initializer_list<QWidget *>{m_receiptBox, m_linesGrid, m_looseNameBox,
                                                             m_looseQuantityBox, m_loosePriceBox, m_cashRefundBox})
        control->installEventFilter(this);
}

bool ReturnWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (key.key() == Qt::Key_F12) {
        AppBoxes::guarded([this] { completeReturn(); });
        return true;
    }
    // The scanner ends the number with Enter, as typing does.
    if (watched == m_receiptBox && WindowParts::isEnter(key.key())) {
        AppBoxes::guarded([this] { showReceipt(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ReturnWindow::showReceipt()
{
    m_sold.clear();
    m_shownReceipt.clear();
    m_linesGrid->setRowCount(0);
    m_sold = m_till.soldLines(m_receiptBox->text());
    m_shownReceipt = m_receiptBox->text().trimmed();
    m_linesGrid->setRowCount(int(m_sold.size()));
    auto cell = [this](int row, int column, const QString &text, bool editable) {
        auto *item = new QTableWidgetItem(text);
        if (!editable)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        m_linesGrid->setItem(row, column, item);
    };
    for (int row = 0; row < m_sold.size(); ++row) {
        const SoldLine &line = m_sold.at(row);
        cell(row, NameColumn, line.name, false);
        cell(row, PriceColumn, formatGeneral(line.price), false);
        cell(row, SoldColumn, formatGeneral(line.quantity), false);
        cell(row, ReturnedColumn, formatGeneral(line.returned), false);
        cell(row, ReturnableColumn, formatGeneral(qMax(0.0, line.returnable())), false);
        cell(row, NowColumn, QString(), true);
    }
    m_refundLabel->setText(QStringLiteral("单号 %1，共 %2 行").arg(m_shownReceipt).arg(m_sold.size()));
    if (!m_sold.isEmpty())
        m_linesGrid->setCurrentCell(0, NowColumn);
    m_linesGrid->setFocus();
}

SaleReturn ReturnWindow::requestWithReceipt() const
{
    SaleReturn request;
    request.soldReceipt = m_shownReceipt;
    for (int row = 0; row < m_sold.size(); ++row) {
        const QTableWidgetItem *item = m_linesGrid->item(row, NowColumn);
        const QString typed = item ? item->text().trimmed() : QString();
        if (typed.isEmpty())
            continue;
        double quantity = 0;
        if (!tryTextToNumber(typed, &quantity) || quantity < 0)
            throw Refusal(QStringLiteral("“%1”的退货数量“%2”不对：请输入大于零的数量。").arg(m_sold.at(row).name, typed));
        if (quantity == 0)
            continue;
        const SoldLine &sold = m_sold.at(row);
        request.lines << ReturnLine{sold.key, sold.code, sold.name, quantity, sold.price};
    }
    return request;
}

SaleReturn ReturnWindow::requestWithoutReceipt() const
{
    SaleReturn request;
    double quantity = 0;
    double price = 0;
    if (!tryTextToNumber(m_looseQuantityBox->text(), &quantity) || !tryTextToNumber(m_loosePriceBox->text(), &price)
        || price < 0)
        throw Refusal(QStringLiteral("无小票退货：请输入退回的数量和单价。"));
    request.lines << ReturnLine{0, QStringLiteral("-"), m_looseNameBox->text().trimmed(), quantity, price};
    return request;
}

void ReturnWindow::completeReturn()
{
    const bool withReceipt = !m_shownReceipt.isEmpty();
    if (!withReceipt && m_looseNameBox->text().trimmed().isEmpty())
        throw Refusal(QStringLiteral("请先扫描或输入原小票单号并回车，或填写无小票退货的品名。"));
    SaleReturn request = withReceipt ? requestWithReceipt() : requestWithoutReceipt();
    request.refundInCash = m_cashRefundBox->isChecked();
    request.cashier = m_cashier;
    request.saleDate = m_saleDate;
    request.receiptNumber = m_till.nextReceiptNumber();
    try {
        m_recordedNumber = m_till.completeReturn(request, m_printer);
    } catch (const OwnerPinNeeded &e) {
        if (withReceipt)
            throw;
        const std::optional<QString> pin = OwnerPinQuestion::ask(this, e.message());
        if (!pin)
            return;
        request.ownerPin = *pin;
        m_recordedNumber = m_till.completeReturn(request, m_printer);
    } catch (const ReturnNotPrinted &e) {
        AppBoxes::showNotice(e.message());
        accept();
        return;
    }
    accept();
}
