#pragma once

#include "windows/formkeys.h"

#include "transfer/goodsreceiptimport.h"
#include "windows/stockwindowcontext.h"

#include <QDialog>
#include <QList>

class Database;
class FlatEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// A receipt of goods (进货单): each product is scanned or typed with the
// quantity that came in (weighed goods to the gram) and its cost price per
// unit, or the lines come from a CSV file; F5 saves them as one stock
// document, F9 prints the saved document on the receipt printer. Del takes
// the current line out; Esc closes.
class GoodsReceiptWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GoodsReceiptWindow)

public:
    GoodsReceiptWindow(Database &db, StockWindowContext context, QWidget *parent);

    enum Column { CodeColumn, NameColumn, QuantityColumn, CostColumn, AmountColumn, NB_COLUMNS };

    FlatEdit *codeBox() const { return m_codeBox; }
    FlatEdit *quantityBox() const { return m_quantityBox; }
    FlatEdit *costBox() const { return m_costBox; }
    FlatEdit *noteBox() const { return m_noteBox; }
    QTableWidget *linesGrid() const { return m_linesGrid; }
    QLabel *totalLabel() const { return m_totalLabel; }
    QPlainTextEdit *problemsBox() const { return m_problemsBox; }
    qint64 savedNumber() const { return m_savedNumber; }

    // Adds the good rows of a CSV file and lists the bad ones by line.
    void importFile(const QString &path);
    void save();    // F5
    void print();   // F9

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void lookUp();
    void addTypedLine();
    void addLines(const QList<GoodsReceiptImport::Line> &lines);
    void removeCurrentLine();
    void startNewIfSaved();
    void showLines();
    void askImport();

    Database &m_db;
    FormKeys m_keys;
    StockWindowContext m_context;
    QList<GoodsReceiptImport::Line> m_lines;
    qint64 m_savedNumber = 0;
    QString m_foundCode;
    QString m_foundName;
    FlatEdit *m_codeBox = nullptr;
    FlatEdit *m_quantityBox = nullptr;
    FlatEdit *m_costBox = nullptr;
    FlatEdit *m_noteBox = nullptr;
    QLabel *m_productLabel = nullptr;
    QTableWidget *m_linesGrid = nullptr;
    QLabel *m_totalLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
    QPlainTextEdit *m_problemsBox = nullptr;
};
