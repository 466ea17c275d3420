#pragma once

#include "receipt/escposlink.h"
#include "receipt/receiptdata.h"

#include <QByteArray>
#include <QString>

// Keeps what would have gone to the printer.
class MemoryLink final : public EscPosLink
{
public:
    explicit MemoryLink(QByteArray *bytes) : m_sent(bytes) {}
    void open() override {}
    void send(const QByteArray &bytes) override { *m_sent += bytes; }
    void close() noexcept override {}
    QString target() const override { return QStringLiteral("memory"); }

private:
    QByteArray *m_sent;
};

// The sale printed in the worked receipt: a shop name centred with six
// blanks, two sale lines (the second name too long for its column), paid
// with 20 and 0.5 change back.
inline ReceiptInput workedExampleSale()
{
    ReceiptInput input;
    input.shopName = QStringLiteral(u"      福来超市");
    input.receiptNumber = QStringLiteral("261206143005");
    input.saleDate = QStringLiteral("2026-12-06");
    input.printTime = QStringLiteral("14:30");
    input.cashier = QStringLiteral("001");
    input.saleLines = {
        {QStringLiteral(u"矿泉水"), QStringLiteral("2"), QStringLiteral("7")},
        {QStringLiteral(u"进口特级初榨橄榄油礼"), QStringLiteral("1"), QStringLiteral("12.5")},
    };
    input.totalQuantity = QStringLiteral("3");
    input.totalAmount = QStringLiteral("19.5");
    input.received = QStringLiteral("20");
    input.change = QStringLiteral("0.5");
    input.remark = QStringLiteral(u"谢谢惠顾，欢迎再来");
    return input;
}
