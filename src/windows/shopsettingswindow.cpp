#include "shopsettingswindow.h"

#include "windows/backupdialog.h"
#include "windows/cashiersdialog.h"
#include "windows/ownerpinquestion.h"
#include "windows/paymentmethodsdialog.h"
#include "base/apperror.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "storage/database.h"
#include "storage/shopsettings.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"
#include "windows/receiptprinterwindow.h"
#include "windows/trailwindow.h"
#include "windows/windowparts.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/flatgroupbox.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/webpage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>
#include <cmath>

namespace {

// The box shows each stored line as a line, whatever ends it.
QString shownRemark(const QString &stored)
{
    QString text = stored;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// The remark is stored with CR LF between its lines, whatever line ends the
// box or the platform use.
QString storedRemark(const QString &boxText)
{
    QString text = shownRemark(boxText);
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace

ShopSettingsWindow::ShopSettingsWindow(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("店铺设置"), mainWindow)
{
    setObjectName(QStringLiteral("shopSettingsWindow"));
    WindowParts::setWindowLook(this, Colors::grey, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    connectHandlers();
}

void ShopSettingsWindow::buildControls()
{
    using namespace WindowParts;
    const QFont windowFont = this->font();

    // Created in painting order.
    picture(this, QStringLiteral(":/pictures/settings.jpg"));
    QLabel *titleShadow = nullptr;
    QLabel *titleFace = nullptr;
    title(this, QStringLiteral("店 铺 设 置"), &titleShadow, &titleFace);
    m_closeSpot = WindowParts::closeSpot(this);
    webLink(this, [] { WebPage::open(); });

    auto *group = new FlatGroupBox(this);
    group->setGeometry(256, 152, 489, 473);
    group->setColor(Colors::panelGreen);
    group->setColorBorder(Colors::silver);

    QLabel *shopNameCaption = label(group, QStringLiteral("店  名："), {48, 90, 50, 14}, windowFont);
    label(group, QStringLiteral("提示：店名前可以按多个空格，使得打印小票上居中."), {48, 120, 369, 13}, pixelFont(11),
          Colors::noteMaroon);
    QLabel *remarkCaption = label(group, QStringLiteral("备  注："), {48, 162, 50, 14}, windowFont);
    label(group, QStringLiteral("提示：备注可以填写欢迎词、地址、电话等。回车键自动换行。"), {56, 380, 409, 13},
          pixelFont(11), Colors::noteMaroon);
    QLabel *cashierCaption = label(group, QStringLiteral("收银员："), {48, 34, 57, 14}, windowFont);
    // The boxes begin at 96: the captions, on one left edge, end before
    // them, so that no colon lies under a box whatever the face measures.
    const QList<QLabel *> captions{shopNameCaption, remarkCaption, cashierCaption};
    int widest = 0;
    for (QLabel *caption : captions)
        widest = std::max(widest, int(std::ceil(QFontMetricsF(caption->font()).horizontalAdvance(caption->text()))));
    const int left = std::min(48, 96 - 2 - widest);
    for (QLabel *caption : captions)
        caption->setGeometry(left, caption->y(), widest, std::max(caption->height(), caption->fontMetrics().height()));

    m_shopNameBox = new FlatEdit(group);
    m_shopNameBox->setGeometry(96, 82, 249, 26);
    m_shopNameBox->setFont(pixelFont(16));
    m_shopNameBox->setColorFlat(Qt::white);

    m_remarkBox = new FlatMemo(group);
    m_remarkBox->setGeometry(96, 160, 249, 217);
    m_remarkBox->setFont(windowFont);
    m_remarkBox->setColorFlat(Qt::white);

    m_saveButton = new SkinButton(QStringLiteral("保  存 (F2) "), group);
    m_saveButton->setGeometry(56, 416, 132, 41);
    m_saveButton->setFont(windowFont);
    m_closeButton = new SkinButton(QStringLiteral("关  闭 (ESC)"), group);
    m_closeButton->setGeometry(301, 416, 132, 41);
    m_closeButton->setFont(windowFont);

    m_cashierBox = new FlatEdit(group);
    m_cashierBox->setGeometry(96, 26, 249, 26);
    m_cashierBox->setFont(pixelFont(16));
    m_cashierBox->setColorFlat(Qt::white);

    // Where receipts go and the cash drawer: a window of its own.
    m_printerButton = new SkinButton(QStringLiteral("小票打印机…"), group);
    m_printerButton->setGeometry(360, 176, 113, 38);
    m_printerButton->setFont(windowFont);
    // Outside the Tab round of the shop's own boxes and buttons, which stays as it was.
    m_printerButton->setFocusPolicy(Qt::NoFocus);
    // The payment methods the payment window offers: a window of their own.
    m_methodsButton = new SkinButton(QStringLiteral("付款方式…"), group);
    m_methodsButton->setGeometry(360, 76, 113, 38);
    m_methodsButton->setFont(windowFont);
    m_methodsButton->setFocusPolicy(Qt::NoFocus);
    // Backups beside the remark, out of the Tab round.
    m_backupButton = new SkinButton(QStringLiteral("备  份…"), group);
    m_backupButton->setGeometry(360, 276, 113, 38);
    m_restoreButton = new SkinButton(QStringLiteral("恢  复…"), group);
    m_restoreButton->setGeometry(360, 326, 113, 38);
    // Which database this computer's till works on, and its till number.
    m_databaseButton = new SkinButton(QStringLiteral("数据库…"), group);
    m_databaseButton->setGeometry(360, 226, 113, 38);
    // The customer display on a serial port.
    m_displayButton = new SkinButton(QStringLiteral("客  显…"), group);
    m_displayButton->setGeometry(360, 126, 113, 38);
    // The owner's trail, behind the owner's PIN when one is set.
    m_trailButton = new SkinButton(QStringLiteral("操作记录…"), group);
    m_trailButton->setGeometry(360, 26, 113, 38);
    // The cashiers who sign in at the till, behind the owner's PIN when one is set.
    m_cashiersButton = new SkinButton(QStringLiteral("收银员…"), group);
    m_cashiersButton->setGeometry(360, 376, 113, 38);
    for (SkinButton *button :
         {m_backupButton, m_restoreButton, m_databaseButton, m_displayButton, m_trailButton, m_cashiersButton}) {
        button->setFont(windowFont);
        button->setFocusPolicy(Qt::NoFocus);
    }

    // The cashier box stands at the top but comes last: Tab goes shop name,
    // remark, save, close, cashier, and round again.
    for (QWidget *button : {static_cast<QWidget *>(m_saveButton), static_cast<QWidget *>(m_closeButton)})
        button->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(m_shopNameBox, m_remarkBox);
    setTabOrder(m_remarkBox, m_saveButton);
    setTabOrder(m_saveButton, m_closeButton);
    setTabOrder(m_closeButton, m_cashierBox);
}

ReceiptPrinterWindow *ShopSettingsWindow::printerWindow() const
{
    return m_printerWindow;
}

void ShopSettingsWindow::connectHandlers()
{
    using AppBoxes::guarded;
    connect(m_saveButton, &QAbstractButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(m_printerButton, &QAbstractButton::clicked, this, [this] {
        if (!m_printerWindow)
            m_printerWindow = new ReceiptPrinterWindow(database(), this);
        m_printerWindow->bringUp();
    });
    connect(m_methodsButton, &QAbstractButton::clicked, this, [this] {
        guarded([this] {
            PaymentMethodsDialog methods(database(), this);
            methods.exec();
        });
    });
    connect(m_trailButton, &QAbstractButton::clicked, this, [this] { guarded([this] { openTrail(); }); });
    connect(m_cashiersButton, &QAbstractButton::clicked, this, [this] { guarded([this] { openCashiers(); }); });
    connect(m_backupButton, &QAbstractButton::clicked, this, [this] { guarded([this] { backUp(); }); });
    connect(m_restoreButton, &QAbstractButton::clicked, this, [this] { guarded([this] { restore(); }); });
    connect(m_databaseButton, &QAbstractButton::clicked, this, [this] { guarded([this] { chooseDatabase(); }); });
    connect(m_displayButton, &QAbstractButton::clicked, this, [this] { emit displaySetupAsked(this); });
    // Closing drops typed changes: the next showing reads the row again.
    for (QAbstractButton *button : {static_cast<QAbstractButton *>(m_closeButton),
                                    static_cast<QAbstractButton *>(m_closeSpot)})
        connect(button, &QAbstractButton::clicked, this, [this] { guarded([this] { close(); }); });
}

void ShopSettingsWindow::openTrail()
{
    if (!OwnerPinQuestion::allows(database(), QStringLiteral("查看操作记录需要店主密码。"), this))
        return;
    TrailWindow trail(database(), this);
    trail.exec();
}

void ShopSettingsWindow::openCashiers()
{
    if (!OwnerPinQuestion::allows(database(), QStringLiteral("设置收银员和店主密码需要店主密码。"), this))
        return;
    CashiersDialog cashiers(database(), this);
    if (cashiers.exec() == QDialog::Accepted)
        emit cashiersSaved();
}

void ShopSettingsWindow::previewKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_F2: save(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter goes cashier, shop name, remark; in the remark it starts a new line.
        if (focusWidget() == m_cashierBox)
            m_shopNameBox->setFocus();
        else if (focusWidget() == m_shopNameBox)
            m_remarkBox->setFocus();
        break;
    default: break;
    }
}

void ShopSettingsWindow::reload()
{
    // An empty table reads as three empty texts.
    const ShopSettings settings = ShopSettings::load(database());
    m_cashierBox->setFocus();
    m_cashierBox->setText(settings.cashier);
    m_shopNameBox->setText(settings.shopName);
    m_remarkBox->setPlainText(shownRemark(settings.remark));
}

void ShopSettingsWindow::save()
{
    const ShopSettings settings{m_cashierBox->text(), m_shopNameBox->text(), storedRemark(m_remarkBox->toPlainText())};
    // A refused write ends here: the window stays open with the typed values
    // and the cashier screen keeps its cashier.
    settings.save(database());
    emit cashierSaved(settings.cashier);
    close();
}

void ShopSettingsWindow::backUp()
{
    Backup::refuseServer(database().address().text());
    BackupDialog dialog(database(), this);
    connect(&dialog, &BackupDialog::settingsSaved, this, &ShopSettingsWindow::backupSettingsSaved);
    dialog.exec();
}

void ShopSettingsWindow::chooseDatabase()
{
    emit databaseChoiceAsked(this);
}

void ShopSettingsWindow::restore()
{
    Database &db = database();
    Backup::refuseServer(db.address().text());
    if (!OwnerPinQuestion::allows(db, PinPlaces::Place::Restore, this))
        return;
    // Without a database (its file was deleted) the backups are looked for where they go by default.
    const QString folder = (db.isOpen() ? BackupSettings::load(db) : BackupSettings()).folderFor(db.filePath());
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择要恢复的备份文件"), folder,
                                                      QStringLiteral("数据文件 (*.db);;所有文件 (*)"));
    if (file.isEmpty())
        return;
    // A damaged file or one of another program is refused before anything is asked.
    Backup::verify(file);
    const QString name = QFileInfo(file).fileName();
    if (!AppBoxes::askYesNo(QStringLiteral("提示：恢复会用备份“%1”替换现在的全部数据（商品、销售记录、设置）。\n"
                                           "现在的数据会先另存到备份文件夹里。确定要恢复吗?")
                                .arg(name),
                            {this, QStringLiteral("Confirm"), QMessageBox::Question, QMessageBox::No}))
        return;
    const QString aside = Backup::restore(db, file, folder);
    emit databaseRestored();
    reload();
    QString done = QStringLiteral("已从“%1”恢复数据。").arg(name);
    if (!aside.isEmpty())
        done += QStringLiteral("\n恢复前的数据另存为：%1").arg(aside);
    AppBoxes::showNotice(done);
}
