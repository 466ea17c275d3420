#pragma once

class Database;

// A small catalogue of everyday goods and a settings row, so that a new
// installation can ring up a sale at once.
namespace DemoCatalogue {
void fill(Database &db);
}
