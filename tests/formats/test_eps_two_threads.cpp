// The EPS writer on two threads: a large pattern's faces and its later
// parts' lines are written on a second thread, and the text is the one a
// single thread writes, for every setting that changes a pass. It runs under ThreadSanitizer too.
#include "formats/eps_writer.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>

namespace nettor {
namespace {

class EpsTwoThreads : public test::UnfoldTest {};

TEST_F(EpsTwoThreads, TextIsTheSameAsOnOneThread)
{
    // One part, and a bumpy field in many, whose lines the two threads share.
    std::mt19937 rng(5);
    for (const test::MeshSpec& spec : {test::subdividedSphereSpec(2), test::bumpyHeightFieldSpec(rng, 12)}) {
        Model& m = take(spec);
        unfoldAll(session, m);
        ASSERT_TRUE(session.status.finished);
        // Every other face coloured, for the colour mode.
        MeshObject& object = *m.objects[0];
        object.materials.emplace_back();
        object.materials[0].ambient[0] = 0.25f;
        for (std::size_t i = 0; i < object.faces.size(); i += 2) object.faces[i]->materialIndex = 0;
        for (int flaps : {0, 1})
            for (int numbers : {0, 1})
                for (int colour : {0, 1}) {
                    Settings s;
                    s.createFlaps = flaps;
                    s.showEdgeIds = numbers;
                    s.colorMode = colour;
                    std::ostringstream one, two;
                    writeEps(m, s, one, INT32_MAX);
                    writeEps(m, s, two, 1);
                    ASSERT_GT(one.str().size(), 1000u);
                    EXPECT_EQ(one.str(), two.str())
                        << m.parts.size() << " parts, flaps " << flaps << ", numbers " << numbers << ", colour " << colour;
                }
    }
}

} // namespace
} // namespace nettor
