#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "tests/support/OtherUser.h"
#include "tests/support/TestDb.h"

namespace {

QString insertGoods(TADOConnection& c, const QString& no, const QString& name = "箱子") {
    c.Execute(
        "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) values "
        "(?,?,'1',600,400,300,20,'255,0,0')",
        {no, name});
    return no;
}

QString schemaVersion(TADOConnection& c) {
    TPreparedStatement s(c, "PRAGMA user_version");
    return s.firstText();
}

bool hasTable(TADOConnection& c, const char* name) {
    TPreparedStatement s(c, "select count(*) from sqlite_master where type = 'table' and name = ?");
    s.bindText(1, std::string_view(name));
    return s.firstText() == "1";
}

}  // namespace

TEST(Connection, ParsesTheConnectionText) {
    auto kv = parseConnectionString(makeConnectionString("/a/b/\\db\\tmsdb.mdb", "pw;x"));
    EXPECT_EQ(kv["data source"], "/a/b/\\db\\tmsdb.mdb");
    EXPECT_EQ(kv["jet oledb:database password"], "pw;x");
    EXPECT_EQ(kv["extended properties"], "");
    EXPECT_EQ(kv["provider"], "Microsoft.Jet.OLEDB.4.0");
}

TEST(Connection, OpensThroughADoubledSeparatorAndBackslashes) {
    TestDb db;
    TADOConnection c;
    QString dir = QFileInfo(db.path).absolutePath();
    dir.chop(3);  // ".../" with its trailing separator
    c.Open(makeConnectionString(dir + "\\db\\tmsdb.mdb", tms::kDatabasePassword));
    EXPECT_TRUE(c.Connected());
}

TEST(Connection, RefusesMissingEmptyForeignAndWrongKeyWithoutCreatingFiles) {
    TestDb db;
    TADOConnection c;

    const QString missing = db.dir.path() + "/nothing/tmsdb.mdb";
    EXPECT_THROW(c.Open(makeConnectionString(missing, tms::kDatabasePassword)), EDatabaseError);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_FALSE(c.Connected());

    EXPECT_THROW(c.Open(makeConnectionString(db.path, "wrong")), EDatabaseError);
    EXPECT_FALSE(c.Connected());

    const QString empty = db.dir.path() + "/empty.mdb";
    {
        QFile f(empty);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_THROW(c.Open(makeConnectionString(empty, tms::kDatabasePassword)), EDatabaseError);
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    const QString foreign = db.dir.path() + "/foreign.mdb";
    {
        QFile f(foreign);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
    }
    EXPECT_THROW(c.Open(makeConnectionString(foreign, tms::kDatabasePassword)), EDatabaseError);

    // A plain, unkeyed database is foreign too.
    const QString plain = db.dir.path() + "/plain.mdb";
    {
        TADOConnection raw;
        raw.OpenNew(plain, QString());  // an empty key writes a plain file
        raw.Execute("create table t(a)");
    }
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(f.read(16).startsWith("SQLite format 3"));
    }
    EXPECT_THROW(c.Open(makeConnectionString(plain, tms::kDatabasePassword)), EDatabaseError);
}

TEST(Connection, AnEmptyPasswordFailsWithAMessageThatSaysSo) {
    TestDb db;
    db.conn.Close();
    TADOConnection c;
    try {
        c.Open(makeConnectionString(db.path, QString()));
        ADD_FAILURE() << "opened without a password";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().contains("password")) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains("not an error")) << e.message().toStdString();
    }
    EXPECT_FALSE(c.Connected());
    EXPECT_NO_THROW(c.Open(makeConnectionString(db.path, tms::kDatabasePassword)));
}

TEST(Connection, StoresTheSchemaVersionAndRefusesANewerOne) {
    TestDb db;
    EXPECT_EQ(schemaVersion(db.conn), QString::number(tms::kSchemaVersion));
    const QString text = makeConnectionString(db.path, tms::kDatabasePassword);

    // Files made before versions were stored carry 0 and still open.
    db.conn.Execute("PRAGMA user_version = 0");
    db.conn.Close();
    TADOConnection c;
    EXPECT_NO_THROW(c.Open(text));

    // A newer program's file is refused with a message the user can act on,
    // and left as it was.
    c.Execute(QStringLiteral("PRAGMA user_version = %1").arg(tms::kSchemaVersion + 1));
    c.Close();
    try {
        c.Open(text);
        ADD_FAILURE() << "a newer schema version was opened";
    } catch (const EDatabaseVersionError& e) {
        EXPECT_TRUE(e.message().contains("版本")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::number(tms::kSchemaVersion + 1))) << e.message().toStdString();
    }
    EXPECT_FALSE(c.Connected());
}

