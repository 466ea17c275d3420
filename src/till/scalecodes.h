#pragma once

#include <QMap>
#include <QString>

#include <optional>

class TillSettings;

// Barcodes printed by the shop's scale for weighed goods: EAN-13 codes
// "PP CCCCC VVVVV K" whose first two digits lie in a prefix range, with the
// item code in the next five and the price (in fen) or the weight (in
// grams) in the five after. The catalogue holds the item under the first
// seven digits, "PPCCCCC".
class ScaleCodes final
{
public:
    enum class Mode { Price, Weight, Off };

    // One scanned scale code, taken apart.
    struct Reading
    {
        QString itemCode;        // the first seven digits
        int value = 0;           // fen or grams
        bool checkDigitValid = false;
    };

    ScaleCodes() = default;
    ScaleCodes(Mode mode, int firstPrefix, int lastPrefix);

    Mode mode() const { return m_mode; }
    int firstPrefix() const { return m_firstPrefix; }
    int lastPrefix() const { return m_lastPrefix; }

    // The code taken apart when it has the pattern (13 digits, prefix in
    // range, mode not off); the check digit is read but not enforced here.
    std::optional<Reading> read(const QString &code) const;

    // The EAN-13 check digit of the first twelve digits.
    static int checkDigit(const QString &firstTwelve);

    // Throws Refusal when the prefix range is not two-digit numbers in order.
    void check() const;

    // From stored values by name; throws Refusal for a value that is not
    // one of the choices or out of range.
    static ScaleCodes fromValues(const QMap<QString, QString> &values);
    static ScaleCodes load(const TillSettings &settings);
    QMap<QString, QString> values() const;

    // "price", "weight", "off"; nullopt for anything else.
    static std::optional<Mode> parseMode(const QString &text);
    static QString modeName(Mode mode);

    bool operator==(const ScaleCodes &) const = default;

private:
    Mode m_mode = Mode::Price;
    int m_firstPrefix = 20;
    int m_lastPrefix = 29;
};
