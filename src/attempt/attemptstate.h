#pragma once

#include <QDateTime>
#include <cstdint>
#include <vector>

namespace merilon {

// The variables of the one attempt that can run at a time.
struct AttemptState
{
    bool Registered = false;
    QDateTime StartTime;
    std::uint16_t CorrectCount = 0;
    std::uint16_t AskedCount = 0;
    std::uint16_t CurrentQuestion = 0;
    std::vector<std::int32_t> QuestionOrder;
    // For each question answered, in order: whether the answer was right.
    std::vector<bool> AnsweredRight;
};

// The local date and time; tests set their own.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace merilon
