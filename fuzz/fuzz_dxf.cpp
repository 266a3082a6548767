// Fuzz target: the DXF reader on arbitrary bytes.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nettor::fuzz::silenceDiagnostics();
    nettor::Model model;
    if (model.readDxfText(nettor::fuzz::bytes(data, size))) nettor::fuzz::checkModel(model);
    return 0;
}
