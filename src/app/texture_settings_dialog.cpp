#include "app/texture_settings_dialog.h"

#include "session/app_state.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString number(double v)
{
    return QString::number(v, 'g', 6);
}

bool parse(const QLineEdit* edit, double& out)
{
    bool ok = false;
    out = edit->text().trimmed().toDouble(&ok);
    return ok && std::isfinite(out);
}

} // namespace

TextureSettingsDialog::TextureSettingsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("textureSettingsDialog"));
    setWindowTitle(QStringLiteral("Setting"));
    const nettor::AppState& state = nettor::appState();
    const nettor::Model* model = state.model.get();

    inverted_ = new QCheckBox(QStringLiteral("Invert the unfolded pattern"), this);
    showEdges_ = new QCheckBox(QStringLiteral("Display edges"), this);
    silhouette_ = new QCheckBox(QStringLiteral("Display silhouette"), this);
    transparency_ = new QLineEdit(number(state.textureLineTransparency), this);
    scale_ = new QLineEdit(number(model ? model->textureScale : 1.0), this);
    inverted_->setObjectName(QStringLiteral("inverted"));
    showEdges_->setObjectName(QStringLiteral("showEdges"));
    silhouette_->setObjectName(QStringLiteral("silhouette"));
    transparency_->setObjectName(QStringLiteral("transparency"));
    scale_->setObjectName(QStringLiteral("scale"));
    inverted_->setChecked(model && model->textureInverted);
    showEdges_->setChecked(model && model->textureShowEdges);
    silhouette_->setChecked(state.textureShowSilhouette);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Transparency of \nLine (0.0...1.0)"), transparency_);
    form->addRow(QStringLiteral("Scale"), scale_);
    auto* note = new QLabel(QStringLiteral("When the model is devided to multiple files, the size is unified by "
                                           "setting same value to this field."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(inverted_);
    layout->addWidget(showEdges_);
    layout->addWidget(silhouette_);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void TextureSettingsDialog::accept()
{
    double transparency = 0, scale = 0;
    if (!parse(transparency_, transparency) || !parse(scale_, scale)) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Please enter a number."));
        return;
    }
    if (transparency < 0.0 || transparency > 1.0) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Please enter a number between %1 and %2.").arg("0.0", "1.0"));
        transparency_->setFocus();
        return;
    }
    nettor::AppState& state = nettor::appState();
    state.textureLineTransparency = transparency;
    state.textureShowSilhouette = silhouette_->isChecked();
    if (nettor::Model* model = state.model.get()) {
        model->textureInverted = inverted_->isChecked();
        model->textureShowEdges = showEdges_->isChecked();
        model->textureScale = scale;
    }
    QDialog::accept();
}
