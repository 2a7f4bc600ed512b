#include "codec/pair_buffer.h"

#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

constexpr size_t kChunk = kPairBufferChunkSize;

struct ChainDeleter {
    void operator()(PairBufferChunk* first) const { PairBufferChunk::FreeChain(first); }
};
using Chain = std::unique_ptr<PairBufferChunk, ChainDeleter>;

Chain NewChain() {
    return Chain(new PairBufferChunk);
}

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + i / 251);
    return bytes;
}

std::vector<uint8_t> WithHighBit(std::vector<uint8_t> bytes) {
    for (uint8_t& b : bytes) b |= 0x80;
    return bytes;
}

std::vector<uint8_t> CopyAll(const PairBufferChunk& first, size_t n) {
    std::vector<uint8_t> out(n);
    EXPECT_EQ(first.CopyOut(out.data(), n), n);
    return out;
}

TEST(PairBufferChunkTest, AppendingOneByteMoreThanAChunkSpillsIntoASecond) {
    Chain first = NewChain();
    const std::vector<uint8_t> source = Pattern(kChunk + 1);
    PairBufferChunk* tail = first->AppendBytes(source.data(), source.size());
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(tail, first->next);
    EXPECT_EQ(first->used, kChunk);
    EXPECT_EQ(tail->used, 1u);
    EXPECT_EQ(tail->next, nullptr);
    EXPECT_EQ(CopyAll(*first, source.size()), WithHighBit(source));
}

TEST(PairBufferChunkTest, AppendingExactlyTwoChunksLinksNoEmptyThird) {
    Chain first = NewChain();
    const std::vector<uint8_t> source = Pattern(2 * kChunk);
    PairBufferChunk* tail = first->AppendRaw(source.data(), source.size());
    ASSERT_EQ(tail, first->next);
    EXPECT_EQ(tail->used, kChunk);
    EXPECT_EQ(tail->next, nullptr);
    EXPECT_EQ(CopyAll(*first, source.size()), source);
}

TEST(PairBufferChunkTest, OneAppendCanSpanSeveralChunks) {
    Chain first = NewChain();
    first->AppendFill(0x20, 10);
    const std::vector<uint8_t> source = Pattern(3 * kChunk + 5);
    PairBufferChunk* tail = first->AppendBytes(source.data(), source.size());
    int chunks = 0;
    for (const PairBufferChunk* c = first.get(); c != nullptr; c = c->next) {
        ++chunks;
        if (c->next != nullptr) {
            EXPECT_EQ(c->used, kChunk) << "chunk " << chunks;
        }
    }
    EXPECT_EQ(chunks, 4);
    EXPECT_EQ(tail->used, 15u);
    std::vector<uint8_t> expected(10, 0xA0);
    const std::vector<uint8_t> high = WithHighBit(source);
    expected.insert(expected.end(), high.begin(), high.end());
    EXPECT_EQ(CopyAll(*first, expected.size()), expected);
}

TEST(PairBufferChunkTest, AppendPairSendsLowHalfFirstWithHighBits) {
    Chain first = NewChain();
    EXPECT_EQ(first->AppendPair(0x2C14), first.get());
    EXPECT_EQ(CopyAll(*first, 2), (std::vector<uint8_t>{0x94, 0xAC}));
}

TEST(PairBufferChunkTest, AppendPairStraddlesWhenOneByteIsLeft) {
    Chain first = NewChain();
    first->AppendFill(0x20, kChunk - 1);
    PairBufferChunk* tail = first->AppendPair(0x2C14);
    ASSERT_NE(tail, first.get());
    EXPECT_EQ(first->next, tail);
    EXPECT_EQ(first->used, kChunk);
    EXPECT_EQ(first->data[kChunk - 1], 0x94);
    EXPECT_EQ(tail->used, 1u);
    EXPECT_EQ(tail->data[0], 0xAC);
}

TEST(PairBufferChunkTest, AppendPairOnAFullChunkStartsANewOne) {
    Chain first = NewChain();
    first->AppendFill(0x20, kChunk);
    PairBufferChunk* tail = first->AppendPair(0x2F14);
    ASSERT_EQ(tail, first->next);
    EXPECT_EQ(tail->used, 2u);
    EXPECT_EQ(tail->data[0], 0x94);
    EXPECT_EQ(tail->data[1], 0xAF);
}

