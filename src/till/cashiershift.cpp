#include "cashiershift.h"

#include "base/apperror.h"
#include "storage/auditlog.h"
#include "storage/cashiers.h"
#include "storage/database.h"
#include "storage/statements.h"
#include "storage/tillsettings.h"
#include "receipt/receiptsink.h"
#include "till/pinhash.h"
#include "till/till.h"

#include <QDateTime>
#include <QSqlQuery>

namespace {

const QString kRequired = QStringLiteral("cashiers_sign_in");
const QString kNumber = QStringLiteral("shift_cashier");
const QString kName = QStringLiteral("shift_name");
const QString kAfterLine = QStringLiteral("shift_after_line");
const QString kSince = QStringLiteral("shift_since");

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

CashierShift::CashierShift(Database &db, Till &till)
    : m_db(db)
    , m_till(till)
{
}

bool CashierShift::isRequired(Database &db)
{
    return TillSettings(db, 0).flag(kRequired);
}

void CashierShift::setRequired(Database &db, bool required)
{
    TillSettings(db, 0).store({{kRequired, TillSettings::flagText(required)}});
}

std::optional<CashierShift::SignedIn> CashierShift::signedIn() const
{
    const TillSettings settings(m_db);
    const int number = settings.value(kNumber).toInt();
    if (number <= 0)
        return std::nullopt;
    return SignedIn{number, settings.value(kName), settings.value(kAfterLine).toLongLong(), settings.value(kSince)};
}

CashierShift::SignedIn CashierShift::signIn(const QString &number, const QString &pin)
{
    if (const std::optional<SignedIn> current = signedIn())
        throw Refusal(QStringLiteral("收银员 %1 还没有交班：请先按 Shift+F2 交班。").arg(current->name));
    bool isNumber = false;
    const int typed = number.trimmed().toInt(&isNumber);
    const std::optional<Cashier> cashier = isNumber ? Cashiers::find(m_db, typed) : std::nullopt;
    // One message for both: a wrong guess tells nothing about which half was wrong.
    const bool pinRight = cashier
        && (cashier->pinHash.isEmpty() ? pin.isEmpty() : PinHash::matches(cashier->pinHash, pin));
    if (!cashier || !cashier->active || !pinRight)
        throw Refusal(QStringLiteral("收银员编号或密码不对，没有签到。"));

    QSqlQuery last = m_db.run(Statements::lastRecordLine());
    const qint64 afterLine = last.next() ? last.value(0).toLongLong() : 0;
    const SignedIn shift{cashier->number, cashier->name, afterLine, now()};
    TillSettings(m_db).store({{kNumber, QString::number(shift.number)},
                              {kName, shift.name},
                              {kAfterLine, QString::number(shift.afterLine)},
                              {kSince, shift.since}});
    m_till.setCashier(shift.name);
    AuditLog::write(m_db, {AuditLog::Kind::SignIn, shift.name, {}, QStringLiteral("编号 %1").arg(shift.number),
                           QStringLiteral("0")});
    return shift;
}

ShiftFigures CashierShift::signOut(const QString &shopName, ReceiptSink &printer)
{
    const std::optional<SignedIn> shift = signedIn();
    if (!shift)
        throw Refusal(QStringLiteral("现在没有收银员签到。"));
    if (!m_till.lines().isEmpty())
        throw Refusal(QStringLiteral("本单还没有完成：请先完成本单（F12）或挂单（Insert），再交班。"));
    ShiftFigures figures = ShiftReport::compute(m_db, shift->name, shift->afterLine);
    figures.since = shift->since;
    figures.until = now();
    printer.print(ShiftReport::lines(figures, shopName));
    AuditLog::write(m_db, {AuditLog::Kind::SignOut, shift->name, {},
                           QStringLiteral("编号 %1，收款 %2，退款 %3").arg(shift->number).arg(figures.takings, figures.refunds),
                           figures.net});
    forget();
    m_till.setCashier({});
    return figures;
}

void CashierShift::forget()
{
    TillSettings(m_db).store({{kNumber, QString()}, {kName, QString()}, {kAfterLine, QString()}, {kSince, QString()}});
}
