#pragma once

#include <QString>

// A PIN kept only as a salted slow hash, "salt:hash" in hex: the owner's and
// each cashier's.
class PinHash final
{
public:
    PinHash() = delete;

    // Empty for an empty PIN (none set).
    static QString of(const QString &pin);
    static bool matches(const QString &hash, const QString &pin);
};
