#include "answerrows.h"

#include "richtext/richedit.h"
#include "rowkeys.h"
#include "shell/fonts.h"
#include "shell/mainform.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

namespace merilon {

namespace {

const char kCorrectProperty[] = "correct";
const QString kHint = QStringLiteral("Укажите вариант ответа");
// A line of text fits a row of 20 pixels, the height of ten rows at the design size.
constexpr qreal kRowMargin = 0;

} // namespace

AnswerRows::AnswerRows(TMainForm &form) : QObject(&form), m_form(form)
{
    connect(&form, &TMainForm::FormResize, this, &AnswerRows::LayoutAnswerRows);
    // The panel also changes size when the hidden answer area is shown again.
    form.controls().Panelgroupedit->installEventFilter(this);
    form.controls().Editorvarotv1->setDocumentMargin(kRowMargin);
    form.controls().Editorvarotv2->setDocumentMargin(kRowMargin);
    form.controls().Editorvarotv1->setScrollBarWhenTextOverflows(true);
    form.controls().Editorvarotv2->setScrollBarWhenTextOverflows(true);
    // The keys that answer: on the rows, on Next and in the question area.
    for (QWidget *widget : {static_cast<QWidget *>(form.controls().Radiootv1),
                            static_cast<QWidget *>(form.controls().Radiootv2),
                            static_cast<QWidget *>(form.controls().Buttondalshe),
                            static_cast<QWidget *>(form.controls().Editorvopros)})
        watchKeys(widget);
}

void AnswerRows::watchKeys(QWidget *widget)
{
    widget->installEventFilter(this);
}

void AnswerRows::focusFirstRow()
{
    if (QRadioButton *first = radio(1); first && first->isEnabled() && first->isVisible())
        showFocusOn(first);
}

void AnswerRows::showFocusOn(QWidget *widget)
{
    // The style draws the focus mark only in a window that the keyboard moves in; the mouse
    // that pressed Next may have said otherwise.
    widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    widget->setFocus(Qt::TabFocusReason);
    widget->update();
}

bool AnswerRows::chooseRow(int k)
{
    QRadioButton *button = k >= 1 && k <= m_variantCount ? radio(k) : nullptr;
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    showFocusOn(button);
    button->setChecked(true);
    return true;
}

bool AnswerRows::keyPressed(QObject *watched, const QKeyEvent &event)
{
    if (auto *button = qobject_cast<QRadioButton *>(watched); button && m_variantCount > 0) {
        // Arrows move to the row before or after and choose it, round the rows in use, as
        // in a radio group of the system.
        int step = 0;
        if (event.key() == Qt::Key_Up || event.key() == Qt::Key_Left)
            step = -1;
        else if (event.key() == Qt::Key_Down || event.key() == Qt::Key_Right)
            step = 1;
        if (step != 0 && !(event.modifiers() & ~Qt::KeypadModifier)) {
            int row = 1;
            for (int k = 1; k <= m_variantCount; ++k)
                if (radio(k) == button)
                    row = k;
            return chooseRow((row - 1 + step + m_variantCount) % m_variantCount + 1);
        }
    }
    const int row = rowOfKey(event);
    return row != 0 && chooseRow(row);
}

QRadioButton *AnswerRows::radio(int k) const
{
    return m_form.findChild<QRadioButton *>(QStringLiteral("Radiootv%1").arg(k));
}

RichEdit *AnswerRows::editor(int k) const
{
    return m_form.findChild<RichEdit *>(QStringLiteral("Editorvarotv%1").arg(k));
}

bool AnswerRows::isCorrect(const QRadioButton *button)
{
    return button && button->property(kCorrectProperty).toInt() == 1;
}

void AnswerRows::setCorrect(QRadioButton *button, bool correct)
{
    button->setProperty(kCorrectProperty, correct ? 1 : 0);
}

void AnswerRows::uncheck(QRadioButton *button)
{
    // An exclusive group never lets its checked button go by itself.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

void AnswerRows::CreateAnswerRows(std::uint8_t n)
{
    n = std::min<std::uint8_t>(n, MaxRows);
    m_variantCount = n;
    const TMainForm::Controls &ui = m_form.controls();
    ui.Panelvybotv->hide();
    for (int k = 3; k <= n; ++k) {
        auto *button = new QRadioButton(ui.Panelgroupodinotv);
        button->setObjectName(QStringLiteral("Radiootv%1").arg(k));
        button->setGeometry(6, ui.Panelgroupodinotv->height() - 1, 32, 20);
        button->setText(QString(QLatin1Char(VariantLetters[k - 1])));
        button->setStatusTip(kHint);
        setCorrect(button, false);
        watchKeys(button);
        button->show();

        auto *edit = new RichEdit(ui.Panelgroupedit);
        edit->setObjectName(QStringLiteral("Editorvarotv%1").arg(k));
        edit->setGeometry(0, ui.Editorvarotv1->height() * (k - 1) + 2, ui.Panelgroupedit->width(),
                          40);
        edit->setFont(serifFont(11));
        edit->setVerticalScrollBarPolicy(ui.Editorvarotv1->verticalScrollBarPolicy());
        edit->setFocusPolicy(ui.Editorvarotv1->focusPolicy());
        edit->setDocumentMargin(kRowMargin);
        edit->setScrollBarWhenTextOverflows(true);
        edit->content().Lines().Clear();
        edit->content().SetReadOnly(true);
        edit->setStatusTip(kHint);
        edit->show();
    }
    LayoutAnswerRows();
    ui.Panelvybotv->show();
}

void AnswerRows::ResetAnswerRows()
{
    const TMainForm::Controls &ui = m_form.controls();
    const int n = m_variantCount == 0 ? 5 : m_variantCount;
    ui.Panelvybotv->hide();
    for (int k = n; k >= 3; --k) {
        delete editor(k);
        delete radio(k);
        m_variantCount = static_cast<std::uint8_t>(k - 1);
    }
    for (int k = 1; k <= (n >= 3 ? 2 : n); ++k) {
        if (RichEdit *edit = editor(k))
            edit->content().Lines().Clear();
        if (QRadioButton *button = radio(k))
            uncheck(button);
    }
    LayoutAnswerRows();
    ui.Panelvybotv->show();
    ui.Editorvopros->content().Lines().Clear();
    for (int k = 1; k <= m_variantCount; ++k) {
        if (RichEdit *edit = editor(k)) {
            edit->content().Lines().Clear();
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Base));
            edit->setPalette(palette);
        }
    }
    ui.Panelvybotv->show();
}

