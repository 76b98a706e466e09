// Preset files: chains of playlist generators kept as XML documents
// ("samplepresets.xml", "userplaylists.xml", and any file a host saves a
// generator list to). On disk a document is normally its compressed ".bml"
// companion (data/xml/xml_file.h); a plain ".xml" file is read when there is
// no sound companion.
//
// The document, without declaration, indented by two spaces per level:
//
//   LIST NAME="PRESETS"
//     PSET                               one per generator, in chain order
//       CRITERIA MATCH="any"|"all"
//         CRIT ORDER=n                   one per criterion, in chain order
//           FIELD TYPE="UNKN|STR|NUM|ENUM|DATE"   field name
//           OP                           operator name
//           PARAM1                       string parameter 1 (field types 0, 1) or
//                                        integer parameter 1 (types 2 to 4); for a
//                                        selection-based criterion empty, with
//                                        DYNAMIC="1"; on a genre (field 19) the
//                                        list knows: FIELDLIST="track_genrev2",
//                                        MASTERID, IDSYSLEVEL of the genre
//           PARAM2                       string or integer parameter 2
//           PARAM3                       integer parameter 3 (types 2 to 4 only)
//           WEIGHT
//       LIMIT
//         PERFIELD LIMIT=n               field name; one per per-field limit
//         MAXKB, MAXTIME, MAXSONGS       each only when not 0
//       RANKFIELD ORDER="asc"|"dsc" RANKINDEX=position    field name; one per
//                                        rank entry whose field is 1 to 52
//       NAME, DESC                       always, empty when empty
//       AUTOUPDATE                       0 or 1
//       SEED
//       SORTRESULTS                      field name; only for fields 1 to 52
//
// Numbers are written as unsigned decimal. Reading compares element and
// attribute names, field, type, operator, rank-order and match names ignoring
// ASCII case, skips unknown elements, and never stops at a bad value (a number
// that does not parse is 0). Details of reading are in preset_reader.h.
//
// Thread safety: loads run in parallel; saves are serialized process-wide,
// because a document file is written through a temporary file of a fixed name
// beside it. A save replaces the file by a rename, so a crash in the middle
// leaves the previous presets readable.
#ifndef TAVO_DATA_PRESETS_PRESET_FILE_H_
#define TAVO_DATA_PRESETS_PRESET_FILE_H_

#include <cstdint>
#include <string>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"
#include "generation/records/generator_chain.h"
#include "platform/fs/env.h"

namespace tavo {

// Statuses besides 0 and those passed on from the XML layer (parse statuses
// 1 to 5, document-file status 72).
enum PresetStatus : int {
  kPresetMissingArgument = 4,   // save: missing chain or path
  kPresetCannotBuild = 8,       // save: the document could not be built or written out as text
  kPresetCannotSetAside = 9,    // an unreadable user file could not be moved out of the way
  kPresetMissingPath = 8193,    // load: missing path or output
};

// Reads the preset file at `path` (UTF-8) into *chain (replacing its
// content) and *count (the number of generators read, optional). `genres`
// (the genre display list) and `genre_mapping` (its child-id mapping) may be
// null; they serve the genre correction of PARAM1. Statuses: 0, 8193, 72 when
// the file cannot be read, the parse status. *chain is left alone on failure.
int PresetFile_Load(const char* path, const DescriptorList* genres, const IdMapping* genre_mapping,
                    GeneratorChain* chain, uint16_t* count, Env* env = nullptr) noexcept;

// Writes `chain` to `path`, with MASTERID and IDSYSLEVEL of genre criteria
// taken from `genres` (may be null). Statuses: 0, 4, 8, 72 when the file
// cannot be written.
int PresetFile_Save(const GeneratorChain* chain, const char* path, const DescriptorList* genres,
                    Env* env = nullptr) noexcept;

// The document text PresetFile_Save writes for `chain`; false when out of
// memory. The shipped sample presets are this text.
bool PresetFile_Text(const GeneratorChain& chain, const DescriptorList* genres, std::string* text) noexcept;

// Whether a path names a preset file a generator list may be saved to: its
// extension, from the last ".", is ".xml" in any case.
bool PresetFile_HasXmlExtension(const std::string& path) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_PRESET_FILE_H_
