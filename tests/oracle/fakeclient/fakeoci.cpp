// A fake Oracle client library for the tests: it exports the entry points
// the data-access library calls, refuses what a client refuses (unbound and
// unknown placeholders) and asks for what a client asks (LONG pieces with
// status 99), writes every call into a journal and lets a test script
// statements, failures and error records through fakeoci_control().
//
// Built once per client version (FAKEOCI_VERSION, five numbers), with the
// Oracle 8 calls (FAKEOCI_OCI8), the Oracle 7 calls (FAKEOCI_OCI7) and the
// version call (FAKEOCI_HAS_VERSION) switched on or off; FAKEOCI_LITE makes
// an Oracle Lite client, whose database has no national-language views.

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "oracle/oci_abi.h"
#include "tests/oracle/fakeclient/fakenotify_control.h"
#include "tests/oracle/fakeclient/fakeoci_control.h"
#include "tests/oracle/fakeclient/fakeoci_internal.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Handle;

// A bind of a statement, in either call set.
struct Bind {
    std::string name;  // upper case, without the colon
    void* value = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* ind = nullptr;
    ub4 mode = 0;
    ub4 pvskip = 0, indskip = 0;
    void* ictx = nullptr;
    OCICallbackInBind icb = nullptr;
    void* octx = nullptr;
    OCICallbackOutBind ocb = nullptr;
    bool piecewise = false;  // Oracle 7 obindps
    ub1* pvctx = nullptr;
    ub4 maxsiz = 0;
};

struct Script {
    std::string match;
    bool prefix = false;
    int type = -1;
    int rows = 0;
    std::map<std::string, std::string> out;
    std::string cursor;
    int error = 0;
    std::string message;
    int offset = 0;
    bool warning = false, block = false, hold = false;
    int inPieces = 0, outPieces = 0;
    // the client calls a dynamic bind's or define's callbacks instead of
    // asking for the pieces with status 99
    bool callbacks = false;
    // the one row a query fetches: column position -> text
    std::map<int, std::string> columns;
    OCIRowidData rowid{1, 66000, 4, 300, 7};
};

// A define of a statement (Oracle 8 calls).
struct Define {
    ub4 position = 0;
    void* value = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* ind = nullptr;
    ub2* rlen = nullptr;
    ub4 mode = 0;
    void* octx = nullptr;
    OCICallbackDefine ocb = nullptr;
};

// A piece the client asks for while an execution or a fetch waits (status
// 99): the bind or define, the direction, and what the caller supplied.
struct PieceRequest {
    void* handle = nullptr;
    ub4 type = 0;
    ub1 inout = 0;
    ub1 piece = 0;
    std::string text;  // output: what is handed out
    size_t pos = 0;
    std::string received;  // input: what came so far
    bool isNull = false;
    const void* buf = nullptr;
    ub4* alenp = nullptr;
    ub1 setPiece = 0;
    const void* indp = nullptr;
    bool asked = false, supplied = false;
};

struct Session {
    std::string user;
    std::string db;
    std::map<std::string, std::string> nls;
};

struct Handle {
    ub4 type;
    std::map<ub4, ub4> attributes;
    // error handles: the last error record
    int errCode = 0;
    std::string errMsg;
    // servers
    std::string db;
    bool attached = false;
    OCIFocbkStruct focbk{nullptr, nullptr};
    // sessions (and authentication handles)
    std::string user, password;
    Handle* proxyOf = nullptr;
    Session* session = nullptr;
    // service contexts
    Handle* server = nullptr;
    Handle* sessionHandle = nullptr;
    Session* pooledSession = nullptr;      // from a session pool
    std::map<std::string, Handle*> cache;  // released statements by text
    // statements
    std::string sql;
    std::vector<Bind*> binds;
    std::vector<Define*> defines;
    // an execution or fetch waiting for pieces: what is still to come
    std::vector<PieceRequest> pieces;
    size_t pieceAt = 0;
    bool executing = false, fetching = false;
    Script running;
    int rowsLeft = 0;
    bool cached = false;
    OCIRowidData rowid{1, 0, 0, 0, 0};
    // session pools
    std::string poolName, connStr;
};

std::recursive_mutex gLock;
std::condition_variable_any gHeldChanged;
std::string gJournal;
std::string gJournalCopy;
std::map<std::string, int> gFailNext;
std::set<void*> gHandles;
int gErrorCode = 0;
std::string gErrorMessage;
int gErrorGetStatus = OCI_SUCCESS;
bool gErrorSet = false;
std::vector<Script> gScripts;
std::map<std::string, std::string> gDatabases = {
    {"", "Oracle Database 10g Enterprise Edition Release 10.2.0.1.0 - Production"},
    {"orcl", "Oracle Database 10g Enterprise Edition Release 10.2.0.1.0 - Production"},
    {"ora9", "Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production"},
    {"ora7", "Oracle7 Server Release 7.3.4.0.0 - Production"},
};
const std::map<std::string, std::string> kUsers = {{"SCOTT", "tiger"}, {"SYSTEM", "manager"}, {"PROXY", "proxypw"}};
Handle* gLastServer = nullptr;
int gHeld = 0;
bool gRelease = false;
bool gBreak = false;
bool gBroken = false;
bool gStalled = false;
std::map<int, std::string> gMessages;  // code -> message, for oerhms

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void Log(const std::string& line) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gJournal += line + "\n";
}

int Scripted(const char* function) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto it = gFailNext.find(function);
    if (it == gFailNext.end()) return OCI_SUCCESS;
    int status = it->second;
    gFailNext.erase(it);
    return status;
}

[[maybe_unused]] Handle* NewHandle(ub4 type) {
    auto* h = new Handle{};
    h->type = type;
    std::lock_guard<std::recursive_mutex> g(gLock);
    gHandles.insert(h);
    return h;
}

// Deletes and removes the first owned item of `list` that `match` picks.
template <class T, class Match>
void DropFirst(std::vector<T*>& list, Match match) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (match(*it)) {
            delete *it;
            list.erase(it);
            return;
        }
}

Handle* Live(const void* p, ub4 type) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto* h = static_cast<Handle*>(const_cast<void*>(p));
    if (!gHandles.count(h) || h->type != type) return nullptr;
    return h;
}

void FreeStatement(Handle* s) {
    for (Bind* b : s->binds) delete b;
    s->binds.clear();
    for (Define* d : s->defines) delete d;
    s->defines.clear();
    s->pieces.clear();
    s->executing = s->fetching = false;
    s->rowsLeft = 0;
}

// The placeholder names of a statement, upper case, each once, as a server
// finds them: a ":" outside literals and comments followed by a name, a
// number or a quoted name (":=" is no placeholder; in "::y" the second ":"
// starts the placeholder y). A trigger body's ":new" and ":old" are no
// binds.
std::vector<std::string> Placeholders(const std::string& sql) {
    std::vector<std::string> out;
    std::string upper;
    for (char c : sql) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("TRIGGER") != std::string::npos && upper.find("CREATE") != std::string::npos) return out;
    const size_t n = sql.size();
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; };
    for (size_t i = 0; i < n; ++i) {
        const char c = sql[i];
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            size_t e = sql.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 1;
        } else if (c == '\'' && i > 0 && (sql[i - 1] == 'q' || sql[i - 1] == 'Q') && i + 1 < n) {
            char open = sql[i + 1];
            char close = open == '(' ? ')' : open == '<' ? '>' : open == '[' ? ']' : open == '{' ? '}' : open;
            size_t e = sql.find(std::string(1, close) + "'", i + 2);
            i = e == std::string::npos ? n : e + 1;
        } else if (c == '\'' || c == '"') {
            size_t e = sql.find(c, i + 1);
            i = e == std::string::npos ? n : e;
        } else if (c == ':' && i + 1 < n) {
            size_t j = i + 1;
            std::string name;
            if (sql[j] == '"') {
                size_t e = sql.find('"', j + 1);
                if (e == std::string::npos) break;
                name = Upper(sql.substr(j + 1, e - j - 1));
            } else {
                while (j < n && word(sql[j])) ++j;
                name = Upper(sql.substr(i + 1, j - i - 1));
            }
            if (!name.empty() && std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
        }
    }
    return out;
}

// The first placeholder of the statement no bind names (empty: all bound).
template <class B>
std::string Unbound(const std::string& sql, const std::vector<B>& binds, std::string (*nameOf)(const B&)) {
    for (const std::string& name : Placeholders(sql)) {
        bool bound = false;
        for (const B& b : binds) bound = bound || nameOf(b) == name;
        if (!bound) return name;
    }
    return {};
}

bool HasPlaceholder(const std::string& sql, const std::string& name) {
    const std::vector<std::string> names = Placeholders(sql);
    return std::find(names.begin(), names.end(), name) != names.end();
}

void Destroy(Handle* h) {
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        gHandles.erase(h);
        if (gLastServer == h) gLastServer = nullptr;
    }
    if (h->type == OCI_HTYPE_STMT) FreeStatement(h);
    for (auto& c : h->cache) Destroy(c.second);
    delete h->session;
    delete h->pooledSession;
    delete h;
}

