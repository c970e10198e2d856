#include "base/exception.h"
#include "pdf/pdf_objects.h"
#include "pdf/pdf_test_tools.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

namespace vl {

TEST(FormatCoord, TwoDecimalsWithAPointWhateverTheLocale)
{
    // A locale with a decimal comma must not reach PDF syntax.
    const char* old = std::setlocale(LC_ALL, "hr_HR.UTF-8");
    const struct
    {
        double Value;
        const char* Expected;
    } cases[] = {
        {12.5, "12.50"},
        {0, "0.00"},
        {-3, "-3.00"},
        {595.2756, "595.28"},
        {-0.001, "0.00"},
        {-0.0, "0.00"},
        {1.005, "1.00"}, // the binary value lies below the half
        {123456789.125, "123456789.12"},
        {NAN, "0.00"},
        {INFINITY, "0.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(FormatCoord(c.Value), c.Expected);
    }
    EXPECT_EQ(IntText(-1234567), "-1234567");
    if (old) std::setlocale(LC_ALL, "C");
}

TEST(PdfStrings, EscapeLiteralAndTextStrings)
{
    EXPECT_EQ(EscapeLiteral(std::string("a(b)c\\d\re\nf\x00\xFF", 13)),
              std::string("a\\(b\\)c\\\\d\\re\\nf\x00\xFF", 18));
    EXPECT_EQ(HexTextString(u""), "<FEFF>");
    EXPECT_EQ(HexTextString(u"Vellum \u010D\U0001F600"),
              "<FEFF00560065006C006C0075006D0020010DD83DDE00>");
    EXPECT_EQ(Utf16BeBytes(u"A\u010D"), std::string("\xFE\xFF\x00\x41\x01\x0D", 6));
    EXPECT_EQ(ObjectRef(12), "12 0 R");
}

TEST(PdfStrings, DateText)
{
    EXPECT_EQ(PdfDateText({2026, 1, 7, 9, 5, 3}), "D:20260107090503");
    EXPECT_EQ(PdfDateText({999, 12, 31, 23, 59, 59}), "D:09991231235959");
}

TEST(PdfStrings, FileIdentifierIsTheDigestOfTheGuidRegistryText)
{
    const Guid guid = {0x6B,
                       0x29,
                       0xFC,
                       0x40,
                       0xCA,
                       0x47,
                       0x10,
                       0x67,
                       0xB3,
                       0x1D,
                       0x00,
                       0xDD,
                       0x01,
                       0x06,
                       0x62,
                       0xDA};
    EXPECT_EQ(GuidRegistryText(guid), "{6B29FC40-CA47-1067-B31D-00DD010662DA}");
    // md5("{6B29FC40-CA47-1067-B31D-00DD010662DA}") computed independently.
    EXPECT_EQ(FileIdentifier(guid), "b326cb5cfd416b5d67b5fba872d65d8b");

    const Guid fresh = SystemClock().NewGuid();
    EXPECT_EQ(GuidRegistryText(fresh).size(), 38u);
    EXPECT_NE(SystemClock().NewGuid(), fresh);
}

TEST(PdfObjectWriter, OffsetsHaveTenDigitsUpToTheLimit)
{
    EXPECT_EQ(OffsetText(0), "0000000000");
    EXPECT_EQ(OffsetText(1234), "0000001234");
    EXPECT_EQ(OffsetText(PdfMaxOffset), "9999999999");
    EXPECT_THROW(OffsetText(PdfMaxOffset + 1), ELimitExceeded);
}

// Every cross-reference line is 20 bytes and points at the first byte of "{N} 0 obj"; object 1
// is reserved first and written last, and its entry holds the offset where it was written.
TEST(PdfObjectWriter, CrossReferenceTablePointsAtEveryObject)
{
    const std::string id = "0123456789abcdef0123456789abcdef";
    const std::string pdf = test::MinimalDocument(id, nullptr);

    const size_t xref = pdf.rfind("\r\nxref\r\n") + 2;
    const size_t startxref = pdf.rfind("startxref\r\n") + 11;
    EXPECT_EQ(std::stoull(pdf.substr(startxref)), xref);
    ASSERT_EQ(pdf.substr(xref, 31), "xref\r\n0 6\r\n0000000000 65535 f\r\n");
    size_t line = xref + 11 + 20;
    for (uint32_t number = 1; number <= 5; ++number, line += 20) {
        SCOPED_TRACE(number);
        EXPECT_EQ(pdf.substr(line + 10, 10), " 00000 n\r\n");
        const size_t offset = std::stoull(pdf.substr(line, 10));
        EXPECT_EQ(pdf.substr(offset, IntText(number).size() + 8), IntText(number) + " 0 obj\r\n");
    }
    EXPECT_EQ(pdf.substr(line, 8), "trailer\r");
    EXPECT_NE(pdf.find("/ID [<" + id + "><" + id + ">]\r\n"), std::string::npos);
    EXPECT_TRUE(pdf.ends_with("%%EOF\r\n"));
    const size_t pagesOffset = std::stoull(pdf.substr(xref + 31, 10));
    EXPECT_GT(pagesOffset, pdf.find("/Type /Page\r\n"));

    const auto path = test::TempPath("minimal.pdf");
    test::SaveBytes(path, pdf);
    const auto check = test::RunTool("qpdf --check " + path.string());
    EXPECT_EQ(check.Status, 0) << check.Output;
    EXPECT_NE(check.Output.find("No syntax or stream encoding errors"), std::string::npos)
        << check.Output;
    const auto info = test::RunTool("pdfinfo " + path.string());
    EXPECT_EQ(test::InfoField("\n" + info.Output, "Title"), "Title") << info.Output;
}

// Large pieces bypass the buffer; offsets must still count every byte in order.
TEST(PdfObjectWriter, PositionCountsBufferedAndDirectWrites)
{
    MemoryStream out;
    PdfObjectWriter pdf(out);
    pdf.EmitLine("%PDF-1.5");
    pdf.EmitRaw(std::string(100000, 'x'));
    pdf.EmitLine("");
    const uint32_t n = pdf.BeginNewObject();
    EXPECT_EQ(pdf.ObjectOffset(n), 10u + 100000 + 2);
    pdf.Flush();
    EXPECT_EQ(out.Bytes().size(), pdf.Position());
    EXPECT_EQ(out.Bytes().substr(pdf.ObjectOffset(n), 8), "1 0 obj\r");
}

} // namespace vl
