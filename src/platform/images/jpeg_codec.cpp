// The one wrapper of libjpeg: decoding and encoding. libjpeg reports errors by calling an exit
// routine that must not return; ours longjmps back into small C-style step functions that hold
// no C++ objects, and the C++ code around them turns a failed step into an exception.
#include "platform/images/jpeg_codec.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "platform/images/image_error.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <vector>

namespace vl {
namespace {

// The error manager libjpeg calls through; `Manager` comes first so the library's pointer to it
// is a pointer to the whole record.
struct JpegErrorState
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    bool TooManyScans;
    char Message[JMSG_LENGTH_MAX];
};

JpegErrorState& ErrorState(j_common_ptr cinfo)
{
    return *reinterpret_cast<JpegErrorState*>(cinfo->err);
}

[[noreturn]] void ExitWithError(j_common_ptr cinfo)
{
    JpegErrorState& state = ErrorState(cinfo);
    (*cinfo->err->format_message)(cinfo, state.Message);
    std::longjmp(state.Jump, 1);
}

// Warnings are not printed (standard error carries only the failure line). Data that ends early
// is an error: libjpeg would pad it with grey and report success.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ExitWithError(cinfo);
}

void OutputMessage(j_common_ptr) {}

void CheckScanCount(j_common_ptr cinfo)
{
    auto* decoder = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decoder->input_scan_number > limits::JpegMaxScans) {
        ErrorState(cinfo).TooManyScans = true;
        std::longjmp(ErrorState(cinfo).Jump, 1);
    }
}

void InitErrorState(JpegErrorState& state)
{
    jpeg_std_error(&state.Manager);
    state.Manager.error_exit = ExitWithError;
    state.Manager.emit_message = EmitMessage;
    state.Manager.output_message = OutputMessage;
    state.TooManyScans = false;
    state.Message[0] = '\0';
}

// --- C-style steps: each arms the jump and then calls only libjpeg, so the longjmp of an error
// --- never crosses a frame with destructors.

bool TryCreateDecoder(j_decompress_ptr cinfo, JpegErrorState* state)
{
    if (setjmp(state->Jump)) return false;
    jpeg_create_decompress(cinfo);
    return true;
}

bool TryReadHeader(j_decompress_ptr cinfo,
                   JpegErrorState* state,
                   const unsigned char* data,
                   unsigned long size)
{
    if (setjmp(state->Jump)) return false;
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    return true;
}

bool TryStartDecoder(j_decompress_ptr cinfo, JpegErrorState* state)
{
    if (setjmp(state->Jump)) return false;
    jpeg_start_decompress(cinfo);
    return true;
}

bool TryReadRow(j_decompress_ptr cinfo, JpegErrorState* state, JSAMPROW row)
{
    if (setjmp(state->Jump)) return false;
    return jpeg_read_scanlines(cinfo, &row, 1) == 1;
}

bool TryCreateEncoder(j_compress_ptr cinfo, JpegErrorState* state)
{
    if (setjmp(state->Jump)) return false;
    jpeg_create_compress(cinfo);
    return true;
}

bool TryStartEncoder(j_compress_ptr cinfo, JpegErrorState* state, int quality)
{
    if (setjmp(state->Jump)) return false;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    for (int i = 0; i < cinfo->num_components; ++i) {
        cinfo->comp_info[i].h_samp_factor = 1;
        cinfo->comp_info[i].v_samp_factor = 1;
    }
    cinfo->optimize_coding = TRUE;
    jpeg_start_compress(cinfo, TRUE);
    return true;
}

bool TryWriteRow(j_compress_ptr cinfo, JpegErrorState* state, JSAMPROW row)
{
    if (setjmp(state->Jump)) return false;
    jpeg_write_scanlines(cinfo, &row, 1);
    return true;
}

bool TryFinishEncoder(j_compress_ptr cinfo, JpegErrorState* state)
{
    if (setjmp(state->Jump)) return false;
    jpeg_finish_compress(cinfo);
    return true;
}

// A growing malloc'ed output buffer: the callbacks run inside libjpeg, so they report a failed
// allocation through the library's own error exit rather than a C++ exception.
struct JpegSink
{
    jpeg_destination_mgr Manager;
    unsigned char* Data;
    size_t Capacity;
    size_t Used;
};

constexpr size_t SinkInitialBytes = 64 * 1024;

JpegSink& Sink(j_compress_ptr cinfo)
{
    return *reinterpret_cast<JpegSink*>(cinfo->dest);
}

void InitSink(j_compress_ptr cinfo)
{
    JpegSink& sink = Sink(cinfo);
    sink.Data = static_cast<unsigned char*>(std::malloc(SinkInitialBytes));
    if (!sink.Data) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    sink.Capacity = SinkInitialBytes;
    sink.Manager.next_output_byte = sink.Data;
    sink.Manager.free_in_buffer = sink.Capacity;
}

