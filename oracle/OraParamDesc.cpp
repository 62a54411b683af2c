// The bind parameter of the Oracle layer: its value buffer, indicators and
// the element operations (declared in OraClasses.h).

#include <algorithm>
#include <climits>
#include <cstring>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/OraAnsi.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraText.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TOraParamDesc, TParamDesc, nullptr)

namespace {
const char* const kModule = "OraClasses";

bool IsObjectArrayCode(uint16_t dt) {
    return dt == dtNumber || (dt >= dtTimeStamp && dt <= dtIntervalDS) || dt == dtNumberObject;
}

// The element size of a code: -1 keeps the parameter's Size; codes that
// reach binding only through their external type have no buffer at all.
int32_t ElementSize(uint16_t dt) {
    switch (dt) {
    case dtString:
    case dtBytes:
    case dtVarBytes:
    case dtWideString:
    case dtFixedChar:
    case dtFixedWideChar: return -1;
    case dtInteger:
    case dtBoolean: return 4;
    case dtFloat: return 8;
    case dtDateTime: return 7;
    case dtNumber:
    case dtNumberObject: return 22;
    case dtTimeStamp:
    case dtTimeStampTZ:
    case dtTimeStampLTZ:
    case dtIntervalYM:
    case dtIntervalDS: return static_cast<int32_t>(sizeof(void*));  // a descriptor pointer
    case dtString2:
    case dtVarBytes2:
    case dtWideString2:
    case dtRowId:
    case dtVarchar2: RaiseAssertion(SUnknownDataType, kModule, __LINE__);
    default: return 0;
    }
}

}  // namespace

TOraParamDesc::TOraParamDesc() { AllocBuffer(); }

TOraParamDesc::~TOraParamDesc() {
    FreeBuffer();
    // the parameter's own reference to its object
    if (auto* shared = dynamic_cast<TSharedObject*>(GetObject())) shared->Release();
    ValueRef().Clear();
}

void TOraParamDesc::AllocBuffer() {
    const int32_t element = ElementSize(DataType());
    if (element >= 0) TParamDesc::SetSize(element);
    if (Size() > 0 && element != 0) {
        const size_t bytes = static_cast<size_t>(Size()) * static_cast<size_t>(length_);
        buffer_ = std::make_unique<uint8_t[]>(bytes);
        std::memset(buffer_.get(), 0, bytes);
    }
    if (length_ > 1 && IsObjectArrayCode(DataType())) ValueRef() = TVariant::CreateArray(1, length_);
    if (length_ == 1) {
        indicators_ = &defaultIndicator_;
        defaultIndicator_ = -1;
    } else {
        indicatorArray_ = std::make_unique<sb2[]>(static_cast<size_t>(length_));
        std::memset(indicatorArray_.get(), 0xFF, sizeof(sb2) * static_cast<size_t>(length_));
        indicators_ = indicatorArray_.get();
    }
}

void TOraParamDesc::FreeBuffer() {
    TVariant& value = ValueRef();
    if (value.IsArray() && value.ElementType() == varVariant) {
        for (int32_t i = value.LowBound(); i <= value.HighBound(); ++i) {
            TVariant e = value.GetElement(i);
            if (e.VarType() == varByRef)
                if (auto* shared = dynamic_cast<TSharedObject*>(static_cast<TObject*>(e.RefPointer())))
                    shared->Release();
        }
        value.Clear();
    } else if (value.VarType() == varByRef) {
        if (auto* shared = dynamic_cast<TSharedObject*>(static_cast<TObject*>(value.RefPointer()))) shared->Release();
        value.Clear();
    }
    buffer_.reset();
    indicatorArray_.reset();
    indicators_ = &defaultIndicator_;
    value.Clear();
}

void TOraParamDesc::SetDataType(uint16_t value) {
    if (value == DataType()) return;
    FreeBuffer();
    TParamDesc::SetDataType(value);
    AllocBuffer();
}

void TOraParamDesc::SetSize(int32_t value) {
    int32_t stored;
    switch (DataType()) {
    case dtString:
    case dtFixedChar:
    case dtVarchar2: stored = value < 1 ? 2 : value + 1; break;
    case dtWideString:
    case dtFixedWideChar: stored = value < 2 ? 4 : 2 * value + 2; break;
    case dtBytes:
    case dtVarBytes: stored = value + 2; break;
    default: return;
    }
    if (stored == Size()) return;
    FreeBuffer();
    TParamDesc::SetSize(stored);
    AllocBuffer();
}

void TOraParamDesc::SetLength(int32_t value) {
    if (value < 1) value = 1;
    if (value == length_) return;
    FreeBuffer();
    length_ = value;
    AllocBuffer();
}

