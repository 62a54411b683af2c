// The dataset field classes of the Oracle values, over record cells that
// hold the value objects, against the fake client: data types and class
// descriptions, the stored "DataType" property, the conversions of NUMBER,
// TIMESTAMP, INTERVAL and XMLType fields and what they refuse, the
// hex-references switch, BFILE nullness, and the registration of the
// classes at start-up and their removal at shutdown.

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "oracle/Ora.h"
#include "oracle/OraClasses.h"
#include "oracle/OraFields.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraModules.h"
#include "oracle/OraObjects.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::Connected;
using oratest::ErrorOf;
using oratest::FakeHomeScope;
using oratest::Held;
using oratest::PrepareReferenceSelect;
using oratest::Settings;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

// A field bound to a record cell that holds the given value object.
template <typename F>
struct Bound {
    F field;
    TFieldSlot slot;
    explicit Bound(TSharedObject* object, const char* name = "F") : slot(object) {
        field.SetFieldName(name);
        field.Bind(&slot);
    }
    int32_t Writes() const { return slot.Writes() - 1; }  // after the first filling
};

// Defines an object type in the loaded fake.
void DefineFakeType(const char* name, const char* attributes) {
    const fakeoci_types_table* control = oratest::TypesControl();
    ASSERT_NE(control, nullptr);
    control->define_type(name, attributes);
}

std::vector<std::string> RegisteredFieldClasses() {
    std::vector<std::string> names;
    for (const TClassDesc* c : RegisteredClasses())
        if (c->InheritsFrom(TField::StaticClass())) names.push_back(c->Name);
    return names;
}

const std::vector<std::string> kFieldClasses{"TCursorField",       "TBFileField",        "TOraDataSetField",
                                             "TOraReferenceField", "TOraTimeStampField", "TOraIntervalField",
                                             "TOraNumberField",    "TOraXMLField"};

}  // namespace

// ---------------------------------------------------------------------------
// Registration

TEST(FieldRegistration, EightClassesInOrderAtStartUpAndGoneAtShutdown) {
    EXPECT_EQ(RegisteredFieldClasses(), kFieldClasses);
    // a stored form makes its field by the class name
    std::unique_ptr<TObject> made(FindClass("toranumberfield")->Create());
    auto* number = dynamic_cast<TOraNumberField*>(made.get());
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->DataType(), ftOraNumber);

    // a second start-up is counted and registers nothing twice
    startupModules();
    EXPECT_EQ(RegisteredFieldClasses(), kFieldClasses);
    shutdownModules();
    EXPECT_EQ(RegisteredFieldClasses(), kFieldClasses);

    HexReferences = true;
    shutdownModules();
    EXPECT_TRUE(RegisteredFieldClasses().empty());
    EXPECT_EQ(GetClass("TOraXMLField"), nullptr);
    startupModules();
    EXPECT_EQ(RegisteredFieldClasses(), kFieldClasses);
    EXPECT_FALSE(HexReferences);  // start-up clears the switch
}

TEST(FieldRegistration, ATakenNameTakesBackTheClassesBeforeIt) {
    OraFieldsShutdown();
    static const TClassDesc impostor{"TOraIntervalField", TObject::StaticClass(), nullptr};
    RegisterClass(&impostor);
    EXPECT_THROW(OraFieldsStartup(), EClassRegistryError);
    EXPECT_EQ(GetClass("TCursorField"), nullptr);
    EXPECT_EQ(GetClass("TOraTimeStampField"), nullptr);
    UnRegisterClass(&impostor);
    OraFieldsStartup();
    EXPECT_EQ(RegisteredFieldClasses(), kFieldClasses);
}

// ---------------------------------------------------------------------------
// Data types, descriptions, stored properties

