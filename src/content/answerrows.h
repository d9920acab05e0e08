#pragma once

#include "questionblock.h"

#include <QObject>
#include <cstdint>

class QKeyEvent;
class QRadioButton;
class QWidget;

namespace merilon {

class RichEdit;
class TMainForm;

// The answer rows of the main window: row k is the radio button "Radiootv"k
// beside the rich-text control "Editorvarotv"k. Rows 1 and 2 belong to the
// window's layout; rows 3 and up are made for a question that needs them and
// removed before the next one. Each radio button carries its row's correct
// flag.
class AnswerRows : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRows = MaxVariantRows;

    explicit AnswerRows(TMainForm &form);

    // The number of rows in use for the question on screen.
    std::uint8_t VariantCount() const { return m_variantCount; }
    void setVariantCount(std::uint8_t count) { m_variantCount = count; }

    // Records `n` rows in use and makes rows 3 to n.
    void CreateAnswerRows(std::uint8_t n);
    // Removes rows 3 and up, empties the others and the question area.
    void ResetAnswerRows();
    // Shares the height of the variant panel among the rows in use and
    // centres each radio button on its row.
    void LayoutAnswerRows();
    // Counts the chosen row when it is a correct variant, then locks the
    // choice until the next question is shown.
    void ReadAnswer(std::uint16_t &CorrectCount);

    // Puts the focus on row A's radio button with its focus mark shown, so that a key press
    // acts on what the examinee sees.
    void focusFirstRow();
    // Chooses row k (1 to the rows in use) as a click on its radio button would, and puts the
    // focus there; false, and nothing happens, while the rows take no answer.
    bool chooseRow(int k);

    // Row k's controls, found by name among the window's children.
    QRadioButton *radio(int k) const;
    RichEdit *editor(int k) const;

    static bool isCorrect(const QRadioButton *button);
    static void setCorrect(QRadioButton *button, bool correct);
    // Unchecks a button of an exclusive group.
    static void uncheck(QRadioButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Arrows on a row and the letter keys anywhere in the answer's reach.
    bool keyPressed(QObject *watched, const QKeyEvent &event);
    void watchKeys(QWidget *widget);
    void showFocusOn(QWidget *widget);

    TMainForm &m_form;
    std::uint8_t m_variantCount = 0;
};

} // namespace merilon
