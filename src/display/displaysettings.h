#pragma once

#include "display/displayframes.h"

#include <QString>

class TillSettings;

// The till's customer display: none, or one on a serial port, with the
// port's speed and the display's protocol. Kept by name in the till's
// settings; a till never set up has none.
struct DisplaySettings
{
    bool enabled = false;
    QString port = QStringLiteral("/dev/ttyUSB0");
    int speed = 2400;   // what most pole displays are set to when they leave the factory
    DisplayProtocol protocol = DisplayProtocol::Led8;
    // A window for the customer on a second monitor, when one is there.
    bool customerWindow = false;

    static DisplaySettings load(const TillSettings &settings);
    // Throws Refusal for a port that is no device path or a speed no port has.
    void store(TillSettings &settings) const;

    static const QList<int> &speeds();
    bool operator==(const DisplaySettings &) const = default;
};
