// The atomic replace on Windows. The temporary file is created relative to
// the folder handle, deleted when its handle closes (so that a process
// killed meanwhile leaves nothing behind), written and checked, given the
// original's owner, group, DACL and attributes, flushed; with a journal, the
// original is kept there first. Then it gets a second, lasting name (told to
// the journal before it is made), our own handle on the original is closed
// (Windows refuses to rename over a file we still hold), the stamp is
// checked once more, and that name is renamed over the original by its
// handle, relative to the folder handle. Any failure deletes both names and
// leaves the original as it was.
#include <aclapi.h>
#include <windows.h>
#include <winternl.h>

#include <random>
#include <vector>

#include "platform/file_io.h"
#include "platform/win32/win32_nt.h"

namespace {

constexpr std::string_view kTempPrefix = ".vexa~";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandomChars = 6;
constexpr int kNameAttempts = 100;

std::wstring TempName() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    std::wstring name(kTempPrefix.begin(), kTempPrefix.end());
    for (size_t i = 0; i < kTempRandomChars; ++i)
        name += static_cast<wchar_t>(kChars[rng() % (sizeof kChars - 1)]);
    name.append(kTempSuffix.begin(), kTempSuffix.end());
    return name;
}

// The security of the original: owner, group and DACL, with whether the
// DACL is protected from inheritance.
struct CSecurity {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL dacl = nullptr;
    bool protectedDacl = false;

    ~CSecurity() {
        if (descriptor)
            ::LocalFree(descriptor);
    }
};

constexpr SECURITY_INFORMATION kSecurityParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

int ReadSecurity(HANDLE file, CSecurity& security) {
    const DWORD error =
        ::GetSecurityInfo(file, SE_FILE_OBJECT, kSecurityParts, &security.owner, &security.group,
                          &security.dacl, nullptr, &security.descriptor);
    if (error != ERROR_SUCCESS)
        return static_cast<int>(error);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (::GetSecurityDescriptorControl(security.descriptor, &control, &revision))
        security.protectedDacl = (control & SE_DACL_PROTECTED) != 0;
    return 0;
}

// A file with more than its unnamed data stream: a replace would lose the
// others, so it is left alone.
bool HasOtherStreams(HANDLE file) {
    std::vector<std::uint64_t> buffer(8192);
    if (!::GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * 8)))
        return ::GetLastError() == ERROR_MORE_DATA;
    const auto* stream = reinterpret_cast<const FILE_STREAM_INFO*>(buffer.data());
    int count = 0;
    for (;;) {
        const std::wstring_view name(stream->StreamName,
                                     stream->StreamNameLength / sizeof(wchar_t));
        if (name != L"::$DATA" && !name.empty())
            ++count;
        if (stream->NextEntryOffset == 0)
            break;
        stream = reinterpret_cast<const FILE_STREAM_INFO*>(
            reinterpret_cast<const unsigned char*>(stream) + stream->NextEntryOffset);
    }
    return count > 0;
}

// The checks a replace makes before it writes anything; info is the file now.
CIoResult Preflight(HANDLE original, const CHandleInfo& info, const CFileStamp& expected) {
    if (info.IsReparsePoint())
        return Fail(IoStatus::IsLink);
    if (info.IsFolder())
        return Fail(IoStatus::NotRegular);
    if (info.stamp != expected)
        return Fail(IoStatus::Changed);
    if (info.attributes & FILE_ATTRIBUTE_READONLY)
        return Fail(IoStatus::NotWritable);
    if (info.stamp.links > 1)
        return Fail(IoStatus::HardLinks);
    if (HasOtherStreams(original))
        return Fail(IoStatus::HasStreams);
    return {};
}

// The original, opened as itself, for its attributes and security.
CIoResult OpenOriginal(HANDLE dir, const CPlatformName& name, CHandle& original,
                       CHandleInfo& info) {
    const NTSTATUS status = OpenAt(dir, name, FILE_READ_ATTRIBUTES | READ_CONTROL, FILE_OPEN,
                                   FILE_NON_DIRECTORY_FILE, original);
    if (!NT_SUCCESS(status)) {
        const IoStatus failure = OpenFailure(status);
        return Fail(failure == IoStatus::NotFound ? IoStatus::Changed : failure, ErrorOf(status));
    }
    if (const int error = QueryHandle(original.Get(), info))
        return Fail(IoStatus::OpenFailed, error);
    return {};
}

