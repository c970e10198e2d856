// RC4: key scheduling over a 256-byte permutation, then one key-stream byte per data byte.
#include "pdf/rc4.h"

#include <utility>

namespace vl {

TvlxRC4::TvlxRC4()
{
    for (int i = 0; i < 256; ++i)
        FState[size_t(i)] = uint8_t(i);
}

void TvlxRC4::Start(const uint8_t* key, size_t length)
{
    if (length < 1 || length > 256) return;
    for (int i = 0; i < 256; ++i)
        FState[size_t(i)] = uint8_t(i);
    uint8_t j = 0;
    for (size_t i = 0; i < 256; ++i) {
        j = uint8_t(j + FState[i] + key[i % length]);
        std::swap(FState[i], FState[j]);
    }
    FI = 0;
    FJ = 0;
}

void TvlxRC4::Crypt(const uint8_t* source, uint8_t* target, size_t length)
{
    for (size_t k = 0; k < length; ++k) {
        FI = uint8_t(FI + 1);
        FJ = uint8_t(FJ + FState[FI]);
        std::swap(FState[FI], FState[FJ]);
        target[k] = source[k] ^ FState[uint8_t(FState[FI] + FState[FJ])];
    }
}

} // namespace vl
