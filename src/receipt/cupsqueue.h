#pragma once

#include <QString>

// The CUPS spooler as receipts need it, through libcups: which queue is the
// default at this moment, and handing it a finished document as one job
// whose acceptance the spooler confirms. Errors are thrown as PrinterError
// with the spooler's own words.
class CupsQueue final
{
public:
    CupsQueue() = delete;

    // The default destination as the spooler resolves it now: LPDEST or
    // PRINTER, the user's lpoptions default, or the server's default. Empty
    // when there is none; throws when the one named does not exist (a queue
    // deleted while the program runs).
    static QString defaultName();

    // Submits the PDF file to the queue as one job with an empty title and
    // returns the job number the spooler gave it; throws when the spooler
    // does not take the job (a queue that rejects jobs, one that is gone).
    static int submit(const QString &queue, const QString &pdfFile);
};
