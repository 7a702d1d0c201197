#include "stopsignals.h"

#include <atomic>
#include <csignal>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace hvx {

namespace {

// A signal handler may only look at lock-free atomics and plain memory, so
// the cleanups are a fixed array.
struct Watched {
    std::atomic<bool> taken{ false };
    std::atomic<StopCleanup> cleanup{ nullptr };
    std::atomic<const void *> context{ nullptr };
};
static_assert(std::atomic<StopCleanup>::is_always_lock_free, "read by a signal handler");

constexpr int WatchPlaces = 16;
Watched g_watched[WatchPlaces];
const int stopSignals[] = { SIGINT, SIGTERM, SIGHUP };

extern "C" void runStopCleanups(int stopSignal)
{
    for (Watched &w : g_watched)
        if (const StopCleanup cleanup = w.cleanup.load())
            cleanup(w.context.load());
    // The handler was reset as it was entered: once it returns, the signal
    // stops the process as it would have without it.
    ::raise(stopSignal);
}

void installHandlers()
{
    for (int stopSignal : stopSignals) {
        struct sigaction old {};
        if (::sigaction(stopSignal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = runStopCleanups;
        sigemptyset(&action.sa_mask);
        for (int other : stopSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(stopSignal, &action, nullptr);
    }
}

// Empties the open folder fd, depth levels deep at most.
void emptyFolder(int fd, int depth)
{
    alignas(8) char buffer[4096];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        bool removed = false;
        for (long at = 0; at < got;) {
            const auto *entry = reinterpret_cast<const struct dirent64 *>(buffer + at);
            at += entry->d_reclen;
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            if (entry->d_type == DT_DIR && depth > 0) {
                const int inner = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (inner >= 0) {
                    emptyFolder(inner, depth - 1);
                    ::close(inner);
                }
                removed |= ::unlinkat(fd, name, AT_REMOVEDIR) == 0;
            } else {
                removed |= ::unlinkat(fd, name, 0) == 0;
            }
        }
        if (removed) // the listing changed under the reading: start again
            ::lseek(fd, 0, SEEK_SET);
    }
}

} // namespace

int watchStop(StopCleanup cleanup, const void *context)
{
    static std::once_flag once;
    std::call_once(once, installHandlers);
    for (int i = 0; i < WatchPlaces; ++i) {
        bool taken = false;
        if (g_watched[i].taken.compare_exchange_strong(taken, true)) {
            g_watched[i].context.store(context);
            g_watched[i].cleanup.store(cleanup);
            return i;
        }
    }
    return -1;
}

void unwatchStop(int place)
{
    if (place < 0)
        return;
    g_watched[place].cleanup.store(nullptr);
    g_watched[place].taken.store(false);
}

void removeTreeNow(const char *path)
{
    constexpr int depth = 4;
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    emptyFolder(fd, depth);
    ::close(fd);
    ::rmdir(path);
}

} // namespace hvx
