#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>

#include "platform/AdoDb.h"
#include "platform/Compact.h"
#include "platform/DbSchema.h"
#include "platform/Dialogs.h"
#include "tests/support/TempFolder.h"

namespace {

const QString kPassword = QString::fromLatin1(tms::kDatabasePassword);

// A database with many deleted rows, in a private temporary folder that
// also serves as the system's temporary folder while the test runs.
class Compaction : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString tmp = dir.path() + "/tmp";
    QString path = dir.path() + "/db/tmsdb.mdb";
    std::optional<TmpdirOverride> tmpdir;

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(tmp));
        tmpdir.emplace(tmp);
        QString err;
        ASSERT_TRUE(tms::createDatabase(path, kPassword, false, &err)) << err.toStdString();
        TADOConnection c;
        c.Open(makeConnectionString(path, kPassword));
        TTransaction t(c);
        const QString filler(400, QChar(u'货'));
        for (int i = 0; i < 1500; ++i)
            c.Execute("insert into HoldGoods(GoodsNo,GoodsName,Length,GoodsRemark) values (?,?,?,?)",
                      {QString("G%1").arg(i, 4, 10, QChar('0')), "纸箱", i, filler});
        c.Execute("delete from HoldGoods where Length >= 100");
        t.Commit();
    }
    void TearDown() override { tmpdir.reset(); }

    // Every "~SM" file in the temporary folder or beside the database.
    QStringList leftovers() const {
        QStringList out;
        for (const QString& d : {tmp, dir.path() + "/db"})
            for (const QString& f : QDir(d).entryList({"~SM*"}, QDir::Files | QDir::Hidden)) out << d + "/" + f;
        return out;
    }
    QStringList rows() const {
        TADOConnection c;
        c.Open(makeConnectionString(path, kPassword));
        TADOQuery q(&c);
        q.setSQL("select GoodsNo, GoodsRemark from HoldGoods order by GoodsNo");
        q.Open();
        QStringList out;
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldByName("GoodsNo").AsString() + ":" +
                       QString::number(q.FieldByName("GoodsRemark").AsString().size());
        return out;
    }
    QString integrity() const {
        TADOConnection c;
        c.Open(makeConnectionString(path, kPassword));
        TPreparedStatement s(c, "PRAGMA integrity_check");
        return s.firstText();
    }
    bool hasGoods(const QString& no) const {
        TADOConnection c;
        c.Open(makeConnectionString(path, kPassword));
        TPreparedStatement s(c, "select count(*) from HoldGoods where GoodsNo = ?1");
        s.bindText(1, no);
        return s.firstText() == "1";
    }
};

// A second copy of the program working on the same file (compact_peer.cpp).
struct Peer {
    QProcess p;
    explicit Peer(const QStringList& args) {
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(QStringLiteral(TMS_COMPACT_PEER), args);
    }
    ~Peer() {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(10000);
        }
    }
    // Waits for the next line the peer prints ("" when it ends first).
    QString line(int ms = 20000) {
        QElapsedTimer t;
        t.start();
        while (!p.canReadLine()) {
            if (t.elapsed() > ms || !p.waitForReadyRead(ms - static_cast<int>(t.elapsed()))) {
                if (!p.canReadLine()) return QString();
            }
        }
        return QString::fromUtf8(p.readLine()).trimmed();
    }
    bool finishedOk(int ms = 30000) {
        if (p.state() != QProcess::NotRunning) p.waitForFinished(ms);
        const bool ok =
            p.state() == QProcess::NotRunning && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!ok) ADD_FAILURE() << "peer exit " << p.exitCode() << ": " << p.readAllStandardError().toStdString();
        return ok;
    }
};

