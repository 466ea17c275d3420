#include "reportswindow.h"

#include "windows/ownerpinquestion.h"
#include "windows/reportcharts.h"
#include "windows/reportpdf.h"
#include "windows/windowparts.h"

#include "base/apperror.h"
#include "reports/reportsheet.h"
#include "reports/salesreport.h"
#include "storage/shopsettings.h"
#include "reports/dayend.h"
#include "widgets/apperrorbox.h"
#include "widgets/busypointer.h"
#include "widgets/colors.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace {

const QString kEveryCashier = QStringLiteral("全部收银员");

// A small latching button of a group (the periods, the two best-seller lists).
FlatSpeedButton *choiceButton(QWidget *parent, const QString &caption, QRect geometry, int group)
{
    auto *button = new FlatSpeedButton(caption, parent);
    button->setGeometry(geometry);
    button->setFont(WindowParts::pixelFont(13, true));
    // Latched down in a light green, so the black caption stays readable.
    button->setColors(Colors::panelGreen, Colors::actionPressed, QColor(0x8E, 0xD8, 0x86), Qt::gray, Qt::black);
    button->setGroupIndex(group);
    return button;
}

// A month's or a year's figures are longer than a day's: a column widens to
// its longest number instead of cutting it ("36984…").
void widenToFit(QTableView *grid, const QList<int> &numberColumns)
{
    const auto *rows = grid->model();
    const QFontMetrics metrics(grid->font());
    for (const int column : numberColumns) {
        int needed = 0;
        for (int row = 0; row < rows->rowCount(); ++row)
            needed = std::max(needed, metrics.horizontalAdvance(rows->index(row, column).data().toString()));
        needed += 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 8;
        if (needed > grid->columnWidth(column))
            grid->setColumnWidth(column, needed);
    }
}

QTableView *makeGrid(QWidget *parent, QRect geometry, QStandardItemModel *rows)
{
    auto *grid = new QTableView(parent);
    grid->setGeometry(geometry);
    grid->setFont(WindowParts::pixelFont(13));
    grid->setModel(rows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setFont(WindowParts::pixelFont(13, true));
    grid->horizontalHeader()->setHighlightSections(false);
    setGridColors(grid, Colors::gridGrey, Colors::panelGreen);
    // Numbers sort by value, text by its characters: the sort role holds either.
    rows->setSortRole(Qt::UserRole);
    grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    return grid;
}

QStandardItem *textCell(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setData(text, Qt::UserRole);
    return item;
}

QStandardItem *numberCell(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setData(text.toDouble(), Qt::UserRole);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// Refilled rows keep the order the user last chose by a title click.
void resort(QTableView *grid)
{
    const QHeaderView *titles = grid->horizontalHeader();
    grid->sortByColumn(titles->sortIndicatorSection(), titles->sortIndicatorOrder());
}

QChartView *makeChartView(QWidget *parent, QRect geometry, QChart *chart)
{
    auto *view = new QChartView(chart, parent);
    view->setGeometry(geometry);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::Box);
    view->setBackgroundBrush(Qt::white);
    // A refilled chart is drawn whole: drawing only what changed left the
    // old points' marks behind.
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    return view;
}

} // namespace

ReportsWindow::ReportsWindow(Database &db, QWidget *mainWindow, PrinterSource printer)
    : SideWindow(db, QStringLiteral("销售报表"), mainWindow)
    , m_printer(std::move(printer))
{
    setObjectName(QStringLiteral("reportsWindow"));
    WindowParts::setWindowLook(this, Colors::grey, WindowParts::pixelFont(14, false, QStringLiteral("宋体")));
    buildControls();
    connectHandlers();
}

