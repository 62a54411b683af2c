// The Oracle data types against the fake client: NUMBER text and its format
// models, integers and reals; timestamps through text and date-time values
// and the format models of the locale's formats; intervals; file names of
// BFILE locators; temporary LOBs of parameters; object instances with
// attribute paths, growing collections and nested LOBs; references as hex
// text; XML read through the persistent stream; the parameters of these
// codes; null values of every kind; the shared buffers of start-up.

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "oracle/DAConsts.h"
#include "oracle/MemUtils.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraFormatModel.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraObjects.h"
#include "tests/oracle/OraBlobSupport.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::Calls;
using oratest::Connected;
using oratest::ErrorOf;
using oratest::FakeHomeScope;
using oratest::Held;
using oratest::PrepareReferenceSelect;
using oratest::Settings;
using oratest::TypesControl;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

}  // namespace

// ---------------------------------------------------------------------------
// NUMBER

TEST(NumberModel, SignSeparatorsExponentsAndLength) {
    EXPECT_EQ(NumberFormatModel("", '.', ','), "");
    EXPECT_EQ(NumberFormatModel("+12", '.', ','), "S99");
    EXPECT_EQ(NumberFormatModel("-1,234.5", '.', ','), "S9G999D9");
    EXPECT_EQ(NumberFormatModel("1.234,5", ',', '.'), "9G999D9");
    // a second decimal separator and a group after the decimal are digits
    EXPECT_EQ(NumberFormatModel("1.5.5,1", '.', ','), "9D99999");
    EXPECT_EQ(NumberFormatModel("1.5e3", '.', ','), "9D99999999999999999999999999999999999999999EEEE");
    EXPECT_EQ(NumberFormatModel("-2E-7", '.', ','), "S9D99999999999999999999999999999999999999999EEEE");
    // 64 characters in all, the sign among them
    EXPECT_EQ(NumberFormatModel(std::string(80, '1'), '.', ','), std::string(64, '9'));
    EXPECT_EQ(NumberFormatModel("-" + std::string(80, '1'), '.', ','), "S" + std::string(63, '9'));
}

TEST(Number, CommaDecimalSeparatorBothWays) {
    FakeHomeScope home("ora10201");
    Settings s(',', '.');
    Held<TOraNumber> n(new TOraNumber);
    n->SetAsString("0,5");
    EXPECT_EQ(n->AsString(), "0,5");  // the client writes ",5"
    EXPECT_DOUBLE_EQ(n->AsFloat(), 0.5);
    n->SetAsString("-0,5");
    EXPECT_EQ(n->AsString(), "-0,5");
    EXPECT_NE(home.Journal().find("OCINumberFromText text=-0,5 fmt=S9D9 nls=NLS_NUMERIC_CHARACTERS=',.'"),
              std::string::npos);
    EXPECT_NE(home.Journal().find("OCINumberToText fmt=TM9 nls=NLS_NUMERIC_CHARACTERS=',.'"), std::string::npos);
    n->SetAsString("1.234,25");
    EXPECT_EQ(n->AsString(), "1234,25");
    n->SetAsString("+12");
    EXPECT_EQ(n->AsInteger(), 12);
    n->SetAsString("-1,5e3");
    EXPECT_EQ(n->AsInteger(), -1500);
    // a text that does not read as a number is the client's error
    EXPECT_EQ(ErrorOf([&] { n->SetAsString("12a"); }), "ORA-01722: invalid number");
}

TEST(Number, IntegersAtTheLimitsRealsAndNull) {
    FakeHomeScope home("ora10201");
    Held<TOraNumber> n(new TOraNumber);
    EXPECT_TRUE(n->IsNull());
    EXPECT_EQ(n->AsString(), "");
    EXPECT_EQ(n->AsInteger(), 0);
    EXPECT_EQ(n->AsFloat(), 0);
    const int64_t top = std::numeric_limits<int64_t>::max(), bottom = std::numeric_limits<int64_t>::min();
    n->SetAsLargeInt(top);
    EXPECT_FALSE(n->IsNull());
    EXPECT_EQ(n->AsInteger(), top);
    EXPECT_EQ(n->AsString(), "9223372036854775807");
    n->SetAsLargeInt(bottom);
    EXPECT_EQ(n->AsInteger(), bottom);
    EXPECT_EQ(n->AsString(), "-9223372036854775808");
    n->SetAsInteger(-7);  // sign-extended
    EXPECT_EQ(n->AsInteger(), -7);
    n->SetAsFloat(3.25);
    EXPECT_DOUBLE_EQ(n->AsFloat(), 3.25);
    EXPECT_EQ(n->AsString(), "3.25");
    n->SetAsFloat(-1e-10);
    EXPECT_DOUBLE_EQ(n->AsFloat(), -1e-10);
    n->SetAsString("");
    EXPECT_TRUE(n->IsNull());
    EXPECT_EQ(n->AsString(), "");
    // beyond 64 bits the client reports the overflow
    n->SetAsString("99999999999999999999");
    EXPECT_EQ(ErrorOf([&] { n->AsInteger(); }), "ORA-22053: overflow error");
}

