#pragma once
// The abstract connection, command and parameter classes that the Oracle
// layer fills in, and the connection-loss exception.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "oracle/DBAccess.h"
#include "oracle/OraClassRegistry.h"
#include "oracle/OraException.h"
#include "oracle/OraVariant.h"

namespace tms::ora {

class TKaConnectionPool;

// What an error handler chose to do after a reconnection.
enum class TRetryMode : uint8_t { rmRaise = 0, rmReconnect = 1, rmReconnectExecute = 2 };

// Raised by HandleConnectionError when a reconnection succeeded and the
// handler still asked to fail: the caller retries as the mode says.
class EFailOver : public Exception {
public:
    explicit EFailOver(TRetryMode mode) : Exception(""), RetryMode(mode) {}
    TRetryMode RetryMode;
};

// Property codes of the base classes.
constexpr int32_t prUsername = 1;
constexpr int32_t prProp3 = 3;
constexpr int32_t prAutoCommit = 5;
constexpr int32_t prProp23 = 23;
constexpr int32_t prCommandProp5 = 5;
constexpr int32_t prCommandProp11 = 11;
constexpr int32_t prCommandProp13 = 13;
constexpr int32_t prCommandProp27 = 27;

class TKaConnection : public TObject {
    ORA_DECLARE_CLASS(TKaConnection)
public:
    // (error, the caller's fail flag, reconnect, fail, attempt, retry mode)
    using TErrorHandler = std::function<void(Exception& error, bool& callerFail, bool& reconnect, bool& fail,
                                             int32_t attempt, TRetryMode& retryMode)>;
    using TNotifyHandler = std::function<void()>;

    TKaConnection();
    // The base never disconnects here: a destructor cannot reach the
    // concrete class's Disconnect, so each concrete class disconnects in
    // its own destructor.
    ~TKaConnection() override = default;
    TKaConnection(const TKaConnection&) = delete;
    TKaConnection& operator=(const TKaConnection&) = delete;

    TErrorHandler ErrorHandler;
    TNotifyHandler ConnectionLostHandler;
    TNotifyHandler ReconnectedHandler;

    // Run when an operation on the connection failed; the caller sets fail
    // to true first and raises the error afterwards only while it stays
    // true. Asks the error handler, reconnects when it says so (again with
    // the attempt number while reconnecting fails), and raises EFailOver
    // when a reconnection succeeded and the handler also set fail.
    virtual void HandleConnectionError(Exception& error, bool& fail);
    virtual void Connect(const std::string& connectString) = 0;
    virtual void Disconnect() = 0;
    virtual void StartTransaction() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual void SetUsername(const std::string& value) { username_ = value; }
    virtual void SetPassword(const std::string& value) { password_ = value; }
    virtual bool CheckIsValid() = 0;
    // Hands the connection back to the pool it came from.
    virtual void ReturnToPool();
    virtual bool SetProp(int32_t prop, const TVariant& value);
    virtual bool GetProp(int32_t prop, TVariant& value);

