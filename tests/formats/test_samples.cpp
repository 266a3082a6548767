// The bundled samples are what a new user opens first: each must load
// cleanly as a closed, consistently oriented surface.
#include "model/diagnostics.h"
#include "formats/load_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace nettor;

TEST(Samples, EveryBundledModelLoadsAsAClosedSurfaceWithoutWarnings)
{
    int checked = 0;
    const std::vector<std::string> models = readableExtensions();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NETTOR_SAMPLES_DIR)) {
        const std::string path = entry.path().string();
        // Folders hold a model with its materials and images.
        if (!entry.is_regular_file() ||
            std::find(models.begin(), models.end(), lowerExtension(path)) == models.end())
            continue;
        SCOPED_TRACE(path);
        std::ostringstream warnings;
        LoadedModel loaded;
        {
            DiagnosticsRedirect redirect(warnings);
            loaded = loadModelFile(path, nullptr);
        }
        ASSERT_EQ(loaded.result, LoadResult::Loaded);
        EXPECT_EQ(warnings.str(), "");
        EXPECT_TRUE(loaded.model->readWarnings.empty());
        EXPECT_GE(loaded.model->faceCount, 4);
        for (const auto& object : loaded.model->objects)
            for (const Edge* e : object->edges) EXPECT_NE(e->halfEdge2, nullptr);
        ++checked;
    }
    EXPECT_GE(checked, 3);
}
