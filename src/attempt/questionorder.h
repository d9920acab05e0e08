#pragma once

#include <cstdint>
#include <vector>

namespace merilon {

// The random order of the questions of an attempt: a linear congruential
// generator whose one stream runs through the whole program run.
class QuestionOrderGenerator
{
public:
    explicit QuestionOrderGenerator(std::uint32_t seed = 0) : m_seed(seed) {}

    // Seeds from the finest clock the system has; called once per run.
    void Seed();
    void setSeed(std::uint32_t seed) { m_seed = seed; }
    std::uint32_t seed() const { return m_seed; }

    // An integer r with 0 <= r < n; 0 when n is 0.
    std::uint32_t randomBelow(std::uint32_t n);

    // Sets `order` to a random permutation of 1 .. n.
    void fillOrder(std::vector<std::int32_t> &order, std::uint16_t n);

private:
    std::uint32_t m_seed;
};

// The low 32 bits of the system's high-resolution counter, or of its
// millisecond tick count when the counter cannot be read.
std::uint32_t clockSeed();

} // namespace merilon
