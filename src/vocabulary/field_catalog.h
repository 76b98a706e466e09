// The field catalogue: for every criterion field its comparison type and the
// name stored for it in preset files; the operator table; the names of field
// types, rank orders and match modes. Constant data; lookups never fail:
// unknown input maps to the catalogue's "none" values (field 53, type 0).
#ifndef TAVO_VOCABULARY_FIELD_CATALOG_H_
#define TAVO_VOCABULARY_FIELD_CATALOG_H_

#include <cstdint>
#include <string_view>

#include "tavo/enums.h"

namespace tavo {

// Type of a field; 0 (unknown) for 45..48 and for anything outside 0..52.
int32_t FieldCatalog_Type(int32_t field) noexcept;
// Stored name; empty for 0, 53 and anything outside the table.
std::string_view FieldCatalog_Name(int32_t field) noexcept;
// The first of fields 1..52 whose stored name matches ignoring ASCII case; 53 when none does.
int32_t FieldCatalog_FromName(std::string_view name) noexcept;
// Unit word of a field ("MB", "minutes", "kbps", "bpm"), empty for the others.
std::string_view FieldCatalog_Units(int32_t field) noexcept;

std::string_view FieldType_Name(int32_t type) noexcept;     // "UNKN", "STR", ...; empty when out of range
int32_t FieldType_FromName(std::string_view name) noexcept;  // 0 when unknown

// Stored name of an operator; empty for the range markers and out-of-range values.
std::string_view Operator_Name(int32_t op) noexcept;
// Type an operator belongs to; 0 for markers and out-of-range values.
int32_t Operator_Type(int32_t op) noexcept;
// The operator of the given field type whose stored name matches ignoring
// ASCII case. "enumrang" (29) is found only for a type that is none of the
// four known ones. 0 when nothing matches.
int32_t Operator_FromName(std::string_view name, int32_t field_type) noexcept;

// The type the engine compares a criterion as: the field's catalogue type
// when that is known, else derived from the operator.
int32_t Criterion_EffectiveType(int32_t field, int32_t op) noexcept;

std::string_view RankOrder_Name(int32_t order) noexcept;        // "asc", "dsc"; empty otherwise
int32_t RankOrder_FromName(std::string_view name) noexcept;      // 0 when unknown
std::string_view MatchMode_Name(int32_t mode) noexcept;         // "any", "all"; empty otherwise
int32_t MatchMode_FromName(std::string_view name) noexcept;      // -1 when unknown

}  // namespace tavo

#endif  // TAVO_VOCABULARY_FIELD_CATALOG_H_
