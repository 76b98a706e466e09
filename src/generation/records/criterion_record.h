// CriterionRecord: one test of a playlist generator (field, operator,
// parameters), the plain record that runs and preset files work on.
//
// Invariants:
//  - `order` is the criterion's number within its generator (1-based) while
//    the record sits in a generator's criteria chain; the chain assigns it.
//  - A criterion on a popularity field (22, 23, 33, 37, 38) loses its
//    sub-criteria whenever its field or a parameter is set, because the
//    sub-criteria were derived from those values.
//  - The link mark says whether a generator's chain holds the record; it is
//    never carried over by a copy, so a copy always starts unlinked.
#ifndef TAVO_GENERATION_RECORDS_CRITERION_RECORD_H_
#define TAVO_GENERATION_RECORDS_CRITERION_RECORD_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// Set in `flags` when a run has already answered the criterion.
inline constexpr uint32_t kCriterionSkipInRun = 1u;

class CriterionRecord {
 public:
  std::string description;
  int32_t field_type = 0;  // stored as given, never derived from the field
  int32_t op = 0;
  uint16_t weight = 1;
  uint16_t order = 0;
  uint8_t selection_based = 0;
  uint32_t flags = 0;

  int32_t field() const { return field_; }
  int32_t int_param(int index) const { return int_params_[index]; }      // index 0..2
  const std::string& str_param(int index) const { return str_params_[index]; }  // index 0..1

  void set_field(int32_t field);
  void set_int_param(int index, int32_t value);
  void set_str_param(int index, std::string value);

  // Tested in place of the criterion when present; records made through the
  // interface or read from preset files have none.
  const std::vector<CriterionRecord>& sub_criteria() const { return sub_criteria_; }
  std::vector<CriterionRecord>& mutable_sub_criteria() { return sub_criteria_; }

  // A copy of the values a clone carries over: everything but the
  // sub-criteria and the run flags.
  CriterionRecord CopyForClone() const;

  bool linked() const { return link_.linked; }

 private:
  friend class GeneratorRecord;

  // Copies and assignments leave the target unlinked.
  struct LinkMark {
    LinkMark() = default;
    LinkMark(const LinkMark&) {}
    LinkMark& operator=(const LinkMark&) { return *this; }
    bool linked = false;
  };

  void DropSubCriteriaOfPopularityField();

  int32_t field_ = 0;
  int32_t int_params_[3] = {0, 0, 0};
  std::string str_params_[2];
  std::vector<CriterionRecord> sub_criteria_;
  LinkMark link_;
};

// Fields whose criteria are expanded into sub-criteria by popularity range.
bool IsPopularityField(int32_t field);

}  // namespace tavo

#endif  // TAVO_GENERATION_RECORDS_CRITERION_RECORD_H_
