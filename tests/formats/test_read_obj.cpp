// The Wavefront OBJ reader: accepted forms, refusals and malformed input.
#include "support/read_result.h"
#include "model/diagnostics.h"
#include "model/mesh.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Read : ReadResult {
    explicit Read(const std::string& text) : ReadResult([&](Model& m) { return m.readObjText(text); }) {}
};

const char* kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

} // namespace

TEST(ReadObj, TextureIndicesSetTheFlagNormalsDoNot)
{
    Read withTex(std::string(kTriangle) + "vt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n");
    ASSERT_TRUE(withTex.ok);
    EXPECT_TRUE(withTex.model.hasTexCoords);
    const auto& hs = withTex.object().faces[0]->outerLoop.halfEdges;
    EXPECT_EQ(hs[1]->texCoord, withTex.object().texCoords[1]);

    Read normals(std::string(kTriangle) + "vn 0 0 1\nf 1//1 2//1 3//1\n");
    ASSERT_TRUE(normals.ok);
    EXPECT_FALSE(normals.model.hasTexCoords);
    EXPECT_EQ(normals.object().faces[0]->outerLoop.halfEdges[0]->texCoord, nullptr);

    Read full(std::string(kTriangle) + "vt 0.25 0.75\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n");
    ASSERT_TRUE(full.ok);
    EXPECT_TRUE(full.model.hasTexCoords);
    EXPECT_EQ(full.object().faces[0]->outerLoop.halfEdges[2]->texCoord->u, 0.25);
}

