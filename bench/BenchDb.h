#pragma once
// The keyed database file a benchmark runs on: created fresh in a temporary
// folder and opened as the program opens its own.

#include <QTemporaryDir>
#include <cstdio>

#include "platform/AdoDb.h"
#include "platform/DbSchema.h"

namespace bench {

// Creates the database file under `dir` (with the sample containers when
// `seedContainers`) and opens `conn` on it. False, with the reason written
// to stderr, when the file cannot be created.
inline bool openDatabase(const QTemporaryDir& dir, bool seedContainers, TADOConnection& conn) {
    const QString path = dir.path() + "/db/tmsdb.mdb";
    QString err;
    if (!tms::createDatabase(path, tms::kDatabasePassword, seedContainers, &err)) {
        std::fprintf(stderr, "cannot create the database: %s\n", err.toLocal8Bit().constData());
        return false;
    }
    conn.Open(makeConnectionString(path, QString::fromLatin1(tms::kDatabasePassword)));
    return true;
}

}  // namespace bench
