#include "platform/Compact.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

#include <cstdlib>
#include <cstring>

#include "platform/AdoDb.h"

namespace {

struct Fail {};  // any step that goes wrong ends the compaction

void check(bool ok) {
    if (!ok) throw Fail{};
}

// Runs one statement with text values bound to ?1, ?2, ... and returns the
// first column of its first row ("" when it returns none).
QString run(TADOConnection& db, const QString& sql, const QStringList& values = {}) {
    TPreparedStatement s(db, sql);
    for (int i = 0; i < values.size(); ++i) s.bindText(i + 1, values[i]);
    return s.firstText();
}

QStringList tableNames(TADOConnection& db) {
    TADOQuery q(&db);
    q.setSQL(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
    q.Open();
    QStringList names;
    for (q.First(); !q.Eof(); q.Next()) names << q.Fields(0).AsString();
    return names;
}

QString rowCount(TADOConnection& db, QString table) {
    table.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return run(db, "SELECT count(*) FROM \"" + table + "\"");
}

// True when some process, this one too unless `othersOnly` is set, has
// the file open. Processes whose open files cannot be listed are not seen.
bool heldOpen(const QByteArray& file, bool othersOnly) {
    struct stat target;
    if (::stat(file.constData(), &target) != 0) return true;
    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc) return true;  // cannot tell: do not take the risk
    bool held = false;
    while (!held) {
        dirent* p = ::readdir(proc);
        if (!p) break;
        char* end = nullptr;
        const long pid = std::strtol(p->d_name, &end, 10);
        if (*end != '\0' || pid <= 0) continue;
        if (othersOnly && pid == self) continue;
        const QByteArray fdDir = QByteArray("/proc/") + p->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.constData());
        if (!fds) continue;
        while (dirent* f = ::readdir(fds)) {
            if (f->d_name[0] == '.') continue;
            struct stat st;
            const QByteArray link = fdDir + '/' + f->d_name;
            if (::stat(link.constData(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino) {
                held = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return held;
}

void syncFolder(const QByteArray& dir) {
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Copies `from` to the new file `to` (which must not exist yet), with the
// mode and owner of `like`, and flushes it to the disk. Sets *made once
// the file is there, so the caller can remove it on failure.
void copyNew(const QByteArray& from, const QByteArray& to, const struct stat& like, QByteArray* made) {
    const int in = ::open(from.constData(), O_RDONLY);
    check(in >= 0);
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (out < 0) {
        ::close(in);
        throw Fail{};
    }
    *made = to;
    bool ok = true;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    if (ok && ::fchown(out, like.st_uid, like.st_gid) != 0) {
        // Keeping the owner needs privileges; the mode is what matters.
    }
    ok = ok && ::fchmod(out, like.st_mode & 07777) == 0;
    ok = ok && ::fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    check(ok);
}

// The files a compaction made, to be removed when it ends.
struct Made {
    bool copy = false;   // the compacted copy in the temporary folder
    QByteArray staging;  // its duplicate beside the database, until renamed
};

// Holds the steps; throws Fail.
void compact(const QString& fileName, const QString& password, const QString& tmp, Made* made) {
    TADOConnection source;
    source.ConnectionString = makeConnectionString(fileName, password);
    const QString real = QFileInfo(source.dataSourceFile()).canonicalFilePath();
    check(!real.isEmpty() && QFileInfo(real).isFile());
    const QByteArray db = QFile::encodeName(real);
    const QByteArray folder = QFile::encodeName(QFileInfo(real).absolutePath());

    // A compaction needs the database closed everywhere.
    check(!heldOpen(db, false));
    source.Open(makeConnectionString(real, password));
    TADOConnection& h = source;
    // Keep the lock of the first read until the end: nobody writes meanwhile.
    run(h, "PRAGMA locking_mode=EXCLUSIVE");
    const QStringList tables = tableNames(h);

    // The copy starts as an empty file of our own (an empty file is an
    // empty database); a name someone else took meanwhile ends it here.
    const int fd = ::open(QFile::encodeName(tmp).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    check(fd >= 0);
    made->copy = true;
    ::close(fd);
    run(h, "ATTACH DATABASE ?1 AS compacted KEY ?2", {tmp, password});
    run(h, "SELECT sqlcipher_export('compacted')");
    run(h, "DETACH DATABASE compacted");

    // The copy must open as the program opens its database and hold every row.
    {
        TADOConnection copy;
        copy.Open(makeConnectionString(tmp, password));
        check(run(copy, "PRAGMA integrity_check") == QLatin1String("ok"));
        check(tableNames(copy) == tables);
        for (const QString& t : tables) check(rowCount(copy, t) == rowCount(h, t));
        const QString version = run(h, "PRAGMA user_version");
        if (run(copy, "PRAGMA user_version") != version)
            run(copy, "PRAGMA user_version=" + QString::number(version.toLongLong()));
        copy.Close();
    }

    struct stat like;
    check(::stat(db.constData(), &like) == 0);
    const QByteArray beside = folder + '/' + QFile::encodeName(QFileInfo(tmp).fileName());
    copyNew(QFile::encodeName(tmp), beside, like, &made->staging);

    // Only this compaction may hold the file, and no journal may wait to be
    // played back into it.
    check(!heldOpen(db, true));
    check(!QFileInfo::exists(real + QStringLiteral("-journal")) && !QFileInfo::exists(real + QStringLiteral("-wal")));
    check(::rename(beside.constData(), db.constData()) == 0);
    made->staging.clear();
    syncFolder(folder);
    source.Close();
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
    const QString tmp = GetTempPathFileName();
    if (tmp.isEmpty()) return false;
    Made made;
    bool ok = false;
    try {
        compact(FileName, Password, tmp, &made);
        ok = true;
    } catch (...) {
        ok = false;
    }
    if (!made.staging.isEmpty()) ::unlink(made.staging.constData());
    if (made.copy) {
        QFile::remove(tmp);
        QFile::remove(tmp + QStringLiteral("-journal"));
    }
    return ok;
}
