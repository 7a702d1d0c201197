#include "systemfaults.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
systemfaults::Fault g_fault = systemfaults::Fault::None;
} // namespace

void systemfaults::arm(Fault fault) { g_fault = fault; }

extern "C" {
int __real_linkat(int, const char *, int, const char *, int);
int __real_openat(int, const char *, int, ...);
int __real_renameat2(int, const char *, int, const char *, unsigned int);
ssize_t __real_write(int, const void *, size_t);
ssize_t __real_read(int, void *, size_t);

int __wrap_linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    if (g_fault == systemfaults::Fault::NoHardLinks) {
        errno = EPERM;
        return -1;
    }
    return __real_linkat(fromDir, from, toDir, to, flags);
}

int __wrap_renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    using systemfaults::Fault;
    if ((g_fault == Fault::NoRenameFlags && flags != 0)
        || (g_fault == Fault::NoHardLinks && flags == RENAME_EXCHANGE)) {
        errno = EINVAL;
        return -1;
    }
    return __real_renameat2(fromDir, from, toDir, to, flags);
}

int __wrap_openat(int dir, const char *path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (g_fault == systemfaults::Fault::NameTaken && (flags & O_CREAT)) {
        g_fault = systemfaults::Fault::None;
        errno = EEXIST;
        return -1;
    }
    return __real_openat(dir, path, flags, mode);
}

ssize_t __wrap_read(int fd, void *bytes, size_t size)
{
    if (g_fault == systemfaults::Fault::ReadInterrupted) {
        g_fault = systemfaults::Fault::None;
        errno = EINTR;
        return -1;
    }
    return __real_read(fd, bytes, size);
}

ssize_t __wrap_write(int fd, const void *bytes, size_t size)
{
    using systemfaults::Fault;
    const Fault fault = g_fault;
    if (fault == Fault::WriteInterrupted || fault == Fault::WriteTakesNothing || fault == Fault::DiskFull) {
        g_fault = Fault::None;
        if (fault == Fault::WriteTakesNothing)
            return 0;
        errno = fault == Fault::DiskFull ? ENOSPC : EINTR;
        return -1;
    }
    return __real_write(fd, bytes, size);
}
}
