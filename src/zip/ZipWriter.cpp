// Writing an archive: expanding the list of files, compressing and encrypting each one, keeping
// the entries of an archive being updated, and the central directory with its end record, in one
// file, in block files or over spanned disks.
#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <zlib.h>

#include "zip/ArchiveOutput.h"
#include "zip/Mask.h"
#include "zip/Paths.h"
#include "zip/PkCrypt.h"
#include "zip/ZipFormat.h"
#include "zip/ZipJob.h"
#include "zip/Zlib.h"

namespace brx::zip {

namespace {

struct SourceItem {
    std::string path;
    bool folder = false;
    // What the listing said about the file; asking again per file would cost a directory scan.
    std::optional<platform::FileInfo> info;
};

// Where compressed bytes go: straight into the archive, or into a temporary file first.
class DataSink {
public:
    virtual ~DataSink() = default;
    virtual void write(const unsigned char* data, std::size_t size) = 0;
};

class ArchiveSink : public DataSink {
public:
    explicit ArchiveSink(ArchiveOutput& output) : m_output(output) {}
    void write(const unsigned char* data, std::size_t size) override { m_output.writeData(data, size); }

private:
    ArchiveOutput& m_output;
};

class FileSink : public DataSink {
public:
    explicit FileSink(platform::File& file) : m_file(file) {}
    void write(const unsigned char* data, std::size_t size) override
    {
        if (!m_file.write(data, size))
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
    }

private:
    platform::File& m_file;
};

// Deletes a file on every path out of a scope unless told to keep it.
class FileRemover {
public:
    FileRemover(platform::Files& files, std::string path) : m_files(files), m_path(std::move(path)) {}
    ~FileRemover()
    {
        if (!m_path.empty())
            m_files.deleteFile(m_path);
    }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;
    void keep() { m_path.clear(); }

private:
    platform::Files& m_files;
    std::string m_path;
};

std::string CollapseSeparators(const std::string& path)
{
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 1 && path[i] == '\\' && out.back() == '\\')
            continue;
        out.push_back(path[i]);
    }
    return out;
}

}  // namespace

class ZipWriteJob : public ZipJob {
public:
    explicit ZipWriteJob(ZipEngine& engine)
        : ZipJob(engine), m_in(kStreamBufferSize), m_out(kStreamBufferSize), m_random(seedNow())
    {
    }

    int run()
    {
        m_engine.m_skipped.clear();
        if (Trimmed(m_engine.m_zipName).empty())
            return 0;
        std::uint64_t total = expandFilesList();
        m_mode = m_engine.MultiZipInfo.MultiMode;
        if (m_mode != mmNone)
            total *= 2;  // every byte passes through a temporary file and then into the archive
        setProgressTotal(total);
        const bool update = m_mode == mmNone && files().exists(m_engine.m_zipName);
        if (update)
            loadExisting();
        computeReserve();

        ArchiveOutput output(files(), [this](int number) { return nextPart(number); });
        std::string tempName;
        const ArchiveOutput::Part first = firstPart(update, tempName);
        try {
            output.open(first);
            writeEntries(output, update);
            writeDirectory(output);
            output.close();
        } catch (...) {
            // The part being written goes: the new archive, the unfinished block or disk file,
            // or the temporary copy of an update; earlier blocks and an archive being updated
            // stay as they were.
            const std::string current = output.partName();
            output.abandon();
            files().deleteFile(current);
            throw;
        }
        finish(update, tempName, output.partName(), output.partIndex() + 1);
        return m_added;
    }

private:
    // The ten random bytes of each encryption header must differ between files and runs.
    static std::seed_seq::result_type seedNow()
    {
        std::random_device device;
        return device() ^ static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }

    // --- the list of files --------------------------------------------------------------------

    bool excluded(const std::string& path) const
    {
        return std::any_of(m_engine.ExcludeList.begin(), m_engine.ExcludeList.end(),
                           [&](const std::string& mask) { return MatchListMask(mask, path); });
    }

    bool archiveBitTestFails(std::uint32_t attributes) const
    {
        return m_engine.SkipIfArchiveBitNotSet && (attributes & platform::kAttrArchive) == 0;
    }

