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

    // Why the device could not be opened; a device the user may not write
    // to is explained in plain words (the lp group or a udev rule), since
    // that is how a newly plugged USB printer fails.
    static QString openFailure(const QString &path, int error);
    static QString noPermission(const QString &path);

private:
    QString m_path;
    QFile m_file;
};
