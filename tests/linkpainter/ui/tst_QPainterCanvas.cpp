// The QPainter canvas: a graph drawn through it lands in its image with the right colours in
// the right places, and text goes where and in the direction it is asked to.
#include "linkpainter/Graph.h"
#include "linkpainter/ui/QPainterCanvas.h"

#include <QColor>
#include <QImage>
#include <QTest>

using namespace kv;

namespace {

const QColor kWhite(255, 255, 255);

// The smallest rectangle holding every pixel that is not white; empty when there is none.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != kWhite) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace

class TestQPainterCanvas : public QObject {
    Q_OBJECT
private slots:
    void drawsAGraphWithItsColoursInPlace();
    void keepsItsSizeUntilResizedAndClearsWithRedInTheLowByte();
    void textStartsBelowRightOfItsPointOrRunsUpwardWhenTurned();
    void missingFaceFallsBackToAFontThatMeasures();
};

void TestQPainterCanvas::drawsAGraphWithItsColoursInPlace() {
    TGraph graph([] { return 0.5; });
    graph.Margin = 0;
    graph.SetExtent(0, 200, 0, 100, 1.0);
    graph.HighlightSelected = false;
    graph.ShowEdgeLabels = true;
    TNode* a = graph.AddNode("a", "");
    a->X = 40;
    a->Y = 50;
    TNode* b = graph.AddNode("b", "");
    b->X = 160;
    b->Y = 50;
    b->Selected = true;
    TEdge* edge = graph.AddEdge(a, b, 1.0);
    edge->Color = 0x800000; // dark blue
    edge->Label = "ab";

    TQPainterCanvas canvas;
    graph.Draw(canvas, 200, 100);
    const QImage& image = canvas.Image();

    QCOMPARE(image.size(), QSize(200, 100));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixelColor(5, 95), kWhite);
    QCOMPARE(image.pixelColor(199, 99), kWhite);
    QCOMPARE(image.pixelColor(40, 50), QColor(255, 255, 0));
    QCOMPARE(image.pixelColor(160, 50), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(70, 50), QColor(0, 0, 128));
    QCOMPARE(image.pixelColor(130, 50), QColor(0, 0, 128));

    // The label box is white inside, also where the edge runs under it, and outlined.
    const TPixelPoint topLeft = edge->HitPolygon[0];
    const TPixelPoint bottomRight = edge->HitPolygon[2];
    QVERIFY(topLeft.X > 70 && bottomRight.X < 130);
    QVERIFY(topLeft.Y < 50 && bottomRight.Y > 50);
    QCOMPARE(image.pixelColor(topLeft.X + 1, 50), kWhite);
    QCOMPARE(image.pixelColor(topLeft.X + 1, topLeft.Y + 1), kWhite);
    QCOMPARE(image.pixelColor(topLeft.X, topLeft.Y + 1), QColor(0, 0, 128));
    QCOMPARE(image.pixelColor(bottomRight.X - 1, bottomRight.Y - 2), QColor(0, 0, 128));
    QCOMPARE(image.pixelColor(bottomRight.X, bottomRight.Y - 2), kWhite);
}

void TestQPainterCanvas::keepsItsSizeUntilResizedAndClearsWithRedInTheLowByte() {
    TQPainterCanvas canvas;
    QCOMPARE(canvas.Width(), 0);
    canvas.Line({0, 0}, {5, 5}); // nothing to paint on yet
    canvas.Resize(30, 20);
    canvas.Clear(0x0000FF);
    canvas.Resize(30, 20);
    QCOMPARE(canvas.Image().pixelColor(2, 1), QColor(255, 0, 0));
    canvas.Resize(0, 0);
    QVERIFY(canvas.Image().isNull());
}

void TestQPainterCanvas::textStartsBelowRightOfItsPointOrRunsUpwardWhenTurned() {
    for (const int angle : {0, 900}) {
        TQPainterCanvas canvas;
        canvas.Resize(200, 200);
        canvas.Clear(0xFFFFFF);
        QVERIFY(canvas.SetFont({"Microsoft Sans Serif", -20, angle}));
        canvas.TextOut(50, 90, "MMMM");
        const QRect ink = Ink(canvas.Image());
        const QString where = QString("ink from %1, %2 to %3, %4")
                                  .arg(ink.left()).arg(ink.top()).arg(ink.right()).arg(ink.bottom());
        QVERIFY2(!ink.isEmpty() && ink.left() >= 49, qPrintable(where));
        if (angle == 0) { // below right of the point, wider than high
            QVERIFY2(ink.top() >= 89 && ink.width() > ink.height(), qPrintable(where));
        } else { // turned a quarter counter-clockwise about its start: rising from the point
            QVERIFY2(ink.bottom() <= 91 && ink.height() > ink.width(), qPrintable(where));
        }
    }
}

void TestQPainterCanvas::missingFaceFallsBackToAFontThatMeasures() {
    TQPainterCanvas canvas;
    QVERIFY(canvas.SetFont({"No Such Face Anywhere", -12, 0}));
    const TPixelPoint one = canvas.TextExtent("M");
    const TPixelPoint four = canvas.TextExtent("MMMM");
    QVERIFY(one.X > 0);
    QVERIFY(four.X > 3 * one.X);
    QVERIFY(one.Y >= 12);
    QCOMPARE(four.Y, one.Y);
}

QTEST_MAIN(TestQPainterCanvas)
#include "tst_QPainterCanvas.moc"
