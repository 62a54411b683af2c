#pragma once
// The program's data access: one connection to the password-protected
// database file, queries that read all their rows at once, dataset editing
// for the catalogue windows, and transactions. Values are always bound as
// parameters, never pasted into the SQL text.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// What went wrong in the database, where the user can do something about
// it; the message of such an error is our own Chinese text.
enum class TDbFault {
    other,     // the library's own message
    readOnly,  // the file cannot be written
    noFolder,  // the file's folder cannot be written (no room for the journal)
    busy,      // another program holds the file for writing
    full,      // the disk is full
    io,        // reading or writing the file failed
    taken,     // a value that must be unique is already stored
};

class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message, TDbFault fault = TDbFault::other)
        : std::runtime_error(message.toStdString()), fault_(fault) {}
    QString message() const { return QString::fromStdString(what()); }
    TDbFault fault() const { return fault_; }
    // What a window shows for a failed save: our own message for a fault of
    // the file, or `inputText` (the window's fixed text about the entries)
    // for the library's.
    QString shownAs(const QString& inputText) const { return fault_ == TDbFault::other ? inputText : message(); }

private:
    TDbFault fault_;
};

// The database file was written by a newer program: its schema version is
// one this program does not know.
class EDatabaseVersionError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// The conversion errors of the data layer, in the program's language: a
// text that is no floating point number, no integer, or no value the field
// of that name can hold.
QString notAFloatText(const QString& text);
QString notAnIntegerText(const QString& text);
QString notAFieldValueText(const QString& text, const QString& field);

// The connection text the program opens its database with: the file and the
// key, the password quoted (a quote in it doubled) so any character is safe.
QString makeConnectionString(const QString& file, const QString& password);

// Key=value pairs of a connection text ("Provider=...;Data Source=...;").
// Keys are case-insensitive; a value may stand in double quotes.
std::map<QString, QString> parseConnectionString(const QString& text);

class TADOConnection {
public:
    TADOConnection() = default;
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    QString ConnectionString;

    // Opens the file named by "Data Source" with the key "Jet OLEDB:Database
    // Password". Never creates a file. Throws EDatabaseError when the file is
    // missing, empty, not a database, or the key is empty or wrong, and
    // EDatabaseVersionError when its schema version (PRAGMA user_version) is
    // newer than tms::kSchemaVersion. An older file is upgraded at once
    // (tms::upgradeDatabase; EDatabaseVersionError when it must be and
    // cannot be).
    void Open();
    void Open(const QString& connectionString);
    // Creates the new file `file` keyed with `password` and opens it; fails
    // when the file cannot be created. The file starts without tables; an
    // empty password leaves it plain (unkeyed).
    void OpenNew(const QString& file, const QString& password);
    void Close();
    bool Connected() const { return db_ != nullptr; }

    // The file the connection text names (backslashes read as separators).
    QString dataSourceFile() const;
    QString password() const;

    // Why the open file cannot be written, in Chinese and naming the file
    // or folder: the file is read-only (the library then opens it for
    // reading only, without a word) or its folder takes no new file (every
    // write needs its journal there). Empty when writes can go ahead or no
    // file is open.
    QString writeProblem() const;

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return inTransaction_; }

    // Runs one statement with bound values; returns the rows it changed.
    int Execute(const QString& sql, const QVariantList& params = {});
    // Runs several statements separated by ";" (a schema); no values.
    void ExecuteScript(const QString& sql);

private:
    friend class TADOQuery;
    friend class TPreparedStatement;
    friend class TNestedTransaction;
    sqlite3* handle() const { return db_; }
    // Opens the file and returns its schema version (kSchemaVersion for a new one).
    int openFile(const QString& path, const QString& password, bool create);
    void execPlain(const char* sql);

    sqlite3* db_ = nullptr;
    bool inTransaction_ = false;
};

// Begins a transaction and rolls it back unless Commit() was called, so an
// error that escapes leaves the database as it was.
class TTransaction {
public:
    explicit TTransaction(TADOConnection& c) : c_(c) { c_.BeginTrans(); }
    ~TTransaction();
    void Commit();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

private:
    TADOConnection& c_;
    bool done_ = false;
};

// A write that nests: inside a transaction the caller holds it is a
// savepoint (a failure undoes this write only and leaves the caller's
// transaction open), otherwise a transaction of its own. Rolled back unless
// Commit() was called.
class TNestedTransaction {
public:
    // `name` names the savepoint; letters, digits and "_" only.
    TNestedTransaction(TADOConnection& c, const char* name);
    ~TNestedTransaction();
    void Commit();
    TNestedTransaction(const TNestedTransaction&) = delete;
    TNestedTransaction& operator=(const TNestedTransaction&) = delete;

private:
    TADOConnection& c_;
    std::string savepoint_;  // empty: an own transaction
    bool done_ = false;
};

// One statement prepared once and run many times: bind values, run(), bind
// the next values, run() again. Values stay bound between runs until they
// are bound again. For bulk writes, where building a query per row would
// cost more than the write itself.
class TPreparedStatement {
public:
    TPreparedStatement(TADOConnection& c, const QString& sql);
    ~TPreparedStatement();
    TPreparedStatement(const TPreparedStatement&) = delete;
    TPreparedStatement& operator=(const TPreparedStatement&) = delete;

