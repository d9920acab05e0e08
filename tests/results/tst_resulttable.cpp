#include "results/resulttable.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <utility>

using namespace merilon;

namespace {

// In the order of TableRow: confirmed, surname, name, test, asked, correct, percent, grade,
// secondsUsed, computer.
const QDateTime confirmed(QDate(2024, 3, 5), QTime(9, 7, 3));
const double tenOf15 = 100.0 * 10 / 15; // 66,7 in the table
const TableRow full{confirmed, "Иванова", "Анна", "Алгебра.tstt", 15, 10,
                    tenOf15,   3,         754,    "ПК-12",        {}};
// A record of an older program: only what its visible lines say.
const TableRow older{{}, "Петров", "Пётр", {}, 10, 9, 90, 5, -1, {}, {}};
// Text a journal may hold that a table must not break on.
const TableRow awkward = [] {
    TableRow row;
    row.surname = QStringLiteral("Д'Артаньян; \"мушкетёр\"");
    row.name = QStringLiteral(" Шарль ");
    row.test = QStringLiteral("строка 1\r\nстрока 2");
    row.secondsUsed = 90000;
    row.computer = QStringLiteral("ПК\u0001_x0041_\uFFFF");
    return row;
}();

// Row n of a large table, and that row as LibreOffice in Russian reads it back: the workbook's
// cells as they are shown, the CSV file's values in LibreOffice's own formats.
TableRow generated(int n)
{
    const int asked = 15 + n % 10, correct = n % (asked + 1);
    return {QDateTime(QDate(2023, 9, 1).addDays(n / 40), QTime(8, 0).addSecs(n * 7 % 36000)),
            QStringLiteral("Ученикова-%1").arg(n),
            n % 2 ? "Алёна" : "Юлия",
            QStringLiteral("Тест %1.tstt").arg(n % 7),
            asked,
            correct,
            std::round(1000.0 * correct / asked) / 10,
            n % 5 + 1,
            n * 13 % 7200,
            QStringLiteral("ПК-%1").arg(n % 30),
            {}};
}

QStringList readBack(int n, bool workbook)
{
    const TableRow r = generated(n);
    const int s = r.secondsUsed;
    return {r.confirmed.toString(QStringLiteral("dd.MM.yyyy")),
            r.confirmed.toString(QStringLiteral("hh:mm:ss")),
            r.surname,
            r.name,
            r.test,
            QString::number(r.asked),
            QString::number(r.correct),
            QString::number(r.percent).replace(QLatin1Char('.'), QLatin1Char(',')),
            QString::number(r.grade),
            QStringLiteral("%1:%2:%3")
                .arg(s / 3600, workbook ? 1 : 2, 10, QLatin1Char('0'))
                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                .arg(s % 60, 2, 10, QLatin1Char('0')),
            r.computer};
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// LibreOffice's CSV: ';' between fields, '"' around those that need it, LF between rows.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == c)
            field += text.at(++i);
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char(';') || c == QLatin1Char('\n')))
            rows.last() << std::exchange(field, {});
        else if (quoted || c != QLatin1Char('\r'))
            field += c;
        if (!quoted && c == QLatin1Char('\n'))
            rows << QStringList();
    }
    rows.removeAll(QStringList());
    return rows;
}

QString unzipped(const QString &zip, const QString &member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    unzip.waitForFinished(30000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

QString captured(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern).match(text).captured(1);
}

} // namespace

class TestResultTable : public QObject
{
    Q_OBJECT

private slots:
    void csvBytes();
    void csvNoFormulas();
    void byExtension_data();
    void byExtension();
    void failedWrite();
    void workbookLayout();
    void readByLibreOffice_data();
    void readByLibreOffice();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_office; // LibreOffice's profile, shared by its runs
};

void TestResultTable::csvBytes()
{
    const QString path = m_dir.filePath(QStringLiteral("bytes.csv"));
    QString error;
    QVERIFY(writeCsv(path, {full, older, awkward}, &error));
    // A byte-order mark, ';' between fields, a decimal comma, CR LF; quoted where needed.
    QCOMPARE(contents(path),
             "\xEF\xBB\xBF" +
                 QStringLiteral(
                     "Дата;Время;Фамилия;Имя;Тест;Задано вопросов;Правильных "
                     "ответов;Процент;Оценка;Затрачено;Компьютер\r\n"
                     "05.03.2024;09:07:03;Иванова;Анна;Алгебра.tstt;15;10;66,7;3;0:12:34;ПК-12\r\n"
                     ";;Петров;Пётр;;10;9;90;5;;\r\n"
                     ";;\"Д'Артаньян; \"\"мушкетёр\"\"\";\" Шарль \";\"строка "
                     "1\r\nстрока 2\";;;;;25:00:00;ПК\u0001_x0041_\uFFFF\r\n")
                     .toUtf8());
}

