#include "cataloguewindow.h"

#include "formparts.h"

#include "cataloguegrid.h"
#include "db/cataloguemodel.h"
#include "db/statements.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>

namespace {

const QColor kPanelColor(0xDD, 0xFF, 0xEE);
const QColor kGridColor(0xEE, 0xEE, 0xEE);
const QColor kWindowColor(0x80, 0x80, 0x80);

// A question answered Yes or No; Yes is the default button and Esc answers No.
bool askYesNo(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}


} // namespace

CatalogueWindow::CatalogueWindow(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("商品信息"), mainWindow)
    , ADOQuery1(db)
{
    setObjectName(QStringLiteral("catalogueWindow"));
    setFont(FormParts::pixelFont(14, false, QStringLiteral("宋体")));
    QPalette p = palette();
    p.setColor(QPalette::Window, kWindowColor);
    setPalette(p);
    setAutoFillBackground(true);

    buildControls();
    connectHandlers();
}

CatalogueWindow::~CatalogueWindow()
{
    // The grid and its model look into the result set: they go before it does.
    delete DBGrid1;
    delete DataSource1;
}

void CatalogueWindow::buildControls()
{
    Image2 = new QLabel(this);
    Image2->setGeometry(0, 0, 980, 691);
    Image2->setPixmap(QPixmap(QStringLiteral(":/pictures/spinfo.jpg")));
    Image2->setScaledContents(true);

    Label13 = FormParts::label(this, QStringLiteral("商 品 信 息"), {416, 59, 193, 41}, FormParts::pixelFont(24, true));
    Label14 = FormParts::label(this, QStringLiteral("商 品 信 息"), {414, 59, 179, 33}, FormParts::pixelFont(24, true), Qt::white);

    FlatSpeedButton2 = new FlatSpeedButton(QString(), this);
    FlatSpeedButton2->setGeometry(947, 2, 30, 26);
    FlatSpeedButton2->setTransparentFrame(QColor(0x09, 0x84, 0xFF));
    FlatSpeedButton4 = FormParts::actionButton(this, QStringLiteral("删除 (Del)"), {40, 613, 138, 33});
    FlatSpeedButton3 = FormParts::actionButton(this, QStringLiteral("保存 (F5)"), {624, 613, 138, 33});
    FlatSpeedButton6 = FormParts::actionButton(this, QStringLiteral("关闭 (ESC)"), {800, 613, 138, 33});
    FlatSpeedButton7 = FormParts::actionButton(this, QStringLiteral("添加 (F4)"), {440, 613, 138, 33});
    FlatSpeedButton8 = FormParts::actionButton(this, QStringLiteral("全部删除 (F3)"), {240, 613, 138, 33});

    Label17 = FormParts::label(this, QStringLiteral("官方网站：") + WebPage::addressText(), {448, 8, 241, 25},
                        FormParts::pixelFont(16, false, QStringLiteral("Arial")), Qt::white);
    Label17->setCursor(Qt::PointingHandCursor);
    Label17->installEventFilter(this);

    FlatPanel1 = new FlatPanel(this);
    FlatPanel1->setGeometry(40, 136, 905, 57);
    FlatPanel1->setColor(kPanelColor);
    FlatPanel1->setColorHighLight(QColor(0xC0, 0xC0, 0xC0));   // silver
    FlatPanel1->setColorShadow(QColor(0xC0, 0xC0, 0xC0));
    Label11 = FormParts::label(FlatPanel1, QStringLiteral("编码或品名："), {16, 25, 113, 16}, FormParts::pixelFont(13, true));
    FlatEdit7 = new FlatEdit(FlatPanel1);
    FlatEdit7->setGeometry(120, 15, 153, 26);
    FlatEdit7->setFont(FormParts::pixelFont(16));
    FlatEdit7->setColorFlat(QApplication::palette().color(QPalette::Base));
    FlatSpeedButton5 = FormParts::actionButton(FlatPanel1, QStringLiteral("查询 (F2)"), {296, 8, 153, 33});

    DBGrid1 = new CatalogueGrid(this);
    DBGrid1->setGeometry(40, 192, 905, 409);
    DBGrid1->setFont(FormParts::pixelFont(16));
    DBGrid1->horizontalHeader()->setFont(FormParts::pixelFont(16));
    DBGrid1->setColors(kGridColor, kPanelColor);
    DataSource1 = new CatalogueModel(&ADOQuery1, this);
    DBGrid1->setCatalogue(DataSource1);
    DBGrid1->setColumnWidth(CatalogueModel::Code, 150);
    DBGrid1->setColumnWidth(CatalogueModel::Name, 218);
    DBGrid1->setColumnWidth(CatalogueModel::Price, 100);

    // The search box first, then the grid; the buttons never take the focus.
    setTabOrder(FlatEdit7, DBGrid1);
    FlatEdit7->setFocus();
}

