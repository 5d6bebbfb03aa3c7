#include "engine/report/reason_texts.h"

#include <array>
#include <utility>

#include "platform/message_catalog.h"

namespace {

constexpr std::array<std::pair<Reason, const char*>, 51> kTexts{{
    {Reason::None, ""},
    {Reason::CannotOpen, N_("无法打开")},
    {Reason::CannotRead, N_("无法读取")},
    {Reason::NotRegular, N_("不是普通文件")},
    {Reason::BecameLink, N_("已变为符号链接，不跟随")},
    {Reason::TooLarge, N_("文件过大（2 GiB 或以上）")},
    {Reason::HoldsZero, N_("文件含有零字符，改写会丢失其后的内容")},
    {Reason::OddUtf16, N_("UTF-16 文件的字节数为奇数，最后一个字节无法解码")},
    {Reason::BadUtf8, N_("文件不是有效的 UTF-8 文本")},
    {Reason::BadWorking, N_("文件含有工作代码页中无效的字节")},
    {Reason::CannotConvert, N_("文件含有工作代码页无法表示的字符")},
    {Reason::CannotEncode, N_("新内容无法无损转换为文件的编码")},
    {Reason::ResultTooLarge, N_("替换后的内容将达到 2 GiB 或以上")},
    {Reason::OutOfMemory, N_("内存不足，无法生成替换后的内容")},
    {Reason::Changed, N_("文件在处理期间已被修改")},
    {Reason::ReadOnly, N_("文件为只读（没有写权限位）")},
    {Reason::NoPermission, N_("没有写入此文件的权限")},
    {Reason::HardLinks, N_("文件有多个硬链接，替换会使它们分离")},
    {Reason::OwnerNotKept, N_("无法保留文件的属主和属组，须由属主或管理员执行")},
    {Reason::CreateTempFailed, N_("无法创建临时文件")},
    {Reason::WriteTempFailed, N_("写入临时文件失败")},
    {Reason::AttributesFailed, N_("无法复制文件属性")},
    {Reason::SyncFailed, N_("无法将临时文件写入磁盘")},
    {Reason::NameTempFailed, N_("无法为临时文件命名")},
    {Reason::CloseTempFailed, N_("关闭临时文件失败")},
    {Reason::ReplaceFailed, N_("无法替换原文件")},
    {Reason::CannotOpenFolder, N_("无法打开文件夹")},
    {Reason::CannotListFolder, N_("无法列出文件夹内容")},
    {Reason::FolderGone, N_("文件夹已不存在")},
    {Reason::FolderBecameLink, N_("文件夹已变为符号链接，不进入")},
    {Reason::TargetExists, N_("目标已存在")},
    {Reason::CannotRename, N_("无法重命名")},
    {Reason::HasStreams, N_("文件带有备用数据流，替换会丢失它们")},
    {Reason::UndoNoRoom, N_("撤销日志的副本将超过 2 GiB 上限，无法保留原文件以便撤销，未改写")},
    {Reason::UndoCannotKeep, N_("无法在撤销日志中保留原文件，未改写")},
    {Reason::UndoCannotWrite, N_("无法写入撤销日志，未改写")},
    {Reason::ChangedSinceRun, N_("文件在上次执行后已被改动，未恢复")},
    {Reason::FolderChangedSinceRun, N_("文件夹在上次执行后已被改动或原名称已被占用，未恢复")},
    {Reason::OriginalGone, N_("撤销日志中的原文件已不存在，无法恢复")},
    {Reason::OriginalDamaged, N_("撤销日志中的原文件已被改动，与执行时记下的内容不符，未恢复")},
    {Reason::ModeKeptSinceRun, N_("文件的权限在上次执行后被改过，保留了现在的权限")},
    {Reason::OutsideFolder, N_("不在所选文件夹内，不处理")},
    {Reason::ThroughLink, N_("路径经过符号链接，不跟随")},
    {Reason::NoSuchFile, N_("文件不存在")},
    {Reason::InRepositoryData, N_("位于版本库的元数据文件夹内，不处理")},
    {Reason::OwnFile, N_("是本程序自己的文件（规则、设置、撤销日志或临时文件），从不改写")},
    {Reason::Binary, N_("含有零字节，是二进制文件，未改动")},
    {Reason::ModeTextTooLarge, N_("文件超过 64 MiB，在大小写、全字或正则表达式模式下不处理")},
    {Reason::RegexTooComplex, N_("正则表达式在此文件上回溯过多（模式过于复杂），未改动")},
    {Reason::RegexFailed, N_("正则表达式匹配失败（资源不足），未改动")},
    {Reason::SplitsSurrogate, N_("匹配会把一个 UTF-16 代理对拆开，未改动")},
}};

}  // namespace

std::string ReasonText(Reason reason, int osError) {
    const auto& entry = kTexts[static_cast<size_t>(reason)];
    std::string text = Tr(entry.first == reason ? entry.second : N_("未知原因"));
    if (osError != 0)
        text += ": " + OsErrorText(osError);
    return text;
}

Reason ReadReason(IoStatus status) {
    switch (status) {
        case IoStatus::Ok:
            return Reason::None;
        case IoStatus::NotFound:
        case IoStatus::OpenFailed:
            return Reason::CannotOpen;
        case IoStatus::IsLink:
            return Reason::BecameLink;
        case IoStatus::NotRegular:
        case IoStatus::NotFolder:
            return Reason::NotRegular;
        case IoStatus::TooLarge:
            return Reason::TooLarge;
        default:
            return Reason::CannotRead;
    }
}

Reason ReplaceReason(const CIoResult& result) {
    switch (result.status) {
        case IoStatus::Ok:
            return Reason::None;
        case IoStatus::Changed:
        case IoStatus::NotFound:
            return Reason::Changed;
        case IoStatus::IsLink:
            return Reason::BecameLink;
        case IoStatus::NotRegular:
        case IoStatus::NotFolder:
            return Reason::NotRegular;
        case IoStatus::NotWritable:
            return result.osError != 0 ? Reason::NoPermission : Reason::ReadOnly;
        case IoStatus::HardLinks:
            return Reason::HardLinks;
        case IoStatus::OwnerNotKept:
            return Reason::OwnerNotKept;
        case IoStatus::HasStreams:
            return Reason::HasStreams;
        case IoStatus::CreateTempFailed:
            return Reason::CreateTempFailed;
        case IoStatus::WriteTempFailed:
            return Reason::WriteTempFailed;
        case IoStatus::AttributesFailed:
            return Reason::AttributesFailed;
        case IoStatus::SyncFailed:
            return Reason::SyncFailed;
        case IoStatus::NameTempFailed:
            return Reason::NameTempFailed;
        case IoStatus::CloseTempFailed:
            return Reason::CloseTempFailed;
        case IoStatus::OpenFailed:
            return Reason::CannotOpen;
        default:
            return Reason::ReplaceFailed;
    }
}

Reason FolderReason(IoStatus status, bool listing) {
    switch (status) {
        case IoStatus::NotFound:
            return Reason::FolderGone;
        case IoStatus::IsLink:
        case IoStatus::NotFolder:
            return Reason::FolderBecameLink;
        default:
            return listing ? Reason::CannotListFolder : Reason::CannotOpenFolder;
    }
}

Reason RenameReason(IoStatus status) {
    switch (status) {
        case IoStatus::Exists:
            return Reason::TargetExists;
        case IoStatus::NotFound:
            return Reason::FolderGone;
        default:
            return Reason::CannotRename;
    }
}
