#pragma once

#include "till/heldsale.h"

#include <QDialog>
#include <QList>

class DataGrid;
class QStandardItemModel;

// The till's parked sales (时间, 行数, 金额), to take one back (取单):
// arrows choose, Enter or a double click takes it, Esc takes none.
class HeldSalesDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HeldSalesDialog)

public:
    HeldSalesDialog(const QList<HeldSale> &sales, QWidget *parent = nullptr);

    DataGrid *list() const { return m_list; }
    // The sale taken; 0 when none was.
    qint64 chosen() const { return m_chosen; }

private:
    void take();

    QList<HeldSale> m_sales;
    DataGrid *m_list = nullptr;
    QStandardItemModel *m_rows = nullptr;
    qint64 m_chosen = 0;
};
