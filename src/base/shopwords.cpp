#include "shopwords.h"

#include <QList>
#include <QStringView>

namespace {

struct Words
{
    QStringView english;
    QStringView chinese;
};

// Longer phrases first where one holds another.
const QList<Words> &knownWords()
{
    static const QList<Words> words = {
        {u"Printer selected is not valid", u"小票打印机不能用"},
        {u"There is no default printer currently selected", u"系统里没有设置默认打印机"},
        {u"Printing in progress", u"上一张小票还在打印"},
        {u"The receipt could not be sent to", u"小票没有送到打印机"},
        {u"Socket operation timed out", u"打印机没有应答"},
        {u"Connection refused", u"打印机拒绝连接"},
        {u"Host not found", u"找不到这个网络地址"},
        {u"Network unreachable", u"网络不通"},
        {u"No such file or directory", u"找不到这个文件或设备"},
        {u"Permission denied", u"没有权限"},
        {u"Read-only file system", u"磁盘是只读的"},
        {u"No space left on device", u"磁盘已满"},
        {u"database or disk is full", u"磁盘已满，数据没有保存"},
        {u"database is locked", u"数据文件被另一个程序占用"},
        {u"No database connection", u"没有连上数据库"},
        {u"unable to open database file", u"打不开数据文件"},
        {u"attempt to write a readonly database", u"数据文件是只读的"},
        {u"disk I/O error", u"读写磁盘出错"},
    };
    return words;
}

}   // namespace

QString ShopWords::inChinese(const QString &message)
{
    QString out;
    qsizetype from = 0;
    while (from < message.size()) {
        // The earliest known phrase from here on.
        qsizetype at = -1;
        const Words *found = nullptr;
        for (const Words &words : knownWords()) {
            const qsizetype i = message.indexOf(words.english, from);
            if (i >= 0 && (at < 0 || i < at)) {
                at = i;
                found = &words;
            }
        }
        if (!found) {
            out += QStringView(message).mid(from);
            break;
        }
        out += QStringView(message).mid(from, at - from);
        out += found->chinese;
        out += u'（';
        out += found->english;
        out += u'）';
        from = at + found->english.size();
    }
    return out;
}
