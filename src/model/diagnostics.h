#pragma once
// The stream that readers and the model write their warnings to. It is the
// standard error stream unless a caller (a test, the command-line tool)
// redirects it.
#include <ostream>

namespace nettor {

std::ostream& diagnostics();
void setDiagnostics(std::ostream* stream); // null restores standard error

// Redirects the diagnostics stream for the lifetime of the object.
class DiagnosticsRedirect {
public:
    explicit DiagnosticsRedirect(std::ostream& stream);
    ~DiagnosticsRedirect();
    DiagnosticsRedirect(const DiagnosticsRedirect&) = delete;
    DiagnosticsRedirect& operator=(const DiagnosticsRedirect&) = delete;

private:
    std::ostream* previous_;
};

} // namespace nettor
