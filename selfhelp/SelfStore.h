#pragma once
// Saved self-service loadings in the program's database: save, list, load
// for viewing and delete, plus the container look-ups of the self-service
// window. No window: every operation returns what the window shows.
//
// Tables: HoldSelfHelpOrderForm (one row per loading; the name is
// SelfHelpOrderFormNo), HoldSelfHelpOrderFormList (one row per batch) and
// HoldSelfHelpList (one row per piece, corners with two decimals). The two
// list tables hold the loading's name in OrderFormNo. Goods data are not
// stored: loading reads them from HoldGoods by goods number, so a batch or
// piece whose goods was deleted is left out of the view. Names compare
// case-insensitively, like every key of the database. Every value is bound.
//
// How the self-service window uses it
// -----------------------------------
//   TSelfStore store(conn);
//   "保存" (BBSave)         TSelfSaveResult r = store.save(EditNo text, loading);
//                           show r.message; r.ok -> disable add, name, save and
//                           the container choice.
//   saved-loading combo     items := "－－请选择－－" + store.list().
//   item picked             TSelfLoadResult r = store.load(name, loading);
//                           r.message not empty -> show it. r.status ok: fill
//                           the grid from loading.batches(), the summary from
//                           loading.loadingSummary(), slider maximum from
//                           loading.pieceArr().size(). Any other status: the
//                           loading was reset; reset the window (empty grid
//                           and summary, controls disabled, container combo on
//                           its first item).
//   "删除" (BBDelete)       store.deleteCheck(combo text, first item selected)
//                           -> message or ""; after the confirmation box
//                           ("确实要删除该装箱吗?", "确认信息") store.remove(name);
//                           show its message when not ok.
//   container combo         store.vehicleNumbers();
//   container picked        store.vehicleSize(no): none -> show
//                           kVehicleMissing and loading.reset(); else
//                           loading.setContainer(no, L, W, H).

#include <optional>
#include <string>
#include <vector>

#include "selfhelp/SelfLoading.h"

class TADOConnection;

namespace tms {

// "该箱柜不存在，可能已经删除!"
extern const char* const kVehicleMissing;

// The check a save was refused by; none when the work was done or the
// database failed.
enum class TSelfSaveCheck { none, noName, noGoods, nameTaken, noContainer };

struct TSelfSaveResult {
    bool ok = false;      // true only once everything was committed
    std::string message;  // "保存成功!", a check's message, or the database error
    TSelfSaveCheck refused = TSelfSaveCheck::none;
};

enum class TSelfLoadStatus {
    ok,              // the loading is on view
    notFound,        // no saved loading of that name
    vehicleMissing,  // its container is no longer in the catalogue
    noBatches,       // none of its batches is left (their goods are gone); message says so
    failed,          // the database failed; message holds the error
};

struct TSelfLoadResult {
    TSelfLoadStatus status = TSelfLoadStatus::failed;
    std::string message;    // shown when not empty
    std::string vehicleNo;  // the loading's container number ("" when not found)
};

struct TSelfDeleteResult {
    bool ok = false;
    std::string message;  // the database error when not ok
};

struct TVehicleSize {
    double L = 0, W = 0, H = 0;  // inner length, width, height in mm
};

class TSelfStore {
public:
    explicit TSelfStore(TADOConnection& conn) : conn_(conn) {}

    // Checks, in order: a name that is empty or all blank "请录入装箱名称!";
    // no piece "您还没有添加货物，请添加货物!"; a name already saved (any
    // case) "该名称已经存在，请重新录入!"; a loading on view or without a
    // container cannot be saved ("请先选择一个箱柜"). Then the header, one row
    // per batch and one per piece are written in one transaction, dated
    // `date` (yyyy-MM-dd; empty = today). "保存成功!" comes only after the
    // commit; on any failure nothing is written and the message is the error.
    // The name is stored as typed.
    TSelfSaveResult save(const std::string& name, const TSelfLoading& loading, const std::string& date = {});

    // Names of the saved loadings, newest save date first and, within one
    // day, the later save first.
    std::vector<std::string> list();

    // Opens a saved loading for viewing: `loading` is reset and, when the
    // loading, its container and at least one batch are found, gets the
    // container, the batches in batch order and the pieces in ListId order
    // (colour from the goods; a colour text that cannot be read draws grey).
    // On any other outcome `loading` stays reset.
    TSelfLoadResult load(const std::string& name, TSelfLoading& loading);

    // Check before the confirmation box of "删除": "请选择一个装箱!" when the
    // combo text is blank or its first item is selected; "" otherwise.
    static std::string deleteCheck(const std::string& comboText, bool firstItemSelected);
    // Deletes the pieces, batches and header of a saved loading in one
    // transaction; on failure nothing is deleted.
    TSelfDeleteResult remove(const std::string& name);

    // The container numbers in catalogue order.
    std::vector<std::string> vehicleNumbers();
    // The inner size of a container; none when it is not in the catalogue.
    std::optional<TVehicleSize> vehicleSize(const std::string& vehicleNo);

private:
    TADOConnection& conn_;
};

}  // namespace tms