void TOraParamDesc::CheckIndex(int32_t index) const {
    if (index < 1 || index > length_) throw ERangeError(SInvalidIndex);
}

uint8_t* TOraParamDesc::Element(int32_t index) const {
    CheckIndex(index);
    if (!buffer_) return nullptr;
    return buffer_.get() + static_cast<size_t>(index - 1) * static_cast<size_t>(Size());
}

bool TOraParamDesc::GetItemNull(int32_t index) const {
    CheckIndex(index);
    return indicators_[index - 1] < 0;
}

void TOraParamDesc::SetItemNull(int32_t index, bool value) {
    CheckIndex(index);
    if (value) {
        indicators_[index - 1] = -1;
        if (uint8_t* e = Element(index)) std::memset(e, 0, static_cast<size_t>(Size()));
        maxStrLength_ = 0;
        // A value object would report itself not null at binding and send
        // its old value: a null element holds none.
        const uint16_t dt = DataType();
        if (IsObjectArrayCode(dt) || dt == dtOraBlob || dt == dtOraClob || dt == dtBFile || dt == dtCFile)
            SetItemObject(index, nullptr);
    } else {
        indicators_[index - 1] = 0;
    }
}

bool TOraParamDesc::GetNull() const { return GetItemNull(1); }

void TOraParamDesc::SetNull(bool value) { SetItemNull(1, value); }

TDateTime TOraParamDesc::GetItemAsDateTime(int32_t index) const {
    CheckIndex(index);
    if (DataType() != dtDateTime || GetItemNull(index)) return 0;
    return OraClassesRoutines.DateToDateTime(Element(index));
}

void TOraParamDesc::SetItemAsDateTime(int32_t index, TDateTime value) {
    CheckIndex(index);
    SetDataType(dtDateTime);
    OraClassesRoutines.DateTimeToDate(value, Element(index));
    indicators_[index - 1] = 0;
}

// A fixed-size element read as it is stored; zero while the parameter holds
// another code or the element is null.
template <class T>
T TOraParamDesc::GetItemScalar(int32_t index, uint16_t dataType) const {
    CheckIndex(index);
    if (DataType() != dataType || GetItemNull(index)) return T{};
    T v;
    std::memcpy(&v, Element(index), sizeof v);
    return v;
}

template <class T>
void TOraParamDesc::SetItemScalar(int32_t index, uint16_t dataType, T value) {
    CheckIndex(index);
    SetDataType(dataType);
    std::memcpy(Element(index), &value, sizeof value);
    indicators_[index - 1] = 0;
}

double TOraParamDesc::GetItemAsFloat(int32_t index) const { return GetItemScalar<double>(index, dtFloat); }

void TOraParamDesc::SetItemAsFloat(int32_t index, double value) { SetItemScalar(index, dtFloat, value); }

int32_t TOraParamDesc::GetItemAsInteger(int32_t index) const { return GetItemScalar<int32_t>(index, dtInteger); }

void TOraParamDesc::SetItemAsInteger(int32_t index, int32_t value) { SetItemScalar(index, dtInteger, value); }

// A boolean is stored as a 4-byte integer; its first byte decides.
bool TOraParamDesc::GetItemAsBoolean(int32_t index) const { return GetItemScalar<uint8_t>(index, dtBoolean) != 0; }

void TOraParamDesc::SetItemAsBoolean(int32_t index, bool value) {
    SetItemScalar<int32_t>(index, dtBoolean, value ? 1 : 0);
}

std::string TOraParamDesc::GetItemAsAnsiString(int32_t index) const {
    CheckIndex(index);
    if (GetItemNull(index) || !buffer_) return {};
    const uint8_t* e = Element(index);
    switch (DataType()) {
    case dtString:
    case dtFixedChar:
        return std::string(reinterpret_cast<const char*>(e),
                           ::strnlen(reinterpret_cast<const char*>(e), static_cast<size_t>(Size())));
    case dtWideString:
    case dtFixedWideChar: return WideToAnsi(GetItemAsWideString(index));
    default: return {};
    }
}

void TOraParamDesc::SetItemAsAnsiString(int32_t index, const std::string& value) {
    CheckIndex(index);
    if (DataType() != dtString && DataType() != dtFixedChar) SetDataType(dtString);
    // An empty text is a null string, as in the field setters.
    if (value.empty()) return SetItemNull(index, true);
    // The text is cut to the element: a parameter without room (no size
    // set, so no element) keeps none, but its value is the empty text, not
    // null.
    uint8_t* e = Element(index);
    const int32_t room = e ? Size() - 1 : 0;
    const int32_t n = std::min<int32_t>(static_cast<int32_t>(value.size()), std::max(room, 0));
    if (e) {
        std::memcpy(e, value.data(), static_cast<size_t>(n));
        e[n] = 0;
    }
    if (length_ == 1 || n > maxStrLength_) maxStrLength_ = n;
    indicators_[index - 1] = 0;
}

