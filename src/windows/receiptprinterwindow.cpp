#include "receiptprinterwindow.h"

#include "windows/windowparts.h"

#include "base/numbertext.h"
#include "storage/shopsettings.h"
#include "storage/tillsettings.h"
#include "receipt/systemprinterlist.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatgroupbox.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "widgets/webpage.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>

namespace {

using Output = PrinterSettings::Output;
using Drawer = PrinterSettings::Drawer;

// The queue list's first entry stands for "whatever the system's default is".
const QString kDefaultPrinterEntry = QStringLiteral("系统默认打印机");
const QString kDefaultMark = QStringLiteral("（默认）");

FlatCheckBox *choiceBox(QWidget *parent, QButtonGroup *group, const QString &caption, QRect geometry)
{
    auto *box = new FlatCheckBox(caption, parent);
    box->setGeometry(geometry);
    box->setFont(WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    box->setColor(Colors::panelGreen);
    box->setTransparent(true);
    if (group)
        group->addButton(box);
    return box;
}

FlatEdit *edit(QWidget *parent, QRect geometry)
{
    auto *box = new FlatEdit(parent);
    box->setGeometry(geometry);
    box->setFont(WindowParts::pixelFont(16));
    box->setColorFlat(Qt::white);
    return box;
}

FlatComboBox *listBox(QWidget *parent, QRect geometry)
{
    auto *box = new FlatComboBox(parent);
    box->setGeometry(geometry);
    box->setFont(WindowParts::pixelFont(16));
    box->setItemHeight(22);
    box->setColor(Qt::white);
    return box;
}

SkinButton *button(QWidget *parent, const QString &caption, QRect geometry, const QFont &font)
{
    auto *b = new SkinButton(caption, parent);
    b->setGeometry(geometry);
    b->setFont(font);
    return b;
}

QLabel *hint(QWidget *parent, const QString &text, QRect geometry)
{
    QLabel *label = WindowParts::label(parent, text, geometry, WindowParts::pixelFont(12), Colors::noteMaroon);
    label->setWordWrap(true);
    return label;
}

// A number typed in a box; -1 for anything else, which every range refuses.
int typedNumber(const FlatEdit *box)
{
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    return ok ? value : -1;
}

template<typename Key>
Key checkedKey(const QMap<Key, FlatCheckBox *> &boxes, Key fallback)
{
    for (auto it = boxes.cbegin(); it != boxes.cend(); ++it)
        if (it.value()->isChecked())
            return it.key();
    return fallback;
}

// How the drawer opens with the output shown, in the shop's words.
QString drawerNoteFor(const PrinterSettings &settings)
{
    if (settings.drawer == Drawer::Off)
        return QStringLiteral("不用钱箱。");
    switch (settings.output) {
    case Output::SystemPrinter:
        if (settings.queueIsEscPos)
            return QStringLiteral("钱箱由这台系统打印机打开：打开钱箱的命令 (ESC p) 作为原始数据送给它。");
        return QStringLiteral("选了系统打印机：只有它是 ESC/POS 小票打印机时才能打开钱箱。"
                              "是的话请勾选左边的“ESC/POS 小票打印机”，否则钱箱不会打开。");
    case Output::EscPosDevice:
    case Output::EscPosNetwork:
        return QStringLiteral("钱箱接在这台小票打印机上，由它打开 (ESC p)。");
    case Output::PdfFolder:
        return QStringLiteral("PDF 文件夹没有钱箱：钱箱要接在 ESC/POS 小票打印机上。");
    }
    return QString();
}

} // namespace

ReceiptPrinterWindow::ReceiptPrinterWindow(Database &db, QWidget *parent)
    : SideWindow(db, QStringLiteral("小票打印机"), parent)
{
    setObjectName(QStringLiteral("receiptPrinterWindow"));
    WindowParts::setWindowLook(this, Colors::grey, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    connectHandlers();
}

void ReceiptPrinterWindow::buildControls()
{
    using namespace WindowParts;
    const QFont windowFont = this->font();
    const QFont headingFont = pixelFont(14, true, QStringLiteral("宋体"));

    picture(this, QStringLiteral(":/pictures/printer.jpg"));
    QLabel *titleShadow = nullptr;
    QLabel *titleFace = nullptr;
    title(this, QStringLiteral("小 票 打 印 机"), &titleShadow, &titleFace);
    m_closeSpot = WindowParts::closeSpot(this);
    webLink(this, [] { WebPage::open(); });

    auto *group = new FlatGroupBox(this);
    group->setGeometry(40, 124, 900, 516);   // below the title band
    group->setColor(Colors::panelGreen);
    group->setColorBorder(Colors::silver);

    // Where receipts go.
    label(group, QStringLiteral("打印输出："), {24, 16, 120, 16}, headingFont);
    auto *outputs = new QButtonGroup(this);
    m_outputBoxes[Output::SystemPrinter] = choiceBox(group, outputs, QStringLiteral("系统打印机"), {44, 42, 300, 20});
    m_queueBox = listBox(group, {64, 66, 300, 26});
    m_refreshButton = button(group, QStringLiteral("刷新列表"), {374, 63, 80, 31}, windowFont);
    m_queueIsEscPosBox = choiceBox(group, nullptr, QStringLiteral("这是 ESC/POS 小票打印机（钱箱经它打开）"),
                                   {64, 100, 380, 20});
    m_outputBoxes[Output::EscPosDevice] =
        choiceBox(group, outputs, QStringLiteral("小票打印机（USB 设备文件）"), {44, 134, 300, 20});
    m_deviceBox = listBox(group, {64, 158, 300, 26});
    m_outputBoxes[Output::EscPosNetwork] = choiceBox(group, outputs, QStringLiteral("网络小票打印机"), {44, 198, 300, 20});
    label(group, QStringLiteral("地址"), {64, 228, 40, 16}, windowFont);
    m_hostBox = edit(group, {104, 222, 180, 26});
    label(group, QStringLiteral("端口"), {296, 228, 40, 16}, windowFont);
    m_portBox = edit(group, {334, 222, 70, 26});
    m_outputBoxes[Output::PdfFolder] = choiceBox(group, outputs, QStringLiteral("PDF 文件夹"), {44, 262, 300, 20});
    m_pdfFolderBox = edit(group, {64, 286, 300, 26});
    m_folderButton = button(group, QStringLiteral("选择..."), {374, 284, 80, 31}, windowFont);

    label(group, QStringLiteral("纸宽："), {24, 336, 70, 16}, headingFont);
    auto *papers = new QButtonGroup(this);
    m_paperBoxes[58] = choiceBox(group, papers, QStringLiteral("58 毫米（32 列）"), {96, 334, 150, 20});
    m_paperBoxes[80] = choiceBox(group, papers, QStringLiteral("80 毫米（48 列）"), {256, 334, 150, 20});
    label(group, QStringLiteral("文字编码："), {24, 370, 90, 16}, headingFont);
    auto *encodings = new QButtonGroup(this);
    m_encodingBoxes[TextEncoding::Gbk] = choiceBox(group, encodings, QStringLiteral("GBK"), {114, 368, 80, 20});
    m_encodingBoxes[TextEncoding::Gb18030] = choiceBox(group, encodings, QStringLiteral("GB18030"), {204, 368, 100, 20});
    hint(group, QStringLiteral("小票打印机收到的文字编码。GB18030 还能打印 GBK 没有的生僻字和符号，要打印机支持；"
                               "两种都打不出的字印成“?”。"),
         {24, 394, 420, 34});

    // The cash drawer under the printer.
    label(group, QStringLiteral("钱箱："), {470, 16, 60, 16}, headingFont);
    auto *drawers = new QButtonGroup(this);
    m_drawerBoxes[Drawer::Off] = choiceBox(group, drawers, QStringLiteral("不用"), {530, 14, 60, 20});
    m_drawerBoxes[Drawer::PinTwo] = choiceBox(group, drawers, QStringLiteral("2 脚"), {600, 14, 60, 20});
    m_drawerBoxes[Drawer::PinFive] = choiceBox(group, drawers, QStringLiteral("5 脚"), {670, 14, 60, 20});
    label(group, QStringLiteral("脉冲：开"), {490, 48, 70, 16}, windowFont);
    m_pulseOnBox = edit(group, {560, 42, 56, 26});
    label(group, QStringLiteral("关"), {626, 48, 20, 16}, windowFont);
    m_pulseOffBox = edit(group, {648, 42, 56, 26});
    label(group, QStringLiteral("× 2 毫秒"), {712, 48, 80, 16}, windowFont);
    m_drawerAfterSaleBox = choiceBox(group, nullptr, QStringLiteral("每笔销售的小票打印后打开钱箱"), {490, 80, 300, 20});
    m_drawerNote = hint(group, QString(), {490, 106, 380, 48});
    hint(group, QStringLiteral("收银界面按 F7 不用销售也能打开钱箱。"), {490, 158, 380, 16});

    // Barcodes from the shop's scale.
    label(group, QStringLiteral("电子秤条码："), {470, 206, 110, 16}, headingFont);
    auto *modes = new QButtonGroup(this);
    m_scaleModeBoxes[ScaleCodes::Mode::Price] = choiceBox(group, modes, QStringLiteral("价格"), {580, 204, 60, 20});
    m_scaleModeBoxes[ScaleCodes::Mode::Weight] = choiceBox(group, modes, QStringLiteral("重量"), {650, 204, 60, 20});
    m_scaleModeBoxes[ScaleCodes::Mode::Off] = choiceBox(group, modes, QStringLiteral("不用"), {720, 204, 60, 20});
    label(group, QStringLiteral("前缀"), {490, 242, 40, 16}, windowFont);
    m_firstPrefixBox = edit(group, {532, 236, 50, 26});
    label(group, QStringLiteral("到"), {592, 242, 20, 16}, windowFont);
    m_lastPrefixBox = edit(group, {616, 236, 50, 26});
    hint(group, QStringLiteral("电子秤条码 PP CCCCC VVVVV K（13 位）：PP 是前缀，前 7 位是商品信息里的编码，"
                               "VVVVV 是金额（分）或重量（克），K 是校验位。"),
         {490, 270, 380, 48});

    // How large a line may be before the cashier is asked whether it is meant.
    label(group, QStringLiteral("一行的数量上限"), {490, 336, 100, 16}, windowFont);
    m_maxQuantityBox = edit(group, {592, 330, 80, 26});
    label(group, QStringLiteral("金额上限"), {684, 336, 64, 16}, windowFont);
    m_maxAmountBox = edit(group, {750, 330, 100, 26});
    hint(group, QStringLiteral("超过上限的一行添加前先问一声（例如条码扫进了数量框）。"), {490, 362, 380, 16});

    m_saveButton = button(group, QStringLiteral("保  存 (F2) "), {120, 460, 132, 41}, windowFont);
    m_testPageButton = button(group, QStringLiteral("打印测试页 (F5)"), {384, 460, 132, 41}, windowFont);
    m_closeButton = button(group, QStringLiteral("关  闭 (ESC)"), {648, 460, 132, 41}, windowFont);
    for (SkinButton *b : {m_saveButton, m_testPageButton, m_closeButton})
        b->setFocusPolicy(Qt::StrongFocus);
}

void ReceiptPrinterWindow::connectHandlers()
{
    using AppBoxes::guarded;
    connect(m_saveButton, &QAbstractButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(m_testPageButton, &QAbstractButton::clicked, this, [this] { guarded([this] { printTestPage(); }); });
    connect(m_refreshButton, &QAbstractButton::clicked, this, [this] { guarded([this] { refreshLists(); }); });
    connect(m_folderButton, &QAbstractButton::clicked, this, [this] { guarded([this] { chooseFolder(); }); });
    for (QAbstractButton *b : {static_cast<QAbstractButton *>(m_closeButton), static_cast<QAbstractButton *>(m_closeSpot)})
        connect(b, &QAbstractButton::clicked, this, [this] { close(); });
    // The fields of the chosen output are open, and the drawer note follows.
    for (FlatCheckBox *box : m_outputBoxes)
        connect(box, &QAbstractButton::toggled, this, &ReceiptPrinterWindow::followOutput);
    for (FlatCheckBox *box : m_drawerBoxes)
        connect(box, &QAbstractButton::toggled, this, &ReceiptPrinterWindow::followOutput);
    connect(m_queueIsEscPosBox, &QAbstractButton::toggled, this, &ReceiptPrinterWindow::followOutput);
}

void ReceiptPrinterWindow::previewKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_F2: save(); break;
    case Qt::Key_F5: printTestPage(); break;
    default: break;
    }
}

void ReceiptPrinterWindow::reload()
{
    refreshLists();
    const TillSettings stored(database());
    LineLimits limits;
    try {
        limits = LineLimits::load(stored);
    } catch (const Refusal &) {
        // A stored limit that is no number: the defaults are shown, to be saved over it.
    }
    showSettings(PrinterSettings::load(stored), ScaleCodes::load(stored), limits);
}

void ReceiptPrinterWindow::refreshLists()
{
    const QString queue = m_queueBox->currentText();
    QStringList queues{kDefaultPrinterEntry};
    for (const SystemPrinterList::Queue &listed : SystemPrinterList::read())
        queues << listed.name + (listed.isDefault ? kDefaultMark : QString());
    m_queueBox->setItems(queues);
    m_queueBox->setEditText(queue);

    const QString device = m_deviceBox->currentText();
    QStringList devices;
    const QDir usb(QStringLiteral("/dev/usb"));
    for (const QString &name : usb.entryList({QStringLiteral("lp*")}, QDir::System | QDir::Files, QDir::Name))
        devices << usb.filePath(name);
    m_deviceBox->setItems(devices);
    m_deviceBox->setEditText(device);
}

void ReceiptPrinterWindow::showSettings(const PrinterSettings &printer, const ScaleCodes &scale,
                                        const LineLimits &limits)
{
    m_outputBoxes.value(printer.output)->setChecked(true);
    QString queue = printer.queue.isEmpty() ? kDefaultPrinterEntry : printer.queue;
    if (m_queueBox->items().contains(queue + kDefaultMark))
        queue += kDefaultMark;
    m_queueBox->setEditText(queue);
    m_queueIsEscPosBox->setChecked(printer.queueIsEscPos);
    m_deviceBox->setEditText(printer.device);
    m_hostBox->setText(printer.host);
    m_portBox->setText(QString::number(printer.port));
    m_pdfFolderBox->setText(QDir::toNativeSeparators(printer.pdfFolder));
    m_paperBoxes.value(printer.paper, m_paperBoxes.value(80))->setChecked(true);
    m_encodingBoxes.value(printer.encoding)->setChecked(true);
    m_drawerBoxes.value(printer.drawer)->setChecked(true);
    m_pulseOnBox->setText(QString::number(printer.pulseOn));
    m_pulseOffBox->setText(QString::number(printer.pulseOff));
    m_drawerAfterSaleBox->setChecked(printer.drawerAfterSale);
    m_scaleModeBoxes.value(scale.mode())->setChecked(true);
    m_firstPrefixBox->setText(QStringLiteral("%1").arg(scale.firstPrefix(), 2, 10, QLatin1Char('0')));
    m_lastPrefixBox->setText(QStringLiteral("%1").arg(scale.lastPrefix(), 2, 10, QLatin1Char('0')));
    m_maxQuantityBox->setText(formatGeneral(limits.quantity()));
    m_maxAmountBox->setText(formatGeneral(limits.amount()));
    followOutput();
}

void ReceiptPrinterWindow::followOutput()
{
    const Output output = checkedKey(m_outputBoxes, Output::SystemPrinter);
    m_queueBox->setEnabled(output == Output::SystemPrinter);
    m_refreshButton->setEnabled(output == Output::SystemPrinter || output == Output::EscPosDevice);
    m_queueIsEscPosBox->setEnabled(output == Output::SystemPrinter);
    m_deviceBox->setEnabled(output == Output::EscPosDevice);
    m_hostBox->setEnabled(output == Output::EscPosNetwork);
    m_portBox->setEnabled(output == Output::EscPosNetwork);
    m_pdfFolderBox->setEnabled(output == Output::PdfFolder);
    m_folderButton->setEnabled(output == Output::PdfFolder);
    // Without a drawer there is nothing to open after each sale.
    const bool drawer = checkedKey(m_drawerBoxes, Drawer::Off) != Drawer::Off;
    m_drawerAfterSaleBox->setEnabled(drawer);
    m_pulseOnBox->setEnabled(drawer);
    m_pulseOffBox->setEnabled(drawer);
    m_drawerNote->setText(drawerNoteFor(shownPrinterSettings()));
}

PrinterSettings ReceiptPrinterWindow::shownPrinterSettings() const
{
    PrinterSettings s;
    s.output = checkedKey(m_outputBoxes, Output::SystemPrinter);
    QString queue = m_queueBox->currentText().trimmed();
    if (queue == kDefaultPrinterEntry)
        queue.clear();
    else if (queue.endsWith(kDefaultMark))
        queue.chop(kDefaultMark.size());
    s.queue = queue;
    s.queueIsEscPos = m_queueIsEscPosBox->isChecked();
    s.device = m_deviceBox->currentText().trimmed();
    s.host = m_hostBox->text().trimmed();
    s.port = typedNumber(m_portBox);
    s.pdfFolder = QDir::fromNativeSeparators(m_pdfFolderBox->text().trimmed());
    s.paper = checkedKey(m_paperBoxes, 80);
    s.encoding = checkedKey(m_encodingBoxes, TextEncoding::Gbk);
    s.drawer = checkedKey(m_drawerBoxes, Drawer::Off);
    s.pulseOn = typedNumber(m_pulseOnBox);
    s.pulseOff = typedNumber(m_pulseOffBox);
    s.drawerAfterSale = m_drawerAfterSaleBox->isChecked();
    return s;
}

ScaleCodes ReceiptPrinterWindow::shownScaleCodes() const
{
    return ScaleCodes(checkedKey(m_scaleModeBoxes, ScaleCodes::Mode::Price), typedNumber(m_firstPrefixBox),
                      typedNumber(m_lastPrefixBox));
}

void ReceiptPrinterWindow::save()
{
    const PrinterSettings printer = shownPrinterSettings();
    const ScaleCodes scale = shownScaleCodes();
    // Everything is checked before anything is stored, and stored together.
    scale.check();
    const LineLimits limits = LineLimits::fromTexts(m_maxQuantityBox->text(), m_maxAmountBox->text());
    printer.check();
    QMap<QString, QString> values = printer.values();
    values.insert(scale.values());
    values.insert(limits.values());
    TillSettings(database()).store(values);
    close();
}

void ReceiptPrinterWindow::printTestPage()
{
    const PrinterSettings printer = shownPrinterSettings();
    printer.checkValues();
    printer.printTestPage(ShopSettings::load(database()).shopName, QDateTime::currentDateTime());
    AppBoxes::showNotice(QStringLiteral("提示：测试页已经送到打印机!"));
}

void ReceiptPrinterWindow::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("选择放 PDF 小票的文件夹"),
                                                             m_pdfFolderBox->text());
    if (!folder.isEmpty())
        m_pdfFolderBox->setText(QDir::toNativeSeparators(folder));
}
