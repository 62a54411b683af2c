#include "oracle/OraObjects.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/OraCall.h"
#include "oracle/OraConsts.h"
#include "oracle/OraError.h"
#include "oracle/OraException.h"
#include "oracle/OraFormatModel.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraText.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TOraNumber, TSharedObject, nullptr)
ORA_DEFINE_CLASS(TOCITimeStampValue, TSharedObject, nullptr)
ORA_DEFINE_CLASS(TOCIIntervalValue, TSharedObject, nullptr)
ORA_DEFINE_CLASS(TOCILobObject, TBlob, nullptr)
ORA_DEFINE_CLASS(TOraType, TObjectType, nullptr)
ORA_DEFINE_CLASS(TOCIObjectInstance, TSharedObject, nullptr)
ORA_DEFINE_CLASS(TOCIXMLValue, TOCIObjectInstance, nullptr)

namespace {
const char* const kModule = "OraObjects";
const char* const kInvalidAttributeName = "Invalid attribute name";
// The longest text the datetime and interval conversions write.
constexpr ub4 kTextArea = 255;
// Number text: TM9 gives at most 64 characters.
constexpr ub4 kNumberArea = 64;
// The room of each part of a file name.
constexpr ub2 kFileNameArea = 50;
// A reference as hexadecimal text.
constexpr ub4 kRefArea = 1000;
// One read of an XML value's stream: at most 65513 bytes into a 65514-byte
// area (one byte stays free for the client's terminator).
constexpr int64_t kXmlChunk = 65513;

TOraSharedBuffers gShared;

const oratext* Text(const std::string& s) { return reinterpret_cast<const oratext*>(s.data()); }

void NeedDescriptorSupport() {
    if (!OCIInitialized.load()) InitOCI();
    RequireOCI8();
}

// A heap cell for one client pointer, empty. Binds and defines hand the
// client the cell's address, so the cell stays put for the value's life.
template <typename H>
H** NewCell() {
    auto** cell = static_cast<H**>(Marshal::AllocHGlobal(sizeof(H*)));
    *cell = nullptr;
    return cell;
}

// A fresh descriptor of the given type in the library's environment.
template <typename H>
H* AllocDescriptor(ub4 type) {
    NeedDescriptorSupport();
    void* d = nullptr;
    Check(OCIDescriptorAlloc(hOCIEnv, &d, type, 0, nullptr), hOCIError);
    return static_cast<H*>(d);
}

// The cell of a timestamp or interval value with a descriptor in it,
// allocated (and then owned by the value) when the cell is empty.
template <typename H>
H** FilledCell(H** cell, ub4 type, bool& owns) {
    if (!*cell) {
        *cell = AllocDescriptor<H>(type);
        owns = true;
    }
    return cell;
}

// Empties the cell of a timestamp or interval value, freeing the
// descriptor only when the value allocated it (one placed there by the
// client belongs to its owner), and leaves the value null.
template <typename H>
void EmptyCell(H** cell, ub4 type, bool& owns, OCIInd& indicator) {
    if (*cell && owns && hOCIEnv) OCIDescriptorFree(*cell, type);
    *cell = nullptr;
    owns = false;
    indicator = -1;
}

// The object an element of a parameter holds, made when it has none.
template <typename T, typename Make>
T* ElementObject(TOraParamDesc& p, int32_t index, Make make) {
    if (auto* existing = dynamic_cast<T*>(p.GetItemObject(index))) return existing;
    T* made = make();
    p.SetItemObject(index, made);
    made->Release();  // the parameter holds it now
    return made;
}
}  // namespace

// ---------------------------------------------------------------------------
// NUMBER

std::string NumberFormatModel(std::string_view text, char decimalSeparator, char thousandSeparator) {
    if (text.empty()) return {};
    std::string model;
    size_t i = 0;
    const bool sign = text[0] == '+' || text[0] == '-';
    if (sign) {
        model = "S";
        i = 1;
    }
    bool decimal = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'e' || c == 'E')
            return sign ? "S9D99999999999999999999999999999999999999999EEEE"
                        : "9D99999999999999999999999999999999999999999EEEE";
        if (c == decimalSeparator && !decimal) {
            model += 'D';
            decimal = true;
        } else if (c == thousandSeparator && !decimal) {
            model += 'G';
        } else {
            model += '9';
        }
    }
    // the client takes models of at most 64 characters, the sign included
    if (model.size() > 64) model.resize(64);
    return model;
}

std::string NumericCharactersText() {
    const TFormatSettings fs = FormatSettings();
    return std::string("NLS_NUMERIC_CHARACTERS='") + fs.DecimalSeparator + fs.ThousandSeparator + "'";
}

TOraNumber::TOraNumber() {
    number_ = static_cast<OCINumber*>(Marshal::AllocHGlobal(sizeof(OCINumber)));
    std::memset(number_, 0, sizeof(OCINumber));
    indicator_ = static_cast<OCIInd*>(Marshal::AllocHGlobal(sizeof(OCIInd)));
    *indicator_ = -1;
}

TOraNumber::~TOraNumber() {
    if (ownsNumber_) Marshal::FreeHGlobal(number_);
    Marshal::FreeHGlobal(indicator_);
}

std::string TOraNumber::AsString() const {
    if (IsNull()) return {};
    // Older clients have no text conversion with these settings.
    RequireOCI81();
    const char decimal = FormatSettings().DecimalSeparator;
    const std::string nls = NumericCharactersText();
    oratext buffer[kNumberArea];
    ub4 size = kNumberArea;
    Check(OCINumberToText(hOCIError, number_, Text("TM9"), 3, Text(nls), static_cast<ub4>(nls.size()), &size, buffer),
          hOCIError);
    std::string out(reinterpret_cast<const char*>(buffer), std::min(size, kNumberArea));
    if (!out.empty() && out[0] == decimal)
        out = "0" + out;
    else if (out.size() >= 2 && out[0] == '-' && out[1] == decimal)
        out = "-0" + out.substr(1);
    return out;
}

void TOraNumber::SetAsString(const std::string& text) {
    if (text.empty()) {
        SetIsNull(true);
        return;
    }
    RequireOCI81();
    const TFormatSettings fs = FormatSettings();
    number_->OCINumberPart[0] = 0;
    const std::string model = NumberFormatModel(text, fs.DecimalSeparator, fs.ThousandSeparator);
    const std::string nls = NumericCharactersText();
    Check(OCINumberFromText(hOCIError, Text(text), static_cast<ub4>(text.size()), Text(model),
                            static_cast<ub4>(model.size()), Text(nls), static_cast<ub4>(nls.size()), number_),
          hOCIError);
    SetIsNull(false);
}

int64_t TOraNumber::AsInteger() const {
    if (IsNull()) return 0;
    int64_t value = 0;
    Check(OCINumberToInt(hOCIError, number_, sizeof value, OCI_NUMBER_SIGNED, &value), hOCIError);
    return value;
}

