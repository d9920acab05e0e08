#include "modalwindows.h"

#include "attempt/registration.h"
#include "resultwindow.h"
#include "shell/formresult.h"

namespace merilon {

ModalAttemptWindows::ModalAttemptWindows(Registration &registration, ResultWindow &result,
                                         TFormresult &form)
    : m_registration(registration), m_result(result), m_form(form)
{}

void ModalAttemptWindows::showRegistration()
{
    m_registration.run();
}

void ModalAttemptWindows::showResult(std::uint16_t correct)
{
    m_result.ComputeResult(correct);
    m_form.exec();
}

} // namespace merilon
