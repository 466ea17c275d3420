#include "customerdisplay.h"

#include "base/apperror.h"

#include <QSerialPort>

namespace {

// A display takes a frame in a few milliseconds; one that has not after this
// is not there, and the sale goes on without it.
constexpr int kWriteWaitMs = 300;

} // namespace

CustomerDisplay::CustomerDisplay(QObject *parent)
    : QObject(parent)
{
}

CustomerDisplay::~CustomerDisplay() = default;

void CustomerDisplay::setSettings(const DisplaySettings &settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    m_port.reset();
    setProblem({});
}

void CustomerDisplay::showFigure(DisplayFigure figure, const QString &amount, const QString &name)
{
    send(DisplayFrames(m_settings.protocol).figure(figure, amount, name));
}

void CustomerDisplay::showPayment(const QString &received, const QString &change)
{
    send(DisplayFrames(m_settings.protocol).payment(received, change));
}

void CustomerDisplay::clear()
{
    send(DisplayFrames(m_settings.protocol).clear());
}

void CustomerDisplay::test()
{
    if (!m_settings.enabled)
        throw FileError(QStringLiteral("没有设置客显。"));
    const DisplayFrames frames(m_settings.protocol);
    QByteArray frame = frames.clear();
    frame += m_settings.protocol == DisplayProtocol::Led8
        ? frames.figure(DisplayFigure::Total, QStringLiteral("888888.88"))
        : frames.figure(DisplayFigure::Total, QStringLiteral("8.88"), QStringLiteral("欢迎光临"));
    sendOrThrow(frame);
}

void CustomerDisplay::send(const QByteArray &frame)
{
    if (!m_settings.enabled)
        return;
    try {
        sendOrThrow(frame);
    } catch (const FileError &) {
        // Told through problem(); the sale goes on.
    }
}

void CustomerDisplay::sendOrThrow(const QByteArray &frame)
{
    try {
        if (!m_port) {
            auto port = std::make_unique<QSerialPort>();
            port->setPortName(m_settings.port);
            if (!port->open(QIODevice::WriteOnly))
                throw FileError(QStringLiteral("客显的串口 %1 打不开（%2）").arg(m_settings.port, port->errorString()));
            port->setBaudRate(m_settings.speed);
            port->setDataBits(QSerialPort::Data8);
            port->setParity(QSerialPort::NoParity);
            port->setStopBits(QSerialPort::OneStop);
            port->setFlowControl(QSerialPort::NoFlowControl);
            m_port = std::move(port);
        }
        if (m_port->write(frame) != frame.size() || !m_port->waitForBytesWritten(kWriteWaitMs)) {
            const QString why = m_port->errorString();
            m_port.reset();   // unplugged: opened afresh at the next figure
            throw FileError(QStringLiteral("客显没有收下数据（%1）").arg(why));
        }
    } catch (const FileError &e) {
        setProblem(e.message());
        throw;
    }
    setProblem({});
}

void CustomerDisplay::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit problemChanged(problem);
}
