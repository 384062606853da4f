#include "app/response_source.hpp"

#include <stdexcept>

#include "app/reporter.hpp"
#include "app/stages.hpp"
#include "readers/dataless_reader.hpp"
#include "readers/resp_reader.hpp"
#include "readers/stationxml_reader.hpp"

namespace kalvert {

ExitCode streamResponses(const RunState& run, const std::function<ExitCode(ChannelResponse&&)>& visit)
{
    ExitCode code = ExitCode::Success;
    const ResponseSink sink = [&](ChannelResponse&& response) {
        code = visit(std::move(response));
        return code == ExitCode::Success;
    };
    const std::string& path = run.request.inputPath;
    try {
        const ChunkSource pieces = run.input.pieces();
        switch (run.inputKind) {
        case InputKind::StationXml: readStationXml(pieces, sink); break;
        case InputKind::Dataless: readDataless(pieces, sink); break;
        case InputKind::Resp:
        case InputKind::SacPoleZero: readResp(pieces, sink); break;
        }
    } catch (const ReadError& error) {
        return report::sectionsUnreadable(path, error.what());
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return report::checkingFailed(path);
    }
    return code;
}

ExitCode forEachChecked(RunState& run, const std::function<ExitCode(CheckedResponse&)>& visit)
{
    if (!run.streamed) {
        for (CheckedResponse& checked : run.checked)
            if (const ExitCode code = visit(checked); code != ExitCode::Success) return code;
        return ExitCode::Success;
    }
    // The second reading must read what the first read: a file replaced or
    // rewritten between them would give a table of another response.
    if (!run.input.unchanged()) return report::inputChanged(run.request.inputPath);
    std::size_t index = 0;
    std::size_t next = 0;  // the next checked response, in file order
    const ExitCode code = streamResponses(run, [&](ChannelResponse&& response) {
        const std::size_t at = index++;
        if (next == run.checked.size() || run.selected[next] != at) return ExitCode::Success;
        CheckedResponse full = run.checked[next++];
        completeCheck(full, std::move(response));
        return visit(full);
    });
    if (code == ExitCode::Success && !run.input.unchanged()) return report::inputChanged(run.request.inputPath);
    return code;
}

}  // namespace kalvert
