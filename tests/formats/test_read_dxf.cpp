// The DXF reader: face entities, shared corners and the token-based reading.
#include "support/read_result.h"
#include "model/diagnostics.h"
#include "formats/load_model.h"
#include "model/mesh.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Read : ReadResult {
    explicit Read(const std::string& text) : ReadResult([&](Model& m) { return m.readDxfText(text); }) {}
};

// One 3DFACE entity in group-code form; the fourth corner only when given.
std::string face(const std::vector<Vec3>& c, const std::string& name = "3DFACE")
{
    std::ostringstream s;
    s << "  0\n" << name << "\n  8\nLayer\n";
    for (std::size_t i = 0; i < c.size(); ++i) {
        s << " 1" << i << "\n" << c[i].x << "\n 2" << i << "\n" << c[i].y << "\n 3" << i << "\n" << c[i].z << "\n";
    }
    return s.str();
}

const std::string kEnd = "  0\nENDSEC\n  0\nEOF\n";

// A polyline entity with its vertex records: first the coordinate records
// (flag 192), then the face records (flag 128) with their codes 71 to 74; a
// zero index is left out. The face records carry a location of their own,
// as writers put one there.
std::string polyline(const std::vector<Vec3>& points, const std::vector<std::vector<int>>& faces, int flag = 64,
                     int pointFlag = 192, bool seqend = true)
{
    std::ostringstream s;
    s << "  0\nPOLYLINE\n  8\nMesh layer\n 66\n1\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n" << flag << "\n 71\n"
      << points.size() << "\n 72\n" << faces.size() << "\n";
    for (const Vec3& p : points)
        s << "  0\nVERTEX\n  8\nMesh layer\n 10\n" << p.x << "\n 20\n" << p.y << "\n 30\n" << p.z << "\n 70\n"
          << pointFlag << "\n";
    for (const auto& f : faces) {
        s << "  0\nVERTEX\n  8\nMesh layer\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n128\n";
        for (std::size_t i = 0; i < f.size(); ++i) s << " 7" << i + 1 << "\n" << f[i] << "\n";
    }
    if (seqend) s << "  0\nSEQEND\n  8\nMesh layer\n";
    return s.str();
}

const std::vector<Vec3> kCubePoints = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
// Counter-clockwise seen from outside.
const std::vector<std::vector<int>> kCubeQuads = {{1, 4, 3, 2}, {5, 6, 7, 8}, {1, 2, 6, 5},
                                                  {3, 4, 8, 7}, {4, 1, 5, 8}, {2, 3, 7, 6}};

} // namespace

TEST(ReadDxf, SharedCornersBecomeSharedVertices)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    Model model;
    ASSERT_TRUE(model.readDxf(NETTOR_TEST_DATA_DIR "/two_triangles.dxf"));
    const MeshObject& o = *model.objects.at(0);
    // Both entities repeat their third corner as the fourth: two triangles.
    ASSERT_EQ(o.faces.size(), 2u);
    EXPECT_EQ(o.faces[0]->cornerCount, 3);
    EXPECT_EQ(o.vertices.size(), 4u);
    ASSERT_EQ(o.edges.size(), 5u);
    EXPECT_NE(o.edges[0]->halfEdge2, nullptr); // the shared diagonal
    EXPECT_EQ(o.edges[1]->halfEdge2, nullptr);
    EXPECT_FALSE(model.hasTexCoords);
    EXPECT_EQ(o.faces[1]->materialIndex, -1);
}

TEST(ReadDxf, FourthCornerDecidesBetweenTriangleAndQuadrilateral)
{
    Read r(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}) + // repeats the third
           face({{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 0, 5}}) + // repeats the first
           face({{0, 0, 9}, {1, 0, 9}, {1, 1, 9}, {0, 1, 9}}) + // a quadrilateral
           face({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}}) + kEnd);     // no fourth corner
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 4u);
    EXPECT_EQ(r.object().faces[0]->cornerCount, 3);
    EXPECT_EQ(r.object().faces[1]->cornerCount, 3);
    EXPECT_EQ(r.object().faces[2]->cornerCount, 4);
    EXPECT_EQ(r.object().faces[3]->cornerCount, 3);
    // A fourth corner equal to the second is a real corner.
    Read odd(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 0, 0}}) + kEnd);
    EXPECT_EQ(odd.object().faces.at(0)->cornerCount, 4);
}

