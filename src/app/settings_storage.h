#pragma once
// The stored values of the group "Settings" in the application's QSettings,
// read and written as the strings they are kept as.
#include "state/pages_settings.h"
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

// The Pages layout's settings and the layout chosen, in the group
// "Pages Layout" beside the settings record, and whether the printed
// pattern carries the textures (either layout). Values that are missing or
// that the core refuses leave the defaults.
struct StoredPages {
    nettor::LayoutMode mode = nettor::LayoutMode::OneSheet;
    nettor::PagesSettings settings;
    bool printTextures = true;
};
StoredPages readStoredPages();
void writeStoredPages(const StoredPages& pages);
