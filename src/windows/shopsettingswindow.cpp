#include "shopsettingswindow.h"

#include "db/statements.h"
#include "formparts.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/flatgroupbox.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colorvalue.h"
#include "widgets/webpage.h"

#include <QKeyEvent>
#include <QLabel>

namespace {

const QString kCashier = QStringLiteral("收银员");
const QString kShopName = QStringLiteral("店名");
const QString kRemark = QStringLiteral("备注");

const QColor kMaroon(0x80, 0x00, 0x00);

} // namespace

ShopSettingsWindow::ShopSettingsWindow(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("店铺设置"), mainWindow)
    , ADOQuery2(db)
{
    setObjectName(QStringLiteral("shopSettingsWindow"));
    FormParts::setWindowLook(this, QColor(0x80, 0x80, 0x80), FormParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    connectHandlers();
}

void ShopSettingsWindow::buildControls()
{
    using namespace FormParts;
    const QFont windowFont = this->font();

    Image2 = picture(this, QStringLiteral(":/pictures/settings.jpg"));
    title(this, QStringLiteral("店 铺 设 置"), &Label13, &Label14);
    FlatSpeedButton2 = closeSpot(this);
    Label17 = webLink(this, [this] { Label17Click(); });

    FlatGroupBox1 = new FlatGroupBox(this);
    FlatGroupBox1->setGeometry(256, 152, 489, 473);
    FlatGroupBox1->setColor(colorFromValue(15663069));        // #DDFFEE
    FlatGroupBox1->setColorBorder(colorFromValue(12632256));  // silver

    Label7 = label(FlatGroupBox1, QStringLiteral("店  名："), {48, 90, 50, 14}, windowFont);
    Label12 = label(FlatGroupBox1, QStringLiteral("提示：店名前可以按多个空格，使得打印小票上居中."), {48, 120, 369, 13},
                    pixelFont(11), kMaroon);
    Label1 = label(FlatGroupBox1, QStringLiteral("备  注："), {48, 162, 50, 14}, windowFont);
    Label2 = label(FlatGroupBox1, QStringLiteral("提示：备注可以填写欢迎词、地址、电话等。回车键自动换行。"),
                   {56, 380, 409, 13}, pixelFont(11), kMaroon);
    Label3 = label(FlatGroupBox1, QStringLiteral("收银员："), {48, 34, 57, 14}, windowFont);

    FlatEdit1 = new FlatEdit(FlatGroupBox1);
    FlatEdit1->setGeometry(96, 82, 249, 26);
    FlatEdit1->setFont(pixelFont(16));
    FlatEdit1->setColorFlat(Qt::white);

    FlatMemo1 = new FlatMemo(FlatGroupBox1);
    FlatMemo1->setGeometry(96, 160, 249, 217);
    FlatMemo1->setFont(windowFont);
    FlatMemo1->setColorFlat(Qt::white);

    XP_Button1 = new SkinButton(QStringLiteral("保  存 (F2) "), FlatGroupBox1);
    XP_Button1->setGeometry(56, 416, 132, 41);
    XP_Button1->setFont(windowFont);
    XP_Button5 = new SkinButton(QStringLiteral("关  闭 (ESC)"), FlatGroupBox1);
    XP_Button5->setGeometry(301, 416, 132, 41);
    XP_Button5->setFont(windowFont);

    FlatEdit2 = new FlatEdit(FlatGroupBox1);
    FlatEdit2->setGeometry(96, 26, 249, 26);
    FlatEdit2->setFont(pixelFont(16));
    FlatEdit2->setColorFlat(Qt::white);

    // The cashier box stands at the top but comes last: Tab goes shop name,
    // remark, save, close, cashier, and round again.
    for (QWidget *button : {static_cast<QWidget *>(XP_Button1), static_cast<QWidget *>(XP_Button5)})
        button->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(FlatEdit1, FlatMemo1);
    setTabOrder(FlatMemo1, XP_Button1);
    setTabOrder(XP_Button1, XP_Button5);
    setTabOrder(XP_Button5, FlatEdit2);
}

void ShopSettingsWindow::connectHandlers()
{
    using AppBoxes::guarded;
    connect(XP_Button1, &QAbstractButton::clicked, this, [this] { guarded([this] { XP_Button1Click(); }); });
    connect(XP_Button5, &QAbstractButton::clicked, this, [this] { guarded([this] { XP_Button5Click(); }); });
    connect(FlatSpeedButton2, &QAbstractButton::clicked, this, [this] { guarded([this] { XP_Button5Click(); }); });
    connect(FlatEdit2, &FlatEdit::keyDown, this, [this](int key) { guarded([&] { FlatEdit2KeyDown(key); }); });
    connect(FlatEdit1, &FlatEdit::keyDown, this, [this](int key) { guarded([&] { FlatEdit1KeyDown(key); }); });
}

void ShopSettingsWindow::previewKey(const QKeyEvent &event)
{
    FormKeyDown(event.key());
}

void ShopSettingsWindow::FormKeyDown(int key)
{
    if (key == Qt::Key_Escape)
        XP_Button5Click();
    if (key == Qt::Key_F2)
        XP_Button1Click();
}

void ShopSettingsWindow::FormShow()
{
    ADOQuery2.close();
    ADOQuery2.setStatement(Statements::settings());
    ADOQuery2.open();
    FlatEdit2->setFocus();
    // An empty table reads as three empty texts.
    FlatEdit2->setText(ADOQuery2.text(kCashier));
    FlatEdit1->setText(ADOQuery2.text(kShopName));
    FlatMemo1->setPlainText(shownRemark(ADOQuery2.text(kRemark)));
}

void ShopSettingsWindow::XP_Button1Click()
{
    // On an empty table edit() begins a new row: the first save creates the settings row.
    ADOQuery2.edit();
    ADOQuery2.setText(kCashier, FlatEdit2->text());
    ADOQuery2.setText(kShopName, FlatEdit1->text());
    ADOQuery2.setText(kRemark, storedRemark(FlatMemo1->toPlainText()));
    // A refused write ends here: the window stays open with the typed values
    // and the cashier screen keeps its cashier.
    ADOQuery2.post();
    emit cashierSaved(ADOQuery2.text(kCashier));
    close();
}

void ShopSettingsWindow::XP_Button5Click()
{
    // Typed changes are dropped: the next showing reads the row again.
    close();
}

void ShopSettingsWindow::FlatEdit2KeyDown(int key)
{
    if (FormParts::isEnter(key))
        FlatEdit1->setFocus();
}

void ShopSettingsWindow::FlatEdit1KeyDown(int key)
{
    if (FormParts::isEnter(key))
        FlatMemo1->setFocus();
}

void ShopSettingsWindow::Label17Click()
{
    WebPage::open();
}

QString ShopSettingsWindow::storedRemark(const QString &boxText)
{
    QString text = shownRemark(boxText);
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString ShopSettingsWindow::shownRemark(const QString &stored)
{
    QString text = stored;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