TEST(FieldClasses, DataTypesAndDescriptionsOfNullFields) {
    TCursorField cursor;
    TBFileField bfile;
    TOraDataSetField dataSet;
    TOraReferenceField reference;
    TOraTimeStampField timeStamp;
    TOraIntervalField interval;
    TOraNumberField number;
    TOraXMLField xml;
    EXPECT_EQ(cursor.DataType(), 22);
    EXPECT_EQ(bfile.DataType(), 100);
    EXPECT_EQ(dataSet.DataType(), ftDataSet);
    EXPECT_EQ(reference.DataType(), ftReference);
    EXPECT_EQ(timeStamp.DataType(), 36);
    EXPECT_EQ(interval.DataType(), 104);
    EXPECT_EQ(number.DataType(), 107);
    EXPECT_EQ(number.DisplayWidth(), 38);
    EXPECT_EQ(xml.DataType(), 108);
    EXPECT_EQ(interval.LeadingPrecision, 2);
    EXPECT_EQ(interval.FractionalPrecision, 6);

    EXPECT_EQ(cursor.AsString(), "(Cursor)");
    EXPECT_EQ(bfile.ClassDesc(), "(BFile)");
    EXPECT_EQ(bfile.DisplayText(), "(BFile)");
    EXPECT_EQ(dataSet.AsString(), "(DataSet)");
    EXPECT_EQ(reference.AsString(), "(Reference)");
    EXPECT_EQ(xml.ClassDesc(), "(OraXML)");

    // the BFILE field: blob type 15 whatever is set, which sets code 100
    EXPECT_EQ(bfile.BlobType(), ftBlob);
    bfile.SetDataType(ftMemo);
    bfile.SetBlobType(ftMemo);
    EXPECT_EQ(bfile.BlobType(), ftBlob);
    EXPECT_EQ(bfile.DataType(), ftBFile);
    EXPECT_FALSE(bfile.CanModify());
    EXPECT_TRUE(bfile.IsBlob());
    EXPECT_TRUE(xml.IsBlob());
    EXPECT_FALSE(number.IsBlob());
}

TEST(FieldClasses, DataTypeIsStoredByFourClassesAndRestored) {
    TOraNumberField number;
    number.SetFieldName("QTY");
    number.SetDataType(dtNumber);
    TFieldProperties props;
    number.StoreProperties(props);
    ASSERT_EQ(props.count("DataType"), 1u);
    EXPECT_EQ(props["DataType"].VarType(), varInteger);
    TOraNumberField back;
    back.LoadProperties(props);
    EXPECT_EQ(back.FieldName(), "QTY");
    EXPECT_EQ(back.DataType(), dtNumber);

    // any code goes into the timestamp, interval and XML fields
    TOraTimeStampField ts;
    ts.SetDataType(dtTimeStampTZ);
    TOraIntervalField iv;
    iv.SetDataType(dtIntervalYM);
    TOraXMLField xml;
    xml.SetDataType(dtXML);
    for (TField* f : std::vector<TField*>{&ts, &iv, &xml}) {
        TFieldProperties p;
        f->StoreProperties(p);
        std::unique_ptr<TObject> made(f->ClassType()->Create());
        auto* copy = dynamic_cast<TField*>(made.get());
        ASSERT_NE(copy, nullptr);
        copy->LoadProperties(p);
        EXPECT_EQ(copy->DataType(), f->DataType()) << f->ClassName();
    }

    // the other four keep the code of their constructor
    TCursorField cursor;
    TBFileField bfile;
    TOraDataSetField dataSet;
    TOraReferenceField reference;
    for (TField* f : std::vector<TField*>{&cursor, &bfile, &dataSet, &reference}) {
        TFieldProperties p;
        f->StoreProperties(p);
        EXPECT_EQ(p.count("DataType"), 0u) << f->ClassName();
    }
    // a stored code outside the 16 bits is refused, not cut
    TFieldProperties bad{{"DataType", TVariant(int32_t{65536 + 107})}};
    EXPECT_THROW(back.LoadProperties(bad), ERangeError);
    EXPECT_EQ(back.DataType(), dtNumber);
}

// ---------------------------------------------------------------------------
// NUMBER