void ReportsWindow::buildControls()
{
    using namespace WindowParts;
    using Preset = ReportRange::Preset;

    // Created in painting order.
    picture(this, QStringLiteral(":/pictures/reports.jpg"));
    QLabel *titleShadow = nullptr;
    QLabel *titleFace = nullptr;
    title(this, QStringLiteral("销 售 报 表"), &titleShadow, &titleFace);
    m_closeSpot = WindowParts::closeSpot(this);
    webLink(this, [] { WebPage::open(); });

    // The range, below the title band: a period, or two dates; and one cashier or all.
    int x = 16;
    for (const auto &[preset, caption] : {std::pair(Preset::Today, QStringLiteral("今天")),
                                          std::pair(Preset::Yesterday, QStringLiteral("昨天")),
                                          std::pair(Preset::ThisWeek, QStringLiteral("本周")),
                                          std::pair(Preset::ThisMonth, QStringLiteral("本月"))}) {
        m_periodButtons.insert(preset, choiceButton(this, caption, {x, 120, 58, 28}, 1));
        x += 62;
    }
    m_chosenRangeButton = choiceButton(this, QStringLiteral("自选"), {x, 120, 58, 28}, 1);
    label(this, QStringLiteral("从"), {334, 126, 20, 16}, pixelFont(14, true));
    m_fromBox = new QDateEdit(this);
    m_toBox = new QDateEdit(this);
    for (QDateEdit *box : {m_fromBox, m_toBox}) {
        box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        box->setCalendarPopup(true);
        box->setFont(pixelFont(15));
    }
    m_fromBox->setGeometry(354, 120, 118, 28);
    label(this, QStringLiteral("至"), {478, 126, 20, 16}, pixelFont(14, true));
    m_toBox->setGeometry(498, 120, 118, 28);
    label(this, QStringLiteral("收银员："), {640, 126, 64, 16}, pixelFont(14, true));
    m_cashierBox = new FlatComboBox(this);
    m_cashierBox->setGeometry(704, 120, 120, 28);
    m_cashierBox->setFont(pixelFont(15));
    m_cashierBox->setItems({kEveryCashier});
    m_cashierBox->setEditText(kEveryCashier);
    // Tills that share a database: the whole shop, or one till.
    label(this, QStringLiteral("收银台："), {830, 126, 58, 16}, pixelFont(14, true));
    m_tillBox = new FlatComboBox(this);
    m_tillBox->setGeometry(888, 120, 76, 28);
    m_tillBox->setFont(pixelFont(15));
    m_tillBox->lineEdit()->setReadOnly(true);

    // The figures.
    auto *figures = new FlatPanel(this);
    figures->setGeometry(16, 156, 300, 210);
    figures->setColor(Colors::panelGreen);
    const std::pair<Figure, QString> names[] = {
        {Figure::Receipts, QStringLiteral("小票数：")}, {Figure::Lines, QStringLiteral("行数：")},
        {Figure::Items, QStringLiteral("件数：")},      {Figure::Takings, QStringLiteral("营业额：")},
        {Figure::Average, QStringLiteral("客单价：")},  {Figure::FirstSale, QStringLiteral("首笔：")},
        {Figure::LastSale, QStringLiteral("末笔：")},   {Figure::LastClosing, QStringLiteral("上次日结：")}};
    int y = 8;
    for (const auto &[figure, name] : names) {
        label(figures, name, {10, y + 3, 84, 16}, pixelFont(13, true));
        const bool small = figure == Figure::LastClosing;
        m_figureLabels.insert(figure, label(figures, QStringLiteral("0"), {94, y, 200, 22},
                                            pixelFont(small ? 13 : 16, !small)));
        y += 25;
    }

    m_cashierRows = new QStandardItemModel(this);
    m_cashierRows->setHorizontalHeaderLabels(
        {QStringLiteral("收银员"), QStringLiteral("小票数"), QStringLiteral("件数"), QStringLiteral("营业额")});
    m_cashierGrid = makeGrid(this, {16, 374, 300, 232}, m_cashierRows);
    const int cashierWidths[] = {90, 60, 60, 84};
    for (int i = 0; i < 4; ++i)
        m_cashierGrid->setColumnWidth(i, cashierWidths[i]);

    m_byHourButton = choiceButton(this, QStringLiteral("按小时"), {326, 156, 100, 26}, 3);
    m_byMethodButton = choiceButton(this, QStringLiteral("按付款方式"), {430, 156, 110, 26}, 3);
    m_byHourButton->setDown(true);
    m_hourChart = makeChartView(this, {326, 186, 332, 192}, ReportCharts::makeHourChart());
    m_methodChart = makeChartView(this, {326, 186, 332, 192}, ReportCharts::makeMethodChart());
    m_methodChart->hide();
    m_dayChart = makeChartView(this, {326, 384, 332, 222}, ReportCharts::makeDayChart());

    m_topByTakingsButton = choiceButton(this, QStringLiteral("营业额前%1").arg(ReportFigures::TopCount), {668, 156, 146, 28}, 2);
    m_topByQuantityButton = choiceButton(this, QStringLiteral("数量前%1").arg(ReportFigures::TopCount), {818, 156, 146, 28}, 2);
    m_topByTakingsButton->setDown(true);
    m_topRows = new QStandardItemModel(this);
    m_topRows->setHorizontalHeaderLabels(
        {QStringLiteral("名次"), QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("营业额")});
    m_topGrid = makeGrid(this, {668, 188, 296, 418}, m_topRows);
    const int topWidths[] = {44, 110, 48, 72};   // with room for the scroll bar
    for (int i = 0; i < 4; ++i)
        m_topGrid->setColumnWidth(i, topWidths[i]);

    // Printing, closing the day, files.
    label(this, QStringLiteral("清点现金："), {16, 624, 80, 16}, pixelFont(14, true));
    m_countedCashBox = new FlatEdit(this);
    m_countedCashBox->setGeometry(96, 618, 96, 28);
    m_countedCashBox->setFont(pixelFont(16));
    m_countedCashBox->setColorFlat(Qt::white);
    m_countedCashBox->setPlaceholderText(QStringLiteral("Z报表用"));
    m_xReportButton = actionButton(this, QStringLiteral("X报表 (F7)"), {204, 616, 128, 33});
    m_zReportButton = actionButton(this, QStringLiteral("Z报表日结 (F9)"), {340, 616, 150, 33});
    m_pdfButton = actionButton(this, QStringLiteral("导出PDF"), {498, 616, 110, 33});
    m_csvButton = actionButton(this, QStringLiteral("导出CSV"), {616, 616, 110, 33});
    m_reprintZButton = actionButton(this, QStringLiteral("重打Z"), {730, 616, 74, 33});
    m_closeButton = actionButton(this, QStringLiteral("关闭 (Esc)"), {808, 616, 153, 33});
}

