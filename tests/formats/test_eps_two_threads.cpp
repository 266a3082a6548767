// The EPS writer on two threads: a large pattern's faces and its later
// parts' lines are written on a second thread, and the text is the one a
// single thread writes, for every setting that changes a pass; a stream that
// fails at any point ends both threads with its failure. It runs under
// ThreadSanitizer too.
#include "formats/eps_writer.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <streambuf>

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

// Takes so many characters, then fails.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t room) : room_(room) {}

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        const auto taken = std::min<std::streamsize>(n, static_cast<std::streamsize>(room_));
        room_ -= static_cast<std::size_t>(taken);
        return taken;
    }
    int_type overflow(int_type c) override
    {
        if (room_ == 0) return traits_type::eof();
        --room_;
        return c;
    }

private:
    std::size_t room_;
};

TEST_F(EpsTwoThreads, AStreamThatFailsAnywhereEndsBothThreadsWithItsFailure)
{
    // Flaps enough to fill the writer's buffer before the faces are done.
    std::mt19937 rng(8);
    Model& m = take(test::bumpyHeightFieldSpec(rng, 30));
    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    Settings s;
    std::ostringstream whole;
    writeEps(m, s, whole, 1);
    const std::size_t size = whole.str().size();
    // In the header, among the flaps (before the other thread has them),
    // and in the faces, the earlier and the later lines, written last.
    for (const std::size_t room : {std::size_t{0}, std::size_t{5000}, size / 4, size / 2, size - 10}) {
        FailingBuffer buffer(room);
        std::ostream out(&buffer);
        out.exceptions(std::ios::badbit);
        EXPECT_THROW(writeEps(m, s, out, 1), std::ios_base::failure) << "room for " << room << " of " << size;
    }
}

} // namespace
} // namespace nettor
