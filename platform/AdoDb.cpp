#include "platform/AdoDb.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <climits>
#include <cmath>
#include <sqlite3.h>

#include "platform/DbSchema.h"

namespace {

QString lastError(sqlite3* db) { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database"); }

QString nativeFile(sqlite3* db) {
    const char* f = db ? sqlite3_db_filename(db, "main") : nullptr;
    return f ? QDir::toNativeSeparators(QDir::cleanPath(QString::fromUtf8(f))) : QString();
}

// The error of the library's last failure on `db`. The faults a user meets
// in ordinary use (a file or folder without write permission, another
// program writing, a full disk, a taken number) get a message of our own;
// the library's English text is kept for the rest.
EDatabaseError dbError(sqlite3* db) {
    if (!db) return EDatabaseError(QStringLiteral("no database"));
    const int code = sqlite3_extended_errcode(db);
    const QString file = nativeFile(db);
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return EDatabaseError(QStringLiteral("数据库文件“%1”是只读的，不能写入，本次修改没有保存。").arg(file),
                              TDbFault::readOnly);
    case SQLITE_CANTOPEN:
        return EDatabaseError(QStringLiteral("数据库文件“%1”所在的文件夹不能写入，本次修改没有保存。").arg(file),
                              TDbFault::noFolder);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EDatabaseError(QStringLiteral("另一个程序正在写入数据库，本次修改没有保存，请稍后再试。"),
                              TDbFault::busy);
    case SQLITE_FULL: return EDatabaseError(QStringLiteral("磁盘已满，本次修改没有保存。"), TDbFault::full);
    case SQLITE_IOERR: return EDatabaseError(QStringLiteral("读写数据库文件“%1”时出错。").arg(file), TDbFault::io);
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
            return EDatabaseError(QStringLiteral("该编号已存在，本次修改没有保存。"), TDbFault::taken);
        break;
    default: break;
    }
    return EDatabaseError(lastError(db));
}

// Prepares `sql` on `db`; throws EDatabaseError with the library's message.
sqlite3_stmt* prepare(sqlite3* db, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &s, nullptr) != SQLITE_OK) {
        const EDatabaseError e = dbError(db);
        sqlite3_finalize(s);
        throw e;
    }
    return s;
}

// A prepared statement that is always released.
class Stmt {
public:
    Stmt(sqlite3* db, const QString& sql) : s_(prepare(db, sql)) {}
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    sqlite3_stmt* get() const { return s_; }

private:
    sqlite3_stmt* s_ = nullptr;
};

void bindValue(sqlite3_stmt* s, int pos, const QVariant& v) {
    int rc;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(s, pos);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort: rc = sqlite3_bind_int64(s, pos, v.toLongLong()); break;
        case QMetaType::ULongLong:
        case QMetaType::ULong: rc = sqlite3_bind_int64(s, pos, static_cast<sqlite3_int64>(v.toULongLong())); break;
        case QMetaType::Double:
        case QMetaType::Float: rc = sqlite3_bind_double(s, pos, v.toDouble()); break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(s, pos, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(s, pos, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) throw dbError(sqlite3_db_handle(s));
}

QVariant columnValue(sqlite3_stmt* s, int i) {
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, i));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(s, i)), sqlite3_column_bytes(s, i)));
    default: return QVariant();
    }
}

EDatabaseError noSuchField(const QString& name) {
    return EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
}

void stepDone(sqlite3* db, sqlite3_stmt* s) {
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) throw dbError(db);
}

}  // namespace

// ---------------------------------------------------------------- connection

