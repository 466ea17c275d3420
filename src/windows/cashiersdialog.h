#pragma once

#include "storage/cashiers.h"
#include "till/pinplaces.h"

#include <QDialog>
#include <QMap>

class Database;
class QCheckBox;
class QTableWidget;

// The shop's cashiers: whether they sign in at the till, and each one's
// number, name, PIN (typed only to set a new one) and whether they may still
// sign in. A cashier is switched off, never deleted. And where the owner's
// PIN is asked, each place on or off. Saved together.
class CashiersDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CashiersDialog)

public:
    CashiersDialog(Database &db, QWidget *parent);

    QCheckBox *signInBox() const { return m_signInBox; }
    QTableWidget *table() const { return m_table; }
    QCheckBox *placeBox(PinPlaces::Place place) const { return m_placeBoxes.value(place); }

    void addCashier();
    // A new PIN for the chosen cashier, asked twice.
    void setPin();
    // Stores everything and closes; a name left empty is refused.
    void save();

private:
    enum Column { Number, Name, Active, NB_COLUMNS };

    void showCashiers(const QList<Cashier> &cashiers);

    Database &m_db;
    QCheckBox *m_signInBox = nullptr;
    QTableWidget *m_table = nullptr;
    QList<QString> m_pinHashes;   // by row, as stored or newly set
    QMap<PinPlaces::Place, QCheckBox *> m_placeBoxes;
};