    std::uint64_t expandFilesList()
    {
        std::uint64_t total = 0;
        std::vector<std::string> masks;
        for (const std::string& entry : m_engine.FilesList) {
            if (!entry.empty() && entry.back() == '\\') {
                m_items.push_back({entry, true, std::nullopt});
            } else if (IsMask(entry)) {
                masks.push_back(entry);
            } else {
                const auto info = files().stat(entry);
                if (!info || info->isDirectory() || excluded(entry) || archiveBitTestFails(info->attributes)
                    || EqualNoCase(entry, m_engine.m_zipName))
                    continue;
                total += info->size;
                m_items.push_back({entry, false, std::move(info)});
            }
        }
        for (const std::string& mask : masks) {
            bool recurse = m_engine.Recurse;
            std::string_view body = mask;
            if (body[0] == '>' || body[0] == '|') {
                recurse = body[0] == '>';
                body.remove_prefix(1);
            }
            const std::string folder = FolderOf(body);
            const std::string nameMask = NameOf(body);
            if (folder.empty() || !files().isDirectory(folder.substr(0, folder.size() - 1)))
                continue;
            total += searchFolder(folder, nameMask, recurse);
        }
        return total;
    }

    std::uint64_t searchFolder(const std::string& folder, const std::string& nameMask, bool recurse)
    {
        std::uint64_t total = 0;
        for (const auto& info : files().find(folder + "*")) {
            const std::string path = folder + info.name;
            if (info.isDirectory()) {
                if (recurse)
                    total += searchFolder(path + "\\", nameMask, recurse);
                continue;
            }
            // A name without extension matches as if it ended in ".", so "*.*" takes every file.
            const std::string name = info.name.find('.') == std::string::npos ? info.name + "." : info.name;
            if (!MatchWildcard(nameMask, name) || excluded(path) || EqualNoCase(path, m_engine.m_zipName)
                || archiveBitTestFails(info.attributes))
                continue;
            m_items.push_back({path, false, info});
            total += info.size;
        }
        return total;
    }

    // --- names --------------------------------------------------------------------------------

    std::string storedWindowsName(const SourceItem& item) const
    {
        std::string name = CollapseSeparators(item.path);
        if (!m_engine.StorePaths)
            return item.folder ? std::string() : NameOf(name);
        if (!m_engine.StoreVolumes) {
            if (name.size() >= 2 && name[1] == ':')
                name.erase(0, 2);
            name.erase(0, name.find_first_not_of('\\'));
        }
        return name;
    }

    static std::string key(const std::string& windowsName) { return AsciiLower(windowsName); }

    // --- an existing archive ------------------------------------------------------------------

    void loadExisting()
    {
        const std::string name = m_engine.m_zipName;
        m_engine.ReadDirectory();
        m_engine.m_zipName = name;
        // The entries of a multi-part archive lie in other parts that this write cannot reach;
        // such an archive is replaced, not updated.
        if (m_engine.m_endCentral.ThisDiskNumber != 0)
            return;
        m_oldEntries = m_engine.m_entries;
        m_comment = m_engine.m_endCentral.Comment;
        m_oldName = name;
    }

    // --- parts --------------------------------------------------------------------------------

    void computeReserve()
    {
        if (!m_engine.MultiZipInfo.SaveZipInfoOnFirstDisk || m_mode == mmNone)
            return;
        const std::uint64_t perFile = m_engine.StorePaths ? 83 : 58;
        m_reserve = m_engine.MultiZipInfo.SaveOnFirstDisk + format::kEndRecordSize + m_comment.size() + 2048
            + m_items.size() * perFile;
        m_engine.MultiZipInfo.SaveOnFirstDisk = m_reserve;
    }

    std::uint64_t freeSpaceOf(const std::string& path)
    {
        const auto space = files().diskFreeSpace(DriveRootOf(path));
        return space ? space->freeBytes : 0;
    }

