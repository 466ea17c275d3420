#pragma once

#include "receipt/escposlink.h"

#include <QFile>

// A receipt printer behind a device file such as /dev/usb/lp0. The file must
// exist: an unplugged printer is reported, not replaced by a new plain file.
// Every job is appended to it.
class EscPosFileLink final : public EscPosLink
{
public:
    explicit EscPosFileLink(QString path);

    void open() override;
    void send(const QByteArray &bytes) override;
    void close() noexcept override;
    QString target() const override { return m_path; }

private:
    QString m_path;
    QFile m_file;
};
