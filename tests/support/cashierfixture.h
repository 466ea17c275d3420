#pragma once

#include "windows/cashierwindow.h"
#include "receipt/receiptprinter.h"
#include "modalwatcher.h"
#include "testdatabase.h"
#include "widgets/webpage.h"

#include <QTest>

#include <memory>

// A cashier screen on a fresh database file, with message boxes answered and
// the web page opener recorded instead of starting a browser.
struct CashierFixture
{
    std::unique_ptr<TestDatabase> file = std::make_unique<TestDatabase>();
    std::unique_ptr<ModalWatcher> boxes = std::make_unique<ModalWatcher>();
    std::unique_ptr<CashierWindow> window;
    QList<QUrl> opened;

    CashierFixture()
    {
        WebPage::setOpener([this](const QUrl &url) { opened << url; });
    }

    ~CashierFixture()
    {
        window.reset();
        WebPage::setOpener([](const QUrl &) {});
    }

    // printer: where receipts go from the start (a receipt offered again at
    // start-up is printed there); the system printer when none.
    CashierWindow *open(const QString &path = {}, std::unique_ptr<ReceiptPrinter> printer = {})
    {
        window = std::make_unique<CashierWindow>(path.isEmpty() ? file->path() : path);
        if (printer)
            window->setReceiptPrinter(std::move(printer));
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("main window not exposed");
        window->activateWindow();
        QApplication::processEvents();
        return window.get();
    }
};
