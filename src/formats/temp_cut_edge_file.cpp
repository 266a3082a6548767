#include "formats/temp_cut_edge_file.h"

#include "formats/cut_edge_file.h"
#include "formats/load_model.h"
#include "formats/relative_model_path.h"
#include "formats/text_file.h"
#include "state/engine_state.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nettor {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRecordName = "nettor_temp.nte";

// A folder that only this user can enter: made with mode 0700, or found as
// a real folder (not a link) owned by this user and then narrowed to 0700.
bool ensurePrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
    return true;
}

// Writes the bytes to a new file beside path and renames it onto path, so
// that whatever stood at path (a file or a link) is replaced, not written
// through.
bool replaceFile(const std::string& path, const std::string& bytes)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(name.data(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(name.data());
    return ok;
}

} // namespace

StartRecord::~StartRecord() { removeFolder(); }

void StartRecord::removeFolder()
{
    if (folder_.empty()) return;
    std::error_code ec;
    fs::remove(fs::path(folder_) / kRecordName, ec);
    fs::remove(folder_, ec);
    folder_.clear();
    base_.clear();
}

std::string StartRecord::path()
{
    std::error_code ec;
    fs::path temp = fs::temp_directory_path(ec);
    if (ec || temp.empty()) return {};
    temp = fs::weakly_canonical(temp, ec);
    if (ec) return {};
    if (temp.string() != base_ || folder_.empty()) {
        removeFolder();
        const std::string user = (temp / ("nettor-" + std::to_string(::geteuid()))).string();
        if (!ensurePrivateFolder(user)) return {};
        std::string pattern = user + "/run-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) return {};
        base_ = temp.string();
        folder_ = name.data();
    }
    return folder_ + "/" + kRecordName;
}

bool StartRecord::write(const Model& model)
{
    const std::string at = path();
    if (at.empty()) return false;
    std::ostringstream text;
    writeCutEdgeFile(model, text, relativeModelPath(at, model.filePath));
    return replaceFile(at, text.str());
}

std::unique_ptr<Model> StartRecord::read(bool saved, UiListener* reporter)
{
    const std::string at = saved ? path() : std::string();
    if (at.empty()) {
        tell(reporter, "This file could not be read.");
        return nullptr;
    }
    auto model = std::make_unique<Model>();
    if (!readCutEdgeFile(at, *model, reporter)) {
        // The reader has told why; a record it could not even open needs
        // no second message.
        if (fileIsReadable(at)) tell(reporter, "This file could not be read.");
        return nullptr;
    }
    return model;
}

} // namespace nettor
