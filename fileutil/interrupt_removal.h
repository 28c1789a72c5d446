// Files to remove when the process is interrupted: the temporary files of the
// work in progress (TemporaryFile registers them). A front end that catches
// interrupts (Ctrl+C, SIGTERM, a closed terminal or console) calls
// RemoveFilesOnInterrupt from its handler and then ends the process.
#pragma once

namespace qzf {

// A slot for the file, or -1 when the table is full or the path too long: the
// file is then only removed the ordinary way.
int RegisterForRemovalOnInterrupt(const char* path);
void UnregisterForRemovalOnInterrupt(int slot);

// Natively for a signal handler, and async-signal-safe: it unlinks the paths
// prepared at registration and does nothing else.
// On Windows for the console control handler, which runs on a thread of its
// own while the program goes on: it takes every registered file with
// delete-on-close (waiting while the program has one open) and keeps those
// handles, so that nothing can create or rename the files any more; the
// caller then ends the process, and closing the handles removes the files.
// Registration stops for good.
void RemoveFilesOnInterrupt();

}  // namespace qzf
