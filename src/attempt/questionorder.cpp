#include "questionorder.h"

namespace merilon {

void QuestionOrderGenerator::Seed()
{
    m_seed = clockSeed();
}

std::uint32_t QuestionOrderGenerator::randomBelow(std::uint32_t n)
{
    m_seed = m_seed * 134775813u + 1u; // modulo 2^32 by unsigned arithmetic
    return static_cast<std::uint32_t>((std::uint64_t{n} * m_seed) >> 32);
}

void QuestionOrderGenerator::fillOrder(std::vector<std::int32_t> &order, std::uint16_t n)
{
    order.assign(n, 0);
    std::vector<bool> taken(n, false);
    for (std::uint16_t k = 0; k < n; ++k) {
        std::uint32_t r = randomBelow(n);
        while (taken[r])
            r = randomBelow(n);
        taken[r] = true;
        order[k] = static_cast<std::int32_t>(r) + 1;
    }
}

} // namespace merilon
