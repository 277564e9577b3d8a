#include "platform/zip_reading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <memory>

#include "tests/test_world.h"

namespace zr {
namespace {

// What cannot be read as an archive (or summed as a file) says why, and a
// FIFO is never opened (the open would wait for a writer).
TEST(ZipReadingTest, OnlyRegularFilesAreOpenedAndReadBackWhole) {
  testing::TestWorld world;
  world.WriteFile("C:\\NOTZIP.ZIP", "PK not an archive");
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(world.Host("C:\\PIPE.ZIP").c_str(), 0600), 0);
#else
  world.MakeFolder("C:\\PIPE.ZIP");  // no FIFOs: another thing that is no file
#endif
  world.MakeFolder("C:\\FOLDER.ZIP");
  std::unique_ptr<ZipReading> reading;
  FileSum sum;
  for (const auto& [path, error] : {std::pair{"C:\\NONE.ZIP", kErrFileNotFound},
                                    {"C:\\PIPE.ZIP", kErrPathFileAccess},
                                    {"C:\\FOLDER.ZIP", kErrPathFileAccess},
                                    {"C:\\NOTZIP.ZIP", kErrDeviceIo}}) {
    EXPECT_EQ(ZipReading::Open(world.platform(), path, &reading).error, error) << path;
    if (error != kErrDeviceIo) {
      EXPECT_EQ(world.platform().SumFile(path, &sum).error, error) << path;
    }
  }

  const std::string bytes(200000, 'z');
  testing::WriteArchive(world.Host("C:\\GOOD.ZIP"), {{"A/B.TXT", bytes}, {"link:L", "/etc"}});
  ASSERT_TRUE(ZipReading::Open(world.platform(), "c:\\good.zip", &reading).ok());
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  ASSERT_EQ(reading->entries().size(), 2u);
  EXPECT_EQ(reading->entries()[0].sum, (FileSum{bytes.size(), crc}));
  EXPECT_FALSE(reading->entries()[0].link);
  EXPECT_TRUE(reading->entries()[1].link);
  std::string read;
  ASSERT_TRUE(reading
                  ->Read(0,
                         [&](const char* data, std::size_t size) {
                           read.append(data, size);
                           return true;
                         })
                  .ok());
  EXPECT_EQ(read, bytes);
  world.WriteFile("C:\\A.TXT", bytes);
  ASSERT_TRUE(world.platform().SumFile("C:\\A.TXT", &sum).ok());
  EXPECT_EQ(sum, (FileSum{bytes.size(), crc}));
}

}  // namespace
}  // namespace zr
