#include "oracle/OraFieldModel.h"

#include <cctype>
#include <cstring>

#include "oracle/OraException.h"
#include "oracle/OraText.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TField, TObject, nullptr)
ORA_DEFINE_CLASS(TNumericField, TField, nullptr)
ORA_DEFINE_CLASS(TBlobField, TField, nullptr)
ORA_DEFINE_CLASS(TDataSetField, TField, nullptr)
ORA_DEFINE_CLASS(TReferenceField, TDataSetField, nullptr)

// ---------------------------------------------------------------------------
// Record cell

TFieldSlot::~TFieldSlot() { TSharedObject::Release(object_); }

void TFieldSlot::SetObject(TSharedObject* object) {
    if (object != object_) {
        // the new reference first: the old one may be the last of an object
        // that holds the new one
        if (object) object->AddRef();
        TSharedObject* old = object_;
        object_ = object;
        TSharedObject::Release(old);
    }
    ++writes_;
}

// ---------------------------------------------------------------------------
// Field

void TField::CheckModify() const {
    if (!CanModify()) throw EDatabaseError("Field '" + fieldName_ + "' cannot be modified");
    if (!slot_) throw EDatabaseError("Field '" + fieldName_ + "' has no record");
}

void TField::SetData(TSharedObject* object) {
    CheckModify();
    slot_->SetObject(object);
}

std::string TField::ClassDesc() const {
    std::string name = ClassName();
    if (!name.empty() && (name[0] == 'T' || name[0] == 't')) name.erase(0, 1);
    constexpr const char* kSuffix = "Field";
    const size_t n = std::strlen(kSuffix);
    if (name.size() > n && SameText(name.substr(name.size() - n), kSuffix)) name.resize(name.size() - n);
    name = "(" + name + ")";
    return IsNull() ? name : UpperCase(name);
}

void TField::AccessError(const std::string& typeName) const {
    throw EDatabaseError("Cannot access field '" + fieldName_ + "' as type " + typeName);
}

void TField::SetAsString(const std::string&) { AccessError("String"); }
int64_t TField::AsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(int64_t) { AccessError("Integer"); }
double TField::AsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
TDateTime TField::AsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
TSQLTimeStamp TField::AsSQLTimeStamp() const { AccessError("SQLTimeStamp"); }
void TField::SetAsSQLTimeStamp(const TSQLTimeStamp&) { AccessError("SQLTimeStamp"); }

TVariant TField::AsVariant() const {
    if (IsNull()) return TVariant::Null();
    AccessError("Variant");
}

void TField::SetAsVariant(const TVariant& value) {
    if (value.IsEmptyOrNull())
        Clear();
    else
        SetVarValue(value);
}

void TField::SetVarValue(const TVariant&) { AccessError("Variant"); }

void TField::StoreProperties(TFieldProperties& props) const { props["FieldName"] = TVariant(fieldName_); }

void TField::LoadProperties(const TFieldProperties& props) {
    auto it = props.find("FieldName");
    if (it != props.end()) fieldName_ = it->second.AsString();
}

void TField::StoreDataType(TFieldProperties& props) const {
    props["DataType"] = TVariant(static_cast<int32_t>(dataType_));
}

void TField::LoadDataType(const TFieldProperties& props) {
    auto it = props.find("DataType");
    if (it == props.end()) return;
    const int32_t code = it->second.AsInteger();
    if (code < 0 || code > 0xFFFF) throw ERangeError("DataType " + std::to_string(code) + " is out of range");
    SetDataType(static_cast<uint16_t>(code));
}

// ---------------------------------------------------------------------------
// Base classes

bool TNumericField::IsValidChar(char c) const {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

std::string TBlobField::AsString() const {
    auto* blob = ValueAs<TBlob>();
    return blob ? blob->AsBytes() : std::string();
}

}  // namespace tms::ora
