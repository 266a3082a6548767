#pragma once
// The stored values of the group "Settings" in the application's QSettings,
// read and written as the strings they are kept as.
#include "state/stored_settings.h"

#include <QByteArray>

nettor::StoredValues readStoredValues();
void writeStoredValues(const nettor::StoredValues& values);

// The tool bar's docking state and whether the status bar is shown.
struct BarState {
    QByteArray mainWindowState; // QMainWindow::saveState
    bool statusBarVisible = true;
    bool present = false;
};
BarState readBarState();
void writeBarState(const BarState& state);