void TOraNumber::SetAsLargeInt(int64_t value) {
    Check(OCINumberFromInt(hOCIError, &value, sizeof value, OCI_NUMBER_SIGNED, number_), hOCIError);
    SetIsNull(false);
}

double TOraNumber::AsFloat() const {
    if (IsNull()) return 0;
    double value = 0;
    Check(OCINumberToReal(hOCIError, number_, sizeof value, &value), hOCIError);
    return value;
}

void TOraNumber::SetAsFloat(double value) {
    Check(OCINumberFromReal(hOCIError, &value, sizeof value, number_), hOCIError);
    SetIsNull(false);
}

// ---------------------------------------------------------------------------
// Timestamps

namespace {
std::mutex gTimeFormatLock;
std::string gLocaleTimeFormat;
}  // namespace

std::string LibraryTimeFormat() {
    {
        std::lock_guard<std::mutex> g(gTimeFormatLock);
        if (!gLocaleTimeFormat.empty()) return gLocaleTimeFormat;
    }
    return FormatSettings().LongTimeFormat;
}

void SetLocaleTimeFormat(const std::string& format) {
    std::lock_guard<std::mutex> g(gTimeFormatLock);
    gLocaleTimeFormat = format;
}

TOCITimeStampValue::TOCITimeStampValue(ub4 descriptorType)
    : cell_(NewCell<OCIDateTime>()), descriptorType_(descriptorType) {}

TOCITimeStampValue::~TOCITimeStampValue() {
    try {
        FreeDescriptor();
    } catch (...) {}
    Marshal::FreeHGlobal(cell_);
}

OCIDateTime* TOCITimeStampValue::Descriptor() { return *DescriptorAddress(); }

OCIDateTime** TOCITimeStampValue::DescriptorAddress() { return FilledCell(cell_, descriptorType_, owns_); }

void TOCITimeStampValue::FreeDescriptor() { EmptyCell(cell_, descriptorType_, owns_, indicator_); }

void TOCITimeStampValue::SetIsNull(bool value) { indicator_ = value ? -1 : 0; }

void TOCITimeStampValue::SetDescriptorType(ub4 type) {
    if (type == descriptorType_) return;
    FreeDescriptor();
    descriptorType_ = type;
    model_.clear();  // the time-zone suffix follows the kind
}

const std::string& TOCITimeStampValue::FormatModel() {
    if (model_.empty())
        model_ = DateTimeFormatModel(FormatSettings().ShortDateFormat, LibraryTimeFormat(),
                                     descriptorType_ == OCI_DTYPE_TIMESTAMP_TZ);
    return model_;
}

void TOCITimeStampValue::Construct(int year, int month, int day, int hour, int min, int sec, uint32_t fsec,
                                   const std::string& timeZone) {
    OCIDateTime* d = Descriptor();
    Check(
        OCIDateTimeConstruct(hOCIEnv, hOCIError, d, static_cast<sb2>(year), static_cast<ub1>(month),
                             static_cast<ub1>(day), static_cast<ub1>(hour), static_cast<ub1>(min),
                             static_cast<ub1>(sec), fsec, timeZone.empty() ? nullptr : Text(timeZone), timeZone.size()),
        hOCIError);
    indicator_ = 0;
}

std::string TOCITimeStampValue::AsString() {
    if (IsNull()) return {};
    const std::string& model = FormatModel();
    oratext buffer[kTextArea];
    ub4 size = kTextArea;
    Check(
        OCIDateTimeToText(hOCIEnv, hOCIError, Descriptor(), Text(model),
                          static_cast<ub1>(std::min<size_t>(model.size(), 255)), Precision, nullptr, 0, &size, buffer),
        hOCIError);
    return std::string(reinterpret_cast<const char*>(buffer), std::min(size, kTextArea));
}

void TOCITimeStampValue::SetAsString(const std::string& text) {
    if (text.empty()) {
        SetIsNull(true);
        return;
    }
    const std::string& model = FormatModel();
    OCIDateTime* fresh = AllocDescriptor<OCIDateTime>(descriptorType_);
    const sword status = OCIDateTimeFromText(hOCIEnv, hOCIError, Text(text), text.size(), Text(model),
                                             static_cast<ub1>(std::min<size_t>(model.size(), 255)), nullptr, 0, fresh);
    if (status != OCI_SUCCESS) {
        OCIDescriptorFree(fresh, descriptorType_);
        Check(status, hOCIError);
    }
    FreeDescriptor();
    *cell_ = fresh;
    owns_ = true;
    indicator_ = 0;
}

void TOCITimeStampValue::GetDate(int& year, int& month, int& day) {
    sb2 y = 0;
    ub1 m = 0, d = 0;
    Check(OCIDateTimeGetDate(hOCIEnv, hOCIError, Descriptor(), &y, &m, &d), hOCIError);
    year = y;
    month = m;
    day = d;
}

void TOCITimeStampValue::GetTime(int& hour, int& min, int& sec, uint32_t& fsec) {
    ub1 h = 0, m = 0, s = 0;
    ub4 f = 0;
    Check(OCIDateTimeGetTime(hOCIEnv, hOCIError, Descriptor(), &h, &m, &s, &f), hOCIError);
    hour = h;
    min = m;
    sec = s;
    fsec = f;
}

TDateTime TOCITimeStampValue::AsDateTime() {
    if (IsNull()) return 0;
    int year, month, day, hour, min, sec;
    uint32_t fsec;
    GetDate(year, month, day);
    GetTime(hour, min, sec, fsec);
    // nanoseconds to milliseconds
    uint32_t msec = fsec;
    for (int i = 0; i < 6; ++i) msec /= 10;
    TDateTime date, time;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, min, sec, static_cast<int>(msec), time))
        throw EConvertError(SCannotConvertType);
    return ComposeDateTime(date, time);
}

void TOCITimeStampValue::SetAsDateTime(TDateTime value) {
    int year, month, day, hour, min, sec, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, min, sec, msec);
    Construct(year, month, day, hour, min, sec, static_cast<uint32_t>(msec) * 1000000u);
}

// ---------------------------------------------------------------------------
// Intervals

TOCIIntervalValue::TOCIIntervalValue(ub4 descriptorType)
    : cell_(NewCell<OCIInterval>()), descriptorType_(descriptorType) {}

TOCIIntervalValue::~TOCIIntervalValue() {
    try {
        FreeDescriptor();
    } catch (...) {}
    Marshal::FreeHGlobal(cell_);
}

OCIInterval* TOCIIntervalValue::Descriptor() { return *DescriptorAddress(); }

OCIInterval** TOCIIntervalValue::DescriptorAddress() { return FilledCell(cell_, descriptorType_, owns_); }

