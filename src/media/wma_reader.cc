#include "media/wma_reader.h"

#include <taglib/asffile.h>
#include <taglib/asfproperties.h>

#include <atomic>
#include <memory>

#include "media/taglib_file_stream.h"

namespace tavo {
namespace {

std::atomic<WmaSupport> g_support{WmaSupport::kUnchecked};

// TagLib is linked into the module, so its ASF support is always there; the
// state stays so that a build without it, or a test, can take the other road
// without callers noticing a difference.
WmaSupport Probe() noexcept { return WmaSupport::kAvailable; }

WmaSupport SettleSupport() noexcept {
  WmaSupport support = g_support.load(std::memory_order_acquire);
  if (support != WmaSupport::kUnchecked) return support;
  WmaSupport expected = WmaSupport::kUnchecked;
  g_support.compare_exchange_strong(expected, Probe(), std::memory_order_acq_rel);
  return g_support.load(std::memory_order_acquire);
}

uint32_t NonNegative(int v) noexcept { return v > 0 ? static_cast<uint32_t>(v) : 0; }

}  // namespace

WmaSupport WmaReader::Support() noexcept { return g_support.load(std::memory_order_acquire); }

void WmaReader::SetSupportForTesting(WmaSupport support) noexcept {
  g_support.store(support, std::memory_order_release);
}

WmaStatus WmaReader::Read(const std::string& path) {
  duration_ms_ = 0;
  bit_rate_ = 0;
  if (SettleSupport() != WmaSupport::kAvailable) return WmaStatus::kUnavailable;

  std::unique_ptr<File> file;
  uint64_t size = 0;
  if (env_->Open(path, OpenMode::kRead, &file) != 0 || file->Size(&size) != 0) {
    return WmaStatus::kUnreadable;
  }
  TagLibFileStream stream(path, file.get(), size);
  TagLib::ASF::File asf(&stream, /*readProperties=*/true, TagLib::AudioProperties::Fast);
  const TagLib::ASF::Properties* properties = asf.audioProperties();
  if (!asf.isValid() || properties == nullptr) return WmaStatus::kUnreadable;

  // The header gives the play length in 100 ns units and the stream's average
  // byte rate; TagLib hands them on as rounded milliseconds and kilobits.
  duration_ms_ = NonNegative(properties->lengthInMilliseconds());
  bit_rate_ = NonNegative(properties->bitrate());
  return WmaStatus::kOk;
}

}  // namespace tavo
