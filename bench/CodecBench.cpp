// Decoding and LZW encoding of every corpus file, by our codec and by giflib
// in the same run, so that the two can be compared file by file
// (bench/compare-codec.sh prints the comparison).
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"

using namespace animora;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --- giflib ---------------------------------------------------------------------

struct TMemoryInput {
    const Bytes* bytes;
    size_t position;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count)
{
    auto* input = static_cast<TMemoryInput*>(file->UserData);
    const size_t n = std::min(static_cast<size_t>(count), input->bytes->size() - input->position);
    std::memcpy(buffer, input->bytes->data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

int WriteToMemory(GifFileType* file, const GifByteType* buffer, int count)
{
    auto* output = static_cast<Bytes*>(file->UserData);
    output->insert(output->end(), buffer, buffer + count);
    return count;
}

struct TGiflibFileCloser {
    void operator()(GifFileType* file) const
    {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};
using TGiflibFile = std::unique_ptr<GifFileType, TGiflibFileCloser>;

TGiflibFile GiflibDecode(const Bytes& bytes)
{
    TMemoryInput input{&bytes, 0};
    int error = 0;
    TGiflibFile file(DGifOpen(&input, ReadFromMemory, &error));
    if (!file || DGifSlurp(file.get()) != GIF_OK)
        throw std::runtime_error("giflib cannot read the file");
    return file;
}

// What EGifSpew does, without consuming the decoded file: screen, then per
// frame its extensions, descriptor and rows (in pass order when interlaced).
Bytes GiflibEncode(const GifFileType& source)
{
    Bytes output;
    int error = 0;
    GifFileType* file = EGifOpen(&output, WriteToMemory, &error);
    EGifSetGifVersion(file, true);
    EGifPutScreenDesc(file, source.SWidth, source.SHeight, source.SColorResolution, source.SBackGroundColor,
                      source.SColorMap);
    for (int i = 0; i < source.ImageCount; ++i) {
        const SavedImage& image = source.SavedImages[i];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function != CONTINUE_EXT_FUNC_CODE)
                EGifPutExtensionLeader(file, block.Function);
            EGifPutExtensionBlock(file, block.ByteCount, block.Bytes);
            if (e + 1 == image.ExtensionBlockCount || image.ExtensionBlocks[e + 1].Function != CONTINUE_EXT_FUNC_CODE)
                EGifPutExtensionTrailer(file);
        }
        const GifImageDesc& desc = image.ImageDesc;
        // Our writer sends a frame with its own map in row order; so does this.
        const bool interlaced = desc.Interlace && !desc.ColorMap;
        EGifPutImageDesc(file, desc.Left, desc.Top, desc.Width, desc.Height, interlaced, desc.ColorMap);
        static constexpr int kOffset[] = {0, 4, 2, 1};
        static constexpr int kJump[] = {8, 8, 4, 2};
        if (interlaced) {
            for (int pass = 0; pass < 4; ++pass)
                for (int row = kOffset[pass]; row < desc.Height; row += kJump[pass])
                    EGifPutLine(file, image.RasterBits + static_cast<size_t>(row) * desc.Width, desc.Width);
        } else {
            EGifPutLine(file, image.RasterBits, desc.Width * desc.Height);
        }
    }
    EGifCloseFile(file, &error);
    return output;
}

int64_t GiflibPixels(const GifFileType& file)
{
    int64_t pixels = 0;
    for (int i = 0; i < file.ImageCount; ++i)
        pixels += int64_t{file.SavedImages[i].ImageDesc.Width} * file.SavedImages[i].ImageDesc.Height;
    return pixels;
}

// --- ours -----------------------------------------------------------------------

std::unique_ptr<TGIFImage> OurDecode(const Bytes& bytes)
{
    auto image = std::make_unique<TGIFImage>();
    TBytesViewStream stream(bytes.data(), bytes.size());
    image->LoadFromStream(stream);
    return image;
}

int64_t OurPixels(const TGIFImage& image)
{
    int64_t pixels = 0;
    for (int i = 0; i < image.Images().Count(); ++i)
        pixels += static_cast<int64_t>(image.Images().SubImage(i)->DataSize());
    return pixels;
}

void SetPixelRate(benchmark::State& state, int64_t pixels)
{
    state.counters["px/s"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate);
}

void RegisterFile(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    auto bytes = std::make_shared<Bytes>(ReadFile(path));

    benchmark::RegisterBenchmark(("decode/ours/" + name).c_str(), [bytes](benchmark::State& state) {
        int64_t pixels = 0;
        for (auto _ : state) {
            auto image = OurDecode(*bytes);
            pixels = OurPixels(*image);
            benchmark::DoNotOptimize(image);
        }
        SetPixelRate(state, pixels);
    });
    benchmark::RegisterBenchmark(("decode/giflib/" + name).c_str(), [bytes](benchmark::State& state) {
        int64_t pixels = 0;
        for (auto _ : state) {
            auto file = GiflibDecode(*bytes);
            pixels = GiflibPixels(*file);
            benchmark::DoNotOptimize(file);
        }
        SetPixelRate(state, pixels);
    });
    benchmark::RegisterBenchmark(("encode/ours/" + name).c_str(), [bytes](benchmark::State& state) {
        auto image = OurDecode(*bytes);
        image->SetEncoding(kEncodingLZW);
        size_t size = 0;
        for (auto _ : state) {
            TMemoryStream out;
            out.Bytes().reserve(bytes->size() * 2);
            image->SaveToStream(out);
            size = static_cast<size_t>(out.Size());
            benchmark::DoNotOptimize(out);
        }
        SetPixelRate(state, OurPixels(*image));
        state.counters["bytes"] = static_cast<double>(size);
    });
    benchmark::RegisterBenchmark(("encode/giflib/" + name).c_str(), [bytes](benchmark::State& state) {
        auto file = GiflibDecode(*bytes);
        size_t size = 0;
        for (auto _ : state) {
            Bytes out = GiflibEncode(*file);
            size = out.size();
            benchmark::DoNotOptimize(out);
        }
        SetPixelRate(state, GiflibPixels(*file));
        state.counters["bytes"] = static_cast<double>(size);
    });
}

} // namespace

// Registered at start-up like the BENCHMARK macros do, one family per corpus file.
[[maybe_unused]] const bool kCorpusRegistered = [] {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ANIMORA_TESTDATA_DIR) / "corpus"))
        if (entry.path().extension() == ".gif")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        RegisterFile(file);
    return true;
}();