TEST(ReadDxf, VertexIdsFollowFirstAppearanceAndEqualityIsExact)
{
    Read r(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}) + face({{2, 2, 2}, {1, 1, 0}, {1, 0, 0}}) +
           face({{1, 0, 0}, {2, 2, 2}, {-0.0, 0, 0}}) + kEnd);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{4, 3, 2}));
    EXPECT_EQ(r.corners(2), (std::vector<std::int32_t>{2, 4, 1})); // -0 equals 0
    EXPECT_EQ(r.object().vertices.size(), 4u);

    Read apart(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}) + face({{0, 0, 0}, {1, 1, 0}, {0, 1, 0.0000001}}) +
               face({{0, 0, 0}, {1, 1, 0.0000001}, {0, 1, 0}}) + kEnd);
    ASSERT_TRUE(apart.ok);
    EXPECT_EQ(apart.object().vertices.size(), 6u);
    EXPECT_EQ(apart.pairedEdges(), 1u); // only the second face meets the first
}

TEST(ReadDxf, OnlyExactEntityNamesAreFaces)
{
    Read r(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, "3DFace") + face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, "3dface") +
           face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, "LINE") + kEnd);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.object().vertices.size(), 3u);

    Read none("  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nEOF\n");
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.object().faces.size(), 0u);
    EXPECT_TRUE(Read("").ok);
}

TEST(ReadDxf, TokenRulesOfAnEntity)
{
    // A layer named 0 before the first code 10 is skipped; "10 10 v" takes v.
    Read r("0\n3DFACE\n8\n0\n10\n10\n2.5\n20\n1\n30\n0\n11\n3\n21\n1\n31\n0\n12\n3\n22\n4\n32\n0\n0\nEOF\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.object().vertices[0]->position, Vec3(2.5, 1, 0));
    EXPECT_EQ(r.object().vertices[2]->position, Vec3(3, 4, 0));

    // A VERTEX entity with only its first corner keeps the other two at the origin.
    Read v("0\nVERTEX\n8\nL\n10\n1\n20\n2\n30\n3\n0\nSEQEND\n");
    ASSERT_TRUE(v.ok);
    ASSERT_EQ(v.object().faces.size(), 1u);
    EXPECT_EQ(v.corners(0), (std::vector<std::int32_t>{1, 2, 2}));

    // The file ending inside an entity still gives the face read so far.
    Read cut("0\n3DFACE\n10\n1\n20\n0\n30\n0\n11\n0\n21\n1\n31\n0\n12\n5");
    ASSERT_TRUE(cut.ok);
    ASSERT_EQ(cut.object().faces.size(), 1u);
    EXPECT_EQ(cut.object().vertices[2]->position, Vec3(5, 0, 0));
}

TEST(ReadDxf, NonFiniteCoordinatesAreRefused)
{
    EXPECT_FALSE(Read("0\n3DFACE\n10\n1e999\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n0\n").ok);
    EXPECT_FALSE(Read("0\n3DFACE\n10\nnan\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n0\n").ok);
    // An unused fourth corner does not count.
    EXPECT_TRUE(Read("0\n3DFACE\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n0\n").ok);
}

TEST(ReadDxf, OpensThroughTheExtension)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(writeTempFile("P.DXF", face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}) + kEnd), nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    EXPECT_EQ(loaded.model->faceCount, 1);
    Model model;
    EXPECT_FALSE(model.readDxf("/nonexistent/x.dxf"));
    EXPECT_NE(diag.str().find("Cannot open /nonexistent/x.dxf"), std::string::npos);
}

TEST(ReadDxf, PyramidSampleIsClosed)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(NETTOR_SAMPLES_DIR "/pyramid.dxf", nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    const MeshObject& o = *loaded.model->objects.at(0);
    EXPECT_EQ(o.faces.size(), 5u);
    EXPECT_EQ(o.vertices.size(), 5u);
    EXPECT_EQ(o.edges.size(), 8u);
    for (const Edge* e : o.edges) EXPECT_NE(e->halfEdge2, nullptr);
    EXPECT_EQ(diag.str(), "");
}

TEST(ReadDxf, PolyfaceMeshGivesItsFacesOnSharedVertices)
{
    Read r("  0\nSECTION\n  2\nENTITIES\n" + polyline(kCubePoints, kCubeQuads) + kEnd);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 6u);
    EXPECT_EQ(r.model.faceCount, 6);
    ASSERT_EQ(r.object().vertices.size(), 8u); // the face records' locations are no vertices
    for (const Face* f : r.object().faces) EXPECT_EQ(f->cornerCount, 4);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 4, 3, 2}));
    EXPECT_EQ(r.object().vertices[6]->position, Vec3(1, 1, 1));
    // Closed and consistently wound: every edge paired, the normals outward.
    EXPECT_EQ(r.object().edges.size(), 12u);
    EXPECT_EQ(r.boundaryEdges(), 0u);
    EXPECT_EQ(r.diag.str(), "");
    EXPECT_NEAR(r.object().faces[1]->plane.c, 1.0, 1e-12);
    EXPECT_NEAR(r.object().faces[0]->plane.c, -1.0, 1e-12);

    // The same cube without its closing SEQEND, the file ending in the mesh.
    Read unended(polyline(kCubePoints, kCubeQuads, 64, 192, false));
    ASSERT_TRUE(unended.ok);
    EXPECT_EQ(unended.object().faces.size(), 6u);
    EXPECT_EQ(unended.boundaryEdges(), 0u);
}

