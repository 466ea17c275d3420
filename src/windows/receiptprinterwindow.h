#pragma once

#include "windows/sidewindow.h"

#include "receipt/printersettings.h"
#include "till/linelimits.h"
#include "till/scalecodes.h"

#include <QMap>

class QButtonGroup;
class QLabel;
class FlatCheckBox;
class FlatComboBox;
class FlatEdit;
class FlatSpeedButton;
class SkinButton;

// Setting up the till's receipt printer from inside the program: where
// receipts go (a system printer, a receipt printer on a device file or the
// network, a PDF folder), the paper, the encoding, the cash drawer, and the
// scale barcodes. What is saved is checked first and counts from the next
// sale on; the test page prints what the window shows, saved or not.
class ReceiptPrinterWindow final : public SideWindow
{
    Q_OBJECT

public:
    ReceiptPrinterWindow(Database &db, QWidget *parent);

    FlatCheckBox *outputBox(PrinterSettings::Output output) const { return m_outputBoxes.value(output); }
    FlatComboBox *queueBox() const { return m_queueBox; }
    FlatCheckBox *queueIsEscPosBox() const { return m_queueIsEscPosBox; }
    FlatComboBox *deviceBox() const { return m_deviceBox; }
    FlatEdit *hostBox() const { return m_hostBox; }
    FlatEdit *portBox() const { return m_portBox; }
    FlatEdit *pdfFolderBox() const { return m_pdfFolderBox; }
    FlatCheckBox *paperBox(int millimetres) const { return m_paperBoxes.value(millimetres); }
    FlatCheckBox *encodingBox(TextEncoding encoding) const { return m_encodingBoxes.value(encoding); }
    FlatCheckBox *drawerBox(PrinterSettings::Drawer drawer) const { return m_drawerBoxes.value(drawer); }
    FlatEdit *pulseOnBox() const { return m_pulseOnBox; }
    FlatEdit *pulseOffBox() const { return m_pulseOffBox; }
    FlatCheckBox *drawerAfterSaleBox() const { return m_drawerAfterSaleBox; }
    QLabel *drawerNote() const { return m_drawerNote; }
    FlatCheckBox *scaleModeBox(ScaleCodes::Mode mode) const { return m_scaleModeBoxes.value(mode); }
    FlatEdit *firstPrefixBox() const { return m_firstPrefixBox; }
    FlatEdit *lastPrefixBox() const { return m_lastPrefixBox; }
    FlatEdit *maxQuantityBox() const { return m_maxQuantityBox; }
    FlatEdit *maxAmountBox() const { return m_maxAmountBox; }
    SkinButton *refreshButton() const { return m_refreshButton; }
    SkinButton *folderButton() const { return m_folderButton; }
    SkinButton *saveButton() const { return m_saveButton; }
    SkinButton *testPageButton() const { return m_testPageButton; }
    SkinButton *closeButton() const { return m_closeButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }

    // The settings as the window shows them.
    PrinterSettings shownPrinterSettings() const;
    ScaleCodes shownScaleCodes() const;

    // F2: checks and stores what is shown, then closes; a refusal leaves
    // the stored settings as they were and the window open.
    void save();
    // F5: prints the test page on the printer shown.
    void printTestPage();
    // Reads the system printers and the receipt printer devices again.
    void refreshLists();
    void chooseFolder();

protected:
    void reload() override;
    void previewKey(const QKeyEvent &event) override;

private:
    void buildControls();
    void connectHandlers();
    void showSettings(const PrinterSettings &printer, const ScaleCodes &scale, const LineLimits &limits);
    void followOutput();

    QMap<PrinterSettings::Output, FlatCheckBox *> m_outputBoxes;
    QMap<int, FlatCheckBox *> m_paperBoxes;
    QMap<TextEncoding, FlatCheckBox *> m_encodingBoxes;
    QMap<PrinterSettings::Drawer, FlatCheckBox *> m_drawerBoxes;
    QMap<ScaleCodes::Mode, FlatCheckBox *> m_scaleModeBoxes;
    FlatComboBox *m_queueBox = nullptr;
    FlatCheckBox *m_queueIsEscPosBox = nullptr;
    FlatComboBox *m_deviceBox = nullptr;
    FlatEdit *m_hostBox = nullptr;
    FlatEdit *m_portBox = nullptr;
    FlatEdit *m_pdfFolderBox = nullptr;
    FlatEdit *m_pulseOnBox = nullptr;
    FlatEdit *m_pulseOffBox = nullptr;
    FlatCheckBox *m_drawerAfterSaleBox = nullptr;
    QLabel *m_drawerNote = nullptr;
    FlatEdit *m_firstPrefixBox = nullptr;
    FlatEdit *m_lastPrefixBox = nullptr;
    FlatEdit *m_maxQuantityBox = nullptr;
    FlatEdit *m_maxAmountBox = nullptr;
    SkinButton *m_refreshButton = nullptr;
    SkinButton *m_folderButton = nullptr;
    SkinButton *m_saveButton = nullptr;
    SkinButton *m_testPageButton = nullptr;
    SkinButton *m_closeButton = nullptr;
    FlatSpeedButton *m_closeSpot = nullptr;
};