// The error record of an error handle (or of the process when none).
[[maybe_unused]] int Fail(OCIError* errhp, int code, const std::string& message, int status = OCI_ERROR) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gMessages[code] = message;
    auto* h = static_cast<Handle*>(static_cast<void*>(errhp));
    if (gHandles.count(h) && h->type == OCI_HTYPE_ERROR) {
        h->errCode = code;
        h->errMsg = message;
    }
    return status;
}

std::string Ora(int code, const char* text) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "ORA-%05d: %s", code, text);
    return buf;
}

const char* Journal() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gJournalCopy = gJournal;
    return gJournalCopy.c_str();
}

void ClearJournal() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gJournal.clear();
}

void FailNext(const char* function, int status) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gFailNext[function] = status;
}

void SetError(int code, const char* message, int status) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gErrorCode = code;
    gErrorMessage = message ? message : "";
    gErrorGetStatus = status;
    gErrorSet = true;
}

int LiveHandles() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    return static_cast<int>(gHandles.size());
}

void AddScript(const char* match, const char* behaviour) {
    Script s;
    s.match = match;
    if (!s.match.empty() && s.match.back() == '*') {
        s.prefix = true;
        s.match.pop_back();
    }
    std::string rest = behaviour ? behaviour : "";
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('|', start);
        if (end == std::string::npos) end = rest.size();
        std::string field = rest.substr(start, end - start);
        start = end + 1;
        size_t eq = field.find('=');
        if (eq == std::string::npos) continue;
        std::string key = field.substr(0, eq), value = field.substr(eq + 1);
        if (key.rfind("out:", 0) == 0)
            s.out[Upper(key.substr(4))] = value;
        else if (key == "type")
            s.type = std::stoi(value);
        else if (key == "rows")
            s.rows = std::stoi(value);
        else if (key == "cursor")
            s.cursor = Upper(value);
        else if (key == "error")
            s.error = std::stoi(value);
        else if (key == "message")
            s.message = value;
        else if (key == "offset")
            s.offset = std::stoi(value);
        else if (key == "warning")
            s.warning = value == "1";
        else if (key == "block")
            s.block = value == "1";
        else if (key == "hold")
            s.hold = value == "1";
        else if (key == "in_pieces")
            s.inPieces = std::stoi(value);
        else if (key == "out_pieces")
            s.outPieces = std::stoi(value);
        else if (key == "callbacks")
            s.callbacks = value == "1";
        else if (key.rfind("col:", 0) == 0)
            s.columns[std::stoi(key.substr(4))] = value;
        else if (key == "rowid") {
            unsigned k, o, f, b, r;
            if (std::sscanf(value.c_str(), "%u,%u,%u,%u,%u", &k, &o, &f, &b, &r) == 5)
                s.rowid = {static_cast<ub1>(k), o, static_cast<ub2>(f), b, static_cast<ub2>(r)};
        }
    }
    std::lock_guard<std::recursive_mutex> g(gLock);
    gScripts.erase(std::remove_if(gScripts.begin(), gScripts.end(),
                                  [&](const Script& o) { return o.match == s.match && o.prefix == s.prefix; }),
                   gScripts.end());
    gScripts.push_back(s);
}

void ClearScript() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gScripts.clear();
    gBroken = false;
    gStalled = false;
}

void AddDatabase(const char* name, const char* banner) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gDatabases[Lower(name)] = banner;
}

int TriggerFailover(int type, int event) {
    OCIFocbkStruct cb{nullptr, nullptr};
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        if (gLastServer) cb = gLastServer->focbk;
    }
    Log("failover type=" + std::to_string(type) + " event=" + std::to_string(event));
    if (!cb.callback_function) return -1;
    return cb.callback_function(nullptr, nullptr, cb.fo_ctx, static_cast<ub4>(type), static_cast<ub4>(event));
}

int Held() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    return gHeld;
}

void ReleaseHeld() {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gRelease = true;
    gHeldChanged.notify_all();
}

void SetBroken(int broken) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gBroken = broken != 0;
}

void SetStalled(int stalled) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    gStalled = stalled != 0;
}

// Waits inside an execution until released (true) or broken off (false).
bool Hold() {
    std::unique_lock<std::recursive_mutex> g(gLock);
    ++gHeld;
    gRelease = false;
    gBreak = false;
    gHeldChanged.wait(g, [] { return gRelease || gBreak; });
    --gHeld;
    const bool released = gRelease;
    gRelease = false;
    gBreak = false;
    return released;
}

const fakeoci_control_table kControl = {sizeof(fakeoci_control_table),
                                        Journal,
                                        ClearJournal,
                                        FailNext,
                                        SetError,
                                        LiveHandles,
                                        AddScript,
                                        ClearScript,
                                        AddDatabase,
                                        TriggerFailover,
                                        Held,
                                        ReleaseHeld,
                                        SetBroken,
                                        SetStalled};

// ---------------------------------------------------------------------------
// The statement engine

std::string FirstWord(const std::string& sql) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    size_t j = i;
    while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j]))) ++j;
    return Upper(sql.substr(i, j - i));
}

int TypeOf(const std::string& sql) {
    const std::string w = FirstWord(sql);
    if (w == "SELECT" || w == "WITH") return OCI_STMT_SELECT;
    if (w == "UPDATE") return OCI_STMT_UPDATE;
    if (w == "DELETE") return OCI_STMT_DELETE;
    if (w == "INSERT") return OCI_STMT_INSERT;
    if (w == "CREATE") return OCI_STMT_CREATE;
    if (w == "DROP") return OCI_STMT_DROP;
    if (w == "ALTER") return OCI_STMT_ALTER;
    if (w == "BEGIN") return OCI_STMT_BEGIN;
    if (w == "DECLARE") return OCI_STMT_DECLARE;
    return 0;
}

// The SQL function code of a statement type (the Oracle 7 numbering).
int FunctionCode(int type) {
    switch (type) {
    case OCI_STMT_SELECT: return 4;
    case OCI_STMT_UPDATE: return 5;
    case OCI_STMT_DELETE: return 9;
    case OCI_STMT_INSERT: return 3;
    case OCI_STMT_BEGIN:
    case OCI_STMT_DECLARE: return 34;
    case OCI_STMT_ALTER: return 52;
    default: return 0;
    }
}

// The scripted behaviour of a text, or the built-in one.
Script Lookup(const std::string& sql, Session* session) {
    std::string text = sql;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        for (auto it = gScripts.rbegin(); it != gScripts.rend(); ++it)
            if (it->prefix ? text.compare(0, it->match.size(), it->match) == 0 : text == it->match) {
                Script s = *it;
                if (s.type < 0) s.type = TypeOf(text);
                return s;
            }
    }
    Script s;
    s.type = TypeOf(text);
    if (text.rfind("declare  cursor NlsParamsCursor", 0) == 0 && session) {
        auto nls = [&](const char* name, const char* def) {
            auto it = session->nls.find(name);
            return it == session->nls.end() ? std::string(def) : it->second;
        };
        s.out["CHARLENGTH"] = "1";
        s.out["NLSDATELANGUAGE"] = nls("NLS_DATE_LANGUAGE", "AMERICAN");
        s.out["NLSDATEFORMAT"] = nls("NLS_DATE_FORMAT", "DD-MON-RR");
        s.out["NLSNUMERICCHARACTERS"] = nls("NLS_NUMERIC_CHARACTERS", ".,");
        s.out["NLSTIMESTAMPFORMAT"] = nls("NLS_TIMESTAMP_FORMAT", "DD-MON-RR HH.MI.SSXFF AM");
        s.out["NLSTIMESTAMPTZFORMAT"] = nls("NLS_TIMESTAMP_TZ_FORMAT", "DD-MON-RR HH.MI.SSXFF AM TZR");
    } else if (text.rfind("begin SELECT Version INTO :Result", 0) == 0 && session) {
        std::lock_guard<std::recursive_mutex> g(gLock);
        const std::string& banner = gDatabases[session->db];
        size_t dot = banner.find('.');
        size_t start = banner.rfind(' ', dot) + 1;
        s.out["RESULT"] = banner.substr(start, banner.find(' ', start) - start);
    } else if (text.rfind("ALTER SESSION SET ", 0) == 0 && session) {
        std::string rest = text.substr(18);
        size_t eq = rest.find('=');
        std::string value = rest.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '\'') value = value.substr(1, value.size() - 2);
        session->nls[Upper(rest.substr(0, eq))] = value;
    }
    return s;
}

// The value of element i of a bind, as journal text.
std::string BindText(const Bind& b, ub4 i) {
    const sb2* ind = b.ind ? reinterpret_cast<const sb2*>(reinterpret_cast<const char*>(b.ind) +
                                                          i * (b.indskip ? b.indskip : sizeof(sb2)))
                           : nullptr;
    if (ind && *ind < 0) return "null";
    if (!b.value) return "null";
    const char* v = static_cast<const char*>(b.value) + i * (b.pvskip ? b.pvskip : static_cast<ub4>(b.size));
    char buf[64];
    switch (b.dty) {
    case 1:
    case 5:
    case 97: return std::string(v, ::strnlen(v, static_cast<size_t>(b.size)));
    case 3: {
        sb4 x;
        std::memcpy(&x, v, 4);
        return std::to_string(x);
    }
    case 4: {
        double d;
        std::memcpy(&d, v, 8);
        std::snprintf(buf, sizeof buf, "%g", d);
        return buf;
    }
    case 12: {
        const auto* d = reinterpret_cast<const unsigned char*>(v);
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", (d[0] - 100) * 100 + d[1] - 100, d[2], d[3],
                      d[4] - 1, d[5] - 1, d[6] - 1);
        return buf;
    }
    case 102:
    case 116: return "cursor";
    default: {
        std::string t = fakeoci::TypesBindText(b.dty, v);
        return t.empty() ? "bytes" : t;
    }
    }
}

