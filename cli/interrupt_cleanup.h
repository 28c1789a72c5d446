// An interrupted command leaves no temporary file: Ctrl+C, SIGTERM and a
// closed terminal natively, Ctrl+C, Ctrl+Break and a closed console on
// Windows remove the files of the work in progress, say so in one line and
// end the process as the interrupt would have.
#pragma once

namespace qzf::cli {

void InstallInterruptCleanup();

}  // namespace qzf::cli
