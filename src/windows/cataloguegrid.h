#pragma once

#include <QTableView>

class CatalogueModel;

// The catalogue's editable grid. Typing, a double click or a click on the
// current cell opens the cell editor. Before another row becomes current the
// row being changed is written; when that write is refused the refusal is
// shown and the grid stays on the row.
class CatalogueGrid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CatalogueGrid)

public:
    explicit CatalogueGrid(QWidget *parent = nullptr);

    void setCatalogue(CatalogueModel *model);
    CatalogueModel *catalogue() const { return m_model; }
    void setColors(const QColor &cells, const QColor &fixed);

    bool isEditingCell() const { return state() == EditingState; }
    // Puts the text of an open cell editor into its row; the editor stays open.
    void commitOpenEditor();
    // Puts the text of an open cell editor into its row and closes the editor.
    void finishEditing();
    // Makes a cell current and shows it (no-op for a row the grid lacks).
    void goTo(int row, int column);

signals:
    void titleClicked(const QString &field);
    // Enter, in the grid or in its cell editor; the window decides what it does.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool mayMoveTo(int row);

    CatalogueModel *m_model = nullptr;
};
