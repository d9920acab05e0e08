// The computers of a class add their results to one journal in a shared folder at the same
// moment: each record is kept exactly once and none is lost, and a computer switched off while
// it holds the journal's lock holds the others up only for a stated time. Each computer is a
// journal_writer process, as another copy of the program.

#include "journalnames.h"
#include "platformfaults.h"
#include "results/journal.h"
#include "results/recorddata.h"
#include "shell/desktop.h"
#include "sshfsshare.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace merilon;

namespace {

constexpr int RecordsEach = 10;
// How long the writers of a class may take together before the test gives up on them.
constexpr int ClassDeadlineMs = 90000;

// A class: 30 computers; under Wine, where each program starts slowly, 8.
int classSize()
{
    return testfiles::underWine() ? 8 : 30;
}

// The examinee whose records a computer adds: "ПК07".
QString examinee(int computer)
{
    return QStringLiteral("ПК%1").arg(computer + 1, 2, 10, QLatin1Char('0'));
}

// How a computer's writer ended: its exit code (-1 when it crashed or never ended), what it
// said, and when, from the start of the class's writing.
struct Ending
{
    int exitCode = -1;
    QString said = QStringLiteral("did not end in time");
    qint64 atMs = -1;
};

// What a writer said, without Qt's notes on its environment.
QString said(QProcess &writer)
{
    QStringList lines = QString::fromLocal8Bit(writer.readAll()).split(QLatin1Char('\n'));
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString &line) {
                                   return line.isEmpty() ||
                                          line.startsWith(QStringLiteral("QStandardPaths:"));
                               }),
                lines.end());
    return lines.join(QLatin1Char('\n'));
}

// As a computer of its own: with its own host name and machine id, then the program.
// Arguments: ID_FILE HOST PROGRAM ARGUMENTS...
const char *const kAsComputer =
    "id=$1; host=$2; shift 2; "
    "for f in /var/lib/dbus/machine-id /etc/machine-id; do "
    "if [ -e \"$f\" ]; then mount --bind \"$id\" \"$f\" || exit 125; fi; done; "
    "hostname \"$host\" || exit 125; exec \"$@\"";

// The arguments of unshare that run `command` as a computer of its own.
QStringList asComputer(const QString &idFile, const QString &host, const QStringList &command)
{
    return QStringList{QStringLiteral("-m"),
                       QStringLiteral("-u"),
                       QStringLiteral("sh"),
                       QStringLiteral("-c"),
                       QLatin1String(kAsComputer),
                       QStringLiteral("sh"),
                       idFile,
                       host} +
           command;
}

// The computers of a class, each running the writer as its own copy of the program.
//
// Where it may (as root, with unshare), each computer runs in namespaces of its own with a host
// name and machine id of its own, so that QLockFile cannot look up the process behind another
// computer's lock and judges the lock by the file alone, as it must over a network. A host
// name alone would not do: when the machine ids match, QLockFile counts a lock as made on its
// own computer whatever the host name, and asks whether the process behind it still runs.
class Classroom
{
public:
    explicit Classroom(int size) : m_size(size)
    {
        for (int c = 0; c < m_size; ++c) {
            QFile id(m_dir.filePath(QStringLiteral("machine-id%1").arg(c)));
            if (id.open(QIODevice::WriteOnly))
                id.write(QUuid::createUuid().toByteArray(QUuid::Id128) + '\n');
        }
        m_separate = separateComputers(m_dir.filePath(QStringLiteral("machine-id0")));
    }

    int size() const { return m_size; }
    // The name the computer's records carry.
    QString computerName(int computer) const
    {
        return m_separate ? QStringLiteral("pc%1").arg(computer + 1) : QSysInfo::machineHostName();
    }

