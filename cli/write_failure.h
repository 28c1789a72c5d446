// The one line that says why a file was not written.
#pragma once

#include <string>

#include "fileutil/atomic_file_write.h"

namespace qzf::cli {

// "cannot write OUT: the disk is full; OUT is as it was" and the like; `path`
// as the user typed it.
std::string DescribeWriteFailure(const std::string& path, const AtomicWriteResult& result);
// What failed and why, without what became of the files.
std::string DescribeWriteProblem(const std::string& path, const AtomicWriteResult& result);

}  // namespace qzf::cli
