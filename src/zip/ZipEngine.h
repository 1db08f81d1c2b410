// The one ZIP engine of the program: it writes every archive of a backup set and reads, tests
// and extracts them again. Archives are standard ZIP files (PKWARE application note: local
// headers, central directory, end of central directory record; methods 0 and 8; CRC-32;
// traditional PKWARE encryption), also split into block files or spanned over diskettes.
//
// Callers set the properties an operation needs and then call it. Properties keep their values
// between operations, except FilesList, which every write, extraction and test empties.
// Every operation runs to its end on the caller's thread; failures are thrown as ZipError
// carrying the message the user sees. The archive file is never kept open between operations;
// the loaded directory stays until ZipName changes or CloseArchive is called.
//
// Paths are Windows paths on the machine ("C:\WINNT\win.ini") reached through the platform layer.
// Strings are UTF-8.
//
// What stays on disk after a failure:
//  - a failed new archive is deleted; of a block archive only the block being written is deleted,
//    earlier blocks stay;
//  - an archive being updated is replaced only once the new archive is complete, so a failed
//    update leaves it exactly as it was;
//  - an extracted file replaces an existing one only after its CRC matched; a failing entry
//    leaves nothing behind.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace brx::zip {

// --- errors -------------------------------------------------------------------------------------

enum class ZipErrorKind {
    ENotEnoughRoom,           // "Not enough room to write archive"
    EUserCanceled,            // "User canceled Zip operation", "User Aborted Operation",
                              // "User canceled loading new disk."
    ENotAZipFile,             // "Not a valid zip file!" (the incomplete-archive handler said so)
    EBadZipFile,              // "Not a valid zip file!" (directory unreadable, nothing rebuilt)
    EFatalUnzipError,         // "Premature end of file reached"
    EBiggerThanUncompressed,  // "File is larger than uncompressed size!"
    ECantWriteUCF,            // "Cant write uncompressed file"
    EListIndex,               // "Index %d is out of range"
};

// The program's message texts, defined once.
inline constexpr const char* kMsgNotEnoughRoom = "Not enough room to write archive";
inline constexpr const char* kMsgUserCanceledZip = "User canceled Zip operation";
inline constexpr const char* kMsgUserAborted = "User Aborted Operation";
inline constexpr const char* kMsgUserCanceledDisk = "User canceled loading new disk.";
inline constexpr const char* kMsgNotAZip = "Not a valid zip file!";
inline constexpr const char* kMsgPrematureEnd = "Premature end of file reached";
inline constexpr const char* kMsgBiggerThanUncompressed = "File is larger than uncompressed size!";
inline constexpr const char* kMsgCantWriteUCF = "Cant write uncompressed file";
inline constexpr const char* kMsgUnknownMethod = "Unknown Compression Method";
inline constexpr const char* kCaptionZipError = "Zip Error";
inline constexpr const char* kMsgCantCreateZfc = "Unable to create Zip Configuration File to disk";
inline constexpr const char* kMsgCantSaveZfc = "Unable to save Zip Configuration File to disk";
inline constexpr const char* kCaptionError = "Error";
inline constexpr const char* kCaptionFileExists = "File Exists Alert";

class ZipError : public std::runtime_error {
public:
    ZipError(ZipErrorKind kind, const std::string& message)
        : std::runtime_error(message), m_kind(kind)
    {
    }
    ZipErrorKind kind() const { return m_kind; }

private:
    ZipErrorKind m_kind;
};

// --- settings -----------------------------------------------------------------------------------

enum TMultiMode { mmNone, mmSpan, mmBlocks };
enum TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
enum class TOverwriteMode { Prompt, Always, Never, ifNewer, ifOlder };

