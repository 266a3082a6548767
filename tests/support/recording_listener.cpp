#include "support/recording_listener.h"

namespace nettor::test {

void resetSession(Session& s)
{
    s.model.reset();
    s.status.unfoldedFaceCount = 0;
    s.status.totalFaceCount = 0;
    s.status.partCount = 0;
    s.status.finished = false;
    s.status.busy = false;
    s.status.quiet = false;
    s.status.cancelRequested = false;
    s.status.undoAvailable = false;
    s.status.invertAllowed = false;
    s.status.bestPartCount = 0;
    s.settings = Settings{};
    s.partSearch = PartSearchSettings{};
    s.modelViewSize = ViewSize{};
    s.pickMode = -1;
    s.rightDragMode = 0;
    s.overlapCheck = 1;
    s.displayedScale = 0.0;
    s.requestedScale = 0.0;
    s.showTexture = false;
    s.textureWindowOpen = false;
    s.textureLineTransparency = 0.5;
    s.textureShowSilhouette = true;
    s.forgetStartRecord();
}

} // namespace nettor::test
