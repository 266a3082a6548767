// The QPainter canvas draws as a device context does: pens, brushes, lines,
// polygons and rotated text land on the pixels where the pattern drawing
// expects them.
#include "app/painter_canvas.h"
#include "model/mesh.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

bool isDark(QRgb c)
{
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

// Dark pixels inside the rectangle [x0, x1) x [y0, y1).
int darkPixels(const QImage& image, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x)
            n += isDark(image.pixel(x, y));
    return n;
}

QImage blank(int w, int h, QColor colour = QColor(200, 220, 240))
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestPainterCanvas : public QObject {
    Q_OBJECT

private slots:
    void pensDrawSolidDottedOrNothing()
    {
        QImage image = blank(200, 60);
        {
            QPainter painter(&image);
            PainterCanvas dc(painter, 10, 10);
            dc.selectPen(nettor::Pen::solid(1, nettor::kBlack));
            dc.moveTo(10, 10);
            dc.lineTo(190, 10);
            dc.selectPen(nettor::Pen::dotted(1, nettor::kBlack));
            dc.moveTo(10, 30);
            dc.lineTo(190, 30);
            dc.selectPen(nettor::Pen::null());
            dc.moveTo(10, 50);
            dc.lineTo(190, 50);
            QCOMPARE(dc.currentPen(), nettor::Pen::null());
        }
        // The solid line is unbroken, the dotted one about half inked, the
        // null pen leaves no mark; nothing is drawn beside the lines.
        QCOMPARE(darkPixels(image, 10, 10, 190, 11), 180);
        const int dotted = darkPixels(image, 10, 30, 190, 31);
        QVERIFY2(dotted > 60 && dotted < 120, qPrintable(QString::number(dotted)));
        QCOMPARE(darkPixels(image, 0, 45, 200, 56), 0);
        QCOMPARE(darkPixels(image, 0, 12, 200, 29), 0);
    }

    void widePenAndColourKeepTheirValues()
    {
        QImage image = blank(100, 40);
        {
            QPainter painter(&image);
            PainterCanvas dc(painter, 10, 10);
            dc.selectPen(nettor::Pen::solid(5, {255, 0, 0}));
            dc.moveTo(10, 20);
            dc.lineTo(90, 20);
        }
        QCOMPARE(image.pixel(50, 20), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(50, 18), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(50, 22), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(50, 25), qRgb(200, 220, 240));
    }

    void polygonFillsAndOutlinesFillPolygonOnlyFills()
    {
        QImage image = blank(120, 60);
        {
            QPainter painter(&image);
            PainterCanvas dc(painter, 10, 10);
            dc.selectPen(nettor::Pen::stockBlack());
            dc.selectBrush(nettor::Brush::solid({0, 255, 0}));
            dc.polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
            dc.fillPolygon({{70, 10}, {110, 10}, {110, 50}, {70, 50}});
        }
        QCOMPARE(image.pixel(30, 30), qRgb(0, 255, 0));
        QVERIFY(isDark(image.pixel(10, 30)));
        QVERIFY(isDark(image.pixel(30, 10)));
        QCOMPARE(image.pixel(90, 30), qRgb(0, 255, 0));
        QCOMPARE(darkPixels(image, 65, 5, 115, 55), 0);
    }

    void textSitsBelowAndRightOfItsCornerAndTurnsCounterClockwise()
    {
        nettor::Font font;
        font.height = 20;
        QImage image = blank(300, 300, Qt::white);
        int measuredWidth = 0;
        {
            QPainter painter(&image);
            PainterCanvas dc(painter, 10, 10);
            dc.setTransparentBackground();
            dc.selectFont(font);
            const nettor::TextExtent extent = dc.textExtent("8888");
            measuredWidth = extent.width;
            QVERIFY(extent.height >= 18 && extent.height <= 23);
            QVERIFY(dc.textExtent("88888888").width > extent.width * 3 / 2);
            dc.textOut(20, 20, "8888");
            font.escapement = 900; // a quarter turn: the text runs upwards
            dc.selectFont(font);
            dc.textOut(150, 280, "8888");
        }
        QVERIFY(measuredWidth > 20 && measuredWidth < 80);
        // Horizontal text: inked inside its cell, nothing above or left of it.
        QVERIFY(darkPixels(image, 20, 20, 20 + measuredWidth, 40) > 30);
        QCOMPARE(darkPixels(image, 0, 0, 300, 19), 0);
        QCOMPARE(darkPixels(image, 0, 0, 19, 60), 0);
        // Turned text: from its corner up and to the right of x 150.
        QVERIFY(darkPixels(image, 150, 280 - measuredWidth, 172, 280) > 30);
        QCOMPARE(darkPixels(image, 100, 200, 149, 300), 0);
        QCOMPARE(darkPixels(image, 150, 281, 300, 300), 0);
    }

    void opaqueTextFillsItsCellWhite()
    {
        nettor::Font font;
        font.height = 20;
        QImage image = blank(200, 60);
        {
            QPainter painter(&image);
            PainterCanvas dc(painter, 10, 10);
            dc.selectFont(font);
            dc.textOut(10, 10, "1");
        }
        // The blank part of the cell (its lower right) is white, the
        // surroundings keep their colour.
        QCOMPARE(image.pixel(11, 28), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(100, 28), qRgb(200, 220, 240));
    }

    // An image fill lays the image down by its mapping (v upwards) inside
    // the outline only, on top of what was there.
    void imageFillMapsTheImageInsideTheOutline()
    {
        nettor::TextureImage image; // 2 x 2: bottom row red, green; top row blue, yellow
        image.width = image.height = 2;
        image.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
        QImage target = blank(100, 100, Qt::white);
        {
            QPainter painter(&target);
            PainterCanvas dc(painter, 10, 10);
            // The unit square of the image onto (10, 90) .. (90, 10): v up the page.
            const nettor::ImageMapping m{80, 0, 0, -80, 10, 90};
            dc.imageFill(image, {{{10, 10}, {85, 10}, {85, 90}, {10, 90}}}, {m});
        }
        const auto near = [&](int x, int y, QRgb expected) {
            const QRgb got = target.pixel(x, y);
            return qAbs(qRed(got) - qRed(expected)) <= 3 && qAbs(qGreen(got) - qGreen(expected)) <= 3 &&
                   qAbs(qBlue(got) - qBlue(expected)) <= 3;
        };
        QVERIFY(near(20, 80, qRgb(255, 0, 0)));    // bottom left
        QVERIFY(near(80, 80, qRgb(0, 255, 0)));    // bottom right
        QVERIFY(near(20, 20, qRgb(0, 0, 255)));    // top left
        QVERIFY(near(80, 20, qRgb(255, 255, 0)));  // top right
        QVERIFY(near(88, 50, qRgb(255, 255, 255))); // outside the outline
    }

    void painterStateIsRestored()
    {
        QImage image = blank(50, 50);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::blue, 3));
        {
            PainterCanvas dc(painter, 1, 1);
            dc.selectPen(nettor::Pen::solid(1, nettor::kBlack));
            dc.selectBrush(nettor::Brush::solid({1, 2, 3}));
        }
        QCOMPARE(painter.pen().color(), QColor(Qt::blue));
        QCOMPARE(painter.pen().width(), 3);
    }
};

QTEST_MAIN(TestPainterCanvas)
#include "test_painter_canvas.moc"
