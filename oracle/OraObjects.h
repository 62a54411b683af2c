#pragma once
// The Oracle values that have no plain scalar form: NUMBER, the three
// timestamp kinds, the two interval kinds, LOB and file locators, object
// instances with their attribute paths, references and XML text. Every
// conversion goes through the client with the shared environment and error
// handles; the module also installs the parameter routines of these codes
// (OraObjectHooks) and owns the shared default buffers and the list of
// object types.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "oracle/MemData.h"
#include "oracle/OraClasses.h"
#include "oracle/OraDateTime.h"
#include "oracle/oci_abi.h"

namespace tms::ora {

// ---------------------------------------------------------------------------
// NUMBER

// The format model OCINumberFromText gets for a text: "S" for a leading
// sign, then "D" for the first decimal separator, "G" for a thousand
// separator before it and "9" for anything else; an exponent letter gives
// the scientific model. At most 64 characters in all.
std::string NumberFormatModel(std::string_view text, char decimalSeparator, char thousandSeparator);
// "NLS_NUMERIC_CHARACTERS='<decimal><thousand>'" of the format settings.
std::string NumericCharactersText();

class TOraNumber : public TSharedObject {
    ORA_DECLARE_CLASS(TOraNumber)
public:
    TOraNumber();  // null, owning its 22 bytes

    bool IsNull() const { return *indicator_ < 0; }
    void SetIsNull(bool value) { *indicator_ = value ? -1 : 0; }
    // The empty text for null; an empty text sets null.
    std::string AsString() const;
    void SetAsString(const std::string& text);
    int64_t AsInteger() const;
    void SetAsLargeInt(int64_t value);
    void SetAsInteger(int32_t value) { SetAsLargeInt(value); }
    double AsFloat() const;
    void SetAsFloat(double value);

    OCINumber* Number() const { return number_; }
    OCIInd* Indicator() const { return indicator_; }

protected:
    ~TOraNumber() override;

private:
    OCINumber* number_;
    OCIInd* indicator_;
    bool ownsNumber_ = true;
};

// ---------------------------------------------------------------------------
// Timestamps and intervals

// The time format the library builds its models from: the locale's own
// time-format setting when one is given, else the long time format.
std::string LibraryTimeFormat();
void SetLocaleTimeFormat(const std::string& format);  // empty: none

class TOCITimeStampValue : public TSharedObject {
    ORA_DECLARE_CLASS(TOCITimeStampValue)
public:
    explicit TOCITimeStampValue(ub4 descriptorType = OCI_DTYPE_TIMESTAMP);

    // year..second, fractional seconds in nanoseconds, time-zone text (may
    // be empty).
    void Construct(int year, int month, int day, int hour, int min, int sec, uint32_t fsec,
                   const std::string& timeZone = {});
    std::string AsString();
    void SetAsString(const std::string& text);  // empty: null
    void GetDate(int& year, int& month, int& day);
    void GetTime(int& hour, int& min, int& sec, uint32_t& fsec);
    TDateTime AsDateTime();  // 0 for null
    void SetAsDateTime(TDateTime value);
    bool IsNull() const { return indicator_ < 0; }
    void SetIsNull(bool value);
    ub4 DescriptorType() const { return descriptorType_; }
    void SetDescriptorType(ub4 type);  // a change frees the descriptor
    uint8_t Precision = 6;             // of fractional seconds
    // The Oracle format model, built on first use.
    const std::string& FormatModel();
    // A model of the owner's own; an empty one is built anew from the
    // locale's formats on next use.
    void SetFormatModel(const std::string& model) { model_ = model; }
    OCIDateTime* Descriptor();  // allocated on demand
    OCIDateTime** DescriptorAddress();
    OCIInd* IndicatorAddress() { return &indicator_; }

protected:
    ~TOCITimeStampValue() override;

private:
    void FreeDescriptor();
    OCIDateTime** cell_;
    ub4 descriptorType_;
    bool owns_ = false;
    std::string model_;
    OCIInd indicator_ = -1;
};

class TOCIIntervalValue : public TSharedObject {
    ORA_DECLARE_CLASS(TOCIIntervalValue)
public:
    explicit TOCIIntervalValue(ub4 descriptorType = OCI_DTYPE_INTERVAL_DS);

