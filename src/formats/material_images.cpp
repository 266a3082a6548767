#include "formats/material_images.h"

#include "formats/image_decode.h"
#include "model/diagnostics.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace nettor {

namespace {

namespace fs = std::filesystem;

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> pathParts(const std::string& name)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : name) {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".") parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty() && part != ".") parts.push_back(part);
    return parts;
}

bool isRegularFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The entry of dir whose name equals part ignoring case, if there is one.
std::optional<fs::path> entryIgnoringCase(const fs::path& dir, const std::string& part)
{
    if (part == "..") return dir / part;
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
    if (ec) return std::nullopt;
    for (const fs::directory_entry& entry : it) {
        const std::string entryName = entry.path().filename().string();
        if (sameIgnoringCase(entryName, part)) return dir / entryName;
    }
    return std::nullopt;
}

std::optional<fs::path> walkIgnoringCase(fs::path base, const std::vector<std::string>& parts)
{
    for (const std::string& part : parts) {
        auto next = entryIgnoringCase(base, part);
        if (!next) return std::nullopt;
        base = *next;
    }
    return base;
}

} // namespace

std::string containingFolder(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> findReferencedFile(const std::string& folder, const std::string& name)
{
    const std::vector<std::string> parts = pathParts(name);
    if (parts.empty()) return std::nullopt;
    const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
    const fs::path base = absolute ? fs::path("/") : fs::path(folder);

    fs::path exact = base;
    for (const std::string& part : parts) exact /= part;
    if (isRegularFile(exact)) return exact.string();
    if (auto found = walkIgnoringCase(base, parts); found && isRegularFile(*found)) return found->string();
    // A path of another machine ("C:\models\brick.png"): the file beside the model.
    if (parts.size() > 1 || absolute) {
        if (auto found = walkIgnoringCase(fs::path(folder), {parts.back()}); found && isRegularFile(*found))
            return found->string();
    }
    return std::nullopt;
}

void MaterialImageLoader::warn(const std::string& name, const std::string& reason)
{
    const std::string text = "Warning: the texture image \"" + name + "\" could not be read: " + reason;
    diagnostics() << text << '\n';
    model_.readWarnings.push_back(text);
}

std::int32_t MaterialImageLoader::add(const std::string& label, std::unique_ptr<TextureImage> image)
{
    if (auto it = known_.find(label); it != known_.end()) return it->second;
    if (!image) {
        known_[label] = -1;
        return -1;
    }
    if (image->source.empty()) image->source = label;
    model_.images.push_back(std::move(image));
    const auto index = static_cast<std::int32_t>(model_.images.size() - 1);
    known_[label] = index;
    return index;
}

std::int32_t MaterialImageLoader::fromFile(const std::string& folder, const std::string& name)
{
    const std::optional<std::string> path = findReferencedFile(folder, name);
    if (!path) {
        const std::string key = "missing:" + name;
        if (!known_.count(key)) {
            known_[key] = -1;
            warn(name, "the file is missing.");
        }
        return -1;
    }
    if (auto it = known_.find(*path); it != known_.end()) return it->second;
    DecodedImage decoded = loadImageFile(*path);
    if (!decoded.image) {
        known_[*path] = -1;
        warn(name, decoded.message);
        return -1;
    }
    return add(*path, std::move(decoded.image));
}

std::int32_t MaterialImageLoader::fromBytes(const std::string& label, std::string_view bytes)
{
    if (auto it = known_.find(label); it != known_.end()) return it->second;
    DecodedImage decoded = decodeImage(bytes);
    if (!decoded.image) {
        known_[label] = -1;
        warn(label, decoded.message);
        return -1;
    }
    return add(label, std::move(decoded.image));
}

void loadMaterialImages(Model& model, const std::string& folder)
{
    MaterialImageLoader loader(model);
    for (const auto& object : model.objects) {
        for (Material& m : object->materials) {
            if (!m.textureName.empty() && m.imageIndex < 0) m.imageIndex = loader.fromFile(folder, m.textureName);
        }
    }
}

} // namespace nettor
