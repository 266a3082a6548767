#include "app/save_file.h"

#include "session/app_state.h"

#include <QFileDialog>
#include <QSaveFile>

#include <sstream>

QString chooseSaveFile(QWidget* parent, const SaveDialogSpec& spec)
{
    QFileDialog dialog(parent, spec.title);
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(spec.filter);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    if (!spec.suggestedPath.isEmpty()) dialog.selectFile(spec.suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

bool saveFileAtomically(const QString& path, const std::function<void(std::ostream&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        nettor::showMessage("File open ERROR");
        return false;
    }
    std::ostringstream text;
    write(text);
    const std::string bytes = text.str();
    const bool written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                         static_cast<qint64>(bytes.size());
    if (!written) file.cancelWriting();
    if (!file.commit()) {
        nettor::showMessage("File write ERROR");
        return false;
    }
    return true;
}
