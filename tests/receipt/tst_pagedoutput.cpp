#include "receipt/pdfprintsurface.h"
#include "receipt/printererror.h"
#include "receipt/printertextdevice.h"
#include "receipt/receiptprinter.h"
#include "receipt/systemprintsurface.h"
#include "receipttestdata.h"

#include <QtTest>
#include <QPrinterInfo>
#include <QProcess>

namespace {

// The queue scripts/cups-test-env.sh sets up: it turns jobs into PDF files.
const QString TestQueue = QStringLiteral("FenwoPDF");

QString run(const QString &program, const QStringList &arguments, bool *ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(20000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int lineCount(const QString &text)
{
    return int(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

// Where cups-pdf puts the files of the current user, when its configuration
// says so plainly.
QString cupsPdfFolder()
{
    QFile config(QStringLiteral("/etc/cups/cups-pdf.conf"));
    QString folder = QStringLiteral("${HOME}/PDF");
    if (config.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromLocal8Bit(config.readAll()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QStringList words = line.simplified().split(QLatin1Char(' '));
            if (words.size() == 2 && words[0] == QLatin1String("Out"))
                folder = words[1];
        }
    }
    folder.replace(QLatin1String("${HOME}"), QDir::homePath());
    return folder.contains(QLatin1Char('$')) ? QString() : folder;
}

QStringList pdfFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

} // namespace

class PagedOutputTest final : public QObject
{
    Q_OBJECT

private slots:
    void pdfFilePerJob_data();
    void pdfFilePerJob();
    void pdfFolderThatCannotBeMade();
    void noDefaultPrinter();
    void systemPrinterThroughCups();
};

void PagedOutputTest::pdfFilePerJob_data()
{
    QTest::addColumn<QString>("paper");
    QTest::newRow("58 mm") << QStringLiteral("58");
    QTest::newRow("80 mm") << QStringLiteral("80");
}

void PagedOutputTest::pdfFilePerJob()
{
    QFETCH(QString, paper);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("receipts"));

    auto surface = std::make_unique<PdfPrintSurface>(folder, paper.toInt());
    PdfPrintSurface *pdf = surface.get();
    ReceiptPrinter printer(std::move(surface));
    printer.printCopy(workedExampleSale(), ReceiptCopy::First);
    const QString firstFile = pdf->lastFile();
    printer.printCopy(workedExampleSale(), ReceiptCopy::Second);
    QVERIFY(pdf->lastFile() != firstFile);

    const QStringList files = pdfFiles(folder);
    QCOMPARE(files.size(), 2);
    for (const QString &name : files) {
        QVERIFY2(name.startsWith(QLatin1String("receipt-")), qPrintable(name));
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.startsWith("%PDF"));
        QVERIFY(content.contains("%%EOF"));
    }
}

void PagedOutputTest::pdfFolderThatCannotBeMade()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const std::unique_ptr<ReceiptPrinter> printer =
        ReceiptPrinter::create(QStringLiteral("pdf:") + blocker + QStringLiteral("/receipts"));
    try {
        printer->printCopy(workedExampleSale(), ReceiptCopy::First);
        QFAIL("printed into a folder that cannot exist");
    } catch (const PrinterError &error) {
        QVERIFY2(error.message().startsWith(QLatin1String("Printer selected is not valid\n")),
                 qPrintable(error.message()));
    }
    QVERIFY(!printer->device().isPrinting());
}

void PagedOutputTest::noDefaultPrinter()
{
    ReceiptPrinter printer(std::make_unique<SystemPrintSurface>([] { return QString(); }));
    // Asked again, the answer is the same: the failed open left no job behind.
    for (const ReceiptCopy copy : {ReceiptCopy::First, ReceiptCopy::Second}) {
        try {
            printer.printCopy(workedExampleSale(), copy);
            QFAIL("printed without a printer");
        } catch (const PrinterError &error) {
            QCOMPARE(error.message(), QStringLiteral("There is no default printer currently selected"));
        }
    }
}

void PagedOutputTest::systemPrinterThroughCups()
{
    bool ok = false;
    const QString scheduler = run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &ok);
    if (!scheduler.contains(QLatin1String("scheduler is running")))
        QSKIP("no CUPS scheduler is reachable; run scripts/cups-test-env.sh as root first");
    if (QPrinterInfo::defaultPrinterName() != TestQueue) {
        QSKIP(qPrintable(QStringLiteral("the default printer is \"%1\", not the %2 test queue; "
                                        "run scripts/cups-test-env.sh as root first")
                             .arg(QPrinterInfo::defaultPrinterName(), TestQueue)));
    }

    const QStringList completedArguments = {QStringLiteral("-W"), QStringLiteral("completed"),
                                            QStringLiteral("-o"), TestQueue};
    const int completedBefore = lineCount(run(QStringLiteral("lpstat"), completedArguments));
    const QString pdfFolder = cupsPdfFolder();
    const QStringList pdfsBefore = pdfFiles(pdfFolder);

    const std::unique_ptr<ReceiptPrinter> printer = ReceiptPrinter::create(QStringLiteral("system"));
    printer->printCopy(workedExampleSale(), ReceiptCopy::First);
    printer->printCopy(workedExampleSale(), ReceiptCopy::Second);
    QVERIFY(!printer->device().isPrinting());

    // Both jobs pass through the spooler and leave it completed.
    int completed = completedBefore;
    QString pending;
    QDeadlineTimer deadline(60000);
    do {
        QTest::qWait(250);
        completed = lineCount(run(QStringLiteral("lpstat"), completedArguments));
        pending = run(QStringLiteral("lpstat"), {QStringLiteral("-o"), TestQueue});
    } while ((completed < completedBefore + 2 || !pending.trimmed().isEmpty()) && !deadline.hasExpired());
    QVERIFY2(completed >= completedBefore + 2,
             qPrintable(QStringLiteral("completed jobs: %1 before, %2 after; pending: %3")
                            .arg(completedBefore)
                            .arg(completed)
                            .arg(pending)));
    const QString state = run(QStringLiteral("lpstat"), {QStringLiteral("-p"), TestQueue});
    QVERIFY2(!state.contains(QLatin1String("disabled")), qPrintable(state));

    // cups-pdf wrote a file for each when its folder is the user's own.
    if (!pdfFolder.isEmpty() && QFileInfo::exists(pdfFolder)) {
        QStringList added = pdfFiles(pdfFolder);
        for (const QString &name : pdfsBefore)
            added.removeAll(name);
        QVERIFY2(added.size() >= 2, qPrintable(added.join(QLatin1Char(' '))));
    }
}

QTEST_MAIN(PagedOutputTest)
#include "tst_pagedoutput.moc"