TEST(PairBufferChunkTest, FillSetsTheHighBit) {
    Chain first = NewChain();
    first->AppendFill(0x00, 4);
    EXPECT_EQ(CopyAll(*first, 4), (std::vector<uint8_t>{0x80, 0x80, 0x80, 0x80}));
}

TEST(PairBufferChunkTest, RawBytesAreStoredUnchanged) {
    Chain first = NewChain();
    const std::vector<uint8_t> raw = {0x00, 0x00, 0x01, 0xB2, 0x7F, 0xFF};
    first->AppendRaw(raw.data(), raw.size());
    EXPECT_EQ(CopyAll(*first, raw.size()), raw);
}

TEST(PairBufferChunkTest, AppendsOnAChunkThatIsNotTheTailChangeNothing) {
    Chain first = NewChain();
    PairBufferChunk* tail = first->AppendFill(0x41, kChunk + 1);
    ASSERT_NE(tail, first.get());
    const uint8_t bytes[2] = {0x42, 0x43};
    EXPECT_EQ(first->AppendFill(0x42, 3), nullptr);
    EXPECT_EQ(first->AppendBytes(bytes, 2), nullptr);
    EXPECT_EQ(first->AppendRaw(bytes, 2), nullptr);
    EXPECT_EQ(first->AppendPair(0x4342), nullptr);
    EXPECT_EQ(first->AppendFill(0x42, 0), nullptr);
    EXPECT_EQ(first->used, kChunk);
    EXPECT_EQ(first->next, tail);
    EXPECT_EQ(tail->used, 1u);
    EXPECT_EQ(tail->next, nullptr);
    EXPECT_EQ(CopyAll(*first, kChunk + 1), std::vector<uint8_t>(kChunk + 1, 0xC1));
}

TEST(PairBufferChunkTest, EmptyAppendsOnAFullTailAllocateNothing) {
    Chain first = NewChain();
    first->AppendFill(0x20, kChunk);
    EXPECT_EQ(first->AppendFill(0x20, 0), first.get());
    EXPECT_EQ(first->AppendBytes(nullptr, 0), first.get());
    EXPECT_EQ(first->AppendRaw(nullptr, 0), first.get());
    EXPECT_EQ(first->next, nullptr);
    EXPECT_EQ(first->used, kChunk);
}

TEST(PairBufferChunkTest, CopyOutStopsAtTheEndOfTheChain) {
    Chain first = NewChain();
    first->AppendFill(0x41, 10);
    std::vector<uint8_t> out(20, 0x55);
    EXPECT_EQ(first->CopyOut(out.data(), out.size()), 10u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 10), std::vector<uint8_t>(10, 0xC1));
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 10, out.end()), std::vector<uint8_t>(10, 0x55));
}

TEST(PairBufferChunkTest, CopyOutTakesOnlyThePrefixAskedFor) {
    Chain first = NewChain();
    const std::vector<uint8_t> source = Pattern(2 * kChunk + 100);
    first->AppendRaw(source.data(), source.size());
    const size_t n = kChunk + 3;
    std::vector<uint8_t> out(n + 1, 0x55);
    EXPECT_EQ(first->CopyOut(out.data(), n), n);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + n),
              std::vector<uint8_t>(source.begin(), source.begin() + n));
    EXPECT_EQ(out[n], 0x55);
}

TEST(PairBufferChunkTest, CopyOutWithParityReplacesBitSevenByOddParity) {
    Chain first = NewChain();
    const uint8_t bytes[4] = {0x80, 0xC1, 0xAC, 0x94};
    first->AppendBytes(bytes, 4);
    std::vector<uint8_t> out(4);
    EXPECT_EQ(first->CopyOutWithParity(out.data(), 4), 4u);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x80, 0xC1, 0x2C, 0x94}));
}