std::u16string TOraParamDesc::GetItemAsWideString(int32_t index) const {
    CheckIndex(index);
    if (GetItemNull(index) || !buffer_) return {};
    const uint8_t* e = Element(index);
    switch (DataType()) {
    case dtWideString:
    case dtFixedWideChar: {
        std::u16string out;
        for (int32_t i = 0; i + 1 < Size(); i += 2) {
            char16_t c;
            std::memcpy(&c, e + i, 2);
            if (c == 0) break;
            out += c;
        }
        return out;
    }
    case dtString:
    case dtFixedChar: return AnsiToWide(GetItemAsAnsiString(index));
    default: return {};
    }
}

void TOraParamDesc::SetItemAsWideString(int32_t index, const std::u16string& value) {
    CheckIndex(index);
    if (DataType() != dtWideString && DataType() != dtFixedWideChar) SetDataType(dtWideString);
    if (value.empty()) return SetItemNull(index, true);
    uint8_t* e = Element(index);
    const int32_t room = e ? (Size() - 2) / 2 : 0;
    const int32_t n = std::min<int32_t>(static_cast<int32_t>(value.size()), std::max(room, 0));
    if (e) {
        std::memcpy(e, value.data(), static_cast<size_t>(n) * 2);
        e[2 * n] = 0;
        e[2 * n + 1] = 0;
    }
    if (length_ == 1 || n > maxStrLength_) maxStrLength_ = n;
    indicators_[index - 1] = 0;
}

TObject* TOraParamDesc::GetObject() const {
    const TVariant& v = ValueRef();
    if (v.IsArray()) {
        TVariant e = v.GetElement(v.LowBound());
        return e.VarType() == varByRef ? static_cast<TObject*>(e.RefPointer()) : nullptr;
    }
    return TParamDesc::GetObject();
}

void TOraParamDesc::SetObject(TObject* object) {
    if (object == GetObject()) return;
    if (auto* shared = dynamic_cast<TSharedObject*>(object)) shared->AddRef();
    if (auto* old = dynamic_cast<TSharedObject*>(GetObject())) old->Release();
    if (ValueRef().IsArray())
        ValueRef().PutElement(ValueRef().LowBound(), TVariant::ByRef(object));
    else
        TParamDesc::SetObject(object);
}

TObject* TOraParamDesc::GetItemObject(int32_t index) const {
    CheckIndex(index);
    if (length_ == 1) return GetObject();
    const TVariant& v = ValueRef();
    if (!v.IsArray()) return nullptr;
    TVariant e = v.GetElement(index);
    return e.VarType() == varByRef ? static_cast<TObject*>(e.RefPointer()) : nullptr;
}

void TOraParamDesc::SetItemObject(int32_t index, TObject* object) {
    CheckIndex(index);
    if (length_ == 1) return SetObject(object);
    TVariant& v = ValueRef();
    if (!v.IsArray()) v = TVariant::CreateArray(1, length_);
    TObject* old = GetItemObject(index);
    if (old == object) return;
    if (auto* shared = dynamic_cast<TSharedObject*>(object)) shared->AddRef();
    if (auto* s = dynamic_cast<TSharedObject*>(old)) s->Release();
    v.PutElement(index, TVariant::ByRef(object));
}

TVariant TOraParamDesc::GetItemAsVariant(int32_t index) const {
    CheckIndex(index);
    if (IsObjectDataType(DataType())) {
        TObject* o = GetItemObject(index);
        return o ? TVariant::ByRef(o) : TVariant::Null();
    }
    if (GetItemNull(index)) return TVariant::Null();
    switch (DataType()) {
    case dtInteger: return TVariant(GetItemAsInteger(index));
    case dtFloat: return TVariant(GetItemAsFloat(index));
    case dtDateTime: return TVariant::FromDate(GetItemAsDateTime(index));
    case dtBoolean: return TVariant(GetItemAsBoolean(index));
    case dtString:
    case dtFixedChar: return TVariant(GetItemAsAnsiString(index));
    case dtWideString:
    case dtFixedWideChar: return TVariant(GetItemAsWideString(index));
    case dtBytes:
    case dtVarBytes: {
        const uint8_t* e = Element(index);
        uint16_t n;
        std::memcpy(&n, e, 2);
        n = static_cast<uint16_t>(std::min<int32_t>(n, Size() - 2));
        return TVariant::FromBytes(e + 2, n);
    }
    default: return TVariant::Null();
    }
}

