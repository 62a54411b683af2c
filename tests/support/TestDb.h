#pragma once
// A fresh keyed database in a temporary folder, for tests.

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
        if (!tms::createDatabase(path, tms::kDatabasePassword, seed, &err))
            throw std::runtime_error(err.toStdString());
        conn.Open(connectionText(path, tms::kDatabasePassword));
    }
    static QString connectionText(const QString& file, const QString& pw) {
        return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + file +
               ";Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:System database=\"\";"
               "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=\"" + pw +
               "\";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1";
    }
};
