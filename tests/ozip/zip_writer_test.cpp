// The records of archives too large to write in a test: Zip64 fields appear exactly where a
// size, an offset or the member count does not fit the classic fields, and hold the values.
#include <gtest/gtest.h>

#include "support/scratch.h"
#include "unzip/engine.h"
#include "unzip/zip_format.h"
#include "zip_writer.h"

namespace {

using ozip::Bytes;

constexpr uint64_t kGiB = uint64_t{1} << 30;

uint64_t Load64(const uint8_t* p) {
    return unzip::Load32(p) | static_cast<uint64_t>(unzip::Load32(p + 4)) << 32;
}

ozip::MemberRecord Member(uint64_t size, uint64_t compressed_size, uint64_t offset) {
    ozip::MemberRecord member;
    member.name = "data/big.bin";
    member.method = unzip::kMethodDeflated;
    member.size = size;
    member.compressed_size = compressed_size;
    member.header_offset = offset;
    return member;
}

TEST(ZipWriterRecords, CentralEntryCarriesOnlyTheValuesThatOverflow) {
    const ozip::MemberRecord member = Member(5 * kGiB, 3 * kGiB, 4 * kGiB + 512);
    const Bytes bytes = ozip::CentralEntryBytes(member);
    const unzip::CentralEntry entry = unzip::ParseCentralEntry(bytes.data());
    EXPECT_EQ(entry.size, unzip::kZip64Mark);
    EXPECT_EQ(entry.compressed_size, 3 * kGiB);
    EXPECT_EQ(entry.header_offset, unzip::kZip64Mark);
    ASSERT_EQ(bytes.size(), entry.length());
    const uint8_t* extra = bytes.data() + unzip::kCentralHeaderSize + entry.name_length;
    ASSERT_EQ(entry.extra_length, 4 + 16);
    EXPECT_EQ(unzip::Load16(extra), unzip::kZip64ExtraId);
    EXPECT_EQ(unzip::Load16(extra + 2), 16u);
    EXPECT_EQ(Load64(extra + 4), member.size);
    EXPECT_EQ(Load64(extra + 12), member.header_offset);
    EXPECT_EQ(unzip::Load16(bytes.data() + unzip::central_field::kVersionNeeded),
              unzip::kVersionZip64);

    const unzip::CentralEntry small =
        unzip::ParseCentralEntry(ozip::CentralEntryBytes(Member(100, 60, 4 * kGiB - 2)).data());
    EXPECT_EQ(small.extra_length, 0);
    EXPECT_EQ(small.header_offset, 4 * kGiB - 2);
}

TEST(ZipWriterRecords, LocalHeaderOfALargeMemberCarriesBothSizes) {
    const ozip::MemberRecord member = Member(5 * kGiB, 3 * kGiB, 0);
    const Bytes bytes = ozip::LocalHeaderBytes(member);
    const unzip::LocalHeader header = unzip::ParseLocalHeader(bytes.data());
    EXPECT_EQ(header.size, unzip::kZip64Mark);
    EXPECT_EQ(header.compressed_size, unzip::kZip64Mark);
    ASSERT_EQ(header.extra_length, 4 + 16);
    const uint8_t* extra = bytes.data() + unzip::kLocalHeaderSize + header.name_length;
    EXPECT_EQ(Load64(extra + 4), member.size);
    EXPECT_EQ(Load64(extra + 12), member.compressed_size);
    EXPECT_EQ(
        unzip::ParseLocalHeader(ozip::LocalHeaderBytes(Member(100, 60, 0)).data()).extra_length, 0);
}

TEST(ZipWriterRecords, Zip64EndRecordsForManyMembers) {
    const uint64_t offset = 1000, size = 70000 * 60;
    const Bytes bytes = ozip::EndRecordsBytes(70000, offset, size, "c");
    ASSERT_EQ(bytes.size(),
              unzip::kZip64EndSize + unzip::kZip64LocatorSize + unzip::kEndRecordSize + 1);
    EXPECT_EQ(unzip::Load32(bytes.data()), unzip::kZip64EndSignature);
    EXPECT_EQ(Load64(bytes.data() + 32), 70000u);
    EXPECT_EQ(Load64(bytes.data() + 48), offset);
    const uint8_t* locator = bytes.data() + unzip::kZip64EndSize;
    EXPECT_EQ(unzip::Load32(locator), unzip::kZip64LocatorSignature);
    EXPECT_EQ(Load64(locator + unzip::zip64_locator_field::kEndOffset), offset + size);
    const unzip::EndRecord end = unzip::ParseEndRecord(locator + unzip::kZip64LocatorSize);
    EXPECT_EQ(end.entries, 0xFFFF);
    EXPECT_EQ(end.directory_offset, offset);

    EXPECT_EQ(ozip::EndRecordsBytes(65534, offset, 1000, "").size(),
              static_cast<size_t>(unzip::kEndRecordSize));
}

// More members than the classic end record counts: the engine finds them all through the Zip64
// end record and locator the writer made.
TEST(ZipWriterRecords, EngineReadsTheZip64EndRecordsItWrote) {
    scratch::Folder dir;
    const std::string path = dir.Path("many.zip");
    constexpr unsigned kMembers = 0x10000 + 5;
    {
        ozip::ZipWriter writer(path);
        for (unsigned i = 0; i < kMembers; ++i) {
            ozip::MemberRecord member;
            member.name = "m" + std::to_string(i);
            member.method = unzip::kMethodStored;
            const Bytes data = {static_cast<uint8_t>(i)};
            member.size = member.compressed_size = data.size();
            writer.Add(member, data);
        }
        writer.Finish("");
    }
    unzip::Engine engine(unzip::PlatformFileSystem(), {});
    unzip::MemberEntry entry;
    unsigned count = 0;
    for (int32_t rc = engine.FirstMember(path, entry); rc == unzip::ResultOk;
         rc = engine.NextMember(entry))
        ++count;
    EXPECT_EQ(count, kMembers) << engine.diagnostic();
}

} // namespace
