#pragma once

#include <QByteArray>

#include <memory>

class EscPosLink;

// The cash drawer under a receipt printer: the printer sends it an opening
// pulse on pin 2 or pin 5 of its drawer socket when told so by ESC p.
class CashDrawer final
{
public:
    enum class Pin { Two, Five };

    // Pulse on and off times in units of 2 ms, as ESC p takes them.
    struct Pulse
    {
        Pin pin = Pin::Two;
        int onTime = 25;
        int offTime = 250;
        bool operator==(const Pulse &) const = default;
    };

    CashDrawer(std::unique_ptr<EscPosLink> link, Pulse pulse);
    ~CashDrawer();

    // ESC p m t1 t2: m is 0 for pin 2 and 1 for pin 5.
    static QByteArray kickCommand(const Pulse &pulse);

    // Sends the kick as a job of its own. Throws PrinterError when the
    // printer cannot be reached.
    void open();

private:
    std::unique_ptr<EscPosLink> m_link;
    Pulse m_pulse;
};
