// The command, its cursor and parameters against the fake client: finding
// parameters, the text sent to the server and error offsets, binding and
// execution in both call sets, arrays, REF CURSOR and ROWID results, errors
// left to the caller, LONG data in pieces with the warnings, non-blocking
// execution and the statement cache; the value buffers of parameters.

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

#include "oracle/DAConsts.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraFieldModel.h"
#include "oracle/OraWarning.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::Calls;
using oratest::Connected;
using oratest::ErrorOf;
using oratest::FakeHomeScope;
using oratest::Scott;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

std::vector<std::string> Names(TOCICommand& c) {
    std::vector<std::string> out;
    for (int i = 0; i < c.Params().Count(); ++i)
        out.push_back(c.Param(i)->Name() + (c.Param(i)->QuotedName ? "(q)" : ""));
    return out;
}

// Captures what the library shows in its warning boxes.
class Warnings {
public:
    Warnings() {
        old_ = SetWarningHook(
            [this](const std::string& title, const std::string& text) { seen.push_back(title + ": " + text); });
    }
    ~Warnings() { SetWarningHook(old_); }
    std::vector<std::string> seen;

private:
    TWarningHook old_;
};

TEST(ParseSQL, FindsEachPlaceholderOnce) {
    TOCICommand c;
    c.SetSQL(
        "select * from t where a = :a and b = :B and c = :a -- :comment\n"
        "and d = ':literal' /* :block */ and e = :\"Mixed Case\" and f = :1 and g = :set");
    EXPECT_EQ(Names(c), (std::vector<std::string>{"a", "B", "Mixed Case(q)", "1", "SET"}));
    c.SetSQL("begin :x := :y; end;");
    EXPECT_EQ(Names(c), (std::vector<std::string>{"x", "y"}));
    c.SetSQL("update t set a = :x::y");  // the second ":" starts a name too
    EXPECT_EQ(Names(c), (std::vector<std::string>{"x", "y"}));
    c.SetSQL("create trigger trg before insert on t for each row begin :new.a := 1; end;");
    EXPECT_TRUE(Names(c).empty());  // the scan stops at TRIGGER
    c.SetSQL("select q'[it's :not]' from dual where x = :real");
    EXPECT_EQ(Names(c), (std::vector<std::string>{"real"}));
    // with the scan off the list stays; turning it on scans again
    c.SetProp(prScanParams, TVariant(false));
    c.SetSQL("select :p1 from dual");
    EXPECT_EQ(Names(c), (std::vector<std::string>{"real"}));
    c.SetProp(prScanParams, TVariant(true));
    EXPECT_EQ(Names(c), (std::vector<std::string>{"p1"}));
}

TEST(ServerText, LineEndsLiteralsAndWrappedBodies) {
    std::vector<int32_t> removed;
    EXPECT_EQ(TOCICommand::ServerText("select 1\r\nfrom dual\rwhere 1=1", &removed), "select 1\nfrom dual\nwhere 1=1");
    EXPECT_EQ(removed, (std::vector<int32_t>{8}));
    // inside literals and comments nothing changes
    EXPECT_EQ(TOCICommand::ServerText("select 'a\r\nb', q'[it's\r\n]' from dual -- x\r\n"),
              "select 'a\r\nb', q'[it's\r\n]' from dual -- x\r\n");
    EXPECT_EQ(TOCICommand::ServerText("/* a\r\n */\r\nx"), "/* a\r\n */\nx");
    // a wrapped body goes byte for byte
    const std::string wrapped = "create or replace procedure p wrapped\r\na000000\r\nabcd\r\n";
    EXPECT_EQ(TOCICommand::ServerText("create\r\n" + wrapped.substr(7)), "create\n" + wrapped.substr(7));
    EXPECT_EQ(TOCICommand::ServerText("select unwrapped\r\nx"), "select unwrapped\nx");
    // offsets map back onto the text as written
    removed = {8, 20};
    EXPECT_EQ(TOCICommand::CallerOffset(removed, 5), 5);
    EXPECT_EQ(TOCICommand::CallerOffset(removed, 8), 9);
    EXPECT_EQ(TOCICommand::CallerOffset(removed, 25), 27);
}

