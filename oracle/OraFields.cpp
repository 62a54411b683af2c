#include "oracle/OraFields.h"

#include <cctype>

#include "oracle/DAConsts.h"
#include "oracle/Ora.h"
#include "oracle/OraException.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraObjects.h"
#include "oracle/OraText.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TCursorField, TField, []() -> TObject* { return new TCursorField; })
ORA_DEFINE_CLASS(TBFileField, TBlobField, []() -> TObject* { return new TBFileField; })
ORA_DEFINE_CLASS(TOraDataSetField, TDataSetField, []() -> TObject* { return new TOraDataSetField; })
ORA_DEFINE_CLASS(TOraReferenceField, TReferenceField, []() -> TObject* { return new TOraReferenceField; })
ORA_DEFINE_CLASS(TOraTimeStampField, TField, []() -> TObject* { return new TOraTimeStampField; })
ORA_DEFINE_CLASS(TOraIntervalField, TField, []() -> TObject* { return new TOraIntervalField; })
ORA_DEFINE_CLASS(TOraNumberField, TNumericField, []() -> TObject* { return new TOraNumberField; })
ORA_DEFINE_CLASS(TOraXMLField, TField, []() -> TObject* { return new TOraXMLField; })

namespace {
// "(text)" as it stands for a null field, upper-cased otherwise.
std::string Describe(const char* text, bool isNull) { return isNull ? std::string(text) : UpperCase(text); }
}  // namespace

// ---------------------------------------------------------------------------
// BFILE

bool TBFileField::IsNull() const {
    auto* lob = ValueAs<TOCILobObject>();
    return !lob || (lob->FileDir().empty() && lob->FileName().empty());
}

std::string TBFileField::ClassDesc() const { return Describe("(BFile)", IsNull()); }

// ---------------------------------------------------------------------------
// Nested tables and references

TOraDataSetField::~TOraDataSetField() { TSharedObject::Release(held_); }

std::string TOraDataSetField::AsString() const { return Describe("(DataSet)", IsNull()); }

void TOraDataSetField::BindFields(bool binding) {
    // the child fields follow the record anew: the object held goes
    TSharedObject::Release(held_);
    held_ = nullptr;
    TDataSetField::BindFields(binding);
}

TSharedObject* TOraDataSetField::DataSetObject() {
    if (!held_ && (held_ = GetData())) held_->AddRef();
    return held_;
}

TOraReferenceField::~TOraReferenceField() { TSharedObject::Release(held_); }

std::string TOraReferenceField::AsString() const {
    if (!HexReferences) return Describe("(Reference)", IsNull());
    if (IsNull()) return {};
    auto* ref = ValueAs<TOCIObjectInstance>();
    ORA_ASSERT(ref && ref->Instance(), "Ora", "Ref data must not be nil.");
    return ref->RefAsString();
}

void TOraReferenceField::BindFields(bool binding) {
    TSharedObject::Release(held_);
    held_ = nullptr;
    TReferenceField::BindFields(binding);
}

TSharedObject* TOraReferenceField::ReferenceObject() {
    if (!held_ && (held_ = GetData())) held_->AddRef();
    return held_;
}

// ---------------------------------------------------------------------------
// TIMESTAMP

bool TOraTimeStampField::IsNull() const {
    auto* t = ValueAs<TOCITimeStampValue>();
    return !t || t->IsNull();
}

void TOraTimeStampField::Clear() {
    ChangeValue<TOCITimeStampValue>([](TOCITimeStampValue& t) { t.SetIsNull(true); });
}

std::string TOraTimeStampField::AsString() const {
    auto* t = ValueAs<TOCITimeStampValue>();
    if (!t) return {};
    t->SetFormatModel(format_);
    return t->AsString();
}

void TOraTimeStampField::SetAsString(const std::string& text) {
    if (text.empty()) return Clear();
    ChangeValue<TOCITimeStampValue>([&](TOCITimeStampValue& t) {
        t.SetFormatModel(format_);
        t.SetAsString(text);
    });
}

TDateTime TOraTimeStampField::AsDateTime() const {
    auto* t = ValueAs<TOCITimeStampValue>();
    return t ? t->AsDateTime() : 0;
}

void TOraTimeStampField::SetAsDateTime(TDateTime value) {
    ChangeValue<TOCITimeStampValue>([&](TOCITimeStampValue& t) { t.SetAsDateTime(value); });
}

