#include "filewait.h"

#include "storage/importmark.h"

#include <sqlite3.h>

namespace {

// As long as a till waits for another writer that is not an import.
constexpr qint64 kUsualLimitMs = 5000;
// A short wait goes unmentioned; a longer one is told of this often.
constexpr qint64 kTellAfterMs = 300;
constexpr qint64 kTellEveryMs = 250;
constexpr int kSleepMs = 10;

} // namespace

void FileWait::attach(sqlite3 *connection, const QString &dataFile)
{
    m_dataFile = dataFile;
    sqlite3_busy_handler(connection, &FileWait::onBusy, this);
}

int FileWait::onBusy(void *self, int attempt)
{
    return static_cast<FileWait *>(self)->keepWaiting(attempt) ? 1 : 0;
}

bool FileWait::keepWaiting(int attempt)
{
    if (attempt == 0) {
        m_waited.start();
        m_lastToldMs = -1;
    }
    const qint64 waited = m_waited.elapsed();
    const bool importing = waited >= kTellAfterMs && ImportMark::isActive(m_dataFile);
    if (waited >= kUsualLimitMs && !importing)
        return false;
    if (m_notice && waited >= kTellAfterMs && (m_lastToldMs < 0 || waited - m_lastToldMs >= kTellEveryMs)) {
        m_lastToldMs = waited;
        m_told = true;
        m_notice(int(waited / 1000), importing);
    }
    sqlite3_sleep(kSleepMs);
    return true;
}

void FileWait::finish()
{
    m_lastToldMs = -1;
    if (!m_told)
        return;
    m_told = false;
    if (m_notice)
        m_notice(std::nullopt, false);
}
