#pragma once
// A forest of cut trees over the faces of a CutTreeMesh, laid out flat: every
// part is a tree of faces joined across fold links, each face placed beside
// its neighbours as the unfolding would place it, and no two faces of a part
// overlap by the engine's own test (facesOverlap). Parts are joined and taken apart; a journal undoes a trial.
#include "unfold/box_grid.h"
#include "unfold/cut_tree_mesh.h"

#include <cstdint>
#include <vector>

namespace nettor {

class CutTreeLayout {
public:
    explicit CutTreeLayout(const CutTreeMesh& mesh, bool checkOverlap = true);

    // Every face a part of its own, no fold.
    void makeSingletons();
    // Becomes the same forest, laid out the same, as another layout of the
    // same mesh; neither may be in a trial.
    void copyFrom(const CutTreeLayout& other);

    int partCount() const { return partCount_; }
    int partOf(int face) const { return partOf_[face]; }
    int partSize(int part) const { return static_cast<int>(parts_[part].faces.size()); }
    const std::vector<int>& partFaces(int part) const { return parts_[part].faces; }
    bool isFold(int link) const { return fold_[link] != 0; }
    const std::vector<char>& folds() const { return fold_; }
    // Fold links at the face: its degree in its tree.
    int foldDegree(int face) const;
    // The sum over parts of the square root of their sizes: smaller when the
    // faces gather in fewer, larger parts.
    double spread() const { return spread_; }
    // The placed corners of a face.
    const PatternPoint* corners(int face) const { return &pos_[mesh_.cornerStart[face]]; }

    // Joins the two parts on the sides of the link when the part holding
    // link.face[movingSide], turned and moved so that its face meets the
    // other face along the link, overlaps no face of the other part.
    // Returns whether it joined them.
    bool tryJoin(int link, int movingSide);
    // The same, moving the smaller part.
    bool tryJoin(int link);
    // Takes the face out of its part into a part of its own; the face must
    // be a leaf of its tree (at most one fold link) or the part falls apart.
    void detachLeaf(int face);
    // Makes every face of the part a part of its own.
    void dissolve(int part);

    // Changes after beginTrial can be undone together.
    void beginTrial();
    void undoTrial();
    void endTrial();

private:
    struct Part {
        std::vector<int> faces;
        bool alive = false;
    };
    enum class Op : std::uint8_t { GridInsert, GridRemove, SetPos, SetPartOf, SetFold, Append, Clear, RemoveAt, Create };
    struct Entry {
        Op op;
        int a, b, c;
    };

    void gridInsert(int part, int face);
    void gridRemove(int part, int face);
    void setPos(int face, const PatternPoint* corners, const GridBox& box);
    void setPartOf(int face, int part);
    void setFold(int link, char value);
    int createPart();
    void appendFaces(int part, const std::vector<int>& faces);
    void appendFace(int part, int face);
    void clearPart(int part);
    void removeFaceAt(int part, int index);
    void resize(int part, int before, int after);
    GridBox boxOf(const PatternPoint* corners, int face) const;
    bool overlapsPart(int face, const PatternPoint* corners, const GridBox& box, int part) const;
    void bfsOrder(int part, int start, std::vector<int>& out) const;

    const CutTreeMesh& mesh_;
    bool checkOverlap_;
    double cell_ = 1.0;
    std::vector<PatternPoint> pos_;
    std::vector<GridBox> box_;
    std::vector<int> partOf_;
    std::vector<char> fold_;
    std::vector<Part> parts_;
    std::vector<int> freeParts_;
    int partCount_ = 0;
    double spread_ = 0.0;
    BoxGrid grid_; // each part's faces in the part's own layer

    bool journaling_ = false;
    std::vector<Entry> journal_;
    std::vector<PatternPoint> savedPos_;
    std::vector<GridBox> savedBox_;
    std::vector<std::vector<int>> savedFaces_;
    int savedPartCount_ = 0;
    double savedSpread_ = 0.0;

    // Scratch of tryJoin and the overlap queries.
    mutable std::vector<int> stamp_;
    mutable int stampValue_ = 0;
    mutable std::vector<int> order_;
    std::vector<int> dissolved_;
    std::vector<PatternPoint> moved_;
    std::vector<GridBox> movedBox_;
};

} // namespace nettor
