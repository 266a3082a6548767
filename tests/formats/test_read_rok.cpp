// The ROK reader: grammar, line chains, palette and orientation.
#include "support/read_result.h"
#include "model/diagnostics.h"
#include "formats/face_orientation.h"
#include "formats/load_model.h"
#include "model/mesh.h"
#include "formats/text_file.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Read : ReadResult {
    explicit Read(const std::string& text) : ReadResult([&](Model& m) { return m.readRokText(text); }) {}
};

struct Line {
    int a, b;
};

// A ROK text: points (file coordinates), lines, faces as line lists with a
// material number, then the palette section.
std::string rok(const std::vector<Vec3>& points, const std::vector<Line>& lines,
                const std::vector<std::pair<int, std::vector<int>>>& faces, const std::string& tail = "")
{
    std::ostringstream s;
    s << "POINT\n";
    for (const Vec3& p : points) s << "LINE0 a b c d " << p.x << " " << p.y << " " << p.z << "\n";
    s << "LINE1\n";
    for (const Line& l : lines) s << l.a << " " << l.b << " 0 0\n";
    s << "FACE0\n";
    for (const auto& [material, chain] : faces) {
        s << chain.size() << " " << material << " 0";
        for (int l : chain) s << " " << l;
        s << "\n";
    }
    s << "END00\n" << tail;
    return s.str();
}

const std::vector<Vec3> kSquarePoints = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<Line> kSquareLines = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}};

// The orientation search exactly as stated: restart from the first face
// after every settled face; compare each unsettled face with each settled
// one, side by side.
void orientBySearch(MeshObject& object)
{
    const auto& faces = object.faces;
    std::vector<char> settled(faces.size(), 0);
    auto joins = [](const HalfEdge* k, const HalfEdge* l) {
        return (k->origin == l->origin && k->next->origin == l->next->origin) ||
               (k->origin == l->next->origin && k->next->origin == l->origin);
    };
    for (std::size_t start = 0; start < faces.size(); ++start) {
        if (settled[start]) continue;
        settled[start] = 1;
        for (bool found = true; found;) {
            found = false;
            for (std::size_t h = 0; h < faces.size() && !found; ++h) {
                if (settled[h]) continue;
                for (std::size_t j = 0; j < faces.size() && !found; ++j) {
                    if (!settled[j]) continue;
                    for (HalfEdge* k : faces[h]->outerLoop.halfEdges) {
                        for (HalfEdge* l : faces[j]->outerLoop.halfEdges) {
                            if (!joins(k, l)) continue;
                            const bool opposite = k->origin == l->next->origin && k->next->origin == l->origin;
                            if (!opposite) reverseFace(*faces[h]);
                            settled[h] = 1;
                            found = true;
                            break;
                        }
                        if (found) break;
                    }
                }
            }
        }
    }
}

// Random faces over few vertices: shared, over-shared and inconsistently
// wound sides, several groups.
std::unique_ptr<Model> randomFaces(unsigned seed)
{
    std::mt19937 rng(seed);
    auto model = std::make_unique<Model>();
    MeshObject& o = *model->addObject();
    const int vertexCount = 6 + static_cast<int>(rng() % 10);
    for (int i = 0; i < vertexCount; ++i) o.addVertex(rng() % 7, rng() % 7, rng() % 7, i + 1);
    const int faceCount = 5 + static_cast<int>(rng() % 40);
    for (int f = 0; f < faceCount; ++f) {
        const int n = 3 + static_cast<int>(rng() % 3);
        Face& face = *o.addFace();
        for (int c = 0; c < n; ++c) face.addCorner(o.vertices[rng() % static_cast<unsigned>(vertexCount)]);
        face.finishFace();
    }
    return model;
}

std::vector<std::vector<std::int32_t>> cornerLists(const MeshObject& o)
{
    std::vector<std::vector<std::int32_t>> all;
    for (const Face* f : o.faces) {
        auto& ids = all.emplace_back();
        for (const HalfEdge* h : f->outerLoop.halfEdges) ids.push_back(h->origin->id);
        // next and prev must still describe the list
        for (std::size_t i = 0; i < f->outerLoop.halfEdges.size(); ++i) {
            const HalfEdge* h = f->outerLoop.halfEdges[i];
            if (h->next != f->outerLoop.halfEdges[(i + 1) % f->outerLoop.halfEdges.size()]) ids.push_back(-1);
        }
    }
    return all;
}

} // namespace

TEST(ReadRok, MixedChainDirectionsGiveAConsistentCube)
{
    Read r(*readWholeFile(NETTOR_TEST_DATA_DIR "/cube_mixed.rok"));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 6u);
    for (const Face* f : r.object().faces) EXPECT_EQ(f->cornerCount, 4);
    EXPECT_EQ(r.object().edges.size(), 12u);
    EXPECT_EQ(r.boundaryEdges(), 0u);
    EXPECT_EQ(r.diag.str(), "");
    // The group runs opposite to the first face as written (1 2 3 4).
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 4, 3, 2}));
    // The file's y and z are negated.
    EXPECT_EQ(r.object().vertices[6]->position, Vec3(1, -1, -1));
    EXPECT_EQ(r.model.boundsMin, Vec3(0, -1, -1));
    // Every face's normal points the same way relative to the cube's centre.
    const Vec3 centre(0.5, -0.5, -0.5);
    int outward = 0;
    for (const Face* f : r.object().faces) {
        const Vec3 n(f->plane.a, f->plane.b, f->plane.c);
        outward += dot(n, f->centroid - centre) > 0 ? 1 : -1;
    }
    EXPECT_EQ(std::abs(outward), 6);
}

