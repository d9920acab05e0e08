#include "attemptcontroller.h"

#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "richtext/richedit.h"
#include "shell/desktop.h"
#include "shell/mainform.h"
#include "shell/passwordform.h"
#include "shell/statusbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>
#include <QTimer>

namespace merilon {

AttemptController::AttemptController(const Parts &parts, QObject *parent)
    : QObject(parent), m_parts(parts)
{
    const TMainForm::Controls &ui = parts.form.controls();
    connect(ui.FileOpen1, &QAction::triggered, this, &AttemptController::FileOpen1Execute);
    connect(ui.FileExit1, &QAction::triggered, &parts.form, &QWidget::close);
    connect(ui.Start, &QAction::triggered, this, &AttemptController::StartExecute);
    connect(ui.Stop, &QAction::triggered, this, &AttemptController::StopExecute);
    connect(ui.Zakruttest, &QAction::triggered, this, &AttemptController::ZakruttestExecute);
    connect(ui.Buttondalshe, &QPushButton::clicked, this, &AttemptController::ButtondalsheClick);
    ui.Buttondalshe->installEventFilter(this);
    connect(&parts.form, &TMainForm::FormCloseQuery, this, &AttemptController::FormCloseQuery);
    connect(&parts.form, &TMainForm::FormClose, this, &AttemptController::FormClose);
    m_order.Seed();
}

void AttemptController::FileOpen1Execute()
{
    // As the other commands: not while the command is off, even when triggered from code
    // (Qt 5 runs a disabled action's trigger()).
    if (!m_parts.form.controls().FileOpen1->isEnabled())
        return;
    const QString path =
        m_parts.desktop.openFileName(&m_parts.form, QStringLiteral("Файлы теста *.tstt (*.tstt)"));
    if (!path.isEmpty())
        FileOpen1Accept(path);
}

void AttemptController::FileOpen1Accept(const QString &path)
{
    QString message;
    const auto askPassword = [this](bool again) -> std::optional<QString> {
        TPasswordform form(&m_parts.form);
        form.setWrongPassword(again);
        if (m_parts.desktop.exec(form) != QDialog::Accepted)
            return std::nullopt;
        return form.takePassword();
    };
    switch (m_parts.test.open(path, &message, askPassword)) {
    case TestDocument::OpenResult::Cancelled:
        return;
    case TestDocument::OpenResult::Unreadable:
        m_parts.desktop.showError(&m_parts.form, message);
        return;
    case TestDocument::OpenResult::Refused:
        m_parts.desktop.showWarning(&m_parts.form, message);
        return;
    case TestDocument::OpenResult::Opened:
        break;
    }
    // A test is loaded: it can be closed and started.
    m_parts.form.setCommandState(CommandState::TestReady);
    m_parts.form.status().setPanelText(ModePanel, QStringLiteral("Запуск теста F5"));
}

void AttemptController::StartExecute()
{
    const TMainForm::Controls &ui = m_parts.form.controls();
    AttemptState &state = m_parts.state;
    if (m_running || !ui.Start->isEnabled())
        return;
    state.Registered = false;
    m_parts.windows.showRegistration();
    if (!state.Registered) {
        m_parts.form.status().setPanelText(ModePanel, QStringLiteral("Выберите тест"));
        return;
    }
    m_running = true; // the clock runs from the registration's OK
    ++m_attempt;
    m_questionShown.invalidate();

    m_parts.form.status().setPanelText(ModePanel, QStringLiteral("Мерилон"));
    ui.Editorvopros->setStatusTip(QStringLiteral("Прочитайте вопрос"));
    m_parts.form.setCommandState(CommandState::AttemptRunning);
    state.CorrectCount = 0;
    state.AnsweredRight.clear();
    ui.Panelgroupodinotv->setEnabled(true);
    state.AskedCount = 0;
    const TestSettings &settings = m_parts.test.settings();
    m_order.fillOrder(state.QuestionOrder, settings.QuestionCount);
    state.CurrentQuestion =
        state.QuestionOrder.empty() ? 0 : std::uint16_t(state.QuestionOrder.front());
    ui.Editorvopros->content().Lines().Clear();
    for (int k = 1; k <= m_parts.rows.VariantCount(); ++k)
        if (RichEdit *edit = m_parts.rows.editor(k))
            edit->content().Lines().Clear();
    m_parts.display.ShowQuestion(state.CurrentQuestion);
    ++state.AskedCount;
    m_parts.rows.LayoutAnswerRows();
    m_parts.rows.focusFirstRow();
    showProgress();
}

void AttemptController::ButtondalsheClick()
{
    if (!m_running)
        return;
    const unsigned attempt = m_attempt;
    AttemptState &state = m_parts.state;
    const TMainForm::Controls &ui = m_parts.form.controls();
    // Not again until the next question is shown.
    ui.Buttondalshe->setEnabled(false);
    const std::uint16_t before = state.CorrectCount;
    m_parts.rows.ReadAnswer(state.CorrectCount);
    state.AnsweredRight.push_back(state.CorrectCount > before);
    // The window repaints before the next question is built.
    QCoreApplication::processEvents();
    if (!stillRunning(attempt))
        return;
    if (state.AskedCount >= m_parts.test.settings().QuestionsPerAttempt ||
        state.AskedCount >= state.QuestionOrder.size()) {
        endAttempt(End::LastAnswer);
        return;
    }
    state.CurrentQuestion = std::uint16_t(state.QuestionOrder[state.AskedCount]);
    m_parts.display.ShowQuestion(state.CurrentQuestion);
    ++state.AskedCount;
    ui.Panelgroupodinotv->setEnabled(true);
    ui.Buttondalshe->setEnabled(true);
    m_parts.rows.focusFirstRow();
    m_questionShown.start();
    showProgress();
}

bool AttemptController::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A press within the double-click interval of the click that showed this question
        // belongs to that click.
        m_swallowRelease =
            m_running && m_questionShown.isValid() &&
            m_questionShown.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
        return m_swallowRelease;
    case QEvent::MouseButtonRelease:
        if (m_swallowRelease) {
            m_swallowRelease = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void AttemptController::StopExecute()
{
    if (!m_running)
        return;
    const unsigned attempt = m_attempt;
    if (!m_parts.desktop.confirm(&m_parts.form,
                                 QStringLiteral("Вы действительно хотите прервать тест?")))
        return;
    if (stillRunning(attempt))
        endAttempt(End::Stop);
}

void AttemptController::ZakruttestExecute()
{
    const TMainForm::Controls &ui = m_parts.form.controls();
    if (!ui.Zakruttest->isEnabled())
        return;
    if (ui.Buttondalshe->isEnabled()) {
        const unsigned attempt = m_attempt;
        if (!m_parts.desktop.confirm(&m_parts.form, QStringLiteral("Закончить мерилон ?")))
            return;
        // An attempt that ended while the question was open has had its report.
        if (stillRunning(attempt))
            finish();
    }
    m_parts.Timetest.stop();
    m_parts.test.close();
    m_parts.rows.ResetAnswerRows();
    m_parts.form.setCommandState(CommandState::NoTest);
    RichText &area = ui.Editorvopros->content();
    area.Lines().Clear();
    area.Lines().Add(QStringLiteral("Для начала работы выбирите тест."));
    ui.Panelvybotv->hide();
}

void AttemptController::FormCloseQuery(bool &CanClose)
{
    if (!m_parts.form.controls().Stop->isEnabled())
        return;
    const unsigned attempt = m_attempt;
    if (!m_parts.desktop.confirm(
            &m_parts.form,
            QStringLiteral("Вы действительно хотите прервать тест и закрыть программу?"))) {
        CanClose = false;
        return;
    }
    if (stillRunning(attempt))
        finish();
}

void AttemptController::FormClose()
{
    RichText::ClearClipboard();
}

void AttemptController::timeOut()
{
    if (m_running)
        endAttempt(End::TimeOut);
}

void AttemptController::finish(const QString &warning)
{
    m_running = false;
    m_parts.Timetest.stop();
    if (!warning.isEmpty())
        m_parts.desktop.showWarning(&m_parts.form, warning);
    m_parts.windows.showResult(m_parts.state.CorrectCount);
}

void AttemptController::endAttempt(End how)
{
    const TMainForm::Controls &ui = m_parts.form.controls();
    finish(how == End::TimeOut ? QStringLiteral("Время теста закончилось!") : QString());
    if (how == End::Stop)
        m_parts.state.CorrectCount = 0;
    // After a time-out Open and Journal stay off until the test is closed.
    m_parts.form.setCommandState(how == End::TimeOut ? CommandState::AttemptTimedOut
                                                     : CommandState::TestReady);
    ui.Editorvopros->content().Lines().Assign(m_parts.information.Lines());
    ui.Panelvybotv->hide();
    if (how != End::TimeOut)
        ui.Editorvopros->setStatusTip(QStringLiteral("Информация о тесте"));
    StatusBar &status = m_parts.form.status();
    status.setPanelText(ModePanel, QStringLiteral("Выберите режим"));
    status.setPanelText(ProgressPanel, QString());
    status.setPanelText(ElapsedPanel, QStringLiteral("0:00:00"));
}

void AttemptController::showProgress()
{
    m_parts.form.status().setPanelText(ProgressPanel,
                                       QStringLiteral("Задание № %1 из %2")
                                           .arg(m_parts.state.AskedCount)
                                           .arg(m_parts.test.settings().QuestionsPerAttempt));
}

} // namespace merilon
