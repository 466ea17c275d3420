#pragma once

#include "receipt/escposlink.h"

#include <QString>

#include <memory>

class QTcpSocket;

// A network receipt printer that takes raw bytes on a TCP port (9100 on
// most). One connection per job.
class EscPosTcpLink final : public EscPosLink
{
public:
    EscPosTcpLink(QString host, quint16 port);
    ~EscPosTcpLink() override;

    void open() override;
    void send(const QByteArray &bytes) override;
    void close() noexcept override;
    QString target() const override;

private:
    QString m_host;
    quint16 m_port;
    std::unique_ptr<QTcpSocket> m_socket;
};
