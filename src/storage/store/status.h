// Status codes of the record store. Every store operation returns one of
// these; 0 is success. Damaged input is a status, never a crash.
#ifndef TAVO_STORAGE_STORE_STATUS_H_
#define TAVO_STORAGE_STORE_STATUS_H_

#include <cstdint>

namespace tavo {

using StoreStatus = uint32_t;

inline constexpr StoreStatus kStoreOk = 0;
inline constexpr StoreStatus kStoreNoMemory = 0x90020001;         // also: a lock could not be made
inline constexpr StoreStatus kStoreNotFound = 0x90020002;         // missing file, key value, record, user block
inline constexpr StoreStatus kStoreShortIo = 0x90020003;          // fewer bytes moved than asked
inline constexpr StoreStatus kStoreInvalidArgument = 0x90020004;
inline constexpr StoreStatus kStoreFileExists = 0x90020049;
inline constexpr StoreStatus kStoreUnusable = 0x90020401;         // handle poisoned by an earlier failure
inline constexpr StoreStatus kStoreAccessDenied = 0x90020402;     // also: writing through a read-only handle
inline constexpr StoreStatus kStoreHeaderUnreadable = 0x90020403; // header shorter than 56 bytes
inline constexpr StoreStatus kStoreBlockDamaged = 0x90020404;     // a block tag does not fit its use
inline constexpr StoreStatus kStoreBadVersion = 0x90020405;
inline constexpr StoreStatus kStoreBadMagic = 0x90020406;
inline constexpr StoreStatus kStoreAlreadyStored = 0x90020407;
inline constexpr StoreStatus kStoreFreeSpaceDamaged = 0x90020408; // free list overlaps live blocks
inline constexpr StoreStatus kStoreTooLarge = 0x90020409;         // record or file beyond 32-bit offsets
inline constexpr StoreStatus kStoreNoSpace = 0x9002040a;          // disk full, or key area full
inline constexpr StoreStatus kStoreNodeTooSmall = 0x9002040b;     // node size leaves fewer than 2 entries
inline constexpr StoreStatus kStoreIndexMismatch = 0x9002040c;    // a stored record is missing from a tree
inline constexpr StoreStatus kStoreRecordDamaged = 0x9002040d;    // record image lengths do not add up
inline constexpr StoreStatus kStoreNodeNotANode = 0x9002040f;     // node offset misaligned or not a node block
inline constexpr StoreStatus kStoreNodeBeyondEnd = 0x90020410;
inline constexpr StoreStatus kStoreNodeDamaged = 0x90020411;      // leaf flag, count or leaf link wrong
inline constexpr StoreStatus kStoreNodeOrder = 0x90020412;        // codes out of order or outside the parent's range
inline constexpr StoreStatus kStoreTreeShape = 0x90020413;        // cycle, shared node, uneven depth, wrong record
inline constexpr StoreStatus kStoreTailDamaged = 0x90020415;      // file size or last blocks do not check out: writes refused
inline constexpr StoreStatus kStoreOtherOrder = 0x90020416;
inline constexpr StoreStatus kStoreFileSystem = 0x90020417;
inline constexpr StoreStatus kStoreNoIteration = 0x90020418;
inline constexpr StoreStatus kStoreDamagedHeader = 0x90020419;
inline constexpr StoreStatus kStoreLockFailed = 0x9002041a;
inline constexpr StoreStatus kStoreNotWriter = 0x9002041b;
inline constexpr StoreStatus kStoreReadersRegistered = 0x9002041c;
inline constexpr StoreStatus kStoreWriterRegistered = 0x9002041d;

// Maps an errno value of the file layer to a store status.
StoreStatus StoreStatusFromErrno(int err) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_STATUS_H_
