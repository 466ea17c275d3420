#include "recordedreceipt.h"

#include "base/apperror.h"
#include "base/decimalsum.h"
#include "storage/query.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

namespace {
namespace Record = Tables::SalesRecord;
} // namespace

ReceiptInput RecordedReceipt::load(Database &db, const QString &receiptNumber)
{
    const QString number = receiptNumber.trimmed();
    if (number.isEmpty())
        throw Refusal(QStringLiteral("请填上单号!"));
    Query lines(db);
    lines.setStatement(Statements::recordedReceipt(number));
    lines.open();
    if (lines.recordCount() <= 0)
        throw Refusal(QStringLiteral("找不到单号为 %1 的小票").arg(number));
    return fromLines(db, lines);
}

ReceiptInput RecordedReceipt::loadRows(Database &db, qint64 firstKey, qint64 lastKey, int till)
{
    Query lines(db);
    lines.setStatement(Statements::recordedSale(firstKey, lastKey, till));
    lines.open();
    return fromLines(db, lines);
}

ReceiptInput RecordedReceipt::fromLines(Database &db, Query &lines)
{
    const ShopSettings settings = ShopSettings::load(db);
    ReceiptInput input;
    input.shopName = settings.shopName;
    input.remark = settings.remark;
    lines.first();
    if (!lines.eof()) {
        input.receiptNumber = lines.text(Record::receiptNumber);
        input.cashier = lines.text(Record::cashier);
        input.saleDate = lines.text(Record::date);
        input.printTime = lines.text(Record::time);
    }
    // Exact decimal sums, as the till adds the open sale.
    DecimalSum quantity;
    DecimalSum amount;
    for (; !lines.eof(); lines.next()) {
        input.saleLines << ReceiptSaleLine{lines.text(Record::name), lines.text(Record::quantity), lines.text(Record::amount)};
        quantity.add(lines.number(Record::quantity));
        amount.add(lines.number(Record::amount));
    }
    input.totalQuantity = quantity.text();
    input.totalAmount = amount.text();
    return input;
}

void RecordedReceipt::reprint(Database &db, const QString &receiptNumber, ReceiptSink &printer)
{
    printer.print(ReceiptLayout::reprintLines(load(db, receiptNumber), printer.encoding()));
}
