#include "questiondisplay.h"

#include "answerrows.h"
#include "richtext/richedit.h"
#include "shell/mainform.h"
#include "testdocument.h"

#include <QGroupBox>
#include <QRadioButton>

namespace merilon {

namespace {

// Copies a range of the document with its formatting into a read-only
// control.
void transfer(RichText &document, int from, int to, RichText &target)
{
    document.SetSelStart(from);
    document.SetSelLength(to - from);
    target.SetReadOnly(false);
    target.insertSelectionOf(document);
    target.SetReadOnly(true);
}

} // namespace

QuestionDisplay::QuestionDisplay(TMainForm &form, TestDocument &test, AnswerRows &rows)
    : m_form(form), m_test(test), m_rows(rows)
{}

QuestionBlock QuestionDisplay::LocateQuestion(int number) const
{
    return merilon::LocateQuestion(m_test.document(), number, m_test.settings().QuestionCount);
}

void QuestionDisplay::ShowQuestion(int CurrentQuestion)
{
    const TMainForm::Controls &ui = m_form.controls();
    m_rows.ResetAnswerRows();

    QuestionBlock block = LocateQuestion(CurrentQuestion);
    const auto count =
        static_cast<std::uint8_t>(std::min(block.VariantCount(), int(AnswerRows::MaxRows)));
    if (count > 2)
        m_rows.CreateAnswerRows(count);
    else
        m_rows.setVariantCount(count);

    if (block.found()) {
        transfer(m_test.document(), block.textFrom, block.textTo, ui.Editorvopros->content());
        ui.Editorvopros->content().SetSelStart(0);
    }
    ui.Editorvopros->show();
    ui.Panelgroupodinotv->show();
    ui.Panelvybotv->show();

    findVariants(m_test.document(), block, count);
    FillVariants(block);
    ui.GroupBox1->setTitle(QStringLiteral("Укажите один вариант ответа"));
    RichText::ClearClipboard();
}

void QuestionDisplay::FillVariants(const QuestionBlock &block)
{
    int k = 1;
    for (const Variant &variant : block.variants) {
        QRadioButton *button = m_rows.radio(k);
        RichEdit *edit = m_rows.editor(k);
        if (!button || !edit)
            break;
        AnswerRows::setCorrect(button, variant.correct);
        AnswerRows::uncheck(button);
        transfer(m_test.document(), variant.from, variant.to, edit->content());
        edit->content().SetSelStart(0);
        ++k;
    }
}

} // namespace merilon
