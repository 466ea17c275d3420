#pragma once

#include <QByteArray>
#include <QString>

// The way raw bytes reach a receipt printer: one open, one send and one close
// per print job. Errors are thrown as PrinterError.
class EscPosLink
{
public:
    virtual ~EscPosLink() = default;

    virtual void open() = 0;
    virtual void send(const QByteArray &bytes) = 0;
    virtual void close() noexcept = 0;
    // The printer as the cashier would name it in an error: a device path
    // or host:port.
    virtual QString target() const = 0;
};
