// Start in the window against nettor-cli unfold, in the same run: the
// 81,920-face sphere (few large parts) and the 100,000-triangle height field
// (thousands of parts to arrange) as OBJ files, each opened in the main
// window (under Xvfb, with the OpenGL 3D view). One iteration clicks Start and waits until the
// panel shows every face unfolded on the screen (the frame painted after its
// counter reads the total); then the same file goes through the whole
// nettor-cli process. The manual time is the window's; the counters give
// the command line's time and the ratio of the two. Run it under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build-test/bench/bench_window_start
#include "app/document.h"
#include "app/gl_surface_format.h"
#include "app/information_panel.h"
#include "app/main_window.h"
#include "bench_models.h"
#include "session/app_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <clocale>
#include <string>
#include <utility>
#include <fstream>

namespace {

MainWindow* window = nullptr;

bool writeSphereObj(const QString& path, int levels)
{
    std::ofstream out(path.toStdString());
    const auto model = nettor::bench::sphereModel(levels);
    int written = 0;
    for (const auto& object : model->objects) {
        for (const nettor::Vertex* v : object->vertices) {
            out << "v " << v->position.x << ' ' << v->position.y << ' ' << v->position.z << '\n';
            ++written;
        }
        for (const nettor::Face* face : object->faces) {
            out << 'f';
            for (const nettor::HalfEdge* h : face->outerLoop.halfEdges) out << ' ' << h->origin->id;
            out << '\n';
        }
    }
    return written > 0 && static_cast<bool>(out);
}

// Runs events until done() holds; false when it does not within the time.
template <class Done>
bool waitFor(Done done, int milliseconds = 120000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Notes the moment the counter field has been painted with the given text
// and the window's frame with it is complete (the first event after that
// paint), on the clock given. The moment is taken there and then: other
// work (the views' drawing) may follow before the event loop returns.
class ShownCounter : public QObject {
public:
    ShownCounter(QLineEdit* field, QString text, const QElapsedTimer& clock)
        : field_(field), text_(std::move(text)), clock_(clock)
    {
        field_->installEventFilter(this);
    }
    bool shown() const { return shown_; }
    double seconds() const { return static_cast<double>(shownAt_) / 1e9; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == field_ && event->type() == QEvent::Paint && field_->text() == text_ && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, this, [this] {
                shownAt_ = clock_.nsecsElapsed();
                shown_ = true;
            });
        }
        return false;
    }

private:
    QLineEdit* field_;
    QString text_;
    const QElapsedTimer& clock_;
    bool seen_ = false;
    bool shown_ = false;
    qint64 shownAt_ = 0;
};

double cliSeconds(const QString& modelPath)
{
    QProcess cli;
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(NETTOR_CLI), {QStringLiteral("unfold"), modelPath});
    if (!cli.waitForFinished(300000) || cli.exitCode() != 0) return -1.0;
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void BM_StartInTheWindowAgainstTheCli(benchmark::State& state, const QString& modelPath)
{
    InformationPanel* panel = window->informationPanel();
    double cliTotal = 0.0;
    double windowTotal = 0.0;
    for (auto _ : state) {
        // A fresh model, read and shown.
        window->openFile(modelPath);
        const QString total = QString::number(nettor::appState().status.totalFaceCount);
        if (!waitFor([&] { return panel->faceCountEdit()->text() == total && panel->unfoldedCountEdit()->text() == "0"; })) {
            state.SkipWithError("the model was not opened");
            return;
        }
        waitFor([] { return false; }, 300); // the first frames of the new model

        QElapsedTimer clock;
        ShownCounter counter(panel->unfoldedCountEdit(), total, clock);
        clock.start();
        QTest::mouseClick(panel->startButton(), Qt::LeftButton);
        if (!waitFor([&] { return counter.shown(); })) {
            state.SkipWithError("the panel never showed every face unfolded");
            return;
        }
        const double windowSeconds = counter.seconds();
        waitFor([] { return false; }, 300); // the views' drawing, before the command line runs
        state.SetIterationTime(windowSeconds);
        windowTotal += windowSeconds;

        const double cli = cliSeconds(modelPath);
        if (cli <= 0.0) {
            state.SkipWithError("nettor-cli unfold failed");
            return;
        }
        cliTotal += cli;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["window_ms"] = 1000.0 * windowTotal / n;
    state.counters["cli_ms"] = 1000.0 * cliTotal / n;
    state.counters["window_per_cli"] = windowTotal / cliTotal;
}

} // namespace

int main(int argc, char** argv)
{
    requestCompatibilityContext();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("KR_Nettor"));
    QApplication::setApplicationName(QStringLiteral("NettorBench"));
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());

    QTemporaryDir dir;
    const QString spherePath = dir.filePath(QStringLiteral("sphere81920.obj"));
    if (!writeSphereObj(spherePath, 6)) return 1;
    const QString heightFieldPath = QString::fromStdString(nettor::bench::heightField100kObj());

    Document document;
    document.setMessageSink([](const QString& text) { qWarning("message: %s", qPrintable(text)); });
    MainWindow frame(&document);
    frame.resize(1200, 860);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame)) return 1;
    window = &frame;

    for (const auto& [name, path] : {std::pair{"sphere81920", spherePath}, {"heightField100k", heightFieldPath}})
        benchmark::RegisterBenchmark((std::string("BM_StartInTheWindowAgainstTheCli/") + name).c_str(),
                                     BM_StartInTheWindowAgainstTheCli, path)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window = nullptr;
    return 0;
}
