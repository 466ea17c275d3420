#pragma once

#include "db/query.h"
#include "sidewindow.h"

class QLabel;
class CatalogueGrid;
class CatalogueModel;
class FlatEdit;
class FlatPanel;
class FlatSpeedButton;

// The product catalogue: lists the shop's products in an editable grid,
// searches them by code or name, adds, writes back and deletes rows. Closing
// it hands the names it lists to the cashier screen's product box.
class CatalogueWindow final : public SideWindow
{
    Q_OBJECT

public:
    CatalogueWindow(Database &db, QWidget *mainWindow);
    ~CatalogueWindow() override;

    // Controls, named as on the screen.
    QLabel *Image2;
    QLabel *Label13;
    QLabel *Label14;
    FlatSpeedButton *FlatSpeedButton2;   // close spot in the title strip
    FlatSpeedButton *FlatSpeedButton4;   // delete (Del)
    FlatSpeedButton *FlatSpeedButton3;   // save (F5)
    FlatSpeedButton *FlatSpeedButton6;   // close (Esc)
    FlatSpeedButton *FlatSpeedButton7;   // add (F4)
    FlatSpeedButton *FlatSpeedButton8;   // delete everything found (F3)
    QLabel *Label17;                      // web page
    FlatPanel *FlatPanel1;               // search
    QLabel *Label11;
    FlatEdit *FlatEdit7;                 // code or name to look for
    FlatSpeedButton *FlatSpeedButton5;   // search (F2)
    CatalogueGrid *DBGrid1;

    Query ADOQuery1;               // the listed products
    CatalogueModel *DataSource1;   // the grid's view of them, with the row being typed

    // Handlers.
    void FormShow() override;
    void FormClose();
    void FormKeyDown(int key);
    void FlatEdit7KeyDown(int key);
    void FlatSpeedButton5Click();   // search
    void FlatSpeedButton7Click();   // add
    void FlatSpeedButton3Click();   // save
    void FlatSpeedButton4Click();   // delete the current product
    void FlatSpeedButton8Click();   // delete every product found
    void FlatSpeedButton6Click();   // close
    void XP_Button5Click();         // close spot
    void DBGrid1KeyPress();         // Enter in the grid or its cell editor
    void DBGrid1TitleClick(const QString &field);
    void Label17Click();

signals:
    // The names of the listed products, in list order, when the window closes:
    // the cashier screen's product box takes them as its list.
    void productNamesListed(const QStringList &names);

protected:
    void previewKey(const QKeyEvent &event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    QString searchText() const;
    void listFound(const QString &text);
    int currentColumn() const;

    bool m_sortToggle = false;
};
