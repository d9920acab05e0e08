#include "testdocument.h"

#include "fileformat.h"
#include "richtext/richtext.h"
#include "testcheck.h"

#include <QFile>
#include <QFileInfo>

namespace merilon {

namespace {

constexpr double kTextPoints = 11;

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
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QString foreign = wordProcessorFileProblem(file.read(kFileHeadSize));
        if (!foreign.isEmpty()) {
            problems.push_back({true, 0, -1, foreign});
            return true;
        }
    }
    // A file that cannot be opened here is left to the loader, which says why.
    if (!load(path, into, error))
        return false;
    problems = checkTest(into, standardSettings().QuestionCount);
    return true;
}

TestDocument::OpenResult TestDocument::open(const QString &path, QString *message)
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

    // The new test replaces the loaded one only once it has passed the check.
    RichText loaded;
    std::vector<TestProblem> problems;
    if (!loadAndCheck(path, loaded, problems, message)) {
        restore();
        return OpenResult::Unreadable;
    }
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

} // namespace merilon