    ArchiveOutput::Part firstPart(bool update, std::string& tempName)
    {
        const std::string& zipName = m_engine.m_zipName;
        switch (m_mode) {
        case mmBlocks:
            return {BlockName(zipName, 1), m_engine.MultiZipInfo.FirstBlockSize};
        case mmSpan: {
            files().deleteFile(zipName);
            const std::uint64_t free = freeSpaceOf(zipName);
            return {zipName, free > m_reserve ? free - m_reserve : 0};
        }
        case mmNone:
            break;
        }
        if (!update)
            return {zipName};
        std::string folder = m_engine.TempPath;
        if (folder.empty() || !files().isDirectory(folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder))
            folder = system().tempPath();
        tempName = system().tempFileName(folder, "brx");
        if (tempName.empty())
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        return {tempName};
    }

    ArchiveOutput::Part nextPart(int number)
    {
        if (m_mode == mmBlocks)
            return {BlockName(m_engine.m_zipName, number), m_engine.MultiZipInfo.BlockSize};
        const std::string name = requestPart(number, false, kMsgUserCanceledZip);
        files().deleteFile(name);
        return {name, freeSpaceOf(name)};
    }

    // --- entries ------------------------------------------------------------------------------

    void writeEntries(ArchiveOutput& output, bool update)
    {
        std::unordered_map<std::string, std::size_t> itemByName;
        for (std::size_t i = 0; i < m_items.size(); ++i)
            itemByName.emplace(key(storedWindowsName(m_items[i])), i);
        std::vector<bool> consumed(m_items.size(), false);
        if (update) {
            auto opened = files().open(m_oldName, platform::OpenMode::Read);
            if (!opened.file)
                Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
            m_old = std::move(opened.file);
            for (const TZipHeaderInfo& old : m_oldEntries) {
                const std::string oldKey = key(old.PathName + old.FileName);
                const auto match = itemByName.find(oldKey);
                if (match != itemByName.end() && !consumed[match->second]) {
                    consumed[match->second] = true;
                    if (replaceWithNewer(output, old, m_items[match->second]))
                        continue;
                }
                if (m_seen.insert(oldKey).second)
                    copyOldEntry(output, old);
            }
            m_old.close();
        }
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (!consumed[i])
                addItem(output, m_items[i]);
        }
    }

    // True when the file took the old entry's place; false keeps the old entry.
    bool replaceWithNewer(ArchiveOutput& output, const TZipHeaderInfo& old, const SourceItem& item)
    {
        const auto info = item.info ? item.info : files().stat(item.folder ? item.path.substr(0, item.path.size() - 1) : item.path);
        if (!info || old.DateTime >= dosTimeOf(info->modified))
            return false;
        return addItem(output, item);
    }

    void copyOldEntry(ArchiveOutput& output, const TZipHeaderInfo& old)
    {
        unsigned char fixed[format::kLocalHeaderSize];
        m_old.seek(old.RelativeOffset);
        if (m_old.read(fixed, sizeof fixed) != sizeof fixed)
            Fail(ZipErrorKind::EFatalUnzipError, kMsgPrematureEnd);
        const auto local = format::parseLocalHeader(fixed);
        if (!local)
            Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
        std::string header(reinterpret_cast<const char*>(fixed), sizeof fixed);
        std::string tail(static_cast<std::size_t>(local->FileNameLength) + local->ExtraFieldLength, '\0');
        if (!readAll(m_old, tail.data(), tail.size()))
            Fail(ZipErrorKind::EFatalUnzipError, kMsgPrematureEnd);
        header += tail;
        std::uint64_t dataLength = old.CompressedSize;
        if (old.Flags & format::kFlagDataDescriptor)
            dataLength += descriptorLength(m_old, old.CompressedSize);
        output.fitRecord(header.size(), true);
        TZipHeaderInfo entry = old;
        entry.DiskNumberStart = static_cast<std::uint16_t>(output.partIndex());
        entry.RelativeOffset = static_cast<std::uint32_t>(output.offset());
        entry.LocalExtraFieldLength = local->ExtraFieldLength;
        output.writeRecord(header);
        while (dataLength > 0) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(dataLength, m_in.size()));
            if (!readAll(m_old, m_in.data(), chunk))
                Fail(ZipErrorKind::EFatalUnzipError, kMsgPrematureEnd);
            output.writeData(m_in.data(), chunk);
            dataLength -= chunk;
            checkpoint();
        }
        m_newEntries.push_back(std::move(entry));
    }

    // The data descriptor after an entry's data: 12 bytes, or 16 with its optional signature.
    static std::uint64_t descriptorLength(platform::File& file, std::uint64_t dataLength)
    {
        const auto here = file.seek(0, platform::SeekFrom::Current);
        unsigned char signature[4];
        std::uint64_t length = 12;
        if (here && file.seek(static_cast<std::int64_t>(dataLength), platform::SeekFrom::Current)
            && file.read(signature, 4) == 4 && format::get32(signature) == 0x08074b50)
            length = 16;
        if (here)
            file.seek(static_cast<std::int64_t>(*here));
        return length;
    }

    static bool readAll(platform::File& file, void* buffer, std::size_t size)
    {
        auto* out = static_cast<unsigned char*>(buffer);
        while (size > 0) {
            const std::size_t got = file.read(out, size);
            if (got == 0)
                return false;
            out += got;
            size -= got;
        }
        return true;
    }

    bool addItem(ArchiveOutput& output, const SourceItem& item)
    {
        const std::string windowsName = storedWindowsName(item);
        if (windowsName.empty() || !m_seen.insert(key(windowsName)).second)
            return false;
        TZipHeaderInfo entry;
        EncodeStoredName(entry, windowsName);
        const bool added = item.folder ? addFolder(output, item, entry) : addFile(output, item, entry);
        if (!added)
            m_seen.erase(key(windowsName));
        return added;
    }

    bool addFolder(ArchiveOutput& output, const SourceItem& item, TZipHeaderInfo& entry)
    {
        const auto info = files().stat(item.path.substr(0, item.path.size() - 1));
        entry.DateTime = info ? dosTimeOf(info->modified) : format::toDosDateTime(system().now());
        entry.ExternalAttributes = info ? info->attributes : platform::kAttrDirectory;
        entry.CompressionMethod = format::kMethodStored;
        output.fitRecord(format::kLocalHeaderSize + entry.StoredName.size(), true);
        entry.DiskNumberStart = static_cast<std::uint16_t>(output.partIndex());
        entry.RelativeOffset = static_cast<std::uint32_t>(output.offset());
        output.writeRecord(format::localHeaderBytes(entry));
        m_newEntries.push_back(std::move(entry));
        ++m_added;
        return true;
    }

    bool addFile(ArchiveOutput& output, const SourceItem& item, TZipHeaderInfo& entry)
    {
        const auto info = item.info ? item.info : files().stat(item.path);
        if (!info || info->isDirectory())
            return false;
        if (info->size > 0xFFFFFFFFull) {
            m_engine.m_skipped.push_back(item.path + ": larger than 4 GB, cannot be stored in a ZIP archive");
            return false;
        }
        auto opened = files().open(item.path, platform::OpenMode::Read);
        if (!opened.file)
            return false;
        platform::File& source = opened.file;
        entry.DateTime = dosTimeOf(info->modified);
        entry.ExternalAttributes = info->attributes;
        entry.CompressionMethod = m_engine.PackLevel <= 0 ? format::kMethodStored : format::kMethodDeflated;
        std::uint32_t checkCrc = 0;
        if (!m_engine.Password.empty()) {
            entry.Flags |= format::kFlagEncrypted;
            if (!crcOf(source, checkCrc))
                return false;
        }
        const bool stored = m_mode == mmNone ? addDirectly(output, source, checkCrc, entry)
                                             : addThroughTemporaryFile(output, source, checkCrc, entry);
        if (!stored) {
            m_engine.m_skipped.push_back(item.path + ": changed while it was being stored, left out");
            return false;
        }
        source.close();
        if (m_engine.ResetArchiveBitOnZip) {
            const std::uint32_t attributes = files().getAttributes(item.path);
            if (attributes != platform::kInvalidAttributes)
                files().setAttributes(item.path, attributes & ~platform::kAttrArchive);
        }
        m_newEntries.push_back(std::move(entry));
        ++m_added;
        return true;
    }

    // In one file the local header goes first and gets its final values once the data is written.
    bool addDirectly(ArchiveOutput& output, platform::File& source, std::uint32_t checkCrc, TZipHeaderInfo& entry)
    {
        output.fitRecord(format::kLocalHeaderSize + entry.StoredName.size(), true);
        entry.DiskNumberStart = static_cast<std::uint16_t>(output.partIndex());
        entry.RelativeOffset = static_cast<std::uint32_t>(output.offset());
        output.writeRecord(format::localHeaderBytes(entry));
        const std::uint64_t dataStart = output.offset();
        ArchiveSink sink(output);
        if (!compressSteady(source, sink, checkCrc, entry, [&] { output.rewindTo(dataStart); })) {
            output.rewindTo(entry.RelativeOffset);
            return false;
        }
        output.patch(entry.RelativeOffset, format::localHeaderBytes(entry));
        return true;
    }

    // In a multi-part archive the local header must carry its final sizes before the data, and
    // the header cannot be rewritten once its part is closed: the data goes to a temporary file.
    bool addThroughTemporaryFile(ArchiveOutput& output, platform::File& source, std::uint32_t checkCrc,
                                 TZipHeaderInfo& entry)
    {
        std::string folder = m_engine.TempPath;
        if (folder.empty() || !files().isDirectory(folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder))
            folder = system().tempPath();
        const std::string tempName = system().tempFileName(folder, "brx");
        if (tempName.empty())
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        FileRemover removeTemp(files(), tempName);
        {
            auto temp = files().open(tempName, platform::OpenMode::Write);
            if (!temp.file)
                Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
            FileSink sink(temp.file);
            const bool steady = compressSteady(source, sink, checkCrc, entry, [&] {
                if (!temp.file.seek(0) || !temp.file.truncate(0))
                    Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
            });
            if (!steady)
                return false;
            if (!temp.file.flush())
                Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        }
        output.fitRecord(format::kLocalHeaderSize + entry.StoredName.size(), true);
        entry.DiskNumberStart = static_cast<std::uint16_t>(output.partIndex());
        entry.RelativeOffset = static_cast<std::uint32_t>(output.offset());
        output.writeRecord(format::localHeaderBytes(entry));
        auto temp = files().open(tempName, platform::OpenMode::Read);
        if (!temp.file)
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        for (;;) {
            const std::size_t got = temp.file.read(m_in.data(), m_in.size());
            if (got == 0)
                break;
            output.writeData(m_in.data(), got);
            advance(got);
        }
        return true;
    }

    // The password check byte in the encryption header comes from the CRC of a first pass over
    // the file. A file that changes before the second pass would get a check byte that fits no
    // data, and every reader would refuse the password: such a file is read again, and left out
    // when it never holds still.
    bool compressSteady(platform::File& source, DataSink& sink, std::uint32_t checkCrc, TZipHeaderInfo& entry,
                        const std::function<void()>& restart)
    {
        constexpr int kAttempts = 3;
        for (int attempt = 1;; ++attempt) {
            std::optional<PkCrypt> crypt;
            if (entry.encrypted())
                crypt.emplace(m_engine.Password);
            compress(source, sink, crypt ? &*crypt : nullptr, checkCrc, entry);
            if (!entry.encrypted() || entry.CRC32 == checkCrc)
                return true;
            if (attempt == kAttempts || !source.seek(0))
                return false;
            checkCrc = entry.CRC32;
            restart();
        }
    }

    bool crcOf(platform::File& source, std::uint32_t& crc)
    {
        crc = 0;
        for (;;) {
            const std::size_t got = source.read(m_in.data(), m_in.size());
            if (got == 0)
                break;
            crc = static_cast<std::uint32_t>(crc32(crc, m_in.data(), static_cast<uInt>(got)));
        }
        return source.seek(0).has_value();
    }

    // Streams the source through deflate (or as stored) and the cipher into the sink, and fills
    // in the entry's CRC, sizes and text flag.
    void compress(platform::File& source, DataSink& sink, PkCrypt* crypt, std::uint32_t checkCrc, TZipHeaderInfo& entry)
    {
        std::uint64_t written = 0;
        auto put = [&](unsigned char* data, std::size_t size) {
            if (size == 0)
                return;
            if (crypt)
                crypt->encrypt(data, size);
            sink.write(data, size);
            written += size;
        };
        if (crypt) {
            unsigned char header[format::kEncryptionHeaderSize];
            for (std::size_t i = 0; i < 10; ++i)
                header[i] = static_cast<unsigned char>(m_random() & 0xFF);
            header[10] = static_cast<unsigned char>(checkCrc >> 16);
            header[11] = static_cast<unsigned char>(checkCrc >> 24);
            put(header, sizeof header);
        }
        std::uint32_t crc = 0;
        std::uint64_t read = 0;
        z_stream* z = nullptr;
        if (entry.CompressionMethod == format::kMethodDeflated) {
            if (!m_deflater) {
                m_deflater.emplace(std::clamp(m_engine.PackLevel, 1, 9));
            } else {
                m_deflater->reset();
            }
            z = &m_deflater->stream();
        }
        for (;;) {
            const std::size_t got = source.read(m_in.data(), m_in.size());
            crc = static_cast<std::uint32_t>(crc32(crc, m_in.data(), static_cast<uInt>(got)));
            read += got;
            if (!z) {
                put(m_in.data(), got);
            } else {
                z->next_in = m_in.data();
                z->avail_in = static_cast<uInt>(got);
                const int flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
                int status;
                do {
                    z->next_out = m_out.data();
                    z->avail_out = static_cast<uInt>(m_out.size());
                    status = deflate(z, flush);
                    put(m_out.data(), m_out.size() - z->avail_out);
                } while (z->avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
            }
            if (got == 0)
                break;
            advance(got);
        }
        if (read > 0xFFFFFFFFull)
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        entry.CRC32 = crc;
        entry.UncompressedSize = static_cast<std::uint32_t>(read);
        entry.CompressedSize = static_cast<std::uint32_t>(written);
        entry.InternalAttributes = (z && z->data_type == Z_TEXT) ? 1 : 0;
    }

    // --- directory ----------------------------------------------------------------------------

    void writeDirectory(ArchiveOutput& output)
    {
        TEndCentral end;
        end.Comment = m_comment;
        int entriesOnPart = 0;
        bool first = true;
        for (const TZipHeaderInfo& entry : m_newEntries) {
            const std::string bytes = format::centralHeaderBytes(entry);
            const int before = output.partIndex();
            output.fitRecord(bytes.size(), false);
            if (first) {
                end.CentralDirectoryDisk = static_cast<std::uint16_t>(output.partIndex());
                end.CentralDirectoryOffset = static_cast<std::uint32_t>(output.offset());
                first = false;
            }
            if (output.partIndex() != before)
                entriesOnPart = 0;
            output.writeRecord(bytes);
            m_directory += bytes;
            ++entriesOnPart;
        }
        const std::size_t endSize = format::kEndRecordSize + m_comment.size();
        const int before = output.partIndex();
        output.fitRecord(endSize, false);
        if (output.partIndex() != before)
            entriesOnPart = 0;
        if (first) {
            end.CentralDirectoryDisk = static_cast<std::uint16_t>(output.partIndex());
            end.CentralDirectoryOffset = static_cast<std::uint32_t>(output.offset());
        }
        end.ThisDiskNumber = static_cast<std::uint16_t>(output.partIndex());
        end.EntriesOnThisDisk = static_cast<std::uint16_t>(entriesOnPart);
        end.TotalEntries = static_cast<std::uint16_t>(m_newEntries.size());
        end.CentralDirectorySize = static_cast<std::uint32_t>(m_directory.size());
        const std::string record = format::endRecordBytes(end);
        output.writeRecord(record);
        m_directory += record;
        m_end = end;
    }

    // --- the end ------------------------------------------------------------------------------

    void finish(bool update, const std::string& tempName, const std::string& lastPart, int parts)
    {
        if (update)
            replaceOldArchive(tempName);
        if (m_mode == mmBlocks) {
            if (parts == 1) {
                files().deleteFile(m_engine.m_zipName);
                if (files().moveFile(lastPart, m_engine.m_zipName) != platform::kErrorSuccess)
                    Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
            } else {
                m_engine.m_zipName = lastPart;
            }
        } else if (m_mode == mmSpan) {
            m_engine.m_zipName = lastPart;
        }
        if (m_mode != mmNone && parts > 1 && m_engine.MultiZipInfo.SaveZipInfoOnFirstDisk)
            writeConfigurationFile();
        if (m_mode != mmNone)
            raisePercent(100);
        loadNewDirectory(parts);
    }

    // The new archive is complete in the temporary file; only now does it take the old one's
    // place, through a copy beside the archive that is then renamed, so a failure at any point
    // leaves the old archive whole.
    void replaceOldArchive(const std::string& tempName)
    {
        FileRemover removeTemp(files(), tempName);
        const std::string& zipName = m_engine.m_zipName;
        const std::string beside = system().tempFileName(FolderOf(zipName), "brx");
        FileRemover removeBeside(files(), beside);
        if (beside.empty() || files().copyFile(tempName, beside, false) != platform::kErrorSuccess
            || files().replaceFile(beside, zipName) != platform::kErrorSuccess) {
            if (m_engine.OnMessage)
                m_engine.OnMessage(kCaptionError, "Could not copy from " + tempName + " -> " + zipName);
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        }
        removeBeside.keep();
    }

    void writeConfigurationFile()
    {
        std::string name = m_engine.m_zipName;
        if (m_mode == mmSpan) {
            name = requestPart(1, false, kMsgUserCanceledZip);
        }
        const std::string zfc = ChangeExtension(name, "zfc");
        {
            auto opened = files().open(zfc, platform::OpenMode::Write);
            if (!opened.file) {
                if (m_engine.OnMessage)
                    m_engine.OnMessage(kCaptionError, kMsgCantCreateZfc);
            } else if (!opened.file.write(m_directory.data(), m_directory.size()) || !opened.file.flush()) {
                opened.file.close();
                files().deleteFile(zfc);
                if (m_engine.OnMessage)
                    m_engine.OnMessage(kCaptionError, kMsgCantSaveZfc);
            }
        }
        if (m_mode == mmSpan)
            requestPart(0, false, kMsgUserCanceledZip);
    }

    void loadNewDirectory(int parts)
    {
        m_engine.ForgetDirectory();
        m_engine.m_entries = std::move(m_newEntries);
        m_engine.m_endCentral = m_end;
        m_engine.m_directoryLoaded = true;
        m_engine.m_directoryFile = m_engine.m_zipName;
        const auto info = files().stat(m_engine.m_zipName);
        m_engine.m_directoryTime = info ? info->modified : 0;
        m_engine.m_spanned = m_mode == mmSpan && parts > 1;
        m_engine.m_openPart = parts - 1;
    }

    std::vector<SourceItem> m_items;
    std::vector<TZipHeaderInfo> m_oldEntries;
    std::vector<TZipHeaderInfo> m_newEntries;
    std::unordered_set<std::string> m_seen;
    std::string m_oldName;
    std::string m_comment;
    std::string m_directory;  // central headers and end record, for the configuration file
    TEndCentral m_end;
    TMultiMode m_mode = mmNone;
    std::uint64_t m_reserve = 0;
    int m_added = 0;
    platform::File m_old;
    std::vector<unsigned char> m_in;
    std::vector<unsigned char> m_out;
    std::optional<Deflater> m_deflater;
    std::mt19937 m_random;
};

int ZipEngine::WriteArchive()
{
    // A cancel request left from an earlier operation must not stop this one.
    m_cancelRequested = false;
    struct EmptyList {
        std::vector<std::string>& list;
        ~EmptyList() { list.clear(); }
    } emptyList{FilesList};
    return ZipWriteJob(*this).run();
}

}  // namespace brx::zip
