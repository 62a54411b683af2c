// A second copy of the program for the compaction tests: it works on the
// same keyed database in its own process, so its locks and commits meet the
// compaction as another running copy's would.
//
//   compact_peer hold  <db> <ms> <GoodsNo>  insert a row in a write transaction,
//                                           print "ready", wait, commit, print
//                                           "committed"
//   compact_peer read  <db> <ms>            hold a read transaction that long
//   compact_peer write <db> <prefix> <n>    n rows, one commit each, retried
//                                           while the database is busy; prints
//                                           each committed GoodsNo
//   compact_peer crash <db> early|late      rewrite every row in one transaction,
//                                           then die by SIGKILL before the commit:
//                                           early while the change is still in the
//                                           page cache (the journal's header is not
//                                           yet valid), late once it has spilled
//                                           into the file (a hot journal)
//   compact_peer compact <db>               compact, exit 0 when it did

#include <QString>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/AdoDb.h"
#include "platform/Compact.h"
#include "platform/DbSchema.h"

namespace {

const QString kPassword = QString::fromLatin1(tms::kDatabasePassword);

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int usage() {
    std::fprintf(stderr, "usage: compact_peer hold|read|write|crash|compact <db> ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    try {
        if (mode == "compact") return CompactDatabase(file, kPassword) ? 0 : 1;

        TADOConnection c;
        c.Open(makeConnectionString(file, kPassword));
        if (mode == "hold" && argc == 5) {
            c.BeginTrans();
            c.Execute("insert into HoldGoods(GoodsNo,GoodsName) values (?,'held')", {QString::fromLocal8Bit(argv[4])});
            say("ready");
            QThread::msleep(std::strtoul(argv[3], nullptr, 10));
            c.CommitTrans();
            say("committed");
        } else if (mode == "read" && argc == 4) {
            c.Execute("BEGIN");
            TADOQuery q(&c);
            q.setSQL("select count(*) from HoldGoods");
            q.Open();  // takes the shared lock until the transaction ends
            say("ready");
            QThread::msleep(std::strtoul(argv[3], nullptr, 10));
            c.Execute("COMMIT");
        } else if (mode == "write" && argc == 5) {
            const QString prefix = QString::fromLocal8Bit(argv[3]);
            const int n = std::atoi(argv[4]);
            for (int i = 0; i < n; ++i) {
                const QString no = prefix + QString::number(i);
                for (int attempt = 0; attempt < 200; ++attempt) {
                    try {
                        TTransaction t(c);
                        c.Execute("insert into HoldGoods(GoodsNo,GoodsName) values (?,'peer')", {no});
                        t.Commit();
                        say(no.toUtf8().constData());
                        break;
                    } catch (const EDatabaseError&) {
                        QThread::msleep(5);  // busy: a compaction holds the file
                    }
                }
            }
            say("done");
        } else if (mode == "crash" && argc == 4) {
            if (std::strcmp(argv[3], "late") == 0)
                c.Execute("PRAGMA cache_size = 4");  // pages spill into the file before the commit
            c.BeginTrans();
            c.Execute("update HoldGoods set GoodsRemark = GoodsRemark || 'x', GoodsName = 'crashed'");
            std::raise(SIGKILL);
        } else {
            return usage();
        }
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
