#pragma once
// Plays a recorded drawing back on a painter: every pen, brush and font
// change, and of the lines, polygons and texts only those that reach the
// area being painted, each run of lines in one call.
#include "pattern/recorded_drawing.h"

class PainterCanvas;
class QFont;
class QPaintDevice;

// The pixels drawn are those of the recorded calls made on the canvas
// directly, inside area (device units).
void playRecordedDrawing(PainterCanvas& canvas, const nettor::RecordedDrawing& drawing, const nettor::DeviceBox& area);

// How text is measured on the device: as PainterCanvas measures it.
nettor::DrawingRecorder::Measure textMeasureOn(QPaintDevice* device);
