#include "app/settings_dialog.h"

#include "state/font_size_entry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

SettingsDialog::SettingsDialog(const nettor::Settings& settings, const nettor::PartSearchSettings& partSearch,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), partSearch_(partSearch)
{
    setWindowTitle(QStringLiteral("Setting"));
    setObjectName(QStringLiteral("settingsDialog"));

    edgeColor_ = addCheck("edgeColor", QStringLiteral("Edge color"));
    showInvertedFaces_ = addCheck("showInvertedFaces", QStringLiteral("Display inverted faces"));
    unfoldStrategy_ = addCombo("unfoldStrategy", {QStringLiteral("Well suited for free form figure"),
                                                  QStringLiteral("Well suited for ruled figure"),
                                                  QStringLiteral("Middle of upper 2 algorithms")});
    omitFlatEdges_ = addCheck("omitFlatEdges", QStringLiteral("Omit almost-flat edges"));
    createFlaps_ = addCheck("createFlaps", QStringLiteral("Create flaps for fastening"));
    colorMode_ = addCheck("colorMode", QStringLiteral("Color mode (*.mqo, *.rok file)"));
    flapSize_ = addCombo("flapSize", {QStringLiteral("Large"), QStringLiteral("Normal"), QStringLiteral("Small")});
    flapsBothSides_ = addCheck("flapsBothSides", QStringLiteral("Both side"));
    useOriginalFont_ = addCheck("useOriginalFont", QStringLiteral("Use Nettor original font"));
    showEdgeIds_ = addCheck("showEdgeIds", QStringLiteral("Edge ID"));
    fontSize_ = new QLineEdit(this);
    fontSize_->setObjectName(QStringLiteral("edgeIdFontSize"));
    fontSize_->setMaxLength(8);
    fontSize_->setMaximumWidth(fontSize_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    const QStringList styles{QStringLiteral("Line"), QStringLiteral("Dot"), QStringLiteral("None")};
    ridgeStyle_ = addCombo("ridgeStyle", styles);
    valleyStyle_ = addCombo("valleyStyle", styles);
    saveOnExit_ = addCheck("saveOnExit", QStringLiteral("Save current settings when exit."));
    searchFewerParts_ = addCheck("searchFewerParts", QStringLiteral("Search for fewer parts (slower)"));
    searchSeconds_ = new QSpinBox(this);
    searchSeconds_->setObjectName(QStringLiteral("searchSeconds"));
    searchSeconds_->setRange(1, 3600);
    searchSeconds_->setSuffix(QStringLiteral(" s"));
    searchSeconds_->setToolTip(QStringLiteral("How long the search may take"));

    auto* modelBox = new QGroupBox(QStringLiteral("3D model display"), this);
    auto* modelLayout = new QVBoxLayout(modelBox);
    modelLayout->addWidget(edgeColor_);
    modelLayout->addWidget(showInvertedFaces_);

    auto* algorithmBox = new QGroupBox(QStringLiteral("Unfold algorithm"), this);
    auto* algorithmLayout = new QVBoxLayout(algorithmBox);
    algorithmLayout->addWidget(unfoldStrategy_);
    algorithmLayout->addWidget(new QLabel(QStringLiteral("This algorithm is used for Auto Mode"), algorithmBox));
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchFewerParts_);
    auto* secondsLabel = new QLabel(QStringLiteral("at most"), algorithmBox);
    secondsLabel->setBuddy(searchSeconds_);
    searchRow->addWidget(secondsLabel);
    searchRow->addWidget(searchSeconds_);
    searchRow->addStretch(1);
    algorithmLayout->addLayout(searchRow);

    auto* patternBox = new QGroupBox(QStringLiteral("Unfolded pattern display"), this);
    auto* patternLayout = new QGridLayout(patternBox);
    patternLayout->addWidget(omitFlatEdges_, 0, 0, 1, 3);
    patternLayout->addWidget(createFlaps_, 1, 0, 1, 3);
    patternLayout->addWidget(colorMode_, 2, 0, 1, 3);
    auto* sizeLabel = new QLabel(QStringLiteral("Size"), patternBox);
    sizeLabel->setBuddy(flapSize_);
    auto* flapRow = new QHBoxLayout;
    flapRow->addSpacing(20);
    flapRow->addWidget(sizeLabel);
    flapRow->addWidget(flapSize_);
    flapRow->addWidget(flapsBothSides_);
    flapRow->addStretch(1);
    patternLayout->addLayout(flapRow, 3, 0, 1, 3);
    patternLayout->addWidget(useOriginalFont_, 4, 0, 1, 3);
    auto* fontHint = new QLabel(QStringLiteral("Check when font trouble occurs."), patternBox);
    fontHint->setIndent(20);
    patternLayout->addWidget(fontHint, 5, 0, 1, 3);
    auto* fontLabel = new QLabel(QStringLiteral("Font size"), patternBox);
    fontLabel->setBuddy(fontSize_);
    auto* idRow = new QHBoxLayout;
    idRow->addWidget(showEdgeIds_);
    idRow->addSpacing(12);
    idRow->addWidget(fontLabel);
    idRow->addWidget(fontSize_);
    idRow->addStretch(1);
    patternLayout->addLayout(idRow, 6, 0, 1, 3);

    auto* foldBox = new QGroupBox(QStringLiteral("Style of fold line"), this);
    auto* foldLayout = new QGridLayout(foldBox);
    auto* ridgeLabel = new QLabel(QStringLiteral("Ridge"), foldBox);
    ridgeLabel->setBuddy(ridgeStyle_);
    auto* valleyLabel = new QLabel(QStringLiteral("Valley"), foldBox);
    valleyLabel->setBuddy(valleyStyle_);
    foldLayout->addWidget(ridgeLabel, 0, 0);
    foldLayout->addWidget(ridgeStyle_, 0, 1);
    foldLayout->addWidget(valleyLabel, 1, 0);
    foldLayout->addWidget(valleyStyle_, 1, 1);
    foldLayout->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(modelBox);
    left->addWidget(algorithmBox);
    left->addWidget(foldBox);
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(patternBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(saveOnExit_);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    load(settings_);
    // A click on either box exchanges all controls at once, so the controls
    // they govern follow without OK.
    connect(showEdgeIds_, &QCheckBox::clicked, this, &SettingsDialog::exchange);
    connect(createFlaps_, &QCheckBox::clicked, this, &SettingsDialog::exchange);
    connect(searchFewerParts_, &QCheckBox::toggled, this, &SettingsDialog::updateEnabling);
}

QCheckBox* SettingsDialog::addCheck(const char* objectName, const QString& text)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QComboBox* SettingsDialog::addCombo(const char* objectName, const QStringList& items)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(objectName));
    combo->addItems(items);
    return combo;
}