// Runs `body` on a command with `sql` on a connection through each call set.
template <class Body>
void onEachCallSet(const char* sql, Body body) {
    for (const char* homeName : {"ora10201", "ora734"}) {
        SCOPED_TRACE(homeName);
        FakeHomeScope home(homeName);
        auto conn = Connected();
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL(sql);
        body(c, home);
    }
}

TEST(Command, EveryPlaceholderIsBoundAndNoOther) {
    onEachCallSet("update t set a = :x::y", [&](TOCICommand& c, FakeHomeScope&) {
        for (int32_t i = 0; i < c.Params().Count(); ++i) c.Param(i)->SetValue(TVariant(i));
        EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "(no error)");
        // the server refuses a placeholder left unbound and a name it lacks
        auto codeOf = [&] {
            try {
                c.Execute();
            } catch (const EOraError& e) {
                return e.ErrorCode;
            }
            return 0;
        };
        c.Params().Clear();
        static_cast<TOraParamDesc*>(c.AddParam())->SetName("x");
        c.Param(0)->SetValue(TVariant(int32_t(1)));
        EXPECT_EQ(codeOf(), 1008);
        static_cast<TOraParamDesc*>(c.AddParam())->SetName("z");
        c.Param(1)->SetValue(TVariant(int32_t(2)));
        EXPECT_EQ(codeOf(), 1036);
    });
}

TEST(Command, ErrorOffsetIsReportedAgainstTheWrittenText) {
    for (const char* homeName : {"ora10201", "ora734"}) {
        SCOPED_TRACE(homeName);
        FakeHomeScope home(homeName);
        auto conn = Connected();
        home->script("select *\nfrom\nbadtable", "error=942|message=ORA-00942: table or view does not exist|offset=14");
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL("select *\r\nfrom\r\nbadtable\r\n");
        try {
            c.Execute();
            ADD_FAILURE();
        } catch (const EOraError& e) {
            EXPECT_EQ(e.ErrorCode, 942);
            EXPECT_EQ(e.Message(), "ORA-00942: table or view does not exist");
        }
        TVariant v;
        c.GetProp(prErrorOffset, v);
        EXPECT_EQ(v.AsInteger(), 16);      // two line ends before it lost their carriage returns
        EXPECT_EQ(c.GetCursorState(), 0);  // the failed execution leaves nothing prepared
    }
}

TEST(Command, ScalarAndStringBindsInBothStyles) {
    for (const char* homeName : {"ora10201", "ora734"}) {
        SCOPED_TRACE(homeName);
        FakeHomeScope home(homeName);
        auto conn = Connected();
        home->script("begin p(:i, :f, :d, :s, :b, :o); end;", "out:o=done|rows=1");
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL("begin p(:i, :f, :d, :s, :b, :o); end;");
        c.FindParam("i")->SetItemAsInteger(1, -42);
        c.FindParam("f")->SetItemAsFloat(1, 2.5);
        c.FindParam("d")->SetItemAsDateTime(1, EncodeDate(2010, 1, 2) + EncodeTime(3, 4, 5, 0));
        c.FindParam("s")->SetDataType(dtString);
        c.FindParam("s")->SetSize(10);
        c.FindParam("s")->SetItemAsAnsiString(1, "hello");
        c.FindParam("b")->SetItemAsBoolean(1, true);
        TOraParamDesc* o = c.FindParam("o");
        o->SetDataType(dtString);
        o->SetSize(20);
        o->SetParamType(pdOutput);
        c.Execute();
        EXPECT_EQ(Calls(home.Journal(), {"in "}),
                  "in :I=-42\nin :F=2.5\nin :D=2010-01-02 03:04:05\nin :S=hello\nin :B=1\nin :O=null\n");
        EXPECT_EQ(o->GetItemAsAnsiString(1), "done");
        EXPECT_EQ(c.RowsProcessed(), 1);
        TVariant v;
        c.GetProp(prSQLType, v);
        EXPECT_EQ(v.AsInteger(), 34);
        EXPECT_EQ(c.GetCursorState(), 0);  // prepared by the execution, so unprepared after it
    }
}

