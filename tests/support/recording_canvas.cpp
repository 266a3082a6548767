#include "support/recording_canvas.h"

namespace nettor::test {

std::vector<RecordedLine> RecordingCanvas::linesWith(PenStyle style) const
{
    std::vector<RecordedLine> out;
    for (const RecordedLine& l : lines)
        if (l.pen.style == style) out.push_back(l);
    return out;
}

std::vector<RecordedLine> RecordingCanvas::linesBetween(DevicePoint a, DevicePoint b) const
{
    std::vector<RecordedLine> out;
    for (const RecordedLine& l : lines)
        if ((l.from == a && l.to == b) || (l.from == b && l.to == a)) out.push_back(l);
    return out;
}

} // namespace nettor::test
