#pragma once
// A model header that wrongly reaches up into the file formats.
#include "formats/reader.h"
