#pragma once

#include "windows/formkeys.h"

#include "storage/stockledger.h"
#include "windows/stockwindowcontext.h"

#include <QDialog>
#include <QList>

class Database;
class FlatEdit;
class QLabel;
class QTableWidget;

// Products that are running out (库存不足): below zero, or at or below the
// reorder level the shop set for them; those below zero in red with a mark.
// The reorder level (补货线) of any product is set here; the list prints
// (F9) and is saved as CSV. Esc closes.
class LowStockWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LowStockWindow)

public:
    LowStockWindow(Database &db, StockWindowContext context, QWidget *parent);

    enum Column { CodeColumn, NameColumn, OnHandColumn, ReorderColumn, NB_COLUMNS };

    QTableWidget *levelsGrid() const { return m_levelsGrid; }
    FlatEdit *codeBox() const { return m_codeBox; }
    FlatEdit *reorderBox() const { return m_reorderBox; }
    const QList<StockLevel> &levels() const { return m_levels; }

    void showLevels();                    // reads the list afresh (F2)
    void setReorderLevel();               // the boxes' code and level (Enter in the level box)
    void print();                         // F9
    void exportTo(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void askExport();

    Database &m_db;
    FormKeys m_keys;
    StockWindowContext m_context;
    QList<StockLevel> m_levels;
    QTableWidget *m_levelsGrid = nullptr;
    FlatEdit *m_codeBox = nullptr;
    FlatEdit *m_reorderBox = nullptr;
    QLabel *m_countLabel = nullptr;
};