TEST(ReadObj, NegativeIndicesCountBackFromTheLastVertex)
{
    Read r(std::string(kTriangle) + "f -3 -2 -1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(ReadObj, RefusesIndicesOutsideTheTable)
{
    EXPECT_FALSE(Read(std::string(kTriangle) + "f 1 2 4\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "f 0 1 2\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "f -4 1 2\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "f 1 2 99999999999999999999\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "f x y z\n").ok);
    // Texture indices: -1 is none, anything else outside 1..count fails.
    EXPECT_TRUE(Read(std::string(kTriangle) + "f 1/-1 2/-1 3/-1\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "vt 0 0\nf 1/2 2/1 3/1\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "vt 0 0\nf 1/-2 2/1 3/1\n").ok);
    EXPECT_FALSE(Read(std::string(kTriangle) + "f 1/ 2/ 3/\n").ok);
}

TEST(ReadObj, GroupsStayOneObject)
{
    Read r(std::string(kTriangle) + "v 1 1 0\ng a\nf 1 2 3\ng b\nf 2 4 3\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.model.objects.size(), 1u);
    EXPECT_EQ(r.object().faces.size(), 2u);
    EXPECT_EQ(r.object().edges.size(), 5u);
}

TEST(ReadObj, VerticesAfterFacesAreAppendedAndAddressable)
{
    // Two objects one after another, as many exporters write them.
    Read r(std::string(kTriangle) + "f 1 2 3\n" + "v 5 0 0\nv 6 0 0\nv 5 1 0\nf 4 5 6\nf -3 -2 -1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().vertices.size(), 6u);
    ASSERT_EQ(r.object().faces.size(), 3u);
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{4, 5, 6}));
    EXPECT_EQ(r.corners(2), (std::vector<std::int32_t>{4, 5, 6}));
    EXPECT_EQ(r.model.boundsMax.x, 6.0);
    // A forward reference to a vertex not read yet still fails.
    EXPECT_FALSE(Read(std::string(kTriangle) + "f 1 2 4\nv 1 1 1\n").ok);
}

TEST(ReadObj, BackslashContinuesOnTheNextLine)
{
    Read r(std::string(kTriangle) + "f \\\n1 2 3\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(ReadObj, CommentsAndVerticesOnly)
{
    Read r("# a comment\nv 1 2 3 # trailing\n# f 1 2 3\nv 4 5 6\nvn 0 0 1\nusemtl x\ns off\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().vertices.size(), 2u);
    EXPECT_EQ(r.object().faces.size(), 0u);
    EXPECT_EQ(r.model.boundsMin, Vec3(1, 2, 3));
}

TEST(ReadObj, TextureCoordinateTakesTwoNumbers)
{
    Read r("vt 0.5 0.5 0.0\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().texCoords.size(), 1u);
    EXPECT_EQ(r.object().texCoords[0]->u, 0.5);
    EXPECT_EQ(r.object().texCoords[0]->v, 0.5);
}

TEST(ReadObj, NumbersConvertLikeTheCLibrary)
{
    Read r("v +1.5 -2e1 abc\nv 1e400 0 0\n");
    EXPECT_FALSE(r.ok); // 1e400 is not a finite coordinate
    Read s("v +1.5 -2e1 abc\nv 0x10 .5 7junk\n");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.object().vertices[0]->position, Vec3(1.5, -20, 0));
    EXPECT_EQ(s.object().vertices[1]->position, Vec3(16, 0.5, 7));
}

TEST(ReadObj, ShortVertexAndTextureLinesFail)
{
    EXPECT_FALSE(Read("v 1 2\n").ok);
    EXPECT_FALSE(Read("v\n1 2 3\n").ok); // the numbers must be on the v line
    EXPECT_FALSE(Read("vt 1\n").ok);
    EXPECT_FALSE(Read("v nan 0 0\n").ok);
}

TEST(ReadObj, LongLinesAreReadInFull)
{
    // A face line of many corners, far beyond 511 characters, and a vertex
    // line padded with blanks.
    std::string text = "v " + std::string(600, ' ') + "0 0 0\n";
    const int n = 300;
    for (int i = 1; i < n; ++i)
        text += "v " + std::to_string(std::cos(i * 0.02)) + " " + std::to_string(std::sin(i * 0.02)) + " 0\n";
    text += "f";
    for (int i = 1; i <= n; ++i) text += " " + std::to_string(i);
    text += "\nv 9 9 9\nf 1 2 301\n";
    Read r(text);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 2u);
    EXPECT_EQ(r.object().faces[0]->cornerCount, n);
    EXPECT_EQ(r.object().vertices.size(), 301u);
    // A long comment is skipped whole, not read as tokens.
    Read c("# " + std::string(700, 'x') + " v 1 2\n" + kTriangle + "f 1 2 3\n");
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.object().faces.size(), 1u);
}

TEST(ReadObj, WindowsLineEndsAndFaceWithTwoCorners)
{
    Read r("v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\nf 1 2\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().faces.size(), 1u);
    EXPECT_NE(r.diag.str().find("fewer than three corners"), std::string::npos);
}

TEST(ReadObj, EmptyFileAndMissingFile)
{
    Read empty("");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.object().vertices.size(), 0u);

    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    Model m;
    EXPECT_FALSE(m.readObj("/nonexistent/dir/model.obj"));
    EXPECT_EQ(diag.str(), "Cannot open /nonexistent/dir/model.obj\n");
}

TEST(ReadObj, CubeFromFilePairsAllEdges)
{
    const std::string path = writeTempFile("cube.obj", toObjText(boxSpec()));
    Model m;
    ASSERT_TRUE(m.readObj(path));
    EXPECT_EQ(m.objects[0]->edges.size(), 12u);
    for (Edge* e : m.objects[0]->edges) EXPECT_NE(e->halfEdge2, nullptr);
}

TEST(ReadObj, BinaryGarbageNeverCrashes)
{
    std::mt19937 rng(12345);
    const std::string alphabet = "vtf/-0123456789 .\n\\#e+";
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int len = static_cast<int>(rng() % 400);
        for (int i = 0; i < len; ++i) {
            text += (round % 2) ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
        }
        Read r(text); // must return, whatever it returns
        if (r.ok) {
            for (Face* f : r.object().faces) EXPECT_GE(f->cornerCount, 3);
        }
    }
}
