#pragma once
// Where a drawing of the pattern goes. Only the printer changes the picture:
// it gets page registration marks.
namespace nettor {

enum class OutputTarget { Clipboard = 0, Screen = 1, Printer = 2, MetafileFile = 3 };

} // namespace nettor
