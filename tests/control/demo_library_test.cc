// The demo library as tavo-make-demo writes it: a few hundred small files
// with unique names, readable by ffprobe when it is installed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "demo_writer.h"
#include "scratch_dir.h"

namespace tavo {
namespace {

TEST(DemoLibraryTest, WholeLibraryIsSmallWithUniqueFileNames) {
  ScratchDir dir;
  std::string error;
  const int written = WriteDemoLibrary(dir.path(), &error);
  ASSERT_EQ(static_cast<int>(DemoRecordings().size()), written) << error;
  EXPECT_GE(written, 200);
  uintmax_t bytes = 0;
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    if (!entry.is_regular_file()) continue;
    bytes += entry.file_size();
    EXPECT_TRUE(names.insert(entry.path().filename().string()).second) << entry.path();
  }
  EXPECT_EQ(static_cast<size_t>(written), names.size());
  EXPECT_LT(bytes, 4u << 20);
}

// ffprobe's exit status and error output for one file; -1 when it cannot run.
int Probe(const std::string& path, std::string* errors) {
  const std::string command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[256];
  std::string out;
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  const int status = ::pclose(pipe);
  *errors = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DemoLibraryTest, FfprobeReadsConstantAndVariableBitRateFiles) {
  if (std::system("ffprobe -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ffprobe is not installed";
  ScratchDir dir;
  int vbr = 0, cbr = 0;
  for (const Recording& r : DemoRecordings()) {
    if ((r.vbr ? vbr : cbr) >= 3) continue;
    ++(r.vbr ? vbr : cbr);
    const std::string path = dir.File(r.tag_id + ".mp3");
    std::string error;
    ASSERT_TRUE(WriteDemoFile(path, r, &error)) << error;
    std::string output;
    ASSERT_EQ(0, Probe(path, &output)) << output;
    // Only the duration line: no decoder complaints.
    const double seconds = std::atof(output.c_str());
    EXPECT_NEAR(r.seconds, seconds, 0.2) << output;
    EXPECT_EQ(std::string::npos, output.find('[')) << output;
  }
  EXPECT_EQ(3, vbr);
  EXPECT_EQ(3, cbr);
}

}  // namespace
}  // namespace tavo
