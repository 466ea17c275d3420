#pragma once

#include "windows/sidewindow.h"

#include "reports/reportfigures.h"

#include <QMap>

#include <functional>

class QChart;
class QChartView;
class QDateEdit;
class QLabel;
class QStandardItemModel;
class QTableView;
class FlatComboBox;
class FlatEdit;
class FlatSpeedButton;
class ReceiptSink;

// The sales report of a range of days, optionally of one cashier: the
// figures, the cashiers, takings by hour and by day as charts, and the best
// sellers. From here the X report (figures only) and the Z report (closing
// the day against the counted cash) go to the receipt printer, and the
// report goes to a PDF or CSV file. Each showing starts again at today.
class ReportsWindow final : public SideWindow
{
    Q_OBJECT

public:
    using PrinterSource = std::function<ReceiptSink &()>;

    enum class Figure { Receipts, Lines, Items, Takings, Average, FirstSale, LastSale, LastClosing };
    enum class TopList { ByTakings, ByQuantity };
    enum class UpperChart { ByHour, ByMethod };

    // printer: the receipt printer of the cashier screen, asked for at each print.
    ReportsWindow(Database &db, QWidget *mainWindow, PrinterSource printer);

    FlatSpeedButton *periodButton(ReportRange::Preset preset) const { return m_periodButtons.value(preset); }
    FlatSpeedButton *chosenRangeButton() const { return m_chosenRangeButton; }
    QDateEdit *fromBox() const { return m_fromBox; }
    QDateEdit *toBox() const { return m_toBox; }
    FlatComboBox *cashierBox() const { return m_cashierBox; }
    // Every till's lines (全部) or one till's.
    FlatComboBox *tillBox() const { return m_tillBox; }
    FlatEdit *countedCashBox() const { return m_countedCashBox; }
    QLabel *figureLabel(Figure figure) const { return m_figureLabels.value(figure); }
    QTableView *cashierGrid() const { return m_cashierGrid; }
    QTableView *topGrid() const { return m_topGrid; }
    FlatSpeedButton *topButton(TopList list) const;
    QChartView *hourChart() const { return m_hourChart; }
    QChartView *dayChart() const { return m_dayChart; }
    QChartView *methodChart() const { return m_methodChart; }
    FlatSpeedButton *upperChartButton(UpperChart chart) const;
    FlatSpeedButton *xReportButton() const { return m_xReportButton; }
    FlatSpeedButton *zReportButton() const { return m_zReportButton; }
    FlatSpeedButton *reprintZButton() const { return m_reprintZButton; }
    FlatSpeedButton *pdfButton() const { return m_pdfButton; }
    FlatSpeedButton *csvButton() const { return m_csvButton; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }
    FlatSpeedButton *closeSpot() const { return m_closeSpot; }

    // The report on the screen.
    const ReportFigures &figures() const { return m_figures; }

    // What the buttons and keys ask for.
    void showPeriod(ReportRange::Preset preset);              // 今天 / 昨天 / 本周 / 本月
    void showRange(const QDate &from, const QDate &to);     // a chosen range
    void showCashier(const QString &cashier);               // empty: every cashier
    void showTill(int till);                                // 0: every till
    void showTop(TopList list);
    void showUpperChart(UpperChart chart);
    void refresh();                                         // reads the report of the range again
    void printXReport();                                    // F7
    void closeDay();                                        // F9: the Z report, once confirmed
    void reprintClosing(int number);                        // a past Z report again, as it was printed
    void askClosingToReprint();
    void exportPdf(const QString &filePath);
    void exportCsv(const QString &filePath);
    void askPdfFile();
    void askCsvFile();

protected:
    void reload() override;
    void previewKey(const QKeyEvent &event) override;

private:
    void buildControls();
    void connectHandlers();
    void showFigures(const ReportFigures &figures);
    void showLastClosing();
    void fillTopGrid();
    void setDates(const QDate &from, const QDate &to);
    QString suggestedFileName(const QString &suffix) const;

    PrinterSource m_printer;
    ReportRange m_range;
    ReportFigures m_figures;
    TopList m_topList = TopList::ByTakings;
    bool m_settingDates = false;

    QMap<ReportRange::Preset, FlatSpeedButton *> m_periodButtons;
    FlatSpeedButton *m_chosenRangeButton = nullptr;
    QDateEdit *m_fromBox = nullptr;
    QDateEdit *m_toBox = nullptr;
    FlatComboBox *m_cashierBox = nullptr;
    FlatComboBox *m_tillBox = nullptr;
    QList<int> m_tills;   // the tills the till box offers after 全部
    FlatEdit *m_countedCashBox = nullptr;
    QMap<Figure, QLabel *> m_figureLabels;
    QTableView *m_cashierGrid = nullptr;
    QStandardItemModel *m_cashierRows = nullptr;
    QTableView *m_topGrid = nullptr;
    QStandardItemModel *m_topRows = nullptr;
    FlatSpeedButton *m_topByTakingsButton = nullptr;
    FlatSpeedButton *m_topByQuantityButton = nullptr;
    QChartView *m_hourChart = nullptr;
    QChartView *m_dayChart = nullptr;
    QChartView *m_methodChart = nullptr;   // in the hour chart's place, by choice
    FlatSpeedButton *m_byHourButton = nullptr;
    FlatSpeedButton *m_byMethodButton = nullptr;
    FlatSpeedButton *m_xReportButton = nullptr;
    FlatSpeedButton *m_zReportButton = nullptr;
    FlatSpeedButton *m_reprintZButton = nullptr;
    FlatSpeedButton *m_pdfButton = nullptr;
    FlatSpeedButton *m_csvButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
    FlatSpeedButton *m_closeSpot = nullptr;
};
