#include "app/progress_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("In Progress"));
    setWindowIcon(QApplication::windowIcon());
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    phase_ = new QLabel(this);
    phase_->setObjectName(QStringLiteral("phase"));
    task_ = new QLabel(this);
    task_->setObjectName(QStringLiteral("task"));
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setRange(0, 0);
    percent_ = new QLabel(this);
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setFont(QFont(QStringLiteral("monospace")));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);

    layout->addWidget(phase_);
    layout->addWidget(task_);
    auto* row = new QHBoxLayout;
    row->addWidget(bar_, 1);
    row->addWidget(percent_);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    resize(330, 150);
}

QString ProgressDialog::phaseText() const
{
    return phase_->text();
}

QString ProgressDialog::taskText() const
{
    return task_->text();
}

QString ProgressDialog::percentText() const
{
    return percent_->text();
}

void ProgressDialog::showProgress(const nettor::UnfoldProgress& progress)
{
    if (cancelAsked_) return;
    if (!started_) {
        started_ = true;
        phase_->clear();
        bar_->setRange(0, std::max(progress.totalFaces, 1));
        bar_->setValue(0);
    }
    task_->setText(QString::fromStdString(nettor::progressTaskText(progress)));
    bar_->setValue(std::clamp(progress.unfoldedFaces, 0, bar_->maximum()));
    percent_->setText(QString::fromStdString(nettor::progressPercentText(progress)));
}

void ProgressDialog::reject()
{
    // The dialog stays until the worker has stopped; its owner closes it.
    if (cancelAsked_) return;
    cancelAsked_ = true;
    cancel_->setEnabled(false);
    emit cancelRequested();
}
