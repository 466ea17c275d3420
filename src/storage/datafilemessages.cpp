#include "datafilemessages.h"

namespace DataFileMessages {

namespace {
// More groups than fit on a screen are counted, not listed.
constexpr int kListedGroups = 20;
}

QString missing(const QStringList &missing, const QString &file)
{
    return QStringLiteral("提示：数据库文件缺少%1！\n文件：%2").arg(missing.join(QStringLiteral("、")), file);
}

QString missingTable(const QString &table)
{
    return QStringLiteral("表 %1").arg(table);
}

QString missingColumn(const QString &table, const QString &column)
{
    return QStringLiteral("表 %1 的列 %2").arg(table, column);
}

QString newer(int fileVersion, int programVersion, const QString &file)
{
    return QStringLiteral("提示：数据库文件由较新版本的程序建立，本程序不能使用！\n文件：%1\n"
                          "（文件的格式版本 %2，本程序的格式版本 %3）")
        .arg(file)
        .arg(fileVersion)
        .arg(programVersion);
}

QString unwritableFile(const QString &file)
{
    return QStringLiteral("提示：数据库文件不能写入！\n文件：%1").arg(file);
}

QString unwritableFolder(const QString &folder)
{
    return QStringLiteral("提示：数据库文件所在的文件夹不能写入！\n文件夹：%1").arg(folder);
}

QString upgradeFailed(const QString &file, const QString &detail)
{
    return QStringLiteral("提示：数据库文件升级失败，文件没有改动！\n文件：%1\n%2").arg(file, detail);
}

QString copyFailed(const QString &copy, const QString &detail)
{
    return QStringLiteral("提示：升级前不能保存数据库文件的副本，文件没有改动！\n副本：%1\n%2").arg(copy, detail);
}

QString upgraded(const QString &copy)
{
    return QStringLiteral("提示：数据库文件已升级到本程序的格式。\n升级前的副本：%1").arg(copy);
}

QString codesAlike(const QList<QStringList> &groups)
{
    QStringList lines;
    for (qsizetype i = 0; i < groups.size() && i < kListedGroups; ++i)
        lines << groups[i].join(QStringLiteral("、"));
    if (groups.size() > kListedGroups)
        lines << QStringLiteral("……共 %1 组").arg(groups.size());
    return QStringLiteral("提示：下面的商品编码相同或只有字母大小写不同，收银查找时会当作同一个编码：\n%1\n"
                          "请在商品资料 (F3) 中修改或删除多余的一个。")
        .arg(lines.join(QLatin1Char('\n')));
}

} // namespace DataFileMessages
