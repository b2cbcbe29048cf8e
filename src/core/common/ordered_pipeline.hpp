// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Items 0 .. count − 1 made on worker threads ahead of one consumer, who takes
// them in order: the next slices decoded while one is counted, the next files
// measured while the rows before them are written. Every piece of work of the
// core and the command line that runs off the consumer's thread goes through
// this one shape:
//
// - Order: next() gives item 0, then item 1, ..., whatever order the workers
//   finish them in; it waits for an item that is not made yet, and nothing
//   else: it wakes when that item is done, never on a timer.
// - Ahead: a worker starts item i only once the consumer has taken item
//   i − ahead, so at most `ahead` items are being made or waiting, besides
//   the ones the consumer holds. Workers take the items in increasing order.
// - Errors: an exception thrown while making item i comes out of the next()
//   that takes item i, after every item before it, so errors arrive in the
//   order of the items, as they would were the items made one after another
//   on the consumer's thread. No item after a failed one is started, and a
//   next() after one that threw throws the same exception again.
// - Stop: once the caller's stop token or the destructor asks for a stop, no
//   item is started any more and next() returns nothing, also when it is
//   waiting. An item being made is finished first; its maker gets the stop
//   token to end early where it can. The destructor waits for the workers.
// - Workers: each worker thread first calls `makeWorker` (on its own thread)
//   for the function that makes its items, which may hold state of its own
//   (an open file, say); an exception from makeWorker is the error of the
//   first item that worker took.
// - Reuse: giveBack() hands an item the consumer is done with to a later
//   making as its `reusable` argument (a bitmap's memory, say); otherwise
//   that argument is a default T.
//
// T must be default-constructible and movable.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

namespace dimora {

struct PipelineShape {
    std::size_t count = 0;    // items 0 .. count − 1
    std::size_t workers = 1;  // threads, at most count of them
    std::size_t ahead = 1;    // items started ahead of the consumer, at least 1
};

template <typename T> class OrderedPipeline {
public:
    // Makes item `index`, into `reusable` where it can.
    using Maker = std::function<T(std::size_t index, T reusable, const std::stop_token& stop)>;
    // Called once on each worker thread for the Maker of that worker's items.
    using MakeWorker = std::function<Maker()>;

    OrderedPipeline(PipelineShape shape, MakeWorker makeWorker, const std::stop_token& stop = {})
        : count_(shape.count), ahead_(std::max<std::size_t>(shape.ahead, 1)),
          makeWorker_(std::move(makeWorker)), callerStop_(stop, [this] { stop_.request_stop(); })
    {
        const std::size_t workers = std::min(shape.count, std::max<std::size_t>(shape.workers, 1));
        threads_.reserve(workers);
        try {
            for (std::size_t k = 0; k < workers; ++k)
                threads_.emplace_back([this] { work(); });
        } catch (...) {
            // No thread to be had: the ones started stop before the rest goes.
            stopAndJoin();
            throw;
        }
    }

    // Asks for a stop and waits for the workers.
    ~OrderedPipeline() { stopAndJoin(); }

    OrderedPipeline(const OrderedPipeline&) = delete;
    OrderedPipeline& operator=(const OrderedPipeline&) = delete;

    // The next item in order, or nothing after the last one or once a stop
    // was asked for; rethrows the error of its making.
    [[nodiscard]] std::optional<T> next()
    {
        std::unique_lock lock(mutex_);
        if (error_)
            std::rethrow_exception(error_);
        const std::size_t wanted = taken_;
        if (wanted >= count_)
            return std::nullopt;
        const std::stop_token stop = stop_.get_token();
        (void)changed_.wait(lock, stop, [&] { return done_.contains(wanted); });
        if (stop.stop_requested())
            return std::nullopt;
        auto node = done_.extract(wanted);
        ++taken_;
        if (auto* error = std::get_if<std::exception_ptr>(&node.mapped())) {
            error_ = *error;
            std::rethrow_exception(error_);
        }
        lock.unlock();
        // A worker may start the item `ahead` after this one.
        changed_.notify_all();
        return std::move(std::get<T>(node.mapped()));
    }

    // An item done with, for a later making to reuse.
    void giveBack(T item)
    {
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(item));
    }

private:
    using Outcome = std::variant<T, std::exception_ptr>;

    void stopAndJoin()
    {
        // The waits on changed_ watch the stop themselves.
        stop_.request_stop();
        for (std::thread& thread : threads_)
            thread.join();
    }

    void work()
    {
        const std::stop_token stop = stop_.get_token();
        std::optional<Maker> make;
        for (;;) {
            std::size_t index = 0;
            T reusable{};
            {
                std::unique_lock lock(mutex_);
                const auto canStart = [&] { return next_ < count_ && next_ < taken_ + ahead_; };
                (void)changed_.wait(lock, stop, [&] { return failed_ || next_ >= count_ || canStart(); });
                if (stop.stop_requested() || failed_ || !canStart())
                    return;
                index = next_++;
                if (!spare_.empty()) {
                    reusable = std::move(spare_.back());
                    spare_.pop_back();
                }
            }
            Outcome outcome;
            try {
                if (!make)
                    make.emplace(makeWorker_());
                outcome.template emplace<T>((*make)(index, std::move(reusable), stop));
            } catch (...) {
                outcome.template emplace<std::exception_ptr>(std::current_exception());
            }
            const bool failed = outcome.index() == 1;
            {
                const std::lock_guard lock(mutex_);
                failed_ = failed_ || failed;
                done_.emplace(index, std::move(outcome));
            }
            changed_.notify_all();
            if (failed)
                return;
        }
    }

    const std::size_t count_;
    const std::size_t ahead_;
    const MakeWorker makeWorker_;
    std::mutex mutex_;
    // The one wake of both sides: an item done, an item taken, a stop.
    std::condition_variable_any changed_;
    std::stop_source stop_;
    std::map<std::size_t, Outcome> done_;
    std::vector<T> spare_;
    std::size_t next_ = 0;   // the next item a worker starts
    std::size_t taken_ = 0;  // items the consumer took
    bool failed_ = false;    // an item failed: start no more
    std::exception_ptr error_;
    // After the state it uses: a stop of the caller's during construction
    // finds it there.
    std::stop_callback<std::function<void()>> callerStop_;
    // Last, so that the workers start once the rest exists.
    std::vector<std::thread> threads_;
};

}  // namespace dimora
