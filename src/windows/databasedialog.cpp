#include "databasedialog.h"

#include "windows/windowparts.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/databaseaddress.h"
#include "widgets/apperrorbox.h"
#include "widgets/busypointer.h"
#include "widgets/colors.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"

#include <QApplication>
#include <QLabel>

namespace {

FlatEdit *makeBox(QWidget *parent, QRect geometry)
{
    auto *box = new FlatEdit(parent);
    box->setGeometry(geometry);
    box->setFont(WindowParts::pixelFont(16));
    box->setColorFlat(Qt::white);
    return box;
}

} // namespace

DatabaseDialog::DatabaseDialog(const QString &currentAddress, const QString &storedAddress, int storedTill,
                               QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("databaseDialog"));
    setWindowTitle(QStringLiteral("数据库和收银台"));
    setFixedSize(600, 458);
    WindowParts::setWindowLook(this, Colors::panelGreen, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    const DatabaseAddress now = DatabaseAddress::parse(currentAddress);
    WindowParts::label(this,
                       now.isServer() ? QStringLiteral("现在用的是：数据库服务器 %1 上的数据库 %2")
                                            .arg(now.serverName(), now.databaseName())
                                      : QStringLiteral("现在用的是：数据文件 %1").arg(now.filePath()),
                       {24, 46, 560, 18}, WindowParts::pixelFont(12));
    showStored(storedAddress, storedTill);
}

void DatabaseDialog::showLastSynchronised(const QString &at)
{
    if (!m_lastSynchronisedLabel)
        m_lastSynchronisedLabel = WindowParts::label(this, QString(), {300, 20, 284, 18}, WindowParts::pixelFont(12));
    m_lastSynchronisedLabel->setText(at.isEmpty() ? QStringLiteral("本机离线资料：还没有和服务器同步过")
                                                  : QStringLiteral("本机离线资料上次同步：%1").arg(at));
}

void DatabaseDialog::buildControls()
{
    using namespace WindowParts;
    label(this, QStringLiteral("数据库和收银台"), {24, 12, 300, 28}, pixelFont(20, true));

    m_serverBox = new FlatCheckBox(QStringLiteral("几台收银机共用一个数据库服务器 (PostgreSQL)"), this);
    m_serverBox->setGeometry(24, 74, 420, 24);
    m_serverBox->setFont(font());
    label(this, QStringLiteral("服务器："), {44, 112, 90, 20}, font());
    m_hostBox = makeBox(this, {134, 106, 250, 26});
    label(this, QStringLiteral("端口："), {396, 112, 50, 20}, font());
    m_portBox = makeBox(this, {446, 106, 80, 26});
    label(this, QStringLiteral("数据库："), {44, 150, 90, 20}, font());
    m_databaseBox = makeBox(this, {134, 144, 250, 26});
    label(this, QStringLiteral("用户名："), {44, 188, 90, 20}, font());
    m_userBox = makeBox(this, {134, 182, 250, 26});
    // Further libpq settings, kept as they were stored: encryption above all.
    label(this, QStringLiteral("连接选项："), {44, 226, 90, 20}, font());
    m_optionsBox = makeBox(this, {134, 220, 442, 26});
    m_optionsBox->setPlaceholderText(QStringLiteral("加密连接：sslmode=require sslrootcert=/etc/fenwo/root.crt"));
    label(this, QStringLiteral("密码不写在这里：放在这台电脑的 ~/.pgpass 文件里（或 PGPASSWORD）。"), {44, 254, 540, 18},
          pixelFont(12), Colors::noteMaroon);

    label(this, QStringLiteral("本机收银台号："), {24, 292, 120, 20}, font());
    m_tillBox = makeBox(this, {144, 286, 60, 26});
    label(this, QStringLiteral("（1 到 999，每台收银机一个号）"), {212, 292, 300, 20}, font());

    m_testResultLabel = label(this, {}, {24, 324, 560, 60}, pixelFont(13));
    m_testResultLabel->setWordWrap(true);
    label(this, QStringLiteral("保存以后，重新启动收银程序才用新的设置。"), {24, 384, 560, 18}, pixelFont(12), Colors::noteMaroon);

    m_testButton = actionButton(this, QStringLiteral("测试连接"), {24, 410, 138, 33});
    m_saveButton = actionButton(this, QStringLiteral("保存"), {282, 410, 138, 33});
    m_closeButton = actionButton(this, QStringLiteral("关闭"), {438, 410, 138, 33});

    using AppBoxes::guarded;
    connect(m_serverBox, &QAbstractButton::toggled, this, [this] { enableServerBoxes(); });
    connect(m_testButton, &QAbstractButton::clicked, this, [this] { guarded([this] { testConnection(); }); });
    connect(m_saveButton, &QAbstractButton::clicked, this, [this] {
        guarded([this] {
            save();
            accept();
        });
    });
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::reject);
}

void DatabaseDialog::showStored(const QString &storedAddress, int storedTill)
{
    const bool server = DatabaseAddress::isServerAddress(storedAddress);
    m_serverBox->setChecked(server);
    const DatabaseAddress address = server ? DatabaseAddress::parse(storedAddress) : DatabaseAddress();
    m_hostBox->setText(address.host());
    m_portBox->setText(QString::number(address.port() > 0 ? address.port() : 5432));
    m_databaseBox->setText(address.databaseName());
    m_userBox->setText(address.user());
    m_optionsBox->setText(address.optionsText());
    m_tillBox->setText(QString::number(storedTill));
    enableServerBoxes();
}

void DatabaseDialog::enableServerBoxes()
{
    for (FlatEdit *box : {m_hostBox, m_portBox, m_databaseBox, m_userBox, m_optionsBox})
        box->setEnabled(m_serverBox->isChecked());
    m_testButton->setEnabled(m_serverBox->isChecked());
}

QString DatabaseDialog::typedAddress() const
{
    const QString host = m_hostBox->text().trimmed();
    const QString name = m_databaseBox->text().trimmed();
    if (host.isEmpty())
        throw Refusal(QStringLiteral("请填上数据库服务器的地址（例如 192.168.1.10）!"));
    bool ok = false;
    const int port = m_portBox->text().trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        throw Refusal(QStringLiteral("端口要是 1 到 65535 的数（PostgreSQL 一般是 5432）!"));
    if (name.isEmpty())
        throw Refusal(QStringLiteral("请填上数据库的名字!"));
    return DatabaseAddress::server(host, port, name, m_userBox->text(), m_optionsBox->text()).text();
}

int DatabaseDialog::typedTill() const
{
    const std::optional<int> till = Database::parseTill(m_tillBox->text().trimmed());
    if (!till)
        throw Refusal(QStringLiteral("收银台号要是 1 到 999 的数!"));
    return *till;
}

void DatabaseDialog::testConnection()
{
    const QString address = typedAddress();
    m_testResultLabel->setText(QStringLiteral("正在连接……"));
    const BusyPointer busy;
    try {
        Database::checkServer(address);
        m_testResultLabel->setText(QStringLiteral("连接成功：数据库 %1 可以使用。")
                                       .arg(DatabaseAddress::parse(address).databaseName()));
    } catch (const AppError &e) {
        m_testResultLabel->setText(e.message());
    }
}

void DatabaseDialog::save()
{
    const QString address = m_serverBox->isChecked() ? typedAddress() : QString();
    emit chosen(address, typedTill());
}
