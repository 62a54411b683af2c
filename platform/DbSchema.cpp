#include "platform/DbSchema.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <unistd.h>

#include "platform/AdoDb.h"

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

void stampVersion(TADOConnection& db, int version) {
    db.ExecuteScript(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

// The schema's steps: entry v takes a file of version v to v + 1. A change
// of the tables appends its step here, raises kSchemaVersion and changes
// db/schema.sql, which makes the tables of a new file, to match. A step
// never drops a row: what it reshapes it copies first.
const TSchemaStep kSchemaSteps[] = {
    // 0 -> 1: files made before versions were stored hold the tables of
    // version 1; only the stamp is new.
    {[](TADOConnection&) {}, true},
};
static_assert(std::size(kSchemaSteps) == kSchemaVersion, "one step per schema version");

}  // namespace

bool createDatabase(const QString& path, const QString& password, bool seedContainers, QString* error) {
    QFileInfo target(path);
    if (target.exists()) return fail(error, QStringLiteral("file exists: ") + path);
    if (!QDir().mkpath(target.absolutePath()))
        return fail(error, QStringLiteral("cannot create folder ") + target.absolutePath());

    // Built under a temporary name in the same folder, then linked into
    // place only if no file has appeared under the name meanwhile.
    const QString tmp = target.absolutePath() + QStringLiteral("/.tmsdb-new-%1").arg(::getpid());
    QFile::remove(tmp);
    const QByteArray tmpName = QFile::encodeName(tmp);

    bool ok = false;
    QString msg;
    try {
        TADOConnection db;
        db.OpenNew(tmp, password);
        TTransaction t(db);
        db.ExecuteScript(QString::fromUtf8(schemaSql()));
        stampVersion(db, kSchemaVersion);
        if (seedContainers) {
            TPreparedStatement ins(
                db, QStringLiteral("INSERT INTO HoldVehicles (VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,"
                                   "MaxWeight,Model,VehicleRemark) VALUES (?,?,?,?,?,?,?,'')"));
            for (const Seed& c : kContainers) {
                ins.bindText(1, std::string_view(c.no));
                ins.bindText(2, std::string_view(c.name));
                ins.bindInt(3, c.l);
                ins.bindInt(4, c.w);
                ins.bindInt(5, c.h);
                ins.bindInt(6, c.maxWeight);
                ins.bindText(7, std::string_view(c.model));
                ins.run();
            }
        }
        t.Commit();
        db.Close();
        ok = true;
    } catch (const EDatabaseError& e) {
        msg = e.message();
    }

    if (ok && ::link(tmpName.constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        msg = QStringLiteral("cannot create ") + path;
    }
    QFile::remove(tmp);
    QFile::remove(tmp + QStringLiteral("-journal"));
    return ok ? true : fail(error, msg);
}

bool upgradeDatabase(TADOConnection& conn, int fromVersion) { return upgradeDatabase(conn, fromVersion, kSchemaSteps); }

bool upgradeDatabase(TADOConnection& conn, int fromVersion, std::span<const TSchemaStep> steps) {
    const int target = static_cast<int>(steps.size());
    if (fromVersion >= target) return true;
    const int first = std::max(fromVersion, 0);
    try {
        TTransaction t(conn);
        for (int v = first; v < target; ++v) steps[static_cast<std::size_t>(v)].apply(conn);
        stampVersion(conn, target);
        t.Commit();
        return true;
    } catch (const EDatabaseError& e) {
        if (std::all_of(steps.begin() + first, steps.end(), [](const TSchemaStep& s) { return s.optional; }))
            return false;
        throw EDatabaseVersionError(
            QStringLiteral("数据库文件的版本（%1）比本程序所用的版本（%2）旧，要先升级才能使用，"
                           "但本程序不能升级它（%3）。数据库文件没有改动。")
                .arg(fromVersion)
                .arg(target)
                .arg(e.message()));
    }
}

}  // namespace tms
