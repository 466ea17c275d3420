#include "backupdialog.h"

#include "windows/windowparts.h"

#include "base/apperror.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "storage/database.h"
#include "base/numbertext.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

BackupDialog::BackupDialog(Database &db, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_db(db)
{
    setObjectName(QStringLiteral("backupDialog"));
    setWindowTitle(QStringLiteral("数据备份"));
    setFixedSize(600, 330);
    WindowParts::setWindowLook(this, Colors::panelGreen, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    showSettings();
    showLastCopy();
}

void BackupDialog::buildControls()
{
    using namespace WindowParts;
    label(this, QStringLiteral("数据备份"), {24, 14, 300, 28}, pixelFont(20, true));
    label(this, QStringLiteral("备份文件夹："), {24, 62, 110, 20}, font());
    m_folderBox = makeBox(this, {134, 56, 320, 26});
    m_chooseButton = actionButton(this, QStringLiteral("选择…"), {466, 53, 110, 33});
    label(this, QStringLiteral("保留最近的："), {24, 106, 110, 20}, font());
    m_keepBox = makeBox(this, {134, 100, 60, 26});
    label(this, QStringLiteral("份（更早的自动删除）"), {202, 106, 250, 20}, font());
    label(this, QStringLiteral("开着程序时每隔："), {24, 150, 130, 20}, font());
    m_hoursBox = makeBox(this, {154, 144, 60, 26});
    label(this, QStringLiteral("小时自动备份一次（0 表示不定时）"), {222, 150, 340, 20}, font());
    label(this, QStringLiteral("关闭程序时总会自动备份。备份文件夹最好放在另一块硬盘或 U 盘上。"), {24, 186, 560, 18},
          pixelFont(12), Colors::noteMaroon);
    m_lastCopyLabel = label(this, {}, {24, 216, 560, 40}, pixelFont(13));
    m_lastCopyLabel->setWordWrap(true);

    m_backUpButton = actionButton(this, QStringLiteral("立即备份"), {24, 276, 138, 33});
    m_saveButton = actionButton(this, QStringLiteral("保存设置"), {282, 276, 138, 33});
    m_closeButton = actionButton(this, QStringLiteral("关闭"), {438, 276, 138, 33});

    using AppBoxes::guarded;
    connect(m_chooseButton, &QAbstractButton::clicked, this, [this] { guarded([this] { chooseFolder(); }); });
    connect(m_backUpButton, &QAbstractButton::clicked, this, [this] { guarded([this] { backUpNow(); }); });
    connect(m_saveButton, &QAbstractButton::clicked, this, [this] {
        guarded([this] {
            saveSettings();
            accept();
        });
    });
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::reject);
}

void BackupDialog::showSettings()
{
    const BackupSettings settings = BackupSettings::load(m_db);
    m_folderBox->setText(QDir::toNativeSeparators(settings.folderFor(m_db.filePath())));
    m_keepBox->setText(QString::number(settings.keep));
    m_hoursBox->setText(formatGeneral(settings.hours));
}

void BackupDialog::showLastCopy()
{
    const BackupSettings settings = BackupSettings::load(m_db);
    const QStringList copies = Backup::list(m_db.filePath(), settings.folderFor(m_db.filePath()));
    if (copies.isEmpty()) {
        m_lastCopyLabel->setText(QStringLiteral("这个文件夹里还没有备份。"));
        return;
    }
    const QFileInfo last(copies.first());
    m_lastCopyLabel->setText(QStringLiteral("最近一次备份：%1（%2），共 %3 份。")
                                 .arg(last.fileName(),
                                      last.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                                 .arg(copies.size()));
}

void BackupDialog::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("选择备份文件夹"),
                                                             m_folderBox->text());
    if (!folder.isEmpty())
        m_folderBox->setText(QDir::toNativeSeparators(folder));
}

void BackupDialog::saveSettings()
{
    BackupSettings settings;
    bool ok = false;
    settings.keep = m_keepBox->text().trimmed().toInt(&ok);
    if (!ok || settings.keep < 1)
        throw Refusal(QStringLiteral("请填写要保留几份备份（1 或更多）。"));
    if (!tryTextToNumber(m_hoursBox->text(), &settings.hours) || settings.hours < 0 || settings.hours > 24 * 7)
        throw Refusal(QStringLiteral("请填写每隔几小时自动备份（0 到 168）。"));
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(m_folderBox->text().trimmed()));
    if (folder.isEmpty())
        throw Refusal(QStringLiteral("请填写备份文件夹。"));
    // The folder beside the database is kept as "beside", so it moves with the shop's folder.
    settings.folder = folder == BackupSettings().folderFor(m_db.filePath()) ? QString() : folder;
    settings.store(m_db);
    emit settingsSaved();
}

void BackupDialog::backUpNow()
{
    saveSettings();
    const BackupSettings settings = BackupSettings::load(m_db);
    const QString folder = settings.folderFor(m_db.filePath());
    const QString copy = Backup::take(m_db.filePath(), folder);
    Backup::rotate(m_db.filePath(), folder, settings.keep);
    showLastCopy();
    m_lastCopyLabel->setText(QStringLiteral("已备份到 %1\n%2").arg(QDir::toNativeSeparators(copy), m_lastCopyLabel->text()));
}