TEST(Number, TextNeedsAnOracle8iClient) {
    FakeHomeScope home("ora805");
    Held<TOraNumber> n(new TOraNumber);
    EXPECT_EQ(ErrorOf([&] { n->SetAsString("1"); }), "Need Oracle 8i Call Interface");
    n->SetAsLargeInt(5);
    EXPECT_EQ(ErrorOf([&] { n->AsString(); }), "Need Oracle 8i Call Interface");
    EXPECT_EQ(n->AsInteger(), 5);
}

// ---------------------------------------------------------------------------
// Timestamps

TEST(TimeStampModel, FromTheLocaleFormats) {
    EXPECT_EQ(DateTimeFormatModel("dd.mm.yyyy", "hh:nn:ss", false), "DD.MM.YYYY HH24:MI:SS");
    EXPECT_EQ(DateTimeFormatModel("m/d/yy", "h:nn:ss AMPM", false), "fmMMfm/fmDDfm/YY fmHH12fm:MI:SS AM");
    EXPECT_EQ(DateTimeFormatModel("yyyy'年'mm'月'dd'日'", "t", false), "YYYY\"年\"MM\"月\"DD\"日\" T");
    EXPECT_EQ(DateTimeFormatModel("dd-mmm-yyyy", "hh:nn:ss.zzz", true), "DD-MON-YYYY HH24:MI:SS.FF TZH:TZM");
    EXPECT_EQ(DateTimeFormatModel("dddd d mmmm yyyy", "hh \"h\" nn", false), "fmDAYfm fmDDfm MONTH YYYY HH24 \"h\" MI");

    Settings s("dd.mm.yyyy", "hh:nn:ss");
    Held<TOCITimeStampValue> tz(new TOCITimeStampValue(OCI_DTYPE_TIMESTAMP_TZ));
    EXPECT_EQ(tz->FormatModel(), "DD.MM.YYYY HH24:MI:SS TZH:TZM");
    // the locale's own time format comes first; a kind change builds anew
    SetLocaleTimeFormat("h:nn AMPM");
    tz->SetDescriptorType(OCI_DTYPE_TIMESTAMP);
    EXPECT_EQ(tz->FormatModel(), "DD.MM.YYYY fmHH12fm:MI AM");
}

TEST(TimeStamp, QuarterSecondThroughDateTimeAndText) {
    FakeHomeScope home("ora10201");
    Settings s("yyyy-mm-dd", "hh:nn:ss.zzz");
    Held<TOCITimeStampValue> t(new TOCITimeStampValue);
    EXPECT_TRUE(t->IsNull());
    EXPECT_EQ(t->AsString(), "");
    EXPECT_EQ(t->AsDateTime(), 0);
    const TDateTime value = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 30, 250);
    t->SetAsDateTime(value);
    EXPECT_FALSE(t->IsNull());
    EXPECT_NE(home.Journal().find("OCIDateTimeConstruct 2024-2-29 13:45:30 fsec=250000000"), std::string::npos);
    EXPECT_DOUBLE_EQ(t->AsDateTime(), value);
    int h, m, sec;
    uint32_t fsec;
    t->GetTime(h, m, sec, fsec);
    EXPECT_EQ(fsec, 250000000u);
    t->Precision = 3;
    const std::string text = t->AsString();
    EXPECT_EQ(text, "2024-02-29 13:45:30.250");
    Held<TOCITimeStampValue> back(new TOCITimeStampValue);
    back->SetAsString(text);
    EXPECT_DOUBLE_EQ(back->AsDateTime(), value);
    // a 12-hour locale with its marker
    SetLocaleTimeFormat("h:nn:ss AMPM");
    Held<TOCITimeStampValue> pm(new TOCITimeStampValue);
    pm->SetAsString("2024-02-29 1:45:30 PM");
    EXPECT_DOUBLE_EQ(pm->AsDateTime(), EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 30, 0));
    EXPECT_EQ(pm->AsString(), "2024-02-29 1:45:30 PM");
    // a text the model does not read keeps the old value
    EXPECT_NE(ErrorOf([&] { pm->SetAsString("29/02/2024"); }), "(no error)");
    EXPECT_EQ(pm->AsString(), "2024-02-29 1:45:30 PM");
    pm->SetAsString("");
    EXPECT_TRUE(pm->IsNull());
}

