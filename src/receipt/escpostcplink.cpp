#include "receipt/escpostcplink.h"

#include "receipt/printererror.h"

#include <QTcpSocket>

namespace {

constexpr int ConnectMilliseconds = 5000;
constexpr int SendMilliseconds = 15000;

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
    if (!m_socket->waitForConnected(ConnectMilliseconds)) {
        const QString reason = m_socket->errorString();
        m_socket.reset();
        throw PrinterError(QStringLiteral("Printer selected is not valid\n%1: %2")
                               .arg(target(), reason));
    }
}

void EscPosTcpLink::send(const QByteArray &bytes)
{
    const auto failed = [this] {
        return PrinterError(QStringLiteral("The receipt could not be sent to %1: %2")
                                .arg(target(), m_socket->errorString()));
    };
    if (m_socket->write(bytes) != bytes.size())
        throw failed();
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(SendMilliseconds))
            throw failed();
    }
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState
        && !m_socket->waitForDisconnected(SendMilliseconds)) {
        throw failed();
    }
}

void EscPosTcpLink::close() noexcept
{
    if (m_socket) {
        m_socket->abort();
        m_socket.reset();
    }
}
