#include "formats/materials_3ds.h"

#include <cmath>
#include <cstring>
#include <map>

namespace nettor {

namespace {

std::uint16_t le16(std::string_view s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

std::uint32_t le32(std::string_view s, std::size_t at)
{
    return std::uint32_t(le16(s, at)) | (std::uint32_t(le16(s, at + 2)) << 16);
}

// Calls visit(id, content) for each whole sub-chunk of the span; stops at
// the first whose length does not fit.
template <class Visit>
void eachChunk3ds(std::string_view span, Visit visit)
{
    std::size_t at = 0;
    while (span.size() - at >= 6) {
        const std::uint16_t id = le16(span, at);
        const std::uint32_t length = le32(span, at + 2);
        if (length < 6 || length > span.size() - at) return;
        visit(id, span.substr(at + 6, length - 6));
        at += length;
    }
}

std::string cString(std::string_view s)
{
    const std::size_t end = s.find('\0');
    return std::string(s.substr(0, end == std::string_view::npos ? s.size() : end));
}

float unitValue(float v) { return std::isfinite(v) ? std::fmin(1.0f, std::fmax(0.0f, v)) : 0.0f; }

} // namespace

Material3ds readMaterial3ds(std::string_view content)
{
    Material3ds m;
    eachChunk3ds(content, [&](std::uint16_t id, std::string_view body) {
        if (id == 0xA000) {
            m.name = cString(body);
        } else if (id == 0xA020) { // diffuse colour: floats or bytes
            eachChunk3ds(body, [&](std::uint16_t colourId, std::string_view c) {
                if (m.hasDiffuse) return;
                if ((colourId == 0x0010 || colourId == 0x0013) && c.size() >= 12) {
                    for (int k = 0; k < 3; ++k) {
                        const std::uint32_t bits = le32(c, std::size_t(k) * 4);
                        float v;
                        std::memcpy(&v, &bits, 4);
                        m.diffuse[k] = unitValue(v);
                    }
                    m.hasDiffuse = true;
                } else if ((colourId == 0x0011 || colourId == 0x0012) && c.size() >= 3) {
                    for (int k = 0; k < 3; ++k) m.diffuse[k] = static_cast<unsigned char>(c[std::size_t(k)]) / 255.0f;
                    m.hasDiffuse = true;
                }
            });
        } else if (id == 0xA200) { // the first texture map
            eachChunk3ds(body, [&](std::uint16_t mapId, std::string_view file) {
                if (mapId == 0xA300 && m.map.empty()) m.map = cString(file);
            });
        }
    });
    return m;
}

std::vector<MaterialGroup3ds> readMaterialGroups3ds(std::string_view subChunks)
{
    std::vector<MaterialGroup3ds> groups;
    eachChunk3ds(subChunks, [&](std::uint16_t id, std::string_view body) {
        if (id != 0x4130) return;
        MaterialGroup3ds g;
        g.name = cString(body);
        std::size_t at = std::min(body.size(), g.name.size() + 1);
        if (body.size() - at < 2) return;
        const std::uint16_t count = le16(body, at);
        at += 2;
        for (std::uint16_t i = 0; i < count && body.size() - at >= 2; ++i, at += 2) g.faces.push_back(le16(body, at));
        groups.push_back(std::move(g));
    });
    return groups;
}

void applyMaterials3ds(MeshObject& object, const std::vector<Material3ds>& materials,
                       const std::vector<std::pair<Face*, std::string>>& faceMaterials)
{
    std::map<std::string, std::int32_t> indexOf;
    for (const auto& [face, name] : faceMaterials) {
        auto it = indexOf.find(name);
        if (it == indexOf.end()) {
            std::int32_t index = -1;
            for (const Material3ds& source : materials) {
                if (source.name != name) continue;
                Material m;
                m.name = source.name;
                if (source.hasDiffuse) {
                    for (int c = 0; c < 3; ++c) m.ambient[c] = m.diffuse[c] = source.diffuse[c];
                }
                m.textureName = source.map;
                object.materials.push_back(std::move(m));
                index = static_cast<std::int32_t>(object.materials.size() - 1);
                break;
            }
            it = indexOf.emplace(name, index).first;
        }
        if (face) face->materialIndex = it->second;
    }
}

} // namespace nettor
