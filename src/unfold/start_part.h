#pragma once
// Beginning a new part of the pattern.

namespace nettor {

struct Face;

// Lays the face flat as the first face of a new part (first corner at the
// origin, second on the positive x axis), closes the part grown so far and
// makes the new one current. Completes the unfolding when this was the last
// face and then returns 0; otherwise returns totalFaceCount. A face that is
// already placed changes nothing.
int startPart(Face& face);

} // namespace nettor
