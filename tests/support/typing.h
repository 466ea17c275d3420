#pragma once

#include <QTest>
#include <QWidget>

// Types text into a widget as key presses. Characters without a key of their
// own (Chinese, full-width signs) arrive as key events carrying the text, the
// way an input method hands them over.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
