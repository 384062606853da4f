#include "app/conversion_queue.hpp"

#include <chrono>
#include <cstdio>

#include "app/output_plan.hpp"
#include "app/reporter.hpp"
#include "response/evaluation.hpp"

namespace kalvert {

ConversionQueue::ConversionQueue(RunState& run, const std::vector<double>& grid, unsigned threads)
    : run_(run), grid_(grid), window_(4 * static_cast<std::size_t>(threads))
{
    if (threads < 2) return;  // the run's own thread converts
    aside_ = writesIntoFolder(run.request);
    if (aside_) {
        std::string path = run.request.outputPath;
        if (path.back() != '/') path += '/';
        asideFolder_ = folderOf(path + "x");  // the folder the targets will stand in
        process_ = stagingProcess(run.staged);
    }
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
    // What was written aside and never delivered goes; a piece of work that
    // was dropped before it began holds no result (a broken promise).
    for (Pending& pending : pending_) {
        if (!pending.checked || !pending.rendered.valid()) continue;
        try {
            dropAside(pending.rendered.get());
        } catch (const std::future_error&) {
        }
    }
}

std::string ConversionQueue::asideOf(std::size_t piece) const
{
    return asideName(asideFolder_, process_, piece);
}

void ConversionQueue::dropAside(const Rendered& rendered) const
{
    if ((rendered.writtenAside || rendered.asideError < 0) && !rendered.adopted)
        std::remove(asideOf(rendered.piece).c_str());
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
        const ExitCode code = deliverRendered(run_, checked, target, rendered, spent_);
        if (!at) releaseTarget(run_);
        return code;
    }
    auto copy = std::make_shared<const CheckedResponse>(checked);
    // The bound left by the responses delivered so far; the delivery checks it again in order.
    const double budget = maxRootFrequencyTerms - spent_;
    const std::size_t piece = pieces_++;
    std::packaged_task<Rendered()> task([this, copy, budget, piece] {
        Rendered rendered = renderAlone(run_, *copy, grid_, budget);
        if (aside_ && rendered.outcome == Rendered::Outcome::Written) {
            rendered.piece = piece;
            rendered.size = rendered.text.size();
            rendered.asideError = writeAside(asideOf(piece), rendered.text, run_.staged.mode);
            rendered.writtenAside = rendered.asideError == 0;
            rendered.text = std::string();
        }
        return rendered;
    });
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
    ExitCode code = ExitCode::Success;
    if (at) {
        code = deliverRendered(run_, checked, *at, rendered, spent_);
    } else {
        // Planned now, in order, as one thread plans it before converting: a
        // response whose name is refused and skipped says nothing of its conversion.
        code = stageNext(run_, checked);
        if (code == ExitCode::SomeSkipped)
            code = ExitCode::Success;
        else if (code == ExitCode::Success)
            code = deliverRendered(run_, checked, run_.targets.size() - 1, rendered, spent_);
        releaseTarget(run_);
    }
    dropAside(rendered);
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
