#pragma once
// A self-service loading: one container filled by hand, batch by batch.
// Plain C++, no window and no database.
//
// The user picks a goods, an amount, a fill order and an orientation; every
// piece of the batch is put at the corner of the free space that comes
// first in the fill order and can hold it standing in that orientation. The
// placement never chooses or tries an orientation of its own, and the first
// piece that finds no room ends the batch.
//
// How the two windows use it
// --------------------------
//   TSelfLoading loading;                    // owned by the self-service window
//
//   Self-service window ("自助装箱"):
//     new loading / window closed      loading.reset();
//     container chosen                 loading.setContainer(no, L, W, H);
//                                      (a container that cannot be read:
//                                       loading.reset(), so adding asks for one)
//     add-goods dialog OK              TBatchResult r = loading.placeBatch(
//                                          goodsOrNull, EditNum text,
//                                          RGPlaceDirection item, RGPlaceType item);
//                                      !r.accepted: show r.message, stay open;
//                                      else: r.placed > 0 -> grid row
//                                      gridTexts(loading.batches().back()), summary text
//                                      r.summary, container combo disabled;
//                                      r.message not empty -> show it (the
//                                      shortfall "共装了 ..."); slider maximum
//                                      := loading.pieceArr().size(); close.
//     grid / slider / stepping / all   showBatch, showUpTo,
//                                      stepBatches(heapStep), showAll; then
//                                      redraw from pieceArr() (shown, alpha,
//                                      verts, colour, placeText).
//     loading ratio, piece count       GetZXL(), GetAllGoodsNum(),
//                                      loadingSummary(), stepSummary(step).
//
// Geometry: X along the container length, Y up the height, Z across the
// width; millimetres; the container's inner space runs from (0, 0, 0) to
// (L, H, W). Free-space corners are float and extents double, and every
// comparison is exact, with no tolerance: the same inputs always give the
// same corners.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/HoldEngine.h"

namespace tms {

// ------------------------------------------------------------- the choices --

// One of the six fill orders of the add-goods dialog. In the text 里 stands
// for X, 下 for Y and 左 for Z, highest priority first.
struct FillOrder {
    int number;        // 1..6, as the self-service tables store it (= item + 1)
    const char* text;  // "里->下->左" ...
    int keys[3];       // axes compared first, second, third: 0 = x, 1 = y, 2 = z
};

// Items 0..5 of the dialog's fill-order choice, in order.
const std::array<FillOrder, 6>& fillOrders();
// nullptr for any other number or text.
const FillOrder* fillOrderByNumber(int number);
const FillOrder* fillOrderByText(std::string_view text);

// Texts a stored number shows as: the known text, or the number itself for a
// value outside 1..6.
std::string fillOrderText(int number);
std::string placeTextOf(int orientationNumber);

// The dialog's orientation items 0..5 are the orientations 1..6 of
// orientations() (Codes.h): "立放，正向" ... "卧放，正向".

// ------------------------------------------------------------- the records --

// One manually placed piece.
struct TgoodsinfoSelf {
    using Vertex = std::array<float, 3>;