    // Starts the writer on every computer at once, each adding `count` records to the journal
    // at `journalOf(computer)`, and waits until all have ended.
    std::vector<Ending> write(const std::function<QString(int)> &journalOf, int count) const
    {
        std::vector<Ending> endings(static_cast<std::size_t>(m_size));
        std::vector<std::unique_ptr<QProcess>> writers;
        QEventLoop loop;
        int running = m_size;
        QElapsedTimer clock;
        clock.start();
        for (int c = 0; c < m_size; ++c) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            QProcess *const writer = process.get();
            const auto ended = [&, c, writer](int exitCode) {
                endings[std::size_t(c)] = {exitCode, said(*writer), clock.elapsed()};
                if (--running == 0)
                    loop.quit();
            };
            QObject::connect(writer, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                             &loop, [ended](int code, QProcess::ExitStatus status) {
                                 ended(status == QProcess::NormalExit ? code : -1);
                             });
            QObject::connect(writer, &QProcess::errorOccurred, &loop,
                             [ended](QProcess::ProcessError error) {
                                 if (error == QProcess::FailedToStart)
                                     ended(-1);
                             });
            QStringList arguments{journalOf(c), examinee(c), QString::number(count)};
            if (m_separate) {
                arguments =
                    asComputer(m_dir.filePath(QStringLiteral("machine-id%1").arg(c)),
                               QStringLiteral("pc%1").arg(c + 1),
                               QStringList{QStringLiteral(MERILON_JOURNAL_WRITER)} + arguments);
                writer->start(QStringLiteral("unshare"), arguments);
            } else {
                writer->start(QStringLiteral(MERILON_JOURNAL_WRITER), arguments);
            }
            writers.push_back(std::move(process));
        }
        QTimer::singleShot(ClassDeadlineMs, &loop, &QEventLoop::quit);
        if (running > 0)
            loop.exec();
        for (auto &writer : writers) {
            writer->disconnect();
            writer->kill();
            writer->waitForFinished(5000);
        }
        return endings;
    }

private:
    static bool runsAsComputer(const QString &idFile)
    {
        QProcess probe;
        probe.start(QStringLiteral("unshare"),
                    asComputer(idFile, QStringLiteral("probe"), {QStringLiteral("true")}));
        return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    }

    // Whether computers of their own can be made here; says so once when not.
    static bool separateComputers(const QString &idFile)
    {
        static const bool separate = [&idFile] {
            QString why;
            if (testfiles::underWine())
                why = QStringLiteral("under Wine");
            else if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
                why = QStringLiteral("no unshare");
            else if (!runsAsComputer(idFile))
                why = QStringLiteral("unshare -m -u is not allowed (it needs root)");
            if (!why.isEmpty())
                qWarning("The writers run as plain processes of this computer, not as computers "
                         "of their own: %s. QLockFile may then see that another writer's "
                         "process still runs, which over a network it cannot.",
                         qPrintable(why));
            return why.isEmpty();
        }();
        return separate;
    }

    int m_size;
    QTemporaryDir m_dir;
    bool m_separate = false;
};

// The writers that failed, with what they said; empty when none did.
QStringList failures(const std::vector<Ending> &endings)
{
    QStringList found;
    for (std::size_t c = 0; c < endings.size(); ++c)
        if (endings[c].exitCode != 0)
            found << QStringLiteral("%1 ended with %2: %3")
                         .arg(examinee(int(c)))
                         .arg(endings[c].exitCode)
                         .arg(endings[c].said.trimmed());
    return found;
}

// Records whose data do not name the computer that wrote them and its examinee.
QStringList dataProblems(const QString &journal, const Classroom &room)
{
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("the journal cannot be read")};
    QStringList problems;
    for (const JournalRecord &record : readJournalRecords(file.readAll())) {
        const QString &surname = record.row.surname;
        int c = 0;
        while (c < room.size() && examinee(c) != surname)
            ++c;
        if (c == room.size() || record.row.computer != room.computerName(c) ||
            record.id.size() != 32)
            problems << QStringLiteral("%1 %2 carries computer \"%3\", id \"%4\"")
                            .arg(surname, record.row.name, record.row.computer, record.id);
    }
    return problems;
}

