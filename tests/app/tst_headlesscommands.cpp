#include "storage/database.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

int modeOf(const QString &path)
{
    struct stat st{};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

} // namespace

class TestHeadlessCommands : public QObject
{
    Q_OBJECT

private slots:
    void initDbMakesAFileOnlyItsOwnerCanReadWithItsLogFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        // The most open creation mask a shell could hand on.
        const mode_t mask = umask(0);
        QProcess program;
        program.start(QStringLiteral(FENWO_PROGRAM), {QStringLiteral("--init-db"), path, QStringLiteral("--demo")});
        const bool finished = program.waitForFinished(60000);
        umask(mask);
        QVERIFY(finished);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(modeOf(path), 0600);

        // The -wal and -shm files come with the first connection.
        Database db;
        db.open(path);
        QCOMPARE(modeOf(path + QStringLiteral("-wal")), 0600);
        QCOMPARE(modeOf(path + QStringLiteral("-shm")), 0600);
    }
};

QTEST_GUILESS_MAIN(TestHeadlessCommands)
#include "tst_headlesscommands.moc"
