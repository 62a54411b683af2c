#pragma once
// The library's variant value: a tagged value with the platform's type codes,
// arrays with bounds and the by-reference form that carries an object.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oracle/OraPlatform.h"

namespace tms::ora {

// A date and time by its parts, as SQL time-stamp fields exchange it.
// Fractions are milliseconds. All parts 0 is the null time-stamp.
struct TSQLTimeStamp {
    int16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint32_t Fractions = 0;
    bool IsZero() const {
        return Year == 0 && Month == 0 && Day == 0 && Hour == 0 && Minute == 0 && Second == 0 && Fractions == 0;
    }
    bool operator==(const TSQLTimeStamp&) const = default;
};

// Variant type codes.
enum : uint16_t {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varSingle = 0x0004,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varOleStr = 0x0008,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varShortInt = 0x0010,
    varByte = 0x0011,
    varWord = 0x0012,
    varLongWord = 0x0013,
    varInt64 = 0x0014,
    varString = 0x0100,
    // The SQL time-stamp record (TSQLTimeStamp); a code of the custom range.
    varSQLTimeStamp = 0x010F,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
    varByRef = 0x4000,
};

// Classes of a type code, taken as given (a caller strips varArray and
// varByRef first when those should not matter).
bool IsIntegerVarType(uint16_t vt);  // the seven whole-number codes
bool IsRealVarType(uint16_t vt);     // single, double, currency
inline bool IsTextVarType(uint16_t vt) { return vt == varString || vt == varOleStr; }

class TVariant {
public:
    TVariant();  // empty
    TVariant(int8_t v);
    TVariant(uint8_t v);
    TVariant(int16_t v);
    TVariant(uint16_t v);
    TVariant(int32_t v);
    TVariant(uint32_t v);
    TVariant(int64_t v);
    TVariant(float v);
    TVariant(double v);
    TVariant(bool v);
    TVariant(const char* v);
    TVariant(std::string v);  // ANSI string
    TVariant(const char16_t* v);
    TVariant(std::u16string v);  // wide string
    TVariant(const TVariant& other);
    TVariant(TVariant&& other) noexcept;
    TVariant& operator=(const TVariant& other);
    TVariant& operator=(TVariant&& other) noexcept;
    ~TVariant();

    static TVariant Null();
    static TVariant FromDate(TDateTime value);
    static TVariant FromSQLTimeStamp(const TSQLTimeStamp& value);
    // A currency value: the amount times 10,000 as a 64-bit integer.
    static TVariant FromCurrencyScaled(int64_t scaled);
    // The by-reference form (type code varByRef alone) holding a pointer.
    static TVariant ByRef(void* pointer);
    // An array with bounds low..high whose elements are of elemType (varByte
    // arrays keep plain bytes; any other element type keeps variants, each
    // element starting empty).
    static TVariant CreateArray(int32_t low, int32_t high, uint16_t elemType = varVariant);
    // A byte array with bounds 0..size-1.
    static TVariant FromBytes(const void* data, size_t size);

    uint16_t VarType() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    bool IsEmptyOrNull() const { return type_ == varEmpty || type_ == varNull; }
    bool IsArray() const { return (type_ & varArray) != 0; }
    bool IsByRef() const { return (type_ & varByRef) != 0; }
    void Clear();

    // Conversions; EVariantError when the value cannot be converted.
    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;
    std::string AsString() const;
    std::u16string AsWideString() const;
    TDateTime AsDateTime() const;
    int64_t AsCurrencyScaled() const;
    void* RefPointer() const;  // the pointer of the by-reference form
    // The record of an SQL time-stamp Variant (no other type converts).
    TSQLTimeStamp AsSQLTimeStamp() const;

    // Arrays (ERangeError outside the bounds, EVariantError when not an array).
    int32_t LowBound() const;
    int32_t HighBound() const;
    uint16_t ElementType() const;
    TVariant GetElement(int32_t index) const;
    void PutElement(int32_t index, const TVariant& value);
    // The bytes of a byte array.
    const std::vector<uint8_t>& Bytes() const;

    static std::string TypeName(uint16_t type);

private:
    struct ArrayData;
    [[noreturn]] void CurrencyOverflow() const;
    TDateTime DateTimeValue() const;
    [[noreturn]] void CastError(uint16_t to) const;
    const ArrayData& Array() const;
    ArrayData& Array();
    void CheckIndex(int32_t index) const;

    uint16_t type_ = varEmpty;
    union {
        int64_t i;
        double d;
        bool b;
        void* p;
    } v_{0};
    std::string s_;
    std::u16string w_;
    std::unique_ptr<ArrayData> arr_;
    TSQLTimeStamp ts_;
};

}  // namespace tms::ora
