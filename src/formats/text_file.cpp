#include "formats/text_file.h"

#include "formats/reading_cancel.h"
#include "model/diagnostics.h"

#include <cstdio>
#include <sys/stat.h>

namespace nettor {

std::optional<std::string> readWholeFile(const std::string& path)
{
    struct stat st{};
    std::FILE* f = nullptr;
    if (::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) f = std::fopen(path.c_str(), "rb");
    if (!f) {
        diagnostics() << "Cannot open " << path << std::endl;
        return std::nullopt;
    }
    std::string data;
    if (st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (readingCancelled()) {
            std::fclose(f);
            return std::nullopt;
        }
        data.append(buffer, got);
    }
    std::fclose(f);
    return data;
}

bool fileIsReadable(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

} // namespace nettor
