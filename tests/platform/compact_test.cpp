#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/AdoDb.h"
#include "platform/Compact.h"
#include "platform/DbSchema.h"
#include "platform/Dialogs.h"

namespace {

const QString kPassword = QString::fromLatin1(tms::kDatabasePassword);

QString connectionText(const QString& file, const QString& password) {
    return makeConnectionString(file, password);
}

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A database with many deleted rows, in a private temporary folder that
// also serves as the system's temporary folder while the test runs.
class Compaction : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString tmp = dir.path() + "/tmp";
    QString path = dir.path() + "/db/tmsdb.mdb";
    QByteArray savedTmpdir = qgetenv("TMPDIR");

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(tmp));
        qputenv("TMPDIR", tmp.toUtf8());
        QString err;
        ASSERT_TRUE(tms::createDatabase(path, kPassword, false, &err)) << err.toStdString();
        TADOConnection c;
        c.Open(connectionText(path, kPassword));
        TTransaction t(c);
        const QString filler(400, QChar(u'货'));
        for (int i = 0; i < 1500; ++i)
            c.Execute("insert into HoldGoods(GoodsNo,GoodsName,Length,GoodsRemark) values (?,?,?,?)",
                      {QString("G%1").arg(i, 4, 10, QChar('0')), "纸箱", i, filler});
        c.Execute("delete from HoldGoods where Length >= 100");
        t.Commit();
    }
    void TearDown() override {
        if (savedTmpdir.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmpdir);
    }

    // Every "~SM" file in the temporary folder or beside the database.
    QStringList leftovers() const {
        QStringList out;
        for (const QString& d : {tmp, dir.path() + "/db"})
            for (const QString& f : QDir(d).entryList({"~SM*"}, QDir::Files | QDir::Hidden)) out << d + "/" + f;
        return out;
    }
    QStringList rows() const {
        TADOConnection c;
        c.Open(connectionText(path, kPassword));
        TADOQuery q(&c);
        q.setSQL("select GoodsNo, GoodsRemark from HoldGoods order by GoodsNo");
        q.Open();
        QStringList out;
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldByName("GoodsNo").AsString() + ":" + QString::number(q.FieldByName("GoodsRemark").AsString().size());
        return out;
    }
};

TEST_F(Compaction, TemporaryNameIsFreeAndCarriesThePrefix) {
    const QString a = GetTempPathFileName(), b = GetTempPathFileName();
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith("~SM")) << a.toStdString();
    EXPECT_EQ(QFileInfo(a).absolutePath(), QFileInfo(tmp).absoluteFilePath());
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_NE(a, b);
}

TEST_F(Compaction, ShrinksTheFileAndKeepsEveryRow) {
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QStringList before = rows();
    ASSERT_EQ(before.size(), 100);
    const qint64 size = QFileInfo(path).size();

    tms::ui::BoxRecorder boxes;
    // The path as the program spells it: backslashes and a doubled separator.
    EXPECT_TRUE(CompactDatabase(dir.path() + "/\\db\\tmsdb.mdb", kPassword));
    EXPECT_LT(QFileInfo(path).size(), size / 4);
    EXPECT_EQ(rows(), before);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(" ").toStdString();
    EXPECT_TRUE(boxes.boxes().isEmpty());

    // The compacted file is a database the program opens like the old one.
    TADOConnection c;
    c.Open(connectionText(path, kPassword));
    c.Execute("insert into HoldGoods(GoodsNo) values ('NEW')");
    EXPECT_THROW(c.Execute("insert into HoldGoods(GoodsNo) values ('new')"), EDatabaseError);  // index kept
}

TEST_F(Compaction, AnotherProcessHoldingTheFileStopsIt) {
    const QByteArray hash = hashOf(path);
    QProcess holder;
    holder.start("/bin/sh", {"-c", "exec 3<\"$0\"; echo ready; read x", path});
    ASSERT_TRUE(holder.waitForReadyRead(10000));

    tms::ui::BoxRecorder boxes;
    EXPECT_FALSE(CompactDatabase(path, kPassword));
    EXPECT_EQ(hashOf(path), hash);
    EXPECT_TRUE(leftovers().isEmpty());
    EXPECT_TRUE(boxes.boxes().isEmpty());

    holder.write("done\n");
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_TRUE(CompactDatabase(path, kPassword));  // free again
}

TEST_F(Compaction, AConnectionOfThisProcessStopsItToo) {
    const QByteArray hash = hashOf(path);
    {
        TADOConnection c;
        c.Open(connectionText(path, kPassword));
        EXPECT_FALSE(CompactDatabase(path, kPassword));
        EXPECT_EQ(hashOf(path), hash);
        EXPECT_EQ(c.Execute("update HoldGoods set Length = Length"), 100);  // still usable
    }
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Compaction, FailuresLeaveTheDatabaseAsItWas) {
    const QByteArray hash = hashOf(path);
    EXPECT_FALSE(CompactDatabase(path, "wrong password"));
    EXPECT_EQ(hashOf(path), hash);

    // A journal waiting beside the file would be played into the new one.
    QFile journal(path + "-journal");
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.close();
    EXPECT_FALSE(CompactDatabase(path, kPassword));
    EXPECT_EQ(hashOf(path), hash);
    QFile::remove(path + "-journal");

    const QString missing = dir.path() + "/db/none.mdb";
    EXPECT_FALSE(CompactDatabase(missing, kPassword));
    EXPECT_FALSE(QFile::exists(missing));

    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Compaction, UnwritableTemporaryFolderStopsIt) {
    const QByteArray hash = hashOf(path);
    qputenv("TMPDIR", (dir.path() + "/no such folder").toUtf8());
    EXPECT_EQ(GetTempPathFileName(), "");
    EXPECT_FALSE(CompactDatabase(path, kPassword));
    EXPECT_EQ(hashOf(path), hash);
}

}  // namespace