void WriteOut(Bind& b, const std::string& value, bool refCursor) {
    if (refCursor) {
        if (b.dty == 116 && b.value) {
            if (Handle* s = Live(*static_cast<void**>(b.value), OCI_HTYPE_STMT)) {
                std::lock_guard<std::recursive_mutex> g(gLock);
                s->attributes[OCI_ATTR_STMT_TYPE] = OCI_STMT_SELECT;
                s->sql = "(ref cursor)";
            }
        }
        if (b.ind) *b.ind = 0;
        return;
    }
    if (value == "(null)") {
        if (b.ind) *b.ind = -1;
        return;
    }
    if (!b.value && b.dty != 108 && b.dty != 110) return;
    switch (b.dty) {
    case 1:
    case 5:
    case 97: {
        size_t n = std::min(value.size(), b.size > 0 ? static_cast<size_t>(b.size - 1) : 0);
        std::memcpy(b.value, value.data(), n);
        static_cast<char*>(b.value)[n] = 0;
        break;
    }
    case 3: {
        sb4 x = std::stoi(value);
        std::memcpy(b.value, &x, 4);
        break;
    }
    case 4: {
        double d = std::stod(value);
        std::memcpy(b.value, &d, 8);
        break;
    }
    default: fakeoci::TypesWriteOut(reinterpret_cast<OCIBind*>(&b), b.dty, b.value, b.ind, value); return;
    }
    if (b.ind) *b.ind = 0;
}

// The in-binds of an execution into the journal (the LONG binds of the
// Oracle 8 calls come in pieces).
[[maybe_unused]] void TransferIn(Handle* stmt, ub4 iters) {
    for (Bind* b : stmt->binds) {
        if (b->mode == OCI_DATA_AT_EXEC || b->piecewise) continue;
        if (iters <= 1) {
            Log("in :" + b->name + "=" + BindText(*b, 0));
        } else {
            for (ub4 i = 0; i < iters; ++i) Log("in :" + b->name + "#" + std::to_string(i) + "=" + BindText(*b, i));
        }
    }
}

// The pieces of a LONG value handed out through an output callback (of a
// bind or a define) until the text is gone.
template <class F>
void HandOut(const std::string& text, F&& next) {
    size_t pos = 0;
    do {
        void* buf = nullptr;
        ub4* lenp = nullptr;
        void* ind = nullptr;
        if (!next(buf, lenp, ind)) break;
        size_t n = std::min<size_t>(text.size() - pos, lenp ? *lenp : 0);
        if (buf && n) std::memcpy(buf, text.data() + pos, n);
        if (lenp) *lenp = static_cast<ub4>(n);
        if (ind) *static_cast<sb2*>(ind) = 0;
        pos += n;
        if (n == 0) break;
    } while (pos < text.size());
}

// The LONG binds of an execution through the callbacks of their dynamic
// binds (a client told to use them).
[[maybe_unused]] void TransferByCallbacks(Handle* stmt, const Script& s) {
    for (Bind* b : stmt->binds) {
        if (b->mode != OCI_DATA_AT_EXEC || !b->icb) continue;
        std::string data;
        bool isNull = false;
        for (int n = 0; n < 10000; ++n) {
            void* buf = nullptr;
            ub4 len = 0;
            ub1 piece = OCI_ONE_PIECE;
            void* ind = nullptr;
            if (b->icb(b->ictx, reinterpret_cast<OCIBind*>(b), 0, 0, &buf, &len, &piece, &ind) != OCI_CONTINUE) break;
            if (ind && *static_cast<sb2*>(ind) < 0) isNull = true;
            if (buf && len) data.append(static_cast<const char*>(buf), len);
            if (piece == OCI_ONE_PIECE || piece == OCI_LAST_PIECE) break;
        }
        Log("in :" + b->name + "=" + (isNull ? std::string("null") : data));
    }
    for (Bind* b : stmt->binds) {
        auto it = s.out.find(b->name);
        if (b->mode != OCI_DATA_AT_EXEC || !b->ocb || it == s.out.end()) continue;
        HandOut(it->second, [&](void*& buf, ub4*& lenp, void*& ind) {
            ub1 piece = OCI_NEXT_PIECE;
            ub2* rcode = nullptr;
            return b->ocb(b->octx, reinterpret_cast<OCIBind*>(b), 0, 0, &buf, &lenp, &piece, &ind, &rcode) ==
                   OCI_CONTINUE;
        });
    }
}

// The pieces the client asks for with status 99: every LONG bind's input,
// then the output of those the script answers.
[[maybe_unused]] void QueueBindPieces(Handle* stmt, const Script& s) {
    stmt->pieces.clear();
    stmt->pieceAt = 0;
    for (Bind* b : stmt->binds)
        if (b->mode == OCI_DATA_AT_EXEC) {
            PieceRequest r;
            r.handle = b;
            r.type = OCI_HTYPE_BIND;
            r.inout = OCI_PARAM_IN;
            stmt->pieces.push_back(r);
        }
    for (Bind* b : stmt->binds) {
        auto it = s.out.find(b->name);
        if (b->mode != OCI_DATA_AT_EXEC || it == s.out.end()) continue;
        PieceRequest r;
        r.handle = b;
        r.type = OCI_HTYPE_BIND;
        r.inout = OCI_PARAM_OUT;
        r.text = it->second;
        stmt->pieces.push_back(r);
    }
}

[[maybe_unused]] std::string NameOfPiece(const PieceRequest& r) {
    return r.type == OCI_HTYPE_BIND ? static_cast<Bind*>(r.handle)->name
                                    : "#" + std::to_string(static_cast<Define*>(r.handle)->position);
}

// Works through the queued pieces: takes what the caller supplied for the
// piece asked for last and asks for the next one (99), or ends (0).
[[maybe_unused]] sword RunPieces(Handle* stmt, OCIError* errhp) {
    while (stmt->pieceAt < stmt->pieces.size()) {
        PieceRequest& r = stmt->pieces[stmt->pieceAt];
        if (!r.asked) {
            r.asked = true;
            r.piece = OCI_FIRST_PIECE;
            return OCI_NEED_DATA;
        }
        if (!r.supplied) {
            stmt->pieces.clear();
            return Fail(errhp, 3106, Ora(3106, "fatal two-task communication protocol error"));
        }
        r.supplied = false;
        if (r.inout == OCI_PARAM_IN) {
            if (r.indp && *static_cast<const sb2*>(r.indp) < 0) r.isNull = true;
            if (r.buf && r.alenp && *r.alenp) r.received.append(static_cast<const char*>(r.buf), *r.alenp);
            if (r.setPiece == OCI_ONE_PIECE || r.setPiece == OCI_LAST_PIECE) {
                Log("in :" + NameOfPiece(r) + "=" + (r.isNull ? std::string("null") : r.received));
                ++stmt->pieceAt;
                continue;
            }
        } else {
            const size_t room = r.alenp ? *r.alenp : 0;
            const size_t n = std::min(room, r.text.size() - r.pos);
            if (r.buf && n) std::memcpy(const_cast<void*>(r.buf), r.text.data() + r.pos, n);
            if (r.alenp) *r.alenp = static_cast<ub4>(n);
            if (r.indp) *static_cast<sb2*>(const_cast<void*>(r.indp)) = 0;
            r.pos += n;
            if (r.pos >= r.text.size() || room == 0) {
                ++stmt->pieceAt;
                continue;
            }
        }
        r.piece = OCI_NEXT_PIECE;
        return OCI_NEED_DATA;
    }
    stmt->pieces.clear();
    stmt->pieceAt = 0;
    return OCI_SUCCESS;
}

// The out-binds of an execution from the script (the LONG ones came in
// pieces).
[[maybe_unused]] void TransferOut(Handle* stmt, const Script& s) {
    for (Bind* b : stmt->binds) {
        if (b->mode == OCI_DATA_AT_EXEC) continue;
        auto it = s.out.find(b->name);
        if (b->name == s.cursor)
            WriteOut(*b, "", true);
        else if (it != s.out.end())
            WriteOut(*b, it->second, false);
    }
}

// The identifier of a character-set name, as NLS_CHARSET_ID answers it
// ("(null)" for a name the server does not know).
[[maybe_unused]] std::string CharsetIdOf(const std::string& name) {
    static const std::map<std::string, int> ids = {{"US7ASCII", 1},   {"WE8ISO8859P1", 31}, {"WE8MSWIN1252", 178},
                                                   {"ZHS16GBK", 852}, {"UTF8", 871},        {"AL32UTF8", 873}};
    auto it = ids.find(Upper(name));
    return it == ids.end() ? std::string("(null)") : std::to_string(it->second);
}

// Base-64 text of the parts of a row address, as the server writes it.
[[maybe_unused]] std::string RowidText(const OCIRowidData& r) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    auto part = [&](unsigned long v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            out.insert(out.begin(), digits[v % 64]);
            v /= 64;
        }
        return out;
    };
    return part(r.objnum, 6) + part(r.file, 3) + part(r.block, 6) + part(r.row, 3);
}

}  // namespace

