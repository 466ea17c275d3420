#pragma once

#include <QList>
#include <QMap>
#include <QString>

class TillSettings;

// Where the owner's PIN is asked, each place on or off, kept with the shop's
// settings. A return without a receipt and a discount over the limit ask by
// default; the others only when the owner switches them on. No PIN set: no
// question anywhere.
class PinPlaces final
{
public:
    enum class Place { ReturnWithoutReceipt, DiscountOverLimit, Drawer, Settings, Restore, ZReport };

    static QList<Place> all();
    // As the shop reads it in the settings.
    static QString nameOf(Place place);

    bool asks(Place place) const;
    void setAsks(Place place, bool asks);

    // The shop's settings are those of till 0.
    static PinPlaces load(const TillSettings &shop);
    QMap<QString, QString> values() const;

private:
    QMap<Place, bool> m_asks;
};
