#pragma once
// Saving a file the user names: the save dialog, and a write that goes to a
// temporary file beside the target and replaces it only when complete, so
// a failed save leaves any old file whole.
#include <QString>

#include <functional>
#include <ostream>

class QWidget;

struct SaveDialogSpec {
    QString title;
    QString filter;        // one entry, in Qt's form: "eps Files (*.eps)"
    QString defaultSuffix; // "eps"
    QString suggestedPath; // the folder and name offered first
};

// The chosen file, or an empty text when the user cancelled. The dialog
// asks before an existing file is replaced.
QString chooseSaveFile(QWidget* parent, const SaveDialogSpec& spec);

// Writes the file through QSaveFile. When it cannot be created the user is
// told "File open ERROR", when it cannot be completed "File write ERROR";
// either way the old file stays as it was and false is returned.
bool saveFileAtomically(const QString& path, const std::function<void(std::ostream&)>& write);