FAKE_EXPORT const fakeoci_control_table* fakeoci_control(void) { return &kControl; }

// What the data-type calls of the fake use of this file.
namespace fakeoci {
void Log(const std::string& line) { ::Log(line); }
int Scripted(const char* function) { return ::Scripted(function); }
int Fail(OCIError* errhp, int code, const std::string& message) { return ::Fail(errhp, code, message); }
bool IsEnv(const void* handle) { return ::Live(handle, OCI_HTYPE_ENV) != nullptr; }
}  // namespace fakeoci

#if FAKEOCI_HAS_VERSION
FAKE_EXPORT void OCIClientVersion(sword* major, sword* minor, sword* update, sword* patch, sword* portUpdate) {
    int v[5] = {0, 0, 0, 0, 0};
    std::sscanf(FAKEOCI_VERSION, "%d.%d.%d.%d.%d", &v[0], &v[1], &v[2], &v[3], &v[4]);
    *major = v[0];
    *minor = v[1];
    *update = v[2];
    *patch = v[3];
    *portUpdate = v[4];
    Log("OCIClientVersion");
}
#endif

#include "tests/oracle/fakeclient/fakenotify.inc"

#if FAKEOCI_OCI8
namespace {
Session* SessionOf(Handle* svc) {
    if (!svc) return nullptr;
    if (svc->pooledSession) return svc->pooledSession;
    if (svc->sessionHandle) return svc->sessionHandle->session;
    return nullptr;
}

bool CheckUser(const std::string& user, const std::string& password) {
    auto it = kUsers.find(Upper(user));
    return it != kUsers.end() && it->second == password;
}
}  // namespace

