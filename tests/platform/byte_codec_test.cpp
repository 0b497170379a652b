#include "platform/byte_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {
using TBytes = std::vector<std::uint8_t>;
} // namespace

namespace {

// One width: put, get and append in both orders against the bytes written out by hand.
template <class T> struct TWidth {
    void (*putLe)(std::uint8_t*, T);
    void (*putBe)(std::uint8_t*, T);
    T (*getLe)(const std::uint8_t*);
    T (*getBe)(const std::uint8_t*);
    void (*appendLe)(TBytes&, T);
    void (*appendBe)(TBytes&, T);
    void (*appendText)(std::string&, T);

    void Check(T value, const TBytes& le, const TBytes& be) const {
        SCOPED_TRACE(testing::Message() << std::hex << value);
        std::uint8_t bytes[sizeof(T)];
        putLe(bytes, value);
        EXPECT_EQ(TBytes(bytes, bytes + sizeof(T)), le);
        putBe(bytes, value);
        EXPECT_EQ(TBytes(bytes, bytes + sizeof(T)), be);
        EXPECT_EQ(getLe(le.data()), value);
        EXPECT_EQ(getBe(be.data()), value);
        TBytes appended;
        appendLe(appended, value);
        appendBe(appended, value);
        TBytes both = le;
        both.insert(both.end(), be.begin(), be.end());
        EXPECT_EQ(appended, both);
        std::string text;
        appendText(text, value);
        EXPECT_EQ(TBytes(text.begin(), text.end()), le);
    }
};

const TWidth<std::uint16_t> Width16{
    PutLe16, PutBe16, GetLe16, GetBe16, AppendLe16<TBytes>, AppendBe16<TBytes>, AppendLe16<std::string>};
const TWidth<std::uint32_t> Width32{
    PutLe32, PutBe32, GetLe32, GetBe32, AppendLe32<TBytes>, AppendBe32<TBytes>, AppendLe32<std::string>};
const TWidth<std::uint64_t> Width64{
    PutLe64, PutBe64, GetLe64, GetBe64, AppendLe64<TBytes>, AppendBe64<TBytes>, AppendLe64<std::string>};

} // namespace

TEST(ByteCodec, PutGetAndAppendAgreeWithTheBytes) {
    Width16.Check(0x1234, {0x34, 0x12}, {0x12, 0x34});
    Width16.Check(0xFF01, {0x01, 0xFF}, {0xFF, 0x01});
    Width32.Check(0x89ABCDEF, {0xEF, 0xCD, 0xAB, 0x89}, {0x89, 0xAB, 0xCD, 0xEF});
    Width32.Check(1, {1, 0, 0, 0}, {0, 0, 0, 1});
    Width64.Check(0x0102030405060708ull, {8, 7, 6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 6, 7, 8});
    Width64.Check(0xF000000000000001ull, {1, 0, 0, 0, 0, 0, 0, 0xF0}, {0xF0, 0, 0, 0, 0, 0, 0, 1});
    TBytes one;
    Append8(one, 0xA5);
    EXPECT_EQ(one, TBytes{0xA5});
}

TEST(ByteReader, ReadsInOrder) {
    const TBytes data = {0x07, 0x34, 0x12, 0x12, 0x34, 0x78, 0x56, 0x34, 0x12, 'h',
                         'i',  0xEE, 1,    2,    3,    4,    5,    6,    7,    8};
    TByteReader in(data);
    EXPECT_EQ(in.U8(), 0x07);
    EXPECT_EQ(in.Le16(), 0x1234);
    EXPECT_EQ(in.Be16(), 0x1234);
    EXPECT_EQ(in.Le32(), 0x12345678u);
    EXPECT_EQ(in.Text(2), "hi");
    EXPECT_TRUE(in.Skip(1));
    EXPECT_EQ(in.Remaining(), 8u);
    EXPECT_EQ(in.Be64(), 0x0102030405060708ull);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_TRUE(in.Ok());

    TByteReader again(data.data() + 12, 8);
    EXPECT_EQ(again.Le64(), 0x0807060504030201ull);
    TByteReader words(data.data() + 12, 8);
    EXPECT_EQ(words.Be32(), 0x01020304u);
    EXPECT_EQ(words.Le32(), 0x08070605u);
}

// A read past the end gives 0 and sets a flag that stays: the bytes that remain are not read
// either, so a decoder that tests once at the end never works on half a record. The buffer lies
// on the heap at its exact size, so the address sanitizer sees any read beyond it.
TEST(ByteReader, ATruncatedReadFailsAndStaysFailed) {
    struct TCase {
        const char* name;
        std::size_t size;
        std::function<void(TByteReader&)> read;
    };
    const TCase cases[] = {
        {"16 bit from 1 byte", 1, [](TByteReader& r) { EXPECT_EQ(r.Le16(), 0); }},
        {"32 bit from 3 bytes", 3, [](TByteReader& r) { EXPECT_EQ(r.Be32(), 0u); }},
        {"64 bit from 7 bytes", 7, [](TByteReader& r) { EXPECT_EQ(r.Le64(), 0u); }},
        {"byte from nothing", 0, [](TByteReader& r) { EXPECT_EQ(r.U8(), 0); }},
        {"text of 5 from 4", 4, [](TByteReader& r) { EXPECT_EQ(r.Text(5), ""); }},
        {"huge skip", 4, [](TByteReader& r) { EXPECT_FALSE(r.Skip(SIZE_MAX)); }},
        {"bytes of 9 from 8", 8,
         [](TByteReader& r) {
             std::uint8_t out[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
             EXPECT_FALSE(r.Bytes(out, sizeof out));
             EXPECT_EQ(out[0], 9); // left as it was
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto buffer = std::make_unique<std::uint8_t[]>(c.size == 0 ? 1 : c.size);
        for (std::size_t i = 0; i < c.size; ++i)
            buffer[i] = 0xAB;
        TByteReader in(buffer.get(), c.size);
        c.read(in);
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(in.Position(), 0u);
        // Sticky: even a read that would fit now fails.
        EXPECT_EQ(in.U8(), 0);
        EXPECT_TRUE(in.Failed());
    }
}
