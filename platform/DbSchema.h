#pragma once
// Creation of a new, empty database file keyed with the program's password.

#include <QString>
#include <span>

class TADOConnection;

namespace tms {

// The database password written into the program.
inline constexpr const char* kDatabasePassword = "qorvanel";

// Schema version stored in PRAGMA user_version of every new database. A
// file with a higher version was made by a newer program and is refused;
// an older one is upgraded when it is opened (upgradeDatabase). 0 marks
// files made before versions were stored.
inline constexpr int kSchemaVersion = 1;

// The SQL that creates every table and index.
const char* schemaSql();

// Creates `path` (and its folder) with every table, keyed with `password`,
// stamped with kSchemaVersion,
// optionally seeded with the common freight container types. Never touches
// an existing file: returns false, with the reason in *error, when `path`
// exists or anything fails; a half-made file is never left behind.
bool createDatabase(const QString& path, const QString& password, bool seedContainers, QString* error = nullptr);

// One step of the schema, from a version to the next.
struct TSchemaStep {
    // Turns the tables of a file of the step's version into those of the
    // next one; runs inside the upgrade's transaction and throws
    // EDatabaseError when it fails.
    void (*apply)(TADOConnection& conn);
    // The program reads a file that lacks the step as well as one that has
    // it (the step only stamps, or adds what can be done without): a file
    // that cannot be upgraded then opens at its version instead of being
    // refused.
    bool optional;
};

// Brings the database open on `conn`, of schema version `fromVersion`, up
// to kSchemaVersion: runs the schema's steps from that version on (their
// list in DbSchema.cpp is where a change of the schema goes) and stamps the
// new version, all in one transaction. Returns true when the file is up to
// date. An upgrade that cannot finish (the file or its folder cannot be
// written, another program is writing, a step fails) leaves the file as it
// was: false is returned when every step the file lacks is optional,
// otherwise EDatabaseVersionError is thrown with a Chinese message saying
// the file cannot be upgraded. TADOConnection::Open calls it on every file
// older than kSchemaVersion.
bool upgradeDatabase(TADOConnection& conn, int fromVersion);
// The same over `steps` in place of the schema's own, entry v taking
// version v to v + 1, up to version steps.size().
bool upgradeDatabase(TADOConnection& conn, int fromVersion, std::span<const TSchemaStep> steps);

}  // namespace tms