TEST(TimeStamp, TimeZoneKindConstructsWithItsZone) {
    FakeHomeScope home("ora10201");
    Settings s("yyyy-mm-dd", "hh:nn");
    Held<TOCITimeStampValue> t(new TOCITimeStampValue(OCI_DTYPE_TIMESTAMP_TZ));
    t->Construct(2001, 12, 31, 23, 59, 0, 0, "-05:30");
    EXPECT_EQ(t->AsString(), "2001-12-31 23:59 -05:30");
    t->SetAsString("2002-01-01 00:00 +08:00");
    EXPECT_EQ(t->AsString(), "2002-01-01 00:00 +08:00");
    EXPECT_NE(home.Journal().find("OCIDescriptorAlloc type=69"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Intervals

TEST(Interval, TextBothKindsAndInvalidValues) {
    FakeHomeScope home("ora10201");
    Held<TOCIIntervalValue> ds(new TOCIIntervalValue(OCI_DTYPE_INTERVAL_DS));
    EXPECT_TRUE(ds->IsNull());
    EXPECT_EQ(ds->AsString(), "");
    ds->SetAsString("+03 04:05:06.5");
    EXPECT_FALSE(ds->IsNull());
    EXPECT_EQ(ds->AsString(), "+03 04:05:06.500000");
    ds->LeadingPrecision = 4;
    ds->FractionalPrecision = 2;
    EXPECT_EQ(ds->AsString(), "+0003 04:05:06.50");
    EXPECT_EQ(ErrorOf([&] { ds->SetAsString("+01 25:00:00"); }), "Invalid interval.");
    EXPECT_EQ(ErrorOf([&] { ds->SetAsString("three days"); }), "ORA-01867: the interval is invalid");
    ds->SetAsString("");
    EXPECT_TRUE(ds->IsNull());

    Held<TOCIIntervalValue> ym(new TOCIIntervalValue(OCI_DTYPE_INTERVAL_YM));
    ym->SetAsString("-2-11");
    EXPECT_EQ(ym->AsString(), "-02-11");
    EXPECT_EQ(ErrorOf([&] { ym->SetAsString("+01-13"); }), "Invalid interval.");
    // without a descriptor there is nothing to check
    Held<TOCIIntervalValue> none(new TOCIIntervalValue);
    EXPECT_THROW(none->Check(), EAssertionFailed);
}

// ---------------------------------------------------------------------------
// LOBs and files

TEST(Lob, FileNamesIncludingUnsetParts) {
    FakeHomeScope home("ora10201");
    Held<TOCILobObject> f(new TOCILobObject(dtBFile));
    EXPECT_EQ(f->FileDir(), "");  // no locator
    EXPECT_EQ(f->FileName(), "");
    EXPECT_TRUE(f->IsNull());
    OCILobLocator** loc = f->LocatorAddress();
    EXPECT_EQ(f->FileDir(), "");  // not initialised
    ASSERT_EQ(OCILobFileSetName(hOCIEnv, hOCIError, loc, reinterpret_cast<const oratext*>("DATA_DIR"), 8,
                                reinterpret_cast<const oratext*>("plan.txt"), 8),
              OCI_SUCCESS);
    home->clear_journal();
    EXPECT_EQ(f->FileDir(), "DATA_DIR");
    EXPECT_EQ(f->FileName(), "plan.txt");
    // each call asks for its own part only
    EXPECT_EQ(Calls(home.Journal(), {"OCILobFileGetName"}), "OCILobFileGetName dir\nOCILobFileGetName name\n");
    EXPECT_FALSE(f->IsNull());
    const oratext zero[1] = {0};
    ASSERT_EQ(OCILobFileSetName(hOCIEnv, hOCIError, loc, zero, 1, zero, 1), OCI_SUCCESS);
    EXPECT_EQ(f->FileDir(), "");
    EXPECT_EQ(f->FileName(), "");
    EXPECT_TRUE(f->IsNull());
    // a 50-character name fits the area
    const std::string fifty(50, 'n');
    ASSERT_EQ(OCILobFileSetName(hOCIEnv, hOCIError, loc, zero, 0, reinterpret_cast<const oratext*>(fifty.data()), 50),
              OCI_SUCCESS);
    EXPECT_EQ(f->FileName(), fifty);
}

TEST(Lob, ChecksAndTemporaryParameters) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    Held<TOCILobObject> lob(new TOCILobObject(dtOraClob));
    EXPECT_EQ(ErrorOf([&] { lob->WriteLob(); }), "Lob is not allocated");
    lob->AllocLob();
    EXPECT_EQ(ErrorOf([&] { lob->WriteLob(); }), "OCISvcCtx is not defined");
    lob->SetService(conn->GetSvcCtx());
    EXPECT_EQ(ErrorOf([&] { lob->WriteLob(); }), "Lob locator should be inited");

    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("insert into docs values (:c, :b, :e)");
    c.SetProp(prTemporaryLobs, TVariant(true));
    TOraParamDesc* clob = c.FindParam("c");
    clob->SetDataType(dtOraClob);
    clob->SetParamType(pdInput);
    clob->SetValue(TVariant(std::string("loading plan")));
    TOraParamDesc* blob = c.FindParam("b");
    blob->SetDataType(dtOraBlob);
    blob->SetParamType(pdInputOutput);
    const uint8_t bytes[] = {1, 2, 0, 3};
    blob->SetItemAsVariant(1, TVariant::FromBytes(bytes, sizeof bytes));
    TOraParamDesc* empty = c.FindParam("e");
    empty->SetDataType(dtOraBlob);
    empty->SetParamType(pdInput);
    home->clear_journal();
    c.Execute();
    const std::string j = home.Journal();
    EXPECT_EQ(Calls(j, {"OCILobCreateTemporary", "OCILobTrim", "OCILobWrite"}),
              "OCILobCreateTemporary lobtype=2 csfrm=1 duration=10\nOCILobTrim length=12\n"
              "OCILobWrite amount=12 offset=1 piece=0 data=loading plan\n"
              "OCILobCreateTemporary lobtype=1 csfrm=1 duration=10\nOCILobTrim length=4\n"
              "OCILobWrite amount=4 offset=1 piece=0 data=\\x01\\x02\\x00\\x03\n");
    EXPECT_NE(j.find("in :C=temporary:loading plan"), std::string::npos);
    EXPECT_NE(j.find("in :E=null"), std::string::npos) << j;  // no data, no LOB
    EXPECT_NE(j.find("OCIBindByName name=:c dty=112"), std::string::npos);
    EXPECT_NE(j.find("OCIBindByName name=:b dty=113"), std::string::npos);
}

TEST(Lob, BlobCompressionBeforeTheTemporaryLob) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("insert into docs values (:b)");
    c.SetProp(prTemporaryLobs, TVariant(true));
    TOraParamDesc* b = c.FindParam("b");
    b->SetDataType(dtOraBlob);
    b->SetParamType(pdInput);
    const std::string data(60, 'a');
    auto run = [&](uint8_t mode) {
        c.BlobCompression = mode;
        b->SetItemAsVariant(1, TVariant::FromBytes(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
        home->clear_journal();
        c.Execute();
        return Calls(home.Journal(), {"OCILobTrim"});
    };
    // modes 2 and 3 compress with the blob model: without a compressor that
    // is the error, with one the packed data go out
    EXPECT_EQ(ErrorOf([&] { run(2); }), "Compressor function is not linked");
    CompressProc = oratest::RlePack;
    UncompressProc = oratest::RleUnpack;
    EXPECT_EQ(run(3), "OCILobTrim length=22\n");  // the header and one (count, byte) pair
    EXPECT_EQ(run(1), "OCILobTrim length=60\n");
    CompressProc = nullptr;
    UncompressProc = nullptr;
    EXPECT_EQ(run(0), "OCILobTrim length=60\n");
}

TEST(Lob, OutputLobAndFileParameters) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("begin p(:d, :f, :z); end;");
    c.FindParam("d")->SetDataType(dtOraClob);
    c.FindParam("f")->SetDataType(dtBFile);
    c.FindParam("z")->SetDataType(dtBFile);
    home->script("begin p(:d, :f, :z); end;", "out:d=returned text|out:f=PLANS/c1.txt|out:z=(zero)");
    c.Execute();
    auto* d = dynamic_cast<TOCILobObject*>(c.FindParam("d")->GetObject());
    ASSERT_NE(d, nullptr);
    d->ReadLob();
    EXPECT_EQ(d->AsBytes(), "returned text");
    auto* f = dynamic_cast<TOCILobObject*>(c.FindParam("f")->GetObject());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FileDir(), "PLANS");
    EXPECT_EQ(f->FileName(), "c1.txt");
    auto* z = dynamic_cast<TOCILobObject*>(c.FindParam("z")->GetObject());
    ASSERT_NE(z, nullptr);
    EXPECT_TRUE(z->IsNull());
}

// ---------------------------------------------------------------------------
// Parameters of NUMBER, TIMESTAMP and INTERVAL

TEST(Params, NumberTimeStampAndIntervalValues) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = ' ';
    fs.ShortDateFormat = "yyyy-mm-dd";
    fs.LongTimeFormat = "hh:nn:ss";
    Settings s(fs);
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("begin p(:n, :t, :i, :r); end;");
    TOraParamDesc* n = c.FindParam("n");
    n->SetDataType(dtNumber);
    n->SetValue(TVariant(std::string("-0,25")));
    TOraParamDesc* t = c.FindParam("t");
    t->SetDataType(dtTimeStamp);
    t->SetValue(TVariant::FromDate(EncodeDate(2020, 5, 17) + EncodeTime(8, 30, 0, 0)));
    TOraParamDesc* i = c.FindParam("i");
    i->SetDataType(dtIntervalDS);
    i->SetValue(TVariant(std::string("+01 02:03:04")));
    TOraParamDesc* r = c.FindParam("r");
    r->SetDataType(dtNumber);
    home->script("begin p(:n, :t, :i, :r); end;", "out:r=123456789012.5");
    home->clear_journal();
    c.Execute();
    const std::string j = home.Journal();
    EXPECT_NE(j.find("in :N=-.25"), std::string::npos);
    EXPECT_NE(j.find("in :T=2020-05-17 08:30:00.000000000"), std::string::npos);
    EXPECT_NE(j.find("in :I=+01 02:03:04.000000"), std::string::npos);
    EXPECT_NE(j.find("in :R=null"), std::string::npos);
    EXPECT_NE(j.find("OCIBindByName name=:t dty=187 size=8"), std::string::npos);
    EXPECT_NE(j.find("OCIBindByName name=:i dty=190 size=8"), std::string::npos);
    auto* out = dynamic_cast<TOraNumber*>(r->GetObject());
    ASSERT_NE(out, nullptr);
    EXPECT_FALSE(out->IsNull());
    EXPECT_EQ(out->AsString(), "123456789012,5");
    // a Variant the code cannot take
    EXPECT_EQ(ErrorOf([&] { i->SetValue(TVariant(3.5)); }), "Cannot convert type");
    EXPECT_EQ(ErrorOf([&] { n->SetValue(TVariant(true)); }), "Cannot convert type");
    // null values bind as null, though the objects held values before
    n->SetValue(TVariant::Null());
    t->SetValue(TVariant::Null());
    EXPECT_EQ(n->GetObject(), nullptr);
    home->clear_journal();
    c.Execute();
    EXPECT_NE(home.Journal().find("in :N=null"), std::string::npos);
    EXPECT_NE(home.Journal().find("in :T=null"), std::string::npos);
}

