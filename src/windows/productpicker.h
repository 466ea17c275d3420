#pragma once

#include "storage/stockledger.h"

#include <QString>

#include <optional>

class Database;
class QLineEdit;
class QWidget;

// Which product a stock window means by what was typed: the product of that
// code, or else those whose code or name holds the text or whose pinyin
// starts with it (kkkl, kekou). One found is taken; several are offered in a
// list to choose from. Throws Refusal when none is found; empty when the
// list was closed without a choice.
class ProductPicker final
{
public:
    ProductPicker() = delete;

    // The product the box's text means, with its stock; the box then shows
    // its code. Throws Refusal with the box's text selected to type again.
    static std::optional<StockLevel> levelFor(QLineEdit *box, Database &db);

    // At most so many are offered; more say to type more of the name.
    static constexpr int kMostOffered = 50;

private:
    // The code of the product chosen among those the text finds by name or pinyin.
    static QString chosenCode(QWidget *parent, Database &db, const QString &text);
};