std::map<QString, QString> parseConnectionString(const QString& text) {
    std::map<QString, QString> out;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
        int eq = text.indexOf('=', i);
        if (eq < 0) break;
        QString key = text.mid(i, eq - i).trimmed().toLower();
        int j = eq + 1;
        QString value;
        if (j < n && text[j] == '"') {
            // Quoted value; "" inside stands for one quote.
            ++j;
            while (j < n) {
                if (text[j] == '"') {
                    if (j + 1 < n && text[j + 1] == '"') {
                        value += '"';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            int semi = text.indexOf(';', j);
            i = semi < 0 ? n : semi + 1;
        } else {
            int semi = text.indexOf(';', j);
            if (semi < 0) semi = n;
            value = text.mid(j, semi - j).trimmed();
            i = semi + 1;
        }
        if (!key.isEmpty()) out[key] = value;
    }
    return out;
}

TADOConnection::~TADOConnection() { Close(); }

QString TADOConnection::dataSourceFile() const {
    auto kv = parseConnectionString(ConnectionString);
    QString path = kv[QStringLiteral("data source")];
    path.replace('\\', '/');
    return path;
}

QString TADOConnection::password() const {
    auto kv = parseConnectionString(ConnectionString);
    return kv[QStringLiteral("jet oledb:database password")];
}

QString TADOConnection::writeProblem() const {
    if (!db_) return QString();
    const QString file = nativeFile(db_);
    if (sqlite3_db_readonly(db_, "main") == 1)
        return QStringLiteral(
                   "数据库文件“%1”是只读的，不能写入，所做的修改都不能保存。\n"
                   "请给这个文件写入权限，然后重新启动本程序。")
            .arg(file);
    // A write keeps its rollback journal beside the file: try a file there.
    const QString folder =
        QFileInfo(QDir::cleanPath(QString::fromUtf8(sqlite3_db_filename(db_, "main")))).absolutePath();
    QTemporaryFile probe(folder + QStringLiteral("/.tmsdb-write-XXXXXX"));
    if (!probe.open())
        return QStringLiteral(
                   "数据库文件“%1”所在的文件夹“%2”不能写入，所做的修改都不能保存。\n"
                   "请给这个文件夹写入权限，然后重新启动本程序。")
            .arg(file, QDir::toNativeSeparators(folder));
    return QString();
}

void TADOConnection::Open(const QString& connectionString) {
    ConnectionString = connectionString;
    Open();
}

void TADOConnection::Open() {
    Close();
    const QString path = dataSourceFile();
    if (path.isEmpty()) throw EDatabaseError(QStringLiteral("no data source given"));
    // The program's database is always keyed; an empty key is a fault of the
    // caller, and the library would only answer it with "not an error".
    if (password().isEmpty()) throw EDatabaseError(QStringLiteral("no database password given"));
    QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) throw EDatabaseError(QStringLiteral("database file not found: ") + path);
    if (fi.size() == 0) throw EDatabaseError(QStringLiteral("database file is empty: ") + path);
    const int version = openFile(path, password(), false);
    // An older file is brought up to date before anything reads it.
    try {
        if (version < tms::kSchemaVersion) tms::upgradeDatabase(*this, version);
    } catch (...) {
        Close();
        throw;
    }
}

void TADOConnection::OpenNew(const QString& file, const QString& password) {
    Close();
    ConnectionString = makeConnectionString(file, password);
    openFile(file, password, true);
}

int TADOConnection::openFile(const QString& path, const QString& password, bool create) {
    sqlite3* db = nullptr;
    long long version = tms::kSchemaVersion;
    const QByteArray file = path.toUtf8();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = lastError(db);
        sqlite3_close(db);
        throw EDatabaseError(msg);
    }
    const QByteArray key = password.toUtf8();
    try {
        // A new file with an empty password stays plain (unkeyed).
        if ((!create || !key.isEmpty()) && sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
            throw dbError(db);
        sqlite3_busy_timeout(db, 2000);
        if (!create) {
            // A wrong key or a file that is no database only shows at the first read.
            Stmt s(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
            if (sqlite3_step(s.get()) != SQLITE_ROW) throw dbError(db);
            if (sqlite3_column_int(s.get(), 0) == 0) throw EDatabaseError(QStringLiteral("database holds no tables"));
            Stmt v(db, QStringLiteral("PRAGMA user_version"));
            if (sqlite3_step(v.get()) != SQLITE_ROW) throw dbError(db);
            version = sqlite3_column_int64(v.get(), 0);
            if (version > tms::kSchemaVersion || version < 0)
                throw EDatabaseVersionError(
                    QStringLiteral("数据库文件的版本（%1）比本程序所能读取的版本（%2）新，本程序不能打开它，"
                                   "请使用新版本的程序。")
                        .arg(version)
                        .arg(tms::kSchemaVersion));
        }
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    db_ = db;
    inTransaction_ = false;
    return static_cast<int>(version);
}

void TADOConnection::Close() {
    if (!db_) return;
    if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void TADOConnection::BeginTrans() {
    if (!db_) throw EDatabaseError(QStringLiteral("connection is closed"));
    if (inTransaction_) throw EDatabaseError(QStringLiteral("a transaction is already under way"));
    execPlain("BEGIN IMMEDIATE");
    inTransaction_ = true;
}

void TADOConnection::CommitTrans() {
    if (!inTransaction_) throw EDatabaseError(QStringLiteral("no transaction under way"));
    execPlain("COMMIT");
    inTransaction_ = false;
}

void TADOConnection::RollbackTrans() {
    if (!inTransaction_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
}

int TADOConnection::Execute(const QString& sql, const QVariantList& params) {
    return TPreparedStatement(*this, sql).run(params);
}

void TADOConnection::ExecuteScript(const QString& sql) {
    if (!db_) throw EDatabaseError(QStringLiteral("connection is closed"));
    const QByteArray text = sql.toUtf8();
    char* err = nullptr;
    if (sqlite3_exec(db_, text.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        sqlite3_free(err);
        throw dbError(db_);
    }
}

void TADOConnection::execPlain(const char* sql) {
    if (!db_) throw EDatabaseError(QStringLiteral("connection is closed"));
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw dbError(db_);
}

QString notAFloatText(const QString& text) { return QStringLiteral("'%1' 不是有效的浮点数").arg(text); }

QString notAnIntegerText(const QString& text) { return QStringLiteral("'%1' 不是有效的整数").arg(text); }

QString notAFieldValueText(const QString& text, const QString& field) {
    return QStringLiteral("'%1' 不是字段 '%2' 的有效值").arg(text, field);
}

QString makeConnectionString(const QString& file, const QString& password) {
    QString quoted = password;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + file +
           QStringLiteral(
               ";Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:System database=\"\";"
               "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=\"") +
           quoted + QStringLiteral("\";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1");
}

// ---------------------------------------------------------------- nested transaction

TNestedTransaction::TNestedTransaction(TADOConnection& c, const char* name) : c_(c) {
    if (!c_.handle()) throw EDatabaseError(QStringLiteral("connection is closed"));
    if (c_.InTransaction()) {
        savepoint_ = name;
        c_.execPlain(("SAVEPOINT " + savepoint_).c_str());
    } else {
        c_.BeginTrans();
    }
}

TNestedTransaction::~TNestedTransaction() {
    if (done_) return;
    if (savepoint_.empty()) {
        c_.RollbackTrans();
    } else if (sqlite3* db = c_.handle()) {
        sqlite3_exec(db, ("ROLLBACK TO " + savepoint_).c_str(), nullptr, nullptr, nullptr);
        sqlite3_exec(db, ("RELEASE " + savepoint_).c_str(), nullptr, nullptr, nullptr);
    }
}

void TNestedTransaction::Commit() {
    if (savepoint_.empty())
        c_.CommitTrans();
    else
        c_.execPlain(("RELEASE " + savepoint_).c_str());
    done_ = true;
}

// ---------------------------------------------------------------- prepared statement

TPreparedStatement::TPreparedStatement(TADOConnection& c, const QString& sql) : db_(c.handle()) {
    if (!db_) throw EDatabaseError(QStringLiteral("connection is closed"));
    s_ = prepare(db_, sql);
}

TPreparedStatement::~TPreparedStatement() { sqlite3_finalize(s_); }

void TPreparedStatement::check(int rc) const {
    if (rc != SQLITE_OK) throw dbError(db_);
}

void TPreparedStatement::bindText(int position, std::string_view value) {
    check(sqlite3_bind_text(s_, position, value.data(), static_cast<int>(value.size()), SQLITE_STATIC));
}

void TPreparedStatement::bindText(int position, const QString& value) {
    const QByteArray t = value.toUtf8();
    check(sqlite3_bind_text(s_, position, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT));
}

void TPreparedStatement::bindDouble(int position, double value) { check(sqlite3_bind_double(s_, position, value)); }
void TPreparedStatement::bindInt(int position, long long value) { check(sqlite3_bind_int64(s_, position, value)); }
void TPreparedStatement::bindNull(int position) { check(sqlite3_bind_null(s_, position)); }
void TPreparedStatement::bind(int position, const QVariant& value) { bindValue(s_, position, value); }

int TPreparedStatement::run() {
    int rc;
    while ((rc = sqlite3_step(s_)) == SQLITE_ROW) {}
    sqlite3_reset(s_);
    if (rc != SQLITE_DONE) throw dbError(db_);
    return sqlite3_changes(db_);
}

int TPreparedStatement::run(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) bindValue(s_, i + 1, values[i]);
    return run();
}

QString TPreparedStatement::firstText() {
    QString first;
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) {
        if (const unsigned char* t = sqlite3_column_text(s_, 0))
            first = QString::fromUtf8(reinterpret_cast<const char*>(t), sqlite3_column_bytes(s_, 0));
        while ((rc = sqlite3_step(s_)) == SQLITE_ROW) {}
    }
    sqlite3_reset(s_);
    if (rc != SQLITE_DONE) throw dbError(db_);
    return first;
}

bool TPreparedStatement::next() {
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    sqlite3_reset(s_);
    if (rc != SQLITE_DONE) throw dbError(db_);
    return false;
}

std::string TPreparedStatement::text(int column) const {
    switch (sqlite3_column_type(s_, column)) {
    case SQLITE_NULL: return std::string();
    case SQLITE_TEXT:
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(s_, column)),
                           static_cast<std::size_t>(sqlite3_column_bytes(s_, column)));
    default: return TADOQuery::displayText(columnValue(s_, column)).toStdString();
    }
}

int TPreparedStatement::column(std::string_view name) const {
    const QString want = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (int i = 0; i < sqlite3_column_count(s_); ++i)
        if (want.compare(QString::fromUtf8(sqlite3_column_name(s_, i)), Qt::CaseInsensitive) == 0) return i;
    throw noSuchField(want);
}

TPreparedStatement::TCellKind TPreparedStatement::kind(int column) const {
    switch (sqlite3_column_type(s_, column)) {
    case SQLITE_NULL: return TCellKind::null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return TCellKind::number;
    case SQLITE_TEXT: return TCellKind::text;
    default: return TCellKind::blob;
    }
}

double TPreparedStatement::number(int column) const {
    switch (sqlite3_column_type(s_, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_column_double(s_, column);
    default: return columnValue(s_, column).toDouble();
    }
}

TTransaction::~TTransaction() {
    if (!done_) c_.RollbackTrans();
}

void TTransaction::Commit() {
    c_.CommitTrans();
    done_ = true;
}

// ---------------------------------------------------------------- field

QString TField::FieldName() const { return q_->names_.value(index_); }
QVariant TField::Value() const { return q_->value(index_); }
bool TField::IsNull() const {
    QVariant v = Value();
    return !v.isValid() || v.isNull();
}

QString TField::AsString() const { return TADOQuery::displayText(Value()); }

int TField::AsInteger() const {
    QVariant v = Value();
    if (!v.isValid() || v.isNull()) return 0;
    // A number that does not fit 32 bits is refused as its text would be,
    // never wrapped or cut.
    auto notInteger = [&] { return EDatabaseError(notAnIntegerText(TADOQuery::displayText(v))); };
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Bool: {
        const long long n = v.toLongLong();
        if (n < INT_MIN || n > INT_MAX) throw notInteger();
        return static_cast<int>(n);
    }
    case QMetaType::Double: {
        // Rounded to the nearest; the range test also refuses NaN.
        const double d = std::round(v.toDouble());
        if (!(d >= INT_MIN && d <= INT_MAX)) throw notInteger();
        return static_cast<int>(d);
    }
    default: {
        bool ok = false;
        QString s = v.toString().trimmed();
        int r = s.toInt(&ok);
        if (!ok) throw EDatabaseError(notAnIntegerText(s));
        return r;
    }
    }
}

double TField::AsFloat() const {
    QVariant v = Value();
    if (!v.isValid() || v.isNull()) return 0.0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Double: return v.toDouble();
    default: {
        bool ok = false;
        QString s = v.toString().trimmed();
        double r = s.toDouble(&ok);
        if (!ok) throw EDatabaseError(notAFloatText(s));
        return r;
    }
    }
}

bool TField::AsBoolean() const {
    QVariant v = Value();
    if (!v.isValid() || v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString().trimmed().toLower();
        return s == "1" || s == "true";
    }
    return v.toLongLong() != 0;
}

void TField::SetValue(const QVariant& v) const { q_->setValue(index_, v); }

// ---------------------------------------------------------------- query

TADOQuery::TADOQuery(QObject* parent) : QObject(parent) {}
TADOQuery::TADOQuery(TADOConnection* c, QObject* parent) : QObject(parent), conn_(c) {}
TADOQuery::~TADOQuery() = default;

QString TADOQuery::displayText(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", d);
        return QString::fromLatin1(buf);
    }
    return v.toString();
}

