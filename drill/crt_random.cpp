#include "drill/crt_random.h"

int CrtRandom::Next()
{
    // Unsigned arithmetic wraps mod 2^32, exactly as the runtime's does.
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}