TEST(Command, ExecutionModes) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    auto modeOf = [&](const std::string& sql) {
        home->clear_journal();
        c.SetSQL(sql);
        c.Execute();
        std::string line = Calls(home.Journal(), {"OCIStmtExecute"});
        return line.substr(line.find("mode="));
    };
    EXPECT_EQ(modeOf("update t set a = 1"), "mode=32\n");  // commit on success
    EXPECT_EQ(modeOf("select * from t"), "mode=0\n");
    c.SetProp(prScrollable, TVariant(true));
    EXPECT_EQ(modeOf("select * from dual"), "mode=8\n");
    conn->SetProp(prAutoCommit, TVariant(false));
    EXPECT_EQ(modeOf("delete from t"), "mode=0\n");
    conn->SetProp(prAutoCommit, TVariant(true));
    c.SetProp(prAutoCommit, TVariant(false));
    EXPECT_EQ(modeOf("insert into t values (1)"), "mode=0\n");
    // a select runs with no iterations; others with Iters
    EXPECT_NE(home.Journal().find("OCIStmtExecute iters=1"), std::string::npos);
    modeOf("select 1 from dual");
    EXPECT_NE(home.Journal().find("OCIStmtExecute iters=0"), std::string::npos);
}

TEST(Command, ArraysAndIterations) {
    onEachCallSet("insert into t values (:a, :b)", [&](TOCICommand& c, FakeHomeScope& home) {
        TOraParamDesc* a = c.FindParam("a");
        TOraParamDesc* b = c.FindParam("b");
        TVariant values = TVariant::CreateArray(1, 3);
        values.PutElement(1, TVariant(int32_t(10)));
        values.PutElement(2, TVariant::Null());
        values.PutElement(3, TVariant(int32_t(30)));
        a->SetValue(values);
        EXPECT_EQ(a->Length(), 3);
        b->SetDataType(dtString);
        b->SetSize(5);
        b->SetLength(2);
        b->SetItemAsAnsiString(1, "x");
        b->SetItemAsAnsiString(2, "y");
        c.Iters = 3;
        EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "b parameter must be array with length 3");
        b->SetLength(4);  // longer than needed is fine
        b->SetItemAsAnsiString(1, "x");
        b->SetItemAsAnsiString(2, "y");
        b->SetItemAsAnsiString(3, "z");
        home->clear_journal();
        c.Execute();
        EXPECT_EQ(Calls(home.Journal(), {"in "}),
                  "in :A#0=10\nin :A#1=null\nin :A#2=30\nin :B#0=x\nin :B#1=y\nin :B#2=z\n");
    });
}

TEST(Command, UnknownTypesAndUnsupportedCodes) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("update t set a = :a");
    c.Execute();  // never set: null, bound as VARCHAR2
    EXPECT_NE(home.Journal().find("OCIBindByName name=:a dty=1 size=0 mode=0"), std::string::npos);
    c.FindParam("a")->SetNull(false);
    EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "Unknown type of parameter a");
    c.FindParam("a")->SetDataType(dtBytes);
    EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "Data type is not supported");
    c.FindParam("a")->SetDataType(dtNumber);  // held by the data-type module
    home->clear_journal();
    c.Execute();
    EXPECT_NE(home.Journal().find("OCIBindByName name=:a dty=6 size=22 mode=0"), std::string::npos);
    TOCICommand unconnected;
    unconnected.SetSQL("select 1 from dual");
    EXPECT_EQ(ErrorOf([&] { unconnected.Execute(); }), "Session is not defined");
    TOCIConnection off;
    unconnected.SetConnection(&off);
    EXPECT_EQ(ErrorOf([&] { unconnected.Execute(); }), "Session is not connected");
    EXPECT_EQ(ErrorOf([&] { unconnected.Unprepare(); }), "Cursor must be opened");
}

