#include "engine/report/reason_texts.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<Reason, const char*>, 46> kTexts{{
    {Reason::None, ""},
    {Reason::CannotOpen, "无法打开"},
    {Reason::CannotRead, "无法读取"},
    {Reason::NotRegular, "不是普通文件"},
    {Reason::BecameLink, "已变为符号链接，不跟随"},
    {Reason::TooLarge, "文件过大（2 GiB 或以上）"},
    {Reason::HoldsZero, "文件含有零字符，改写会丢失其后的内容"},
    {Reason::OddUtf16, "UTF-16 文件的字节数为奇数，最后一个字节无法解码"},
    {Reason::BadUtf8, "文件不是有效的 UTF-8 文本"},
    {Reason::BadWorking, "文件含有工作代码页中无效的字节"},
    {Reason::CannotConvert, "文件含有工作代码页无法表示的字符"},
    {Reason::CannotEncode, "新内容无法无损转换为文件的编码"},
    {Reason::ResultTooLarge, "替换后的内容将达到 2 GiB 或以上"},
    {Reason::OutOfMemory, "内存不足，无法生成替换后的内容"},
    {Reason::Changed, "文件在处理期间已被修改"},
    {Reason::ReadOnly, "文件为只读（没有写权限位）"},
    {Reason::NoPermission, "没有写入此文件的权限"},
    {Reason::HardLinks, "文件有多个硬链接，替换会使它们分离"},
    {Reason::OwnerNotKept, "无法保留文件的属主和属组，须由属主或管理员执行"},
    {Reason::CreateTempFailed, "无法创建临时文件"},
    {Reason::WriteTempFailed, "写入临时文件失败"},
    {Reason::AttributesFailed, "无法复制文件属性"},
    {Reason::SyncFailed, "无法将临时文件写入磁盘"},
    {Reason::NameTempFailed, "无法为临时文件命名"},
    {Reason::CloseTempFailed, "关闭临时文件失败"},
    {Reason::ReplaceFailed, "无法替换原文件"},
    {Reason::CannotOpenFolder, "无法打开文件夹"},
    {Reason::CannotListFolder, "无法列出文件夹内容"},
    {Reason::FolderGone, "文件夹已不存在"},
    {Reason::FolderBecameLink, "文件夹已变为符号链接，不进入"},
    {Reason::TargetExists, "目标已存在"},
    {Reason::CannotRename, "无法重命名"},
    {Reason::HasStreams, "文件带有备用数据流，替换会丢失它们"},
    {Reason::UndoNoRoom, "撤销日志的副本将超过 2 GiB 上限，无法保留原文件以便撤销，未改写"},
    {Reason::UndoCannotKeep, "无法在撤销日志中保留原文件，未改写"},
    {Reason::UndoCannotWrite, "无法写入撤销日志，未改写"},
    {Reason::ChangedSinceRun, "文件在上次执行后已被改动，未恢复"},
    {Reason::FolderChangedSinceRun, "文件夹在上次执行后已被改动或原名称已被占用，未恢复"},
    {Reason::OriginalGone, "撤销日志中的原文件已不存在，无法恢复"},
    {Reason::OriginalDamaged, "撤销日志中的原文件已被改动，与执行时记下的内容不符，未恢复"},
    {Reason::ModeKeptSinceRun, "文件的权限在上次执行后被改过，保留了现在的权限"},
    {Reason::OutsideFolder, "不在所选文件夹内，不处理"},
    {Reason::ThroughLink, "路径经过符号链接，不跟随"},
    {Reason::NoSuchFile, "文件不存在"},
    {Reason::InRepositoryData, "位于版本库的元数据文件夹内，不处理"},
    {Reason::OwnFile, "是本程序自己的文件（规则、设置、撤销日志或临时文件），从不改写"},
}};

}  // namespace

std::string ReasonText(Reason reason, int osError) {
    const auto& entry = kTexts[static_cast<size_t>(reason)];
    std::string text = entry.first == reason ? entry.second : "未知原因";
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
