// The 3D view's arrays: every face as the fan of triangles its polygon is
// filled with, in the batch of its appearance, the batches in the order of
// their first faces; every edge a line of its state's width and colour;
// once finished, the outlines through the corner copies, a side two faces
// share drawn once.
#include "scene/model_arrays.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nettor {
namespace {

bool sameLook(const FaceAppearance& a, const FaceAppearance& b)
{
    return a.colour == b.colour && a.material == b.material && a.texture == b.texture;
}

Vec3 at(const std::vector<float>& xyz, std::size_t corner)
{
    return {xyz[3 * corner], xyz[3 * corner + 1], xyz[3 * corner + 2]};
}

bool near(const Vec3& a, const Vec3& b)
{
    return length(a - b) < 1e-5;
}

Vec3 cornerOf(const HalfEdge& h, bool finished)
{
    if (finished && h.cornerCopy) return {h.cornerCopy->x, h.cornerCopy->y, h.cornerCopy->z};
    return h.origin->position;
}

// Every face's triangles in its batch, in face order; every batch's look
// its own.
void expectFacesInBatches(const Model& model, const ModelArrays& arrays, bool finished)
{
    std::vector<std::uint32_t> next; // the next corner of each batch
    for (std::size_t b = 0; b < arrays.faceBatches.size(); ++b) {
        next.push_back(arrays.faceBatches[b].first);
        if (b) {
            EXPECT_EQ(arrays.faceBatches[b].first, arrays.faceBatches[b - 1].first + arrays.faceBatches[b - 1].count);
        }
        for (std::size_t c = 0; c < b; ++c)
            EXPECT_FALSE(sameLook(arrays.faceBatches[b].look, arrays.faceBatches[c].look));
    }
    std::size_t batchesSeen = 0;
    for (const auto& object : model.objects)
        for (const Face* face : object->faces) {
            const FaceAppearance look = modelFaceAppearance(model, *face, false, finished);
            std::size_t b = 0;
            while (b < arrays.faceBatches.size() && !sameLook(arrays.faceBatches[b].look, look)) ++b;
            ASSERT_LT(b, arrays.faceBatches.size());
            ASSERT_LE(b, batchesSeen); // batches in the order of their first faces
            batchesSeen = std::max(batchesSeen, b + 1);
            const auto& hs = face->outerLoop.halfEdges;
            const Vec3 normal{face->plane.a, face->plane.b, face->plane.c};
            for (std::size_t i = 1; i + 1 < hs.size(); ++i)
                for (const std::size_t c : {std::size_t{0}, i, i + 1}) {
                    const std::uint32_t k = next[b]++;
                    EXPECT_TRUE(near(at(arrays.facePositions, k), cornerOf(*hs[c], finished)));
                    EXPECT_TRUE(near(at(arrays.faceNormals, k), normal));
                }
        }
    EXPECT_EQ(batchesSeen, arrays.faceBatches.size());
    for (std::size_t b = 0; b < arrays.faceBatches.size(); ++b)
        EXPECT_EQ(next[b], arrays.faceBatches[b].first + arrays.faceBatches[b].count);
    EXPECT_EQ(arrays.facePositions.size(), arrays.faceNormals.size());
    EXPECT_EQ(arrays.faceTexCoords.size() / 2, arrays.facePositions.size() / 3);
}

class ModelArraysTest : public test::UnfoldTest {};

TEST_F(ModelArraysTest, FacesAndEdgesWhileUnfoldingAndOnceFinished)
{
    Model& model = take(buildModel(std::vector<test::MeshSpec>{test::lPrismSpec(),
                                                               test::translated(test::boxSpec(), {5, 0, 0})}));
    // Two materials on the box, a face of the prism unfolded by hand.
    MeshObject& box = *model.objects[1];
    box.materials.resize(2);
    box.materials[1].diffuse[0] = 0.3f;
    for (std::size_t i = 0; i < box.faces.size(); ++i) box.faces[i]->materialIndex = static_cast<int>(i % 3) - 1;
    model.objects[0]->faces[2]->unfolded = 1;
    model.objects[0]->edges[0]->state = EdgeState::MarkedCut;
    model.objects[0]->edges[1]->state = EdgeState::Candidate;
    model.objects[1]->edges[3]->isRidge = 1;

    for (const bool edgeColour : {false, true}) {
        const ModelArrays arrays = buildModelArrays(model, {false, false, edgeColour});
        expectFacesInBatches(model, arrays, false);
        EXPECT_EQ(arrays.faceBatches.size(), 4u); // default, unfolded, two materials

        // Every edge once, in edge order within the batch of its width.
        std::vector<std::uint32_t> next;
        for (const LineBatch& batch : arrays.lineBatches) next.push_back(batch.first);
        std::size_t edges = 0;
        for (const auto& object : model.objects)
            for (const Edge* edge : object->edges) {
                const EdgeLook look = edgeLook(*edge, edgeColour);
                std::size_t b = 0;
                while (b < arrays.lineBatches.size() && arrays.lineBatches[b].width != look.width) ++b;
                ASSERT_LT(b, arrays.lineBatches.size());
                const std::uint32_t k = next[b];
                next[b] += 2;
                EXPECT_TRUE(near(at(arrays.linePositions, k), edge->vertex1->position));
                EXPECT_TRUE(near(at(arrays.linePositions, k + 1), edge->vertex2->position));
                const Vec3 colour{look.red, look.green, look.blue};
                EXPECT_TRUE(near(at(arrays.lineColours, k), colour));
                EXPECT_TRUE(near(at(arrays.lineColours, k + 1), colour));
                ++edges;
            }
        std::uint32_t ends = 0;
        for (std::size_t b = 0; b < arrays.lineBatches.size(); ++b) {
            EXPECT_EQ(next[b], arrays.lineBatches[b].first + arrays.lineBatches[b].count);
            ends += arrays.lineBatches[b].count;
        }
        EXPECT_EQ(ends, 2 * edges);
        EXPECT_EQ(arrays.lineBatches.size(), 3u); // 1, 3 and 4 pixels
    }

    model.objects[0]->faces[2]->unfolded = 0;
    for (auto& object : model.objects)
        for (Edge* e : object->edges) e->state = EdgeState::Untouched;
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, model));
    ASSERT_TRUE(session.status.finished);
    const ModelArrays finished = buildModelArrays(model, {false, true, false});
    expectFacesInBatches(model, finished, true);
    // The outlines, black and one pixel wide: every side of every face, a
    // side its neighbour drawn before shares corner for corner only once.
    ASSERT_EQ(finished.lineBatches.size(), 1u);
    EXPECT_EQ(finished.lineBatches[0].width, 1.0f);
    std::vector<const Face*> order;
    for (const auto& object : model.objects)
        for (const Face* face : object->faces) order.push_back(face);
    auto placeOf = [&](const Face* face) { return std::find(order.begin(), order.end(), face) - order.begin(); };
    std::size_t k = 0, shared = 0;
    for (const Face* face : order) {
        const auto& hs = face->outerLoop.halfEdges;
        for (std::size_t i = 0; i < hs.size(); ++i) {
            const Vec3 a = cornerOf(*hs[i], true), b = cornerOf(*hs[(i + 1) % hs.size()], true);
            const HalfEdge* twin = hs[i]->twin;
            if (twin && placeOf(twin->loop->face) < placeOf(face) && near(cornerOf(*twin, true), b) &&
                near(cornerOf(*twin->next, true), a)) {
                ++shared;
                continue;
            }
            ASSERT_LT(k + 1, finished.linePositions.size() / 3);
            EXPECT_TRUE(near(at(finished.linePositions, k), a));
            EXPECT_TRUE(near(at(finished.linePositions, k + 1), b));
            EXPECT_TRUE(near(at(finished.lineColours, k), {0, 0, 0}));
            k += 2;
        }
    }
    EXPECT_EQ(k, finished.linePositions.size() / 3);
    EXPECT_GT(shared, 0u); // the folds
}

