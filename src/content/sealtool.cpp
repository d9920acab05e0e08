#include "sealtool.h"

#include "richtext/richtext.h"
#include "sealedtest.h"
#include "testcheck.h"
#include "testdocument.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace merilon {

namespace {

// A password shorter than this would fall to guessing within days.
constexpr qsizetype kMinPasswordLength = 6;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err << QStringLiteral("Не удается записать файл \"%1\": %2\n")
                   .arg(native(path), file.errorString());
        return false;
    }
    return true;
}

// Where a sealed copy goes when no name is given: beside the test.
QString sealedName(const QString &path)
{
    const QFileInfo info(path);
    return QDir::cleanPath(info.path() + QLatin1Char('/') + info.completeBaseName() +
                           QStringLiteral("-защищён.tstt"));
}

bool samePlace(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// Reads a sealed test and checks its container, before any password is asked; false, with
// `error`, when the file cannot be read, is damaged or is not sealed (`notSealed`, with %1 for
// its name).
bool readSealed(const QString &path, QByteArray &content, const QString &notSealed, QString *error)
{
    if (!readWholeFile(path, content, error))
        return false;
    sealed::Container container;
    const sealed::Status status = sealed::parse(content, container);
    if (status == sealed::Status::Opened)
        return true;
    *error = status == sealed::Status::NotSealed ? notSealed.arg(native(path))
                                                 : sealed::message(status, native(path));
    return false;
}

// The sealed test read by readSealed, opened with the password.
sealed::Opened openSealed(const QByteArray &content, const QString &password)
{
    QByteArray bytes = sealed::passwordBytes(password);
    sealed::Opened opened = sealed::open(content, bytes);
    sealed::wipe(bytes);
    return opened;
}

int seal(const QString &path, QString target, const QString &passwordFile,
         const PasswordReader &read, QTextStream &out, QTextStream &err)
{
    if (target.isEmpty())
        target = sealedName(path);
    if (samePlace(path, target)) {
        err << QStringLiteral("Защищённый тест записывается в другой файл: исходный нужен, "
                              "чтобы исправлять тест.\n");
        return 2;
    }
    QByteArray content;
    QString error;
    if (!readWholeFile(path, content, &error)) {
        err << error << '\n';
        return 2;
    }
    if (sealed::looksSealed(content)) {
        err << QStringLiteral("Тест \"%1\" уже защищён паролем.\n").arg(native(path));
        return 2;
    }
    // Only a test that opens is worth sealing: the sealed one cannot be looked into.
    RichText document;
    std::vector<TestProblem> problems;
    TestDocument::loadAndCheck(content, document, problems);
    if (hasErrors(problems)) {
        for (const TestProblem &problem : problems)
            if (problem.error)
                err << QStringLiteral("[ошибка] ") << describeProblem(problem) << '\n';
        err << QStringLiteral("Тест не откроется, поэтому он не защищён. Исправьте ошибки и "
                              "повторите.\n");
        return 1;
    }
    std::optional<QString> password = obtainPassword(passwordFile, read, true, &error);
    if (!password) {
        err << error << '\n';
        return 2;
    }
    QByteArray bytes = sealed::passwordBytes(*password);
    password->fill(QLatin1Char(' '));
    const QByteArray sealedTest = sealed::seal(content, bytes);
    sealed::wipe(bytes);
    if (sealedTest.isEmpty()) {
        err << QStringLiteral("Не удалось защитить тест: библиотеке шифрования не хватило "
                              "памяти.\n");
        return 2;
    }
    if (!writeFile(target, sealedTest, err))
        return 2;
    out << QStringLiteral("Защищённый тест записан: \"%1\". Без пароля его не открыть; храните "
                          "исходный файл \"%2\" у себя.\n")
               .arg(native(target), native(path));
    return 0;
}

int unseal(const QString &path, const QString &target, const QString &passwordFile,
           const PasswordReader &read, QTextStream &out, QTextStream &err)
{
    if (samePlace(path, target)) {
        err << QStringLiteral("Открытый тест записывается в другой файл.\n");
        return 2;
    }
    QByteArray content;
    QString error;
    if (!readSealed(path, content, QStringLiteral("Тест \"%1\" не защищён паролем."), &error)) {
        err << error << '\n';
        return 2;
    }
    const std::optional<QString> password = obtainPassword(passwordFile, read, false, &error);
    if (!password) {
        err << error << '\n';
        return 2;
    }
    sealed::Opened opened = openSealed(content, *password);
    if (opened.status != sealed::Status::Opened) {
        err << sealed::message(opened.status, native(path)) << '\n';
        return opened.status == sealed::Status::WrongPassword ? 1 : 2;
    }
    const bool written = writeFile(target, opened.test, err);
    sealed::wipe(opened.test);
    if (!written)
        return 2;
    out << QStringLiteral("Тест без защиты записан: \"%1\".\n").arg(native(target));
    return 0;
}

const QString kUsage = QStringLiteral(
    "Использование: merilon-check --seal ТЕСТ.tstt [ВЫХОД.tstt] [--password-file ФАЙЛ]\n"
    "               merilon-check --unseal ТЕСТ.tstt ВЫХОД.tstt [--password-file ФАЙЛ]\n");

} // namespace

