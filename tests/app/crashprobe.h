#pragma once

#include <QProcess>
#include <QTest>

// The crash probe program, running headless on a database file: it rings up
// and says so on its standard output, then waits to be killed.
class CrashProbe final
{
public:
    explicit CrashProbe(const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(CRASH_PROBE), arguments);
    }

    // Waits until the probe has said `marker` (or has ended); true when it
    // said it and is still running.
    bool waitUntilSaid(const QByteArray &marker)
    {
        if (!m_process.waitForStarted())
            return false;
        (void)QTest::qWaitFor([&] {
            m_said += m_process.readAllStandardOutput();
            return m_said.contains(marker) || m_process.state() == QProcess::NotRunning;
        }, 20000);
        m_said += m_process.readAllStandardError();
        return m_said.contains(marker) && m_process.state() == QProcess::Running;
    }

    const QByteArray &said() const { return m_said; }
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    // SIGKILL: no close handler, no clean shutdown.
    bool kill()
    {
        m_process.kill();
        return m_process.waitForFinished();
    }

private:
    QProcess m_process;
    QByteArray m_said;
};