// Whether the volume of the folder open as dir has hard links: all but the
// FAT family do. Decided by the file system's name, as wine reports none of
// a volume's capabilities.
bool HardLinksIn(HANDLE dir) {
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    return ::GetVolumeInformationByHandleW(dir, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                           MAX_PATH + 1) &&
           std::wstring_view(fileSystem).find(L"FAT") == std::wstring_view::npos;
}

// The temporary file, created beside the original with a name of its own
// that goes when its handle is closed, however the process ends. Where the
// volume has hard links it is created so (and NameTemp gives the ready
// content a lasting name); elsewhere it is marked so just after it is made,
// and the mark is taken back when the content is ready.
CIoResult CreateTemp(HANDLE dir, bool linkable, CHandle& temp, std::wstring& name) {
    constexpr ACCESS_MASK kAccess = GENERIC_WRITE | READ_CONTROL | WRITE_DAC | WRITE_OWNER |
                                    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
    const ULONG options = FILE_NON_DIRECTORY_FILE | (linkable ? FILE_DELETE_ON_CLOSE : 0);
    for (int i = 0; i < kNameAttempts; ++i) {
        name = TempName();
        const NTSTATUS status = OpenAt(dir, name, kAccess, FILE_CREATE, options, temp,
                                       linkable ? FILE_SHARE_DELETE : 0);
        if (NT_SUCCESS(status)) {
            if (linkable || DeleteByHandle(temp.Get()))
                return {};
            const int error = static_cast<int>(::GetLastError());
            temp.Reset();
            return Fail(IoStatus::CreateTempFailed, error);
        }
        if (status != kStatusNameCollision)
            return Fail(IoStatus::CreateTempFailed, ErrorOf(status));
    }
    return Fail(IoStatus::CreateTempFailed, ERROR_FILE_EXISTS);
}

// Owner and group first: a file whose owner cannot be kept is not replaced.
CIoResult CopySecurity(HANDLE original, HANDLE temp, DWORD attributes) {
    CSecurity security;
    if (const int error = ReadSecurity(original, security))
        return Fail(IoStatus::AttributesFailed, error);
    DWORD error = ::SetSecurityInfo(temp, SE_FILE_OBJECT,
                                    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION,
                                    security.owner, security.group, nullptr, nullptr);
    if (error != ERROR_SUCCESS)
        return Fail(error == ERROR_INVALID_OWNER || error == ERROR_ACCESS_DENIED ||
                            error == ERROR_PRIVILEGE_NOT_HELD
                        ? IoStatus::OwnerNotKept
                        : IoStatus::AttributesFailed,
                    static_cast<int>(error));
    const SECURITY_INFORMATION dacl =
        DACL_SECURITY_INFORMATION |
        (security.protectedDacl ? PROTECTED_DACL_SECURITY_INFORMATION
                                : UNPROTECTED_DACL_SECURITY_INFORMATION);
    if (security.dacl) {
        error =
            ::SetSecurityInfo(temp, SE_FILE_OBJECT, dacl, nullptr, nullptr, security.dacl, nullptr);
        if (error != ERROR_SUCCESS)
            return Fail(IoStatus::AttributesFailed, static_cast<int>(error));
    }
    FILE_BASIC_INFO basic{};
    basic.FileAttributes =
        attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(temp, FileBasicInfo, &basic, sizeof basic))
        return Fail(IoStatus::AttributesFailed, static_cast<int>(::GetLastError()));
    return {};
}

// Writes the pieces to the temporary file with the original's security and
// attributes, flushed. On failure the caller deletes it.
CIoResult FillTemp(HANDLE original, const CHandleInfo& info, HANDLE temp,
                   const std::vector<std::string_view>& pieces) {
    for (std::string_view piece : pieces) {
        if (const int error = WriteAllTo(temp, piece))
            return Fail(IoStatus::WriteTempFailed, error);
    }
    if (CIoResult r = CopySecurity(original, temp, info.attributes); !r.Ok())
        return r;
    // Flushed before the rename: a write-back error shows here, while the
    // original is still in place, and the new content survives a power loss.
    if (!::FlushFileBuffers(temp))
        return Fail(IoStatus::SyncFailed, static_cast<int>(::GetLastError()));
    return {};
}