TEST(Params, NumberArraysAndOldClients) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("insert into t values (:a)");
    TOraParamDesc* a = c.FindParam("a");
    a->SetDataType(dtNumber);
    a->SetLength(3);
    a->SetItemAsVariant(1, TVariant(int64_t{7}));
    a->SetItemAsVariant(3, TVariant(2.5));
    // a 64-bit value goes into the element's own number
    TObject* third = a->GetItemObject(3);
    a->SetItemAsLargeInt(3, 9007199254740993);
    EXPECT_EQ(a->GetItemObject(3), third);
    c.Iters = 3;
    home->clear_journal();
    c.Execute();
    EXPECT_EQ(Calls(home.Journal(), {"in "}), "in :A#0=7\nin :A#1=null\nin :A#2=9007199254740993\n");
    // a single value takes a new number
    TOraParamDesc one;
    one.SetItemAsLargeInt(1, -9007199254740993);
    EXPECT_EQ(one.DataType(), dtNumber);
    auto* number = dynamic_cast<TOraNumber*>(one.GetObject());
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->AsInteger(), -9007199254740993);
    EXPECT_FALSE(one.GetNull());
    EXPECT_NE(home.Journal().find("OCIBindArrayOfStruct pvskip=22 indskip=2"), std::string::npos);
}

