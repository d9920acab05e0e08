#pragma once

#include "questionblock.h"

namespace merilon {

class AnswerRows;
class TMainForm;
class TestDocument;

// Shows a question of the loaded test: its text in the question area and
// its variants in the answer rows, each with the document's formatting.
class QuestionDisplay
{
public:
    QuestionDisplay(TMainForm &form, TestDocument &test, AnswerRows &rows);

    // Shows question `CurrentQuestion` (its number in the document) with its
    // variants, no row chosen; the clipboard is left empty.
    void ShowQuestion(int CurrentQuestion);

    // The block of a question as the display reads it.
    QuestionBlock LocateQuestion(int number) const;
    // Fills the rows in use from the block.
    void FillVariants(const QuestionBlock &block);

private:
    TMainForm &m_form;
    TestDocument &m_test;
    AnswerRows &m_rows;
};

} // namespace merilon
