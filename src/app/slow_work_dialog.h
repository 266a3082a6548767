#pragma once
// The session's slow work (laying out the pages) on a worker thread. When it
// has not ended within a moment, a modal busy dialog with Cancel shows until
// it has, and the window keeps being drawn meanwhile; Cancel asks the work
// to stop. Returns once the work has ended.
#include "session/session.h"

class QWidget;

void runSlowWorkBehindDialog(QWidget* parent, const nettor::Session::SlowWork& work);