TEST_F(Compaction, ShrinksTheFileInPlaceAndKeepsEveryRow) {
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QStringList before = rows();
    ASSERT_EQ(before.size(), 100);
    const qint64 size = QFileInfo(path).size();
    struct stat old;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &old), 0);

    tms::ui::BoxRecorder boxes;
    // The path as the program spells it: backslashes and a doubled separator.
    EXPECT_TRUE(CompactDatabase(dir.path() + "/\\db\\tmsdb.mdb", kPassword));
    EXPECT_LT(QFileInfo(path).size(), size / 4);
    EXPECT_EQ(rows(), before);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(st.st_ino, old.st_ino);  // the same file, not a copy put in its place
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(" ").toStdString();
    EXPECT_FALSE(QFile::exists(path + "-journal"));
    EXPECT_TRUE(boxes.boxes().isEmpty());

    // The compacted file is a database the program opens like the old one.
    TADOConnection c;
    c.Open(makeConnectionString(path, kPassword));
    c.Execute("insert into HoldGoods(GoodsNo) values ('NEW')");
    EXPECT_THROW(c.Execute("insert into HoldGoods(GoodsNo) values ('new')"), EDatabaseError);  // index kept
    TPreparedStatement v(c, "PRAGMA user_version");
    EXPECT_EQ(v.firstText(), QString::number(tms::kSchemaVersion));
}

TEST_F(Compaction, AnIdleConnectionMayStayOpenAndSeesTheSameRows) {
    TADOConnection c;
    c.Open(makeConnectionString(path, kPassword));
    const qint64 size = QFileInfo(path).size();
    EXPECT_TRUE(CompactDatabase(path, kPassword));
    EXPECT_LT(QFileInfo(path).size(), size / 4);
    TADOQuery q(&c);
    q.setSQL("select count(*) from HoldGoods");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 100);
    EXPECT_EQ(c.Execute("update HoldGoods set Length = Length + 1"), 100);
    EXPECT_EQ(integrity(), "ok");
}

TEST_F(Compaction, AReaderThatDoesNotLetGoStopsItAndNothingChanges) {
    const QByteArray hash = hashOf(path);
    {
        Peer reader({"read", path, "4000"});
        ASSERT_EQ(reader.line(), "ready");
        tms::ui::BoxRecorder boxes;
        EXPECT_FALSE(CompactDatabase(path, kPassword));
        EXPECT_TRUE(boxes.boxes().isEmpty());
        EXPECT_EQ(hashOf(path), hash);
        EXPECT_TRUE(reader.finishedOk());
    }
    EXPECT_TRUE(CompactDatabase(path, kPassword));  // free again
    EXPECT_EQ(rows().size(), 100);
}

TEST_F(Compaction, ASaveOfAnotherCopyDuringTheCompactionIsKept) {
    // The other copy holds its write open for a while and commits while the
    // compaction waits for it; then the compaction runs on the saved rows.
    Peer quick({"hold", path, "400", "QUICK"});
    ASSERT_EQ(quick.line(), "ready");
    EXPECT_TRUE(CompactDatabase(path, kPassword));
    EXPECT_EQ(quick.line(), "committed");
    EXPECT_TRUE(quick.finishedOk());
    EXPECT_TRUE(hasGoods("QUICK"));

    // One that holds it longer than the compaction waits: the compaction
    // gives up and the save still lands.
    Peer slow({"hold", path, "3500", "SLOW"});
    ASSERT_EQ(slow.line(), "ready");
    EXPECT_FALSE(CompactDatabase(path, kPassword));
    EXPECT_EQ(slow.line(), "committed");
    EXPECT_TRUE(slow.finishedOk());
    EXPECT_TRUE(hasGoods("SLOW"));
    EXPECT_TRUE(hasGoods("QUICK"));
    EXPECT_EQ(integrity(), "ok");
    EXPECT_EQ(rows().size(), 102);
}

TEST_F(Compaction, CommitsOfTwoOtherCopiesAreNeverLost) {
    // Two copies save row after row while this one compacts again and again.
    Peer a({"write", path, "A", "60"}), b({"write", path, "B", "60"});
    QSet<QString> committed;
    int compactions = 0;
    bool aDone = false, bDone = false;
    QElapsedTimer t;
    t.start();
    while ((!aDone || !bDone) && t.elapsed() < 60000) {
        if (CompactDatabase(path, kPassword)) ++compactions;
        for (auto [peer, done] : {std::pair{&a, &aDone}, std::pair{&b, &bDone}}) {
            peer->p.waitForReadyRead(1);
            while (peer->p.canReadLine()) {
                const QString l = QString::fromUtf8(peer->p.readLine()).trimmed();
                if (l == "done")
                    *done = true;
                else
                    committed.insert(l);
            }
        }
    }
    ASSERT_TRUE(aDone && bDone);
    EXPECT_TRUE(a.finishedOk());
    EXPECT_TRUE(b.finishedOk());
    EXPECT_GT(compactions, 0);
    EXPECT_EQ(committed.size(), 120);
    EXPECT_EQ(integrity(), "ok");
    for (const QString& no : committed) EXPECT_TRUE(hasGoods(no)) << no.toStdString();
    EXPECT_EQ(rows().size(), 100 + committed.size());
}

