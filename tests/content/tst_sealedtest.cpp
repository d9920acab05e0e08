#include "content/sealedtest.h"
#include "content/sealtool.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QtEndian>
#include <sodium.h>

using namespace merilon;
namespace s = merilon::sealed;

namespace {

// Cheap enough to seal and open thousands of times.
constexpr s::Cost kQuick{1, 64};

const QByteArray kPassword = "Учитель-2026";

// The offset of the password hash's parameters: after the two readable lines.
int costAt(const QByteArray &file)
{
    return file.indexOf("\r\n", file.indexOf("\r\n") + 2) + 2;
}

// The file with its closing hash made right again, as someone who edits it on purpose would.
QByteArray rehashed(QByteArray file)
{
    file.chop(32);
    QByteArray hash(32, Qt::Uninitialized);
    crypto_generichash_blake2b(reinterpret_cast<unsigned char *>(hash.data()), 32,
                               reinterpret_cast<const unsigned char *>(file.constData()),
                               std::uint64_t(file.size()), nullptr, 0);
    return file + hash;
}

QByteArray withCost(const QByteArray &file, quint32 passes, quint32 memoryKiB)
{
    QByteArray changed = file;
    const qsizetype at = costAt(changed);
    qToLittleEndian<quint32>(passes, changed.data() + at + 1);
    qToLittleEndian<quint32>(memoryKiB, changed.data() + at + 5);
    return rehashed(changed);
}

// Answers the password prompts from a list, recording them.
struct Typist
{
    QStringList answers;
    QStringList prompts;
    PasswordReader reader()
    {
        return [this](const QString &prompt) -> std::optional<QString> {
            prompts << prompt;
            if (answers.isEmpty())
                return std::nullopt;
            return answers.takeFirst();
        };
    }
};

} // namespace

class TestSealedTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTripIsExactAndSmall();
    void everyBitFlipIsRefused();
    void truncationsAndWrongPasswordsAreRefused();
    void craftedHeadersAreRefusedCheaply();
    void recordKeysBelongToOneSealing();
    void sealToolRefusesWhatItShouldNot();
    void sealToolRoundTrip();
};

void TestSealedTest::roundTripIsExactAndSmall()
{
    // Every byte value, as a test with pictures has them.
    QByteArray test = testfiles::rtf(testfiles::test());
    for (int i = 0; i < 4096; ++i)
        test += char(i * 7 % 256);
    const QByteArray sealedFile = s::seal(test, kPassword);
    QVERIFY(sealedFile.startsWith("MERILON SEALED TEST 1\r\n"));
    QVERIFY(QString::fromUtf8(sealedFile.left(costAt(sealedFile)))
                .contains(QStringLiteral("защищённый паролем учителя")));
    QVERIFY(sealedFile.size() <= test.size() + 400);
    // Nothing of the test shows through.
    QVERIFY(!sealedFile.contains("+да"));
    QVERIFY(!sealedFile.contains("rtf1"));

    const s::Opened opened = s::open(sealedFile, kPassword);
    QCOMPARE(opened.status, s::Status::Opened);
    QCOMPARE(opened.test, test);
    // The default cost is what the file asks for.
    s::Container container;
    QCOMPARE(s::parse(sealedFile, container), s::Status::Opened);
    QCOMPARE(container.cost.passes, s::kDefaultCost.passes);
    QCOMPARE(container.cost.memoryKiB, s::kDefaultCost.memoryKiB);

    // An empty test and the same test sealed twice: the salt and nonce differ each time.
    QCOMPARE(s::open(s::seal({}, kPassword, kQuick), kPassword).test, QByteArray());
    QVERIFY(s::seal(test, kPassword, kQuick) != s::seal(test, kPassword, kQuick));
    // A password is its letters, however they were composed.
    const QString composed = QStringLiteral("пароль-й");
    const QString decomposed = QStringLiteral("пароль-и\u0306");
    QCOMPARE(
        s::open(s::seal(test, s::passwordBytes(composed), kQuick), s::passwordBytes(decomposed))
            .status,
        s::Status::Opened);
}

