#pragma once
// The tool bar's icons: the desktop's icon theme where it has one for the
// command, else a small picture drawn here, so every button has an icon.
#include "session/commands.h"

#include <QIcon>

QIcon commandIcon(nettor::Command command);
