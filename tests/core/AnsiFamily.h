// Lets a test take the older Windows family's branches (the ANSI file and
// comparison functions, which also work on the NT family) while it lives.
#pragma once

#include "system/LxSys.h"

class TAnsiFamily {
public:
    TAnsiFamily() : saved_(IsWinNT) { IsWinNT = false; }
    ~TAnsiFamily() { IsWinNT = saved_; }
    TAnsiFamily(const TAnsiFamily&) = delete;
    TAnsiFamily& operator=(const TAnsiFamily&) = delete;

private:
    bool saved_;
};
