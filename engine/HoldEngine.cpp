// The optimiser: containers are filled one after the other, each with the
// best of a sweep of greedy trials. The trials of a sweep are independent and
// run on a pool of threads; the winner is the largest loaded volume, ties to
// the earlier trial in sweep order, so the plan does not depend on how many
// threads ran it.

#include "engine/HoldEngine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "engine/TrialIndex.h"
#include "platform/Codes.h"

namespace tms {

namespace detail {

// A worker's own trial state and the best trial it has run in this sweep.
struct Worker {
    TLoadTrial trial;
    detail::TrialOutcome cur;
    detail::TrialOutcome best;
    bool hasBest = false;
};

// Threads that run the trials of one sweep after another.
class SweepPool {
public:
    explicit SweepPool(int threads) {
        for (int i = 0; i < threads; ++i) threads_.emplace_back([this, i] { loop(i); });
    }
    ~SweepPool() {
        {
            std::lock_guard<std::mutex> lk(m_);
            quit_ = true;
        }
        cvWork_.notify_all();
        for (auto& th : threads_) th.join();
    }
    SweepPool(const SweepPool&) = delete;
    SweepPool& operator=(const SweepPool&) = delete;

    // Runs job(worker) on every thread; calls onTrial(done) on this thread
    // each time the count of finished trials grows, until all have ended.
    // An exception from onTrial or from a job asks the other workers to stop
    // (the job polls stopping()); run() returns only once every worker has
    // left the job, whose state lives on the caller's stack, and then
    // rethrows the first exception. The pool is ready for the next run.
    void run(const std::function<void(int)>& job, int total, const std::function<void(int)>& onTrial) {
        {
            std::lock_guard<std::mutex> lk(m_);
            job_ = &job;
            running_ = static_cast<int>(threads_.size());
            done_ = 0;
            error_ = nullptr;
            stop_.store(false, std::memory_order_relaxed);
            ++generation_;
        }
        cvWork_.notify_all();
        int reported = 0;
        std::exception_ptr callerError;
        std::unique_lock<std::mutex> lk(m_);
        for (;;) {
            cvDone_.wait(lk, [&] { return done_ > reported || running_ == 0; });
            const int now = done_;
            const bool finished = running_ == 0;
            lk.unlock();
            if (!callerError) {
                try {
                    while (reported < now && reported < total) onTrial(++reported);
                } catch (...) {
                    callerError = std::current_exception();
                    stop_.store(true, std::memory_order_relaxed);
                }
            }
            if (callerError) reported = now;  // no more reports, only wait
            lk.lock();
            if (finished && done_ == now) break;
        }
        job_ = nullptr;
        std::exception_ptr error = callerError ? callerError : error_;
        error_ = nullptr;
        lk.unlock();
        if (error) std::rethrow_exception(error);
    }

    // True once the run's caller or a worker has failed: the job should
    // leave its loop at the next trial.
    bool stopping() const { return stop_.load(std::memory_order_relaxed); }

