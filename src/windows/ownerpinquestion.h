#pragma once

#include "till/pinplaces.h"

#include <QString>

#include <optional>

class Database;
class QWidget;

// The one way the owner's PIN is asked, wherever the shop wants it.
class OwnerPinQuestion final
{
public:
    OwnerPinQuestion() = delete;

    // The PIN as typed; none when the owner gave up.
    static std::optional<QString> ask(QWidget *over, const QString &why);
    // True when no owner's PIN is set, or the right one was typed; false when
    // the owner gave up. Refusal for a wrong PIN.
    static bool allows(Database &db, const QString &why, QWidget *over);
    // The same at a place the shop switches on or off in its settings.
    static bool allows(Database &db, PinPlaces::Place place, QWidget *over);
};