void TADOQuery::SQLClear() {
    sql_.clear();
    ClearParams();
}

void TADOQuery::SQLAdd(const QString& line) { sql_.append(line); }

void TADOQuery::setSQL(const QString& text) {
    SQLClear();
    sql_.append(text);
}

QString TADOQuery::SQLText() const { return sql_.join('\n'); }

void TADOQuery::ClearParams() {
    posParams_.clear();
    namedParams_.clear();
}

void TADOQuery::bind(int position, const QVariant& value) { posParams_[position] = value; }

void TADOQuery::bind(const QString& name, const QVariant& value) {
    QString n = name.startsWith(':') ? name : ':' + name;
    namedParams_[n] = value;
}

void TADOQuery::setParams(const QVariantList& values) {
    posParams_.clear();
    for (int i = 0; i < values.size(); ++i) posParams_[i + 1] = values[i];
}

void TADOQuery::bindAll(void* stmt) const {
    auto* s = static_cast<sqlite3_stmt*>(stmt);
    const int count = sqlite3_bind_parameter_count(s);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(s, i);
        if (name && name[0] != '?') {
            auto it = namedParams_.find(QString::fromUtf8(name));
            if (it != namedParams_.end()) {
                bindValue(s, i, it->second);
                continue;
            }
        }
        auto it = posParams_.find(i);
        if (it == posParams_.end())
            throw EDatabaseError(QStringLiteral("no value given for parameter %1")
                                     .arg(name ? QString::fromUtf8(name) : QString::number(i)));
        bindValue(s, i, it->second);
    }
}

