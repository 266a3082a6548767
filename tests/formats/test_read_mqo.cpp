// The Metasequoia reader: header, chunks, materials, vertices and faces.
#include "support/read_result.h"
#include "model/diagnostics.h"
#include "formats/load_model.h"
#include "model/mesh.h"
#include "formats/text_file.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

const std::string kHeader = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n";

struct Read : ReadResult {
    explicit Read(const std::string& bytes) : ReadResult([&](Model& m) { return m.readMqoBytes(bytes); }) {}
};

std::string object(const std::string& vertices, const std::string& faces)
{
    return "Object \"o\" {\n vertex 9 {\n" + vertices + " }\n face 9 {\n" + faces + " }\n}\n";
}

const std::string kSquare = "0 0 0\n1 0 0\n1 1 0\n0 1 0\n";
const std::string kPentagon = kSquare + "0.5 1.5 0\n";

std::string binaryVertices(const std::vector<Vec3>& points)
{
    std::string block = "Vector " + std::to_string(points.size()) + " [" + std::to_string(points.size() * 12) + "]\n";
    for (const Vec3& p : points) {
        for (double c : {p.x, p.y, p.z}) {
            const float f = static_cast<float>(c);
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            for (int i = 0; i < 4; ++i) block.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
        }
    }
    return block + "\n";
}

} // namespace

TEST(ReadMqo, HeaderIsCheckedWordByWordIgnoringCase)
{
    const std::string body = object(kSquare, "3 V(0 1 2)\n");
    EXPECT_TRUE(Read(kHeader + body).ok);
    EXPECT_TRUE(Read("metasequoia document\nformat text ver 1.0\n" + body).ok);
    EXPECT_TRUE(Read("Metasequoia Document\nFormat Text Ver 1\n" + body).ok);
    EXPECT_FALSE(Read("Metasequoia Document\nFormat Text Ver 1.1\n" + body).ok);
    EXPECT_FALSE(Read("Metasequoia Document\nFormat Compress Ver 1.0\n" + body).ok);
    EXPECT_FALSE(Read("Metasequoia Document\nFormat Text Version 1.0\n" + body).ok);
    EXPECT_FALSE(Read("Metasequoia Doc\nFormat Text Ver 1.0\n" + body).ok);
    EXPECT_FALSE(Read("\n" + kHeader + body).ok);
    EXPECT_FALSE(Read("Metasequoia Document\n\nFormat Text Ver 1.0\n" + body).ok);
    EXPECT_FALSE(Read("").ok);
    EXPECT_FALSE(Read("Metasequoia Document\n").ok);
    // A header alone is an empty document.
    Read empty(kHeader);
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.object().faces.size(), 0u);
}

TEST(ReadMqo, ObjectsNumberTheirOwnVerticesAndShareOneMeshObject)
{
    Read r(*readWholeFile(NETTOR_TEST_DATA_DIR "/two_objects.mqo"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.model.objects.size(), 1u);
    const MeshObject& o = r.object();
    ASSERT_EQ(o.vertices.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(o.vertices[static_cast<std::size_t>(i)]->id, i + 1);
    ASSERT_EQ(o.faces.size(), 3u);
    // Inverted: corners in reverse order, starting at the first.
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 3, 2}));
    EXPECT_EQ(r.corners(2), (std::vector<std::int32_t>{5, 8, 7, 6}));
    EXPECT_EQ(o.faces[0]->materialIndex, 0);
    EXPECT_EQ(o.faces[1]->materialIndex, 1);
    EXPECT_EQ(o.faces[2]->materialIndex, -1);
    // The scene chunk with its nested light chunks was skipped whole.
    EXPECT_EQ(o.materials.size(), 2u);
    // The first square shares its diagonal; the second square stands alone.
    EXPECT_EQ(o.edges.size(), 5u + 4u);
}

