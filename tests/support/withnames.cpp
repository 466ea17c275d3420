#include "withnames.h"

#include "storage/tables.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>

#include <utility>

namespace {

struct NamedTable
{
    QString table;
    QHash<QString, QString> columns;   // by their names in tables.h
};

const QHash<QString, NamedTable> &namedTables()
{
    static const QHash<QString, NamedTable> all = [] {
        using namespace Tables;
        QHash<QString, NamedTable> t;
        t.insert(QStringLiteral("Catalogue"),
                 {Catalogue::table,
                  {{QStringLiteral("code"), Catalogue::code},
                   {QStringLiteral("name"), Catalogue::name},
                   {QStringLiteral("price"), Catalogue::price}}});
        t.insert(QStringLiteral("OpenSale"),
                 {OpenSale::table,
                  {{QStringLiteral("key"), OpenSale::key},
                   {QStringLiteral("code"), OpenSale::code},
                   {QStringLiteral("name"), OpenSale::name},
                   {QStringLiteral("quantity"), OpenSale::quantity},
                   {QStringLiteral("price"), OpenSale::price},
                   {QStringLiteral("amount"), OpenSale::amount},
                   {QStringLiteral("till"), OpenSale::till}}});
        t.insert(QStringLiteral("SalesRecord"),
                 {SalesRecord::table,
                  {{QStringLiteral("key"), SalesRecord::key},
                   {QStringLiteral("code"), SalesRecord::code},
                   {QStringLiteral("name"), SalesRecord::name},
                   {QStringLiteral("quantity"), SalesRecord::quantity},
                   {QStringLiteral("price"), SalesRecord::price},
                   {QStringLiteral("amount"), SalesRecord::amount},
                   {QStringLiteral("receiptNumber"), SalesRecord::receiptNumber},
                   {QStringLiteral("cashier"), SalesRecord::cashier},
                   {QStringLiteral("date"), SalesRecord::date},
                   {QStringLiteral("time"), SalesRecord::time},
                   {QStringLiteral("till"), SalesRecord::till},
                   {QStringLiteral("closing"), SalesRecord::closing}}});
        t.insert(QStringLiteral("ShopSettings"),
                 {ShopSettings::table,
                  {{QStringLiteral("key"), ShopSettings::key},
                   {QStringLiteral("cashier"), ShopSettings::cashier},
                   {QStringLiteral("shopName"), ShopSettings::shopName},
                   {QStringLiteral("remark"), ShopSettings::remark}}});
        t.insert(QStringLiteral("TillSettings"),
                 {TillSettings::table,
                  {{QStringLiteral("till"), TillSettings::till},
                   {QStringLiteral("name"), TillSettings::name},
                   {QStringLiteral("value"), TillSettings::value}}});
        t.insert(QStringLiteral("AwaitingPrint"),
                 {AwaitingPrint::table,
                  {{QStringLiteral("key"), AwaitingPrint::key},
                   {QStringLiteral("firstRecord"), AwaitingPrint::firstRecord},
                   {QStringLiteral("lastRecord"), AwaitingPrint::lastRecord},
                   {QStringLiteral("received"), AwaitingPrint::received},
                   {QStringLiteral("changeGiven"), AwaitingPrint::changeGiven},
                   {QStringLiteral("copies"), AwaitingPrint::copies},
                   {QStringLiteral("till"), AwaitingPrint::till}}});
        t.insert(QStringLiteral("ReceiptNumbers"),
                 {ReceiptNumbers::table,
                  {{QStringLiteral("number"), ReceiptNumbers::number}, {QStringLiteral("till"), ReceiptNumbers::till}}});
        t.insert(QStringLiteral("DayClosings"),
                 {DayClosings::table,
                  {{QStringLiteral("number"), DayClosings::number},
                   {QStringLiteral("closedAt"), DayClosings::closedAt},
                   {QStringLiteral("dateFrom"), DayClosings::dateFrom},
                   {QStringLiteral("dateTo"), DayClosings::dateTo},
                   {QStringLiteral("afterLine"), DayClosings::afterLine},
                   {QStringLiteral("lastLine"), DayClosings::lastLine},
                   {QStringLiteral("receipts"), DayClosings::receipts},
                   {QStringLiteral("lines"), DayClosings::lines},
                   {QStringLiteral("items"), DayClosings::items},
                   {QStringLiteral("takings"), DayClosings::takings},
                   {QStringLiteral("counted"), DayClosings::counted},
                   {QStringLiteral("difference"), DayClosings::difference},
                   {QStringLiteral("content"), DayClosings::content}}});
        t.insert(QStringLiteral("StockMovements"),
                 {StockMovements::table,
                  {{QStringLiteral("kind"), StockMovements::kind},
                   {QStringLiteral("code"), StockMovements::code},
                   {QStringLiteral("quantity"), StockMovements::quantity},
                   {QStringLiteral("unitCost"), StockMovements::unitCost},
                   {QStringLiteral("movedAt"), StockMovements::movedAt},
                   {QStringLiteral("till"), StockMovements::till},
                   {QStringLiteral("cashier"), StockMovements::cashier},
                   {QStringLiteral("receiptNumber"), StockMovements::receiptNumber}}});
        t.insert(QStringLiteral("StockLevels"),
                 {StockLevels::table,
                  {{QStringLiteral("code"), StockLevels::code},
                   {QStringLiteral("onHand"), StockLevels::onHand}}});
        t.insert(QStringLiteral("LayoutVersion"),
                 {LayoutVersion::table, {{QStringLiteral("version"), LayoutVersion::version}}});
        return t;
    }();
    return all;
}

} // namespace

QString withNames(const char *text)
{
    const QString in = QString::fromUtf8(text);
    static const QRegularExpression placeholder(QStringLiteral("\\{(\\w+)(?:\\.(\\w+))?\\}"));
    const QHash<QString, NamedTable> &tables = namedTables();

    QList<const NamedTable *> named;
    for (const QRegularExpressionMatch &m : placeholder.globalMatch(in))
        if (!m.hasCaptured(2) && tables.contains(m.captured(1)))
            named << &*tables.constFind(m.captured(1));

    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : placeholder.globalMatch(in)) {
        out += QStringView(in).mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const QString first = m.captured(1);
        QString name;
        if (m.hasCaptured(2)) {
            if (tables.contains(first))
                name = tables.value(first).columns.value(m.captured(2));
        } else if (tables.contains(first)) {
            name = tables.value(first).table;
        } else {
            for (const NamedTable *table : std::as_const(named))
                if (table->columns.contains(first)) {
                    name = table->columns.value(first);
                    break;
                }
        }
        if (name.isEmpty())
            qFatal("withNames: no stored name for %s in: %s", qPrintable(m.captured(0)), text);
        out += name;
    }
    out += QStringView(in).mid(at);
    return out;
}
