// Reading an archive: its directory (also of incomplete and multi-part archives), extraction and
// test. The entry data is streamed through fixed buffers; nothing is held whole in memory.
#include <algorithm>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "zip/ArchiveInput.h"
#include "zip/Mask.h"
#include "zip/Paths.h"
#include "zip/PkCrypt.h"
#include "zip/ZipFormat.h"
#include "zip/Zlib.h"

namespace brx::zip {

namespace {

// A directory larger than this cannot belong to an archive of 65,535 entries.
constexpr std::uint64_t kMaxDirectorySize = 65535ull * (format::kCentralHeaderSize + 3 * 65535ull);

struct ScopeExit {
    std::function<void()> action;
    ~ScopeExit() { if (action) action(); }
};

}  // namespace

// --- the directory ----------------------------------------------------------------------------

class ZipReadJob : public ArchiveInput {
public:
    using ArchiveInput::ArchiveInput;

    void run()
    {
        if (m_engine.OnBusy)
            m_engine.OnBusy(true);
        ScopeExit busyOff{[this] { if (m_engine.OnBusy) m_engine.OnBusy(false); }};
        const std::string requested = m_engine.m_zipName;
        try {
            search();
            m_engine.m_directoryLoaded = true;
            m_engine.m_directoryFile = requested;
            const auto info = files().stat(requested);
            m_engine.m_directoryTime = info ? info->modified : 0;
        } catch (...) {
            m_file.close();
            m_engine.ForgetDirectory();
            m_engine.m_zipName.clear();
            throw;
        }
    }

private:
    void search()
    {
        for (;;) {
            m_engine.ForgetDirectory();
            m_multi = false;
            openAsPart(0);
            const std::uint64_t size = m_file.size();
            if (size == 0)
                return;
            const std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, format::kEndRecordSearchSize));
            std::string tail(tailSize, '\0');
            seek(size - tailSize);
            if (!readExact(tail.data(), tailSize))
                Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
            if (const auto pos = format::findEndRecord(tail)) {
                const auto* record = reinterpret_cast<const unsigned char*>(tail.data()) + *pos;
                loadFromEndRecord(format::parseEndRecord(record, tailSize - *pos), size - tailSize + *pos);
                return;
            }
            const std::string zfc = ChangeExtension(m_engine.m_zipName, "zfc");
            if (files().exists(zfc) && loadFromZfc(zfc))
                return;
            TIncompleteZipMode mode = m_engine.IncompleteZipMode;
            if (m_engine.OnInCompleteZip)
                m_engine.OnInCompleteZip(m_engine, mode);
            m_engine.IncompleteZipMode = mode;
            if (mode == izAssumeNotAZip)
                Fail(ZipErrorKind::ENotAZipFile, kMsgNotAZip);
            if (m_engine.Tag == 1) {
                // The user may have put in another disk: look again from the start.
                m_engine.Tag = 0;
                m_file.close();
                continue;
            }
            if (mode == izAssumeBad)
                rebuildFromLocalHeaders(size);
            return;
        }
    }

    void decideSpanned()
    {
        const std::string root = DriveRootOf(m_engine.m_zipName);
        m_engine.m_spanned = !root.empty() && files().driveType(root) == platform::DriveType::Removable;
    }

    void loadFromEndRecord(const TEndCentral& end, std::uint64_t endOffset)
    {
        m_multi = end.ThisDiskNumber != 0;
        if (!m_multi) {
            const std::uint64_t start = end.CentralDirectoryOffset;
            if (start + end.CentralDirectorySize > endOffset || !readDirectoryAt(end, 0, start)) {
                // The end record is there but the directory is not: read what the entries say.
                rebuildFromLocalHeaders(m_file.size());
                return;
            }
        } else {
            decideSpanned();
            m_part = end.ThisDiskNumber;
            m_engine.m_openPart = m_part;
            if (!readDirectoryAt(end, end.CentralDirectoryDisk, end.CentralDirectoryOffset))
                Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
        }
        m_engine.m_endCentral = end;
    }

    bool readDirectoryAt(const TEndCentral& end, int part, std::uint64_t offset)
    {
        openPart(part);
        seek(offset);
        std::string directory;
        std::vector<char> buffer(64 * 1024);
        while (directory.size() < end.CentralDirectorySize) {
            const std::size_t want = std::min<std::size_t>(buffer.size(), end.CentralDirectorySize - directory.size());
            const std::size_t got = read(buffer.data(), want);
            if (got == 0)
                return false;
            directory.append(buffer.data(), got);
        }
        return parseDirectory(directory);
    }

    bool parseDirectory(std::string_view directory)
    {
        std::vector<TZipHeaderInfo> entries;
        const auto* bytes = reinterpret_cast<const unsigned char*>(directory.data());
        std::size_t pos = 0;
        while (pos < directory.size()) {
            TZipHeaderInfo entry;
            const std::size_t used = format::parseCentralHeader(bytes + pos, directory.size() - pos, entry);
            if (used == 0)
                return false;
            DecodeStoredName(entry);
            entries.push_back(std::move(entry));
            pos += used;
        }
        m_engine.m_entries = std::move(entries);
        return true;
    }

    // The directory copy beside the first part: all central headers, then the end record.
    bool loadFromZfc(const std::string& zfcName)
    {
        auto opened = files().open(zfcName, platform::OpenMode::Read);
        if (!opened.file)
            return false;
        const std::uint64_t size = opened.file.size();
        if (size < format::kEndRecordSize || size > kMaxDirectorySize + format::kEndRecordSearchSize)
            return false;
        std::string content(static_cast<std::size_t>(size), '\0');
        std::size_t have = 0;
        while (have < content.size()) {
            const std::size_t got = opened.file.read(content.data() + have, content.size() - have);
            if (got == 0)
                return false;
            have += got;
        }
        const auto pos = format::findEndRecord(content);
        if (!pos)
            return false;
        const auto* record = reinterpret_cast<const unsigned char*>(content.data()) + *pos;
        const TEndCentral end = format::parseEndRecord(record, content.size() - *pos);
        if (!parseDirectory(std::string_view(content).substr(0, *pos)))
            return false;
        m_multi = end.ThisDiskNumber != 0;
        decideSpanned();
        m_engine.m_endCentral = end;
        m_engine.m_openPart = 0;
        return true;
    }

    // Walks the local headers from the start of the file, as far as they lead.
    void rebuildFromLocalHeaders(std::uint64_t fileSize)
    {
        std::vector<TZipHeaderInfo> entries;
        std::uint64_t offset = 0;
        unsigned char fixed[format::kLocalHeaderSize];
        while (offset + format::kLocalHeaderSize <= fileSize && offset <= 0xFFFFFFFFull) {
            seek(offset);
            if (m_file.read(fixed, sizeof fixed) != sizeof fixed)
                break;
            const auto local = format::parseLocalHeader(fixed);
            if (!local)
                break;
            // Without sizes in the header (a data descriptor follows the data) the next header
            // cannot be found.
            if ((local->Flags & format::kFlagDataDescriptor) && local->CompressedSize == 0)
                break;
            const std::uint64_t dataStart = offset + format::kLocalHeaderSize + local->FileNameLength + local->ExtraFieldLength;
            if (dataStart + local->CompressedSize > fileSize)
                break;
            TZipHeaderInfo entry;
            entry.VersionNeeded = local->VersionNeeded;
            entry.Flags = local->Flags;
            entry.CompressionMethod = local->CompressionMethod;
            entry.DateTime = local->DateTime;
            entry.CRC32 = local->CRC32;
            entry.CompressedSize = local->CompressedSize;
            entry.UncompressedSize = local->UncompressedSize;
            entry.FileNameLength = local->FileNameLength;
            entry.LocalExtraFieldLength = local->ExtraFieldLength;
            entry.RelativeOffset = static_cast<std::uint32_t>(offset);
            entry.StoredName.resize(local->FileNameLength);
            if (m_file.read(entry.StoredName.data(), entry.StoredName.size()) != entry.StoredName.size())
                break;
            DecodeStoredName(entry);
            entries.push_back(std::move(entry));
            offset = dataStart + local->CompressedSize;
            if (local->Flags & format::kFlagDataDescriptor)
                offset += descriptorLength(offset, fileSize);
        }
        if (entries.empty())
            Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
        m_engine.m_entries = std::move(entries);
        m_engine.m_endCentral = TEndCentral{};
        m_engine.m_endCentral.TotalEntries = static_cast<std::uint16_t>(m_engine.m_entries.size());
    }

    std::uint64_t descriptorLength(std::uint64_t offset, std::uint64_t fileSize)
    {
        unsigned char signature[4];
        seek(offset);
        if (offset + 4 <= fileSize && m_file.read(signature, 4) == 4 && format::get32(signature) == 0x08074b50)
            return 16;
        return 12;
    }
};

