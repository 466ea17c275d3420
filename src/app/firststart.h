#pragma once

#include <QString>

class QWidget;

// The first start of an installed program: the shop's data file is not there
// yet, so the program asks what to make (a new empty catalogue, or the demo
// catalogue to try a sale at once) instead of failing to connect.
namespace FirstStart {

enum class Choice { EmptyCatalogue, DemoCatalogue, Cancel };
enum class Outcome { Ready, Cancelled, Failed };

// The question box. Esc and the close mark answer Cancel.
Choice ask(const QString &databasePath, QWidget *parent = nullptr);

// Makes the folder and the file with every table (and the demo goods).
// Throws AppError; a file it could not finish is removed again, so the next
// start asks once more.
void makeDatabase(const QString &databasePath, Choice choice);

// Asks, then makes. Cancelled: nothing was made. Failed: the error box said why.
Outcome run(const QString &databasePath);

} // namespace FirstStart
