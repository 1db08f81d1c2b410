// Windows error codes, as the operating system reports them. The program's logic tests for
// these values exactly as it would on Windows, so every platform returns the same codes.
#pragma once

#include <cstdint>

namespace brx::platform {

using ErrorCode = std::int32_t;

inline constexpr ErrorCode kErrorSuccess = 0;
inline constexpr ErrorCode kErrorFileNotFound = 2;
inline constexpr ErrorCode kErrorPathNotFound = 3;
inline constexpr ErrorCode kErrorAccessDenied = 5;
inline constexpr ErrorCode kErrorInvalidHandle = 6;
inline constexpr ErrorCode kErrorNotEnoughMemory = 8;
inline constexpr ErrorCode kErrorInvalidDrive = 15;
inline constexpr ErrorCode kErrorNotSameDevice = 17;
inline constexpr ErrorCode kErrorWriteProtect = 19;
inline constexpr ErrorCode kErrorNotReady = 21;
inline constexpr ErrorCode kErrorWriteFault = 29;
inline constexpr ErrorCode kErrorReadFault = 30;
inline constexpr ErrorCode kErrorSharingViolation = 32;
inline constexpr ErrorCode kErrorHandleDiskFull = 39;
inline constexpr ErrorCode kErrorFileExists = 80;
inline constexpr ErrorCode kErrorInvalidParameter = 87;
inline constexpr ErrorCode kErrorDiskFull = 112;
inline constexpr ErrorCode kErrorInvalidName = 123;
inline constexpr ErrorCode kErrorDirNotEmpty = 145;
inline constexpr ErrorCode kErrorDirectoryInvalid = 267;
inline constexpr ErrorCode kErrorAlreadyExists = 183;
inline constexpr ErrorCode kErrorMoreData = 234;
inline constexpr ErrorCode kErrorNoMoreItems = 259;
inline constexpr ErrorCode kErrorBadDb = 1009;           // registry database is corrupt
inline constexpr ErrorCode kErrorBadKey = 1010;          // registry key is invalid
inline constexpr ErrorCode kErrorCantOpen = 1011;        // registry key cannot be opened
inline constexpr ErrorCode kErrorCantRead = 1012;
inline constexpr ErrorCode kErrorCantWrite = 1013;
inline constexpr ErrorCode kErrorRegistryIoFailed = 1016;
inline constexpr ErrorCode kErrorNotRegistryFile = 1017;
inline constexpr ErrorCode kErrorKeyDeleted = 1018;       // key marked for deletion
inline constexpr ErrorCode kErrorNotAllAssigned = 1300;  // privilege not held
inline constexpr ErrorCode kErrorNoSuchPrivilege = 1313;
inline constexpr ErrorCode kErrorPrivilegeNotHeld = 1314;

}  // namespace brx::platform
