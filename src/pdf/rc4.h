// RC4 stream cipher: the cipher of the PDF standard security handler (revision 3).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vl {

// Start(key) sets up the key stream; each Crypt continues it. Encryption and decryption are the
// same operation.
class TvlxRC4
{
public:
    TvlxRC4();

    // Accepts keys of 1 to 256 bytes; any other length leaves the cipher unchanged.
    void Start(const uint8_t* key, size_t length);
    // Encrypts `length` bytes of `source` into `target`; the two may be the same buffer.
    void Crypt(const uint8_t* source, uint8_t* target, size_t length);

private:
    std::array<uint8_t, 256> FState;
    uint8_t FI = 0;
    uint8_t FJ = 0;
};

} // namespace vl
