#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <optional>

class QSqlDatabase;
struct sqlite3;

// What a connection to a data file does while another program holds the
// file's write lock: it waits a few seconds for anything (then the statement
// fails as busy), and as long as it takes for a product import, which marks
// itself. Whoever shows the till is told how long it has waited, so the
// window can say why it does not answer.
class FileWait final
{
    Q_DISABLE_COPY_MOVE(FileWait)

public:
    // seconds: how long it has waited so far; none once the wait is over.
    // importing: whether an import is what it waits for.
    using Notice = std::function<void(std::optional<int> seconds, bool importing)>;

    FileWait() = default;

    // Takes over the waiting of the connection (SQLite's own busy timeout is
    // replaced). Nothing when the driver's SQLite is not this program's.
    void attach(sqlite3 *connection, const QString &dataFile);
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    // After each statement: a wait told of during it is over.
    void finish();

private:
    static int onBusy(void *self, int attempt);
    bool keepWaiting(int attempt);

    QString m_dataFile;
    Notice m_notice;
    QElapsedTimer m_waited;
    qint64 m_lastToldMs = -1;
    bool m_told = false;
};
