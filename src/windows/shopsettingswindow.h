#pragma once

#include "windows/sidewindow.h"

#include <QPointer>

class FlatEdit;
class FlatMemo;
class FlatSpeedButton;
class ReceiptPrinterWindow;
class SkinButton;

// The shop settings: the cashier, the shop name that heads the receipt and
// the remark at its foot, all in the one settings row. Saving passes the
// cashier on to the cashier screen at once; the receipt reads the shop name
// and the remark afresh at every print.
class ShopSettingsWindow final : public SideWindow
{
    Q_OBJECT

public:
    ShopSettingsWindow(Database &db, QWidget *mainWindow);

    FlatEdit *cashierBox() const { return m_cashierBox; }
    FlatEdit *shopNameBox() const { return m_shopNameBox; }
    FlatMemo *remarkBox() const { return m_remarkBox; }
    SkinButton *saveButton() const { return m_saveButton; }
    SkinButton *closeButton() const { return m_closeButton; }
    SkinButton *backupButton() const { return m_backupButton; }
    SkinButton *restoreButton() const { return m_restoreButton; }
    SkinButton *databaseButton() const { return m_databaseButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }
    SkinButton *printerButton() const { return m_printerButton; }
    SkinButton *displayButton() const { return m_displayButton; }
    SkinButton *methodsButton() const { return m_methodsButton; }
    SkinButton *trailButton() const { return m_trailButton; }
    SkinButton *cashiersButton() const { return m_cashiersButton; }
    // The receipt printer window; null until first opened.
    ReceiptPrinterWindow *printerWindow() const;

    // Writes the three boxes to the settings row and closes (F2). A refused
    // write throws, and the window stays open with what was typed.
    void save();

    // Backups by hand and the automatic backup's settings ("备份…").
    void backUp();
    // Puts a chosen backup in place of the database, once checked and
    // confirmed; the data replaced is kept aside first ("恢复…").
    void restore();
    // Which database this computer's till works on, and its till number
    // ("数据库…"): this computer's own settings, used from the next start,
    // which the application keeps; it opens the dialog when asked.
    void chooseDatabase();
    // The owner's trail, after the owner's PIN when one is set.
    void openTrail();
    // The cashiers and whether they sign in, after the owner's PIN when one is set.
    void openCashiers();

signals:
    // The cashier just saved: the cashier screen shows it at once.
    void cashierSaved(const QString &cashier);
    void backupSettingsSaved();
    // The database file was replaced by a backup and opened again.
    void databaseRestored();
    // "数据库…" was clicked: the database dialog is wanted over this window.
    void databaseChoiceAsked(QWidget *over);
    // "客显…" was clicked: the customer display belongs to the cashier screen, which sets it up.
    void displaySetupAsked(QWidget *over);
    // The cashiers or their sign-in were changed: the cashier screen shows who is at the till.
    void cashiersSaved();

protected:
    void reload() override;
    void previewKey(const QKeyEvent &event) override;

private:
    void buildControls();
    void connectHandlers();

    FlatSpeedButton *m_closeSpot = nullptr;   // close mark in the picture
    FlatEdit *m_shopNameBox = nullptr;
    FlatMemo *m_remarkBox = nullptr;
    SkinButton *m_saveButton = nullptr;
    SkinButton *m_closeButton = nullptr;
    FlatEdit *m_cashierBox = nullptr;
    SkinButton *m_printerButton = nullptr;
    SkinButton *m_methodsButton = nullptr;
    QPointer<ReceiptPrinterWindow> m_printerWindow;
    SkinButton *m_backupButton = nullptr;
    SkinButton *m_restoreButton = nullptr;
    SkinButton *m_databaseButton = nullptr;
    SkinButton *m_displayButton = nullptr;
    SkinButton *m_trailButton = nullptr;
    SkinButton *m_cashiersButton = nullptr;
};