TEST(NumberField, WithoutAValueObjectReadsZeroAndSettersDoNothing) {
    TFieldSlot empty;
    TOraNumberField f;
    f.SetFieldName("QTY");
    f.Bind(&empty);
    EXPECT_TRUE(f.IsNull());
    EXPECT_EQ(f.AsInteger(), 0);
    EXPECT_EQ(f.AsFloat(), 0);
    EXPECT_EQ(f.AsString(), "");
    EXPECT_TRUE(f.AsVariant().IsNull());
    f.SetAsInteger(5);
    f.SetAsFloat(1.5);
    f.SetAsString("7");
    EXPECT_EQ(empty.Writes(), 0);
    EXPECT_EQ(empty.Object(), nullptr);
}

TEST(NumberField, ConversionsWriteTheSameObjectBack) {
    FakeHomeScope home("ora10201");
    Held<TOraNumber> n(new TOraNumber);
    Bound<TOraNumberField> b(n.p, "QTY");
    b.field.SetAsString("12.5");
    EXPECT_EQ(b.slot.Object(), n.p);
    EXPECT_EQ(b.Writes(), 1);
    EXPECT_DOUBLE_EQ(b.field.AsFloat(), 12.5);
    EXPECT_EQ(b.field.DisplayText(), "12.5");
    const TVariant text = b.field.AsVariant();
    EXPECT_EQ(text.VarType(), varString);
    EXPECT_EQ(text.AsString(), "12.5");

    // 64-bit integers pass whole
    const int64_t top = std::numeric_limits<int64_t>::max();
    b.field.SetAsVariant(TVariant(top));
    EXPECT_EQ(b.field.AsInteger(), top);
    b.field.SetAsVariant(TVariant(int16_t{-3}));
    EXPECT_EQ(b.field.AsString(), "-3");
    b.field.SetAsVariant(TVariant(2.25));
    EXPECT_DOUBLE_EQ(b.field.AsFloat(), 2.25);
    b.field.SetAsVariant(TVariant::FromCurrencyScaled(15000));
    EXPECT_DOUBLE_EQ(b.field.AsFloat(), 1.5);
    b.field.SetAsVariant(TVariant(u"-40"));
    EXPECT_EQ(b.field.AsInteger(), -40);
    EXPECT_EQ(b.Writes(), 6);

    // no number form for a boolean or a date
    EXPECT_EQ(ErrorOf([&] { b.field.SetAsVariant(TVariant(true)); }), "Cannot access field 'QTY' as type Variant");
    EXPECT_EQ(ErrorOf([&] { b.field.SetAsDateTime(1); }), "Cannot access field 'QTY' as type DateTime");
    EXPECT_EQ(b.field.AsInteger(), -40);

    // null and the empty text clear: the record keeps its object
    b.field.SetAsVariant(TVariant::Null());
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_EQ(b.slot.Object(), n.p);
    EXPECT_TRUE(b.field.AsVariant().IsNull());
    b.field.SetAsInteger(9);
    EXPECT_FALSE(b.field.IsNull());
    b.field.SetAsString("");
    EXPECT_TRUE(n->IsNull());
}

TEST(NumberField, ReadOnlyRefusesBeforeTheNumberChanges) {
    FakeHomeScope home("ora10201");
    Held<TOraNumber> n(new TOraNumber);
    n->SetAsLargeInt(3);
    Bound<TOraNumberField> b(n.p, "QTY");
    b.field.SetReadOnly(true);
    EXPECT_EQ(ErrorOf([&] { b.field.SetAsInteger(4); }), "Field 'QTY' cannot be modified");
    EXPECT_EQ(ErrorOf([&] { b.field.Clear(); }), "Field 'QTY' cannot be modified");
    EXPECT_EQ(n->AsInteger(), 3);
    EXPECT_EQ(b.Writes(), 0);
}

TEST(NumberField, ValidCharactersFollowTheLocaleSeparators) {
    Settings s(',', ' ');
    TOraNumberField f;
    for (char c : std::string("0123456789+-Ee, ")) EXPECT_TRUE(f.IsValidChar(c)) << c;
    for (char c : std::string(".xX/")) EXPECT_FALSE(f.IsValidChar(c)) << c;
}

// ---------------------------------------------------------------------------
// TIMESTAMP

