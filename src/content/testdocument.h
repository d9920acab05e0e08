#pragma once

#include "sealedtest.h"
#include "testcheck.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

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

    enum class OpenResult {
        Opened,
        Unreadable, // the file cannot be read: `message` names it and the reason
        Refused,    // the display could not show it: `message` lists the errors
        Cancelled,  // the password was not given
    };

    // Asks the teacher for the password of a sealed test; `again` after a wrong one. Nothing
    // when the teacher cancels.
    using PasswordPrompt = std::function<std::optional<QString>(bool again)>;

    // Loads the file, checks it and shows the information text in the
    // question area. A sealed test is opened with the password `ask` gets, in memory only.
    // Unless it opened, everything is as it was before, a test loaded earlier included.
    OpenResult open(const QString &path, QString *message, const PasswordPrompt &ask = {});
    // Forgets the test: its text, and for a sealed one the key its records are proved with.
    void close();

    // Reads a test file into `into` as Open does, every character at the
    // size the display shows.
    static bool load(const QString &path, RichText &into, QString *error);
    // Reads a test file as Open does and lists its problems: false with `error` when the file
    // cannot be read or is sealed. A word processor's document gets one error that says how
    // to save it as a test, and `into` stays empty.
    static bool loadAndCheck(const QString &path, RichText &into,
                             std::vector<TestProblem> &problems, QString *error);
    // The same for a file's content already read.
    static void loadAndCheck(const QByteArray &content, RichText &into,
                             std::vector<TestProblem> &problems);
    // The settings every opening sets.
    static TestSettings standardSettings();

    const TestSettings &settings() const { return m_settings; }
    // The name of the file the test was opened from.
    const QString &fileName() const { return m_fileName; }
    RichText &document() { return m_document; }
    // The key for the proofs of records written under the open test, when it was sealed.
    const sealed::RecordKey *recordKey() const { return m_recordKey ? &*m_recordKey : nullptr; }

private:
    RichText &m_document;
    RichText &m_questionArea;
    RichText &m_information;
    TestSettings m_settings;
    QString m_fileName;
    std::optional<sealed::RecordKey> m_recordKey;
};

} // namespace merilon
