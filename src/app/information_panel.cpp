#include "app/information_panel.h"

#include "formats/load_model.h"
#include "state/app_state.h"

#include <QLabel>
#include <QVBoxLayout>

InformationPanel::InformationPanel(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    layout->addStretch(1);
    onUpdateHint(3);
}

QString InformationPanel::summaryText() const
{
    return summary_->text();
}

void InformationPanel::onUpdateHint(int number)
{
    if (number != 3 && number != 16) return;
    const nettor::Model* model = nettor::appState().model.get();
    if (!model) {
        summary_->setText(tr("No model. Open one with File > Open."));
        return;
    }
    std::size_t vertices = 0;
    for (const auto& object : model->objects) vertices += object->vertices.size();
    summary_->setText(tr("Model: %1\nFaces: %2\nEdges: %3\nVertices: %4")
                          .arg(QString::fromStdString(nettor::baseName(model->filePath)))
                          .arg(model->faceCount)
                          .arg(model->edgeCount())
                          .arg(vertices));
}
