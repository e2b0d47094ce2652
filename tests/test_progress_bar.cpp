#include "ProgressBar.h"

#include <QImage>
#include <QTest>

namespace {

const QColor kNavy(0, 0, 128);

QImage Render(FlatProgressBar& bar) {
    QImage image(bar.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    bar.render(&image);
    return image;
}

// The columns of `row` whose pixel is neither `a` nor `b`, within [from, to).
int OtherPixels(const QImage& image, int row, int from, int to, QColor a, QColor b) {
    int count = 0;
    for (int x = from; x < to; ++x) {
        const QColor c = image.pixelColor(x, row);
        if (c != a && c != b)
            ++count;
    }
    return count;
}

} // namespace

class TestProgressBar : public QObject {
    Q_OBJECT
private slots:
    void valueIsHeldInRange_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("inside") << 100 << 100;
        QTest::newRow("maximum") << 287 << 287;
        QTest::newRow("above") << 288 << 287;
        QTest::newRow("below") << -1 << 0;
        QTest::newRow("int min") << std::numeric_limits<int>::min() << 0;
    }
    void valueIsHeldInRange() {
        QFETCH(int, value);
        QFETCH(int, shown);
        FlatProgressBar bar;
        bar.setRange(0, 287);
        bar.setValue(value);
        QCOMPARE(bar.value(), shown);
    }

    void fillWidth_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("width");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("half") << 144 << 240;
        QTest::newRow("end of an upload") << 286 << 477;
        QTest::newRow("full") << 287 << 479;
    }
    void fillWidth() {
        QFETCH(int, value);
        QFETCH(int, width);
        FlatProgressBar bar;
        bar.setRange(0, 287);
        bar.setValue(value);
        QCOMPARE(bar.fillWidth(479), width);
    }

    void fillsFromTheLeftInNavy() {
        FlatProgressBar bar;
        bar.resize(481, 21);
        bar.setRange(0, 287);
        bar.setValue(72); // a quarter
        const QImage image = Render(bar);
        QCOMPARE(image.pixelColor(2, 10), kNavy);
        QCOMPARE(image.pixelColor(100, 10), kNavy);
        QVERIFY(image.pixelColor(200, 10) != kNavy);
        QVERIFY(image.pixelColor(478, 10) != kNavy);

        bar.setValue(0);
        QVERIFY(Render(bar).pixelColor(2, 10) != kNavy);
    }

    void textIsReadableOverFillAndBackground() {
        FlatProgressBar bar;
        bar.resize(481, 21);
        bar.setRange(0, 287);
        bar.setText(QStringLiteral("50 %"));
        const QColor base = bar.palette().color(QPalette::Base);

        // Empty bar: the text is drawn on the background.
        bar.setValue(0);
        QImage image = Render(bar);
        int onBackground = 0;
        for (int y = 2; y < 19; ++y)
            onBackground += OtherPixels(image, y, 200, 280, base, base);
        QVERIFY(onBackground > 0);

        // Full bar: the same text shows on the navy fill, in a light colour.
        bar.setValue(287);
        image = Render(bar);
        int light = 0;
        for (int y = 2; y < 19; ++y) {
            for (int x = 200; x < 280; ++x) {
                if (image.pixelColor(x, y).lightness() > 160)
                    ++light;
            }
        }
        QVERIFY(light > 0);

        // Half-filled: text pixels both over the fill and beside it.
        bar.setValue(144);
        image = Render(bar);
        const int edge = 1 + bar.fillWidth(479);
        int overFill = 0, beside = 0;
        for (int y = 2; y < 19; ++y) {
            overFill += OtherPixels(image, y, 200, edge, kNavy, kNavy);
            beside += OtherPixels(image, y, edge, 280, base, base);
        }
        QVERIFY(overFill > 0);
        QVERIFY(beside > 0);
    }
};

QTEST_MAIN(TestProgressBar)
#include "test_progress_bar.moc"