void TOraParamDesc::SetItemAsVariant(int32_t index, const TVariant& value) {
    CheckIndex(index);
    if (value.IsEmptyOrNull()) return SetItemNull(index, true);
    const uint16_t vt = value.VarType() & varTypeMask;
    const bool isText = IsTextVarType(value.VarType());
    const bool isNumber = IsIntegerVarType(vt) || IsRealVarType(vt);
    if (DataType() == dtUnknown) {
        if (vt == varSmallint || vt == varInteger || vt == varShortInt || vt == varByte || vt == varWord)
            SetDataType(dtInteger);
        else if (IsRealVarType(vt))
            SetDataType(dtFloat);
        else if (vt == varDate)
            SetDataType(dtDateTime);
        else if (isText) {
            SetDataType(dtString);
            SetSize(static_cast<int32_t>(value.AsString().size()));
        } else
            throw EConvertError(SUnknownDataType);
    }
    auto cannot = [] { throw EConvertError(SCannotConvertType); };
    try {
        switch (DataType()) {
        case dtInteger:
            if (isText)
                SetItemAsInteger(index, static_cast<int32_t>(StrToInt64(Trim(value.AsString()))));
            else if (isNumber || vt == varDate)
                SetItemAsInteger(index, value.AsInteger());
            else
                cannot();
            return;
        case dtFloat:
            if (isText)
                SetItemAsFloat(index, StrToFloat(Trim(value.AsString())));
            else if (isNumber || vt == varDate)
                SetItemAsFloat(index, value.AsDouble());
            else
                cannot();
            return;
        case dtDateTime:
            if (isText)
                SetItemAsDateTime(index, StrToDateTime(Trim(value.AsString())));
            else if (isNumber || vt == varDate)
                SetItemAsDateTime(index, value.AsDateTime());
            else
                cannot();
            return;
        case dtBoolean:
            if (vt == varBoolean || isNumber)
                SetItemAsBoolean(index, value.AsBoolean());
            else
                cannot();
            return;
        case dtString:
        case dtFixedChar: SetItemAsAnsiString(index, value.AsString()); return;
        case dtWideString:
        case dtFixedWideChar: SetItemAsWideString(index, value.AsWideString()); return;
        case dtBytes:
        case dtVarBytes: {
            std::vector<uint8_t> bytes;
            if (value.IsArray() && value.ElementType() == varByte)
                bytes = value.Bytes();
            else if (isText) {
                std::string s = value.AsString();
                bytes.assign(s.begin(), s.end());
            } else
                cannot();
            uint8_t* e = Element(index);
            if (!e) cannot();
            const uint16_t n = static_cast<uint16_t>(std::min<size_t>(bytes.size(), static_cast<size_t>(Size() - 2)));
            std::memcpy(e, &n, 2);
            if (n) std::memcpy(e + 2, bytes.data(), n);
            indicators_[index - 1] = 0;
            return;
        }
        default:
            if (IsObjectDataType(DataType())) {
                if (value.VarType() == varByRef)
                    SetItemObject(index, static_cast<TObject*>(value.RefPointer()));
                else if (OraObjectHooks().SetObjectValue && DataType() != dtCursor)
                    OraObjectHooks().SetObjectValue(*this, index, value);
                else
                    cannot();
                return;
            }
            cannot();
        }
    } catch (const EVariantError&) {
        cannot();
    }
}

TVariant TOraParamDesc::GetValue() const {
    if (length_ == 1) return GetItemAsVariant(1);
    TVariant out = TVariant::CreateArray(1, length_);
    for (int32_t i = 1; i <= length_; ++i) out.PutElement(i, GetItemAsVariant(i));
    return out;
}

void TOraParamDesc::SetValue(const TVariant& value) {
    if ((DataType() == dtBytes || DataType() == dtVarBytes) &&
        ((value.IsArray() && value.ElementType() == varByte) || IsTextVarType(value.VarType())))
        return SetItemAsVariant(1, value);
    if (value.IsArray() && value.VarType() != varByRef) {
        // The length is the high bound, and the elements are filled from
        // the low bound on: an array that starts at 0 meets the 1-based
        // index check at once.
        SetLength(value.HighBound());
        for (int32_t i = value.LowBound(); i <= value.HighBound(); ++i) SetItemAsVariant(i, value.GetElement(i));
        return;
    }
    SetItemAsVariant(1, value);
}

void TOraParamDesc::SyncIndicator() {
    const uint16_t dt = DataType();
    if (IsObjectDataType(dt)) {
        TObject* o = GetObject();
        bool isNull = o == nullptr;
        if (o && dt != dtCursor && !IsLongDataType(dt) && OraObjectHooks().ObjectIsNull)
            isNull = OraObjectHooks().ObjectIsNull(o);
        indicators_[0] = isNull ? -1 : 0;
    } else if (!buffer_) {
        indicators_[0] = -1;
    }
}

}  // namespace tms::ora
