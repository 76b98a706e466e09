// The record store: variable-length records in one file, found through up to
// 16 keys per record, each key with its own tree of key codes.
//
// A caller builds a record (Store_NewRecord, Store_SetKey), inserts it, finds
// it again by any key, rewrites its data, or removes it. Every change is kept
// in memory until Store_Flush or Store_Close commits it: the commit is atomic
// (a crash or a power loss at any moment leaves the file as of the last
// completed commit) and, unless the file was opened with kStoreNoSync,
// durable when Store_Flush returns. README.md beside this file describes
// the protocol. A transaction that grows past 16 MiB is committed by the
// operation that grows it.
//
// Every operation returns a StoreStatus (status.h); nothing throws. Records
// handed out by the store belong to the caller until Store_FreeRecord.
#ifndef TAVO_STORAGE_STORE_STORE_H_
#define TAVO_STORAGE_STORE_STORE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "storage/store/byte_order.h"
#include "storage/store/key_code.h"
#include "storage/store/record.h"
#include "storage/store/status.h"

namespace tavo {

class Env;
struct StoreFile;
struct StoreIteration;

// Open mode: the access in the low bits, lock and flush options above it.
inline constexpr uint32_t kStoreRead = 1;
inline constexpr uint32_t kStoreReadWrite = 3;
inline constexpr uint32_t kStoreAccessMask = 0x0F;
inline constexpr uint32_t kStoreFlushOnInsert = 0x10;   // every insert commits
// Commits are atomic but not made durable (no fdatasync): they survive the
// process dying, not the machine losing power.
inline constexpr uint32_t kStoreNoSync = 0x20;
inline constexpr uint32_t kStoreOperationLock = 0x100;  // one recursive lock around every operation
inline constexpr uint32_t kStoreReaderWriterLock = 0x200;
inline constexpr uint32_t kStoreLockMask = 0x300;

enum class StoreConvert { kToNative, kToFile };

// Converters between the file's byte order and the machine's, called on a
// record's data, on key values of types 0, 4 and 5, and on the user block
// whenever they cross orders.
using StoreDataConverter = void (*)(uint8_t* data, uint32_t length, StoreConvert direction);
using StoreKeyConverter = void (*)(uint32_t key_index, uint8_t* value, uint32_t length,
                                   StoreConvert direction);

// What a kind of file needs across byte orders. A file of the other order
// opens only when one is given.
struct StoreFileType {
  uint32_t byte_order = kStoreBigEndian;  // of new files
  StoreDataConverter convert_data = nullptr;
  StoreKeyConverter convert_key = nullptr;
  StoreDataConverter convert_user_block = nullptr;
};

struct StoreKeyDef {
  uint32_t type = 0;
  uint32_t method = kKeyMethodBytes;
};

// The shape of a new file. Sizes outside 32..1024 are clamped.
struct StoreFileDef {
  uint32_t kind = 0;
  std::vector<StoreKeyDef> keys = {StoreKeyDef{}};
  uint32_t node_size = 256;
  uint32_t alloc_a = 128;
  uint32_t alloc_b = 128;
  uint32_t user_block_size = 0;
};

struct StoreInfo {
  uint32_t kind = 0;
  uint32_t key_count = 0;
  uint32_t node_size = 0;
  uint32_t alloc_a = 0;
  uint32_t alloc_b = 0;
  uint32_t user_block_size = 0;
};

enum class StoreVerifyDepth {
  kQuick,  // header, anchors, user block, free directory, root nodes
  kDeep,   // also every node, leaf chain, record and free block of the file
};

// env == nullptr means Env::Default(). def == nullptr means one key, kind 0.
// type == nullptr creates a file of the machine's byte order.
StoreStatus Store_Create(StoreFile** out, const std::string& path, uint32_t mode, const StoreFileDef* def,
                         const StoreFileType* type, Env* env = nullptr);
// Opening first brings the file to its last commit (from the commit log left
// by a crash). A file opened for writing whose size or last blocks do not
// check out (truncated, or grown by something else) still opens and reads what
// it can, but refuses every change with kStoreTailDamaged (0x90020415).
StoreStatus Store_Open(StoreFile** out, const std::string& path, uint32_t mode, const StoreFileType* type,
                       Env* env = nullptr);
// Flushes and closes. The handle is freed even when the flush fails (the
// failure is returned), except for the lock refusals 0x9002041c/0x9002041d.
StoreStatus Store_Close(StoreFile* file);
StoreStatus Store_GetInfo(StoreFile* file, StoreInfo* info);
StoreStatus Store_Flush(StoreFile* file);

// Opens the file read only and walks it; returns the first fault found.
StoreStatus Store_Verify(const std::string& path, uint32_t mode, const StoreFileType* type,
                         StoreVerifyDepth depth = StoreVerifyDepth::kDeep, Env* env = nullptr);

StoreStatus Store_NewRecord(StoreFile* file, StoreRecord** out, const void* data, uint32_t data_length,
                            uint32_t key_length);
StoreStatus Store_SetKey(StoreFile* file, StoreRecord* record, uint32_t key_index, const void* value,
                         uint32_t length);
StoreStatus Store_Insert(StoreFile* file, StoreRecord* record);
StoreStatus Store_Remove(StoreFile* file, StoreRecord* record);
// Overwrites the data of a stored record in place; the length must not change.
StoreStatus Store_Rewrite(StoreFile* file, StoreRecord* record, const void* data, uint32_t data_length);
StoreStatus Store_Find(StoreFile* file, StoreRecord** out, uint32_t key_index, const void* value,
                       uint32_t length);
StoreStatus Store_FreeRecord(StoreFile* file, StoreRecord* record);

// Iteration in tree order (ascending key code, then record position) over the
// records whose key value equals `value`, or over every record entered under
// the key when value is null. Store_FindFirst opens the iteration only when it
// finds a first record; Store_FindNext answers 0x90020002 past the end. An
// iteration stays valid across inserts and removes: it resumes after the last
// record it handed out.
StoreStatus Store_FindFirst(StoreFile* file, StoreIteration** iteration, StoreRecord** out,
                            uint32_t key_index, const void* value, uint32_t length);
StoreStatus Store_FindNext(StoreFile* file, StoreIteration* iteration, StoreRecord** out);
StoreStatus Store_EndFind(StoreFile* file, StoreIteration* iteration);

// A scan of every stored record in file position order, the fastest way to
// visit them all: the record blocks are read sequentially with read-ahead,
// other blocks skipped. It sees what Store_Find sees: the last commit with
// this handle's changes since. The position is a plain value (start from
// StoreScanPosition{}); between two steps the file may change: a record
// inserted behind the position is not seen, one removed ahead of it is not
// seen, and a record removed and inserted again may be seen twice or never.
struct StoreScanPosition {
  uint64_t next = 0;  // file offset of the next block's tag; 0: the first block
};
// Hands out the next record and moves the position past it; 0x90020002
// past the last one. A record whose image does not check out answers
// kStoreRecordDamaged and is stepped over, so the scan may go on. A block
// frame that does not check out (the blocks after it cannot be found) and
// any other failure end the scan: the status is returned once, and every
// later step answers 0x90020002.
StoreStatus Store_ScanNext(StoreFile* file, StoreScanPosition* position, StoreRecord** out);

// The user block is read and written whole: reading yields the size named in
// the header, writing takes at most that many bytes (the rest is zeroed).
StoreStatus Store_ReadUserBlock(StoreFile* file, uint8_t** block, uint32_t* length);
StoreStatus Store_WriteUserBlock(StoreFile* file, const void* block, uint32_t length);
StoreStatus Store_FreeUserBlock(StoreFile* file, uint8_t* block);

// Reader/writer mode (kStoreReaderWriterLock): writing operations are accepted
// only from the thread that holds the writer lock; readers keep writers out.
StoreStatus Store_LockWriter(StoreFile* file);
StoreStatus Store_UnlockWriter(StoreFile* file);
StoreStatus Store_LockReader(StoreFile* file);
StoreStatus Store_UnlockReader(StoreFile* file);

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_STORE_H_
