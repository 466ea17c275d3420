#include "cashierwindow.h"

#include "windows/customerdisplaydialog.h"
#include "windows/customerwindow.h"
#include "windows/heldsalesdialog.h"
#include "windows/cataloguewindow.h"
#include "windows/productnamesmodel.h"
#include "windows/ownerpinquestion.h"
#include "windows/paymentwindow.h"
#include "windows/returnwindow.h"
#include "windows/windowparts.h"
#include "windows/reportswindow.h"
#include "windows/salelinesmodel.h"
#include "windows/salesrecordswindow.h"
#include "windows/shopsettingswindow.h"

#include "backup/automaticbackup.h"
#include "storage/copykeeper.h"
#include "storage/paymentmethods.h"
#include "storage/serverwatch.h"
#include "storage/shopsettings.h"
#include "storage/tillsettings.h"
#include "base/numbertext.h"
#include "receipt/cashdrawer.h"
#include "receipt/receiptprinter.h"
#include "till/saleerrors.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/datagrid.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/inputhold.h"
#include "widgets/skinbutton.h"
#include "widgets/webpage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {

FlatEdit *makeEdit(QWidget *parent, QRect geometry, int pixels, const QColor &flat, const QString &text = {})
{
    auto *edit = new FlatEdit(parent);
    edit->setGeometry(geometry);
    edit->setFont(WindowParts::pixelFont(pixels));
    edit->setColorFlat(flat);
    edit->setText(text);
    return edit;
}

SkinButton *makeSkinButton(QWidget *parent, const QString &caption, QRect geometry, const QString &icon)
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
    panel->setColor(Colors::panelGreen);
    return panel;
}

// Lets repaints through after each copy while keys and clicks wait, so the
// screen stays drawn while receipts are being spooled.
class RepaintingPrinter final : public ReceiptSink
{
public:
    explicit RepaintingPrinter(ReceiptSink &printer)
        : m_printer(printer)
    {
    }

    void print(const QList<ReceiptLine> &lines) override
    {
        m_printer.print(lines);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    TextEncoding encoding() const override { return m_printer.encoding(); }

private:
    ReceiptSink &m_printer;
};

// A total too long for its place is shown in smaller type rather than run
// into the caption beside it.
void showFitted(QLabel *label, const QString &text)
{
    int pixels = 16;
    QFont font = WindowParts::pixelFont(pixels, true);
    while (pixels > 6 && QFontMetrics(font).horizontalAdvance(text) > label->width())
        font.setPixelSize(--pixels);
    label->setFont(font);
    label->setText(text);
}

} // namespace

using WindowParts::isEnter;

