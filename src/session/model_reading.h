#pragma once
// Open's reading, apart from taking its result up: readForOpen touches no
// session, so the window can run it on a worker thread while the current
// model stays in use, and hand the result to Session::openRead afterwards.
#include "formats/load_model.h"
#include "formats/project_file.h"

#include <string>
#include <vector>

namespace nettor {

struct ReadForOpen {
    std::string path;
    bool project = false;          // a project file: projectContent, else loaded
    LoadedModel loaded;
    ProjectContent projectContent;
    std::vector<std::string> messages; // what the readers told the user, in order
};

// Reads the file Open was given (a model, a cut-edge file or a project).
// May run on any thread; readers on it stop early once a
// ReadingCancelScope's flag on that thread is set.
ReadForOpen readForOpen(const std::string& path);

} // namespace nettor
