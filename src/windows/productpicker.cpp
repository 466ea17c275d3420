#include "productpicker.h"

#include "base/apperror.h"
#include "base/pinyinkeys.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/statements.h"
#include "storage/stockledger.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QSqlQuery>
#include <QStringList>

QString ProductPicker::chosenCode(QWidget *parent, Database &db, const QString &text)
{
    const QString spelling = PinyinKeys::typed(text);
    QSqlQuery rows = db.run(spelling.isEmpty()
                                ? Statements::searchCatalogue(text)
                                : Statements::searchCatalogueWithPinyin(text, spelling + QLatin1Char('%')));
    using Column = Statements::ProductColumn;
    QStringList codes;
    QStringList shown;
    bool more = false;
    while (rows.next()) {
        if (codes.size() == kMostOffered) {
            more = true;
            break;
        }
        codes << Query::valueText(rows.value(int(Column::Code)));
        shown << QStringLiteral("%1　%2").arg(codes.last(), Query::valueText(rows.value(int(Column::Name))));
    }
    rows.finish();
    if (codes.isEmpty())
        throw Refusal(QStringLiteral("商品资料里找不到“%1”（编码、品名或拼音），请先在商品信息里添加。").arg(text));
    if (codes.size() == 1)
        return codes.first();
    bool chosen = false;
    const QString label = more ? QStringLiteral("“%1”找到的商品超过 %2 个，下面是前 %2 个（多打几个字可以找得更准）：")
                                     .arg(text)
                                     .arg(kMostOffered)
                               : QStringLiteral("“%1”找到 %2 个商品，请选择：").arg(text).arg(codes.size());
    const QString choice =
        QInputDialog::getItem(parent, QStringLiteral("选择商品"), label, shown, 0, false, &chosen);
    if (!chosen)
        return {};
    const qsizetype at = shown.indexOf(choice);
    return at < 0 ? QString() : codes.at(at);
}

std::optional<StockLevel> ProductPicker::levelFor(QLineEdit *box, Database &db)
{
    const QString text = box->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // A scanned or typed code is the product, as at the till.
    if (std::optional<StockLevel> level = StockLedger::level(db, text)) {
        box->setText(level->code);
        return level;
    }
    QString code;
    try {
        code = chosenCode(box->window(), db, text);
    } catch (const Refusal &) {
        box->selectAll();
        throw;
    }
    if (code.isEmpty())
        return std::nullopt;
    box->setText(code);
    std::optional<StockLevel> level = StockLedger::level(db, code);
    if (!level)
        throw Refusal(QStringLiteral("商品资料里没有编码“%1”。").arg(code));
    return level;
}