CashierWindow::CashierWindow(Database &db, ServerWatch &serverWatch, AutomaticBackup &automaticBackup, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_db(db)
    , m_till(db)
    , m_shift(db, m_till)
    , m_automaticBackup(&automaticBackup)
    , m_serverWatch(&serverWatch)
{
    setObjectName(QStringLiteral("cashierWindow"));
    setWindowTitle(QStringLiteral("小票打印机软件"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/fenwo.png")));
    setFixedSize(980, 691);
    setFont(WindowParts::pixelFont(13));
    QPalette p = palette();
    p.setColor(QPalette::Window, Colors::cashierBlue);
    setPalette(p);
    setAutoFillBackground(true);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildControls();
    connectHandlers();
    watchDatabase();
    watchAutomaticBackup();
}

CashierWindow::~CashierWindow()
{
    m_db.setFileWaitNotice({});
    // Going away is not closing: the close handler must not run on a half-destroyed window.
    m_destroying = true;
    hide();
}

void CashierWindow::buildControls()
{
    m_background = new QLabel(this);
    m_background->setGeometry(0, 0, 980, 691);
    m_background->setPixmap(QPixmap(QStringLiteral(":/pictures/main.jpg")));
    m_background->setScaledContents(true);
    m_background->installEventFilter(this);

    m_printButton = WindowParts::actionButton(this, QStringLiteral("打印小票 (F12)"), {656, 612, 138, 33});
    m_closeSpot = new FlatSpeedButton(QString(), this);
    m_closeSpot->setGeometry(947, 2, 30, 26);
    m_closeSpot->setTransparentFrame(Colors::hotSpotBlue);
    m_leaveButton = WindowParts::actionButton(this, QStringLiteral("退出系统 (Esc)"), {808, 612, 138, 33});

    WindowParts::label(this, QStringLiteral("来款金额："), {128, 618, 97, 33}, WindowParts::pixelFont(16, true));
    WindowParts::label(this, QStringLiteral("找零金额："), {344, 618, 97, 33}, WindowParts::pixelFont(16, true));
    WindowParts::label(this, QStringLiteral("F11定位到输入来款金额,按回车自动算出找零金额,再按回车就打印."),
                        {128, 643, 417, 13}, WindowParts::pixelFont(11), Colors::grey);
    m_guideLink = WindowParts::label(this, WebPage::addressText(), {448, 8, 241, 25},
                        WindowParts::pixelFont(16, false, QStringLiteral("Arial")), Qt::white);
    m_guideLink->setCursor(Qt::PointingHandCursor);
    m_guideLink->installEventFilter(this);

    m_saleGrid = new DataGrid(this);
    m_saleGrid->setGeometry(40, 288, 905, 273);
    m_saleGrid->setFont(WindowParts::pixelFont(16));
    m_saleGrid->horizontalHeader()->setFont(WindowParts::pixelFont(16));
    m_saleGrid->setColors(Colors::gridGrey, Colors::panelGreen);
    m_saleLines = new SaleLinesModel(m_till, this);
    m_saleGrid->setModel(m_saleLines);
    const int widths[] = {150, 218, 100, 100, 130};
    for (int i = 0; i < 5; ++i)
        m_saleGrid->setColumnWidth(i, widths[i]);

    m_twoCopiesBox = new FlatCheckBox(QStringLiteral("打印2份小票"), this);
    m_twoCopiesBox->setGeometry(544, 618, 113, 25);
    m_twoCopiesBox->setFont(WindowParts::pixelFont(16));
    m_twoCopiesBox->setFontColor(Colors::grey);
    m_twoCopiesBox->setColor(Qt::white);
    m_twoCopiesBox->setTransparent(true);

    m_settingsButton = makeSkinButton(this, QStringLiteral("店铺设置 (F2)"), {16, 45, 113, 63}, QStringLiteral(":/icons/settings.png"));
    m_recordsButton = makeSkinButton(this, QStringLiteral("查询统计 (F5)"), {320, 45, 113, 63}, QStringLiteral(":/icons/records.png"));
    m_guideButton = makeSkinButton(this, QStringLiteral("官方网站 (F8)"), {480, 45, 113, 63}, QStringLiteral(":/icons/web.png"));

    FlatPanel *entryPanel = makePanel(this, {40, 208, 905, 81});
    entryPanel->setColorHighlight(Colors::silver);
    entryPanel->setColorShadow(Colors::silver);
    m_addButton = WindowParts::actionButton(entryPanel, QStringLiteral("添加 (F10)"), {720, 42, 153, 33});
    WindowParts::label(entryPanel, QStringLiteral("数量："), {400, 16, 73, 33}, WindowParts::pixelFont(16, true));
    WindowParts::label(entryPanel, QStringLiteral("单价："), {664, 17, 57, 24}, WindowParts::pixelFont(16, true));
    WindowParts::label(entryPanel, QStringLiteral("输入商品："), {8, 17, 105, 24}, WindowParts::pixelFont(16, true));
    m_modifyButton = WindowParts::actionButton(entryPanel, QStringLiteral("修改 (F9)"), {456, 42, 161, 33});
    m_deleteButton = WindowParts::actionButton(entryPanel, QStringLiteral("删除 (Del)"), {128, 42, 177, 33});
    m_quantityBox = makeEdit(entryPanel, {456, 6, 81, 30}, 19, Qt::white, QStringLiteral("1"));
    m_priceBox = makeEdit(entryPanel, {720, 6, 153, 30}, 19, Qt::white);
    m_productBox = new FlatComboBox(entryPanel);
    m_productNames = new ProductNamesModel(m_db, this);
    m_productBox->setGeometry(104, 6, 233, 32);
    m_productBox->setFont(WindowParts::pixelFont(19));
    m_productBox->setItemHeight(24);   // after the font, which puts it back to 13
    m_productBox->setColor(Colors::entryBackground());
    m_autoAddBox = new FlatCheckBox(QStringLiteral("自动默认为1"), entryPanel);
    m_autoAddBox->setGeometry(540, 11, 101, 30);
    m_autoAddBox->setFont(WindowParts::pixelFont(13));
    m_autoAddBox->setFontColor(Colors::grey);
    m_autoAddBox->setColor(Qt::white);
    m_autoAddBox->setTransparent(true);
    m_autoAddBox->setChecked(true);

    FlatPanel *totalsPanel = makePanel(this, {40, 560, 905, 41});
    WindowParts::label(totalsPanel, QStringLiteral("合计数量："), {88, 8, 97, 33}, WindowParts::pixelFont(16, true));
    WindowParts::label(totalsPanel, QStringLiteral("合计金额："), {304, 8, 105, 22}, WindowParts::pixelFont(16, true));
    m_totalQuantityLabel =
        WindowParts::label(totalsPanel, QStringLiteral("0"), {184, 8, 118, 20}, WindowParts::pixelFont(16, true));
    m_totalAmountLabel = WindowParts::label(totalsPanel, QStringLiteral("0"), {408, 8, 177, 20}, WindowParts::pixelFont(16, true));
    m_heldSalesLabel = WindowParts::label(totalsPanel, QString(), {600, 8, 297, 20}, WindowParts::pixelFont(16, true),
                                          Qt::darkBlue);

    m_catalogueButton = makeSkinButton(this, QStringLiteral("商品信息 (F3)"), {168, 45, 113, 63}, QStringLiteral(":/icons/products.png"));

    FlatPanel *headerPanel = makePanel(this, {40, 136, 905, 57});
    WindowParts::label(headerPanel, QStringLiteral("销售日期："), {16, 25, 89, 16}, WindowParts::pixelFont(13));
    WindowParts::label(headerPanel, QStringLiteral("收银员："), {400, 25, 65, 16}, WindowParts::pixelFont(13));
    WindowParts::label(headerPanel, QStringLiteral("单号："), {672, 25, 36, 16}, WindowParts::pixelFont(13));
    m_saleDateBox = makeEdit(headerPanel, {104, 15, 233, 26}, 16, Colors::headerGrey);
    m_cashierBox = makeEdit(headerPanel, {456, 15, 153, 26}, 16, Colors::headerGrey, QStringLiteral("001"));
    m_receiptNumberBox = makeEdit(headerPanel, {720, 15, 153, 26}, 16, Colors::headerGrey);

    m_displayMark = WindowParts::label(this, QStringLiteral("客显没有连上"), {560, 614, 380, 22},
                                       WindowParts::pixelFont(15, true), Qt::red);
    m_displayMark->hide();
    m_receivedBox = makeEdit(this, {224, 610, 80, 30}, 19, Qt::white);
    m_changeBox = makeEdit(this, {440, 610, 80, 30}, 19, Qt::white);
    m_changeBox->setReadOnly(true);

    m_openingCashReminder = WindowParts::label(
        this, QStringLiteral("提示：今天还没有记录备用金（开始营业前钱箱里的现金）。按 Shift+F1 记录，X/Z 报表才算得出应有现金。"),
        {40, 112, 905, 22}, WindowParts::pixelFont(15, true), QColor(0xC0, 0x00, 0x00));
    m_openingCashReminder->setObjectName(QStringLiteral("openingCashReminder"));
    m_openingCashReminder->hide();
    m_connectionLabel = WindowParts::label(this, QString(), {40, 112, 905, 22}, WindowParts::pixelFont(15, true),
                                           Qt::red);
    m_connectionLabel->setAutoFillBackground(true);
    m_connectionLabel->hide();
    m_printingLabel = WindowParts::label(
        this, QStringLiteral("  正在打印小票……打印完以前不能开始下一单；这时扫的商品打印完会加到下一单。"),
        {40, 112, 905, 22}, WindowParts::pixelFont(15, true), Qt::darkBlue);
    m_printingLabel->setAutoFillBackground(true);
    m_printingLabel->hide();
    m_fileWaitLabel = WindowParts::label(this, QString(), {40, 112, 905, 22}, WindowParts::pixelFont(15, true),
                                         Qt::darkBlue);
    m_fileWaitLabel->setAutoFillBackground(true);
    m_fileWaitLabel->hide();

    // Tab order: window level first, each panel's boxes where the panel stands.
    const QList<QWidget *> chain = {m_saleGrid, m_twoCopiesBox, m_settingsButton, m_recordsButton, m_guideButton,
                                    m_quantityBox, m_priceBox, m_productBox, m_autoAddBox, m_catalogueButton,
                                    m_saleDateBox, m_cashierBox, m_receiptNumberBox, m_receivedBox, m_changeBox};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void CashierWindow::connectHandlers()
{
    using AppBoxes::guarded;
    auto onClick = [this](QAbstractButton *button, void (CashierWindow::*intent)()) {
        connect(button, &QAbstractButton::clicked, this, [this, intent] { guarded([&] { (this->*intent)(); }); });
    };
    onClick(m_printButton, &CashierWindow::completeSale);
    onClick(m_closeSpot, &CashierWindow::leave);
    onClick(m_leaveButton, &CashierWindow::leave);
    onClick(m_settingsButton, &CashierWindow::openSettings);
    onClick(m_recordsButton, &CashierWindow::openRecords);
    onClick(m_guideButton, &CashierWindow::openGuide);
    onClick(m_catalogueButton, &CashierWindow::openCatalogue);
    onClick(m_addButton, &CashierWindow::addLine);
    onClick(m_modifyButton, &CashierWindow::modifyLine);
    onClick(m_deleteButton, &CashierWindow::deleteLine);
    // A display that stops working is marked on the screen, never asked about.
    connect(&m_display, &CustomerDisplay::problemChanged, this, [this](const QString &problem) {
        m_displayMark->setToolTip(problem);
        m_displayMark->setVisible(!problem.isEmpty());
    });

    // Enter moves along the boxes or acts; see enterPressedIn().
    for (FlatEdit *box : {m_saleDateBox, m_cashierBox, m_receiptNumberBox, m_quantityBox, m_priceBox,
                          m_receivedBox, m_changeBox}) {
        connect(box, &FlatEdit::keyDown, this, [this, box](int key) {
            if (isEnter(key))
                guarded([&] { enterPressedIn(box); });
        });
    }
    connect(m_productBox, &FlatComboBox::keyDown, this, [this](int key) {
        if (isEnter(key))
            guarded([&] { enterPressedIn(m_productBox); });
    });
    connect(m_productBox, &FlatComboBox::selectionChanged, this, [this] { guarded([&] { pickListedProduct(); }); });
    connect(m_saleGrid, &DataGrid::cellClicked, this, [this] { guarded([&] { loadClickedLine(); }); });
    connect(m_saleGrid, &DataGrid::enterPressed, this, [this] {
        // Enter in the grid moves to the next column; at the last one it stays.
        const QModelIndex current = m_saleGrid->currentIndex();
        if (!current.isValid())
            return;
        const int column = qMin(current.column() + 1, m_saleGrid->model()->columnCount() - 1);
        m_saleGrid->setCurrentIndex(current.siblingAtColumn(column));
    });
    connect(m_saleGrid, &DataGrid::titleClicked, this,
            [this](int column) { guarded([&] { sortByColumn(SaleLinesModel::field(column)); }); });

    // The owner's trail names whoever is in the cashier box.
    connect(m_cashierBox, &QLineEdit::textChanged, this, [this](const QString &cashier) { m_till.setCashier(cashier); });

    // Check boxes and buttons keep no scan from the product box; see eventFilter().
    for (QAbstractButton *control : std::initializer_list<QAbstractButton *>{
             m_twoCopiesBox, m_autoAddBox, m_settingsButton, m_recordsButton, m_guideButton, m_catalogueButton})
        control->installEventFilter(this);
}

bool CashierWindow::keepsKeyFromProductBox(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QAbstractButton *>(watched);
    if (!control || control->window() != this)
        return false;
    if (event->type() == QEvent::MouseButtonRelease) {
        // Once the click is handled the product box takes the keys again,
        // unless the click took the focus elsewhere (a side window).
        QTimer::singleShot(0, this, [this, control = QPointer<QAbstractButton>(control)] {
            if (control && control->hasFocus())
                m_productBox->setFocus(Qt::OtherFocusReason);
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    // Space and Tab work the control; a button also clicks on Enter. Any
    // other key, a scan's digits first, goes to the product box with the focus.
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool isButton = control != m_twoCopiesBox && control != m_autoAddBox;
    const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint() && key->key() != Qt::Key_Space;
    if (!typed && !(isEnter(key->key()) && !isButton))
        return false;
    m_productBox->setFocus(Qt::OtherFocusReason);
    QKeyEvent forwarded(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(m_productBox, &forwarded);
    return true;
}

bool CashierWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (keepsKeyFromProductBox(watched, event))
        return true;
    if (watched == m_background) {
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
    } else if (watched == m_guideLink && event->type() == QEvent::MouseButtonRelease) {
        AppBoxes::guarded([this] { openGuide(); });
    } else if (watched == m_backupWarning && event->type() == QEvent::MouseButtonRelease) {
        m_backupWarning->hide();
        AppBoxes::showNotice(m_backupFailure);
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Start-up, keys, side windows, closing -----------------------------------

void CashierWindow::watchDatabase()
{
    // A shared server may be out of reach: the window opens all the same,
    // the watch connects as soon as the server answers, and selling waits.
    connect(m_serverWatch, &ServerWatch::waiting, this, &CashierWindow::showServerWaiting);
    connect(m_serverWatch, &ServerWatch::reconnected, this,
            [this] { AppBoxes::guarded([this] { resumeAfterReconnect(); }); });
    connect(m_serverWatch, &ServerWatch::refused, this, &AppBoxes::showError);
    // Catalogue changes saved at any till reach the product box's list.
    m_namesRefresh = new QTimer(this);
    m_namesRefresh->setSingleShot(true);
    m_namesRefresh->setInterval(300);
    connect(m_namesRefresh, &QTimer::timeout, this, [this] { AppBoxes::guarded([this] { refreshProductNames(); }); });
    connect(&m_db, &Database::catalogueChanged, m_namesRefresh, qOverload<>(&QTimer::start));
    m_db.watchCatalogue();
    m_db.setFileWaitNotice(
        [this](std::optional<int> seconds, bool importing) { showFileWait(seconds, importing); });
}

void CashierWindow::showFileWait(std::optional<int> seconds, bool importing)
{
    // Called from inside the waiting statement: nothing may run on the
    // connection now, so no events are taken in, only the notice is drawn.
    // Keys typed meanwhile wait in the platform's queue and come in order.
    if (!seconds) {
        m_fileWaitLabel->hide();
        return;
    }
    const QString why = importing ? QStringLiteral("正在导入商品，导入完才能记下这一步")
                                  : QStringLiteral("数据文件正被另一个程序写入");
    m_fileWaitLabel->setText(QStringLiteral("  %1，请稍候（已等 %2 秒）……这时扫的商品随后会加上。").arg(why).arg(*seconds));
    m_fileWaitLabel->show();
    m_fileWaitLabel->raise();
    m_fileWaitLabel->repaint();
}

void CashierWindow::watchCopy(CopyKeeper &keeper)
{
    m_copyKeeper = &keeper;
    connect(&keeper, &CopyKeeper::changed, this, &CashierWindow::showCopyState);
    // After the statement that met the switch, not inside it.
    connect(
        &m_db, &Database::switched, this,
        [this] {
            showCopyState();
        // The next number carries the till while it sells offline.
            if (m_till.lines().isEmpty() && !m_till.isCompleting())
                AppBoxes::guarded([this] { m_receiptNumberBox->setText(m_till.nextReceiptNumber()); });
        },
        Qt::QueuedConnection);
}

void CashierWindow::showCopyState()
{
    if (!m_copyKeeper)
        return;
    const int waiting = m_copyKeeper->waitingSales();
    const QString last = m_copyKeeper->lastSynchronised().isEmpty() ? QStringLiteral("还没有")
                                                                     : m_copyKeeper->lastSynchronised();
    // A till with a copy of its own sells on from it from the next step: it
    // is never told that it cannot sell until the server is back.
    const bool sellsFromCopy = m_db.isOffline()
        || (m_serverWatch->isWaiting() && !m_db.localCopy().isEmpty() && QFileInfo::exists(m_db.localCopy()));
    if (sellsFromCopy) {
        m_connectionLabel->setText(QStringLiteral("  离线：连不上数据库服务器 %1，正在用本机的资料收银，%2 单等待上传。上次同步：%3")
                                       .arg(m_db.address().serverName())
                                       .arg(waiting)
                                       .arg(last));
    } else if (waiting > 0) {
        m_connectionLabel->setText(QStringLiteral("  已连上数据库服务器，离线时的 %1 单销售正在上传……上次同步：%2")
                                       .arg(waiting)
                                       .arg(last));
    } else {
        if (!m_serverWatch->isWaiting())
            m_connectionLabel->hide();
        return;
    }
    m_connectionLabel->show();
    m_connectionLabel->raise();
}

void CashierWindow::showServerWaiting()
{
    if (m_db.isOffline() || (!m_db.localCopy().isEmpty() && QFileInfo::exists(m_db.localCopy()))) {
        showCopyState();
        return;
    }
    m_connectionLabel->setText(QStringLiteral("  没有连上数据库服务器 %1，正在自动重新连接……连上以后才能收银。")
                                   .arg(m_db.address().serverName()));
    m_connectionLabel->show();
    m_connectionLabel->raise();
}

void CashierWindow::resumeAfterReconnect()
{
    m_connectionLabel->hide();
    showCopyState();
    // The open sale as the server holds it: every line stored before the
    // connection broke is there.
    m_till.reopenSale();
    showSale();
    if (m_cashierBox->text().isEmpty())
        showCashier();
    refreshProductNames();
    // A completion the server went away during: whether it was recorded is
    // settled now; either way the sale is on the screen to be completed.
    if (m_till.completionOutcomeUnknown()) {
        m_till.resolveUnknownRecording();
        AppBoxes::showNotice(QStringLiteral("提示：连接断开时正在完成的一单还没有完成，小票也没有打印。\n"
                                            "请再按 F12 完成这一单（不会重复记录）。"));
    }
}

void CashierWindow::refreshProductNames()
{
    // Not under the cashier's hands: an open list is refreshed once it closes.
    if (m_productBox->isListOpen()) {
        m_namesRefresh->start();
        return;
    }
    // The typed text stays as it is.
    m_productNames->reload();
    m_productBox->setListModel(m_productNames);
}

void CashierWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        AppBoxes::guarded([this] { startSale(); });
}

void CashierWindow::startSale()
{
    m_saleDateBox->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd")));
    m_receiptNumberBox->setText(m_till.nextReceiptNumber());
    m_productBox->setFocus();
    if (!m_startProblem.isEmpty())
        throw DatabaseError(std::exchange(m_startProblem, QString()));

    // Without a database the first of these fails and the rest stays empty.
    m_till.reopenSale();
    showSale();   // of the lines an earlier run left
    showCashier();
    listWholeCatalogue();
    finishInterruptedSale();
    showHeldSales();
    readDisplaySettings();
    m_display.clear();
}

void CashierWindow::finishInterruptedSale()
{
    // The last run ended while a recorded sale's receipt was being printed:
    // the sale is finished, and only the cashier knows whether a receipt
    // came out.
    const std::optional<Till::UnfinishedReceipt> receipt = m_till.finishInterruptedSale();
    showSale();
    if (!receipt)
        return;
    const QString question = QStringLiteral("上次退出前，单号 %1 的销售已经记录，但小票可能没有打印出来。\n"
                                            "要重新打印这张小票吗？")
                                 .arg(receipt->input.receiptNumber);
    if (AppBoxes::askYesNo(question)) {
        RepaintingPrinter printer(receiptPrinter());
        m_till.reprint(*receipt, printer);
    }
}

void CashierWindow::previewKey(const QKeyEvent &event)
{
    // While a receipt is printing the keys wait (InputHold), and so do their actions.
    if (InputHold::holds(this))
        return;
    // Modifiers are not looked at, and the key goes on to the focused control.
    switch (event.key()) {
    case Qt::Key_Escape: leave(); break;
    case Qt::Key_F2:
        if (event.modifiers() & Qt::ShiftModifier)
            signInOrOut();
        else
            openSettings();
        break;
    case Qt::Key_F3: openCatalogue(); break;
    case Qt::Key_F5:
        if (event.modifiers() & Qt::ShiftModifier)
            takeReturn();
        else
            openRecords();
        break;
    case Qt::Key_F6: openReports(); break;
    case Qt::Key_F8: openGuide(); break;
    case Qt::Key_F10: addLine(); break;
    case Qt::Key_F11:
        m_receivedBox->setFocus();
        m_display.showFigure(DisplayFigure::Total, m_till.totalAmount());
        break;
    // F4 stays the product list's key.
    case Qt::Key_F1:
        if (event.modifiers() & Qt::ShiftModifier)
            setOpeningCash();
        else
            takePayment();
        break;
    case Qt::Key_F9: modifyLine(); break;
    case Qt::Key_F12: completeSale(); break;
    case Qt::Key_F7: openDrawer(); break;
    // Shift+Insert and Ctrl+Insert stay the boxes' paste and copy.
    case Qt::Key_Insert:
        if (!(event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            holdOrTakeBackSale();
        break;
    case Qt::Key_Delete: deleteLine(); break;
    default: break;
    }
}

void CashierWindow::enterPressedIn(QWidget *box)
{
    if (box == m_saleDateBox)
        m_cashierBox->setFocus();
    else if (box == m_cashierBox)
        m_receiptNumberBox->setFocus();
    else if (box == m_receiptNumberBox)
        m_productBox->setFocus();
    else if (box == m_productBox)
        lookUpProduct();
    else if (box == m_quantityBox)
        m_priceBox->setFocus();
    else if (box == m_priceBox)
        addLine();
    else if (box == m_receivedBox)
        takeAmountReceived();
    else if (box == m_changeBox)
        completeSale();
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

ReportsWindow *CashierWindow::reportsWindow() const
{
    return m_reportsWindow;
}

void CashierWindow::openSettings()
{
    if (!OwnerPinQuestion::allows(m_db, PinPlaces::Place::Settings, this))
        return;
    if (!m_settingsWindow) {
        m_settingsWindow = new ShopSettingsWindow(m_db, this);
        connect(m_settingsWindow, &ShopSettingsWindow::cashierSaved, this, [this](const QString &cashier) {
            // Cashiers who sign in keep their own names in the box.
            if (!CashierShift::isRequired(m_db))
                m_cashierBox->setText(cashier);
            else
                showCashier();
        });
        connect(m_settingsWindow, &ShopSettingsWindow::backupSettingsSaved, m_automaticBackup, &AutomaticBackup::start);
        connect(m_settingsWindow, &ShopSettingsWindow::databaseRestored, this, &CashierWindow::reloadRestoredDatabase);
        connect(m_settingsWindow, &ShopSettingsWindow::databaseChoiceAsked, this, &CashierWindow::databaseChoiceAsked);
        connect(m_settingsWindow, &ShopSettingsWindow::displaySetupAsked, this, &CashierWindow::setUpDisplay);
        connect(m_settingsWindow, &ShopSettingsWindow::cashiersSaved, this, [this] { AppBoxes::guarded([this] { showCashier(); }); });
    }
    m_settingsWindow->bringUp();
}

void CashierWindow::openCatalogue()
{
    if (!m_catalogueWindow) {
        m_catalogueWindow = new CatalogueWindow(m_db, this);
        connect(m_catalogueWindow, &CatalogueWindow::productNamesListed, this, &CashierWindow::setProductNames);
        m_catalogueWindow->setStockContext(
            {[this]() -> ReceiptSink & { return receiptPrinter(); }, [this] { return m_cashierBox->text(); }});
    }
    m_catalogueWindow->bringUp();
}

void CashierWindow::openRecords()
{
    if (!m_recordsWindow) {
        m_recordsWindow = new SalesRecordsWindow(m_db, this, [this]() -> ReceiptSink & { return receiptPrinter(); });
        connect(m_recordsWindow, &SalesRecordsWindow::reportsAsked, this, &CashierWindow::openReports);
    }
    m_recordsWindow->bringUp();
}

void CashierWindow::openReports()
{
    if (!m_reportsWindow)
        m_reportsWindow = new ReportsWindow(m_db, this, [this]() -> ReceiptSink & { return receiptPrinter(); });
    m_reportsWindow->bringUp();
}

void CashierWindow::openGuide()
{
    WebPage::open();
}

void CashierWindow::leave()
{
    // A parked sale taken back was a customer's whole purchase: closing
    // throws it away, so the cashier says so first.
    if (m_till.isTakenBack() && !m_till.lines().isEmpty()
        && !AppBoxes::askYesNo(QStringLiteral("这一单是取回的挂单，退出会把它丢掉（不记录、不打印）。\n"
                                              "要丢掉这一单并退出吗？（要留着它，请选“否”，再按 Insert 挂单）")))
        return;
    close();
}

// ---- Held sales ------------------------------------------------------------------

void CashierWindow::holdOrTakeBackSale()
{
    if (m_till.isCompleting())
        return;
    if (!m_till.lines().isEmpty()) {
        m_till.holdSale();
        resetForNextSale();
        showHeldSales();
        return;
    }
    const QList<HeldSale> sales = m_till.heldSales();
    if (sales.isEmpty()) {
        AppBoxes::showNotice(QStringLiteral("提示：没有挂单!"));
        return;
    }
    HeldSalesDialog dialog(sales, this);
    const bool taken = dialog.exec() == QDialog::Accepted && dialog.chosen() != 0;
    // The keyboard (and the scanner) goes back to the product box.
    activateWindow();
    m_productBox->setFocus();
    if (!taken)
        return;
    m_till.takeBack(dialog.chosen());
    m_receivedBox->clear();
    m_changeBox->clear();
    showSale();
    resetEntryBoxes();
    showHeldSales();
}

// ---- Customer display ----------------------------------------------------------

CustomerWindow *CashierWindow::customerWindow() const
{
    return m_customerWindow;
}

void CashierWindow::readDisplaySettings()
{
    const DisplaySettings settings = DisplaySettings::load(TillSettings(m_db));
    m_display.setSettings(settings);
    // The customer's window goes on a monitor the cashier screen is not on.
    QScreen *other = nullptr;
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != this->screen())
            other = other ? other : screen;
    if (!settings.customerWindow || !other) {
        delete m_customerWindow;
        return;
    }
    if (!m_customerWindow)
        m_customerWindow = new CustomerWindow(this);
    m_customerWindow->showShopName(ShopSettings::load(m_db).shopName);
    m_customerWindow->showSale(m_till.lines(), m_till.totalAmount());
    m_customerWindow->showOn(other);
}

void CashierWindow::showOnDisplay()
{
    // The price of the line just rung up; an emptied sale leaves the last
    // figures (the change) for the customer to read.
    const QList<SaleLine> &lines = m_till.lines();
    if (m_customerWindow && !lines.isEmpty())
        m_customerWindow->showSale(lines, m_till.totalAmount());
    if (lines.isEmpty())
        return;
    const SaleLine &last = lines.last();
    m_display.showFigure(DisplayFigure::Price, last.price ? formatGeneral(*last.price) : QString(), last.name);
}

void CashierWindow::setUpDisplay(QWidget *over)
{
    CustomerDisplayDialog dialog(m_db, m_display, over);
    dialog.exec();
    readDisplaySettings();
}

void CashierWindow::showHeldSales()
{
    const int count = m_till.heldSaleCount();
    m_heldSalesLabel->setText(count > 0 ? QStringLiteral("挂单 %1 张（Insert 取单）").arg(count) : QString());
}

void CashierWindow::closeEvent(QCloseEvent *event)
{
    if (m_destroying) {
        event->accept();
        return;
    }
    // The program ends even when emptying the sale fails: its lines then come
    // back at the next start, nothing is lost.
    AppBoxes::guarded([this] {
        m_till.discardSale();
        // The copy at closing; a failure is told in a box (once), the program ends all the same.
        m_closing = true;
        m_automaticBackup->copyNow();
    });
    // The guide on the way out is a courtesy: without a browser nothing is said.
    try {
        WebPage::open();
    } catch (const AppError &) {
    }
    event->accept();
    QCoreApplication::quit();
}

// ---- Sale entry --------------------------------------------------------------

void CashierWindow::showSale()
{
    showFitted(m_totalQuantityLabel, m_till.totalQuantity());
    showFitted(m_totalAmountLabel, m_till.totalAmount());
    // After every change and every reading the last line is current: the
    // next Delete takes the line last added.
    m_saleGrid->setCurrentRow(m_saleLines->rowCount() - 1);
    showOnDisplay();
}

int CashierWindow::currentLine() const
{
    const int row = m_saleGrid->currentRow();
    return row >= 0 ? row : m_saleLines->rowCount() - 1;
}

void CashierWindow::changeLines(const std::function<void()> &change)
{
    try {
        change();
    } catch (const SaleLinesFixed &e) {
        throw Refusal(e.message() + QStringLiteral("：请按 F12 完成本单。"));
    }
}

void CashierWindow::resetEntryBoxes()
{
    m_productBox->setEditText(QString());
    m_quantityBox->setText(QStringLiteral("1"));
    m_priceBox->clear();
    m_productBox->setFocus();
}

void CashierWindow::lookUpProduct()
{
    // The first scan of a till whose cashiers sign in asks who is there; the
    // scan goes in once someone is.
    bool signedIn = false;
    try {
        signedIn = ensureSignedIn();
    } catch (const AppError &) {
        resetEntryBoxes();
        throw;
    }
    if (!signedIn) {
        resetEntryBoxes();
        return;
    }
    m_quantityBox->setText(QStringLiteral("1"));
    m_priceBox->clear();
    if (m_productBox->currentText().isEmpty()) {
        AppBoxes::showNotice(QStringLiteral("提示：请输入商品编码或品名!"));
        m_productBox->setFocus();
        return;
    }
    try {
        std::optional<Product> found;
        try {
            found = m_till.lookUp(m_productBox->currentText());
        } catch (const Refusal &refusal) {
            // A scale code that cannot be rung up: the cashier is told, nothing
            // is added, and the box is ready for the next scan.
            AppBoxes::showNotice(refusal.message());
            resetEntryBoxes();
            return;
        }
        if (found) {
            // A typed code gives way to the product's name; a scale code brings its quantity.
            m_productBox->setEditText(found->name);
            m_priceBox->setText(found->price);
            if (!found->quantity.isEmpty())
                m_quantityBox->setText(found->quantity);
            addOrAskQuantity();
        } else if (m_autoAddBox->isChecked()) {
            m_priceBox->setFocus();
        } else {
            askQuantity();
        }
    } catch (const ConnectionLost &) {
        // The server went away: the scan is scanned again once it is back,
        // and that scan replaces this one's text rather than running on after it.
        m_productBox->setFocus();
        m_productBox->lineEdit()->selectAll();
        throw;
    }
}

void CashierWindow::pickListedProduct()
{
    if (m_productBox->currentText().isEmpty())
        return;
    const std::optional<Product> found = m_till.lookUpName(m_productBox->currentText());
    if (found)
        m_productBox->setEditText(found->name);   // the product's own name, which its code goes with
    m_priceBox->setText(found ? found->price : QString());
    addOrAskQuantity();
}

// A found product goes in at once with auto-add; otherwise the quantity comes first.
void CashierWindow::addOrAskQuantity()
{
    if (m_autoAddBox->isChecked())
        addLine();
    else
        askQuantity();
}

void CashierWindow::askQuantity()
{
    m_quantityBox->setFocus();
    m_quantityBox->selectAll();
}

void CashierWindow::addLine()
{
    if (m_productBox->currentText().isEmpty() || m_priceBox->text().isEmpty())
        return;
    if (!ensureSignedIn())
        return;
    if (!lineIsMeant())
        return;
    changeLines([this] { m_till.addLine(m_productBox->currentText(), m_quantityBox->text(), m_priceBox->text()); });
    showSale();
    renewChange();
    resetEntryBoxes();
}

bool CashierWindow::lineIsMeant()
{
    // A code scanned into the quantity box is no quantity: asked first, No
    // by default, so that the scan's own Enter adds nothing.
    const QString doubt = m_till.lineLimits().doubtAbout(m_quantityBox->text(), m_priceBox->text());
    if (doubt.isEmpty())
        return true;
    AppBoxes::Question question;
    question.byDefault = QMessageBox::No;
    question.icon = QMessageBox::Warning;
    if (AppBoxes::askYesNo(QStringLiteral("提示：") + doubt, question))
        return true;
    askQuantity();
    return false;
}

void CashierWindow::modifyLine()
{
    if (m_productBox->currentText().isEmpty() || m_priceBox->text().isEmpty())
        return;
    if (!lineIsMeant())
        return;
    bool changed = false;
    changeLines([&] {
        changed =
            m_till.modifyLine(currentLine(), m_productBox->currentText(), m_quantityBox->text(), m_priceBox->text());
    });
    if (!changed)
        return;
    showSale();
    renewChange();
    resetEntryBoxes();
}

void CashierWindow::deleteLine()
{
    bool deleted = false;
    changeLines([&] { deleted = m_till.deleteLine(currentLine()); });
    if (deleted) {
        showSale();
        renewChange();
    }
}

void CashierWindow::loadClickedLine()
{
    const SaleLine line = m_till.pickLine(currentLine());
    m_productBox->setEditText(line.name);
    m_quantityBox->setText(line.quantityText());
    m_priceBox->setText(line.priceText());
}

void CashierWindow::sortByColumn(SaleLine::Field field)
{
    // One toggle for every column: each title click flips the direction.
    const Qt::SortOrder order = m_sortToggle ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortToggle = !m_sortToggle;
    m_till.sortLines(field, order);
}

void CashierWindow::listWholeCatalogue()
{
    // The box is emptied and lists every name, read as the list scrolls.
    m_productBox->clearAll();
    m_productNames->reload();
    m_productBox->setListModel(m_productNames);
}

void CashierWindow::setProductNames(const QStringList &names)
{
    // The box is emptied and refilled, typed text included.
    m_productBox->clearAll();
    m_productBox->setItems(names);
}

// ---- Payment and completion ----------------------------------------------------

void CashierWindow::takeAmountReceived()
{
    m_changeBox->setText(m_till.changeFor(m_receivedBox->text()));
    m_changeBox->setFocus();
    m_display.showPayment(m_receivedBox->text(), m_changeBox->text());
    if (m_customerWindow)
        m_customerWindow->showPayment(m_receivedBox->text(), m_changeBox->text());
}

void CashierWindow::renewChange()
{
    // A change on the screen always answers the lines as they stand; when
    // the amount received is no number any more, there is no change to show.
    if (m_changeBox->text().isEmpty())
        return;
    try {
        m_changeBox->setText(m_till.changeFor(m_receivedBox->text()));
    } catch (const ConversionError &) {
        m_changeBox->clear();
    }
}

void CashierWindow::setPrinterOverrides(const PrinterOverrides &overrides)
{
    m_printer.setOverrides(overrides);
}

void CashierWindow::setReceiptPrinter(std::unique_ptr<ReceiptPrinter> printer)
{
    m_printer.setFixed(std::move(printer));
}

ReceiptPrinter &CashierWindow::receiptPrinter()
{
    return m_printer.current(m_db);
}

void CashierWindow::completeSale()
{
    completeSalePaid({});
}

void CashierWindow::takePayment()
{
    if (m_till.isCompleting())
        return;
    PaymentWindow window(PaymentMethods::load(m_db), m_till, currentLine(), this);
    const bool paid = window.exec() == QDialog::Accepted;
    // A discount or 抹零 given there changed the lines, paid or not.
    showSale();
    if (paid)
        completeSalePaid(window.payments());
}

void CashierWindow::takeReturn()
{
    if (m_till.isCompleting() || !ensureSignedIn())
        return;
    ReturnWindow window(m_till, receiptPrinter(), m_cashierBox->text(), m_saleDateBox->text(), this);
    if (window.exec() == QDialog::Accepted)
        m_receiptNumberBox->setText(m_till.nextReceiptNumber());
}

void CashierWindow::setOpeningCash()
{
    bool given = false;
    const QString amount = QInputDialog::getText(this, QStringLiteral("备用金"),
                                                 QStringLiteral("开始营业前钱箱里的现金（备用金，元）："),
                                                 QLineEdit::Normal, m_till.openingCash().value_or(QString()), &given);
    if (given) {
        m_till.setOpeningCash(amount);
        m_openingCashReminder->hide();
    }
}

void CashierWindow::remindOfOpeningCash()
{
    const QDate today = QDate::currentDate();
    if (m_openingCashAsked == today || m_openingCashReminded == today)
        return;
    m_openingCashReminded = today;
    bool wanted = false;
    try {
        wanted = m_till.wantsOpeningCash(today);
    } catch (const AppError &) {
        // Told again at the next sale.
        m_openingCashReminded = QDate();
    }
    // A failed backup says more, on the same line.
    m_openingCashReminder->setVisible(wanted && !(m_backupWarning && m_backupWarning->isVisible()));
}

void CashierWindow::askOpeningCashOnce()
{
    const QDate today = QDate::currentDate();
    if (m_till.isCompleting() || m_openingCashAsked == today)
        return;
    // A database that cannot tell asks nothing: the completion then says what is wrong.
    try {
        if (!m_till.wantsOpeningCash(today))
            return;
    } catch (const AppError &) {
        return;
    }
    QInputDialog question(this);
    question.setObjectName(QStringLiteral("openingCashQuestion"));
    question.setWindowTitle(QStringLiteral("备用金"));
    question.setLabelText(QStringLiteral("今天开始营业：钱箱里有多少现金（备用金，元）？\n"
                                         "不记录请按“跳过”，今天不再询问（以后可按 Shift+F1 记录）。"));
    question.setOkButtonText(QStringLiteral("记录"));
    question.setCancelButtonText(QStringLiteral("跳过"));
    for (;;) {
        if (question.exec() != QDialog::Accepted)
            break;
        try {
            m_till.setOpeningCash(question.textValue().trimmed());
            break;
        } catch (const Refusal &refusal) {
            AppBoxes::showNotice(refusal.message());
        }
    }
    m_openingCashAsked = today;
    try {
        Till::openingCashAsked(m_db, today);
    } catch (const AppError &) {
        // Asked again at the next sale: no harm done.
    }
}

void CashierWindow::completeSalePaid(const QList<Payment> &payments)
{
    if (m_till.isCompleting())
        return;
    // A network printer may take a while: the window stays drawn, says so,
    // and keeps the keys typed meanwhile for the next sale.
    const InputHold hold(this, m_printingLabel);
    const SaleHeader header{m_receiptNumberBox->text(), m_saleDateBox->text(), m_cashierBox->text(),
                            m_receivedBox->text(), m_changeBox->text(), payments};
    ReceiptPrinter &receipts = receiptPrinter();
    RepaintingPrinter printer(receipts);
    // A sale without lines takes no money: the drawer stays shut (F7 opens it).
    const bool anyLine = !m_till.lines().isEmpty();
    bool completed = false;
    try {
        completed = m_till.complete(header, printer, m_twoCopiesBox->isChecked() ? 2 : 1);
    } catch (const SaleNotEmptied &e) {
        m_saleGrid->setCurrentRow(m_saleLines->rowCount() - 1);
        throw DatabaseError(e.message() + QStringLiteral("\n请再按 F12 完成本单（不会再打印小票）。"));
    } catch (const AppError &) {
        // The sale stays on the screen, its last line current as after any change.
        m_saleGrid->setCurrentRow(m_saleLines->rowCount() - 1);
        throw;
    }
    if (completed) {
        resetForNextSale();
        if (anyLine)
            openDrawerAfterSale(receipts);
        remindOfOpeningCash();
    }
}

void CashierWindow::openDrawerAfterSale(ReceiptPrinter &printer)
{
    // Only once the sale is recorded and its receipt accepted. A drawer that
    // does not open then undoes nothing: the sale stands, the cashier is told.
    if (!printer.opensDrawerAfterSale())
        return;
    try {
        printer.cashDrawer()->open();
    } catch (const AppError &e) {
        AppBoxes::showNotice(QStringLiteral("提示：销售已经记录，小票已经打印，但是钱箱没有打开。\n") + e.message());
    }
}

void CashierWindow::openDrawer()
{
    CashDrawer *drawer = receiptPrinter().cashDrawer();
    if (!drawer) {
        AppBoxes::showNotice(QStringLiteral("提示：没有设置钱箱。请在 店铺设置 → 小票打印机 里选择钱箱接口"
                                            "（钱箱要接在 ESC/POS 小票打印机上）!"));
        return;
    }
    if (!OwnerPinQuestion::allows(m_db, PinPlaces::Place::Drawer, this))
        return;
    drawer->open();
    m_till.noteDrawerOpened();
}

void CashierWindow::resetForNextSale()
{
    m_receivedBox->clear();
    m_changeBox->clear();
    showSale();
    resetEntryBoxes();
    m_receiptNumberBox->setText(m_till.nextReceiptNumber());
}

// ---- Backups -------------------------------------------------------------------

void CashierWindow::watchAutomaticBackup()
{
    m_backupWarning = WindowParts::label(this, QStringLiteral("提示：自动备份没有成功，数据还没有备份。点这里看原因。"),
                                         {40, 112, 905, 20}, WindowParts::pixelFont(14, true), QColor(0xC0, 0x00, 0x00));
    m_backupWarning->setCursor(Qt::PointingHandCursor);
    m_backupWarning->installEventFilter(this);
    m_backupWarning->hide();

    connect(m_automaticBackup, &AutomaticBackup::failed, this, &CashierWindow::tellBackupFailed);
}

void CashierWindow::tellBackupFailed(const QString &message)
{
    if (m_closing) {
        AppBoxes::showNotice(message);
        return;
    }
    // Told on the screen itself, not in a box: the keyboard stays where it
    // is, the scanner's next code still goes to the product box, and
    // nothing waits for an answer.
    m_backupFailure = message;
    m_backupWarning->setToolTip(message);
    m_backupWarning->show();
    m_openingCashReminder->hide();
    m_backupWarning->raise();
}

void CashierWindow::reloadRestoredDatabase()
{
    // The side windows show the old file's rows: they read the new one at their next showing.
    for (QWidget *window : {static_cast<QWidget *>(m_catalogueWindow.data()),
                            static_cast<QWidget *>(m_recordsWindow.data())}) {
        if (window)
            window->hide();
    }
    m_till.reloadSale();
    showSale();
    resetEntryBoxes();
    m_receivedBox->clear();
    m_changeBox->clear();
    showCashier();
    listWholeCatalogue();
    m_automaticBackup->start();
}

// ---- Cashiers --------------------------------------------------------------------

void CashierWindow::showCashier()
{
    // Without sign-in the shop's one cashier name stands in the box, to be typed over.
    m_signInRequired = CashierShift::isRequired(m_db);
    if (!m_signInRequired) {
        m_cashierBox->setReadOnly(false);
        m_cashierBox->setText(ShopSettings::load(m_db).cashier);
        return;
    }
    const std::optional<CashierShift::SignedIn> shift = m_shift.signedIn();
    m_cashierBox->setReadOnly(true);
    m_cashierBox->setText(shift ? shift->name : QString());
}

bool CashierWindow::ensureSignedIn()
{
    // Read when the box was filled, not at every scan: the box shows who is signed in.
    if (!m_signInRequired || !m_cashierBox->text().isEmpty())
        return true;
    askSignIn();
    return !m_cashierBox->text().isEmpty();
}

void CashierWindow::askSignIn()
{
    QInputDialog numberQuestion(this);
    numberQuestion.setObjectName(QStringLiteral("cashierNumberQuestion"));
    numberQuestion.setWindowTitle(QStringLiteral("收银员签到"));
    numberQuestion.setLabelText(QStringLiteral("收银员编号："));
    if (numberQuestion.exec() != QDialog::Accepted)
        return;
    QInputDialog pinQuestion(this);
    pinQuestion.setObjectName(QStringLiteral("cashierPinQuestion"));
    pinQuestion.setWindowTitle(QStringLiteral("收银员签到"));
    pinQuestion.setLabelText(QStringLiteral("密码："));
    pinQuestion.setTextEchoMode(QLineEdit::Password);
    if (pinQuestion.exec() != QDialog::Accepted)
        return;
    const CashierShift::SignedIn shift = m_shift.signIn(numberQuestion.textValue(), pinQuestion.textValue());
    m_cashierBox->setText(shift.name);
    m_productBox->setFocus();
}

void CashierWindow::signInOrOut()
{
    if (m_till.isCompleting())
        return;
    // Without sign-in the key stays what it always was: the shop settings.
    if (!CashierShift::isRequired(m_db)) {
        openSettings();
        return;
    }
    // Switched on since the box was filled (at another till's settings).
    if (!m_signInRequired)
        showCashier();
    if (!m_shift.signedIn()) {
        askSignIn();
        return;
    }
    ShiftFigures figures;
    {
        const InputHold hold(this, m_printingLabel);
        RepaintingPrinter printer(receiptPrinter());
        figures = m_shift.signOut(ShopSettings::load(m_db).shopName, printer);
    }
    m_cashierBox->clear();
    AppBoxes::showNotice(QStringLiteral("%1 已交班，交班报表已打印。\n收款 %2，退款 %3，净收款 %4。")
                             .arg(figures.cashier, figures.takings, figures.refunds, figures.net));
}
