#include "formats/project_codes.h"
#include "formats/project_file.h"
#include "formats/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace nettor {

bool writeProjectFile(const std::string& path, const ProjectSource& source, std::string& error, unsigned mode)
{
    const std::string bytes = projectFileBytes(source);
    if (bytes.empty()) {
        error = "The project could not be packed.";
        return false;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = "Cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    ::fchmod(fd, static_cast<mode_t>(mode));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        error = "Cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "Cannot write " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

ProjectContent readProjectFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        ProjectContent failed;
        failed.error = "This file could not be read.";
        return failed;
    }
    if (static_cast<std::size_t>(info.st_size) > kMaxProjectFileBytes) {
        ProjectContent failed;
        failed.error = "The project file is larger than this program reads.";
        return failed;
    }
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        ProjectContent failed;
        failed.error = "This file could not be read.";
        return failed;
    }
    return readProjectBytes(*bytes);
}

} // namespace nettor
