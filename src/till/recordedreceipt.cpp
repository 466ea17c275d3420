#include "recordedreceipt.h"

#include "base/apperror.h"
#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "storage/auditlog.h"
#include "storage/database.h"
#include "storage/paymentmethods.h"
#include "storage/schema.h"
#include "storage/query.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

using Column = Statements::ReceiptLineColumn;

QList<QVariantList> readLines(Database &db, const Statement &statement)
{
    QSqlQuery rows = db.run(statement);
    const int columns = int(Column::Till) + 1;
    QList<QVariantList> lines;
    while (rows.next()) {
        QVariantList line;
        line.reserve(columns);
        for (int i = 0; i < columns; ++i)
            line << rows.value(i);
        lines << std::move(line);
    }
    if (rows.lastError().isValid())
        db.fail(rows.lastError());
    return lines;
}

QString text(const QVariantList &line, Column column)
{
    return Query::valueText(line.value(int(column)));
}

double number(const QVariantList &line, Column column)
{
    return Query::valueNumber(line.value(int(column)));
}

} // namespace

ReceiptInput RecordedReceipt::load(Database &db, const QString &receiptNumber)
{
    return loadSales(db, receiptNumber).first();
}

QList<ReceiptInput> RecordedReceipt::loadSales(Database &db, const QString &receiptNumber)
{
    const QString number = receiptNumber.trimmed();
    if (number.isEmpty())
        throw Refusal(QStringLiteral("请填上单号!"));
    const QList<QVariantList> lines = readLines(db, Statements::recordedReceipt(number));
    if (lines.isEmpty())
        throw Refusal(QStringLiteral("找不到单号为 %1 的小票").arg(number));
    // The lines of one sale share its cashier, date and time.
    QList<QStringList> sales;
    QList<QList<QVariantList>> linesOfSale;
    for (const QVariantList &line : lines) {
        const QStringList sale{text(line, Column::Cashier), text(line, Column::Date), text(line, Column::Time)};
        qsizetype at = sales.indexOf(sale);
        if (at < 0) {
            at = sales.size();
            sales << sale;
            linesOfSale << QList<QVariantList>();
        }
        linesOfSale[at] << line;
    }
    QList<ReceiptInput> receipts;
    for (const QList<QVariantList> &sale : std::as_const(linesOfSale)) {
        int till = 0;
        receipts << fromLines(db, sale, &till);
        // Payments are kept by receipt number: only a number of one sale has its own.
        if (linesOfSale.size() == 1)
            showPayments(receipts.last(), shownPayments(db, number, till));
    }
    return receipts;
}

ReceiptInput RecordedReceipt::loadRows(Database &db, qint64 firstKey, qint64 lastKey, int till)
{
    return fromLines(db, readLines(db, Statements::recordedSale(firstKey, lastKey, till)));
}

ReceiptInput RecordedReceipt::fromLines(Database &db, const QList<QVariantList> &lines, int *till)
{
    const ShopSettings settings = ShopSettings::load(db);
    ReceiptInput input;
    input.shopName = settings.shopName;
    input.remark = settings.remark;
    if (!lines.isEmpty()) {
        const QVariantList &first = lines.first();
        input.receiptNumber = text(first, Column::ReceiptNumber);
        input.cashier = text(first, Column::Cashier);
        input.saleDate = text(first, Column::Date);
        input.printTime = text(first, Column::Time);
        if (till)
            *till = first.value(int(Column::Till)).toInt();
    }
    // Exact decimal sums, as the till adds the open sale.
    DecimalSum quantity;
    DecimalSum amount;
    for (const QVariantList &line : lines) {
        input.saleLines << ReceiptSaleLine{text(line, Column::Name), text(line, Column::Quantity),
                                           text(line, Column::Amount)};
        quantity.add(number(line, Column::Quantity));
        amount.add(number(line, Column::Amount));
    }
    input.totalQuantity = quantity.text();
    input.totalAmount = amount.text();
    return input;
}

QList<Payment> RecordedReceipt::shownPayments(Database &db, const QString &receiptNumber, int till)
{
    using PaymentColumn = Statements::PaymentColumn;
    // Read before the payments: a server connection answers one statement at a time.
    const QList<PaymentMethod> methods = PaymentMethods::load(db);
    QList<Payment> payments;
    QSqlQuery paid = db.run(Statements::receiptPayments(receiptNumber, till));
    while (paid.next()) {
        if (paid.value(int(PaymentColumn::Shown)).toInt() == 0)
            continue;
        const int method = paid.value(int(PaymentColumn::Method)).toInt();
        payments << Payment{method, PaymentMethods::nameOf(methods, method),
                            paid.value(int(PaymentColumn::Amount)).toString(),
                            paid.value(int(PaymentColumn::Change)).toString()};
    }
    return payments;
}

void RecordedReceipt::showPayments(ReceiptInput &input, const QList<Payment> &payments)
{
    if (payments.size() == 1 && payments.first().method == Schema::kCashMethod) {
        input.received = payments.first().amount;
        input.change = payments.first().change;
    } else if (!payments.isEmpty()) {
        input.received.clear();
        input.change.clear();
        DecimalSum change;
        for (const Payment &payment : payments) {
            input.payments << ReceiptPayment{payment.methodName, payment.amount};
            change.add(textToNumber(payment.change));
        }
        input.paymentChange = change.text();
    }
}

void RecordedReceipt::reprint(Database &db, const QString &receiptNumber, ReceiptSink &printer)
{
    const QList<ReceiptInput> sales = loadSales(db, receiptNumber);
    for (const ReceiptInput &sale : sales)
        printer.print(ReceiptLayout::reprintLines(sale, printer.encoding()));
    // A reprint is a second paper for the same money: the owner sees each.
    for (const ReceiptInput &sale : sales)
        AuditLog::write(db, {AuditLog::Kind::Reprint, ShopSettings::load(db).cashier, sale.receiptNumber,
                             QStringLiteral("%1 行").arg(sale.saleLines.size()), sale.totalAmount});
}