void TOCIIntervalValue::FreeDescriptor() { EmptyCell(cell_, descriptorType_, owns_, indicator_); }

void TOCIIntervalValue::SetIsNull(bool value) { indicator_ = value ? -1 : 0; }

void TOCIIntervalValue::SetDescriptorType(ub4 type) {
    if (type == descriptorType_) return;
    FreeDescriptor();
    descriptorType_ = type;
}

void TOCIIntervalValue::Check() {
    ORA_ASSERT(*cell_ != nullptr, kModule, "Interval descriptor is not allocated");
    ub4 valid = 0;
    tms::ora::Check(OCIIntervalCheck(hOCIEnv, hOCIError, *cell_, &valid), hOCIError);
    if (valid != 0) RaiseError(SInvalidInterval);
}

std::string TOCIIntervalValue::AsString() {
    if (IsNull()) return {};
    oratext buffer[kTextArea];
    size_t size = 0;
    tms::ora::Check(OCIIntervalToText(hOCIEnv, hOCIError, Descriptor(), LeadingPrecision, FractionalPrecision, buffer,
                                      kTextArea, &size),
                    hOCIError);
    return std::string(reinterpret_cast<const char*>(buffer), std::min<size_t>(size, kTextArea));
}

void TOCIIntervalValue::SetAsString(const std::string& text) {
    if (text.empty()) {
        SetIsNull(true);
        return;
    }
    tms::ora::Check(OCIIntervalFromText(hOCIEnv, hOCIError, Text(text), text.size(), Descriptor()), hOCIError);
    Check();
    indicator_ = 0;
}

// ---------------------------------------------------------------------------
// LOBs and files

TOCILobObject::TOCILobObject(uint16_t dataType, OCISvcCtx* service) : dataType_(dataType) {
    cell_ = NewCell<OCILobLocator>();
    if (service) SetService(service);
}

TOCILobObject::~TOCILobObject() {
    try {
        FreeLob();
    } catch (...) {}
    Marshal::FreeHGlobal(cell_);
}

void TOCILobObject::SetService(OCISvcCtx* service) {
    if (service == service_) return;
    service_ = service;
    env_ = nullptr;
    if (service_) {
        void* env = nullptr;
        // the environment the service context was made in
        if (OCIAttrGet(service_, OCI_HTYPE_SVCCTX, &env, nullptr, OCI_ATTR_ENV, hOCIError) != OCI_SUCCESS)
            env = nullptr;
        env_ = static_cast<OCIEnv*>(env);
    }
}

void TOCILobObject::AllocLob() {
    if (*cell_) return;
    NeedDescriptorSupport();
    void* d = nullptr;
    Check(OCIDescriptorAlloc(env_ ? env_ : hOCIEnv, &d, IsFile() ? OCI_DTYPE_FILE : OCI_DTYPE_LOB, 0, nullptr),
          hOCIError);
    *cell_ = static_cast<OCILobLocator*>(d);
}

OCILobLocator** TOCILobObject::LocatorAddress() {
    AllocLob();
    return cell_;
}

void TOCILobObject::FreeLob() {
    if (!*cell_) return;
    if (hOCIEnv) {
        if (temporary_ && service_) OCILobFreeTemporary(service_, hOCIError, *cell_);
        OCIDescriptorFree(*cell_, IsFile() ? OCI_DTYPE_FILE : OCI_DTYPE_LOB);
    }
    *cell_ = nullptr;
    temporary_ = false;
}

void TOCILobObject::CheckAlloc() const {
    if (!*cell_) RaiseError(SLobNotAllocated);
}

void TOCILobObject::CheckSession() const {
    if (!service_) RaiseError(SSvcCtxNotDefined);
}

bool TOCILobObject::IsInit() const {
    if (!*cell_) return false;
    boolean_t init = 0;
    Check(OCILobLocatorIsInit(env_ ? env_ : hOCIEnv, hOCIError, *cell_, &init), hOCIError);
    return init != 0;
}

void TOCILobObject::CheckInit() const {
    if (!IsInit()) RaiseError(SLobNotInited);
}

void TOCILobObject::SetBytes(std::string_view bytes) {
    Clear();
    if (!bytes.empty()) {
        PPieceHeader piece = AllocPiece(static_cast<int32_t>(bytes.size()));
        std::memcpy(PieceData(piece), bytes.data(), bytes.size());
        piece->Used = static_cast<int32_t>(bytes.size());
        AppendPiece(piece);
    }
    SetModified(true);
}

void TOCILobObject::WriteTemporary() {
    CheckSession();
    AllocLob();
    if (temporary_) OCILobFreeTemporary(service_, hOCIError, *cell_);
    temporary_ = false;
    Check(OCILobCreateTemporary(service_, hOCIError, *cell_, 0, CharsetForm,
                                dataType_ == dtOraClob ? OCI_TEMP_CLOB : OCI_TEMP_BLOB, 0, OCI_DURATION_SESSION),
          hOCIError);
    temporary_ = true;
    WriteLob();
}

void TOCILobObject::WriteLob() {
    CheckAlloc();
    CheckSession();
    CheckInit();
    std::string data = AsBytes();
    Check(OCILobTrim(service_, hOCIError, *cell_, static_cast<ub4>(data.size())), hOCIError);
    if (!data.empty()) {
        ub4 amount = static_cast<ub4>(data.size());
        Check(OCILobWrite(service_, hOCIError, *cell_, &amount, 1, data.data(), amount, OCI_ONE_PIECE, nullptr, nullptr,
                          0, CharsetForm),
              hOCIError);
    }
    SetModified(false);
}

void TOCILobObject::ReadLob() {
    CheckAlloc();
    CheckSession();
    CheckInit();
    ub4 length = 0;
    Check(OCILobGetLength(service_, hOCIError, *cell_, &length), hOCIError);
    std::string data(length, '\0');
    if (length > 0) {
        ub4 amount = length;
        Check(
            OCILobRead(service_, hOCIError, *cell_, &amount, 1, data.data(), length, nullptr, nullptr, 0, CharsetForm),
            hOCIError);
        data.resize(std::min(amount, length));
    }
    SetBytes(data);
    SetModified(false);
    Cached = true;
}

std::string TOCILobObject::FileNamePart(bool dir) const {
    if (!*cell_ || !IsInit()) return {};
    oratext area[kFileNameArea];
    ub2 length = kFileNameArea;
    Check(OCILobFileGetName(env_ ? env_ : hOCIEnv, hOCIError, *cell_, dir ? area : nullptr, dir ? &length : nullptr,
                            dir ? nullptr : area, dir ? nullptr : &length),
          hOCIError);
    length = std::min(length, kFileNameArea);
    // a part the server leaves unset comes back as one zero byte
    if (length == 1 && area[0] == 0) return {};
    return std::string(reinterpret_cast<const char*>(area), length);
}