void ReportsWindow::connectHandlers()
{
    using AppBoxes::guarded;
    for (auto it = m_periodButtons.cbegin(); it != m_periodButtons.cend(); ++it) {
        const ReportRange::Preset preset = it.key();
        connect(it.value(), &QAbstractButton::clicked, this, [this, preset] { guarded([&] { showPeriod(preset); }); });
    }
    // The chosen range is the two dates as they stand; changing either date chooses it too.
    connect(m_chosenRangeButton, &QAbstractButton::clicked, this,
            [this] { guarded([this] { showRange(m_fromBox->date(), m_toBox->date()); }); });
    connect(m_fromBox, &QDateEdit::dateChanged, this, [this](const QDate &from) {
        if (!m_settingDates)
            guarded([&] { showRange(from, std::max(from, m_toBox->date())); });
    });
    connect(m_toBox, &QDateEdit::dateChanged, this, [this](const QDate &to) {
        if (!m_settingDates)
            guarded([&] { showRange(std::min(to, m_fromBox->date()), to); });
    });
    auto cashierChosen = [this] {
        const QString text = m_cashierBox->currentText().trimmed();
        guarded([&] { showCashier(text == kEveryCashier ? QString() : text); });
    };
    connect(m_cashierBox, &FlatComboBox::selectionChanged, this, cashierChosen);
    connect(m_tillBox, &FlatComboBox::selectionChanged, this, [this] {
        guarded([this] { showTill(m_tillBox->currentIndex() <= 0 ? 0 : m_tills.value(m_tillBox->currentIndex() - 1)); });
    });
    connect(m_cashierBox, &FlatComboBox::keyDown, this, [cashierChosen](int key) {
        if (WindowParts::isEnter(key))
            cashierChosen();
    });
    connect(m_byHourButton, &QAbstractButton::clicked, this, [this] { showUpperChart(UpperChart::ByHour); });
    connect(m_byMethodButton, &QAbstractButton::clicked, this, [this] { showUpperChart(UpperChart::ByMethod); });
    connect(m_topByTakingsButton, &QAbstractButton::clicked, this, [this] { showTop(TopList::ByTakings); });
    connect(m_topByQuantityButton, &QAbstractButton::clicked, this, [this] { showTop(TopList::ByQuantity); });
    connect(m_xReportButton, &QAbstractButton::clicked, this, [this] { guarded([this] { printXReport(); }); });
    connect(m_zReportButton, &QAbstractButton::clicked, this, [this] { guarded([this] { closeDay(); }); });
    connect(m_reprintZButton, &QAbstractButton::clicked, this, [this] { guarded([this] { askClosingToReprint(); }); });
    connect(m_pdfButton, &QAbstractButton::clicked, this, [this] { guarded([this] { askPdfFile(); }); });
    connect(m_csvButton, &QAbstractButton::clicked, this, [this] { guarded([this] { askCsvFile(); }); });
    for (FlatSpeedButton *button : {m_closeButton, m_closeSpot})
        connect(button, &QAbstractButton::clicked, this, [this] { guarded([this] { close(); }); });
}

