#include "salesrecordswindow.h"

#include "widgets/busypointer.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"

#include <QLineEdit>

#include "base/apperror.h"
#include "base/numbertext.h"
#include "storage/tables.h"
#include "windows/salesrecordmodel.h"
#include "windows/salesexportdialog.h"
#include "till/recordedreceipt.h"
#include "windows/windowparts.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {

// The texts of fixed form some columns hold ('9': any digit).
struct FixedForm
{
    int column;
    QString form;
};
const FixedForm kFixedForms[] = {{0, QStringLiteral("999999999999")},   // receipt number yyMMddHHmmss
                                 {7, QStringLiteral("9999-99-99")},     // date
                                 {8, QStringLiteral("99:99")}};         // time
constexpr int kNameColumn = 2;

// The width a cell needs to show a text of that form in full, with the
// widest digit of the face everywhere: the text, the margins the grid draws
// it within, and the grid line.
int widthFor(const QTableView *grid, const QString &form)
{
    // Fractions of a pixel count: a text a third of a pixel too wide is cut.
    const QFontMetricsF metrics(grid->font());
    QChar widest = QLatin1Char('0');
    for (char digit = '0'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    QString text = form;
    text.replace(QLatin1Char('9'), widest);
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return int(std::ceil(metrics.horizontalAdvance(text))) + 2 * margin + 1;
}

// The total in the label's bold face, smaller if it must be to show in full.
void showTotal(QLabel *label, const QString &text)
{
    QFont font = WindowParts::pixelFont(16, true);
    while (font.pixelSize() > 8 && QFontMetricsF(font).horizontalAdvance(text) > label->width())
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
    label->setText(text);
}

} // namespace

SalesRecordsWindow::SalesRecordsWindow(Database &db, QWidget *mainWindow, PrinterSource printer)
    : SideWindow(db, QStringLiteral("查询统计"), mainWindow)
    , m_printer(std::move(printer))
{
    setObjectName(QStringLiteral("salesRecordsWindow"));
    WindowParts::setWindowLook(this, Colors::grey, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    namespace Record = Tables::SalesRecord;
    m_records = new SalesRecordModel(db,
                                     {{Record::receiptNumber, {}},
                                      {Record::code, QStringLiteral("编码(条形码)")},
                                      {Record::name, {}},
                                      {Record::quantity, {}},
                                      {Record::price, {}},
                                      {Record::amount, {}},
                                      {Record::cashier, {}},
                                      {Record::date, {}},
                                      {Record::time, {}}},
                                     this);
    buildControls();
    connectHandlers();
}

void SalesRecordsWindow::buildControls()
{
    using namespace WindowParts;

    // Created in painting order.
    picture(this, QStringLiteral(":/pictures/records.jpg"));
    QLabel *titleShadow = nullptr;
    QLabel *titleFace = nullptr;
    title(this, QStringLiteral("查 询 统 计"), &titleShadow, &titleFace);
    m_closeSpot = WindowParts::closeSpot(this);
    m_closeButton = actionButton(this, QStringLiteral("关闭 (Esc)"), {776, 616, 153, 33});
    m_exportButton = actionButton(this, QStringLiteral("导出…"), {452, 616, 150, 33});
    webLink(this, [] { WebPage::open(); });

    m_grid = new QTableView(this);
    m_grid->setGeometry(16, 152, 945, 417);
    m_grid->setFont(pixelFont(16));
    m_grid->setModel(m_records);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setWordWrap(false);
    m_grid->setCornerButtonEnabled(false);
    setGridColors(m_grid, Colors::gridGrey, Colors::panelGreen);
    QHeaderView *titles = m_grid->horizontalHeader();
    titles->setFont(pixelFont(16));
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    QHeaderView *indicator = m_grid->verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(22);
    indicator->setFixedWidth(12);
    int widths[] = {130, 140, 205, 70, 70, 90, 50, 88, 50};
    // Receipt numbers, dates and times show in full whatever the face's
    // digits measure; the name column gives up what they need beyond their
    // widths, so that every column still fits.
    for (const FixedForm &fixed : kFixedForms) {
        const int needed = widthFor(m_grid, fixed.form);
        if (needed > widths[fixed.column]) {
            widths[kNameColumn] -= needed - widths[fixed.column];
            widths[fixed.column] = needed;
        }
    }
    for (int i = 0; i < 9; ++i)
        m_grid->setColumnWidth(i, widths[i]);

    auto *totals = new FlatPanel(this);
    totals->setGeometry(16, 568, 945, 41);
    totals->setColor(Colors::panelGreen);
    label(totals, QStringLiteral("合计数量："), {400, 14, 81, 16}, pixelFont(13, true));
    QLabel *amountCaption = label(totals, QStringLiteral("合计金额："), {656, 14, 81, 16}, pixelFont(13, true));
    // Each total has the room up to what follows it and the height of its
    // face; a total wider than that is shown smaller (showTotal).
    const QFont totalFont = pixelFont(16, true);
    const int height = std::max(21, QFontMetrics(totalFont).height());
    m_totalQuantityLabel = label(totals, QStringLiteral("0"), {480, 12, amountCaption->x() - 4 - 480, height}, totalFont);
    m_totalAmountLabel = label(totals, QStringLiteral("0"), {736, 12, totals->width() - 4 - 736, height}, totalFont);

    // Tills that share a database: their lines all together, or one till's.
    label(totals, QStringLiteral("收银台："), {16, 14, 60, 16}, pixelFont(13, true));
    m_tillBox = new FlatComboBox(totals);
    m_tillBox->setGeometry(76, 8, 110, 26);
    m_tillBox->setFont(pixelFont(15));
    m_tillBox->lineEdit()->setReadOnly(true);
    m_tillBox->setFocusPolicy(Qt::ClickFocus);

    // Reprinting a past receipt, and the way to the reports.
    label(this, QStringLiteral("单号："), {16, 624, 48, 16}, pixelFont(14, true));
    m_receiptNumberBox = new FlatEdit(this);
    m_receiptNumberBox->setGeometry(64, 618, 150, 28);
    m_receiptNumberBox->setFont(pixelFont(16));
    m_receiptNumberBox->setColorFlat(Qt::white);
    m_reprintButton = actionButton(this, QStringLiteral("重印小票"), {222, 616, 120, 33});
    m_reportsButton = actionButton(this, QStringLiteral("销售报表"), {614, 616, 150, 33});
}

void SalesRecordsWindow::connectHandlers()
{
    using AppBoxes::guarded;
    for (FlatSpeedButton *button : {m_closeButton, m_closeSpot})
        connect(button, &QAbstractButton::clicked, this, [this] { guarded([this] { close(); }); });
    connect(m_exportButton, &QAbstractButton::clicked, this, [this] { guarded([this] { exportSales(); }); });
    connect(m_tillBox, &FlatComboBox::selectionChanged, this, [this] {
        guarded([this] { showTill(m_tillBox->currentIndex() <= 0 ? 0 : m_tills.value(m_tillBox->currentIndex() - 1)); });
    });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        guarded([&] { sortByColumn(m_records->fieldAt(section)); });
    });
    // The receipt of the line clicked is the one to print again.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!current.isValid())
            return;
        for (int column = 0; column < m_records->columnCount(); ++column) {
            if (m_records->fieldAt(column) == Tables::SalesRecord::receiptNumber)
                m_receiptNumberBox->setText(m_records->text(current.row(), column));
        }
    });
    connect(m_reprintButton, &QAbstractButton::clicked, this, [this] { guarded([this] { reprintReceipt(); }); });
    connect(m_receiptNumberBox, &FlatEdit::keyDown, this, [this](int key) {
        if (WindowParts::isEnter(key))
            guarded([this] { reprintReceipt(); });
    });
    connect(m_reportsButton, &QAbstractButton::clicked, this, &SalesRecordsWindow::reportsAsked);
    // A page that cannot be read while the grid is drawn is reported once the drawing is done.
    connect(m_records, &SalesRecordModel::readFailed, this, &AppBoxes::showError, Qt::QueuedConnection);
}

