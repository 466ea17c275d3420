#include "receipt/cashdrawer.h"

#include "receipt/escposlink.h"

CashDrawer::CashDrawer(std::unique_ptr<EscPosLink> link, Pulse pulse)
    : m_link(std::move(link))
    , m_pulse(pulse)
{
}

CashDrawer::~CashDrawer() = default;

QByteArray CashDrawer::kickCommand(const Pulse &pulse)
{
    const char pin = pulse.pin == Pin::Five ? 1 : 0;
    const char command[] = {0x1B, 'p', pin, char(pulse.onTime), char(pulse.offTime)};
    return QByteArray(command, sizeof command);
}

void CashDrawer::open()
{
    m_link->open();
    try {
        m_link->send(kickCommand(m_pulse));
    } catch (...) {
        m_link->close();
        throw;
    }
    m_link->close();
}