void ReportsWindow::previewKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_F7: AppBoxes::guarded([this] { printXReport(); }); break;
    case Qt::Key_F9: AppBoxes::guarded([this] { closeDay(); }); break;
    default: break;
    }
}

FlatSpeedButton *ReportsWindow::upperChartButton(UpperChart chart) const
{
    return chart == UpperChart::ByHour ? m_byHourButton : m_byMethodButton;
}

void ReportsWindow::showUpperChart(UpperChart chart)
{
    m_byHourButton->setDown(chart == UpperChart::ByHour);
    m_byMethodButton->setDown(chart == UpperChart::ByMethod);
    m_hourChart->setVisible(chart == UpperChart::ByHour);
    m_methodChart->setVisible(chart == UpperChart::ByMethod);
}

FlatSpeedButton *ReportsWindow::topButton(TopList list) const
{
    return list == TopList::ByTakings ? m_topByTakingsButton : m_topByQuantityButton;
}

void ReportsWindow::reload()
{
    // Each showing starts at today, every cashier, ready for the counted cash.
    m_countedCashBox->clear();
    m_countedCashBox->setFocus();
    m_range.cashier.clear();
    m_cashierBox->setEditText(kEveryCashier);
    m_range.till = 0;
    m_tills = SalesReport::tills(database());
    QStringList tills{QStringLiteral("全部")};
    for (int till : std::as_const(m_tills))
        tills << QStringLiteral("%1 号").arg(till);
    m_tillBox->setItems(tills);
    m_tillBox->setCurrentIndex(0);
    showPeriod(ReportRange::Preset::Today);
}

void ReportsWindow::setDates(const QDate &from, const QDate &to)
{
    m_settingDates = true;
    m_fromBox->setDate(from);
    m_toBox->setDate(to);
    m_settingDates = false;
    m_range.from = from;
    m_range.to = to;
}

void ReportsWindow::showPeriod(ReportRange::Preset preset)
{
    const ReportRange range = ReportRange::preset(preset, QDate::currentDate());
    m_periodButtons.value(preset)->setDown(true);
    setDates(range.from, range.to);
    refresh();
}

void ReportsWindow::showRange(const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid() || from > to)
        throw Refusal(QStringLiteral("开始日期不能晚于结束日期"));
    m_chosenRangeButton->setDown(true);
    setDates(from, to);
    refresh();
}

void ReportsWindow::showCashier(const QString &cashier)
{
    m_range.cashier = cashier;
    m_cashierBox->setEditText(cashier.isEmpty() ? kEveryCashier : cashier);
    refresh();
}

void ReportsWindow::showTill(int till)
{
    m_range.till = till;
    refresh();
}

void ReportsWindow::refresh()
{
    BusyPointer busy;
    showFigures(SalesReport::compute(database(), m_range));
}

void ReportsWindow::showFigures(const ReportFigures &figures)
{
    m_figures = figures;
    m_figureLabels.value(Figure::Receipts)->setText(QString::number(figures.receipts));
    m_figureLabels.value(Figure::Lines)->setText(QString::number(figures.lines));
    m_figureLabels.value(Figure::Items)->setText(figures.items);
    m_figureLabels.value(Figure::Takings)->setText(figures.takings);
    m_figureLabels.value(Figure::Average)->setText(figures.averageReceipt);
    m_figureLabels.value(Figure::FirstSale)->setText(figures.firstSale.isEmpty() ? QStringLiteral("-") : figures.firstSale);
    m_figureLabels.value(Figure::LastSale)->setText(figures.lastSale.isEmpty() ? QStringLiteral("-") : figures.lastSale);
    showLastClosing();

    // The list of cashiers is that of the whole range, as long as no one is chosen.
    if (figures.range.cashier.isEmpty()) {
        QStringList names{kEveryCashier};
        for (const ReportFigures::Group &cashier : figures.byCashier)
            names << cashier.key;
        m_cashierBox->setItems(names);
    }

    m_cashierRows->setRowCount(0);
    for (const ReportFigures::Group &cashier : figures.byCashier)
        m_cashierRows->appendRow({textCell(cashier.key), numberCell(QString::number(cashier.receipts)),
                                  numberCell(cashier.items), numberCell(cashier.takings)});
    widenToFit(m_cashierGrid, {1, 2, 3});
    resort(m_cashierGrid);
    fillTopGrid();

    ReportCharts::showHours(m_hourChart->chart(), figures);
    ReportCharts::showDays(m_dayChart->chart(), figures);
    ReportCharts::showMethods(m_methodChart->chart(), figures);
}