std::string TOCILobObject::FileDir() const { return FileNamePart(true); }

std::string TOCILobObject::FileName() const { return FileNamePart(false); }

bool TOCILobObject::IsNull() const {
    if (IsFile()) return FileDir().empty() && FileName().empty();
    return !*cell_ && FirstPiece() == nullptr;
}

// ---------------------------------------------------------------------------
// Object types

namespace {
std::mutex gTypesLock;
std::vector<std::unique_ptr<TOraType>> gTypes;
}  // namespace

void TOraTypes::Add(TOraType* type) {
    std::lock_guard<std::mutex> g(gTypesLock);
    gTypes.emplace_back(type);
}

TOraType* TOraTypes::Find(TOCIConnection* connection, const std::string& name) {
    std::lock_guard<std::mutex> g(gTypesLock);
    for (auto& t : gTypes)
        if (t->Valid() && t->Connection() == connection && SameText(t->Name, name)) return t.get();
    return nullptr;
}

void TOraTypes::ClearTypes(TOCIConnection* connection) {
    std::lock_guard<std::mutex> g(gTypesLock);
    for (auto it = gTypes.begin(); it != gTypes.end();) {
        TOraType* t = it->get();
        if (t->Connection() != connection) {
            ++it;
        } else if (t->InUse()) {
            t->Invalidate();  // instances still point at it
            ++it;
        } else {
            it = gTypes.erase(it);
        }
    }
}

int TOraTypes::Count() {
    std::lock_guard<std::mutex> g(gTypesLock);
    return static_cast<int>(gTypes.size());
}

void TOraTypes::Clear() {
    std::lock_guard<std::mutex> g(gTypesLock);
    gTypes.clear();
}

TOraType::TOraType(std::string name, uint16_t dataType) : TObjectType(std::move(name)), dataType_(dataType) {}

void TOraType::Describe(TOCIConnection* connection) {
    if (!connection) RaiseError(SSessionNotDefined);
    const size_t dot = Name.find('.');
    const std::string schema = dot == std::string::npos ? std::string() : UpperCase(Name.substr(0, dot));
    const std::string name = UpperCase(dot == std::string::npos ? Name : Name.substr(dot + 1));
    OCIType* tdo = nullptr;
    connection->CheckStyle(
        csOCI8,
        OCITypeByName(hOCIEnv, connection->ErrorHandle(), connection->GetSvcCtx(),
                      schema.empty() ? nullptr : Text(schema), static_cast<ub4>(schema.size()), Text(name),
                      static_cast<ub4>(name.size()), nullptr, 0, OCI_DURATION_SESSION, OCI_TYPEGET_HEADER, &tdo),
        connection->ErrorHandle());
    tdo_ = tdo;
    connection_ = connection;
    valid_ = true;
}

void TOraType::Invalidate() {
    tdo_ = nullptr;
    connection_ = nullptr;
    valid_ = false;
}

TOraType* XMLTypeOf(TOCIConnection* connection) {
    if (TOraType* t = TOraTypes::Find(connection, "SYS.XMLTYPE")) return t;
    auto t = std::make_unique<TOraType>("SYS.XMLTYPE", dtXML);
    t->Describe(connection);
    TOraType* out = t.release();
    TOraTypes::Add(out);
    return out;
}

// ---------------------------------------------------------------------------
// Object instances

struct TOCIObjectInstance::TSlot {
    void* Instance = nullptr;  // the object holding the attribute
    void* NullStruct = nullptr;
    OCIType* Tdo = nullptr;
    std::string Name;         // the attribute's name (plain attributes)
    OCIColl* Coll = nullptr;  // the collection (elements)
    sb4 Index = -1;           // the element, from 0
    uint16_t Code = 0;        // the data-type code of the value
    TObjectType* ObjectType = nullptr;
    void* Value = nullptr;  // the value's address as the client hands it out
    OCIInd Ind = -1;
};

TOCIObjectInstance::TOCIObjectInstance(TOraType* type, OCISvcCtx* service) : type_(type), service_(service) {
    instanceCell_ = NewCell<void>();
    indicatorCell_ = NewCell<void>();
    if (type_) type_->Use();
}

TOCIObjectInstance::~TOCIObjectInstance() {
    try {
        FreeObject(true);
    } catch (...) {}
    Marshal::FreeHGlobal(instanceCell_);
    Marshal::FreeHGlobal(indicatorCell_);
    if (type_) type_->Unuse();
}

void* TOCIObjectInstance::Env() const { return hOCIEnv; }

void TOCIObjectInstance::AllocObject() {
    if (*instanceCell_) return;
    if (!type_ || !type_->CanAllocate()) RaiseError(SObjectNotAllocated);
    RequireOCI8();
    OCISvcCtx* svc = service_ ? service_ : (type_->Connection() ? type_->Connection()->GetSvcCtx() : nullptr);
    void* instance = nullptr;
    Check(OCIObjectNew(hOCIEnv, hOCIError, svc, OCI_TYPECODE_OBJECT, type_->TDO(), nullptr, OCI_DURATION_SESSION, 1,
                       &instance),
          hOCIError);
    *instanceCell_ = instance;
    owns_ = true;
    void* nullStruct = nullptr;
    Check(OCIObjectGetInd(hOCIEnv, hOCIError, instance, &nullStruct), hOCIError);
    *indicatorCell_ = nullStruct;
}

void TOCIObjectInstance::FreeObject(bool freeNested) {
    if (*instanceCell_ && owns_ && type_ && type_->CanAllocate() && hOCIEnv)
        OCIObjectFree(hOCIEnv, hOCIError, *instanceCell_, OCI_OBJECTFREE_FORCE);
    *instanceCell_ = nullptr;
    *indicatorCell_ = nullptr;
    owns_ = false;
    if (freeNested) {
        for (TNested& n : nested_) n.Object->Release();
        nested_.clear();
    }
}

void TOCIObjectInstance::CheckAlloc() {
    if (!*instanceCell_ && type_ && type_->CanAllocate()) AllocObject();
    if (!*instanceCell_) RaiseError(SObjectNotAllocated);
}

bool TOCIObjectInstance::IsNull() const {
    if (!*instanceCell_) return true;
    // the first indicator of the structure is the object's own
    return *indicatorCell_ && *static_cast<const OCIInd*>(*indicatorCell_) < 0;
}