std::optional<QString> obtainPassword(const QString &passwordFile, const PasswordReader &read,
                                      bool twice, QString *error)
{
    QString password;
    if (!passwordFile.isEmpty()) {
        QByteArray bytes;
        if (!readWholeFile(passwordFile, bytes, error))
            return std::nullopt;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        const qsizetype end = bytes.indexOf('\n');
        password = QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
        if (password.endsWith(QLatin1Char('\r')))
            password.chop(1);
        sealed::wipe(bytes);
    } else {
        std::optional<QString> typed = read ? read(QStringLiteral("Пароль: ")) : std::nullopt;
        if (!typed) {
            *error = QStringLiteral("Пароль не введён.");
            return std::nullopt;
        }
        password = *typed;
        if (twice) {
            const std::optional<QString> again = read(QStringLiteral("Пароль ещё раз: "));
            if (!again || *again != password) {
                *error = QStringLiteral("Пароли не совпадают.");
                return std::nullopt;
            }
        }
    }
    if (twice && password.size() < kMinPasswordLength) {
        *error = QStringLiteral("Пароль слишком короткий: нужно не меньше %1 знаков.")
                     .arg(kMinPasswordLength);
        return std::nullopt;
    }
    if (password.isEmpty()) {
        *error = QStringLiteral("Пароль пуст.");
        return std::nullopt;
    }
    return password;
}

std::optional<sealed::RecordKey> sealedRecordKey(const QString &path, const QString &password,
                                                 QString *error)
{
    QByteArray content;
    if (!readSealed(path, content,
                    QStringLiteral("Тест \"%1\" не защищён паролем: записи проверяются только по "
                                   "защищённому тесту."),
                    error))
        return std::nullopt;
    sealed::Opened opened = openSealed(content, password);
    sealed::wipe(opened.test);
    if (opened.status != sealed::Status::Opened) {
        *error = sealed::message(opened.status, native(path));
        return std::nullopt;
    }
    return std::move(opened.recordKey);
}

int runSealTool(const QStringList &arguments, const PasswordReader &read, QTextStream &out,
                QTextStream &err)
{
    const QString command = arguments.value(0);
    if (command != QLatin1String("--seal") && command != QLatin1String("--unseal"))
        return -1;
    QStringList files;
    QString passwordFile;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--password-file") && i + 1 < arguments.size()) {
            passwordFile = arguments[++i];
        } else if (arguments[i].startsWith(QLatin1Char('-'))) {
            err << QStringLiteral("Непонятный параметр: %1\n\n").arg(arguments[i]) << kUsage;
            return 2;
        } else {
            files << arguments[i];
        }
    }
    if (command == QLatin1String("--seal")) {
        if (files.isEmpty() || files.size() > 2) {
            err << kUsage;
            return 2;
        }
        return seal(files[0], files.value(1), passwordFile, read, out, err);
    }
    if (files.size() != 2) {
        err << kUsage;
        return 2;
    }
    return unseal(files[0], files[1], passwordFile, read, out, err);
}

} // namespace merilon