void ZipEngine::ReadDirectory()
{
    m_cancelRequested = false;
    ZipReadJob(*this).run();
}

// --- extraction and test ----------------------------------------------------------------------

enum class EntryOutcome { Good, Bad };

// Where the entry's data goes: a file being extracted, or nowhere when testing.
class EntryOutput {
public:
    virtual ~EntryOutput() = default;
    virtual bool write(const unsigned char* data, std::size_t size) = 0;
};

class DiscardOutput : public EntryOutput {
public:
    bool write(const unsigned char*, std::size_t) override { return true; }
};

class FileOutput : public EntryOutput {
public:
    explicit FileOutput(platform::File file) : m_file(std::move(file)) {}
    bool write(const unsigned char* data, std::size_t size) override { return m_file.write(data, size); }
    void close() { m_file.close(); }

private:
    platform::File m_file;
};

class ZipExtractJob : public ArchiveInput {
public:
    ZipExtractJob(ZipEngine& engine, bool testOnly)
        : ArchiveInput(engine), m_testOnly(testOnly), m_buffer(kStreamBufferSize), m_output(kStreamBufferSize)
    {
    }

    int run()
    {
        ScopeExit emptyList{[this] { m_engine.FilesList.clear(); }};
        m_engine.m_skipped.clear();
        ensureDirectory();
        m_multi = m_engine.m_endCentral.ThisDiskNumber != 0;
        m_part = m_engine.m_openPart < 0 ? 0 : m_engine.m_openPart;
        setProgressTotal(selectEntries());
        int passed = 0;
        for (auto& entry : m_engine.m_entries) {
            if (!entry.Selected)
                continue;
            const bool ok = processEntry(entry);
            entry.TestState = ok ? TTestState::Good : TTestState::Bad;
            if (ok)
                ++passed;
        }
        m_file.close();
        return passed;
    }

private:
    void ensureDirectory()
    {
        bool stale = !m_engine.m_directoryLoaded;
        if (!stale) {
            const auto info = files().stat(m_engine.m_directoryFile);
            stale = !info || info->modified != m_engine.m_directoryTime;
        }
        if (stale) {
            if (m_engine.m_directoryLoaded)
                m_engine.m_zipName = m_engine.m_directoryFile;
            ZipReadJob(m_engine).run();
        }
    }

