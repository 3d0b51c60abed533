#pragma once
// The captions of the main window's fields and options, shared by the
// window and by the command line's listing of a setting (--show), which
// shows a setting as the window would.

namespace SettingText {
inline constexpr char kSettingFile[] = "設定ﾌｧｲﾙ";
inline constexpr char kSrcDir[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ";
inline constexpr char kDstDir[] = "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ";
inline constexpr char kWildList[] = "ｺﾋﾟｰﾘｽﾄ";
inline constexpr char kNewChk[] = "ﾀｲﾑｽﾀﾝﾌﾟを評価して新しいﾌｧｲﾙだけをｺﾋﾟｰする．";
inline constexpr char kUsedChk[] = "ｺﾋﾟｰ先に存在するﾌｧｲﾙだけをｺﾋﾟｰする．";
inline constexpr char kSubDirChk[] = "下位ﾌｫﾙﾀﾞをﾌｧｲﾙｺﾋﾟｰの対象としない．";
inline constexpr char kAnsChk[] = "上書き時、ﾌｧｲﾙごとに確認を取る．";
inline constexpr char kDustChk[] = "ｺﾋﾟｰ先の既存ﾌｧｲﾙをごみ箱へ転送する．";
inline constexpr char kCopyDirChk[] = "ﾌｫﾙﾀﾞ構造は完全ｺﾋﾟｰする．";
inline constexpr char kAllClrChk[] = "ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする．";
inline constexpr char kOutDirChk[] = "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞを指定する．";
inline constexpr char kLhaChk[] = "LHA圧縮してｺﾋﾟｰする．";
} // namespace SettingText