// A file made before versions were stored is brought up to date when it is
// opened, with every row kept.
TEST(Connection, UpgradesAnOlderFileWhenItOpens) {
    TestDb db(true);
    insertGoods(db.conn, "G1");
    db.conn.Execute("PRAGMA user_version = 0");
    db.conn.Close();
    TADOConnection c;
    c.Open(makeConnectionString(db.path, tms::kDatabasePassword));
    EXPECT_EQ(schemaVersion(c), QString::number(tms::kSchemaVersion));
    TPreparedStatement rows(c, "select (select count(*) from HoldGoods) || ',' || (select count(*) from HoldVehicles)");
    EXPECT_EQ(rows.firstText(), "1,4");
    EXPECT_FALSE(c.InTransaction());
}

// The steps of an upgrade and its stamp go in together or not at all; a
// file that cannot be written is refused in Chinese unless the program
// reads it without the steps it lacks.
TEST(Connection, AnUpgradeThatCannotFinishLeavesTheFileAsItWas) {
    TestDb db;
    db.conn.Execute("PRAGMA user_version = 0");
    const auto addTable = [](TADOConnection& c) { c.Execute("create table Added(a)"); };
    const auto fail = [](TADOConnection& c) { c.Execute("insert into Missing values (1)"); };
    auto unchanged = [&] { return schemaVersion(db.conn) == "0" && !hasTable(db.conn, "Added"); };

    const tms::TSchemaStep failing[] = {{addTable, false}, {fail, false}};
    EXPECT_THROW(tms::upgradeDatabase(db.conn, 0, failing), EDatabaseVersionError);
    EXPECT_TRUE(unchanged());
    const tms::TSchemaStep failingOptional[] = {{addTable, true}, {fail, true}};
    EXPECT_FALSE(tms::upgradeDatabase(db.conn, 0, failingOptional));
    EXPECT_TRUE(unchanged());

    // Every write refused, as on a write-protected file.
    db.conn.Execute("PRAGMA query_only = 1");
    const tms::TSchemaStep adding[] = {{addTable, false}};
    try {
        tms::upgradeDatabase(db.conn, 0, adding);
        ADD_FAILURE() << "upgraded a file that cannot be written";
    } catch (const EDatabaseVersionError& e) {
        EXPECT_TRUE(e.message().contains("不能升级")) << e.message().toStdString();
    }
    EXPECT_TRUE(unchanged());
    const tms::TSchemaStep stampOnly[] = {{[](TADOConnection&) {}, true}};
    EXPECT_FALSE(tms::upgradeDatabase(db.conn, 0, stampOnly));
    EXPECT_TRUE(unchanged());

    db.conn.Execute("PRAGMA query_only = 0");
    EXPECT_TRUE(tms::upgradeDatabase(db.conn, 0, adding));
    EXPECT_EQ(schemaVersion(db.conn), "1");
    EXPECT_TRUE(hasTable(db.conn, "Added"));
    EXPECT_FALSE(db.conn.InTransaction());
}

TEST(Connection, ConnectionTextQuotesThePassword) {
    const QString text = makeConnectionString("/a/b.mdb", "p\"w;x");
    TADOConnection c;
    c.ConnectionString = text;
    EXPECT_EQ(c.dataSourceFile(), "/a/b.mdb");
    EXPECT_EQ(c.password(), "p\"w;x");
}