void CatalogueWindow::connectHandlers()
{
    using AppBoxes::guarded;
    auto onClick = [this](FlatSpeedButton *button, void (CatalogueWindow::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    onClick(FlatSpeedButton2, &CatalogueWindow::XP_Button5Click);
    onClick(FlatSpeedButton4, &CatalogueWindow::FlatSpeedButton4Click);
    onClick(FlatSpeedButton3, &CatalogueWindow::FlatSpeedButton3Click);
    onClick(FlatSpeedButton6, &CatalogueWindow::FlatSpeedButton6Click);
    onClick(FlatSpeedButton7, &CatalogueWindow::FlatSpeedButton7Click);
    onClick(FlatSpeedButton8, &CatalogueWindow::FlatSpeedButton8Click);
    onClick(FlatSpeedButton5, &CatalogueWindow::FlatSpeedButton5Click);
    connect(FlatEdit7, &FlatEdit::keyDown, this, [this](int key) { guarded([&] { FlatEdit7KeyDown(key); }); });
    connect(DBGrid1, &CatalogueGrid::enterPressed, this, [this] { guarded([&] { DBGrid1KeyPress(); }); });
    connect(DBGrid1, &CatalogueGrid::titleClicked, this,
            [this](const QString &field) { guarded([&] { DBGrid1TitleClick(field); }); });
}

bool CatalogueWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label17 && event->type() == QEvent::MouseButtonRelease)
        AppBoxes::guarded([this] { Label17Click(); });
    return SideWindow::eventFilter(watched, event);
}

int CatalogueWindow::currentColumn() const
{
    return qMax(0, DBGrid1->currentIndex().column());
}

// ---- Showing, keys, closing --------------------------------------------------

void CatalogueWindow::FormShow()
{
    // Every showing lists the whole catalogue afresh; the search box keeps its text.
    const int column = currentColumn();
    ADOQuery1.setStatement(Statements::catalogue());
    ADOQuery1.open();
    DBGrid1->goTo(0, column);
}

void CatalogueWindow::previewKey(const QKeyEvent &event)
{
    FormKeyDown(event.key());
}

void CatalogueWindow::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_F2: FlatSpeedButton5Click(); break;
    case Qt::Key_F3: FlatSpeedButton8Click(); break;
    case Qt::Key_F4: FlatSpeedButton7Click(); break;
    case Qt::Key_F5: FlatSpeedButton3Click(); break;
    case Qt::Key_Delete: FlatSpeedButton4Click(); break;
    default: break;
    }
}

void CatalogueWindow::FlatSpeedButton6Click()
{
    close();
}

void CatalogueWindow::XP_Button5Click()
{
    close();
}

void CatalogueWindow::closeEvent(QCloseEvent *event)
{
    // A refused row keeps the window open.
    bool done = false;
    AppBoxes::guarded([&] {
        FormClose();
        done = true;
    });
    if (done)
        event->accept();
    else
        event->ignore();
}

void CatalogueWindow::FormClose()
{
    DBGrid1->commitOpenEditor();
    // After a statement the database rejected nothing is listed; the till then
    // keeps the names it has.
    if (!ADOQuery1.isOpen())
        return;
    // The row being typed is written before the till's list is touched, so a
    // refusal leaves the till's product box as it was.
    DataSource1->writePendingRow();
    const int rows = DataSource1->rowCount();
    QStringList names;
    names.reserve(rows);
    for (int row = 0; row < rows; ++row)
        names << DataSource1->text(row, CatalogueModel::Name);
    emit productNamesListed(names);
}

void CatalogueWindow::Label17Click()
{
    WebPage::open();
}

