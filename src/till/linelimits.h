#pragma once

#include <QMap>
#include <QString>

class TillSettings;

// How large a line's quantity and amount may be before the cashier is asked
// whether they are meant: a barcode scanned into the quantity box makes a
// quantity of thirteen digits, which nobody sells.
class LineLimits final
{
public:
    LineLimits() = default;
    LineLimits(double quantity, double amount);

    double quantity() const { return m_quantity; }
    double amount() const { return m_amount; }

    // The question to ask before a line of this quantity and price goes in;
    // empty when both are within the limits, or when either text is no
    // number (the till refuses that itself).
    QString doubtAbout(const QString &quantity, const QString &price) const;

    // Throws Refusal for a limit that is not a positive number.
    void check() const;

    // From stored values by name (the defaults where none is stored); throws
    // Refusal for a stored value that is no positive number.
    static LineLimits fromValues(const QMap<QString, QString> &values);
    static LineLimits load(const TillSettings &settings);
    // As typed in the settings window; throws Refusal as fromValues does.
    static LineLimits fromTexts(const QString &quantity, const QString &amount);
    QMap<QString, QString> values() const;

    bool operator==(const LineLimits &) const = default;

private:
    double m_quantity = 9999;
    double m_amount = 99999;
};
