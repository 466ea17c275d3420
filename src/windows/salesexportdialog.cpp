#include "salesexportdialog.h"

#include "windows/windowparts.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "transfer/csvexport.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"

#include <QDate>
#include <QFileDialog>
#include <QLabel>

namespace {

FlatEdit *makeDateBox(QWidget *parent, QRect geometry)
{
    auto *box = new FlatEdit(parent);
    box->setGeometry(geometry);
    box->setFont(WindowParts::pixelFont(16));
    box->setColorFlat(Qt::white);
    box->setPlaceholderText(QStringLiteral("年-月-日"));
    return box;
}

void checkDate(const QString &text)
{
    if (!text.isEmpty() && !QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid())
        throw Refusal(QStringLiteral("日期“%1”不对：请写成 年-月-日，例如 2026-12-06，或者留空。").arg(text));
}

} // namespace

SalesExportDialog::SalesExportDialog(Database &db, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_db(db)
{
    using namespace WindowParts;
    setObjectName(QStringLiteral("salesExportDialog"));
    setWindowTitle(QStringLiteral("导出销售记录"));
    setFixedSize(480, 230);
    setWindowLook(this, Colors::panelGreen, pixelFont(14, false, QStringLiteral("宋体")));

    label(this, QStringLiteral("导出销售记录"), {24, 14, 300, 28}, pixelFont(20, true));
    label(this, QStringLiteral("从："), {24, 66, 40, 20}, font());
    m_fromBox = makeDateBox(this, {64, 60, 140, 26});
    label(this, QStringLiteral("到："), {230, 66, 40, 20}, font());
    m_toBox = makeDateBox(this, {270, 60, 140, 26});
    label(this, QStringLiteral("两天都算在内；留空表示不限，两个都空就导出全部销售记录。"), {24, 104, 440, 18}, pixelFont(12),
          Colors::noteMaroon);
    label(this, QStringLiteral("文件是 UTF-8 编码的 CSV，表格程序可以直接打开。"), {24, 126, 440, 18}, pixelFont(12),
          Colors::noteMaroon);
    m_exportButton = actionButton(this, QStringLiteral("导出…"), {164, 174, 138, 33});
    m_closeButton = actionButton(this, QStringLiteral("关闭"), {318, 174, 138, 33});
    m_paymentsButton = actionButton(this, QStringLiteral("导出付款…"), {10, 174, 138, 33});

    connect(m_exportButton, &QAbstractButton::clicked, this, [this] { AppBoxes::guarded([this] { exportSales(); }); });
    connect(m_paymentsButton, &QAbstractButton::clicked, this,
            [this] { AppBoxes::guarded([this] { exportPayments(); }); });
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::reject);
}

void SalesExportDialog::exportPayments()
{
    const QString from = m_fromBox->text().trimmed();
    const QString to = m_toBox->text().trimmed();
    checkDate(from);
    checkDate(to);
    QString suggested = QStringLiteral("付款记录");
    if (!from.isEmpty() || !to.isEmpty())
        suggested += QStringLiteral("-%1至%2").arg(from, to);
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("导出付款记录"), suggested + QStringLiteral(".csv"),
                                     QStringLiteral("CSV 文件 (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty() || !WindowParts::mayWriteCsv(this, file, m_db.filePath()))
        return;
    const qint64 payments = CsvExport::payments(m_db, file, from, to);
    AppBoxes::showNotice(QStringLiteral("已导出 %1 笔付款到 %2").arg(payments).arg(file));
    accept();
}

void SalesExportDialog::exportSales()
{
    const QString from = m_fromBox->text().trimmed();
    const QString to = m_toBox->text().trimmed();
    checkDate(from);
    checkDate(to);
    QString suggested = QStringLiteral("销售记录");
    if (!from.isEmpty() || !to.isEmpty())
        suggested += QStringLiteral("-%1至%2").arg(from, to);
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("导出销售记录"), suggested + QStringLiteral(".csv"),
                                     QStringLiteral("CSV 文件 (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty() || !WindowParts::mayWriteCsv(this, file, m_db.filePath()))
        return;
    const qint64 lines = CsvExport::sales(m_db, file, from, to);
    AppBoxes::showNotice(QStringLiteral("已导出 %1 行销售记录到 %2").arg(lines).arg(file));
    accept();
}
