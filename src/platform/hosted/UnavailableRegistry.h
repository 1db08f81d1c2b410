// A registry that has no hives: every call fails as on a machine whose registry cannot be
// opened. It stands in until a machine's hives are served.
#pragma once

#include "platform/Registry.h"

namespace brx::platform::hosted {

class UnavailableRegistry final : public Registry {
  public:
    ErrorCode openKey(HKey, const std::string&, std::uint32_t, HKey*) override {
        return kErrorCantOpen;
    }
    ErrorCode createKey(HKey, const std::string&, std::uint32_t, HKey*, bool*) override {
        return kErrorCantOpen;
    }
    ErrorCode closeKey(HKey) override { return kErrorInvalidHandle; }
    ErrorCode flushKey(HKey) override { return kErrorInvalidHandle; }
    ErrorCode queryInfoKey(HKey, RegKeyInfo*) override { return kErrorCantOpen; }
    ErrorCode enumValue(HKey, std::uint32_t, RegValue*) override { return kErrorCantOpen; }
    ErrorCode enumKey(HKey, std::uint32_t, std::string*) override { return kErrorCantOpen; }
    ErrorCode queryValue(HKey, const std::string&, RegValue*) override { return kErrorCantOpen; }
    ErrorCode setValue(HKey, const RegValue&) override { return kErrorCantOpen; }
    ErrorCode deleteValue(HKey, const std::string&) override { return kErrorCantOpen; }
    ErrorCode deleteKey(HKey, const std::string&) override { return kErrorCantOpen; }
    ErrorCode saveKey(HKey, const std::string&) override { return kErrorCantOpen; }
    ErrorCode replaceKey(HKey, const std::string&, const std::string&,
                         const std::string&) override {
        return kErrorCantOpen;
    }
};

}  // namespace brx::platform::hosted
