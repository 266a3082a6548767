#pragma once
// The record that Start leaves for the panel's Undo: a cut-edge file named
// "nettor_temp.nte" with the cuts chosen before the automatic unfolding.
//
// It lives in a folder of this program run, inside a folder that belongs to
// this user alone (mode 0700) under the system's temporary folder:
//   <temp>/nettor-<uid>/run-XXXXXX/nettor_temp.nte
// so no other user can plant a file or a link in its place, and two copies
// of the program running at once keep a record each. The run's folder is
// removed when the program ends.
#include "model/mesh.h"

#include <memory>
#include <string>

namespace nettor {

// The path of the record, its folders created on first use; empty when the
// system has no temporary folder or the user's folder there is not safe (not
// a folder, a link, or owned by someone else).
std::string tempCutEdgeFilePath();

// Start: writes the current model's cut edges to the record (a fresh file
// renamed into place, never written through an existing file or link), with
// the model path relative to it. Only with a model loaded and the unfolding
// not finished; returns whether the record was written. Failures are not
// reported to the user.
bool saveBeforeUnfolding();

// Whether the last save succeeded for the model now current, so that the
// panel can offer Undo.
bool startRecordSaved();

// Whether the panel's Undo can take the unfolding back: it is finished and
// Start saved a record for the model now current.
bool unfoldingUndoAvailable();

// A different model became current: the record no longer belongs to it.
void forgetStartRecord();

// The model as it was saved by saveBeforeUnfolding: a fresh model read from
// the record, its saved cuts marked; null when there is no record or it
// cannot be read (the user has been told why).
std::unique_ptr<Model> readModelBeforeUnfolding();

// The panel's Undo: switches the texture off, closes the textured pattern
// window, and makes the model read back from the record current, with no
// face unfolded (hints 16 and 3, new document title, no edge pick to undo). When it cannot be
// read the user is told and the current model stays; returns false.
bool reloadBeforeUnfolding();

} // namespace nettor