// The stamp of name in dir now, or Changed.
CIoResult StillAsRead(HANDLE dir, const CPlatformName& name, const CFileStamp& expected) {
    CHandle now;
    CHandleInfo info;
    const NTSTATUS status =
        OpenAt(dir, name, FILE_READ_ATTRIBUTES, FILE_OPEN, FILE_NON_DIRECTORY_FILE, now);
    if (!NT_SUCCESS(status) || QueryHandle(now.Get(), info) != 0 || info.IsReparsePoint() ||
        info.stamp != expected)
        return Fail(IoStatus::Changed);
    return {};
}

// Gives the ready content a name that lasts, beside the original: a second
// link to the temporary file, told to the journal before it is made, and
// opened as named for the rename. The temporary file's own name goes when
// its handle is closed.
CIoResult NameTemp(HANDLE folder, HANDLE temp, CReplaceJournal* journal, CHandle& named) {
    CHandleInfo info;
    if (const int error = QueryHandle(temp, info))
        return Fail(IoStatus::NameTempFailed, error);
    for (int i = 0; i < kNameAttempts; ++i) {
        const std::wstring name = TempName();
        if (journal) {
            if (CIoResult r = journal->RecordReplace(info.stamp.id, name); !r.Ok())
                return r;
        }
        const int error = LinkByHandle(temp, folder, name);
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            continue;
        if (error != 0)
            return Fail(IoStatus::NameTempFailed, error);
        const NTSTATUS status = OpenAt(folder, name, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN,
                                       FILE_NON_DIRECTORY_FILE, named);
        return NT_SUCCESS(status) ? CIoResult{} : Fail(IoStatus::NameTempFailed, ErrorOf(status));
    }
    return Fail(IoStatus::NameTempFailed, ERROR_FILE_EXISTS);
}

// Where there are no hard links: the temporary file is told to the journal
// by the name it has, and its mark for deletion taken back.
CIoResult KeepTemp(HANDLE temp, const std::wstring& name, CReplaceJournal* journal) {
    CHandleInfo info;
    if (const int error = QueryHandle(temp, info))
        return Fail(IoStatus::NameTempFailed, error);
    if (journal) {
        if (CIoResult r = journal->RecordReplace(info.stamp.id, name); !r.Ok())
            return r;
    }
    if (!KeepByHandle(temp))
        return Fail(IoStatus::NameTempFailed, static_cast<int>(::GetLastError()));
    return {};
}

// Keeps the original in the journal. A new link moves the link count by one
// and the change time; the stamp the last look expects is then the
// original's as it is now, provided nothing else about it changed.
CIoResult KeepInJournal(const CDir& dir, const CPlatformName& name, CReplaceJournal& journal,
                        CFileStamp& expected) {
    bool linked = false;
    if (CIoResult r = journal.KeepOriginal(dir, name, expected, linked); !r.Ok())
        return r;
    if (!linked)
        return {};
    CHandle now;
    CHandleInfo info;
    if (NT_SUCCESS(OpenAt(AsHandle(dir.Handle()), name, FILE_READ_ATTRIBUTES, FILE_OPEN,
                          FILE_NON_DIRECTORY_FILE, now)) &&
        QueryHandle(now.Get(), info) == 0 && !info.IsReparsePoint()) {
        CFileStamp asBefore = info.stamp;
        asBefore.links -= 1;
        asBefore.ctimeNs = expected.ctimeNs;
        if (asBefore == expected) {
            expected = info.stamp;
            return {};
        }
    }
    journal.DropOriginal();
    return Fail(IoStatus::Changed);
}

}  // namespace

CIoResult CheckReplaceableAt(const CDir& dir, const CPlatformName& name,
                             const CFileStamp& expected) {
    CHandle original;
    CHandleInfo info;
    if (CIoResult r = OpenOriginal(AsHandle(dir.Handle()), name, original, info); !r.Ok())
        return r;
    return Preflight(original.Get(), info, expected);
}

struct CFileReplacement::CState {
    const CDir* dir = nullptr;
    HANDLE folder = nullptr;
    CPlatformName name;
    CFileStamp expected;
    CHandle original;
    CHandleInfo info;
    bool linkable = false;  // the temporary file is deleted on close and linked when ready
    CHandle temp;
    std::wstring tempName;
    CReplaceJournal* journal = nullptr;  // set once the original is kept in it
};

CFileReplacement::CFileReplacement() = default;

CFileReplacement::~CFileReplacement() {
    Discard();
}

void CFileReplacement::Discard() {
    if (m_state && m_state->temp.Ok())
        DeleteByHandle(m_state->temp.Get());
    if (m_state && m_state->journal)
        m_state->journal->DropOriginal();
    m_state.reset();
}