// ---- Searching ---------------------------------------------------------------

QString CatalogueWindow::searchText() const
{
    // The box's text as typed, not trimmed; an empty box finds everything.
    const QString text = FlatEdit7->text();
    return text.isEmpty() ? QStringLiteral("%") : text;
}

void CatalogueWindow::listFound(const QString &text)
{
    const int column = currentColumn();
    ADOQuery1.setStatement(Statements::searchCatalogue(text));
    ADOQuery1.open();
    DBGrid1->goTo(0, column);
}

void CatalogueWindow::FlatSpeedButton5Click()
{
    listFound(searchText());
}

void CatalogueWindow::FlatEdit7KeyDown(int key)
{
    if (FormParts::isEnter(key))
        FlatSpeedButton5Click();
}

// ---- Changing rows -----------------------------------------------------------

void CatalogueWindow::FlatSpeedButton7Click()
{
    DBGrid1->setFocus();
    DBGrid1->commitOpenEditor();
    const int column = currentColumn();
    const int row = DataSource1->appendRow();
    DBGrid1->goTo(row, column);
}

void CatalogueWindow::FlatSpeedButton3Click()
{
    FlatSpeedButton3->setCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([this] { FlatSpeedButton3->unsetCursor(); });

    DBGrid1->commitOpenEditor();
    const int column = currentColumn();
    DataSource1->writePendingRow();
    // The other rows hold what is stored; each must still pass the checks a
    // write makes, and the first that does not stops the run there.
    const int rows = DataSource1->rowCount();
    for (int row = 0; row < rows; ++row) {
        try {
            DataSource1->checkRow(row);
        } catch (const Refusal &) {
            DBGrid1->goTo(row, column);
            throw;
        }
    }
    DBGrid1->goTo(rows - 1, column);
}

void CatalogueWindow::FlatSpeedButton4Click()
{
    const QModelIndex current = DBGrid1->currentIndex();
    if (DataSource1->rowCount() == 0 || !current.isValid())
        return;
    if (!askYesNo(this, QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("提示：真的要删除吗?")))
        return;
    const int row = current.row();
    DataSource1->removeRowAt(row);
    DBGrid1->goTo(qMin(row, DataSource1->rowCount() - 1), current.column());
}

void CatalogueWindow::FlatSpeedButton8Click()
{
    if (!askYesNo(this, QMessageBox::Critical, QStringLiteral("Error"),
                  QStringLiteral("温馨提示：确认要删除以上查询出来的全部商品信息吗?")))
        return;
    // The box's text now, even when it changed after the last search.
    const QString text = searchText();
    ADOQuery1.setStatement(Statements::deleteMatchingProducts(text));
    ADOQuery1.execute();
    listFound(text);
}

// ---- The grid ----------------------------------------------------------------

void CatalogueWindow::DBGrid1KeyPress()
{
    if (focusWidget() == DBGrid1) {
        const QModelIndex current = DBGrid1->currentIndex();
        if (!current.isValid())
            return;
        if (current.column() < DataSource1->columnCount() - 1) {
            DBGrid1->setCurrentIndex(current.siblingAtColumn(current.column() + 1));
            return;
        }
        // Enter on the price starts the next product.
        FlatSpeedButton7Click();
        DBGrid1->goTo(DBGrid1->currentIndex().row(), 0);
        return;
    }
    // Enter in the cell editor: the typed text stays in the row, unwritten,
    // and the focus goes on to the next control.
    DBGrid1->finishEditing();
    DBGrid1->setFocus();
    focusNextChild();
}

void CatalogueWindow::DBGrid1TitleClick(const QString &field)
{
    // Sorting moves the rows about: the row being typed is written first.
    DBGrid1->commitOpenEditor();
    DataSource1->writePendingRow();

    // One toggle for every column: each title click turns the direction.
    const Qt::SortOrder order = m_sortToggle ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortToggle = !m_sortToggle;
    const QModelIndex current = DBGrid1->currentIndex();
    if (current.isValid())
        ADOQuery1.setCurrentRow(current.row());
    ADOQuery1.sort(field, order);
    // The same product stays current, wherever the order puts it.
    DBGrid1->goTo(ADOQuery1.currentRow(), current.column());
}
