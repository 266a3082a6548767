#pragma once
// Reading a model file of any supported format, chosen by its extension.
#include "model/mesh.h"
#include "state/ui_listener.h"

#include <memory>
#include <string>
#include <vector>

namespace nettor {

enum class LoadResult {
    Loaded,           // the reader filled the model
    CannotOpen,       // the file cannot be opened for reading
    ReadFailed,       // a reader refused the file
    UnknownExtension, // no reader for this extension; the model stays empty
};

struct LoadedModel {
    LoadResult result = LoadResult::CannotOpen;
    std::unique_ptr<Model> model; // set for Loaded and UnknownExtension
};

// Chooses the reader by the extension, ignoring case, and sets the model's
// filePath on success (a cut-edge file sets it to the model file it names).
// Only the cut-edge file reader tells the reporter anything itself.
LoadedModel loadModelFile(const std::string& path, UiListener* reporter);

// Reads a file of one of the model formats (obj, dxf, rok, 3ds, mqo, or one
// read through Assimp, chosen by the extension ignoring case) into an empty
// model and sets its filePath.
// Any other extension gives UnknownExtension and leaves the model untouched.
LoadResult readModelFormat(Model& model, const std::string& path);

// Every extension the Open command reads, lower case without the dot: the
// program's own formats and the cut-edge file first, then those read
// through Assimp (importedExtensions()).
std::vector<std::string> readableExtensions();
// "*.a *.b" for a file dialog's filter.
std::string extensionPatterns(const std::vector<std::string>& extensions);

// The message the user sees for a result, or an empty text for Loaded.
std::string loadResultMessage(LoadResult result);

// Extension after the last dot of the file name, in lower case; empty if none.
std::string lowerExtension(const std::string& path);
// File name without directory and extension.
std::string baseName(const std::string& path);

} // namespace nettor
