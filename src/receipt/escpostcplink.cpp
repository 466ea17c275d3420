#include "receipt/escpostcplink.h"

#include "receipt/printererror.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace {

constexpr int ConnectMilliseconds = 5000;
constexpr int SendMilliseconds = 15000;

// Waits for the printer without stopping the program: windows are drawn
// meanwhile, while keys and clicks wait in the queue until the job is done,
// so that nothing typed meanwhile starts a second job or changes the sale
// being printed. False when the time ran out first.
template <typename Signal>
bool waitUntil(QTcpSocket &socket, Signal signal, const std::function<bool()> &done, int milliseconds)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, signal, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    while (!done() && timer.isActive() && socket.error() == QAbstractSocket::UnknownSocketError)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done();
}

QString reasonOf(const QTcpSocket &socket)
{
    // A printer that never answers leaves no error of the socket's own.
    return socket.error() == QAbstractSocket::UnknownSocketError ? QStringLiteral("Socket operation timed out")
                                                                 : socket.errorString();
}

} // namespace

EscPosTcpLink::EscPosTcpLink(QString host, quint16 port)
    : m_host(std::move(host))
    , m_port(port)
{
}

EscPosTcpLink::~EscPosTcpLink()
{
    close();
}

QString EscPosTcpLink::target() const
{
    if (m_host.contains(QLatin1Char(':')))
        return QStringLiteral("[%1]:%2").arg(m_host).arg(m_port);
    return QStringLiteral("%1:%2").arg(m_host).arg(m_port);
}

void EscPosTcpLink::open()
{
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(m_host, m_port);
    QTcpSocket &socket = *m_socket;
    if (!waitUntil(
            socket, &QAbstractSocket::connected,
            [&socket] { return socket.state() == QAbstractSocket::ConnectedState; }, ConnectMilliseconds)) {
        const QString reason = reasonOf(socket);
        close();
        throw PrinterError(QStringLiteral("Printer selected is not valid\n%1: %2").arg(target(), reason));
    }
}

void EscPosTcpLink::send(const QByteArray &bytes)
{
    QTcpSocket &socket = *m_socket;
    const auto failed = [this, &socket] {
        return PrinterError(QStringLiteral("The receipt could not be sent to %1: %2").arg(target(), reasonOf(socket)));
    };
    if (socket.write(bytes) != bytes.size())
        throw failed();
    if (!waitUntil(
            socket, &QAbstractSocket::bytesWritten, [&socket] { return socket.bytesToWrite() == 0; }, SendMilliseconds))
        throw failed();
    socket.disconnectFromHost();
    if (!waitUntil(
            socket, &QAbstractSocket::disconnected,
            [&socket] { return socket.state() == QAbstractSocket::UnconnectedState; }, SendMilliseconds))
        throw failed();
}

void EscPosTcpLink::close() noexcept
{
    if (m_socket) {
        m_socket->abort();
        m_socket.reset();
    }
}