TEST(Command, RefCursorAndRowidResults) {
    const char* homes[] = {"ora10201", "ora817", "ora734"};
    for (const char* homeName : homes) {
        SCOPED_TRACE(homeName);
        FakeHomeScope home(homeName);
        auto conn = Connected();
        home->script("update t set a = 1", "rows=1|rowid=1,66000,4,300,7");
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL("update t set a = 1");
        c.SetProp(prReturnRowid, TVariant(true));
        c.Execute();
        EXPECT_EQ(c.RowId(), "AAAQHQAAEAAAAEsAAH");
        c.SetProp(prReturnRowid, TVariant(false));
        c.Execute();
        EXPECT_EQ(c.RowId(), "");
        if (std::string(homeName) == "ora734") continue;
        home->script("begin open :c for select * from t; end;", "cursor=c");
        c.SetSQL("begin open :c for select * from t; end;");
        c.FindParam("c")->SetDataType(dtCursor);
        c.FindParam("c")->SetParamType(pdOutput);
        c.Execute();
        auto* cursor = dynamic_cast<TOraCursor*>(c.FindParam("c")->GetObject());
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(cursor->State.load(), 7);
        EXPECT_TRUE(cursor->HasHandle());
        EXPECT_FALSE(c.FindParam("c")->GetNull());
        EXPECT_NE(home.Journal().find("dty=116"), std::string::npos);
        // the cursor can be handed to a command that reads it
        TOCICommand reader;
        reader.SetCursorRef(cursor);
        EXPECT_EQ(reader.GetCursorState(), 7);
        EXPECT_EQ(cursor->RefCount(), 2);
    }
}

TEST(Command, CompilationWarningsRaiseAndWouldBlockIsReturned) {
    {
        FakeHomeScope home("ora10201");
        auto conn = Connected();
        TOCICommand c;
        c.SetConnection(conn.get());
        home->script("create procedure p as begin null end;", "warning=1");
        c.SetSQL("create procedure p as begin null end;");
        try {
            c.Execute();
            ADD_FAILURE();
        } catch (const EOraError& e) {
            EXPECT_EQ(e.ErrorCode, 24344);
        }
        home->script("begin long_job; end;", "block=1");
        c.SetSQL("begin long_job; end;");
        c.Execute();
        EXPECT_EQ(c.PendingStatus(), 3123);
    }
    // the same in the Oracle 7 call set
    FakeHomeScope seven("ora734");
    auto old = Connected();
    seven->script("begin long_job; end;", "block=1");
    TOCICommand d;
    d.SetConnection(old.get());
    d.SetSQL("begin long_job; end;");
    d.Execute();
    EXPECT_EQ(d.PendingStatus(), 3123);
    seven->script("create procedure p as begin null end;", "warning=1");
    d.SetSQL("create procedure p as begin null end;");
    d.Execute();
    EXPECT_EQ(old->LastErrorCode(), 24344);  // recorded at parse
}

TBlob* BlobOf(const std::string& text, int pieceSize) {
    auto* b = new TBlob;
    for (size_t at = 0; at < text.size(); at += static_cast<size_t>(pieceSize)) {
        const int n = std::min<int>(pieceSize, static_cast<int>(text.size() - at));
        PPieceHeader p = b->AllocPiece(n);
        std::memcpy(PieceData(p), text.data() + at, static_cast<size_t>(n));
        p->Used = n;
        b->AppendPiece(p);
    }
    return b;
}

TOraParamDesc* LongParam(TOCICommand& c, const char* name, uint8_t direction, const std::string& text = "") {
    TOraParamDesc* p = c.FindParam(name);
    p->SetDataType(dtMemo);
    p->SetParamType(direction);
    if (direction != pdOutput) {
        TBlob* b = BlobOf(text, 4);
        p->SetObject(b);
        b->Release();
    }
    return p;
}

