// Where results go on a class's computers: the settings file, the kept journal that takes a
// result the journal cannot, and what a record carries beyond its lines.
#include "program.h"
#include "results/journalplace.h"
#include "results/journaltool.h"
#include "results/recorddata.h"
#include "shell/formzurnal.h"
#include "testfiles.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace merilon;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList surnames(const QString &journal)
{
    QStringList found;
    for (const JournalRecord &record : readJournalRecords(contentOf(journal)))
        found << record.row.surname;
    return found;
}

// A program whose results go where `place` says, with a test open.
struct Class : TestProgram
{
    QTemporaryDir testDir;
    JournalPlace where;
    ResultWindow window;

    explicit Class(JournalPlace at)
        : where(std::move(at)),
          window(
              Formresult, test, [this] { return program.attemptDetails(clock); }, desktop, where,
              clock)
    {
        open(testfiles::write(testDir, QStringLiteral("Контрольная.tstt"), testfiles::test()));
    }
    void confirm(const QString &surname)
    {
        Startform.controls().Editfam->setText(surname);
        window.ComputeResult(12);
        window.ButtonokClick();
    }
};

} // namespace

class TestJournalPlace : public QObject
{
    Q_OBJECT

private slots:
    void settingsFile_data();
    void settingsFile();
    void firstSettingsFileDecides();
    void keptUntilTheJournalTakesIt();
    void recordDataSurvivesEveryWrite();
    void damagedData();
    void mergedJournals();
    void tableFromTheJournalWindow();
    void checkerCommands();
};

void TestJournalPlace::settingsFile_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("folder"); // relative to the program folder; empty: beside it
    QTest::addColumn<QString>("problem");

    QTest::newRow("shared folder")
        << QByteArray("[Журнал]\nПапка=результаты/7а\n") << "результаты/7а"
        << "";
    QTest::newRow("byte-order mark, CR LF, quotes, case")
        << QByteArray("\xEF\xBB\xBF; для 7 класса\r\n[журнал]\r\n  папка = \"результаты/7а\"\r\n")
        << "результаты/7а"
        << "";
    QTest::newRow("other sections and keys")
        << QByteArray("[Прочее]\nПапка=не/эта\n[Журнал]\nИмя=x\nПапка=результаты/7а\n")
        << "результаты/7а"
        << "";
    QTest::newRow("no folder named") << QByteArray("[Журнал]\nПапка=\n") << ""
                                     << "";
    QTest::newRow("missing folder") << QByteArray("[Журнал]\nПапка=нет/такой\n") << "нет/такой"
                                    << "не найдена";
    QTest::newRow("a file, not a folder")
        << QByteArray("[Журнал]\nПапка=merilon.ini\n") << "merilon.ini"
        << "не папка, а файл";
    QTest::newRow("UTF-16, as the installer writes it")
        << (QByteArray("\xFF\xFE") +
            QByteArray(reinterpret_cast<const char *>(u"[Журнал]\r\nПапка=результаты/7а\r\n"),
                       2 * 31))
        << "результаты/7а"
        << "";
    QTest::newRow("code page 1251")
        << QByteArray("[\xC6\xF3\xF0\xED\xE0\xEB]\n\xCF\xE0\xEF\xEA\xE0=x\n") << ""
        << "не в кодировке UTF-8";
}

void TestJournalPlace::settingsFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, folder);
    QFETCH(QString, problem);
    QTemporaryDir program(QDir::tempPath() + QStringLiteral("/программа-XXXXXX"));
    QVERIFY(QDir(program.path()).mkpath(QStringLiteral("результаты/7а")));
    const QString file = testfiles::write(program, QStringLiteral("merilon.ini"), ini);
    const JournalPlace place =
        JournalPlace::locate(program.path(), {file}, program.filePath(QStringLiteral("u")));
    const QString expected =
        QDir(folder.isEmpty() ? program.path() : program.filePath(folder)).filePath("Journal.res");
    QCOMPARE(place.journal, expected);
    QCOMPARE(place.settings.isEmpty(), folder.isEmpty());
    if (problem.isEmpty()) {
        QVERIFY2(place.problems.isEmpty(), qPrintable(place.problems.join('\n')));
    } else {
        QCOMPARE(place.problems.size(), 1);
        QVERIFY2(place.problems[0].contains(problem), qPrintable(place.problems[0]));
    }
    // What the information window and the checker say of it.
    const QString told = place.describe();
    QVERIFY(told.contains(QDir::toNativeSeparators(expected)));
    QCOMPARE(told.contains(QStringLiteral("Запись в журнал возможна.")),
             folder != "нет/такой" && folder != "merilon.ini");
}

