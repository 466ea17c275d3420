#include "reportpdf.h"

#include "windows/reportcharts.h"
#include "windows/windowparts.h"

#include "base/apperror.h"
#include "widgets/colors.h"

#include <QChart>
#include <QGraphicsScene>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <memory>

namespace {

// Everything is laid out in points (1/72 inch) on an A4 page.
constexpr double kPageWidth = 595;
constexpr double kPageHeight = 842;
constexpr double kMargin = 40;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kRowHeight = 15;

// Writes down the page from the top, and starts a new page when the next
// piece would not fit.
class PageWriter
{
public:
    PageWriter(QPdfWriter &writer, QPainter &painter)
        : m_writer(writer)
        , m_painter(painter)
    {
    }

    void room(double height)
    {
        if (m_y + height > kPageHeight - kMargin)
            newPage();
    }

    void newPage()
    {
        m_writer.newPage();
        m_y = kMargin;
    }

    void text(const QString &text, int pixels, bool bold = false, double gap = 4)
    {
        room(pixels + gap);
        m_painter.setFont(WindowParts::pixelFont(pixels, bold));
        m_painter.drawText(QRectF(kMargin, m_y, kContentWidth, pixels + gap), Qt::AlignLeft | Qt::AlignVCenter, text);
        m_y += pixels + gap;
    }

    // A table with a title row; numbers are right-aligned.
    void table(const QString &title, const QStringList &headers, const QList<QStringList> &rows,
               const QList<double> &widths)
    {
        space(8);
        room(kRowHeight * 3);
        text(title, 12, true);
        // A column of numbers is right-aligned, its heading too.
        QList<bool> numbers;
        for (qsizetype i = 0; i < headers.size(); ++i)
            numbers << (i > 0 && !rows.isEmpty() && isNumber(rows.first().value(i)));
        row(headers, widths, numbers, true);
        for (const QStringList &cells : rows) {
            if (m_y + kRowHeight > kPageHeight - kMargin) {
                newPage();
                row(headers, widths, numbers, true);
            }
            row(cells, widths, numbers, false);
        }
    }

    void chart(QChart *chart, double height)
    {
        space(8);
        room(height);
        // Drawn at a screen size, scaled to the page: the chart keeps the
        // proportions of its text.
        const QSizeF drawn(760, 760 * height / kContentWidth);
        QGraphicsScene scene;
        scene.addItem(chart);   // the scene owns it from here on
        chart->setGeometry(QRectF(QPointF(0, 0), drawn));
        scene.setSceneRect(QRectF(QPointF(0, 0), drawn));
        scene.render(&m_painter, QRectF(kMargin, m_y, kContentWidth, height), scene.sceneRect());
        m_y += height;
    }

