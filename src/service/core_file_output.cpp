// CCore::outTxtFile: writes working-code-page text back over a file in the
// encoding and byte order mark the file already has.

#include <string_view>

#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/name_text.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "service/core.h"

namespace {

WriteStatus ToWriteStatus(IoStatus status) {
    if (status == IoStatus::Ok)
        return WriteStatus::Written;
    if (status == IoStatus::Changed || status == IoStatus::NotFound)
        return WriteStatus::Changed;
    return IsRefusal(status) ? WriteStatus::Refused : WriteStatus::Failed;
}

CWriteResult Outcome(const CIoResult& io) {
    return {ToWriteStatus(io.status), io};
}

}  // namespace

CWriteResult CCore::outTxtFile(const std::string& content, const std::string& path,
                               const CFileStamp* expected) {
    const size_t slash = path.find_last_of(kPathSeparators);
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    CPlatformName name;
    PathTextToName(slash == std::string::npos ? path : path.substr(slash + 1), name);
    CDir dir;
    if (CIoResult r = CDir::OpenPath(folder, dir); !r.Ok())
        return Outcome({IoStatus::OpenFailed, r.osError});
    CFileReader reader;
    if (CIoResult r = reader.Open(dir, name); !r.Ok())
        return Outcome(r);
    char head[3];
    size_t have = 0;
    if (CIoResult r = reader.Read(head, sizeof head, have); !r.Ok())
        return Outcome(r);
    const std::string_view mark(head, MarkLength(DetectEncoding({head, have}), have));
    std::string newMark, text;
    if (!EncodeLikeFile(CCodePage::Working(), mark, DetectEncoding(mark), content, newMark, text))
        return {WriteStatus::Refused, {}};
    const CFileStamp stamp = expected ? *expected : reader.Stamp();
    // Windows will not replace a file this process still holds open.
    reader.Close();
    return Outcome(ReplaceFileAt(dir, name, stamp, {newMark, text}));
}
