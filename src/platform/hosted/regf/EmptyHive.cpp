#include "platform/hosted/regf/EmptyHive.h"

#include "platform/hosted/regf/HiveBuilder.h"
#include "platform/hosted/regf/HiveFile.h"

namespace brx::platform::hosted::regf {

namespace {

using Bytes = std::vector<std::uint8_t>;

void append16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void append32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A SID with the NT authority (5) or the world authority (1).
Bytes sid(std::uint8_t authority, std::initializer_list<std::uint32_t> subAuthorities) {
    Bytes out{1, static_cast<std::uint8_t>(subAuthorities.size()), 0, 0, 0, 0, 0, authority};
    for (std::uint32_t sub : subAuthorities) append32(out, sub);
    return out;
}

void appendAllowedAce(Bytes& acl, std::uint32_t mask, const Bytes& who) {
    constexpr std::uint8_t kAccessAllowed = 0;
    constexpr std::uint8_t kInheritToContainers = 0x02;
    acl.push_back(kAccessAllowed);
    acl.push_back(kInheritToContainers);
    append16(acl, static_cast<std::uint16_t>(8 + who.size()));
    append32(acl, mask);
    acl.insert(acl.end(), who.begin(), who.end());
}

// A self-relative security descriptor: header, DACL, owner, group.
Bytes defaultSecurityDescriptor() {
    const Bytes administrators = sid(5, {32, 544});
    const Bytes system = sid(5, {18});
    const Bytes everyone = sid(1, {0});
    constexpr std::uint32_t kKeyAllAccess = 0xF003F;
    constexpr std::uint32_t kKeyRead = 0x20019;

    Bytes aces;
    appendAllowedAce(aces, kKeyAllAccess, administrators);
    appendAllowedAce(aces, kKeyAllAccess, system);
    appendAllowedAce(aces, kKeyRead, everyone);
    Bytes dacl{2, 0};
    append16(dacl, static_cast<std::uint16_t>(8 + aces.size()));
    append16(dacl, 3);
    append16(dacl, 0);
    dacl.insert(dacl.end(), aces.begin(), aces.end());

    constexpr std::uint16_t kSelfRelative = 0x8000;
    constexpr std::uint16_t kDaclPresent = 0x0004;
    constexpr std::uint32_t kHeaderSize = 20;
    const auto daclAt = kHeaderSize;
    const auto ownerAt = static_cast<std::uint32_t>(daclAt + dacl.size());
    const auto groupAt = static_cast<std::uint32_t>(ownerAt + administrators.size());
    Bytes descriptor{1, 0};
    append16(descriptor, kSelfRelative | kDaclPresent);
    append32(descriptor, ownerAt);
    append32(descriptor, groupAt);
    append32(descriptor, 0);  // no SACL
    append32(descriptor, daclAt);
    descriptor.insert(descriptor.end(), dacl.begin(), dacl.end());
    descriptor.insert(descriptor.end(), administrators.begin(), administrators.end());
    descriptor.insert(descriptor.end(), system.begin(), system.end());
    return descriptor;
}

bool isLatin1(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::vector<std::uint8_t> emptyHive(const std::string& rootName) {
    if (!isLatin1(rootName) || rootName.size() > 255) throw HiveError("unsupported root key name");
    const std::uint64_t now = fileTimeNow();
    HiveBuilder out;

    const std::uint32_t root = out.allocate(kNkName + rootName.size());
    const Bytes descriptor = defaultSecurityDescriptor();
    const std::uint32_t security = out.allocate(kSkDescriptor + descriptor.size());

    std::uint8_t* sk = out.data(security);
    sk[0] = 's';
    sk[1] = 'k';
    writeU32(sk + kSkNext, security);
    writeU32(sk + kSkPrevious, security);
    writeU32(sk + kSkReferences, 1);
    writeU32(sk + kSkDescriptorSize, static_cast<std::uint32_t>(descriptor.size()));
    std::memcpy(sk + kSkDescriptor, descriptor.data(), descriptor.size());

    std::uint8_t* nk = out.data(root);
    nk[0] = 'n';
    nk[1] = 'k';
    writeU16(nk + kNkFlags, kNkFlagHiveEntry | kNkFlagNoDelete | kNkFlagCompressedName);
    writeU64(nk + kNkTimestamp, now);
    writeU32(nk + kNkParent, 0);
    writeU32(nk + kNkSubkeyList, kNoCell);
    writeU32(nk + kNkVolatileSubkeyList, kNoCell);
    writeU32(nk + kNkValueList, kNoCell);
    writeU32(nk + kNkSecurity, security);
    writeU32(nk + kNkClass, kNoCell);
    writeU16(nk + kNkNameLength, static_cast<std::uint16_t>(rootName.size()));
    std::memcpy(nk + kNkName, rootName.data(), rootName.size());

    HiveBuilder::Header header;
    header.timestamp = now;
    return out.finish(root, header);
}

int writeEmptyHive(const std::string& path, const std::string& rootName) {
    return writeFileAtomically(path, emptyHive(rootName), ExistingTarget::Replace);
}

}  // namespace brx::platform::hosted::regf
