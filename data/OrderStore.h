#pragma once
// Loading orders in plain C++: the checks a new order passes before anything
// is stored, the store of a new order with its plan, the recalculation of a
// stored order and the delete of an order. The new-order and order
// management windows read their controls into these records, call these
// routines and show what they answer.
//
// Every write of one routine is one transaction: the header, the lines, the
// plan rows with their piles and the "computed" mark of a new order are
// stored together or not at all, and a recalculation that fails keeps the
// old plan. Every value is bound.

#include <QDate>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/PlanOrder.h"

class TADOConnection;

namespace tms {

class THoldEngine;

// The largest amount of one order line.
inline constexpr int kMaxAmount = 30000;
// The most pieces of one order line: the serial of a piece id has six
// digits (000000 ... 999999), so a type-A count beyond this is refused.
inline constexpr int kMaxSerialPieces = 999999;
// The declared size of the order's text fields, in characters.
inline constexpr int kOrderTextSize = 50;

// One line of the new-order window's list: the goods number and the amount
// as typed.
struct TEntryLine {
    QString goodsNo;
    QString amount;
};

// What the new-order window holds when "计算保存" is pressed.
struct TOrderEntry {
    QString orderNo;  // as typed; blanks around it are dropped
    QString name;
    QString destination;
    QString consigner;
    QDate sailDate;
    QString vehicleNo;  // number of the chosen container; empty when none is chosen
    bool typeA = false;
    TLoadingMode loadingMode = TLoadingMode::unrestricted;
    QString addL, addW, addH;  // margins in mm as typed; a blank box counts as 0
    QList<TEntryLine> lines;   // in loading order
};

// Which entry a refusal is about, so the window can put the focus there.
enum class TOrderField { none, orderNo, container };

struct TOrderOutcome {
    enum class Kind {
        refused,  // a check failed: nothing was written; `message` says which
        failed,   // the database or the engine failed: nothing was written
        stored,   // the order and its plan are stored and marked computed
    };
    Kind kind = Kind::refused;
    // refused / failed: the text to show. stored: empty, or the notice that
    // pieces were left over.
    QString message;
    TOrderField focus = TOrderField::none;
    QString orderNo;  // the order number without blanks around it
    TPlanResult plan;

    bool stored() const { return kind == Kind::stored; }
};

// "计算保存": checks the entry in the window's order (type A holds one goods,
// some goods are listed, the order number is free, a container is chosen
// and an order number given, the text sizes, every amount of type B, the
// margins, the container and every goods still in the catalogue, for type B
// every goods fits an empty container, for type A the count fits the
// serial), then stores header and lines, fills the engine, runs the
// calculation, stores the plan and marks the order computed, all in one
// transaction, which checks the order number once more (another copy of
// the program may have taken it meanwhile). The plan of a type-A order
// keeps container 1 only; a type-A count of 0 stores the order with an
// empty plan. Type A stores the amount text as typed (its box is hidden).
// `switches` are those of the moment (the settings, the window's boxes,
// threads, progress); their launch path, calculation type and placement
// mode are set here from the order, in both calls.
TOrderOutcome computeNewOrder(TADOConnection& conn, THoldEngine& engine, const TOrderEntry& entry,
                              const TEngineOptions& switches);

// "计算" in order management: rebuilds the engine input from the stored
// header and the lines joined with their goods, runs the calculation with
// the stored placement mode and replaces the old plan, marking the order
// computed with the switches of this moment. A line whose goods is no
// longer in the catalogue refuses the run by name. On any refusal or
// failure the old plan and header stay as they were.
TOrderOutcome recalculateOrder(TADOConnection& conn, THoldEngine& engine, const QString& orderNo,
                               const TEngineOptions& switches);

// Removes the order's plan rows, lines and header in one transaction; a
// database error is thrown as EDatabaseError and leaves all three.
void deleteOrder(TADOConnection& conn, const QString& orderNo);

// An amount as typed: a whole number 0..kMaxAmount (blanks around it
// allowed); nothing otherwise.
std::optional<int> amountOf(const QString& text);
// A margin as typed: blank is 0, otherwise a whole number 0..99999.
std::optional<int> marginOf(const QString& text);

// The notice after a calculation that could not place every piece.
QString leftOverMessage(int placed, int leftOver);
// The refusal naming the goods no empty container can take.
QString unplaceableMessage(const std::vector<TUnplaceableGoods>& goods);
// The refusal of a type-A count above kMaxSerialPieces.
QString typeATooMany(int count);

// ---------------------------------------------------------------- order list

// The order list of order management: orders joined with their container
// (an order whose container is gone is not listed), with the texts of the
// codes in the extra columns CountTypeText, LoadingTypeText,
// DirectionText, WeightText and BestStandText. With a `filterField`
// ("OrderFormNo" or "OrderFormName") the rows are those whose field is
// like the bound value (case-insensitive; bind likePattern of the text, so
// "%" and "_" in it are wildcards); `orderBy` is a column of the list (a text column sorts by its code) or
// empty.
QString orderListSql(const QString& filterField, const QString& orderBy, bool descending);
// The pattern a search binds (the order list's and the catalogues'): the
// text between two "%", so "%" and "_" in it are wildcards; bound, a quote
// is only a character.
QString likePattern(const QString& text);
// The lines of one order (bound value 1) joined with their goods, in
// loading order.
QString orderLinesSql();
// A sailing date as the header holds it: a real date written yyyy-MM-dd.
bool isDateText(const QString& text);

}  // namespace tms