void TADOQuery::requireActive() const {
    if (!active_) throw EDatabaseError(QStringLiteral("dataset is not open"));
}

void TADOQuery::Open() {
    if (!conn_ || !conn_->Connected()) throw EDatabaseError(QStringLiteral("connection is closed"));
    if (active_) Close();
    sqlite3* db = conn_->handle();
    Stmt s(db, SQLText());
    bindAll(s.get());
    QStringList names;
    const int cols = sqlite3_column_count(s.get());
    for (int i = 0; i < cols; ++i) names << QString::fromUtf8(sqlite3_column_name(s.get(), i));
    std::vector<std::vector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(cols);
        for (int i = 0; i < cols; ++i) row.push_back(columnValue(s.get(), i));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw dbError(db);
    names_ = names;
    rows_ = std::move(rows);
    cursor_ = rows_.empty() ? -1 : 0;
    atEnd_ = false;
    atBegin_ = true;
    active_ = true;
    columnTypes_.clear();
    if (!table_.isEmpty()) loadColumnTypes();
    setState(TDataSetState::dsBrowse);
    emit dataReset();
    emit currentChanged();
}

void TADOQuery::Close() {
    const bool was = active_;
    active_ = false;
    rows_.clear();
    names_.clear();
    buffer_.clear();
    original_.clear();
    cursor_ = -1;
    setState(TDataSetState::dsInactive);
    if (was) {
        emit dataReset();
        emit currentChanged();
    }
}

