#pragma once
// Compaction of the database file on exit.

#include <QString>

// Compacts the keyed database `FileName` (backslashes read as separators)
// in place and reports nothing; true when it was compacted.
//
// The database engine rewrites the file itself under its exclusive lock and
// through its own rollback journal, so a crash at any point leaves either
// the old or the compacted file, and no save of another connection or
// process is lost: a compaction waits a short while for another
// connection's transaction and gives up (false) when it does not end. An
// idle connection, this process's too, may stay open and sees the same rows
// afterwards. A journal that a killed writer left is rolled back before.
//
// A database file without write permission is left as it is (false).
// No other file is made or removed.
bool CompactDatabase(const QString& FileName, const QString& Password);
