#include "engine/journal/run_journal.h"

#include <system_error>
#include <utility>

#include "platform/file_io.h"

namespace {

constexpr const char* kLog = "log";
constexpr const char* kLinkFolder = "link";
constexpr const char* kCopyFolder = "copy";

}  // namespace

CRunJournal::CRunJournal(CJournalStore& store, CDir folder, std::string key, CJournalHeader header,
                         bool record, std::uint64_t copyLimit)
    : m_store(store),
      m_folder(std::move(folder)),
      m_key(std::move(key)),
      m_header(std::move(header)),
      m_bRecord(record),
      m_copyLimit(copyLimit) {}

CIoResult CRunJournal::Start() {
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!m_bStarted) {
        m_bStarted = true;
        m_startResult = StartLocked();
    }
    return m_startResult;
}

CIoResult CRunJournal::StartLocked() {
    if (CIoResult r = CJournalStore::SetJournalAside(m_folder); !r.Ok())
        return r;
    // The previous run's originals go while this run works: there may be as
    // many as it changed files.
    try {
        m_sweeper = std::thread([this] { CJournalStore::RemoveSetAside(m_folder); });
    } catch (const std::system_error&) {
        CJournalStore::RemoveSetAside(m_folder);
    }
    if (!m_bRecord)
        return {};
    for (auto [name, dir] : {std::pair{kLinkFolder, &m_links}, std::pair{kCopyFolder, &m_copies}}) {
        if (CIoResult r = MakeFolderAt(m_folder, name); !r.Ok())
            return r;
        if (CIoResult r = m_folder.OpenChild(name, *dir); !r.Ok())
            return r;
    }
    if (CIoResult r = m_log.Create(m_folder, kLog); !r.Ok())
        return r;
    if (CIoResult r = m_log.Append(EncodeHeader(m_header)); !r.Ok())
        return r;
    m_othersCopied = m_store.CopyBytesExcept(m_key);
    return m_log.Sync();
}

bool CRunJournal::Reserve(std::uint64_t size) {
    std::lock_guard<std::mutex> hold(m_mutex);
    if (m_copied + size > m_copyLimit)
        return false;  // this run alone would pass the limit
    if (m_copied + size + m_othersCopied > m_copyLimit) {
        // Other folders' journals go first, oldest first.
        m_store.MakeRoom(m_key, m_copyLimit - m_copied - size);
        m_othersCopied = m_store.CopyBytesExcept(m_key);
        if (m_copied + size + m_othersCopied > m_copyLimit)
            return false;
    }
    m_copied += size;
    return true;
}

CIoResult CRunJournal::Keep(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                            std::uint64_t seq, KeptAs& kept) {
    if (CIoResult r = Start(); !r.Ok())
        return r;
    const std::string keepName = std::to_string(seq);
    if (!m_bNoLinks && LinkAt(dir, JournalNameOf(name), m_links, keepName).Ok()) {
        kept = KeptAs::Link;
        return {};
    }
    if (!Reserve(stamp.size))
        return {IoStatus::NoRoom, 0};
    const CIoResult r = CopyFileAt(dir, JournalNameOf(name), stamp, m_copies, keepName);
    if (!r.Ok()) {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_copied -= stamp.size;
        return r;
    }
    kept = KeptAs::Copy;
    return {};
}

void CRunJournal::Drop(std::uint64_t seq, KeptAs kept, std::uint64_t size) {
    const std::string keepName = std::to_string(seq);
    const CDir& from = kept == KeptAs::Link ? m_links : m_copies;
    CFileStamp stamp;
    EntryType type{};
    if (StampAt(from, keepName, stamp, type).Ok())
        RemoveFileAt(from, keepName, stamp.id);
    if (kept == KeptAs::Copy) {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_copied -= size;
    }
}

CIoResult CRunJournal::Append(const CJournalEntry& entry) {
    if (CIoResult r = Start(); !r.Ok())
        return r;
    const std::string line = EncodeEntry(entry);
    std::lock_guard<std::mutex> hold(m_mutex);
    if (CIoResult r = m_log.Append(line); !r.Ok())
        return r;
    if (++m_records % kSyncEvery == 0)
        return m_log.Sync();
    return {};
}

CRunJournal::~CRunJournal() {
    if (m_sweeper.joinable())
        m_sweeper.join();
}

CIoResult CRunJournal::Finish() {
    if (m_sweeper.joinable())
        m_sweeper.join();
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!m_bStarted || !m_startResult.Ok() || !m_log.IsOpen())
        return {};
    CJournalEntry end;
    end.kind = JournalRecord::End;
    end.seq = m_nextSeq.load() - 1;
    if (CIoResult r = m_log.Append(EncodeEntry(end)); !r.Ok())
        return r;
    if (CIoResult r = m_log.Sync(); !r.Ok())
        return r;
    return m_log.Close();
}
