// Two sessions in one process, each unfolding its own model on its own
// thread at the same time, write what two separate nettor-cli runs write.
// Built into the worker test executable too, where ThreadSanitizer watches
// the two engines for anything they share.
#include "formats/pattern_json.h"
#include "formats/saved_outputs.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"
#include "unfold/background_unfolding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace nettor {
namespace {

using namespace test;

struct SessionMessages : UiListener {
    void message(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

struct SessionOutputs {
    std::vector<std::string> messages;
    std::string eps, nte, json;
};

std::string readOutputFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Opens, unfolds on the calling thread and writes the EPS and cut-edge
// file as they would be saved at `target`.eps and `target`.nte, and the
// unfolding's JSON.
SessionOutputs unfoldInOwnSession(const std::string& modelPath, const std::string& target)
{
    Session session;
    SessionMessages messages;
    session.listener = &messages;
    SessionOutputs out;
    if (!session.openModel(modelPath)) return out;
    unfoldOnCallingThread(session, *session.model);
    std::ostringstream eps, nte;
    writeSavedOutput(SavedOutput::Eps, *session.model, session.settings, target + ".eps", eps);
    writeSavedOutput(SavedOutput::CutEdges, *session.model, session.settings, target + ".nte", nte);
    out.messages = messages.texts;
    out.eps = eps.str();
    out.nte = nte.str();
    out.json = unfoldingJson(*session.model, session.displayedScale);
    return out;
}

TEST(TwoSessions, UnfoldAtOnceOnTwoThreadsAsTwoCliRuns)
{
    const std::string models[2] = {writeTempFile("two_sessions_torus.obj", toObjText(torusSpec(14, 22))),
                                   writeTempFile("two_sessions_sphere.obj", toObjText(subdividedSphereSpec(3)))};
    SessionOutputs fromSessions[2];
    {
        std::vector<std::thread> threads;
        for (int i = 0; i < 2; ++i)
            threads.emplace_back([&, i] { fromSessions[i] = unfoldInOwnSession(models[i], models[i] + ".session"); });
        for (std::thread& t : threads) t.join();
    }

    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(models[i]);
        EXPECT_EQ(fromSessions[i].messages, (std::vector<std::string>{"All faces are unfolded."}));
        // The same target names, so that the cut-edge files name the model
        // the same way.
        const std::string target = models[i] + ".session";
        const std::string command = std::string("\"") + NETTOR_CLI + "\" unfold \"" + models[i] + "\" --eps \"" +
                                    target + ".eps\" --nte \"" + target + ".nte\" --json \"" + target +
                                    ".json\" >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string eps = readOutputFile(target + ".eps");
        ASSERT_FALSE(eps.empty());
        EXPECT_TRUE(fromSessions[i].eps == eps) << "EPS differs";
        EXPECT_EQ(fromSessions[i].nte, readOutputFile(target + ".nte"));
        EXPECT_TRUE(fromSessions[i].json == readOutputFile(target + ".json")) << "JSON differs";
    }
    // The two models differ, so neither session wrote the other's pattern.
    EXPECT_NE(fromSessions[0].nte, fromSessions[1].nte);
}

} // namespace
} // namespace nettor
