// Our decoder against a plain reference decoder: the step-by-step algorithm
// with prefix chains and an output stack, one pixel at a time. Random code
// streams, damaged ones included (codes the table does not hold yet, stray
// clear codes), must give the same pixels and the same errors.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "gif/GIFException.h"
#include "gif/LZWTestSupport.h"

using namespace animora;
using namespace animora::test;

namespace {

class TReferenceDecoder {
public:
    // next(codeSize) supplies codes (negative when the data is exhausted).
    TReferenceDecoder(int minCodeSize, std::function<int(int)> next)
        : next_(std::move(next)), minCodeSize_(minCodeSize), clear_(1 << minCodeSize), end_(clear_ + 1)
    {
    }

    std::vector<uint8_t> Decode(size_t count, uint8_t fill)
    {
        std::vector<uint8_t> pixels(count, fill);
        bool endCode = false;
        for (size_t k = 0; k < count; ++k) {
            const int value = NextPixel();
            if (value < 0) {
                endCode = value == -2;
                break;
            }
            pixels[k] = static_cast<uint8_t>(value);
        }
        // One more step once the pixels are full, unless an end code came.
        if (!endCode)
            NextPixel();
        return pixels;
    }

private:
    int NextPixel()
    {
        if (!stack_.empty()) {
            const int value = stack_.back();
            stack_.pop_back();
            return value;
        }
        return Step();
    }

    void Reset()
    {
        for (int i = 0; i < 4096; ++i) {
            prefix_[i] = 0;
            suffix_[i] = i < clear_ ? i : 0;
        }
        codeSize_ = minCodeSize_ + 1;
        limit_ = 2 * clear_;
        nextFree_ = clear_ + 2;
    }

    int Step()
    {
        int code = first_step_ ? clear_ : next_(codeSize_);
        first_step_ = false;
        if (code < 0)
            return code;
        if (code == clear_) {
            Reset();
            do
                code = next_(codeSize_);
            while (code == clear_);
            if (code == end_)
                return -2;
            first_ = old_ = code;
            return code;
        }
        if (code == end_)
            return -2;
        const int incoming = code;
        if (code >= nextFree_) {
            stack_.push_back(first_);
            code = old_;
        }
        int steps = 0;
        while (code >= clear_) {
            stack_.push_back(suffix_[code]);
            if (prefix_[code] == code)
                throw GIFException("Circular decoder table entry");
            code = prefix_[code];
            if (++steps > 4096)
                throw GIFException("Looping decoder table chain");
        }
        first_ = suffix_[code];
        stack_.push_back(first_);
        if (nextFree_ < 4096) {
            prefix_[nextFree_] = old_;
            suffix_[nextFree_] = first_;
            ++nextFree_;
            if (nextFree_ >= limit_ && limit_ <= 4095) {
                limit_ *= 2;
                ++codeSize_;
            }
        }
        old_ = incoming;
        return NextPixel();
    }

public:
    int nextFree_ = 0;

private:
    std::function<int(int)> next_;
    const int minCodeSize_;
    const int clear_;
    const int end_;
    bool first_step_ = true;
    int codeSize_ = 0;
    int limit_ = 0;
    int first_ = 0;
    int old_ = 0;
    int prefix_[4096] = {};
    int suffix_[4096] = {};
    std::vector<int> stack_;
};

// Draws the next code: mostly codes the table holds, sometimes the code
// being defined (KwKwK), a code beyond it, or a clear code.
int RandomCode(std::mt19937& random, int minCodeSize, int nextFree, int codeSize, int damage)
{
    const int clear = 1 << minCodeSize;
    const int roll = static_cast<int>(random() % 1000);
    if (roll < damage / 4)
        return clear;
    if (roll < damage && nextFree + 1 < (1 << codeSize))
        return nextFree + 1 + static_cast<int>(random() % static_cast<unsigned>((1 << codeSize) - nextFree - 1));
    if (roll < damage + 100 && nextFree < 4096)
        return nextFree;
    int code = static_cast<int>(random() % static_cast<unsigned>(std::min(nextFree, 4096)));
    if (code == clear || code == clear + 1)
        code = static_cast<int>(random() % static_cast<unsigned>(clear));
    return code;
}

std::string Outcome(const std::function<std::vector<uint8_t>()>& decode, std::vector<uint8_t>& pixels)
{
    try {
        pixels = decode();
        return "ok";
    } catch (const GIFException& error) {
        return error.what();
    }
}

} // namespace

TEST(LZWDecoder, MatchesTheReferenceOnRandomCodeStreams)
{
    std::mt19937 random(99);
    int errors = 0;
    for (int round = 0; round < 400; ++round) {
        const int minCodeSize = std::vector<int>{2, 3, 4, 5, 8}[random() % 5];
        const size_t count = 1 + random() % 6000;
        const int budget = static_cast<int>(1 + random() % 5000);
        const int damage = round % 4 == 0 ? 0 : static_cast<int>(random() % 30);
        CodeList codes;
        TReferenceDecoder* reference = nullptr;
        int produced = 0;
        bool ended = false;
        auto next = [&](int codeSize) {
            if (ended)
                return -1;
            int code;
            if (produced++ < budget) {
                code = RandomCode(random, minCodeSize, reference->nextFree_, codeSize, damage);
            } else {
                code = (1 << minCodeSize) + 1;
                ended = true;
            }
            codes.push_back({code, codeSize});
            return code;
        };
        TReferenceDecoder decoder(minCodeSize, next);
        reference = &decoder;
        std::vector<uint8_t> expected, actual;
        const std::string expectedOutcome = Outcome([&] { return decoder.Decode(count, 0xEE); }, expected);
        const auto data = PackCodes(minCodeSize, codes, 1 + random() % 255);
        const std::string actualOutcome =
            Outcome([&] { return DecodeOurs(data, static_cast<int>(count), 1, false, 0xEE).pixels; }, actual);
        ASSERT_EQ(actualOutcome, expectedOutcome) << "round " << round;
        if (expectedOutcome == "ok")
            ASSERT_EQ(actual, expected) << "round " << round;
        else
            ++errors;
    }
    EXPECT_GT(errors, 0) << "some streams should loop";
}
