#pragma once
// The texts only the Windows dialog shows, UTF-8. The control texts, status
// line, captions and run messages are every front end's (app/app_texts.h),
// the help text too (app/help_text.h).

namespace win32_text {

inline constexpr const char* kAboutCaption = "关于 ";
inline constexpr const char* kAboutPurpose = "：批量替换文件中的文本，并按规则重命名文件夹。";
inline constexpr const char* kAboutVersion = "版本 ";
inline constexpr const char* kAboutCategory = "类别：";

}  // namespace win32_text
