#pragma once
// The dialog "Setting": every field of the settings record that the user
// may change, grouped as the model display, the unfolding algorithm, the
// pattern display and the fold line styles.
#include "state/part_search_settings.h"
#include "state/settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(const nettor::Settings& settings, const nettor::PartSearchSettings& partSearch = {},
                            QWidget* parent = nullptr);

    // The values as the controls hold them after the last exchange that
    // succeeded (the opening one, a click on "Edge ID" or "Create flaps for
    // fastening", or OK).
    nettor::Settings settings() const { return settings_; }
    // The search for fewer parts as the dialog's box and time limit hold it
    // after the last successful exchange.
    nettor::PartSearchSettings partSearch() const { return partSearch_; }

    // OK: reads every control; a font size that is not an integer from 1
    // to 72 keeps the dialog open with "Please enter an integer between 1
    // and 72." and the focus on the font size.
    void accept() override;

private:
    QCheckBox* addCheck(const char* objectName, const QString& text);
    QComboBox* addCombo(const char* objectName, const QStringList& items);
    void load(const nettor::Settings& s);
    bool read(nettor::Settings& s);
    // Reads every control and writes them back, as a click on one of the
    // two boxes that govern other controls does.
    void exchange();
    void updateEnabling();

    nettor::Settings settings_;
    nettor::PartSearchSettings partSearch_;
    QCheckBox* searchFewerParts_ = nullptr;
    QSpinBox* searchSeconds_ = nullptr;
    QCheckBox* edgeColor_ = nullptr;
    QCheckBox* showInvertedFaces_ = nullptr;
    QComboBox* unfoldStrategy_ = nullptr;
    QCheckBox* omitFlatEdges_ = nullptr;
    QCheckBox* createFlaps_ = nullptr;
    QCheckBox* colorMode_ = nullptr;
    QComboBox* flapSize_ = nullptr;
    QCheckBox* flapsBothSides_ = nullptr;
    QCheckBox* useOriginalFont_ = nullptr;
    QCheckBox* showEdgeIds_ = nullptr;
    QLineEdit* fontSize_ = nullptr;
    QComboBox* ridgeStyle_ = nullptr;
    QComboBox* valleyStyle_ = nullptr;
    QCheckBox* saveOnExit_ = nullptr;
};
