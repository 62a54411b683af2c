#pragma once
// Creation of a new, empty database file keyed with the program's password.

#include <QString>

namespace tms {

// The database password written into the program.
inline constexpr const char* kDatabasePassword = "qorvanel";

// The SQL that creates every table and index.
const char* schemaSql();

// Creates `path` (and its folder) with every table, keyed with `password`,
// optionally seeded with the common freight container types. Never touches
// an existing file: returns false, with the reason in *error, when `path`
// exists or anything fails; a half-made file is never left behind.
bool createDatabase(const QString& path, const QString& password, bool seedContainers, QString* error = nullptr);

}  // namespace tms
