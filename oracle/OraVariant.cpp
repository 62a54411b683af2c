#include "oracle/OraVariant.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tms::ora {

struct TVariant::ArrayData {
    uint16_t elemType = varVariant;
    int32_t low = 0;
    int32_t high = -1;
    std::vector<TVariant> items;  // all element types but varByte
    std::vector<uint8_t> bytes;   // varByte
};

TVariant::TVariant() = default;
TVariant::TVariant(int8_t v) : type_(varShortInt) { v_.i = v; }
TVariant::TVariant(uint8_t v) : type_(varByte) { v_.i = v; }
TVariant::TVariant(int16_t v) : type_(varSmallint) { v_.i = v; }
TVariant::TVariant(uint16_t v) : type_(varWord) { v_.i = v; }
TVariant::TVariant(int32_t v) : type_(varInteger) { v_.i = v; }
TVariant::TVariant(uint32_t v) : type_(varLongWord) { v_.i = v; }
TVariant::TVariant(int64_t v) : type_(varInt64) { v_.i = v; }
TVariant::TVariant(float v) : type_(varSingle) { v_.d = v; }
TVariant::TVariant(double v) : type_(varDouble) { v_.d = v; }
TVariant::TVariant(bool v) : type_(varBoolean) { v_.b = v; }
TVariant::TVariant(const char* v) : type_(varString), s_(v ? v : "") {}
TVariant::TVariant(std::string v) : type_(varString), s_(std::move(v)) {}
TVariant::TVariant(const char16_t* v) : type_(varOleStr), w_(v ? v : u"") {}
TVariant::TVariant(std::u16string v) : type_(varOleStr), w_(std::move(v)) {}

TVariant::TVariant(const TVariant& o) : type_(o.type_), v_(o.v_), s_(o.s_), w_(o.w_), ts_(o.ts_) {
    if (o.arr_) arr_ = std::make_unique<ArrayData>(*o.arr_);
}

TVariant::TVariant(TVariant&& o) noexcept
    : type_(o.type_), v_(o.v_), s_(std::move(o.s_)), w_(std::move(o.w_)), arr_(std::move(o.arr_)), ts_(o.ts_) {
    o.type_ = varEmpty;
}

