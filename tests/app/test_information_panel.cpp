// The information panel driven with the mouse and keyboard: its controls at
// start, the modes, the overlap check, Start on small models (on the calling
// thread) and on 51 faces (behind the progress dialog), Refresh with its
// validation, Undo only for an unfolding Start recorded, and the choice of
// the search for fewer parts.
#include "app/document.h"
#include "app/information_panel.h"
#include "app/pattern_view.h"
#include "app/progress_dialog.h"
#include "app/unfold_runner.h"
#include "app_test_helpers.h"
#include "session/app_state.h"
#include "state/scale_text.h"
#include "support/shape_generators.h"
#include "support/unfolding_invariants.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

class TestInformationPanel : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    QWidget* window = nullptr;
    InformationPanel* panel = nullptr;
    PatternView* view = nullptr;
    UnfoldRunner* runner = nullptr;
    QStringList messages;
    QList<int> hints;

    void open(const nettor::test::MeshSpec& spec, const QString& name)
    {
        QVERIFY(document->openPath(apptest::writeObj(dir, name, spec)));
        messages.clear();
        hints.clear();
    }
    void clickStart() { QTest::mouseClick(panel->startButton(), Qt::LeftButton); }

private slots:
    void init()
    {
        nettor::appState().replaceModel(nullptr);
        nettor::appState().status.finished = false;
        nettor::appState().pickMode = -1;
        nettor::appState().overlapCheck = 1;
        nettor::appState().rightDragMode = 0;
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        window = new QWidget;
        auto* layout = new QHBoxLayout(window);
        panel = new InformationPanel(window);
        view = new PatternView(window);
        layout->addWidget(panel);
        layout->addWidget(view);
        connect(document, &Document::updateHint, panel, &InformationPanel::onUpdateHint);
        connect(document, &Document::updateHint, view, &PatternView::onUpdateHint);
        connect(document, &Document::updateHint, this, [this](int n) { hints << n; });
        runner = new UnfoldRunner(document, window);
        window->resize(900, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window); // other test windows may hold the X focus
        messages.clear();
        hints.clear();
    }
    void cleanup()
    {
        delete window;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void startsWithNoModeAndTheCheckOn()
    {
        QVERIFY(!panel->cutEdgeButton()->isChecked());
        QVERIFY(!panel->firstFaceButton()->isChecked());
        QVERIFY(!panel->connectEdgeButton()->isChecked());
        QVERIFY(panel->cutEdgeButton()->isCheckable());
        QVERIFY(panel->overlapCheckBox()->isChecked());
        QVERIFY(panel->rightDragButton(0)->isChecked());
        QVERIFY(!panel->undoButton()->isEnabled());
        QVERIFY(panel->faceCountEdit()->isReadOnly());
        QCOMPARE(nettor::appState().pickMode, -1);
        // Start without a model does nothing.
        clickStart();
        QVERIFY(hints.isEmpty());
    }

    void modeButtonsAreExclusiveAndFirstFaceClosesThePart()
    {
        open(apptest::stripSpec(8), "strip8.obj");
        QTest::mouseClick(panel->cutEdgeButton(), Qt::LeftButton);
        QCOMPARE(nettor::appState().pickMode, 0);
        QTest::mouseClick(panel->connectEdgeButton(), Qt::LeftButton);
        QCOMPARE(nettor::appState().pickMode, 2);
        QVERIFY(!panel->cutEdgeButton()->isChecked());
        QVERIFY(panel->connectEdgeButton()->isChecked());
        QVERIFY(hints.isEmpty());
        QTest::mouseClick(panel->firstFaceButton(), Qt::LeftButton);
        QCOMPARE(nettor::appState().pickMode, 1);
        QCOMPARE(hints, QList<int>{4});
        QVERIFY(!panel->connectEdgeButton()->isChecked());

        // Right drag: the buttons set the mode, hint 3 brings them in line.
        apptest::clickIndicator(panel->rightDragButton(1));
        QCOMPARE(nettor::appState().rightDragMode, 1);
        nettor::appState().rightDragMode = 2;
        nettor::notifyViews(nettor::ViewChange::CountsChanged);
        QVERIFY(panel->rightDragButton(2)->isChecked());
        QVERIFY(!panel->rightDragButton(1)->isChecked());
    }

    void overlapCheckFollowsItsBoxWhateverTheOtherFieldsHold()
    {
        // A face count beyond any counter range and a scale that is no number:
        // the scale is reported as the fields are read, and the check goes on.
        nettor::appState().status.totalFaceCount = 40000;
        panel->refreshCounters();
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("40000"));
        panel->scaleEdit()->setText(QStringLiteral("not a scale"));
        apptest::clickIndicator(panel->overlapCheckBox());
        QVERIFY(!panel->overlapCheckBox()->isChecked());
        QCOMPARE(nettor::appState().overlapCheck.load(), 0);
        QCOMPARE(hints, QList<int>{20});
        QCOMPARE(messages, QStringList{QStringLiteral("Please enter a number.")});
        messages.clear();
        panel->scaleEdit()->setText(QStringLiteral("2"));
        panel->overlapCheckBox()->setFocus();
        QTest::keyClick(panel->overlapCheckBox(), Qt::Key_Space);
        QCOMPARE(nettor::appState().overlapCheck.load(), 1);
        QCOMPARE(hints, (QList<int>{20, 20}));
        nettor::appState().status.totalFaceCount = 0;
    }

    void fiftyFacesUnfoldWithoutTheDialogFiftyOneWithIt()
    {
        QSignalSpy dialogs(runner, &UnfoldRunner::progressDialogOpened);
        open(apptest::stripSpec(50), "strip50.obj");
        clickStart();
        QCOMPARE(dialogs.count(), 0);
        QVERIFY(hints.contains(2));
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(messages, QStringList{QStringLiteral("All faces are unfolded.")});
        QCOMPARE(panel->unfoldedCountEdit()->text(), QStringLiteral("50"));
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("50"));
        QCOMPARE(panel->partCountEdit()->text(),
                 QString::number(nettor::appState().model->parts.size()));
        QVERIFY(panel->undoButton()->isEnabled());
        QTRY_COMPARE(panel->scaleEdit()->text(), QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale)));
        QVERIFY(nettor::appState().displayedScale > 0);
        // Start is refused once everything is unfolded.
        hints.clear();
        clickStart();
        QVERIFY(!hints.contains(2));

        open(apptest::stripSpec(51), "strip51.obj");
        QString taskSeen;
        connect(runner, &UnfoldRunner::progressDialogOpened, this,
                [&taskSeen](ProgressDialog* d) { taskSeen = d->taskText(); });
        clickStart();
        QCOMPARE(dialogs.count(), 1);
        // The worker may be well on when the dialog first shows its counters.
        QVERIFY2(QRegularExpression(QStringLiteral("^(Unfolded faces \\d+ / Faces 51|Arranging the unfolded patterns\\.)$"))
                     .match(taskSeen).hasMatch(),
                 qPrintable(taskSeen));
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(panel->unfoldedCountEdit()->text(), QStringLiteral("51"));
        // The worker's completion shows nothing.
        QVERIFY(messages.isEmpty());
        QCOMPARE(nettor::test::unfoldingViolation(*nettor::appState().model, nettor::appState().status), std::string());
    }

    void refreshAppliesAValidScaleOnlyOnceFinished()
    {
        open(apptest::stripSpec(12), "strip12.obj");
        panel->scaleEdit()->setText(QStringLiteral("3"));
        QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
        QVERIFY(!hints.contains(19));
        QVERIFY(messages.isEmpty());

        clickStart();
        QVERIFY(nettor::appState().status.finished);
        messages.clear();
        hints.clear();
        nettor::Model& model = *nettor::appState().model;

        // Text the field cannot take is reported, each kind with its own
        // message; Refresh then goes on with the scale shown before, so the
        // pattern keeps its scale.
        QTRY_COMPARE(panel->scaleEdit()->text(), QString::fromStdString(nettor::scaleText(nettor::appState().displayedScale)));
        const double shown = nettor::appState().displayedScale;
        const double patternScale = model.patternScale;
        panel->scaleEdit()->setText(QStringLiteral("1200"));
        QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("Please enter a number between 0 and 1000.")});
        QCOMPARE(hints, QList<int>{19});
        QCOMPARE(nettor::appState().requestedScale, shown);
        QCOMPARE(model.patternScale, patternScale);
        // The refused text is selected, ready to be typed over.
        QCOMPARE(panel->scaleEdit()->selectedText(), QStringLiteral("1200"));

        messages.clear();
        hints.clear();
        panel->scaleEdit()->selectAll();
        QTest::keyClicks(panel->scaleEdit(), QStringLiteral("abc"));
        QTest::keyClick(panel->scaleEdit(), Qt::Key_Return);
        QCOMPARE(messages, QStringList{QStringLiteral("Please enter a number.")});
        QCOMPARE(model.patternScale, patternScale);
        hints.clear();

        // A valid scale is applied by the pattern view: cm per model unit.
        messages.clear();
        const QString typed = QString::number(nettor::appState().displayedScale * 1.5, 'g', 10);
        const double scale = typed.toDouble();
        panel->scaleEdit()->setText(typed);
        QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
        QCOMPARE(hints, QList<int>{19});
        QVERIFY(messages.isEmpty());
        QCOMPARE(nettor::appState().requestedScale, scale);
        QVERIFY(std::abs(model.patternScale * model.unitScale - scale) < 1e-9 * scale);
        QCOMPARE(nettor::appState().displayedScale, scale);

        // In range for the field, but too small for the view.
        panel->scaleEdit()->setText(QStringLiteral("0"));
        QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("The value is too small.")});
        QVERIFY(std::abs(model.patternScale * model.unitScale - scale) < 1e-9 * scale);
    }

    void undoBringsBackTheModelAsItWasAtStart()
    {
        open(apptest::stripSpec(20), "strip20.obj");
        clickStart();
        QVERIFY(nettor::appState().status.finished);
        QVERIFY(panel->undoButton()->isEnabled());
        hints.clear();
        QTest::mouseClick(panel->undoButton(), Qt::LeftButton);
        QVERIFY(!nettor::appState().status.finished);
        QCOMPARE(hints, (QList<int>{16, 3}));
        QVERIFY(!panel->undoButton()->isEnabled());
        QCOMPARE(panel->unfoldedCountEdit()->text(), QStringLiteral("0"));
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("20"));
        QCOMPARE(nettor::appState().model->parts.size(), std::size_t(0));
        // And Start unfolds it anew.
        clickStart();
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(panel->unfoldedCountEdit()->text(), QStringLiteral("20"));
    }

    void undoOnlyForAnUnfoldingThatStartRecorded()
    {
        // Unfolded by hand alone: there is no record to go back to.
        open(apptest::stripSpec(6), "strip6.obj");
        nettor::appState().status.finished = true;
        document->unfoldingFinished();
        QVERIFY(!panel->undoButton()->isEnabled());
        QTest::mouseClick(panel->undoButton(), Qt::LeftButton);
        QVERIFY(messages.isEmpty());

        // Started, finished, then another model opened and finished without
        // Start: the record belongs to the first model.
        nettor::appState().status.finished = false;
        clickStart();
        QVERIFY(nettor::appState().status.finished);
        QVERIFY(panel->undoButton()->isEnabled());
        open(apptest::stripSpec(8), "strip8.obj");
        QVERIFY(!panel->undoButton()->isEnabled());
        nettor::appState().status.finished = true;
        document->unfoldingFinished();
        QVERIFY(!panel->undoButton()->isEnabled());
    }

    void fewerPartsIsTheStoredChoiceOfTheSearch()
    {
        QCheckBox* fewer = panel->fewerPartsCheckBox();
        QCOMPARE(fewer->text(), QStringLiteral("Fewer parts"));
        QVERIFY(fewer->toolTip().contains(QStringLiteral("longer")));
        nettor::appState().partSearch.enabled = false;
        document->settingsChanged();
        QVERIFY(!fewer->isChecked());
        apptest::clickIndicator(fewer);
        QVERIFY(nettor::appState().partSearch.enabled);
        // The settings dialog's change shows when it closes (settings changed).
        nettor::appState().partSearch.enabled = false;
        document->settingsChanged();
        QVERIFY(!fewer->isChecked());

        // With the box ticked, Start runs the search: a torus, which the
        // growth alone leaves in many parts, comes out in fewer.
        apptest::clickIndicator(fewer);
        nettor::appState().partSearch.timeLimitSeconds = 0.5;
        open(nettor::test::torusSpec(48, 24), "torus.obj");
        QSignalSpy shown(document, &Document::statusMessageShown);
        clickStart();
        QVERIFY(nettor::appState().status.finished);
        const int searched = nettor::appState().status.partCount;
        // The rounds the search made are kept and told in the status bar.
        const int rounds = nettor::appState().status.searchRounds;
        QVERIFY(rounds > 0);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().front().toString(),
                 QStringLiteral("The search for fewer parts made %1 round%2 with seed 1.")
                     .arg(rounds)
                     .arg(rounds == 1 ? "" : "s"));
        apptest::clickIndicator(fewer);
        QVERIFY(!nettor::appState().partSearch.enabled);
        open(nettor::test::torusSpec(48, 24), "torus.obj");
        QCOMPARE(nettor::appState().status.searchRounds.load(), 0);
        clickStart();
        QVERIFY(nettor::appState().status.finished);
        QCOMPARE(nettor::appState().status.searchRounds.load(), 0);
        QVERIFY2(searched < nettor::appState().status.partCount,
                 qPrintable(QStringLiteral("%1 parts with the search, %2 without")
                                .arg(searched).arg(nettor::appState().status.partCount)));
        nettor::appState().partSearch = nettor::PartSearchSettings{};
    }
};

QTEST_MAIN(TestInformationPanel)
#include "test_information_panel.moc"