TEST(Params, TimeStampsNeedOracle9) {
    FakeHomeScope home("ora817");
    auto conn = Connected();
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("insert into t values (:a)");
    c.FindParam("a")->SetDataType(dtTimeStamp);
    EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "Data type is not supported");
    c.FindParam("a")->SetDataType(dtXML);
    EXPECT_EQ(ErrorOf([&] { c.Execute(); }), "Data type is not supported");
}

// ---------------------------------------------------------------------------
// Objects

namespace {
// SCOTT.T_ORDER (ID NUMBER, NAME VARCHAR2, ITEMS a collection of NUMBER,
// TAGS a collection of VARCHAR2, DOC CLOB, SUB T_SUB (NOTE CLOB, QTY
// NUMBER), OWNER REF T_SUB, MADE DATE), built in code and in the fake.
struct OrderTypes {
    TOraType* sub;
    TOraType* order;
    TObjectType items{"T_ITEMS"}, tags{"T_TAGS"};
    explicit OrderTypes(TOCIConnection* c) {
        const fakeoci_types_table* control = TypesControl();
        control->define_type("SCOTT.T_SUB", "NOTE:CLOB,QTY:NUMBER");
        control->define_type("SCOTT.T_ORDER",
                             "ID:NUMBER,NAME:STRING,ITEMS:COLL(NUMBER),TAGS:COLL(STRING),DOC:CLOB,SUB:OBJ(SCOTT.T_SUB),"
                             "OWNER:REF,MADE:DATE");
        sub = new TOraType("SCOTT.T_SUB");
        sub->AddAttribute("NOTE", dtOraClob);
        sub->AddAttribute("QTY", dtNumber);
        items.AddAttribute("ELEMENT", dtNumber);
        tags.AddAttribute("ELEMENT", dtString);
        order = new TOraType("scott.t_order");
        order->AddAttribute("ID", dtNumber);
        order->AddAttribute("NAME", dtString);
        order->AddAttribute("ITEMS", dtArray, &items);
        order->AddAttribute("TAGS", dtTable, &tags);
        order->AddAttribute("DOC", dtOraClob);
        order->AddAttribute("SUB", dtObject, sub);
        order->AddAttribute("OWNER", dtReference, sub);
        order->AddAttribute("MADE", dtDateTime);
        TOraTypes::Add(sub);
        TOraTypes::Add(order);
        sub->Describe(c);
        order->Describe(c);
    }
    ~OrderTypes() { TOraTypes::Clear(); }
};
}  // namespace

