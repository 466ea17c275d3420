#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QHBoxLayout;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// The editable lists of the settings dialogs (cashiers, payment methods): a
// table of whole rows with one column taking the spare width, and a row of
// buttons under it whose errors the error box shows.
namespace ListTable {

QTableWidget *make(QWidget *parent, const QStringList &headers, int stretchColumn);

struct Button
{
    QString caption;
    std::function<void()> onClick;
};
QHBoxLayout *buttonRow(QWidget *parent, const QList<Button> &buttons);

// A cell with a tick box only.
QTableWidgetItem *checkItem(bool checked);
// A cell that can be selected, not edited.
QTableWidgetItem *fixedItem(const QString &text);

} // namespace ListTable
