#pragma once
// Creation of a new, empty database file keyed with the program's password.

#include <QString>

namespace tms {

// The database password written into the program.
inline constexpr const char* kDatabasePassword = "qorvanel";

// Schema version stored in PRAGMA user_version of every new database. A
// file with a higher version was made by a newer program and is refused;
// 0 marks files made before versions were stored and is read as 1.
inline constexpr int kSchemaVersion = 1;

// The SQL that creates every table and index.
const char* schemaSql();

// Creates `path` (and its folder) with every table, keyed with `password`,
// stamped with kSchemaVersion,
// optionally seeded with the common freight container types. Never touches
// an existing file: returns false, with the reason in *error, when `path`
// exists or anything fails; a half-made file is never left behind.
bool createDatabase(const QString& path, const QString& password, bool seedContainers, QString* error = nullptr);

}  // namespace tms
