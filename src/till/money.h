#pragma once

#include <QString>

#include <optional>

// Amounts of money as whole fen, for the payment arithmetic: exact, and
// rounded half up from the number text where it holds parts of a fen.
class Money final
{
public:
    Money() = delete;

    // The amount in the text (as the cashier types it) in fen; nothing when
    // it is no number or too large to be money.
    static std::optional<qint64> fenOf(const QString &text);
    // Fen in the general number text ("23.7", "100", "-0.05").
    static QString text(qint64 fen);
};
