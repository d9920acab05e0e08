#pragma once

#include <QString>
#include <vector>

namespace merilon {

class RichText;

// Something a teacher should hear about a test document.
struct TestProblem
{
    // An error keeps the test from opening; a warning is worth knowing.
    bool error = false;
    int question = 0; // its number; 0 for the file as a whole
    int line = -1;    // 0-based line of the document, -1 when there is none
    QString text;

    bool operator==(const TestProblem &) const = default;
};

// An empty file, or one with no question marker at all, gets one error that
// says so and nothing else. Otherwise checks questions 1 .. `questionCount`
// with the rules of the display: an
// error for a question the display cannot show (no marker, a marker out of
// order, no '+' or '-' variant, more variants than rows), a warning for
// whatever shows differently from what its author probably meant.
std::vector<TestProblem> checkTest(const RichText &document, int questionCount);

bool hasErrors(const std::vector<TestProblem> &problems);

// "Вопрос 3, строка 17: ..." with the line counted from 1.
QString describeProblem(const TestProblem &problem);

// The warning Open shows for a refused test: its errors, at most ten of them.
QString refusalMessage(const std::vector<TestProblem> &problems);

} // namespace merilon
