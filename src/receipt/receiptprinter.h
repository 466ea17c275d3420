#pragma once

#include "receipt/printertextdevice.h"
#include "receipt/receiptdata.h"
#include "receipt/receiptsink.h"

#include <QList>
#include <QString>

#include <memory>

class CashDrawer;
class PrintSurface;
class PrinterTarget;

// The printer a shop's receipts go to: a printer text device over the output
// chosen by the printer option. Each copy of a receipt is one print job.
class ReceiptPrinter final : public ReceiptSink
{
public:
    explicit ReceiptPrinter(std::unique_ptr<PrintSurface> surface,
                            TextEncoding encoding = TextEncoding::Gbk);
    ~ReceiptPrinter() override;

    // The output named by the target (see PrinterTarget). Nothing is opened
    // here; a printer that cannot be used is reported when a job opens.
    static std::unique_ptr<ReceiptPrinter> create(const PrinterTarget &target);
    // The same from the option texts; throws PrinterError for an option
    // that names no output.
    static std::unique_ptr<ReceiptPrinter> create(const QString &option,
                                                  const QString &paperWidth = QString());

    // One print job: opens it, writes every line at its font size (the size
    // is set whenever it changes, so 12 before the title and 10 after it),
    // ends every line, closes the job. An error ends the job unprinted and
    // is passed on as it is.
    void print(const QList<ReceiptLine> &lines) override;
    // Lays out one copy of the receipt and prints it as one job.
    void printCopy(const ReceiptInput &input, ReceiptCopy copy);

    PrinterTextDevice &device() { return m_device; }
    TextEncoding encoding() const override { return m_device.encoding(); }

    // The cash drawer under this printer, if any; afterSale: open it after
    // every completed sale.
    void setCashDrawer(std::unique_ptr<CashDrawer> drawer, bool afterSale);
    CashDrawer *cashDrawer() const { return m_drawer.get(); }
    bool opensDrawerAfterSale() const { return m_drawer && m_drawerAfterSale; }

private:
    QString fittedTitle(const QString &title) const;

    PrinterTextDevice m_device;
    std::unique_ptr<CashDrawer> m_drawer;
    bool m_drawerAfterSale = false;
};
