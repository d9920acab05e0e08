#include "attempt/attemptstate.h"
#include "results/resultwindow.h"
#include "richtext/richedit.h"
#include "scripteddesktop.h"
#include "shell/formresult.h"
#include "shell/piechart.h"
#include "testfiles.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace merilon;

namespace {

// What the registration holds of an examinee.
RecordData examinee(const QString &surname, const QString &name)
{
    RecordData data;
    data.surname = surname;
    data.name = name;
    return data;
}

struct FixedClock final : Clock
{
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(10, 15)); }
};

// A result window over an opened test, with names to report.
struct Result
{
    QTemporaryDir dir;
    RichText document, questionArea, information;
    TestDocument test{document, questionArea, information};
    RecordData names = examinee(QStringLiteral("Иванов"), QStringLiteral("Петя"));
    TFormresult form;
    ScriptedDesktop desktop;
    FixedClock clock;
    ResultWindow window{form,
                        test,
                        [this] { return names; },
                        desktop,
                        JournalPlace::locate(dir.path(), {}, dir.filePath(QStringLiteral("u"))),
                        clock};

    Result()
    {
        QString message;
        test.open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::test()), &message);
    }
    RichText &report() { return form.controls().Editresult->content(); }
};

// The colour of the character at a position of the report, invalid when
// the character has none of its own.
QColor colourAt(const RichText &text, int position)
{
    QTextCursor cursor(text.document());
    cursor.setPosition(text.toQt(position) + 1);
    const QTextCharFormat format = cursor.charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor();
}

} // namespace

class TestResultWindow : public QObject
{
    Q_OBJECT

private slots:
    void scores_data();
    void scores();
    void reportText();
    void chartSlices();
    void onlyOkCloses();
};

void TestResultWindow::scores_data()
{
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("asked");
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("russian");
    QTest::addColumn<QString>("english");
    QTest::newRow("0") << 0 << 20 << 0.0 << 1 << "0"
                       << "0";
    QTest::newRow("11") << 11 << 20 << 55.0 << 1 << "55"
                        << "55";
    QTest::newRow("12") << 12 << 20 << 60.0 << 3 << "60"
                        << "60";
    QTest::newRow("15") << 15 << 20 << 75.0 << 4 << "75"
                        << "75";
    QTest::newRow("17") << 17 << 20 << 85.0 << 4 << "85"
                        << "85";
    QTest::newRow("18") << 18 << 20 << 90.0 << 5 << "90"
                        << "90";
    QTest::newRow("20") << 20 << 20 << 100.0 << 5 << "100"
                        << "100";
    QTest::newRow("2 of 3") << 2 << 3 << 66.7 << 3 << "66,7"
                            << "66.7";
    QTest::newRow("1 of 16: a half rounds up") << 1 << 16 << 6.3 << 1 << "6,3"
                                               << "6.3";
    QTest::newRow("1 of 3") << 1 << 3 << 33.3 << 1 << "33,3"
                            << "33.3";
}

void TestResultWindow::scores()
{
    QFETCH(int, correct);
    QFETCH(int, asked);
    TestSettings settings = TestDocument::standardSettings();
    settings.QuestionsPerAttempt = std::uint16_t(asked);
    const Score score = scoreOf(std::uint16_t(correct), settings);
    QTEST(score.percent, "percent");
    QTEST(int(score.grade), "grade");
    QTEST(percentText(score.percent, QLocale(QLocale::Russian, QLocale::Russia)), "russian");
    QTEST(percentText(score.percent, QLocale(QLocale::English, QLocale::UnitedStates)), "english");
}

void TestResultWindow::reportText()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Result r;
    r.window.ComputeResult(12);
    const QString expected = QStringLiteral(" Фамилия имя: Иванов Петя\r\n"
                                            " Задано вопросов: 20\r\n"
                                            " Правильных ответов: 12\r\n"
                                            " Процент правильных ответов: 60%\r\n"
                                            " Оценка: 3\r\n"
                                            " ");
    QCOMPARE(r.report().Text(), expected);
    const int digit = int(expected.indexOf(QLatin1Char('3'), expected.indexOf(u"Оценка")));
    for (int i = 0; i < expected.size(); ++i) {
        if (expected[i] == QLatin1Char('\r') || expected[i] == QLatin1Char('\n'))
            continue;
        const QColor colour = colourAt(r.report(), i);
        if (i == digit)
            QCOMPARE(colour, QColor(255, 0, 0));
        else if (i == expected.size() - 1)
            QCOMPARE(colour, QColor(0, 0, 0));
        else
            QVERIFY2(!colour.isValid(), qPrintable(QString::number(i)));
    }

    // Every character carries the control's italic 10-point Tahoma.
    for (QTextBlock b = r.report().document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QVERIFY(it.fragment().charFormat().fontItalic());
            QCOMPARE(it.fragment().charFormat().fontPointSize(), 10.0);
        }

    // The next report replaces this one; an empty first name keeps the space.
    r.names.name.clear();
    r.window.ComputeResult(2);
    QVERIFY(r.report().Text().startsWith(QStringLiteral(" Фамилия имя: Иванов \r\n")));
    QVERIFY(r.report().Text().contains(QStringLiteral(" Процент правильных ответов: 10%\r\n")));
    QCOMPARE(r.report().Lines().Count(), 6);
    QVERIFY(!r.form.controls().Editresult->isEnabled());
    QLocale::setDefault(QLocale::c());
}

void TestResultWindow::chartSlices()
{
    Result r;
    PieChart &chart = *r.form.controls().Chart1;
    QCOMPARE(chart.title(), QStringLiteral("Диаграмма результатов"));
    const auto centreColour = [&chart] {
        const QImage image = chart.grab().toImage();
        const QRect pie = chart.pieRect();
        // just right of twelve o'clock, halfway out: the first slice starts there
        return image.pixelColor(pie.center().x() + 3, pie.top() + pie.height() / 4);
    };
    for (int correct : {0, 7, 20}) {
        r.window.ComputeResult(std::uint16_t(correct));
        QCOMPARE(chart.slices().size(), 2);
        QCOMPARE(chart.slices()[0].value, correct * 5.0);
        QCOMPARE(chart.slices()[1].value, 100 - correct * 5.0);
        QCOMPARE(chart.slices()[0].color, QColor(0, 255, 0));
        QCOMPARE(chart.slices()[1].color, QColor(255, 0, 0));
    }
    QCOMPARE(centreColour(), QColor(0, 255, 0)); // 100 %: all lime
    r.window.ComputeResult(0);
    QCOMPARE(centreColour(), QColor(255, 0, 0)); // 0 %: all red
    chart.resize(300, 120);
    QCOMPARE(chart.pieRect().width(), chart.pieRect().height());
    QCOMPARE(centreColour(), QColor(255, 0, 0));
}

void TestResultWindow::onlyOkCloses()
{
    Result r;
    TFormresult &form = r.form;
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowSystemMenuHint));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    form.close();
    QVERIFY(form.isVisible());
    QTest::mouseClick(form.controls().Buttonok, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestResultWindow)
#include "tst_resultwindow.moc"
