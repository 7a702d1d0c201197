#pragma once
// What a process must undo when SIGINT, SIGTERM or SIGHUP stops it: the
// temporary files of a write not yet finished, a scratch folder.
//
// A cleanup is a function of the program's own, run by the signal handler
// with the context it was given; it may do only what a signal handler may
// (unlink, rename, rmdir and the like, on memory that does not change while
// it is watched). The handler is installed for each stopping signal that
// still has its default action when the first cleanup is watched; one the
// program handles or ignores is left alone. Once the cleanups have run the
// signal stops the process as it would have without them.

namespace hvx {

using StopCleanup = void (*)(const void *context);

// Runs cleanup(context) if a stopping signal comes before unwatchStop(). The
// place for unwatchStop(), or -1 when all places are taken (then nothing is
// run on a signal).
int watchStop(StopCleanup cleanup, const void *context);
void unwatchStop(int place);

// Removes a folder and everything in it, without following links, in a way a
// signal handler may; folders deeper than a few levels are left.
void removeTreeNow(const char *path);

} // namespace hvx
