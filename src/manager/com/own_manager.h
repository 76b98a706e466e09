// The manager's private interface: what tells our manager object apart from
// a host's own implementation of ITavoPlaylist2Mgr (the maintenance object's
// Attach and Detach receive any such pointer). Only TavoPeltaPlaylist2Mgr
// answers it; AsOwn (generation/objects/own_interfaces.h) asks for it.
#ifndef TAVO_MANAGER_COM_OWN_MANAGER_H_
#define TAVO_MANAGER_COM_OWN_MANAGER_H_

#include "generation/objects/own_interfaces.h"

#define TAVO_BASE_ITavoOwnPlaylist2Mgr IUnknown
#define TAVO_OWN_ITavoOwnPlaylist2Mgr(X, T)
TAVO_INTERFACE(ITavoOwnPlaylist2Mgr, 0x7c2e91d4, 0x5b0a, 0x4f63, 0xa8, 0xd1, 0x3e, 0x96, 0xb0, 0x7f, 0x21, 0xc5)

#endif  // TAVO_MANAGER_COM_OWN_MANAGER_H_
