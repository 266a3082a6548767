// The 3DS reader: chunk walking, meshes, texture coordinates and damaged
// files. The files are built in code.
#include "support/read_result.h"
#include "model/diagnostics.h"
#include "formats/load_model.h"
#include "model/mesh.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

std::string u16(std::uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string u32(std::uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
std::string f32(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return u32(bits);
}

std::string chunk(std::uint16_t id, const std::string& payload)
{
    return u16(id) + u32(static_cast<std::uint32_t>(6 + payload.size())) + payload;
}

std::string vertexChunk(const std::vector<Vec3>& points)
{
    std::string p = u16(static_cast<std::uint32_t>(points.size()));
    for (const Vec3& v : points) p += f32(float(v.x)) + f32(float(v.y)) + f32(float(v.z));
    return chunk(0x4110, p);
}

std::string faceChunk(const std::vector<std::array<int, 3>>& faces, const std::string& groups = "")
{
    std::string p = u16(static_cast<std::uint32_t>(faces.size()));
    for (const auto& f : faces) p += u16(f[0]) + u16(f[1]) + u16(f[2]) + u16(7);
    return chunk(0x4120, p + groups);
}

std::string uvChunk(const std::vector<std::pair<float, float>>& uv)
{
    std::string p = u16(static_cast<std::uint32_t>(uv.size()));
    for (auto [u, v] : uv) p += f32(u) + f32(v);
    return chunk(0x4140, p);
}

std::string object(const std::string& name, const std::string& content)
{
    return chunk(0x4000, name + std::string(1, '\0') + content);
}

std::string mesh(const std::string& content) { return chunk(0x4100, content); }

// Main chunk with a version chunk, an editor chunk whose mesh version byte
// lands at offset 28, the editor content and anything after the editor.
std::string file(const std::string& editor, std::uint32_t version = 3, const std::string& afterEditor = "")
{
    return chunk(0x4D4D, chunk(0x0002, u32(3)) + chunk(0x3D3D, chunk(0x3D3E, u32(version)) + editor) + afterEditor);
}

const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const std::vector<Vec3> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

struct Read : ReadResult {
    explicit Read(const std::string& bytes) : ReadResult([&](Model& m) { return m.read3dsBytes(bytes); }) {}
};

const std::string kSquareFile =
    file(object("sq", mesh(vertexChunk(kSquare) + faceChunk({{0, 1, 2}, {0, 2, 3}}) +
                           uvChunk({{0.25f, 0.75f}, {1, 0}, {1, 1}, {0, 1}}))));

} // namespace

TEST(Read3ds, MainChunkAndVersionAreChecked)
{
    const std::string body = object("t", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}})));
    ASSERT_EQ(static_cast<unsigned char>(file(body, 3)[28]), 3u);
    Read three(file(body, 3));
    ASSERT_TRUE(three.ok);
    EXPECT_EQ(three.object().faces.size(), 1u);
    EXPECT_FALSE(Read(file(body, 2)).ok);
    EXPECT_FALSE(Read(file(body, 0)).ok);
    EXPECT_TRUE(Read(file(body, 255)).ok);
    std::string wrongId = file(body);
    wrongId[0] = 0x4C;
    EXPECT_FALSE(Read(wrongId).ok);
    EXPECT_FALSE(Read(file(body).substr(0, 28)).ok); // no version byte
    EXPECT_FALSE(Read("").ok);
}

TEST(Read3ds, MeshesShareOneObjectButKeepTheirOwnVertexTables)
{
    Read r(file(object("a", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}}))) +
                object("b", mesh(vertexChunk(kSquare) + faceChunk({{0, 1, 2}, {2, 3, 0}})))));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.model.objects.size(), 1u);
    ASSERT_EQ(r.object().vertices.size(), 7u);
    EXPECT_EQ(r.object().vertices[6]->id, 7);
    ASSERT_EQ(r.object().faces.size(), 3u);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{4, 5, 6}));
    EXPECT_EQ(r.corners(2), (std::vector<std::int32_t>{6, 7, 4}));
    EXPECT_EQ(r.object().faces[2]->index, 2);
    // Not inverted: the counter-clockwise triangle faces +z.
    EXPECT_NEAR(r.object().faces[0]->plane.c, 1.0, 1e-12);
    EXPECT_EQ(r.object().edges.size(), 3u + 5u);
}