    // Called by a worker after each trial.
    void trialDone() {
        {
            std::lock_guard<std::mutex> lk(m_);
            ++done_;
        }
        cvDone_.notify_one();
    }

private:
    void loop(int index) {
        unsigned seen = 0;
        for (;;) {
            const std::function<void(int)>* job;
            {
                std::unique_lock<std::mutex> lk(m_);
                cvWork_.wait(lk, [&] { return quit_ || generation_ != seen; });
                if (quit_) return;
                seen = generation_;
                job = job_;
            }
            try {
                (*job)(index);
            } catch (...) {
                std::lock_guard<std::mutex> lk(m_);
                if (!error_) error_ = std::current_exception();
                stop_.store(true, std::memory_order_relaxed);
            }
            {
                std::lock_guard<std::mutex> lk(m_);
                --running_;
            }
            cvDone_.notify_one();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex m_;
    std::condition_variable cvWork_, cvDone_;
    const std::function<void(int)>* job_ = nullptr;
    unsigned generation_ = 0;
    int running_ = 0;
    int done_ = 0;
    bool quit_ = false;
    std::atomic<bool> stop_{false};
    std::exception_ptr error_;
};

// The workers and threads of the runs, kept from run to run.
struct RunCrew {
    std::vector<std::unique_ptr<Worker>> workers;
    std::unique_ptr<SweepPool> pool;
};

// What a sweep leaves for the run: its winner (nullptr when no trial loaded
// more than bestVolume; it lives in a worker until the next sweep) and
// whether any trial failed to place a piece.
struct SweepOutcome {
    const TrialOutcome* win = nullptr;
    bool overflow = false;
};

}  // namespace detail

namespace {

bool better(const detail::TrialOutcome& a, const detail::TrialOutcome& b) {
    return a.volume > b.volume || (a.volume == b.volume && a.trial < b.trial);
}

bool bad(double v) { return !(v > 0) || !std::isfinite(v); }

// The catalogues hold whole millimetres; a smaller size only makes the run
// crawl (the free spaces split into slivers), so it is refused.
bool belowMm(double v) { return v < 1; }

int boxNumber(const tBox& b, int fallback) {
    try {
        std::size_t used = 0;
        const int n = std::stoi(b.boxNo, &used);
        if (used == b.boxNo.size()) return n;
    } catch (...) {}
    return fallback;
}

// The pieces as the trials read them: one kind per distinct size and turn
// permission, in order of first appearance.
detail::RunPieces preparePieces(const std::vector<Tgoodsinfo>& goods) {
    const std::size_t n = goods.size();
    detail::RunPieces pieces;
    pieces.kindOf.resize(n);
    pieces.weight.resize(n);
    pieces.volume.resize(n);
    pieces.sameAsPrev.resize(n);
    pieces.placed.resize(n);
    std::map<std::tuple<float, float, float, bool>, int> kinds;
    for (std::size_t i = 0; i < n; ++i) {
        const Tgoodsinfo& g = goods[i];
        const bool turn = g.canTurn >= 1;
        auto [it, added] = kinds.emplace(std::make_tuple(g.L, g.W, g.H, turn), static_cast<int>(kinds.size()));
        if (added) pieces.kinds.push_back(detail::makeKind(g.L, g.W, g.H, turn));
        pieces.kindOf[i] = it->second;
        pieces.weight[i] = g.weight;
        pieces.volume[i] = static_cast<double>(g.L) * static_cast<double>(g.W) * static_cast<double>(g.H);
        pieces.sameAsPrev[i] = i > 0 && g.GoodsNo == goods[i - 1].GoodsNo;
        pieces.placed[i] = g.placed;
    }
    return pieces;
}

// What a piece is, apart from where it stands.
void copyIdentity(Tgoodsinfo& to, const Tgoodsinfo& from) {
    to.GoodsNo = from.GoodsNo;
    to.ListId = from.ListId;
    to.GoodsName = from.GoodsName;
    to.L = from.L;
    to.W = from.W;
    to.H = from.H;
    to.weight = from.weight;
    to.canTurn = from.canTurn;
}

// Where a piece stands: placed in container `number` as a trial put it.
void setPlacement(Tgoodsinfo& g, const detail::Placement& pl, int number) {
    g.code = orientations()[pl.orient].code;
    g.placed = 1;
    g.x0 = pl.x0;
    g.y0 = pl.y0;
    g.z0 = pl.z0;
    g.x1 = pl.x1;
    g.y1 = pl.y1;
    g.z1 = pl.z1;
    g.vehicleOrder = number;
}

}  // namespace

THoldEngine::THoldEngine() { opts_ = &options; }

THoldEngine::~THoldEngine() = default;

tBox* THoldEngine::weightBox() {
    if (curBoxIdx < 0 || curBoxIdx >= static_cast<int>(boxArr.size())) return nullptr;
    return &boxArr[static_cast<std::size_t>(curBoxIdx)];
}

std::string THoldEngine::checkInput() const {
    if (boxArr.empty()) return "未指定货柜";
    const tBox& b = boxArr[0];
    if (bad(b.L) || bad(b.W) || bad(b.H)) return "货柜尺寸必须大于0";
    if (belowMm(b.L) || belowMm(b.W) || belowMm(b.H)) return "货柜尺寸不能小于1毫米";
    // NaN would make every weight comparison false and so switch the
    // weight constraint off without a word.
    if (std::isnan(b.maxWeight)) return "货柜载重无效";
    if (trialsPerSweep(options.loadingMode) == 0) return "摆放方式无效";
    for (const Tgoodsinfo& g : goodsArr) {
        if (bad(g.L) || bad(g.W) || bad(g.H)) return "货物 " + g.GoodsNo + " 的尺寸必须大于0";
        if (belowMm(g.L) || belowMm(g.W) || belowMm(g.H)) return "货物 " + g.GoodsNo + " 的尺寸不能小于1毫米";
        if (!(g.weight >= 0) || !std::isfinite(g.weight)) return "货物 " + g.GoodsNo + " 的重量必须是不小于0的数";
    }
    return {};
}

TRunResult THoldEngine::getGoodsArrYH(const std::string& /*OrderFormNo*/) {
    TRunResult result;
    result.error = checkInput();
    if (!result.error.empty()) return result;

    if (bestArr.size() < goodsArr.size()) bestArr.resize(goodsArr.size());
    bestVolume = 0;
    curBoxIdx = 0;
    keepKeys = true;
    startSpaces(boxArr[0].L, boxArr[0].W, boxArr[0].H, 0);
    trialVolume = 0;
    relaxFlag = 0;

    detail::RunPieces pieces = preparePieces(goodsArr);
    readyCrew(trialsPerSweep(options.loadingMode));

    bool relaxStart = false;
    while (!loadList.empty()) {
        const detail::SweepOutcome sweep = runSweep(pieces, relaxStart);
        const std::vector<char> taken = takenFromLoadList(sweep.win);
        const bool piecesRemain = std::find(taken.begin(), taken.end(), 0) != taken.end();

        // Every trial of the sweep failed once and was forgiven: nothing set
        // overflow though pieces remain. Sweep the same empty container again
        // with the upright preference dropped from the start of every trial.
        if (!sweep.overflow && options.preferUpright && !relaxStart && piecesRemain) {
            relaxStart = true;
            continue;
        }
        relaxStart = false;

        // A sweep that places nothing ends the run: what is left fits no
        // empty container.
        if (!sweep.win) break;

        const int number = boxNumber(boxArr[static_cast<std::size_t>(curBoxIdx)], curBoxIdx + 1);
        takeWinner(*sweep.win, number);
        if (boxArr[static_cast<std::size_t>(curBoxIdx)].overflow == 1) openNextContainer();
        markLoaded(*sweep.win, number, taken, pieces);
    }

    collectLeftOver(result);
    startSpaces(boxArr[0].L, boxArr[0].W, boxArr[0].H, 0);
    result.ok = true;
    result.boxesOpened = static_cast<int>(boxArr.size());
    return result;
}

// One worker per thread, at most one per trial; workers and threads stay for
// the next run, their memory with them.
void THoldEngine::readyCrew(int trials) {
    int threads = options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, trials);
    if (!crew_) crew_ = std::make_unique<detail::RunCrew>();
    auto& workers = crew_->workers;
    if (static_cast<int>(workers.size()) != threads) {
        crew_->pool.reset();
        workers.resize(static_cast<std::size_t>(threads));
        for (auto& w : workers)
            if (!w) w = std::make_unique<detail::Worker>();
        if (threads > 1) crew_->pool = std::make_unique<detail::SweepPool>(threads);
    }
    for (auto& w : workers) {
        w->trial.opts_ = &options;
        w->trial.keepKeys = false;
        w->trial.kindArr = kindArr;
        w->trial.kindCount = kindCount;
    }
}

// Runs every trial of the sweep over the current container and leaves the
// engine's fields and the container's load as the sweep's last trial left
// them. The winner is the best trial that loads more than bestVolume.
detail::SweepOutcome THoldEngine::runSweep(const detail::RunPieces& pieces, bool relaxStart) {
    const TLoadingMode mode = options.loadingMode;
    const int trials = trialsPerSweep(mode);
    auto& workers = crew_->workers;
    detail::SweepPool* pool = crew_->pool.get();

    // Every container of a run has the size of the first.
    tBox box = boxArr[static_cast<std::size_t>(curBoxIdx)];
    box.L = boxArr[0].L;
    box.W = boxArr[0].W;
    box.H = boxArr[0].H;
    std::atomic<int> next{0};
    std::atomic<bool> overflow{false};
    double lastVolume = 0, lastWeight = 0;
    for (auto& w : workers) w->hasBest = false;

    auto progress = [&](int position) {
        if (options.progress) options.progress(240, position);
    };
    std::function<void(int)> job = [&](int wi) {
        detail::Worker& w = *workers[static_cast<std::size_t>(wi)];
        for (int ti; (!pool || !pool->stopping()) && (ti = next.fetch_add(1)) < trials;) {
            w.trial.index_->runTrial(pieces, sweepParams(mode, ti), relaxStart, box, w.cur);
            w.cur.trial = ti;
            if (w.cur.overflow) overflow = true;
            if (ti == trials - 1) {
                lastVolume = w.cur.volume;
                lastWeight = w.cur.weight;
            }
            if (w.cur.volume > bestVolume && (!w.hasBest || better(w.cur, w.best))) {
                std::swap(w.cur, w.best);
                w.hasBest = true;
            }
            if (pool)
                pool->trialDone();
            else
                progress(ti + 1);
        }
    };
    progress(0);
    if (pool)
        pool->run(job, trials, progress);
    else
        job(0);

    detail::SweepOutcome out;
    for (auto& w : workers)
        if (w->hasBest && (!out.win || better(w->best, *out.win))) out.win = &w->best;
    out.overflow = overflow;

    setSweepParams(sweepParams(mode, trials - 1));
    trialVolume = lastVolume;
    tBox& cur = boxArr[static_cast<std::size_t>(curBoxIdx)];
    cur.loadedVolume = lastVolume;
    cur.loadedWeight = lastWeight;
    if (out.overflow) cur.overflow = 1;
    return out;
}

// Which entries of loadList the winner's pieces take away (1 = taken); none
// when there is no winner.
std::vector<char> THoldEngine::takenFromLoadList(const detail::TrialOutcome* win) const {
    std::vector<char> taken(loadList.size(), 0);
    if (!win) return taken;
    std::unordered_map<std::string, std::vector<std::size_t>> where;
    for (std::size_t j = loadList.size(); j-- > 0;) where[loadList[j]].push_back(j);
    std::vector<char> inWin(goodsArr.size(), 0);
    for (const auto& pl : win->placed) inWin[static_cast<std::size_t>(pl.piece)] = 1;
    for (std::size_t i = 0; i < goodsArr.size(); ++i) {
        if (!inWin[i]) continue;
        auto it = where.find(goodsArr[i].ListId);
        if (it == where.end() || it->second.empty()) continue;
        taken[it->second.back()] = 1;
        it->second.pop_back();
    }
    return taken;
}

// bestArr := the winner's placements, in container `number`; bestArr's
// other entries keep what they hold but leave the winning set.
void THoldEngine::takeWinner(const detail::TrialOutcome& win, int number) {
    bestVolume = win.volume;
    for (Tgoodsinfo& b : bestArr) b.placed = 0;
    for (const auto& pl : win.placed) {
        const std::size_t i = static_cast<std::size_t>(pl.piece);
        copyIdentity(bestArr[i], goodsArr[i]);
        setPlacement(bestArr[i], pl, number);
    }
}

void THoldEngine::openNextContainer() {
    tBox nb;
    nb.boxNo = std::to_string(curBoxIdx + 2);
    nb.L = boxArr[0].L;
    nb.W = boxArr[0].W;
    nb.H = boxArr[0].H;
    nb.maxWeight = boxArr[0].maxWeight;
    nb.overflow = 0;
    nb.opened = 1;
    nb.loadedVolume = 0;
    nb.loadedWeight = 0;
    boxArr.push_back(nb);
    ++curBoxIdx;
    bestVolume = 0;
    relaxFlag = 0;
    lowX = 0;
    lowY = 0;
}

// The winner's pieces count as loaded and leave loadList.
void THoldEngine::markLoaded(const detail::TrialOutcome& win, int number, const std::vector<char>& taken,
                             detail::RunPieces& pieces) {
    for (const auto& pl : win.placed) {
        const std::size_t i = static_cast<std::size_t>(pl.piece);
        setPlacement(goodsArr[i], pl, number);
        pieces.placed[i] = 1;
    }
    std::size_t keep = 0;
    for (std::size_t j = 0; j < loadList.size(); ++j)
        if (!taken[j]) {
            if (keep != j) loadList[keep] = std::move(loadList[j]);
            ++keep;
        }
    loadList.resize(keep);
}

// The pieces no container took: listed in the result, their bestArr entry
// reset to the identity alone. Counts the containers that hold a piece.
void THoldEngine::collectLeftOver(TRunResult& result) {
    for (std::size_t i = 0; i < goodsArr.size(); ++i) {
        const Tgoodsinfo& g = goodsArr[i];
        if (g.placed) {
            result.boxesUsed = std::max(result.boxesUsed, bestArr[i].vehicleOrder);
            continue;
        }
        result.leftOver.push_back(static_cast<int>(i));
        bestArr[i] = Tgoodsinfo();
        copyIdentity(bestArr[i], g);
    }
}

}  // namespace tms
