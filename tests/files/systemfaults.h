#pragma once
// Calls into the system that fail on purpose, for the code paths only a
// file system or a signal reaches: the test program is linked with
// --wrap=linkat,renameat2,write,openat,read, and each fault below comes once it is armed.

namespace systemfaults {

enum class Fault {
    None,
    NoHardLinks,       // linkat: EPERM, and renameat2 exchanges no names, as on a file system without hard links
    NoRenameFlags,     // renameat2: EINVAL, as on one without RENAME_NOREPLACE
    WriteInterrupted,  // the next write: EINTR, as when a signal comes
    WriteTakesNothing, // the next write: 0 bytes taken
    DiskFull,          // the next write: ENOSPC
    NameTaken,         // the next openat that makes a file: EEXIST, as when a file has the name already
    ReadInterrupted    // the next read: EINTR, as when a signal comes
};

void arm(Fault fault);

} // namespace systemfaults