// Rows read one by one give the cells a query gives, and the statement runs
// again after its last row.
TEST(Statement, RowByRowReadsCellsAsAQueryDoes) {
    TestDb db;
    db.conn.Execute(
        "insert into HoldList(ListId, floor, bcd, bch, vehicleOrder, PlaceType) "
        "values ('A1', NULL, 12.5, 3, 7, '立放'), ('A2', '', 1e300, -0.25, NULL, 'x')");
    db.conn.Execute("update HoldList set bcw = 'abc', bcw2 = '42' where ListId = 'A2'");
    const char* sql =
        "select ListId, floor, bcd, bch, vehicleOrder, PlaceType, bcw, bcw2 from HoldList order by ListId";
    TADOQuery q(&db.conn);
    q.setSQL(sql);
    q.Open();
    TPreparedStatement s(db.conn, sql);
    for (int pass = 0; pass < 2; ++pass) {
        int row = 0;
        while (s.next()) {
            ASSERT_LT(row, q.RecordCount());
            for (int col = 0; col < 8; ++col) {
                EXPECT_EQ(s.text(col), TADOQuery::displayText(q.cell(row, col)).toStdString()) << row << "," << col;
                EXPECT_EQ(s.number(col), q.cell(row, col).toDouble()) << row << "," << col;
            }
            ++row;
        }
        EXPECT_EQ(row, 2);
    }
    // Columns are found by name as well.
    EXPECT_EQ(s.column("BCW2"), 7);
    EXPECT_EQ(q.cell(1, "bcw2"), q.cell(1, 7));
    EXPECT_THROW(s.column("dx"), EDatabaseError);
    EXPECT_THROW(q.cell(1, "dx"), EDatabaseError);
}

TEST(Statement, PreparedOnceRunManyTimesAndNestedWritesRollBackAlone) {
    TestDb db;
    {
        TPreparedStatement ins(db.conn,
                               "insert into HoldList(ListId,GoodsNo,OrderFormNo,vehicleOrder) values (?,?,?,?)");
        for (int i = 0; i < 3; ++i) {
            const std::string id = std::string("L").append(std::to_string(i));
            ins.bindText(1, id);
            ins.bindText(2, std::string_view("G"));
            ins.bindText(3, QStringLiteral("O1"));
            ins.bindInt(4, i + 1);
            EXPECT_EQ(ins.run(), 1);
        }
    }
    TPreparedStatement count(db.conn, "select count(*) from HoldList where OrderFormNo = ?");
    count.bindText(1, QStringLiteral("O1"));
    EXPECT_EQ(count.firstText(), "3");

    // Inside an open transaction the nested write is a savepoint: its
    // failure undoes only its own rows and keeps the outer transaction.
    db.conn.BeginTrans();
    db.conn.Execute("delete from HoldList where ListId = 'L0'");
    {
        TNestedTransaction inner(db.conn, "inner_write");
        db.conn.Execute("delete from HoldList where ListId = 'L1'");
    }  // no Commit: rolled back to the savepoint
    EXPECT_TRUE(db.conn.InTransaction());
    EXPECT_EQ(count.firstText(), "2");
    {
        TNestedTransaction inner(db.conn, "inner_write");
        db.conn.Execute("delete from HoldList where ListId = 'L2'");
        inner.Commit();
    }
    db.conn.CommitTrans();
    EXPECT_EQ(count.firstText(), "1");

    // Outside a transaction it is a transaction of its own.
    {
        TNestedTransaction own(db.conn, "own_write");
        EXPECT_TRUE(db.conn.InTransaction());
        db.conn.Execute("delete from HoldList");
    }
    EXPECT_FALSE(db.conn.InTransaction());
    EXPECT_EQ(count.firstText(), "1");
}

