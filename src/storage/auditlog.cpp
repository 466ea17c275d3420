#include "auditlog.h"

#include "storage/database.h"
#include "storage/statements.h"

#include <QDateTime>
#include <QSqlQuery>

namespace {

struct KindText
{
    AuditLog::Kind kind;
    const char *stored;
    const char16_t *name;
};

// The stored words are the file's format: they never change.
const KindText kKinds[] = {
    {AuditLog::Kind::LineDeleted, "line_deleted", u"删除商品行"},
    {AuditLog::Kind::SaleEmptied, "sale_emptied", u"清空本单"},
    {AuditLog::Kind::PriceChanged, "price_changed", u"改价"},
    {AuditLog::Kind::Discount, "discount", u"折扣"},
    {AuditLog::Kind::DrawerWithoutSale, "drawer_opened", u"无销售开钱箱"},
    {AuditLog::Kind::Reprint, "reprint", u"重打"},
    {AuditLog::Kind::ZReport, "z_report", u"Z报表"},
    {AuditLog::Kind::Return, "return", u"退货"},
    {AuditLog::Kind::ReturnWithoutReceipt, "return_without_receipt", u"无小票退货"},
    {AuditLog::Kind::SignIn, "sign_in", u"收银员签到"},
    {AuditLog::Kind::SignOut, "sign_out", u"收银员交班"},
};

const KindText &textOf(AuditLog::Kind kind)
{
    for (const KindText &text : kKinds)
        if (text.kind == kind)
            return text;
    return kKinds[0];
}

} // namespace

void AuditLog::write(Database &db, const Entry &entry)
{
    // Text left out is stored empty, never as NULL.
    const auto text = [](const QString &given) { return given.isNull() ? QStringLiteral("") : given; };
    db.execute(Statements::addAuditEntry(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), db.till(), text(entry.cashier),
        storedKind(entry.kind), text(entry.receiptNumber), text(entry.lines),
        entry.amount.isEmpty() ? QStringLiteral("0") : entry.amount));
}

QList<AuditLog::Row> AuditLog::read(Database &db, const Filter &filter)
{
    const QString from = filter.from.isValid() ? filter.from.toString(Qt::ISODate) : QString();
    // Every time of the last day sorts below the next day.
    const QString to = filter.to.isValid() ? filter.to.addDays(1).toString(Qt::ISODate) : QString();
    QSqlQuery q = db.run(Statements::auditEntries(from, to, filter.till, filter.cashier,
                                                  filter.kind ? storedKind(*filter.kind) : QString()));
    QList<Row> rows;
    while (q.next()) {
        Row row;
        row.loggedAt = q.value(0).toString();
        row.till = q.value(1).toInt();
        row.cashier = q.value(2).toString();
        row.storedKind = q.value(3).toString();
        row.kind = kindOf(row.storedKind);
        row.receiptNumber = q.value(4).toString();
        row.lines = q.value(5).toString();
        row.amount = q.value(6).toString();
        rows << row;
    }
    return rows;
}

QList<AuditLog::Kind> AuditLog::kinds()
{
    QList<Kind> all;
    for (const KindText &text : kKinds)
        all << text.kind;
    return all;
}

QString AuditLog::kindName(Kind kind)
{
    return QString::fromUtf16(textOf(kind).name);
}

QString AuditLog::storedKind(Kind kind)
{
    return QLatin1String(textOf(kind).stored);
}

std::optional<AuditLog::Kind> AuditLog::kindOf(const QString &stored)
{
    for (const KindText &text : kKinds)
        if (stored == QLatin1String(text.stored))
            return text.kind;
    return std::nullopt;
}

bool AuditLog::isVoid(Kind kind)
{
    return kind == Kind::LineDeleted || kind == Kind::SaleEmptied || kind == Kind::Discount || kind == Kind::Return
        || kind == Kind::ReturnWithoutReceipt;
}
