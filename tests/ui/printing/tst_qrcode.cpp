// The entry address's QR code: the modules libqrencode gives, painted where a scanner finds
// them (its three finder patterns, its quiet zone), whatever the address's length.

#include "QrCode.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace velmorin;

class TestQrCode : public QObject
{
    Q_OBJECT

private slots:
    void painted_data();
    void painted();
    void tooLong();
};

void TestQrCode::painted_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("size");
    QTest::newRow("short") << QByteArray("http://127.0.0.1/") << 25; // version 2 at level M
    QTest::newRow("entry") << QByteArray("http://192.168.1.10:8080/saisie/"
                                         "5f0c2e6b0d1c4a7e9b3f8a2d6c1e0f47")
                           << 37;
    QTest::newRow("accents") << QByteArray("http://salle.example/saisie/é") << 29;
    QTest::newRow("long") << QByteArray(300, 'a') << 69;
}

void TestQrCode::painted()
{
    QFETCH(QByteArray, text);
    QFETCH(int, size);
    const std::optional<QrModules> modules = qrModules(text);
    QVERIFY(modules);
    QCOMPARE(modules->size, size);
    // The finder patterns: a dark ring of 7, a light ring, a dark 3x3 core, at three corners.
    for (const auto &[cx, cy] : {std::pair{0, 0}, {size - 7, 0}, {0, size - 7}}) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const bool ring = x == 0 || y == 0 || x == 6 || y == 6;
                const bool core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
                QCOMPARE(modules->at(cx + x, cy + y), ring || core);
            }
        }
    }
    // Painted 4 pixels a module, with 4 modules of white around: each module's centre has its
    // colour, and the quiet zone is white.
    const int pixels = 4 * (size + 8);
    QImage image(pixels, pixels, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        paintQrCode(painter, QRectF(0, 0, pixels, pixels), *modules);
    }
    for (int y = 0; y < size + 8; ++y) {
        for (int x = 0; x < size + 8; ++x) {
            const bool inside = x >= 4 && y >= 4 && x < size + 4 && y < size + 4;
            const bool dark = inside && modules->at(x - 4, y - 4);
            QCOMPARE(image.pixelColor(4 * x + 2, 4 * y + 2),
                     QColor(dark ? Qt::black : Qt::white));
        }
    }
}

// Beyond what a code holds, none: the sheet then prints the address alone.
void TestQrCode::tooLong()
{
    QVERIFY(!qrModules(QByteArray(8000, 'a')));
}

QTEST_GUILESS_MAIN(TestQrCode)
#include "tst_qrcode.moc"