FAKE_EXPORT sword OCIEnvCreate(OCIEnv** envhpp, ub4 mode, void*, OCIMallocFn, OCIReallocFn, OCIFreeFn, size_t, void**) {
    Log("OCIEnvCreate mode=" + std::to_string(mode));
    if (int s = Scripted("OCIEnvCreate")) return s;
    *envhpp = reinterpret_cast<OCIEnv*>(NewHandle(OCI_HTYPE_ENV));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIInitialize(ub4 mode, void*, OCIMallocFn, OCIReallocFn, OCIFreeFn) {
    Log("OCIInitialize mode=" + std::to_string(mode));
    return Scripted("OCIInitialize");
}

FAKE_EXPORT sword OCIEnvInit(OCIEnv** envhpp, ub4 mode, size_t, void**) {
    Log("OCIEnvInit mode=" + std::to_string(mode));
    if (int s = Scripted("OCIEnvInit")) return s;
    *envhpp = reinterpret_cast<OCIEnv*>(NewHandle(OCI_HTYPE_ENV));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t, void**) {
    Log("OCIHandleAlloc type=" + std::to_string(type));
    if (int s = Scripted("OCIHandleAlloc")) return s;
    if (!Live(parenth, OCI_HTYPE_ENV) || !hndlpp) return OCI_INVALID_HANDLE;
    *hndlpp = NewHandle(type);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIHandleFree(void* hndlp, ub4 type) {
    Log("OCIHandleFree type=" + std::to_string(type));
    if (int s = Scripted("OCIHandleFree")) return s;
    Handle* h = Live(hndlp, type);
    if (!h) return OCI_INVALID_HANDLE;
    ForgetSubscription(h, type);
    Destroy(h);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDescriptorAlloc(const void* parenth, void** descpp, ub4 type, size_t, void**) {
    Log("OCIDescriptorAlloc type=" + std::to_string(type));
    if (Live(parenth, OCI_HTYPE_ENV) && descpp && type != OCI_DTYPE_ROWID)
        return fakeoci::TypesDescriptorAlloc(type, descpp);
    if (!Live(parenth, OCI_HTYPE_ENV) || !descpp || type != OCI_DTYPE_ROWID) return OCI_INVALID_HANDLE;
    // the descriptor starts with the row address, as old clients leave it
    Handle* h = NewHandle(OCI_DTYPE_ROWID);
    *descpp = &h->rowid;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDescriptorFree(void* descp, ub4 type) {
    if (type != OCI_DTYPE_ROWID) return fakeoci::TypesDescriptorFree(descp, type);
    Log("OCIDescriptorFree type=" + std::to_string(type));
    std::lock_guard<std::recursive_mutex> g(gLock);
    for (void* p : gHandles) {
        auto* h = static_cast<Handle*>(p);
        if (h->type == type && &h->rowid == descp) {
            Destroy(h);
            return OCI_SUCCESS;
        }
    }
    return OCI_INVALID_HANDLE;
}

FAKE_EXPORT sword OCIAttrSet(void* target, ub4 type, void* attribute, ub4 size, ub4 attrtype, OCIError*) {
    if (int status = 0; SubscriptionAttrSet(target, type, attribute, attrtype, &status)) return status;
    std::string shown;
    if (attrtype == OCI_ATTR_SERVER || attrtype == OCI_ATTR_SESSION || attrtype == OCI_ATTR_PROXY_CREDENTIALS ||
        attrtype == OCI_ATTR_CHNF_REGHANDLE)
        shown = "handle";
    else if (attrtype == OCI_ATTR_USERNAME || attrtype == OCI_ATTR_PASSWORD)
        shown = std::string(static_cast<const char*>(attribute), size);
    else if (attrtype == OCI_ATTR_FOCBK)
        shown = "callback";
    else
        shown = std::to_string(attribute ? *static_cast<ub4*>(attribute) : 0);
    Log("OCIAttrSet type=" + std::to_string(type) + " attr=" + std::to_string(attrtype) + " value=" + shown);
    if (int s = Scripted("OCIAttrSet")) return s;
    Handle* h = Live(target, type);
    if (!h) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    switch (attrtype) {
    case OCI_ATTR_SERVER: h->server = Live(attribute, OCI_HTYPE_SERVER); break;
    case OCI_ATTR_SESSION: h->sessionHandle = Live(attribute, OCI_HTYPE_SESSION); break;
    case OCI_ATTR_PROXY_CREDENTIALS: h->proxyOf = Live(attribute, OCI_HTYPE_SESSION); break;
    case OCI_ATTR_USERNAME: h->user.assign(static_cast<const char*>(attribute), size); break;
    case OCI_ATTR_PASSWORD: h->password.assign(static_cast<const char*>(attribute), size); break;
    case OCI_ATTR_FOCBK: h->focbk = *static_cast<OCIFocbkStruct*>(attribute); break;
    default: h->attributes[attrtype] = attribute ? *static_cast<ub4*>(attribute) : 0;
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIAttrGet(const void* target, ub4 type, void* attribute, ub4* sizep, ub4 attrtype, OCIError*) {
    if (int status = 0; ChangeAttrGet(target, type, attribute, sizep, attrtype, &status)) return status;
    Log("OCIAttrGet type=" + std::to_string(type) + " attr=" + std::to_string(attrtype));
    if (int s = Scripted("OCIAttrGet")) return s;
    Handle* h = Live(target, type);
    if (!h || !attribute) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (attrtype == OCI_ATTR_ROWID) {
        *static_cast<OCIRowidData*>(attribute) = h->rowid;
        return OCI_SUCCESS;
    }
    auto it = h->attributes.find(attrtype);
    if (it == h->attributes.end()) return OCI_NO_DATA;
    if (attrtype == OCI_ATTR_SQLFNCODE || attrtype == OCI_ATTR_STMT_TYPE || attrtype == OCI_ATTR_PARSE_ERROR_OFFSET ||
        attrtype == OCI_ATTR_PARSE_ERROR_OFFSET_OLD) {
        *static_cast<ub2*>(attribute) = static_cast<ub2>(it->second);
        if (sizep) *sizep = sizeof(ub2);
    } else {
        *static_cast<ub4*>(attribute) = it->second;
        if (sizep) *sizep = sizeof(ub4);
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, oratext*, sb4* errcodep, oratext* bufp, ub4 bufsiz, ub4 type) {
    Log("OCIErrorGet record=" + std::to_string(recordno) + " type=" + std::to_string(type));
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto* h = static_cast<Handle*>(hndlp);
    if (!gHandles.count(h) || h->type != type) return OCI_INVALID_HANDLE;
    std::string message;
    int code;
    int status = OCI_SUCCESS;
    if (h->errCode != 0) {
        // the record of the last failing call, read once
        code = h->errCode;
        message = h->errMsg;
        h->errCode = 0;
    } else if (gErrorSet) {
        code = gErrorCode;
        message = gErrorMessage;
        status = gErrorGetStatus;
    } else {
        return OCI_NO_DATA;
    }
    // Whatever OCIErrorGet returns, the buffer holds the message as far as
    // it fits (a failing call may leave text in it).
    if (bufp && bufsiz > 0) {
        size_t n = message.size() < bufsiz - 1 ? message.size() : bufsiz - 1;
        std::memcpy(bufp, message.data(), n);
        bufp[n] = 0;
    }
    if (errcodep) *errcodep = code;
    return status;
}

FAKE_EXPORT sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const oratext* dblink, sb4 len, ub4 mode) {
    std::string db(reinterpret_cast<const char*>(dblink), len > 0 ? static_cast<size_t>(len) : 0);
    Log("OCIServerAttach server=" + db + " mode=" + std::to_string(mode));
    if (int s = Scripted("OCIServerAttach")) return s;
    Handle* h = Live(srvhp, OCI_HTYPE_SERVER);
    if (!h) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (!gDatabases.count(Lower(db)))
        return Fail(errhp, 12154, Ora(12154, "TNS:could not resolve the connect identifier specified"));
    h->db = Lower(db);
    h->attached = true;
    gLastServer = h;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIServerDetach(OCIServer* srvhp, OCIError*, ub4 mode) {
    Log("OCIServerDetach mode=" + std::to_string(mode));
    Handle* h = Live(srvhp, OCI_HTYPE_SERVER);
    if (!h || !h->attached) return OCI_INVALID_HANDLE;
    h->attached = false;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode) {
    Log("OCISessionBegin credt=" + std::to_string(credt) + " mode=" + std::to_string(mode));
    if (int s = Scripted("OCISessionBegin")) return s;
    Handle* svc = Live(svchp, OCI_HTYPE_SVCCTX);
    Handle* usr = Live(usrhp, OCI_HTYPE_SESSION);
    if (!svc || !usr || !svc->server || !svc->server->attached) return OCI_INVALID_HANDLE;
    if (credt == OCI_CRED_RDBMS && !CheckUser(usr->user, usr->password))
        return Fail(errhp, 1017, Ora(1017, "invalid username/password; logon denied"));
    std::lock_guard<std::recursive_mutex> g(gLock);
    usr->session =
        new Session{credt == OCI_CRED_EXT ? std::string("OPS$EXTERNAL") : Upper(usr->user), svc->server->db, {}};
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISessionEnd(OCISvcCtx* svchp, OCIError*, OCISession* usrhp, ub4 mode) {
    Log("OCISessionEnd mode=" + std::to_string(mode));
    Handle* svc = Live(svchp, OCI_HTYPE_SVCCTX);
    Handle* usr = Live(usrhp, OCI_HTYPE_SESSION);
    if (!svc || !usr || !usr->session) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    delete usr->session;
    usr->session = nullptr;
    for (auto& c : svc->cache) Destroy(c.second);
    svc->cache.clear();
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISessionPoolCreate(OCIEnv*, OCIError* errhp, OCISPool* spoolhp, oratext** poolName,
                                       ub4* poolNameLen, const oratext* connStr, ub4 connStrLen, ub4 sessMin,
                                       ub4 sessMax, ub4 sessIncr, const oratext*, ub4, const oratext*, ub4, ub4 mode) {
    std::string conn(reinterpret_cast<const char*>(connStr), connStrLen);
    Log("OCISessionPoolCreate server=" + conn + " min=" + std::to_string(sessMin) + " max=" + std::to_string(sessMax) +
        " incr=" + std::to_string(sessIncr) + " mode=" + std::to_string(mode));
    Handle* h = Live(spoolhp, OCI_HTYPE_SPOOL);
    if (!h) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (!gDatabases.count(Lower(conn)))
        return Fail(errhp, 12154, Ora(12154, "TNS:could not resolve the connect identifier specified"));
    h->connStr = Lower(conn);
    h->poolName = "FAKEPOOL:" + h->connStr;
    *poolName = reinterpret_cast<oratext*>(h->poolName.data());
    *poolNameLen = static_cast<ub4>(h->poolName.size());
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISessionPoolDestroy(OCISPool* spoolhp, OCIError*, ub4 mode) {
    Log("OCISessionPoolDestroy mode=" + std::to_string(mode));
    return Live(spoolhp, OCI_HTYPE_SPOOL) ? OCI_SUCCESS : OCI_INVALID_HANDLE;
}

FAKE_EXPORT sword OCISessionGet(OCIEnv*, OCIError* errhp, OCISvcCtx** svchp, OCIAuthInfo* authInfop,
                                const oratext* dbName, ub4 dbNameLen, const oratext*, ub4, oratext**, ub4*, ub1*,
                                ub4 mode) {
    std::string pool(reinterpret_cast<const char*>(dbName), dbNameLen);
    Handle* auth = Live(authInfop, OCI_HTYPE_AUTHINFO);
    Log("OCISessionGet pool=" + pool + " user=" + (auth ? auth->user : std::string("?")) +
        " mode=" + std::to_string(mode));
    if (!auth || !svchp) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    std::string db;
    bool found = false;
    for (void* p : gHandles) {
        auto* h = static_cast<Handle*>(p);
        if (h->type == OCI_HTYPE_SPOOL && h->poolName == pool) {
            db = h->connStr;
            found = true;
        }
    }
    if (!found) return Fail(errhp, 24415, Ora(24415, "Missing or null username."));
    if (!CheckUser(auth->user, auth->password))
        return Fail(errhp, 1017, Ora(1017, "invalid username/password; logon denied"));
    Handle* svc = NewHandle(OCI_HTYPE_SVCCTX);
    svc->pooledSession = new Session{Upper(auth->user), db, {}};
    *svchp = reinterpret_cast<OCISvcCtx*>(svc);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISessionRelease(OCISvcCtx* svchp, OCIError*, const oratext*, ub4, ub4 mode) {
    Log("OCISessionRelease mode=" + std::to_string(mode));
    Handle* svc = Live(svchp, OCI_HTYPE_SVCCTX);
    if (!svc || !svc->pooledSession) return OCI_INVALID_HANDLE;
    Destroy(svc);
    return OCI_SUCCESS;
}

namespace {
// A round trip to the server of a service context.
int RoundTrip(Handle* svc, OCIError* errhp) {
    if (!svc || !SessionOf(svc)) return Fail(errhp, 3114, Ora(3114, "not connected to ORACLE"));
    bool stalled;
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        stalled = gStalled;
    }
    if (stalled) Hold();
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (gBroken) return Fail(errhp, 3113, Ora(3113, "end-of-file on communication channel"));
    return OCI_SUCCESS;
}
}  // namespace

FAKE_EXPORT sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
    Log("OCITransCommit flags=" + std::to_string(flags));
    if (int s = Scripted("OCITransCommit")) return s;
    return RoundTrip(Live(svchp, OCI_HTYPE_SVCCTX), errhp);
}

FAKE_EXPORT sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
    Log("OCITransRollback flags=" + std::to_string(flags));
    return RoundTrip(Live(svchp, OCI_HTYPE_SVCCTX), errhp);
}

FAKE_EXPORT sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4) {
    Log("OCIPing");
    return RoundTrip(Live(svchp, OCI_HTYPE_SVCCTX), errhp);
}

FAKE_EXPORT sword OCIBreak(void*, OCIError*) {
    Log("OCIBreak");
    std::lock_guard<std::recursive_mutex> g(gLock);
    gBreak = true;
    gHeldChanged.notify_all();
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIServerVersion(void* hndlp, OCIError*, oratext* bufp, ub4 bufsz, ub1 hndltype) {
    Log("OCIServerVersion type=" + std::to_string(hndltype));
    Handle* svc = Live(hndlp, OCI_HTYPE_SVCCTX);
    Session* s = SessionOf(svc);
    std::string db = s ? s->db : svc && svc->server ? svc->server->db : std::string();
    if (!svc) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    const std::string& banner = gDatabases[db];
    size_t n = std::min<size_t>(banner.size(), bufsz ? bufsz - 1 : 0);
    std::memcpy(bufp, banner.data(), n);
    bufp[n] = 0;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError*, Lda_Def* ldap) {
    Log("OCISvcCtxToLda");
    if (!Live(svchp, OCI_HTYPE_SVCCTX) || !ldap) return OCI_INVALID_HANDLE;
    std::memcpy(ldap->bytes + CDA_CLIENT, &svchp, sizeof svchp);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtPrepare(OCIStmt* stmtp, OCIError*, const oratext* stmt, ub4 len, ub4 language, ub4 mode) {
    std::string sql(reinterpret_cast<const char*>(stmt), len);
    Log("OCIStmtPrepare text=" + sql + " language=" + std::to_string(language) + " mode=" + std::to_string(mode));
    Handle* h = Live(stmtp, OCI_HTYPE_STMT);
    if (!h) return OCI_INVALID_HANDLE;
    FreeStatement(h);
    Script s = Lookup(sql, nullptr);
    std::lock_guard<std::recursive_mutex> g(gLock);
    h->sql = sql;
    h->attributes[OCI_ATTR_STMT_TYPE] = static_cast<ub4>(s.type);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtpp, OCIError*, const oratext* stmt, ub4 len,
                                  const oratext*, ub4, ub4 language, ub4 mode) {
    std::string sql(reinterpret_cast<const char*>(stmt), len);
    Handle* svc = Live(svchp, OCI_HTYPE_SVCCTX);
    if (!svc || !stmtpp) return OCI_INVALID_HANDLE;
    Handle* h = nullptr;
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        auto it = svc->cache.find(sql);
        if (it != svc->cache.end()) {
            h = it->second;
            svc->cache.erase(it);
        }
    }
    Log("OCIStmtPrepare2 text=" + sql + " cached=" + (h ? "1" : "0") + " language=" + std::to_string(language) +
        " mode=" + std::to_string(mode));
    if (!h) {
        h = NewHandle(OCI_HTYPE_STMT);
        Script s = Lookup(sql, nullptr);
        std::lock_guard<std::recursive_mutex> g(gLock);
        h->sql = sql;
        h->attributes[OCI_ATTR_STMT_TYPE] = static_cast<ub4>(s.type);
    }
    FreeStatement(h);
    h->cached = true;
    h->server = svc;  // the service context whose cache takes it back
    *stmtpp = reinterpret_cast<OCIStmt*>(h);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtRelease(OCIStmt* stmtp, OCIError*, const oratext*, ub4, ub4 mode) {
    Log("OCIStmtRelease mode=" + std::to_string(mode));
    Handle* h = Live(stmtp, OCI_HTYPE_STMT);
    if (!h || !h->cached) return OCI_INVALID_HANDLE;
    FreeStatement(h);
    std::lock_guard<std::recursive_mutex> g(gLock);
    Handle* svc = h->server;
    if (svc && gHandles.count(svc) && !svc->cache.count(h->sql))
        svc->cache[h->sql] = h;
    else
        Destroy(h);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const oratext* placeholder, sb4 len,
                                void* valuep, sb4 valueSize, ub2 dty, void* indp, ub2*, ub2*, ub4, ub4*, ub4 mode) {
    std::string name(reinterpret_cast<const char*>(placeholder), len > 0 ? static_cast<size_t>(len) : 0);
    Log("OCIBindByName name=" + name + " dty=" + std::to_string(dty) + " size=" + std::to_string(valueSize) +
        " mode=" + std::to_string(mode));
    if (int s = Scripted("OCIBindByName")) return s;
    Handle* h = Live(stmtp, OCI_HTYPE_STMT);
    if (!h || !bindp) return OCI_INVALID_HANDLE;
    std::string key = Upper(name.substr(!name.empty() && name[0] == ':' ? 1 : 0));
    if (key.size() >= 2 && key.front() == '"') key = key.substr(1, key.size() - 2);
    if (!HasPlaceholder(h->sql, key)) return Fail(errhp, 1036, Ora(1036, "illegal variable name/number"));
    // binding a name again replaces its bind
    DropFirst(h->binds, [&](const Bind* x) { return x->name == key; });
    auto* b = new Bind;
    b->name = key;
    b->value = valuep;
    b->size = valueSize;
    b->dty = dty;
    b->ind = static_cast<sb2*>(indp);
    b->mode = mode;
    h->binds.push_back(b);
    *bindp = reinterpret_cast<OCIBind*>(b);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError*, ub4 pvskip, ub4 indskip, ub4 alskip, ub4 rcskip) {
    Log("OCIBindArrayOfStruct pvskip=" + std::to_string(pvskip) + " indskip=" + std::to_string(indskip) +
        " alskip=" + std::to_string(alskip) + " rcskip=" + std::to_string(rcskip));
    auto* b = reinterpret_cast<Bind*>(bindp);
    b->pvskip = pvskip;
    b->indskip = indskip;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIBindDynamic(OCIBind* bindp, OCIError*, void* ictxp, OCICallbackInBind icbfp, void* octxp,
                                 OCICallbackOutBind ocbfp) {
    Log("OCIBindDynamic");
    auto* b = reinterpret_cast<Bind*>(bindp);
    b->ictx = ictxp;
    b->icb = icbfp;
    b->octx = octxp;
    b->ocb = ocbfp;
    return OCI_SUCCESS;
}

namespace {
// The statement waiting for the piece of a bind or define.
Handle* WaitingFor(const void* handle) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    for (void* p : gHandles) {
        auto* h = static_cast<Handle*>(p);
        if (h->type == OCI_HTYPE_STMT && h->pieceAt < h->pieces.size() && h->pieces[h->pieceAt].handle == handle)
            return h;
    }
    return nullptr;
}

std::string NameOf(Bind* const& b) { return b->name; }

// The end of an execution whose pieces are all through.
sword FinishExecute(Handle* stmt, OCIError* errhp) {
    const Script s = stmt->running;
    stmt->executing = false;
    TransferOut(stmt, s);
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        stmt->attributes[OCI_ATTR_ROW_COUNT] = static_cast<ub4>(s.rows);
        stmt->attributes[OCI_ATTR_SQLFNCODE] = static_cast<ub4>(FunctionCode(s.type));
        stmt->rowid = s.rowid;
        stmt->rowsLeft = s.columns.empty() ? 0 : 1;
    }
    if (s.warning) return Fail(errhp, 24344, Ora(24344, "success with compilation error"), OCI_SUCCESS_WITH_INFO);
    return OCI_SUCCESS;
}

// The pieces of an execution, then its end once they are all through.
sword ContinueExecute(Handle* stmt, OCIError* errhp) {
    sword rc = RunPieces(stmt, errhp);
    if (rc == OCI_SUCCESS) return FinishExecute(stmt, errhp);
    if (rc != OCI_NEED_DATA) stmt->executing = false;
    return rc;
}

// The pieces of a fetch; the fetch ends unless it waits for one.
sword ContinueFetch(Handle* stmt, OCIError* errhp) {
    sword rc = RunPieces(stmt, errhp);
    if (rc != OCI_NEED_DATA) stmt->fetching = false;
    return rc;
}
}  // namespace

FAKE_EXPORT sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError*, void** hndlpp, ub4* typep, ub1* inoutp, ub4* iterp,
                                      ub4* idxp, ub1* piecep) {
    Handle* h = Live(stmtp, OCI_HTYPE_STMT);
    if (!h || h->pieceAt >= h->pieces.size() || !h->pieces[h->pieceAt].asked) {
        Log("OCIStmtGetPieceInfo none");
        return OCI_ERROR;
    }
    const PieceRequest& r = h->pieces[h->pieceAt];
    Log("OCIStmtGetPieceInfo " + NameOfPiece(r) + (r.inout == OCI_PARAM_IN ? " in" : " out") +
        " piece=" + std::to_string(r.piece));
    if (hndlpp) *hndlpp = r.handle;
    if (typep) *typep = r.type;
    if (inoutp) *inoutp = r.inout;
    if (iterp) *iterp = 0;
    if (idxp) *idxp = 0;
    if (piecep) *piecep = r.piece;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtSetPieceInfo(void* hndlp, ub4 type, OCIError*, const void* bufp, ub4* alenp, ub1 piece,
                                      const void* indp, ub2*) {
    Log("OCIStmtSetPieceInfo piece=" + std::to_string(piece) + " len=" + std::to_string(alenp ? *alenp : 0));
    Handle* h = WaitingFor(hndlp);
    if (!h || h->pieces[h->pieceAt].type != type) return OCI_INVALID_HANDLE;
    PieceRequest& r = h->pieces[h->pieceAt];
    r.buf = bufp;
    r.alenp = alenp;
    r.setPiece = piece;
    r.indp = indp;
    r.supplied = true;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                 const OCISnapshot*, OCISnapshot*, ub4 mode) {
    Handle* stmt = Live(stmtp, OCI_HTYPE_STMT);
    if (stmt && stmt->executing) {
        // the execution goes on with the piece just supplied
        Log("OCIStmtExecute resumed");
        return ContinueExecute(stmt, errhp);
    }
    Log("OCIStmtExecute iters=" + std::to_string(iters) + " rowoff=" + std::to_string(rowoff) +
        " mode=" + std::to_string(mode));
    if (int s = Scripted("OCIStmtExecute")) return s;
    Handle* svc = Live(svchp, OCI_HTYPE_SVCCTX);
    if (!svc || !stmt) return OCI_INVALID_HANDLE;
    if (int s = RoundTrip(svc, errhp)) return s;
    Script s = Lookup(stmt->sql, SessionOf(svc));
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        stmt->attributes[OCI_ATTR_PARSE_ERROR_OFFSET] = static_cast<ub4>(s.offset);
        stmt->attributes[OCI_ATTR_PARSE_ERROR_OFFSET_OLD] = static_cast<ub4>(s.offset);
    }
    if (s.hold && !Hold()) return Fail(errhp, 1013, Ora(1013, "user requested cancel of current operation"));
    if (s.block) return Fail(errhp, 3123, Ora(3123, "operation would block"));
    if (s.error) return Fail(errhp, s.error, s.message.empty() ? Ora(s.error, "scripted error") : s.message);
#if FAKEOCI_LITE
    // a Lite database has no national-language views
    if (stmt->sql.find("nls_session_parameters") != std::string::npos)
        return Fail(errhp, 942, Ora(942, "table or view does not exist"));
#endif
    if (!Unbound(stmt->sql, stmt->binds, NameOf).empty())
        return Fail(errhp, 1008, Ora(1008, "not all variables bound"));
    if (stmt->sql.rfind("declare  cursor NlsParamsCursor", 0) == 0 && !s.out.count("CHARSETID"))
        for (Bind* b : stmt->binds)
            if (b->name == "CHARSET") s.out["CHARSETID"] = CharsetIdOf(BindText(*b, 0));
    TransferIn(stmt, iters);
    stmt->running = s;
    if (s.callbacks) {
        TransferByCallbacks(stmt, s);
        return FinishExecute(stmt, errhp);
    }
    QueueBindPieces(stmt, s);
    stmt->executing = true;
    return ContinueExecute(stmt, errhp);
}

FAKE_EXPORT sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position, void* valuep,
                                 sb4 valueSize, ub2 dty, void* indp, ub2* rlenp, ub2*, ub4 mode) {
    Log("OCIDefineByPos position=" + std::to_string(position) + " dty=" + std::to_string(dty) +
        " size=" + std::to_string(valueSize) + " mode=" + std::to_string(mode));
    Handle* h = Live(stmtp, OCI_HTYPE_STMT);
    if (!h || !defnpp) return OCI_INVALID_HANDLE;
    if (position == 0) return Fail(errhp, 1007, Ora(1007, "variable not in select list"));
    // defining a position again replaces its define
    DropFirst(h->defines, [&](const Define* x) { return x->position == position; });
    auto* d = new Define;
    d->position = position;
    d->value = valuep;
    d->size = valueSize;
    d->dty = dty;
    d->ind = static_cast<sb2*>(indp);
    d->rlen = rlenp;
    d->mode = mode;
    h->defines.push_back(d);
    *defnpp = reinterpret_cast<OCIDefine*>(d);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDefineDynamic(OCIDefine* defnp, OCIError*, void* octxp, OCICallbackDefine ocbfp) {
    Log("OCIDefineDynamic");
    auto* d = reinterpret_cast<Define*>(defnp);
    if (!d || d->mode != OCI_DYNAMIC_FETCH) return OCI_INVALID_HANDLE;
    d->octx = octxp;
    d->ocb = ocbfp;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 mode) {
    Handle* stmt = Live(stmtp, OCI_HTYPE_STMT);
    if (!stmt) return OCI_INVALID_HANDLE;
    if (stmt->fetching) {
        Log("OCIStmtFetch resumed");
        return ContinueFetch(stmt, errhp);
    }
    Log("OCIStmtFetch rows=" + std::to_string(nrows) + " orientation=" + std::to_string(orientation) +
        " mode=" + std::to_string(mode));
    if (stmt->rowsLeft <= 0) return OCI_NO_DATA;
    --stmt->rowsLeft;
    const Script s = stmt->running;
    stmt->pieces.clear();
    stmt->pieceAt = 0;
    for (Define* d : stmt->defines) {
        auto it = s.columns.find(static_cast<int>(d->position));
        if (it == s.columns.end() || it->second == "(null)") {
            if (d->ind) *d->ind = -1;
            continue;
        }
        const std::string& text = it->second;
        if (d->mode == OCI_DYNAMIC_FETCH) {
            if (s.callbacks && d->ocb) {
                HandOut(text, [&](void*& buf, ub4*& lenp, void*& ind) {
                    ub1 piece = OCI_NEXT_PIECE;
                    ub2* rcode = nullptr;
                    return d->ocb(d->octx, reinterpret_cast<OCIDefine*>(d), 0, &buf, &lenp, &piece, &ind, &rcode) ==
                           OCI_CONTINUE;
                });
                continue;
            }
            PieceRequest r;
            r.handle = d;
            r.type = OCI_HTYPE_DEFINE;
            r.inout = OCI_PARAM_OUT;
            r.text = text;
            stmt->pieces.push_back(r);
            continue;
        }
        if (d->value && d->size > 0) {
            const size_t n = std::min(text.size(), static_cast<size_t>(d->size - 1));
            std::memcpy(d->value, text.data(), n);
            static_cast<char*>(d->value)[n] = 0;
            if (d->rlen) *d->rlen = static_cast<ub2>(n);
        }
        if (d->ind) *d->ind = 0;
    }
    stmt->fetching = true;
    return ContinueFetch(stmt, errhp);
}

FAKE_EXPORT sword OCIRowidToChar(OCIRowid* rowidDesc, oratext* outbfp, ub2* outbflp, OCIError*) {
    Log("OCIRowidToChar");
    const std::string text = RowidText(*reinterpret_cast<OCIRowidData*>(rowidDesc));
    if (!outbflp || *outbflp < text.size()) return OCI_ERROR;
    std::memcpy(outbfp, text.data(), text.size());
    *outbflp = static_cast<ub2>(text.size());
    return OCI_SUCCESS;
}
#endif

#if FAKEOCI_OCI7
namespace {
// What the Oracle 7 calls keep for a logon or a cursor data area.
struct Area {
    Session* session = nullptr;  // logon areas
    Area* logon = nullptr;       // cursors: their logon
    std::string sql;
    std::vector<Bind> binds;
    // an execution in progress with pieces
    bool running = false;
    Script script;
    int inLeft = 0, outIndex = 0;
    std::string inValue;
    bool inFirst = true;
    size_t outPos = 0;
    enum { None, In, Out } lastRequest = None;
    ub1 setPiece = 0;
    void* setBuffer = nullptr;
    ub4* setLength = nullptr;
};
std::set<Area*> gAreas;

// Records a new area and hands it to the caller's data area; 0 (success).
sword Adopt(Cda_Def* cda, Area* a) {
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        gAreas.insert(a);
    }
    std::memcpy(cda->bytes + CDA_CLIENT, &a, sizeof a);
    return 0;
}

Area* AreaOf(const Cda_Def* cda) {
    Area* a = nullptr;
    std::memcpy(&a, cda->bytes + CDA_CLIENT, sizeof a);
    std::lock_guard<std::recursive_mutex> g(gLock);
    return gAreas.count(a) ? a : nullptr;
}

sword Fail7(Cda_Def* cda, int code, const std::string& message, int offset = 0) {
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        gMessages[code] = message;
    }
    ub2 rc = static_cast<ub2>(code);
    std::memcpy(cda->bytes + CDA_RC, &rc, 2);
    ub2 peo = static_cast<ub2>(offset);
    std::memcpy(cda->bytes + CDA_PEO, &peo, 2);
    return -code;
}

std::string Text7(const oratext* text, sword len) {
    if (!text) return {};
    return len < 0 ? std::string(reinterpret_cast<const char*>(text))
                   : std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(len));
}

std::string OutLongText(const Script& s, int index) {
    auto it = s.out.find("LONG" + std::to_string(index + 1));
    return it == s.out.end() ? std::string() : it->second;
}
}  // namespace

FAKE_EXPORT sword opinit(ub4 mode) {
    Log("opinit mode=" + std::to_string(mode));
    return Scripted("opinit");
}

FAKE_EXPORT sword olog(Lda_Def* lda, ub1*, const oratext* uid, sword uidl, const oratext* pswd, sword pswdl,
                       const oratext* conn, sword connl, ub4 mode) {
    const std::string user = Text7(uid, uidl), password = Text7(pswd, pswdl), db = Text7(conn, connl);
    Log("olog user=" + user + " server=" + db + " mode=" + std::to_string(mode));
    if (int s = Scripted("olog")) return s;
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        if (!gDatabases.count(Lower(db)))
            return Fail7(lda, 12154, Ora(12154, "TNS:could not resolve the connect identifier specified"));
    }
    auto it = kUsers.find(Upper(user));
    if (it == kUsers.end() || it->second != password)
        return Fail7(lda, 1017, Ora(1017, "invalid username/password; logon denied"));
    auto* a = new Area;
    a->session = new Session{Upper(user), Lower(db), {}};
    return Adopt(lda, a);
}

FAKE_EXPORT sword ologof(Lda_Def* lda) {
    Log("ologof");
    Area* a = AreaOf(lda);
    if (!a || !a->session) return Fail7(lda, 1012, Ora(1012, "not logged on"));
    std::lock_guard<std::recursive_mutex> g(gLock);
    gAreas.erase(a);
    delete a->session;
    delete a;
    return 0;
}

FAKE_EXPORT sword ocom(Lda_Def* lda) {
    Log("ocom");
    Area* a = AreaOf(lda);
    if (!a) return Fail7(lda, 1012, Ora(1012, "not logged on"));
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (gBroken) return Fail7(lda, 3113, Ora(3113, "end-of-file on communication channel"));
    return 0;
}

FAKE_EXPORT sword orol(Lda_Def* lda) {
    Log("orol");
    return AreaOf(lda) ? 0 : Fail7(lda, 1012, Ora(1012, "not logged on"));
}

FAKE_EXPORT sword obreak(Lda_Def*) {
    Log("obreak");
    std::lock_guard<std::recursive_mutex> g(gLock);
    gBreak = true;
    gHeldChanged.notify_all();
    return 0;
}

FAKE_EXPORT sword oerhms(Lda_Def*, sb2 rcode, oratext* buf, sword bufsiz) {
    Log("oerhms code=" + std::to_string(rcode));
    std::string message;
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        auto it = gMessages.find(rcode);
        message = it != gMessages.end() ? it->second : Ora(rcode, "message not found");
    }
    size_t n = std::min<size_t>(message.size(), bufsiz > 0 ? static_cast<size_t>(bufsiz - 1) : 0);
    std::memcpy(buf, message.data(), n);
    buf[n] = 0;
    return static_cast<sword>(n);
}

FAKE_EXPORT sword oopen(Cda_Def* cursor, Lda_Def* lda, const oratext*, sword, sword, const oratext*, sword) {
    Log("oopen");
    Area* logon = AreaOf(lda);
    if (!logon || !logon->session) return Fail7(cursor, 1012, Ora(1012, "not logged on"));
    auto* a = new Area;
    a->logon = logon;
    return Adopt(cursor, a);
}

FAKE_EXPORT sword oclose(Cda_Def* cursor) {
    Log("oclose");
    Area* a = AreaOf(cursor);
    if (!a) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    std::lock_guard<std::recursive_mutex> g(gLock);
    gAreas.erase(a);
    delete a;
    return 0;
}

FAKE_EXPORT sword oparse(Cda_Def* cursor, const oratext* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg) {
    std::string sql = sqllen < 0
                          ? std::string(reinterpret_cast<const char*>(sqlstm))
                          : std::string(reinterpret_cast<const char*>(sqlstm),
                                        ::strnlen(reinterpret_cast<const char*>(sqlstm), static_cast<size_t>(sqllen)));
    Log("oparse text=" + sql + " defflg=" + std::to_string(defflg) + " lngflg=" + std::to_string(lngflg));
    Area* a = AreaOf(cursor);
    if (!a) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    a->sql = sql;
    a->binds.clear();
    Script s = Lookup(sql, nullptr);
    ub2 ft = static_cast<ub2>(FunctionCode(s.type));
    std::memcpy(cursor->bytes + CDA_FT, &ft, 2);
    cursor->bytes[CDA_FLG] = s.warning ? CDA_FLG_COMPILE_WARNING : 0;
    return 0;
}

namespace {
sword Bind7(Cda_Def* cursor, const oratext* sqlvar, sword len, ub1* progv, sword progvl, sword ftype, sb2* indp,
            bool piecewise, ub4 maxsiz) {
    Area* a = AreaOf(cursor);
    if (!a) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    Bind b;
    b.name = Upper(Text7(sqlvar, len));
    if (!b.name.empty() && b.name[0] == ':') b.name.erase(0, 1);
    if (b.name.size() >= 2 && b.name.front() == '"') b.name = b.name.substr(1, b.name.size() - 2);
    if (!HasPlaceholder(a->sql, b.name)) return Fail7(cursor, 1036, Ora(1036, "illegal variable name/number"));
    a->binds.erase(std::remove_if(a->binds.begin(), a->binds.end(), [&](const Bind& o) { return o.name == b.name; }),
                   a->binds.end());
    b.value = piecewise ? nullptr : progv;
    b.pvctx = piecewise ? progv : nullptr;
    b.size = progvl;
    b.dty = static_cast<ub2>(ftype);
    b.ind = indp;
    b.piecewise = piecewise;
    b.maxsiz = maxsiz;
    a->binds.push_back(b);
    return 0;
}

std::string NameOf7(const Bind& b) { return b.name; }
}  // namespace

FAKE_EXPORT sword obndrv(Cda_Def* cursor, const oratext* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
                         sword, sb2* indp, const oratext*, sword, sword) {
    Log("obndrv name=" + Text7(sqlvar, sqlvl) + " ftype=" + std::to_string(ftype) + " size=" + std::to_string(progvl));
    return Bind7(cursor, sqlvar, sqlvl, progv, progvl, ftype, indp, false, 0);
}

FAKE_EXPORT sword obndra(Cda_Def* cursor, const oratext* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
                         sword, sb2* indp, ub2*, ub2*, ub4 maxsiz, ub4*, const oratext*, sword, sword) {
    Log("obndra name=" + Text7(sqlvar, sqlvl) + " ftype=" + std::to_string(ftype) + " size=" + std::to_string(progvl) +
        " maxsiz=" + std::to_string(maxsiz));
    return Bind7(cursor, sqlvar, sqlvl, progv, progvl, ftype, indp, false, maxsiz);
}

FAKE_EXPORT sword obindps(Cda_Def* cursor, ub1 opcode, const oratext* sqlvar, sb4 sqlvl, ub1* pvctx, sb4 progvl,
                          sword ftype, sword, sb2* indp, ub2*, ub2*, sb4, sb4, sb4, sb4, ub4, ub4*, const oratext*, sb4,
                          sword) {
    Log("obindps opcode=" + std::to_string(opcode) + " name=" + Text7(sqlvar, sqlvl) +
        " ftype=" + std::to_string(ftype));
    return Bind7(cursor, sqlvar, sqlvl, pvctx, progvl, ftype, indp, true, 0);
}

FAKE_EXPORT sword oexn(Cda_Def* cursor, sword iters, sword rowoff) {
    Area* a = AreaOf(cursor);
    if (!a || !a->logon) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    if (!a->running) {
        Log("oexn iters=" + std::to_string(iters) + " rowoff=" + std::to_string(rowoff));
        {
            std::lock_guard<std::recursive_mutex> g(gLock);
            if (gBroken) return Fail7(cursor, 3113, Ora(3113, "end-of-file on communication channel"));
        }
        Script s = Lookup(a->sql, a->logon->session);
        if (s.hold && !Hold()) return Fail7(cursor, 1013, Ora(1013, "user requested cancel of current operation"));
        if (s.block) return Fail7(cursor, 3123, Ora(3123, "operation would block"));
        if (s.error)
            return Fail7(cursor, s.error, s.message.empty() ? Ora(s.error, "scripted error") : s.message, s.offset);
        if (!Unbound(a->sql, a->binds, NameOf7).empty())
            return Fail7(cursor, 1008, Ora(1008, "not all variables bound"));
        for (Bind& b : a->binds) {
            if (b.piecewise) continue;
            const ub4 n = b.maxsiz > 1 ? static_cast<ub4>(iters) : 1;
            if (n <= 1)
                Log("in :" + b.name + "=" + BindText(b, 0));
            else
                for (ub4 i = 0; i < n; ++i) Log("in :" + b.name + "#" + std::to_string(i) + "=" + BindText(b, i));
        }
        a->running = true;
        a->script = s;
        a->inLeft = s.inPieces;
        a->outIndex = 0;
        a->inValue.clear();
        a->inFirst = true;
        a->outPos = 0;
        a->lastRequest = Area::None;
    } else if (a->lastRequest == Area::In) {
        if (a->setBuffer && a->setLength) a->inValue.append(static_cast<const char*>(a->setBuffer), *a->setLength);
        if (a->setPiece == OCI_LAST_PIECE || a->setPiece == OCI_ONE_PIECE) {
            Log("piece in=" + a->inValue);
            a->inValue.clear();
            a->inFirst = true;
            --a->inLeft;
        }
    } else if (a->lastRequest == Area::Out) {
        const std::string text = OutLongText(a->script, a->outIndex);
        const size_t room = a->setLength ? *a->setLength : 0;
        const size_t n = std::min(room, text.size() - a->outPos);
        if (a->setBuffer && n) std::memcpy(a->setBuffer, text.data() + a->outPos, n);
        if (a->setLength) *a->setLength = static_cast<ub4>(n);
        a->outPos += n;
        if (a->outPos >= text.size() || room == 0) {
            ++a->outIndex;
            a->outPos = 0;
        }
    }
    if (a->inLeft > 0) {
        a->lastRequest = Area::In;
        return -3129;
    }
    if (a->outIndex < a->script.outPieces) {
        a->lastRequest = Area::Out;
        return -3130;
    }
    // done
    a->running = false;
    a->lastRequest = Area::None;
    for (Bind& b : a->binds) {
        if (b.piecewise) continue;
        if (b.name == a->script.cursor) {
            if (b.ind) *b.ind = 0;
            continue;
        }
        auto it = a->script.out.find(b.name);
        if (it != a->script.out.end()) WriteOut(b, it->second, false);
    }
    ub4 rows = static_cast<ub4>(a->script.rows);
    std::memcpy(cursor->bytes + CDA_RPC, &rows, 4);
    ub1* r = cursor->bytes + CDA_ROWID;
    const OCIRowidData& rowid = a->script.rowid;
    r[0] = rowid.kind;
    std::memcpy(r + 1, &rowid.objnum, 4);
    std::memcpy(r + 5, &rowid.file, 2);
    std::memcpy(r + 7, &rowid.block, 4);
    std::memcpy(r + 11, &rowid.row, 2);
    return 0;
}

FAKE_EXPORT sword ogetpi(Cda_Def* cursor, ub1* piecep, void** ctxpp, ub4* iterp, ub4* indexp) {
    Area* a = AreaOf(cursor);
    if (!a || !a->running) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    if (a->lastRequest == Area::In) {
        *piecep = a->inFirst ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
        a->inFirst = false;
    } else {
        *piecep = a->outPos == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
    }
    *ctxpp = nullptr;
    for (Bind& b : a->binds)
        if (b.piecewise) {
            *ctxpp = b.pvctx;
            break;
        }
    if (iterp) *iterp = 0;
    if (indexp) *indexp = 0;
    Log(std::string("ogetpi ") + (a->lastRequest == Area::In ? "in" : "out") + " piece=" + std::to_string(*piecep));
    return 0;
}

FAKE_EXPORT sword osetpi(Cda_Def* cursor, ub1 piece, void* bufp, ub4* lenp) {
    Log("osetpi piece=" + std::to_string(piece) + " len=" + std::to_string(lenp ? *lenp : 0));
    Area* a = AreaOf(cursor);
    if (!a || !a->running) return Fail7(cursor, 1001, Ora(1001, "invalid cursor"));
    a->setPiece = piece;
    a->setBuffer = bufp;
    a->setLength = lenp;
    return 0;
}
#endif