TEST(ReadDxf, PolyfaceTrianglesAndInvisibleEdges)
{
    // Each side as two triangles; the diagonals are invisible (negative
    // index at their start corner), a fourth index of 0 ends a triangle.
    std::vector<std::vector<int>> triangles;
    for (const auto& q : kCubeQuads) {
        triangles.push_back({q[0], q[1], -q[2], 0});
        triangles.push_back({-q[2], q[3], q[0]});
    }
    Read r(polyline(kCubePoints, triangles) + kEnd);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 12u);
    for (const Face* f : r.object().faces) EXPECT_EQ(f->cornerCount, 3);
    EXPECT_EQ(r.object().vertices.size(), 8u);
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(r.object().edges.size(), 18u);
    EXPECT_EQ(r.boundaryEdges(), 0u);

    // A face that names a corner twice in a row, or only two corners, is
    // what is left of it.
    Read degenerate(polyline(kCubePoints, {{1, 2, 2, 3}, {1, 2, 0, 0}, {4, 4, 4, 4}}) + kEnd);
    ASSERT_TRUE(degenerate.ok);
    ASSERT_EQ(degenerate.object().faces.size(), 1u);
    EXPECT_EQ(degenerate.corners(0), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(ReadDxf, PolyfaceCoordinatesMergeWithEachOtherAndWithFaceEntities)
{
    // A square written with a repeated coordinate record, next to a 3DFACE
    // on two of its corners.
    Read r(polyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}}, {{1, 5, 3, 4}}) +
           face({{1, 0, 0}, {0, 0, 0}, {0, -1, 0}}) + kEnd);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 2u);
    EXPECT_EQ(r.object().vertices.size(), 5u);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{2, 1, 5}));
    EXPECT_EQ(r.pairedEdges(), 1u);
}

TEST(ReadDxf, PolyfaceIndexOutsideTheMeshRefusesTheFile)
{
    EXPECT_FALSE(Read(polyline(kCubePoints, {{1, 2, 9}}) + kEnd).ok);
    EXPECT_FALSE(Read(polyline(kCubePoints, {{1, 2, 3, -9}}) + kEnd).ok);
    EXPECT_FALSE(Read(polyline(kCubePoints, {{1, 2, 3, 2147483647}}) + kEnd).ok);
    EXPECT_FALSE(Read(polyline(kCubePoints, {{1, 2, 3, -2147483647}}) + kEnd).ok);
    EXPECT_FALSE(Read(polyline({}, {{1, 2, 3}}) + kEnd).ok);
    // The indices count within their own mesh only.
    EXPECT_FALSE(Read(polyline(kCubePoints, kCubeQuads) + polyline({{0, 0, 5}, {1, 0, 5}, {1, 1, 5}}, {{1, 2, 4}}) + kEnd).ok);
    EXPECT_TRUE(Read(polyline(kCubePoints, kCubeQuads) + polyline({{0, 0, 5}, {1, 0, 5}, {1, 1, 5}}, {{1, 2, 3}}) + kEnd).ok);
    // Also when the file ends before the mesh does.
    EXPECT_FALSE(Read(polyline(kCubePoints, {{1, 2, 9}}, 64, 192, false)).ok);
    EXPECT_FALSE(Read(polyline({{0, 0, 0}, {std::numeric_limits<double>::infinity(), 0, 0}, {0, 1, 0}}, {{1, 2, 3}}) + kEnd).ok);
}

TEST(ReadDxf, VerticesOfOtherPolylinesAreNoFaces)
{
    // A 2D outline (flag 1, closed), a 3D polyline (8) and a polygon mesh
    // (16) with vertex flags of their kind; then a face entity.
    Read r(polyline(kCubePoints, {}, 1, 0) + polyline(kCubePoints, {}, 8, 32) + polyline(kCubePoints, {{1, 2, 3}}, 16, 64) +
           face({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}}) + kEnd);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.object().vertices.size(), 3u);
    // In a polyface mesh, a record with bit 64 but not 128 is neither.
    Read plain(polyline(kCubePoints, {}, 64, 64) + kEnd);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.object().vertices.size(), 0u);
}