TEST(Command, LongValuesInPiecesAskedForOrThroughCallbacks) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand::LongPieceSize = 3;
    // the client asks for each piece (status 99), or calls the callbacks
    for (const std::string way : {"", "|callbacks=1"}) {
        SCOPED_TRACE(way);
        home->script("begin p(:a, :b, :c); end;", ("out:b=returned long text|out:c=changed" + way).c_str());
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL("begin p(:a, :b, :c); end;");
        LongParam(c, "a", pdInput, "sent in several pieces");
        TOraParamDesc* b = LongParam(c, "b", pdOutput);
        TOraParamDesc* io = LongParam(c, "c", pdInputOutput, "both ways");
        for (int run = 0; run < 2; ++run) {  // an output's value from before is not sent
            home->clear_journal();
            c.Execute();
            const std::string journal = home.Journal();
            EXPECT_EQ(Calls(journal, {"in "}), std::string("in :A=sent in several pieces\nin :B=null\nin :C=") +
                                                   (run ? "changed" : "both ways") + "\n");
            EXPECT_EQ(dynamic_cast<TBlob*>(io->GetObject())->AsBytes(), "changed");
            EXPECT_EQ(journal.find("OCIStmtGetPieceInfo") != std::string::npos, way.empty());
            auto* blob = dynamic_cast<TBlob*>(b->GetObject());
            ASSERT_NE(blob, nullptr);
            EXPECT_EQ(blob->AsBytes(), "returned long text");
            EXPECT_EQ(blob->PieceCount(), 6);
        }
    }
    TOCICommand::LongPieceSize = 65536;
}

TEST(Command, LongColumnsFetchedInPieces) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand::LongPieceSize = 4;
    for (const std::string way : {"", "|callbacks=1"}) {
        SCOPED_TRACE(way);
        home->script("select id, notes, pic from t", ("col:2=a long column value|col:3=(null)" + way).c_str());
        TOCICommand c;
        c.SetConnection(conn.get());
        c.SetSQL("select id, notes, pic from t");
        TBlobField notes, pic;
        notes.SetDataType(ftMemo);
        TFieldSlot notesCell, picCell(new TBlob);
        TSharedObject::Release(picCell.Object());
        notes.Bind(&notesCell);
        pic.Bind(&picCell);
        c.DefineLongField(2, &notes);
        c.DefineLongField(3, &pic);
        c.Prepare();
        c.Execute();
        home->clear_journal();
        ASSERT_TRUE(c.Fetch());
        EXPECT_EQ(Calls(home.Journal(), {"OCIDefineByPos"}),
                  "OCIDefineByPos position=2 dty=8 size=2147483647 mode=2\n"
                  "OCIDefineByPos position=3 dty=24 size=2147483647 mode=2\n");
        auto* blob = dynamic_cast<TBlob*>(notesCell.Object());
        ASSERT_NE(blob, nullptr);
        EXPECT_EQ(blob->AsBytes(), "a long column value");
        EXPECT_EQ(blob->PieceCount(), 5);
        EXPECT_EQ(picCell.Object(), nullptr);  // a null value holds no blob
        EXPECT_FALSE(c.Fetch());
        EXPECT_EQ(notesCell.Object(), blob);  // the end of the rows keeps the last row
    }
    TOCICommand::LongPieceSize = 65536;
}

