#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "files/file_access.hpp"

namespace kalvert {

/// What a file was when it was opened: which file, how long, when last
/// changed (to the nanosecond).
struct FileSnapshot {
    FileIdentity identity;
    long long size = 0;
    long long changedSeconds = 0;
    long long changedNanoseconds = 0;
};

/// An input read more than once (a StationXML or RESP file: once to list
/// and choose, once to convert), held open between the readings so that
/// both read the same file, and checked at each new reading against what
/// it was at the first.
class HeldFile {
public:
    HeldFile() = default;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    HeldFile(HeldFile&& other) noexcept;
    HeldFile& operator=(HeldFile&& other) noexcept;
    ~HeldFile();

    /// Opens `path` read-only, without waiting for a FIFO's writer; refuses a
    /// folder (OpenFailed) and what has no size, a pipe or FIFO (SizeUndefined).
    [[nodiscard]] ReadOutcome open(const std::string& path);

    /// At most `most` bytes from the start; ReadFailed when none can be read.
    [[nodiscard]] ReadOutcome readStart(std::size_t most, std::string& text) const;

    /// The bytes from the start, a piece (at most 1 MiB) at each call, an
    /// empty view at the end. Throws std::runtime_error when a read fails.
    [[nodiscard]] std::function<std::string_view()> pieces() const;

    /// Is it still the file it was when opened: the same file at its path,
    /// of the same size, changed at the same instant?
    [[nodiscard]] bool unchanged() const;

    [[nodiscard]] const FileSnapshot& snapshot() const { return taken_; }

private:
    int descriptor_ = -1;
    std::string path_;
    FileSnapshot taken_;
};

}  // namespace kalvert
