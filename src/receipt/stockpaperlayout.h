#pragma once

#include "base/textcodec.h"
#include "receipt/receiptdata.h"

#include <QList>
#include <QString>
#include <QStringList>

// A stock paper as it is printed: a receipt of goods (进货单), a stock-take
// (盘点表) or the low-stock list, each a title, a few heading lines, item
// lines of name, quantity and amount, and a few closing lines.
struct StockPaper
{
    QString title;
    QStringList heading;
    QString columns;   // the item lines' header: "品名            数量  金额"
    QList<ReceiptSaleLine> lines;
    QStringList footing;
};

// Lays out a stock paper in the receipt's byte columns.
class StockPaperLayout final
{
public:
    StockPaperLayout() = delete;

    static QList<ReceiptLine> lines(const StockPaper &paper, const QString &shopName,
                                    TextEncoding encoding = TextEncoding::Gbk);
};
