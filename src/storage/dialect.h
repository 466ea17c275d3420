#pragma once

// The SQL a database speaks. A shop's database is an SQLite file (one till)
// or a database on a PostgreSQL server (several tills). Tables, columns and
// most statements are the same on both; where they differ, the schema and
// the statements hold the PostgreSQL text beside the SQLite one.
enum class Dialect { Sqlite, Postgres };