TEST(Schema, HasEveryTableAndTheDefaults) {
    TestDb db(true);
    TADOQuery q(&db.conn);
    for (const char* t : {"HoldGoods", "HoldVehicles", "HoldOrderForm", "HoldOrderFormList", "HoldList",
                          "HoldSelfHelpOrderForm", "HoldSelfHelpOrderFormList", "HoldSelfHelpList"}) {
        q.setSQL("select count(*) as n from sqlite_master where type='table' and name=?");
        q.bind(1, t);
        q.Open();
        EXPECT_EQ(q.FieldByName("n").AsInteger(), 1) << t;
    }
    db.conn.Execute(
        "insert into HoldOrderForm(OrderFormNo,OrderFormName,SailDate,vehicleno,Consigner,Destination,CountType,"
        "LoadingType,IsDirectionRestrict,IsWeightRestrict,addL,addW,addH) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
        {"A1", "n", "2026-12-08", "40GP", "c", "d", 1, 0, 0, 1, 0, 0, 0});
    q.setSQL("select IsNeedCount, IsBestStandPlace from HoldOrderForm where orderformno = ?");
    q.bind(1, "a1");  // keys compare case-insensitively
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("isneedcount").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("IsBestStandPlace").AsInteger(), 0);
    // The seeded containers are there; the unique index backs the windows' checks.
    q.setSQL("select * from HoldVehicles where VehicleNo = '40GP'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("ContainerL").AsInteger(), 12032);
    EXPECT_THROW(db.conn.Execute("insert into HoldVehicles(VehicleNo) values ('40gp')"), EDatabaseError);
}

TEST(Query, QuotesAreValuesNotSql) {
    TestDb db;
    insertGoods(db.conn, "O'Brien-1", "it's a box");
    TADOQuery q(&db.conn);
    q.setSQL("select * from HoldGoods where GoodsNo like ?");
    q.bind(1, "%" + QString("'Bri") + "%");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "O'Brien-1");
    EXPECT_EQ(q.FieldByName("goodsname").AsString(), "it's a box");
    q.setSQL("select * from HoldGoods where GoodsNo = :no");
    q.bind(":no", "O'Brien-1");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    // An unbound parameter is an error, not a silent NULL.
    q.setSQL("select * from HoldGoods where GoodsNo = ?");
    EXPECT_THROW(q.Open(), EDatabaseError);
}

TEST(Query, NullsReadAsEmptyAndZeroAndMaxOverNoRowsIsOneNullRow) {
    TestDb db;
    db.conn.Execute("insert into HoldGoods(GoodsNo) values ('N1')");
    TADOQuery q(&db.conn);
    q.setSQL("select * from HoldGoods");
    q.Open();
    EXPECT_TRUE(q.FieldByName("Length").IsNull());
    EXPECT_EQ(q.FieldByName("Length").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("Length").AsFloat(), 0.0);
    EXPECT_EQ(q.FieldByName("GoodsName").AsString(), "");
    q.setSQL("SELECT max(vehicleOrder) as Sm FROM HoldList where OrderFormNo = ?");
    q.bind(1, "none");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_TRUE(q.FieldByName("Sm").IsNull());
    EXPECT_EQ(q.FieldByName("Sm").AsInteger(), 0);
    EXPECT_THROW(q.FieldByName("nosuchfield"), EDatabaseError);
}

TEST(Query, FloatsReadAsShortestTextAndTextConvertsStrictly) {
    TestDb db;
    db.conn.Execute("insert into HoldList(ListId,bcd,bch,dx) values ('x',1200,600.5,0.1)");
    TADOQuery q(&db.conn);
    q.setSQL("select ListId,bcd,bch,dx from HoldList");
    q.Open();
    EXPECT_EQ(q.FieldByName("bcd").AsString(), "1200");
    EXPECT_EQ(q.FieldByName("bch").AsString(), "600.5");
    EXPECT_EQ(q.FieldByName("dx").AsString(), "0.1");
    EXPECT_EQ(q.FieldByName("bch").AsInteger(), 601);
    // A text that is no number is refused in the program's language.
    for (const bool asFloat : {false, true}) try {
            asFloat ? q.FieldByName("ListId").AsFloat() : q.FieldByName("ListId").AsInteger();
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.message(), asFloat ? "'x' 不是有效的浮点数" : "'x' 不是有效的整数");
        }
}

TEST(Query, IntegersOutside32BitsAreRefusedAsTheirTextIs) {
    TestDb db;
    TADOQuery q(&db.conn);
    q.setSQL(
        "select 4294967301 as big, -2147483649 as low, 3e9 as f, 1e300 as huge, -3e9 as nf, "
        "'4294967301' as t, 2147483647 as top, -2147483648 as bottom, -2147483648.4 as fb, 2.5 as half");
    q.Open();
    for (const char* f : {"big", "low", "f", "huge", "nf", "t"}) {
        SCOPED_TRACE(f);
        try {
            q.FieldByName(f).AsInteger();
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(e.message().contains("不是有效的整数")) << e.message().toStdString();
        }
    }
    EXPECT_EQ(q.FieldByName("top").AsInteger(), 2147483647);
    EXPECT_EQ(q.FieldByName("bottom").AsInteger(), -2147483647 - 1);
    EXPECT_EQ(q.FieldByName("fb").AsInteger(), -2147483647 - 1);
    EXPECT_EQ(q.FieldByName("half").AsInteger(), 3);
}