void TestResultTable::csvNoFormulas()
{
    // What an examinee typed never runs as a formula in the teacher's spreadsheet.
    TableRow typed = older;
    typed.surname = QStringLiteral("=HYPERLINK(\"http://x\")");
    typed.name = QStringLiteral("@SUM(A1)");
    typed.computer = QStringLiteral("-1+2");
    const QString path = m_dir.filePath(QStringLiteral("formulas.csv"));
    QString error;
    QVERIFY(writeCsv(path, {typed}, &error));
    QVERIFY2(
        contents(path).endsWith(
            QStringLiteral(";;\"'=HYPERLINK(\"\"http://x\"\")\";'@SUM(A1);;10;9;90;5;;'-1+2\r\n")
                .toUtf8()),
        contents(path).constData());
}

void TestResultTable::byExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    const QByteArray zip("PK\x03\x04"), csv("\xEF\xBB\xBF\xD0\x94");
    QTest::newRow("xlsx") << QStringLiteral("Таблица 7А.xlsx") << zip;
    QTest::newRow("CSV") << QStringLiteral("Таблица 7А.CSV") << csv;
    QTest::newRow("Csv") << QStringLiteral("Результаты/Таблица.Csv") << csv;
    QTest::newRow("no extension") << QStringLiteral("Результаты/Таблица") << zip;
    QTest::newRow("txt") << QStringLiteral("Таблица.txt") << zip;
}

void TestResultTable::byExtension()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Результаты")));
    QString error;
    QVERIFY2(writeTable(m_dir.filePath(name), {full}, &error), qPrintable(error));
    QVERIFY(contents(m_dir.filePath(name)).startsWith(start));
}

void TestResultTable::failedWrite()
{
    const auto names = [](const QString &error, const QString &path, const QString &why) {
        return error.startsWith(QStringLiteral("Не удается записать таблицу \"%1\": %2")
                                    .arg(QDir::toNativeSeparators(path), why));
    };
    // No such folder: nothing is written, and the message names the file.
    for (const QString &name : {QStringLiteral("table.xlsx"), QStringLiteral("table.csv")}) {
        const QString path = m_dir.filePath(QStringLiteral("Нет такой папки/") + name);
        QString error;
        QVERIFY(!writeTable(path, {full}, &error));
        QVERIFY2(names(error, path, QStringLiteral("папки")), qPrintable(error));
        QVERIFY(!QFileInfo::exists(path));
    }

    // The workbook cannot be made (the temporary folder is a file): the older table stays as it
    // was, with nothing beside it.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("old.xlsx"));
    QString error;
    QVERIFY(writeXlsx(path, {older}, &error));
    const QByteArray old = contents(path);
    QTemporaryFile notFolder;
    QVERIFY(notFolder.open());
    QList<std::pair<const char *, QByteArray>> kept;
    for (const char *name : {"TMPDIR", "TMP", "TEMP"}) {
        kept.append({name, qgetenv(name)});
        qputenv(name, QFile::encodeName(notFolder.fileName()));
    }
    const bool written = writeXlsx(path, {full, full}, &error);
    for (const auto &[name, value] : kept)
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    QVERIFY(!written);
    QVERIFY2(names(error, path, {}), qPrintable(error));
    QCOMPARE(contents(path), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"old.xlsx"});
}

void TestResultTable::workbookLayout()
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        QSKIP("unzip is not installed: the workbook's parts cannot be read");
    const QString path = m_dir.filePath(QStringLiteral("layout.xlsx"));
    TableRow longName = older;
    longName.surname = QString(30, QChar(0x416));
    QString error;
    QVERIFY(writeXlsx(path, {full, older, longName}, &error));
    const QString sheet = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString styles = unzipped(path, QStringLiteral("xl/styles.xml"));

    QVERIFY(sheet.contains(QStringLiteral(
        R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)")));
    QVERIFY(sheet.contains(QStringLiteral(R"(<autoFilter ref="A1:K4"/>)")));

    // The cells of a row: numbers as numbers, "s" after text; what is not known has no cell.
    const auto cells = [&](int row) {
        QStringList found;
        const QString xml =
            captured(sheet, QStringLiteral("<row r=\"%1\"[^>]*>(.*?)</row>").arg(row));
        QRegularExpressionMatchIterator cells =
            QRegularExpression(QStringLiteral("<c r=\"(\\w+)\"[^>]*?( t=\"s\")?>"))
                .globalMatch(xml);
        while (cells.hasNext()) {
            const QRegularExpressionMatch cell = cells.next();
            found << cell.captured(1) + (cell.captured(2).isEmpty() ? "" : "s");
        }
        return found.join(QLatin1Char(' '));
    };
    QCOMPARE(cells(2), QStringLiteral("A2 B2 C2s D2s E2s F2 G2 H2 I2 J2 K2s"));
    QCOMPARE(cells(3), QStringLiteral("C3s D3s F3 G3 H3 I3"));

    // The header is bold, the grade red, as the result window shows it.
    const auto font = [&](const QString &cell) {
        const int xf =
            captured(sheet, QStringLiteral("<c r=\"%1\" s=\"(\\d+)\"").arg(cell)).toInt();
        const QString style = captured(styles, QStringLiteral("<cellXfs[^>]*>(.*)</cellXfs>"))
                                  .split(QStringLiteral("<xf "))
                                  .value(xf + 1);
        const int id = captured(style, QStringLiteral("fontId=\"(\\d+)\"")).toInt();
        return captured(styles, QStringLiteral("<fonts[^>]*>(.*)</fonts>"))
            .split(QStringLiteral("<font>"))
            .value(id + 1);
    };
    QVERIFY(font(QStringLiteral("A1")).contains(QStringLiteral("<b/>")));
    QVERIFY(!font(QStringLiteral("C2")).contains(QStringLiteral("<b/>")));
    QVERIFY(font(QStringLiteral("I2")).contains(QStringLiteral(R"(<color rgb="FFFF0000"/>)")));
    QVERIFY(!font(QStringLiteral("H2")).contains(QStringLiteral("FFFF0000")));

    // Widths, characters × 1.1 + 2 roughly: the header's, the date's, the 30 letters'.
    const std::pair<int, int> widths[] = {{7, 18}, {1, 10}, {3, 30}};
    for (const auto &[column, characters] : widths) {
        const double width =
            captured(sheet,
                     QStringLiteral("<col min=\"%1\" max=\"%1\" width=\"([\\d.]+)\"").arg(column))
                .toDouble();
        QVERIFY2(qAbs(width - (characters * 1.1 + 2)) < 1, qPrintable(QString::number(width)));
    }
}

void TestResultTable::readByLibreOffice_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xlsx") << QStringLiteral("table.xlsx");
    QTest::newRow("csv") << QStringLiteral("table.csv");
}

