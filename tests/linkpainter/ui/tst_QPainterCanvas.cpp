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
    TNode* b = graph.AddNode("b", "");
    a->X = 40;
    b->X = 160;
    a->Y = b->Y = 50;
    b->Selected = true;
    TEdge* edge = graph.AddEdge(a, b, 1.0);
    edge->Color = 0x800000; // dark blue
    edge->Label = "ab";

    TQPainterCanvas canvas;
    graph.Draw(canvas, 200, 100);
    const QImage& image = canvas.Image();

    QCOMPARE(image.size(), QSize(200, 100));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    const QColor yellow(255, 255, 0), green(0, 255, 0), navy(0, 0, 128);
    for (const auto& [x, y, colour] : {std::tuple{5, 95, kWhite}, {199, 99, kWhite},
                                       {40, 50, yellow}, {160, 50, green}, {70, 50, navy},
                                       {130, 50, navy}})
        QCOMPARE(image.pixelColor(x, y), colour);

    // The label box is white inside, also where the edge runs under it, and outlined.
    const auto [left, top] = edge->HitPolygon[0];
    const auto [right, bottom] = edge->HitPolygon[2];
    QVERIFY(left > 70 && right < 130 && top < 50 && bottom > 50);
    for (const auto& [x, y, colour] :
         {std::tuple{left + 1, 50, kWhite}, {left + 1, top + 1, kWhite}, {left, top + 1, navy},
          {right - 1, bottom - 2, navy}, {right, bottom - 2, kWhite}})
        QCOMPARE(image.pixelColor(x, y), colour);
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
        // Unturned below right of the point, wider than high; turned a quarter counter-clockwise
        // about its start: rising from the point.
        QVERIFY2(!ink.isEmpty() && ink.left() >= 49 &&
                     (angle == 0 ? ink.top() >= 89 && ink.width() > ink.height()
                                 : ink.bottom() <= 91 && ink.height() > ink.width()),
                 qPrintable(where));
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
