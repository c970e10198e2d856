// Helpers of the PDF tests: a minimal document written through the object writer, and runs of
// the real readers (qpdf, poppler) over files in a temporary directory.
#pragma once

#include "base/stream.h"
#include "pdf/pdf_objects.h"
#include "pdf/security.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vl::test {

struct ToolResult
{
    int Status = -1;
    std::string Output; // standard output and error together
};

inline ToolResult RunTool(const std::string& command)
{
    ToolResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        result.Output.append(chunk.data(), n);
    const int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The value of one "Name:   value" line of pdfinfo's output, or "(missing)".
inline std::string InfoField(const std::string& output, const std::string& name)
{
    const size_t at = output.find("\n" + name + ":");
    if (at == std::string::npos) return "(missing)";
    size_t begin = at + name.size() + 2;
    while (begin < output.size() && output[begin] == ' ')
        ++begin;
    return output.substr(begin, output.find('\n', begin) - begin);
}

// A file in this process's own temporary directory (ctest runs tests in parallel processes),
// which is removed when the process ends.
inline std::filesystem::path TempPath(const std::string& name)
{
    struct Directory
    {
        std::filesystem::path Path =
            std::filesystem::temp_directory_path() / ("vl_pdf_tests_" + std::to_string(getpid()));
        Directory() { std::filesystem::create_directories(Path); }
        ~Directory()
        {
            std::error_code ignored; // cleaning up is best effort
            std::filesystem::remove_all(Path, ignored);
        }
    };
    static const Directory directory;
    return directory.Path / name;
}

inline void SaveBytes(const std::filesystem::path& path, const std::string& bytes)
{
    FileStream file(path.string(), FileStream::Mode::Create);
    file.Write(bytes);
}

// A one-page document whose content draws one line and carries the marker text as a comment,
// with a Title; strings and the stream are encrypted when `security` is given.
inline std::string
MinimalDocument(const std::string& fileId, const PdfSecurity* security, StringView title = u"Title")
{
    MemoryStream out;
    PdfObjectWriter pdf(out);
    pdf.EmitLine("%PDF-1.5");
    const uint32_t pages = pdf.ReserveObject();

    std::string content = "% marker-in-content\r\n0 0 m 100 100 l S\r\n";
    const uint32_t contentNumber = pdf.BeginNewObject();
    if (security) security->Crypt(contentNumber, content);
    pdf.EmitLine("<< /Length " + IntText(int64_t(content.size())) + " >>");
    pdf.EmitLine("stream");
    pdf.EmitRaw(content);
    pdf.EmitLine("endstream");
    pdf.EmitLine("endobj");

    const uint32_t page = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /Page");
    pdf.EmitLine("/Parent " + ObjectRef(pages));
    pdf.EmitLine("/MediaBox [0 0 " + FormatCoord(595.5) + " " + FormatCoord(842) + " ]");
    pdf.EmitLine("/Contents " + ObjectRef(contentNumber));
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    pdf.BeginObject(pages);
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /Pages");
    pdf.EmitLine("/Kids [" + ObjectRef(page) + " ]");
    pdf.EmitLine("/Count 1");
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    const uint32_t info = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Title " + EncodeTextString(title, security, info));
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    const uint32_t catalog = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /Catalog");
    pdf.EmitLine("/Pages " + ObjectRef(pages));
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    pdf.WriteXrefAndTrailer(catalog, info, fileId, security ? security->EncryptDictionary() : "");
    return out.TakeBytes();
}

} // namespace vl::test
