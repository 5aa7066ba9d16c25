// The batch over files: each file measured on its own, several at once,
// every outcome handed on in the order of the files.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace radmtf {

// Runs measure(i) for i = 0 .. count - 1 on `jobs` threads (at most one per
// file) and calls deliver(i, outcome) on the calling thread in the order of
// i, each as soon as it and those before it are done. When deliver returns
// false no further file is started and no further outcome delivered; returns
// false then. `measure` must not throw.
template <typename Outcome>
bool RunBatch(std::size_t count, std::size_t jobs, const std::function<Outcome(std::size_t)>& measure,
              const std::function<bool(std::size_t, Outcome&)>& deliver)
{
    std::vector<std::optional<Outcome>> outcomes(count);
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            Outcome outcome = measure(i);
            const std::lock_guard lock(mutex);
            outcomes[i] = std::move(outcome);
            finished.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < std::min(std::max<std::size_t>(jobs, 1), count); ++w)
        threads.emplace_back(work);
    bool delivered = true;
    for (std::size_t i = 0; i < count && delivered; ++i) {
        Outcome outcome;
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return outcomes[i].has_value(); });
            outcome = std::move(*outcomes[i]);
            outcomes[i].reset();
        }
        delivered = deliver(i, outcome);
    }
    if (!delivered) next = count;  // the workers take no further file
    for (std::thread& thread : threads) thread.join();
    return delivered;
}

}  // namespace radmtf
