#pragma once

#include <QString>

class Database;

// A till's own copy of the shop's server database: a data file beside the
// till's settings, of the same layout, holding the catalogue, the shop's
// settings and payment methods as the server last had them, and the sales
// the till completed while the server was away (its outbox) until the server
// has them. Each call works on connections of its own, closed again, so it
// runs on any thread.
class LocalCopy final
{
public:
    LocalCopy() = delete;

    // Writes the server's catalogue, settings and payment methods over the
    // copy's in one transaction, making the copy first when there is none.
    // Throws ConnectionLost when the server does not answer.
    static void refresh(const QString &serverAddress, const QString &copyPath);

    // Sends the outbox to the server, oldest sale first, each in one
    // server transaction with its mark by till and receipt number, then
    // takes it off the outbox: a sale whose mark the server already holds
    // (the answer to an earlier send was lost) is only taken off. Returns
    // the number of sales sent; throws when the server goes away, leaving
    // the rest waiting. The opening cash recorded and the sales parked while
    // the server was away go first, the parked ones once each.
    static int sendWaiting(const QString &serverAddress, const QString &copyPath, int till);

    // The sales waiting in the copy's outbox (0 when there is no copy).
    static int waitingCount(const QString &copyPath);
    // Those of the copy of the till the connection works for.
    static int waitingCount(Database &db);
    // When the copy last took the server's catalogue or gave it a sale
    // ("yyyy-MM-dd HH:mm:ss"); empty when never.
    static QString lastSynchronised(const QString &copyPath);
    // Marks it now, on the copy.
    static void markSynchronised(Database &copy);
};