TEST(Read3ds, EmptyMeshReadsAsEmptyModel)
{
    Read r(file(object("e", mesh(vertexChunk({}) + faceChunk({})))));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().vertices.size(), 0u);
    EXPECT_EQ(r.object().faces.size(), 0u);
    EXPECT_EQ(r.model.faceCount, 0);
}

TEST(Read3ds, TextureCoordinatesAreTakenAsReadForFacesReadSoFar)
{
    Read r(kSquareFile);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.model.hasTexCoords);
    for (const Face* f : r.object().faces) {
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            ASSERT_NE(h->texCoord, nullptr);
            if (h->origin->id == 1) {
                EXPECT_EQ(h->texCoord->u, 0.25);
                EXPECT_EQ(h->texCoord->v, 0.75);
            }
        }
    }
    // Each corner has a coordinate of its own.
    EXPECT_EQ(r.object().texCoords.size(), 6u);
    EXPECT_NE(r.object().faces[0]->outerLoop.halfEdges[0]->texCoord,
              r.object().faces[1]->outerLoop.halfEdges[0]->texCoord);

    // Coordinates before the faces reach none of them; a later chunk
    // replaces what an earlier one gave, for the faces read before it.
    Read early(file(object("s", mesh(vertexChunk(kSquare) + uvChunk({{0.5f, 0.5f}}) + faceChunk({{0, 1, 2}}) +
                                     uvChunk({{0.125f, 0.25f}, {1, 1}}) + faceChunk({{0, 2, 3}})))));
    ASSERT_TRUE(early.ok);
    EXPECT_TRUE(early.model.hasTexCoords);
    const auto& first = early.object().faces.at(0)->outerLoop.halfEdges;
    EXPECT_EQ(first[0]->texCoord->u, 0.125);
    EXPECT_EQ(first[1]->texCoord->v, 1.0);
    EXPECT_EQ(first[2]->texCoord, nullptr); // vertex 2 was given none
    for (const HalfEdge* h : early.object().faces.at(1)->outerLoop.halfEdges) EXPECT_EQ(h->texCoord, nullptr);
}

TEST(Read3ds, UnknownChunksAreSkippedByTheirLength)
{
    const std::string obj = object("t", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}})));
    // A master-scale chunk the editor does not know, before the object.
    Read scale(file(chunk(0x0100, f32(1.0f)) + obj));
    ASSERT_TRUE(scale.ok);
    EXPECT_EQ(scale.object().faces.size(), 1u);
    // Whatever an unknown chunk holds is not looked into: an object inside
    // it is not read, the one after it is.
    Read nested(file(chunk(0x0123, u16(0x5555) + obj) + obj));
    ASSERT_TRUE(nested.ok);
    EXPECT_EQ(nested.object().faces.size(), 1u);
    // A length that cannot be right (below a header's, or past the
    // container) makes the walker step on word by word: what follows is
    // still found.
    Read shortLength(file(u16(0x0123) + u32(4) + obj));
    ASSERT_TRUE(shortLength.ok);
    EXPECT_EQ(shortLength.object().faces.size(), 1u);
    Read longLength(file(u16(0x0123) + u32(100000) + obj));
    ASSERT_TRUE(longLength.ok);
    EXPECT_EQ(longLength.object().faces.size(), 1u);
    // Lights, cameras, materials, viewports and the keyframer are read past.
    const std::string extras = chunk(0xAFFF, chunk(0xA000, "mat\0")) + chunk(0x1200, chunk(0x0010, f32(1) + f32(0) + f32(0))) +
                               chunk(0x7001, chunk(0x7012, std::string(30, '\x41')) + chunk(0x7011, "x"));
    Read mixed(file(extras + object("l", chunk(0x4600, f32(1) + f32(2) + f32(3)) + chunk(0x4700, std::string(32, '\0')) +
                                             mesh(vertexChunk(kTriangle) + faceChunk({{2, 1, 0}}, chunk(0x4130, "m\0")))),
                    3, chunk(0xB000, chunk(0xB00A, "kf") + chunk(0x7001, chunk(0x7020, "vp")))));
    ASSERT_TRUE(mixed.ok);
    ASSERT_EQ(mixed.object().faces.size(), 1u);
    EXPECT_EQ(mixed.corners(0), (std::vector<std::int32_t>{3, 2, 1}));
}

