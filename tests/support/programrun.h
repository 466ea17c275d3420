#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What a program run said and how it ended.
struct ProgramRun
{
    int exitCode = -1;   // -1: it crashed or did not end in time
    QString out;
    QString err;
};

// Runs a program as a script would and waits for it to end; one still
// running after the time given is killed.
inline ProgramRun runProgram(const QString &program, const QStringList &arguments, int timeoutMs,
                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(program, arguments);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