TEST(Objects, AttributesAndAGrowingCollection) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    OrderTypes types(conn.get());
    EXPECT_NE(home.Journal().find("OCITypeByName name=SCOTT.T_ORDER"), std::string::npos);
    Held<TOCIObjectInstance> o(new TOCIObjectInstance(types.order, conn->GetSvcCtx()));
    EXPECT_TRUE(o->IsNull());
    o->CheckAlloc();  // made on demand
    EXPECT_FALSE(o->IsNull());
    EXPECT_TRUE(o->GetAttrIsNull("ID"));
    EXPECT_EQ(o->GetAttrAsInteger("ID"), 0);
    EXPECT_EQ(o->GetAttrAsString("NAME"), "");
    o->SetAttrAsInteger("id", 42);
    o->SetAttrAsString("Name", "container 40HQ");
    o->SetAttrAsFloat("SUB.QTY", 2.5);
    o->SetAttrAsDateTime("MADE", EncodeDate(2023, 4, 5) + EncodeTime(6, 7, 8, 0));
    EXPECT_EQ(o->GetAttrAsInteger("ID"), 42);
    EXPECT_EQ(o->GetAttrAsString("NAME"), "container 40HQ");
    EXPECT_DOUBLE_EQ(o->GetAttrAsFloat("SUB.QTY"), 2.5);
    EXPECT_DOUBLE_EQ(o->GetAttrAsDateTime("MADE"), EncodeDate(2023, 4, 5) + EncodeTime(6, 7, 8, 0));
    o->SetAttrNull("NAME");
    EXPECT_TRUE(o->GetAttrIsNull("NAME"));

    o->SetAttrAsInteger("ITEMS[1]", 10);
    o->SetAttrAsInteger("ITEMS[2]", 20);
    EXPECT_EQ(o->GetCollectionSize("ITEMS"), 2);
    home->clear_journal();
    o->SetAttrAsInteger("ITEMS[5]", 50);
    EXPECT_EQ(Calls(home.Journal(), {"OCICollAppend", "OCICollAssignElem"}),
              "OCICollAppend index=2 ind=-1\nOCICollAppend index=3 ind=-1\nOCICollAppend index=4 ind=-1\n"
              "OCICollAssignElem index=4 ind=0 value=50\n");
    EXPECT_EQ(o->GetCollectionSize("ITEMS"), 5);
    EXPECT_TRUE(o->GetAttrIsNull("ITEMS[3]"));
    EXPECT_TRUE(o->GetAttrIsNull("ITEMS[4]"));
    EXPECT_EQ(o->GetAttrAsInteger("ITEMS[2]"), 20);
    EXPECT_EQ(o->GetAttrAsInteger("ITEMS[5]"), 50);
    // string elements start as empty strings with null indicators
    o->SetAttrAsString("TAGS[2]", "fragile");
    EXPECT_TRUE(o->GetAttrIsNull("TAGS[1]"));
    EXPECT_EQ(o->GetAttrAsString("TAGS[2]"), "fragile");

    for (const char* bad : {"NOPE", "ITEMS[2", "NAME[1]", "ITEMS[0]", "ITEMS[x]", "ID.X", "SUB.", ""})
        EXPECT_EQ(ErrorOf([&] { o->GetAttrIsNull(bad); }), "Invalid attribute name") << bad;
    EXPECT_EQ(ErrorOf([&] { o->GetAttrAsFloat("TAGS[2]"); }), "Cannot convert type");
    EXPECT_EQ(ErrorOf([&] { o->GetAttrAsDateTime("ID"); }), "Cannot convert type");
}