TEST(ReadMqo, TextVerticesAreNegatedBinaryOnesAreNot)
{
    Read text(kHeader + object("1 2 3\n4 5 6\n7 8 10\n", "3 V(0 1 2)\n"));
    ASSERT_TRUE(text.ok);
    EXPECT_EQ(text.object().vertices[0]->position, Vec3(-1, -2, -3));
    EXPECT_EQ(text.model.boundsMax, Vec3(-1, -2, -3));
    EXPECT_EQ(text.model.boundsMin, Vec3(-7, -8, -10));

    const std::string bin = kHeader + "Object \"b\" {\n BVertex 3 {\n" +
                            binaryVertices({{1, 2, 3}, {4, 5, 6}, {7.5, 8, 10}}) +
                            "  weit {\n  1 0.5\n  }\n }\n face 1 {\n  3 V(0 1 2)\n }\n}\n";
    Read binary(bin);
    ASSERT_TRUE(binary.ok);
    ASSERT_EQ(binary.object().vertices.size(), 3u);
    EXPECT_EQ(binary.object().vertices[0]->position, Vec3(1, 2, 3));
    EXPECT_EQ(binary.object().vertices[2]->position, Vec3(7.5, 8, 10));
    EXPECT_EQ(binary.corners(0), (std::vector<std::int32_t>{1, 3, 2}));

    // A block the data does not hold in full is refused, not read past.
    EXPECT_FALSE(Read(bin.substr(0, bin.find("Vector") + 30)).ok);
    EXPECT_FALSE(Read(kHeader + "Object \"b\" {\n BVertex 1 {\n Vector 1 36 x y\n }\n}\n").ok);
}

TEST(ReadMqo, FaceTakesItsFirstFourCornersAndInvertsThem)
{
    Read r(kHeader + object(kPentagon, "5 V(0 1 2 3 4)\n"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.object().faces[0]->cornerCount, 4);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 4, 3, 2}));
    // Written counter-clockwise seen from +z, negated (z stays 0) and then
    // inverted: the normal points to -z.
    EXPECT_NEAR(r.object().faces[0]->plane.c, -1.0, 1e-12);
}

TEST(ReadMqo, MaterialNumbersOutsideThePaletteMeanNone)
{
    const std::string materials = "Material 3 {\n\"a\" col(1 0 0 1)\n\"b\"\n\"c\" col(0 0 1 0.5)\n}\n";
    Read r(kHeader + materials +
           object(kSquare, "3 V(0 1 2) M(7)\n3 V(0 1 2) M(-1)\n3 V(0 1 2) M(2)\n3 V(0 1 2) M 2\n"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 4u);
    EXPECT_EQ(r.object().faces[0]->materialIndex, -1);
    EXPECT_EQ(r.object().faces[1]->materialIndex, -1);
    EXPECT_EQ(r.object().faces[2]->materialIndex, 2);
    EXPECT_EQ(r.object().faces[3]->materialIndex, -1);

    // Colours: "b" has none and carries "a"'s over.
    const auto& m = r.object().materials;
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[1].ambient[0], 1.0f);
    EXPECT_EQ(m[1].diffuse[3], 1.0f);
    EXPECT_EQ(m[2].ambient[2], 1.0f);
    EXPECT_EQ(m[2].diffuse[3], 0.5f);
    EXPECT_EQ(m[2].emission[3], 1.0f);
    EXPECT_EQ(m[2].specular[0], 0.0f);
    EXPECT_EQ(m[2].shininess, 0.0f);
}