struct TMultiZipInfo {
    TMultiMode MultiMode = mmNone;
    std::uint32_t BlockSize = 1457600;       // room of the second and later block files
    std::uint32_t FirstBlockSize = 1457600;  // room of the first block file
    // Bytes kept free on the first disk of a spanned archive. With SaveZipInfoOnFirstDisk the
    // reserve computed for a write is stored back here, so it grows over a run of the program.
    std::uint64_t SaveOnFirstDisk = 0;
    bool SaveZipInfoOnFirstDisk = false;  // also write the directory into a ".zfc" file
    bool CheckDiskLabels = true;          // kept for callers; no label is ever compared
    bool WriteDiskLabels = true;          // kept for callers; no label is ever written
};

// --- entries ------------------------------------------------------------------------------------

enum class TTestState { NotTested, Good, Bad };

// One entry of the loaded directory: the central directory header, with the local extra length
// beside the central one, the name split into folder and file, and the run-time flags.
struct TZipHeaderInfo {
    std::uint16_t VersionMadeBy = 20;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;  // bit 0 encrypted, bit 3 data descriptor, bit 11 UTF-8 name
    std::uint16_t CompressionMethod = 0;
    std::uint32_t DateTime = 0;  // DOS time in the low half, DOS date in the high half
    std::uint32_t CRC32 = 0;
    std::uint32_t CompressedSize = 0;  // with the 12-byte encryption header
    std::uint32_t UncompressedSize = 0;
    std::uint16_t FileNameLength = 0;
    std::uint16_t ExtraFieldLength = 0;
    std::uint16_t LocalExtraFieldLength = 0;
    std::uint16_t FileCommentLength = 0;
    std::uint16_t DiskNumberStart = 0;  // 0-based part holding the local header
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint32_t RelativeOffset = 0;  // of the local header, from the start of its part
    std::string FileName;  // without folder
    std::string PathName;  // folder with "\" separators, empty or ending in "\"
    std::string StoredName;  // bytes as stored ("/" separators, OEM or UTF-8)
    std::string ExtraField;
    std::string FileComment;

    bool Selected = false;
    TTestState TestState = TTestState::NotTested;

    bool encrypted() const { return (Flags & 1) != 0; }
};

// The end of central directory record.
struct TEndCentral {
    std::uint16_t ThisDiskNumber = 0;
    std::uint16_t CentralDirectoryDisk = 0;
    std::uint16_t EntriesOnThisDisk = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralDirectorySize = 0;
    std::uint32_t CentralDirectoryOffset = 0;
    std::string Comment;
};

// --- the engine ---------------------------------------------------------------------------------

class ZipEngine {
public:
    explicit ZipEngine(platform::Platform& platform);
    ~ZipEngine();
    ZipEngine(const ZipEngine&) = delete;
    ZipEngine& operator=(const ZipEngine&) = delete;

    // The values the program's own engine is created with: overwrite always, no attributes
    // restored, names stored with folder and drive, spanned mode, no disk labels.
    void UseProgramSettings();

    // --- properties -----------------------------------------------------------------------------
    // The archive; for a block archive, the name of a block file. A name that differs (without
    // regard to case) from the current one forgets the loaded directory.
    const std::string& ZipName() const { return m_zipName; }
    void SetZipName(const std::string& name);
    // Extraction target; one trailing "\" is removed. Empty: the folders stored in the archive.
    const std::string& DestDir() const { return m_destDir; }
    void SetDestDir(const std::string& folder);

    // Writing: files, folders ("X\") and masks (">X\*.*", "|X\*.*", "X\*.dat").
    // Extracting: masks selecting entries by stored path and name.
    std::vector<std::string> FilesList;
    std::vector<std::string> ExcludeList;
    bool DoAll = false;
    bool RecreateDirs = false;
    TOverwriteMode OverwriteMode = TOverwriteMode::Prompt;
    bool RetainAttributes = true;
    bool ReplaceReadOnly = false;
    std::string Password;
    TIncompleteZipMode IncompleteZipMode = izAssumeMulti;
    int Tag = 0;
    int PackLevel = 6;  // 0 stores, 1 to 9 deflate at that level
    bool Recurse = false;
    bool StorePaths = false;
    bool StoreVolumes = false;
    std::string TempPath;
    bool SkipIfArchiveBitNotSet = false;
    bool ResetArchiveBitOnZip = false;
    TMultiZipInfo MultiZipInfo;

