// Decoding of "stream" values.
#include "request/stream_decoder.h"

#include "base/exception.h"
#include "base/format.h"
#include "platform/compression/zlib_stream.h"

#include <array>

namespace vl {

namespace {

constexpr uint8_t NotInAlphabet = 0xFF;

constexpr std::array<uint8_t, 256> MakeBase64Table()
{
    std::array<uint8_t, 256> table{};
    for (auto& entry : table)
        entry = NotInAlphabet;
    constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (uint8_t i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(Alphabet[i])] = i;
    return table;
}

constexpr std::array<uint8_t, 256> Base64Values = MakeBase64Table();

} // namespace

std::string DecodeBase64Lenient(StringView text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3 + 2);
    uint32_t group = 0;
    int count = 0;
    for (char16_t c : text) {
        const uint8_t value = c < 256 ? Base64Values[c] : NotInAlphabet;
        if (value == NotInAlphabet) continue;
        group = (group << 6) | value;
        if (++count == 4) {
            out.push_back(static_cast<char>(group >> 16));
            out.push_back(static_cast<char>(group >> 8));
            out.push_back(static_cast<char>(group));
            group = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out.push_back(static_cast<char>(group >> 4));
    } else if (count == 3) {
        out.push_back(static_cast<char>(group >> 10));
        out.push_back(static_cast<char>(group >> 2));
    }
    return out;
}

void DecodeStreamValue(StringView text, MemoryStream& target, InflateBudget& budget)
{
    target = MemoryStream();
    if (text.empty()) return;
    auto bytes = TryInflateGzip(DecodeBase64Lenient(text), budget.Left);
    if (!bytes)
        throw ELimitExceeded(Format(u"The \"stream\" values of one request may inflate to at "
                                    u"most %d bytes together",
                                    {static_cast<int64_t>(budget.Total)}));
    budget.Left -= bytes->size();
    target = MemoryStream(std::move(*bytes));
}

} // namespace vl
