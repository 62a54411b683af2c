#pragma once
// Compaction of the database file on exit.

#include <QString>

// A file name in the user's temporary folder that no file occupies: a
// unique file with the prefix "~SM" is created there and deleted at once,
// so that only its name is used. "" when the folder cannot be written.
QString GetTempPathFileName();

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
// Staging copies that earlier versions of the program left beside the
// database or in the temporary folder ("~SM*.tmp") are removed first.
bool CompactDatabase(const QString& FileName, const QString& Password);
