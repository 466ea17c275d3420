#pragma once

#include "app/tillsession.h"
#include "widgets/flatcombobox.h"
#include "windows/shopsettingswindow.h"
#include "receipt/receiptprinter.h"
#include "till/till.h"
#include "modalwatcher.h"
#include "testdatabase.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A cashier screen on a fresh database file, with message boxes answered and
// the web page opener recorded instead of starting a browser.
struct CashierFixture
{
    std::unique_ptr<TestDatabase> file = std::make_unique<TestDatabase>();
    std::unique_ptr<ModalWatcher> boxes = std::make_unique<ModalWatcher>();
    std::unique_ptr<TillSession> session;
    QList<QUrl> opened;
    bool askOpeningCash = false;
    // A till of a server keeps its own copy here when it is set.
    QString localCopy;

    CashierFixture()
    {
        WebPage::setOpener([this](const QUrl &url) { opened << url; });
    }

    ~CashierFixture()
    {
        session.reset();
        WebPage::setOpener([](const QUrl &) {});
    }

    // printer: where receipts go from the start (a receipt offered again at
    // start-up is printed there); the system printer when none.
    CashierWindow *open(const QString &path = {}, std::unique_ptr<ReceiptPrinter> printer = {})
    {
        session = std::make_unique<TillSession>(path.isEmpty() ? file->path() : path, 1, localCopy);
        CashierWindow &window = session->window();
        // The day's opening cash is asked for only where a test says so.
        if (!askOpeningCash)
            window.openingCashAskedOn(QDate::currentDate());
        if (printer)
            window.setReceiptPrinter(std::move(printer));
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("main window not exposed");
        window.activateWindow();
        QApplication::processEvents();
        return &window;
    }
};

// F2 on the cashier screen, and the settings window once it has the keyboard.
inline ShopSettingsWindow *openSettings(CashierWindow *w)
{
    QTest::keyClick(w->productBox(), Qt::Key_F2);
    ShopSettingsWindow *s = w->settingsWindow();
    // Being the main window's child, the window counts as active for
    // qWaitForWindowActive before it has the keyboard: wait for that.
    if (s && !QTest::qWaitFor([s] { return QApplication::activeWindow() == s; }))
        qWarning("settings window not active");
    return s;
}
