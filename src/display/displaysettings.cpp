#include "displaysettings.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"

#include <QMap>

namespace {

const QString kEnabled = QStringLiteral("display.enabled");
const QString kPort = QStringLiteral("display.port");
const QString kSpeed = QStringLiteral("display.speed");
const QString kProtocol = QStringLiteral("display.protocol");
const QString kCustomerWindow = QStringLiteral("display.window");

const QString kLed = QStringLiteral("led8");
const QString kVfd = QStringLiteral("vfd2x20");

} // namespace

const QList<int> &DisplaySettings::speeds()
{
    static const QList<int> all = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    return all;
}

DisplaySettings DisplaySettings::load(const TillSettings &settings)
{
    DisplaySettings s;
    s.enabled = settings.flag(kEnabled);
    s.port = settings.value(kPort, s.port);
    const int speed = settings.value(kSpeed).toInt();
    if (speeds().contains(speed))
        s.speed = speed;
    s.protocol = settings.value(kProtocol) == kVfd ? DisplayProtocol::Vfd2x20 : DisplayProtocol::Led8;
    s.customerWindow = settings.flag(kCustomerWindow);
    return s;
}

void DisplaySettings::store(TillSettings &settings) const
{
    if (enabled && !port.startsWith(QLatin1String("/dev/")))
        throw Refusal(QStringLiteral("提示：客显的串口要写成 /dev/ttyUSB0、/dev/ttyS0 这样的设备名!"));
    if (!speeds().contains(speed))
        throw Refusal(QStringLiteral("提示：客显的波特率 %1 不对!").arg(speed));
    settings.store({{kEnabled, TillSettings::flagText(enabled)},
                    {kPort, port},
                    {kSpeed, QString::number(speed)},
                    {kProtocol, protocol == DisplayProtocol::Vfd2x20 ? kVfd : kLed},
                    {kCustomerWindow, TillSettings::flagText(customerWindow)}});
}
