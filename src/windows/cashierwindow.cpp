#include "windows/cashierwindow.h"

#include "db/numbertext.h"
#include "db/opensale.h"
#include "db/statements.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colorvalue.h"
#include "widgets/datagrid.h"
#include "widgets/webpage.h"
#include "windows/cataloguewindow.h"
#include "windows/shopsettingswindow.h"
#include "windows/salesrecordswindow.h"
#include "windows/formparts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScreen>

namespace {

const QString kName = QStringLiteral("品名");
const QString kPrice = QStringLiteral("单价");
const QString kQuantity = QStringLiteral("数量");
const QString kCode = QStringLiteral("编码");

const QColor kPanelColor = colorFromValue(15663069);   // #DDFFEE
const QColor kWindowColor = colorFromValue(16635841);  // #C1D7FD

FlatEdit *makeEdit(QWidget *parent, QRect geometry, int pixels, const QColor &flat, const QString &text = {})
{
    auto *edit = new FlatEdit(parent);
    edit->setGeometry(geometry);
    edit->setFont(FormParts::pixelFont(pixels));
    edit->setColorFlat(flat);
    edit->setText(text);
    return edit;
}

SkinButton *makeXpButton(QWidget *parent, const QString &caption, QRect geometry, const QString &icon)
{
    auto *button = new SkinButton(caption, parent);
    button->setGeometry(geometry);
    button->setIcon(QIcon(icon));
    return button;
}

FlatPanel *makePanel(QWidget *parent, QRect geometry)
{
    auto *panel = new FlatPanel(parent);
    panel->setGeometry(geometry);
    panel->setColor(kPanelColor);
    return panel;
}

// Blanks and control characters around typed text are not part of a code or name.
QString trimmedText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

using FormParts::isEnter;

CashierWindow::CashierWindow(const QString &databasePath, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ADOQuery1(m_db)
    , ADOQuery2(m_db)
    , AdoQueryRecord(m_db)
    , ADOQuerySPInfo(m_db)
    , m_databasePath(databasePath)
{
    setObjectName(QStringLiteral("cashierWindow"));
    setWindowTitle(QStringLiteral("小票打印机软件"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/fenwo.png")));
    setFixedSize(980, 691);
    setFont(FormParts::pixelFont(13));
    QPalette p = palette();
    p.setColor(QPalette::Window, kWindowColor);
    setPalette(p);
    setAutoFillBackground(true);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildControls();
    connectHandlers();
    FormCreate();
}

CashierWindow::~CashierWindow()
{
    // Going away is not closing: the close handler must not run on a half-destroyed window.
    m_destroying = true;
    hide();
}

void CashierWindow::buildControls()
{
    Image2 = new QLabel(this);
    Image2->setGeometry(0, 0, 980, 691);
    Image2->setPixmap(QPixmap(QStringLiteral(":/pictures/main.jpg")));
    Image2->setScaledContents(true);
    Image2->installEventFilter(this);

    FlatSpeedButton2 = FormParts::actionButton(this, QStringLiteral("打印小票 (F12)"), {656, 612, 138, 33});
    FlatSpeedButton1 = new FlatSpeedButton(QString(), this);
    FlatSpeedButton1->setGeometry(947, 2, 30, 26);
    FlatSpeedButton1->setTransparentFrame(colorFromValue(16745481));
    FlatSpeedButton7 = FormParts::actionButton(this, QStringLiteral("退出系统 (Esc)"), {808, 612, 138, 33});

    Label14 = FormParts::label(this, QStringLiteral("来款金额："), {128, 618, 97, 33}, FormParts::pixelFont(16, true));
    Label15 = FormParts::label(this, QStringLiteral("找零金额："), {344, 618, 97, 33}, FormParts::pixelFont(16, true));
    Label16 = FormParts::label(this, QStringLiteral("F11定位到输入来款金额,按回车自动算出找零金额,再按回车就打印."),
                        {128, 643, 417, 13}, FormParts::pixelFont(11), Qt::gray);
    Label17 = FormParts::label(this, WebPage::addressText(), {448, 8, 241, 25},
                        FormParts::pixelFont(16, false, QStringLiteral("Arial")), Qt::white);
    Label17->setCursor(Qt::PointingHandCursor);
    Label17->installEventFilter(this);

    DBGrid1 = new DataGrid(this);
    DBGrid1->setGeometry(40, 288, 905, 273);
    DBGrid1->setFont(FormParts::pixelFont(16));
    DBGrid1->horizontalHeader()->setFont(FormParts::pixelFont(16));
    DBGrid1->setColors(colorFromValue(15658734), kPanelColor);
    DBGrid1->setQuery(&ADOQuery1, {{kCode, QStringLiteral("编码(条形码)")},
                                   {kName, {}},
                                   {kQuantity, {}},
                                   {kPrice, {}},
                                   {QStringLiteral("金额"), {}}});
    const int widths[] = {150, 218, 100, 100, 130};
    for (int i = 0; i < 5; ++i)
        DBGrid1->setColumnWidth(i, widths[i]);

    FlatCheckBox1 = new FlatCheckBox(QStringLiteral("打印2份小票"), this);
    FlatCheckBox1->setGeometry(544, 618, 113, 25);
    FlatCheckBox1->setFont(FormParts::pixelFont(16));
    FlatCheckBox1->setFontColor(Qt::gray);
    FlatCheckBox1->setColor(Qt::white);
    FlatCheckBox1->setTransparent(true);

    XP_Button1 = makeXpButton(this, QStringLiteral("店铺设置 (F2)"), {16, 45, 113, 63}, QStringLiteral(":/icons/settings.png"));
    XP_Button2 = makeXpButton(this, QStringLiteral("查询统计 (F5)"), {320, 45, 113, 63}, QStringLiteral(":/icons/records.png"));
    XP_Button4 = makeXpButton(this, QStringLiteral("官方网站 (F8)"), {480, 45, 113, 63}, QStringLiteral(":/icons/web.png"));

    FlatPanel1 = makePanel(this, {40, 208, 905, 81});
    FlatPanel1->setColorHighLight(colorFromValue(clSilver));
    FlatPanel1->setColorShadow(colorFromValue(clSilver));
    FlatSpeedButton5 = FormParts::actionButton(FlatPanel1, QStringLiteral("添加 (F10)"), {720, 42, 153, 33});
    Label7 = FormParts::label(FlatPanel1, QStringLiteral("数量："), {400, 16, 73, 33}, FormParts::pixelFont(16, true));
    Label10 = FormParts::label(FlatPanel1, QStringLiteral("单价："), {664, 17, 57, 24}, FormParts::pixelFont(16, true));
    Label11 = FormParts::label(FlatPanel1, QStringLiteral("输入商品："), {8, 17, 105, 24}, FormParts::pixelFont(16, true));
    FlatSpeedButton3 = FormParts::actionButton(FlatPanel1, QStringLiteral("修改 (F9)"), {456, 42, 161, 33});
    FlatSpeedButton4 = FormParts::actionButton(FlatPanel1, QStringLiteral("删除 (Del)"), {128, 42, 177, 33});
    FlatEdit4 = makeEdit(FlatPanel1, {456, 6, 81, 30}, 19, Qt::white, QStringLiteral("1"));
    FlatEdit7 = makeEdit(FlatPanel1, {720, 6, 153, 30}, 19, Qt::white);
    FlatComboBox1 = new FlatComboBox(FlatPanel1);
    FlatComboBox1->setGeometry(104, 6, 233, 32);
    FlatComboBox1->setFont(FormParts::pixelFont(19));
    FlatComboBox1->setItemHeight(24);   // after the font, which puts it back to 13
    FlatComboBox1->setColor(colorFromValue(clWindow));
    FlatCheckBox3 = new FlatCheckBox(QStringLiteral("自动默认为1"), FlatPanel1);
    FlatCheckBox3->setGeometry(540, 11, 101, 30);
    FlatCheckBox3->setFont(FormParts::pixelFont(13));
    FlatCheckBox3->setFontColor(Qt::gray);
    FlatCheckBox3->setColor(Qt::white);
    FlatCheckBox3->setTransparent(true);
    FlatCheckBox3->setChecked(true);

    FlatPanel2 = makePanel(this, {40, 560, 905, 41});
    Label4 = FormParts::label(FlatPanel2, QStringLiteral("合计数量："), {88, 8, 97, 33}, FormParts::pixelFont(16, true));
    Label9 = FormParts::label(FlatPanel2, QStringLiteral("合计金额："), {304, 8, 105, 22}, FormParts::pixelFont(16, true));
    Label12 = FormParts::label(FlatPanel2, QStringLiteral("0"), {184, 8, 153, 20}, FormParts::pixelFont(16, true));
    Label13 = FormParts::label(FlatPanel2, QStringLiteral("0"), {408, 8, 177, 20}, FormParts::pixelFont(16, true));

    XP_Button6 = makeXpButton(this, QStringLiteral("商品信息 (F3)"), {168, 45, 113, 63}, QStringLiteral(":/icons/products.png"));

    FlatPanel3 = makePanel(this, {40, 136, 905, 57});
    Label5 = FormParts::label(FlatPanel3, QStringLiteral("销售日期："), {16, 25, 89, 16}, FormParts::pixelFont(13));
    Label6 = FormParts::label(FlatPanel3, QStringLiteral("收银员："), {400, 25, 65, 16}, FormParts::pixelFont(13));
    Label3 = FormParts::label(FlatPanel3, QStringLiteral("单号："), {672, 25, 36, 16}, FormParts::pixelFont(13));
    const QColor headerFlat = colorFromValue(14935011);
    FlatEdit2 = makeEdit(FlatPanel3, {104, 15, 233, 26}, 16, headerFlat);
    FlatEdit3 = makeEdit(FlatPanel3, {456, 15, 153, 26}, 16, headerFlat, QStringLiteral("001"));
    FlatEdit1 = makeEdit(FlatPanel3, {720, 15, 153, 26}, 16, headerFlat);

    FlatEdit5 = makeEdit(this, {224, 610, 80, 30}, 19, Qt::white);
    FlatEdit6 = makeEdit(this, {440, 610, 80, 30}, 19, Qt::white);
    FlatEdit6->setReadOnly(true);

    // Tab order: window level first, each panel's boxes where the panel stands.
    const QList<QWidget *> chain = {DBGrid1, FlatCheckBox1, XP_Button1, XP_Button2, XP_Button4,
                                    FlatEdit4, FlatEdit7, FlatComboBox1, FlatCheckBox3, XP_Button6,
                                    FlatEdit2, FlatEdit3, FlatEdit1, FlatEdit5, FlatEdit6};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void CashierWindow::connectHandlers()
{
    using AppBoxes::guarded;
    auto onClick = [this](QAbstractButton *button, void (CashierWindow::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    auto onKey = [this](FlatEdit *edit, void (CashierWindow::*handler)(int)) {
        connect(edit, &FlatEdit::keyDown, this, [this, handler](int key) { guarded([&] { (this->*handler)(key); }); });
    };
    onClick(FlatSpeedButton2, &CashierWindow::FlatSpeedButton2Click);
    onClick(FlatSpeedButton1, &CashierWindow::FlatSpeedButton7Click);
    onClick(FlatSpeedButton7, &CashierWindow::FlatSpeedButton7Click);
    onClick(XP_Button1, &CashierWindow::XP_Button1Click);
    onClick(XP_Button2, &CashierWindow::XP_Button2Click);
    onClick(XP_Button4, &CashierWindow::XP_Button4Click);
    onClick(XP_Button6, &CashierWindow::XP_Button6Click);
    onClick(FlatSpeedButton5, &CashierWindow::FlatSpeedButton5Click);
    onClick(FlatSpeedButton3, &CashierWindow::FlatSpeedButton3Click);
    onClick(FlatSpeedButton4, &CashierWindow::FlatSpeedButton4Click);
    onKey(FlatEdit2, &CashierWindow::FlatEdit2KeyDown);
    onKey(FlatEdit3, &CashierWindow::FlatEdit3KeyDown);
    onKey(FlatEdit1, &CashierWindow::FlatEdit1KeyDown);
    onKey(FlatEdit4, &CashierWindow::FlatEdit4KeyDown);
    onKey(FlatEdit7, &CashierWindow::FlatEdit7KeyDown);
    onKey(FlatEdit5, &CashierWindow::FlatEdit5KeyDown);
    onKey(FlatEdit6, &CashierWindow::FlatEdit6KeyDown);
    connect(FlatComboBox1, &FlatComboBox::keyDown, this,
            [this](int key) { guarded([&] { FlatComboBox1KeyDown(key); }); });
    connect(FlatComboBox1, &FlatComboBox::selectionChanged, this,
            [this] { guarded([&] { FlatComboBox1Click(); }); });
    connect(DBGrid1, &DataGrid::cellClicked, this, [this] { guarded([&] { DBGrid1CellClick(); }); });
    connect(DBGrid1, &DataGrid::enterPressed, this, [this] { guarded([&] { DBGrid1KeyPress(); }); });
    connect(DBGrid1, &DataGrid::titleClicked, this,
            [this](const QString &field) { guarded([&] { DBGrid1TitleClick(field); }); });
}

bool CashierWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image2) {
        // The window has no title bar: it is dragged by its background.
        if (event->type() == QEvent::MouseButtonPress) {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->button() == Qt::LeftButton)
                m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
        } else if (event->type() == QEvent::MouseMove) {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->buttons() & Qt::LeftButton)
                move(e->globalPosition().toPoint() - m_dragOffset);
        }
    } else if (watched == Label17 && event->type() == QEvent::MouseButtonRelease) {
        AppBoxes::guarded([this] { XP_Button4Click(); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Start-up, keyboard map, side windows, closing -------------------------

void CashierWindow::FormCreate()
{
    try {
        m_db.open(m_databasePath);
    } catch (const AppError &) {
        AppBoxes::showConnectionError();
    }
}

void CashierWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        AppBoxes::guarded([this] { FormShow(); });
}

void CashierWindow::FormShow()
{
    FlatEdit2->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd")));
    FlatEdit1->setText(newReceiptNumber());
    FlatComboBox1->setFocus();

    ADOQuery1.setStatement(Statements::openSale());
    ADOQuery1.open();

    ADOQuery2.setStatement(Statements::settings());
    ADOQuery2.open();
    FlatEdit3->setText(ADOQuery2.text(QStringLiteral("收银员")));

    AdoQueryRecord.setStatement(Statements::recordsOfDate(FlatEdit2->text()));
    AdoQueryRecord.open();

    ADOQuerySPInfo.setStatement(Statements::productNames());
    ADOQuerySPInfo.open();
    FlatComboBox1->clearAll();
    QStringList names;
    names.reserve(ADOQuerySPInfo.recordCount());
    for (ADOQuerySPInfo.first(); !ADOQuerySPInfo.eof(); ADOQuerySPInfo.next())
        names << ADOQuerySPInfo.text(kName);
    FlatComboBox1->setItems(names);
}

QString CashierWindow::newReceiptNumber()
{
    return m_receiptNumbers.next();
}

void CashierWindow::previewKey(const QKeyEvent &event)
{
    FormKeyDown(event.key());
}

void CashierWindow::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape: FlatSpeedButton7Click(); break;
    case Qt::Key_F2: XP_Button1Click(); break;
    case Qt::Key_F3: XP_Button6Click(); break;
    case Qt::Key_F5: XP_Button2Click(); break;
    case Qt::Key_F8: XP_Button4Click(); break;
    case Qt::Key_F10: FlatSpeedButton5Click(); break;
    case Qt::Key_F11: FlatEdit5->setFocus(); break;
    case Qt::Key_F9: FlatSpeedButton3Click(); break;
    case Qt::Key_F12: FlatSpeedButton2Click(); break;
    case Qt::Key_Delete: FlatSpeedButton4Click(); break;
    default: break;
    }
}

void CashierWindow::FlatEdit2KeyDown(int key)
{
    if (isEnter(key))
        FlatEdit3->setFocus();
}

void CashierWindow::FlatEdit3KeyDown(int key)
{
    if (isEnter(key))
        FlatEdit1->setFocus();
}

void CashierWindow::FlatEdit1KeyDown(int key)
{
    if (isEnter(key))
        FlatComboBox1->setFocus();
}

ShopSettingsWindow *CashierWindow::settingsWindow() const
{
    return m_settingsWindow;
}

CatalogueWindow *CashierWindow::catalogueWindow() const
{
    return m_catalogueWindow;
}

SalesRecordsWindow *CashierWindow::recordsWindow() const
{
    return m_recordsWindow;
}

void CashierWindow::XP_Button1Click()
{
    if (!m_settingsWindow) {
        m_settingsWindow = new ShopSettingsWindow(m_db, this);
        connect(m_settingsWindow, &ShopSettingsWindow::cashierSaved, FlatEdit3, &QLineEdit::setText);
    }
    m_settingsWindow->bringUp();
}

void CashierWindow::XP_Button6Click()
{
    if (!m_catalogueWindow) {
        m_catalogueWindow = new CatalogueWindow(m_db, this);
        connect(m_catalogueWindow, &CatalogueWindow::productNamesListed, this, &CashierWindow::setProductNames);
    }
    m_catalogueWindow->bringUp();
}

void CashierWindow::XP_Button2Click()
{
    if (!m_recordsWindow)
        m_recordsWindow = new SalesRecordsWindow(m_db, this);
    m_recordsWindow->bringUp();
}

void CashierWindow::XP_Button4Click()
{
    WebPage::open();
}

void CashierWindow::FlatSpeedButton7Click()
{
    close();
}

void CashierWindow::closeEvent(QCloseEvent *event)
{
    if (m_destroying) {
        event->accept();
        return;
    }
    // The program ends even when emptying the sale fails: its lines then come
    // back at the next start, nothing is lost.
    AppBoxes::guarded([this] { FormClose(); });
    event->accept();
    QCoreApplication::quit();
}

void CashierWindow::FormClose()
{
    // An unprinted sale is discarded.
    m_db.execute(Statements::emptyOpenSale());
    ADOQuery1.setStatement(Statements::openSale());
    ADOQuery1.open();
    WebPage::open();
}

// ---- Sale entry ------------------------------------------------------------

void CashierWindow::recomputeTotals()
{
    const OpenSale::Totals totals = OpenSale::walkTotals(ADOQuery1);
    Label12->setText(formatGeneral(totals.quantity));
    Label13->setText(formatGeneral(totals.amount));
}

void CashierWindow::resetEntryBoxes()
{
    FlatComboBox1->setEditText(QString());
    FlatEdit4->setText(QStringLiteral("1"));
    FlatEdit7->clear();
    FlatComboBox1->setFocus();
}

void CashierWindow::FlatComboBox1KeyDown(int key)
{
    if (!isEnter(key))
        return;
    FlatEdit4->setText(QStringLiteral("1"));
    FlatEdit7->clear();
    if (FlatComboBox1->currentText().isEmpty()) {
        AppBoxes::showNotice(QStringLiteral("提示：请输入商品编码或品名!"));
        FlatComboBox1->setFocus();
        return;
    }
    ADOQuerySPInfo.setStatement(Statements::lookupByCodeOrName(trimmedText(FlatComboBox1->currentText())));
    ADOQuerySPInfo.open();
    if (ADOQuerySPInfo.recordCount() > 0) {
        FlatComboBox1->setEditText(ADOQuerySPInfo.text(kName));
        FlatEdit7->setText(ADOQuerySPInfo.text(kPrice));
        addOrAskQuantity();
    } else if (FlatCheckBox3->isChecked()) {
        FlatEdit7->setFocus();
    } else {
        askQuantity();
    }
}

void CashierWindow::FlatComboBox1Click()
{
    if (FlatComboBox1->currentText().isEmpty())
        return;
    ADOQuerySPInfo.setStatement(Statements::lookupByName(trimmedText(FlatComboBox1->currentText())));
    ADOQuerySPInfo.open();
    FlatEdit7->setText(ADOQuerySPInfo.text(kPrice));
    addOrAskQuantity();
}

// A found product goes in at once with auto-add; otherwise the quantity comes first.
void CashierWindow::addOrAskQuantity()
{
    if (FlatCheckBox3->isChecked())
        FlatSpeedButton5Click();
    else
        askQuantity();
}

void CashierWindow::askQuantity()
{
    FlatEdit4->setFocus();
    FlatEdit4->selectAll();
}

void CashierWindow::FlatEdit4KeyDown(int key)
{
    if (isEnter(key))
        FlatEdit7->setFocus();
}

void CashierWindow::FlatEdit7KeyDown(int key)
{
    if (isEnter(key))
        FlatSpeedButton5Click();
}

void CashierWindow::FlatSpeedButton5Click()
{
    if (FlatComboBox1->currentText().isEmpty() || FlatEdit7->text().isEmpty())
        return;
    // The code of the last product a lookup found; "-" for goods the
    // catalogue lacks (no lookup yet, nothing found, or a failed lookup).
    QString code;
    if (ADOQuerySPInfo.isOpen() && ADOQuerySPInfo.hasColumn(kCode))
        code = ADOQuerySPInfo.text(kCode);
    if (code.isEmpty())
        code = QStringLiteral("-");
    OpenSale::addLine(ADOQuery1, code, FlatComboBox1->currentText(), FlatEdit4->text(), FlatEdit7->text());
    recomputeTotals();
    resetEntryBoxes();
}

void CashierWindow::FlatSpeedButton3Click()
{
    if (FlatComboBox1->currentText().isEmpty() || FlatEdit7->text().isEmpty())
        return;
    // With no line there is nothing to change; a new line is made only by add.
    if (ADOQuery1.recordCount() <= 0)
        return;
    OpenSale::modifyLine(ADOQuery1, FlatComboBox1->currentText(), FlatEdit4->text(), FlatEdit7->text());
    recomputeTotals();
    resetEntryBoxes();
}

void CashierWindow::FlatSpeedButton4Click()
{
    if (ADOQuery1.recordCount() <= 0)
        return;
    ADOQuery1.remove();
    recomputeTotals();
}

void CashierWindow::DBGrid1CellClick()
{
    FlatComboBox1->setEditText(ADOQuery1.text(kName));
    FlatEdit4->setText(ADOQuery1.text(kQuantity));
    FlatEdit7->setText(ADOQuery1.text(kPrice));
}

void CashierWindow::DBGrid1KeyPress()
{
    const QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid())
        return;
    const int column = qMin(current.column() + 1, DBGrid1->model()->columnCount() - 1);
    DBGrid1->setCurrentIndex(current.siblingAtColumn(column));
}

void CashierWindow::DBGrid1TitleClick(const QString &field)
{
    // One toggle for every column: each title click flips the direction.
    const Qt::SortOrder order = m_sortToggle ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortToggle = !m_sortToggle;
    ADOQuery1.sort(field, order);
}

void CashierWindow::setProductNames(const QStringList &names)
{
    // The box is emptied and refilled, typed text included.
    FlatComboBox1->clearAll();
    FlatComboBox1->setItems(names);
}

// ---- Payment ---------------------------------------------------------------

void CashierWindow::FlatEdit5KeyDown(int key)
{
    if (!isEnter(key))
        return;
    const long double received = textToNumber(FlatEdit5->text());
    const long double total = textToNumber(Label13->text());
    FlatEdit6->setText(formatGeneral(double(received - total)));
    FlatEdit6->setFocus();
}

void CashierWindow::FlatEdit6KeyDown(int key)
{
    if (isEnter(key))
        FlatSpeedButton2Click();
}

// ---- Completing a sale ------------------------------------------------------

void CashierWindow::setReceiptPrinter(std::unique_ptr<ReceiptPrinter> printer)
{
    m_printer = std::move(printer);
}

ReceiptPrinter &CashierWindow::receiptPrinter()
{
    if (!m_printer)
        m_printer = ReceiptPrinter::create(QString());
    return *m_printer;
}

void CashierWindow::FlatSpeedButton2Click()
{
    // One completion at a time: nothing that arrives while a receipt is being
    // printed may start a second one.
    if (m_completing)
        return;
    m_completing = true;
    const auto done = qScopeGuard([this] { m_completing = false; });

    ADOQuery2.setStatement(Statements::settings());
    ADOQuery2.open();
    const QString printTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    // Recording, printing and emptying the open sale are one unit: the record
    // rows are committed only once every copy went to the printer and the
    // open sale is empty. On any error nothing of the sale is recorded and it
    // stays on the screen for another try.
    {
        Transaction transaction(m_db);
        try {
            recordSale(printTime);
            const ReceiptInput input = receiptInput(printTime);
            receiptPrinter().printCopy(input, ReceiptCopy::First);
            // Repaints are let through between copies; keys and clicks wait.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (FlatCheckBox1->isChecked()) {
                receiptPrinter().printCopy(input, ReceiptCopy::Second);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            m_db.execute(Statements::emptyOpenSale());
            transaction.commit();
        } catch (...) {
            // The record set held rows that were never committed.
            AdoQueryRecord.close();
            throw;
        }
    }
    resetForNextSale();
}

void CashierWindow::recordSale(const QString &printTime)
{
    if (!AdoQueryRecord.isOpen()) {
        AdoQueryRecord.setStatement(Statements::recordsOfDate(FlatEdit2->text()));
        AdoQueryRecord.open();
    }
    for (ADOQuery1.first(); !ADOQuery1.eof(); ADOQuery1.next()) {
        AdoQueryRecord.append();
        // The first columns of a sale line and a record line are the same, in
        // the same order; the row key at position 0 is the database's own.
        for (int position = 1; position < ADOQuery1.columnCount(); ++position)
            AdoQueryRecord.setValue(position, ADOQuery1.value(position));
        AdoQueryRecord.setText(QStringLiteral("日期"), FlatEdit2->text());
        AdoQueryRecord.setText(QStringLiteral("时间"), printTime);
        AdoQueryRecord.setText(QStringLiteral("收银员"), FlatEdit3->text());
        AdoQueryRecord.setText(QStringLiteral("单号"), FlatEdit1->text());
        AdoQueryRecord.post();
    }
}

ReceiptInput CashierWindow::receiptInput(const QString &printTime)
{
    ReceiptInput input;
    input.shopName = ADOQuery2.text(QStringLiteral("店名"));
    input.receiptNumber = FlatEdit1->text();
    input.saleDate = FlatEdit2->text();
    input.printTime = printTime;
    input.cashier = FlatEdit3->text();
    for (ADOQuery1.first(); !ADOQuery1.eof(); ADOQuery1.next())
        input.saleLines << ReceiptSaleLine{ADOQuery1.text(kName), ADOQuery1.text(kQuantity),
                                           ADOQuery1.text(QStringLiteral("金额"))};
    input.totalQuantity = Label12->text();
    input.totalAmount = Label13->text();
    input.received = FlatEdit5->text();
    input.change = FlatEdit6->text();
    input.remark = ADOQuery2.text(QStringLiteral("备注"));
    return input;
}

void CashierWindow::resetForNextSale()
{
    ADOQuery1.setStatement(Statements::openSale());
    ADOQuery1.open();
    FlatEdit5->clear();
    FlatEdit6->clear();
    Label12->setText(QStringLiteral("0"));
    Label13->setText(QStringLiteral("0"));
    resetEntryBoxes();
    FlatEdit1->setText(newReceiptNumber());
}
