// Member dates are local time under the rules of their own date: a summer stamp
// extracted in winter must not take winter's offset, nor the other way round.
// The checks hold in any zone, but only one with daylight saving can show the
// fault, so ctest runs this program with TZ set to such a zone.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <ctime>
#endif

#include "engine_fixture.h"

namespace {

using namespace ziptest;
namespace fs = std::filesystem;

struct LocalStamp {
    std::string text;       // "YYYY-MM-DD hh:mm:ss"; empty when the file could not be read
    int offset_minutes = 0; // local time minus UTC at that moment
};

std::string Format(int year, int month, int day, int hour, int minute, int second) {
    char text[80]; // room for any int, so the compiler sees nothing cut off
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text;
}

// The file's last write time, which the system keeps in UTC, as local time: the
// opposite conversion to the one under test, done by the system's own rules.
LocalStamp LastWriteLocal(const fs::path& file) {
    LocalStamp stamp;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME utc, local;
    TIME_ZONE_INFORMATION zone;
    FILETIME local_time;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
        !GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) ||
        !SystemTimeToTzSpecificLocalTime(&zone, &utc, &local) ||
        !SystemTimeToFileTime(&local, &local_time))
        return stamp;
    auto ticks = [](const FILETIME& t) {
        return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                    t.dwLowDateTime);
    };
    stamp.offset_minutes =
        static_cast<int>((ticks(local_time) - ticks(data.ftLastWriteTime)) / 600000000);
    stamp.text =
        Format(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
#else
    struct stat st;
    std::tm tm;
    if (stat(file.c_str(), &st) != 0 || !localtime_r(&st.st_mtime, &tm)) return stamp;
    stamp.offset_minutes = static_cast<int>(tm.tm_gmtoff / 60);
    stamp.text =
        Format(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
#endif
    return stamp;
}

class TimeZone : public ::testing::Test {
  protected:
    // In the build tree, where ctest starts the program.
    void SetUp() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
        ASSERT_TRUE(fs::create_directories(root_));
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    const fs::path root_ = fs::absolute("time_zone_test.tmp");
};

TEST_F(TimeZone, StampsTakeTheOffsetOfTheirOwnDate) {
    Archive a;
    a.members = {Stored("summer.txt", ToBytes("s")), Stored("winter.txt", ToBytes("w"))};
    a.members[0].dos_time = DosTime(2024, 7, 15, 12, 0, 0);
    a.members[1].dos_time = DosTime(2024, 1, 15, 12, 0, 0);
    const fs::path archive = root_ / "archive.zip";
    const Bytes bytes = a.Build();
    std::ofstream(archive, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    unzip::Engine engine(unzip::PlatformFileSystem());
    ASSERT_EQ(engine.ExtractMatching(archive.u8string(), (root_ / "out").u8string(), "*.*"), 2);

    const LocalStamp summer = LastWriteLocal(root_ / "out" / "summer.txt");
    const LocalStamp winter = LastWriteLocal(root_ / "out" / "winter.txt");
    EXPECT_EQ(summer.text, "2024-07-15 12:00:00");
    EXPECT_EQ(winter.text, "2024-01-15 12:00:00");
    EXPECT_NE(summer.offset_minutes, winter.offset_minutes)
        << "the zone has no daylight saving, so this shows nothing; ctest sets TZ for it";
}

} // namespace
