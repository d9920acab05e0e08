#include "content/checker.h"
#include "testfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace merilon;

namespace {

struct Run
{
    int status;
    QString out;
    QString err;
};

Run check(const QStringList &arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = runChecker(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportsProblems();
    void dumpsWhatTheRowsShow();
    void commandLine();
    void exitStatusOfTheProgram();

private:
    QTemporaryDir m_dir;
    QString m_good;
    QString m_broken;
};

void TestChecker::initTestCase()
{
    m_good =
        testfiles::write(m_dir, QStringLiteral("good.tstt"), testfiles::rtf(testfiles::test()));
    // Question 3 has no variant (an error); question 5 shows a full stop as
    // its separator, a '_' row, an empty line between variants and a lost
    // variant; question 8 has its marker twice; a question 51 follows.
    m_broken = testfiles::write(m_dir, QStringLiteral("broken.tstt"),
                                testfiles::test(51, {{3, "#3 Без вариантов\n\n"},
                                                     {5, "#5.Точка\n_x\n+a\n\n-b\n+c\n"},
                                                     {8, "#8 Повтор\n+a\n\n#8 Снова\n+b\n\n"}}));
}

void TestChecker::reportsProblems()
{
    const Run good = check({m_good});
    QCOMPARE(good.status, 0);
    QCOMPARE(good.out, QStringLiteral("Ошибок: 0, предупреждений: 0. Тест откроется.\n"));

    const Run broken = check({m_broken});
    QCOMPARE(broken.status, 1);
    const QStringList lines = broken.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected = {
        "[ошибка] Вопрос 3, строка 13: нет ни одного варианта ответа",
        "[предупреждение] Вопрос 5, строка 20: после «#5» стоит «.», а не пробел",
        "[предупреждение] Вопрос 5, строка 21: строка начинается с «_»",
        "[предупреждение] Вопрос 5, строка 23: пустая строка между вариантами",
        "[предупреждение] Вопрос 5, строка 25: вариант в строке 25 стоит прямо перед «#6»",
        "[предупреждение] Вопрос 8, строка 38: пустая строка между вариантами",
        "[предупреждение] Вопрос 8, строка 39: номер вопроса повторяется (впервые — в строке 36)",
        "[предупреждение] Вопрос 51, строка 252: вопрос сверх 50",
        "Ошибок: 1, предупреждений: 7. Тест не откроется.",
    };
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(lines[i].startsWith(expected[i]), qPrintable(lines[i]));
}

void TestChecker::dumpsWhatTheRowsShow()
{
    const Run dump = check({QStringLiteral("--dump"), m_broken});
    QCOMPARE(dump.status, 1);
    QVERIFY(dump.out.startsWith(QStringLiteral("== Вопрос 1, строка 3 ==\nВопрос 1?\n"
                                               "A (-) нет 1\nB (+) да 1\nC (-) может быть 1\n\n")));
    QVERIFY(dump.out.contains(QStringLiteral("== Вопрос 5, строка 20 ==\nТочка\n"
                                             "A (-) x\nB (+) a\n\n")));

    const Run json = check({QStringLiteral("--json"), m_broken});
    QCOMPARE(json.status, 1);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root["usable"].toBool(true), false);
    QCOMPARE(root["problems"].toArray().size(), 8);
    QCOMPARE(root["problems"][0]["kind"].toString(), QStringLiteral("error"));
    QCOMPARE(root["problems"][0]["line"].toInt(), 13);
    const QJsonArray questions = root["questions"].toArray();
    QCOMPARE(questions.size(), 50);
    const QJsonObject fifth = questions[4].toObject();
    QCOMPARE(fifth["text"].toString(), QStringLiteral("Точка\n"));
    QCOMPARE(fifth["variantCount"].toInt(), 2);
    QCOMPARE(fifth["rows"][0]["text"].toString(), QStringLiteral("x\n"));
    QCOMPARE(fifth["rows"][0]["correct"].toBool(true), false);
    QCOMPARE(fifth["rows"][1]["letter"].toString(), QStringLiteral("B"));
    QCOMPARE(fifth["rows"][1]["text"].toString(), QStringLiteral("a\n"));
    QCOMPARE(fifth["rows"][1]["line"].toInt(), 22);
    // the last question runs to the end of the text
    QCOMPARE(questions[49]["rows"][2]["text"].toString(), QStringLiteral("может быть 50\n"));
}

void TestChecker::commandLine()
{
    const Run help = check({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QStringLiteral("--dump")) &&
            help.out.contains(QStringLiteral("--json")));
    QCOMPARE(check({}).status, 2);
    QCOMPARE(check({QStringLiteral("--bogus"), m_good}).status, 2);
    QCOMPARE(check({m_good, m_broken}).status, 2);
    const Run missing = check({m_dir.filePath(QStringLiteral("нет.tstt"))});
    QCOMPARE(missing.status, 2);
    QVERIFY(missing.err.contains(QStringLiteral("нет.tstt")));
    QVERIFY(missing.out.isEmpty());
}

void TestChecker::exitStatusOfTheProgram()
{
    const auto run = [](const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("DISPLAY"), QString());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MERILON_CHECK_EXE), arguments);
        process.waitForFinished(30000);
        return std::tuple{process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
                          process.readAllStandardOutput()};
    };
    QCOMPARE(std::get<0>(run({m_good})), 0);
    // An empty file is said to be empty, nothing more.
    const QString empty = m_dir.filePath(QStringLiteral("пустой.tstt"));
    QFile(empty).open(QIODevice::WriteOnly);
    const auto [emptyStatus, emptyErr, emptyOut] = run({empty});
    QCOMPARE(emptyStatus, 1);
    QCOMPARE(
        QString::fromUtf8(emptyOut).remove(QLatin1Char('\r')),
        QStringLiteral("[ошибка] Файл пуст.\nОшибок: 1, предупреждений: 0. Тест не откроется.\n"));
    QCOMPARE(std::get<0>(run({m_broken})), 1);
    // A Word document renamed to .tstt and a test of 20 questions: the program's texts.
    const auto [docxStatus, docxErr, docxOut] =
        run({QStringLiteral(MERILON_TEST_DATA "/not-rtf/test.docx")});
    QCOMPARE(docxStatus, 1);
    QVERIFY2(QString::fromUtf8(docxOut).startsWith(
                 QStringLiteral("[ошибка] Этот файл — документ Word (DOCX), а тест должен быть "
                                "сохранён как RTF")),
             docxOut.constData());
    const QString twenty = m_dir.filePath(QStringLiteral("двадцать.tstt"));
    QFile shortFile(twenty);
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(testfiles::test(20).toUtf8());
    shortFile.close();
    const auto [shortStatus, shortErr, shortOut] = run({twenty});
    QCOMPARE(shortStatus, 1);
    QCOMPARE(QString::fromUtf8(shortOut).remove(QLatin1Char('\r')),
             QStringLiteral("[ошибка] В тесте должно быть 50 вопросов (от #1 до #50), а в этом "
                            "файле их 20. Допишите вопросы с #21 по #50.\nОшибок: 1, "
                            "предупреждений: 0. Тест не откроется.\n"));
    // Into a pipe the Russian texts go as UTF-8, the usage too.
    const auto [helpStatus, helpErr, help] = run({QStringLiteral("--help")});
    QCOMPARE(helpStatus, 0);
    QVERIFY2(help.startsWith(QStringLiteral("Использование: merilon-check").toUtf8()),
             help.left(60).constData());
    QVERIFY(help.contains(QStringLiteral("в UTF-8").toUtf8()));
    const auto [status, err, out] = run({m_dir.filePath(QStringLiteral("нет.tstt"))});
    QCOMPARE(status, 2);
    QVERIFY2(err.startsWith(QStringLiteral("Не удается открыть файл")), qPrintable(err));
}

QTEST_MAIN(TestChecker)
#include "tst_checker.moc"
