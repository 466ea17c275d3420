#include "trailwindow.h"

#include "reports/ownerstrail.h"
#include "storage/database.h"
#include "widgets/apperrorbox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

TrailWindow::TrailWindow(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    buildControls();
    showRows();
}

void TrailWindow::buildControls()
{
    setWindowTitle(QStringLiteral("操作记录"));
    auto *grid = new QGridLayout(this);
    const QDate today = QDate::currentDate();
    m_fromBox = new QDateEdit(today.addDays(-6), this);
    m_toBox = new QDateEdit(today, this);
    for (QDateEdit *box : {m_fromBox, m_toBox}) {
        box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        box->setCalendarPopup(true);
    }
    m_tillBox = new QSpinBox(this);
    m_tillBox->setRange(0, 999);
    m_tillBox->setSpecialValueText(QStringLiteral("全部"));
    m_cashierBox = new QLineEdit(this);
    m_cashierBox->setPlaceholderText(QStringLiteral("全部"));
    m_kindBox = new QComboBox(this);
    m_kindBox->addItem(QStringLiteral("全部"), -1);
    for (const AuditLog::Kind kind : AuditLog::kinds())
        m_kindBox->addItem(AuditLog::kindName(kind), int(kind));

    int column = 0;
    auto field = [&](const QString &title, QWidget *box) {
        grid->addWidget(new QLabel(title, this), 0, column++);
        grid->addWidget(box, 0, column++);
    };
    field(QStringLiteral("从"), m_fromBox);
    field(QStringLiteral("到"), m_toBox);
    field(QStringLiteral("收银机"), m_tillBox);
    field(QStringLiteral("收银员"), m_cashierBox);
    field(QStringLiteral("操作"), m_kindBox);
    auto *findButton = new QPushButton(QStringLiteral("查询"), this);
    grid->addWidget(findButton, 0, column++);

    const QStringList titles = OwnersTrail::titles();
    m_rowsGrid = new QTableWidget(0, int(titles.size()), this);
    m_rowsGrid->setHorizontalHeaderLabels(titles);
    m_rowsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rowsGrid->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    m_rowsGrid->setMinimumSize(900, 360);
    grid->addWidget(m_rowsGrid, 1, 0, 1, column);

    m_voidsLabel = new QLabel(this);
    m_voidsLabel->setWordWrap(true);
    grid->addWidget(m_voidsLabel, 2, 0, 1, column - 1);
    auto *exportButton = new QPushButton(QStringLiteral("导出 CSV…"), this);
    grid->addWidget(exportButton, 2, column - 1);

    connect(findButton, &QPushButton::clicked, this, [this] { AppBoxes::guarded([this] { showRows(); }); });
    connect(exportButton, &QPushButton::clicked, this, [this] { AppBoxes::guarded([this] { askExport(); }); });
}

void TrailWindow::showRows()
{
    AuditLog::Filter filter;
    filter.from = m_fromBox->date();
    filter.to = m_toBox->date();
    filter.till = m_tillBox->value();
    filter.cashier = m_cashierBox->text().trimmed();
    const int kind = m_kindBox->currentData().toInt();
    if (kind >= 0)
        filter.kind = AuditLog::Kind(kind);
    m_rows = AuditLog::read(m_db, filter);

    m_rowsGrid->setRowCount(int(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row) {
        const QStringList fields = OwnersTrail::fields(m_rows.at(row));
        for (int column = 0; column < fields.size(); ++column)
            m_rowsGrid->setItem(row, column, new QTableWidgetItem(fields.at(column)));
    }
    QStringList voids;
    for (const OwnersTrail::CashierVoids &cashier : OwnersTrail::voidedByCashier(m_rows))
        voids << QStringLiteral("%1：%2 笔，%3 元").arg(cashier.cashier).arg(cashier.entries).arg(cashier.amount);
    m_voidsLabel->setText(QStringLiteral("删除、清空、折扣和退货合计：")
                          + (voids.isEmpty() ? QStringLiteral("无") : voids.join(QStringLiteral("；"))));
}

void TrailWindow::exportTo(const QString &path)
{
    OwnersTrail::exportCsv(m_rows, path, m_db.isServer() ? QString() : m_db.filePath());
}

void TrailWindow::askExport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出操作记录"),
                                                      QStringLiteral("操作记录.csv"),
                                                      QStringLiteral("CSV 文件 (*.csv)"));
    if (!path.isEmpty())
        exportTo(path);
}
