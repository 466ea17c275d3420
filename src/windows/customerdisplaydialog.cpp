#include "customerdisplaydialog.h"

#include "display/customerdisplay.h"
#include "storage/tillsettings.h"
#include "widgets/apperrorbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CustomerDisplayDialog::CustomerDisplayDialog(Database &db, CustomerDisplay &display, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_display(display)
{
    setWindowTitle(QStringLiteral("客显"));
    auto *layout = new QVBoxLayout(this);
    m_enabledBox = new QCheckBox(QStringLiteral("这台收银机接了客显（顾客看的价格显示屏）"), this);
    layout->addWidget(m_enabledBox);
    auto *form = new QFormLayout;
    m_portBox = new QLineEdit(this);
    m_portBox->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    form->addRow(QStringLiteral("串口："), m_portBox);
    m_speedBox = new QComboBox(this);
    for (int speed : DisplaySettings::speeds())
        m_speedBox->addItem(QString::number(speed), speed);
    form->addRow(QStringLiteral("波特率："), m_speedBox);
    m_protocolBox = new QComboBox(this);
    m_protocolBox->addItem(QStringLiteral("8 位数码管（单价/总计/收款/找零 灯）"), int(DisplayProtocol::Led8));
    m_protocolBox->addItem(QStringLiteral("2 行 × 20 字 VFD"), int(DisplayProtocol::Vfd2x20));
    form->addRow(QStringLiteral("种类："), m_protocolBox);
    layout->addLayout(form);
    m_customerWindowBox = new QCheckBox(QStringLiteral("有第二个显示器时，在上面给顾客显示商品、合计和找零"), this);
    layout->addWidget(m_customerWindowBox);

    auto *buttons = new QDialogButtonBox(this);
    m_testButton = buttons->addButton(QStringLiteral("测试"), QDialogButtonBox::ActionRole);
    m_saveButton = buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(m_testButton, &QPushButton::clicked, this, [this] { AppBoxes::guarded([this] { testDisplay(); }); });
    connect(m_saveButton, &QPushButton::clicked, this, [this] { AppBoxes::guarded([this] { save(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    show(DisplaySettings::load(TillSettings(m_db)));
}

void CustomerDisplayDialog::show(const DisplaySettings &settings)
{
    m_enabledBox->setChecked(settings.enabled);
    m_portBox->setText(settings.port);
    m_speedBox->setCurrentIndex(std::max(0, int(DisplaySettings::speeds().indexOf(settings.speed))));
    m_protocolBox->setCurrentIndex(settings.protocol == DisplayProtocol::Vfd2x20 ? 1 : 0);
    m_customerWindowBox->setChecked(settings.customerWindow);
}

DisplaySettings CustomerDisplayDialog::typed() const
{
    DisplaySettings s;
    s.enabled = m_enabledBox->isChecked();
    s.port = m_portBox->text().trimmed();
    s.speed = m_speedBox->currentData().toInt();
    s.protocol = DisplayProtocol(m_protocolBox->currentData().toInt());
    s.customerWindow = m_customerWindowBox->isChecked();
    return s;
}

void CustomerDisplayDialog::testDisplay()
{
    DisplaySettings s = typed();
    s.enabled = true;   // the test tries what is typed, ticked or not
    m_display.setSettings(s);
    m_display.test();
    AppBoxes::showNotice(QStringLiteral("提示：已经发到客显，请看客显上是不是显示了 8.88 或 888888.88。"));
}

void CustomerDisplayDialog::save()
{
    TillSettings settings(m_db);
    typed().store(settings);
    accept();
}

void CustomerDisplayDialog::done(int result)
{
    // What a test tried gives way to what is stored.
    try {
        m_display.setSettings(DisplaySettings::load(TillSettings(m_db)));
    } catch (const AppError &) {
    }
    QDialog::done(result);
}
