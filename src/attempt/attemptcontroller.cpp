#include "attemptcontroller.h"

#include "content/testdocument.h"
#include "shell/desktop.h"
#include "shell/mainform.h"
#include "shell/statusbar.h"
#include "ui_mainform.h"

namespace merilon {

AttemptController::AttemptController(TMainForm &form, TestDocument &test, Desktop &desktop,
                                     QObject *parent)
    : QObject(parent), m_form(form), m_test(test), m_desktop(desktop)
{
    connect(form.widgets().FileOpen1, &QAction::triggered, this,
            &AttemptController::FileOpen1Execute);
    connect(form.widgets().FileExit1, &QAction::triggered, &form, &QWidget::close);
    m_order.Seed();
}

void AttemptController::FileOpen1Execute()
{
    const QString path =
        m_desktop.openFileName(&m_form, QStringLiteral("Файлы теста *.tstt (*.tstt)"));
    if (!path.isEmpty())
        FileOpen1Accept(path);
}

void AttemptController::FileOpen1Accept(const QString &path)
{
    QString message;
    switch (m_test.open(path, &message)) {
    case TestDocument::OpenResult::Unreadable:
        m_desktop.showError(&m_form, message);
        return;
    case TestDocument::OpenResult::Refused:
        m_desktop.showWarning(&m_form, message);
        return;
    case TestDocument::OpenResult::Opened:
        break;
    }
    // A test is loaded: it can be closed and started.
    m_form.widgets().Zakruttest->setEnabled(true);
    m_form.widgets().Start->setEnabled(true);
    m_form.status().setPanelText(ModePanel, QStringLiteral("Запуск теста F5"));
}

} // namespace merilon
