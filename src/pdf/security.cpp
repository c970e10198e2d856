// The standard security handler's algorithms for revision 3 (PDF 1.4): owner value, document
// key, user value and per-object keys.
#include "pdf/security.h"

#include "base/exception.h"
#include "pdf/md5.h"
#include "pdf/pdf_objects.h"
#include "pdf/rc4.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

using Block32 = std::array<uint8_t, 32>;
using Block16 = std::array<uint8_t, 16>;

// The password padding string of the standard security handler.
constexpr Block32 Padding = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                             0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                             0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

// The first 32 bytes of the password, filled up with the start of the padding string.
Block32 PadPassword(std::string_view password)
{
    Block32 padded;
    const size_t take = std::min<size_t>(password.size(), 32);
    std::memcpy(padded.data(), password.data(), take);
    std::memcpy(padded.data() + take, Padding.data(), 32 - take);
    return padded;
}

// Fifty more rounds of MD5 over the previous digest.
Block16 Rehash50(Block16 digest)
{
    for (int i = 0; i < 50; ++i)
        digest = Md5(digest.data(), digest.size());
    return digest;
}

// RC4 under the key, then 19 more times under the key with every byte XORed with 1..19.
template <size_t N>
void Crypt20Rounds(const Block16& key, std::array<uint8_t, N>& data, size_t count)
{
    for (uint8_t round = 0; round < 20; ++round) {
        Block16 roundKey = key;
        for (uint8_t& b : roundKey)
            b ^= round;
        TvlxRC4 rc4;
        rc4.Start(roundKey.data(), roundKey.size());
        rc4.Crypt(data.data(), data.data(), count);
    }
}

Block16 IdentifierBytes(std::string_view hex)
{
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Expects(hex.size() == 32, "document identifier of 32 hexadecimal digits");
    Block16 bytes;
    for (size_t i = 0; i < 16; ++i) {
        const int high = nibble(hex[2 * i]), low = nibble(hex[2 * i + 1]);
        Expects(high >= 0 && low >= 0, "document identifier of hexadecimal digits");
        bytes[i] = uint8_t(high << 4 | low);
    }
    return bytes;
}

} // namespace

int32_t PermissionValue(uint32_t protectionFlags)
{
    uint32_t p = 0xFFFFFFC0u;
    if (protectionFlags & EncBit(TvlxPDFEncBits::ePrint)) p += 4;
    if (protectionFlags & EncBit(TvlxPDFEncBits::eModify)) p += 8;
    if (protectionFlags & EncBit(TvlxPDFEncBits::eCopy)) p += 16;
    if (protectionFlags & EncBit(TvlxPDFEncBits::eAnnot)) p += 32;
    return int32_t(p);
}

bool IsProtected(std::string_view userPassword, std::string_view ownerPassword)
{
    return !userPassword.empty() || !ownerPassword.empty();
}

PdfSecurity::PdfSecurity(std::string_view userPassword,
                         std::string_view ownerPassword,
                         uint32_t protectionFlags,
                         std::string_view fileIdentifier)
    : FP(PermissionValue(protectionFlags))
{
    if (ownerPassword.empty()) ownerPassword = userPassword;
    const Block32 paddedUser = PadPassword(userPassword);
    const Block32 paddedOwner = PadPassword(ownerPassword);
    const Block16 id = IdentifierBytes(fileIdentifier);

    // O: the padded user password under a key made from the owner password.
    const Block16 ownerKey = Rehash50(Md5(paddedOwner.data(), paddedOwner.size()));
    FO = paddedUser;
    Crypt20Rounds(ownerKey, FO, FO.size());

    // The document key: padded user password, O, P (low byte first), identifier.
    TvlxMD5 md5;
    md5.Update(paddedUser.data(), paddedUser.size());
    md5.Update(FO.data(), FO.size());
    const uint32_t p = uint32_t(FP);
    const uint8_t pBytes[4] = {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)};
    md5.Update(pBytes, 4);
    md5.Update(id.data(), id.size());
    FKey = Rehash50(md5.Finalize());

    // U: the digest of padding and identifier under the document key, then 16 zero bytes.
    md5.Update(Padding.data(), Padding.size());
    md5.Update(id.data(), id.size());
    const Block16 userDigest = md5.Finalize();
    FU.fill(0);
    std::memcpy(FU.data(), userDigest.data(), userDigest.size());
    Crypt20Rounds(FKey, FU, 16);
}

std::array<uint8_t, 16> PdfSecurity::ObjectKey(uint32_t objectNumber) const
{
    uint8_t material[21];
    std::memcpy(material, FKey.data(), 16);
    material[16] = uint8_t(objectNumber);
    material[17] = uint8_t(objectNumber >> 8);
    material[18] = uint8_t(objectNumber >> 16);
    material[19] = 0; // generation 0, two bytes
    material[20] = 0;
    return Md5(material, sizeof material);
}

void PdfSecurity::Crypt(uint32_t objectNumber, std::string& bytes) const
{
    const auto key = ObjectKey(objectNumber);
    TvlxRC4 rc4;
    rc4.Start(key.data(), key.size());
    auto* data = reinterpret_cast<uint8_t*>(bytes.data());
    rc4.Crypt(data, data, bytes.size());
}

std::string PdfSecurity::TextString(uint32_t objectNumber, StringView text) const
{
    std::string bytes = Utf16BeBytes(text);
    Crypt(objectNumber, bytes);
    return "(" + EscapeLiteral(bytes) + ")";
}

std::string PdfSecurity::EncryptDictionary() const
{
    auto escaped = [](const std::array<uint8_t, 32>& value) {
        return EscapeLiteral(
            std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
    };
    std::string text = "/Encrypt <<\r\n/Filter /Standard\r\n/V 2\r\n/R 3\r\n/Length 128\r\n/P ";
    text += IntText(FP);
    text += "\r\n/O (" + escaped(FO) + ")\r\n";
    text += "/U (" + escaped(FU) + ")\r\n";
    text += ">>\r\n";
    return text;
}

std::string EncodeTextString(StringView text, const PdfSecurity* security, uint32_t objectNumber)
{
    return security ? security->TextString(objectNumber, text) : HexTextString(text);
}

} // namespace vl
