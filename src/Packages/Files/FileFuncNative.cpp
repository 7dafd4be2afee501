// Native stand-in: the native build opens no system searches (the wrappers
// are Win32 only), so a search record there never holds a handle to close.
// It exists so that the portable trees can take search records in their
// native tests.
#include "Packages/Files/FileFunc.h"

void TFindHandlePolicy::Close(Value) {}
