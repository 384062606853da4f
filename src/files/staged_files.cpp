#include "files/staged_files.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "files/file_access.hpp"

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0  // Windows has no symbolic links that open() would follow
#endif

namespace kalvert {
namespace {

int processNumber()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

std::string temporaryName(const std::string& target, int process, std::size_t index, unsigned attempt)
{
    return target + ".kalvert-" + std::to_string(process) + "-" + std::to_string(index) + "-" +
           std::to_string(attempt) + ".tmp";
}

bool makeFolder(const std::string& folder)
{
#ifdef _WIN32
    return ::_mkdir(folder.c_str()) == 0;
#else
    return ::mkdir(folder.c_str(), 0777) == 0;
#endif
}

}  // namespace

TargetState targetState(const std::string& path)
{
    struct stat info {};
#ifdef _WIN32
    if (::stat(path.c_str(), &info) != 0) return TargetState::Absent;
#else
    if (::lstat(path.c_str(), &info) != 0) return TargetState::Absent;
#endif
    if (!S_ISREG(info.st_mode)) return TargetState::Other;
    // Root may write anything: a file without write permission was made read-only on purpose.
    const bool writable = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
    return writable ? TargetState::RegularFile : TargetState::ReadOnly;
}

std::string creationFailure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return "no such folder";
    case ENAMETOOLONG: return "name too long";
    case EACCES:
    case EPERM:
    case EROFS: return "not permitted";
    case ENOSPC: return "no space left";
    case EEXIST: return "the name is taken";
    default: return "system error " + std::to_string(error);
    }
}

int stagingProcess(StagedFiles& staged)
{
    if (staged.process == 0) staged.process = processNumber();
    return staged.process;
}

std::string folderOf(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : target.substr(0, slash);
}

std::string asideName(const std::string& folder, int process, std::size_t piece)
{
    return folder + (folder.back() == '/' ? "" : "/") + ".kalvert-" + std::to_string(process) + "-piece-" +
           std::to_string(piece) + ".tmp";
}

int writeAside(const std::string& path, std::string_view bytes, unsigned mode)
{
    // NOLINTNEXTLINE(misc-redundant-expression): O_BINARY and O_NOFOLLOW may be 0
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_BINARY, static_cast<int>(mode));
    if (descriptor < 0) return errno;
    const bool written = writeAll(descriptor, bytes);
    const bool closed = closeFile(descriptor);
    return written && closed ? 0 : -1;
}

void adoptStaged(StagedFiles& staged, const std::string& target, std::size_t piece)
{
    staged.files.push_back({target, -1, 0, false, piece});
}

std::string temporaryOf(const StagedFiles& staged, std::size_t index)
{
    const StagedFiles::File& file = staged.files.at(index);
    if (file.piece != static_cast<std::size_t>(-1)) return asideName(folderOf(file.target), staged.process, file.piece);
    return temporaryName(file.target, staged.process, index, file.attempt);
}

StagedFiles::~StagedFiles()
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        File& file = files[i];
        if (file.descriptor >= 0) (void)closeFile(file.descriptor);
        if (!file.moved) std::remove(temporaryOf(*this, i).c_str());
    }
    if (!committed && !createdFolder.empty()) {
#ifdef _WIN32
        ::_rmdir(createdFolder.c_str());
#else
        ::rmdir(createdFolder.c_str());
#endif
    }
}

bool prepareFolder(StagedFiles& staged, const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    if (!makeFolder(folder)) return false;
    staged.createdFolder = folder;
    return true;
}

int stageFile(StagedFiles& staged, const std::string& target)
{
    constexpr unsigned attempts = 100;
    (void)stagingProcess(staged);
    for (unsigned attempt = 0; attempt < attempts; ++attempt) {
        const std::string temporary = temporaryName(target, staged.process, staged.files.size(), attempt);
        // NOLINTNEXTLINE(misc-redundant-expression): O_BINARY and O_NOFOLLOW may be 0
        const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_BINARY,
                                      static_cast<int>(staged.mode));
        if (descriptor >= 0) {
            staged.files.push_back(
                {target, descriptor, static_cast<unsigned char>(attempt), false, static_cast<std::size_t>(-1)});
            return static_cast<int>(staged.files.size() - 1);
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool appendStaged(StagedFiles& staged, int index, std::string_view bytes)
{
    return writeAll(staged.files.at(static_cast<std::size_t>(index)).descriptor, bytes);
}

bool finishStaged(StagedFiles& staged, int index)
{
    StagedFiles::File& file = staged.files.at(static_cast<std::size_t>(index));
    const bool closed = file.descriptor < 0 || closeFile(file.descriptor);
    file.descriptor = -1;
    return closed;
}

bool commitStaged(StagedFiles& staged, std::string& failed)
{
    for (std::size_t i = 0; i < staged.files.size(); ++i) {
        StagedFiles::File& file = staged.files[i];
        const bool closed = finishStaged(staged, static_cast<int>(i));
        if (!closed || targetState(file.target) == TargetState::Other) {
            failed = file.target;
            return false;
        }
    }
    for (std::size_t i = 0; i < staged.files.size(); ++i) {
        StagedFiles::File& file = staged.files[i];
#ifdef _WIN32
        std::remove(file.target.c_str());  // Windows' rename does not replace
#endif
        if (std::rename(temporaryOf(staged, i).c_str(), file.target.c_str()) != 0) {
            failed = file.target;
            return false;
        }
        file.moved = true;
        staged.committed = true;  // from the first move on, the files moved stay
    }
    staged.committed = true;
    return true;
}

}  // namespace kalvert
