// The dialog "Setting" as the user works it: what it shows, which controls
// follow the boxes, the font size check, OK and Cancel through the View menu.
#include "app/document.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "modal_driver.h"
#include "session/app_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename T>
T* control(QWidget* dialog, const char* name)
{
    T* w = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!w) qWarning("no control %s", name);
    return w;
}

QPushButton* button(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox*>()->button(which);
}

// A click on the box's indicator, where a user aims, not the middle of a
// row the layout may have stretched beyond the text.
void clickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        nettor::appState().settings = nettor::Settings{};
        nettor::appState().partSearch = nettor::PartSearchSettings{};
    }

    void showsEveryGroupAndTheStoredValues()
    {
        nettor::Settings s;
        s.edgeColor = 0;
        s.showInvertedFaces = 1;
        s.unfoldStrategy = 2;
        s.omitFlatEdges = 0;
        s.colorMode = 0;
        s.flapSize = 0;
        s.flapsBothSides = 1;
        s.useOriginalFont = 1;
        s.showEdgeIds = 1;
        s.edgeIdFontSize = 17;
        s.ridgeStyle = 1;
        s.valleyStyle = 2;
        SettingsDialog dialog(s);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setting"));
        QStringList groups;
        for (auto* g : dialog.findChildren<QGroupBox*>()) groups << g->title();
        groups.sort();
        QCOMPARE(groups, (QStringList{"3D model display", "Style of fold line", "Unfold algorithm",
                                      "Unfolded pattern display"}));
        QStringList labels;
        for (auto* l : dialog.findChildren<QLabel*>()) labels << l->text();
        for (const char* t : {"This algorithm is used for Auto Mode", "Size", "Check when font trouble occurs.",
                              "Font size", "Ridge", "Valley"})
            QVERIFY2(labels.contains(t), t);

        QCOMPARE(control<QCheckBox>(&dialog, "edgeColor")->text(), QStringLiteral("Edge color"));
        QVERIFY(!control<QCheckBox>(&dialog, "edgeColor")->isChecked());
        QVERIFY(control<QCheckBox>(&dialog, "showInvertedFaces")->isChecked());
        QCOMPARE(control<QCheckBox>(&dialog, "colorMode")->text(), QStringLiteral("Color mode (*.mqo, *.rok file)"));
        auto* strategy = control<QComboBox>(&dialog, "unfoldStrategy");
        QCOMPARE(strategy->count(), 3);
        QCOMPARE(strategy->itemText(0), QStringLiteral("Well suited for free form figure"));
        QCOMPARE(strategy->itemText(1), QStringLiteral("Well suited for ruled figure"));
        QCOMPARE(strategy->itemText(2), QStringLiteral("Middle of upper 2 algorithms"));
        QCOMPARE(strategy->currentIndex(), 2);
        auto* flapSize = control<QComboBox>(&dialog, "flapSize");
        QCOMPARE(flapSize->currentText(), QStringLiteral("Large"));
        QCOMPARE(control<QComboBox>(&dialog, "ridgeStyle")->currentText(), QStringLiteral("Dot"));
        QCOMPARE(control<QComboBox>(&dialog, "valleyStyle")->currentText(), QStringLiteral("None"));
        QCOMPARE(control<QLineEdit>(&dialog, "edgeIdFontSize")->text(), QStringLiteral("17"));
        QCOMPARE(control<QCheckBox>(&dialog, "saveOnExit")->text(), QStringLiteral("Save current settings when exit."));
        QVERIFY(control<QCheckBox>(&dialog, "saveOnExit")->isChecked());

        // What comes back without a change is what went in.
        dialog.show();
        QTest::mouseClick(button(&dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.settings().toText(), s.toText());
    }

    void boxesGreyOutTheirControlsAtOnce()
    {
        nettor::Settings s;
        s.showEdgeIds = 1;
        SettingsDialog dialog(s);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* edgeIds = control<QCheckBox>(&dialog, "showEdgeIds");
        auto* fontSize = control<QLineEdit>(&dialog, "edgeIdFontSize");
        auto* flaps = control<QCheckBox>(&dialog, "createFlaps");
        auto* flapSize = control<QComboBox>(&dialog, "flapSize");
        auto* bothSides = control<QCheckBox>(&dialog, "flapsBothSides");
        QVERIFY(fontSize->isEnabled());
        QVERIFY(flapSize->isEnabled() && bothSides->isEnabled());

        clickBox(edgeIds);
        QVERIFY(!edgeIds->isChecked());
        QVERIFY(!fontSize->isEnabled());
        clickBox(flaps);
        QVERIFY(!flapSize->isEnabled());
        QVERIFY(!bothSides->isEnabled());
        clickBox(edgeIds);
        QVERIFY(fontSize->isEnabled());
        clickBox(flaps);
        QVERIFY(flapSize->isEnabled() && bothSides->isEnabled());

        // Opening with the boxes cleared shows the controls grey at once.
        nettor::Settings off;
        off.showEdgeIds = 0;
        off.createFlaps = 0;
        SettingsDialog second(off);
        QVERIFY(!control<QLineEdit>(&second, "edgeIdFontSize")->isEnabled());
        QVERIFY(!control<QComboBox>(&second, "flapSize")->isEnabled());
        QVERIFY(!control<QCheckBox>(&second, "flapsBothSides")->isEnabled());
    }

    void fontSizeOutsideOneToSeventyTwoIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("zero") << "0";
        QTest::newRow("seventy-three") << "73";
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
    }

    void fontSizeOutsideOneToSeventyTwoIsRefused()
    {
        QFETCH(QString, typed);
        nettor::Settings s;
        s.showEdgeIds = 1;
        SettingsDialog dialog(s);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* fontSize = control<QLineEdit>(&dialog, "edgeIdFontSize");
        typeInto(fontSize, typed);

        QString shown;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        }, &dialog);
        QTest::mouseClick(button(&dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("Please enter an integer between 1 and 72."));
        QVERIFY(dialog.isVisible()); // OK did not close it
        QCOMPARE(dialog.focusWidget(), fontSize);

        // Corrected, OK takes it.
        typeInto(fontSize, "72");
        QTest::mouseClick(button(&dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.settings().edgeIdFontSize, 72);
    }

    void okAppliesAndCancelKeepsButBothRedraw()
    {
        Document document;
        MainWindow frame(&document);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QSignalSpy hints(&document, &Document::updateHint);

        // Cancel: the changes are dropped.
        onNextModal([](QWidget* w) {
            clickBox(control<QCheckBox>(w, "showEdgeIds"));
            control<QComboBox>(w, "valleyStyle")->setCurrentIndex(2);
            clickBox(control<QCheckBox>(w, "searchFewerParts"));
            QTest::mouseClick(button(w, QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        frame.action(nettor::Command::Setting)->trigger();
        QCOMPARE(nettor::appState().settings.toText(), nettor::Settings{}.toText());
        QVERIFY(!nettor::appState().partSearch.enabled);
        QCOMPARE(hints.count(), 2);
        QCOMPARE(hints.at(0).at(0).toInt(), 5);
        QCOMPARE(hints.at(1).at(0).toInt(), 20);

        // OK: every changed control reaches the settings.
        onNextModal([](QWidget* w) {
            clickBox(control<QCheckBox>(w, "showEdgeIds"));
            typeInto(control<QLineEdit>(w, "edgeIdFontSize"), "24");
            clickBox(control<QCheckBox>(w, "edgeColor"));
            clickBox(control<QCheckBox>(w, "flapsBothSides"));
            control<QComboBox>(w, "unfoldStrategy")->setCurrentIndex(0);
            control<QComboBox>(w, "flapSize")->setCurrentIndex(2);
            control<QComboBox>(w, "ridgeStyle")->setCurrentIndex(2);
            clickBox(control<QCheckBox>(w, "saveOnExit"));
            // The time limit is greyed until the search is switched on.
            auto* seconds = control<QSpinBox>(w, "searchSeconds");
            QVERIFY(!seconds->isEnabled());
            clickBox(control<QCheckBox>(w, "searchFewerParts"));
            QVERIFY(seconds->isEnabled());
            typeInto(seconds->findChild<QLineEdit*>(), "25");
            QTest::keyClick(w, Qt::Key_Return);
        });
        frame.action(nettor::Command::Setting)->trigger();
        const nettor::Settings& now = nettor::appState().settings;
        QCOMPARE(QString::fromStdString(now.toText()), QStringLiteral("0:1:1:0:24:0:0:1:1:1:2:0:2:1"));
        QCOMPARE(now.saveOnExit, 0);
        QVERIFY(nettor::appState().partSearch.enabled);
        QCOMPARE(nettor::appState().partSearch.timeLimitSeconds, 25.0);
        QCOMPARE(hints.count(), 4);
        QCOMPARE(hints.at(2).at(0).toInt(), 5);
        QCOMPARE(hints.at(3).at(0).toInt(), 20);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("KR_Nettor");
    QApplication::setApplicationName("NettorSettingsDialogTest");
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    TestSettingsDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_dialog.moc"
