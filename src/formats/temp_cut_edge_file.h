#pragma once
// The record that Start leaves for the panel's Undo: a cut-edge file named
// "nettor_temp.nte" with the cuts chosen before the automatic unfolding.
//
// Each session keeps a record of its own, in a folder of its own inside a
// folder that belongs to this user alone (mode 0700) under the system's
// temporary folder:
//   <temp>/nettor-<uid>/run-XXXXXX/nettor_temp.nte
// so no other user can plant a file or a link in its place, and two
// sessions (in one program or in two) never read each other's record. The
// session's folder is removed with the record when the session ends.
#include "model/mesh.h"
#include "state/ui_listener.h"

#include <memory>
#include <string>

namespace nettor {

class StartRecord {
public:
    StartRecord() = default;
    ~StartRecord();
    StartRecord(const StartRecord&) = delete;
    StartRecord& operator=(const StartRecord&) = delete;

    // The path of the record, its folders created on first use (and again
    // when the system's temporary folder has changed since); empty when the
    // system has no temporary folder or the user's folder there is not safe
    // (not a folder, a link, or owned by someone else).
    std::string path();

    // Start: writes the model's cut edges to the record (a fresh file
    // renamed into place, never written through an existing file or link),
    // with the model path relative to it; returns whether it was written.
    bool write(const Model& model);
    // The model as the last successful write left it (`saved` tells whether
    // there is one for the current model): a fresh model read from the
    // record, its saved cuts marked; null when there is none or it cannot be
    // read (the reporter has been told why).
    std::unique_ptr<Model> read(bool saved, UiListener* reporter);

private:
    void removeFolder();

    std::string base_;   // the temporary folder the record's folder was made in
    std::string folder_; // the record's folder, once made
};

} // namespace nettor