void TestJournalPlace::firstSettingsFileDecides()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")) && QDir(dir.path()).mkpath("b"));
    const QString beside = testfiles::write(dir, "a.ini", QByteArray("[Журнал]\nПапка=a\n"));
    const QString system = testfiles::write(dir, "b.ini", QByteArray("[Журнал]\nПапка=b\n"));
    const QString kept = dir.filePath("u");
    QCOMPARE(JournalPlace::locate(dir.path(), {beside, system}, kept).journal,
             dir.filePath("a/Journal.res"));
    QCOMPARE(JournalPlace::locate(dir.path(), {dir.filePath("none.ini"), system}, kept).journal,
             dir.filePath("b/Journal.res"));
}

void TestJournalPlace::keptUntilTheJournalTakesIt()
{
    // The shared folder is away (the server is off): results wait in the user's folder.
    QTemporaryDir root;
    JournalPlace place;
    place.journal = root.filePath(QStringLiteral("сервер/Journal.res"));
    place.kept = root.filePath(QStringLiteral("пользователь/Мерилон/Journal.res"));
    Class c(place);
    c.confirm(QStringLiteral("Первый"));
    c.confirm(QStringLiteral("Второй"));
    QCOMPARE(c.desktop.warnings.size(), 2);
    QVERIFY(c.desktop.warnings[0].contains(QDir::toNativeSeparators(place.kept)));
    QVERIFY(c.desktop.chosen.isEmpty());
    QCOMPARE(surnames(place.kept), (QStringList{"Второй", "Первый"}));
    QCOMPARE(place.keptCount(), 2);
    QVERIFY(place.describe().contains(QStringLiteral("Ждут переноса в журнал: 2")));

    // The server is back, and another computer wrote meanwhile.
    QVERIFY(QDir().mkpath(QFileInfo(place.journal).absolutePath()));
    Class other(place);
    other.where.kept = root.filePath(QStringLiteral("другой/Journal.res"));
    Class(other.where).confirm(QStringLiteral("Чужой"));
    const QByteArray keptBefore = contentOf(place.kept);

    c.confirm(QStringLiteral("Третий"));
    QCOMPARE(c.desktop.warnings.size(), 2);
    QCOMPARE(surnames(place.journal), (QStringList{"Третий", "Второй", "Первый", "Чужой"}));
    QVERIFY(!QFileInfo::exists(place.kept));

    // Had the program stopped before the kept journal was removed, nothing comes in twice.
    QVERIFY(testfiles::write(root, QStringLiteral("пользователь/Мерилон/Journal.res"), keptBefore)
                .size() > 0);
    c.confirm(QStringLiteral("Четвёртый"));
    QCOMPARE(surnames(place.journal),
             (QStringList{"Четвёртый", "Третий", "Второй", "Первый", "Чужой"}));
    QVERIFY(!QFileInfo::exists(place.kept));

    // Nor when a result was kept again behind records that had already come in.
    QVERIFY(testfiles::write(root, QStringLiteral("пользователь/Мерилон/Journal.res"), keptBefore)
                .size() > 0);
    const QString server = QFileInfo(place.journal).absolutePath();
    QVERIFY(QDir().rename(server, root.filePath(QStringLiteral("прочь"))));
    c.confirm(QStringLiteral("Пятый"));
    QCOMPARE(surnames(place.kept), (QStringList{"Пятый", "Второй", "Первый"}));
    QVERIFY(QDir().rename(root.filePath(QStringLiteral("прочь")), server));
    c.confirm(QStringLiteral("Шестой"));
    QCOMPARE(surnames(place.journal),
             (QStringList{"Шестой", "Пятый", "Четвёртый", "Третий", "Второй", "Первый", "Чужой"}));
    QVERIFY(!QFileInfo::exists(place.kept));
}

