#include "app/conversion_queue.hpp"

#include <chrono>

#include "app/output_plan.hpp"
#include "app/reporter.hpp"
#include "response/evaluation.hpp"

namespace kalvert {

ConversionQueue::ConversionQueue(RunState& run, const std::vector<double>& grid, unsigned threads)
    : run_(run), grid_(grid), window_(4 * static_cast<std::size_t>(threads))
{
    if (threads < 2) return;  // the run's own thread converts
    workers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

ConversionQueue::~ConversionQueue()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        tasks_.clear();
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void ConversionQueue::work()
{
    for (;;) {
        std::packaged_task<Rendered()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

ExitCode ConversionQueue::addMessages(std::string said, ExitCode code)
{
    if (workers_.empty() || (pending_.empty() && code == ExitCode::Success)) {
        report::sayKept(said);
        return code;
    }
    if (code != ExitCode::Success) {
        // What comes before it is delivered first, as one thread would have.
        if (const ExitCode earlier = finish(); earlier != ExitCode::Success) return earlier;
        report::sayKept(said);
        return code;
    }
    pending_.push_back({nullptr, std::nullopt, {}, std::move(said)});
    return ExitCode::Success;
}

ExitCode ConversionQueue::add(const CheckedResponse& checked, std::optional<std::size_t> at, std::string before)
{
    const bool message = run_.request.format->envelope == Envelope::OneMessage;
    if (at && !message && run_.targets[*at].empty()) return ExitCode::Success;  // its name was refused and skipped
    if (workers_.empty()) {
        report::sayKept(before);
        // One thread: the target is planned before the work is done, so that
        // a response whose name is refused is not converted at all.
        if (!at) {
            const ExitCode planned = stageNext(run_, checked);
            if (planned == ExitCode::SomeSkipped) releaseTarget(run_);
            if (planned == ExitCode::SomeSkipped) return ExitCode::Success;
            if (planned != ExitCode::Success) return planned;
        }
        Rendered rendered = renderAlone(run_, checked, grid_, maxRootFrequencyTerms - spent_);
        const std::size_t target = at ? *at : run_.targets.size() - 1;
        const ExitCode code = deliverRendered(run_, checked, target, std::move(rendered), spent_);
        if (!at) releaseTarget(run_);
        return code;
    }
    auto copy = std::make_shared<const CheckedResponse>(checked);
    // The bound left by the responses delivered so far; the delivery checks it again in order.
    const double budget = maxRootFrequencyTerms - spent_;
    std::packaged_task<Rendered()> task(
        [this, copy, budget] { return renderAlone(run_, *copy, grid_, budget); });
    pending_.push_back({copy, at, task.get_future(), std::move(before)});
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
    while (pending_.size() >= window_)
        if (const ExitCode code = deliverOldest(); code != ExitCode::Success) return code;
    return ExitCode::Success;
}

ExitCode ConversionQueue::deliver(const CheckedResponse& checked, std::optional<std::size_t> at, Rendered&& rendered)
{
    if (at) return deliverRendered(run_, checked, *at, std::move(rendered), spent_);
    // Planned now, in order, as one thread plans it before converting: a
    // response whose name is refused and skipped says nothing of its conversion.
    const ExitCode planned = stageNext(run_, checked);
    if (planned == ExitCode::SomeSkipped) releaseTarget(run_);
    if (planned == ExitCode::SomeSkipped) return ExitCode::Success;
    if (planned != ExitCode::Success) return planned;
    const ExitCode code = deliverRendered(run_, checked, run_.targets.size() - 1, std::move(rendered), spent_);
    releaseTarget(run_);
    return code;
}

ExitCode ConversionQueue::deliverOldest()
{
    Pending oldest = std::move(pending_.front());
    pending_.pop_front();
    // Rather than wait for the oldest, the run's thread converts what no
    // worker has taken yet.
    while (oldest.checked && oldest.rendered.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        std::packaged_task<Rendered()> task;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (tasks_.empty()) break;
            task = std::move(tasks_.back());
            tasks_.pop_back();
        }
        task();
    }
    report::sayKept(oldest.before);
    if (!oldest.checked) return ExitCode::Success;
    return deliver(*oldest.checked, oldest.at, oldest.rendered.get());
}

ExitCode ConversionQueue::finish()
{
    while (!pending_.empty())
        if (const ExitCode code = deliverOldest(); code != ExitCode::Success) return code;
    return ExitCode::Success;
}

}  // namespace kalvert
