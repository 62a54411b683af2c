#pragma once
// Environment variables, the search PATH and file names, with this
// platform's separators. The client loader compares folders without regard
// to case, as the client's own platform does; FindFileNoCase finds a file
// whose name differs from the one asked for only in case.

#include <string>
#include <string_view>
#include <vector>

namespace tms::ora {

constexpr char PathDelim = '/';    // between the parts of a file name
constexpr char PathListSep = ':';  // between the entries of PATH

// Reads and sets an environment variable (an empty value is kept as such).
bool GetEnvironmentVariable(const std::string& name, std::string& value);
std::string GetEnvironmentText(const std::string& name);  // "" when unset
void SetEnvironmentVariable(const std::string& name, const std::string& value);

// PATH entries in order: split at the separator, trimmed, empty ones left out.
std::vector<std::string> SplitPathList(std::string_view list);

// The folder of a file name without the trailing separator ("" for none),
// and the name after the last separator.
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
// Joins a folder and a relative name with one separator.
std::string JoinPath(std::string_view folder, std::string_view name);
// A trailing separator is removed (the root stays "/").
std::string ExcludeTrailingDelimiter(std::string_view folder);
// Converts the client's "\" separators to this platform's.
std::string NativePath(std::string_view path);

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& folder);
// The existing file whose name equals folder + "/" + relative with each part
// of relative compared without regard to case; "" when there is none. An
// exact match wins over one that differs in case.
std::string FindFileNoCase(const std::string& folder, std::string_view relative);
// The files of a folder whose names match a pattern with "*" and "?"
// (without regard to case), sorted by name.
std::vector<std::string> FindFilesNoCase(const std::string& folder, std::string_view pattern);

}  // namespace tms::ora
