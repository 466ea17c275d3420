#include "pinplaces.h"

#include "storage/tillsettings.h"

namespace {

struct PlaceText
{
    PinPlaces::Place place;
    const char *stored;
    const char16_t *name;
    bool byDefault;
};

// The stored names are the file's format: they never change.
const PlaceText kPlaces[] = {
    {PinPlaces::Place::ReturnWithoutReceipt, "pin_return_without_receipt", u"无小票退货", true},
    {PinPlaces::Place::DiscountOverLimit, "pin_discount_over_limit", u"超过限额的折扣", true},
    {PinPlaces::Place::Drawer, "pin_drawer", u"无销售开钱箱 (F7)", false},
    {PinPlaces::Place::Settings, "pin_settings", u"打开店铺设置 (F2)", false},
    {PinPlaces::Place::Restore, "pin_restore", u"恢复备份", false},
    {PinPlaces::Place::ZReport, "pin_z_report", u"Z报表日结", false},
};

const PlaceText &textOf(PinPlaces::Place place)
{
    for (const PlaceText &text : kPlaces)
        if (text.place == place)
            return text;
    return kPlaces[0];
}

} // namespace

QList<PinPlaces::Place> PinPlaces::all()
{
    QList<Place> places;
    for (const PlaceText &text : kPlaces)
        places << text.place;
    return places;
}

QString PinPlaces::nameOf(Place place)
{
    return QString::fromUtf16(textOf(place).name);
}

bool PinPlaces::asks(Place place) const
{
    return m_asks.value(place, textOf(place).byDefault);
}

void PinPlaces::setAsks(Place place, bool asks)
{
    m_asks[place] = asks;
}

PinPlaces PinPlaces::load(const TillSettings &shop)
{
    PinPlaces places;
    for (const PlaceText &text : kPlaces)
        places.m_asks[text.place] = shop.flag(QLatin1String(text.stored), text.byDefault);
    return places;
}

QMap<QString, QString> PinPlaces::values() const
{
    QMap<QString, QString> values;
    for (const PlaceText &text : kPlaces)
        values[QLatin1String(text.stored)] = TillSettings::flagText(asks(text.place));
    return values;
}