TEST(ReadRok, ChainsWalkFromEitherEndOfTheirFirstLine)
{
    // The same square as 1-2-3-4 and, starting backwards, 1-4-3-2.
    Read r(rok(kSquarePoints, kSquareLines, {{0, {1, 2, 3, 4}}, {0, {4, 3, 2, 1}}}));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 2u);
    EXPECT_EQ(r.object().faces[0]->cornerCount, 4);
    EXPECT_EQ(r.object().faces[1]->cornerCount, 4);
    // Lines 2 3 4 1 start at point 2; 1 4 3 2 at point 1 and go backwards.
    Read s(rok(kSquarePoints, kSquareLines, {{0, {2, 3, 4, 1}}}));
    EXPECT_EQ(s.corners(0), (std::vector<std::int32_t>{2, 1, 4, 3}));
    Read t(rok(kSquarePoints, kSquareLines, {{0, {1, 4, 3, 2}}}));
    EXPECT_EQ(t.corners(0), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST(ReadRok, GroupsAreOrientedIndependentlyByTheirFirstFace)
{
    // Two squares split into triangles; the faces of the groups interleave,
    // and each second triangle runs the same way as the first along the
    // shared diagonal.
    std::vector<Vec3> points = kSquarePoints;
    for (Vec3 p : kSquarePoints) points.push_back({p.x + 5, p.y, p.z});
    std::vector<Line> lines = kSquareLines;
    for (Line l : kSquareLines) lines.push_back({l.a + 4, l.b + 4});
    // Group A: 1-2-3 and 1-3-4 reversed (1-4-3); group B: 7-6-5 then 5-7-8.
    Read r(rok(points, lines, {{0, {1, 2, 5}}, {0, {10, 7, 6}}, {0, {4, 3, 5}}, {0, {10, 8, 9}}}));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 4u);
    EXPECT_EQ(r.boundaryEdges(), 8u);
    EXPECT_EQ(r.object().edges.size(), 10u);
    EXPECT_EQ(r.corners(0), (std::vector<std::int32_t>{1, 3, 2}));
    EXPECT_EQ(r.corners(1), (std::vector<std::int32_t>{5, 6, 7}));
    // Both groups face opposite ways, as their first faces do.
    EXPECT_GT(r.object().faces[0]->plane.c * r.object().faces[2]->plane.c, 0.0);
    EXPECT_LT(r.object().faces[0]->plane.c * r.object().faces[1]->plane.c, 0.0);
}

TEST(ReadRok, OrientationMatchesTheRestartingSearch)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::ostringstream diag;
        DiagnosticsRedirect redirect(diag);
        auto expected = randomFaces(seed);
        auto actual = randomFaces(seed);
        orientBySearch(*expected->objects[0]);
        orientConnectedFaces(*actual->objects[0]);
        ASSERT_EQ(cornerLists(*actual->objects[0]), cornerLists(*expected->objects[0])) << "seed " << seed;
        for (std::size_t f = 0; f < actual->objects[0]->faces.size(); ++f) {
            ASSERT_EQ(actual->objects[0]->faces[f]->plane.c, expected->objects[0]->faces[f]->plane.c);
        }
    }
}

TEST(ReadRok, PaletteBecomesMaterialsAndNumbersAreChecked)
{
    const std::string palette = "junk PALC0 2\n0 255 0 0 0 255 0\n0 0 0 255 51 0 0\nmore PALC0 1 0 1 2 3 4 5 6\n";
    Read r(rok(kSquarePoints, kSquareLines, {{3, {1, 2, 5}}, {2, {5, 3, 4}}, {-2, {1, 2, 5}}}, palette));
    ASSERT_TRUE(r.ok);
    const auto& m = r.object().materials;
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].ambient[0], 1.0f);
    EXPECT_EQ(m[0].ambient[1], 0.0f);
    EXPECT_EQ(m[0].ambient[3], 1.0f);
    EXPECT_EQ(m[0].diffuse[1], 1.0f);
    EXPECT_EQ(m[1].ambient[2], 1.0f);
    EXPECT_EQ(m[1].diffuse[0], 0.2f);
    EXPECT_EQ(m[1].emission[3], 1.0f);
    EXPECT_EQ(m[1].specular[3], 1.0f);
    EXPECT_EQ(m[2].diffuse[2], 6.0f / 255.0f);
    ASSERT_EQ(r.object().faces.size(), 3u);
    EXPECT_EQ(r.object().faces[0]->materialIndex, -1);
    EXPECT_EQ(r.object().faces[1]->materialIndex, 2);
    EXPECT_EQ(r.object().faces[2]->materialIndex, -1); // negative numbers name nothing either

    Read three(rok(kSquarePoints, kSquareLines, {{3, {1, 2, 5}}}, "PALC0 3\n0 1 1 1 1 1 1\n0 1 1 1 1 1 1\n0 1 1 1 1 1 1\n"));
    EXPECT_EQ(three.object().faces.at(0)->materialIndex, -1);
}

