#pragma once
// A fresh keyed database in a temporary folder, for tests: `path` is the
// file, `conn` is open on it as the program opens its database.

#include <QTemporaryDir>

#include "platform/AdoDb.h"
#include "platform/DbSchema.h"

struct TestDb {
    QTemporaryDir dir;
    QString path;
    TADOConnection conn;

    explicit TestDb(bool seed = false) {
        path = dir.path() + "/db/tmsdb.mdb";
        QString err;
        if (!tms::createDatabase(path, tms::kDatabasePassword, seed, &err)) throw std::runtime_error(err.toStdString());
        conn.Open(makeConnectionString(path, tms::kDatabasePassword));
    }
};
