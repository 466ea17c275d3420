#pragma once

#include "windows/formkeys.h"

#include "reports/stocksheets.h"
#include "windows/stockwindowcontext.h"

#include <QDialog>
#include <QList>

class Database;
class FlatEdit;
class QLabel;
class QTableWidget;
class QTableWidgetItem;

// A stock-take (盘点) of the whole shop or one shelf: each product is
// scanned or typed with the quantity counted (a product counted again adds
// to its count; the 实点 cell can also be typed over). Each line shows what
// the ledger says (账面), what was counted (实点) and the difference, with
// its cost; F5 saves the differing lines as one stock document after a
// question, so that on hand becomes what was counted. F9 prints the
// stock-take, 导出 CSV saves it. Del takes a line out; Esc closes.
class StockTakeWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StockTakeWindow)

public:
    StockTakeWindow(Database &db, StockWindowContext context, QWidget *parent);

    enum Column { CodeColumn, NameColumn, OnHandColumn, CountedColumn, DifferenceColumn, CostColumn,
                  DifferenceCostColumn, NB_COLUMNS };

    FlatEdit *codeBox() const { return m_codeBox; }
    FlatEdit *countedBox() const { return m_countedBox; }
    FlatEdit *noteBox() const { return m_noteBox; }
    QTableWidget *linesGrid() const { return m_linesGrid; }
    QLabel *totalLabel() const { return m_totalLabel; }
    const QList<StockCount> &counts() const { return m_counts; }
    qint64 savedNumber() const { return m_savedNumber; }

    void save();                              // F5
    void print();                             // F9
    void exportTo(const QString &path);       // the stock-take as CSV

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void lookUp();
    void addCount();
    void removeCurrentLine();
    void showCounts();
    void countTyped(QTableWidgetItem *item);
    void askExport();

    Database &m_db;
    FormKeys m_keys;
    StockWindowContext m_context;
    QList<StockCount> m_counts;
    qint64 m_savedNumber = 0;
    QString m_savedAt;
    bool m_showing = false;
    QString m_foundCode;
    FlatEdit *m_codeBox = nullptr;
    FlatEdit *m_countedBox = nullptr;
    FlatEdit *m_noteBox = nullptr;
    QLabel *m_productLabel = nullptr;
    QTableWidget *m_linesGrid = nullptr;
    QLabel *m_totalLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
};