TEST(ReadRok, ListsEndWithTheFile)
{
    Read noFaces("intro POINT LINE0 a b c d 1 2 3 LINE0 a b c d 4 5 6 LINE1 1 2 0 0");
    ASSERT_TRUE(noFaces.ok);
    EXPECT_EQ(noFaces.object().vertices.size(), 2u);
    EXPECT_EQ(noFaces.object().vertices[0]->position, Vec3(1, -2, -3));
    EXPECT_EQ(noFaces.object().faces.size(), 0u);
    EXPECT_TRUE(Read("no keyword at all").ok);
    EXPECT_TRUE(Read("").ok);
    EXPECT_TRUE(Read("POINT LINE0 a b c d 1 2 3").ok);
    // A point record cut short by the end of the file ends the list: the
    // complete points stay, the partial one gives no vertex.
    Read cutPoint("POINT LINE0 a b c d 1 2 3 LINE0 a b c d 4 5");
    ASSERT_TRUE(cutPoint.ok);
    ASSERT_EQ(cutPoint.object().vertices.size(), 1u);
    EXPECT_EQ(cutPoint.object().vertices[0]->position, Vec3(1, -2, -3));
    EXPECT_TRUE(Read("POINT LINE0").ok);
}

TEST(ReadRok, RecordsCutShortOrPointingOutsideAreRefused)
{
    const std::string good = rok(kSquarePoints, kSquareLines, {{0, {1, 2, 5}}}, "PALC0 1\n0 1 2 3 4 5 6\n");
    ASSERT_TRUE(Read(good).ok);
    // Cut inside a line, a face, the palette count and an entry.
    EXPECT_FALSE(Read("POINT LINE0 a b c d 1 2 3 X 1 2 0").ok);
    EXPECT_FALSE(Read(good.substr(0, good.find("END00") - 3)).ok);
    EXPECT_FALSE(Read(good.substr(0, good.find("PALC0") + 6)).ok);
    EXPECT_FALSE(Read(good.substr(0, good.size() - 4)).ok);
    // A line or point number outside its table.
    EXPECT_FALSE(Read(rok(kSquarePoints, kSquareLines, {{0, {1, 2, 6}}})).ok);
    EXPECT_FALSE(Read(rok(kSquarePoints, kSquareLines, {{0, {0, 1, 2}}})).ok);
    EXPECT_FALSE(Read(rok(kSquarePoints, {{1, 2}, {2, 9}, {9, 1}}, {{0, {1, 2, 3}}})).ok);
    EXPECT_FALSE(Read(rok(kSquarePoints, {{1, 2}, {2, -3}, {-3, 1}}, {{0, {1, 2, 3}}})).ok);
    // Unused lines may point anywhere.
    EXPECT_TRUE(Read(rok(kSquarePoints, {{1, 2}, {2, 3}, {3, 1}, {7, 99}}, {{0, {1, 2, 3}}})).ok);
    // Not a finite coordinate.
    EXPECT_FALSE(Read("POINT LINE0 a b c d 1e999 2 3 X").ok);
    // A huge corner count needs as many words; it is not believed up front.
    EXPECT_FALSE(Read("POINT LINE0 a b c d 0 0 0 X 1 1 0 0 FACE0 4000000000 0 0 1 1 1").ok);
}

TEST(ReadRok, FaceRecordsOfFewerThanThreeLinesAddNoFace)
{
    Read r(rok(kSquarePoints, kSquareLines, {{0, {}}, {0, {1, 2}}, {0, {1, 2, 5}}}));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.object().faces.size(), 1u);
    EXPECT_EQ(r.model.faceCount, 1);
    EXPECT_EQ(r.object().faces[0]->index, 0);
    // A negative count reads no line numbers.
    Read negative("POINT LINE0 a b c d 0 0 0 X 1 1 0 0 FACE0 -5 0 0 END00");
    EXPECT_TRUE(negative.ok);
    EXPECT_EQ(negative.object().faces.size(), 0u);
}

TEST(ReadRok, OpensThroughTheExtension)
{
    std::ostringstream diag;
    DiagnosticsRedirect redirect(diag);
    LoadedModel loaded = loadModelFile(NETTOR_TEST_DATA_DIR "/cube_mixed.rok", nullptr);
    ASSERT_EQ(loaded.result, LoadResult::Loaded);
    EXPECT_EQ(loaded.model->faceCount, 6);
    EXPECT_EQ(loadModelFile(writeTempFile("cut.ROK", "POINT LINE0 a b c d 1 2 3 X 1"), nullptr).result, LoadResult::ReadFailed);
}
