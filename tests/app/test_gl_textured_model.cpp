// A model that brings its own textures (an OBJ whose MTL library names a
// PNG and a JPEG) opened through File > Open: Display Texture is on at
// once, and the 3D view shows on each face the colours of that face's
// material image, or its plain colour.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/texture_view.h"
#include "app/texture_window.h"
#include "file_dialog_driver.h"
#include "gl_test_main.h"
#include "model/mesh.h"
#include "scene/projection.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStatusBar>
#include <QtTest>

#include <cmath>

namespace {

enum class Hue { Red, Green, Blue, Yellow, Magenta, Cyan, Other };

Hue hueOf(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const int d = 50;
    if (r > g + d && r > b + d) return b > g + d ? Hue::Magenta : Hue::Red;
    if (r > b + d && g > b + d && std::abs(r - g) < d) return Hue::Yellow;
    if (b > r + d && g > r + d) return std::abs(g - b) < 90 ? Hue::Cyan : (g > b ? Hue::Green : Hue::Blue);
    if (g > r + d && g > b + d) return Hue::Green;
    if (b > r + d && b > g + d) return Hue::Blue;
    if (r > g + d && b > g + d) return Hue::Magenta;
    return Hue::Other;
}

const char* hueName(Hue h)
{
    static const char* names[] = {"red", "green", "blue", "yellow", "magenta", "cyan", "other"};
    return names[static_cast<int>(h)];
}

} // namespace

class TestGlTexturedModel : public QObject {
    Q_OBJECT

    void rightDrag(QWidget* view, QPoint from, QPoint to)
    {
        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, from);
        for (int i = 1; i <= 10; ++i) {
            const QPoint p = from + (to - from) * i / 10;
            QMouseEvent move(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, Qt::RightButton,
                             Qt::NoModifier);
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, to);
    }

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void eachFaceShowsItsOwnMaterialsImage()
    {
        nettor::appState().replaceModel(nullptr);
        Document document;
        QStringList messages;
        document.setMessageSink([&](const QString& m) { messages << m; });
        MainWindow frame(&document);
        frame.resize(900, 640);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        answerFileDialog(QStringLiteral(NETTOR_SAMPLES_DIR "/textured_cube/textured_cube.obj"));
        frame.action(nettor::Command::Open)->trigger();
        QVERIFY(messages.isEmpty());
        const nettor::Model* model = nettor::appState().model.get();
        QVERIFY(model);
        QCOMPARE(model->images.size(), std::size_t(2));
        QVERIFY(nettor::appState().showTexture);
        QVERIFY(frame.action(nettor::Command::DisplayTexture)->isEnabled());
        QVERIFY(frame.action(nettor::Command::DisplayTexture)->isChecked());

        // Turn the cube so that a corner faces the viewer: three faces show.
        ModelView* view = frame.modelView();
        const QPoint centre(view->width() / 2, view->height() / 2);
        rightDrag(view, centre, centre + QPoint(60, 45));
        view->update();
        QApplication::processEvents();

        // The faces in file order: four sides with the strips red, green,
        // blue and yellow of the PNG, the top with the magenta JPEG, the
        // bottom in its plain cyan colour.
        const Hue expected[] = {Hue::Red, Hue::Green, Hue::Blue, Hue::Yellow, Hue::Magenta, Hue::Cyan};
        const QImage frameImage = view->grabFramebuffer();
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            frame.grab().save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/textured_cube.png");

        const double ratio = frameImage.width() / double(view->width());
        const nettor::ViewSnapshot snap = view->readSnapshot();
        int checked = 0;
        int textured = 0;
        const auto& faces = model->objects.front()->faces;
        QCOMPARE(faces.size(), std::size_t(6));
        for (std::size_t i = 0; i < faces.size(); ++i) {
            const nettor::Face& face = *faces[i];
            // Facing the viewer: its corners run counter-clockwise on the
            // screen, around a fair area.
            double area = 0.0;
            nettor::Vec3 mid{0, 0, 0};
            const auto& corners = face.outerLoop.halfEdges;
            for (std::size_t k = 0; k < corners.size(); ++k) {
                const nettor::WindowPoint p = nettor::projectPoint(snap, corners[k]->origin->position);
                const nettor::WindowPoint q = nettor::projectPoint(snap, corners[(k + 1) % corners.size()]->origin->position);
                area += p.x * q.y - q.x * p.y;
                mid = mid + corners[k]->origin->position;
            }
            mid = mid * (1.0 / double(corners.size()));
            const QPointF at = view->widgetPosition(mid);
            if (area / 2 < 800.0) continue;
            const QRgb pixel = frameImage.pixel(int(at.x() * ratio), int(at.y() * ratio));
            QVERIFY2(hueOf(pixel) == expected[i],
                     qPrintable(QStringLiteral("face %1 shows %2 (%3), expected %4")
                                    .arg(i)
                                    .arg(hueName(hueOf(pixel)))
                                    .arg(QColor(pixel).name())
                                    .arg(hueName(expected[i]))));
            ++checked;
            textured += i < 5;
        }
        QVERIFY2(checked >= 2 && textured >= 1, qPrintable(QStringLiteral("%1 faces checked").arg(checked)));

        // Display Texture off: the textured faces show their plain white-ish
        // material colours, the strips are gone.
        frame.action(nettor::Command::DisplayTexture)->trigger();
        QVERIFY(!nettor::appState().showTexture);
        const QImage plain = view->grabFramebuffer();
        int red = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) red += hueOf(plain.pixel(x, y)) == Hue::Red;
        QCOMPARE(red, 0);

        // Unfolded, the textured window shows every face with its own image:
        // all four strips and the magenta top.
        nettor::unfoldAll(nettor::appState(), *nettor::appState().model);
        frame.updateCommandStates();
        QVERIFY(frame.action(nettor::Command::TextureWindow)->isEnabled());
        frame.action(nettor::Command::TextureWindow)->trigger();
        TextureWindow* window = TextureWindow::current();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QImage pattern = window->view()->renderImage();
        int seen[7] = {};
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x) ++seen[static_cast<int>(hueOf(pattern.pixel(x, y)))];
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            window->grab().save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/textured_cube_pattern.png");
        for (Hue h : {Hue::Red, Hue::Green, Hue::Blue, Hue::Yellow, Hue::Magenta})
            QVERIFY2(seen[static_cast<int>(h)] > 200, hueName(h));
        delete window;
        nettor::appState().replaceModel(nullptr);
    }
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlTexturedModel>(argc, argv, "NettorTexturedModelTest");
}

#include "test_gl_textured_model.moc"
