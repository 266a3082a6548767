#include "session/recovery_copies.h"

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace nettor {

namespace {
constexpr const char* kRecoveryPrefix = "recovery-";
constexpr const char* kRecoverySuffix = ".nettor";
} // namespace

std::string recoveryCopyName(long pid)
{
    return kRecoveryPrefix + std::to_string(pid) + kRecoverySuffix;
}

long recoveryCopyOwner(const std::string& fileName)
{
    const std::string prefix = kRecoveryPrefix;
    const std::string suffix = kRecoverySuffix;
    if (fileName.size() <= prefix.size() + suffix.size() || fileName.compare(0, prefix.size(), prefix) != 0 ||
        fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string digits = fileName.substr(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    if (digits.size() > 12) return 0;
    long pid = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

bool processRunning(long pid)
{
    if (pid <= 0) return false;
    // Signal 0 only asks; EPERM means it runs under another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::vector<std::string> abandonedRecoveryCopies(const std::vector<std::string>& fileNames, bool (*running)(long))
{
    std::vector<std::string> result;
    for (const std::string& name : fileNames) {
        const long pid = recoveryCopyOwner(name);
        if (pid > 0 && !running(pid)) result.push_back(name);
    }
    return result;
}

} // namespace nettor
