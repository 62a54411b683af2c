#include "oracle/OraEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>

#include "oracle/OraText.h"

namespace tms::ora {

namespace {
// getenv and setenv are not safe against each other: every use goes through
// this lock.
std::mutex gEnvLock;
}  // namespace

bool GetEnvironmentVariable(const std::string& name, std::string& value) {
    std::lock_guard<std::mutex> g(gEnvLock);
    const char* v = std::getenv(name.c_str());
    if (!v) return false;
    value = v;
    return true;
}

std::string GetEnvironmentText(const std::string& name) {
    std::string v;
    GetEnvironmentVariable(name, v);
    return v;
}

void SetEnvironmentVariable(const std::string& name, const std::string& value) {
    std::lock_guard<std::mutex> g(gEnvLock);
    ::setenv(name.c_str(), value.c_str(), 1);
}

std::vector<std::string> SplitPathList(std::string_view list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(PathListSep, start);
        if (end == std::string_view::npos) end = list.size();
        std::string entry = Trim(list.substr(start, end - start));
        if (!entry.empty()) out.push_back(std::move(entry));
        start = end + 1;
    }
    return out;
}

std::string ExtractFileDir(std::string_view fileName) {
    size_t p = fileName.rfind(PathDelim);
    if (p == std::string_view::npos) return {};
    if (p == 0) return "/";
    return std::string(fileName.substr(0, p));
}

std::string ExtractFileName(std::string_view fileName) {
    size_t p = fileName.rfind(PathDelim);
    return std::string(p == std::string_view::npos ? fileName : fileName.substr(p + 1));
}

std::string ExcludeTrailingDelimiter(std::string_view folder) {
    std::string f(folder);
    while (f.size() > 1 && f.back() == PathDelim) f.pop_back();
    return f;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string f = ExcludeTrailingDelimiter(folder);
    while (!name.empty() && name.front() == PathDelim) name.remove_prefix(1);
    if (f == "/") return f + std::string(name);
    return f + PathDelim + std::string(name);
}

std::string NativePath(std::string_view path) {
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', PathDelim);
    return p;
}

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {
// The entry of folder named like name, exact case first; "" when none.
std::string FindEntryNoCase(const std::string& folder, const std::string& name) {
    struct stat st {};
    if (::lstat(JoinPath(folder, name).c_str(), &st) == 0) return name;
    std::string found;
    if (DIR* d = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (SameText(e->d_name, name)) {
                found = e->d_name;
                break;
            }
        }
        ::closedir(d);
    }
    return found;
}

bool MatchesNoCase(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*') {
        for (size_t i = 0; i <= name.size(); ++i)
            if (MatchesNoCase(pattern.substr(1), name.substr(i))) return true;
        return false;
    }
    if (name.empty()) return false;
    if (pattern[0] != '?' && UpperCase(pattern.substr(0, 1)) != UpperCase(name.substr(0, 1))) return false;
    return MatchesNoCase(pattern.substr(1), name.substr(1));
}
}  // namespace

std::string FindFileNoCase(const std::string& folder, std::string_view relative) {
    std::string current = folder;
    std::string rest = NativePath(relative);
    while (!rest.empty() && rest.front() == PathDelim) rest.erase(0, 1);
    if (rest.empty()) return {};
    for (;;) {
        size_t p = rest.find(PathDelim);
        std::string part = rest.substr(0, p);
        if (!part.empty()) {
            std::string entry = FindEntryNoCase(current, part);
            if (entry.empty()) return {};
            current = JoinPath(current, entry);
        }
        if (p == std::string::npos) break;
        rest.erase(0, p + 1);
    }
    return FileExists(current) ? current : std::string();
}

std::vector<std::string> FindFilesNoCase(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string full = JoinPath(folder, e->d_name);
            if (MatchesNoCase(pattern, e->d_name) && FileExists(full)) out.push_back(full);
        }
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace tms::ora
