#include "formats/JPEGImage.h"

// libjpeg's error handling leaves a function by longjmp. Each function below
// that calls setjmp keeps only trivially destructible locals and heap objects
// whose pointers do not change after setjmp, so jumping back never skips a
// destructor and never reads a clobbered variable.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/Stream.h"

namespace animora {

EJPEGError::EJPEGError(int code)
    : EInvalidGraphic("JPEG error #" + std::to_string(code)), code_(code)
{
}

namespace {

// Our own code for "too many progressive scans": libjpeg has none, so it is
// one past the library's last message number.
constexpr int kTooManyScansCode = JMSG_LASTMSGCODE;
constexpr int kMaxWarnings = 20;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    const JPEGWarningHandler* warning = nullptr;
    int warnings = 0;
};

[[noreturn]] void ExitByJump(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

// Level -1 is a warning (corrupt or truncated data); trace messages
// (levels 0 and above) are dropped. The first few warnings are passed on.
void ReportMessage(j_common_ptr cinfo, int level)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level >= 0 || manager->warning == nullptr || !*manager->warning)
        return;
    if (++manager->warnings > kMaxWarnings)
        return;
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    (*manager->warning)(text);
}

void InstallErrorManager(ErrorManager& manager, const JPEGWarningHandler* warning)
{
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ExitByJump;
    manager.pub.emit_message = ReportMessage;
    manager.warning = warning;
}

struct ScanGuard {
    jpeg_progress_mgr pub;
    int maxScans;
};

void CheckScanCount(j_common_ptr cinfo)
{
    auto* guard = reinterpret_cast<ScanGuard*>(cinfo->progress);
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > guard->maxScans) {
        cinfo->err->msg_code = kTooManyScansCode;
        cinfo->err->error_exit(cinfo);
    }
}

TPalette GreyRamp()
{
    std::vector<TPaletteEntry> entries(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        entries[size_t(i)] = {v, v, v, 0};
    }
    return TPalette(std::move(entries));
}

// Adobe writes CMYK inverted (255 = no ink); that is what libjpeg hands back.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = cmyk[3];
        bgr[0] = static_cast<uint8_t>(cmyk[2] * k / 255);
        bgr[1] = static_cast<uint8_t>(cmyk[1] * k / 255);
        bgr[2] = static_cast<uint8_t>(cmyk[0] * k / 255);
    }
}

bool IsCmyk(J_COLOR_SPACE space)
{
    return space == JCS_CMYK || space == JCS_YCCK;
}

void ChooseOutputSpace(jpeg_decompress_struct& cinfo)
{
    if (cinfo.num_components == 1)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (IsCmyk(cinfo.jpeg_color_space))
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_EXT_BGR;
}

// Fills `bitmap` from a decompressor whose header was read. Plain C++ code
// that libjpeg may leave by longjmp: no destructible locals here.
void ReadScanlines(jpeg_decompress_struct& cinfo, TBitmap& bitmap, uint8_t* cmykRow)
{
    while (cinfo.output_scanline < cinfo.output_height) {
        const int row = static_cast<int>(cinfo.output_scanline);
        JSAMPROW target = cmykRow != nullptr ? cmykRow : bitmap.ScanLine(row);
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            break;
        if (cmykRow != nullptr)
            CmykRowToBgr(cmykRow, bitmap.ScanLine(row), bitmap.Width());
    }
}

struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    ScanGuard scans;
    TBitmap bitmap;
    std::vector<uint8_t> cmykRow;
};

enum class DecodeStep { Done, TooLarge };

