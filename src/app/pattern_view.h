#pragma once
// The 2D pattern view pane on the right. While a part grows it shows that
// part edge by edge; once the unfolding is finished it shows the A4 sheet
// with the pattern drawn by drawPattern. It carries out the zoom and scale
// commands (hints 11 to 14) and the scale typed into the information panel
// (hint 19); the geometry and the limits are the core's SheetView.
#include "pattern/pages_layout.h"
#include "pattern/pages_sheet.h"
#include "pattern/recorded_drawing.h"
#include "pattern/sheet_view.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>

#include <cstdint>
#include <optional>
#include <vector>

namespace nettor {
struct UnfoldedPart;
}

class PatternView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The colour around the sheet picture.
    static QColor surroundColour() { return QColor(176, 204, 240); }

    explicit PatternView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {480, 620}; }

    const nettor::SheetView& sheetView() const { return view_; }

    // ---- The Pages layout ----
    // The outline of a selected piece and of a misplaced one.
    static QColor selectionColour() { return QColor(0, 120, 215); }
    static QColor misplacedColour() { return QColor(230, 0, 0); }
    // A cut lit on both its sides: a colour no edge state is drawn in.
    static QColor litEdgeColour() { return QColor(255, 0, 255); }
    double pixelsPerMm() const { return pixelsPerMm_; }
    const nettor::PagesSheet& pagesSheet() const { return sheet_; }
    // The page the middle of the view shows (from 1).
    int shownPage() const;
    // Where a point of a page lies in the viewport, in pixels.
    QPointF viewportPoint(int page, nettor::MmPoint onPage) const;

    // How the sheet's pattern is painted: recorded once and played back, or
    // drawn afresh on every paint as the view once did, kept as the
    // reference the played back pictures are compared with.
    enum class SheetDrawing { Recorded, Direct };
    void setSheetDrawing(SheetDrawing how) { sheetDrawing_ = how; }

public slots:
    void onUpdateHint(int number);
    // The parts changed: the sheet's pattern is recorded again when next shown.
    void patternChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void takeClientSize();
    void applyScrollSize();
    void followGrowingPart();
    // Shows the refusal of a command, if any; returns true when it was done.
    bool done(const std::string& refusal);
    // The one-sheet layout (pattern_view_sheet.cpp): the sheet and the
    // pattern on it, the part within visible (content pixels) at least,
    // from tiles of the picture kept until something changes.
    void paintSheet(QPainter& painter, const QRect& visible);
    // Draws the sheet; the pattern's lines, polygons and texts only where
    // they reach area, or all of them without one.
    void drawSheet(QPainter& painter, const QRect* area);
    const nettor::RecordedDrawing& sheetPattern();
    const QImage& sheetTile(QPoint tile);
    void dropSheetPicture();
    void paintGrowingPart(QPainter& painter);

    // The Pages layout (pattern_view_pages.cpp).
    bool pagesShown() const;
    // The pages in rows across the view: in as many columns as before, or
    // as many as fit its width with reflow (and on the first showing).
    void arrangePages(bool reflow = false);
    void zoomPages(double factor, QPointF about);
    nettor::MmPoint sheetPoint(QPointF viewportPos) const;
    void paintPages(QPainter& painter);
    void paintLayoutPages(QPainter& painter, const nettor::PagesLayout& layout, const std::vector<char>& misplaced,
                          int selected, const QRect& visible);
    // One page's parts, and its paper with its margin when withPaper.
    void paintPage(QPainter& painter, const nettor::PagesLayout& layout, int page, const QRect& visible,
                   bool withPaper);
    // The view as it is, but for the dragged part: what a drag draws on.
    void renderDragBackground();
    void paintPieceOutline(QPainter& painter, const nettor::PagesLayout& layout, int piece, const QColor& colour,
                           Qt::PenStyle style = Qt::SolidLine);
    void dragTo(QPointF viewportPos, bool fineSteps);
    // A click without a drag: a split or a join in the pick modes, or a
    // flap moved across its cut.
    void clickAt(QPointF viewportPos, const nettor::HalfEdge* flapSide);
    // The cut under the mouse, lit in both views.
    void hover(QPointF viewportPos);
    const nettor::HalfEdge* cutSideUnder(QPointF viewportPos) const;
    void paintLitEdge(QPainter& painter, const nettor::PagesLayout& layout);
    // Scrolls the selected piece into view, when the session asks for it.
    void revealSelectedPiece();

    struct PieceDrag {
        int piece = -1;
        bool turning = false;
        bool moved = false;
        nettor::MmPoint start;       // sheet mm where the drag began
        nettor::MmPoint startOffset; // the piece's offset then
        int startPage = 1;
        double startRotation = 0.0;
        double startAngle = 0.0;     // of the cursor about the piece's middle
        double turnDeg = 0.0;        // the turn so far
        const nettor::HalfEdge* flapSide = nullptr; // the flap pressed on, if any
        nettor::PagesLayout layout;  // the layout with the part where the mouse is
        nettor::PagesLayout moving;  // the same with only the dragged part
        QPixmap background;          // the view without the dragged part
        QPoint backgroundAt;         // the scroll position it was drawn at
    };

    nettor::SheetView view_;
    double pixelsPerMm_ = 0.0; // 0 until the pages are first shown
    nettor::PagesSheet sheet_;
    std::optional<PieceDrag> drag_;
    bool fitted_ = false;
    int revealed_ = 0; // the session's selectionToReveal last scrolled to
    const nettor::UnfoldedPart* followedPart_ = nullptr;
    int followedFaces_ = 0;

    SheetDrawing sheetDrawing_ = SheetDrawing::Recorded;
    // What the recorded pattern was drawn for; any difference records it again.
    struct SheetSource {
        const nettor::Model* model = nullptr;
        double zoom = 0.0;
        double margin = 0.0;
        bool operator==(const SheetSource&) const = default;
    };
    std::optional<nettor::RecordedDrawing> sheetPattern_;
    SheetSource sheetSource_;
    // The painted tiles of the picture, for the view as tilesFor describes it.
    struct SheetTile {
        QPoint tile; // in tiles from the content's origin
        QImage image;
        std::uint64_t lastUsed = 0;
    };
    struct TilesSource {
        SheetSource sheet;
        int width = 0;
        int height = 0;
        int scrollWidth = 0;
        int scrollHeight = 0;
        double pixelRatio = 1.0;
        bool operator==(const TilesSource&) const = default;
    };
    std::vector<SheetTile> sheetTiles_;
    TilesSource tilesFor_;
    std::uint64_t tileClock_ = 0;
};
