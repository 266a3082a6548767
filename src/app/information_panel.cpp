#include "app/information_panel.h"

#include "session/app_state.h"
#include "state/scale_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>


namespace {

QLineEdit* counterField(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setText(QStringLiteral("0"));
    return edit;
}

QPushButton* modeButton(QWidget* parent, const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setCheckable(true);
    return button;
}

} // namespace

InformationPanel::InformationPanel(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);

    auto* info = new QGroupBox(QStringLiteral("Model Info"), this);
    auto* infoGrid = new QGridLayout(info);
    faces_ = counterField(info, QStringLiteral("faceCount"));
    unfolded_ = counterField(info, QStringLiteral("unfoldedCount"));
    parts_ = counterField(info, QStringLiteral("partCount"));
    infoGrid->addWidget(new QLabel(QStringLiteral("Faces"), info), 0, 0);
    infoGrid->addWidget(faces_, 0, 1);
    infoGrid->addWidget(new QLabel(QStringLiteral("Unfolded"), info), 1, 0);
    infoGrid->addWidget(unfolded_, 1, 1);
    infoGrid->addWidget(new QLabel(QStringLiteral("Parts"), info), 2, 0);
    infoGrid->addWidget(parts_, 2, 1);

    auto* drag = new QGroupBox(QStringLiteral("Right Drag"), this);
    auto* dragLayout = new QVBoxLayout(drag);
    rightDrag_ = new QButtonGroup(this);
    const QString dragNames[] = {QStringLiteral("Rotation"), QStringLiteral("Zoom"), QStringLiteral("Move")};
    for (int mode = 0; mode < 3; ++mode) {
        auto* radio = new QRadioButton(dragNames[mode], drag);
        dragLayout->addWidget(radio);
        rightDrag_->addButton(radio, mode);
    }
    rightDrag_->button(0)->setChecked(true);
    connect(rightDrag_, &QButtonGroup::idClicked, this,
            [](int mode) { nettor::appState().rightDragMode = mode; });

    auto* top = new QHBoxLayout;
    top->addWidget(info, 1);
    top->addWidget(drag, 1);
    layout->addLayout(top);

    auto* creation = new QGroupBox(QStringLiteral("Creation of Unfolded Pattern"), this);
    auto* creationLayout = new QHBoxLayout(creation);
    auto* manual = new QGroupBox(QStringLiteral("Manual"), creation);
    auto* manualLayout = new QVBoxLayout(manual);
    cutEdge_ = modeButton(manual, QStringLiteral("Cut Edge"), QStringLiteral("cutEdge"));
    firstFace_ = modeButton(manual, QStringLiteral("First Face"), QStringLiteral("firstFace"));
    connectEdge_ = modeButton(manual, QStringLiteral("Connect Edge"), QStringLiteral("connectEdge"));
    // Push-like radio buttons: one mode at a time, none before the first choice.
    pickModes_ = new QButtonGroup(this);
    pickModes_->setExclusive(true);
    pickModes_->addButton(cutEdge_, 0);
    pickModes_->addButton(firstFace_, 1);
    pickModes_->addButton(connectEdge_, 2);
    connect(pickModes_, &QButtonGroup::idClicked, this, &InformationPanel::onPickMode);
    overlap_ = new QCheckBox(QStringLiteral("Overlap Chk"), manual);
    overlap_->setObjectName(QStringLiteral("overlapCheck"));
    overlap_->setChecked(nettor::appState().overlapCheck != 0);
    connect(overlap_, &QCheckBox::clicked, this, &InformationPanel::onOverlapCheck);
    manualLayout->addWidget(cutEdge_);
    manualLayout->addWidget(firstFace_);
    manualLayout->addWidget(connectEdge_);
    manualLayout->addWidget(overlap_);

    auto* automatic = new QGroupBox(QStringLiteral("Auto"), creation);
    auto* autoLayout = new QVBoxLayout(automatic);
    start_ = new QPushButton(QStringLiteral("Start"), automatic);
    start_->setObjectName(QStringLiteral("start"));
    undo_ = new QPushButton(QStringLiteral("Undo"), automatic);
    undo_->setObjectName(QStringLiteral("undo"));
    fewerParts_ = new QCheckBox(QStringLiteral("Fewer parts"), automatic);
    fewerParts_->setObjectName(QStringLiteral("fewerParts"));
    fewerParts_->setToolTip(QStringLiteral("Start searches for an unfolding with fewer parts.\n"
                                           "This takes longer, up to the time set in Setting."));
    connect(fewerParts_, &QCheckBox::toggled, this,
            [](bool on) { nettor::appState().partSearch.enabled = on; });
    for (QPushButton* b : {start_, undo_}) b->setMinimumHeight(44);
    autoLayout->addWidget(start_);
    autoLayout->addWidget(fewerParts_);
    autoLayout->addWidget(undo_);
    autoLayout->addStretch(1);
    connect(start_, &QPushButton::clicked, this, &InformationPanel::onStart);
    connect(undo_, &QPushButton::clicked, this, &InformationPanel::onUndo);
    creationLayout->addWidget(manual, 1);
    creationLayout->addWidget(automatic, 1);
    layout->addWidget(creation);

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(new QLabel(QStringLiteral("Scale of Unfolded Pattern"), this));
    scale_ = new QLineEdit(this);
    scale_->setObjectName(QStringLiteral("scale"));
    scale_->setText(QString::fromStdString(nettor::scaleText(0.0)));
    refresh_ = new QPushButton(QStringLiteral("Refresh"), this);
    refresh_->setObjectName(QStringLiteral("refresh"));
    connect(refresh_, &QPushButton::clicked, this, &InformationPanel::onRefresh);
    connect(scale_, &QLineEdit::returnPressed, this, &InformationPanel::onRefresh);
    scaleRow->addWidget(scale_, 1);
    scaleRow->addWidget(refresh_);
    layout->addLayout(scaleRow);
    // The finished model's longest side on paper, under the scale.
    finishedSize_ = new QLabel(this);
    finishedSize_->setObjectName(QStringLiteral("finishedSize"));
    finishedSize_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(finishedSize_);
    layout->addStretch(1);

    refreshCounters();
    showPartSearchChoice();
    undo_->setEnabled(nettor::appState().unfoldingUndoAvailable());
}

