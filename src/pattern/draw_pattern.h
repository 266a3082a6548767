#pragma once
// Draws the finished pattern on a canvas: page marks (printer only), glue
// flaps, faces, cut and fold lines, and edge numbers, in that order.
#include "model/mesh.h"
#include "pattern/canvas.h"
#include "pattern/output_target.h"
#include "pattern/recorded_drawing.h"
#include "state/settings.h"

namespace nettor {

// A sheet point (x_cm, y_cm) lands at origin + unitsPerCm * cm on the device,
// truncated towards zero. pageCount is the print job's page count; the
// printer target draws registration marks when it is not 1, in page
// coordinates (without the origin), repeated on the 21 x 29.7 cm grid of
// every column and row of the model's page grid. The model is only read: the
// marks the passes share (edges drawn, sides with a flap) are the drawing's.
void drawPattern(const Model& model, const Settings& settings, Canvas& dc, double unitsPerCmX,
                 double unitsPerCmY, OutputTarget target, double originX, double originY,
                 int pageCount = 1);

// drawPattern's drawing recorded for playing back (without page marks):
// from facesForTwoThreads faces on (and with two cores), the flaps and faces
// are recorded on a second thread while this one records the lines and
// numbers. Text is
// measured by measure, on this thread only.
RecordedDrawing recordPattern(const Model& model, const Settings& settings, double unitsPerCmX,
                              double unitsPerCmY, OutputTarget target, double originX, double originY,
                              const DrawingRecorder::Measure& measure, int facesForTwoThreads = 2000);

// Device coordinate of a value, truncated towards zero and kept inside the
// integer range.
int toDeviceUnits(double value);

} // namespace nettor