TVariant& TVariant::operator=(const TVariant& o) {
    if (this != &o) {
        TVariant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

TVariant& TVariant::operator=(TVariant&& o) noexcept {
    if (this != &o) {
        type_ = o.type_;
        v_ = o.v_;
        s_ = std::move(o.s_);
        w_ = std::move(o.w_);
        arr_ = std::move(o.arr_);
        ts_ = o.ts_;
        o.type_ = varEmpty;
    }
    return *this;
}

TVariant::~TVariant() = default;

void TVariant::Clear() {
    type_ = varEmpty;
    v_.i = 0;
    s_.clear();
    w_.clear();
    arr_.reset();
    ts_ = TSQLTimeStamp{};
}

TVariant TVariant::Null() {
    TVariant v;
    v.type_ = varNull;
    return v;
}

TVariant TVariant::FromDate(TDateTime value) {
    TVariant v;
    v.type_ = varDate;
    v.v_.d = value;
    return v;
}

TVariant TVariant::FromSQLTimeStamp(const TSQLTimeStamp& value) {
    TVariant v;
    v.type_ = varSQLTimeStamp;
    v.ts_ = value;
    return v;
}

TVariant TVariant::FromCurrencyScaled(int64_t scaled) {
    TVariant v;
    v.type_ = varCurrency;
    v.v_.i = scaled;
    return v;
}

TVariant TVariant::ByRef(void* pointer) {
    TVariant v;
    v.type_ = varByRef;
    v.v_.p = pointer;
    return v;
}

TVariant TVariant::CreateArray(int32_t low, int32_t high, uint16_t elemType) {
    if (high < low - 1) throw ERangeError("Invalid array bounds");
    TVariant v;
    v.type_ = static_cast<uint16_t>(varArray | elemType);
    v.arr_ = std::make_unique<ArrayData>();
    v.arr_->elemType = elemType;
    v.arr_->low = low;
    v.arr_->high = high;
    size_t n = static_cast<size_t>(static_cast<int64_t>(high) - low + 1);
    if (elemType == varByte)
        v.arr_->bytes.assign(n, 0);
    else
        v.arr_->items.resize(n);
    return v;
}

TVariant TVariant::FromBytes(const void* data, size_t size) {
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw ERangeError("Array too large");
    TVariant v = CreateArray(0, static_cast<int32_t>(size) - 1, varByte);
    if (size) std::memcpy(v.arr_->bytes.data(), data, size);
    return v;
}

std::string TVariant::TypeName(uint16_t type) {
    std::string base;
    switch (type & varTypeMask) {
    case varEmpty: base = "Empty"; break;
    case varNull: base = "Null"; break;
    case varSmallint: base = "Smallint"; break;
    case varInteger: base = "Integer"; break;
    case varSingle: base = "Single"; break;
    case varDouble: base = "Double"; break;
    case varCurrency: base = "Currency"; break;
    case varDate: base = "Date"; break;
    case varOleStr: base = "OleStr"; break;
    case varBoolean: base = "Boolean"; break;
    case varVariant: base = "Variant"; break;
    case varShortInt: base = "ShortInt"; break;
    case varByte: base = "Byte"; break;
    case varWord: base = "Word"; break;
    case varLongWord: base = "LongWord"; break;
    case varInt64: base = "Int64"; break;
    case varString: base = "String"; break;
    case varSQLTimeStamp: base = "SQLTimeStamp"; break;
    default: base = IntToHex(type & varTypeMask, 4); base.insert(base.begin(), '$');
    }
    if (type & varArray) base = "Array " + base;
    if (type & varByRef) base = "ByRef " + base;
    return base;
}

void TVariant::CastError(uint16_t to) const {
    throw EVariantError("Cannot convert a variant of type (" + TypeName(type_) + ") to type (" + TypeName(to) + ")");
}

bool IsIntegerVarType(uint16_t vt) {
    switch (vt) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return true;
    default: return false;
    }
}

bool IsRealVarType(uint16_t vt) { return vt == varSingle || vt == varDouble || vt == varCurrency; }

namespace {
bool DoubleToInt64(double d, int64_t& out) {
    double r = std::nearbyint(d);  // halves go to the even neighbour
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
    out = static_cast<int64_t>(r);
    return true;
}
}  // namespace

int64_t TVariant::AsInt64() const {
    if (IsIntegerVarType(type_)) return v_.i;
    int64_t r = 0;
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return v_.b ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate:
        if (DoubleToInt64(v_.d, r)) return r;
        break;
    case varCurrency:
        if (DoubleToInt64(static_cast<double>(v_.i) / 10000.0, r)) return r;
        break;
    case varString:
    case varOleStr: {
        std::string s = AsString();
        if (TryStrToInt64(s, r)) return r;
        double d;
        if (TryStrToFloat(s, d) && DoubleToInt64(d, r)) return r;
        break;
    }
    default: break;
    }
    CastError(varInt64);
}

int32_t TVariant::AsInteger() const {
    int64_t v = AsInt64();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw EVariantError("Variant overflow: " + std::to_string(v) + " is not a 32-bit integer");
    return static_cast<int32_t>(v);
}

double TVariant::AsDouble() const {
    if (IsIntegerVarType(type_)) return static_cast<double>(v_.i);
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return v_.b ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return v_.d;
    case varCurrency: return static_cast<double>(v_.i) / 10000.0;
    case varString:
    case varOleStr: {
        double d;
        if (TryStrToFloat(AsString(), d)) return d;
        break;
    }
    default: break;
    }
    CastError(varDouble);
}

bool TVariant::AsBoolean() const {
    if (IsIntegerVarType(type_)) return v_.i != 0;
    switch (type_) {
    case varEmpty: return false;
    case varBoolean: return v_.b;
    case varSingle:
    case varDouble:
    case varDate: return v_.d != 0;
    case varCurrency: return v_.i != 0;
    case varString:
    case varOleStr: {
        std::string s = Trim(AsString());
        if (SameText(s, "True")) return true;
        if (SameText(s, "False")) return false;
        double d;
        if (TryStrToFloat(s, d)) return d != 0;
        break;
    }
    default: break;
    }
    CastError(varBoolean);
}

std::string TVariant::AsString() const {
    if (IsIntegerVarType(type_)) return IntToStr(v_.i);
    switch (type_) {
    case varEmpty: return {};
    case varString: return s_;
    case varOleStr: return WideToAnsi(w_);
    case varBoolean: return v_.b ? "True" : "False";
    case varSingle: return FloatToStr(static_cast<float>(v_.d));
    case varDouble: return FloatToStr(v_.d);
    case varCurrency: return FloatToStr(static_cast<double>(v_.i) / 10000.0);
    case varDate: return DateTimeToStr(v_.d);
    case varSQLTimeStamp: return DateTimeToStr(AsDateTime());
    default: break;
    }
    CastError(varString);
}

