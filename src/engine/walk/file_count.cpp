#include "engine/walk/file_count.h"

#include "engine/walk/folder_walker.h"

namespace {

// Renames nothing: the count walks the tree as it is now.
class CNoRenamer final : public CFolderRenamer {
  public:
    CIoResult Rename(const CDir&, const std::string&, const CPlatformName&,
                     const CPlatformName&) override {
        return {};
    }
};

}  // namespace

// The run's own walker selects, so the count agrees with the run on every
// rule of selection (suffixes, links, protected files, version control).
long CountSelectedFiles(const CJob& job, const std::atomic<bool>* stopWord) {
    CJob listing = job;
    listing.renameFolders = false;
    CNoRenamer renamer;
    CRunResult ignored;
    CFolderWalker walker(listing, renamer, ignored, stopWord, [](CRunEvent) {});
    long files = 0;
    walker.WalkFolder(listing.folder, [&files](const auto&, const auto&, const auto&) { ++files; });
    return ignored.stopped ? -1 : files;
}
