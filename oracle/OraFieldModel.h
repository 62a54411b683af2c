#pragma once
// The dataset-field model the library's field classes build on: a record's
// cell that holds a reference to a value object, and the base field classes
// with the usual get and set forms (text, integer, float, date-time, SQL
// time-stamp, Variant), null, clear, display text, the class description
// and the stored properties. There is no dataset: a field reads and writes
// the cell it is bound to.

#include <cstdint>
#include <map>
#include <string>

#include "oracle/MemData.h"
#include "oracle/OraClassRegistry.h"
#include "oracle/OraVariant.h"

namespace tms::ora {

// Field-type codes of the class library's field model.
constexpr uint16_t ftUnknown = 0, ftString = 1, ftInteger = 3, ftFloat = 6, ftDateTime = 11, ftBlob = 15, ftMemo = 16,
                   ftCursor = 22, ftADT = 26, ftReference = 28, ftDataSet = 29, ftTimeStamp = 36;
// The library's own field-type codes.
constexpr uint16_t ftBFile = 100, ftOraInterval = 104, ftOraNumber = 107, ftOraXML = 108;

// One record's cell for one field: a reference to the value object (the
// cell holds one count of its own) and the number of writes, which is how
// the record learns that it changed.
class TFieldSlot {
public:
    TFieldSlot() = default;
    explicit TFieldSlot(TSharedObject* object) { SetObject(object); }
    ~TFieldSlot();
    TFieldSlot(const TFieldSlot&) = delete;
    TFieldSlot& operator=(const TFieldSlot&) = delete;

    TSharedObject* Object() const { return object_; }
    // Writing the object already held only counts the write.
    void SetObject(TSharedObject* object);
    int32_t Writes() const { return writes_; }

private:
    TSharedObject* object_ = nullptr;
    int32_t writes_ = 0;
};

// A field's stored properties by name, as a stored form keeps them.
using TFieldProperties = std::map<std::string, TVariant>;

class TField : public TObject {
    ORA_DECLARE_CLASS(TField)
public:
    TField() = default;
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(std::string name) { fieldName_ = std::move(name); }
    uint16_t DataType() const { return dataType_; }
    virtual void SetDataType(uint16_t code) { dataType_ = code; }
    int32_t DisplayWidth() const { return displayWidth_; }
    void SetDisplayWidth(int32_t width) { displayWidth_ = width; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // The record cell the field reads and writes (none: no record, null).
    void Bind(TFieldSlot* slot) { slot_ = slot; }
    TFieldSlot* Slot() const { return slot_; }
    // The value object of the record; none means null.
    TSharedObject* GetData() const { return slot_ ? slot_->Object() : nullptr; }
    // Writes the record's cell. "Field 'X' cannot be modified" for a field
    // that cannot be modified, "Field 'X' has no record" without a cell.
    void SetData(TSharedObject* object);

    virtual bool CanModify() const { return !readOnly_; }
    virtual bool IsNull() const { return GetData() == nullptr; }
    virtual void Clear() { SetData(nullptr); }
    virtual bool IsBlob() const { return false; }
    virtual bool IsValidChar(char) const { return true; }
    // "(Name)" of the class name without "T" and "Field"; upper-cased when
    // the field is not null.
    virtual std::string ClassDesc() const;

    // Each form the class does not support is refused with "Cannot access
    // field 'X' as type <form>".
    virtual std::string AsString() const { return ClassDesc(); }
    virtual void SetAsString(const std::string& text);
    virtual int64_t AsInteger() const;
    virtual void SetAsInteger(int64_t value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double value);
    virtual TDateTime AsDateTime() const;
    virtual void SetAsDateTime(TDateTime value);
    virtual TSQLTimeStamp AsSQLTimeStamp() const;
    virtual void SetAsSQLTimeStamp(const TSQLTimeStamp& value);
    virtual TVariant AsVariant() const;
    // Null and empty clear the field; every other value goes to SetVarValue.
    void SetAsVariant(const TVariant& value);
    // The text shown and edited.
    virtual std::string DisplayText() const { return AsString(); }
    virtual void SetDisplayText(const std::string& text) { SetAsString(text); }

    virtual void StoreProperties(TFieldProperties& props) const;
    virtual void LoadProperties(const TFieldProperties& props);

    [[noreturn]] void AccessError(const std::string& typeName) const;

protected:
    virtual void SetVarValue(const TVariant& value);
    // Stores and restores the data type as the integer property "DataType".
    void StoreDataType(TFieldProperties& props) const;
    void LoadDataType(const TFieldProperties& props);
    // The record's value object as T (nullptr for none or another class).
    template <typename T>
    T* ValueAs() const {
        return dynamic_cast<T*>(GetData());
    }
    // The refusals of SetData, for a setter to make before it changes the
    // value object.
    void CheckModify() const;
    // Changes the record's value object of class T and writes the same
    // reference back, so that the record counts the change; does nothing
    // without an object.
    template <typename T, typename F>
    void ChangeValue(F&& change) {
        T* object = ValueAs<T>();
        if (!object) return;
        CheckModify();
        change(*object);
        SetData(object);
    }

private:
    std::string fieldName_;
    uint16_t dataType_ = ftUnknown;
    int32_t displayWidth_ = 0;
    bool readOnly_ = false;
    TFieldSlot* slot_ = nullptr;
};

// A field whose value is a number.
class TNumericField : public TField {
    ORA_DECLARE_CLASS(TNumericField)
public:
    bool IsValidChar(char c) const override;  // digits, signs, "." and "E"
};

// A field whose value is a blob: the text is the data held, the display
// text the class description.
class TBlobField : public TField {
    ORA_DECLARE_CLASS(TBlobField)
public:
    TBlobField() { SetDataType(ftBlob); }
    virtual uint16_t BlobType() const { return DataType(); }
    virtual void SetBlobType(uint16_t code) { SetDataType(code); }
    bool IsBlob() const override { return true; }
    std::string AsString() const override;
    std::string DisplayText() const override { return ClassDesc(); }
};

// A field whose value is a nested dataset. Bind of the child fields runs
// BindFields, which classes below extend.
class TDataSetField : public TField {
    ORA_DECLARE_CLASS(TDataSetField)
public:
    TDataSetField() { SetDataType(ftDataSet); }
    virtual void BindFields(bool binding) { fieldsBound_ = binding; }
    bool FieldsBound() const { return fieldsBound_; }

private:
    bool fieldsBound_ = false;
};

// A field whose value is a reference to an object.
class TReferenceField : public TDataSetField {
    ORA_DECLARE_CLASS(TReferenceField)
public:
    TReferenceField() { SetDataType(ftReference); }
};

}  // namespace tms::ora
