#include "ownerpinquestion.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"

#include <QInputDialog>

std::optional<QString> OwnerPinQuestion::ask(QWidget *over, const QString &why)
{
    QInputDialog question(over);
    question.setObjectName(QStringLiteral("ownerPinQuestion"));
    question.setWindowTitle(QStringLiteral("店主密码"));
    question.setLabelText(why + QStringLiteral("\n店主密码："));
    question.setTextEchoMode(QLineEdit::Password);
    if (question.exec() != QDialog::Accepted)
        return std::nullopt;
    return question.textValue();
}

bool OwnerPinQuestion::allows(Database &db, const QString &why, QWidget *over)
{
    const DiscountRules rules = DiscountRules::load(TillSettings(db, 0));
    if (!rules.hasPin())
        return true;
    const std::optional<QString> pin = ask(over, why);
    if (!pin)
        return false;
    if (!rules.pinMatches(*pin))
        throw Refusal(QStringLiteral("店主密码不对。"));
    return true;
}

bool OwnerPinQuestion::allows(Database &db, PinPlaces::Place place, QWidget *over)
{
    // A database that cannot be read holds no PIN to check: the settings and
    // a restore must still open to bring the data file back.
    try {
        if (!PinPlaces::load(TillSettings(db, 0)).asks(place))
            return true;
    } catch (const AppError &) {
        return true;
    }
    return allows(db, QStringLiteral("%1需要店主密码。").arg(PinPlaces::nameOf(place)), over);
}