// What is wrong with the records `names` after each of `computers` added `count`: records lost,
// doubled or garbled, a computer's records not newest first. Empty when nothing is.
QStringList recordProblems(const QStringList &names, int computers, int count)
{
    QStringList problems;
    if (names.size() != computers * count)
        problems
            << QStringLiteral("%1 records instead of %2").arg(names.size()).arg(computers * count);
    QStringList lost, doubled;
    for (int c = 0; c < computers; ++c) {
        QStringList expected, found;
        for (int k = count; k >= 1; --k) {
            const QString name = examinee(c) + QStringLiteral(" %1").arg(k);
            expected << name;
            if (const auto times = names.count(name); times == 0)
                lost << name;
            else if (times > 1)
                doubled << name;
        }
        for (const QString &name : names)
            if (expected.contains(name) && !found.contains(name))
                found << name;
        if (lost.isEmpty() && doubled.isEmpty() && found != expected)
            problems << QStringLiteral("%1's records out of order: %2")
                            .arg(examinee(c), found.join(QStringLiteral(", ")));
    }
    if (!lost.isEmpty())
        problems << QStringLiteral("lost: ") + lost.join(QStringLiteral(", "));
    if (!doubled.isEmpty())
        problems << QStringLiteral("twice or more: ") + doubled.join(QStringLiteral(", "));
    return problems;
}

// The files of the folder besides the journal: a lock, a copy half written. FUSE's own
// ".fuse_hidden" files, which it removes once the last reader has closed them, are not ours.
QStringList leftovers(const QString &folder)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    found.removeAll(QStringLiteral("Journal.res"));
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const QString &name) {
                                   return name.startsWith(QStringLiteral(".fuse_hidden"));
                               }),
                found.end());
    return found;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A lock file as QLockFile on another computer leaves it: process id, program name, host name,
// machine id and boot id, a line each. Its time is set `ageMs` back.
bool writeForeignLock(const QString &path, int ageMs)
{
    QFile lock(path);
    const QByteArray content = "4242\nmerilon\nCLASS-PC99\n" +
                               QUuid::createUuid().toByteArray(QUuid::Id128) + '\n' +
                               QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '\n';
    return lock.open(QIODevice::WriteOnly) && lock.write(content) == content.size() &&
           lock.flush() &&
           (ageMs == 0 || lock.setFileTime(QDateTime::currentDateTimeUtc().addMSecs(-ageMs),
                                           QFileDevice::FileModificationTime));
}

// How often a writer found the journal busy past its wait and tried the record again.
qsizetype retries(const std::vector<Ending> &endings)
{
    qsizetype count = 0;
    for (const Ending &ending : endings)
        count += ending.said.count(QStringLiteral("busy, trying again"));
    return count;
}

qint64 firstEnd(const std::vector<Ending> &endings)
{
    return std::min_element(endings.begin(), endings.end(),
                            [](const Ending &a, const Ending &b) { return a.atMs < b.atMs; })
        ->atMs;
}

qint64 lastEnd(const std::vector<Ending> &endings)
{
    return std::max_element(endings.begin(), endings.end(),
                            [](const Ending &a, const Ending &b) { return a.atMs < b.atMs; })
        ->atMs;
}

} // namespace

class TestSharedJournal : public QObject
{
    Q_OBJECT

private slots:
    void wholeClassAtOnce();
    void wholeClassOverTheNetwork();
    void staleLockFromAnotherComputer_data();
    void staleLockFromAnotherComputer();
};

void TestSharedJournal::wholeClassAtOnce()
{
    QTemporaryDir folder;
    const QString journal = folder.filePath(QStringLiteral("Journal.res"));
    const Classroom room(classSize());

    const auto endings = room.write([&](int) { return journal; }, RecordsEach);
    qInfo("%d computers adding %d records each: the last ended after %lld ms, %lld records "
          "tried again",
          room.size(), RecordsEach, lastEnd(endings), qlonglong(retries(endings)));
    const QStringList problems = failures(endings) +
                                 recordProblems(journalNames(journal), room.size(), RecordsEach) +
                                 dataProblems(journal, room);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QCOMPARE(leftovers(folder.path()), QStringList());
}