TOCIObjectInstance::TSlot TOCIObjectInstance::Locate(const std::string& path, bool) {
    CheckAlloc();
    // the path's parts: name and optional element index
    struct TPart {
        std::string Name;
        int64_t Index = 0;  // 0: none
    };
    std::vector<TPart> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t dot = path.find('.', start);
        // a dot inside brackets does not split
        size_t open = path.find('[', start);
        if (open != std::string::npos && (dot == std::string::npos || open < dot)) {
            size_t close = path.find(']', open);
            if (close == std::string::npos) RaiseError(kInvalidAttributeName);
            dot = path.find('.', close);
        }
        std::string part = Trim(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        TPart p;
        const size_t b = part.find('[');
        if (b != std::string::npos) {
            const size_t e = part.find(']', b);
            if (e == std::string::npos || e != part.size() - 1) RaiseError(kInvalidAttributeName);
            int64_t index = 0;
            if (!TryStrToInt64(Trim(part.substr(b + 1, e - b - 1)), index) || index < 1 || index > INT32_MAX)
                RaiseError(kInvalidAttributeName);
            p.Index = index;
            part = Trim(part.substr(0, b));
        }
        if (part.empty()) RaiseError(kInvalidAttributeName);
        p.Name = UpperCase(part);
        parts.push_back(p);
        if (dot == std::string::npos) break;
        start = dot + 1;
    }

    void* instance = *instanceCell_;
    void* nullStruct = *indicatorCell_;
    TObjectType* type = type_;
    OCIType* tdo = type_->TDO();
    for (size_t i = 0; i < parts.size(); ++i) {
        const TPart& part = parts[i];
        const bool last = i + 1 == parts.size();
        TAttribute* attr = nullptr;
        for (int32_t k = 0; type && k < type->AttributeCount(); ++k)
            if (UpperCase(type->Attribute(k)->Name) == part.Name) attr = type->Attribute(k);
        if (!attr) RaiseError(kInvalidAttributeName);
        const bool collection = attr->DataType == dtArray || attr->DataType == dtTable;
        if (part.Index && (!collection || !attr->ObjectType || attr->ObjectType->AttributeCount() < 1))
            RaiseError(kInvalidAttributeName);
        if (!last && !part.Index && attr->DataType != dtObject) RaiseError(kInvalidAttributeName);

        const oratext* names[1] = {Text(part.Name)};
        const ub4 lengths[1] = {static_cast<ub4>(part.Name.size())};
        OCIInd ind = -1;
        void* attrNull = nullptr;
        void* value = nullptr;
        OCIType* attrTdo = nullptr;
        Check(OCIObjectGetAttr(hOCIEnv, hOCIError, instance, nullStruct, tdo, names, lengths, 1, nullptr, 0, &ind,
                               &attrNull, &value, &attrTdo),
              hOCIError);
        if (!part.Index) {
            if (last) {
                TSlot s;
                s.Instance = instance;
                s.NullStruct = nullStruct;
                s.Tdo = tdo;
                s.Name = part.Name;
                s.Code = attr->DataType;
                s.ObjectType = attr->ObjectType;
                s.Value = value;
                s.Ind = ind;
                return s;
            }
            instance = value;
            nullStruct = attrNull;
            type = attr->ObjectType;
            tdo = attrTdo;
            continue;
        }
        // an element of a collection, grown to the index when it is short
        auto* coll = static_cast<OCIColl*>(value);
        TAttribute* element = attr->ObjectType->Attribute(0);
        sb4 size = 0;
        Check(OCICollSize(hOCIEnv, hOCIError, coll, &size), hOCIError);
        for (int64_t n = size; n < part.Index; ++n) {
            const void* def = nullptr;
            OCIString* text = nullptr;
            switch (element->DataType) {
            case dtString:
            case dtFixedChar:
                Check(OCIStringResize(hOCIEnv, hOCIError, 1, &text), hOCIError);
                Check(OCIStringAssignText(hOCIEnv, hOCIError, Text(std::string()), 0, &text), hOCIError);
                def = text;
                break;
            case dtInteger:
            case dtFloat:
            case dtNumber: def = gShared.Number; break;
            case dtDateTime: def = gShared.Date; break;
            default: RaiseAssertion(SUnknownDataType, kModule, __LINE__);
            }
            Check(OCICollAppend(hOCIEnv, hOCIError, def, gShared.NullIndicators, coll), hOCIError);
        }
        boolean_t exists = 0;
        void* elem = nullptr;
        void* elemInd = nullptr;
        Check(OCICollGetElem(hOCIEnv, hOCIError, coll, static_cast<sb4>(part.Index - 1), &exists, &elem, &elemInd),
              hOCIError);
        if (last) {
            TSlot s;
            s.Coll = coll;
            s.Index = static_cast<sb4>(part.Index - 1);
            s.Code = element->DataType;
            s.ObjectType = element->ObjectType;
            s.Value = elem;
            s.Ind = elemInd ? *static_cast<OCIInd*>(elemInd) : -1;
            return s;
        }
        if (element->DataType != dtObject) RaiseError(kInvalidAttributeName);
        instance = elem;
        nullStruct = elemInd;
        type = element->ObjectType;
        tdo = nullptr;
    }
    RaiseError(kInvalidAttributeName);
}

void TOCIObjectInstance::Store(const TSlot& slot, const void* value, bool isNull) {
    if (slot.Coll) {
        Check(OCICollAssignElem(hOCIEnv, hOCIError, slot.Index, value,
                                isNull ? gShared.NullIndicators : gShared.NotNullIndicator, slot.Coll),
              hOCIError);
        return;
    }
    const oratext* names[1] = {Text(slot.Name)};
    const ub4 lengths[1] = {static_cast<ub4>(slot.Name.size())};
    Check(OCIObjectSetAttr(hOCIEnv, hOCIError, slot.Instance, slot.NullStruct, slot.Tdo, names, lengths, 1, nullptr, 0,
                           isNull ? -1 : 0, nullptr, value),
          hOCIError);
}

namespace {
bool IsNumberCode(uint16_t code) { return code == dtInteger || code == dtFloat || code == dtNumber; }
bool IsStringCode(uint16_t code) { return code == dtString || code == dtFixedChar; }
}  // namespace

bool TOCIObjectInstance::GetAttrIsNull(const std::string& path) { return Locate(path, false).Ind < 0; }

void TOCIObjectInstance::SetAttrNull(const std::string& path) { Store(Locate(path, true), nullptr, true); }

std::string TOCIObjectInstance::GetAttrAsString(const std::string& path) {
    const TSlot s = Locate(path, false);
    if (s.Ind < 0 || !s.Value) return {};
    if (IsStringCode(s.Code)) {
        const OCIString* str = *static_cast<OCIString* const*>(s.Value);
        if (!str) return {};
        const oratext* p = OCIStringPtr(hOCIEnv, str);
        return std::string(reinterpret_cast<const char*>(p), OCIStringSize(hOCIEnv, str));
    }
    if (IsNumberCode(s.Code)) {
        TOraNumber* n = new TOraNumber;
        std::memcpy(n->Number(), s.Value, sizeof(OCINumber));
        n->SetIsNull(false);
        std::string out;
        try {
            out = n->AsString();
        } catch (...) {
            n->Release();
            throw;
        }
        n->Release();
        return out;
    }
    if (s.Code == dtDateTime)
        return DateTimeToStr(OraClassesRoutines.DateToDateTime(static_cast<const uint8_t*>(s.Value)));
    throw EConvertError(SCannotConvertType);
}