// Everything libjpeg may jump out of. Returns normally on success.
DecodeStep RunDecoder(DecodeState& s, const uint8_t* data, size_t size, const TJPEGDecodeLimits& limits)
{
    jpeg_create_decompress(&s.cinfo);
    s.scans.pub.progress_monitor = CheckScanCount;
    s.scans.maxScans = limits.maxScans;
    s.cinfo.progress = &s.scans.pub;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    ChooseOutputSpace(s.cinfo);
    if (int64_t{s.cinfo.image_width} * s.cinfo.image_height > limits.maxPixels)
        return DecodeStep::TooLarge;
    jpeg_start_decompress(&s.cinfo);
    const bool grey = s.cinfo.out_color_space == JCS_GRAYSCALE;
    s.bitmap.SetPixelFormat(grey ? PixelFormat::pf8bit : PixelFormat::pf24bit);
    if (grey)
        s.bitmap.SetPalette(GreyRamp());
    s.bitmap.SetSize(static_cast<int>(s.cinfo.output_width), static_cast<int>(s.cinfo.output_height));
    if (s.cinfo.out_color_space == JCS_CMYK)
        s.cmykRow.resize(size_t(s.cinfo.output_width) * 4);
    ReadScanlines(s.cinfo, s.bitmap, s.cmykRow.empty() ? nullptr : s.cmykRow.data());
    jpeg_finish_decompress(&s.cinfo);
    return DecodeStep::Done;
}

} // namespace

TBitmap DecodeJPEG(const uint8_t* data, size_t size, const JPEGWarningHandler& warning,
                   const TJPEGDecodeLimits& limits)
{
    const auto state = std::make_unique<DecodeState>();
    InstallErrorManager(state->errors, &warning);
    state->cinfo.err = &state->errors.pub;
    if (setjmp(state->errors.jump) != 0) {
        const int code = state->errors.pub.msg_code;
        jpeg_destroy_decompress(&state->cinfo);
        throw EJPEGError(code);
    }
    DecodeStep step;
    try {
        step = RunDecoder(*state, data, size, limits);
    } catch (...) {
        jpeg_destroy_decompress(&state->cinfo);
        throw;
    }
    jpeg_destroy_decompress(&state->cinfo);
    if (step == DecodeStep::TooLarge)
        throw EJPEGError(JERR_IMAGE_TOO_BIG);
    return std::move(state->bitmap);
}

namespace {

struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
};

void RunEncoder(EncodeState& s, const TBitmap& bgr, const TJPEGOptions& options)
{
    jpeg_create_compress(&s.cinfo);
    jpeg_mem_dest(&s.cinfo, &s.output, &s.outputSize);
    s.cinfo.image_width = static_cast<JDIMENSION>(bgr.Width());
    s.cinfo.image_height = static_cast<JDIMENSION>(bgr.Height());
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, options.quality, TRUE);
    if (options.grayscale)
        jpeg_set_colorspace(&s.cinfo, JCS_GRAYSCALE);
    s.cinfo.smoothing_factor = options.smoothing;
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(bgr.ScanLine(static_cast<int>(s.cinfo.next_scanline)));
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

} // namespace

void EncodeJPEG(const TBitmap& bitmap, const TJPEGOptions& options, TStream& stream)
{
    if (bitmap.Empty())
        throw EJPEGError(JERR_EMPTY_IMAGE);
    TBitmap bgr = bitmap;
    if (bgr.GetPixelFormat() != PixelFormat::pf24bit)
        bgr.SetPixelFormat(PixelFormat::pf24bit);
    const TJPEGOptions clamped{Clamp(options.quality, 0, 100), options.grayscale, Clamp(options.smoothing, 0, 100)};

    const auto state = std::make_unique<EncodeState>();
    InstallErrorManager(state->errors, nullptr);
    state->cinfo.err = &state->errors.pub;
    if (setjmp(state->errors.jump) != 0) {
        const int code = state->errors.pub.msg_code;
        jpeg_destroy_compress(&state->cinfo);
        std::free(state->output);
        throw EJPEGError(code);
    }
    RunEncoder(*state, bgr, clamped);
    jpeg_destroy_compress(&state->cinfo);
    std::vector<uint8_t> bytes(state->output, state->output + state->outputSize);
    std::free(state->output);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

int JPEGLibraryVersion()
{
    return JPEG_LIB_VERSION;
}

} // namespace animora