void TestSealedTest::everyBitFlipIsRefused()
{
    const QByteArray sealedFile = s::seal(testfiles::rtf(testfiles::block(1)), kPassword, kQuick);
    QCOMPARE(s::open(sealedFile, kPassword).status, s::Status::Opened);
    for (int i = 0; i < sealedFile.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = sealedFile;
            flipped[i] = char(flipped[i] ^ (1 << bit));
            const s::Status status = s::open(flipped, kPassword).status;
            if (status == s::Status::Opened || status == s::Status::NotSealed)
                QFAIL(qPrintable(QStringLiteral("byte %1 bit %2 still opens").arg(i).arg(bit)));
        }
    }
}

void TestSealedTest::truncationsAndWrongPasswordsAreRefused()
{
    const QByteArray sealedFile = s::seal(testfiles::rtf(testfiles::test(3)), kPassword, kQuick);
    for (qsizetype size = 20; size < sealedFile.size(); ++size)
        QCOMPARE(s::open(sealedFile.left(size), kPassword).status, s::Status::Damaged);
    QCOMPARE(s::open(sealedFile + "x", kPassword).status, s::Status::Damaged);

    QCOMPARE(s::open(sealedFile, "учитель-2026").status, s::Status::WrongPassword);
    QCOMPARE(s::open(sealedFile, "").status, s::Status::WrongPassword);
    QVERIFY(s::open(sealedFile, "x").test.isEmpty());
    QCOMPARE(s::message(s::Status::WrongPassword, {}), QStringLiteral("Неверный пароль."));

    // A plain test is no sealed one.
    QVERIFY(!s::looksSealed(testfiles::rtf(testfiles::test())));
    QVERIFY(!s::looksSealed("MERILON"));
    QCOMPARE(s::open(testfiles::test().toUtf8(), kPassword).status, s::Status::NotSealed);
}

void TestSealedTest::craftedHeadersAreRefusedCheaply()
{
    const QByteArray sealedFile = s::seal("{\\rtf1 x}", kPassword, kQuick);
    QElapsedTimer clock;
    clock.start();
    // More passes or memory than an opening spends, a hash it does not know, a cost below
    // what the hash allows.
    QCOMPARE(s::open(withCost(sealedFile, 1000000, 64), kPassword).status, s::Status::TooCostly);
    QCOMPARE(s::open(withCost(sealedFile, 1, 4u << 20), kPassword).status, s::Status::TooCostly);
    QCOMPARE(s::open(withCost(sealedFile, 0xFFFFFFFF, 0xFFFFFFFF), kPassword).status,
             s::Status::TooCostly);
    QCOMPARE(s::open(withCost(sealedFile, 0, 64), kPassword).status, s::Status::Damaged);
    QCOMPARE(s::open(withCost(sealedFile, 1, 1), kPassword).status, s::Status::Damaged);
    QByteArray otherHash = sealedFile;
    otherHash[costAt(otherHash)] = 1;
    QCOMPARE(s::open(rehashed(otherHash), kPassword).status, s::Status::Damaged);
    QVERIFY(clock.elapsed() < 1000);
    // The most an opening accepts is spent.
    const QByteArray dearest = s::seal("{\\rtf1 x}", kPassword, s::kMaxCost);
    QCOMPARE(s::open(dearest, kPassword).status, s::Status::Opened);

    // A later format is named as such; a changed header with its hash made right again still
    // does not open, since the cipher covers it.
    QByteArray later = sealedFile;
    later.replace("TEST 1\r\n", "TEST 2\r\n");
    QCOMPARE(s::open(later, kPassword).status, s::Status::Newer);
    QVERIFY(s::message(s::Status::Newer, "t.tstt").contains(QStringLiteral("новой версией")));
    QByteArray retold = sealedFile;
    retold.replace("\xd0\xad\xd1\x82\xd0\xbe", "\xd0\xad\xd1\x82\xd0\xb0"); // "Это" -> "Эта"
    QVERIFY(retold != sealedFile);
    QCOMPARE(s::open(rehashed(retold), kPassword).status, s::Status::WrongPassword);
}

void TestSealedTest::recordKeysBelongToOneSealing()
{
    const QByteArray first = s::seal("a", kPassword, kQuick);
    const s::Opened once = s::open(first, kPassword);
    const s::Opened again = s::open(first, kPassword);
    QCOMPARE(once.recordKey.id.size(), 32);
    QCOMPARE(once.recordKey.id, again.recordKey.id);
    const QByteArray proof = once.recordKey.prove("запись");
    QCOMPARE(proof.size(), 64);
    QCOMPARE(again.recordKey.prove("запись"), proof);
    QVERIFY(again.recordKey.holds("запись", proof));
    QVERIFY(!again.recordKey.holds("записи", proof));
    QVERIFY(!again.recordKey.holds("запись", proof.left(62)));
    QVERIFY(!again.recordKey.holds("запись", QByteArray(64, 'z')));
    // The same password on a second sealing makes another key with another name.
    const s::Opened other = s::open(s::seal("a", kPassword, kQuick), kPassword);
    QVERIFY(other.recordKey.id != once.recordKey.id);
    QVERIFY(!other.recordKey.holds("запись", proof));
}

