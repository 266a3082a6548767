#pragma once
// The Open command after its file dialog: reads the chosen file and makes
// the result the current model, telling the user and the views through the
// listener.
#include <string>

namespace nettor {

// Returns true when a new model (possibly empty) became current, false when
// nothing but the texture flags changed.
bool openModelPath(const std::string& path);

} // namespace nettor
