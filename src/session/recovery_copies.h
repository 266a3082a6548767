#pragma once
// The recovery copies of unsaved work: one file for each running program,
// named by its process id, so that two running copies keep their own; a
// copy whose process has ended is what a crash left behind.
#include <string>
#include <vector>

namespace nettor {

// "recovery-<pid>.nettor"
std::string recoveryCopyName(long pid);
// The process id in a recovery copy's file name, 0 when the name is not one.
long recoveryCopyOwner(const std::string& fileName);
// Whether a process with this id is running.
bool processRunning(long pid);
// Of these file names, the recovery copies whose process is no longer
// running (running tells; processRunning by default), in the given order.
std::vector<std::string> abandonedRecoveryCopies(const std::vector<std::string>& fileNames,
                                                 bool (*running)(long) = processRunning);

} // namespace nettor
