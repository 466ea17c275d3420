#include "saleline.h"

#include "base/numbertext.h"

namespace {

QString numberText(const std::optional<double> &number)
{
    return number ? formatGeneral(*number) : QString();
}

}   // namespace

QString SaleLine::quantityText() const
{
    return numberText(quantity);
}

QString SaleLine::priceText() const
{
    return numberText(price);
}

QString SaleLine::amountText() const
{
    return numberText(amount);
}

QString SaleLine::text(Field field) const
{
    switch (field) {
    case Field::Code: return code;
    case Field::Name: return name;
    case Field::Quantity: return quantityText();
    case Field::Price: return priceText();
    case Field::Amount: return amountText();
    }
    return QString();
}
