#include "productimportdialog.h"

#include "windows/windowparts.h"

#include "storage/database.h"
#include "widgets/apperrorbox.h"
#include "widgets/busypointer.h"
#include "widgets/colors.h"
#include "widgets/datagrid.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QTableView>

namespace {

constexpr int kPreviewRows = 20;

void setRow(QStandardItemModel *model, int row, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QStandardItem(cells[column]);
        item->setEditable(false);
        model->setItem(row, column, item);
    }
}

} // namespace

ProductImportDialog::ProductImportDialog(Database &db, const QString &filePath, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_db(db)
    , m_import(filePath)
{
    setObjectName(QStringLiteral("productImportDialog"));
    setWindowTitle(QStringLiteral("导入商品"));
    setFixedSize(760, 540);
    WindowParts::setWindowLook(this, Colors::panelGreen, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    showPreview();
}

ProductImportDialog::~ProductImportDialog() = default;

void ProductImportDialog::buildControls()
{
    using namespace WindowParts;
    label(this, QStringLiteral("导入商品"), {24, 14, 300, 28}, pixelFont(20, true));
    m_fileLabel = label(this, {}, {24, 50, 712, 18}, pixelFont(13));
    m_formatLabel = label(this, {}, {24, 72, 712, 18}, pixelFont(13));
    m_columnsLabel = label(this, {}, {24, 94, 712, 18}, pixelFont(13));

    m_grid = new QTableView(this);
    m_grid->setGeometry(24, 120, 712, 300);
    m_grid->setFont(pixelFont(14));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    setGridColors(m_grid, Colors::gridGrey, Colors::panelGreen);
    m_rows = new QStandardItemModel(this);
    m_grid->setModel(m_rows);

    m_summaryLabel = label(this, {}, {24, 430, 712, 40}, pixelFont(14, true));
    m_summaryLabel->setWordWrap(true);

    m_updateBox = new FlatCheckBox(QStringLiteral("已有的编码：更新品名和单价"), this);
    m_updateBox->setGeometry(24, 434, 260, 22);
    m_skipBox = new FlatCheckBox(QStringLiteral("已有的编码：跳过，不修改"), this);
    m_skipBox->setGeometry(300, 434, 260, 22);
    for (FlatCheckBox *box : {m_updateBox, m_skipBox}) {
        box->setFont(pixelFont(14));
        box->setColor(Qt::white);
        box->setTransparent(true);
    }
    auto *choice = new QButtonGroup(this);
    choice->setExclusive(true);
    choice->addButton(m_updateBox);
    choice->addButton(m_skipBox);
    m_updateBox->setChecked(true);

    m_importButton = actionButton(this, QStringLiteral("开始导入"), {440, 484, 138, 33});
    m_saveReportButton = actionButton(this, QStringLiteral("保存报告…"), {440, 484, 138, 33});
    m_closeButton = actionButton(this, QStringLiteral("取消"), {598, 484, 138, 33});
    m_saveReportButton->hide();

    using AppBoxes::guarded;
    connect(m_importButton, &QAbstractButton::clicked, this, [this] { guarded([this] { startImport(); }); });
    connect(m_saveReportButton, &QAbstractButton::clicked, this, [this] { guarded([this] { saveReport(); }); });
    connect(m_closeButton, &QAbstractButton::clicked, this, [this] { m_imported ? accept() : reject(); });
}

void ProductImportDialog::showPreview()
{
    const CsvFormat &format = m_import.format();
    m_fileLabel->setText(QStringLiteral("文件：%1").arg(QFileInfo(m_import.filePath()).fileName()));
    m_formatLabel->setText(QStringLiteral("文字编码：%1　　分隔符：%2　　第一行：%3")
                               .arg(format.encodingName, format.separatorName(),
                                    m_import.hasHeader() ? QStringLiteral("列名")
                                                         : QStringLiteral("商品（没有列名，按前三列：编码、品名、单价）")));
    m_columnsLabel->setText(QStringLiteral("编码 ← %1　　品名 ← %2　　单价 ← %3")
                                .arg(m_import.columnSource(ProductImport::Code),
                                     m_import.columnSource(ProductImport::Name),
                                     m_import.columnSource(ProductImport::Price)));

    const QList<ProductImport::Row> rows = m_import.preview(kPreviewRows);
    m_rows->clear();
    m_rows->setHorizontalHeaderLabels({QStringLiteral("行号"), QStringLiteral("编码"), QStringLiteral("品名"),
                                       QStringLiteral("单价"), QStringLiteral("问题")});
    for (int i = 0; i < rows.size(); ++i) {
        const ProductImport::Row &row = rows[i];
        setRow(m_rows, i, {QString::number(row.line), row.code, row.name, row.price, row.problem});
    }
    const int widths[] = {60, 160, 260, 90};
    for (int i = 0; i < 4; ++i)
        m_grid->setColumnWidth(i, widths[i]);
}

void ProductImportDialog::startImport()
{
    if (m_imported)
        return;
    const auto existing = m_skipBox->isChecked() ? ProductImport::Existing::Skip : ProductImport::Existing::Update;
    m_importButton->setEnabled(false);
    const BusyPointer busy;
    const auto restore = qScopeGuard([this] { m_importButton->setEnabled(true); });
    // The screen is repainted while rows are read; keys and clicks wait, so
    // nothing else is written on this connection while the import's
    // transactions are open (other tills sell on).
    m_summaryLabel->setText(QStringLiteral("正在导入……"));
    m_updateBox->hide();
    m_skipBox->hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    try {
        m_report = m_import.run(m_db, existing, [this](qint64 rows) {
            m_summaryLabel->setText(QStringLiteral("正在导入…… 已读 %1 行").arg(rows));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (...) {
        m_summaryLabel->clear();
        m_updateBox->show();
        m_skipBox->show();
        throw;
    }
    m_imported = true;
    showReport();
}

void ProductImportDialog::showReport()
{
    m_summaryLabel->setText(QStringLiteral("导入完成：") + m_report.summary());
    m_rows->clear();
    m_rows->setHorizontalHeaderLabels({QStringLiteral("行号"), QStringLiteral("原因"), QStringLiteral("编码"),
                                       QStringLiteral("品名"), QStringLiteral("单价")});
    for (int i = 0; i < m_report.badRows.size(); ++i) {
        const ImportReport::BadRow &row = m_report.badRows[i];
        setRow(m_rows, i, {QString::number(row.line), row.reason, row.code, row.name, row.price});
    }
    const int widths[] = {60, 240, 140, 180};
    for (int i = 0; i < 4; ++i)
        m_grid->setColumnWidth(i, widths[i]);
    m_columnsLabel->setText(m_report.badCount > 0 ? QStringLiteral("下面这些行有问题，没有导入：")
                                                  : QStringLiteral("每一行都导入了。"));
    m_importButton->hide();
    m_saveReportButton->setVisible(m_report.badCount > 0);
    m_closeButton->setText(QStringLiteral("关闭"));
}

void ProductImportDialog::saveReport()
{
    const QString suggested = QFileInfo(m_import.filePath()).absoluteDir().filePath(
        QFileInfo(m_import.filePath()).completeBaseName() + QStringLiteral("-导入报告.csv"));
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("保存导入报告"), suggested,
                                     QStringLiteral("CSV 文件 (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty() || !WindowParts::mayWriteCsv(this, path, m_db.filePath()))
        return;
    m_report.saveCsv(path);
    m_columnsLabel->setText(QStringLiteral("报告已保存到 %1").arg(path));
}