    void SetServer(const std::string& value) { server_ = value; }
    bool GetConnected() const { return connected_; }
    const std::string& Username() const { return username_; }
    const std::string& Password() const { return password_; }
    const std::string& Server() const { return server_; }
    bool AutoCommit() const { return autoCommit_; }
    uint32_t CreationTime() const { return creationTime_; }
    bool IsValid() const { return isValid_; }
    void SetIsValid(bool value) { isValid_ = value; }
    TKaConnectionPool* Pool() const { return pool_; }
    void SetPool(TKaConnectionPool* pool) { pool_ = pool; }
    int32_t PoolVersion() const { return poolVersion_; }
    void SetPoolVersion(int32_t version) { poolVersion_ = version; }
    TObject* Component() const { return component_; }
    void SetComponent(TObject* component) { component_ = component; }
    bool InProcessError() const { return inProcessError_; }

protected:
    void SetConnected(bool value) { connected_ = value; }

private:
    uint32_t creationTime_;
    bool connected_ = false;
    std::string username_, password_, server_;
    bool autoCommit_ = false;
    bool prop23_ = false;
    bool isValid_ = true;
    TKaConnectionPool* pool_ = nullptr;
    int32_t poolVersion_ = 0;
    TObject* component_ = nullptr;
    bool prop3_ = false;
    bool inProcessError_ = false;
    bool reconnected_ = false;
};

class TParamDesc : public TObject {
    ORA_DECLARE_CLASS(TParamDesc)
public:
    TParamDesc() = default;
    virtual void SetDataType(uint16_t value) { dataType_ = value; }
    virtual void SetSize(int32_t value) { size_ = value; }
    virtual TVariant GetValue() const { return value_; }
    // Stores a copy; an empty or null value makes the parameter null.
    virtual void SetValue(const TVariant& value);
    // The object of a by-reference value (nothing for an empty or null one;
    // any other value is an assertion failure).
    virtual TObject* GetObject() const;
    virtual void SetObject(TObject* object);
    virtual bool GetNull() const { return isNull_; }
    // Stores the flag and empties the value.
    virtual void SetNull(bool value);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& value) { name_ = value; }
    uint8_t ParamType() const { return paramType_; }
    void SetParamType(uint8_t value) { paramType_ = value; }
    uint16_t DataType() const { return dataType_; }
    int32_t Size() const { return size_; }

protected:
    // The stored value itself, for descendants that keep arrays in it.
    TVariant& ValueRef() { return value_; }
    const TVariant& ValueRef() const { return value_; }
    void SetIsNullFlag(bool value) { isNull_ = value; }

private:
    std::string name_;
    uint16_t dataType_ = 0;
    uint8_t paramType_ = 0;
    int32_t size_ = 0;
    TVariant value_;
    bool isNull_ = false;
};

// The parameters of a command; it owns them.
class TParamDescs {
public:
    TParamDescs() = default;
    ~TParamDescs() { Clear(); }
    TParamDescs(const TParamDescs&) = delete;
    TParamDescs& operator=(const TParamDescs&) = delete;
    void Add(std::unique_ptr<TParamDesc> param) { items_.push_back(std::move(param)); }
    void Clear() { items_.clear(); }
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    TParamDesc* Items(int32_t index) const { return items_.at(static_cast<size_t>(index)).get(); }

private:
    std::vector<std::unique_ptr<TParamDesc>> items_;
};

class TKaCommand : public TObject {
    ORA_DECLARE_CLASS(TKaCommand)
public:
    TKaCommand() = default;
    ~TKaCommand() override = default;
    TKaCommand(const TKaCommand&) = delete;
    TKaCommand& operator=(const TKaCommand&) = delete;

    virtual void Prepare() { SetCursorState(3); }
    virtual void Unprepare() { SetCursorState(0); }
    virtual bool GetPrepared() = 0;
    virtual void Execute() = 0;
    virtual void SetConnection(TKaConnection* connection) { connection_ = connection; }
    virtual void SetSQL(const std::string& sql) { sql_ = sql; }
    virtual int32_t GetCursorState() = 0;
    virtual void SetCursorState(int32_t state) = 0;
    // The class of new parameters: overridden by a command whose parameters
    // are of a class of their own.
    virtual std::unique_ptr<TParamDesc> CreateParamDesc() { return std::make_unique<TParamDesc>(); }
    // Creates a parameter, appends it to Params and returns it.
    virtual TParamDesc* AddParam();
    virtual bool SetProp(int32_t prop, const TVariant& value);
    virtual bool GetProp(int32_t prop, TVariant& value);

    TKaConnection* Connection() const { return connection_; }
    const std::string& SQL() const { return sql_; }
    TParamDescs& Params() { return params_; }

    // Property 5: the command may commit on success.
    bool AutoCommitProp() const { return prop5_; }
    // Called at the end of every execution with whether it succeeded.
    std::function<void(bool success)> AfterExecute;
    // How LOB data written by the command is compressed (2 and 3 compress).
    uint8_t BlobCompression = 0;

private:
    TKaConnection* connection_ = nullptr;
    std::string sql_;
    TParamDescs params_;
    bool prop5_ = false;
    bool prop13_ = false;
};

}  // namespace tms::ora