std::u16string TVariant::AsWideString() const {
    if (type_ == varOleStr) return w_;
    return AnsiToWide(AsString());
}

TDateTime TVariant::AsDateTime() const {
    // A value outside the years 1 to 9999 is no date-time: it would only
    // fail later, when it is decoded or shown.
    TDateTime d = DateTimeValue();
    if (!IsValidDateTime(d)) CastError(varDate);
    return d;
}

TDateTime TVariant::DateTimeValue() const {
    if (IsIntegerVarType(type_)) return static_cast<double>(v_.i);
    switch (type_) {
    case varEmpty: return 0;
    case varSingle:
    case varDouble:
    case varDate: return v_.d;
    case varCurrency: return static_cast<double>(v_.i) / 10000.0;
    case varString:
    case varOleStr: {
        TDateTime d;
        std::string s = AsString();
        if (TryStrToDateTime(s, d)) return d;
        if (TryStrToFloat(s, d)) return d;
        break;
    }
    case varSQLTimeStamp: {
        TDateTime date, time;
        if (TryEncodeDate(ts_.Year, ts_.Month, ts_.Day, date) &&
            TryEncodeTime(ts_.Hour, ts_.Minute, ts_.Second, static_cast<int>(std::min<uint32_t>(ts_.Fractions, 999)),
                          time))
            return ComposeDateTime(date, time);
        break;
    }
    default: break;
    }
    CastError(varDate);
}

TSQLTimeStamp TVariant::AsSQLTimeStamp() const {
    if (type_ != varSQLTimeStamp) CastError(varSQLTimeStamp);
    return ts_;
}

int64_t TVariant::AsCurrencyScaled() const {
    // A currency is a 64-bit count of ten-thousandths, so whole values reach
    // +-922,337,203,685,477; anything beyond is an overflow, never a wrap.
    constexpr int64_t kMaxWhole = std::numeric_limits<int64_t>::max() / 10000;
    if (type_ == varCurrency) return v_.i;
    if (IsIntegerVarType(type_)) {
        if (v_.i > kMaxWhole || v_.i < -kMaxWhole) CurrencyOverflow();
        return v_.i * 10000;
    }
    int64_t r = 0;
    if (type_ == varEmpty) return 0;
    double d = AsDouble();
    if (std::isnan(d)) CastError(varCurrency);
    if (!DoubleToInt64(d * 10000.0, r)) CurrencyOverflow();
    return r;
}

void TVariant::CurrencyOverflow() const {
    throw EVariantError("Variant overflow: " + AsString() + " is outside the currency range");
}

void* TVariant::RefPointer() const {
    if (!(type_ & varByRef)) CastError(varByRef);
    return v_.p;
}

const TVariant::ArrayData& TVariant::Array() const {
    if (!arr_) throw EVariantError("Variant is not an array");
    return *arr_;
}

TVariant::ArrayData& TVariant::Array() {
    if (!arr_) throw EVariantError("Variant is not an array");
    return *arr_;
}

int32_t TVariant::LowBound() const { return Array().low; }
int32_t TVariant::HighBound() const { return Array().high; }
uint16_t TVariant::ElementType() const { return Array().elemType; }

void TVariant::CheckIndex(int32_t index) const {
    const ArrayData& a = Array();
    if (index < a.low || index > a.high) throw ERangeError("Variant array index out of bounds");
}

TVariant TVariant::GetElement(int32_t index) const {
    CheckIndex(index);
    const ArrayData& a = *arr_;
    size_t i = static_cast<size_t>(static_cast<int64_t>(index) - a.low);
    if (a.elemType == varByte) return TVariant(a.bytes[i]);
    return a.items[i];
}

void TVariant::PutElement(int32_t index, const TVariant& value) {
    CheckIndex(index);
    ArrayData& a = *arr_;
    size_t i = static_cast<size_t>(static_cast<int64_t>(index) - a.low);
    if (a.elemType == varByte) {
        int64_t b = value.AsInt64();
        if (b < 0 || b > 255) throw ERangeError("Byte value out of range");
        a.bytes[i] = static_cast<uint8_t>(b);
    } else {
        a.items[i] = value;
    }
}

const std::vector<uint8_t>& TVariant::Bytes() const {
    const ArrayData& a = Array();
    if (a.elemType != varByte) throw EVariantError("Variant is not a byte array");
    return a.bytes;
}

}  // namespace tms::ora
