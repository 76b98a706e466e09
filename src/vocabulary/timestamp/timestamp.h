// TavoPL2Timestamp: the value object through which dates cross the boundary.
//
// Year, Month, Day, Hour and Minute are kept as given, never checked or
// normalised; there are no seconds. The getters and string operations answer
// 87 (a plain value, not an HRESULT) for a missing pointer or a string that
// does not parse; callers treat any non-zero result as failure.
#ifndef TAVO_VOCABULARY_TIMESTAMP_TIMESTAMP_H_
#define TAVO_VOCABULARY_TIMESTAMP_TIMESTAMP_H_

#include "platform/com/object.h"
#include "tavo/tavo.h"
#include "vocabulary/dates.h"

namespace tavo {

inline constexpr HRESULT kTimestampMissing = 87;

class Timestamp : public ComObject<Timestamp, ITavoPL2Timestamp> {
 public:
  Timestamp() = default;
  explicit Timestamp(const DateTime& value) : value_(value) {}

  const DateTime& value() const { return value_; }
  void set_value(const DateTime& value) { value_ = value; }

  // The stored date record and back; 87 for a missing record.
  HRESULT ToRecord(RecordDate* record) const;
  HRESULT FromRecord(const RecordDate* record);

  // "%i:%02i:%02i:%02i:%02i" of Year, Month, Day, Hour, Minute.
  static std::string Format(const DateTime& value);
  // Five numbers as "Y/M/D:h:m" or "Y:M:D:h:m"; false when neither form gives five.
  static bool Parse(std::string_view text, DateTime* value);

  HRESULT STDMETHODCALLTYPE get_Year(LONG* v) override;
  HRESULT STDMETHODCALLTYPE put_Year(LONG v) override;
  HRESULT STDMETHODCALLTYPE get_Month(LONG* v) override;
  HRESULT STDMETHODCALLTYPE put_Month(LONG v) override;
  HRESULT STDMETHODCALLTYPE get_Day(LONG* v) override;
  HRESULT STDMETHODCALLTYPE put_Day(LONG v) override;
  HRESULT STDMETHODCALLTYPE get_Hour(LONG* v) override;
  HRESULT STDMETHODCALLTYPE put_Hour(LONG v) override;
  HRESULT STDMETHODCALLTYPE get_Minute(LONG* v) override;
  HRESULT STDMETHODCALLTYPE put_Minute(LONG v) override;
  HRESULT STDMETHODCALLTYPE SetToNow() override;
  HRESULT STDMETHODCALLTYPE GetAsString(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE SetAsString(BSTR text) override;

 private:
  DateTime value_;
};

// Reads the five fields of any ITavoPL2Timestamp, ours or a host's, through
// its getters. E_POINTER for a null object; the first failing getter's status.
HRESULT ReadTimestamp(ITavoPL2Timestamp* timestamp, DateTime* value);
// Writes the five fields through the setters.
HRESULT WriteTimestamp(ITavoPL2Timestamp* timestamp, const DateTime& value);
// A new timestamp object holding `value`, with one reference for the caller.
HRESULT NewTimestamp(const DateTime& value, ITavoPL2Timestamp** out);

}  // namespace tavo

#endif  // TAVO_VOCABULARY_TIMESTAMP_TIMESTAMP_H_