void TADOQuery::setState(TDataSetState s) {
    if (state_ == s) return;
    state_ = s;
    emit stateChanged();
}

int TADOQuery::RecordCount() const { return active_ ? static_cast<int>(rows_.size()) : 0; }

bool TADOQuery::Eof() const { return !active_ || rows_.empty() || atEnd_; }
bool TADOQuery::Bof() const { return !active_ || rows_.empty() || atBegin_; }

void TADOQuery::setRecNo(int row) {
    requireActive();
    if (rows_.empty()) return;
    CheckBrowseMode();
    row = std::clamp(row, 0, static_cast<int>(rows_.size()) - 1);
    atEnd_ = atBegin_ = false;
    if (row != cursor_) {
        cursor_ = row;
        emit currentChanged();
    }
}

void TADOQuery::First() {
    requireActive();
    CheckBrowseMode();
    atEnd_ = false;
    atBegin_ = true;
    if (rows_.empty()) return;
    if (cursor_ != 0) {
        cursor_ = 0;
        emit currentChanged();
    }
}

void TADOQuery::Last() {
    requireActive();
    CheckBrowseMode();
    atBegin_ = false;
    atEnd_ = true;
    if (rows_.empty()) return;
    const int last = static_cast<int>(rows_.size()) - 1;
    if (cursor_ != last) {
        cursor_ = last;
        emit currentChanged();
    }
}