void ReportsWindow::showLastClosing()
{
    const auto last = DayEnd(database()).lastClosing();
    m_figureLabels.value(Figure::LastClosing)
        ->setText(last ? QStringLiteral("No.%1  %2").arg(last->number).arg(last->closedAt.left(16)) : QStringLiteral("-"));
}

void ReportsWindow::showTop(TopList list)
{
    m_topList = list;
    topButton(list)->setDown(true);
    fillTopGrid();
}

void ReportsWindow::fillTopGrid()
{
    const QList<ReportFigures::Product> &products =
        m_topList == TopList::ByTakings ? m_figures.topByTakings : m_figures.topByQuantity;
    m_topRows->setRowCount(0);
    int rank = 0;
    for (const ReportFigures::Product &p : products) {
        QStandardItem *name = textCell(p.name);
        name->setToolTip(QStringLiteral("%1  (%2)").arg(p.name, p.code));
        m_topRows->appendRow({numberCell(QString::number(++rank)), name, numberCell(p.quantity), numberCell(p.takings)});
    }
    widenToFit(m_topGrid, {2, 3});
    resort(m_topGrid);
}

void ReportsWindow::printXReport()
{
    BusyPointer busy;
    showFigures(DayEnd(database()).printXReport(m_range, m_printer()));
}

void ReportsWindow::closeDay()
{
    m_countedCashBox->setFocus();
    DayEnd::checkClosing(m_range, m_countedCashBox->text());
    if (!OwnerPinQuestion::allows(database(), PinPlaces::Place::ZReport, this))
        return;
    DayEnd dayEnd(database());
    // What the Z report will close, whatever dates the window shows: every
    // sale since the last one.
    const std::optional<DayClosings::Closing> last = dayEnd.lastClosing();
    const ReportFigures open = dayEnd.sinceLastClosing();
    const QString question =
        open.lines == 0
            ? QStringLiteral("上次日结以来没有销售。\n仍然打印一张没有销售的Z报表并日结吗？")
            : QStringLiteral("打印Z报表并日结吗？\nZ报表包括上次日结以来的全部销售，不论日期：\n"
                             "首笔 %1，末笔 %2，%3 张小票，营业额 %4。\n日结后，下一张Z报表从这次之后的销售算起。")
                  .arg(open.firstSale, open.lastSale)
                  .arg(open.receipts)
                  .arg(open.takings);
    if (!AppBoxes::askYesNo(question, {this, QStringLiteral("Confirm")}))
        return;
    const DayClosings::Closing closing = dayEnd.closeDay(m_range, m_countedCashBox->text(), m_printer(),
                                                         QDateTime::currentDateTime(), last ? last->number : 0);
    m_countedCashBox->clear();
    showLastClosing();
    AppBoxes::showNotice(QStringLiteral("Z报表 No.%1 已打印。\n营业额 %2，清点现金 %3，差额 %4")
                             .arg(closing.number)
                             .arg(closing.takings, closing.counted, closing.difference));
}

void ReportsWindow::reprintClosing(int number)
{
    BusyPointer busy;
    DayEnd(database()).reprintClosing(number, m_printer());
}

void ReportsWindow::askClosingToReprint()
{
    const std::optional<DayClosings::Closing> last = DayEnd(database()).lastClosing();
    if (!last)
        throw Refusal(QStringLiteral("还没有做过Z报表。"));
    QInputDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("重打Z报表"));
    dialog.setLabelText(QStringLiteral("Z报表编号（1 至 %1）：").arg(last->number));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(1, last->number);
    dialog.setIntValue(last->number);
    dialog.setOkButtonText(QStringLiteral("打印"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() == QDialog::Accepted)
        reprintClosing(dialog.intValue());
}

QString ReportsWindow::suggestedFileName(const QString &suffix) const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("销售报表_%1_%2.%3")
                                     .arg(ReportRange::dateText(m_range.from), ReportRange::dateText(m_range.to), suffix));
}

void ReportsWindow::askPdfFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出PDF"), suggestedFileName(QStringLiteral("pdf")),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty())
        exportPdf(path);
}

void ReportsWindow::askCsvFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出CSV"), suggestedFileName(QStringLiteral("csv")),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        exportCsv(path);
}

void ReportsWindow::exportPdf(const QString &filePath)
{
    BusyPointer busy;
    ReportPdf::write(m_figures, ShopSettings::load(database()).shopName,
                     QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), filePath);
}

void ReportsWindow::exportCsv(const QString &filePath)
{
    ReportSheet::writeCsv(m_figures, filePath);
}
