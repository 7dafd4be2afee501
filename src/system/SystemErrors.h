// The system error numbers the program looks at, under names of its own;
// the system's names stand beside them (checked against them in the Win32
// layer).
#pragma once

#include <cstdint>

constexpr uint32_t kErrorInvalidFunction = 1;        // ERROR_INVALID_FUNCTION
constexpr uint32_t kErrorFileNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr uint32_t kErrorPathNotFound = 3;           // ERROR_PATH_NOT_FOUND
constexpr uint32_t kErrorInvalidDrive = 15;          // ERROR_INVALID_DRIVE
constexpr uint32_t kErrorNoMoreFiles = 18;           // ERROR_NO_MORE_FILES
constexpr uint32_t kErrorInvalidName = 123;          // ERROR_INVALID_NAME
constexpr uint32_t kErrorAlreadyExists = 183;        // ERROR_ALREADY_EXISTS
constexpr uint32_t kErrorCantResolveFilename = 1921; // ERROR_CANT_RESOLVE_FILENAME