void TOCIObjectInstance::SetAttrAsString(const std::string& path, const std::string& value) {
    const TSlot s = Locate(path, true);
    if (IsStringCode(s.Code)) {
        OCIString* str = nullptr;
        Check(OCIStringAssignText(hOCIEnv, hOCIError, Text(value), static_cast<ub4>(value.size()), &str), hOCIError);
        Store(s, str, false);
    } else if (IsNumberCode(s.Code)) {
        TOraNumber* n = new TOraNumber;
        try {
            n->SetAsString(value);
            Store(s, n->Number(), n->IsNull());
        } catch (...) {
            n->Release();
            throw;
        }
        n->Release();
    } else if (s.Code == dtDateTime) {
        uint8_t date[7];
        OraClassesRoutines.DateTimeToDate(StrToDateTime(value), date);
        Store(s, date, false);
    } else {
        throw EConvertError(SCannotConvertType);
    }
}

double TOCIObjectInstance::GetAttrAsFloat(const std::string& path) {
    const TSlot s = Locate(path, false);
    if (s.Ind < 0 || !s.Value) return 0;
    if (!IsNumberCode(s.Code)) throw EConvertError(SCannotConvertType);
    double v = 0;
    Check(OCINumberToReal(hOCIError, static_cast<const OCINumber*>(s.Value), sizeof v, &v), hOCIError);
    return v;
}

void TOCIObjectInstance::SetAttrAsFloat(const std::string& path, double value) {
    const TSlot s = Locate(path, true);
    if (!IsNumberCode(s.Code)) throw EConvertError(SCannotConvertType);
    OCINumber n{};
    Check(OCINumberFromReal(hOCIError, &value, sizeof value, &n), hOCIError);
    Store(s, &n, false);
}

int64_t TOCIObjectInstance::GetAttrAsInteger(const std::string& path) {
    const TSlot s = Locate(path, false);
    if (s.Ind < 0 || !s.Value) return 0;
    if (!IsNumberCode(s.Code)) throw EConvertError(SCannotConvertType);
    int64_t v = 0;
    Check(OCINumberToInt(hOCIError, static_cast<const OCINumber*>(s.Value), sizeof v, OCI_NUMBER_SIGNED, &v),
          hOCIError);
    return v;
}

void TOCIObjectInstance::SetAttrAsInteger(const std::string& path, int64_t value) {
    const TSlot s = Locate(path, true);
    if (!IsNumberCode(s.Code)) throw EConvertError(SCannotConvertType);
    OCINumber n{};
    Check(OCINumberFromInt(hOCIError, &value, sizeof value, OCI_NUMBER_SIGNED, &n), hOCIError);
    Store(s, &n, false);
}

TDateTime TOCIObjectInstance::GetAttrAsDateTime(const std::string& path) {
    const TSlot s = Locate(path, false);
    if (s.Ind < 0 || !s.Value) return 0;
    if (s.Code != dtDateTime) throw EConvertError(SCannotConvertType);
    return OraClassesRoutines.DateToDateTime(static_cast<const uint8_t*>(s.Value));
}

void TOCIObjectInstance::SetAttrAsDateTime(const std::string& path, TDateTime value) {
    const TSlot s = Locate(path, true);
    if (s.Code != dtDateTime) throw EConvertError(SCannotConvertType);
    uint8_t date[7];
    OraClassesRoutines.DateTimeToDate(value, date);
    Store(s, date, false);
}

int32_t TOCIObjectInstance::GetCollectionSize(const std::string& path) {
    const TSlot s = Locate(path, false);
    if (s.Code != dtArray && s.Code != dtTable) RaiseError(kInvalidAttributeName);
    sb4 size = 0;
    Check(OCICollSize(hOCIEnv, hOCIError, static_cast<const OCIColl*>(s.Value), &size), hOCIError);
    return size;
}

TOCILobObject* TOCIObjectInstance::GetAttrAsLob(const std::string& path) {
    for (TNested& n : nested_)
        if (SameText(n.Path, path))
            if (auto* lob = dynamic_cast<TOCILobObject*>(n.Object)) return lob;
    const TSlot s = Locate(path, false);
    if (s.Code != dtOraBlob && s.Code != dtOraClob && s.Code != dtBFile && s.Code != dtCFile)
        throw EConvertError(SCannotConvertType);
    auto* lob = new TOCILobObject(s.Code, service_);
    nested_.push_back({path, lob});
    return lob;
}

std::string TOCIObjectInstance::RefAsString(const std::string& path) {
    const OCIRef* ref = nullptr;
    if (path.empty()) {
        ref = static_cast<const OCIRef*>(*instanceCell_);
    } else {
        const TSlot s = Locate(path, false);
        if (s.Code != dtReference) throw EConvertError(SCannotConvertType);
        if (s.Ind >= 0 && s.Value) ref = *static_cast<OCIRef* const*>(s.Value);
    }
    if (!ref) return {};
    oratext hex[kRefArea];
    ub4 length = kRefArea;
    Check(OCIRefToHex(hOCIEnv, hOCIError, ref, hex, &length), hOCIError);
    return std::string(reinterpret_cast<const char*>(hex), std::min(length, kRefArea));
}

void TOCIObjectInstance::WriteLobs() {
    if (ClientVersion < 8100) return;
    for (TNested& n : nested_) {
        if (auto* lob = dynamic_cast<TOCILobObject*>(n.Object)) {
            if (lob->DataType() != dtOraBlob && lob->DataType() != dtOraClob) continue;
            if (!lob->Service()) lob->SetService(service_);
            lob->WriteTemporary();
            Store(Locate(n.Path, true), lob->Locator(), false);
        } else if (auto* object = dynamic_cast<TOCIObjectInstance*>(n.Object)) {
            object->WriteLobs();
        }
    }
}

void TOCIObjectInstance::DropInstance() {
    if (*instanceCell_) OCIObjectFree(hOCIEnv, hOCIError, *instanceCell_, OCI_OBJECTFREE_FORCE);
    *instanceCell_ = nullptr;
    *indicatorCell_ = nullptr;
    owns_ = false;
}

// ---------------------------------------------------------------------------
// XML values

bool TOCIXMLValue::IsNull() const { return xmlLoaded_ ? false : TOCIObjectInstance::IsNull(); }

