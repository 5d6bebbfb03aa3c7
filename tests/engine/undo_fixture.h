#pragma once
// A tree of files and folders that a run changes and an undo puts back, and
// a picture of it (names, bytes, permissions, identities and, on POSIX, an
// extended attribute) to compare before and after.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/journal/journal_store.h"
#include "platform/file_io.h"
#include "platform/journal_files.h"
#include "run_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>

#include "platform/posix/sys_calls.h"

// A journal on another file system: a plain link (the keeping one) fails.
inline int LinkAcrossDevices(int from, const char* a, int to, const char* b, int flags) {
    if (flags == 0) {
        errno = EXDEV;
        return -1;
    }
    return RealSysCalls().linkat(from, a, to, b, flags);
}
#endif

struct CNode {
    std::string bytes, attr;
    unsigned mode = 0;
    CNodeId id;
    bool operator==(const CNode& o) const {
        return bytes == o.bytes && attr == o.attr && mode == o.mode;
    }
};

inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Every entry below root by relative path (folders with empty bytes).
inline std::map<std::string, CNode> Snapshot(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, CNode> tree;
    const fs::path top = NativePath(root);
    for (const auto& e : fs::recursive_directory_iterator(top)) {
        CNode& n = tree[Utf8(e.path().lexically_relative(top).generic_u8string())];
        const fs::file_status st = fs::symlink_status(e.path());
        n.mode = static_cast<unsigned>(st.permissions()) | (static_cast<unsigned>(st.type()) << 16);
        IdentifyPath(Utf8(e.path()), n.id);
        if (st.type() != fs::file_type::regular)
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        n.bytes = bytes.str();
#ifndef _WIN32
        char value[64];
        const ssize_t got = ::getxattr(e.path().c_str(), "user.t", value, sizeof value);
        n.attr = got > 0 ? std::string(value, static_cast<size_t>(got)) : "";
#endif
    }
    return tree;
}

class CUndoTest : public CRunTest {
  protected:
    void SetUp() override {
        CRunTest::SetUp();
        m_job.journalRoot = m_dir / "data/Vexa/journal";
        m_job.extensions = {"*"};
        // A chain: a/b becomes a/c before a becomes b.
        m_job.renameRules = {{"a", "b"}, {"b", "c"}};
        MakeTree(m_root, {{"a/b/x1.txt", "x one"},
                          {"a/u16.txt", std::string("\xFF\xFEx\0y\0", 6)},
                          {"d/be.txt", std::string("\xFE\xFF\0x", 4)},
                          {"d/bom.txt", "\xEF\xBB\xBFx"},
                          {"keep.txt", "none here"},
                          {"top.txt", "x at the top"}});
        SetModeAndAttribute();
    }
    // A mode and an extended attribute a run must keep (POSIX only).
    void SetModeAndAttribute() {
#ifndef _WIN32
        ::chmod(P("top.txt").c_str(), 0640);
        ::setxattr(P("a/u16.txt").c_str(), "user.t", "v", 1, 0);
#endif
    }
    std::string Key() const {
        return CJournalStore::KeyOf(RealPathOf(m_root));
    }
    // The folder's journal, as test path text and as std::filesystem takes it.
    std::string JournalFolderText() const {
        return m_job.journalRoot + "/" + Key();
    }
    std::filesystem::path JournalFolder() const {
        return NativePath(JournalFolderText());
    }
    // The temporary files of replaces and restores left anywhere in the tree.
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> found;
        for (const auto& e : std::filesystem::recursive_directory_iterator(NativePath(m_root))) {
            if (Utf8(e.path().filename()).starts_with(".vexa~"))
                found.push_back(Utf8(e.path()));
        }
        return found;
    }
    const CRunResult& Undo(bool dryRun = false) {
        m_job.undo = true;
        const CRunResult& r = Run(dryRun);
        m_job.undo = false;
        return r;
    }
    // The tree as it was made, from a copy (which keeps no modes or attributes).
    void Restore(const std::string& pristine) {
        std::filesystem::remove_all(NativePath(m_root));
        std::filesystem::copy(NativePath(pristine), NativePath(m_root),
                              std::filesystem::copy_options::recursive);
        SetModeAndAttribute();
    }
};
