// An engine file that looks only down, yet reads the application's session
// instead of taking what it reads.
#include "state/unfold_status.h"

namespace nettor {

bool growPart()
{
    return appState().status.cancelRequested;
}

} // namespace nettor
