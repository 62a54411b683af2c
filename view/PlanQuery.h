#pragma once
// What the plan loading and the plan stepping share when they read the plan
// rows of one container. Used only inside the plan display library.

#include <QString>
#include <string>
#include <string_view>

class QVariant;
class TADOQuery;

namespace tms::detail {

// The per-pile grid rows of a container (parameters: order number, container
// number). The pile lists are read from these rows as well, so the pile
// stepper walks the piles exactly as the grid lists them. Piles come by
// their origin, then (piles that share it, or have none) by pile id, goods
// and placement: the order in which grouping by those columns and sorting
// by origin leave them, spelled out so it holds on any database build. The
// report's pile query orders alike.
extern const char* const kPileGridSql;

// A cell as the grids show it (TADOQuery::displayText), as UTF-8.
std::string cellText(const QVariant& v);

// Splits a colour text "R,G,B" at "," and hands the first three parts to
// read(k, part), k = 0..2; parts after the third are ignored. False when
// there are fewer than three parts or `read` refuses one.
template <class Read>
bool readThreeParts(std::string_view text, Read read) {
    std::size_t start = 0;
    for (int k = 0; k < 3; ++k) {
        if (start > text.size()) return false;
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        if (!read(k, text.substr(start, comma - start))) return false;
        start = comma + 1;
    }
    return true;
}

// Sets `sql` on `query` and opens it, its parameter 1 bound to the order
// number and parameter 2 to the container number (vehicleOrder). Throws
// EDatabaseError as Open does.
void openOnContainer(TADOQuery& query, const QString& sql, const std::string& order, int vehicleOrder);

}  // namespace tms::detail