TEST(TimeStampField, DateTimesSqlTimeStampsAndTextInTheFieldsFormat) {
    FakeHomeScope home("ora10201");
    Settings s("dd.mm.yyyy", "hh:nn:ss");
    Held<TOCITimeStampValue> t(new TOCITimeStampValue);
    Bound<TOraTimeStampField> b(t.p, "MADE");
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_TRUE(b.field.AsSQLTimeStamp().IsZero());
    EXPECT_TRUE(b.field.AsVariant().IsNull());

    const TDateTime value = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 30, 250);
    b.field.SetAsDateTime(value);
    EXPECT_EQ(b.Writes(), 1);
    EXPECT_DOUBLE_EQ(b.field.AsDateTime(), value);
    TSQLTimeStamp expected;
    expected.Year = 2024;
    expected.Month = 2;
    expected.Day = 29;
    expected.Hour = 13;
    expected.Minute = 45;
    expected.Second = 30;
    expected.Fractions = 250;  // milliseconds
    EXPECT_EQ(b.field.AsSQLTimeStamp(), expected);
    const TVariant v = b.field.AsVariant();
    EXPECT_EQ(v.VarType(), varSQLTimeStamp);
    EXPECT_EQ(v.AsSQLTimeStamp(), expected);
    EXPECT_DOUBLE_EQ(v.AsDateTime(), value);
    EXPECT_THROW(TVariant::FromDate(value).AsSQLTimeStamp(), EVariantError);

    // the locale's model unless the field has a format of its own
    EXPECT_EQ(b.field.AsString(), "29.02.2024 13:45:30");
    b.field.SetFormat("YYYY-MM-DD HH24:MI:SS.FF");
    t->Precision = 3;
    EXPECT_EQ(b.field.AsString(), "2024-02-29 13:45:30.250");
    b.field.SetAsVariant(TVariant(std::string("2001-12-31 23:59:58.5")));
    EXPECT_DOUBLE_EQ(b.field.AsDateTime(), EncodeDate(2001, 12, 31) + EncodeTime(23, 59, 58, 500));
    b.field.SetFormat("");
    EXPECT_EQ(b.field.AsString(), "31.12.2001 23:59:58");

    expected.Fractions = 999;
    b.field.SetAsVariant(TVariant::FromSQLTimeStamp(expected));
    EXPECT_EQ(b.field.AsSQLTimeStamp(), expected);
    EXPECT_NE(home.Journal().find("OCIDateTimeConstruct 2024-2-29 13:45:30 fsec=999000000"), std::string::npos);
    b.field.SetAsVariant(TVariant::FromDate(EncodeDate(1999, 1, 2)));
    EXPECT_DOUBLE_EQ(b.field.AsDateTime(), EncodeDate(1999, 1, 2));
    EXPECT_EQ(b.Writes(), 4);
}

TEST(TimeStampField, ZeroRecordIsNullAndOversizedFractionsAreRefused) {
    FakeHomeScope home("ora10201");
    Held<TOCITimeStampValue> t(new TOCITimeStampValue);
    Bound<TOraTimeStampField> b(t.p, "MADE");
    b.field.SetAsDateTime(EncodeDate(2020, 5, 17));
    b.field.SetAsSQLTimeStamp(TSQLTimeStamp{});
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_EQ(b.slot.Object(), t.p);
    EXPECT_EQ(b.field.AsDateTime(), 0);

    // 5000 ms as nanoseconds wraps in 32 bits to a valid-looking fraction
    TSQLTimeStamp late;
    late.Year = 2020;
    late.Month = 5;
    late.Day = 17;
    late.Fractions = 5000;
    EXPECT_THROW(b.field.SetAsSQLTimeStamp(late), EConvertError);
    EXPECT_TRUE(b.field.IsNull());

    EXPECT_EQ(ErrorOf([&] { b.field.SetAsVariant(TVariant(int32_t{7})); }),
              "Cannot access field 'MADE' as type Variant");
    b.field.SetAsString("");
    EXPECT_TRUE(b.field.IsNull());

    TOraTimeStampField unbound;
    EXPECT_EQ(unbound.AsDateTime(), 0);
    EXPECT_TRUE(unbound.IsNull());
}

