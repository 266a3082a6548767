#include "pattern/drawn_marks.h"

namespace nettor {

void clearDrawnMarks(Model& model)
{
    for (auto& object : model.objects)
        for (Edge* e : object->edges) e->drawnMark = 0;
}

} // namespace nettor
