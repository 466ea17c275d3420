#pragma once

#include <QString>

// A test's own SQL with the stored names put in from tables.h, so that no
// test spells one: "{SalesRecord}" is the sales record's table,
// "{SalesRecord.date}" its date column, and a bare "{date}" the date column
// of the first table the text names that has one. A name it does not know
// stops the run.
//
//     file.rows(withNames("select {code}, {name} from {Catalogue} order by {code}"))
QString withNames(const char *text);