void TADOQuery::Next() {
    requireActive();
    CheckBrowseMode();
    atBegin_ = false;
    if (rows_.empty()) return;
    if (cursor_ + 1 >= static_cast<int>(rows_.size())) {
        atEnd_ = true;
        return;
    }
    ++cursor_;
    emit currentChanged();
}

void TADOQuery::Prior() {
    requireActive();
    CheckBrowseMode();
    atEnd_ = false;
    if (rows_.empty()) return;
    if (cursor_ <= 0) {
        atBegin_ = true;
        return;
    }
    --cursor_;
    emit currentChanged();
}

bool TADOQuery::Locate(const QString& field, const QVariant& value, bool caseInsensitive) {
    requireActive();
    const int col = requireField(field);
    const QString want = displayText(value);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const QString have = displayText(rows_[r][col]);
        if (QString::compare(have, want, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0) {
            setRecNo(r);
            return true;
        }
    }
    return false;
}

int TADOQuery::fieldIndex(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TADOQuery::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) throw noSuchField(name);
    return i;
}

TField TADOQuery::FieldByName(const QString& name) { return TField(this, requireField(name)); }

QVariant TADOQuery::cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= names_.size()) return {};
    if (row == cursor_ && (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert))
        return buffer_[column];
    return rows_[row][column];
}

QVariant TADOQuery::cell(int row, const QString& column) const { return cell(row, requireField(column)); }