// Every mesh 3ds Max writes has a local-axis chunk (0x4160) of twelve
// floats. A float whose upper or lower half equals a chunk id the walker
// knows (10.05 holds 0x4120, the face chunk's) must not be taken as a chunk.
TEST(Read3ds, LocalAxisFloatsHoldingChunkIdsLoseNothing)
{
    const std::uint16_t knownIds[] = {0x4D4D, 0x3D3D, 0xB000, 0x1100, 0x1200, 0x1201, 0x1300, 0x1400, 0x1420,
                                      0x1450, 0x1500, 0x2100, 0x2200, 0x2201, 0x2210, 0x2300, 0x2302, 0x3000,
                                      0x4000, 0x7001, 0xAFFF, 0x4010, 0x4012, 0x4100, 0x4600, 0x4700, 0x4110,
                                      0x4111, 0x4120, 0x4140, 0x4165, 0x0010, 0x0011, 0x7011, 0x7012, 0x7020,
                                      0xA000, 0xB002, 0xB008, 0xB009, 0xB00A};
    auto bitsFloat = [](std::uint32_t bits) {
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    };
    auto localAxis = [&](const std::vector<float>& values) {
        std::string p;
        for (int i = 0; i < 12; ++i) p += f32(values[i % values.size()]);
        return chunk(0x4160, p);
    };
    // The pivot of the seventh box of a nine-box file.
    std::vector<std::vector<float>> axes = {{1, 0, 0, 0, 1, 0, 0, 0, 1, 3.5f, -2.0f, 10.05f}};
    for (std::uint16_t id : knownIds) {
        axes.push_back({bitsFloat(std::uint32_t(id) << 16 | 0xCCCD)}); // id in the upper half
        axes.push_back({bitsFloat(0x3F80u << 16 | id)});               // id in the lower half
    }
    for (const auto& axis : axes) {
        SCOPED_TRACE(axis[0]);
        // As 3ds Max orders a mesh: vertices, texture coordinates, local
        // axis, faces with a smoothing group chunk; a second box after it.
        const std::string box = mesh(vertexChunk(kSquare) + uvChunk({{0, 0}, {1, 0}, {1, 1}, {0, 1}}) +
                                     localAxis(axis) + faceChunk({{0, 1, 2}, {0, 2, 3}}, chunk(0x4150, u32(1) + u32(1))));
        Read r(file(object("Box07", box) + object("Box08", mesh(vertexChunk(kTriangle) + localAxis(axis) +
                                                                faceChunk({{2, 1, 0}})))));
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.object().faces.size(), 3u);
        EXPECT_EQ(r.model.faceCount, 3);
        EXPECT_EQ(r.object().vertices.size(), 7u);
        EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{1, 3, 4}));
        EXPECT_EQ(r.corners(2), (std::vector<std::int32_t>{7, 6, 5}));
        // The box's quad pairs along its diagonal; the lone triangle does not.
        EXPECT_EQ(r.pairedEdges(), 1u);
    }
}