    void space(double height) { m_y += height; }

private:
    void row(const QStringList &cells, const QList<double> &widths, const QList<bool> &numbers, bool heading)
    {
        m_painter.setFont(WindowParts::pixelFont(9, heading));
        if (heading) {
            m_painter.fillRect(QRectF(kMargin, m_y, kContentWidth, kRowHeight), Colors::panelGreen);
        }
        double x = kMargin;
        for (qsizetype i = 0; i < cells.size() && i < widths.size(); ++i) {
            const bool number = numbers.value(i);
            const QRectF cell(x + 2, m_y, widths[i] - 4, kRowHeight);
            m_painter.drawText(cell, (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                               m_painter.fontMetrics().elidedText(cells[i], Qt::ElideRight, int(cell.width())));
            x += widths[i];
        }
        m_painter.setPen(QPen(Colors::silver, 0.5));
        m_painter.drawLine(QPointF(kMargin, m_y + kRowHeight), QPointF(kMargin + kContentWidth, m_y + kRowHeight));
        m_painter.setPen(Qt::black);
        m_y += kRowHeight;
    }

    static bool isNumber(const QString &text)
    {
        bool ok = false;
        text.toDouble(&ok);
        return ok;
    }

    QPdfWriter &m_writer;
    QPainter &m_painter;
    double m_y = kMargin;
};

QList<QStringList> groupRows(const QList<ReportFigures::Group> &groups)
{
    QList<QStringList> rows;
    for (const ReportFigures::Group &g : groups)
        rows << QStringList{g.key, QString::number(g.receipts), QString::number(g.lines), g.items, g.takings};
    return rows;
}

QList<QStringList> productRows(const QList<ReportFigures::Product> &products)
{
    QList<QStringList> rows;
    int rank = 0;
    for (const ReportFigures::Product &p : products)
        rows << QStringList{QString::number(++rank), p.code, p.name, p.quantity, p.takings};
    return rows;
}

} // namespace

void ReportPdf::write(const ReportFigures &f, const QString &shopName, const QString &printedAt,
                      const QString &filePath)
{
    QPdfWriter writer(filePath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("销售报表"));
    writer.setCreator(QStringLiteral("Fenwo"));
    QPainter painter;
    if (!painter.begin(&writer))
        throw AppError(QStringLiteral("无法写入文件 %1").arg(filePath));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(300.0 / 72, 300.0 / 72);
    PageWriter page(writer, painter);

    const QString cashier = f.range.cashier.isEmpty() ? QStringLiteral("全部") : f.range.cashier;
    page.text(QStringLiteral("销售报表  ") + shopName.trimmed(), 18, true, 8);
    page.text(QStringLiteral("日期：%1 至 %2    收银员：%3    打印：%4")
                  .arg(ReportRange::dateText(f.range.from), ReportRange::dateText(f.range.to), cashier, printedAt),
              10, false, 10);
    const QList<QStringList> figures{
        {QStringLiteral("小票数"), QString::number(f.receipts)},
        {QStringLiteral("行数"), QString::number(f.lines)},
        {QStringLiteral("件数"), f.items},
        {QStringLiteral("营业额"), f.takings},
        {QStringLiteral("客单价"), f.averageReceipt},
        {QStringLiteral("首笔"), f.firstSale.isEmpty() ? QStringLiteral("-") : f.firstSale},
        {QStringLiteral("末笔"), f.lastSale.isEmpty() ? QStringLiteral("-") : f.lastSale}};
    page.table(QStringLiteral("合计"), {QStringLiteral("项目"), QStringLiteral("数值")}, figures, {120, 160});
    const QStringList groupHeaders{QString(), QStringLiteral("小票数"), QStringLiteral("行数"), QStringLiteral("件数"),
                                   QStringLiteral("营业额")};
    const QList<double> groupWidths{155, 90, 90, 90, 90};
    QStringList headers = groupHeaders;
    headers[0] = QStringLiteral("收银员");
    page.table(QStringLiteral("按收银员"), headers, groupRows(f.byCashier), groupWidths);

    QChart *hours = ReportCharts::makeHourChart();
    ReportCharts::showHours(hours, f);
    page.chart(hours, 210);
    if (!f.onlyCash) {
        QChart *methods = ReportCharts::makeMethodChart();
        ReportCharts::showMethods(methods, f);
        page.chart(methods, 210);
    }
    QChart *days = ReportCharts::makeDayChart();
    ReportCharts::showDays(days, f);
    page.chart(days, 210);

    page.newPage();
    const QStringList productHeaders{QStringLiteral("名次"), QStringLiteral("编码"), QStringLiteral("品名"),
                                     QStringLiteral("数量"), QStringLiteral("营业额")};
    const QList<double> productWidths{35, 110, 200, 80, 90};
    page.table(QStringLiteral("营业额前%1").arg(ReportFigures::TopCount), productHeaders, productRows(f.topByTakings),
               productWidths);
    page.table(QStringLiteral("数量前%1").arg(ReportFigures::TopCount), productHeaders, productRows(f.topByQuantity),
               productWidths);

    page.newPage();
    headers[0] = QStringLiteral("小时");
    page.table(QStringLiteral("按小时"), headers, groupRows(f.byHour), groupWidths);
    headers[0] = QStringLiteral("日期");
    page.table(QStringLiteral("按日"), headers, groupRows(f.byDay), groupWidths);
    if (!painter.end())
        throw AppError(QStringLiteral("无法写入文件 %1").arg(filePath));
}