TEST(Objects, UnknownElementKindStopsAndUnallocatedObjects) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    OrderTypes types(conn.get());
    TObjectType dates("T_DATES");
    dates.AddAttribute("ELEMENT", dtOraBlob);
    auto* t = new TOraType("SCOTT.T_ORDER");
    t->AddAttribute("ITEMS", dtArray, &dates);
    TOraTypes::Add(t);
    t->Describe(conn.get());
    Held<TOCIObjectInstance> o(new TOCIObjectInstance(t));
    EXPECT_THROW(o->GetAttrIsNull("ITEMS[1]"), EAssertionFailed);

    // a type without a descriptor cannot make an instance
    auto* plain = new TOraType("T_LOCAL");
    TOraTypes::Add(plain);
    Held<TOCIObjectInstance> none(new TOCIObjectInstance(plain));
    EXPECT_EQ(ErrorOf([&] { none->CheckAlloc(); }), "Object is not allocated");
    EXPECT_TRUE(none->IsNull());
    // an unknown type is the server's error
    auto* missing = new TOraType("SCOTT.T_NONE");
    TOraTypes::Add(missing);
    EXPECT_EQ(ErrorOf([&] { missing->Describe(conn.get()); }), "ORA-04043: object SCOTT.T_NONE does not exist");
}

TEST(Objects, NestedLobsBecomeTemporaryLobsWhenBound) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    OrderTypes types(conn.get());
    Held<TOCIObjectInstance> o(new TOCIObjectInstance(types.order, conn->GetSvcCtx()));
    o->SetAttrAsInteger("ID", 7);
    o->GetAttrAsLob("DOC")->SetBytes("packing list");
    o->GetAttrAsLob("sub.note")->SetBytes("handle with care");
    EXPECT_EQ(o->GetAttrAsLob("DOC"), o->GetAttrAsLob("doc"));  // one nested instance per path
    EXPECT_EQ(ErrorOf([&] { o->GetAttrAsLob("ID"); }), "Cannot convert type");
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("begin save_order(:o); end;");
    TOraParamDesc* p = c.FindParam("o");
    p->SetDataType(dtObject);
    p->SetParamType(pdInput);
    p->SetObject(o.p);
    home->clear_journal();
    c.Execute();
    const std::string j = home.Journal();
    EXPECT_EQ(Calls(j, {"OCILobCreateTemporary", "OCILobWrite", "OCIObjectSetAttr", "OCIBindObject"}),
              "OCILobCreateTemporary lobtype=2 csfrm=1 duration=10\n"
              "OCILobWrite amount=12 offset=1 piece=0 data=packing list\n"
              "OCIObjectSetAttr name=DOC value=temporary:packing list\n"
              "OCILobCreateTemporary lobtype=2 csfrm=1 duration=10\n"
              "OCILobWrite amount=16 offset=1 piece=0 data=handle with care\n"
              "OCIObjectSetAttr name=NOTE value=temporary:handle with care\n"
              "OCIBindObject type=SCOTT.T_ORDER instance=set\n");
    EXPECT_NE(j.find("OCIBindByName name=:o dty=108 size=0"), std::string::npos);
}

TEST(Objects, ReferenceAsHexText) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    OrderTypes types(conn.get());
    auto* refType = new TOraType("SCOTT.T_SUB", dtReference);
    TOraTypes::Add(refType);
    Held<TOCIObjectInstance> ref(new TOCIObjectInstance(refType));
    EXPECT_EQ(ref->RefAsString(), "");  // no reference
    TOCICommand c;
    PrepareReferenceSelect(c, *conn, ref.p, home);
    home->clear_journal();
    c.Execute();
    EXPECT_NE(home.Journal().find("OCIBindByName name=:r dty=110"), std::string::npos);
    EXPECT_EQ(ref->RefAsString(), "5265667E31");
    EXPECT_NE(home.Journal().find("OCIRefToHex room=1000"), std::string::npos);
    // a reference attribute never set gives no text
    Held<TOCIObjectInstance> o(new TOCIObjectInstance(types.order, conn->GetSvcCtx()));
    EXPECT_EQ(o->RefAsString("OWNER"), "");
}