TEST(Query, NavigationEofBofLocate) {
    TestDb db;
    for (const char* n : {"A", "B", "C"}) insertGoods(db.conn, n);
    TADOQuery q(&db.conn);
    q.setSQL("select GoodsNo from HoldGoods order by GoodsNo");
    q.Open();
    QStringList seen;
    while (!q.Eof()) {
        seen << q.FieldByName("GoodsNo").AsString();
        q.Next();
    }
    EXPECT_EQ(seen, QStringList({"A", "B", "C"}));
    q.Last();
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "C");
    q.First();
    EXPECT_TRUE(q.Bof());
    EXPECT_TRUE(q.Locate("goodsno", "b", true));
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_FALSE(q.Locate("GoodsNo", "b"));
    q.setSQL("select GoodsNo from HoldGoods where 0");
    q.Open();
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.RecNo(), -1);
    q.Next();  // harmless on an empty result
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "");
}

TEST(Transaction, RollbackLeavesNothingAndAnEscapingErrorRollsBack) {
    TestDb db;
    db.conn.BeginTrans();
    insertGoods(db.conn, "T1");
    db.conn.RollbackTrans();
    try {
        TTransaction t(db.conn);
        insertGoods(db.conn, "T2");
        db.conn.Execute("insert into NoSuchTable values (1)");
        t.Commit();
    } catch (const EDatabaseError&) {}
    EXPECT_FALSE(db.conn.InTransaction());
    {
        TTransaction t(db.conn);
        insertGoods(db.conn, "T3");
        t.Commit();
    }
    TADOQuery q(&db.conn);
    q.setSQL("select GoodsNo from HoldGoods");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "T3");
}

class Editing : public ::testing::Test {
protected:
    TestDb db;
    TADOQuery q{&db.conn};
    void SetUp() override {
        q.setSQL(
            "select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,COLOR,GoodsRemark from HoldGoods");
        q.setUpdateTable("HoldGoods", {"GoodsNo"});
        q.Open();
    }
    int stored(const QString& where = "1") {
        TADOQuery c(&db.conn);
        c.setSQL("select count(*) as n from HoldGoods where " + where);
        c.Open();
        return c.FieldByName("n").AsInteger();
    }
};

TEST_F(Editing, AppendPostEditAndDelete) {
    q.Append();
    EXPECT_EQ(q.State(), TDataSetState::dsInsert);
    q.FieldByName("GoodsNo").SetValue("G'1");
    q.FieldByName("Length").SetValue("600");
    q.FieldByName("Weight").SetValue("20");
    q.Post();
    EXPECT_EQ(q.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(stored("GoodsNo = 'G''1' and Length = 600 and typeof(Length) = 'integer'"), 1);

    q.Edit();
    q.FieldByName("GoodsName").SetValue("改名");
    q.FieldByName("GoodsNo").SetValue("G2");  // the key itself may change
    q.Post();
    EXPECT_EQ(stored("GoodsNo = 'G2' and GoodsName = '改名'"), 1);
    EXPECT_EQ(stored(), 1);

    q.Edit();
    q.FieldByName("GoodsName").SetValue("丢弃");
    q.Cancel();
    EXPECT_EQ(q.FieldByName("GoodsName").AsString(), "改名");

    q.Delete();
    EXPECT_EQ(stored(), 0);
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_THROW(q.Delete(), EDatabaseError);
}

TEST_F(Editing, ValuesThatDoNotFitTheColumnStoreNothing) {
    for (const char* bad : {"600.5", "2147483648", "-2147483649", "12abc", "1e3"}) {
        q.Append();
        q.FieldByName("GoodsNo").SetValue("BAD");
        q.FieldByName("Length").SetValue(bad);
        EXPECT_THROW(q.Post(), EDatabaseError) << bad;
        EXPECT_EQ(q.State(), TDataSetState::dsInsert);
        q.Cancel();
    }
    EXPECT_EQ(stored(), 0);
    EXPECT_TRUE(q.IsEmpty());
    q.Append();
    q.FieldByName("GoodsNo").SetValue("MAX");
    q.FieldByName("Length").SetValue("2147483647");
    q.Post();
    EXPECT_EQ(stored("Length = 2147483647"), 1);
}

TEST_F(Editing, CancelledAppendRestoresTheRowAndAMoveWhileEditingPosts) {
    insertGoods(db.conn, "A");
    insertGoods(db.conn, "B");
    q.Open();
    q.Next();
    q.Append();
    q.Cancel();
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "B");
    q.Edit();
    q.FieldByName("Brand").SetValue("品牌");
    q.First();
    EXPECT_EQ(stored("GoodsNo = 'B' and Brand = '品牌'"), 1);
    // Writing outside edit state is refused.
    EXPECT_THROW(q.FieldByName("Brand").SetValue("x"), EDatabaseError);
}

