#pragma once
// The undo journal's log: one line per record, written whole and in order.
//
//   V1 <tab> folder <tab> dev <tab> ino <tab> start <tab> options <tab> #hash
//   F  <tab> seq <tab> path <tab> dev ino size mtime (original) <tab> L|C
//      <tab> dev ino (new) <tab> size <tab> hash of the new bytes <tab> temporary name <tab> #hash
//   R  <tab> seq <tab> parent <tab> dev ino (parent) <tab> old <tab> new
//      <tab> dev ino (folder) <tab> #hash
//   E  <tab> changes <tab> #hash
//
// The first line is the header; F is a rewritten file, R a renamed folder, E
// the end of a run that finished. Paths are relative to the chosen folder.
// Names and paths are byte strings with "%", tab, line ends and other
// control bytes written as %XX. Numbers are decimal, hashes hexadecimal.
// Every line ends in the hash of what precedes " #": a line torn by a crash
// or a power loss fails it, and reading stops at the first line that does.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io_result.h"

struct CJournalHeader {
    std::string folder;  // the chosen folder's real path
    CNodeId folderId;
    std::int64_t startTime = 0;  // seconds since 1970
    std::string options;         // what the run was asked to do, for the listing
};

enum class JournalRecord : char { File = 'F', Folder = 'R', End = 'E' };
enum class KeptAs : char { Link = 'L', Copy = 'C' };

struct CJournalEntry {
    JournalRecord kind = JournalRecord::File;
    std::uint64_t seq = 0;  // order of the change; for End, the number of changes
    std::string path;       // File: the file; Folder: its parent ("" for the chosen folder)
    // File
    CFileStamp original;  // id, size and mtimeNs are kept
    KeptAs kept = KeptAs::Link;
    CNodeId newId;
    std::uint64_t newSize = 0;
    std::uint64_t newHash = 0;
    std::string tempName;
    // Folder
    CNodeId parentId;
    std::string oldName;
    std::string newName;
    CNodeId folderId;
};

struct CJournalContents {
    CJournalHeader header;
    std::vector<CJournalEntry> entries;  // File and Folder records, in the order made
    bool finished = false;               // an End record closes it
    bool torn = false;                   // a line after the last good one failed its hash
};

std::string EncodeHeader(const CJournalHeader& header);
std::string EncodeEntry(const CJournalEntry& entry);
// False when there is no readable header.
bool DecodeJournal(std::string_view log, CJournalContents& out);

// A fast 64-bit hash of bytes, and of several pieces as if they were one.
std::uint64_t Hash64(std::string_view bytes);
std::uint64_t Hash64(const std::vector<std::string_view>& pieces);

// The same hash of bytes that come a piece at a time.
class CHash64 {
  public:
    CHash64();
    ~CHash64();
    CHash64(const CHash64&) = delete;
    CHash64& operator=(const CHash64&) = delete;
    void Add(std::string_view bytes);
    std::uint64_t Value() const;

  private:
    struct CState;
    std::unique_ptr<CState> m_state;
};
