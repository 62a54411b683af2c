#include "platform/DbSchema.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

namespace tms {

namespace {

struct Seed {
    const char *no, *name;
    int l, w, h, maxWeight;
    const char* model;
};

// Inner sizes in mm and load limits in kg of the common dry containers.
const Seed kContainers[] = {
    {"20GP", "20尺普柜", 5898, 2352, 2393, 28200, "20GP"},
    {"40GP", "40尺普柜", 12032, 2352, 2393, 26700, "40GP"},
    {"40HQ", "40尺高柜", 12032, 2352, 2698, 26460, "40HQ"},
    {"45HQ", "45尺高柜", 13556, 2352, 2698, 27700, "45HQ"},
};

bool fail(QString* error, const QString& msg) {
    if (error) *error = msg;
    return false;
}

}  // namespace

bool createDatabase(const QString& path, const QString& password, bool seedContainers, QString* error) {
    QFileInfo target(path);
    if (target.exists()) return fail(error, QStringLiteral("file exists: ") + path);
    if (!QDir().mkpath(target.absolutePath())) return fail(error, QStringLiteral("cannot create folder ") + target.absolutePath());

    // Built under a temporary name in the same folder, then linked into
    // place only if no file has appeared under the name meanwhile.
    const QString tmp = target.absolutePath() + QStringLiteral("/.tmsdb-new-%1").arg(::getpid());
    QFile::remove(tmp);
    const QByteArray tmpName = QFile::encodeName(tmp);

    sqlite3* db = nullptr;
    bool ok = false;
    QString msg;
    if (sqlite3_open_v2(tmpName.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        char* err = nullptr;
        if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, &err) == SQLITE_OK &&
            sqlite3_exec(db, schemaSql(), nullptr, nullptr, &err) == SQLITE_OK) {
            ok = true;
            if (seedContainers) {
                sqlite3_stmt* s = nullptr;
                ok = sqlite3_prepare_v2(db,
                                        "INSERT INTO HoldVehicles (VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,"
                                        "MaxWeight,Model,VehicleRemark) VALUES (?,?,?,?,?,?,?,'')",
                                        -1, &s, nullptr) == SQLITE_OK;
                for (const Seed& c : kContainers) {
                    if (!ok) break;
                    sqlite3_reset(s);
                    sqlite3_bind_text(s, 1, c.no, -1, SQLITE_STATIC);
                    sqlite3_bind_text(s, 2, c.name, -1, SQLITE_STATIC);
                    sqlite3_bind_int(s, 3, c.l);
                    sqlite3_bind_int(s, 4, c.w);
                    sqlite3_bind_int(s, 5, c.h);
                    sqlite3_bind_int(s, 6, c.maxWeight);
                    sqlite3_bind_text(s, 7, c.model, -1, SQLITE_STATIC);
                    ok = sqlite3_step(s) == SQLITE_DONE;
                }
                sqlite3_finalize(s);
            }
            if (ok) ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, &err) == SQLITE_OK;
        }
        if (!ok) msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(err);
    } else {
        msg = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);

    if (ok && ::link(tmpName.constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        msg = QStringLiteral("cannot create ") + path;
    }
    QFile::remove(tmp);
    QFile::remove(tmp + QStringLiteral("-journal"));
    return ok ? true : fail(error, msg);
}

}  // namespace tms