    // The text is not copied: it must stay unchanged until the next run().
    void bindText(int position, std::string_view value);
    void bindText(int position, const QString& value);  // copied
    void bindDouble(int position, double value);
    void bindInt(int position, long long value);
    void bindNull(int position);
    void bind(int position, const QVariant& value);  // copied

    // Runs the statement to its end and makes it ready for the next values;
    // returns the rows it changed.
    int run();
    // Binds the values to positions 1..n, then runs.
    int run(const QVariantList& values);
    // Runs it and returns the first column of its first row as text ("" when
    // it returns no row or NULL).
    QString firstText();

    // Reading a query row by row without keeping the rows: next() steps to
    // the next row and returns false after the last one, when the statement
    // is ready to run again. The cells of the current row read as a query's
    // cells do: text() as TADOQuery::displayText shows them (UTF-8, NULL
    // ""), number() as QVariant::toDouble reads them (NULL and text that is
    // no number 0).
    bool next();
    std::string text(int column) const;
    double number(int column) const;
    // The position of the statement's column `name` (case-insensitive),
    // for text() and number(); throws EDatabaseError when it has none.
    int column(std::string_view name) const;
    // The kind of a cell in the order the database sorts them: NULL before
    // numbers (integer or real, by value) before text (by its bytes) before
    // blobs.
    enum class TCellKind { null, number, text, blob };
    TCellKind kind(int column) const;

private:
    void check(int rc) const;
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TADOQuery;

// One column of the current record. NULL reads as "" or 0.
class TField {
public:
    TField(TADOQuery* q, int index) : q_(q), index_(index) {}
    QString FieldName() const;
    QVariant Value() const;
    bool IsNull() const;
    QString AsString() const;
    int AsInteger() const;   // throws EDatabaseError on a value that is no 32-bit integer
    double AsFloat() const;  // throws EDatabaseError on text that is no number
    bool AsBoolean() const;
    // Only in edit or insert state; the value is checked against the column
    // type when the record is posted.
    void SetValue(const QVariant& v) const;
    void SetAsString(const QString& s) const { SetValue(s); }
    int index() const { return index_; }

private:
    TADOQuery* q_;
    int index_;
};

class TADOQuery : public QObject {
    Q_OBJECT
public:
    explicit TADOQuery(QObject* parent = nullptr);
    explicit TADOQuery(TADOConnection* c, QObject* parent = nullptr);
    ~TADOQuery() override;

    TADOConnection* connection() const { return conn_; }

    // SQL text. Clearing the text also clears the bound values.
    void SQLClear();
    void SQLAdd(const QString& line);
    void setSQL(const QString& text);
    QString SQLText() const;

    // Values for "?" (1-based position) or ":name" placeholders.
    void ClearParams();
    void bind(int position, const QVariant& value);
    void bind(const QString& name, const QVariant& value);
    void setParams(const QVariantList& values);  // positions 1..n

    // Runs the SELECT and reads every row; the statement is released at once.
    void Open();
    void Close();
    bool Active() const { return active_; }

    // Navigation. Moving while editing posts the pending record first.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const;
    int RecNo() const { return cursor_; }  // 0-based; -1 when empty
    void setRecNo(int row);
    // Moves to the first row whose field equals the value; false if none.
    bool Locate(const QString& field, const QVariant& value, bool caseInsensitive = false);

    int FieldCount() const { return static_cast<int>(names_.size()); }
    QStringList fieldNames() const { return names_; }
    int fieldIndex(const QString& name) const;  // -1 if absent
    TField FieldByName(const QString& name);    // throws if absent
    TField Fields(int index) { return TField(this, index); }
    // Any cell, for grids.
    QVariant cell(int row, int column) const;
    // A cell by its column's name; throws EDatabaseError when it is absent.
    QVariant cell(int row, const QString& column) const;
    static QString displayText(const QVariant& v);

    // Editing against one table. The key columns find the row to update or
    // delete (by their values when the row was read).
    void setUpdateTable(const QString& table, const QStringList& keyColumns);
    TDataSetState State() const { return state_; }
    void Append();
    void Edit();
    void Post();  // throws EDatabaseError and stays in edit/insert state
    void Cancel();
    void Delete();           // throws EDatabaseError on an empty dataset
    void CheckBrowseMode();  // posts a pending edit

signals:
    void stateChanged();
    void dataReset();       // rows reread or closed
    void currentChanged();  // cursor moved to another row
    void fieldChanged(int column);
    void rowChanged(int row);  // one row's values changed (post)

private:
    friend class TField;
    QVariant value(int column) const;
    void setValue(int column, const QVariant& v);
    void setState(TDataSetState s);
    void requireActive() const;
    int requireField(const QString& name) const;  // fieldIndex; throws when absent
    void bindAll(void* stmt) const;
    QVariant coerceForColumn(const QString& column, const QVariant& v) const;
    void loadColumnTypes();

    TADOConnection* conn_ = nullptr;
    QStringList sql_;
    std::map<int, QVariant> posParams_;
    std::map<QString, QVariant> namedParams_;

    bool active_ = false;
    QStringList names_;
    std::vector<std::vector<QVariant>> rows_;
    int cursor_ = -1;
    bool atEnd_ = false;    // Next() ran past the last row
    bool atBegin_ = false;  // Prior() ran before the first row, or just opened

    QString table_;
    QStringList keys_;
    std::map<QString, QString> columnTypes_;  // lower-case name -> declared type
    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<QVariant> buffer_;
    std::vector<QVariant> original_;
    int savedCursor_ = -1;
};