TEST(Command, Oracle7PiecesWithTheFourWarnings) {
    FakeHomeScope home("ora734");
    auto conn = Connected();
    TOCICommand::LongPieceSize = 4;
    struct Case {
        const char* script;
        int inParams, outParams;
        std::vector<std::string> warnings;
    } cases[] = {
        {"in_pieces=1|out_pieces=1|out:LONG1=long answer", 1, 1, {}},
        {"in_pieces=1", 2, 0, {"Warning: Too many Input params"}},
        {"in_pieces=2", 1, 0, {"Warning: Not enough Input params"}},
        {"out_pieces=1|out:LONG1=abc", 0, 2, {"Warning: Too many Output params"}},
        {"out_pieces=2|out:LONG1=abc|out:LONG2=defgh", 0, 1, {"Warning: Not enough Output params"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.script);
        Warnings warnings;
        home->script("begin p(*", k.script);
        TOCICommand c;
        c.SetConnection(conn.get());
        // the statement names every parameter: the server refuses others
        std::string sql = "begin p(";
        for (int i = 0; i < k.inParams + k.outParams; ++i)
            sql += (i ? ", :" : ":") + std::string(i < k.inParams ? "I" : "O") +
                   std::to_string(i < k.inParams ? i : i - k.inParams);
        c.SetSQL(sql + "); end;");
        c.SetProp(prScanParams, TVariant(false));
        c.Params().Clear();
        std::vector<TOraParamDesc*> outs;
        for (int i = 0; i < k.inParams; ++i) {
            auto* p = static_cast<TOraParamDesc*>(c.AddParam());
            p->SetName(std::string("I").append(std::to_string(i)));
            p->SetDataType(dtMemo);
            p->SetParamType(pdInput);
            TBlob* b = BlobOf("value " + std::to_string(i), 4);
            p->SetObject(b);
            b->Release();
        }
        for (int i = 0; i < k.outParams; ++i) {
            auto* p = static_cast<TOraParamDesc*>(c.AddParam());
            p->SetName(std::string("O").append(std::to_string(i)));
            p->SetDataType(dtMemo);
            p->SetParamType(pdOutput);
            outs.push_back(p);
        }
        home->clear_journal();
        c.Execute();
        EXPECT_EQ(warnings.seen, k.warnings);
        if (k.inParams == 1 && k.outParams == 1) {
            EXPECT_EQ(Calls(home.Journal(), {"piece in"}), "piece in=value 0\n");
            EXPECT_EQ(dynamic_cast<TBlob*>(outs[0]->GetObject())->AsBytes(), "long answer");
        }
        if (k.outParams == 1 && k.warnings.size() == 1) {
            EXPECT_EQ(dynamic_cast<TBlob*>(outs[0]->GetObject())->AsBytes(), "abc");
        }
    }
    TOCICommand::LongPieceSize = 65536;
}

TEST(Command, NonBlockingExecutionFinishesThroughTheWindow) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetProp(prNonBlocking, TVariant(true));
    std::vector<bool> after;
    c.AfterExecute = [&](bool ok) { after.push_back(ok); };
    home->script("begin slow; end;", "hold=1|out:r=7");
    c.SetSQL("begin slow(:r); end;");
    home->script("begin slow(:r); end;", "hold=1|out:r=7");
    c.FindParam("r")->SetDataType(dtInteger);
    c.Execute();
    EXPECT_TRUE(c.Executing());
    c.Execute();  // a second start while one runs does nothing
    for (int i = 0; i < 500 && home->held() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(home->held(), 1);
    EXPECT_TRUE(after.empty());
    home->release_held();
    ASSERT_TRUE(conn->UtilWindow()->WaitPending(5000));
    conn->UtilWindow()->dispatchPending();
    EXPECT_FALSE(c.Executing());
    EXPECT_EQ(after, (std::vector<bool>{true}));
    EXPECT_EQ(c.FindParam("r")->GetItemAsInteger(1), 7);
    EXPECT_EQ(TExecThread::Live(), 0);

    // an Oracle error comes back to the caller of dispatchPending
    home->script("begin bad; end;", "error=6550|message=ORA-06550: line 1, column 7");
    c.SetSQL("begin bad; end;");
    c.Execute();
    ASSERT_TRUE(conn->UtilWindow()->WaitPending(5000));
    try {
        conn->UtilWindow()->dispatchPending();
        ADD_FAILURE();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode, 6550);
    }
    EXPECT_EQ(after, (std::vector<bool>{true, false}));
    // an error handler that clears the caller's flag makes it a silent abort
    conn->ErrorHandler = [](Exception&, bool& callerFail, bool&, bool&, int32_t, TRetryMode&) { callerFail = false; };
    c.Execute();
    ASSERT_TRUE(conn->UtilWindow()->WaitPending(5000));
    EXPECT_THROW(conn->UtilWindow()->dispatchPending(), EAbort);
    conn->ErrorHandler = nullptr;
    // a connection without thread safety refuses
    conn->SetProp(prThreadSafety, TVariant(false));
    EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "Session must be Thread Safety");
    conn->SetProp(prThreadSafety, TVariant(true));
}

