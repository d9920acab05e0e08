#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace merilon {

class RichText;

// The fixed settings of a test, set each time a test is opened.
struct TestSettings
{
    std::uint16_t QuestionCount = 0;
    std::uint16_t TimeLimitMinutes = 0;
    std::uint16_t QuestionsPerAttempt = 0;
    // Entry g (1 to 4) is the lowest percentage that earns grade g + 1.
    std::array<std::uint8_t, 5> GradeThresholds{};

    bool operator==(const TestSettings &) const = default;
};

// The loaded test: the document in the hidden control, its settings, and
// opening a file into it.
class TestDocument
{
public:
    // `document` holds the test, `questionArea` shows it, `information` is
    // the fixed information text shown when a test has been opened.
    TestDocument(RichText &document, RichText &questionArea, RichText &information);

    // Loads the file and shows the information text in the question area.
    // On failure `error` names the file and the reason, and everything is
    // as it was before.
    bool open(const QString &path, QString *error);

    const TestSettings &settings() const { return m_settings; }
    RichText &document() { return m_document; }

private:
    RichText &m_document;
    RichText &m_questionArea;
    RichText &m_information;
    TestSettings m_settings;
};

} // namespace merilon