TEST(Connection, AFileOrFolderThatCannotBeWrittenIsNamedInChinese) {
    TestDb db;
    db.conn.Close();
    const QString folder = QFileInfo(db.path).absolutePath();
    AsOtherUser::shareFolder(db.dir.path(), folder);
    const QString text = makeConnectionString(db.path, tms::kDatabasePassword);
    auto failureOfAWrite = [](TADOConnection& c) {
        try {
            c.Execute("insert into HoldVehicles(VehicleNo) values ('X')");
        } catch (const EDatabaseError& e) {
            return e;
        }
        return EDatabaseError("written");
    };
    // English words outside the names of the file and its folder.
    auto english = [&](QString s) {
        s.remove(QDir::toNativeSeparators(db.path)).remove(QDir::toNativeSeparators(folder));
        return s.contains(QRegularExpression("[A-Za-z]{3}"));
    };

    // A read-only file opens for reading only.
    AsOtherUser::setMode(db.path, 0444);
    {
        AsOtherUser nobody;
        TADOConnection c;
        ASSERT_NO_THROW(c.Open(text));
        EXPECT_TRUE(c.writeProblem().contains("只读")) << c.writeProblem().toStdString();
        EXPECT_TRUE(c.writeProblem().contains(QDir::toNativeSeparators(db.path)));
        const EDatabaseError e = failureOfAWrite(c);
        EXPECT_EQ(e.fault(), TDbFault::readOnly) << e.message().toStdString();
        EXPECT_FALSE(english(e.message())) << e.message().toStdString();
    }
    // A folder that takes no file: the file opens for writing, the journal
    // of a write cannot be made.
    AsOtherUser::setMode(db.path, 0666);
    AsOtherUser::setMode(folder, 0555);
    {
        AsOtherUser nobody;
        TADOConnection c;
        ASSERT_NO_THROW(c.Open(text));
        EXPECT_TRUE(c.writeProblem().contains("文件夹“" + QDir::toNativeSeparators(folder) + "”"))
            << c.writeProblem().toStdString();
        const EDatabaseError e = failureOfAWrite(c);
        EXPECT_EQ(e.fault(), TDbFault::noFolder) << e.message().toStdString();
        EXPECT_FALSE(english(e.message())) << e.message().toStdString();
    }
    AsOtherUser::setMode(folder, 0755);
    TADOConnection c;
    c.Open(text);
    EXPECT_EQ(c.writeProblem(), "");
    c.Execute("insert into HoldVehicles(VehicleNo) values ('X')");
    // A taken number and a file another connection writes speak Chinese too.
    const EDatabaseError taken = failureOfAWrite(c);
    EXPECT_EQ(taken.fault(), TDbFault::taken);
    TADOConnection other;
    other.Open(text);
    other.BeginTrans();
    const EDatabaseError busy = failureOfAWrite(c);
    EXPECT_EQ(busy.fault(), TDbFault::busy);
    EXPECT_FALSE(english(busy.message() + taken.message())) << (busy.message() + taken.message()).toStdString();
}
