// The undo journal's file operations are not written for Windows yet: each
// says so, and a job there keeps no journal (kJournalAvailable is false), so
// none of these is reached by a run.
#include "platform/journal_files.h"

#include "platform/name_text.h"

namespace {

CIoResult NotHere() {
    return {IoStatus::OpenFailed, 50 /* ERROR_NOT_SUPPORTED */};
}

}  // namespace

CJournalName JournalNameOf(const CPlatformName& name) {
    return NameToPathText(name);
}

CPlatformName PlatformNameOf(const CJournalName& name) {
    CPlatformName wide;
    PathTextToName(name, wide);
    return wide;
}

CAppendFile::~CAppendFile() = default;

CIoResult CAppendFile::Create(const CDir&, const CJournalName&) {
    return NotHere();
}

CIoResult CAppendFile::Append(std::string_view) {
    return NotHere();
}

CIoResult CAppendFile::Sync() {
    return NotHere();
}

CIoResult CAppendFile::Close() {
    return {};
}

CIoResult StampAt(const CDir&, const CJournalName&, CFileStamp&, EntryType&) {
    return NotHere();
}

CIoResult LinkAt(const CDir&, const CJournalName&, const CDir&, const CJournalName&) {
    return NotHere();
}

CIoResult CopyFileAt(const CDir&, const CJournalName&, const CFileStamp&, const CDir&,
                     const CJournalName&) {
    return NotHere();
}

CIoResult MoveOverAt(const CDir&, const CJournalName&, const CDir&, const CJournalName&,
                     const CFileStamp&) {
    return NotHere();
}

CIoResult SetModeAt(const CDir&, const CJournalName&, std::uint32_t) {
    return {};  // no permission bits to set
}

CIoResult RemoveFileAt(const CDir&, const CJournalName&, const CNodeId&) {
    return NotHere();
}

CIoResult RemoveTreeAt(const CDir&, const CJournalName&) {
    return NotHere();
}

CIoResult MakeFolderAt(const CDir&, const CJournalName&) {
    return NotHere();
}

CIoResult WriteSmallFileAt(const CDir&, const CJournalName&, std::string_view) {
    return NotHere();
}

std::string RealPathOf(const std::string& path) {
    return path;
}

CFileLock::~CFileLock() = default;

CFileLock::CFileLock(CFileLock&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = -1;
}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    m_handle = other.m_handle;
    other.m_handle = -1;
    return *this;
}

CIoResult CFileLock::Lock(const CDir&, const CJournalName&, bool) {
    return NotHere();
}

void CFileLock::Unlock() {
    m_handle = -1;
}