TEST(ModelArrays, ACornerWithoutTextureCoordinatesTakesThoseBeforeIt)
{
    Model model;
    MeshObject* object = model.addObject();
    Vertex* v[5];
    for (int i = 0; i < 5; ++i) v[i] = object->addVertex(std::cos(i * 1.2566), std::sin(i * 1.2566), 0, i + 1);
    TexCoord* a = object->addTexCoord(0.25, 0.5);
    TexCoord* c = object->addTexCoord(0.75, 1.0);
    Face* face = object->addFace();
    face->addCorner(v[0], nullptr);
    face->addCorner(v[1], a);
    face->addCorner(v[2], nullptr);
    face->addCorner(v[3], c);
    face->addCorner(v[4], nullptr);
    ASSERT_TRUE(face->finishFace());
    model.buildAllEdges();
    const ModelArrays arrays = buildModelArrays(model, {true, false, false});
    // The fan (0 1 2) (0 2 3) (0 3 4): corners 0, 1, 2 take (0 0), a, a;
    // 3 and 4 take c.
    const std::vector<float> expected{0, 0, 0.25f, 0.5f, 0.25f, 0.5f, 0, 0, 0.25f, 0.5f, 0.75f, 1,
                                      0, 0, 0.75f, 1,    0.75f, 1};
    EXPECT_EQ(arrays.faceTexCoords, expected);
}

} // namespace
} // namespace nettor
