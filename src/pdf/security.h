// Document encryption with the PDF standard security handler, revision 3: RC4 with a 128-bit key.
// The values are computed once when a protected document starts; afterwards every string and
// stream of an object is encrypted with that object's own key (the document key extended by the
// object number), and the encryption dictionary goes into the trailer.
#pragma once

#include "base/string.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// Permissions of a protected document; a set of them is a bit mask with bit (1 << enumerator).
enum class TvlxPDFEncBits : uint8_t
{
    ePrint,
    eModify,
    eCopy,
    eAnnot
};

constexpr uint32_t EncBit(TvlxPDFEncBits bit)
{
    return 1u << uint32_t(bit);
}

inline constexpr uint32_t AllEncBits = 0x0F;

// The permission value P: 0xFFFFFFC0 plus 4 (print), 8 (modify), 16 (copy), 32 (annotate).
// All four give -4, none -64.
int32_t PermissionValue(uint32_t protectionFlags);

// Protection is on when either password is non-empty.
bool IsProtected(std::string_view userPassword, std::string_view ownerPassword);

class PdfSecurity
{
public:
    // Computes O, the document key and U. An empty owner password takes the user password;
    // passwords longer than 32 bytes are cut to 32. `fileIdentifier` is the document identifier
    // as 32 hexadecimal digits; its 16 bytes enter the key.
    PdfSecurity(std::string_view userPassword,
                std::string_view ownerPassword,
                uint32_t protectionFlags,
                std::string_view fileIdentifier);

    int32_t P() const { return FP; }
    const std::array<uint8_t, 32>& O() const { return FO; }
    const std::array<uint8_t, 32>& U() const { return FU; }
    const std::array<uint8_t, 16>& Key() const { return FKey; }

    // The RC4 key of one object: MD5 of the document key, the object number's three low bytes
    // (low byte first) and generation 0 as two bytes.
    std::array<uint8_t, 16> ObjectKey(uint32_t objectNumber) const;

    // Encrypts (or decrypts: the operation is its own inverse) data of one object in place.
    void Crypt(uint32_t objectNumber, std::string& bytes) const;

    // A text string of one object: FE FF and the UTF-16 code units high byte first, encrypted,
    // escaped and enclosed in parentheses.
    std::string TextString(uint32_t objectNumber, StringView text) const;

    // The lines from "/Encrypt <<" to ">>", each ending with CR LF, for the trailer dictionary.
    std::string EncryptDictionary() const;

private:
    int32_t FP;
    std::array<uint8_t, 32> FO;
    std::array<uint8_t, 32> FU;
    std::array<uint8_t, 16> FKey;
};

// The form of document information and outline strings: HexTextString without protection,
// PdfSecurity::TextString with it (`security` may be null).
std::string EncodeTextString(StringView text, const PdfSecurity* security, uint32_t objectNumber);

} // namespace vl