boolean GrowSink(j_compress_ptr cinfo)
{
    JpegSink& sink = Sink(cinfo);
    auto* grown = static_cast<unsigned char*>(std::realloc(sink.Data, sink.Capacity * 2));
    if (!grown) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    sink.Data = grown;
    // libjpeg calls this only when the buffer is full, so the whole old capacity is used.
    sink.Manager.next_output_byte = grown + sink.Capacity;
    sink.Manager.free_in_buffer = sink.Capacity;
    sink.Capacity *= 2;
    return TRUE;
}

void TermSink(j_compress_ptr cinfo)
{
    JpegSink& sink = Sink(cinfo);
    sink.Used = sink.Capacity - sink.Manager.free_in_buffer;
}

struct DecoderGuard
{
    jpeg_decompress_struct* Info;
    ~DecoderGuard() { jpeg_destroy_decompress(Info); }
};

struct EncoderGuard
{
    jpeg_compress_struct* Info;
    JpegSink* Output;
    ~EncoderGuard()
    {
        jpeg_destroy_compress(Info);
        std::free(Output->Data);
    }
};

[[noreturn]] void ThrowJpegError(const JpegErrorState& state)
{
    if (state.TooManyScans) {
        throw ELimitExceeded(
            Format(u"The JPEG image has more than %d scans", {int64_t(limits::JpegMaxScans)}));
    }
    // A step can also fail without a message: a row that libjpeg could not deliver.
    const std::string_view message = state.Message[0] ? state.Message : "the data ends early";
    throw EInvalidGraphic(Format(u"Invalid JPEG image: %s", {FromUtf8(message)}));
}

uint8_t Scale255(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

// One decoded row (RGB or CMYK samples) into bitmap pixels.
void ConvertRow(const uint8_t* in, uint32_t* out, int width, int components, bool adobeInverted)
{
    if (components == 3) {
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = PremultipliedArgb(in[0], in[1], in[2]);
        return;
    }
    for (int x = 0; x < width; ++x, in += 4) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!adobeInverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now each value is the remaining light (255 = no ink).
        out[x] = PremultipliedArgb(Scale255(c, k), Scale255(m, k), Scale255(y, k));
    }
}

} // namespace

Bitmap DecodeJpeg(std::string_view bytes)
{
    JpegErrorState state;
    InitErrorState(state);
    jpeg_decompress_struct info;
    info.err = &state.Manager;
    if (!TryCreateDecoder(&info, &state)) ThrowJpegError(state);
    DecoderGuard guard{&info};

    jpeg_progress_mgr progress{};
    progress.progress_monitor = CheckScanCount;
    info.progress = &progress;

    // jpeg_mem_src refuses empty input itself, with a readable message.
    if (!TryReadHeader(&info,
                       &state,
                       reinterpret_cast<const unsigned char*>(bytes.data()),
                       static_cast<unsigned long>(bytes.size()))) {
        ThrowJpegError(state);
    }
    CheckImageSize(info.image_width, info.image_height, "JPEG");
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!TryStartDecoder(&info, &state)) ThrowJpegError(state);

    const int width = int(info.output_width);
    const int height = int(info.output_height);
    const int components = info.output_components;
    if (components != 3 && components != 4)
        throw EInvalidGraphic("Invalid JPEG image: unsupported colour components");
    Bitmap bitmap(width, height);
    std::vector<JSAMPLE> row(size_t(width) * size_t(components));
    for (int y = 0; y < height; ++y) {
        if (!TryReadRow(&info, &state, row.data())) ThrowJpegError(state);
        ConvertRow(row.data(), bitmap.Row(y), width, components, cmyk && info.saw_Adobe_marker);
    }
    // jpeg_finish_decompress is left out on purpose: it would only check for the end marker,
    // which some writers omit, after every pixel has been read.
    return bitmap;
}

std::string EncodeJpeg(std::span<const uint8_t> rgb, int width, int height, int quality)
{
    Expects(width > 0 && height > 0 && rgb.size() == size_t(width) * size_t(height) * 3,
            "EncodeJpeg: the pixel rows match the size");
    Expects(quality >= 1 && quality <= 100, "EncodeJpeg: quality 1 to 100");
    JpegErrorState state;
    InitErrorState(state);
    jpeg_compress_struct info;
    info.err = &state.Manager;
    if (!TryCreateEncoder(&info, &state)) ThrowJpegError(state);
    JpegSink sink{};
    EncoderGuard guard{&info, &sink};
    sink.Manager.init_destination = InitSink;
    sink.Manager.empty_output_buffer = GrowSink;
    sink.Manager.term_destination = TermSink;
    info.dest = &sink.Manager;
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    if (!TryStartEncoder(&info, &state, quality)) ThrowJpegError(state);
    const size_t stride = size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        // libjpeg takes non-const rows but only reads them.
        auto* row = const_cast<JSAMPLE*>(rgb.data() + size_t(y) * stride);
        if (!TryWriteRow(&info, &state, row)) ThrowJpegError(state);
    }
    if (!TryFinishEncoder(&info, &state)) ThrowJpegError(state);
    return std::string(reinterpret_cast<const char*>(sink.Data), sink.Used);
}

std::string EncodeJpeg(const Bitmap& bitmap, int quality)
{
    return EncodeJpeg(bitmap.RgbRows(), bitmap.Width(), bitmap.Height(), quality);
}

} // namespace vl
