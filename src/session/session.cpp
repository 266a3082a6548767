#include "session/session.h"

#include "formats/cut_edge_file.h"
#include "session/commands.h"
#include "formats/eps_writer.h"
#include "formats/image_decode.h"
#include "model/face_texture.h"
#include "formats/load_model.h"
#include "formats/obj_export.h"
#include "formats/read_bmp.h"
#include "formats/temp_cut_edge_file.h"
#include "formats/texture_command.h"
#include "pattern/draw_pattern.h"
#include "unfold/manual_unfolding.h"
#include "unfold/take_up_model.h"

namespace nettor {

void Session::replaceModel(std::unique_ptr<Model> next)
{
    std::unique_ptr<Model> previous = std::move(model);
    pagesLayout.reset(); // it points into the previous model
    layoutHistory_.clear(); // and so does every step of its history
    retiredParts_.clear();
    selectedPiece = -1;
    litEdge = nullptr;
    misplaced.clear();
    model = std::move(next);
    previous.reset();
}

void Session::makeCurrent(std::unique_ptr<Model> next, const std::function<void()>& restore)
{
    // A model that brings images of its own shows them at once.
    showTexture = next && hasMaterialImages(*next);
    replaceModel(std::move(next));
    status.finished = false;
    status.undoAvailable = false; // no edge pick of the new model to take back
    unsavedChanges_ = false;
    if (listener) listener->setDocumentTitle(baseName(projectPath.empty() ? model->filePath : projectPath));
    if (restore)
        restore();
    else
        takeUpModel();
    notify(ViewChange::ModelReplaced);
    notify(ViewChange::CountsChanged);
    reportReadWarnings();
}

void Session::reportReadWarnings()
{
    if (!model || model->readWarnings.empty() || !listener) return;
    std::string text = model->readWarnings.front();
    if (model->readWarnings.size() > 1)
        text += " (and " + std::to_string(model->readWarnings.size() - 1) + " more on standard error)";
    listener->statusMessage(text);
}

bool Session::openModel(const std::string& path)
{
    return openRead(readForOpen(path));
}

bool Session::openRead(ReadForOpen read)
{
    for (const std::string& text : read.messages) message(text);
    if (read.project) return openProject(read.path, std::move(read.projectContent));
    LoadedModel& loaded = read.loaded;
    if (loaded.result == LoadResult::CannotOpen) {
        message(loadResultMessage(loaded.result));
        return false;
    }

    showTexture = false;
    if (textureWindowOpen && listener) listener->closeTextureWindow();

    if (loaded.result == LoadResult::ReadFailed) {
        message(loadResultMessage(loaded.result));
        return false;
    }
    if (loaded.result == LoadResult::UnknownExtension) message(loadResultMessage(loaded.result));

    forgetStartRecord();
    projectPath.clear();
    makeCurrent(std::move(loaded.model));
    return true;
}

bool Session::undoToBeforeStart()
{
    if (!status.finished) return false;
    if (!reloadBeforeUnfolding()) return false;
    unsavedChanges_ = true;
    return true;
}

bool Session::reloadBeforeUnfolding()
{
    // The model as it was at Start, its cuts marked, none of it unfolded.
    std::unique_ptr<Model> before = readModelBeforeUnfolding();
    if (!before) return false;
    showTexture = false;
    if (textureWindowOpen && listener) listener->closeTextureWindow();
    makeCurrent(std::move(before));
    return true;
}

bool Session::saveBeforeUnfolding()
{
    if (!model || status.finished) return false;
    recordSaved_ = startRecord_.write(*model);
    return recordSaved_;
}

std::unique_ptr<Model> Session::readModelBeforeUnfolding() const
{
    return startRecord_.read(recordSaved_, listener);
}

bool Session::openTexture(const std::string& path)
{
    if (!model) return false;
    if (lowerExtension(path) != "bmp") return openTextureImage(path);
    std::unique_ptr<TextureImage> image = loadBitmap(path, listener);
    if (!image) return false;
    if (!isTextureSide(image->width) || !isTextureSide(image->height)) {
        message(textureSizeMessage);
        reevaluate();
        return false;
    }
    model->textureImage = std::move(image);
    showTexture = true;
    reevaluate();
    return true;
}

bool Session::openTextureImage(const std::string& path)
{
    DecodedImage decoded = loadImageFile(path);
    if (!decoded.image) {
        message("The texture image " + path + " could not be read.\n" + decoded.message);
        reevaluate();
        return false;
    }
    model->textureImage = std::move(decoded.image);
    showTexture = true;
    reevaluate();
    return true;
}

void Session::choosePickMode(std::int32_t mode)
{
    if (mode == FirstFaceMode) {
        chooseFirstFaceMode();
        return;
    }
    pickMode = mode;
}

void Session::chooseFirstFaceMode()
{
    pickMode = FirstFaceMode;
    if (!modelBeingUnfolded()) return;
    closeCurrentPart();
    notify(ViewChange::PartClosed);
}

bool Session::modelBeingUnfolded() const
{
    return model && !status.finished;
}

void Session::firstFacePick(Face* face)
{
    if (model) unsavedChanges_ = true;
    nettor::firstFacePick(*this, model.get(), face);
}

void Session::modelClick(std::int32_t pickMode, int pressX, int pressY, int x, int y, const ModelPicker& picker)
{
    if (!modelBeingUnfolded() || !isClick(pressX, pressY, x, y)) return;
    switch (pickMode) {
    case FirstFaceMode:
        firstFacePick(picker.pickFace ? picker.pickFace(x, y) : nullptr);
        break;
    case ConnectEdgeMode:
        connectEdgePick(picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    case CutEdgeMode:
        cutEdgePick(picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    default:
        break;
    }
}

void Session::connectEdgePick(Edge* edge)
{
    if (model) unsavedChanges_ = true;
    nettor::connectEdgePick(*this, model.get(), edge);
}

void Session::cutEdgePick(Edge* edge)
{
    if (model) unsavedChanges_ = true;
    nettor::cutEdgePick(*this, model.get(), edge);
}

void Session::closeCurrentPart()
{
    nettor::closeCurrentPart(*this, model.get());
}

void Session::reevaluateCurrentPart()
{
    nettor::reevaluateCurrentPart(*this, model.get());
}

void Session::undoLastAttach()
{
    if (model) unsavedChanges_ = true;
    nettor::undoLastAttach(*this, model.get());
}

void Session::takeUpModel()
{
    if (model) nettor::takeUpModel(*this, *model);
}

void Session::invertFaces()
{
    if (model) unsavedChanges_ = true;
    if (model) model->invertFaces();
    reevaluate();
}

void Session::undoLastEdgePick()
{
    if (model) unsavedChanges_ = true;
    undoLastAttach();
    notify(ViewChange::EdgePickUndone);
}

void Session::patternViewCommand(Command command)
{
    if (!status.finished) return;
    switch (command) {
    case Command::ZoomIn: notify(ViewChange::ZoomInRequested); break;
    case Command::ZoomOut: notify(ViewChange::ZoomOutRequested); break;
    // The pages keep the finished size of Page Setup.
    case Command::ScaleUp:
        if (!pagesShown()) notify(ViewChange::ScaleUpRequested);
        break;
    case Command::ScaleDown:
        if (!pagesShown()) notify(ViewChange::ScaleDownRequested);
        break;
    default: break;
    }
}

void Session::toggleTexture()
{
    showTexture = !showTexture;
    reevaluate();
}

void Session::togglePrintTextures()
{
    settings.printTextures = settings.printTextures ? 0 : 1;
}

void Session::settingsDialogClosed(bool accepted, const Settings& edited, const PartSearchSettings* search)
{
    if (accepted) {
        const Settings before = settings;
        if (search) partSearch = *search;
        if (model && edited.toText() != settings.toText()) unsavedChanges_ = true;
        settings = edited;
        settings.flapsBothSides = edited.flapsBothSides ? 1 : 0;
        // The flaps of a Pages layout follow the flap settings.
        if (before.createFlaps != settings.createFlaps || before.flapSize != settings.flapSize ||
            before.flapsBothSides != settings.flapsBothSides)
            layOutAgainForSettings();
    }
    notify(ViewChange::SettingsChanged);
    reevaluate();
}

void Session::setOverlapCheck(bool on)
{
    overlapCheck = on ? 1 : 0;
    reevaluate();
}

void Session::start()
{
    if (!modelBeingUnfolded()) return;
    unsavedChanges_ = true;
    saveBeforeUnfolding();
    notify(ViewChange::UnfoldingRequested);
}

void Session::requestScale(double scale)
{
    if (!status.finished) return;
    requestedScale = scale;
    notify(ViewChange::ScaleRequested);
}

void Session::reevaluate()
{
    reevaluateCurrentPart();
    notify(ViewChange::CandidatesReevaluated);
}

void Session::writeEps(std::ostream& out)
{
    if (model) nettor::writeEps(*model, settings, out);
}

void Session::writeObjExport(std::ostream& out) const
{
    if (model) nettor::writeObjExport(*model, out);
}

void Session::writeCutEdgeFile(std::ostream& out, const std::string& relativeModelPath) const
{
    if (model) nettor::writeCutEdgeFile(*model, out, relativeModelPath);
}

void Session::drawPattern(Canvas& dc, double unitsPerCmX, double unitsPerCmY, OutputTarget target,
                          double originX, double originY, int pageCount)
{
    if (model) nettor::drawPattern(*model, settings, dc, unitsPerCmX, unitsPerCmY, target, originX, originY, pageCount);
}

RecordedDrawing Session::recordPattern(double unitsPerCmX, double unitsPerCmY, double originX, double originY,
                                       const DrawingRecorder::Measure& measure) const
{
    if (!model) return {};
    return nettor::recordPattern(*model, settings, unitsPerCmX, unitsPerCmY, OutputTarget::Screen, originX, originY,
                                 measure);
}

} // namespace nettor