TEST(Objects, XmlTextReadInChunks) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    std::string xml = "<plan>";
    while (xml.size() < 100000 - 7) xml += static_cast<char>('a' + xml.size() % 26);
    xml += "</plan>";
    ASSERT_EQ(xml.size(), 100000u);
    TOCICommand c;
    c.SetConnection(conn.get());
    c.SetSQL("begin :x := plan_xml(1); end;");
    TOraParamDesc* p = c.FindParam("x");
    p->SetDataType(dtXML);
    p->SetParamType(pdOutput);
    EXPECT_TRUE(p->GetNull());
    home->script("begin :x := plan_xml(1); end;", ("out:x=" + xml).c_str());
    home->clear_journal();
    c.Execute();
    EXPECT_NE(home.Journal().find("OCITypeByName name=SYS.XMLTYPE"), std::string::npos);
    auto* x = dynamic_cast<TOCIXMLValue*>(p->GetObject());
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(x->IsNull());
    home->clear_journal();
    EXPECT_EQ(x->XMLAsString(), xml);
    // two chunks of data, then the empty read that ends the stream
    EXPECT_NE(home.Journal().find("OCIDescriptorFree type=74 reads=3 chunks=65513,34487,0 closed"), std::string::npos);
    EXPECT_NE(home.Journal().find("OCIObjectFree type=SYS.XMLTYPE"), std::string::npos);
    home->clear_journal();
    EXPECT_EQ(x->XMLAsString(), xml);  // cached
    EXPECT_EQ(home.Journal().find("OCIPStream"), std::string::npos);
    EXPECT_EQ(home.Journal().find("OCIDescriptorAlloc"), std::string::npos);
    x->SetXML("<b/>");
    EXPECT_EQ(x->XMLAsString(), "<b/>");
    // an XML value with nothing behind it
    Held<TOCIXMLValue> empty(new TOCIXMLValue(XMLTypeOf(conn.get())));
    empty->SetXML("");
    EXPECT_TRUE(empty->IsNull());
}

TEST(Objects, TypesPerConnection) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    auto other = Connected();
    TOraTypes::Clear();
    TOraType* x1 = XMLTypeOf(conn.get());
    EXPECT_EQ(XMLTypeOf(conn.get()), x1);
    TOraType* x2 = XMLTypeOf(other.get());
    EXPECT_NE(x1, x2);
    EXPECT_EQ(TOraTypes::Count(), 2);
    {
        Held<TOCIObjectInstance> holding(new TOCIObjectInstance(x1));
        TOraTypes::ClearTypes(conn.get());
        // still used: kept, but no longer found for the connection
        EXPECT_EQ(TOraTypes::Count(), 2);
        EXPECT_FALSE(x1->Valid());
        EXPECT_FALSE(x1->CanAllocate());
        EXPECT_EQ(ErrorOf([&] { holding->CheckAlloc(); }), "Object is not allocated");
    }
    EXPECT_EQ(TOraTypes::Find(conn.get(), "SYS.XMLTYPE"), nullptr);
    TOraTypes::ClearTypes(other.get());
    EXPECT_EQ(TOraTypes::Count(), 1);
    TOraTypes::Clear();
    EXPECT_EQ(TOraTypes::Count(), 0);
}

// ---------------------------------------------------------------------------
// DATE bytes, shared buffers

TEST(OraDate, BytesThatNameNoDateAreAConversionError) {
    const uint8_t good[7] = {120, 124, 6, 15, 13, 31, 1};
    EXPECT_DOUBLE_EQ(OraDateToDateTime(good), EncodeDate(2024, 6, 15) + EncodeTime(12, 30, 0, 0));
    const uint8_t month0[7] = {120, 124, 0, 15, 1, 1, 1};
    const uint8_t hour25[7] = {120, 124, 6, 15, 26, 1, 1};  // hour byte 26: hour 25
    const uint8_t hour0[7] = {120, 124, 6, 15, 0, 1, 1};    // hour byte 0: hour -1
    const uint8_t day31[7] = {120, 124, 2, 31, 1, 1, 1};
    for (const uint8_t* d : {month0, hour25, hour0, day31})
        EXPECT_EQ(ErrorOf([&] { OraDateToDateTime(d); }), "Cannot convert type");
}

TEST(Shared, BuffersAndParameterRoutinesFollowStartupAndShutdown) {
    const TOraSharedBuffers& b = OraSharedBuffers();
    ASSERT_NE(b.NullIndicators, nullptr);
    for (int i = 0; i < SharedNullIndicatorCount; ++i) EXPECT_EQ(b.NullIndicators[i], -1);
    EXPECT_EQ(*b.NotNullIndicator, 0);
    EXPECT_EQ(*b.Pointer, nullptr);
    EXPECT_TRUE(static_cast<bool>(OraObjectHooks().BindObject));
    OraObjectsShutdown();
    EXPECT_EQ(OraSharedBuffers().NullIndicators, nullptr);
    EXPECT_FALSE(static_cast<bool>(OraObjectHooks().BindObject));
    EXPECT_FALSE(static_cast<bool>(OraObjectHooks().SetObjectValue));
    OraObjectsStartup();
    EXPECT_NE(OraSharedBuffers().NullIndicators, nullptr);
    EXPECT_TRUE(static_cast<bool>(OraObjectHooks().WriteTemporaryLob));
}
