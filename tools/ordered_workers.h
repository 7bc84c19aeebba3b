#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kanat {

// Threads for work on pictures. Each holds one decoded picture (about 130 MB at 24 megapixels with
// its halvings), so memory stays at a couple of pictures however many are named.
inline unsigned pictureThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 2u); }

// Does work(i, worker) for i = 0 … count - 1 on `threads` threads (worker: 0 … threads - 1, for
// what a thread keeps between its items) and hands each result to deliver(i, result) on the calling
// thread, in the order of i. A thread takes the next item only while fewer than `ahead` items are
// taken but not yet delivered, so however many items there are, only a few results wait at a time.
// deliver returns false to stop: items not yet begun are dropped. What work or deliver throws is thrown
// from here once the threads have stopped; from work, at that item's turn.
template <class Result>
void runInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                const std::function<Result(std::size_t, unsigned)>& work,
                const std::function<bool(std::size_t, Result&)>& deliver) {
    struct Done {
        std::optional<Result> result;
        std::exception_ptr error;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::size_t, Done> done;
    std::size_t next = 0, delivered = 0;
    bool stop = false;
    ahead = std::max<std::size_t>(ahead, 1);

    const auto worker = [&](unsigned number) {
        for (;;) {
            std::size_t item = 0;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= count || next < delivered + ahead; });
                if (stop || next >= count) return;
                item = next++;
            }
            Done outcome;
            try {
                outcome.result.emplace(work(item, number));
            } catch (...) {
                outcome.error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex);
                done.emplace(item, std::move(outcome));
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> running;
    const unsigned started = static_cast<unsigned>(std::clamp<std::size_t>(count, 1, std::max(threads, 1u)));
    for (unsigned number = 0; number < started; ++number) running.emplace_back(worker, number);

    std::exception_ptr failure;
    try {
        while (delivered < count) {
            Done outcome;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return done.count(delivered) > 0; });
                auto found = done.find(delivered);
                outcome = std::move(found->second);
                done.erase(found);
            }
            if (outcome.error) std::rethrow_exception(outcome.error);
            const bool goOn = deliver(delivered, *outcome.result);
            {
                const std::lock_guard lock(mutex);
                ++delivered;
                stop = !goOn;
            }
            changed.notify_all();
            if (!goOn) break;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& thread : running) thread.join();
    if (failure) std::rethrow_exception(failure);
}

} // namespace kanat
