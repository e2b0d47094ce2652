#include "Utf.h"
#include "codepage.h"

#include <QTest>

using namespace vorlek;

class TestCodepage : public QObject {
    Q_OBJECT
private slots:
    void utf8ToWindows1254_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ascii") << QByteArray("Turksat 42E") << QByteArray("Turksat 42E");
        QTest::newRow("turkish letters")
            << QByteArray("ÇĞİÖŞÜçğıöşü")
            << QByteArray("\xC7\xD0\xDD\xD6\xDE\xDC\xE7\xF0\xFD\xF6\xFE\xFC");
        QTest::newRow("0x80 row") << QByteArray("€‚ƒ„…†‡ˆ‰Š‹ŒŸ“”–—™œš")
                                  << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B"
                                                "\x8C\x9F\x93\x94\x96\x97\x99\x9C\x9A");
        QTest::newRow("latin-1 kept")
            << QByteArray("äéñøß×") << QByteArray("\xE4\xE9\xF1\xF8\xDF\xD7");
        QTest::newRow("close letters") << QByteArray("āŁőÝÐđĦＡ") << QByteArray("aLoYDdHA");
        QTest::newRow("no close letter") << QByteArray("Þ中й") << QByteArray("???");
        QTest::newRow("astral is one char") << QByteArray("a😀b") << QByteArray("a?b");
        QTest::newRow("combining mark dropped") << QByteArray("Ka\xCC\x81n") << QByteArray("Kan");
        QTest::newRow("broken utf-8") << QByteArray("a\xFF"
                                                    "b\xC3")
                                      << QByteArray("a?b?");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void utf8ToWindows1254() {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(Utf8ToWindows1254(utf8.toStdString())), expected);
        const QString s = QString::fromUtf8(utf8);
        if (s.toUtf8() == utf8) // only well-formed input has a UTF-16 form
            QCOMPARE(QByteArray::fromStdString(Utf16ToWindows1254(s.toStdU16String())), expected);
    }

    void everyByteRoundTrips() {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            QCOMPARE(ToWindows1254(FromWindows1254(byte)), byte);
        }
    }

    void utf8AndUtf16() {
        for (const char* text : {"", "Türksat 42E", "a😀b", "€ ı Ş"}) {
            const auto u16 = Utf8ToUtf16(text);
            QVERIFY(u16);
            QCOMPARE(QString::fromStdU16String(*u16), QString::fromUtf8(text));
            QCOMPARE(Utf16ToUtf8(*u16), std::string(text));
        }
        QVERIFY(!Utf8ToUtf16("a\xFF"));
        QVERIFY(!Utf8ToUtf16("\xED\xA0\x80")); // an encoded surrogate
        QCOMPARE(Utf16ToUtf8(u"a\xD800"), std::string("a\xEF\xBF\xBD"));
    }

    void windows1254ToUtf8() {
        QCOMPARE(QString::fromStdString(Windows1254ToUtf8("Do\xF0u \xDE\xFD\x80")),
                 QStringLiteral("Doğu Şı€"));
    }
};

QTEST_APPLESS_MAIN(TestCodepage)
#include "test_codepage.moc"
