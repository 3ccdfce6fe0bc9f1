#include "plugin/ChunkBuffer.h"
#include "plugin/IPlugBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace zr;

namespace
{
std::vector<uint8_t> Bytes(const ChunkBuffer& chunk)
{
    return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

ChunkBuffer FromBytes(const std::vector<uint8_t>& bytes)
{
    ChunkBuffer chunk;
    chunk.Assign(bytes.data(), static_cast<int>(bytes.size()));
    return chunk;
}
} // namespace

TEST(ChunkBuffer, WritesLittleEndianBytesWhateverTheBuild)
{
    ChunkBuffer chunk;
    EXPECT_EQ(chunk.PutInt32(0x01020304), 4);
    EXPECT_EQ(chunk.PutInt32(-2), 8);
    EXPECT_EQ(chunk.PutDouble(1.0), 16);
    EXPECT_EQ(chunk.PutBool(true), 17);
    EXPECT_EQ(chunk.PutBool(false), 18);
    EXPECT_EQ(chunk.PutString("ab"), 24);
    EXPECT_EQ(chunk.PutString(""), 28);
    const std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0,
                                           0,    0,    0,    0,    0xF0, 0x3F, 1,    0,    2, 0,
                                           0,    0,    'a',  'b',  0,    0,    0,    0};
    EXPECT_EQ(Bytes(chunk), expected);
}

TEST(ChunkBuffer, ReadsBackEveryTypeAndReturnsTheNextPosition)
{
    ChunkBuffer chunk;
    chunk.PutInt32(std::numeric_limits<int32_t>::min());
    chunk.PutDouble(-0.1);
    chunk.PutBool(true);
    chunk.PutString("Init");
    int32_t i = 0;
    double d = 0.0;
    bool b = false;
    std::string s;
    int pos = chunk.GetInt32(&i, 0);
    EXPECT_EQ(pos, 4);
    pos = chunk.GetDouble(&d, pos);
    EXPECT_EQ(pos, 12);
    pos = chunk.GetBool(&b, pos);
    EXPECT_EQ(pos, 13);
    pos = chunk.GetString(&s, pos);
    EXPECT_EQ(pos, chunk.Size());
    EXPECT_EQ(i, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(d, -0.1);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, "Init");
}

TEST(ChunkBuffer, FailedReadsReturnMinusOneAndLeaveTheDestination)
{
    ChunkBuffer full;
    full.PutInt32(7);
    full.PutDouble(2.5);
    full.PutBool(true);
    full.PutString("name");
    for (int size = 0; size < full.Size(); ++size)
    {
        const ChunkBuffer chunk = FromBytes(std::vector<uint8_t>(full.Data(), full.Data() + size));
        int32_t i = -5;
        double d = -5.0;
        bool b = false;
        std::string s = "old";
        const int afterInt = chunk.GetInt32(&i, 0);
        const int afterDouble = chunk.GetDouble(&d, 4);
        const int afterBool = chunk.GetBool(&b, 12);
        const int afterString = chunk.GetString(&s, 13);
        EXPECT_EQ(afterInt, size >= 4 ? 4 : -1);
        EXPECT_EQ(i, size >= 4 ? 7 : -5);
        EXPECT_EQ(afterDouble, size >= 12 ? 12 : -1);
        EXPECT_EQ(d, size >= 12 ? 2.5 : -5.0);
        EXPECT_EQ(afterBool, size >= 13 ? 13 : -1);
        EXPECT_EQ(b, size >= 13);
        EXPECT_EQ(afterString, -1) << size;
        EXPECT_EQ(s, "old");
    }
}

TEST(ChunkBuffer, NegativePositionsAndOddLengthsAreRejected)
{
    ChunkBuffer chunk;
    chunk.PutInt32(3);
    chunk.PutInt32(0);
    int32_t i = 9;
    double d = 9.0;
    bool b = false;
    std::string s = "x";
    EXPECT_EQ(chunk.GetInt32(&i, -1), -1);
    EXPECT_EQ(chunk.GetDouble(&d, -8), -1);
    EXPECT_EQ(chunk.GetBool(&b, -1), -1);
    EXPECT_EQ(chunk.GetString(&s, -1), -1);
    EXPECT_EQ(chunk.GetInt32(&i, 8), -1);
    EXPECT_EQ(i, 9);
    EXPECT_EQ(d, 9.0);
    EXPECT_EQ(s, "x");

    ChunkBuffer lengths;
    lengths.PutInt32(0);
    lengths.PutInt32(-7);
    lengths.PutInt32(std::numeric_limits<int32_t>::max());
    lengths.PutInt32(1);
    EXPECT_EQ(lengths.GetString(&s, 0), 4);
    EXPECT_EQ(s, "");
    s = "y";
    EXPECT_EQ(lengths.GetString(&s, 4), 8);
    EXPECT_EQ(s, "");
    s = "z";
    EXPECT_EQ(lengths.GetString(&s, 8), -1);
    EXPECT_EQ(s, "z");
    EXPECT_EQ(lengths.GetString(&s, 12), -1);
    EXPECT_EQ(s, "z");
}

TEST(ChunkBuffer, DoublesKeepEveryBitPattern)
{
    const double values[] = {
        0.0,  -0.0, 1e-310, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max(),
        23.49};
    for (double v : values)
    {
        ChunkBuffer chunk;
        chunk.PutDouble(v);
        double back = 0.0;
        ASSERT_EQ(chunk.GetDouble(&back, 0), 8);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
        EXPECT_EQ(back, v);
    }
    ChunkBuffer nan;
    nan.PutDouble(std::numeric_limits<double>::quiet_NaN());
    double back = 0.0;
    nan.GetDouble(&back, 0);
    EXPECT_TRUE(std::isnan(back));
}

TEST(ChunkHeader, StartChunkWritesMagicAndVersion)
{
    ChunkBuffer chunk;
    chunk.PutInt32(99);
    IPlugBase::StartChunk(chunk);
    EXPECT_EQ(Bytes(chunk), (std::vector<uint8_t>{'t', 'f', 'f', 'p', 0, 0, 1, 0}));
}

TEST(ChunkHeader, ReadChunkVersionCoversMagicPresentAbsentAndCut)
{
    ChunkBuffer chunk;
    IPlugBase::StartChunk(chunk);
    chunk.PutInt32(5);
    int pos = 0;
    EXPECT_EQ(IPlugBase::ReadChunkVersion(chunk, pos), IPlugBase::kChunkVersion);
    EXPECT_EQ(pos, 8);

    ChunkBuffer bare;
    bare.PutInt32(5);
    bare.PutInt32(6);
    pos = 0;
    EXPECT_EQ(IPlugBase::ReadChunkVersion(bare, pos), 0);
    EXPECT_EQ(pos, 0);

    ChunkBuffer cut = FromBytes({'t', 'f', 'f', 'p', 0, 0, 1});
    pos = 0;
    EXPECT_EQ(IPlugBase::ReadChunkVersion(cut, pos), 0);
    EXPECT_EQ(pos, -1);

    ChunkBuffer shortMagic = FromBytes({'t', 'f', 'f'});
    pos = 0;
    EXPECT_EQ(IPlugBase::ReadChunkVersion(shortMagic, pos), 0);
    EXPECT_EQ(pos, 0);
}
