#include "GridNumbers.h"
#include "GridView.h"

#include <QTest>

using namespace vorlek::ui;

namespace {

const NumberRules kFrequency{10700, 12750, u" MHz", true};
const NumberRules kSymbolRate{2000, 45000, u" KB", false};
const NumberSymbols kEnglish{u'.', u','};
const NumberSymbols kTurkish{u',', u'.'};

const NumberRules& RulesFor(const QString& column) {
    return column == "frequency" ? kFrequency : kSymbolRate;
}
const NumberSymbols& SymbolsFor(const QString& locale) {
    return locale == "tr" ? kTurkish : kEnglish;
}
std::u16string U(const QString& s) {
    return s.toStdU16String();
}

} // namespace

class TestGridNumbers : public QObject {
    Q_OBJECT
private slots:
    void display_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("value"); // -1: null
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("editing");
        QTest::newRow("frequency en") << "frequency"
                                      << "en" << 10700LL << "10,700 MHz"
                                      << "10,700";
        QTest::newRow("frequency tr") << "frequency"
                                      << "tr" << 10700LL << "10.700 MHz"
                                      << "10.700";
        QTest::newRow("symbol rate en") << "rate"
                                        << "en" << 27500LL << "27,500 KB"
                                        << "27500";
        QTest::newRow("symbol rate tr") << "rate"
                                        << "tr" << 27500LL << "27.500 KB"
                                        << "27500";
        QTest::newRow("null") << "frequency"
                              << "en" << -1LL << "0 MHz"
                              << "";
        QTest::newRow("below a thousand") << "rate"
                                          << "en" << 999LL << "999 KB"
                                          << "999";
        QTest::newRow("millions") << "frequency"
                                  << "en" << 1234567LL << "1,234,567 MHz"
                                  << "1,234,567";
    }
    void display() {
        QFETCH(QString, column);
        QFETCH(QString, locale);
        QFETCH(qint64, value);
        QFETCH(QString, shown);
        QFETCH(QString, editing);
        const auto v = value < 0 ? std::nullopt : std::optional<std::int64_t>(value);
        QCOMPARE(QString::fromStdU16String(FormatDisplay(v, RulesFor(column), SymbolsFor(locale))),
                 shown);
        QCOMPARE(QString::fromStdU16String(FormatEditing(v, RulesFor(column), SymbolsFor(locale))),
                 editing);
    }

    void negativeValuesGroupTheirDigits() {
        QCOMPARE(QString::fromStdU16String(FormatGrouped(-1234, u',')), QStringLiteral("-1,234"));
        QCOMPARE(QString::fromStdU16String(FormatGrouped(INT64_MIN, u',')).size(), 26);
    }

    // A typed key at the end of the text, or in place of the selection.
    void keyFilter_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("inserted"); // empty: dropped with a beep
        QTest::newRow("digit") << "frequency"
                               << "en"
                               << "107" << 3 << 0 << "0"
                               << "0";
        QTest::newRow("letter") << "frequency"
                                << "en"
                                << "107" << 3 << 0 << "x"
                                << "";
        QTest::newRow("blank") << "frequency"
                               << "en"
                               << "107" << 3 << 0 << " "
                               << "";
        QTest::newRow("exponent letter") << "frequency"
                                         << "en"
                                         << "107" << 3 << 0 << "e"
                                         << "e";
        QTest::newRow("capital exponent") << "frequency"
                                          << "en"
                                          << "107" << 3 << 0 << "E"
                                          << "E";
        QTest::newRow("second exponent") << "frequency"
                                         << "en"
                                         << "1e5" << 3 << 0 << "e"
                                         << "";
        QTest::newRow("exponent first") << "frequency"
                                        << "en"
                                        << "" << 0 << 0 << "e"
                                        << "";
        QTest::newRow("sign first") << "frequency"
                                    << "en"
                                    << "" << 0 << 0 << "-"
                                    << "-";
        QTest::newRow("plus first") << "frequency"
                                    << "en"
                                    << "" << 0 << 0 << "+"
                                    << "+";
        QTest::newRow("sign after digits") << "frequency"
                                           << "en"
                                           << "107" << 3 << 0 << "-"
                                           << "";
        QTest::newRow("sign of exponent") << "frequency"
                                          << "en"
                                          << "1e" << 2 << 0 << "-"
                                          << "-";
        QTest::newRow("sign before digits") << "frequency"
                                            << "en"
                                            << "107" << 0 << 0 << "-"
                                            << "-";
        QTest::newRow("double sign") << "frequency"
                                     << "en"
                                     << "-" << 1 << 0 << "-"
                                     << "";
        QTest::newRow("en group in frequency") << "frequency"
                                               << "en"
                                               << "10" << 2 << 0 << ","
                                               << ",";
        QTest::newRow("en stop in frequency is decimal") << "frequency"
                                                         << "en"
                                                         << "10" << 2 << 0 << "."
                                                         << ".";
        QTest::newRow("en comma in symbol rate is decimal") << "rate"
                                                            << "en"
                                                            << "10" << 2 << 0 << ","
                                                            << ".";
        QTest::newRow("tr stop in frequency is group") << "frequency"
                                                       << "tr"
                                                       << "10" << 2 << 0 << "."
                                                       << ".";
        QTest::newRow("tr comma in frequency is decimal") << "frequency"
                                                          << "tr"
                                                          << "10" << 2 << 0 << ","
                                                          << ",";
        QTest::newRow("tr stop in symbol rate is decimal") << "rate"
                                                           << "tr"
                                                           << "10" << 2 << 0 << "."
                                                           << ",";
        QTest::newRow("group before any digit") << "frequency"
                                                << "en"
                                                << "" << 0 << 0 << ","
                                                << "";
        QTest::newRow("second decimal") << "rate"
                                        << "en"
                                        << "1.5" << 3 << 0 << "."
                                        << "";
        QTest::newRow("digit after decimal") << "rate"
                                             << "en"
                                             << "27." << 3 << 0 << "5"
                                             << "";
        QTest::newRow("digit before decimal") << "rate"
                                              << "en"
                                              << "27." << 0 << 0 << "5"
                                              << "5";
        QTest::newRow("exponent digit after decimal") << "rate"
                                                      << "en"
                                                      << "2.e" << 3 << 0 << "4"
                                                      << "4";
        QTest::newRow("group after decimal") << "frequency"
                                             << "en"
                                             << "1." << 2 << 0 << ","
                                             << "";
        QTest::newRow("replaces the selection") << "rate"
                                                << "en"
                                                << "27500" << 0 << 5 << "3"
                                                << "3";
        QTest::newRow("letter over the selection") << "rate"
                                                   << "en"
                                                   << "27500" << 0 << 5 << "k"
                                                   << "";
    }
    void keyFilter() {
        QFETCH(QString, column);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, key);
        QFETCH(QString, inserted);
        const auto got = FilterNumberKey(U(text), selStart, selLength, key.at(0).unicode(),
                                         RulesFor(column), SymbolsFor(locale));
        QCOMPARE(got ? QString(QChar(*got)) : QString(), inserted);
    }

    void parse_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "rate"
                               << "en"
                               << "27500" << true << 27500.0;
        QTest::newRow("grouped") << "frequency"
                                 << "en"
                                 << "10,700" << true << 10700.0;
        QTest::newRow("grouped tr") << "frequency"
                                    << "tr"
                                    << "10.700" << true << 10700.0;
        QTest::newRow("loose groups") << "frequency"
                                      << "en"
                                      << "1,07,00" << true << 10700.0;
        QTest::newRow("pasted group where none are shown") << "rate"
                                                           << "en"
                                                           << "27,500" << false << 0.0;
        QTest::newRow("decimal") << "rate"
                                 << "tr"
                                 << "2,5" << true << 2.5;
        QTest::newRow("trailing decimal") << "rate"
                                          << "en"
                                          << "12." << true << 12.0;
        QTest::newRow("exponent") << "rate"
                                  << "en"
                                  << "2.7e4" << true << 27000.0;
        QTest::newRow("negative exponent") << "rate"
                                           << "en"
                                           << "27500e-1" << true << 2750.0;
        QTest::newRow("signs") << "rate"
                               << "en"
                               << "-2000" << true << -2000.0;
        QTest::newRow("blanks around") << "rate"
                                       << "en"
                                       << " 2000 " << true << 2000.0;
        QTest::newRow("empty") << "rate"
                               << "en"
                               << "" << false << 0.0;
        QTest::newRow("only a sign") << "rate"
                                     << "en"
                                     << "-" << false << 0.0;
        QTest::newRow("exponent without digits") << "rate"
                                                 << "en"
                                                 << "2e" << false << 0.0;
        QTest::newRow("letters") << "rate"
                                 << "en"
                                 << "12a" << false << 0.0;
        QTest::newRow("unit pasted") << "rate"
                                     << "en"
                                     << "27500 KB" << false << 0.0;
        QTest::newRow("too large") << "rate"
                                   << "en"
                                   << "1e999" << false << 0.0;
    }
    void parse() {
        QFETCH(QString, column);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(double, value);
        const auto got =
            ParseNumber(U(text), SymbolsFor(locale), RulesFor(column).groupWhileEditing);
        QCOMPARE(got.has_value(), readable);
        if (readable)
            QCOMPARE(*got, value);
    }

    void bounds_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("stored"); // -1: out of bounds
        QTest::newRow("frequency 10699") << "frequency"
                                         << "10699" << -1;
        QTest::newRow("frequency 10700") << "frequency"
                                         << "10,700" << 10700;
        QTest::newRow("frequency 12750") << "frequency"
                                         << "12750" << 12750;
        QTest::newRow("frequency 12751") << "frequency"
                                         << "12,751" << -1;
        QTest::newRow("frequency empty counts as 0") << "frequency"
                                                     << "" << -1;
        QTest::newRow("frequency unreadable counts as 0") << "frequency"
                                                          << "1e" << -1;
        QTest::newRow("frequency just below") << "frequency"
                                              << "10699.5" << -1;
        QTest::newRow("symbol rate 1999") << "rate"
                                          << "1999" << -1;
        QTest::newRow("symbol rate 2000") << "rate"
                                          << "2000" << 2000;
        QTest::newRow("symbol rate 45000") << "rate"
                                           << "45000" << 45000;
        QTest::newRow("symbol rate 45001") << "rate"
                                           << "45001" << -1;
        QTest::newRow("symbol rate exponent") << "rate"
                                              << "2.75e4" << 27500;
        QTest::newRow("symbol rate rounds") << "rate"
                                            << "2000.6" << 2001;
    }
    void bounds() {
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(int, stored);
        const auto got = CheckedNumber(U(text), RulesFor(column), kEnglish);
        QCOMPARE(got ? *got : -1, stored);
    }

    void widthsAreSharedInProportion() {
        QCOMPARE(ShareWidths({24, 303}, {24, 0}, 327), (std::vector<int>{24, 303}));
        QCOMPARE(ShareWidths({24, 303}, {24, 0}, 654), (std::vector<int>{48, 606}));
        QCOMPARE(ShareWidths({24, 303}, {24, 0}, 100), (std::vector<int>{24, 76}));
        QCOMPARE(ShareWidths({20, 109, 90}, {}, 437), (std::vector<int>{39, 217, 181}));
        QCOMPARE(ShareWidths({}, {}, 100), std::vector<int>{});
        QCOMPARE(ShareWidths({10, 10}, {}, 0), (std::vector<int>{0, 0}));
    }
};

QTEST_APPLESS_MAIN(TestGridNumbers)
#include "test_grid_numbers.moc"
