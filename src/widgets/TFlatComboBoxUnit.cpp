#include "TFlatComboBoxUnit.h"

#include <QListView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

TFlatComboBox::TFlatComboBox(QWidget *parent)
    : QComboBox(parent)
    , m_model(new QStringListModel(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(m_model);
    setCurrentIndex(-1);
    // A long list is shown with uniform rows, so it does not measure every entry.
    auto *list = new QListView(this);
    list->setUniformItemSizes(true);
    setView(list);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::activated, this, [this] { emit selectionChanged(); });
}

void TFlatComboBox::setItems(const QStringList &items)
{
    const QString text = currentText();
    m_model->setStringList(items);
    setCurrentIndex(-1);
    setEditText(text);
}

QStringList TFlatComboBox::items() const
{
    return m_model->stringList();
}

void TFlatComboBox::clearAll()
{
    m_model->setStringList({});
    setCurrentIndex(-1);
    setEditText(QString());
}

void TFlatComboBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
