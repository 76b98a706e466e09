/* The header a host includes: automation types, the component's interfaces,
 * class and library identifiers, and the enumerations of its vocabulary. */
#ifndef TAVO_TAVO_H_
#define TAVO_TAVO_H_

#include "tavo/automation.h"
#include "tavo/interfaces.def"
#include "tavo/classes.h"
#include "tavo/enums.h"

#endif /* TAVO_TAVO_H_ */