// ---------------------------------------------------------------------------
// INTERVAL

TEST(IntervalField, PrecisionsOfTheFieldAndOnlyStringVariants) {
    FakeHomeScope home("ora10201");
    Held<TOCIIntervalValue> i(new TOCIIntervalValue(OCI_DTYPE_INTERVAL_DS));
    i->LeadingPrecision = 9;  // the field's precisions win
    Bound<TOraIntervalField> b(i.p, "SPAN");
    b.field.SetAsString("+03 04:05:06.5");
    EXPECT_EQ(b.field.AsString(), "+03 04:05:06.500000");
    b.field.LeadingPrecision = 4;
    b.field.FractionalPrecision = 2;
    EXPECT_EQ(b.field.AsString(), "+0003 04:05:06.50");
    const TVariant v = b.field.AsVariant();
    EXPECT_EQ(v.VarType(), varString);
    EXPECT_EQ(v.AsString(), "+0003 04:05:06.50");

    EXPECT_EQ(ErrorOf([&] { b.field.SetAsVariant(TVariant(int32_t{3})); }), "Cannot convert type");
    EXPECT_THROW(b.field.SetAsVariant(TVariant(3.5)), EConvertError);
    EXPECT_THROW(b.field.SetAsVariant(TVariant::FromDate(1)), EConvertError);
    EXPECT_EQ(b.field.AsString(), "+0003 04:05:06.50");
    b.field.SetAsVariant(TVariant(u"+00 00:00:01"));
    EXPECT_EQ(b.field.AsString(), "+0000 00:00:01.00");
    EXPECT_EQ(ErrorOf([&] { b.field.SetAsString("+01 25:00:00"); }), "Invalid interval.");
    EXPECT_EQ(b.Writes(), 2);
    b.field.SetAsVariant(TVariant::Null());
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_TRUE(b.field.AsVariant().IsNull());
}

// ---------------------------------------------------------------------------
// BFILE, cursor, nested table, reference

TEST(BFileField, NullUntilTheLocatorNamesAFile) {
    FakeHomeScope home("ora10201");
    Held<TOCILobObject> f(new TOCILobObject(dtBFile));
    Bound<TBFileField> b(f.p, "PLAN");
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_EQ(b.field.ClassDesc(), "(BFile)");
    OCILobLocator** loc = f->LocatorAddress();
    const oratext zero[1] = {0};
    ASSERT_EQ(OCILobFileSetName(hOCIEnv, hOCIError, loc, zero, 1, zero, 1), OCI_SUCCESS);
    EXPECT_TRUE(b.field.IsNull());
    ASSERT_EQ(OCILobFileSetName(hOCIEnv, hOCIError, loc, zero, 0, reinterpret_cast<const oratext*>("c1.txt"), 6),
              OCI_SUCCESS);
    EXPECT_FALSE(b.field.IsNull());
    EXPECT_EQ(b.field.ClassDesc(), "(BFILE)");
    EXPECT_EQ(b.field.DisplayText(), "(BFILE)");
    EXPECT_EQ(ErrorOf([&] { b.field.Clear(); }), "Field 'PLAN' cannot be modified");
    EXPECT_EQ(b.slot.Object(), f.p);
}

TEST(ObjectFields, CursorAndNestedTableDescriptions) {
    Held<TOraCursor> cursor(new TOraCursor);
    Bound<TCursorField> c(cursor.p);
    EXPECT_EQ(c.field.AsString(), "(CURSOR)");

    Held<TOraCursor> nested(new TOraCursor);
    Bound<TOraDataSetField> d(nested.p);
    EXPECT_EQ(d.field.AsString(), "(DATASET)");
    // the nested object is held while the child fields are bound to it
    EXPECT_EQ(d.field.DataSetObject(), nested.p);
    EXPECT_EQ(nested->RefCount(), 3);
    d.field.BindFields(true);
    EXPECT_EQ(nested->RefCount(), 2);
    EXPECT_TRUE(d.field.FieldsBound());
    EXPECT_EQ(d.field.DataSetObject(), nested.p);
    d.field.Clear();
    EXPECT_EQ(d.field.AsString(), "(DataSet)");
    EXPECT_EQ(nested->RefCount(), 2);  // the field still holds it until re-bound
    d.field.BindFields(false);
    EXPECT_EQ(nested->RefCount(), 1);
    EXPECT_EQ(d.field.DataSetObject(), nullptr);
}

