#pragma once

#include "till/salereturn.h"

#include <QDialog>
#include <QList>
#include <QString>

class FlatEdit;
class QCheckBox;
class QLabel;
class QTableWidget;
class ReceiptSink;
class Till;

// Goods coming back (退货). The receipt's number is scanned from its
// barcode or typed, and Enter shows its lines with what was returned of
// them so far; the cashier types how many of each come back, and F12 (or
// the button) records the return and prints its 退货单, the money going
// back by the sale's own methods or, when ticked, in cash. Without a
// receipt the goods are named and priced in the boxes below, and the
// owner's PIN is asked. Esc gives up.
class ReturnWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReturnWindow)

public:
    // cashier, saleDate: as the cashier screen shows them.
    ReturnWindow(Till &till, ReceiptSink &printer, const QString &cashier, const QString &saleDate,
                 QWidget *parent);

    // Columns of the lines grid.
    enum Column { NameColumn, PriceColumn, SoldColumn, ReturnedColumn, ReturnableColumn, NowColumn, NB_COLUMNS };

    FlatEdit *receiptBox() const { return m_receiptBox; }
    QTableWidget *linesGrid() const { return m_linesGrid; }
    QCheckBox *cashRefundBox() const { return m_cashRefundBox; }
    FlatEdit *looseNameBox() const { return m_looseNameBox; }
    FlatEdit *looseQuantityBox() const { return m_looseQuantityBox; }
    FlatEdit *loosePriceBox() const { return m_loosePriceBox; }
    QLabel *refundLabel() const { return m_refundLabel; }
    // The receipt number of the return last recorded here.
    const QString &recordedNumber() const { return m_recordedNumber; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void showReceipt();
    SaleReturn requestWithReceipt() const;
    SaleReturn requestWithoutReceipt() const;
    void completeReturn();

    Till &m_till;
    ReceiptSink &m_printer;
    QString m_cashier;
    QString m_saleDate;
    QString m_shownReceipt;
    QList<SoldLine> m_sold;
    QString m_recordedNumber;
    FlatEdit *m_receiptBox = nullptr;
    QTableWidget *m_linesGrid = nullptr;
    QCheckBox *m_cashRefundBox = nullptr;
    FlatEdit *m_looseNameBox = nullptr;
    FlatEdit *m_looseQuantityBox = nullptr;
    FlatEdit *m_loosePriceBox = nullptr;
    QLabel *m_refundLabel = nullptr;
};
