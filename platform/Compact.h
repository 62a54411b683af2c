#pragma once
// Compaction of the closed database file on exit.

#include <QString>

// A file name in the user's temporary folder that no file occupies: a
// unique file with the prefix "~SM" is created there and deleted at once,
// so that only its name is used. "" when the folder cannot be written.
QString GetTempPathFileName();

// Writes a compacted copy of the keyed database `FileName` (backslashes
// read as separators) under a temporary name and, only once that copy is
// complete and checked and while no process holds the database open (this
// one included), puts it in place of the database by an atomic rename in
// the database's own folder. True when the database was replaced. Any
// failure leaves the database as it was and no temporary file behind, and
// reports nothing.
bool CompactDatabase(const QString& FileName, const QString& Password);
