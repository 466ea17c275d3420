#include "firststart.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/democatalogue.h"
#include "widgets/apperrorbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace FirstStart {

Choice ask(const QString &databasePath, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, AppBoxes::applicationTitle(),
                    QStringLiteral("欢迎使用！还没有数据文件，现在建立一个吗？"), QMessageBox::NoButton, parent);
    box.setInformativeText(
        QStringLiteral("数据文件将保存在：\n%1\n\n"
                       "新建空白商品库：从零开始，录入本店的商品。\n"
                       "使用示例商品库：带二十种常见商品，马上可以试收银。\n"
                       "取消：什么也不建立，退出程序。")
            .arg(QDir::toNativeSeparators(databasePath)));
    QPushButton *empty = box.addButton(QStringLiteral("新建空白商品库(&N)"), QMessageBox::AcceptRole);
    QPushButton *demo = box.addButton(QStringLiteral("使用示例商品库(&D)"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(empty);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == empty)
        return Choice::EmptyCatalogue;
    if (box.clickedButton() == demo)
        return Choice::DemoCatalogue;
    return Choice::Cancel;
}

void makeDatabase(const QString &databasePath, Choice choice)
{
    const QString folder = QFileInfo(databasePath).absolutePath();
    if (!QDir().mkpath(folder))
        throw DatabaseError(QStringLiteral("无法建立文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    Database::createFile(databasePath);
    if (choice != Choice::DemoCatalogue)
        return;
    try {
        Database db;
        db.open(databasePath);
        DemoCatalogue::fill(db);
    } catch (...) {
        // Half a demo is no start: remove the file (and its log) so the
        // next start asks again.
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(databasePath + QLatin1String(suffix));
        throw;
    }
}

Outcome run(const QString &databasePath)
{
    const Choice choice = ask(databasePath);
    if (choice == Choice::Cancel)
        return Outcome::Cancelled;
    try {
        makeDatabase(databasePath, choice);
    } catch (const AppError &e) {
        AppBoxes::showError(QStringLiteral("数据文件没有建立：%1").arg(e.message()));
        return Outcome::Failed;
    }
    return Outcome::Ready;
}

} // namespace FirstStart