QVariant TADOQuery::value(int column) const {
    if (!active_ || column < 0 || column >= names_.size()) return {};
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return buffer_[column];
    if (cursor_ < 0) return {};
    return rows_[cursor_][column];
}

void TADOQuery::setValue(int column, const QVariant& v) {
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (column < 0 || column >= names_.size()) throw EDatabaseError(QStringLiteral("no such field"));
    if (buffer_[column] == v && buffer_[column].typeId() == v.typeId()) return;
    buffer_[column] = v;
    emit fieldChanged(column);
}

// ---------------------------------------------------------------- editing

void TADOQuery::setUpdateTable(const QString& table, const QStringList& keyColumns) {
    table_ = table;
    keys_ = keyColumns;
    columnTypes_.clear();
    if (active_ && !table_.isEmpty()) loadColumnTypes();
}

void TADOQuery::loadColumnTypes() {
    sqlite3* db = conn_->handle();
    QString ident = table_;
    ident.replace('"', QStringLiteral("\"\""));
    Stmt s(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(ident));
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        columnTypes_[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1))).toLower()] =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 2))).toUpper();
    }
    if (columnTypes_.empty()) throw EDatabaseError(QStringLiteral("table '%1' not found").arg(table_));
}

void TADOQuery::Append() {
    requireActive();
    if (table_.isEmpty()) throw EDatabaseError(QStringLiteral("dataset is read-only"));
    CheckBrowseMode();
    savedCursor_ = cursor_;
    rows_.emplace_back(names_.size());
    cursor_ = static_cast<int>(rows_.size()) - 1;
    buffer_.assign(names_.size(), QVariant());
    original_.clear();
    atBegin_ = atEnd_ = false;
    emit dataReset();
    setState(TDataSetState::dsInsert);
    emit currentChanged();
}

void TADOQuery::Edit() {
    requireActive();
    if (table_.isEmpty()) throw EDatabaseError(QStringLiteral("dataset is read-only"));
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    if (cursor_ < 0) throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    buffer_ = rows_[cursor_];
    original_ = rows_[cursor_];
    setState(TDataSetState::dsEdit);
}

QVariant TADOQuery::coerceForColumn(const QString& column, const QVariant& v) const {
    auto it = columnTypes_.find(column.toLower());
    if (it == columnTypes_.end() || !v.isValid() || v.isNull()) return v;
    const QString& type = it->second;
    const bool isText = v.typeId() == QMetaType::QString;
    if (type.contains("INT")) {
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            static const QRegularExpression intRe(QStringLiteral("^[+-]?[0-9]+$"));
            bool ok = false;
            const qlonglong n = s.toLongLong(&ok);
            if (!intRe.match(s).hasMatch() || !ok || n < INT_MIN || n > INT_MAX)
                throw EDatabaseError(notAFieldValueText(s, column));
            return QVariant(n);
        }
        if (v.typeId() == QMetaType::Double) {
            const double d = v.toDouble();
            if (d != std::floor(d) || d < INT_MIN || d > INT_MAX)
                throw EDatabaseError(notAFieldValueText(displayText(v), column));
            return QVariant(static_cast<qlonglong>(d));
        }
        const qlonglong n = v.toLongLong();
        if (n < INT_MIN || n > INT_MAX) throw EDatabaseError(notAFieldValueText(QString::number(n), column));
        return QVariant(n);
    }
    if (type.contains("REAL") || type.contains("FLOA") || type.contains("DOUB")) {
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            bool ok = false;
            const double d = s.toDouble(&ok);
            if (!ok || !std::isfinite(d)) throw EDatabaseError(notAFieldValueText(s, column));
            return QVariant(d);
        }
        return QVariant(v.toDouble());
    }
    if (type.contains("TEXT") || type.contains("CHAR")) return QVariant(displayText(v));
    return v;
}

