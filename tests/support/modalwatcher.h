#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// Answers the modal message boxes a test provokes, for real: it waits for a
// box to come up, records what it says and presses one of its buttons.
class ModalWatcher final : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    // answer: the button to press; NoButton presses the default (or Esc when none).
    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton,
                          QObject *parent = nullptr);

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    // Press Esc instead of a button.
    void answerWithEscape(bool escape) { m_escape = escape; }

    const QList<Seen> &seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }
    QString lastText() const { return m_seen.isEmpty() ? QString() : m_seen.last().text; }
    void clear() { m_seen.clear(); }

private:
    void poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    bool m_escape = false;
    QList<Seen> m_seen;
};