// There is no unnamed temporary file here: the temporary file has its name
// from the start.
CIoResult CFileReplacement::Begin(const CDir& dir, const CPlatformName& name,
                                  const CFileStamp& expected, bool /*unnamed*/,
                                  CFileReader* opened) {
    // A file this process holds open cannot be replaced here.
    if (opened)
        opened->Close();
    Discard();
    auto state = std::make_unique<CState>();
    state->dir = &dir;
    state->folder = AsHandle(dir.Handle());
    state->name = name;
    state->expected = expected;
    if (CIoResult r = OpenOriginal(state->folder, name, state->original, state->info); !r.Ok())
        return r;
    if (CIoResult r = Preflight(state->original.Get(), state->info, expected); !r.Ok())
        return r;
    state->linkable = HardLinksIn(state->folder);
    if (CIoResult r = CreateTemp(state->folder, state->linkable, state->temp, state->tempName);
        !r.Ok())
        return r;
    m_state = std::move(state);
    return {};
}

// Commit never fails here for want of a name; a fresh temporary file all the same.
CIoResult CFileReplacement::Again() {
    if (!m_state)
        return Fail(IoStatus::CreateTempFailed, ERROR_INVALID_HANDLE);
    if (m_state->temp.Ok())
        DeleteByHandle(m_state->temp.Get());
    m_state->temp.Reset();
    CState& s = *m_state;
    if (CIoResult r = CreateTemp(s.folder, s.linkable, s.temp, s.tempName); !r.Ok()) {
        Discard();
        return r;
    }
    return {};
}

CIoResult CFileReplacement::Write(std::string_view bytes) {
    if (!m_state)
        return Fail(IoStatus::WriteTempFailed, ERROR_INVALID_HANDLE);
    if (const int error = WriteAllTo(m_state->temp.Get(), bytes)) {
        Discard();
        return Fail(IoStatus::WriteTempFailed, error);
    }
    return {};
}

CIoResult CFileReplacement::Commit(CReplaceJournal* journal) {
    if (!m_state)
        return Fail(IoStatus::WriteTempFailed, ERROR_INVALID_HANDLE);
    CState& s = *m_state;
    m_bLinkFailed = false;
    auto fail = [&](CIoResult r) {
        Discard();
        return r;
    };
    // The original goes into the journal first, then the new file's name.
    if (journal && !s.journal) {
        if (CIoResult r = KeepInJournal(*s.dir, s.name, *journal, s.expected); !r.Ok())
            return fail(r);
        s.journal = journal;
    }
    if (CIoResult r = FillTemp(s.original.Get(), s.info, s.temp.Get(), {}); !r.Ok())
        return fail(r);
    CHandle named;
    if (CIoResult r = s.linkable ? NameTemp(s.folder, s.temp.Get(), s.journal, named)
                                 : KeepTemp(s.temp.Get(), s.tempName, s.journal);
        !r.Ok())
        return fail(r);
    const HANDLE renamed = s.linkable ? named.Get() : s.temp.Get();
    auto failNamed = [&](CIoResult r) {
        if (named.Ok())
            DeleteByHandle(named.Get());
        named.Reset();
        return fail(r);
    };
    // Windows will not rename over a file this process still holds open.
    s.original.Reset();
    // The last look before the rename: the original must still be the file
    // the content was made from, with no new content, name or link.
    if (CIoResult r = StillAsRead(s.folder, s.name, s.expected); !r.Ok())
        return failNamed(r);
    if (const int error = RenameByHandle(renamed, s.folder, s.name, true))
        return failNamed(Fail(IoStatus::ReplaceFailed, error));
    s.journal = nullptr;  // the journal keeps its original
    m_state.reset();      // renamed: closing the handle is all that is left
    return {};
}

CIoResult ReplaceFileAt(const CDir& dir, const CPlatformName& name, const CFileStamp& expected,
                        const std::vector<std::string_view>& pieces, CReplaceJournal* journal,
                        CFileReader* opened) {
    CFileReplacement replacement;
    if (CIoResult r = replacement.Begin(dir, name, expected, false, opened); !r.Ok())
        return r;
    for (std::string_view piece : pieces) {
        if (CIoResult r = replacement.Write(piece); !r.Ok())
            return r;
    }
    return replacement.Commit(journal);
}

bool IsOwnTempFileName(std::string_view name) {
    return name.size() == kTempPrefix.size() + kTempRandomChars + kTempSuffix.size() &&
           name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix);
}