void TADOQuery::Post() {
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    sqlite3* db = conn_->handle();
    // Only the columns that belong to the table are written.
    std::vector<int> cols;
    std::vector<QVariant> values;
    for (int i = 0; i < names_.size(); ++i) {
        if (!columnTypes_.count(names_[i].toLower())) continue;
        cols.push_back(i);
        values.push_back(coerceForColumn(names_[i], buffer_[i]));
    }
    if (state_ == TDataSetState::dsInsert) {
        QStringList colNames, marks;
        for (int c : cols) {
            colNames << names_[c];
            marks << QStringLiteral("?");
        }
        Stmt s(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, colNames.join(','), marks.join(',')));
        for (size_t i = 0; i < values.size(); ++i) bindValue(s.get(), static_cast<int>(i) + 1, values[i]);
        stepDone(db, s.get());
    } else {
        QStringList sets, where;
        for (int c : cols) sets << names_[c] + QStringLiteral("=?");
        std::vector<QVariant> keyValues;
        for (const QString& k : keys_) {
            const int c = fieldIndex(k);
            if (c < 0) throw EDatabaseError(QStringLiteral("key field '%1' not in dataset").arg(k));
            where << k + QStringLiteral("=?");
            keyValues.push_back(original_[c]);
        }
        if (where.isEmpty()) throw EDatabaseError(QStringLiteral("no key columns for '%1'").arg(table_));
        Stmt s(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table_, sets.join(','), where.join(" AND ")));
        int p = 1;
        for (const QVariant& v : values) bindValue(s.get(), p++, v);
        for (const QVariant& v : keyValues) bindValue(s.get(), p++, v);
        stepDone(db, s.get());
    }
    // Keep what was stored, in the types it was stored with.
    for (size_t i = 0; i < cols.size(); ++i) buffer_[cols[i]] = values[i];
    rows_[cursor_] = buffer_;
    buffer_.clear();
    original_.clear();
    const int row = cursor_;
    setState(TDataSetState::dsBrowse);
    emit rowChanged(row);
}

void TADOQuery::Cancel() {
    if (state_ == TDataSetState::dsInsert) {
        rows_.erase(rows_.begin() + cursor_);
        cursor_ = rows_.empty() ? -1 : std::clamp(savedCursor_, 0, static_cast<int>(rows_.size()) - 1);
        buffer_.clear();
        setState(TDataSetState::dsBrowse);
        emit dataReset();
        emit currentChanged();
    } else if (state_ == TDataSetState::dsEdit) {
        buffer_.clear();
        original_.clear();
        const int row = cursor_;
        setState(TDataSetState::dsBrowse);
        emit rowChanged(row);
    }
}

void TADOQuery::Delete() {
    requireActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (rows_.empty() || cursor_ < 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (table_.isEmpty()) throw EDatabaseError(QStringLiteral("dataset is read-only"));
    if (state_ == TDataSetState::dsEdit) Cancel();
    sqlite3* db = conn_->handle();
    QStringList where;
    std::vector<QVariant> keyValues;
    for (const QString& k : keys_) {
        const int c = fieldIndex(k);
        if (c < 0) throw EDatabaseError(QStringLiteral("key field '%1' not in dataset").arg(k));
        where << k + QStringLiteral("=?");
        keyValues.push_back(rows_[cursor_][c]);
    }
    if (where.isEmpty()) throw EDatabaseError(QStringLiteral("no key columns for '%1'").arg(table_));
    Stmt s(db, QStringLiteral("DELETE FROM %1 WHERE %2").arg(table_, where.join(" AND ")));
    for (size_t i = 0; i < keyValues.size(); ++i) bindValue(s.get(), static_cast<int>(i) + 1, keyValues[i]);
    stepDone(db, s.get());
    rows_.erase(rows_.begin() + cursor_);
    if (cursor_ >= static_cast<int>(rows_.size())) cursor_ = static_cast<int>(rows_.size()) - 1;
    emit dataReset();
    emit currentChanged();
}

void TADOQuery::CheckBrowseMode() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Post();
}