TEST_F(Compaction, AJournalLeftByAKilledWriteDoesNotStopIt) {
    const QStringList before = rows();
    for (const char* when : {"early", "late"}) {
        SCOPED_TRACE(when);
        Peer crash({"crash", path, when});
        ASSERT_TRUE(crash.p.waitForFinished(30000));
        ASSERT_EQ(crash.p.exitStatus(), QProcess::CrashExit);
        // Killed early, the journal's header is still blank and the journal is
        // left lying until the next write; killed late, it is a hot journal
        // that must be played back before anything else.
        QFile journal(path + "-journal");
        ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
        EXPECT_EQ(journal.read(1) == QByteArray(1, '\0'), std::string(when) == "early");
        journal.close();

        EXPECT_TRUE(CompactDatabase(path, kPassword));
        EXPECT_FALSE(QFile::exists(path + "-journal"));
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(integrity(), "ok");
    }
}

TEST_F(Compaction, AKilledCompactionLeavesAWholeDatabase) {
    // More live rows, so that the rewrite takes long enough to be cut.
    {
        TADOConnection c;
        c.Open(makeConnectionString(path, kPassword));
        TTransaction t(c);
        const QString filler(400, QChar(u'箱'));
        for (int i = 0; i < 3000; ++i)
            c.Execute("insert into HoldGoods(GoodsNo,GoodsRemark) values (?,?)", {QString("K%1").arg(i), filler});
        c.Execute("delete from HoldGoods where GoodsNo like 'K%' and cast(substr(GoodsNo, 2) as integer) % 2 = 1");
        t.Commit();
    }
    const QStringList before = rows();
    QElapsedTimer t;
    t.start();
    {
        Peer whole({"compact", path});
        ASSERT_TRUE(whole.finishedOk());
    }
    const qint64 full = std::max<qint64>(t.elapsed(), 10);
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        {
            TADOConnection c;
            c.Open(makeConnectionString(path, kPassword));
            ASSERT_EQ(c.Execute("delete from HoldGoods where GoodsNo = ?", {QString("K%1").arg(2 * k)}), 1);
        }
        Peer cut({"compact", path});
        QThread::msleep(static_cast<unsigned long>(full * k / 6));
        ::kill(static_cast<pid_t>(cut.p.processId()), SIGKILL);
        cut.p.waitForFinished(10000);
        EXPECT_EQ(integrity(), "ok");
        EXPECT_EQ(rows().size(), before.size() - k);
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(" ").toStdString();
    }
    EXPECT_TRUE(CompactDatabase(path, kPassword));
    EXPECT_EQ(rows().size(), before.size() - 5);
}

TEST_F(Compaction, AWriteProtectedFileIsLeftAsItIs) {
    const QByteArray hash = hashOf(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_FALSE(CompactDatabase(path, kPassword));
    EXPECT_EQ(hashOf(path), hash);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Compaction, FilesOfOthersAreLeftAlone) {
    // Files named as a compaction copy might be, in the shared temporary
    // folder and beside the database: none is the program's.
    const QString db = dir.path() + "/db";
    const QStringList others = {db + "/~SMa1B2c3.tmp", db + "/~SMa1B2c3.tmp-journal", tmp + "/~SMzz9900.tmp"};
    for (const QString& f : others) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    EXPECT_TRUE(CompactDatabase(path, kPassword));
    for (const QString& f : others) EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
}

TEST_F(Compaction, FailuresLeaveTheDatabaseAsItWas) {
    const QByteArray hash = hashOf(path);
    tms::ui::BoxRecorder boxes;
    EXPECT_FALSE(CompactDatabase(path, "wrong password"));
    EXPECT_FALSE(CompactDatabase(path, ""));
    EXPECT_EQ(hashOf(path), hash);

    const QString missing = dir.path() + "/db/none.mdb";
    EXPECT_FALSE(CompactDatabase(missing, kPassword));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(leftovers().isEmpty());
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

}  // namespace