void TestJournalPlace::recordDataSurvivesEveryWrite()
{
    // Written in front of our own records without reading them, and read and rewritten in
    // front of an older program's journal: both keep every record's data.
    for (const bool older : {false, true}) {
        QTemporaryDir root;
        JournalPlace place;
        place.journal = root.filePath(QStringLiteral("Journal.res"));
        place.kept = root.filePath(QStringLiteral("u/Journal.res"));
        if (older)
            QVERIFY(QFile::copy(QStringLiteral(MERILON_TEST_DATA "/richedit-journal.rtf"),
                                place.journal));
        const int before = int(readJournalRecords(contentOf(place.journal)).size());
        Class c(place);
        c.confirm(QStringLiteral("Иванова"));
        c.clock.at = c.clock.at.addSecs(60);
        c.confirm(QStringLiteral("Петрова"));
        const QList<JournalRecord> records = readJournalRecords(contentOf(place.journal));
        QCOMPARE(records.size(), before + 2);
        QCOMPARE(records[0].row.surname, QStringLiteral("Петрова"));
        QCOMPARE(records[1].row.surname, QStringLiteral("Иванова"));
        for (int k : {0, 1}) {
            QCOMPARE(records[k].row.test, QStringLiteral("Контрольная.tstt"));
            QCOMPARE(records[k].row.computer, QSysInfo::machineHostName());
            QCOMPARE(records[k].id.size(), 32);
        }
        QCOMPARE(records[0].row.confirmed, c.clock.at);
        QVERIFY(records[0].id != records[1].id);
        // The older program's records: their lines, and empty cells for the rest.
        for (qsizetype k = 2; k < records.size(); ++k) {
            QVERIFY(records[k].id.isEmpty());
            QVERIFY(!records[k].row.confirmed.isValid());
            QVERIFY(records[k].row.test.isEmpty());
            QVERIFY(records[k].row.grade >= 1);
            QVERIFY(!records[k].row.surname.isEmpty());
        }
        // Another reader sees the six lines and nothing more.
        RichText shown;
        shown.setFileContent(contentOf(place.journal));
        QVERIFY(shown.Text().startsWith(QStringLiteral(" Фамилия имя: Петрова Петя\r\n Задано")));
        QVERIFY(!shown.Text().contains(QStringLiteral("merilondata")));
    }
}

