// Fuzz target: the project reader on arbitrary bytes, both as a packed
// project file and as the JSON inside one.
#include "formats/project_file.h"
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nettor::fuzz::silenceDiagnostics();
    const std::string_view bytes = nettor::fuzz::bytes(data, size);
    for (bool packed : {true, false}) {
        const nettor::ProjectContent project = packed ? nettor::readProjectBytes(bytes) : nettor::readProjectJson(bytes);
        if (project.model)
            nettor::fuzz::checkModel(*project.model);
        else if (project.error.empty())
            __builtin_trap(); // a refusal always says why
    }
    return 0;
}
