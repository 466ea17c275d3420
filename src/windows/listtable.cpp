#include "windows/listtable.h"

#include "widgets/apperrorbox.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace ListTable {

QTableWidget *make(QWidget *parent, const QStringList &headers, int stretchColumn)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setSectionResizeMode(stretchColumn, QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    return table;
}

QHBoxLayout *buttonRow(QWidget *parent, const QList<Button> &buttons)
{
    auto *row = new QHBoxLayout;
    for (const Button &button : buttons) {
        auto *pushButton = new QPushButton(button.caption, parent);
        QObject::connect(pushButton, &QPushButton::clicked, parent,
                         [onClick = button.onClick] { AppBoxes::guarded(onClick); });
        row->addWidget(pushButton);
    }
    return row;
}

QTableWidgetItem *checkItem(bool checked)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidgetItem *fixedItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace ListTable