    std::string GoodsNo;
    int ListId = 0;  // 0-based index in pieceArr when it was created
    std::string GoodsName;
    float L = 0, W = 0, H = 0;      // goods length, width, height in mm
    double weight = 0;              // kg
    double x0 = 0, y0 = 0, z0 = 0;  // near corner of the placed piece
    double x1 = 0, y1 = 0, z1 = 0;  // far corner
    std::string placeText;          // placement text of its orientation
    // The eight corners relative to the container centre: bottom face
    // (x0,y0,z0) (x1,y0,z0) (x1,y0,z1) (x0,y0,z1), then the top face in the
    // same order with y1. Empty (all 0) when no container is set up.
    std::array<Vertex, 8> verts{};
    float red = 0, green = 0, blue = 0;  // drawing colour, 0..1
    float alpha = 1;                     // 1 drawn opaque, 0 hidden
    std::uint8_t shown = 1;              // 1 drawn, 0 not
    int batch = 0;                       // 1-based batch number (grid row)
};

// One row of the self-service window's batch grid.
struct SelfBatch {
    std::string colorText;       // column 0: the goods colour text "R,G,B"
    int batch = 0;               // column 1: batch number, 1, 2, ...
    std::string goodsName;       // column 2
    std::string goodsNo;         // column 3
    int amount = 0;              // column 4: pieces placed
    double L = 0, W = 0, H = 0;  // columns 5..7: goods length, width, height
    double weight = 0;           // column 8
    int fillOrder = 0;           // column 9 shows fillOrderText(fillOrder)
    int placeType = 0;           // column 10 shows placeTextOf(placeType)
};

// Titles of the batch grid's columns 0..10 (row 0).
const std::array<const char*, 11>& gridTitles();
// The texts of a batch's grid row, columns 0..10: numbers as plain decimals,
// the fill order and orientation as their texts.
std::array<std::string, 11> gridTexts(const SelfBatch& b);

// The goods row chosen in the dialog's goods grid (catalogue values).
struct SelfGoods {
    std::string GoodsNo;
    std::string GoodsName;
    double Length = 0, Width = 0, Height = 0;  // mm
    double Weight = 0;                         // kg
    std::string Color;                         // "R,G,B"
};

// The dialog entry a refused input is about, so the dialog can put the
// focus there.
enum class TBatchEntry { none, amount, fillOrder, placeType, goods };

// What one press of the dialog's OK did.
struct TBatchResult {
    // false: the input was refused and nothing changed; `message` says why
    // (one of the dialog's texts) and the dialog stays open.
    bool accepted = false;
    // Refused: the reason. Accepted: "共装了 m 件货物，共有 k 件货物未装"
    // when not every piece found room, else empty.
    std::string message;
    // Refused: the entry to correct; none when the reason is no entry of
    // the dialog (no container, faulty goods data).
    TBatchEntry refused = TBatchEntry::none;
    int batch = 0;   // number of the new batch; 0 when no piece was placed
    int placed = 0;  // pieces placed (m)
    int left = 0;    // pieces that found no room (n - m)
    // The window's summary after a batch with pieces; empty when placed = 0.
    std::string summary;
};

// Amount text of the dialog: decimal digits only, an optional sign, blanks
// around allowed. Returns "" and sets n when 1 <= n <= 5000, else the
// dialog's message: "请录入数量", "录入的数量有误，请重新录入!",
// "录入的数量太大了，请重新录入!", "录入的数量太小了，请重新录入!".
std::string checkAmount(std::string_view text, int& n);

// The loading ratio text is ratioText (platform/Codes.h), as in the assembly drawing:
// one rule for both drawings.

// The self-service key of a free space: z "Z" y "Y" x "X" len "SL" wid "SW"
// hei "Sh", each number in general decimal form (up to 15 digits).
std::string SpaceKey(const TSpace& S);

// --------------------------------------------------------------- the state --

class TSelfLoading {
public:
    static constexpr int kMaxAmount = 5000;

    TSelfLoading() = default;
    TSelfLoading(const TSelfLoading&) = delete;
    TSelfLoading& operator=(const TSelfLoading&) = delete;

    // Drops every piece, batch and free space and the container: the state of
    // a new loading before a container is chosen.
    void reset();

    // Sets up the container of a new loading (inner length, width, height in
    // mm): its whole-container space becomes the one free space. Any pieces,
    // batches and spaces of before are dropped. The loading keeps this size
    // for its placement, its vertices and its ratio; nothing else changes it.
    void setContainer(const std::string& vehicleNo, double L, double W, double H);
    bool hasContainer() const { return hasContainer_; }
    const std::string& vehicleNo() const { return vehicleNo_; }
    double containerL() const { return wholeSpace_.len; }
    double containerW() const { return wholeSpace_.wid; }
    double containerH() const { return wholeSpace_.hei; }
    const TSpace& wholeSpace() const { return wholeSpace_; }

    // A loading read back from the store is for viewing only: no batch can be
    // added to it (its free spaces are not rebuilt).
    bool viewOnly() const { return viewOnly_; }

