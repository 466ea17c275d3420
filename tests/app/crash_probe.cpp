// Rings up lines on the cashier screen, says so, and waits to be killed.
// With a receipt printer (escpos:DEVICE) it then completes the sale in two
// copies; with a stop point as well it stops there, says so and waits to be
// killed in the middle of the completion:
//   recording       after the first record row is written, before the commit
//   before-print    recording committed, the first copy not yet begun
//   between-copies  the first copy sent, the second not yet begun
//   after-print     both copies sent, the open sale not yet emptied
//   finalising      emptying the open sale, before the commit
#include "app/fenwoapplication.h"
#include "app/tillsession.h"
#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/printertarget.h"
#include "receipt/receiptprinter.h"
#include "till/till.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "forwardingsurface.h"
#include "typing.h"
#include "withnames.h"

#include <QLabel>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>

namespace {

[[noreturn]] void stopHere(const char *point)
{
    std::printf("stopped %s\n", point);
    std::fflush(stdout);
    for (;;)
        pause();
}

// Passes everything on to the real printer, stopping before or after a job.
class StoppingSurface final : public ForwardingSurface
{
public:
    StoppingSurface(std::unique_ptr<PrintSurface> inner, QByteArray stop)
        : ForwardingSurface(std::move(inner))
        , m_stop(std::move(stop))
    {
    }

    void beginJob() override
    {
        ++m_jobs;
        if ((m_stop == "before-print" && m_jobs == 1) || (m_stop == "between-copies" && m_jobs == 2))
            stopHere(m_stop.constData());
        ForwardingSurface::beginJob();
    }
    void endJob() override
    {
        ForwardingSurface::endJob();
        if (m_stop == "after-print" && m_jobs == 2)
            stopHere(m_stop.constData());
    }

private:
    QByteArray m_stop;
    int m_jobs = 0;
};

// Stops inside the program's own write transaction: a trigger on its own
// connection calls a function that never returns.
void stopInTransaction(QSqlDatabase &db, const char *point, const QString &trigger)
{
    sqlite3 *handle = *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
    sqlite3_create_function(handle, "probe_stop", 0, SQLITE_UTF8, const_cast<char *>(point),
                            [](sqlite3_context *context, int, sqlite3_value **) {
                                stopHere(static_cast<const char *>(sqlite3_user_data(context)));
                            },
                            nullptr, nullptr);
    QSqlQuery(db).exec(trigger);
}

} // namespace

int main(int argc, char **argv)
{
    FenwoApplication app(argc, argv);
    if (argc < 2)
        return 2;
    TillSession session(QString::fromLocal8Bit(argv[1]));
    CashierWindow &window = session.window();
    window.show();
    QApplication::processEvents();
    if (argc < 3) {
        typeText(window.productBox(), QStringLiteral("散装糖果"));
        QTest::keyClick(window.productBox(), Qt::Key_Return);
        QTest::keyClicks(window.priceBox(), QStringLiteral("5"));
        QTest::keyClick(window.priceBox(), Qt::Key_Return);
        std::printf("stored %s\n", qPrintable(window.totalAmountLabel()->text()));
        std::fflush(stdout);
        return app.exec();
    }

    const PrinterTarget target = PrinterTarget::parse(QString::fromLocal8Bit(argv[2]));
    const QByteArray stop = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    window.setReceiptPrinter(std::make_unique<ReceiptPrinter>(std::make_unique<StoppingSurface>(
        std::make_unique<EscPosPrintSurface>(std::make_unique<EscPosFileLink>(target.path()), target.columns()),
        stop)));
    if (stop == "recording") {
        stopInTransaction(window.database().handle(), "recording",
                          withNames("create temp trigger probe_stop after insert on main.{SalesRecord} "
                                    "begin select probe_stop(); end"));
    } else if (stop == "finalising") {
        stopInTransaction(window.database().handle(), "finalising",
                          withNames("create temp trigger probe_stop after delete on main.{OpenSale} "
                                    "begin select probe_stop(); end"));
    }
    for (int i = 0; i < 2; ++i) {
        QTest::keyClicks(window.productBox(), QStringLiteral("6901"));
        QTest::keyClick(window.productBox(), Qt::Key_Return);
    }
    Till::openingCashAsked(window.database(), QDate::currentDate());
    window.twoCopiesBox()->setChecked(true);
    std::printf("completing %s %s\n", qPrintable(window.totalAmountLabel()->text()),
                qPrintable(window.receiptNumberBox()->text()));
    std::fflush(stdout);
    QTest::keyClick(window.productBox(), Qt::Key_F12);
    std::printf("completed\n");
    std::fflush(stdout);
    return app.exec();
}
