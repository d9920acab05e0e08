#include "testdocument.h"

#include "fileformat.h"
#include "richtext/richtext.h"
#include "testcheck.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>

namespace merilon {

namespace {

constexpr double kTextPoints = 11;

// The plain test of a sealed file in `content`, with the password the teacher gives; the
// sealed bytes are replaced by it.
TestDocument::OpenResult unseal(const QString &path, QByteArray &content,
                                const TestDocument::PasswordPrompt &ask, QString *message,
                                std::optional<sealed::RecordKey> &recordKey)
{
    const QString name = QDir::toNativeSeparators(path);
    sealed::Container container;
    if (const sealed::Status status = sealed::parse(content, container);
        status != sealed::Status::Opened) {
        if (message)
            *message = sealed::message(status, name);
        return TestDocument::OpenResult::Unreadable;
    }
    for (bool again = false;; again = true) {
        const std::optional<QString> password = ask ? ask(again) : std::nullopt;
        if (!password)
            return TestDocument::OpenResult::Cancelled;
        QByteArray bytes = sealed::passwordBytes(*password);
        const bool busy = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        const std::optional<sealed::Key> key = sealed::passwordKey(container, bytes);
        sealed::Opened opened;
        if (key)
            opened = sealed::openWithKey(container, *key);
        if (busy)
            QGuiApplication::restoreOverrideCursor();
        sealed::wipe(bytes);
        if (!key)
            opened.status = sealed::Status::TooCostly; // its memory cannot be had
        if (opened.status == sealed::Status::WrongPassword)
            continue;
        if (opened.status != sealed::Status::Opened) {
            if (message)
                *message = sealed::message(opened.status, name);
            return TestDocument::OpenResult::Unreadable;
        }
        content = std::move(opened.test);
        recordKey = std::move(opened.recordKey);
        return TestDocument::OpenResult::Opened;
    }
}

} // namespace

TestDocument::TestDocument(RichText &document, RichText &questionArea, RichText &information)
    : m_document(document), m_questionArea(questionArea), m_information(information)
{}

TestSettings TestDocument::standardSettings()
{
    TestSettings settings;
    settings.QuestionCount = 50;
    settings.GradeThresholds = {0, 60, 60, 75, 90};
    settings.TimeLimitMinutes = 10;
    settings.QuestionsPerAttempt = 20;
    return settings;
}

bool TestDocument::load(const QString &path, RichText &into, QString *error)
{
    if (!into.Lines().LoadFromFile(path, error))
        return false;
    // Every question and variant copied out of the test has this size.
    into.SelectAll();
    into.SetSelSize(kTextPoints);
    into.SetSelStart(0);
    return true;
}

bool TestDocument::loadAndCheck(const QString &path, RichText &into,
                                std::vector<TestProblem> &problems, QString *error)
{
    problems.clear();
    QByteArray content;
    if (!readWholeFile(path, content, error))
        return false;
    if (sealed::looksSealed(content)) {
        if (error)
            *error = QStringLiteral("Тест \"%1\" защищён паролем. Проверьте его исходный файл "
                                    "или снимите защиту: merilon-check --unseal.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    loadAndCheck(content, into, problems);
    return true;
}

void TestDocument::loadAndCheck(const QByteArray &content, RichText &into,
                                std::vector<TestProblem> &problems)
{
    problems.clear();
    const QString foreign = wordProcessorFileProblem(
        QByteArrayView(content).first(std::min<qsizetype>(content.size(), kFileHeadSize)));
    if (!foreign.isEmpty()) {
        problems.push_back({true, 0, -1, foreign});
        return;
    }
    into.setFileContent(content);
    // Every question and variant copied out of the test has this size.
    into.SelectAll();
    into.SetSelSize(kTextPoints);
    into.SetSelStart(0);
    problems = checkTest(into, standardSettings().QuestionCount);
}

TestDocument::OpenResult TestDocument::open(const QString &path, QString *message,
                                            const PasswordPrompt &ask)
{
    // What the question area showed, for an opening that fails.
    const QByteArray shown = m_questionArea.toRtf();
    const bool wasReadOnly = m_questionArea.ReadOnly();
    const auto restore = [&] {
        m_questionArea.setRtf(shown);
        m_questionArea.SetReadOnly(wasReadOnly);
    };

    m_questionArea.SetReadOnly(false);
    m_questionArea.Lines().Clear();
    m_questionArea.Lines().Add(QStringLiteral("Идет распаковка файла теста..."));

    QByteArray content;
    if (!readWholeFile(path, content, message)) {
        restore();
        return OpenResult::Unreadable;
    }
    std::optional<sealed::RecordKey> recordKey;
    if (sealed::looksSealed(content)) {
        if (const OpenResult unsealed = unseal(path, content, ask, message, recordKey);
            unsealed != OpenResult::Opened) {
            restore();
            return unsealed;
        }
    }
    // The new test replaces the loaded one only once it has passed the check.
    RichText loaded;
    std::vector<TestProblem> problems;
    loadAndCheck(content, loaded, problems);
    // A sealed test's plain bytes live on only in the document.
    sealed::wipe(content);
    const TestSettings settings = standardSettings();
    if (hasErrors(problems)) {
        if (message)
            *message = refusalMessage(problems);
        restore();
        return OpenResult::Refused;
    }
    m_document.takeDocumentOf(loaded);
    m_settings = settings;
    m_fileName = QFileInfo(path).fileName();
    m_recordKey = std::move(recordKey);

    // The information text, with its formatting, in place of the message.
    m_information.SelectAll();
    m_questionArea.Lines().Clear();
    m_questionArea.insertSelectionOf(m_information);
    m_information.SetSelStart(0);
    m_questionArea.SelectAll();
    m_questionArea.SetSelSize(kTextPoints);
    // A paste can leave an empty last line; a real line of the text stays.
    const int last = m_questionArea.Lines().Count() - 1;
    if (last >= 0 && m_questionArea.Lines()[last].isEmpty())
        m_questionArea.Lines().Delete(last);
    m_questionArea.SetSelStart(0); // the caret at the top, nothing left highlighted

    RichText::ClearClipboard();
    m_questionArea.SetReadOnly(true);
    return OpenResult::Opened;
}

void TestDocument::close()
{
    m_document.Lines().Clear();
    m_recordKey.reset();
}

} // namespace merilon