void AnswerRows::LayoutAnswerRows()
{
    const int n = m_variantCount;
    if (n == 0)
        return;
    const QWidget *panel = m_form.controls().Panelgroupedit;
    const int height = panel->height() / n;
    // The rows stack from the top of the panel in order; rows past the ones
    // in use keep their height below them.
    int top = 0;
    for (int k = 1;; ++k) {
        RichEdit *edit = editor(k);
        if (!edit)
            break;
        const int rowHeight = k <= n ? height : edit->height();
        edit->setGeometry(0, top, panel->width(), rowHeight);
        // A row shows its text from the top, whatever it showed at another size.
        edit->verticalScrollBar()->setValue(0);
        if (k <= n) {
            if (QRadioButton *button = radio(k))
                button->move(6, top + rowHeight / 2 - 10);
        }
        top += rowHeight;
    }
}

void AnswerRows::ReadAnswer(std::uint16_t &CorrectCount)
{
    for (int k = 1; k <= m_variantCount; ++k) {
        const QRadioButton *button = radio(k);
        if (button && button->isChecked() && isCorrect(button))
            ++CorrectCount;
    }
    m_form.controls().Panelgroupodinotv->setEnabled(false);
}

bool AnswerRows::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_form.controls().Panelgroupedit)
        LayoutAnswerRows();
    if (event->type() == QEvent::KeyPress && keyPressed(watched, *static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace merilon