std::string TOCIXMLValue::XMLAsString() {
    if (xmlLoaded_) return xml_;
    CheckAlloc();
    void* stream = nullptr;
    Check(OCIDescriptorAlloc(hOCIEnv, &stream, OCI_DTYPE_PSTREAM, 0, nullptr), hOCIError);
    std::string text;
    try {
        Check(OCIPStreamFromXMLType(hOCIError, stream, Instance(), 0), hOCIError);
        std::unique_ptr<char[]> area(new char[kXmlChunk + 1]);
        for (;;) {
            int64_t length = kXmlChunk;
            Check(OCIPStreamRead(hOCIError, stream, area.get(), &length, 0), hOCIError);
            if (length <= 0) break;
            text.append(area.get(), static_cast<size_t>(std::min(length, kXmlChunk)));
        }
        Check(OCIPStreamClose(hOCIError, stream), hOCIError);
    } catch (...) {
        OCIDescriptorFree(stream, OCI_DTYPE_PSTREAM);
        throw;
    }
    OCIDescriptorFree(stream, OCI_DTYPE_PSTREAM);
    // the text is all the value is wanted for from now on
    DropInstance();
    xml_ = text;
    xmlLoaded_ = true;
    return xml_;
}

void TOCIXMLValue::SetXML(const std::string& text) {
    xml_ = text;
    xmlLoaded_ = !text.empty();
}

void TOCIXMLValue::Clear() {
    FreeObject(true);
    SetXML({});
}

// ---------------------------------------------------------------------------
// Parameters of these codes

