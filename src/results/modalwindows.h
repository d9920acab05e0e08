#pragma once

#include "attempt/attemptcontroller.h"

namespace merilon {

class Registration;
class ResultWindow;
class TFormresult;

// The registration and result windows of an attempt, shown modally.
class ModalAttemptWindows final : public AttemptWindows
{
public:
    ModalAttemptWindows(Registration &registration, ResultWindow &result, TFormresult &form);

    void showRegistration() override;
    void showResult(std::uint16_t correct) override;

private:
    Registration &m_registration;
    ResultWindow &m_result;
    TFormresult &m_form;
};

} // namespace merilon
