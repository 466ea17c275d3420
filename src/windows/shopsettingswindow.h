#pragma once

#include "db/query.h"
#include "sidewindow.h"

class QLabel;
class FlatEdit;
class FlatMemo;
class FlatGroupBox;
class FlatSpeedButton;
class SkinButton;

// The shop settings: the cashier, the shop name that heads the receipt and
// the remark at its foot, all in the one row of beizhu. Saving passes the
// cashier on to the cashier screen at once; the receipt reads the shop name
// and the remark afresh at every print.
class ShopSettingsWindow final : public SideWindow
{
    Q_OBJECT

public:
    ShopSettingsWindow(Database &db, QWidget *mainWindow);

    // Controls, named as on the screen, in painting order.
    QLabel *Image2;
    QLabel *Label13;                      // title shadow
    QLabel *Label14;                      // title
    FlatSpeedButton *FlatSpeedButton2;   // close mark in the picture
    QLabel *Label17;                      // web page
    FlatGroupBox *FlatGroupBox1;
    QLabel *Label7;
    QLabel *Label12;                      // hint: blanks before the shop name centre it
    QLabel *Label1;
    QLabel *Label2;                       // hint: what the remark may hold
    QLabel *Label3;
    FlatEdit *FlatEdit1;                 // shop name
    FlatMemo *FlatMemo1;                 // remark
    SkinButton *XP_Button1;               // save (F2)
    SkinButton *XP_Button5;               // close (Esc)
    FlatEdit *FlatEdit2;                 // cashier

    // The settings row.
    Query ADOQuery2;

    // Handlers.
    void FormKeyDown(int key);
    void XP_Button1Click();
    void XP_Button5Click();
    void FlatEdit2KeyDown(int key);
    void FlatEdit1KeyDown(int key);
    void Label17Click();

    // The remark is stored with CR LF between its lines, whatever line ends
    // the box or the platform use; the box shows each stored line as a line.
    static QString storedRemark(const QString &boxText);
    static QString shownRemark(const QString &stored);

signals:
    // The cashier just saved: the cashier screen shows it at once.
    void cashierSaved(const QString &cashier);

protected:
    void FormShow() override;
    void previewKey(const QKeyEvent &event) override;

private:
    void buildControls();
    void connectHandlers();
};
