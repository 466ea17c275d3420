#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QStringList>
#include <QTimer>

// Answers the file pickers a test provokes, for real: it waits for a file
// dialog to come up, records its title, picks the next path given (or
// cancels when none is left) and accepts.
class FileDialogAnswers final
{
public:
    explicit FileDialogAnswers(QStringList paths = {})
        : m_paths(std::move(paths))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }

    void add(const QString &path) { m_paths << path; }
    const QStringList &titles() const { return m_titles; }

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->property("fenwoAnswered").toBool())
            return;
        dialog->setProperty("fenwoAnswered", true);
        m_titles << dialog->windowTitle();
        if (m_paths.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(m_paths.takeFirst());
        static_cast<QDialog *>(dialog)->accept();   // QFileDialog::accept checks the choice
    }

    QStringList m_paths;
    QStringList m_titles;
    QTimer m_timer;
};