TEST(Command, StoppingARunningExecutionBreaksItOff) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    auto c = std::make_unique<TOCICommand>();
    c->SetConnection(conn.get());
    c->SetProp(prNonBlocking, TVariant(true));
    home->script("begin forever; end;", "hold=1");
    c->SetSQL("begin forever; end;");
    c->Execute();
    for (int i = 0; i < 500 && home->held() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(home->held(), 1);
    home->clear_journal();
    c.reset();  // destroying the command stops the execution
    EXPECT_NE(home.Journal().find("OCIBreak"), std::string::npos);
    EXPECT_EQ(home->held(), 0);
    EXPECT_EQ(TExecThread::Live(), 0);
    EXPECT_EQ(conn->UtilWindow()->Pending(), 0);
}

TEST(Command, StatementCache) {
    FakeHomeScope home("ora10201");
    auto conn = Scott();
    conn->SetProp(prStatementCache, TVariant(true));
    conn->Connect("");
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetProp(prStatementCache, TVariant(true));
    c.SetSQL("select 1 from dual");
    c.Execute();
    c.Execute();
    EXPECT_EQ(Calls(home.Journal(), {"OCIStmtPrepare", "OCIStmtRelease"}),
              "OCIStmtPrepare2 text=select 1 from dual  cached=0 language=1 mode=0\nOCIStmtRelease mode=0\n"
              "OCIStmtPrepare2 text=select 1 from dual  cached=1 language=1 mode=0\nOCIStmtRelease mode=0\n");
    const int before = home->live_handles();
    conn->Disconnect();
    EXPECT_LT(home->live_handles(), before);
}

// ---------------------------------------------------------------------------
// Parameters