TEST(ReferenceField, DescriptionOrHexTextByTheSwitch) {
    FakeHomeScope home("ora10201");
    auto conn = Connected();
    struct TypesGone {
        ~TypesGone() { TOraTypes::Clear(); }  // after the instances that use them
    } gone;
    DefineFakeType("SCOTT.T_SUB", "NOTE:CLOB,QTY:NUMBER");
    auto* refType = new TOraType("SCOTT.T_SUB", dtReference);
    TOraTypes::Add(refType);
    Held<TOCIObjectInstance> ref(new TOCIObjectInstance(refType));
    TOCICommand c;
    PrepareReferenceSelect(c, *conn, ref.p, home);
    c.Execute();

    Bound<TOraReferenceField> b(ref.p, "OWNER");
    TFieldSlot none;
    TOraReferenceField empty;
    empty.Bind(&none);
    HexReferences = false;
    EXPECT_EQ(b.field.AsString(), "(REFERENCE)");
    EXPECT_EQ(empty.AsString(), "(Reference)");
    HexReferences = true;
    EXPECT_EQ(b.field.AsString(), "5265667E31");
    EXPECT_EQ(empty.AsString(), "");
    // a field with an object but no reference in it is an internal fault
    Held<TOCIObjectInstance> hollow(new TOCIObjectInstance(refType));
    Bound<TOraReferenceField> h(hollow.p);
    try {
        (void)h.field.AsString();
        ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "Ref data must not be nil.");
        EXPECT_EQ(e.Module(), "Ora");
    }
    HexReferences = false;
    EXPECT_EQ(h.field.AsString(), "(REFERENCE)");
}

// ---------------------------------------------------------------------------
// XMLType

TEST(XmlField, TextVariantClearAndTheFixedDisplayText) {
    Held<TOCIXMLValue> x(new TOCIXMLValue(nullptr));
    Bound<TOraXMLField> b(x.p, "DOC");
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_EQ(b.field.AsString(), "");
    EXPECT_EQ(b.field.DisplayText(), "(OraXML)");
    EXPECT_TRUE(b.field.AsVariant().IsNull());

    b.field.SetAsString("<plan id=\"1\"/>");
    EXPECT_EQ(b.Writes(), 1);
    EXPECT_FALSE(b.field.IsNull());
    EXPECT_EQ(b.field.AsString(), "<plan id=\"1\"/>");
    EXPECT_EQ(b.field.AsVariant().AsString(), "<plan id=\"1\"/>");
    EXPECT_EQ(b.field.DisplayText(), "(ORAXML)");
    EXPECT_EQ(ErrorOf([&] { b.field.SetDisplayText("<x/>"); }), "Cannot access field 'DOC' as type Text");
    EXPECT_EQ(b.field.AsString(), "<plan id=\"1\"/>");
    EXPECT_EQ(ErrorOf([&] { b.field.AsInteger(); }), "Cannot access field 'DOC' as type Integer");

    b.field.Clear();
    EXPECT_TRUE(b.field.IsNull());
    EXPECT_EQ(b.slot.Object(), x.p);
    EXPECT_EQ(b.field.ClassDesc(), "(OraXML)");
    // an object instance of another type is no XML value
    Held<TOCIObjectInstance> other(new TOCIObjectInstance(nullptr));
    Bound<TOraXMLField> o(other.p, "OTHER");
    o.field.SetAsString("<a/>");
    EXPECT_TRUE(o.field.IsNull());
    // no Variant form of its own: the base field's refusal
    EXPECT_EQ(ErrorOf([&] { b.field.SetAsVariant(TVariant(std::string("<a/>"))); }),
              "Cannot access field 'DOC' as type Variant");
}
