#include "salesrecordswindow.h"

#include "widgets/datagrid.h"

#include "db/numbertext.h"
#include "db/salesrecordmodel.h"
#include "formparts.h"
#include "widgets/flatpanel.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colorvalue.h"
#include "widgets/webpage.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>

namespace {

const QColor kFixedColor = colorFromValue(15663069);   // #DDFFEE

// Reading or sorting a large table takes a moment: the pointer says so.
class BusyPointer final
{
    Q_DISABLE_COPY_MOVE(BusyPointer)

public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

SalesRecordsWindow::SalesRecordsWindow(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("查询统计"), mainWindow)
{
    setObjectName(QStringLiteral("salesRecordsWindow"));
    FormParts::setWindowLook(this, QColor(0x80, 0x80, 0x80), FormParts::pixelFont(14, false, QStringLiteral("宋体")));
    AdoQueryRecord = new SalesRecordModel(db,
                                          {{QStringLiteral("单号"), {}},
                                           {QStringLiteral("编码"), QStringLiteral("编码(条形码)")},
                                           {QStringLiteral("品名"), {}},
                                           {QStringLiteral("数量"), {}},
                                           {QStringLiteral("单价"), {}},
                                           {QStringLiteral("金额"), {}},
                                           {QStringLiteral("收银员"), {}},
                                           {QStringLiteral("日期"), {}},
                                           {QStringLiteral("时间"), {}}},
                                          this);
    buildControls();
    connectHandlers();
}

void SalesRecordsWindow::buildControls()
{
    using namespace FormParts;

    Image2 = picture(this, QStringLiteral(":/pictures/records.jpg"));
    title(this, QStringLiteral("查 询 统 计"), &Label15, &Label14);
    FlatSpeedButton2 = closeSpot(this);

    FlatSpeedButton6 = new FlatSpeedButton(QStringLiteral("关闭 (Esc)"), this);
    FlatSpeedButton6->setGeometry(776, 616, 153, 33);
    FlatSpeedButton6->setFont(pixelFont(16, true));
    FlatSpeedButton6->setColors(colorFromValue(300815), colorFromValue(16732497), colorFromValue(16744576), Qt::gray);

    Label17 = webLink(this, [this] { Label17Click(); });

    DBGrid1 = new QTableView(this);
    DBGrid1->setGeometry(16, 152, 945, 417);
    DBGrid1->setFont(pixelFont(16));
    DBGrid1->setModel(AdoQueryRecord);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setWordWrap(false);
    DBGrid1->setCornerButtonEnabled(false);
    setGridColors(DBGrid1, colorFromValue(15658734), kFixedColor);   // #EEEEEE cells
    QHeaderView *titles = DBGrid1->horizontalHeader();
    titles->setFont(pixelFont(16));
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    QHeaderView *indicator = DBGrid1->verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(22);
    indicator->setFixedWidth(12);
    const int widths[] = {130, 140, 205, 70, 70, 90, 50, 88, 50};
    for (int i = 0; i < 9; ++i)
        DBGrid1->setColumnWidth(i, widths[i]);

    FlatPanel2 = new FlatPanel(this);
    FlatPanel2->setGeometry(16, 568, 945, 41);
    FlatPanel2->setColor(kFixedColor);
    Label5 = label(FlatPanel2, QStringLiteral("合计数量："), {400, 14, 81, 16}, pixelFont(13, true));
    Label12 = label(FlatPanel2, QStringLiteral("0"), {480, 12, 121, 21}, pixelFont(16, true));
    Label9 = label(FlatPanel2, QStringLiteral("合计金额："), {656, 14, 81, 16}, pixelFont(13, true));
    Label13 = label(FlatPanel2, QStringLiteral("0"), {736, 12, 121, 16}, pixelFont(16, true));
}

void SalesRecordsWindow::connectHandlers()
{
    using AppBoxes::guarded;
    connect(FlatSpeedButton6, &QAbstractButton::clicked, this, [this] { guarded([this] { FlatSpeedButton6Click(); }); });
    connect(FlatSpeedButton2, &QAbstractButton::clicked, this, [this] { guarded([this] { FlatSpeedButton6Click(); }); });
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        guarded([&] { DBGrid1TitleClick(AdoQueryRecord->fieldAt(section)); });
    });
    // A page that cannot be read while the grid is drawn is reported once the drawing is done.
    connect(AdoQueryRecord, &SalesRecordModel::readFailed, this, &AppBoxes::showError, Qt::QueuedConnection);
}

void SalesRecordsWindow::previewKey(const QKeyEvent &event)
{
    FormKeyDown(event.key());
}

void SalesRecordsWindow::FormKeyDown(int key)
{
    if (key == Qt::Key_Escape)
        FlatSpeedButton6Click();
}

void SalesRecordsWindow::FormShow()
{
    BusyPointer busy;
    // Closed first: when reading fails the grid stays empty and both totals
    // keep the texts they had.
    AdoQueryRecord->open();
    Label12->setText(formatGeneral(AdoQueryRecord->totals().quantity));
    Label13->setText(formatGeneral(AdoQueryRecord->totals().amount));
    // As after walking the lines to the end: the last, oldest line is current.
    makeCurrent(AdoQueryRecord->rowCount() - 1, 0);
}

void SalesRecordsWindow::DBGrid1TitleClick(const QString &field)
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
    const QModelIndex current = DBGrid1->currentIndex();
    const int row = AdoQueryRecord->sortBy(field, order, current.isValid() ? current.row() : -1);
    // The current line stays current wherever the sort puts it; the totals stay.
    makeCurrent(row, current.isValid() ? current.column() : 0);
}

void SalesRecordsWindow::makeCurrent(int row, int column)
{
    if (row < 0 || row >= AdoQueryRecord->rowCount())
        return;
    const QModelIndex index = AdoQueryRecord->index(row, column);
    DBGrid1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    // The grid lays itself out only after it is shown: scroll once it has.
    QMetaObject::invokeMethod(
        DBGrid1, [grid = DBGrid1, index = QPersistentModelIndex(index)] {
            if (index.isValid())
                grid->scrollTo(index);
        },
        Qt::QueuedConnection);
}

void SalesRecordsWindow::FlatSpeedButton6Click()
{
    close();
}

void SalesRecordsWindow::Label17Click()
{
    WebPage::open();
}
