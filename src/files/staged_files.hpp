#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kalvert {

/// What stands at a name a run is about to write.
enum class TargetState {
    Absent,       ///< nothing: the name is free
    RegularFile,  ///< a regular file, which the run replaces whole
    ReadOnly,     ///< a regular file the user cannot write or has made read-only: never replaced
    Other,        ///< a link, FIFO, folder or device: never written through
};

/// Looks at `path` without following a link there.
[[nodiscard]] TargetState targetState(const std::string& path);

/// Files written under new temporary names beside their targets and moved
/// onto those names only when every one of them is complete: a run that fails
/// anywhere leaves no new file and changes no existing one. The temporary
/// files are created exclusively and never through a link. Whatever is still
/// staged when the record goes (a failure, an exception) is removed, and so
/// is a folder the run created for them.
struct StagedFiles {
    /// One staged file; its temporary name follows from its target, its
    /// place and its attempt (an archive's run holds thousands of them).
    struct File {
        std::string target;
        int descriptor = -1;
        unsigned char attempt = 0;  ///< how many names were taken before its own
        bool moved = false;         ///< renamed onto its target
        /// Written whole by a worker thread under the name its piece of work
        /// gave it (writtenAside), and adopted; npos for one staged here.
        std::size_t piece = static_cast<std::size_t>(-1);
    };
    std::vector<File> files;
    std::string createdFolder;  ///< made by this run; removed again when nothing was committed
    bool committed = false;
    int process = 0;  ///< the process number in the temporary names, learnt once
    /// Permission bits of the files, less the umask: a SEISAN CAL folder is
    /// shared by every user of an installation.
    unsigned mode = 0666;

    StagedFiles() = default;
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    StagedFiles(StagedFiles&&) = default;
    StagedFiles& operator=(StagedFiles&&) = default;
    ~StagedFiles();
};

/// The process number in the temporary names, learnt once.
int stagingProcess(StagedFiles& staged);

/// The temporary name under which a worker thread writes piece of work
/// `piece` into `folder`, before the run knows the file's target.
[[nodiscard]] std::string asideName(const std::string& folder, int process, std::size_t piece);

/// Writes `bytes` whole into a new file `path` (created exclusively, never
/// through a link, with `mode` less the umask): 0; the system's error when
/// it cannot be created; −1 when it cannot be written or closed whole.
[[nodiscard]] int writeAside(const std::string& path, std::string_view bytes, unsigned mode);

/// A file a worker wrote aside in the target's folder becomes the staged
/// file of `target`, moved onto it when the run commits.
void adoptStaged(StagedFiles& staged, const std::string& target, std::size_t piece);

/// The folder a target stands in ("." for a bare name).
[[nodiscard]] std::string folderOf(const std::string& target);

/// The temporary name of staged file `index`.
[[nodiscard]] std::string temporaryOf(const StagedFiles& staged, std::size_t index);

/// Why a file could not be created, in words: "no such folder", "name too
/// long", "not permitted", "no space left", or the system's error number.
[[nodiscard]] std::string creationFailure(int error);

/// Creates `folder` when it does not exist yet, remembering that this run
/// made it; false (with errno set) when it can be neither found nor made.
[[nodiscard]] bool prepareFolder(StagedFiles& staged, const std::string& folder);

/// Starts a file that will become `target`; its index, or −1 with errno set.
[[nodiscard]] int stageFile(StagedFiles& staged, const std::string& target);

/// Appends to staged file `index`; false when the system refuses.
[[nodiscard]] bool appendStaged(StagedFiles& staged, int index, std::string_view bytes);

/// Closes staged file `index` once it is complete (a run of many files
/// holds one open at a time); false when the data may not have reached it.
[[nodiscard]] bool finishStaged(StagedFiles& staged, int index);

/// Closes every staged file still open and moves each onto its target, after checking
/// again that no target has become anything but a regular file. False, with
/// the target at fault in `failed`, when a close or a check fails (then
/// nothing is moved) or a move fails (then the files moved before it stay).
[[nodiscard]] bool commitStaged(StagedFiles& staged, std::string& failed);

}  // namespace kalvert
