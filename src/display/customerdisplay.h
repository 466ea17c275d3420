#pragma once

#include "display/displayframes.h"
#include "display/displaysettings.h"

#include <QObject>
#include <QString>

#include <memory>

class QSerialPort;

// The pole display the customer reads, on a serial port. It shows what the
// till tells it and never holds a sale up: a display that is missing,
// unplugged or refuses a write is only marked as not working (problem()),
// and tried again at the next figure.
class CustomerDisplay final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomerDisplay)

public:
    explicit CustomerDisplay(QObject *parent = nullptr);
    ~CustomerDisplay() override;

    // Takes new settings; a change closes the port, which is opened at the next figure.
    void setSettings(const DisplaySettings &settings);
    const DisplaySettings &settings() const { return m_settings; }

    void showFigure(DisplayFigure figure, const QString &amount, const QString &name = {});
    void showPayment(const QString &received, const QString &change);
    void clear();
    // The test button: a blank display, then 8.8.8.8. on the LED or a line on
    // the VFD. Throws FileError saying why when it cannot be sent.
    void test();

    // Empty while the display works (or none is set up); why it does not otherwise.
    const QString &problem() const { return m_problem; }

signals:
    void problemChanged(const QString &problem);

private:
    void send(const QByteArray &frame);
    void sendOrThrow(const QByteArray &frame);
    void setProblem(const QString &problem);

    DisplaySettings m_settings;
    std::unique_ptr<QSerialPort> m_port;
    QString m_problem;
};
