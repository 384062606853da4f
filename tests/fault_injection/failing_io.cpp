// Preloaded into the tool by the fault-injection tests: makes write() and
// close() misbehave for the one file whose name ends in $KALVERT_FAULT_FILE,
// the way a full disk, a signal or a network file system can.
//   KALVERT_FAULT=write-fails   every write returns −1 (ENOSPC)
//   KALVERT_FAULT=short-writes  every write moves at most 7 bytes
//   KALVERT_FAULT=interrupted   every other write returns −1 (EINTR) first
//   KALVERT_FAULT=close-fails   close closes, then reports −1 (EIO)
//   KALVERT_FAULT=rewritten     the first time a read reaches the file's end, a
//                               line is appended to it (a file rewritten in place)
//   KALVERT_FAULT=replaced      the first time a read reaches the file's end,
//                               the file NAME.replacement is moved onto its name
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

bool isFaultyFile(int descriptor)
{
    const char* suffix = std::getenv("KALVERT_FAULT_FILE");
    if (suffix == nullptr || *suffix == '\0') return false;
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0) return false;
    const std::size_t size = static_cast<std::size_t>(length);
    const std::size_t suffixLength = std::strlen(suffix);
    return size >= suffixLength && std::memcmp(target + size - suffixLength, suffix, suffixLength) == 0;
}

bool faultIs(const char* name)
{
    const char* fault = std::getenv("KALVERT_FAULT");
    return fault != nullptr && std::strcmp(fault, name) == 0;
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t write(int descriptor, const void* data, size_t size)
{
    static const auto realWrite = next<ssize_t (*)(int, const void*, size_t)>("write");
    static bool interruptNext = true;
    if (isFaultyFile(descriptor)) {
        if (faultIs("write-fails")) {
            errno = ENOSPC;
            return -1;
        }
        if (faultIs("short-writes") && size > 7) size = 7;
        if (faultIs("interrupted")) {
            interruptNext = !interruptNext;
            if (!interruptNext) {
                errno = EINTR;
                return -1;
            }
        }
    }
    return realWrite(descriptor, data, size);
}

// What the file's name is, through the descriptor.
std::string pathOf(int descriptor)
{
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

extern "C" ssize_t read(int descriptor, void* data, size_t size)
{
    static const auto realRead = next<ssize_t (*)(int, void*, size_t)>("read");
    static bool changed = false;
    const ssize_t result = realRead(descriptor, data, size);
    if (result == 0 && size > 0 && !changed && isFaultyFile(descriptor)) {
        changed = true;
        const std::string path = pathOf(descriptor);
        if (faultIs("rewritten")) {
            if (FILE* file = std::fopen(path.c_str(), "ab")) {
                std::fputs("\n", file);
                std::fclose(file);
            }
        } else if (faultIs("replaced")) {
            std::rename((path + ".replacement").c_str(), path.c_str());
        }
    }
    return result;
}

extern "C" int close(int descriptor)
{
    static const auto realClose = next<int (*)(int)>("close");
    const bool fail = faultIs("close-fails") && isFaultyFile(descriptor);
    const int result = realClose(descriptor);
    if (fail) {
        errno = EIO;
        return -1;
    }
    return result;
}
