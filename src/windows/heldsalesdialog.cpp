#include "heldsalesdialog.h"

#include "widgets/datagrid.h"
#include "windows/windowparts.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QVBoxLayout>

HeldSalesDialog::HeldSalesDialog(const QList<HeldSale> &sales, QWidget *parent)
    : QDialog(parent)
    , m_sales(sales)
{
    setWindowTitle(QStringLiteral("取单"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(WindowParts::label(this, QStringLiteral("选一张挂单，按回车取回（Esc 不取）："), {},
                                         WindowParts::pixelFont(15, true)));
    m_rows = new QStandardItemModel(0, 3, this);
    m_rows->setHorizontalHeaderLabels({QStringLiteral("挂单时间"), QStringLiteral("行数"), QStringLiteral("金额")});
    for (const HeldSale &sale : sales) {
        QList<QStandardItem *> row{new QStandardItem(sale.heldAt), new QStandardItem(QString::number(sale.lines)),
                                   new QStandardItem(sale.total)};
        row[1]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row[2]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_rows->appendRow(row);
    }
    m_list = new DataGrid(this);
    m_list->setModel(m_rows);
    m_list->setFont(WindowParts::pixelFont(16));
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setMinimumSize(460, 240);
    layout->addWidget(m_list);
    connect(m_list, &DataGrid::enterPressed, this, &HeldSalesDialog::take);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &HeldSalesDialog::take);
    // The latest parked sale is the one most often taken back.
    m_list->setCurrentRow(int(sales.size()) - 1);
    m_list->setFocus();
}

void HeldSalesDialog::take()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_sales.size())
        return;
    m_chosen = m_sales.at(row).number;
    accept();
}