TSQLTimeStamp TOraTimeStampField::AsSQLTimeStamp() const {
    TSQLTimeStamp r;
    if (IsNull()) return r;
    auto* t = ValueAs<TOCITimeStampValue>();
    int year, month, day, hour, minute, second;
    uint32_t fsec;
    t->GetDate(year, month, day);
    t->GetTime(hour, minute, second, fsec);
    r.Year = static_cast<int16_t>(year);
    r.Month = static_cast<uint16_t>(month);
    r.Day = static_cast<uint16_t>(day);
    r.Hour = static_cast<uint16_t>(hour);
    r.Minute = static_cast<uint16_t>(minute);
    r.Second = static_cast<uint16_t>(second);
    r.Fractions = fsec / 1000000;  // nanoseconds to milliseconds
    return r;
}

void TOraTimeStampField::SetAsSQLTimeStamp(const TSQLTimeStamp& value) {
    if (value.IsZero()) return Clear();
    // Milliseconds become nanoseconds: beyond 999 the product would wrap
    // in 32 bits into some other, valid-looking fraction.
    if (value.Fractions > 999)
        throw EConvertError("Invalid SQL time-stamp fractions: " + std::to_string(value.Fractions));
    ChangeValue<TOCITimeStampValue>([&](TOCITimeStampValue& t) {
        t.Construct(value.Year, value.Month, value.Day, value.Hour, value.Minute, value.Second,
                    value.Fractions * 1000000u);
    });
}

TVariant TOraTimeStampField::AsVariant() const {
    if (IsNull()) return TVariant::Null();
    return TVariant::FromSQLTimeStamp(AsSQLTimeStamp());
}

void TOraTimeStampField::SetVarValue(const TVariant& value) {
    if (value.VarType() == varDate)
        SetAsDateTime(value.AsDateTime());
    else if (IsTextVarType(value.VarType()))
        SetAsString(value.AsString());
    else if (value.VarType() == varSQLTimeStamp)
        SetAsSQLTimeStamp(value.AsSQLTimeStamp());
    else
        TField::SetVarValue(value);
}

void TOraTimeStampField::StoreProperties(TFieldProperties& props) const {
    TField::StoreProperties(props);
    StoreDataType(props);
}

void TOraTimeStampField::LoadProperties(const TFieldProperties& props) {
    TField::LoadProperties(props);
    LoadDataType(props);
}

// ---------------------------------------------------------------------------
// INTERVAL

bool TOraIntervalField::IsNull() const {
    auto* i = ValueAs<TOCIIntervalValue>();
    return !i || i->IsNull();
}

void TOraIntervalField::Clear() {
    ChangeValue<TOCIIntervalValue>([](TOCIIntervalValue& i) { i.SetIsNull(true); });
}

std::string TOraIntervalField::AsString() const {
    auto* i = ValueAs<TOCIIntervalValue>();
    if (!i) return {};
    i->LeadingPrecision = LeadingPrecision;
    i->FractionalPrecision = FractionalPrecision;
    return i->AsString();
}

void TOraIntervalField::SetAsString(const std::string& text) {
    if (text.empty()) return Clear();
    ChangeValue<TOCIIntervalValue>([&](TOCIIntervalValue& i) {
        i.LeadingPrecision = LeadingPrecision;
        i.FractionalPrecision = FractionalPrecision;
        i.SetAsString(text);
    });
}

TVariant TOraIntervalField::AsVariant() const {
    if (IsNull()) return TVariant::Null();
    return TVariant(AsString());
}

void TOraIntervalField::SetVarValue(const TVariant& value) {
    if (!IsTextVarType(value.VarType())) throw EConvertError(SCannotConvertType);
    SetAsString(value.AsString());
}

void TOraIntervalField::StoreProperties(TFieldProperties& props) const {
    TField::StoreProperties(props);
    StoreDataType(props);
}

void TOraIntervalField::LoadProperties(const TFieldProperties& props) {
    TField::LoadProperties(props);
    LoadDataType(props);
}

// ---------------------------------------------------------------------------
// NUMBER

bool TOraNumberField::IsNull() const {
    auto* n = ValueAs<TOraNumber>();
    return !n || n->IsNull();
}

void TOraNumberField::Clear() {
    ChangeValue<TOraNumber>([](TOraNumber& n) { n.SetIsNull(true); });
}