QSize InformationPanel::sizeHint() const
{
    return {320, 360};
}

QRadioButton* InformationPanel::rightDragButton(int mode) const
{
    return qobject_cast<QRadioButton*>(rightDrag_->button(mode));
}

void InformationPanel::showPartSearchChoice()
{
    const QSignalBlocker quiet(fewerParts_);
    fewerParts_->setChecked(nettor::appState().partSearch.enabled);
}

void InformationPanel::refreshCounters()
{
    const nettor::UnfoldStatus& status = nettor::appState().status;
    faces_->setText(QString::number(status.totalFaceCount));
    unfolded_->setText(QString::number(status.unfoldedFaceCount));
    parts_->setText(QString::number(status.partCount));
}

void InformationPanel::showCountersNow()
{
    refreshCounters();
    repaint();
}

void InformationPanel::showScale()
{
    scaleValue_ = nettor::appState().displayedScale;
    scale_->setText(QString::fromStdString(nettor::scaleText(scaleValue_)));
}

void InformationPanel::showFinishedSize()
{
    finishedSizeDue_ = false;
    const double mm = nettor::appState().finishedSizeMm();
    finishedSize_->setText(mm > 0.0 ? QStringLiteral("Finished size: %1 mm").arg(mm, 0, 'f', 1) : QString());
}

void InformationPanel::readControls()
{
    const std::string text = scale_->text().toStdString();
    const std::string problem = nettor::scaleTextProblem(text);
    if (!problem.empty()) {
        nettor::showMessage(problem);
        scale_->setFocus();
        scale_->selectAll();
        return;
    }
    scaleValue_ = nettor::readScaleText(text).value_or(scaleValue_);
}

void InformationPanel::onUpdateHint(int number)
{
    const nettor::AppState& state = nettor::appState();
    using nettor::ViewChange;
    const ViewChange change = static_cast<ViewChange>(number);
    if (change == ViewChange::CountsChanged) {
        if (QAbstractButton* b = rightDrag_->button(state.rightDragMode)) b->setChecked(true);
        refreshCounters();
    } else if (change == ViewChange::PartGrew || change == ViewChange::PartShrank) {
        // The last edge pick was taken back: one face fewer is unfolded.
        refreshCounters();
    } else if (change == ViewChange::SettingsChanged) {
        showPartSearchChoice(); // the settings dialog may have changed it
    } else if (change == ViewChange::UnfoldingFinished || change == ViewChange::ScaleUpRequested ||
               change == ViewChange::ScaleDownRequested ||
               (change == ViewChange::ModelReplaced && state.status.finished)) {
        // A finished project opened comes with its scale. The pattern view
        // may take this hint after the panel and change the scale then;
        // show it once every view has had the hint.
        QMetaObject::invokeMethod(this, &InformationPanel::showScale, Qt::QueuedConnection);
    }
    // Once every view has had the hint, as the scale; once for the hints
    // that come together (it measures the whole model).
    if (!finishedSizeDue_) {
        finishedSizeDue_ = true;
        QMetaObject::invokeMethod(this, &InformationPanel::showFinishedSize, Qt::QueuedConnection);
    }
    undo_->setEnabled(nettor::appState().unfoldingUndoAvailable());
}

void InformationPanel::onPickMode(int mode)
{
    // First Face closes the part grown so far.
    nettor::appState().choosePickMode(mode);
}

void InformationPanel::onOverlapCheck()
{
    // The check box alone decides; the other fields are only checked.
    readControls();
    nettor::appState().setOverlapCheck(overlap_->isChecked());
}

void InformationPanel::onStart()
{
    nettor::appState().start();
}

void InformationPanel::onUndo()
{
    // The model as it was at Start, its cuts marked, none of it unfolded.
    nettor::AppState& state = nettor::appState();
    if (state.unfoldingUndoAvailable()) state.undoToBeforeStart();
}

void InformationPanel::onRefresh()
{
    nettor::AppState& state = nettor::appState();
    if (!state.status.finished) return;
    // Text the field cannot take is reported; the scale held before is
    // applied again.
    readControls();
    state.requestScale(scaleValue_);
}
