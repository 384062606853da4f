#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/exit_code.hpp"
#include "app/run_state.hpp"
#include "app/stages.hpp"

namespace kalvert {

/// The responses of a run converted on worker threads (THREADS=n) and
/// delivered in the run's order on its own thread: the files, messages and
/// statuses are those of a run on one thread, byte for byte. A window of
/// responses is in flight at a time, so memory does not grow with their
/// number. With one thread each response is converted and delivered in turn.
class ConversionQueue {
public:
    ConversionQueue(RunState& run, const std::vector<double>& grid, unsigned threads);
    ConversionQueue(const ConversionQueue&) = delete;
    ConversionQueue& operator=(const ConversionQueue&) = delete;
    /// What is still queued is dropped; what is being converted is finished.
    ~ConversionQueue();

    /// A checked response (with its stages) to convert: its target is `at`
    /// (planned before), or is planned as it is delivered (a folder run, or
    /// one reading). `before` is what checking it said, shown as it is
    /// delivered. A status other than Success ends the run.
    [[nodiscard]] ExitCode add(const CheckedResponse& checked, std::optional<std::size_t> at = std::nullopt,
                               std::string before = {});

    /// What checking a response that is not converted said (it was skipped,
    /// or it ends the run with `code`), shown in its place in the order.
    [[nodiscard]] ExitCode addMessages(std::string said, ExitCode code = ExitCode::Success);

    /// Every response added is delivered.
    [[nodiscard]] ExitCode finish();

private:
    struct Pending {
        std::shared_ptr<const CheckedResponse> checked;  ///< null: messages only
        std::optional<std::size_t> at;
        std::future<Rendered> rendered;
        std::string before;
    };

    ExitCode deliver(const CheckedResponse& checked, std::optional<std::size_t> at, Rendered&& rendered);
    ExitCode deliverOldest();
    void work();

    /// A worker writes each file it converts aside in the OUT= folder, so
    /// that the run's thread only adopts it (a format writing a file per
    /// response into a folder, on several threads).
    [[nodiscard]] std::string asideOf(std::size_t piece) const;
    void dropAside(const Rendered& rendered) const;

    RunState& run_;
    const std::vector<double>& grid_;
    bool aside_ = false;
    std::string asideFolder_;
    int process_ = 0;
    std::size_t pieces_ = 0;
    double spent_ = 0.0;  ///< root-frequency terms of the responses delivered
    std::size_t window_;
    std::deque<Pending> pending_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<Rendered()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace kalvert