void TestSealedTest::sealToolRefusesWhatItShouldNot()
{
    QTemporaryDir dir;
    const QString good = testfiles::write(dir, "good.tstt", testfiles::rtf(testfiles::test()));
    const QString broken = testfiles::write(dir, "broken.tstt", testfiles::test(20));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const auto run = [&](const QStringList &arguments, QStringList typed) {
        outText.clear();
        errText.clear();
        Typist typist{std::move(typed), {}};
        const int status = runSealTool(arguments, typist.reader(), out, err);
        out.flush();
        err.flush();
        return status;
    };
    // A test that would not open is not sealed; nothing is written.
    QCOMPARE(run({"--seal", broken}, {"секрет1", "секрет1"}), 1);
    QVERIFY(errText.contains(QStringLiteral("не защищён")));
    QVERIFY(!QFile::exists(dir.filePath("broken-защищён.tstt")));
    // Two different passwords, a short one, none at all, the test over itself.
    QCOMPARE(run({"--seal", good}, {"секрет1", "секрет2"}), 2);
    QVERIFY(errText.contains(QStringLiteral("Пароли не совпадают.")));
    QCOMPARE(run({"--seal", good}, {"12345", "12345"}), 2);
    QVERIFY(errText.contains(QStringLiteral("слишком короткий")));
    QCOMPARE(run({"--seal", good}, {}), 2);
    QCOMPARE(run({"--seal", good, good}, {"секрет1", "секрет1"}), 2);
    QVERIFY(!QFile::exists(dir.filePath("good-защищён.tstt")));
    QCOMPARE(run({"--seal"}, {}), 2);
    QCOMPARE(run({"--seal", good, "--what"}, {}), 2);
    QCOMPARE(run({"--table", good}, {}), -1);
}

void TestSealedTest::sealToolRoundTrip()
{
    QTemporaryDir dir;
    const QByteArray test = testfiles::rtf(testfiles::test());
    const QString plain = testfiles::write(dir, "Алгебра 7.tstt", test);
    const QString passwordFile =
        testfiles::write(dir, "pw.txt", QByteArray("\xEF\xBB\xBFсекрет-7А\r\n"));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    Typist typist{{"секрет-7А", "секрет-7А"}, {}};

    QCOMPARE(runSealTool({"--seal", plain}, typist.reader(), out, err), 0);
    QCOMPARE(typist.prompts, QStringList({"Пароль: ", "Пароль ещё раз: "}));
    const QString sealedPath = dir.filePath("Алгебра 7-защищён.tstt");
    QFile sealedFile(sealedPath);
    QVERIFY(sealedFile.open(QIODevice::ReadOnly));
    const QByteArray sealedBytes = sealedFile.readAll();
    QVERIFY(s::looksSealed(sealedBytes));
    // Sealing a sealed test again is refused.
    QCOMPARE(runSealTool({"--seal", sealedPath, "--password-file", passwordFile}, {}, out, err), 2);

    // Back with the password from a file (a byte-order mark and CR LF around it) and typed.
    const QString back = dir.filePath("back.tstt");
    QCOMPARE(
        runSealTool({"--unseal", sealedPath, back, "--password-file", passwordFile}, {}, out, err),
        0);
    QFile backFile(back);
    QVERIFY(backFile.open(QIODevice::ReadOnly));
    QCOMPARE(backFile.readAll(), test);
    Typist wrong{{"секрет-7Б"}, {}};
    QCOMPARE(
        runSealTool({"--unseal", sealedPath, dir.filePath("x.tstt")}, wrong.reader(), out, err), 1);
    QVERIFY(!QFile::exists(dir.filePath("x.tstt")));
    err.flush();
    QVERIFY(errText.contains(QStringLiteral("Неверный пароль.")));
}

QTEST_GUILESS_MAIN(TestSealedTest)
#include "tst_sealedtest.moc"