void SettingsDialog::load(const nettor::Settings& s)
{
    const auto check = [](QCheckBox* box, std::int32_t value) { box->setChecked(value != 0); };
    // A value no item stands for selects none.
    const auto select = [](QComboBox* combo, std::int32_t value) {
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
    };
    check(edgeColor_, s.edgeColor);
    check(showInvertedFaces_, s.showInvertedFaces);
    select(unfoldStrategy_, s.unfoldStrategy);
    check(omitFlatEdges_, s.omitFlatEdges);
    check(createFlaps_, s.createFlaps);
    check(colorMode_, s.colorMode);
    select(flapSize_, s.flapSize);
    check(flapsBothSides_, s.flapsBothSides);
    check(useOriginalFont_, s.useOriginalFont);
    check(showEdgeIds_, s.showEdgeIds);
    fontSize_->setText(QString::number(s.edgeIdFontSize));
    select(ridgeStyle_, s.ridgeStyle);
    select(valleyStyle_, s.valleyStyle);
    check(saveOnExit_, s.saveOnExit);
    searchFewerParts_->setChecked(partSearch_.enabled);
    searchSeconds_->setValue(static_cast<int>(std::lround(std::clamp(partSearch_.timeLimitSeconds, 1.0, 3600.0))));
    updateEnabling();
}

bool SettingsDialog::read(nettor::Settings& s)
{
    const std::optional<std::int32_t> size = nettor::parseEdgeIdFontSize(fontSize_->text().toStdString());
    if (!size) {
        QMessageBox::warning(this, QStringLiteral("Nettor"),
                             QString::fromStdString(nettor::edgeIdFontSizeMessage()));
        fontSize_->setFocus(Qt::OtherFocusReason);
        fontSize_->selectAll();
        return false;
    }
    s.edgeColor = edgeColor_->isChecked();
    s.showInvertedFaces = showInvertedFaces_->isChecked();
    s.unfoldStrategy = unfoldStrategy_->currentIndex();
    s.omitFlatEdges = omitFlatEdges_->isChecked();
    s.createFlaps = createFlaps_->isChecked();
    s.colorMode = colorMode_->isChecked();
    s.flapSize = flapSize_->currentIndex();
    s.flapsBothSides = flapsBothSides_->isChecked() ? 1 : 0;
    s.useOriginalFont = useOriginalFont_->isChecked();
    s.showEdgeIds = showEdgeIds_->isChecked();
    s.edgeIdFontSize = *size;
    s.ridgeStyle = ridgeStyle_->currentIndex();
    s.valleyStyle = valleyStyle_->currentIndex();
    s.saveOnExit = saveOnExit_->isChecked();
    partSearch_.enabled = searchFewerParts_->isChecked();
    partSearch_.timeLimitSeconds = searchSeconds_->value();
    return true;
}

void SettingsDialog::exchange()
{
    // The governed controls follow the boxes even while the font size is
    // being corrected.
    updateEnabling();
    nettor::Settings s = settings_;
    if (read(s)) {
        settings_ = s;
        load(settings_);
    }
}

void SettingsDialog::updateEnabling()
{
    fontSize_->setEnabled(showEdgeIds_->isChecked());
    flapSize_->setEnabled(createFlaps_->isChecked());
    flapsBothSides_->setEnabled(createFlaps_->isChecked());
    searchSeconds_->setEnabled(searchFewerParts_->isChecked());
}

void SettingsDialog::accept()
{
    nettor::Settings s = settings_;
    if (!read(s)) return;
    settings_ = s;
    QDialog::accept();
}