    std::string AsString();
    void SetAsString(const std::string& text);  // empty: null
    // "Invalid interval." unless the client finds the value sound.
    void Check();
    bool IsNull() const { return indicator_ < 0; }
    void SetIsNull(bool value);
    ub4 DescriptorType() const { return descriptorType_; }
    void SetDescriptorType(ub4 type);
    uint8_t LeadingPrecision = 2;
    uint8_t FractionalPrecision = 6;
    OCIInterval* Descriptor();
    OCIInterval** DescriptorAddress();
    OCIInd* IndicatorAddress() { return &indicator_; }

protected:
    ~TOCIIntervalValue() override;

private:
    void FreeDescriptor();
    OCIInterval** cell_;
    ub4 descriptorType_;
    bool owns_ = false;
    OCIInd indicator_ = -1;
};

// ---------------------------------------------------------------------------
// LOBs and files

// A blob of the library's blob model that also holds an OCI LOB or file
// locator, the service context and the environment taken from it.
class TOCILobObject : public TBlob {
    ORA_DECLARE_CLASS(TOCILobObject)
public:
    // dataType: 102 BLOB, 103 CLOB, 104 BFILE, 105 CFILE.
    explicit TOCILobObject(uint16_t dataType = dtOraBlob, OCISvcCtx* service = nullptr);

    uint16_t DataType() const { return dataType_; }
    bool IsFile() const { return dataType_ == dtBFile || dataType_ == dtCFile; }
    OCISvcCtx* Service() const { return service_; }
    void SetService(OCISvcCtx* service);
    uint8_t CharsetForm = SQLCS_IMPLICIT;
    bool Temporary() const { return temporary_; }
    bool Cached = false;

    void AllocLob();  // the locator, when there is none
    void FreeLob();
    OCILobLocator* Locator() const { return *cell_; }
    OCILobLocator** LocatorAddress();  // allocated on demand

    // "Lob is not allocated", "OCISvcCtx is not defined", "Lob locator
    // should be inited".
    void CheckAlloc() const;
    void CheckSession() const;
    void CheckInit() const;
    bool IsInit() const;

    // The data held, replaced.
    void SetBytes(std::string_view bytes);
    // A temporary LOB (CLOB form for 103) with the data written into it.
    void WriteTemporary();
    // The data written to the LOB: trimmed to the data's length, then
    // written in one piece.
    void WriteLob();
    // The LOB's data read into the blob.
    void ReadLob();

    // Directory alias and file name of a file locator; empty without one.
    std::string FileDir() const;
    std::string FileName() const;
    // Null: no locator and no data; a file without directory and name.
    bool IsNull() const;

protected:
    ~TOCILobObject() override;

private:
    std::string FileNamePart(bool dir) const;
    uint16_t dataType_;
    OCILobLocator** cell_;
    OCISvcCtx* service_ = nullptr;
    OCIEnv* env_ = nullptr;
    bool temporary_ = false;
};

// ---------------------------------------------------------------------------
// Object types

class TOraType;

// The object types known per connection, under one lock.
class TOraTypes {
public:
    static void Add(TOraType* type);  // the list owns it
    static TOraType* Find(TOCIConnection* connection, const std::string& name);
    // Every type of the connection: one still used by instances is marked as
    // no longer in use; the others are freed and removed.
    static void ClearTypes(TOCIConnection* connection);
    static int Count();
    static void Clear();  // at shutdown
};

// An object type built in code: attribute names and codes, nested types for
// object, collection and reference attributes (a collection type holds one
// attribute "ELEMENT"). Its descriptor comes from OCITypeByName.
class TOraType : public TObjectType {
    ORA_DECLARE_CLASS(TOraType)
public:
    // name: "SCHEMA.NAME" or "NAME"; dataType: 15 object, 17 array, 18
    // table, 116 XML.
    TOraType(std::string name, uint16_t dataType = dtObject);

    uint16_t DataType() const { return dataType_; }
    // Finds the type descriptor on the connection.
    void Describe(TOCIConnection* connection);
    OCIType* TDO() const { return tdo_; }
    TOCIConnection* Connection() const { return connection_; }
    bool CanAllocate() const { return tdo_ != nullptr; }
    bool InUse() const { return users_.load() > 0; }
    bool Valid() const { return valid_; }
    void Invalidate();
    void Use() { users_.fetch_add(1); }
    void Unuse() { users_.fetch_sub(1); }

private:
    uint16_t dataType_;
    OCIType* tdo_ = nullptr;
    TOCIConnection* connection_ = nullptr;
    std::atomic<int> users_{0};
    bool valid_ = true;
};

// The XML type of a connection (described on first use).
TOraType* XMLTypeOf(TOCIConnection* connection);

// ---------------------------------------------------------------------------
// Object instances

class TOCIObjectInstance : public TSharedObject {
    ORA_DECLARE_CLASS(TOCIObjectInstance)
public:
    explicit TOCIObjectInstance(TOraType* type, OCISvcCtx* service = nullptr);

