#pragma once
// The table of Oracle character-set names and their numeric identifiers,
// built at start-up: the published names, "DEFAULT" (-1) and the aliases
// "ASCII", "ISO_LATIN_1", "UNICODE_1" and "UNICODE_2". Sorted by name
// (ordinal bytes), each name once.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tms::ora {

using TCharsetRow = std::pair<std::string, int32_t>;
// The rows, sorted by name; empty before start-up and after shutdown.
std::vector<TCharsetRow> CharsetTable();
// The identifier of a name (compared without regard to case); false when
// the name is not in the table.
bool CharsetId(const std::string& name, int32_t& id);

void OraNetStartup();
void OraNetShutdown();

}  // namespace tms::ora
