#pragma once
// The loading details report: a fixed-column plain-text list of an order's
// header, container type, goods and, container by container, its piles.
// Columns are filled with spaces by the width of the text in the Chinese
// code page GBK (a Chinese character 2 columns, an ASCII character 1), so
// they line up in a font where a Chinese character is twice as wide.
// Plain C++ over the data layer; every value is bound.
//
// Use from the drawing window's "装配清单" button and the details window:
//   tms::TLoadingReport r = tms::loadingReport(conn, order);
//   RE shows r.lines (UTF-8); "保存为文本" writes r.bytes (or
//   tms::reportBytes(lines of RE)) to the chosen file, replacing it.

#include <string>
#include <string_view>
#include <vector>

class TADOConnection;

namespace tms {

struct TLoadingReport {
    std::vector<std::string> lines;  // UTF-8, as the window shows them
    std::string bytes;               // GBK, every line ended by CR LF
};

// The report of `order`. Goods come in the order of the order's lines
// (Sequence); piles in the order of their origin dx, dy, dz, then pile id
// and goods number, so the report is the same every time. Blocks whose rows
// are missing (no order row, no container row, no plan rows) are left out.
// A character GBK cannot hold is written as "?" and counts one column.
// Throws EDatabaseError when a query fails.
TLoadingReport loadingReport(TADOConnection& conn, const std::string& order);

// UTF-8 to GBK bytes; each character GBK lacks (and each broken UTF-8
// sequence) becomes "?".
std::string toGbk(std::string_view utf8);
// GBK bytes back to UTF-8.
std::string fromGbk(std::string_view gbk);
// The bytes saved for these lines: GBK, CR LF after every line.
std::string reportBytes(const std::vector<std::string>& lines);

// The window's text routines, counting GBK columns.
std::string addSpaceBack(std::string_view s, int n);   // s, then spaces up to n
std::string addSpaceFront(std::string_view s, int n);  // spaces, then s, up to n
std::string addSpace(std::string_view s);              // shorter than 30: spaces up to 31
std::string delSpace(std::string_view s);              // text before the first space, trimmed

}  // namespace tms
