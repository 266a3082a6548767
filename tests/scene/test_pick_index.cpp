// Picks through the faces' index give what picks over every face give: the
// same face and the same edge, for generated shapes (concave outlines,
// several objects, overlapping solids) seen from many sides and distances,
// clicks all over the view, on faces, between them and beside the model.
#include "scene/camera.h"
#include "scene/pick.h"
#include "scene/pick_index.h"
#include "support/shape_generators.h"
#include "unfold/take_up_model.h"
#include "state/engine_state.h"

#include <gtest/gtest.h>

#include <random>

namespace nettor {
namespace {

TEST(FacePickIndex, PicksWhatEveryFacePicks)
{
    std::mt19937 rng(11);
    const std::vector<std::pair<const char*, std::vector<test::MeshSpec>>> shapes{
        {"sphere", {test::subdividedSphereSpec(2)}},
        {"star prism", {test::starPrismSpec(rng, 7)}},
        {"comb prism", {test::combPrismSpec(rng, 5)}},
        {"overlapping solids",
         {test::torusSpec(12, 6), test::translated(test::boxSpec(), {0.5, 0, 0}),
          test::translated(test::lPrismSpec(), {-2, 1, 0})}},
    };
    int picked = 0, missed = 0;
    for (const auto& [name, specs] : shapes) {
        SCOPED_TRACE(name);
        auto model = test::buildModel(specs);
        EngineState engine;
        takeUpModel(engine, *model);
        const FacePickIndex index(*model);
        for (int turn = 0; turn < 8; ++turn) {
            SceneCamera camera;
            camera.setViewSize(160, 120);
            camera.reset();
            camera.pressRight(80, 60, 0);
            std::uniform_int_distribution<int> drag(-70, 70);
            camera.moveTo(80 + drag(rng), 60 + drag(rng), Gesture::Rotate);
            camera.wheel(120 * (turn % 5 - 2));
            ViewSnapshot view;
            view.projection = camera.projectionMatrix();
            view.viewport = {0, 0, 160, 120};
            for (int y = 0; y < 120; y += 4)
                for (int x = 0; x < 160; x += 4) {
                    Face* expected = pickFace(*model, view, x, y);
                    ASSERT_EQ(index.pickFace(view, x, y), expected) << x << "," << y << " turn " << turn;
                    if (expected) {
                        ASSERT_EQ(index.pickEdge(view, x, y),
                                  nearestEdgeOfFace(*expected, view, clickPoint(view, x, y)));
                    }
                    (expected ? picked : missed) += 1;
                }
        }
    }
    // Both kinds of clicks were made often.
    EXPECT_GT(picked, 3000);
    EXPECT_GT(missed, 3000);
}

TEST(FacePickIndex, AnEmptyModelPicksNothing)
{
    Model model;
    const FacePickIndex index(model);
    ViewSnapshot view;
    view.viewport = {0, 0, 10, 10};
    EXPECT_EQ(index.pickFace(view, 5, 5), nullptr);
    EXPECT_EQ(index.pickEdge(view, 5, 5), nullptr);
}

} // namespace
} // namespace nettor
