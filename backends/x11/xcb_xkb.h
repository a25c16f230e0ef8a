#pragma once
// xcb/xkb.h names a structure member "explicit", which is a keyword in C++.

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
