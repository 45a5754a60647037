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
    void clearsWithAColourGivenRedInTheLowByte();
    void keepsItsSizeUntilResized();
    void textStartsBelowRightOfItsPoint();
    void turnedTextRunsUpward();
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

void TestQPainterCanvas::clearsWithAColourGivenRedInTheLowByte() {
    TQPainterCanvas canvas;
    canvas.Resize(4, 3);
    canvas.Clear(0x0000FF);
    QCOMPARE(canvas.Image().pixelColor(2, 1), QColor(255, 0, 0));
    canvas.Clear(0xFF0000);
    QCOMPARE(canvas.Image().pixelColor(2, 1), QColor(0, 0, 255));
}

void TestQPainterCanvas::keepsItsSizeUntilResized() {
    TQPainterCanvas canvas;
    QCOMPARE(canvas.Width(), 0);
    canvas.Line({0, 0}, {5, 5}); // nothing to paint on yet
    canvas.Resize(30, 20);
    QCOMPARE(canvas.Width(), 30);
    QCOMPARE(canvas.Height(), 20);
    canvas.Clear(0x00FF00);
    canvas.Resize(30, 20);
    QCOMPARE(canvas.Image().pixelColor(0, 0), QColor(0, 255, 0));
    canvas.Resize(0, 0);
    QVERIFY(canvas.Image().isNull());
    QCOMPARE(canvas.PixelsPerInchY(), 96);
}

void TestQPainterCanvas::textStartsBelowRightOfItsPoint() {
    TQPainterCanvas canvas;
    canvas.Resize(200, 100);
    canvas.Clear(0xFFFFFF);
    QVERIFY(canvas.SetFont({"Microsoft Sans Serif", -20, 0}));
    canvas.TextOut(30, 40, "MMMM");
    const QRect ink = Ink(canvas.Image());
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.left() >= 29 && ink.top() >= 39,
             qPrintable(QString("ink at %1, %2").arg(ink.left()).arg(ink.top())));
    QVERIFY(ink.width() > ink.height());
}

void TestQPainterCanvas::turnedTextRunsUpward() {
    TQPainterCanvas canvas;
    canvas.Resize(100, 100);
    canvas.Clear(0xFFFFFF);
    QVERIFY(canvas.SetFont({"Microsoft Sans Serif", -20, 900}));
    canvas.TextOut(50, 90, "MMMM");
    const QRect ink = Ink(canvas.Image());
    QVERIFY(!ink.isEmpty());
    // Turned a quarter counter-clockwise about its start: the text rises from (50, 90) and its
    // glyphs hang to the right of that point.
    QVERIFY2(ink.left() >= 49 && ink.bottom() <= 91, qPrintable(QString("ink from %1, %2 to %3, %4")
                                                                    .arg(ink.left())
                                                                    .arg(ink.top())
                                                                    .arg(ink.right())
                                                                    .arg(ink.bottom())));
    QVERIFY(ink.height() > ink.width());
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
