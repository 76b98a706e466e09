// Reading generator chains from a parsed preset document (preset_file.h).
//
// Every root child named PSET becomes one generator with the defaults of a
// new record, in document order; its children apply in document order (an
// element given twice applies twice: the later value wins, criteria and
// limits accumulate):
//  - NAME, DESC: name, description.
//  - CRITERIA: match any when MATCH is missing or "any", else match all; each
//    CRIT child is a criterion.
//  - SEED: unsigned decimal, cast to 32-bit signed, so a negative seed
//    written as its unsigned value comes back as itself.
//  - RANKFIELD: by field name (an unknown or empty name skips it); descending
//    when ORDER is "dsc", else ascending; the position is RANKINDEX (0 when
//    missing).
//  - LIMIT: MAXSONGS, MAXKB, MAXTIME (unsigned decimal); PERFIELD: the named
//    field with the value of its LIMIT attribute (limits of one field keep
//    document order).
//  - AUTOUPDATE: set when the value is above 0. SORTRESULTS: by field name.
// A field name that matches no field reads as 53, which no operation takes.
//
// A CRIT: its children apply in document order, and those without text are
// skipped, except PARAM1:
//  - FIELD: field by name, type by the TYPE attribute (0 when unknown); an OP
//    seen earlier is resolved now. OP: resolved within the type's range
//    (preset_operator.h) once a FIELD is known. CDESC: description.
//    WEIGHT: 16 bits of its value.
//  - PARAM1: with a DYNAMIC attribute the criterion is selection-based;
//    otherwise the text is string parameter 1 and its value integer
//    parameter 1, corrected when the element carries FIELDLIST (naming
//    track_genrev2), MASTERID and IDSYSLEVEL and a genre list is given
//    (genre_correction.h). PARAM2, PARAM3: string parameter 2 (a third string
//    parameter is not kept) and integer parameters 2 and 3.
//  Integer parameters are read like SEED.
//
// Order numbers: criteria take the numbers 1..count in the order of their
// ORDER attributes (missing counts as 0), equal ones in document order. A
// document whose orders already are 1..count keeps them; one written with
// orders from 0, or with repeats, is renumbered instead of giving two
// criteria the same number.
#ifndef TAVO_DATA_PRESETS_PRESET_READER_H_
#define TAVO_DATA_PRESETS_PRESET_READER_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"
#include "data/xml/xml.h"
#include "generation/records/generator_chain.h"

namespace tavo {

// Reads the generators of `root` into *chain (replacing its content). A
// chain holds at most 32,767 generators; later PSETs are ignored. Throws
// std::bad_alloc.
void ReadPresetDocument(const XmlNode* root, const DescriptorList* genres, const IdMapping* genre_mapping,
                        GeneratorChain* chain);

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_PRESET_READER_H_