    // --- events ---------------------------------------------------------------------------------
    // Progress 0..100, after every buffer read from a file being added, every buffer extracted
    // or tested, and with 100 at the end of a multi-part write.
    std::function<void(ZipEngine& Sender, int Percent)> OnTotalPercentDone;
    // A further part is needed. NextDisk is 1-based (0: the last disk); FName comes in as the
    // current archive name and goes out as the file to use; empty cancels.
    std::function<void(ZipEngine& Sender, int NextDisk, std::string& FName)> OnGetNextDisk;
    // No end record was found; the handler may change the mode or set Tag to 1 to search again.
    std::function<void(ZipEngine& Sender, TIncompleteZipMode& IncompleteMode)> OnInCompleteZip;

    // Hooks to the user interface; each may stay empty.
    // Process pending window messages; called after every buffer so that Cancel can be pressed.
    std::function<void()> OnPump;
    // An information box the engine shows by itself (caption, text).
    std::function<void(const std::string& Caption, const std::string& Text)> OnMessage;
    // A Yes/No question (caption, text); true for Yes. Without a handler the answer is No.
    std::function<bool(const std::string& Caption, const std::string& Text)> OnQuestion;
    // The wait cursor on (true) and off (false) around reading a directory.
    std::function<void(bool Busy)> OnBusy;

    // --- operations -----------------------------------------------------------------------------
    // Adds what FilesList describes (less ExcludeList) to ZipName, creating or updating it.
    // Returns the files added in this call; empties FilesList; leaves the new directory loaded.
    int WriteArchive();
    // Loads the directory of ZipName. After a failure the directory is forgotten and ZipName
    // emptied.
    void ReadDirectory();
    // Extracts the selected entries; returns how many were extracted. An entry that fails is
    // skipped and the others go on; only cancelling, a cancelled disk request and a premature end
    // of a single-file archive stop the whole extraction. Empties FilesList.
    int ExtractEntries();
    // Decompresses every entry and checks its CRC without writing anything; true when all pass.
    // Empties FilesList.
    bool TestArchive();
    // Size of the file named by ZipName (after a block write: of the last block); 0 when empty.
    std::uint64_t ArchiveFileSize();
    // Forgets the directory and empties ZipName.
    void CloseArchive();
    // Asks the running operation to stop at its next buffer ("User Aborted Operation"). Every
    // operation starts by dropping a request left over from the time nothing ran.
    void CancelOperation();

    // --- entries of the loaded directory --------------------------------------------------------
    int EntryCount() const;
    std::string EntryFileName(int index) const;
    std::string EntryPathName(int index) const;
    platform::LocalTime EntryDateTime(int index) const;
    std::uint64_t EntryUncompressedSize(int index) const;
    const TZipHeaderInfo& Entry(int index) const;
    const TEndCentral& EndCentral() const { return m_endCentral; }

    // Things the last operation left out that the caller should list: files too large for the
    // format, entries whose path would leave the extraction target. One line each.
    const std::vector<std::string>& Skipped() const { return m_skipped; }

private:
    friend class ZipJob;
    friend class ArchiveInput;
    friend class ZipWriteJob;
    friend class ZipReadJob;
    friend class ZipExtractJob;

    void ForgetDirectory();

    platform::Platform& m_platform;
    std::string m_zipName;
    std::string m_destDir;
    std::vector<TZipHeaderInfo> m_entries;
    TEndCentral m_endCentral;
    bool m_directoryLoaded = false;
    std::string m_directoryFile;             // the file the directory was read from
    platform::FileTime m_directoryTime = 0;  // its time stamp then
    bool m_spanned = false;                  // multi-part archive read as spanned disks
    int m_openPart = -1;                     // 0-based part of a multi-part archive opened last
    bool m_cancelRequested = false;
    std::vector<std::string> m_skipped;
};

}  // namespace brx::zip
