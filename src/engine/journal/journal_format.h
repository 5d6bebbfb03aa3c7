#pragma once
// The undo journal's log: one line per record, written whole and in order.
//
//   V2 <tab> folder <tab> dev <tab> ino <tab> start <tab> options <tab> #hash
//   F  <tab> seq <tab> path <tab> dev ino size mtime hash (original) <tab> L|C
//      <tab> dev ino (new) <tab> size <tab> hash of the new bytes <tab> temporary name <tab> #hash
//   R  <tab> seq <tab> parent <tab> dev ino (parent) <tab> old <tab> new
//      <tab> dev ino (folder) <tab> #hash
//   E  <tab> changes <tab> #hash
//
// The first line is the header; F is a rewritten file, R a renamed folder, E
// the end of a run that finished. Paths are relative to the chosen folder.
// Names and paths are byte strings with "%", tab, line ends and other
// control bytes written as %XX. Numbers are decimal, hashes hexadecimal.
// Every line ends in the hash of what precedes " #". A version 1 journal
// (header V1) has no hash of the original's bytes in its F lines.
//
// The log is an input like any other. A last line without its line end was
// torn by a crash or a power loss: reading stops there, as at the end. Any
// other line that fails its hash, its fields or the checks of its names
// (every path component and folder name a plain entry name, every temporary
// name one of the replace's own) is damage: the journal is not to be acted
// on, and the line's number says where.
//
// An undo keeps the temporary files it makes in the tree in a second log
// of T lines, each written before its file is named:
//   T  <tab> seq <tab> path <tab> dev ino (temporary file) <tab> temporary name <tab> #hash

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

enum class JournalRecord : char { File = 'F', Folder = 'R', End = 'E', UndoTemp = 'T' };
enum class KeptAs : char { Link = 'L', Copy = 'C' };

struct CJournalEntry {
    JournalRecord kind = JournalRecord::File;
    std::uint64_t seq = 0;  // order of the change; for End, the number of changes
    std::string path;       // File: the file; Folder: its parent ("" for the chosen folder)
    // File (UndoTemp: path, newId and tempName)
    CFileStamp original;  // id, size and mtimeNs are kept
    std::uint64_t originalHash = 0;
    bool hasOriginalHash = false;  // version 2 on
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
    bool torn = false;                   // the last line has no line end
    size_t damagedLine = 0;              // the first damaged line (from 1); 0: none
};

std::string EncodeHeader(const CJournalHeader& header);
std::string EncodeEntry(const CJournalEntry& entry);
// False when there is no whole first line. A damaged header is reported as
// damage on line 1, with the header left empty.
bool DecodeJournal(std::string_view log, CJournalContents& out);
// The T lines of an undo's log of temporary files, up to the first line
// that is torn or damaged (what follows it cannot be trusted either).
std::vector<CJournalEntry> DecodeUndoTemps(std::string_view log);

// A fast 64-bit hash of bytes, and of several pieces as if they were one.
// A path below the chosen folder as the journal spells it, "/" between
// folders on every system, from the walk's spelling and back.
std::string JournalPathOf(std::string_view walkPath);
std::string WalkPathOf(std::string_view journalPath);

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