void TestJournalPlace::damagedData()
{
    // Garbage where the data should be gives empty cells and the visible lines.
    const QByteArray journal =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\n\\pard{\\*\\merilondata v=1&id=%ZZ&at=вчера&"
        "time=-5&test=%FF%FE&computer=\\u1055?{\\b x}}\\plain  \\u1060?\\u1072?\\u1084?\\u1080?"
        "\\u1083?\\u1080?\\u1103? \\u1080?\\u1084?\\u1103?: A B\\par  \\u1054?\\u1094?\\u1077?"
        "\\u1085?\\u1082?\\u1072?: 9\\par{\\*\\merilondata }\\par}";
    const QList<JournalRecord> records = readJournalRecords(journal);
    QCOMPARE(records.size(), 1);
    const TableRow &row = records[0].row;
    QCOMPARE(row.surname, QStringLiteral("A"));
    QCOMPARE(row.name, QStringLiteral("B"));
    QVERIFY(!row.confirmed.isValid());
    QCOMPARE(row.secondsUsed, -1);
    QVERIFY(row.test.isEmpty());
    QCOMPARE(row.computer, QStringLiteral("x")); // what is ASCII of it
    QCOMPARE(row.grade, -1);                     // 9 is no grade
    QVERIFY(readJournalRecords("not a journal").isEmpty());

    // Data that would close the group or break the text is never written.
    RichText text;
    text.setPlain(QStringLiteral("ab"));
    text.setCharacterData(0, "a}b{\\par c\x01\xC3");
    const QByteArray rtf = text.toRtf();
    QVERIFY(rtf.contains("{\\*\\merilondata abpar c}"));
    RichText back;
    back.setRtf(rtf);
    QCOMPARE(back.Text(), QStringLiteral("ab"));
    QCOMPARE(back.characterData(0), QByteArray("abpar c"));
    QVERIFY(back.characterData(1).isEmpty());
}

void TestJournalPlace::mergedJournals()
{
    // Two computers' journals, one gathered twice, and an older program's journal copied
    // at two moments: each record once, newest first.
    RecordData data;
    const auto record = [&](const QString &id, const QString &surname, int minute) {
        data.id = id;
        data.surname = surname;
        data.confirmed = QDateTime(QDate(2026, 12, 9), QTime(10, minute));
        JournalRecord r;
        r.id = id;
        r.row.surname = surname;
        r.row.confirmed = data.confirmed;
        r.text = surname;
        return r;
    };
    const QList<JournalRecord> first{record("a1", "Аня", 5), record("a0", "Боря", 1)};
    const QList<JournalRecord> second{record("b0", "Вова", 3)};
    JournalRecord oldOne;
    oldOne.text = QStringLiteral("Фамилия имя: Старый");
    oldOne.row.surname = QStringLiteral("Старый");
    JournalRecord oldTwo = oldOne; // the same pupil twice, in two lessons
    const QList<JournalRecord> older{oldTwo, oldOne};
    JournalRecord oldThree = oldOne;
    const QList<JournalRecord> olderLater{oldThree, oldTwo, oldOne};

    QStringList merged;
    for (const TableRow &row : mergeJournals({first, second, first, older, olderLater}))
        merged << row.surname;
    QCOMPARE(merged, (QStringList{"Аня", "Вова", "Боря", "Старый", "Старый", "Старый"}));
}

void TestJournalPlace::tableFromTheJournalWindow()
{
    QTemporaryDir out;
    TestProgram p;
    QTemporaryDir tests;
    p.open(testfiles::write(tests, QStringLiteral("Дроби.tstt"), testfiles::test()));
    for (const char *surname : {"Ёлкина", "Щукин"}) {
        p.Startform.controls().Editfam->setText(QString::fromUtf8(surname));
        p.result.ComputeResult(13);
        p.result.ButtonokClick();
    }
    const QString csv = out.filePath(QStringLiteral("7а класс.csv"));
    p.desktop.whileOpen = [&] {
        auto *window = p.MainForm.findChild<TFormzurnal *>();
        // What the teacher typed into the window is not what the table holds.
        window->controls().Editorzur->content().Lines().Clear();
        p.desktop.nextSaveFile = csv;
        QCOMPARE(window->controls().tabledoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
        window->controls().tabledoc->trigger();
    };
    p.MainForm.controls().Zurnal->trigger();
    QVERIFY(p.desktop.errors.isEmpty());
    QCOMPARE(p.desktop.saveOffered.size(), 1);
    QVERIFY(p.desktop.saveOffered[0].endsWith(QStringLiteral(".xlsx")));
    const QStringList lines =
        QString::fromUtf8(contentOf(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[1].contains(QStringLiteral(";Щукин;Петя;Дроби.tstt;20;13;65;3;")),
             qPrintable(lines[1]));
    QVERIFY(lines[2].contains(QStringLiteral(";Ёлкина;Петя;")));

    // A file that cannot be written: the teacher is told, nothing else changes.
    p.desktop.whileOpen = [&] {
        auto *window = p.MainForm.findChild<TFormzurnal *>();
        p.desktop.nextSaveFile = out.filePath(QStringLiteral("нет/такой/папки.xlsx"));
        window->controls().Buttontable->click();
    };
    p.MainForm.controls().Zurnal->trigger();
    QCOMPARE(p.desktop.errors.size(), 1);
    QVERIFY2(p.desktop.errors[0].contains(QStringLiteral("папки.xlsx")),
             qPrintable(p.desktop.errors[0]));
}

void TestJournalPlace::checkerCommands()
{
    QTemporaryDir dir;
    JournalPlace place;
    place.journal = dir.filePath(QStringLiteral("класс/Journal.res"));
    place.kept = dir.filePath(QStringLiteral("u/Journal.res"));
    const auto run = [&](const QStringList &arguments, QString &said) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = runJournalTool(arguments, place, {}, outStream, errStream);
        outStream.flush();
        errStream.flush();
        said = out + err;
        return status;
    };
    QString said;
    QCOMPARE(run({QStringLiteral("--dump"), QStringLiteral("t.tstt")}, said), -1);

    // Which journal, and whether it can be written now.
    QCOMPARE(run({QStringLiteral("--where")}, said), 1);
    QVERIFY2(said.contains(QDir::toNativeSeparators(place.journal)) &&
                 said.contains(QStringLiteral("Записать в журнал сейчас нельзя")),
             qPrintable(said));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("класс"))));
    QCOMPARE(run({QStringLiteral("--where")}, said), 0);
    QVERIFY(said.contains(QStringLiteral("Запись в журнал возможна.")));

    // Two computers' journals, one of them gathered twice.
    Class first(place);
    first.confirm(QStringLiteral("Первая"));
    first.confirm(QStringLiteral("Вторая"));
    const QString copy = dir.filePath(QStringLiteral("копия.res"));
    QVERIFY(QFile::copy(place.journal, copy));
    first.confirm(QStringLiteral("Третья"));
    const QString table = dir.filePath(QStringLiteral("класс.csv"));
    QCOMPARE(run({QStringLiteral("--table"), table, place.journal, copy}, said), 0);
    QVERIFY2(said.contains(QStringLiteral("записей 3, журналов 2, повторов пропущено 2")),
             qPrintable(said));
    QCOMPARE(QString::fromUtf8(contentOf(table)).count(QStringLiteral("\r\n")), 4);

    QCOMPARE(run({QStringLiteral("--table"), table, dir.filePath(QStringLiteral("нет.res"))}, said),
             2);
    QVERIFY(said.contains(QStringLiteral("Не удается прочитать журнал")));
    QCOMPARE(run({QStringLiteral("--table"), table}, said), 2);
}

QTEST_MAIN(TestJournalPlace)
#include "tst_journalplace.moc"
