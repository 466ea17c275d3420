#pragma once

#include "transfer/importreport.h"
#include "transfer/productimport.h"

#include <QDialog>

#include <memory>

class Database;
class FlatCheckBox;
class FlatSpeedButton;
class QLabel;
class QStandardItemModel;
class QTableView;

// Importing a product list, in two steps in one window. First what was
// found in the file — encoding, separator, which columns hold code, name and
// price, the first rows — and what to do with codes the catalogue has; the
// shop confirms. Then what the import did: the counts and each row it left
// out, with its line and reason, which can be saved as CSV.
class ProductImportDialog final : public QDialog
{
    Q_OBJECT

public:
    // Reads the start of the file; throws Refusal or FileError when it is
    // no list that can be imported.
    ProductImportDialog(Database &db, const QString &filePath, QWidget *parent = nullptr);
    ~ProductImportDialog() override;

    QLabel *fileLabel() const { return m_fileLabel; }
    QLabel *formatLabel() const { return m_formatLabel; }
    QLabel *columnsLabel() const { return m_columnsLabel; }
    QLabel *summaryLabel() const { return m_summaryLabel; }
    QTableView *grid() const { return m_grid; }
    FlatCheckBox *updateBox() const { return m_updateBox; }
    FlatCheckBox *skipBox() const { return m_skipBox; }
    FlatSpeedButton *importButton() const { return m_importButton; }
    FlatSpeedButton *saveReportButton() const { return m_saveReportButton; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }

    // True once the import has written to the catalogue.
    bool imported() const { return m_imported; }
    const ImportReport &report() const { return m_report; }

    // What the buttons ask for.
    void startImport();   // writes the file's good rows, then shows the report
    void saveReport();    // asks where, then writes the bad rows as CSV

private:
    void buildControls();
    void showPreview();
    void showReport();

    Database &m_db;
    ProductImport m_import;
    ImportReport m_report;
    bool m_imported = false;

    QLabel *m_fileLabel = nullptr;
    QLabel *m_formatLabel = nullptr;
    QLabel *m_columnsLabel = nullptr;
    QLabel *m_summaryLabel = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_rows = nullptr;
    FlatCheckBox *m_updateBox = nullptr;
    FlatCheckBox *m_skipBox = nullptr;
    FlatSpeedButton *m_importButton = nullptr;
    FlatSpeedButton *m_saveReportButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
};