void SalesRecordsWindow::reload()
{
    listLines();
    // The till chosen stays chosen while the record holds lines of it.
    m_tills = m_records->tills();
    QStringList items{QStringLiteral("全部")};
    for (int till : std::as_const(m_tills))
        items << QStringLiteral("%1 号").arg(till);
    m_tillBox->setItems(items);
    if (m_records->tillFilter() != 0 && !m_tills.contains(m_records->tillFilter()))
        showTill(0);
    m_tillBox->setCurrentIndex(int(m_tills.indexOf(m_records->tillFilter())) + 1);
}

void SalesRecordsWindow::showTill(int till)
{
    m_records->setTillFilter(till);
    listLines();
}

void SalesRecordsWindow::listLines()
{
    BusyPointer busy;
    // Closed first: when reading fails the grid stays empty and both totals
    // keep the texts they had.
    m_records->open();
    showTotal(m_totalQuantityLabel, m_records->totals().quantity.text());
    showTotal(m_totalAmountLabel, m_records->totals().amount.text());
    // As after walking the lines to the end: the last, oldest line is current.
    makeCurrent(m_records->rowCount() - 1, 0);
}

void SalesRecordsWindow::sortByColumn(const QString &field)
{
    // One toggle for every column: the first click sorts descending, each
    // later click the other way from the one before.
    Qt::SortOrder order;
    if (m_sortToggle) {
        order = Qt::AscendingOrder;
        m_sortToggle = false;
    } else {
        order = Qt::DescendingOrder;
        m_sortToggle = true;
    }
    BusyPointer busy;
    const QModelIndex current = m_grid->currentIndex();
    const int row = m_records->sortBy(field, order, current.isValid() ? current.row() : -1);
    // The current line stays current wherever the sort puts it; the totals stay.
    makeCurrent(row, current.isValid() ? current.column() : 0);
}

void SalesRecordsWindow::makeCurrent(int row, int column)
{
    if (row < 0 || row >= m_records->rowCount())
        return;
    const QModelIndex index = m_records->index(row, column);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    // The grid lays itself out only after it is shown: scroll once it has.
    QMetaObject::invokeMethod(
        m_grid, [grid = m_grid, index = QPersistentModelIndex(index)] {
            if (index.isValid())
                grid->scrollTo(index);
        },
        Qt::QueuedConnection);
}

void SalesRecordsWindow::exportSales()
{
    SalesExportDialog dialog(database(), this);
    dialog.exec();
}

void SalesRecordsWindow::reprintReceipt()
{
    if (!m_printer)
        throw Refusal(QStringLiteral("没有小票打印机"));
    RecordedReceipt::reprint(database(), m_receiptNumberBox->text(), m_printer());
}
