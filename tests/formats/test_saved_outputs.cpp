// The files saved from an unfolding: one path for the window and nettor-cli.
#include "formats/saved_outputs.h"

#include "formats/cut_edge_file.h"
#include "formats/eps_writer.h"
#include "formats/obj_export.h"
#include "formats/pattern_metafile.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_all.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nettor {
namespace {

class SavedOutputs : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.model = test::buildModel(test::boxSpec());
        model = session.model.get();
        model->filePath = "/data/models/box.obj";
        takeUpModel(session, *model);
        unfoldAll(session, *model);
        ASSERT_TRUE(session.status.finished);
    }

    std::string saved(SavedOutput output, const std::string& target)
    {
        std::ostringstream out;
        writeSavedOutput(output, *model, settings, target, out);
        return out.str();
    }

    Session session;
    Model* model = nullptr;
    Settings settings;
};

TEST_F(SavedOutputs, TheCutEdgeFileNamesTheModelFromWhereItIsSaved)
{
    const std::string beside = saved(SavedOutput::CutEdges, "/data/models/box.nte");
    EXPECT_EQ(beside.rfind("#Nettor Cut Edge Info\n# v1.1\n\n./box.obj\n", 0), 0u) << beside;
    const std::string above = saved(SavedOutput::CutEdges, "/data/cuts/box.nte");
    EXPECT_NE(above.find("\n../models/box.obj\n"), std::string::npos);

    std::ostringstream direct;
    writeCutEdgeFile(*model, direct, "./box.obj");
    EXPECT_EQ(beside, direct.str());
}

TEST_F(SavedOutputs, ThePatternFilesFollowTheSettings)
{
    std::ostringstream eps;
    settings.showEdgeIds = 1;
    writeEps(*model, settings, eps);
    EXPECT_EQ(saved(SavedOutput::Eps, "/tmp/x.eps"), eps.str());
    settings.showEdgeIds = 0;
    EXPECT_NE(saved(SavedOutput::Eps, "/tmp/x.eps"), eps.str());

    std::ostringstream obj;
    writeObjExport(*model, obj);
    EXPECT_EQ(saved(SavedOutput::ObjExport, "/tmp/x.obj"), obj.str());
}

TEST_F(SavedOutputs, TheMetafileIsDrawnForTheScreenItIsSavedFrom)
{
    std::ostringstream standard, scaled;
    writeSavedOutput(SavedOutput::Emf, *model, settings, "/tmp/x.emf", standard);
    writeSavedOutput(SavedOutput::Emf, *model, settings, "/tmp/x.emf", scaled, 192.0, 192.0);
    const auto bytes = [](const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); };
    EXPECT_EQ(standard.str(), bytes(patternMetafile(*model, settings, OutputTarget::MetafileFile)));
    EXPECT_EQ(scaled.str(), bytes(patternMetafile(*model, settings, OutputTarget::MetafileFile, 192.0, 192.0)));
    EXPECT_NE(scaled.str(), standard.str());
}

} // namespace
} // namespace nettor
