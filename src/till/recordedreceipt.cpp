#include "recordedreceipt.h"

#include "base/apperror.h"
#include "base/decimalsum.h"
#include "storage/query.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

namespace {
const QString kName = QStringLiteral("品名");
const QString kQuantity = QStringLiteral("数量");
const QString kAmount = QStringLiteral("金额");
const QString kCashier = QStringLiteral("收银员");
const QString kDate = QStringLiteral("日期");
const QString kTime = QStringLiteral("时间");
const QString kReceiptNumber = QStringLiteral("单号");
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
        input.receiptNumber = lines.text(kReceiptNumber);
        input.cashier = lines.text(kCashier);
        input.saleDate = lines.text(kDate);
        input.printTime = lines.text(kTime);
    }
    // Exact decimal sums, as the till adds the open sale.
    DecimalSum quantity;
    DecimalSum amount;
    for (; !lines.eof(); lines.next()) {
        input.saleLines << ReceiptSaleLine{lines.text(kName), lines.text(kQuantity), lines.text(kAmount)};
        quantity.add(lines.number(kQuantity));
        amount.add(lines.number(kAmount));
    }
    input.totalQuantity = quantity.text();
    input.totalAmount = amount.text();
    return input;
}

void RecordedReceipt::reprint(Database &db, const QString &receiptNumber, ReceiptSink &printer)
{
    printer.print(ReceiptLayout::reprintLines(load(db, receiptNumber), printer.encoding()));
}
