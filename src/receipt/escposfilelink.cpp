#include "receipt/escposfilelink.h"

#include "receipt/printererror.h"

#include <QFileInfo>

EscPosFileLink::EscPosFileLink(QString path)
    : m_path(std::move(path))
{
}

void EscPosFileLink::open()
{
    m_file.setFileName(m_path);
    // A plain file collects jobs one after another; a printer device cannot
    // be positioned, so it is opened for writing only.
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered;
    if (QFileInfo(m_path).isFile())
        mode |= QIODevice::Append;
    if (!m_file.open(mode)) {
        throw PrinterError(QStringLiteral("Printer selected is not valid\n%1: %2")
                               .arg(m_path, m_file.errorString()));
    }
}

void EscPosFileLink::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            throw PrinterError(QStringLiteral("The receipt could not be sent to %1: %2")
                                   .arg(m_path, m_file.errorString()));
        }
        done += written;
    }
}

void EscPosFileLink::close() noexcept
{
    m_file.close();
}
