// CCore::outTxtFile: writes working-code-page text back over a file in the
// encoding and byte order mark the file already has.

#include <string_view>

#include "platform/atomic_replace.h"
#include "platform/code_page.h"
#include "service/core.h"

namespace {

constexpr const char* kCannotEncode = "新内容无法无损转换为文件的编码";

// The new bytes of a file whose first bytes are head: the same mark, then the
// content in the encoding the mark names. A file without a mark gets the
// working-code-page bytes as they are. Conversions are strict.
bool EncodeLikeFile(std::string_view head, const std::string& content, std::string& out,
                    std::string& reason) {
    const CCodePage& cp = CCodePage::Working();
    std::string text;
    std::string_view mark;
    bool ok = true;
    if (head.starts_with("\xFF\xFE")) {
        mark = "\xFF\xFE";
        ok = ConvertCharset(cp.Name().c_str(), "UTF-16LE", content, text);
    } else if (head.starts_with("\xFE\xFF")) {
        mark = "\xFE\xFF";
        ok = ConvertCharset(cp.Name().c_str(), "UTF-16BE", content, text);
    } else if (head.starts_with("\xEF\xBB")) {
        // The reader skips three bytes after EF BB whatever the third is, so
        // the three are kept as they stand; a file of just EF BB gets a full mark.
        mark = head.size() == 3 ? head : std::string_view("\xEF\xBB\xBF");
        if (cp.IsUtf8()) {
            ok = IsValidUtf8(content);
            if (ok)
                text = content;
        } else {
            ok = ConvertCharset(cp.Name().c_str(), "UTF-8", content, text);
        }
    } else {
        out = content;
        return true;
    }
    if (!ok) {
        reason = kCannotEncode;
        return false;
    }
    out.reserve(mark.size() + text.size());
    out.assign(mark);
    out += text;
    return true;
}

WriteStatus ToWriteStatus(ReplaceStatus status) {
    switch (status) {
        case ReplaceStatus::Replaced:
            return WriteStatus::Written;
        case ReplaceStatus::Changed:
            return WriteStatus::Changed;
        case ReplaceStatus::Refused:
            return WriteStatus::Refused;
        case ReplaceStatus::Failed:
            break;
    }
    return WriteStatus::Failed;
}

}  // namespace

CWriteResult CCore::outTxtFile(const std::string& content, const std::string& path,
                               const CFileStamp* expected) {
    const CReplaceResult r = ReplaceFileAtomically(
        path,
        [&content](std::string_view head, std::string& out, std::string& reason) {
            return EncodeLikeFile(head, content, out, reason);
        },
        expected);
    CWriteResult result;
    result.status = ToWriteStatus(r.status);
    result.error = r.error;
    result.reason = r.reason;
    return result;
}