void TestResultTable::readByLibreOffice()
{
    QFETCH(QString, name);
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the tables cannot be opened");
    const bool workbook = name.endsWith(QLatin1String(".xlsx"));
    const TableRow huge{{}, QString(40000, QChar(0x416)), {}, {}, -1, -1, -1, -1, -1, {}, {}};
    QList<TableRow> rows{full, older, awkward, huge};
    for (int n = 0; n < 10000; ++n)
        rows << generated(n);
    const QString path = m_dir.filePath(name);
    QString error;
    QVERIFY2(writeTable(path, rows, &error), qPrintable(error));

    // LibreOffice in Russian saves what it read as CSV: the workbook as its cells are shown, the
    // CSV file (read with ';', '"' and UTF-8) as its values are.
    const QString csv = QStringLiteral("Text - txt - csv (StarCalc):59,34,76,1,,1049,false,true");
    const QString out = m_dir.filePath(QStringLiteral("office-") + name.section('.', -1));
    QStringList arguments{QStringLiteral("-env:UserInstallation=") +
                              QUrl::fromLocalFile(m_office.path()).toString(),
                          QStringLiteral("--headless"),
                          QStringLiteral("--convert-to"),
                          QStringLiteral("csv:") + csv +
                              (workbook ? QStringLiteral(",true") : QStringLiteral(",false")),
                          QStringLiteral("--outdir"),
                          out,
                          path};
    if (!workbook)
        arguments.prepend(QStringLiteral("--infilter=") + csv);
    QProcess soffice;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    soffice.setProcessEnvironment(environment);
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start(office, arguments);
    // LibreOffice starts slowly, and much more so on a busy machine.
    QVERIFY2(soffice.waitForFinished(240000), "LibreOffice did not end in 4 minutes");
    const QList<QStringList> read =
        parseCsv(QString::fromUtf8(contents(QDir(out).filePath(QStringLiteral("table.csv")))));
    QVERIFY2(read.size() == rows.size() + 1, soffice.readAll().constData());

    QCOMPARE(read[0], tableColumns());
    QCOMPARE(read[1],
             (QStringList{"05.03.2024", "09:07:03", "Иванова", "Анна", "Алгебра.tstt", "15", "10",
                          "66,7", "3", workbook ? "0:12:34" : "00:12:34", "ПК-12"}));
    QCOMPARE(read[2], (QStringList{"", "", "Петров", "Пётр", "", "10", "9", "90", "5", "", ""}));
    // The workbook keeps one line break of a CR LF, no control characters and at most 32,767
    // characters in a cell; the CSV file keeps the text as it was.
    const QString computer =
        workbook ? QStringLiteral("ПК _x0041_\uFFFD") : QStringLiteral("ПК\u0001_x0041_\uFFFF");
    QCOMPARE(read[3], (QStringList{"", "", "Д'Артаньян; \"мушкетёр\"", " Шарль ",
                                   "строка 1\nстрока 2", "", "", "", "", "25:00:00", computer}));
    QCOMPARE(read[4].value(2).size(), workbook ? 32767 : 40000);
    for (int n = 0; n < 10000; ++n)
        if (read[5 + n] != readBack(n, workbook))
            QFAIL(qPrintable(QStringLiteral("row %1: %2").arg(n).arg(read[5 + n].join(';'))));
}

QTEST_GUILESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
