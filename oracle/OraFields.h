#pragma once
// The dataset fields that present Oracle values: cursors, BFILEs, nested
// tables, references, timestamps, intervals, NUMBERs and XMLType. Each keeps
// its value in the record as a reference to the value object of its kind;
// every setter changes that object and writes the same reference back, so
// that the record counts the change, and does nothing without an object.
// The module registers the eight classes by name at start-up (stored forms
// name them) and removes them at shutdown.

#include <cstdint>
#include <string>
#include <vector>

#include "oracle/OraFieldModel.h"

namespace tms::ora {

class TCursorField : public TField {
    ORA_DECLARE_CLASS(TCursorField)
public:
    TCursorField() { SetDataType(ftCursor); }
};

// A BFILE: read-only; null while the locator names neither a directory nor
// a file.
class TBFileField : public TBlobField {
    ORA_DECLARE_CLASS(TBFileField)
public:
    TBFileField() { SetDataType(ftBFile); }
    uint16_t BlobType() const override { return ftBlob; }
    void SetBlobType(uint16_t) override { SetDataType(ftBFile); }
    bool CanModify() const override { return false; }
    bool IsNull() const override;
    std::string ClassDesc() const override;
};

class TOraDataSetField : public TDataSetField {
    ORA_DECLARE_CLASS(TOraDataSetField)
public:
    ~TOraDataSetField() override;
    std::string AsString() const override;
    void BindFields(bool binding) override;
    // The nested dataset's object of the record, held while the child
    // fields are bound to it.
    TSharedObject* DataSetObject();

private:
    TSharedObject* held_ = nullptr;
};

// With HexReferences on, the text is the reference in hexadecimal.
class TOraReferenceField : public TReferenceField {
    ORA_DECLARE_CLASS(TOraReferenceField)
public:
    ~TOraReferenceField() override;
    std::string AsString() const override;
    void BindFields(bool binding) override;
    // The referenced object of the record, held while the child fields are
    // bound to it.
    TSharedObject* ReferenceObject();

private:
    TSharedObject* held_ = nullptr;
};

class TOraTimeStampField : public TField {
    ORA_DECLARE_CLASS(TOraTimeStampField)
public:
    TOraTimeStampField() { SetDataType(ftTimeStamp); }
    // The Oracle format model of the text; empty: the one built from the
    // locale's date and time formats.
    const std::string& Format() const { return format_; }
    void SetFormat(std::string format) { format_ = std::move(format); }

    bool IsNull() const override;
    void Clear() override;
    std::string AsString() const override;
    void SetAsString(const std::string& text) override;  // empty: clears
    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
    // Fractions are milliseconds; the all-zero record is null both ways.
    TSQLTimeStamp AsSQLTimeStamp() const override;
    void SetAsSQLTimeStamp(const TSQLTimeStamp& value) override;
    TVariant AsVariant() const override;
    void StoreProperties(TFieldProperties& props) const override;
    void LoadProperties(const TFieldProperties& props) override;

protected:
    void SetVarValue(const TVariant& value) override;

private:
    std::string format_;
};

class TOraIntervalField : public TField {
    ORA_DECLARE_CLASS(TOraIntervalField)
public:
    TOraIntervalField() { SetDataType(ftOraInterval); }
    // Handed to the interval object before each conversion.
    uint8_t LeadingPrecision = 2;
    uint8_t FractionalPrecision = 6;

    bool IsNull() const override;
    void Clear() override;
    std::string AsString() const override;
    void SetAsString(const std::string& text) override;  // empty: clears
    TVariant AsVariant() const override;
    void StoreProperties(TFieldProperties& props) const override;
    void LoadProperties(const TFieldProperties& props) override;

protected:
    // Strings only: "Cannot convert type" for anything else.
    void SetVarValue(const TVariant& value) override;
};

class TOraNumberField : public TNumericField {
    ORA_DECLARE_CLASS(TOraNumberField)
public:
    TOraNumberField() {
        SetDataType(ftOraNumber);
        SetDisplayWidth(38);
    }

    bool IsNull() const override;
    void Clear() override;
    // The locale's separators, not "." and ",".
    bool IsValidChar(char c) const override;
    std::string AsString() const override;
    void SetAsString(const std::string& text) override;  // empty: clears
    int64_t AsInteger() const override;                  // 0 without an object
    void SetAsInteger(int64_t value) override;
    double AsFloat() const override;  // 0 without an object
    void SetAsFloat(double value) override;
    TVariant AsVariant() const override;
    void StoreProperties(TFieldProperties& props) const override;
    void LoadProperties(const TFieldProperties& props) override;

protected:
    void SetVarValue(const TVariant& value) override;
};

// XMLType: the text is the document; the display text stays the class
// description and cannot be edited.
class TOraXMLField : public TField {
    ORA_DECLARE_CLASS(TOraXMLField)
public:
    TOraXMLField() { SetDataType(ftOraXML); }

    bool IsNull() const override;
    bool IsBlob() const override { return true; }
    void Clear() override;
    std::string ClassDesc() const override;
    std::string AsString() const override;  // empty when null
    void SetAsString(const std::string& text) override;
    std::string DisplayText() const override { return TField::AsString(); }
    void SetDisplayText(const std::string&) override { AccessError("Text"); }
    TVariant AsVariant() const override;
    void StoreProperties(TFieldProperties& props) const override;
    void LoadProperties(const TFieldProperties& props) override;
};

// The field classes in the order they are registered.
const std::vector<const TClassDesc*>& OraFieldClasses();

void OraFieldsStartup();
void OraFieldsShutdown();

}  // namespace tms::ora
