#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What opening a data file did and found, for the notice after opening.
struct OpeningReport
{
    // The copy kept beside the file before it was upgraded; empty when the
    // file needed no upgrade.
    QString backupPath;
    // Product codes that the lookup takes for one (the same but for the case
    // of letters), each group as stored.
    QList<QStringList> codesAlike;

    // The notice for the shop; empty when there is nothing to tell.
    QString notice() const;
};
