#include "vocabulary/timestamp/timestamp.h"

#include <climits>
#include <cstdio>
#include <ctime>

#include "platform/automation/utf.h"
#include "platform/com/out_values.h"

namespace tavo {
namespace {

// One "%d" conversion as the C library reads it: leading white space, an
// optional sign, at least one digit. Values beyond 32 bits saturate.
bool ScanInt(std::string_view text, size_t& pos, int32_t* out) {
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
  int64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    if (value <= INT32_MAX) value = value * 10 + (text[pos] - '0');
  }
  if (negative) value = -value;
  *out = value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
  return true;
}

// Five numbers separated by the given four literal characters.
bool ScanFive(std::string_view text, const char (&separators)[4], int32_t (&numbers)[5]) {
  size_t pos = 0;
  for (int i = 0; i < 5; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != separators[i - 1]) return false;
      ++pos;
    }
    if (!ScanInt(text, pos, &numbers[i])) return false;
  }
  return true;
}

}  // namespace

std::string Timestamp::Format(const DateTime& v) {
  char buf[100];
  std::snprintf(buf, sizeof buf, "%i:%02i:%02i:%02i:%02i", v.year, v.month, v.day, v.hour, v.minute);
  return buf;
}

bool Timestamp::Parse(std::string_view text, DateTime* value) {
  int32_t n[5];
  if (!ScanFive(text, {'/', '/', ':', ':'}, n) && !ScanFive(text, {':', ':', ':', ':'}, n)) return false;
  *value = DateTime{n[0], n[1], n[2], n[3], n[4]};
  return true;
}

HRESULT Timestamp::ToRecord(RecordDate* record) const {
  if (record == nullptr) return kTimestampMissing;
  *record = ToRecordDate(value_);
  return S_OK;
}

HRESULT Timestamp::FromRecord(const RecordDate* record) {
  if (record == nullptr) return kTimestampMissing;
  value_ = FromRecordDate(*record);
  return S_OK;
}

#define TAVO_TIMESTAMP_FIELD(Name, field)                           \
  HRESULT Timestamp::get_##Name(LONG* v) {                          \
    if (v == nullptr) return kTimestampMissing;                     \
    *v = value_.field;                                              \
    return S_OK;                                                    \
  }                                                                 \
  HRESULT Timestamp::put_##Name(LONG v) {                           \
    value_.field = v;                                               \
    return S_OK;                                                    \
  }
TAVO_TIMESTAMP_FIELD(Year, year)
TAVO_TIMESTAMP_FIELD(Month, month)
TAVO_TIMESTAMP_FIELD(Day, day)
TAVO_TIMESTAMP_FIELD(Hour, hour)
TAVO_TIMESTAMP_FIELD(Minute, minute)
#undef TAVO_TIMESTAMP_FIELD

HRESULT Timestamp::SetToNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  value_ = DateTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min};
  return S_OK;
}

HRESULT Timestamp::GetAsString(BSTR* text) {
  if (text == nullptr) return kTimestampMissing;
  return StoreText(text, Format(value_));
}

HRESULT Timestamp::SetAsString(BSTR text) {
  if (SysStringLen(text) == 0) return kTimestampMissing;
  DateTime parsed;
  if (!Parse(BstrToUtf8(text), &parsed)) return kTimestampMissing;
  value_ = parsed;
  return S_OK;
}

HRESULT ReadTimestamp(ITavoPL2Timestamp* t, DateTime* value) {
  if (t == nullptr || value == nullptr) return E_POINTER;
  DateTime v;
  HRESULT hr;
  if ((hr = t->get_Year(&v.year)) != S_OK || (hr = t->get_Month(&v.month)) != S_OK ||
      (hr = t->get_Day(&v.day)) != S_OK || (hr = t->get_Hour(&v.hour)) != S_OK ||
      (hr = t->get_Minute(&v.minute)) != S_OK)
    return FAILED(hr) ? hr : E_FAIL;
  *value = v;
  return S_OK;
}

HRESULT WriteTimestamp(ITavoPL2Timestamp* t, const DateTime& v) {
  if (t == nullptr) return E_POINTER;
  HRESULT hr;
  if ((hr = t->put_Year(v.year)) != S_OK || (hr = t->put_Month(v.month)) != S_OK ||
      (hr = t->put_Day(v.day)) != S_OK || (hr = t->put_Hour(v.hour)) != S_OK ||
      (hr = t->put_Minute(v.minute)) != S_OK)
    return FAILED(hr) ? hr : E_FAIL;
  return S_OK;
}

HRESULT NewTimestamp(const DateTime& value, ITavoPL2Timestamp** out) {
  return StoreObject(out, Timestamp::Make(value));
}

}  // namespace tavo
