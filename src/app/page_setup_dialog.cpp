#include "app/page_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {

using nettor::PaperSize;

const PaperSize kPaperChoices[] = {PaperSize::A5,    PaperSize::A4,      PaperSize::A3,    PaperSize::Letter,
                                   PaperSize::Legal, PaperSize::Tabloid, PaperSize::Custom};

QDoubleSpinBox* millimetreField(QWidget* parent, const QString& name, double value, double maximum)
{
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(name);
    field->setDecimals(1);
    field->setRange(0.0, maximum);
    field->setSuffix(QStringLiteral(" mm"));
    field->setValue(value);
    return field;
}

} // namespace

PageSetupDialog::PageSetupDialog(const nettor::PagesSettings& settings,
                                 std::function<void(const std::string&)> showProblem, QWidget* parent)
    : QDialog(parent), initial_(settings), showProblem_(std::move(showProblem))
{
    setObjectName(QStringLiteral("pageSetupDialog"));
    setWindowTitle(tr("Page Setup"));
    auto* form = new QFormLayout;

    paper_ = new QComboBox(this);
    paper_->setObjectName(QStringLiteral("paper"));
    for (PaperSize paper : kPaperChoices) {
        nettor::PagesSettings named;
        named.paper = paper;
        paper_->addItem(paper == PaperSize::Custom ? tr("Custom") : QString::fromStdString(nettor::paperName(named)),
                        static_cast<int>(paper));
    }
    paper_->setCurrentIndex(paper_->findData(static_cast<int>(settings.paper)));
    form->addRow(tr("&Paper:"), paper_);
    width_ = millimetreField(this, QStringLiteral("paperWidth"), settings.customWidthMm, 5000.0);
    height_ = millimetreField(this, QStringLiteral("paperHeight"), settings.customHeightMm, 5000.0);
    form->addRow(tr("&Width:"), width_);
    form->addRow(tr("&Height:"), height_);

    orientation_ = new QComboBox(this);
    orientation_->setObjectName(QStringLiteral("orientation"));
    orientation_->addItems({tr("Portrait"), tr("Landscape")});
    orientation_->setCurrentIndex(settings.landscape ? 1 : 0);
    form->addRow(tr("&Orientation:"), orientation_);
    margin_ = millimetreField(this, QStringLiteral("margin"), settings.marginMm, 5000.0);
    form->addRow(tr("&Margin:"), margin_);
    size_ = millimetreField(this, QStringLiteral("finishedSize"), settings.finishedSizeMm, 10.0e6);
    form->addRow(tr("&Finished size:"), size_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PageSetupDialog::reject);
    connect(paper_, &QComboBox::currentIndexChanged, this, &PageSetupDialog::updateCustomFields);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    updateCustomFields();
}

void PageSetupDialog::updateCustomFields()
{
    const bool custom = paper_->currentData().toInt() == static_cast<int>(PaperSize::Custom);
    width_->setEnabled(custom);
    height_->setEnabled(custom);
}

nettor::PagesSettings PageSetupDialog::settings() const
{
    nettor::PagesSettings s = initial_;
    s.paper = static_cast<PaperSize>(paper_->currentData().toInt());
    s.customWidthMm = width_->value();
    s.customHeightMm = height_->value();
    s.landscape = orientation_->currentIndex() == 1;
    s.marginMm = margin_->value();
    s.sizeMode = nettor::ModelSizeMode::FinishedSize;
    s.finishedSizeMm = size_->value();
    return s;
}

void PageSetupDialog::accept()
{
    if (const auto problem = nettor::pagesSettingsProblem(settings())) {
        if (showProblem_) showProblem_(*problem);
        return;
    }
    QDialog::accept();
}