namespace {
bool IsTimeStampCode(uint16_t dt) { return dt == dtTimeStamp || dt == dtTimeStampTZ || dt == dtTimeStampLTZ; }
bool IsIntervalCode(uint16_t dt) { return dt == dtIntervalYM || dt == dtIntervalDS; }
bool IsLobCode(uint16_t dt) { return dt == dtOraBlob || dt == dtOraClob || dt == dtBFile || dt == dtCFile; }
ub4 TimeStampDescriptor(uint16_t dt) {
    return dt == dtTimeStampTZ    ? OCI_DTYPE_TIMESTAMP_TZ
           : dt == dtTimeStampLTZ ? OCI_DTYPE_TIMESTAMP_LTZ
                                  : OCI_DTYPE_TIMESTAMP;
}
ub4 IntervalDescriptor(uint16_t dt) { return dt == dtIntervalYM ? OCI_DTYPE_INTERVAL_YM : OCI_DTYPE_INTERVAL_DS; }

TOraNumber* NumberOf(TOraParamDesc& p, int32_t i) {
    return ElementObject<TOraNumber>(p, i, [] { return new TOraNumber; });
}
TOCITimeStampValue* TimeStampOf(TOraParamDesc& p, int32_t i) {
    auto* v = ElementObject<TOCITimeStampValue>(
        p, i, [&] { return new TOCITimeStampValue(TimeStampDescriptor(p.DataType())); });
    v->SetDescriptorType(TimeStampDescriptor(p.DataType()));
    return v;
}
TOCIIntervalValue* IntervalOf(TOraParamDesc& p, int32_t i) {
    auto* v =
        ElementObject<TOCIIntervalValue>(p, i, [&] { return new TOCIIntervalValue(IntervalDescriptor(p.DataType())); });
    v->SetDescriptorType(IntervalDescriptor(p.DataType()));
    return v;
}

void BindObjectParam(TOCICommand& command, TOraParamDesc& p) {
    TOCIConnection* c = command.OCIConnection();
    OCIError* err = c->ErrorHandle();
    auto check = [&](sword status) {
        if (status != OCI_SUCCESS) c->CheckStyle(csOCI8, status, err);
    };
    const uint16_t dt = p.DataType();
    const int32_t type = OCIExternalType(dt, p.SubType(), csOCI8, c->GetServerVersion());
    if (type < 0) RaiseError(SDataTypeNotSupported);
    const std::string name = ":" + (p.QuotedName ? "\"" + p.Name() + "\"" : p.Name());
    const bool array = p.Length() > 1;
    void* value = nullptr;
    sb4 size = 0;
    sb2* ind = p.Indicators();
    TOCIObjectInstance* object = nullptr;
    if (dt == dtNumber || dt == dtNumberObject) {
        size = sizeof(OCINumber);
        if (!array) {
            TOraNumber* n = NumberOf(p, 1);
            value = n->Number();
            ind = n->Indicator();
        } else {
            // the elements side by side in the value buffer
            for (int32_t i = 1; i <= p.Length(); ++i) {
                auto* n = dynamic_cast<TOraNumber*>(p.GetItemObject(i));
                std::memcpy(p.Element(i), n ? n->Number() : gShared.Number, sizeof(OCINumber));
                ind[i - 1] = n && !n->IsNull() ? 0 : -1;
            }
            value = p.ValueBuffer();
        }
    } else if (IsTimeStampCode(dt) || IsIntervalCode(dt)) {
        size = sizeof(void*);
        if (!array) {
            if (IsTimeStampCode(dt)) {
                TOCITimeStampValue* v = TimeStampOf(p, 1);
                value = v->DescriptorAddress();
                ind = v->IndicatorAddress();
            } else {
                TOCIIntervalValue* v = IntervalOf(p, 1);
                value = v->DescriptorAddress();
                ind = v->IndicatorAddress();
            }
        } else {
            for (int32_t i = 1; i <= p.Length(); ++i) {
                void* d;
                bool isNull;
                if (IsTimeStampCode(dt)) {
                    TOCITimeStampValue* v = TimeStampOf(p, i);
                    d = v->Descriptor();
                    isNull = v->IsNull();
                } else {
                    TOCIIntervalValue* v = IntervalOf(p, i);
                    d = v->Descriptor();
                    isNull = v->IsNull();
                }
                std::memcpy(p.Element(i), &d, sizeof d);
                ind[i - 1] = isNull ? -1 : 0;
            }
            value = p.ValueBuffer();
        }
    } else if (IsLobCode(dt)) {
        TOCILobObject* lob = ElementObject<TOCILobObject>(p, 1, [&] { return new TOCILobObject(dt, c->GetSvcCtx()); });
        lob->SetService(c->GetSvcCtx());
        // the indicator stays as the object was before its locator was made:
        // an input LOB never given data is null
        value = lob->LocatorAddress();
        size = sizeof(void*);
    } else if (dt == dtXML || dt == dtObject || dt == dtArray || dt == dtTable || dt == dtReference) {
        object =
            dt == dtXML ? dynamic_cast<TOCIXMLValue*>(p.GetObject()) : dynamic_cast<TOCIObjectInstance*>(p.GetObject());
        if (!object && dt == dtXML)
            object = ElementObject<TOCIXMLValue>(p, 1, [&] { return new TOCIXMLValue(XMLTypeOf(c), c->GetSvcCtx()); });
        if (!object || !object->Type()) RaiseError(SObjectNotAllocated);
        object->SetService(c->GetSvcCtx());
        if (!object->Type()->TDO()) object->Type()->Describe(c);
        if (object->Instance() &&
            (p.ParamType() == pdInput || p.ParamType() == pdInputOutput || p.ParamType() == pdUnknown))
            object->WriteLobs();
    } else {
        RaiseError(SDataTypeNotSupported);
    }
    OCIBind* bind = nullptr;
    check(OCIBindByName(command.CursorRef()->GetHandle(), &bind, err, Text(name), static_cast<sb4>(name.size()), value,
                        size, static_cast<ub2>(type), object ? nullptr : ind, nullptr, nullptr, 0, nullptr,
                        OCI_DEFAULT));
    p.BindHandle = bind;
    p.BoundSize = size;
    if (array && !object) check(OCIBindArrayOfStruct(bind, err, static_cast<ub4>(p.Size()), sizeof(sb2), 0, 0));
    if (object)
        check(OCIBindObject(bind, err, object->Type()->TDO(), object->InstanceAddress(), nullptr,
                            object->IndicatorAddress(), nullptr));
}

bool ObjectIsNull(TObject* o) {
    if (auto* n = dynamic_cast<TOraNumber*>(o)) return n->IsNull();
    if (auto* t = dynamic_cast<TOCITimeStampValue*>(o)) return t->IsNull();
    if (auto* i = dynamic_cast<TOCIIntervalValue*>(o)) return i->IsNull();
    if (auto* l = dynamic_cast<TOCILobObject*>(o)) return l->IsNull();
    if (auto* x = dynamic_cast<TOCIObjectInstance*>(o)) return x->IsNull();
    return false;
}

void SetObjectValue(TOraParamDesc& p, int32_t index, const TVariant& value) {
    const uint16_t dt = p.DataType();
    const uint16_t vt = value.VarType() & varTypeMask;
    const bool isText = IsTextVarType(value.VarType());
    const bool isInteger = IsIntegerVarType(vt);
    const bool isReal = IsRealVarType(vt);
    auto cannot = [] { throw EConvertError(SCannotConvertType); };
    if (dt == dtNumber || dt == dtNumberObject) {
        TOraNumber* n = NumberOf(p, index);
        if (isText)
            n->SetAsString(Trim(value.AsString()));
        else if (isInteger)
            n->SetAsLargeInt(value.AsInt64());
        else if (isReal)
            n->SetAsFloat(value.AsDouble());
        else
            cannot();
    } else if (IsTimeStampCode(dt)) {
        TOCITimeStampValue* t = TimeStampOf(p, index);
        if (isText)
            t->SetAsString(value.AsString());
        else if (vt == varDate || isInteger || isReal)
            t->SetAsDateTime(value.AsDateTime());
        else
            cannot();
    } else if (IsIntervalCode(dt)) {
        if (!isText) cannot();
        IntervalOf(p, index)->SetAsString(value.AsString());
    } else if (dt == dtOraBlob || dt == dtOraClob) {
        TOCILobObject* lob = ElementObject<TOCILobObject>(p, index, [&] { return new TOCILobObject(dt); });
        if (isText) {
            lob->SetBytes(value.AsString());
        } else if (value.IsArray() && value.ElementType() == varByte) {
            const std::vector<uint8_t>& b = value.Bytes();
            lob->SetBytes(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
        } else {
            cannot();
        }
    } else if (dt == dtXML && isText) {
        auto* x = dynamic_cast<TOCIXMLValue*>(p.GetItemObject(index));
        if (!x) cannot();
        x->SetXML(value.AsString());
    } else {
        cannot();
    }
    p.Indicators()[index - 1] = 0;
}

void WriteTemporaryLob(TOCICommand& command, TOraParamDesc& p) {
    auto* lob = dynamic_cast<TOCILobObject*>(p.GetObject());
    if (!lob || lob->FirstPiece() == nullptr) return;  // no data: nothing to send
    // A BLOB goes out compressed with the blob model for the compression
    // modes 2 and 3, uncompressed otherwise.
    if (p.DataType() == dtOraBlob) lob->SetCompressed(command.BlobCompression == 2 || command.BlobCompression == 3);
    lob->SetService(command.OCIConnection()->GetSvcCtx());
    lob->WriteTemporary();
}
}  // namespace

// ---------------------------------------------------------------------------
// The NUMBER element operation of a parameter

void TOraParamDesc::SetItemAsLargeInt(int32_t index, int64_t value) {
    CheckIndex(index);
    SetDataType(dtNumber);
    TOraNumber* own = Length() >= 2 ? dynamic_cast<TOraNumber*>(GetItemObject(index)) : nullptr;
    if (own) {
        own->SetAsLargeInt(value);
    } else {
        auto* number = new TOraNumber;
        try {
            number->SetAsLargeInt(value);
        } catch (...) {
            number->Release();
            throw;
        }
        SetItemObject(index, number);
        number->Release();  // the parameter holds it now
    }
    Indicators()[index - 1] = 0;
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

const TOraSharedBuffers& OraSharedBuffers() { return gShared; }

void OraObjectsStartup() {
    gShared.NotNullIndicator = static_cast<OCIInd*>(Marshal::AllocHGlobal(sizeof(OCIInd)));
    *gShared.NotNullIndicator = 0;
    gShared.NullIndicators = static_cast<OCIInd*>(Marshal::AllocHGlobal(sizeof(OCIInd) * SharedNullIndicatorCount));
    std::memset(gShared.NullIndicators, 0xFF, sizeof(OCIInd) * SharedNullIndicatorCount);
    gShared.Number = static_cast<OCINumber*>(Marshal::AllocHGlobal(sizeof(OCINumber)));
    std::memset(gShared.Number, 0, sizeof(OCINumber));
    // NUMBER zero: one byte follows the length, the exponent byte 0x80
    gShared.Number->OCINumberPart[0] = 1;
    gShared.Number->OCINumberPart[1] = 0x80;
    gShared.Date = static_cast<uint8_t*>(Marshal::AllocHGlobal(7));
    std::memset(gShared.Date, 0, 7);
    gShared.Pointer = static_cast<void**>(Marshal::AllocHGlobal(sizeof(void*)));
    *gShared.Pointer = nullptr;
    TOraTypes::Clear();
    TOraObjectHooks& hooks = OraObjectHooks();
    hooks.BindObject = BindObjectParam;
    hooks.ObjectIsNull = ObjectIsNull;
    hooks.SetObjectValue = SetObjectValue;
    hooks.WriteTemporaryLob = WriteTemporaryLob;
}

void OraObjectsShutdown() {
    OraObjectHooks() = TOraObjectHooks{};
    TOraTypes::Clear();
    Marshal::FreeHGlobal(gShared.NotNullIndicator);
    Marshal::FreeHGlobal(gShared.NullIndicators);
    Marshal::FreeHGlobal(gShared.Number);
    Marshal::FreeHGlobal(gShared.Date);
    Marshal::FreeHGlobal(gShared.Pointer);
    gShared = TOraSharedBuffers{};
}

}  // namespace tms::ora
