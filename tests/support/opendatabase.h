#pragma once

#include "storage/database.h"
#include "testdatabase.h"

// A fresh test database with the program's own connection open on it: the
// test writes and checks rows through `file`, the code under test works on
// `db`. The connection closes before the database goes.
struct OpenDatabase final
{
    OpenDatabase() { db.open(file.path()); }

    TestDatabase file;
    Database db;
};
