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
  // Larger than the window the archive is read through, so that libzip's
  // reads go back and forth across it.
  std::string noise(1500000, '\0');
  std::uint32_t seed = 7;
  for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  testing::WriteArchive(world.Host("C:\\GOOD.ZIP"), {{"A/B.TXT", bytes},
                                                     {"link:L", "/etc"},
                                                     {"N/NOISE.BIN", noise},
                                                     {"N/LAST.TXT", "last"}});
  ASSERT_TRUE(ZipReading::Open(world.platform(), "c:\\good.zip", &reading).ok());
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  ASSERT_EQ(reading->entries().size(), 4u);
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
  read.clear();
  ASSERT_TRUE(reading->Read(3, [&](const char* data, std::size_t size) {
    read.append(data, size);
    return true;
  }).ok());
  EXPECT_EQ(read, "last");
  reading->StartCheck(2);
  for (const Status& status : reading->FinishCheck()) EXPECT_TRUE(status.ok()) << status.detail;
  world.WriteFile("C:\\A.TXT", bytes);
  ASSERT_TRUE(world.platform().SumFile("C:\\A.TXT", &sum).ok());
  EXPECT_EQ(sum, (FileSum{bytes.size(), crc}));
}

}  // namespace
}  // namespace zr
