#include "model/diagnostics.h"

#include <iostream>

namespace nettor {

namespace {
std::ostream* current = nullptr;
}

std::ostream& diagnostics() { return current ? *current : std::cerr; }

void setDiagnostics(std::ostream* stream) { current = stream; }

DiagnosticsRedirect::DiagnosticsRedirect(std::ostream& stream) : previous_(current)
{
    current = &stream;
}

DiagnosticsRedirect::~DiagnosticsRedirect() { current = previous_; }

} // namespace nettor