bool TOraNumberField::IsValidChar(char c) const {
    const TFormatSettings fs = FormatSettings();
    return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == 'E' || c == 'e' ||
           c == fs.DecimalSeparator || c == fs.ThousandSeparator;
}

std::string TOraNumberField::AsString() const {
    auto* n = ValueAs<TOraNumber>();
    return n ? n->AsString() : std::string();
}

void TOraNumberField::SetAsString(const std::string& text) {
    if (text.empty()) return Clear();
    ChangeValue<TOraNumber>([&](TOraNumber& n) { n.SetAsString(text); });
}

int64_t TOraNumberField::AsInteger() const {
    auto* n = ValueAs<TOraNumber>();
    return n ? n->AsInteger() : 0;
}

void TOraNumberField::SetAsInteger(int64_t value) {
    ChangeValue<TOraNumber>([&](TOraNumber& n) { n.SetAsLargeInt(value); });
}

double TOraNumberField::AsFloat() const {
    auto* n = ValueAs<TOraNumber>();
    return n ? n->AsFloat() : 0;
}

void TOraNumberField::SetAsFloat(double value) {
    ChangeValue<TOraNumber>([&](TOraNumber& n) { n.SetAsFloat(value); });
}

TVariant TOraNumberField::AsVariant() const {
    if (IsNull()) return TVariant::Null();
    return TVariant(AsString());
}

void TOraNumberField::SetVarValue(const TVariant& value) {
    const uint16_t vt = value.VarType();
    if (IsIntegerVarType(vt)) return SetAsInteger(value.AsInt64());
    if (IsRealVarType(vt)) return SetAsFloat(value.AsDouble());
    if (IsTextVarType(vt)) return SetAsString(value.AsString());
    TNumericField::SetVarValue(value);
}

void TOraNumberField::StoreProperties(TFieldProperties& props) const {
    TNumericField::StoreProperties(props);
    StoreDataType(props);
}

void TOraNumberField::LoadProperties(const TFieldProperties& props) {
    TNumericField::LoadProperties(props);
    LoadDataType(props);
}

// ---------------------------------------------------------------------------
// XMLType

bool TOraXMLField::IsNull() const {
    auto* x = ValueAs<TOCIXMLValue>();
    return !x || x->IsNull();
}

void TOraXMLField::Clear() {
    ChangeValue<TOCIXMLValue>([](TOCIXMLValue& x) { x.Clear(); });
}

std::string TOraXMLField::ClassDesc() const { return Describe("(OraXML)", IsNull()); }

std::string TOraXMLField::AsString() const {
    // A null document reads as empty text rather than allocating an
    // instance to read from.
    if (IsNull()) return {};
    return ValueAs<TOCIXMLValue>()->XMLAsString();
}

void TOraXMLField::SetAsString(const std::string& text) {
    ChangeValue<TOCIXMLValue>([&](TOCIXMLValue& x) { x.SetXML(text); });
}

TVariant TOraXMLField::AsVariant() const {
    if (IsNull()) return TVariant::Null();
    return TVariant(AsString());
}

void TOraXMLField::StoreProperties(TFieldProperties& props) const {
    TField::StoreProperties(props);
    StoreDataType(props);
}

void TOraXMLField::LoadProperties(const TFieldProperties& props) {
    TField::LoadProperties(props);
    LoadDataType(props);
}

// ---------------------------------------------------------------------------
// Registration

const std::vector<const TClassDesc*>& OraFieldClasses() {
    static const std::vector<const TClassDesc*> classes{
        TCursorField::StaticClass(),       TBFileField::StaticClass(),        TOraDataSetField::StaticClass(),
        TOraReferenceField::StaticClass(), TOraTimeStampField::StaticClass(), TOraIntervalField::StaticClass(),
        TOraNumberField::StaticClass(),    TOraXMLField::StaticClass()};
    return classes;
}

void OraFieldsStartup() {
    // Registering a class again changes nothing, so a repeated start-up
    // leaves one entry per class.
    // A refused class takes back the ones registered before it.
    try {
        for (const TClassDesc* c : OraFieldClasses()) RegisterClass(c);
    } catch (...) {
        OraFieldsShutdown();
        throw;
    }
}

void OraFieldsShutdown() {
    const auto& classes = OraFieldClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it) UnRegisterClass(*it);
}

}  // namespace tms::ora
