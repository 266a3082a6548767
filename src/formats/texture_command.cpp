#include "formats/texture_command.h"

#include "formats/read_bmp.h"

namespace nettor {

bool isTextureSide(std::int32_t side)
{
    return side >= 1 && side <= maxBitmapSide && (side & (side - 1)) == 0;
}

} // namespace nettor