TEST(Read3ds, FacesNeedTheirMeshesVertices)
{
    EXPECT_FALSE(Read(file(object("t", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 3}}))))).ok);
    EXPECT_FALSE(Read(file(object("t", mesh(faceChunk({{0, 0, 0}}))))).ok);
    // The first mesh's vertices are not the second's.
    EXPECT_FALSE(Read(file(object("a", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}}))) +
                           object("b", mesh(faceChunk({{0, 1, 2}}))))).ok);
    EXPECT_TRUE(Read(file(object("t", mesh(faceChunk({}))))).ok);
    EXPECT_FALSE(Read(file(object("t", mesh(vertexChunk({{0, 0, 0}, {1e30f * 1e30f, 0, 0}}))))).ok);
}

TEST(Read3ds, TruncatedFilesKeepTheCompleteRecordsReadSoFar)
{
    const std::string full = file(object("t", mesh(vertexChunk(kSquare) + faceChunk({{0, 1, 2}, {0, 2, 3}, {1, 2, 3}}))));
    const std::size_t facesAt = full.find(std::string("\x20\x41", 2));
    ASSERT_NE(facesAt, std::string::npos);
    // Two whole face records and half of the third.
    Read cut(full.substr(0, facesAt + 8 + 2 * 8 + 4));
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(cut.object().faces.size(), 2u);
    // Half a vertex record: the face chunk is gone, the complete vertices stay.
    Read half(full.substr(0, full.find(std::string("\x10\x41", 2)) + 8 + 12 + 6));
    ASSERT_TRUE(half.ok);
    EXPECT_EQ(half.object().vertices.size(), 1u);

    // Every cut of a file with two meshes and texture coordinates.
    const std::string rich = file(object("a", mesh(vertexChunk(kSquare) + faceChunk({{0, 1, 2}, {0, 2, 3}}) +
                                                   uvChunk({{0, 0}, {1, 0}, {1, 1}, {0, 1}}))) +
                                  object("b", mesh(vertexChunk(kTriangle) + faceChunk({{2, 1, 0}}))));
    for (std::size_t n = 0; n <= rich.size(); ++n) {
        Read r(rich.substr(0, n));
        if (!r.ok) {
            EXPECT_LT(n, 29u);
            continue;
        }
        EXPECT_LE(r.object().faces.size(), 3u);
        for (const Face* f : r.object().faces) {
            ASSERT_EQ(f->cornerCount, 3);
            for (const HalfEdge* h : f->outerLoop.halfEdges) ASSERT_NE(h->edge, nullptr);
        }
    }
}

TEST(Read3ds, DamagedLengthsAndCountsEndTheWalk)
{
    const std::string obj = object("t", mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}})));
    // A main chunk claiming four gigabytes.
    std::string huge = file(obj);
    huge.replace(2, 4, u32(0xFFFFFFFF));
    Read h(huge);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.object().faces.size(), 1u);
    // A known chunk of length 0 is met again and again until the editor's
    // count runs out; nothing after it is read and nothing is repeated.
    Read zero(file(u16(0x1100) + u32(0) + obj));
    ASSERT_TRUE(zero.ok);
    EXPECT_EQ(zero.object().faces.size(), 0u);
    // A vertex count far beyond the chunk yields the records it holds.
    std::string many = vertexChunk(kTriangle);
    many.replace(6, 2, u16(65535));
    Read counted(file(object("t", mesh(many + faceChunk({{0, 1, 2}})))));
    ASSERT_TRUE(counted.ok);
    EXPECT_EQ(counted.object().vertices.size(), 3u);
    EXPECT_EQ(counted.object().faces.size(), 1u);
    // A name of more than twelve bytes without its NUL.
    Read name(file(chunk(0x4000, std::string(12, 'N') + mesh(vertexChunk(kTriangle) + faceChunk({{0, 1, 2}})))));
    ASSERT_TRUE(name.ok);
    EXPECT_EQ(name.object().faces.size(), 1u);
}

TEST(Read3ds, OpensThroughTheExtension)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(writeTempFile("Box.3DS", kSquareFile), nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    EXPECT_EQ(loaded.model->faceCount, 2);
    EXPECT_TRUE(loaded.model->hasTexCoords);
    EXPECT_EQ(loadModelFile(writeTempFile("v2.3ds", file("", 2)), nullptr).result, LoadResult::ReadFailed);
}
