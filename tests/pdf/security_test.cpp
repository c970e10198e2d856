#include "pdf/pdf_test_tools.h"
#include "pdf/security.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

constexpr char FileId[] = "5f1c2a9e0b7d4c3a8e6f1d2c3b4a5968";

// Reads a literal string body back: the inverse of EscapeLiteral.
std::string Unescape(std::string_view escaped)
{
    std::string out;
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\' || i + 1 == escaped.size()) {
            out += escaped[i];
            continue;
        }
        const char c = escaped[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// The bytes of "/{name} (...)" in the encryption dictionary, unescaped. O and U are 32 bytes, so
// the string ends at the first ")\r\n" at or after their 32 bytes.
std::string DictionaryString(const std::string& dictionary, const std::string& name)
{
    const size_t begin = dictionary.find("/" + name + " (") + name.size() + 3;
    const size_t end = dictionary.find(")\r\n", begin + 32);
    return Unescape(std::string_view(dictionary).substr(begin, end - begin));
}

std::string Bytes(const std::array<uint8_t, 32>& value)
{
    return {reinterpret_cast<const char*>(value.data()), value.size()};
}

} // namespace

TEST(PdfSecurity, PermissionValue)
{
    const struct
    {
        uint32_t Flags;
        int32_t P;
    } cases[] = {
        {AllEncBits, -4},
        {0, -64},
        {EncBit(TvlxPDFEncBits::ePrint), -60},
        {EncBit(TvlxPDFEncBits::eModify) | EncBit(TvlxPDFEncBits::eAnnot), -24},
        {EncBit(TvlxPDFEncBits::eCopy), -48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Flags);
        EXPECT_EQ(PermissionValue(c.Flags), c.P);
    }
    EXPECT_FALSE(IsProtected("", ""));
    EXPECT_TRUE(IsProtected("", "owner"));
    EXPECT_TRUE(IsProtected("user", ""));
}

TEST(PdfSecurity, EncryptionDictionaryHoldsTheEscapedValues)
{
    // Try passwords until O and U contain bytes that need escaping, so the round trip proves it.
    for (int i = 0; i < 200; ++i) {
        const PdfSecurity security("user" + std::to_string(i), "owner", AllEncBits, FileId);
        const std::string dictionary = security.EncryptDictionary();
        ASSERT_TRUE(dictionary.starts_with("/Encrypt <<\r\n/Filter /Standard\r\n/V 2\r\n/R 3\r\n"
                                           "/Length 128\r\n/P -4\r\n/O ("));
        ASSERT_TRUE(dictionary.ends_with(")\r\n>>\r\n"));
        EXPECT_EQ(DictionaryString(dictionary, "O"), Bytes(security.O()));
        EXPECT_EQ(DictionaryString(dictionary, "U"), Bytes(security.U()));
        EXPECT_EQ(std::string_view(Bytes(security.U())).substr(16), std::string(16, '\0'));
        if (dictionary.find_first_of("\\") != std::string::npos) return;
    }
    FAIL() << "no O or U value needed escaping";
}

TEST(PdfSecurity, PasswordsAreCutTo32BytesAndOwnerDefaultsToUser)
{
    const std::string long32(32, 'p');
    const PdfSecurity cut(long32 + "ignored", "", AllEncBits, FileId);
    const PdfSecurity exact(long32, long32, AllEncBits, FileId);
    EXPECT_EQ(cut.O(), exact.O());
    EXPECT_EQ(cut.U(), exact.U());
    EXPECT_EQ(cut.Key(), exact.Key());
}

TEST(PdfSecurity, ObjectDataDecryptsWithTheSameObjectKey)
{
    const PdfSecurity security("u", "o", AllEncBits, FileId);
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    std::string crypted = data;
    security.Crypt(12, crypted);
    EXPECT_NE(crypted, data);
    std::string other = data;
    security.Crypt(13, other);
    EXPECT_NE(other, crypted);
    security.Crypt(12, crypted);
    EXPECT_EQ(crypted, data);
}

// Real readers open the documents: the user password, the owner password, no password when only
// an owner password is set, and the permissions the flags give.
TEST(PdfSecurity, ReadersDecryptStringsAndStreams)
{
    const struct
    {
        const char* Name;
        const char* User;
        const char* Owner;
        uint32_t Flags;
        const char* OpenWith; // password given to the readers
        const char* PdfinfoOption;
        const char* Expect; // a line of qpdf --show-encryption
    } cases[] = {
        {"both", "user", "owner", AllEncBits, "user", "-upw", "P = -4"},
        {"both, owner opens",
         "user",
         "owner",
         AllEncBits,
         "owner",
         "-opw",
         "Supplied password is owner"},
        {"owner only",
         "",
         "owner",
         EncBit(TvlxPDFEncBits::ePrint),
         "",
         "-upw",
         "modify anything: not allowed"},
        {"user only", "same", "", AllEncBits, "same", "-upw", "Supplied password is owner"},
        {"specials", "(\\)", "\r\n", 0, "(\\)", "-upw", "print high resolution: not allowed"},
    };
    const String title = u"Ra\u010Dun \U0001F600 (1)";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const PdfSecurity security(c.User, c.Owner, c.Flags, FileId);
        const auto path = test::TempPath("secured.pdf");
        test::SaveBytes(path, test::MinimalDocument(FileId, &security, title));
        const std::string file = path.string();
        const std::string password = std::string("'--password=") + c.OpenWith + "' ";

        const auto check = test::RunTool("qpdf --check " + password + file);
        EXPECT_EQ(check.Status, 0) << check.Output;
        const auto encryption = test::RunTool("qpdf --show-encryption " + password + file);
        EXPECT_NE(encryption.Output.find("R = 3"), std::string::npos) << encryption.Output;
        EXPECT_NE(encryption.Output.find(c.Expect), std::string::npos) << encryption.Output;
        const auto content =
            test::RunTool("qpdf --show-object=2 --filtered-stream-data " + password + file);
        EXPECT_NE(content.Output.find("% marker-in-content"), std::string::npos) << content.Output;
        const auto info = test::RunTool("pdfinfo " + std::string(c.PdfinfoOption) + " '" +
                                        c.OpenWith + "' " + file);
        EXPECT_EQ(test::InfoField("\n" + info.Output, "Title"), ToUtf8(title)) << info.Output;
    }
}

TEST(PdfSecurity, WrongPasswordIsRefused)
{
    const PdfSecurity security("user", "owner", AllEncBits, FileId);
    const auto path = test::TempPath("refused.pdf");
    test::SaveBytes(path, test::MinimalDocument(FileId, &security));
    EXPECT_NE(test::RunTool("qpdf --check --password=wrong " + path.string()).Status, 0);
}

TEST(EncodeTextString, HexWithoutProtection)
{
    EXPECT_EQ(EncodeTextString(u"A", nullptr, 5), "<FEFF0041>");
    const PdfSecurity security("u", "", AllEncBits, FileId);
    const std::string encrypted = EncodeTextString(u"A", &security, 5);
    EXPECT_TRUE(encrypted.starts_with("(") && encrypted.ends_with(")"));
    std::string bytes = Unescape(std::string_view(encrypted).substr(1, encrypted.size() - 2));
    security.Crypt(5, bytes);
    EXPECT_EQ(bytes, std::string("\xFE\xFF\x00\x41", 4));
}

} // namespace vl
