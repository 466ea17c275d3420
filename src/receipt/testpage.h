#pragma once

#include "base/textcodec.h"
#include "receipt/receiptdata.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The page a shop prints to see that its receipt printer works: the shop
// name as the receipt's title, Chinese text in the chosen encoding, a ruler
// as wide as the paper and the time.
class TestPage final
{
public:
    TestPage() = delete;

    static QList<ReceiptLine> lines(const QString &shopName, TextEncoding encoding, int columns,
                                    const QDateTime &printed);

    // Chinese text that only prints right when the printer takes the encoding.
    static QStringList sampleText(TextEncoding encoding);

    // "....+....1....+...." and "1234567890123…", columns wide.
    static QStringList ruler(int columns);
};
