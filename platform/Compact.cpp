#include "platform/Compact.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdlib>

#include "platform/AdoDb.h"

namespace {

// Earlier versions compacted into a copy named like GetTempPathFileName's
// names (in the temporary folder, then duplicated beside the database) and
// renamed it over the database; a killed run left those copies behind.
// Removing one that a run of such a version still uses only makes that run
// fail before it touches the database.
void removeStagingCopies(const QString& folder) {
    static const QRegularExpression name(QStringLiteral("^~SM[A-Za-z0-9]{6}\\.tmp(-journal)?$"));
    const uid_t self = ::geteuid();
    const QDir dir(folder);
    for (const QString& f : dir.entryList({QStringLiteral("~SM*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.match(f).hasMatch()) continue;
        const QByteArray path = QFile::encodeName(dir.filePath(f));
        struct stat st;
        // Only plain files of our own: never follow a link, never another user's file.
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != self) continue;
        ::unlink(path.constData());
    }
}

// A file nobody may write (no write permission bit, as a read-only file on
// other systems) is left alone even where the permissions would not stop us.
bool writeProtected(const QString& file) {
    const QByteArray path = QFile::encodeName(file);
    struct stat st;
    if (::stat(path.constData(), &st) != 0) return true;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.constData(), W_OK) != 0;
}

}  // namespace

QString GetTempPathFileName() {
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return QString();
    QByteArray name = QFile::encodeName(folder + QStringLiteral("/~SMXXXXXX.tmp"));
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) return QString();
    ::close(fd);
    ::unlink(name.constData());
    return QFile::decodeName(name);
}

bool CompactDatabase(const QString& FileName, const QString& Password) {
    try {
        TADOConnection db;
        db.ConnectionString = makeConnectionString(FileName, Password);
        const QFileInfo file(db.dataSourceFile());
        removeStagingCopies(file.absolutePath());
        removeStagingCopies(QDir::tempPath());
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