void TestSharedJournal::wholeClassOverTheNetwork()
{
    if (testfiles::underWine())
        QSKIP("no sshfs under Wine");
    if (const QString missing = SshfsShare::missing(); !missing.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no network folder here: ") + missing));
    const Classroom room(classSize());
    const SshfsShare share(room.size());
    QVERIFY2(share.error().isEmpty(), qPrintable(share.error()));
    QCOMPARE(share.mounts().size(), room.size());
    // The program knows such a folder for one on another computer (its help then opens the
    // guide's pages); the served folder itself is local.
    QVERIFY(isNetworkPath(share.mounts().front()));
    QVERIFY(!isNetworkPath(share.served()));

    const auto endings = room.write(
        [&](int c) { return QDir(share.mounts()[c]).filePath(QStringLiteral("Journal.res")); },
        RecordsEach);
    qInfo("%d computers adding %d records each over sshfs: the last ended after %lld ms, %lld "
          "records tried again",
          room.size(), RecordsEach, lastEnd(endings), qlonglong(retries(endings)));
    // At once every computer reads the journal as the server has it, as the teacher's would
    // right after the lesson.
    const QString served = QDir(share.served()).filePath(QStringLiteral("Journal.res"));
    const QByteArray whole = contents(served);
    QStringList problems = failures(endings);
    for (const QString &mount : share.mounts())
        if (const QByteArray seen = contents(QDir(mount).filePath(QStringLiteral("Journal.res")));
            seen != whole)
            problems << QStringLiteral("%1 reads %2 bytes of %3")
                            .arg(mount)
                            .arg(seen.size())
                            .arg(whole.size());
    problems << recordProblems(journalNames(served), room.size(), RecordsEach)
             << dataProblems(served, room);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QCOMPARE(leftovers(share.served()), QStringList());
}

void TestSharedJournal::staleLockFromAnotherComputer_data()
{
    // How old the lock file's time says it is: the file server's clock need not agree with
    // the computers', so that time decides nothing.
    QTest::addColumn<int>("ageMs");
    QTest::newRow("server clock an hour ahead") << 3600 * 1000;
    QTest::newRow("server clock a minute behind") << -60 * 1000;
}

void TestSharedJournal::staleLockFromAnotherComputer()
{
    // A computer switched off while it held the lock: no process of this computer to look up,
    // so the lock counts as left behind only once it has stayed the same for StaleLockMs by
    // the waiting computers' own clocks. Meanwhile the whole class waits, and every computer
    // must still get its record in before it gives up.
    QFETCH(int, ageMs);
    QTemporaryDir folder;
    const QString journal = folder.filePath(QStringLiteral("Journal.res"));
    const Classroom room(classSize());
    QVERIFY(writeForeignLock(journal + QStringLiteral(".lock"), ageMs));

    const auto endings = room.write([&](int) { return journal; }, 1);
    qInfo("A lock %d ms old, %d computers: the first record went in after %lld ms, the last "
          "after %lld ms",
          ageMs, room.size(), firstEnd(endings), lastEnd(endings));
    const QStringList problems =
        failures(endings) + recordProblems(journalNames(journal), room.size(), 1);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QCOMPARE(leftovers(folder.path()), QStringList());
    // Nobody took the lock over while its computer might still be writing, and nobody waited
    // much longer than that: a class of writers takes a few seconds to start (more under the
    // sanitizers).
    const qint64 wait = Journal::StaleLockMs;
    QVERIFY2(firstEnd(endings) >= wait - 1000, qPrintable(QString::number(firstEnd(endings))));
    QVERIFY2(firstEnd(endings) <= wait + 10000, qPrintable(QString::number(firstEnd(endings))));
}

QTEST_MAIN(TestSharedJournal)
#include "tst_sharedjournal.moc"
