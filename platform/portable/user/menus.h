// Menus: what window teardown and SetMenu need to know of them.
#pragma once

#include "../../win32.h"

namespace portable::user {

void DestroyMenuTree(HMENU menu);
bool MenuIsValid(HMENU menu);

}  // namespace portable::user