    std::uint64_t selectEntries()
    {
        std::vector<std::string> masks;
        for (const auto& mask : m_engine.FilesList)
            masks.push_back(AsciiLower(mask));
        std::uint64_t total = 0;
        for (auto& entry : m_engine.m_entries) {
            entry.TestState = TTestState::NotTested;
            const bool folder = entry.FileName.empty();
            if (m_testOnly)
                entry.Selected = true;
            else if (folder && !m_engine.RecreateDirs)
                entry.Selected = false;
            else if (m_engine.DoAll)
                entry.Selected = true;
            else
                entry.Selected = matchesAny(masks, AsciiLower(entry.PathName + entry.FileName));
            if (entry.Selected)
                total += entry.UncompressedSize;
        }
        return total;
    }

    static bool matchesAny(const std::vector<std::string>& masks, const std::string& name)
    {
        return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return MatchListMask(mask, name); });
    }

    void note(const TZipHeaderInfo& entry, const std::string& why)
    {
        m_engine.m_skipped.push_back(entry.PathName + entry.FileName + ": " + why);
    }

    std::string targetFolder(const TZipHeaderInfo& entry) const
    {
        const std::string& dest = m_engine.m_destDir;
        const std::string& path = entry.PathName;
        std::string folder;
        if (!m_engine.RecreateDirs || path.empty())
            folder = dest + "\\";
        else if (path[0] == '\\')
            folder = dest.empty() ? path : dest + path;
        else if (path.size() >= 2 && path[1] == ':')
            folder = dest.empty() ? path : dest + path.substr(2);
        else
            folder = dest + "\\" + path;
        // A stored folder joined to the target may double a separator; keep a leading "\\" (UNC).
        std::string clean;
        for (std::size_t i = 0; i < folder.size(); ++i) {
            if (i > 1 && folder[i] == '\\' && clean.back() == '\\')
                continue;
            clean.push_back(folder[i]);
        }
        return clean;
    }

    void createFolders(const std::string& folder)
    {
        for (std::size_t pos = folder.find('\\', 3); pos != std::string::npos; pos = folder.find('\\', pos + 1)) {
            const std::string prefix = folder.substr(0, pos);
            if (prefix.size() > 2 && !files().isDirectory(prefix))
                files().createDirectory(prefix);
        }
    }

    bool processEntry(TZipHeaderInfo& entry)
    {
        if (m_testOnly)
            return checkEntry(entry, nullptr, "");
        const std::string folder = targetFolder(entry);
        if (HasParentComponent(folder) || HasParentComponent(entry.FileName)) {
            note(entry, "not extracted: its path leads outside the target folder");
            return false;
        }
        if (entry.FileName.empty()) {
            createFolders(folder);
            return files().isDirectory(folder.substr(0, folder.size() - 1)) || folder.size() <= 3;
        }
        const std::string target = folder + entry.FileName;
        const auto existing = files().stat(target);
        if (existing && !mayReplace(entry, *existing))
            return false;
        createFolders(folder);
        const std::string temp = system().tempFileName(folder, "brx");
        if (temp.empty()) {
            note(entry, kMsgCantWriteUCF);
            return false;
        }
        ScopeExit removeTemp{[&] { files().deleteFile(temp); }};
        auto opened = files().open(temp, platform::OpenMode::Write);
        if (!opened.file) {
            note(entry, kMsgCantWriteUCF);
            return false;
        }
        FileOutput output(std::move(opened.file));
        if (!checkEntry(entry, &output, target))
            return false;
        output.close();
        return commit(entry, temp, target, existing.has_value());
    }

    bool mayReplace(const TZipHeaderInfo& entry, const platform::FileInfo& existing)
    {
        const std::uint32_t fileTime = dosTimeOf(existing.modified);
        bool replace = false;
        switch (m_engine.OverwriteMode) {
        case TOverwriteMode::Always: replace = true; break;
        case TOverwriteMode::Never: replace = false; break;
        case TOverwriteMode::ifNewer: replace = entry.DateTime > fileTime; break;
        case TOverwriteMode::ifOlder: replace = entry.DateTime < fileTime; break;
        case TOverwriteMode::Prompt:
            replace = m_engine.OnQuestion
                && m_engine.OnQuestion(kCaptionFileExists, "Replace existing file " + entry.PathName + entry.FileName + "?");
            break;
        }
        if (!replace)
            return false;
        if ((existing.attributes & platform::kAttrReadOnly) && !m_engine.ReplaceReadOnly)
            return false;
        return true;
    }

    bool commit(const TZipHeaderInfo& entry, const std::string& temp, const std::string& target, bool existed)
    {
        if (existed) {
            const std::uint32_t attributes = files().getAttributes(target);
            if (attributes != platform::kInvalidAttributes && (attributes & platform::kAttrReadOnly))
                files().setAttributes(target, attributes & ~platform::kAttrReadOnly);
        }
        if (files().replaceFile(temp, target) != platform::kErrorSuccess) {
            note(entry, kMsgCantWriteUCF);
            return false;
        }
        files().setFileTime(target, fileTimeOfDos(entry.DateTime));
        if (m_engine.RetainAttributes) {
            constexpr std::uint32_t kKept = platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive;
            files().setAttributes(target, entry.ExternalAttributes & kKept);
        }
        return true;
    }

    // Reads, decrypts and decompresses one entry into `output` (or nowhere) and checks its CRC.
    bool checkEntry(const TZipHeaderInfo& entry, EntryOutput* output, const std::string& target)
    {
        if (entry.FileName.empty() && entry.UncompressedSize == 0)
            return true;
        (void)target;
        try {
            if (!positionAtData(entry)) {
                note(entry, kMsgNotAZip);
                return false;
            }
            std::uint64_t remaining = entry.CompressedSize;
            std::optional<PkCrypt> crypt;
            if (entry.encrypted()) {
                if (remaining < format::kEncryptionHeaderSize) {
                    note(entry, kMsgPrematureEnd);
                    return false;
                }
                crypt.emplace(m_engine.Password);
                unsigned char header[format::kEncryptionHeaderSize];
                readData(header, sizeof header);
                remaining -= sizeof header;
                crypt->decrypt(header, sizeof header);
                const unsigned char check = (entry.Flags & format::kFlagDataDescriptor)
                    ? static_cast<unsigned char>(entry.DateTime >> 8)
                    : static_cast<unsigned char>(entry.CRC32 >> 24);
                if (header[format::kEncryptionHeaderSize - 1] != check) {
                    note(entry, "wrong password");
                    return false;
                }
            }
            if (entry.CompressionMethod != format::kMethodStored && entry.CompressionMethod != format::kMethodDeflated) {
                if (!m_testOnly && m_engine.OnMessage)
                    m_engine.OnMessage(kCaptionZipError, kMsgUnknownMethod);
                note(entry, kMsgUnknownMethod);
                return false;
            }
            const auto result = entry.CompressionMethod == format::kMethodStored
                ? copyStored(entry, remaining, crypt ? &*crypt : nullptr, output)
                : inflateData(entry, remaining, crypt ? &*crypt : nullptr, output);
            if (!result) {
                note(entry, "damaged data");
                return false;
            }
            if (result->size != entry.UncompressedSize || result->crc != entry.CRC32) {
                note(entry, "CRC error");
                return false;
            }
            return true;
        } catch (const ZipError& error) {
            if (error.kind() != ZipErrorKind::EBiggerThanUncompressed && error.kind() != ZipErrorKind::ECantWriteUCF)
                throw;
            note(entry, error.what());
            return false;
        }
    }

    bool positionAtData(const TZipHeaderInfo& entry)
    {
        openPart(entry.DiskNumberStart);
        seek(entry.RelativeOffset);
        unsigned char fixed[format::kLocalHeaderSize];
        if (!readExact(fixed, sizeof fixed))
            return false;
        const auto local = format::parseLocalHeader(fixed);
        if (!local)
            return false;
        return skip(static_cast<std::uint64_t>(local->FileNameLength) + local->ExtraFieldLength);
    }

    // Reads exactly `size` bytes of entry data; an archive that ends first is fatal.
    void readData(unsigned char* buffer, std::size_t size)
    {
        if (!readExact(buffer, size))
            Fail(ZipErrorKind::EFatalUnzipError, kMsgPrematureEnd);
    }

    struct Produced {
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
    };

    void emit(const TZipHeaderInfo& entry, Produced& produced, const unsigned char* data, std::size_t size, EntryOutput* output)
    {
        if (size == 0)
            return;
        if (produced.size + size > entry.UncompressedSize)
            Fail(ZipErrorKind::EBiggerThanUncompressed, kMsgBiggerThanUncompressed);
        produced.crc = static_cast<std::uint32_t>(crc32(produced.crc, data, static_cast<uInt>(size)));
        produced.size += size;
        if (output && !output->write(data, size))
            Fail(ZipErrorKind::ECantWriteUCF, kMsgCantWriteUCF);
        advance(size);
    }

    std::optional<Produced> copyStored(const TZipHeaderInfo& entry, std::uint64_t remaining, PkCrypt* crypt, EntryOutput* output)
    {
        Produced produced;
        while (remaining > 0) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, m_buffer.size()));
            readData(m_buffer.data(), chunk);
            remaining -= chunk;
            if (crypt)
                crypt->decrypt(m_buffer.data(), chunk);
            emit(entry, produced, m_buffer.data(), chunk, output);
        }
        return produced;
    }

    std::optional<Produced> inflateData(const TZipHeaderInfo& entry, std::uint64_t remaining, PkCrypt* crypt, EntryOutput* output)
    {
        if (!m_inflater)
            m_inflater.emplace();
        else
            m_inflater->reset();
        z_stream& z = m_inflater->stream();
        Produced produced;
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            if (z.avail_in == 0) {
                if (remaining == 0)
                    return std::nullopt;  // the stream needs more than the entry holds
                const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, m_buffer.size()));
                readData(m_buffer.data(), chunk);
                remaining -= chunk;
                if (crypt)
                    crypt->decrypt(m_buffer.data(), chunk);
                z.next_in = m_buffer.data();
                z.avail_in = static_cast<uInt>(chunk);
            }
            z.next_out = m_output.data();
            z.avail_out = static_cast<uInt>(m_output.size());
            status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return std::nullopt;
            emit(entry, produced, m_output.data(), m_output.size() - z.avail_out, output);
        }
        z.avail_in = 0;
        return produced;
    }

    bool m_testOnly;
    std::vector<unsigned char> m_buffer;
    std::vector<unsigned char> m_output;
    std::optional<Inflater> m_inflater;
};

int ZipEngine::ExtractEntries()
{
    m_cancelRequested = false;
    return ZipExtractJob(*this, false).run();
}

bool ZipEngine::TestArchive()
{
    // A cancel request left from an earlier operation must not stop this one.
    m_cancelRequested = false;
    const int passed = ZipExtractJob(*this, true).run();
    return passed >= EntryCount();
}

}  // namespace brx::zip
