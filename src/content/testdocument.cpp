#include "testdocument.h"

#include "shell/richtext.h"

namespace merilon {

namespace {

constexpr double kTextPoints = 11;

} // namespace

TestDocument::TestDocument(RichText &document, RichText &questionArea, RichText &information)
    : m_document(document), m_questionArea(questionArea), m_information(information)
{}

bool TestDocument::open(const QString &path, QString *error)
{
    // What the question area showed, for a load that fails.
    const QByteArray shown = m_questionArea.toRtf();
    const bool wasReadOnly = m_questionArea.ReadOnly();

    m_questionArea.SetReadOnly(false);
    m_questionArea.Lines().Clear();
    m_questionArea.Lines().Add(QStringLiteral("Идет распаковка файла теста..."));

    if (!m_document.Lines().LoadFromFile(path, error)) {
        m_questionArea.setRtf(shown);
        m_questionArea.SetReadOnly(wasReadOnly);
        return false;
    }

    m_settings.QuestionCount = 50;
    m_settings.GradeThresholds = {0, 60, 60, 75, 90};
    m_settings.TimeLimitMinutes = 10;
    m_settings.QuestionsPerAttempt = 20;

    // The information text, with its formatting, in place of the message.
    m_information.SelectAll();
    m_questionArea.Lines().Clear();
    m_questionArea.insertSelectionOf(m_information);
    m_information.SetSelStart(0);
    m_questionArea.SelectAll();
    m_questionArea.SetSelSize(kTextPoints);
    m_questionArea.Lines().Delete(m_questionArea.Lines().Count() - 1);
    m_questionArea.SetSelStart(0); // the caret at the top, nothing left highlighted

    // Every question and variant copied out of the test has this size.
    m_document.SelectAll();
    m_document.SetSelSize(kTextPoints);

    RichText::ClearClipboard();
    m_questionArea.SetReadOnly(true);
    return true;
}

} // namespace merilon