TEST(ParamDesc, BuffersSizesAndIndicators) {
    TOraParamDesc p;
    EXPECT_TRUE(p.GetNull());
    p.SetDataType(dtString);
    p.SetSize(0);
    EXPECT_EQ(p.Size(), 2);
    p.SetSize(5);
    EXPECT_EQ(p.Size(), 6);
    p.SetItemAsAnsiString(1, "abcdefgh");  // cut to Size - 1
    EXPECT_EQ(p.GetItemAsAnsiString(1), "abcde");
    EXPECT_EQ(p.MaxStrLength(), 5);
    p.SetItemNull(1, true);
    EXPECT_EQ(p.MaxStrLength(), 0);
    EXPECT_EQ(p.GetItemAsAnsiString(1), "");
    TOraParamDesc w;
    w.SetDataType(dtWideString);
    w.SetSize(10);
    EXPECT_EQ(w.Size(), 22);
    w.SetSize(1);
    EXPECT_EQ(w.Size(), 4);
    TOraParamDesc r;
    r.SetDataType(dtVarBytes);
    r.SetSize(4);
    EXPECT_EQ(r.Size(), 6);
    r.SetValue(TVariant("abcdef"));
    EXPECT_EQ(r.GetValue().Bytes(), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
    // arrays start all null
    TOraParamDesc a;
    a.SetDataType(dtInteger);
    a.SetLength(3);
    EXPECT_TRUE(a.GetItemNull(1) && a.GetItemNull(3));
    EXPECT_THROW(a.SetItemAsInteger(4, 1), ERangeError);
    EXPECT_EQ(ErrorOf([&] { a.GetItemAsInteger(0); }), "Index of array is not range");
    a.SetItemAsInteger(2, 5);
    EXPECT_EQ(a.GetItemAsFloat(2), 0);  // another code reads as empty
    TVariant v = a.GetValue();
    EXPECT_EQ(v.LowBound(), 1);
    EXPECT_TRUE(v.GetElement(1).IsNull());
    EXPECT_EQ(v.GetElement(2).AsInteger(), 5);
}

TEST(ParamDesc, EmptyTextIsNullAndAShortSizeOnlyCuts) {
    // every string setter makes an empty text a null element
    TOraParamDesc a, w, v;
    a.SetDataType(dtString);
    a.SetSize(5);
    a.SetItemAsAnsiString(1, "x");
    a.SetItemAsAnsiString(1, "");
    EXPECT_TRUE(a.GetNull());
    a.SetValue(TVariant("y"));
    a.SetValue(TVariant(std::string()));
    EXPECT_TRUE(a.GetNull());
    w.SetDataType(dtWideString);
    w.SetSize(5);
    w.SetItemAsWideString(1, u"x");
    w.SetItemAsVariant(1, TVariant(std::u16string()));
    EXPECT_TRUE(w.GetNull());
    v.SetItemAsVariant(1, TVariant(""));
    EXPECT_EQ(v.DataType(), dtString);
    EXPECT_TRUE(v.GetNull());
    // a parameter whose size leaves no room keeps no text: the size stays,
    // and the text is cut to nothing, not turned into a null
    TOraParamDesc s, u;
    s.SetDataType(dtString);
    s.SetItemAsAnsiString(1, "hello");
    EXPECT_EQ(s.Size(), 0);
    EXPECT_FALSE(s.GetItemNull(1));
    EXPECT_EQ(s.GetItemAsAnsiString(1), "");
    EXPECT_EQ(s.MaxStrLength(), 0);
    u.SetDataType(dtWideString);
    u.SetItemAsWideString(1, u"hello");
    EXPECT_EQ(u.Size(), 0);
    EXPECT_FALSE(u.GetItemNull(1));
    EXPECT_EQ(u.GetItemAsWideString(1), u"");
}

TEST(ParamDesc, CodesWithoutAnElementSizeStopWithTheAssertion) {
    for (uint16_t code : {dtString2, dtVarBytes2, dtWideString2, dtRowId, dtVarchar2}) {
        TOraParamDesc p;
        try {
            p.SetDataType(code);
            ADD_FAILURE() << code;
        } catch (const EAssertionFailed& e) {
            EXPECT_EQ(e.Text(), "Unknown data type");
        }
    }
}

TEST(ParamDesc, ArrayValuesFillFromTheLowBound) {
    TOraParamDesc p;
    TVariant oneBased = TVariant::CreateArray(1, 3);
    for (int i = 1; i <= 3; ++i) oneBased.PutElement(i, TVariant(int32_t(i * 10)));
    p.SetValue(oneBased);
    EXPECT_EQ(p.Length(), 3);
    EXPECT_EQ(p.GetItemAsInteger(3), 30);
    // an array that starts at 0 sets the length to its high bound and then
    // meets the 1-based index at its first element
    TOraParamDesc q;
    TVariant zeroBased = TVariant::CreateArray(0, 2);
    for (int i = 0; i <= 2; ++i) zeroBased.PutElement(i, TVariant(int32_t(i)));
    EXPECT_THROW(q.SetValue(zeroBased), ERangeError);
    EXPECT_EQ(q.Length(), 2);
}

TEST(ParamDesc, VariantsByCode) {
    TOraParamDesc p;
    p.SetItemAsVariant(1, TVariant(int16_t(7)));
    EXPECT_EQ(p.DataType(), dtInteger);
    EXPECT_THROW(TOraParamDesc().SetItemAsVariant(1, TVariant(true)), EConvertError);
    p.SetItemAsVariant(1, TVariant("  12 "));
    EXPECT_EQ(p.GetItemAsInteger(1), 12);
    EXPECT_THROW(p.SetItemAsVariant(1, TVariant("x")), EConvertError);  // text that is no number
    TOraParamDesc s;
    s.SetItemAsVariant(1, TVariant("text"));
    EXPECT_EQ(s.DataType(), dtString);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.GetValue().AsString(), "text");
    TOraParamDesc b;
    b.SetDataType(dtBoolean);
    EXPECT_EQ(ErrorOf([&] { b.SetItemAsVariant(1, TVariant("yes")); }), "Cannot convert type");
    b.SetItemAsVariant(1, TVariant(int32_t(2)));
    EXPECT_TRUE(b.GetItemAsBoolean(1));
    b.SetItemAsVariant(1, TVariant::Null());
    EXPECT_TRUE(b.GetNull());
}

}  // namespace
