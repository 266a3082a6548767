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
#include "state/ui_listener.h"

#include <memory>
#include <string>

namespace nettor {

// The path of the record, its folders created on first use; empty when the
// system has no temporary folder or the user's folder there is not safe (not
// a folder, a link, or owned by someone else).
std::string tempCutEdgeFilePath();

// Start: writes the model's cut edges to the record (a fresh file renamed
// into place, never written through an existing file or link), with the
// model path relative to it; returns whether the record was written.
bool writeStartRecord(const Model& model);
// The model as the last successful writeStartRecord left it (`saved` tells
// whether there is one for the current model): a fresh model read from the
// record, its saved cuts marked; null when there is none or it cannot be
// read (the reporter has been told why).
std::unique_ptr<Model> readStartRecord(bool saved, UiListener* reporter);

} // namespace nettor
