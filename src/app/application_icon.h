#pragma once
// The program's icon, a folded paper net: the drawn sizes from 16 to 256
// pixels and the scalable drawing, built into the program.
#include <QIcon>

QIcon applicationIcon();

// Makes it the icon of every window of the application (the main window,
// the progress dialog, the textured pattern window).
void setApplicationIcon();
