// Damaged files: every corpus file cut short at many lengths and with bytes
// changed must either load or fail with the codec's own error; never crash,
// hang, or raise anything else. (The sanitizer build runs this too.)
#include <gtest/gtest.h>

#include <random>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "platform/Errors.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

// Answers an empty string when the bytes load or are refused cleanly, else
// what went wrong.
std::string LoadOutcome(const std::vector<uint8_t>& bytes)
{
    TGIFImage image;
    image.WarningHandler = [](TPersistent&, int, const std::string&) {};
    TBytesViewStream stream(bytes.data(), bytes.size());
    try {
        image.LoadFromStream(stream);
    } catch (const EAnimoraError&) {
    } catch (const std::exception& error) {
        return std::string("foreign exception: ") + error.what();
    }
    return {};
}

// Large files get fewer variants, so the whole test stays within seconds
// under the sanitizers.
int VariantsFor(size_t size)
{
    return size > 100000 ? 6 : size > 10000 ? 16 : 40;
}

} // namespace

TEST(Damage, CorpusFilesCutShort)
{
    for (const auto& path : FilesIn("corpus", ".gif")) {
        const auto bytes = ReadFileBytes(path);
        std::vector<size_t> lengths;
        for (size_t n = 0; n < std::min<size_t>(bytes.size(), 48); n += 3)
            lengths.push_back(n);  // header, screen, colour table, first blocks
        const int variants = VariantsFor(bytes.size());
        for (int i = 1; i <= variants; ++i)
            lengths.push_back(bytes.size() * static_cast<size_t>(i) / static_cast<size_t>(variants + 1));
        lengths.push_back(bytes.size() - 1);
        for (size_t length : lengths) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
            EXPECT_EQ(LoadOutcome(cut), "") << path.filename() << " cut at " << length;
        }
    }
}

TEST(Damage, CorpusFilesWithBytesChanged)
{
    std::mt19937 random(1234);
    for (const auto& path : FilesIn("corpus", ".gif")) {
        const auto bytes = ReadFileBytes(path);
        const int variants = VariantsFor(bytes.size());
        for (int i = 0; i < variants; ++i) {
            auto damaged = bytes;
            // Mostly the structure near the start, sometimes anywhere.
            const size_t limit = i % 2 == 0 ? std::min<size_t>(bytes.size(), 1024) : bytes.size();
            const size_t at = random() % limit;
            const uint8_t value = static_cast<uint8_t>(i % 3 == 0 ? damaged[at] ^ (1u << (random() % 8)) : random());
            damaged[at] = value;
            EXPECT_EQ(LoadOutcome(damaged), "") << path.filename() << " byte " << at << " set to " << int(value);
        }
    }
}
