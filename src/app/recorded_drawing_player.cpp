#include "app/recorded_drawing_player.h"

#include "app/painter_canvas.h"


void playRecordedDrawing(PainterCanvas& canvas, const nettor::RecordedDrawing& drawing, const nettor::DeviceBox& area)
{
    using Kind = nettor::RecordedStep::Kind;
    const int margin = drawing.reach + 1;
    for (const nettor::RecordedStep& step : drawing.steps) {
        switch (step.kind) {
        case Kind::Pen: canvas.selectPen(drawing.pens[step.index]); break;
        case Kind::Brush: canvas.selectBrush(drawing.brushes[step.index]); break;
        case Kind::Font: canvas.selectFont(drawing.fonts[step.index]); break;
        case Kind::TransparentBackground: canvas.setTransparentBackground(); break;
        case Kind::Lines:
            if (step.box.meets(area, margin)) canvas.lines(&drawing.points[step.first], step.count);
            break;
        case Kind::Polygon:
            if (step.box.meets(area, margin)) canvas.polygon(&drawing.points[step.first], step.count);
            break;
        case Kind::FillPolygon:
            if (step.box.meets(area, margin)) canvas.fillPolygon(&drawing.points[step.first], step.count);
            break;
        case Kind::Text:
            if (step.box.meets(area, margin)) {
                const nettor::DevicePoint at = drawing.points[step.first];
                canvas.textOut(at.x, at.y, drawing.texts[step.index]);
            }
            break;
        }
    }
}

nettor::DrawingRecorder::Measure textMeasureOn(QPaintDevice* device)
{
    return [device](const nettor::Font& font, const std::string& text) {
        return PainterCanvas::textExtentOn(device, PainterCanvas::qtFont(font), text);
    };
}