TEST(ReadMqo, MaterialAttributesAreSteppedOver)
{
    Read r(kHeader +
           "Material 4 {\n"
           "\"first\"\n"
           "\"a\" shader(3) vcol(1) dif(0.8) tex(\"x y.bmp\") col(0.25 0.5 0.75 1)\n"
           "\"b\" col(1 1 1 1\n"          // bracket missing: walk stops, colour kept
           "\"c\" weird col(0 0 0 0)\n"   // an unknown word without "(" stops the walk
           "}\n");
    ASSERT_TRUE(r.ok);
    const auto& m = r.object().materials;
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].ambient[0], 0.0f); // the first line without colour
    EXPECT_EQ(m[0].ambient[3], 0.0f);
    EXPECT_EQ(m[1].ambient[1], 0.5f);
    EXPECT_EQ(m[2].ambient[1], 0.5f);
    EXPECT_EQ(m[3].ambient[2], 0.75f);
    // A Shift-JIS name whose second byte is '{' stays one token.
    Read sjis(kHeader + "Material 1 {\n\x83\x7B col(1 0 0 1)\n}\n");
    ASSERT_TRUE(sjis.ok);
    ASSERT_EQ(sjis.object().materials.size(), 1u);
    EXPECT_EQ(sjis.object().materials[0].ambient[0], 1.0f);
}

