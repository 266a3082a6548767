#pragma once
// Answers Qt's own file dialog (open or save) the way a user does: goes to
// the file's folder, types its name and presses the accept button; answers
// "Yes" when asked whether to replace a file. The test must have set
// Qt::AA_DontUseNativeDialogs.
#include "modal_driver.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

// filter and suffix, when given, receive the dialog's selected name filter
// and default suffix. A dialog that cannot be answered is rejected.
inline void answerFileDialog(const QString& path, QString* filter = nullptr, QString* suffix = nullptr)
{
    onNextModal([=](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) return;
        if (filter) *filter = dialog->selectedNameFilter();
        if (suffix) *suffix = dialog->defaultSuffix();
        // Only a question asked while the dialog is still up is its own.
        QPointer<QFileDialog> asking(dialog);
        onNextModal([asking](QWidget* question) {
            auto* box = qobject_cast<QMessageBox*>(question);
            if (!box || !asking || !asking->isVisible()) return;
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
        }, dialog);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        if (!name || !buttons) {
            dialog->reject();
            return;
        }
        // A whole path typed into the name field is taken against the
        // folder the dialog shows, so the folder is chosen first.
        const QFileInfo target(path);
        dialog->setDirectory(target.absolutePath());
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, target.fileName());
        QTest::qWait(100);
        for (QAbstractButton* b : buttons->buttons())
            if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole && b->isEnabled()) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        dialog->reject();
    });
}
