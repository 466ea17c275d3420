#include "fenwoapplication.h"

#include "widgets/focusmarks.h"
#include "widgets/keypreview.h"

#include <QFont>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

FenwoApplication::FenwoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("fenwo"));
    // No display name: the platform would append it to every window's title
    // ("小票打印机软件 — …"). The boxes carry the application title themselves.
    installFontSubstitutions();
    installChineseTranslations();
    new FocusMarks(this);
}

void FenwoApplication::installChineseTranslations()
{
    // Qt's own words (the standard buttons 确定, 是, 否, 取消; the file
    // dialogs) in Chinese, whatever language the computer is set to.
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

void FenwoApplication::installFontSubstitutions()
{
    const QStringList chinese = {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")};
    for (const char *face : {"MS Sans Serif", "宋体", "SimSun", "新宋体", "Tahoma"})
        QFont::insertSubstitutions(QString::fromUtf8(face), chinese);
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")} + chinese);
}

bool FenwoApplication::notify(QObject *receiver, QEvent *event)
{
    // A key for a product box's open list may close the list and go to the
    // box instead; the window then previews it as it would with the list closed.
    QObject *target = keyReceiver(receiver, event);
    if (!target)
        return true;
    QPointer<QObject> alive(target);
    dispatchKeyPreview(target, event);
    if (!alive)
        return true;
    return QApplication::notify(target, event);
}
