// 32-bit two's-complement arithmetic for the counters and the timer period,
// which wrap around as 32-bit machine integers do, without the undefined
// behaviour of signed overflow.
#pragma once

#include <cstdint>

namespace tarvik {

std::int32_t WrapAdd(std::int32_t a, std::int32_t b);
std::int32_t WrapMul(std::int32_t a, std::int32_t b);

}  // namespace tarvik
