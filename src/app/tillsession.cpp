#include "tillsession.h"

#include "app/localsettings.h"

#include "base/apperror.h"
#include "storage/databaseaddress.h"
#include "widgets/apperrorbox.h"
#include "windows/databasedialog.h"

TillSession::TillSession(const QString &databasePath, int tillNumber, const QString &localCopy)
    : m_serverWatch(m_db)
    , m_automaticBackup(m_db)
    , m_copyKeeper(m_db)
    , m_window(m_db, m_serverWatch, m_automaticBackup)
{
    m_db.setTill(tillNumber);
    m_db.setLocalCopy(localCopy);
    m_window.watchCopy(m_copyKeeper);
    QObject::connect(&m_db, &Database::catalogueChanged, &m_copyKeeper, &CopyKeeper::refreshSoon);
    QObject::connect(&m_serverWatch, &ServerWatch::reconnected, &m_copyKeeper, &CopyKeeper::refreshSoon);
    QObject::connect(&m_window, &CashierWindow::databaseChoiceAsked, &m_window,
                     [this](QWidget *over) { chooseDatabase(over); });
    openDatabase(databasePath);
    m_automaticBackup.start();
    m_copyKeeper.start();
}

TillSession::~TillSession() = default;

void TillSession::openDatabase(const QString &databasePath)
{
    // A file that cannot be used is not opened at all, so no sale is taken
    // that could not be recorded; the box says why and where. A shared
    // server may be out of reach: the window opens all the same, the watch
    // connects as soon as the server answers, and selling waits.
    try {
        const QString notice = m_db.open(databasePath).notice();
        if (!notice.isEmpty())
            AppBoxes::showNotice(notice);
    } catch (const ConnectionLost &e) {
        // With its own copy the till sells at once; the watch brings it back.
        if (!m_db.useLocalCopy())
            m_window.setStartProblem(e.message());
        m_serverWatch.start();
    } catch (const DataFileError &e) {
        AppBoxes::showConnectionError(e.message());
    } catch (const AppError &e) {
        // A database on a server says what is wrong with it once the window shows.
        if (DatabaseAddress::isServerAddress(databasePath))
            m_window.setStartProblem(e.message());
        else
            AppBoxes::showConnectionError();
    }
}

std::unique_ptr<DatabaseDialog> TillSession::databaseDialog(const QString &currentAddress, QWidget *parent,
                                                           const QString &lastSynchronised)
{
    const LocalSettings stored = LocalSettings::load();
    auto dialog = std::make_unique<DatabaseDialog>(currentAddress, stored.databaseAddress, stored.tillNumber, parent);
    if (DatabaseAddress::isServerAddress(currentAddress))
        dialog->showLastSynchronised(lastSynchronised);
    // A file that cannot be written throws out of the dialog's save, which stays open.
    QObject::connect(dialog.get(), &DatabaseDialog::chosen, dialog.get(), [](const QString &address, int till) {
        LocalSettings{address, till}.save();
    });
    return dialog;
}

void TillSession::chooseDatabase(QWidget *over)
{
    databaseDialog(m_db.address().text(), over, m_db.localCopy().isEmpty() ? QString() : m_copyKeeper.lastSynchronised())
        ->exec();
}