    TOraType* Type() const { return type_; }
    void SetService(OCISvcCtx* service) { service_ = service; }
    void AllocObject();
    // Frees an owned instance; with freeNested the nested instances too.
    void FreeObject(bool freeNested = true);
    // Allocates when there is no instance and the type can; "Object is not
    // allocated" when there still is none.
    void CheckAlloc();
    void* Instance() const { return *instanceCell_; }
    void** InstanceAddress() { return instanceCell_; }
    void** IndicatorAddress() { return indicatorCell_; }
    virtual bool IsNull() const;

    // Attributes by name path ("A", "A.B", "LIST[5]", "LIST[2].B"); element
    // indexes count from 1 and a collection grows to an index beyond its
    // size with null elements. "Invalid attribute name" for a bad path.
    bool GetAttrIsNull(const std::string& path);
    void SetAttrNull(const std::string& path);
    std::string GetAttrAsString(const std::string& path);
    void SetAttrAsString(const std::string& path, const std::string& value);
    double GetAttrAsFloat(const std::string& path);
    void SetAttrAsFloat(const std::string& path, double value);
    int64_t GetAttrAsInteger(const std::string& path);
    void SetAttrAsInteger(const std::string& path, int64_t value);
    TDateTime GetAttrAsDateTime(const std::string& path);
    void SetAttrAsDateTime(const std::string& path, TDateTime value);
    // The LOB of a LOB attribute, kept as a nested instance.
    TOCILobObject* GetAttrAsLob(const std::string& path);
    // The size of a collection attribute.
    int32_t GetCollectionSize(const std::string& path);
    // The text of a reference attribute ("" for none), or of the instance
    // itself when the type is a reference.
    std::string RefAsString(const std::string& path = {});

    // Temporary LOBs for the nested LOB instances (client 8.1 and later),
    // each written and set into its attribute.
    void WriteLobs();

protected:
    ~TOCIObjectInstance() override;
    // Frees the instance, whoever made it, and forgets it.
    void DropInstance();

private:
    struct TSlot;
    TSlot Locate(const std::string& path, bool forWrite);
    void Store(const TSlot& slot, const void* value, bool isNull);
    void* Env() const;

    TOraType* type_;
    void** instanceCell_;
    void** indicatorCell_;
    OCISvcCtx* service_ = nullptr;
    bool owns_ = false;
    struct TNested {
        std::string Path;
        TSharedObject* Object;
    };
    std::vector<TNested> nested_;
};

// An XMLType value: an instance of SYS.XMLTYPE whose text is read through
// a persistent stream on first use and kept; once read, the instance goes.
class TOCIXMLValue : public TOCIObjectInstance {
    ORA_DECLARE_CLASS(TOCIXMLValue)
public:
    explicit TOCIXMLValue(TOraType* type, OCISvcCtx* service = nullptr) : TOCIObjectInstance(type, service) {}

    // Null without an instance unless text is held.
    bool IsNull() const override;
    std::string XMLAsString();
    void SetXML(const std::string& text);  // empty: not loaded
    // Frees the instance and the text.
    void Clear();

private:
    std::string xml_;
    bool xmlLoaded_ = false;
};

// ---------------------------------------------------------------------------
// Shared buffers (made at start-up)

struct TOraSharedBuffers {
    OCIInd* NotNullIndicator = nullptr;  // one indicator, 0
    OCIInd* NullIndicators = nullptr;    // 50 indicators, each -1
    OCINumber* Number = nullptr;         // NUMBER zero
    uint8_t* Date = nullptr;             // 7 bytes
    void** Pointer = nullptr;            // an empty pointer
};
const TOraSharedBuffers& OraSharedBuffers();
constexpr int32_t SharedNullIndicatorCount = 50;

void OraObjectsStartup();
void OraObjectsShutdown();

}  // namespace tms::ora
