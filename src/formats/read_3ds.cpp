// 3D Studio mesh reader: the triangles of every triangle mesh of the file,
// with their vertices and texture coordinates, go into one object. Lights,
// cameras, viewports, materials, colours and keyframes are read past.
//
// The file is a tree of chunks (16-bit id, 32-bit length counting the 6-byte
// header). A container reads its content as a sequence of sub-chunks: one
// whose id it knows is read by that sub-chunk's routine, one it does not know
// is skipped by its length. Only where that length cannot be right (below 6,
// or reaching past the container) is the word stepped over by two bytes and
// the next word tried as an id, so damaged content is searched word by word.
// The consumed count grows by each known sub-chunk's length plus two, by an
// unknown sub-chunk's length, and the container always ends at its own end.
//
// Damaged content is handled soundly: a chunk never reaches past its
// container or the data, records are only taken when they lie wholly inside
// their chunk, and a truncated file yields the complete records read so far.
// A face naming a vertex outside its mesh's vertex chunk, faces in a mesh
// without a vertex chunk, and a coordinate that is not a finite number refuse
// the file.
#include "formats/byte_cursor.h"
#include "formats/material_images.h"
#include "formats/materials_3ds.h"
#include "model/mesh.h"
#include "formats/text_file.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace nettor {

namespace {

enum class Container { Main, Editor, Colour, Viewport, Material, Keyframer, Object, Mesh };

constexpr std::uint16_t kMainChunk = 0x4D4D;
constexpr std::size_t kVersionOffset = 28;
constexpr int kViewportRecordLimit = 4;

// The texture coordinate a vertex was last given, and how many faces had
// been read at that moment: only those faces take it.
struct LatestTexCoord {
    std::size_t facesBefore = 0;
    float u = 0.0f;
    float v = 0.0f;
};

class Reader3ds {
public:
    Reader3ds(Model& model, std::string_view bytes)
        : model_(model), object_(*model.addObject()), in_(bytes) {}

    bool run()
    {
        std::uint16_t id = 0;
        if (!in_.u16(in_.size(), id) || id != kMainChunk) return false;
        std::uint8_t version = 0;
        if (!in_.byteAt(kVersionOffset, version) || version <= 2) return false; // version 3.0 and higher only
        in_.seek(2);
        container(Container::Main, in_.size());
        if (refused_) return false;
        attachTexCoords();
        applyMaterials3ds(object_, materials_, faceMaterials_);
        model_.buildAllEdges();
        return true;
    }

private:
    struct Span {
        std::size_t start = 0;
        std::size_t end = 0;
        std::size_t length() const { return end - start; }
    };

    // Opens the chunk whose id was just read: reads its length and clamps its
    // end to the enclosing end. A chunk whose length cannot be read runs to
    // the enclosing end.
    Span open(std::size_t enclosingEnd)
    {
        Span s;
        s.start = in_.position() - 2;
        std::uint32_t length = 0;
        if (!in_.u32(enclosingEnd, length)) {
            s.end = std::max(s.start, std::min(enclosingEnd, in_.size()));
            return s;
        }
        s.end = std::min<std::size_t>(s.start + static_cast<std::size_t>(length), std::min(enclosingEnd, in_.size()));
        return s;
    }

    std::size_t skip(std::size_t enclosingEnd)
    {
        const Span s = open(enclosingEnd);
        in_.seek(s.end);
        return s.length();
    }

    std::size_t container(Container kind, std::size_t enclosingEnd)
    {
        const Span s = open(enclosingEnd);
        if (kind == Container::Material && s.length() >= 6)
            materials_.push_back(readMaterial3ds(in_.data().substr(s.start + 6, s.length() - 6)));
        if (kind == Container::Object) skipName(s.end);
        if (kind == Container::Mesh) {
            table_.clear();
            haveVertexChunk_ = false;
        }
        std::uint64_t consumed = 6;
        while (consumed < s.length() && !refused_) {
            std::uint16_t id;
            if (!in_.u16(s.end, id)) break;
            if (const auto length = subChunk(kind, id, s.end)) {
                consumed += *length + 2;
            } else if (const auto length = skipUnknown(s.end)) {
                consumed += *length;
            } else {
                consumed += 2;
            }
            if (kind == Container::Viewport && viewportRecords_ >= kViewportRecordLimit) break;
        }
        in_.seek(s.end);
        return s.length();
    }

