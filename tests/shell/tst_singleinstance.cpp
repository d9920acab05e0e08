#include "shell/singleinstance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace merilon;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit()); }
    void oneHolderAtATime();
    void secondProgramEndsAtOnce();

private:
    QTemporaryDir m_dir;
};

void TestSingleInstance::oneHolderAtATime()
{
    QCOMPARE(SingleInstanceGuard::guardName(QStringLiteral("Merilon")), QStringLiteral("Merilon"));
    QCOMPARE(SingleInstanceGuard::guardName(QStringLiteral("Global\\Merilon\\x")),
             QStringLiteral("Global_Merilon_x"));
    auto first = std::make_unique<SingleInstanceGuard>();
    QVERIFY(first->CheckSingleInstance(QStringLiteral("Проба")));
    SingleInstanceGuard second;
    QVERIFY(!second.CheckSingleInstance(QStringLiteral("Проба")));
    QVERIFY(second.CheckSingleInstance(QStringLiteral("Другое")));
    first.reset();
    QVERIFY(second.CheckSingleInstance(QStringLiteral("Проба")));
}

void TestSingleInstance::secondProgramEndsAtOnce()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto start = [&environment](QProcess &process) {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MERILON_APP_EXE), QStringList());
        return process.waitForStarted(10000);
    };
    const auto held = [] {
        SingleInstanceGuard probe;
        return !probe.CheckSingleInstance(QStringLiteral("Merilon"));
    };

    QProcess first;
    QVERIFY(start(first));
    QTRY_VERIFY_WITH_TIMEOUT(held(), 10000);

    QProcess second;
    QVERIFY(start(second));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // A copy that dies lets go of the guard; the next one runs.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!held(), 10000);
    QProcess third;
    QVERIFY(start(third));
    QTRY_VERIFY_WITH_TIMEOUT(held(), 10000);
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(10000);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