TEST(ReadMqo, TextureCoordinatesFlipV)
{
    Read r(kHeader + object(kSquare, "3 V(0 1 2) M(0) UV(0 0 1 0 1 1)\n3 V(0 2 3) UV(0.25 0.5 0 0 1 1)\n"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.model.hasTexCoords);
    // After the inversion every corner still carries its own vertex's pair.
    std::vector<std::pair<std::int32_t, std::pair<double, double>>> got;
    for (HalfEdge* h : r.object().faces[0]->outerLoop.halfEdges) {
        ASSERT_NE(h->texCoord, nullptr);
        got.push_back({h->origin->id, {h->texCoord->u, h->texCoord->v}});
    }
    EXPECT_EQ(got, (decltype(got){{1, {0.0, 1.0}}, {3, {1.0, 0.0}}, {2, {1.0, 1.0}}}));
    const HalfEdge* first = r.object().faces[1]->outerLoop.halfEdges[0];
    EXPECT_EQ(first->origin->id, 1);
    EXPECT_EQ(first->texCoord->u, 0.25);
    EXPECT_EQ(first->texCoord->v, 0.5);

    // u is kept in single precision; v is 1 minus the number as read.
    Read precise(kHeader + object(kSquare, "3 V(0 1 2) UV(0.1 0.1 0.3 0.3 0.7 0.7)\n"));
    ASSERT_TRUE(precise.ok);
    std::vector<std::pair<double, double>> uv;
    for (HalfEdge* h : precise.object().faces[0]->outerLoop.halfEdges) uv.push_back({h->texCoord->u, h->texCoord->v});
    // The inversion lists the corners 0, 2, 1.
    const std::vector<std::pair<double, double>> expected = {{static_cast<double>(0.1f), 1.0 - 0.1},
                                                             {static_cast<double>(0.7f), 1.0 - 0.7},
                                                             {static_cast<double>(0.3f), 1.0 - 0.3}};
    EXPECT_EQ(uv, expected);

    Read none(kHeader + object(kSquare, "3 V(0 1 2) UV(0 0 1 0)\n"));
    ASSERT_TRUE(none.ok);
    EXPECT_FALSE(none.model.hasTexCoords);
}

TEST(ReadMqo, SkipRuleCoversNestedChunksAndBinaryBlocks)
{
    const char raw[] = "}}}\n{{\0\xFF"; // braces, a line end and a NUL inside the block
    const std::string blob(raw, sizeof raw - 1);
    const std::string scene = "Scene {\n  a {\n  b {\n  }\n  Data 1 [" + std::to_string(blob.size()) + "]\n" + blob +
                              "\n  }\n}\n";
    Read r(kHeader + scene + "IncludeXml \"x.xml\"\nBackImage [5]\n)))))\n" + object(kSquare, "3 V(0 1 2)\n") +
           "Eof\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().faces.size(), 1u);
    // Unknown lines inside an object are skipped the same way.
    Read inside(kHeader + "Object \"o\" {\n shading 1\n mirror {\n x 1\n }\n vertex 3 {\n" + kSquare + " }\n}\n");
    ASSERT_TRUE(inside.ok);
    EXPECT_EQ(inside.object().vertices.size(), 4u);

    EXPECT_FALSE(Read(kHeader + "Scene {\n a {\n }\n").ok);          // ends inside
    EXPECT_FALSE(Read(kHeader + "BackImage [50]\nshort\n").ok);      // block beyond the end
    EXPECT_FALSE(Read(kHeader + "BackImage [-8]\nagain\n").ok);      // negative size
    EXPECT_FALSE(Read(kHeader + "Scene {\n Data [99]\n}\n").ok);
}

TEST(ReadMqo, MalformedContentIsRefused)
{
    EXPECT_FALSE(Read(kHeader + object(kSquare, "3 V(0 1 4)\n")).ok);   // index beyond the object
    EXPECT_FALSE(Read(kHeader + object(kSquare, "3 V(0 -1 2)\n")).ok);
    EXPECT_FALSE(Read(kHeader + object(kSquare, "3 X(0 1 2)\n")).ok);   // no "V"
    EXPECT_FALSE(Read(kHeader + object(kSquare, "4 V(0 1 2)\n")).ok);   // too few tokens
    EXPECT_FALSE(Read(kHeader + object(kSquare, "2147483647 V(0 1 2)\n")).ok);
    EXPECT_FALSE(Read(kHeader + "Material 1\n").ok);
    EXPECT_FALSE(Read(kHeader + "Object \"o\"\n").ok);
    EXPECT_FALSE(Read(kHeader + "Object \"o\" {\n vertex 1 x\n}\n").ok);
    EXPECT_FALSE(Read(kHeader + "Object \"o\" {\n vertex 1 {\n 1 2 3\n").ok);
    EXPECT_FALSE(Read(kHeader + "Object \"o\" {\n vertex 1 {\n 1e999 2 3\n }\n}\n").ok);
    EXPECT_FALSE(Read(kHeader + "Object \"o\" {\n vertex 3 {\n" + kSquare + " }\n face 1 {\n").ok);
    EXPECT_FALSE(Read(kHeader + "Material 1 {\n \"a\"\n").ok);
    // A face chunk in a later object cannot reach an earlier object's vertices.
    EXPECT_FALSE(Read(kHeader + object(kSquare, "") + "Object \"p\" {\n face 1 {\n 3 V(0 1 2)\n }\n}\n").ok);
}

TEST(ReadMqo, FacesWithFewerThanThreeCornersAreDropped)
{
    Read r(kHeader + object(kSquare, "2 V(0 1)\n3 V 0 1 2 M(0)\n-1 V x\n0 V()\n3 V(0 1 2) UV(0 0 1 0 1 1)\n"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.model.faceCount, 1);
    EXPECT_EQ(r.object().faces[0]->index, 0);
    EXPECT_NE(r.diag.str().find("fewer than three"), std::string::npos);
}

TEST(ReadMqo, OpensThroughTheExtension)
{
    const std::string path = writeTempFile("GEM.MQO", kHeader + object(kSquare, "4 V(0 1 2 3)\n"));
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(path, nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    EXPECT_EQ(loaded.model->faceCount, 1);
    EXPECT_EQ(loaded.model->filePath, path);
    EXPECT_EQ(loadModelFile(writeTempFile("bad.mqo", "nope\n"), nullptr).result, LoadResult::ReadFailed);
}

TEST(ReadMqo, GemSampleIsClosedAndTextured)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(NETTOR_SAMPLES_DIR "/gem.mqo", nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    const MeshObject& o = *loaded.model->objects.at(0);
    EXPECT_EQ(o.faces.size(), 8u);
    EXPECT_EQ(o.edges.size(), 12u);
    for (const Edge* e : o.edges) EXPECT_NE(e->halfEdge2, nullptr);
    EXPECT_TRUE(loaded.model->hasTexCoords);
    EXPECT_EQ(o.materials.size(), 2u);
    EXPECT_EQ(o.faces[7]->materialIndex, 1);
    EXPECT_EQ(diag.str(), "");
}