    // Runs the routine of a sub-chunk the container knows and gives its
    // length; nothing for an id it does not know.
    std::optional<std::size_t> subChunk(Container kind, std::uint16_t id, std::size_t end)
    {
        switch (kind) {
        case Container::Main:
            if (id == 0x3D3D) return container(Container::Editor, end);
            if (id == 0xB000) return container(Container::Keyframer, end);
            return std::nullopt;
        case Container::Editor:
            switch (id) {
            case 0x1100: case 0x1201: case 0x1300: case 0x1400: case 0x1420: case 0x1450: case 0x1500:
            case 0x2200: case 0x2201: case 0x2210: case 0x2300: case 0x2302: case 0x3000:
                return skip(end);
            case 0x1200: case 0x2100: return container(Container::Colour, end);
            case 0x4000: return container(Container::Object, end);
            case 0x7001: return container(Container::Viewport, end);
            case 0xAFFF: return container(Container::Material, end);
            default: return std::nullopt;
            }
        case Container::Colour:
            if (id == 0x0010 || id == 0x0011) return skip(end); // colour values, unused
            return std::nullopt;
        case Container::Viewport:
            if (id == 0x7011) return skip(end);
            if (id == 0x7012 || id == 0x7020) {
                ++viewportRecords_;
                return skip(end);
            }
            return std::nullopt;
        case Container::Material:
            if (id == 0xA000) return skip(end); // the material's name
            return std::nullopt;
        case Container::Keyframer:
            if (id == 0x7001) return container(Container::Viewport, end);
            if (id == 0xB002 || id == 0xB008 || id == 0xB009 || id == 0xB00A) return skip(end);
            return std::nullopt;
        case Container::Object:
            if (id == 0x4010 || id == 0x4012) return skip(end);
            if (id == 0x4100) return container(Container::Mesh, end);
            if (id == 0x4600 || id == 0x4700) return skip(end); // light, camera
            return std::nullopt;
        case Container::Mesh:
            switch (id) {
            case 0x4110: return vertices(end);
            case 0x4111: case 0x4165: return skip(end);
            case 0x4120: return faces(end);
            case 0x4140: return texCoords(end);
            default: return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // Skips the sub-chunk whose unknown id was just read when its length is
    // at least a header's and it ends inside the container; gives that
    // length. Otherwise nothing is read and nothing is given.
    std::optional<std::size_t> skipUnknown(std::size_t containerEnd)
    {
        const std::size_t start = in_.position() - 2;
        std::uint32_t length = 0;
        if (!in_.u32(containerEnd, length)) return std::nullopt;
        const std::size_t end = std::min(containerEnd, in_.size());
        if (length < 6 || length > end - start) {
            in_.seek(start + 2);
            return std::nullopt;
        }
        in_.seek(start + length);
        return length;
    }

    // The object's name: NUL-terminated, at most 12 bytes in all; not kept.
    void skipName(std::size_t end)
    {
        std::uint8_t b;
        if (!in_.u8(end, b) || b == 0) return;
        for (int taken = 1; taken < 12; ++taken) {
            if (!in_.u8(end, b) || b == 0) return;
        }
    }

    std::size_t vertices(std::size_t enclosingEnd)
    {
        const Span s = open(enclosingEnd);
        haveVertexChunk_ = true;
        table_.clear();
        std::uint16_t n = 0;
        if (in_.u16(s.end, n)) {
            for (std::uint16_t i = 0; i < n; ++i) {
                float x, y, z;
                if (!in_.f32(s.end, x) || !in_.f32(s.end, y) || !in_.f32(s.end, z)) break; // cut short
                if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
                    refused_ = true;
                    break;
                }
                table_.push_back(object_.addVertex(x, y, z, vertexNumber_++));
            }
        }
        in_.seek(s.end);
        return s.length();
    }

    std::size_t faces(std::size_t enclosingEnd)
    {
        const Span s = open(enclosingEnd);
        std::uint16_t n = 0;
        std::vector<Face*> added;
        if (in_.u16(s.end, n)) {
            for (std::uint16_t i = 0; i < n; ++i) {
                std::uint16_t corner[3], flags;
                if (!in_.u16(s.end, corner[0]) || !in_.u16(s.end, corner[1]) || !in_.u16(s.end, corner[2]) ||
                    !in_.u16(s.end, flags))
                    break; // cut short
                if (!haveVertexChunk_ || corner[0] >= table_.size() || corner[1] >= table_.size() ||
                    corner[2] >= table_.size()) {
                    refused_ = true;
                    break;
                }
                Face& face = *object_.addFace();
                for (std::uint16_t c : corner) face.addCorner(table_[c]);
                if (face.finishFace()) added.push_back(&face);
            }
        }
        // The material groups after the face records name the faces' materials.
        if (in_.position() < s.end && !refused_) {
            for (const MaterialGroup3ds& g : readMaterialGroups3ds(in_.data().substr(in_.position(), s.end - in_.position())))
                for (std::uint16_t f : g.faces)
                    if (f < added.size()) faceMaterials_.emplace_back(added[f], g.name);
        }
        in_.seek(s.end);
        return s.length();
    }

    // Each record gives vertex i of the current mesh a texture coordinate,
    // taken as read, for the faces read so far. The corners are given theirs
    // once the whole file is read (attachTexCoords).
    std::size_t texCoords(std::size_t enclosingEnd)
    {
        const Span s = open(enclosingEnd);
        model_.hasTexCoords = true;
        std::uint16_t n = 0;
        if (in_.u16(s.end, n)) {
            for (std::uint16_t i = 0; i < n; ++i) {
                float u, v;
                if (!in_.f32(s.end, u) || !in_.f32(s.end, v)) break; // cut short
                if (i >= table_.size()) continue; // no such vertex: no corner can match
                const std::size_t slot = static_cast<std::size_t>(table_[i]->id - 1);
                if (latest_.size() <= slot) latest_.resize(slot + 1);
                latest_[slot] = LatestTexCoord{object_.faces.size(), u, v};
            }
        }
        in_.seek(s.end);
        return s.length();
    }

    void attachTexCoords()
    {
        if (latest_.empty()) return;
        for (std::size_t f = 0; f < object_.faces.size(); ++f) {
            for (HalfEdge* h : object_.faces[f]->outerLoop.halfEdges) {
                const std::size_t slot = static_cast<std::size_t>(h->origin->id - 1);
                if (slot >= latest_.size() || f >= latest_[slot].facesBefore) continue;
                h->texCoord = object_.addTexCoord(latest_[slot].u, latest_[slot].v);
            }
        }
    }

    Model& model_;
    MeshObject& object_;
    ByteCursor in_;
    std::int32_t vertexNumber_ = 1;
    std::vector<Vertex*> table_; // the current mesh's vertex chunk
    bool haveVertexChunk_ = false;
    int viewportRecords_ = 0;
    bool refused_ = false;
    std::vector<LatestTexCoord> latest_; // by vertex id - 1
    std::vector<Material3ds> materials_;
    std::vector<std::pair<Face*, std::string>> faceMaterials_;
};

} // namespace

bool Model::read3ds(const std::string& path)
{
    auto bytes = readWholeFile(path);
    if (!bytes) return false;
    if (!read3dsBytes(*bytes)) return false;
    loadMaterialImages(*this, containingFolder(path));
    return true;
}

bool Model::read3dsBytes(std::string_view bytes)
{
    return Reader3ds(*this, bytes).run();
}

} // namespace nettor
