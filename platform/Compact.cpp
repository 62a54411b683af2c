#include "platform/Compact.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AdoDb.h"

namespace {

// A file nobody may write (no write permission bit, as a read-only file on
// other systems) is left alone even where the permissions would not stop us.
bool writeProtected(const QString& file) {
    const QByteArray path = QFile::encodeName(file);
    struct stat st;
    if (::stat(path.constData(), &st) != 0) return true;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.constData(), W_OK) != 0;
}

}  // namespace

bool CompactDatabase(const QString& FileName, const QString& Password) {
    try {
        TADOConnection db;
        db.ConnectionString = makeConnectionString(FileName, Password);
        const QFileInfo file(db.dataSourceFile());
        if (!file.isFile() || writeProtected(file.absoluteFilePath())) return false;

        // Opening reads the schema, which rolls back a journal that a killed
        // writer left (a hot journal) before anything else happens.
        db.Open();
        // The engine copies the live rows into a fresh temporary database and
        // writes it back over the file through its rollback journal, holding
        // the exclusive lock: readers and writers of other connections wait
        // or are refused, and a crash leaves a journal that the next opening
        // plays back. It refuses (after the connection's busy wait) while
        // another connection holds a transaction.
        db.Execute(QStringLiteral("VACUUM"));
        db.Close();
        return true;
    } catch (...) {
        // Silent by design: the program is closing, the file stays as it was.
        return false;
    }
}
