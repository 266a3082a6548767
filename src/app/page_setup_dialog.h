#pragma once
// The Page Setup dialog of the Pages layout: the paper (a named size or a
// custom width and height), its orientation, the margin and the finished
// size of the model. OK checks the values with the core first: a problem
// is shown and the dialog stays open.
#include "state/pages_settings.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QDoubleSpinBox;

class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    PageSetupDialog(const nettor::PagesSettings& settings, std::function<void(const std::string&)> showProblem,
                    QWidget* parent = nullptr);

    nettor::PagesSettings settings() const;

    void accept() override;

private:
    void updateCustomFields();

    nettor::PagesSettings initial_;
    std::function<void(const std::string&)> showProblem_;
    QComboBox* paper_ = nullptr;
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* height_ = nullptr;
    QComboBox* orientation_ = nullptr;
    QDoubleSpinBox* margin_ = nullptr;
    QDoubleSpinBox* size_ = nullptr;
};