TEST(PairBufferChunkTest, CopyOutWithParityCrossesChunks) {
    Chain first = NewChain();
    first->AppendFill(0x2C, kChunk - 1);  // 0x2C has three one bits: parity bit clear
    first->AppendPair(0x2C14);            // 0x14 has two: parity bit set
    std::vector<uint8_t> out(kChunk + 1);
    EXPECT_EQ(first->CopyOutWithParity(out.data(), out.size()), out.size());
    EXPECT_EQ(out[kChunk - 2], 0x2C);
    EXPECT_EQ(out[kChunk - 1], 0x94);
    EXPECT_EQ(out[kChunk], 0x2C);
}

TEST(PairBufferTest, StartsEmpty) {
    PairBuffer buffer;
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(buffer.First(), nullptr);
    EXPECT_TRUE(buffer.ToVector().empty());
    uint8_t out[1] = {0x55};
    EXPECT_EQ(buffer.CopyOut(out, 1), 0u);
    EXPECT_EQ(buffer.CopyOutWithParity(out, 1), 0u);
    EXPECT_EQ(out[0], 0x55);
    buffer.AppendBytes(nullptr, 0);
    EXPECT_EQ(buffer.First(), nullptr);
}

// The owner must keep its tail and count right across any mix of appends.
TEST(PairBufferTest, MixedAppendsMatchAPlainByteModel) {
    std::mt19937 random(608);
    PairBuffer buffer;
    std::vector<uint8_t> model;
    for (int step = 0; step < 400; ++step) {
        const size_t n = random() % 3 == 0 ? random() % 70000 : random() % 7;
        const std::vector<uint8_t> source = Pattern(n + step);
        switch (random() % 4) {
            case 0:
                buffer.AppendFill(static_cast<uint8_t>(step), n);
                model.insert(model.end(), n, static_cast<uint8_t>(step | 0x80));
                break;
            case 1:
                buffer.AppendBytes(std::span<const uint8_t>(source.data() + step, n));
                for (size_t i = 0; i < n; ++i) model.push_back(source[step + i] | 0x80);
                break;
            case 2:
                buffer.AppendRaw(std::span<const uint8_t>(source.data() + step, n));
                model.insert(model.end(), source.begin() + step, source.end());
                break;
            default:
                buffer.AppendPair(static_cast<uint16_t>(n * 0x0101 + step));
                model.push_back(static_cast<uint8_t>((n + step) | 0x80));
                model.push_back(static_cast<uint8_t>(((n * 0x0101 + step) >> 8) | 0x80));
        }
        ASSERT_EQ(buffer.Size(), model.size()) << "step " << step;
    }
    EXPECT_EQ(buffer.ToVector(), model);
    for (const PairBufferChunk* c = buffer.First(); c->next != nullptr; c = c->next) {
        EXPECT_EQ(c->used, kChunk);
    }
    std::vector<uint8_t> withParity(model.size());
    EXPECT_EQ(buffer.CopyOutWithParity(withParity.data(), withParity.size()), model.size());
    for (size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(withParity[i] & 0x7F, model[i] & 0x7F) << i;
        ASSERT_EQ(std::popcount(withParity[i]) % 2, 1) << i;
    }
}

TEST(PairBufferTest, MovingHandsTheChainOver) {
    PairBuffer source;
    source.AppendFill(0x41, kChunk + 2);
    const PairBufferChunk* chain = source.First();

    PairBuffer moved(std::move(source));
    EXPECT_EQ(moved.First(), chain);
    EXPECT_EQ(moved.Size(), kChunk + 2);
    EXPECT_EQ(source.Size(), 0u);
    EXPECT_EQ(source.First(), nullptr);

    PairBuffer target;
    target.AppendFill(0x42, 3);
    target = std::move(moved);
    EXPECT_EQ(target.First(), chain);
    EXPECT_EQ(target.Size(), kChunk + 2);
    target.AppendPair(0x4443);
    const std::vector<uint8_t> bytes = target.ToVector();
    ASSERT_EQ(bytes.size(), kChunk + 4);
    EXPECT_EQ(bytes[kChunk + 1], 0xC1);
    EXPECT_EQ(bytes[kChunk + 2], 0xC3);
    EXPECT_EQ(bytes[kChunk + 3], 0xC4);

    // A moved-from buffer is empty and usable.
    source.AppendFill(0x20, 1);
    EXPECT_EQ(source.ToVector(), std::vector<uint8_t>{0xA0});
}

}  // namespace
}  // namespace vantrel
