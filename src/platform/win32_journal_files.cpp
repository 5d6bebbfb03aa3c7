// The undo journal's file operations are not written for Windows yet: each
// says so, and a job there keeps no journal (kJournalAvailable is false), so
// none of these is reached by a run.
#include "platform/journal_files.h"

namespace {

CIoResult NotHere() {
    return {IoStatus::OpenFailed, 50 /* ERROR_NOT_SUPPORTED */};
}

}  // namespace

CAppendFile::~CAppendFile() = default;

CIoResult CAppendFile::Create(const CDir&, const CPlatformName&) {
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

CIoResult StampAt(const CDir&, const CPlatformName&, CFileStamp&, EntryType&) {
    return NotHere();
}

CIoResult LinkAt(const CDir&, const CPlatformName&, const CDir&, const CPlatformName&) {
    return NotHere();
}

CIoResult CopyFileAt(const CDir&, const CPlatformName&, const CFileStamp&, const CDir&,
                     const CPlatformName&) {
    return NotHere();
}

CIoResult MoveOverAt(const CDir&, const CPlatformName&, const CDir&, const CPlatformName&,
                     const CFileStamp&) {
    return NotHere();
}

CIoResult RemoveFileAt(const CDir&, const CPlatformName&, const CNodeId&) {
    return NotHere();
}

CIoResult RemoveTreeAt(const CDir&, const CPlatformName&) {
    return NotHere();
}

CIoResult MakeFolderAt(const CDir&, const CPlatformName&) {
    return NotHere();
}

CIoResult WriteSmallFileAt(const CDir&, const CPlatformName&, std::string_view) {
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

CIoResult CFileLock::Lock(const CDir&, const CPlatformName&, bool) {
    return NotHere();
}

void CFileLock::Unlock() {
    m_handle = -1;
}