    // The add-goods dialog's OK. `goods` is the chosen goods row (nullptr:
    // none chosen), `amountText` the amount as typed, `fillOrderItem` and
    // `placeTypeItem` the chosen items 0..5 (-1: none). Checks, in order: the
    // amount (checkAmount), "请选择摆放方向", "请选择摆放方式", a container
    // set up and not a loading on view ("请先选择一个箱柜"), "请选择一个货物",
    // the goods' length, width and height above 0 ("货物的尺寸有误，请检查货物资料!")
    // and its colour text ("货物的颜色有误，请检查货物资料!"); a refused input
    // changes nothing. Then the pieces are placed one by one until one finds
    // no room; the placed part becomes the last batch (none when no piece was
    // placed).
    TBatchResult placeBatch(const SelfGoods* goods, std::string_view amountText, int fillOrderItem, int placeTypeItem);

    // Places one piece (L, W, H set) standing in orientation item 0..5 at the
    // free space that comes first in fill order item 0..5. True when placed:
    // the corners, placeText and verts of G are set and the free spaces
    // updated. False when no free space holds it; nothing changes. Does not
    // add G to pieceArr (placeBatch does).
    bool GetCoordinate(TgoodsinfoSelf& G, int fillOrderItem, int placeTypeItem);

    const std::vector<TgoodsinfoSelf>& pieceArr() const { return pieceArr_; }
    const std::vector<SelfBatch>& batches() const { return batches_; }

    // Sum of the batches' placed pieces.
    int GetAllGoodsNum() const;
    // Loading ratio text of the batches in this container ("87.5%"); empty
    // when no container is set up or its volume is 0.
    std::string GetZXL() const;

    // Which pieces are drawn (shown = 1 and alpha = 1, the others 0 and 0):
    void showBatch(int batch);  // the pieces of one batch (grid row click)
    // The first position + 1 pieces of pieceArr (piece slider; its maximum,
    // the number of pieces, shows all). While building, a piece's place in
    // pieceArr is its ListId; a loading read back whose goods were partly
    // deleted has gaps in its ListIds, and the slider still reaches every
    // piece one by one.
    void showUpTo(int position);
    void showAll();
    // Batch stepping with the step counter shared with the assembly drawing.
    // With fewer than two batches nothing changes and `heapStep` is returned
    // unchanged. Otherwise the counter advances by one, wraps past the last
    // batch to 1, the first batches up to the new value (in grid order) are
    // shown, and it is returned. The batches stepped over are those of
    // batches(), so a loading read back with gaps in its batch numbers
    // reaches every batch.
    int stepBatches(int heapStep);
    // The numbers of the first `step` batches in grid order (the keys the
    // stepper shows).
    std::vector<std::string> batchKeys(int step) const;

    // Summary texts of the window (lines joined by "\n").
    // After batch `batch` was added (the add-goods dialog).
    std::string batchSummary(int batch) const;
    // The loading as a whole (show all, load).
    std::string loadingSummary() const;
    // Batches 1 to `step` while stepping.
    std::string stepSummary(int step) const;

    // ---- for the store: a loading read back for viewing --------------------
    void beginView(const std::string& vehicleNo, double L, double W, double H);
    void addViewBatch(const SelfBatch& b) { batches_.push_back(b); }
    // Appends a stored piece (corners, goods and colour set); its verts are
    // computed from this container.
    void addViewPiece(TgoodsinfoSelf p);

    // ---- the placement's free spaces, for inspection -----------------------
    struct Entry {
        std::string text;  // the key when the space was added; never updated
        TSpace* space;
    };
    const std::vector<Entry>& freeSpaces() const { return freeSpaces_; }

    // Steps of the placement (exposed for tests).
    bool JudgeIfIn(const TSpace& S, const TgoodsinfoSelf& G, int placeTypeItem) const;
    // The cut pass of placed piece G over the active listed spaces, skipping
    // the space whose key is k.
    void InvadeSpace(const std::string& k, const TgoodsinfoSelf& G);
    // Merges S with the list; true when S is not to be added.
    bool UnitSpace(TSpace& S);

private:
    void appendSpace(const TSpace& S);
    void setVerts(TgoodsinfoSelf& G) const;
    void setShown(TgoodsinfoSelf& p, bool on) const;

    std::string vehicleNo_;
    TSpace wholeSpace_;
    bool hasContainer_ = false;
    bool viewOnly_ = false;
    std::vector<Entry> freeSpaces_;
    std::deque<TSpace> spacePool_;  // owns every added space; stable addresses
    std::vector<TgoodsinfoSelf> pieceArr_;
    std::vector<SelfBatch> batches_;
};

}  // namespace tms
